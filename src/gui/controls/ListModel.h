#pragma once

#include "gui/controls/ListRows.h"
#include "gui/controls/RowKeyIndex.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtGlobal>

#include <cstddef>
#include <functional>
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
    // Room for rows in all, so that rows added one by one up to there never wait for the
    // list's arrays or its index to grow in one long piece.
    void ReserveRows(int rows);
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
    // With afterStep, many rows go a slice of the list at a time: after each slice the model is
    // whole (views may paint) and afterStep is told what that slice removed, numbered as the rows
    // were just before it. The result is the same either way.
    Removal RemoveRows(std::vector<int> rows, const std::function<void(const Removal& step)>& afterStep = {});
    void Clear();

    // Between Begin and EndBatch (which nest), cell changes reach views as one range of rows at
    // the next FlushChanges or at the end, not as a signal per cell: a command that edits a
    // million rows would spend more on signals than on the edits.
    void BeginBatch();
    void EndBatch();
    void FlushChanges();

    // Rows a stepped removal takes per slice, and cells a compaction step moves; for tests.
    void SetStepSizes(int removalRows, std::size_t compactionCells);
    // Whether the pool is still moving live texts together, a slice per event-loop turn.
    bool Compacting() const { return texts.Compacting(); }

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
    // Removes the listed rows (sorted, unique, valid) under one reset.
    void RemoveSortedRows(const std::vector<int>& rows);
    // Moves the live texts together once enough of the pool is left over from edits and
    // removals: a large list in slices, one per event-loop turn, so the window is never held up.
    void CompactIfWasteful();
    void CompactSlice(std::size_t cellCount);
    // Cells from this one on moved: a running compaction must look at them again.
    void CellsMovedFrom(std::size_t cell);
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

    int batches = 0;
    int dirtyFirst = -1; // rows changed in a batch and not yet told to views
    int dirtyLast = -1;

    int removalStepRows = 1 << 18;
    std::size_t compactionStepCells = std::size_t{1} << 17;
    std::size_t compactedCells = 0; // of a running compaction, cells before this one are done
    QTimer compactionTimer;
};
