#include "tests/support/ScriptedPrompts.h"

ScriptedPrompts::ScriptedPrompts() { SetPrompts(this); }

ScriptedPrompts::~ScriptedPrompts() { SetPrompts(nullptr); }

QStringList ScriptedPrompts::Messages() const {
    QStringList texts;
    for (const Shown& s : shown)
        if (s.kind == QStringLiteral("message") || s.kind == QStringLiteral("notice"))
            texts << s.text;
    return texts;
}

int ScriptedPrompts::Count(const QString& kind) const {
    int n = 0;
    for (const Shown& s : shown)
        n += s.kind == kind ? 1 : 0;
    return n;
}

void ScriptedPrompts::Message(QWidget*, const QString& text) {
    shown.push_back({QStringLiteral("message"), AppTitle(), text, {}});
}

void ScriptedPrompts::Notice(QWidget*, const QString& caption, const QString& text) {
    shown.push_back({QStringLiteral("notice"), caption, text, {}});
}

bool ScriptedPrompts::Confirm(QWidget*, const QString& caption, const QString& text) {
    shown.push_back({QStringLiteral("confirm"), caption, text, {}});
    if (confirmAnswers.empty())
        return false;
    bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

bool ScriptedPrompts::RetryCancel(QWidget*, const QString& text) {
    shown.push_back({QStringLiteral("retry"), AppTitle(), text, {}});
    if (retryAnswers.empty())
        return false;
    bool answer = retryAnswers.front();
    retryAnswers.pop_front();
    return answer;
}

int ScriptedPrompts::Menu(QWidget*, const std::vector<MenuItem>& items) {
    shown.push_back({QStringLiteral("menu"), {}, {}, items});
    if (menuAnswers.empty())
        return 0;
    int answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::SaveFile(QWidget*, const QString& defaultName, const QString& filter) {
    shown.push_back({QStringLiteral("save"), filter, defaultName, {}});
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::OpenFile(QWidget*, const QString& defaultName, const QString& filter) {
    shown.push_back({QStringLiteral("open"), filter, defaultName, {}});
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}
