#pragma once

#include "core/reader/ParameterLists.h"

#include <QRect>

class DialogUnits;
class QComboBox;
class QLabel;
class QObject;
class QPushButton;
class QRegularExpressionValidator;
class QWidget;

// Builders and value helpers shared by the parts of the reader window. Every control is made
// a child of the window itself, so the parts place it in the window's own template units.
namespace ReaderControls {

QPushButton* MakeButton(QWidget* window, int id, const QRect& rect);
// A label named by id that names its buddy for assistive tools.
QLabel* MakeLabel(QWidget* window, int id, const QRect& rect, QWidget* buddy);
// A drop-down list of the entries, with the list's start entry selected.
QComboBox* MakeList(QWidget* window, int id, const QRect& rect, const ParameterList& list);
// A drop-down list shows one line; the template gives the height of its opened list instead.
QRect ListRect(const DialogUnits& du, int x, int y, int width);
QRegularExpressionValidator* DigitsOnly(int digits, QObject* parent);

// The value of the selected entry, or fallback when nothing is selected.
int SelectedValue(const QComboBox* list, int fallback);
// Selects the entry carrying value; the first entry when none does.
void SelectValue(QComboBox* list, int value);

} // namespace ReaderControls
