#include "gui/app/UiTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

QString LookupText(const LanguageTexts& texts, const char* section, const char* key, const QString& fallback) {
    return QString::fromStdString(texts.Lookup(section, key, fallback.toStdString()));
}

void SetControlText(QWidget* control, const QString& text) {
    if (!control)
        return;
    if (control->isWindow())
        control->setWindowTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    QString accessible = text;
    accessible.remove(QLatin1Char('&'));
    control->setAccessibleName(accessible.trimmed());
}

void ApplyText(const LanguageTexts& texts, const char* section, const char* key, const QString& fallback,
               QWidget* window) {
    if (!window)
        return;
    SetControlText(window, LookupText(texts, section, key, fallback));
}

void SetControlId(QWidget* control, int id) { control->setObjectName(QStringLiteral("id%1").arg(id)); }

QWidget* FindControl(QWidget* root, int id) {
    if (!root)
        return nullptr;
    return root->findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}
