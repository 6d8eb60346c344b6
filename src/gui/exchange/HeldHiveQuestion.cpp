#include "gui/exchange/HeldHiveQuestion.h"

#include "core/app/RegisterContext.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/register/RegisterView.h"

std::function<bool()> AskWhenHiveHeld(RegisterView& view) {
    return [&view] {
        return prompts().RetryCancel(
            view.Window(),
            LookupText(view.Context().texts, "LUMETRA", "031",
                       QStringLiteral("登錄資料正由其他程式使用中,暫時無法寫入。請按重試再試一次,或按取消停止。")));
    };
}
