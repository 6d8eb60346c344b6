#pragma once

#include <QStyledItemDelegate>

class ListCore;
class QAbstractItemView;

// Draws a cell as the report list does: highlight only while the list has the focus (the lists
// do not keep the selection visible without it), the tint in the sorted column, single-line
// text cut with an ellipsis.
class ListRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ListRowDelegate(const ListCore& core, QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Horizontal space between the cell edge and its text.
    static constexpr int textMargin = 6;

private:
    const ListCore& core;
    QAbstractItemView* view;
};
