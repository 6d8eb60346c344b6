#include "gui/app/FocusedButton.h"

#include <QPushButton>

bool PressFocusedButton(QWidget* window) {
    auto* button = window ? qobject_cast<QPushButton*>(window->focusWidget()) : nullptr;
    if (button == nullptr)
        return false;
    if (button->isEnabled())
        button->click();
    return true;
}
