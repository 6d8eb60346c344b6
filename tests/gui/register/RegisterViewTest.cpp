// The main window and the flow tests' stand-in answer the register view alike, so a flow that
// passes on the stand-in behaves the same on the window.
#include "gui/register/RegisterColumn.h"
#include "tests/support/CaseName.h"
#include "tests/support/RegisterHarness.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct ViewCase {
    const char* name;
    RegisterHarness::View view;
};

void PrintTo(const ViewCase& c, std::ostream* os) {
    *os << c.name;
}

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

class RegisterViewTest : public ::testing::TestWithParam<ViewCase> {
protected:
    RegisterViewTest()
        : harness({{"AB12", "P1", VehicleType::Car, true},
                   {"CD34", "P2", VehicleType::Motorcycle, false, true},
                   {"EF56", "P3", VehicleOfNumber(7)}},
                  {}, {.view = GetParam().view}) {}

    RegisterView& View() { return harness.ViewOf(); }
    QStringList Row(int row) {
        QStringList cells;
        for (int column = 0; column < 5; ++column)
            cells << View().CellText(row, column);
        return cells;
    }

    ScriptedPrompts prompts;
    RegisterHarness harness;
};

TEST_P(RegisterViewTest, ShowsTheStoredRecordsAsTheListDoes) {
    ASSERT_EQ(View().RowCount(), 3);
    EXPECT_EQ(Row(0), Texts({"AB12", "P1", "汽車", "*", ""}));
    EXPECT_EQ(Row(1), Texts({"CD34", "P2", "機車", "", "Y"}));
    EXPECT_EQ(Row(2), Texts({"EF56", "P3", "汽車", "", ""}));
    EXPECT_EQ(View().RowCarType(2), VehicleOfNumber(7)); // kept as stored, shown as a car
    EXPECT_EQ(View().SelectedRow(), -1);
    QWidget* button = View().CommandButton(MainControl::Delete);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->window(), View().Window());
}

TEST_P(RegisterViewTest, UpsertFindsATagWhateverItsCaseAndAppendsANewOne) {
    EXPECT_EQ(View().UpsertRow(-1, TagRecord{"cd34", "NEW", VehicleType::Car, true, false}), 1);
    EXPECT_EQ(Row(1), Texts({"CD34", "NEW", "汽車", "*", ""})); // the listed spelling stays
    EXPECT_EQ(View().UpsertRow(-1, TagRecord{"GH78", "P4", VehicleType::Motorcycle, false, false}), 3);
    EXPECT_EQ(Row(3), Texts({"GH78", "P4", "機車", "", ""}));
    EXPECT_EQ(View().UpsertRow(0, TagRecord{"AB12", "P0", VehicleType::Car, false, false}), 0);
    EXPECT_EQ(Row(0), Texts({"AB12", "P0", "汽車", "", ""}));
    EXPECT_EQ(View().RowCount(), 4);
}

TEST_P(RegisterViewTest, RemovalsTakeTheIndicesFromBeforeTheCall) {
    ASSERT_EQ(View().UpsertRow(-1, TagRecord{"GH78", "P4", VehicleType::Car, false, false}), 3);
    View().RemoveRows({3, 0}, {});
    EXPECT_EQ(harness.Column(RegisterColumn::tag), Texts({"CD34", "EF56"}));
    View().RemoveRow(1);
    EXPECT_EQ(harness.Column(RegisterColumn::tag), Texts({"CD34"}));
    EXPECT_EQ(View().RowCarType(0), VehicleType::Motorcycle);
}

INSTANTIATE_TEST_SUITE_P(, RegisterViewTest,
                         ::testing::Values(ViewCase{"MainWindow", RegisterHarness::View::Window},
                                           ViewCase{"StandIn", RegisterHarness::View::Fake}),
                         CaseName{});

} // namespace
