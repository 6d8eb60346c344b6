#include "PlateTransfer.h"

#include "CListCtrlEx.h"
#include "MainDialog.h"
#include "Prompts.h"
#include "UiTexts.h"

#include <QPushButton>

int TransferRows(MainDialog& main, RowScope scope) {
    CListCtrlEx& list = *main.List();
    RegisterContext& context = main.Context();
    int written = 0;
    // The count is read again after every row: boxes shown on the way let other handlers run.
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!RowInScope(scope, list.CellText(row, RegisterColumn::mark)))
            continue;
        const QString tag = list.CellText(row, RegisterColumn::tag);
        const QString plate = list.CellText(row, RegisterColumn::plate);
        if (plate.isEmpty())
            continue;
        PlateList& plates = context.PlatesOf(list.ItemData(row) == 2 ? 2 : 1);
        const std::string plateText = plate.toStdString();
        if (plates.Exists(plateText)) {
            if (plates.SetTag(plateText, tag.toStdString(), true) == PlateList::SetTagResult::Written)
                ++written;
            continue;
        }
        // A fixed English diagnostic, as the suite shows it.
        prompts().Message(&main, QStringLiteral("\nTag:") + tag + QStringLiteral(" \nID:") + plate +
                                     QStringLiteral(" NOT FOUND!"));
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
