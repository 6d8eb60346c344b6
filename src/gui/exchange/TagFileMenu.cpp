#include "gui/exchange/TagFileMenu.h"

#include "core/app/RegisterContext.h"
#include "core/store/HiveFiles.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/TagFileExport.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/register/RegisterView.h"

#include <QFile>

namespace {

QString Filter() { return QStringLiteral("TXT (*.txt)"); }

void RunExport(RegisterView& view, RowScope scope) {
    const QString path = prompts().SaveFile(view.Window(), QStringLiteral("zvTagOUT.txt"), Filter());
    if (path.isEmpty())
        return;
    if (IsHiveFile(view.Context().store.GetHive(), QFile::encodeName(path).toStdString())) {
        prompts().Message(view.Window(), LookupText(view.Context().texts, "LUMETRA", "006",
                                                    QStringLiteral("檔案寫入失敗,原檔案未變更。")));
        return;
    }
    (void)ExportTagFile(view, scope, path);
}

void RunImport(RegisterView& view, bool checkOnly) {
    const QString path = prompts().OpenFile(view.Window(), QStringLiteral("zvTagIN.txt"), Filter());
    if (path.isEmpty())
        return;
    const QString question = LookupText(view.Context().texts, "COMMON", "049", QStringLiteral("是否確定?"));
    if (!prompts().Confirm(view.Window(), QStringLiteral("Import"), QStringLiteral("\n\n") + question))
        return;
    QFile file(path);
    if (IsHiveFile(view.Context().store.GetHive(), QFile::encodeName(path).toStdString()) ||
        !file.open(QIODevice::ReadOnly))
        return; // nothing read, nothing changed
    (void)ImportTagFile(view, file, checkOnly);
}

} // namespace

void RunFileMenu(RegisterView& view) {
    const LanguageTexts& t = view.Context().texts;
    using namespace TagFileCommand;
    const int choice =
        prompts().Menu(view.CommandButton(1047),
                       {{import, LookupText(t, "APB1", "055", QStringLiteral("檔案匯入"))},
                        {importCheck, LookupText(t, "APB1", "059", QStringLiteral("檔案匯入檢查"))},
                        {0, QString()},
                        {exportAll, LookupText(t, "APB1", "056", QStringLiteral("全部資料匯出檔案"))},
                        {exportMarked, LookupText(t, "APB1", "057", QStringLiteral("有*標記資料匯出檔案"))},
                        {exportUnmarked, LookupText(t, "APB1", "058", QStringLiteral("無*標記資料匯出檔案"))}});
    switch (choice) {
    case import:
        RunImport(view, false);
        break;
    case importCheck:
        RunImport(view, true);
        break;
    case exportAll:
        RunExport(view, RowScope::All);
        break;
    case exportMarked:
        RunExport(view, RowScope::Marked);
        break;
    case exportUnmarked:
        RunExport(view, RowScope::Unmarked);
        break;
    default:
        break;
    }
}
