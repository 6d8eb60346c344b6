#include "gui/controls/ListRowDelegate.h"

#include "core/list/ListCore.h"

#include <QAbstractItemView>
#include <QPainter>

ListRowDelegate::ListRowDelegate(const ListCore& listCore, QAbstractItemView* ownerView)
    : QStyledItemDelegate(ownerView), core(listCore), view(ownerView) {}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QPalette& palette = option.palette;
    const bool highlighted = (option.state & QStyle::State_Selected) && view->hasFocus();
    QColor background = palette.color(QPalette::Active, QPalette::Base);
    QColor text = palette.color(QPalette::Active, QPalette::Text);
    if (highlighted) {
        background = palette.color(QPalette::Active, QPalette::Highlight);
        text = palette.color(QPalette::Active, QPalette::HighlightedText);
    } else if (core.TintOn() && index.column() == core.SortedIndex()) {
        const ListCore::Rgb tint = core.TintColour();
        background = QColor(tint.red, tint.green, tint.blue);
    }
    painter->fillRect(option.rect, background);

    const QRect box = option.rect.adjusted(textMargin, 0, -textMargin, 0);
    if (box.width() <= 0)
        return;
    const Qt::Alignment horizontal =
        index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    const QString shown = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                        box.width(), Qt::TextSingleLine);
    painter->save();
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(box, static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    painter->restore();
}
