#pragma once

#include "core/list/ListCore.h"
#include "gui/controls/ListRows.h"

#include <QList>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <vector>

class ListModel;
class SortHeader;

// The program's report list: single selection of whole rows, 20-pixel rows, sorting by a
// click on a column header with a mark in the header and a tint on the sorted column.
// Every row carries a 64-bit item data that stays with it through sorts.
class CListCtrlEx : public QTableView {
    Q_OBJECT
public:
    explicit CListCtrlEx(QWidget* parent = nullptr);
    ~CListCtrlEx() override;

    static constexpr int rowPixels = 20;

    // Left-aligned columns with the given widths in pixels (missing widths keep the default).
    void SetColumns(const QStringList& headers, const QList<int>& widthsPx);
    int ColumnCount() const;
    QString HeaderText(int col) const;
    void SetHeaderText(int col, const QString& text);

    int RowCount() const;
    // Inserts a row with text0 in column 0; a row beyond the end appends. Returns the row's
    // index, -1 when row is negative. Rows are not put in sort order.
    int InsertRow(int row, const QString& text0);
    int AppendRow(const QString& text0);
    // Appends many rows in one step: each with its cells from column 0 on and its item data.
    void AppendRows(ListRows rows);
    // Room for rows in all (see ListModel::ReserveRows).
    void ReserveRows(int rows);

    QString CellText(int row, int col) const;
    void SetCellText(int row, int col, const QString& text);
    qint64 ItemData(int row) const;
    void SetItemData(int row, qint64 data);

    void DeleteRow(int row);
    // Removes all listed rows in one pass; out-of-range and repeated entries are ignored.
    // The selected and current rows survive when they are not among them. With serve, many rows
    // go a slice at a time and serve runs after each slice, the list whole and showable.
    void DeleteRows(std::vector<int> rows, const std::function<void()>& serve = {});
    void Clear();

    // Cell changes between Begin and EndBatch reach the view as one range, at the latest when
    // FlushChanges is called.
    void BeginBatch();
    void EndBatch();
    void FlushChanges();

    int FirstSelectedRow() const;   // -1 when none
    int SelectedFocusedRow() const; // the row both selected and current, -1 when none
    // Selects only this row, makes it current and scrolls it fully into view.
    void SelectRow(int row);

    // First row whose column-0 text equals text0 with ASCII letter case ignored; -1 when none.
    // Hash lookup, so upserting many rows stays linear.
    int FindRow(const QString& text0) const;

    // column is the signed sort column (1 = column 0 ascending, -1 = descending, 0 = unchanged).
    void EnableSortMark(bool on, int column);
    // Switching on is refused on displays of 8 bits per pixel or fewer.
    void EnableSortTint(bool on, int column);
    int SortColumn() const;
    // The same as a click on the header of the zero-based column.
    void SortByHeader(int column);

    ListCore& Core() { return core; }
    const ListCore& Core() const { return core; }

Q_SIGNALS:
    void rowDoubleClicked();
    void contextRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    ListCore::Rgb Background() const;
    void RefreshHeaderMarks();
    void PaintTintStripe();
    void PaintFocusRow();

    ListCore core;
    ListModel* listModel = nullptr;
    SortHeader* sortHeader = nullptr;
    bool rightPressed = false;
};
