#include "gui/controls/CListCtrlEx.h"
#include "gui/controls/ListModel.h"
#include "tests/support/CaseName.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <vector>

namespace {

// A list shaped like the register: tag, plate, type; mark on column 0 ascending, tint on.
class ListTest : public testing::Test {
protected:
    ListTest() {
        list.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate"), QStringLiteral("Type")}, {100, 80, 60});
        list.EnableSortMark(true, 1);
        list.EnableSortTint(true, 0);
    }

    void Fill(const QStringList& tags) {
        for (const QString& tag : tags) {
            const int row = list.AppendRow(tag);
            list.SetCellText(row, 1, QStringLiteral("P-") + tag);
            list.SetItemData(row, row + 100);
        }
    }

    QStringList Column(int col) const {
        QStringList texts;
        for (int row = 0; row < list.RowCount(); ++row)
            texts.push_back(list.CellText(row, col));
        return texts;
    }

    CListCtrlEx list;
};

TEST_F(ListTest, SetUpAsAReportList) {
    EXPECT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.HeaderText(1), QStringLiteral("Plate"));
    EXPECT_EQ(list.columnWidth(0), 100);
    Fill({QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(list.rowHeight(0), CListCtrlEx::rowPixels);
    EXPECT_EQ(list.rowHeight(1), 20);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);

    list.SetHeaderText(1, QStringLiteral("License"));
    EXPECT_EQ(list.HeaderText(1), QStringLiteral("License"));
    EXPECT_EQ(list.HeaderText(7), QString());
}

TEST_F(ListTest, HeaderClicksSortDescendingThenAscendingThenOtherColumn) {
    Fill({QStringLiteral("b"), QStringLiteral("C"), QStringLiteral("a")});

    list.SortByHeader(0); // fresh list: column 0 counts as sorted ascending
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(list.SortColumn(), -1);
    EXPECT_EQ(list.Core().MarkFor(0), ListCore::Mark::Down);

    list.SortByHeader(0);
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
    EXPECT_EQ(list.Core().MarkFor(0), ListCore::Mark::Up);

    list.SetCellText(0, 2, QStringLiteral("z"));
    list.SetCellText(1, 2, QStringLiteral("x"));
    list.SetCellText(2, 2, QStringLiteral("y"));
    list.SortByHeader(2);
    EXPECT_EQ(list.SortColumn(), 3);
    EXPECT_EQ(Column(2), (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));
    EXPECT_EQ(list.Core().MarkFor(0), ListCore::Mark::None);
    EXPECT_EQ(list.Core().MarkFor(2), ListCore::Mark::Up);
}

TEST_F(ListTest, HeaderSectionClickSorts) {
    Fill({QStringLiteral("1"), QStringLiteral("2")});
    list.resize(300, 200);
    list.show();
    QHeaderView* header = list.horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(0) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(list.SortColumn(), -1);
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("2"), QStringLiteral("1")}));
}

// The header paints the mark in the grey-text colour: widest row at the top for descending.
TEST_F(ListTest, HeaderDrawsTheMarkOnTheSortedColumnOnly) {
    const QColor grey(255, 0, 255); // distinct, so no text pixel can match
    QPalette palette = list.palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    list.setPalette(palette);
    list.resize(300, 200);
    list.show();
    QHeaderView* header = list.horizontalHeader();

    // Widths of the grey rows in a section, top to bottom.
    auto markRows = [header, &grey](int section) {
        const QImage image = header->grab().toImage();
        const int left = header->sectionViewportPosition(section);
        std::vector<int> rows;
        for (int y = 0; y < image.height(); ++y) {
            int width = 0;
            for (int x = left; x < left + header->sectionSize(section); ++x)
                width += image.pixelColor(x, y) == grey ? 1 : 0;
            if (width > 0)
                rows.push_back(width);
        }
        return rows;
    };
    EXPECT_EQ(markRows(0), (std::vector<int>{1, 3, 5, 7, 9})); // ascending: points up
    EXPECT_EQ(markRows(1), std::vector<int>{});

    list.SortByHeader(0);
    EXPECT_EQ(markRows(0), (std::vector<int>{9, 7, 5, 3, 1}));

    list.EnableSortMark(false, 0);
    EXPECT_EQ(markRows(0), std::vector<int>{});
}

struct OrderCase {
    const char* name;
    QStringList input;
    QStringList ascending;
};

class SortOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(SortOrder, ComparesTextIgnoringAsciiCase) {
    CListCtrlEx list;
    list.SetColumns({QStringLiteral("Text")}, {100});
    list.EnableSortMark(true, -1); // next click sorts ascending
    for (const QString& text : GetParam().input)
        list.AppendRow(text);
    list.SortByHeader(0);
    QStringList sorted;
    for (int row = 0; row < list.RowCount(); ++row)
        sorted.push_back(list.CellText(row, 0));
    EXPECT_EQ(sorted, GetParam().ascending);
}

// Equal texts keep their order (the sort is stable), so case variants stay as inserted.
INSTANTIATE_TEST_SUITE_P(
    Texts, SortOrder,
    testing::Values(
        OrderCase{
            "TenBeforeNine", {QStringLiteral("9"), QStringLiteral("10")}, {QStringLiteral("10"), QStringLiteral("9")}},
        OrderCase{"CaseVariantsAreEqual",
                  {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("Abc")},
                  {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("Abc")}},
        OrderCase{
            "LettersInOrderWhateverTheirCase",
            {QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("B")},
            {QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("c")}},
        // Letters compare as lower case, other characters by code: '[' < '_' < 'a' < 'z'.
        OrderCase{"PunctuationByCodeAgainstLowerCase",
                  {QStringLiteral("Z"), QStringLiteral("a"), QStringLiteral("_"), QStringLiteral("[")},
                  {QStringLiteral("["), QStringLiteral("_"), QStringLiteral("a"), QStringLiteral("Z")}},
        OrderCase{"PrefixFirst",
                  {QStringLiteral("AB12"), QStringLiteral("ab1"), QStringLiteral("")},
                  {QStringLiteral(""), QStringLiteral("ab1"), QStringLiteral("AB12")}},
        OrderCase{"TwoByteTextsByCodeValue",
                  {QString::fromUtf8("機車"), QString::fromUtf8("汽車"), QStringLiteral("car")},
                  {QStringLiteral("car"), QString::fromUtf8("機車"), QString::fromUtf8("汽車")}}),
    CaseName{});

TEST_F(ListTest, RowsKeepTheirItemDataAndCellsThroughSorts) {
    Fill({QStringLiteral("T3"), QStringLiteral("T1"), QStringLiteral("T2")});
    list.SetItemData(1, 2); // the motorcycle
    list.SortByHeader(0);
    list.SortByHeader(1);
    for (int row = 0; row < list.RowCount(); ++row)
        EXPECT_EQ(list.CellText(row, 1), QStringLiteral("P-") + list.CellText(row, 0));
    EXPECT_EQ(list.ItemData(list.FindRow(QStringLiteral("T1"))), 2);
    EXPECT_EQ(list.ItemData(list.FindRow(QStringLiteral("T3"))), 100);
    EXPECT_EQ(list.ItemData(list.FindRow(QStringLiteral("T2"))), 102);
}

TEST_F(ListTest, SelectionFollowsItsRowThroughASort) {
    Fill({QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")});
    list.SelectRow(0);
    list.SortByHeader(0);
    list.SortByHeader(0); // ascending: a b c
    EXPECT_EQ(list.FirstSelectedRow(), 2);
    EXPECT_EQ(list.SelectedFocusedRow(), 2);
    EXPECT_EQ(list.CellText(list.FirstSelectedRow(), 0), QStringLiteral("c"));
}

TEST_F(ListTest, InsertAppendsBeyondTheEndAndRefusesNegativeRows) {
    Fill({QStringLiteral("a")});
    EXPECT_EQ(list.InsertRow(10, QStringLiteral("b")), 1);
    EXPECT_EQ(list.InsertRow(0, QStringLiteral("c")), 0);
    EXPECT_EQ(list.InsertRow(-1, QStringLiteral("d")), -1);
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(list.CellText(0, 1), QString());
    EXPECT_EQ(list.CellText(5, 0), QString());
    EXPECT_EQ(list.ItemData(5), 0);
}

TEST_F(ListTest, FindRowIgnoresCaseAndGivesTheFirstMatch) {
    Fill({QStringLiteral("e2ab"), QStringLiteral("E2CD"), QStringLiteral("E2AB")});
    EXPECT_EQ(list.FindRow(QStringLiteral("E2Ab")), 0);
    EXPECT_EQ(list.FindRow(QStringLiteral("e2cd")), 1);
    EXPECT_EQ(list.FindRow(QStringLiteral("e2c")), -1);
    EXPECT_EQ(list.FindRow(QString()), -1);
}

TEST_F(ListTest, FindRowFollowsSortsInsertsDeletesAndEdits) {
    Fill({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")});
    EXPECT_EQ(list.FindRow(QStringLiteral("c")), 2);

    list.SortByHeader(0); // descending: c b a
    EXPECT_EQ(list.FindRow(QStringLiteral("c")), 0);
    EXPECT_EQ(list.FindRow(QStringLiteral("a")), 2);

    list.InsertRow(0, QStringLiteral("d"));
    EXPECT_EQ(list.FindRow(QStringLiteral("a")), 3);
    EXPECT_EQ(list.FindRow(QStringLiteral("D")), 0);

    list.DeleteRow(1); // c
    EXPECT_EQ(list.FindRow(QStringLiteral("c")), -1);
    EXPECT_EQ(list.FindRow(QStringLiteral("b")), 1);

    list.SetCellText(1, 0, QStringLiteral("x"));
    EXPECT_EQ(list.FindRow(QStringLiteral("b")), -1);
    EXPECT_EQ(list.FindRow(QStringLiteral("X")), 1);

    list.DeleteRow(list.RowCount() - 1);
    EXPECT_EQ(list.FindRow(QStringLiteral("a")), -1);

    list.Clear();
    EXPECT_EQ(list.FindRow(QStringLiteral("d")), -1);
    list.AppendRow(QStringLiteral("d"));
    EXPECT_EQ(list.FindRow(QStringLiteral("d")), 0);
}

struct EditMix {
    const char* name;
    bool uniqueKeys; // like the register, or many rows sharing a key
};

void PrintTo(const EditMix& mix, std::ostream* out) { *out << mix.name; }

class FindRowUnderEdits : public testing::TestWithParam<EditMix> {};

// Random edits, saves, sorts and removals against a plain scan: the index must always name the
// first row of a key, whether it follows the change or is rebuilt.
TEST_P(FindRowUnderEdits, AgreesWithAScan) {
    CListCtrlEx list;
    list.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate")}, {100, 80});
    std::mt19937 random(20240501);
    int fresh = 0;
    auto key = [&] {
        if (GetParam().uniqueKeys)
            return QStringLiteral("e2%1ab").arg(fresh++);
        return QStringLiteral("k%1").arg(random() % 40);
    };
    auto probe = [&] {
        QString text = GetParam().uniqueKeys ? QStringLiteral("e2%1ab").arg(random() % (fresh + 1)) : key();
        return random() % 2 ? text.toUpper() : text;
    };
    auto scan = [&list](const QString& text) {
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.CellText(row, 0).compare(text, Qt::CaseInsensitive) == 0)
                return row;
        }
        return -1;
    };
    for (int step = 0; step < 4000; ++step) {
        const int count = list.RowCount();
        switch (random() % 8) {
        case 0: { // a save: the key's row gets a new plate, or a new row comes at the end
            const QString text = probe();
            int row = list.FindRow(text);
            if (row < 0)
                row = list.AppendRow(text);
            list.SetCellText(row, 1, QStringLiteral("p%1").arg(random() % 1000));
            break;
        }
        case 1:
            list.AppendRow(key());
            break;
        case 2:
            list.InsertRow(static_cast<int>(random() % (count + 1)), key());
            break;
        case 3:
            if (count > 0)
                list.DeleteRow(static_cast<int>(random() % count));
            break;
        case 4:
            if (count > 0)
                list.SetCellText(static_cast<int>(random() % count), 0, key().toUpper());
            break;
        case 5:
            if (random() % 4 == 0)
                list.SortByHeader(static_cast<int>(random() % 2));
            break;
        case 6:
            if (count > 0 && random() % 4 == 0) {
                std::vector<int> rows;
                for (int i = static_cast<int>(random() % 12); i >= 0; --i)
                    rows.push_back(static_cast<int>(random() % count));
                list.DeleteRows(rows);
            }
            break;
        default:
            if (random() % 50 == 0)
                list.Clear();
            break;
        }
        const QString text = probe();
        ASSERT_EQ(list.FindRow(text), scan(text)) << "step " << step << " probe " << text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, FindRowUnderEdits,
                         testing::Values(EditMix{"UniqueKeys", true}, EditMix{"SharedKeys", false}),
                         CaseName{});

TEST_F(ListTest, AppendedBlocksKeepTheirCellsAndAreFoundByKey) {
    Fill({QStringLiteral("a")});
    ListRows rows(2);
    rows.Add(u"B");
    rows.Add(u"pb");
    rows.EndRow(7);
    rows.Add(u"c"); // c's plate is missing
    rows.EndRow(8);
    list.AppendRows(std::move(rows));
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")}));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("P-a"), QStringLiteral("pb"), QString()}));
    EXPECT_EQ(list.ItemData(2), 8);
    EXPECT_EQ(list.FindRow(QStringLiteral("b")), 1);
    EXPECT_EQ(list.FindRow(QStringLiteral("C")), 2);
}

TEST_F(ListTest, DeleteRowsRemovesTheListedRowsOnce) {
    Fill(
        {QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2"), QStringLiteral("r3"), QStringLiteral("r4")});
    list.DeleteRows({3, 1, 3, -2, 99});
    EXPECT_EQ(Column(0), (QStringList{QStringLiteral("r0"), QStringLiteral("r2"), QStringLiteral("r4")}));
    EXPECT_EQ(list.ItemData(1), 102);
    EXPECT_EQ(list.FindRow(QStringLiteral("r4")), 2);
    list.DeleteRows({});
    EXPECT_EQ(list.RowCount(), 3);
}

class ListDeletion : public ListTest, public testing::WithParamInterface<bool> {};

// In one pass or in slices with the caller served between them: the same rows stay, and the
// selected and current row stay with their row throughout.
TEST_P(ListDeletion, DeleteRowsOfManyRunsKeepsSelectionAndCurrentRow) {
    const bool inSlices = GetParam();
    QStringList tags;
    for (int i = 0; i < 100; ++i)
        tags.push_back(QStringLiteral("t%1").arg(i));
    Fill(tags);
    qobject_cast<ListModel*>(list.model())->SetStepSizes(7, 16);
    list.SelectRow(51);
    std::vector<int> even;
    for (int row = 0; row < 100; row += 2)
        even.push_back(row);
    int served = 0;
    const auto serve = [&] {
        ++served;
        ASSERT_EQ(list.CellText(list.SelectedFocusedRow(), 0), QStringLiteral("t51"));
        QApplication::processEvents();
    };
    list.DeleteRows(even, inSlices ? std::function<void()>(serve) : std::function<void()>());
    EXPECT_EQ(served > 1, inSlices);
    ASSERT_EQ(list.RowCount(), 50);
    for (int row = 0; row < 50; ++row)
        ASSERT_EQ(list.CellText(row, 0), QStringLiteral("t%1").arg(2 * row + 1));
    EXPECT_EQ(list.SelectedFocusedRow(), 25);
    EXPECT_EQ(list.CellText(list.FirstSelectedRow(), 0), QStringLiteral("t51"));
    EXPECT_EQ(list.FindRow(QStringLiteral("t99")), 49);

    list.SelectRow(0); // t1
    list.DeleteRows({0, 2, 4, 6, 8, 10, 12, 14, 16, 18}, inSlices ? [] {} : std::function<void()>());
    EXPECT_EQ(list.FirstSelectedRow(), -1);
    EXPECT_EQ(list.RowCount(), 40);
}

INSTANTIATE_TEST_SUITE_P(Passes, ListDeletion, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& pass) { return pass.param ? "InSlices" : "InOnePass"; });

TEST_F(ListTest, SelectRowSelectsOnlyThatRowAndScrollsItIntoView) {
    QStringList tags;
    for (int i = 0; i < 500; ++i)
        tags.push_back(QStringLiteral("t%1").arg(i));
    Fill(tags);
    list.resize(300, 200);
    list.show();
    list.SelectRow(3);
    list.SelectRow(420);
    EXPECT_EQ(list.FirstSelectedRow(), 420);
    EXPECT_EQ(list.SelectedFocusedRow(), 420);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
    const QRect shown = list.visualRect(list.model()->index(420, 0));
    EXPECT_TRUE(list.viewport()->rect().contains(QRect(0, shown.top(), 1, shown.height())))
        << shown.top() << " in " << list.viewport()->height();

    list.SelectRow(-1);
    EXPECT_EQ(list.FirstSelectedRow(), -1);
}

TEST_F(ListTest, CtrlASelectsEveryRowInTurnLeavingTheLast) {
    Fill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.SelectRow(0);
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.FirstSelectedRow(), 2);
    EXPECT_EQ(list.currentIndex().row(), 0);
    EXPECT_EQ(list.SelectedFocusedRow(), -1);
}

TEST_F(ListTest, RightClickSelectsTheRowUnderTheCursorAndAsksTheParent) {
    Fill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.resize(300, 200);
    list.show();
    list.SelectRow(0);
    QSignalSpy requests(&list, &CListCtrlEx::contextRequested);

    const QPoint onRow1 = list.visualRect(list.model()->index(1, 1)).center();
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, onRow1);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.at(0).at(0).toPoint(), list.viewport()->mapToGlobal(onRow1));
    EXPECT_EQ(list.FirstSelectedRow(), 1);
    EXPECT_EQ(list.SelectedFocusedRow(), 1);

    // Below the rows: nothing stays selected, so the parent finds no row to act on.
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 150));
    EXPECT_EQ(requests.size(), 2);
    EXPECT_EQ(list.FirstSelectedRow(), -1);
}

TEST_F(ListTest, DoubleClickIsReported) {
    Fill({QStringLiteral("a"), QStringLiteral("b")});
    list.resize(300, 200);
    list.show();
    QSignalSpy doubles(&list, &CListCtrlEx::rowDoubleClicked);
    const QPoint onRow1 = list.visualRect(list.model()->index(1, 0)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, onRow1);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, onRow1);
    EXPECT_EQ(doubles.size(), 1);
    EXPECT_EQ(list.FirstSelectedRow(), 1);
}

TEST_F(ListTest, TintFollowsThePaletteAndIsOffWithoutSortColumn) {
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, Qt::white);
    list.setPalette(palette);
    EXPECT_TRUE(list.Core().TintOn());
    EXPECT_EQ(list.Core().TintColour(), (ListCore::Rgb{247, 247, 247}));

    palette.setColor(QPalette::Base, QColor(100, 200, 231));
    list.setPalette(palette);
    EXPECT_EQ(list.Core().TintColour(), (ListCore::Rgb{110, 220, 254}));
}

// Paints the list and reads pixels: the sorted column is tinted down to the bottom, the
// selected row is highlighted only while the list has the focus.
TEST_F(ListTest, DrawsTintStripeAndFocusDependentHighlight) {
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 200));
    window.setPalette(palette);
    CListCtrlEx shown(&window);
    QLineEdit other(&window);
    shown.setGeometry(0, 0, 300, 200);
    other.setGeometry(0, 210, 100, 20);
    shown.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate")}, {100, 100});
    shown.EnableSortMark(true, 1);
    shown.EnableSortTint(true, 0);
    shown.AppendRow(QStringLiteral("a"));
    shown.AppendRow(QStringLiteral("b"));
    shown.SelectRow(1);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    other.setFocus();
    const QPoint emptyCellOfRow1(190, shown.rowViewportPosition(1) + 10);
    const QPoint belowRowsInColumn0(90, 150);
    const QPoint belowRowsInColumn1(190, 150);
    QImage image = shown.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(belowRowsInColumn0), QColor(247, 247, 247));
    EXPECT_EQ(image.pixelColor(belowRowsInColumn1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(emptyCellOfRow1), QColor(Qt::white));

    shown.setFocus();
    ASSERT_TRUE(shown.hasFocus());
    image = shown.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(emptyCellOfRow1), QColor(0, 0, 200));
}

} // namespace
