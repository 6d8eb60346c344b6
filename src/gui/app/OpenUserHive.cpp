#include "gui/app/OpenUserHive.h"

#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"

std::unique_ptr<SqliteHive> OpenUserHive(const std::string& file, const LanguageTexts& texts, int busyTimeoutMs) {
    // Language files hold one line per text: the file's name goes below it.
    auto say = [&](const char* key, const QString& fallback) {
        return LookupText(texts, "LUMETRA", key, fallback) + QLatin1Char('\n') + QString::fromStdString(file);
    };
    for (;;) {
        HiveProblem problem = HiveProblem::None;
        if (auto hive = SqliteHive::Open(file, busyTimeoutMs, &problem))
            return hive;
        switch (problem) {
        case HiveProblem::Busy:
            if (prompts().RetryCancel(nullptr, say("023", QStringLiteral("登錄資料正由其他程式使用中:"))))
                continue;
            return nullptr;
        case HiveProblem::Damaged:
            prompts().Message(nullptr, say("021", QStringLiteral("登錄資料檔已損毀，程式將結束:")));
            return nullptr;
        case HiveProblem::NotAHive:
            prompts().Message(nullptr, say("022", QStringLiteral("此檔案不是登錄資料檔，未做任何變更:")));
            return nullptr;
        default:
            prompts().Message(nullptr, say("014", QStringLiteral("無法開啟登錄資料:")));
            return nullptr;
        }
    }
}
