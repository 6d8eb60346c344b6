#pragma once

#include "core/text/LanguageTexts.h"

#include <QString>

class QWidget;

// Qt faces of the language lookups: the file's value or the call site's default, as QString.
QString LookupText(const LanguageTexts& texts, const char* section, const char* key, const QString& fallback);
// Looks the text up and puts it on the window: the caption of a top-level window, else the text
// of a button, label, check box or group box. Also its accessible name. Nothing when window is null.
void ApplyText(const LanguageTexts& texts, const char* section, const char* key, const QString& fallback,
               QWidget* window);
// Sets a control's visible text and its accessible name together.
void SetControlText(QWidget* control, const QString& text);

// Every control named by the templates carries its id as objectName "id<number>".
void SetControlId(QWidget* control, int id);
QWidget* FindControl(QWidget* root, int id);
template <typename T> T* FindControl(QWidget* root, int id) { return qobject_cast<T*>(FindControl(root, id)); }
