#pragma once

#include "gui/app/Prompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Prompts that answer from a script and record what the program showed.
// Installed for the object's lifetime.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString kind; // "message", "notice", "confirm", "retry", "menu", "save", "open"
        QString caption;
        QString text;
        std::vector<MenuItem> items;
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, taken in order; a prompt with no scripted answer gets No, 0 or an empty path.
    std::deque<bool> confirmAnswers;
    std::deque<bool> retryAnswers; // true is Retry
    std::deque<int> menuAnswers;
    std::deque<QString> fileAnswers;

    std::vector<Shown> shown;

    // Texts of all message boxes (standard and notice) in order.
    QStringList Messages() const;
    int Count(const QString& kind) const;

    void Message(QWidget* parent, const QString& text) override;
    void Notice(QWidget* parent, const QString& caption, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& caption, const QString& text) override;
    bool RetryCancel(QWidget* parent, const QString& text) override;
    int Menu(QWidget* anchor, const std::vector<MenuItem>& items) override;
    QString SaveFile(QWidget* parent, const QString& defaultName, const QString& filter) override;
    QString OpenFile(QWidget* parent, const QString& defaultName, const QString& filter) override;
};
