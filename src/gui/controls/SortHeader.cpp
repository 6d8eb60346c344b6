#include "gui/controls/SortHeader.h"

#include "core/list/ListCore.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int textMargin = 6;
constexpr int arrowGap = 6;
} // namespace

SortHeader::SortHeader(const ListCore& listCore, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), core(listCore) {}

void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The style may leave a clip to the label behind; the arrow lies beside the label.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    const ListCore::Mark mark = core.MarkFor(logicalIndex);
    if (mark == ListCore::Mark::None || !model())
        return;

    const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int textWidth = fontMetrics().horizontalAdvance(text);
    const int right = rect.right() - textMargin - arrowWidth;
    const int left = std::min(rect.left() + textMargin + textWidth + arrowGap, right);
    if (left < rect.left())
        return;
    const int top = rect.top() + (rect.height() - arrowHeight) / 2;

    // Rows of 1, 3, 5, 7 and 9 pixels, widest at the base of the arrow.
    painter->save();
    painter->setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    for (int step = 0; step < arrowHeight; ++step) {
        const int y = mark == ListCore::Mark::Up ? top + step : top + arrowHeight - 1 - step;
        const int half = step;
        painter->drawLine(left + arrowWidth / 2 - half, y, left + arrowWidth / 2 + half, y);
    }
    painter->restore();
}

QSize SortHeader::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.rwidth() += arrowWidth + arrowGap;
    return size;
}
