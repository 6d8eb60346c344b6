#pragma once

#include <QString>

#include <vector>

class QWidget;

// Every message box, confirmation, pop-up menu and file dialog goes through this interface,
// so each flow can be driven from a test with scripted answers.
class Prompts {
public:
    struct MenuItem {
        int id = 0; // 0 is a separator
        QString text;
    };

    virtual ~Prompts() = default;

    // The application's standard box: application title as caption, exclamation icon, OK.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // A box with the given caption and an OK button (information).
    virtual void Notice(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Yes/No box with the exclamation icon; true only for Yes.
    virtual bool Confirm(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Retry/Cancel box with the application title and the exclamation icon; true only for Retry.
    virtual bool RetryCancel(QWidget* parent, const QString& text) = 0;
    // Pop-up menu with its top-left corner at the lower-left corner of anchor; the chosen id or 0.
    virtual int Menu(QWidget* anchor, const std::vector<MenuItem>& items) = 0;
    // File dialogs; an empty result means cancelled. filter is a Qt name filter ("TXT (*.txt)").
    virtual QString SaveFile(QWidget* parent, const QString& defaultName, const QString& filter) = 0;
    virtual QString OpenFile(QWidget* parent, const QString& defaultName, const QString& filter) = 0;
};

// The prompts the program uses; tests replace them with SetPrompts.
Prompts& prompts();
void SetPrompts(Prompts* replacement); // nullptr restores the real dialogs

// The application title used as the caption of standard boxes.
QString AppTitle();
