#include "gui/exchange/HeldHiveQuestion.h"

#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/register/MainDialog.h"

std::function<bool()> AskWhenHiveHeld(MainDialog& main) {
    return [&main] {
        return prompts().RetryCancel(
            &main, LookupText(main.Context().texts, "LUMETRA", "031",
                              QStringLiteral("登錄資料正由其他程式使用中,暫時無法寫入。請按重試再試一次,或按取消停止。")));
    };
}
