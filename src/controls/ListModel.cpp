#include "ListModel.h"

#include "CaseFold.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {
// Up to this many separate runs of rows are removed run by run, so views keep their state;
// beyond it one reset is cheaper than a signal per run.
constexpr std::size_t maxRunsRemovedSingly = 8;
} // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::SetColumns(const QStringList& newHeaders) {
    beginResetModel();
    headers = newHeaders;
    endResetModel();
}

QString ListModel::HeaderText(int column) const {
    return column >= 0 && column < ColumnCount() ? headers.at(column) : QString();
}

void ListModel::SetHeaderText(int column, const QString& text) {
    if (column < 0 || column >= ColumnCount())
        return;
    headers[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

Qt::Alignment ListModel::ColumnAlignment(int) const {
    return Qt::AlignLeft | Qt::AlignVCenter;
}

int ListModel::InsertRow(int row, const QString& text0) {
    if (row < 0)
        return -1;
    row = std::min(row, RowCount());
    const bool atEnd = row == RowCount();
    beginInsertRows(QModelIndex(), row, row);
    Row fresh;
    fresh.cells.push_back(text0);
    rows.insert(rows.begin() + row, std::move(fresh));
    endInsertRows();

    // An append cannot change the first row of any existing key; an insertion shifts rows.
    if (atEnd && keyIndexValid) {
        const QString key = FoldAsciiCase(text0);
        if (!firstRowByKey.contains(key))
            firstRowByKey.insert(key, row);
    } else {
        DropKeyIndex();
    }
    return row;
}

void ListModel::AppendRows(std::vector<std::pair<std::vector<QString>, qint64>> newRows) {
    if (newRows.empty())
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(newRows.size()) - 1);
    rows.reserve(rows.size() + newRows.size());
    for (auto& [cells, data] : newRows) {
        Row fresh;
        fresh.cells = std::move(cells);
        if (fresh.cells.empty())
            fresh.cells.emplace_back();
        fresh.data = data;
        if (keyIndexValid) {
            const QString key = FoldAsciiCase(fresh.cells[0]);
            if (!firstRowByKey.contains(key))
                firstRowByKey.insert(key, RowCount());
        }
        rows.push_back(std::move(fresh));
    }
    endInsertRows();
}

QString ListModel::CellText(int row, int column) const {
    if (!ValidRow(row) || column < 0)
        return QString();
    const std::vector<QString>& cells = rows[row].cells;
    return column < static_cast<int>(cells.size()) ? cells[column] : QString();
}

void ListModel::SetCellText(int row, int column, const QString& text) {
    if (!ValidRow(row) || column < 0 || column >= std::max(ColumnCount(), 1))
        return;
    std::vector<QString>& cells = rows[row].cells;
    if (column >= static_cast<int>(cells.size()))
        cells.resize(column + 1);
    if (column == 0 && keyIndexValid && FoldAsciiCase(cells[0]) != FoldAsciiCase(text))
        DropKeyIndex();
    cells[column] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

qint64 ListModel::ItemData(int row) const {
    return ValidRow(row) ? rows[row].data : 0;
}

void ListModel::SetItemData(int row, qint64 data) {
    if (ValidRow(row))
        rows[row].data = data;
}

bool ListModel::RemoveRow(int row) {
    if (!ValidRow(row))
        return false;
    const bool last = row == RowCount() - 1;
    if (last && keyIndexValid) {
        // The last row can only be the first row of its key when no other row has that key.
        const QString key = FoldAsciiCase(CellText(row, 0));
        auto it = firstRowByKey.find(key);
        if (it != firstRowByKey.end() && it.value() == row)
            firstRowByKey.erase(it);
    } else {
        DropKeyIndex();
    }
    beginRemoveRows(QModelIndex(), row, row);
    rows.erase(rows.begin() + row);
    endRemoveRows();
    return true;
}

ListModel::Removal ListModel::RemoveRows(std::vector<int> wanted) {
    Removal result;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    wanted.erase(std::remove_if(wanted.begin(), wanted.end(), [this](int row) { return !ValidRow(row); }),
                 wanted.end());
    if (wanted.empty())
        return result;

    std::vector<std::pair<int, int>> runs; // first, last
    for (int row : wanted) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }

    DropKeyIndex();
    if (runs.size() <= maxRunsRemovedSingly) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            beginRemoveRows(QModelIndex(), run->first, run->second);
            rows.erase(rows.begin() + run->first, rows.begin() + run->second + 1);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        std::size_t out = 0;
        std::size_t next = 0; // next entry of wanted
        for (std::size_t in = 0; in < rows.size(); ++in) {
            if (next < wanted.size() && static_cast<std::size_t>(wanted[next]) == in) {
                ++next;
                continue;
            }
            if (out != in)
                rows[out] = std::move(rows[in]);
            ++out;
        }
        rows.resize(out);
        endResetModel();
        result.reset = true;
    }
    result.removed = std::move(wanted);
    return result;
}

void ListModel::Clear() {
    beginResetModel();
    rows.clear();
    endResetModel();
    firstRowByKey.clear();
    keyIndexValid = true;
}

int ListModel::FindRow(const QString& text0) const {
    const QString key = FoldAsciiCase(text0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!keyIndexValid)
            RebuildKeyIndex();
        auto it = firstRowByKey.constFind(key);
        if (it == firstRowByKey.cend())
            return -1;
        const int row = it.value();
        // A stale entry must never name a wrong row: check it, and rebuild once if it is off.
        if (ValidRow(row) && !rows[row].cells.empty() && MatchesFolded(rows[row].cells[0], key))
            return row;
        DropKeyIndex();
    }
    return -1;
}

void ListModel::SortRows(int column, bool ascending) {
    const int count = RowCount();
    if (column < 0 || count < 2)
        return;

    std::vector<QString> keys;
    keys.reserve(count);
    for (const Row& row : rows)
        keys.push_back(column < static_cast<int>(row.cells.size()) ? FoldAsciiCase(row.cells[column]) : QString());

    std::vector<int> order(count); // order[newRow] = oldRow
    std::iota(order.begin(), order.end(), 0);
    if (ascending)
        std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return keys[b] < keys[a]; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(count);
    std::vector<int> newRowOf(count);
    for (int newRow = 0; newRow < count; ++newRow) {
        sorted.push_back(std::move(rows[order[newRow]]));
        newRowOf[order[newRow]] = newRow;
    }
    rows = std::move(sorted);

    // Selection and current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(index(newRowOf[old.row()], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    DropKeyIndex();
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

void ListModel::DropKeyIndex() const {
    firstRowByKey.clear();
    keyIndexValid = false;
}

void ListModel::RebuildKeyIndex() const {
    firstRowByKey.clear();
    firstRowByKey.reserve(RowCount());
    for (int row = 0; row < RowCount(); ++row) {
        QString key = FoldAsciiCase(CellText(row, 0));
        if (!firstRowByKey.contains(key))
            firstRowByKey.insert(std::move(key), row);
    }
    keyIndexValid = true;
}
