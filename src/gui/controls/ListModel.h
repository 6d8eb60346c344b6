#pragma once

#include "gui/controls/ListRows.h"
#include "gui/controls/RowKeyIndex.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstddef>
#include <vector>

// Rows of cell texts with one 64-bit item data each, as the sortable list shows them.
// A cell is a 4-byte reference into one pool of texts, row after row, so a row costs its
// references and its characters and nothing else; repeated short texts (labels, flags) are
// stored once. A case-insensitive index of the column-0 texts finds a row by its key without
// a scan and follows sorts, insertions and removals.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(QObject* parent = nullptr);

    // Replaces the columns; rows keep their texts. Every column is left-aligned.
    void SetColumns(const QStringList& headers);
    int ColumnCount() const { return static_cast<int>(headers.size()); }
    QString HeaderText(int column) const;
    void SetHeaderText(int column, const QString& text);
    Qt::Alignment ColumnAlignment(int column) const;

    int RowCount() const { return static_cast<int>(itemData.size()); }
    // row beyond the end appends. Returns the new row's index, -1 when row is negative.
    int InsertRow(int row, const QString& text0);
    // Appends many rows at once; one insertion for views.
    void AppendRows(ListRows newRows);
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString& text);
    qint64 ItemData(int row) const;
    void SetItemData(int row, qint64 data);

    struct Removal {
        std::vector<int> removed; // sorted, unique, all in range
        bool reset = false;       // views lost their selection and must restore it
    };
    bool RemoveRow(int row);
    // One pass over the rows whatever the number removed; invalid and repeated rows are skipped.
    Removal RemoveRows(std::vector<int> rows);
    void Clear();

    // First row whose column-0 text equals text0 with ASCII letter case ignored; -1 when none.
    int FindRow(const QString& text0) const;

    // Sort by the folded text of the column; rows with equal texts keep their order, and
    // every row keeps its item data.
    void SortRows(int column, bool ascending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    std::size_t CellAt(int row, int column) const { return static_cast<std::size_t>(row) * stride + column; }
    KeyColumn Keys() const { return {&texts, cells.data(), stride}; }
    void ReleaseRows(std::size_t firstRow, std::size_t endRow);
    // Moves the live texts together once enough of the pool is left over from edits and removals.
    void CompactIfWasteful();
    // More cells per row; existing texts stay in their columns.
    void Widen(std::size_t newStride);
    // Puts the rows into the order given by source (source[newRow] = oldRow).
    void PermuteRows(std::vector<int> source);

    QStringList headers;
    std::size_t stride = 1; // cells per row: never fewer than the columns, never shrinks while rows remain
    TextPool texts;
    std::vector<TextPool::Ref> cells;
    std::vector<qint64> itemData;
    mutable RowKeyIndex keyIndex;
};
