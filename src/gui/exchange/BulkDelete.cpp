#include "gui/exchange/BulkDelete.h"

#include "core/app/RegisterContext.h"
#include "core/store/BatchWriter.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/HeldHiveQuestion.h"
#include "gui/exchange/LongWork.h"
#include "gui/exchange/RegisterReadWatch.h"
#include "gui/register/RegisterView.h"

#include <string_view>
#include <vector>

namespace {

QString Caption(const LanguageTexts& t) { return LookupText(t, "COMMON", "004", QStringLiteral("刪除")); }

void ReportFailures(RegisterView& view, int failed) {
    if (failed <= 0)
        return;
    prompts().Message(view.Window(),
                      LookupText(view.Context().texts, "LUMETRA", "004", QStringLiteral("無法刪除的資料筆數:")) +
                          QLatin1Char(' ') + QString::number(failed));
}

void DeleteSelected(RegisterView& view) {
    RegisterContext& context = view.Context();
    const int row = view.SelectedRow();
    if (row < 0)
        return;
    const QString question = LookupText(context.texts, "COMMON", "006", QStringLiteral("是否刪除此筆資料?"));
    if (!prompts().Confirm(view.Window(), Caption(context.texts), QStringLiteral("\n\n") + question))
        return;
    TagRecord record;
    record.tagId = view.CellText(row, RegisterColumn::tag).toStdString();
    if (!context.store.DeleteTag(record)) {
        ReportFailures(view, 1);
        return;
    }
    view.RemoveRow(row);
    view.ShowCountLine();
    context.config.registerChanged = true;
}

} // namespace

DeleteOutcome DeleteRowsInScope(RegisterView& view, RowScope scope) {
    RegisterContext& context = view.Context();
    DeleteOutcome outcome;
    const RegisterReadWatch reads(context);
    {
        // The walk and the deletes each move the bar over the rows once.
        const int inScope = RowsInScope(view, scope);
        LongWork work(view, inScope, 2 * qint64(inScope));

        std::vector<int> rows;
        std::vector<TagRecord> records;
        rows.reserve(size_t(inScope));
        records.reserve(size_t(inScope));
        const int count = view.RowCount();
        for (int row = 0; row < count; ++row) {
            if (!RowInScope(scope, view.CellText(row, RegisterColumn::mark)))
                continue;
            work.Step(qint64(rows.size()));
            rows.push_back(row);
            TagRecord record;
            record.tagId = view.CellText(row, RegisterColumn::tag).toStdString();
            records.push_back(std::move(record));
        }

        BatchWriter writer(context.store.GetHive(), 1000, AskWhenHiveHeld(view));
        writer.StopWhen([&reads] { return reads.Failed(); });
        const std::vector<bool> gone = writer.RunInKeyOrder(
            records.size(), [&records](size_t i) { return std::string_view(records[i].tagId); },
            [&](size_t i, size_t position) {
                work.Step(qint64(records.size() + position));
                return context.store.DeleteTag(records[i]);
            },
            [&work, &records] { work.Step(qint64(records.size())); });
        std::vector<int> doomed;
        doomed.reserve(rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            if (gone[i])
                doomed.push_back(rows[i]);
            else
                ++outcome.failed;
        }
        outcome.deleted = static_cast<int>(doomed.size());
        ReleaseInSteps(records, work, 2 * qint64(inScope));
        // In slices, serving the window between them: a million rows take too long in one.
        const qint64 end = 2 * qint64(inScope);
        view.RemoveRows(std::move(doomed), [&work, end] { work.Step(end); });
    }

    view.ShowCountLine();
    context.config.registerChanged = true;
    if (reads.Failed())
        reads.ShowBox(view);
    ReportFailures(view, outcome.failed);
    return outcome;
}

void RunDeleteMenu(RegisterView& view) {
    const LanguageTexts& t = view.Context().texts;
    using namespace DeleteCommand;
    const int choice = prompts().Menu(view.CommandButton(MainControl::Delete),
                                      {{selected, LookupText(t, "APB1", "050", QStringLiteral("刪除單筆資料"))},
                                       {0, QString()},
                                       {marked, LookupText(t, "APB1", "051", QStringLiteral("刪除有*標記資料"))},
                                       {unmarked, LookupText(t, "APB1", "052", QStringLiteral("刪除無*標記資料"))}});
    if (choice == selected) {
        DeleteSelected(view);
        return;
    }
    if (choice != marked && choice != unmarked)
        return;
    const QString question = LookupText(t, "COMMON", "049", QStringLiteral("是否確定?"));
    if (!prompts().Confirm(view.Window(), Caption(t), QStringLiteral("\n\n") + question))
        return;
    (void)DeleteRowsInScope(view, choice == marked ? RowScope::Marked : RowScope::Unmarked);
}
