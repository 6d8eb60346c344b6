#include "gui/reader/ReaderControls.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/UiTexts.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace ReaderControls {

QPushButton* MakeButton(QWidget* window, int id, const QRect& rect) {
    auto* button = new QPushButton(window);
    SetControlId(button, id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QLabel* MakeLabel(QWidget* window, int id, const QRect& rect, QWidget* buddy) {
    auto* label = new QLabel(window);
    SetControlId(label, id);
    label->setGeometry(rect);
    label->setBuddy(buddy);
    return label;
}

QComboBox* MakeList(QWidget* window, int id, const QRect& rect, const ParameterList& list) {
    auto* combo = new QComboBox(window);
    SetControlId(combo, id);
    combo->setGeometry(rect);
    for (const ParameterEntry& entry : list.entries)
        combo->addItem(QString::fromStdString(entry.text), entry.value);
    combo->setCurrentIndex(ParameterLists::IndexOfValue(list, list.startValue));
    return combo;
}

QRect ListRect(const DialogUnits& du, int x, int y, int width) {
    return du.Rect(x, y, width, 13);
}

QRegularExpressionValidator* DigitsOnly(int digits, QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), parent);
}

int SelectedValue(const QComboBox* list, int fallback) {
    return list->currentIndex() < 0 ? fallback : list->currentData().toInt();
}

void SelectValue(QComboBox* list, int value) {
    const int index = list->findData(value);
    list->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace ReaderControls
