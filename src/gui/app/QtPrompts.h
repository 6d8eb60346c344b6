#pragma once

#include "gui/app/Prompts.h"

// The real dialogs of the platform.
class QtPrompts : public Prompts {
public:
    void Message(QWidget* parent, const QString& text) override;
    void Notice(QWidget* parent, const QString& caption, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& caption, const QString& text) override;
    bool RetryCancel(QWidget* parent, const QString& text) override;
    int Menu(QWidget* anchor, const std::vector<MenuItem>& items) override;
    QString SaveFile(QWidget* parent, const QString& defaultName, const QString& filter) override;
    QString OpenFile(QWidget* parent, const QString& defaultName, const QString& filter) override;
};
