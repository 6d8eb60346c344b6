#include "gui/exchange/ProgressDialog.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/UiTexts.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

class ProgressDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<ProgressDialog> Shown(const LanguageTexts& withTexts) {
        auto dialog = std::make_unique<ProgressDialog>(withTexts, &owner);
        EXPECT_TRUE(dialog->Create());
        return dialog;
    }
    std::unique_ptr<ProgressDialog> Shown() { return Shown(texts); }

    QWidget owner;
    LanguageTexts texts;
};

TEST_F(ProgressDialogTest, WindowIsCutShortBelowTheVisibleBar) {
    auto dialog = Shown();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    const QSize templateSize = DialogUnits(dialog->font()).Size(130, 65);
    EXPECT_EQ(dialog->width(), templateSize.width());
    EXPECT_EQ(dialog->height(), templateSize.height() - 32);

    auto* bar = FindControl<QProgressBar>(dialog.get(), 801);
    auto* secondBar = FindControl<QProgressBar>(dialog.get(), 802);
    auto* stop = FindControl<QPushButton>(dialog.get(), 1040);
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(secondBar, nullptr);
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_LE(bar->geometry().bottom(), dialog->height());
    EXPECT_FALSE(secondBar->isVisible());
    EXPECT_FALSE(stop->isVisible());
    EXPECT_GE(stop->geometry().top(), dialog->height()); // below the cut even if it were shown
}

TEST_F(ProgressDialogTest, LabelIsBoldAndComesFromTheLanguageFile) {
    auto builtIn = Shown();
    auto* label = FindControl<QLabel>(builtIn.get(), 803);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("處理中 ..."));
    EXPECT_TRUE(label->font().bold());

    TempDir dir;
    std::ofstream(dir.File("lang.ini")) << "[COMMON]\n045=Working ...\n[LUMETRA]\n015=Busy\n";
    auto fromFile = Shown(LanguageTexts(dir.File("lang.ini")));
    EXPECT_EQ(FindControl<QLabel>(fromFile.get(), 803)->text(), QStringLiteral("Working ..."));
    EXPECT_EQ(builtIn->windowTitle(), QStringLiteral("處理中"));
    EXPECT_EQ(fromFile->windowTitle(), QStringLiteral("Busy"));
    EXPECT_EQ(FindControl<QLabel>(fromFile.get(), 800)->accessibleName(), QStringLiteral("Busy"));
}

struct RangeCase {
    const char* name;
    qint64 low;
    qint64 high;
    qint64 pos;
    int expectedValue;
    int expectedMaximum;
};

class ProgressRangeTest : public ProgressDialogTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(ProgressRangeTest, BarStandsWherePosSaysWithinItsRange) {
    const RangeCase& c = GetParam();
    auto dialog = Shown();
    dialog->SetRange(c.low, c.high);
    dialog->SetPos(c.pos);
    EXPECT_EQ(dialog->Bar()->maximum(), c.expectedMaximum);
    EXPECT_EQ(dialog->Bar()->value(), c.expectedValue);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ProgressRangeTest,
    ::testing::Values(RangeCase{"Small", 0, 10, 3, 3, 10},                    //
                      RangeCase{"LastOfSmall", 0, 10, 9, 9, 10},              //
                      RangeCase{"FullSixteenBits", 0, 65535, 65534, 65534, 65535}, //
                      RangeCase{"HalfOfLarge", 0, 200000, 100000, 32767, 65535},   //
                      RangeCase{"EndOfLarge", 0, 200000, 200000, 65535, 65535},    //
                      RangeCase{"LastItemOfLarge", 0, 70000, 69999, 65534, 65535}, //
                      RangeCase{"OffsetLow", 100, 300, 200, 100, 200},             //
                      RangeCase{"BelowRange", 100, 300, 5, 0, 200},                //
                      RangeCase{"AboveRange", 0, 10, 50, 10, 10},                  //
                      RangeCase{"EmptyRangeStandsEmpty", 0, 0, 0, 0, 1}),
    CaseName{});

TEST_F(ProgressDialogTest, RangeSetBeforeCreateIsKept) {
    ProgressDialog dialog(texts, &owner);
    dialog.SetRange(0, 100000);
    ASSERT_TRUE(dialog.Create());
    dialog.SetPos(50000);
    EXPECT_EQ(dialog.Bar()->maximum(), 65535);
    EXPECT_EQ(dialog.Bar()->value(), 32767);
}

TEST_F(ProgressDialogTest, SetPosServesPendingEventsFirst) {
    auto dialog = Shown();
    dialog->SetRange(0, 10);
    int valueSeenByEvent = -1;
    QTimer::singleShot(0, dialog.get(), [&] { valueSeenByEvent = dialog->Bar()->value(); });
    dialog->SetPos(4);
    EXPECT_EQ(valueSeenByEvent, 0);
    EXPECT_EQ(dialog->Bar()->value(), 4);
}

TEST_F(ProgressDialogTest, ZeroItemLoopShowsAndRemovesTheWindow) {
    QPointer<ProgressDialog> seen;
    {
        auto dialog = Shown();
        seen = dialog.get();
        dialog->SetRange(0, 0);
        dialog->SetPos(0);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->Bar()->value(), 0);
    }
    EXPECT_TRUE(seen.isNull());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_NE(window->objectName(), QStringLiteral("id301"));
}

} // namespace
