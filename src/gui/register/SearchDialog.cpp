#include "gui/register/SearchDialog.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/controls/CaseFold.h"
#include "gui/register/MainDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The chooser shows a header through a buffer of 260 characters.
constexpr int kHeaderChars = 259;

char16_t FoldUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c; }

// needle is already folded; the cell is folded as it is read, so a step over 100,000 rows
// copies nothing. A hit may not begin on the second half of a surrogate pair.
bool ContainsFolded(QStringView cell, QStringView needle) {
    const qsizetype last = cell.size() - needle.size();
    for (qsizetype at = 0; at <= last; ++at) {
        if (at > 0 && cell[at].isLowSurrogate() && cell[at - 1].isHighSurrogate())
            continue;
        qsizetype k = 0;
        while (k < needle.size() && FoldUnit(cell[at + k].unicode()) == needle[k].unicode())
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

} // namespace

SearchDialog::SearchDialog(CListCtrlEx& searchedList, int columnCount, const LanguageTexts& texts,
                           NotFoundHandler onNotFound, QWidget* parent)
    : QDialog(parent), list(searchedList), notFound(std::move(onNotFound)) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFont(DialogUnits::DialogFont());
    BuildControls();
    ApplyTexts(texts);
    FillColumnChooser(columnCount);
    fromTopCheck->setChecked(true);
    searchEdit->setFocus();
}

SearchDialog::~SearchDialog() = default;

void SearchDialog::BuildControls() {
    DialogUnits du(font());
    setFixedSize(du.Size(150, 95));

    auto* frame = new QGroupBox(this);
    frame->setGeometry(du.Rect(5, 0, 140, 70));

    auto* searchLabel = new QLabel(this);
    SetControlId(searchLabel, 1100);
    searchLabel->setGeometry(du.Rect(15, 10, 50, 9));

    searchEdit = new QLineEdit(this);
    SetControlId(searchEdit, 1010);
    searchEdit->setGeometry(du.Rect(15, 22, 120, 12));
    searchLabel->setBuddy(searchEdit);

    auto* columnLabel = new QLabel(this);
    SetControlId(columnLabel, 1102);
    columnLabel->setGeometry(du.Rect(15, 37, 120, 9));

    columnCombo = new QComboBox(this);
    SetControlId(columnCombo, 1051);
    columnCombo->setEditable(false);
    columnCombo->setGeometry(du.Rect(15, 49, 120, 12).adjusted(0, 0, 0, 2));
    columnLabel->setBuddy(columnCombo);

    fromTopCheck = new QCheckBox(this);
    SetControlId(fromTopCheck, 1050);
    fromTopCheck->setGeometry(du.Rect(70, 10, 65, 9));

    findButton = new QPushButton(this);
    SetControlId(findButton, 1040);
    findButton->setGeometry(du.Rect(5, 74, 40, 16));

    // Cancel is the default button: Enter closes the window as Cancel does.
    cancelButton = new QPushButton(this);
    SetControlId(cancelButton, 2);
    cancelButton->setGeometry(du.Rect(105, 74, 40, 16));
    cancelButton->setDefault(true);

    connect(findButton, &QPushButton::clicked, this, [this] { FindStep(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(columnCombo, &QComboBox::activated, this, [this] { searchEdit->setFocus(); });
}

void SearchDialog::ApplyTexts(const LanguageTexts& texts) {
    ApplyText(texts, "COMMON", "005", QStringLiteral("搜尋"), this);
    ApplyText(texts, "COMMON", "005", QStringLiteral("搜尋"), FindControl(this, 1100));
    ApplyText(texts, "COMMON", "026", QStringLiteral("移至最上方"), fromTopCheck);
    ApplyText(texts, "COMMON", "027", QStringLiteral("搜尋欄位"), FindControl(this, 1102));
    ApplyText(texts, "COMMON", "025", QStringLiteral("尋找"), findButton);
    ApplyText(texts, "COMMON", "011", QStringLiteral("取消"), cancelButton);
    // Fields are named by their labels.
    searchEdit->setAccessibleName(FindControl<QLabel>(this, 1100)->text());
    columnCombo->setAccessibleName(FindControl<QLabel>(this, 1102)->text());
}

void SearchDialog::FillColumnChooser(int columnCount) {
    for (int col = 0; col < list.ColumnCount(); ++col) {
        if (columnCount > 0 && col >= columnCount)
            continue;
        columnCombo->addItem(list.HeaderText(col).left(kHeaderChars), col);
    }
    if (columnCombo->count() > 0)
        columnCombo->setCurrentIndex(0);
}

bool SearchDialog::CellContains(const QString& cell, const QString& text) {
    if (cell.isEmpty() || text.isEmpty())
        return false;
    return ContainsFolded(cell, FoldAsciiCase(text));
}

SearchDialog::StepResult SearchDialog::FindStep() {
    const QString text = searchEdit->text();
    const int column = columnCombo->currentIndex() < 0 ? -1 : columnCombo->currentData().toInt();
    if (column < 0 || text.isEmpty())
        return StepResult::Ignored;

    int start = 0;
    if (fromTopCheck->isChecked()) {
        fromTopCheck->setChecked(false);
    } else {
        const int current = list.SelectedFocusedRow();
        start = current < 0 ? 0 : current + 1;
    }

    const QString needle = FoldAsciiCase(text);
    const int rows = list.RowCount();
    for (int row = start; row < rows; ++row) {
        const QString cell = list.CellText(row, column);
        if (cell.isEmpty() || !ContainsFolded(cell, needle))
            continue;
        list.SelectRow(row);
        list.setFocus();
        return StepResult::Found;
    }
    if (notFound)
        notFound(findButton);
    return StepResult::NotFound;
}

void RunSearch(MainDialog& main) {
    CListCtrlEx* list = main.List();
    if (list) {
        SearchDialog dialog(*list, 2, main.Context().texts,
                            [&main](QWidget* findButton) {
                                main.ShowBalloonAt(findButton, QStringLiteral("Not found!"));
                            },
                            &main);
        dialog.exec();
    }
    if (QWidget* plate = main.PlateField())
        plate->setFocus();
}
