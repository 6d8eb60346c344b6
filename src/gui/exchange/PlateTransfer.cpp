#include "gui/exchange/PlateTransfer.h"

#include "core/app/RegisterContext.h"
#include "core/store/BatchWriter.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/HeldHiveQuestion.h"
#include "gui/exchange/LongWork.h"
#include "gui/exchange/RegisterReadWatch.h"
#include "gui/register/RegisterView.h"

#include <string>
#include <string_view>
#include <vector>

int TransferRows(RegisterView& view, RowScope scope) {
    RegisterContext& context = view.Context();
    struct Pending {
        std::string tag;
        std::string plate;
        VehicleType carType;
    };
    std::vector<Pending> pending;
    const RegisterReadWatch reads(context);
    std::vector<PlateList::SetTagResult> results;
    std::vector<bool> done;
    int written = 0;
    int failed = 0;
    {
        // The walk and the writes each move the bar over the rows once.
        const int inScope = RowsInScope(view, scope);
        LongWork work(view, inScope, 2 * qint64(inScope));
        pending.reserve(size_t(inScope));
        int visited = 0;
        // The count is read again after every row: boxes shown on the way let other handlers run.
        for (int row = 0; row < view.RowCount(); ++row) {
            if (!RowInScope(scope, view.CellText(row, RegisterColumn::mark)))
                continue;
            work.Step(visited++);
            const QString tag = view.CellText(row, RegisterColumn::tag);
            const QString plate = view.CellText(row, RegisterColumn::plate);
            if (plate.isEmpty())
                continue;
            const VehicleType carType = ShownVehicle(view.RowCarType(row));
            const bool found = context.PlatesOf(carType).Exists(plate.toStdString());
            if (reads.Failed())
                break; // an unreadable plate is not a missing one, and nothing is written
            if (found) {
                pending.push_back({tag.toStdString(), plate.toStdString(), carType});
                continue;
            }
            // A fixed English diagnostic, as the suite shows it.
            prompts().Message(view.Window(), QStringLiteral("\nTag:") + tag + QStringLiteral(" \nID:") + plate +
                                                 QStringLiteral(" NOT FOUND!"));
        }

        // The writes go in batches after the walk, so no box waits while the write lock is held.
        results.assign(pending.size(), PlateList::SetTagResult::Failed);
        BatchWriter writer(context.cars.GetHive(), 1000, AskWhenHiveHeld(view));
        writer.StopWhen([&reads] { return reads.Failed(); });
        // The first row of a plate still wins: rows of one plate keep their order.
        done = writer.RunInKeyOrder(
            reads.Failed() ? 0 : pending.size(), [&pending](size_t i) { return std::string_view(pending[i].plate); },
            [&](size_t i, size_t position) {
                work.Step(qint64(inScope) + qint64(position));
                const Pending& p = pending[i];
                results[i] = context.PlatesOf(p.carType).SetTag(p.plate, p.tag, true);
                return results[i] != PlateList::SetTagResult::Failed;
            },
            [&work, inScope] { work.Step(qint64(inScope)); });
        for (size_t i = 0; i < pending.size(); ++i) {
            if (i >= done.size() || !done[i])
                ++failed;
            else if (results[i] == PlateList::SetTagResult::Written)
                ++written;
        }
        ReleaseInSteps(pending, work, 2 * qint64(inScope));
    }
    if (reads.Failed())
        reads.ShowBox(view);
    if (failed > 0) {
        prompts().Message(view.Window(),
                          LookupText(context.texts, "LUMETRA", "030", QStringLiteral("無法寫入名單的資料筆數:")) +
                              QLatin1Char(' ') + QString::number(failed));
    }
    return written;
}

void RunPlateTransferMenu(RegisterView& view) {
    if (view.RowCount() == 0)
        return;
    const LanguageTexts& t = view.Context().texts;
    using namespace TransferCommand;
    const int choice = prompts().Menu(view.CommandButton(MainControl::PlateTransfer),
                                      {{all, LookupText(t, "APB1", "047", QStringLiteral("全部資料匯入"))},
                                       {marked, LookupText(t, "APB1", "048", QStringLiteral("有*標記資料匯入"))},
                                       {unmarked, LookupText(t, "APB1", "049", QStringLiteral("無*標記資料匯入"))}});
    if (choice != all && choice != marked && choice != unmarked)
        return;
    const QString caption = LookupText(t, "APB1", "046", QStringLiteral("eTag匯入至名單"));
    const QString question = LookupText(t, "COMMON", "049", QStringLiteral("是否確定?"));
    if (!prompts().Confirm(view.Window(), caption, QStringLiteral("\n\n") + question))
        return;
    (void)TransferRows(view, choice == all ? RowScope::All : choice == marked ? RowScope::Marked : RowScope::Unmarked);
}
