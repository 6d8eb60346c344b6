#include "TagFileExport.h"

#include "CListCtrlEx.h"
#include "CodePage.h"
#include "MainDialog.h"
#include "Prompts.h"
#include "TagFileLine.h"
#include "UiTexts.h"

#include <QSaveFile>

#include <string>

QByteArray TagFileBytes(const CListCtrlEx& list, RowScope scope) {
    std::string text;
    // The count is read again for every row, as the list may change under a walk.
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!RowInScope(scope, list.CellText(row, RegisterColumn::mark)))
            continue;
        text += TagFileLine::Format(list.CellText(row, RegisterColumn::tag).toStdString(),
                                    list.CellText(row, RegisterColumn::plate).toStdString(),
                                    list.ItemData(row) == 2 ? 2 : 1);
    }
    if (std::optional<std::string> big5 = Utf8ToBig5(text))
        text = std::move(*big5);
    return QByteArray::fromStdString(text);
}

bool ExportTagFile(MainDialog& main, RowScope scope, const QString& path) {
    const QByteArray bytes = TagFileBytes(*main.List(), scope);
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    if (ok) {
        ok = file.commit();
    } else if (file.isOpen()) {
        file.cancelWriting();
    }
    if (!ok) {
        prompts().Message(&main, LookupText(main.Context().texts, "LUMETRA", "006",
                                            QStringLiteral("檔案寫入失敗,原檔案未變更。")));
        return false;
    }
    prompts().Message(&main, QStringLiteral("\n\n") + QString::fromStdString(main.Context().texts.Shared().doneText));
    return true;
}
