#pragma once

#include "core/text/LanguageTexts.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class ReaderLink;
class RegisterView;

// The flows of the whitelist menu, each run to its end on the user-interface thread against
// one reader link. The link and the register's window are held weakly: a link that goes away
// mid-flow makes the remaining operations fail at once and the flow still ends normally.
class WhitelistFlow {
public:
    enum class Rows { All, Marked, Unmarked };

    WhitelistFlow(RegisterView& view, ReaderLink& link);

    // The count box "<label>: <n>".
    void ShowCount();
    // Reads every entry back into a file of the operator's choice ("<id>,,1" lines). When an
    // entry cannot be read (or the link is lost) the export stops there, the file is left as it
    // was and a box says after how many of how many entries it was cut off.
    void Export();
    // One add per chosen row, in the list's current order, after a confirmation.
    void WriteRows(Rows rows);
    // One delete per chosen row's id, after a confirmation.
    void DeleteRows(Rows rows);
    // Empties the reader's whitelist after a confirmation.
    void Clear();

private:
    int ReadCount();
    void ShowCountBox(int count);
    bool Confirm(const QString& caption, const QString& question);
    template <typename Operation> void RowLoop(Rows rows, Operation operation);

    // The view goes with its window: view is used only while window is there.
    RegisterView* view;
    QPointer<QWidget> window;
    QPointer<ReaderLink> link;
    LanguageTexts texts; // a copy: the flow may outlive the window it was started from
};
