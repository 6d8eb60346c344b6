// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "gui/whitelist/WhitelistFlow.h"

#include "core/app/RegisterContext.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/ProgressDialog.h"
#include "gui/exchange/RowScope.h"
#include "gui/register/RegisterView.h"
#include "gui/whitelist/ReaderExportFile.h"

#include <QCoreApplication>

#include <optional>

namespace {

const QString exportFileName = QStringLiteral("zvReaderOUT.txt");
const QString exportFilter = QStringLiteral("TXT (*.txt)");

QString Boxed(const QString& text) { return QStringLiteral("\n\n") + text; }

// The span of a loop: the register's window disabled and the progress window shown, both
// undone on every way out.
class LoopScope {
public:
    LoopScope(QWidget* owner, const LanguageTexts& texts, int items) : window(owner) {
        if (window)
            window->setEnabled(false);
        progress = new ProgressDialog(texts, window);
        if (!progress->Create()) {
            delete progress.data();
            return;
        }
        progress->SetRange(0, items);
        progress->SetPos(0);
    }
    ~LoopScope() {
        delete progress.data();
        if (window)
            window->setEnabled(true);
    }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;

    // Moves the bar; serves pending events even without a progress window.
    void Step(int item) {
        if (progress)
            progress->SetPos(item);
        else
            QCoreApplication::processEvents();
    }

private:
    QPointer<QWidget> window;
    QPointer<ProgressDialog> progress;
};

bool RowChosen(WhitelistFlow::Rows rows, const RegisterView& view, int row) {
    if (rows == WhitelistFlow::Rows::All)
        return true;
    const bool marked = view.CellText(row, RegisterColumn::mark) == QStringLiteral("*");
    return marked == (rows == WhitelistFlow::Rows::Marked);
}

} // namespace

WhitelistFlow::WhitelistFlow(RegisterView& registerView, ReaderLink& activeLink)
    : view(&registerView), window(registerView.Window()), link(&activeLink), texts(registerView.Context().texts) {}

int WhitelistFlow::ReadCount() { return link ? link->ReadWhitelistCount() : 0; }

void WhitelistFlow::ShowCountBox(int count) {
    const QString label = LookupText(texts, "COMMON", "007", QStringLiteral("筆數"));
    prompts().Message(window, QStringLiteral("%1: %2").arg(label).arg(count));
}

bool WhitelistFlow::Confirm(const QString& caption, const QString& question) {
    return prompts().Confirm(window, caption, Boxed(question));
}

void WhitelistFlow::ShowCount() { ShowCountBox(ReadCount()); }

void WhitelistFlow::Export() {
    const int count = ReadCount();
    if (count == 0) {
        ShowCountBox(0);
        return;
    }
    const QString path = prompts().SaveFile(window, exportFileName, exportFilter);
    if (path.isEmpty())
        return;

    ReaderExportFile file(path);
    int entriesRead = 0;
    bool cutOff = false;
    if (file.Open()) {
        LoopScope scope(window, texts, count);
        for (int i = 0; i < count && window; ++i) {
            scope.Step(i);
            const std::optional<std::string> id = link ? link->ReadWhitelistEntry(i) : std::nullopt;
            if (!id) {
                cutOff = true; // a lost link or an unreadable entry: the file would miss entries
                break;
            }
            ++entriesRead;
            if (!id->empty() && !file.WriteId(*id))
                break; // the disk refused a line; the remaining entries have nowhere to go
        }
    }
    if (!window)
        return;
    if (cutOff) {
        // Not committed: the old file stays as it was and no partial file is left.
        prompts().Message(
            window, LookupText(texts, "LUMETRA", "050", QStringLiteral("名單匯出中斷: 已讀取 %1 / %2 筆, 檔案未寫入!"))
                        .arg(entriesRead)
                        .arg(count));
        return;
    }
    if (!file.Commit()) {
        prompts().Message(window, LookupText(texts, "LUMETRA", "007", QStringLiteral("名單匯出檔案寫入失敗!")));
        return;
    }
    prompts().Message(window, Boxed(QString::fromStdString(texts.Shared().doneText)));
}

template <typename Operation> void WhitelistFlow::RowLoop(Rows rows, Operation operation) {
    if (!window)
        return;
    LoopScope scope(window, texts, view->RowCount());
    for (int i = 0; window && i < view->RowCount(); ++i) {
        scope.Step(i);
        if (!window)
            break;
        if (i >= view->RowCount() || !RowChosen(rows, *view, i))
            continue;
        const std::string id = view->CellText(i, RegisterColumn::tag).toStdString();
        if (link)
            operation(*link, id);
    }
}

void WhitelistFlow::WriteRows(Rows rows) {
    if (!Confirm(LookupText(texts, "APB1", "046", QStringLiteral("eTag匯入至名單")),
                 LookupText(texts, "COMMON", "049", QStringLiteral("是否確定?"))))
        return;
    RowLoop(rows, [](ReaderLink& reader, const std::string& id) { (void)reader.AddWhitelistEntry(id); });
}

void WhitelistFlow::DeleteRows(Rows rows) {
    if (!Confirm(LookupText(texts, "COMMON", "004", QStringLiteral("刪除")),
                 LookupText(texts, "COMMON", "049", QStringLiteral("是否確定?"))))
        return;
    RowLoop(rows, [](ReaderLink& reader, const std::string& id) { (void)reader.DeleteWhitelistEntry(id); });
}

void WhitelistFlow::Clear() {
    if (!Confirm(LookupText(texts, "COMMON", "004", QStringLiteral("刪除")),
                 LookupText(texts, "APB1", "062", QStringLiteral("清空所有名單資料?"))))
        return;
    if (link)
        (void)link->ClearWhitelist();
}
