#include "gui/app/QtPrompts.h"

#include "gui/app/FileDialog.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace {
QtPrompts realPrompts;
Prompts* current = &realPrompts;
} // namespace

Prompts& prompts() { return *current; }

void SetPrompts(Prompts* replacement) { current = replacement ? replacement : &realPrompts; }

QString AppTitle() { return QStringLiteral("Vessory"); }

void QtPrompts::Message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, AppTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPrompts::Notice(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtPrompts::Confirm(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompts::RetryCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, AppTitle(), text, QMessageBox::Retry | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Retry);
    return box.exec() == QMessageBox::Retry;
}

int QtPrompts::Menu(QWidget* anchor, const std::vector<MenuItem>& items) {
    QMenu menu(anchor);
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setData(item.id);
    }
    QPoint at = anchor ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos();
    QAction* chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

QString QtPrompts::SaveFile(QWidget* parent, const QString& defaultName, const QString& filter) {
    auto dialog = MakeFileDialog(parent, defaultName, filter, true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

QString QtPrompts::OpenFile(QWidget* parent, const QString& defaultName, const QString& filter) {
    auto dialog = MakeFileDialog(parent, defaultName, filter, false);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}
