#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// Rows of cell texts with one 64-bit item data each, as the sortable list shows them.
// Keeps a case-insensitive index of the column-0 texts so that a row is found by its key
// without a scan; the index is rebuilt lazily after anything that reorders rows.
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

    int RowCount() const { return static_cast<int>(rows.size()); }
    // row beyond the end appends. Returns the new row's index, -1 when row is negative.
    int InsertRow(int row, const QString& text0);
    // Appends many rows at once (cells from column 0 on, item data); one insertion for views.
    void AppendRows(std::vector<std::pair<std::vector<QString>, qint64>> newRows);
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

    // Stable sort by the folded text of the column; every row keeps its item data.
    void SortRows(int column, bool ascending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::vector<QString> cells; // may be shorter than the column count; missing cells are empty
        qint64 data = 0;
    };

    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    void DropKeyIndex() const;
    void RebuildKeyIndex() const;

    QStringList headers;
    std::vector<Row> rows;

    mutable QHash<QString, int> firstRowByKey;
    mutable bool keyIndexValid = true;
};
