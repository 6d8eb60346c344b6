#include "gui/exchange/RegisterReadWatch.h"

#include "core/app/RegisterContext.h"
#include "core/store/SqliteHive.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/register/RegisterView.h"

RegisterReadWatch::RegisterReadWatch(RegisterContext& context) {
    for (Hive* hive : {&context.store.GetHive(), &context.cars.GetHive(), &context.motorcycles.GetHive()}) {
        bool seen = false;
        for (const Watched& w : hives)
            seen = seen || w.hive == hive;
        if (!seen)
            hives.push_back({hive, hive->ReadErrors()});
    }
}

bool RegisterReadWatch::Failed() const {
    for (const Watched& w : hives)
        if (w.hive->ReadErrors() != w.readErrors)
            return true;
    return false;
}

void RegisterReadWatch::ShowBox(RegisterView& view) const {
    QString text = LookupText(view.Context().texts, "LUMETRA", "025",
                              QStringLiteral("登錄資料無法讀取，此指令不再寫入任何資料。"));
    for (const Watched& w : hives) {
        auto* file = dynamic_cast<SqliteHive*>(w.hive);
        if (file && w.hive->ReadErrors() != w.readErrors) {
            text += QLatin1Char('\n') + QString::fromStdString(file->FilePath());
            break;
        }
    }
    prompts().Message(view.Window(), text);
}
