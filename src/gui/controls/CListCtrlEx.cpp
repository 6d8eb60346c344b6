#include "gui/controls/CListCtrlEx.h"

#include "gui/controls/ListModel.h"
#include "gui/controls/ListRowDelegate.h"
#include "gui/controls/SortHeader.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include <algorithm>

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableView(parent) {
    listModel = new ListModel(this);
    sortHeader = new SortHeader(core, this);
    setHorizontalHeader(sortHeader);
    setModel(listModel);
    setItemDelegate(new ListRowDelegate(core, this));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    // Fixed, equal rows: the header never measures contents, which keeps large lists fast.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(rowPixels);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowPixels);

    sortHeader->setSectionsClickable(true);
    sortHeader->setHighlightSections(false);
    sortHeader->setStretchLastSection(false);
    sortHeader->setSortIndicatorShown(false); // the header draws the core's mark instead
    sortHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sortHeader->setSectionResizeMode(QHeaderView::Interactive);
    connect(sortHeader, &QHeaderView::sectionClicked, this, &CListCtrlEx::SortByHeader);

    core.RecomputeTint(Background());
}

CListCtrlEx::~CListCtrlEx() = default;

void CListCtrlEx::SetColumns(const QStringList& headers, const QList<int>& widthsPx) {
    listModel->SetColumns(headers);
    for (int col = 0; col < headers.size() && col < widthsPx.size(); ++col)
        setColumnWidth(col, widthsPx[col]);
    RefreshHeaderMarks();
}

int CListCtrlEx::ColumnCount() const {
    return listModel->ColumnCount();
}

QString CListCtrlEx::HeaderText(int col) const {
    return listModel->HeaderText(col);
}

void CListCtrlEx::SetHeaderText(int col, const QString& text) {
    listModel->SetHeaderText(col, text);
}

int CListCtrlEx::RowCount() const {
    return listModel->RowCount();
}

int CListCtrlEx::InsertRow(int row, const QString& text0) {
    return listModel->InsertRow(row, text0);
}

int CListCtrlEx::AppendRow(const QString& text0) {
    return listModel->InsertRow(listModel->RowCount(), text0);
}

void CListCtrlEx::AppendRows(ListRows rows) {
    listModel->AppendRows(std::move(rows));
}

void CListCtrlEx::ReserveRows(int rows) {
    listModel->ReserveRows(rows);
}

QString CListCtrlEx::CellText(int row, int col) const {
    return listModel->CellText(row, col);
}

void CListCtrlEx::SetCellText(int row, int col, const QString& text) {
    listModel->SetCellText(row, col, text);
}

qint64 CListCtrlEx::ItemData(int row) const {
    return listModel->ItemData(row);
}

void CListCtrlEx::SetItemData(int row, qint64 itemData) {
    listModel->SetItemData(row, itemData);
}

void CListCtrlEx::DeleteRow(int row) {
    (void)listModel->RemoveRow(row);
}

void CListCtrlEx::DeleteRows(std::vector<int> rows, const std::function<void()>& serve) {
    int current = -1;
    int selected = -1;
    int scrolled = 0;
    const auto remember = [&] {
        current = currentIndex().isValid() ? currentIndex().row() : -1;
        selected = FirstSelectedRow();
        scrolled = verticalScrollBar()->value();
    };
    // A reset dropped selection and current row; give them back to the rows that stayed.
    const auto restore = [&](const ListModel::Removal& removal) {
        if (!removal.reset)
            return;
        auto newRowOf = [&removal](int row) {
            if (row < 0 || std::binary_search(removal.removed.begin(), removal.removed.end(), row))
                return -1;
            const auto below = std::lower_bound(removal.removed.begin(), removal.removed.end(), row);
            return row - static_cast<int>(below - removal.removed.begin());
        };
        const int newCurrent = newRowOf(current);
        const int newSelected = newRowOf(selected);
        if (newCurrent >= 0)
            selectionModel()->setCurrentIndex(listModel->index(newCurrent, 0), QItemSelectionModel::NoUpdate);
        if (newSelected >= 0)
            selectionModel()->select(listModel->index(newSelected, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        verticalScrollBar()->setValue(scrolled);
    };
    remember();
    if (!serve) {
        restore(listModel->RemoveRows(std::move(rows)));
        return;
    }
    (void)listModel->RemoveRows(std::move(rows), [&](const ListModel::Removal& step) {
        restore(step);
        serve();
        remember();
    });
}

void CListCtrlEx::Clear() {
    listModel->Clear();
}

void CListCtrlEx::BeginBatch() {
    listModel->BeginBatch();
}

void CListCtrlEx::EndBatch() {
    listModel->EndBatch();
}

void CListCtrlEx::FlushChanges() {
    listModel->FlushChanges();
}

int CListCtrlEx::FirstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

int CListCtrlEx::SelectedFocusedRow() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current.siblingAtColumn(0)))
        return -1;
    return current.row();
}

void CListCtrlEx::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex at = listModel->index(row, 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // Only the vertical position changes, as a report list scrolls an item into view.
    const int across = horizontalScrollBar()->value();
    scrollTo(at, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(across);
}

int CListCtrlEx::FindRow(const QString& text0) const {
    return listModel->FindRow(text0);
}

void CListCtrlEx::EnableSortMark(bool on, int column) {
    core.EnableSortMark(on, column);
    RefreshHeaderMarks();
}

void CListCtrlEx::EnableSortTint(bool on, int column) {
    if (!core.EnableSortTint(on, column, depth(), Background()))
        return;
    RefreshHeaderMarks();
    viewport()->update();
}

int CListCtrlEx::SortColumn() const {
    return core.SortColumn();
}

void CListCtrlEx::SortByHeader(int column) {
    if (column < 0 || column >= ColumnCount())
        return;
    core.HeaderClick(column);
    RefreshHeaderMarks();
    listModel->SortRows(column, core.Ascending());
    viewport()->update();
}

void CListCtrlEx::paintEvent(QPaintEvent* event) {
    PaintTintStripe();
    QTableView::paintEvent(event);
    PaintFocusRow();
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        // Selecting every row in turn leaves only the last one selected in a one-selection
        // list; the current row does not move.
        if (RowCount() > 0)
            selectionModel()->select(listModel->index(RowCount() - 1, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        event->accept();
        return;
    }
    if (event->modifiers() == Qt::NoModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        // Whole rows are selected, so the arrows scroll sideways instead of moving a cell.
        horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                                          : QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CListCtrlEx::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    // A click beside the rows leaves nothing selected, so a following right or double click
    // cannot act on a row the user did not point at.
    if (!at.isValid())
        clearSelection();
    if (event->button() == Qt::RightButton) {
        rightPressed = true;
        if (at.isValid())
            selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void CListCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const bool wasPressed = rightPressed;
        rightPressed = false;
        const QPoint at = event->position().toPoint();
        if (wasPressed && viewport()->rect().contains(at))
            Q_EMIT contextRequested(viewport()->mapToGlobal(at));
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CListCtrlEx::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        mousePressEvent(event);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT rowDoubleClicked();
}

void CListCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    // Mouse requests are served on the right button's release; this one is the keyboard's.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const QModelIndex current = currentIndex();
        const QPoint at = current.isValid() ? visualRect(current).center() : QPoint(0, 0);
        Q_EMIT contextRequested(viewport()->mapToGlobal(at));
    }
    event->accept();
}

void CListCtrlEx::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void CListCtrlEx::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void CListCtrlEx::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        core.RecomputeTint(Background());
        viewport()->update();
    }
}

ListCore::Rgb CListCtrlEx::Background() const {
    const QColor base = palette().color(QPalette::Active, QPalette::Base);
    return {base.red(), base.green(), base.blue()};
}

void CListCtrlEx::RefreshHeaderMarks() {
    sortHeader->viewport()->update();
}

void CListCtrlEx::PaintTintStripe() {
    const int column = core.SortedIndex();
    if (!core.TintOn() || column < 0 || column >= ColumnCount() || isColumnHidden(column))
        return;
    // The sorted column's whole height, so the tint runs on below the last row.
    const ListCore::Rgb tint = core.TintColour();
    QPainter painter(viewport());
    painter.fillRect(QRect(columnViewportPosition(column), 0, columnWidth(column), viewport()->height()),
                     QColor(tint.red, tint.green, tint.blue));
}

void CListCtrlEx::PaintFocusRow() {
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || ColumnCount() == 0)
        return;
    const QHeaderView* columns = horizontalHeader();
    const int left = columnViewportPosition(columns->logicalIndex(0));
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = QRect(left, rowViewportPosition(current.row()), columns->length(), rowHeight(current.row()));
    const bool selected = selectionModel()->isSelected(current.siblingAtColumn(0));
    option.backgroundColor = palette().color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
