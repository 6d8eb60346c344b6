#include "gui/controls/ListModel.h"

#include "gui/controls/FoldedOrder.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {
// Up to this many separate runs of rows are removed run by run, so views keep their state;
// beyond it one reset is cheaper than a signal per run.
constexpr std::size_t maxRunsRemovedSingly = 8;
} // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {
    compactionTimer.setSingleShot(true);
    compactionTimer.setInterval(0);
    connect(&compactionTimer, &QTimer::timeout, this, [this] { CompactSlice(compactionStepCells); });
}

void ListModel::SetStepSizes(int removalRows, std::size_t compactionCells) {
    removalStepRows = std::max(removalRows, 1);
    compactionStepCells = std::max<std::size_t>(compactionCells, 1);
}

void ListModel::SetColumns(const QStringList& newHeaders) {
    beginResetModel();
    headers = newHeaders;
    if (static_cast<std::size_t>(newHeaders.size()) > stride)
        Widen(newHeaders.size());
    endResetModel();
}

QString ListModel::HeaderText(int column) const {
    return column >= 0 && column < ColumnCount() ? headers.at(column) : QString();
}

void ListModel::SetHeaderText(int column, const QString& text) {
    if (column < 0 || column >= ColumnCount())
        return;
    headers[column] = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

Qt::Alignment ListModel::ColumnAlignment(int) const {
    return Qt::AlignLeft | Qt::AlignVCenter;
}

int ListModel::InsertRow(int row, const QString& text0) {
    if (row < 0)
        return -1;
    row = std::min(row, RowCount());
    const bool last = row == RowCount();
    if (!last)
        FlushChanges();
    beginInsertRows(QModelIndex(), row, row);
    const TextPool::Ref key = texts.Add(text0);
    const auto at =
        cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(CellAt(row, 0)), stride, TextPool::emptyText);
    *at = key;
    itemData.insert(itemData.begin() + row, 0);
    endInsertRows();
    keyIndex.RowInserted(row, last, Keys());
    return row;
}

void ListModel::AppendRows(ListRows newRows) {
    const std::size_t count = newRows.data.size();
    if (count == 0)
        return;
    const std::size_t columns = static_cast<std::size_t>(newRows.columns);
    if (columns > stride)
        Widen(columns);

    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(count) - 1);
    if (first == 0 && columns == stride) {
        // An empty list takes the rows' pool as it is: no text is copied.
        texts = std::move(newRows.texts);
        cells = std::move(newRows.cells);
        itemData = std::move(newRows.data);
    } else {
        cells.reserve(cells.size() + count * stride);
        for (std::size_t row = 0; row < count; ++row) {
            for (std::size_t column = 0; column < columns; ++column)
                cells.push_back(texts.Add(newRows.texts.View(newRows.cells[row * columns + column])));
            cells.resize(cells.size() + stride - columns, TextPool::emptyText);
        }
        itemData.insert(itemData.end(), newRows.data.begin(), newRows.data.end());
    }
    endInsertRows();

    if (first == 0) {
        keyIndex.Rebuild(Keys(), RowCount());
    } else {
        for (int row = first; row < RowCount(); ++row)
            keyIndex.RowInserted(row, true, Keys());
    }
}

void ListModel::ReserveRows(int rows) {
    if (rows <= RowCount())
        return;
    cells.reserve(static_cast<std::size_t>(rows) * stride);
    itemData.reserve(static_cast<std::size_t>(rows));
    if (keyIndex.Valid())
        keyIndex.Reserve(static_cast<std::size_t>(rows));
}

QString ListModel::CellText(int row, int column) const {
    if (!ValidRow(row) || column < 0 || static_cast<std::size_t>(column) >= stride)
        return QString();
    return texts.View(cells[CellAt(row, column)]).toString();
}

void ListModel::SetCellText(int row, int column, const QString& text) {
    if (!ValidRow(row) || column < 0 || column >= std::max(ColumnCount(), 1))
        return;
    TextPool::Ref& ref = cells[CellAt(row, column)];
    if (texts.View(ref) != text) {
        if (column == 0)
            keyIndex.KeyChanging(row, text, Keys());
        texts.Release(ref);
        ref = texts.Add(text);
        CompactIfWasteful();
    }
    if (batches > 0) {
        dirtyFirst = dirtyFirst < 0 ? row : std::min(dirtyFirst, row);
        dirtyLast = std::max(dirtyLast, row);
        return;
    }
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

void ListModel::BeginBatch() {
    ++batches;
}

void ListModel::EndBatch() {
    if (batches == 0)
        return;
    if (--batches == 0)
        FlushChanges();
}

void ListModel::FlushChanges() {
    const int first = dirtyFirst;
    const int last = std::min(dirtyLast, RowCount() - 1);
    dirtyFirst = dirtyLast = -1;
    if (first < 0 || first > last || ColumnCount() == 0)
        return;
    Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount() - 1), {Qt::DisplayRole});
}

qint64 ListModel::ItemData(int row) const {
    return ValidRow(row) ? itemData[row] : 0;
}

void ListModel::SetItemData(int row, qint64 data) {
    if (ValidRow(row))
        itemData[row] = data;
}

bool ListModel::RemoveRow(int row) {
    if (!ValidRow(row))
        return false;
    FlushChanges();
    keyIndex.RowRemoving(row, Keys());
    beginRemoveRows(QModelIndex(), row, row);
    ReleaseRows(row, row + 1);
    const auto from = cells.begin() + static_cast<std::ptrdiff_t>(CellAt(row, 0));
    cells.erase(from, from + static_cast<std::ptrdiff_t>(stride));
    itemData.erase(itemData.begin() + row);
    endRemoveRows();
    CellsMovedFrom(CellAt(row, 0));
    CompactIfWasteful();
    return true;
}

ListModel::Removal ListModel::RemoveRows(std::vector<int> wanted,
                                        const std::function<void(const Removal& step)>& afterStep) {
    Removal result;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    wanted.erase(std::remove_if(wanted.begin(), wanted.end(), [this](int row) { return !ValidRow(row); }),
                 wanted.end());
    if (wanted.empty())
        return result;
    FlushChanges();

    std::size_t runs = 0;
    for (std::size_t i = 0; i < wanted.size() && runs <= maxRunsRemovedSingly; ++i)
        runs += i == 0 || wanted[i - 1] + 1 != wanted[i] ? 1 : 0;
    if (runs <= maxRunsRemovedSingly) {
        std::vector<int> newRowOf;
        if (keyIndex.Valid()) {
            newRowOf.resize(itemData.size());
            int next = 0;
            std::size_t gone = 0;
            for (std::size_t row = 0; row < newRowOf.size(); ++row) {
                const bool removed = gone < wanted.size() && static_cast<std::size_t>(wanted[gone]) == row;
                gone += removed ? 1 : 0;
                newRowOf[row] = removed ? -1 : next++;
            }
        }
        for (std::size_t end = wanted.size(); end > 0;) {
            std::size_t begin = end - 1;
            while (begin > 0 && wanted[begin - 1] + 1 == wanted[begin])
                --begin;
            const int first = wanted[begin];
            const int last = wanted[end - 1];
            beginRemoveRows(QModelIndex(), first, last);
            ReleaseRows(first, last + 1);
            cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(CellAt(first, 0)),
                        cells.begin() + static_cast<std::ptrdiff_t>(CellAt(last + 1, 0)));
            itemData.erase(itemData.begin() + first, itemData.begin() + last + 1);
            endRemoveRows();
            end = begin;
        }
        keyIndex.RowsRemoved(0, newRowOf);
        CellsMovedFrom(CellAt(wanted.front(), 0));
        CompactIfWasteful();
        result.removed = std::move(wanted);
        if (afterStep)
            afterStep(result);
        return result;
    }

    // Without steps, one slice holds every row.
    const long long sliceRows = afterStep ? removalStepRows : INT_MAX;
    std::size_t next = 0;
    int gone = 0;
    while (next < wanted.size()) {
        Removal step;
        step.reset = true;
        const long long sliceEnd = wanted[next] + sliceRows;
        for (; next < wanted.size() && wanted[next] < sliceEnd; ++next)
            step.removed.push_back(wanted[next] - gone);
        const int rowsBefore = RowCount();
        RemoveSortedRows(step.removed);
        gone += static_cast<int>(step.removed.size());
        if (!afterStep)
            continue;
        afterStep(step);
        // Handlers run between slices; should one have added or removed rows, the numbers left
        // no longer name the rows meant, and the rest stays.
        if (RowCount() != rowsBefore - static_cast<int>(step.removed.size())) {
            wanted.resize(static_cast<std::size_t>(gone));
            break;
        }
    }
    CompactIfWasteful();
    result.removed = std::move(wanted);
    result.reset = true;
    return result;
}

void ListModel::RemoveSortedRows(const std::vector<int>& rows) {
    const std::size_t count = itemData.size();
    const std::size_t first = static_cast<std::size_t>(rows.front());
    const std::size_t end = static_cast<std::size_t>(rows.back()) + 1; // rows after it only move down
    std::vector<int> newRowOf; // from first to end
    if (keyIndex.Valid())
        newRowOf.resize(end - first);

    beginResetModel();
    std::size_t out = first;
    std::size_t next = 0; // next entry of rows
    for (std::size_t in = first; in < end; ++in) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == in) {
            ReleaseRows(in, in + 1);
            ++next;
            if (!newRowOf.empty())
                newRowOf[in - first] = -1;
            continue;
        }
        std::move(cells.begin() + static_cast<std::ptrdiff_t>(in * stride),
                  cells.begin() + static_cast<std::ptrdiff_t>((in + 1) * stride),
                  cells.begin() + static_cast<std::ptrdiff_t>(out * stride));
        itemData[out] = itemData[in];
        if (!newRowOf.empty())
            newRowOf[in - first] = static_cast<int>(out);
        ++out;
    }
    std::move(cells.begin() + static_cast<std::ptrdiff_t>(end * stride), cells.end(),
              cells.begin() + static_cast<std::ptrdiff_t>(out * stride));
    std::move(itemData.begin() + static_cast<std::ptrdiff_t>(end), itemData.end(),
              itemData.begin() + static_cast<std::ptrdiff_t>(out));
    const std::size_t left = count - (end - out);
    cells.resize(left * stride);
    itemData.resize(left);
    endResetModel();
    keyIndex.RowsRemoved(static_cast<int>(first), newRowOf);
    CellsMovedFrom(first * stride);
}

void ListModel::Clear() {
    dirtyFirst = dirtyLast = -1;
    beginResetModel();
    texts.Clear();
    std::vector<TextPool::Ref>().swap(cells);
    std::vector<qint64>().swap(itemData);
    stride = static_cast<std::size_t>(std::max(ColumnCount(), 1));
    endResetModel();
    keyIndex.Clear();
}

int ListModel::FindRow(const QString& text0) const {
    if (!keyIndex.Valid())
        keyIndex.Rebuild(Keys(), RowCount());
    return keyIndex.Find(text0, Keys());
}

void ListModel::SortRows(int column, bool ascending) {
    const int count = RowCount();
    if (column < 0 || count < 2)
        return;

    std::vector<QStringView> views(static_cast<std::size_t>(count));
    if (static_cast<std::size_t>(column) < stride) {
        for (int row = 0; row < count; ++row)
            views[row] = texts.View(cells[CellAt(row, column)]);
    }
    FlushChanges();
    std::vector<int> source = FoldedOrder(views, ascending); // source[newRow] = oldRow
    std::vector<QStringView>().swap(views);
    std::vector<int> newRowOf(static_cast<std::size_t>(count));
    for (int newRow = 0; newRow < count; ++newRow)
        newRowOf[source[newRow]] = newRow;

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    PermuteRows(std::move(source));
    // Selection and current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(index(newRowOf[old.row()], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    keyIndex.Renumber(newRowOf);
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(index.column()));
    case Qt::UserRole:
        return ItemData(index.row());
    default:
        return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return HeaderText(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(ColumnAlignment(section));
    return QVariant();
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ListModel::Widen(std::size_t newStride) {
    std::vector<TextPool::Ref> wider(itemData.size() * newStride, TextPool::emptyText);
    for (std::size_t row = 0; row < itemData.size(); ++row) {
        for (std::size_t column = 0; column < stride; ++column)
            wider[row * newStride + column] = cells[row * stride + column];
    }
    cells = std::move(wider);
    stride = newStride;
    CellsMovedFrom(0);
}

void ListModel::PermuteRows(std::vector<int> source) {
    CellsMovedFrom(0);
    // Cycle by cycle in place, so a sort of a million rows needs one spare row, not a second
    // copy of the cells.
    std::vector<TextPool::Ref> spare(stride);
    for (std::size_t start = 0; start < source.size(); ++start) {
        if (source[start] < 0 || static_cast<std::size_t>(source[start]) == start) {
            source[start] = -1;
            continue;
        }
        const auto rowBegin = [this](std::size_t row) {
            return cells.begin() + static_cast<std::ptrdiff_t>(row * stride);
        };
        std::move(rowBegin(start), rowBegin(start + 1), spare.begin());
        const qint64 spareData = itemData[start];
        std::size_t hole = start;
        for (;;) {
            const std::size_t from = static_cast<std::size_t>(source[hole]);
            source[hole] = -1;
            if (from == start) {
                std::move(spare.begin(), spare.end(), rowBegin(hole));
                itemData[hole] = spareData;
                break;
            }
            std::move(rowBegin(from), rowBegin(from + 1), rowBegin(hole));
            itemData[hole] = itemData[from];
            hole = from;
        }
    }
}

void ListModel::ReleaseRows(std::size_t firstRow, std::size_t endRow) {
    for (std::size_t cell = firstRow * stride; cell < endRow * stride; ++cell)
        texts.Release(cells[cell]);
}

void ListModel::CompactIfWasteful() {
    if (!texts.Wasteful())
        return;
    // Waste piling up again before the running compaction got its turns: no event loop serves it.
    if (texts.Compacting())
        CompactSlice(cells.size());
    texts.BeginCompact();
    compactedCells = 0;
    if (cells.size() <= compactionStepCells)
        CompactSlice(cells.size());
    else
        compactionTimer.start();
}

void ListModel::CompactSlice(std::size_t cellCount) {
    if (!texts.Compacting())
        return;
    const std::size_t end = std::min(cells.size(), compactedCells + std::min(cellCount, cells.size()));
    for (; compactedCells < end; ++compactedCells)
        texts.Keep(cells[compactedCells]);
    if (compactedCells < cells.size()) {
        compactionTimer.start();
        return;
    }
    texts.EndCompact();
    compactionTimer.stop();
}

void ListModel::CellsMovedFrom(std::size_t cell) {
    compactedCells = std::min(compactedCells, cell);
}
