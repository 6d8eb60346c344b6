#include "gui/exchange/PlateTransfer.h"

#include "core/store/BatchWriter.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/exchange/HeldHiveQuestion.h"
#include "gui/exchange/LongWork.h"
#include "gui/exchange/RegisterReadWatch.h"
#include "gui/register/MainDialog.h"

#include <QPushButton>

#include <string>
#include <vector>

int TransferRows(MainDialog& main, RowScope scope) {
    CListCtrlEx& list = *main.List();
    RegisterContext& context = main.Context();
    struct Pending {
        std::string tag;
        std::string plate;
        int carType;
    };
    std::vector<Pending> pending;
    const RegisterReadWatch reads(context);
    std::vector<PlateList::SetTagResult> results;
    std::vector<bool> done;
    {
        // The walk and the writes each move the bar over the rows once.
        const int inScope = RowsInScope(list, scope);
        LongWork work(main, inScope, 2 * qint64(inScope));
        int visited = 0;
        // The count is read again after every row: boxes shown on the way let other handlers run.
        for (int row = 0; row < list.RowCount(); ++row) {
            if (!RowInScope(scope, list.CellText(row, RegisterColumn::mark)))
                continue;
            work.Step(visited++);
            const QString tag = list.CellText(row, RegisterColumn::tag);
            const QString plate = list.CellText(row, RegisterColumn::plate);
            if (plate.isEmpty())
                continue;
            const int carType = list.ItemData(row) == 2 ? 2 : 1;
            const bool found = context.PlatesOf(carType).Exists(plate.toStdString());
            if (reads.Failed())
                break; // an unreadable plate is not a missing one, and nothing is written
            if (found) {
                pending.push_back({tag.toStdString(), plate.toStdString(), carType});
                continue;
            }
            // A fixed English diagnostic, as the suite shows it.
            prompts().Message(&main, QStringLiteral("\nTag:") + tag + QStringLiteral(" \nID:") + plate +
                                         QStringLiteral(" NOT FOUND!"));
        }

        // The writes go in batches after the walk, so no box waits while the write lock is held.
        results.assign(pending.size(), PlateList::SetTagResult::Failed);
        BatchWriter writer(context.cars.GetHive(), 1000, AskWhenHiveHeld(main));
        writer.StopWhen([&reads] { return reads.Failed(); });
        done = writer.Run(reads.Failed() ? 0 : pending.size(), [&](size_t i) {
            work.Step(qint64(inScope) + qint64(i));
            const Pending& p = pending[i];
            results[i] = context.PlatesOf(p.carType).SetTag(p.plate, p.tag, true);
            return results[i] != PlateList::SetTagResult::Failed;
        });
    }
    int written = 0;
    int failed = 0;
    for (size_t i = 0; i < pending.size(); ++i) {
        if (i >= done.size() || !done[i])
            ++failed;
        else if (results[i] == PlateList::SetTagResult::Written)
            ++written;
    }
    if (reads.Failed())
        reads.ShowBox(main);
    if (failed > 0) {
        prompts().Message(&main, LookupText(context.texts, "LUMETRA", "030",
                                            QStringLiteral("無法寫入名單的資料筆數:")) +
                                     QLatin1Char(' ') + QString::number(failed));
    }
    return written;
}

void RunPlateTransferMenu(MainDialog& main) {
    if (main.List()->RowCount() == 0)
        return;
    const LanguageTexts& t = main.Context().texts;
    using namespace TransferCommand;
    const int choice =
        prompts().Menu(main.Button(1046), {{all, LookupText(t, "APB1", "047", QStringLiteral("全部資料匯入"))},
                                           {marked, LookupText(t, "APB1", "048", QStringLiteral("有*標記資料匯入"))},
                                           {unmarked, LookupText(t, "APB1", "049", QStringLiteral("無*標記資料匯入"))}});
    if (choice != all && choice != marked && choice != unmarked)
        return;
    const QString caption = LookupText(t, "APB1", "046", QStringLiteral("eTag匯入至名單"));
    const QString question = LookupText(t, "COMMON", "049", QStringLiteral("是否確定?"));
    if (!prompts().Confirm(&main, caption, QStringLiteral("\n\n") + question))
        return;
    (void)TransferRows(main, choice == all ? RowScope::All : choice == marked ? RowScope::Marked : RowScope::Unmarked);
}
