#include "gui/exchange/TagFileMenu.h"

#include "core/store/HiveFiles.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/TagFileExport.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/register/MainDialog.h"

#include <QFile>
#include <QPushButton>

namespace {

QString Filter() { return QStringLiteral("TXT (*.txt)"); }

void RunExport(MainDialog& main, RowScope scope) {
    const QString path = prompts().SaveFile(&main, QStringLiteral("zvTagOUT.txt"), Filter());
    if (path.isEmpty())
        return;
    if (IsHiveFile(main.Context().store.GetHive(), QFile::encodeName(path).toStdString())) {
        prompts().Message(&main, LookupText(main.Context().texts, "LUMETRA", "006",
                                            QStringLiteral("檔案寫入失敗,原檔案未變更。")));
        return;
    }
    (void)ExportTagFile(main, scope, path);
}

void RunImport(MainDialog& main, bool checkOnly) {
    const QString path = prompts().OpenFile(&main, QStringLiteral("zvTagIN.txt"), Filter());
    if (path.isEmpty())
        return;
    const QString question = LookupText(main.Context().texts, "COMMON", "049", QStringLiteral("是否確定?"));
    if (!prompts().Confirm(&main, QStringLiteral("Import"), QStringLiteral("\n\n") + question))
        return;
    QFile file(path);
    if (IsHiveFile(main.Context().store.GetHive(), QFile::encodeName(path).toStdString()) ||
        !file.open(QIODevice::ReadOnly))
        return; // nothing read, nothing changed
    (void)ImportTagFile(main, file, checkOnly);
}

} // namespace

void RunFileMenu(MainDialog& main) {
    const LanguageTexts& t = main.Context().texts;
    using namespace TagFileCommand;
    const int choice = prompts().Menu(
        main.Button(1047), {{import, LookupText(t, "APB1", "055", QStringLiteral("檔案匯入"))},
                            {importCheck, LookupText(t, "APB1", "059", QStringLiteral("檔案匯入檢查"))},
                            {0, QString()},
                            {exportAll, LookupText(t, "APB1", "056", QStringLiteral("全部資料匯出檔案"))},
                            {exportMarked, LookupText(t, "APB1", "057", QStringLiteral("有*標記資料匯出檔案"))},
                            {exportUnmarked, LookupText(t, "APB1", "058", QStringLiteral("無*標記資料匯出檔案"))}});
    switch (choice) {
    case import:
        RunImport(main, false);
        break;
    case importCheck:
        RunImport(main, true);
        break;
    case exportAll:
        RunExport(main, RowScope::All);
        break;
    case exportMarked:
        RunExport(main, RowScope::Marked);
        break;
    case exportUnmarked:
        RunExport(main, RowScope::Unmarked);
        break;
    default:
        break;
    }
}
