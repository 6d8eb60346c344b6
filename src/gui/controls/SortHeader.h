#pragma once

#include <QHeaderView>

class ListCore;

// Column header that draws the sort mark of the list's core: a small grey arrow to the right
// of the text, pointing up for ascending and down for descending.
class SortHeader : public QHeaderView {
    Q_OBJECT
public:
    SortHeader(const ListCore& core, QWidget* parent);

    static constexpr int arrowWidth = 9;
    static constexpr int arrowHeight = 5;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    const ListCore& core;
};
