#pragma once

#include <QDialog>

#include <functional>

class CListCtrlEx;
class LanguageTexts;
class MainDialog;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The Find window (dialog 112): steps through the rows of a list whose chosen cell contains
// the search text, one hit per press of Find, top to bottom without wrap-around. It reads the
// list and sets its selection; it never touches the store.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // Shown when a step finds nothing; gets the Find button to point at.
    using NotFoundHandler = std::function<void(QWidget* findButton)>;

    // columnCount: columns 0 up to columnCount - 1 are offered; 0 offers every column.
    SearchDialog(CListCtrlEx& list, int columnCount, const LanguageTexts& texts, NotFoundHandler notFound,
                 QWidget* parent = nullptr);
    ~SearchDialog() override;

    enum class StepResult { Ignored, Found, NotFound };
    // One press of Find.
    StepResult FindStep();

    // ASCII letters compare without case, every other character exactly.
    static bool CellContains(const QString& cell, const QString& text);

    QLineEdit* SearchField() const { return searchEdit; }
    QCheckBox* FromTopBox() const { return fromTopCheck; }
    QComboBox* ColumnChooser() const { return columnCombo; }
    QPushButton* FindButton() const { return findButton; }

private:
    void BuildControls();
    void ApplyTexts(const LanguageTexts& texts);
    void FillColumnChooser(int columnCount);

    CListCtrlEx& list;
    NotFoundHandler notFound;
    QLineEdit* searchEdit = nullptr;
    QCheckBox* fromTopCheck = nullptr;
    QComboBox* columnCombo = nullptr;
    QPushButton* findButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

// Button 1041 of the main window: the Find window over the main list's tag and plate columns,
// modal; afterwards the plate field has the focus.
void RunSearch(MainDialog& main);
