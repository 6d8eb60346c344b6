#include "gui/controls/BalloonTip.h"
#include "gui/controls/ShowBalloon.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window with a field and a button, active and with the focus on the field.
class BalloonTest : public testing::Test {
protected:
    BalloonTest() : field(new QLineEdit(&window)), button(new QPushButton(QStringLiteral("Other"), &window)) {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(button);
        window.setGeometry(100, 120, 300, 60);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }

    ~BalloonTest() override { QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false); }

    BalloonTip* Shown() const { return window.findChild<BalloonTip*>(QStringLiteral("balloon")); }

    // The watchers arm from the event loop; tests wait for that before sending input.
    static bool Armed(BalloonTip* balloon) {
        return QTest::qWaitFor([balloon] { return balloon->IsWatching(); });
    }

    static bool Gone(const QPointer<BalloonTip>& balloon) {
        return QTest::qWaitFor([&balloon] { return balloon.isNull(); });
    }

    QWidget window;
    QLineEdit* field;
    QPushButton* button;
};

TEST_F(BalloonTest, ShowBalloonAtPointsAtTheControlAndLeavesItTheFocus) {
    ShowBalloonAt(field, QString::fromUtf8("不可為空白!"));
    BalloonTip* balloon = Shown();
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_EQ(balloon->accessibleName(), QString::fromUtf8("不可為空白!"));
    EXPECT_EQ(balloon->Background(), QColor(255, 180, 180));
    EXPECT_EQ(balloon->geometry(), balloon->Layout().window);
    EXPECT_EQ(balloon->geometry().topLeft() + balloon->Layout().Tip(),
              field->mapToGlobal(QPoint(field->width() / 2, field->height() / 2)));

    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(QApplication::activeWindow(), &window);
    EXPECT_FALSE(balloon->isActiveWindow());
}

// The balloon never has the focus: a screen reader knows it by its role, name and description.
// (The alert it raises on showing needs a platform accessibility back end, which a headless
// run does not have.)
TEST_F(BalloonTest, ReachesAssistiveTechnologyByRoleNameAndDescription) {
    ShowBalloonAt(field, QString::fromUtf8("不可為空白!"));
    BalloonTip* balloon = Shown();
    ASSERT_NE(balloon, nullptr);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(balloon);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::ToolTip);
    EXPECT_EQ(face->text(QAccessible::Name), QString::fromUtf8("不可為空白!"));
    EXPECT_EQ(face->text(QAccessible::Description), QString::fromUtf8("不可為空白!"));
}

TEST_F(BalloonTest, KeyPressInTheProgramClosesAndDeletesIt) {
    ShowBalloonAt(field, QStringLiteral("message"));
    QPointer<BalloonTip> balloon = Shown();
    ASSERT_TRUE(balloon);
    ASSERT_TRUE(Armed(balloon));

    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(field, &release);
    QCoreApplication::processEvents();
    ASSERT_TRUE(balloon);
    EXPECT_TRUE(balloon->isVisible());

    QTest::keyClick(field, Qt::Key_A, Qt::NoModifier);
    EXPECT_TRUE(Gone(balloon));
    EXPECT_EQ(field->text(), QStringLiteral("a")); // the key still reaches the field
}

TEST_F(BalloonTest, KeyTakenByAShortcutClosesItToo) {
    int triggered = 0;
    QShortcut save(QKeySequence(Qt::Key_F2), &window); // no modifier: no separate Ctrl press
    QObject::connect(&save, &QShortcut::activated, [&triggered] { ++triggered; });
    ShowBalloonAt(field, QStringLiteral("message"));
    QPointer<BalloonTip> balloon = Shown();
    ASSERT_TRUE(Armed(balloon));
    QTest::keyClick(field, Qt::Key_F2);
    EXPECT_EQ(triggered, 1);
    EXPECT_TRUE(Gone(balloon));
}

TEST_F(BalloonTest, LeftPressAnywhereClosesItRightPressDoesNot) {
    ShowBalloonAt(field, QStringLiteral("message"));
    QPointer<BalloonTip> balloon = Shown();
    ASSERT_TRUE(Armed(balloon));

    QTest::mouseClick(button, Qt::RightButton);
    QCoreApplication::processEvents();
    ASSERT_TRUE(balloon);
    EXPECT_TRUE(balloon->isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(Gone(balloon));
}

TEST_F(BalloonTest, TheKeyThatShowedItDoesNotCloseIt) {
    // F5 is not used by the field and travels on to the window after the balloon is up.
    struct Shower : QObject {
        QLineEdit* field = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F5)
                ShowBalloonAt(field, QStringLiteral("message"));
            return false;
        }
    } shower;
    shower.field = field;
    field->installEventFilter(&shower);
    QTest::keyClick(field, Qt::Key_F5);
    field->removeEventFilter(&shower);

    QPointer<BalloonTip> balloon = Shown();
    ASSERT_TRUE(balloon);
    ASSERT_TRUE(Armed(balloon));
    EXPECT_TRUE(balloon->isVisible());
    QTest::keyClick(field, Qt::Key_F5);
    EXPECT_TRUE(Gone(balloon));
}

TEST_F(BalloonTest, SecondBalloonDoesNotCloseTheFirst) {
    ShowBalloonAt(field, QStringLiteral("first"));
    ShowBalloonAt(button, QStringLiteral("second"));
    const QList<BalloonTip*> shown = window.findChildren<BalloonTip*>(QStringLiteral("balloon"));
    ASSERT_EQ(shown.size(), 2);
    QPointer<BalloonTip> first = shown[0];
    QPointer<BalloonTip> second = shown[1];
    ASSERT_TRUE(Armed(first));
    ASSERT_TRUE(Armed(second));
    EXPECT_TRUE(first->isVisible());
    QTest::keyClick(field, Qt::Key_Space);
    EXPECT_TRUE(Gone(first));
    EXPECT_TRUE(Gone(second));
}

TEST_F(BalloonTest, OwnedBalloonHidesButStaysAndCanBeLaunchedAgain) {
    auto balloon = std::make_unique<BalloonTip>();
    ASSERT_TRUE(
        balloon->Launch(QStringLiteral("Title"), QStringLiteral("Text"), {10, 10}, BalloonTip::closeOnMouse, field, 0));
    EXPECT_FALSE(balloon->Launch(QStringLiteral("Again"), QStringLiteral("Text"), {10, 10}, 0, field, 0));
    ASSERT_TRUE(Armed(balloon.get()));

    QTest::keyClick(field, Qt::Key_A); // keys are not watched with these options
    QCoreApplication::processEvents();
    EXPECT_TRUE(balloon->IsLaunched());

    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&balloon] { return !balloon->IsLaunched(); }));
    EXPECT_FALSE(balloon->isVisible());

    EXPECT_TRUE(balloon->Launch(QString(), QStringLiteral("Text"), {10, 10}, 0, field, 0));
    EXPECT_TRUE(balloon->isVisible());
}

TEST_F(BalloonTest, TimeOutClosesIt) {
    BalloonTip balloon;
    ASSERT_TRUE(balloon.Launch(QString(), QStringLiteral("Text"), {400, 300}, 0, nullptr, 20));
    EXPECT_TRUE(QTest::qWaitFor([&balloon] { return !balloon.IsLaunched(); }));
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(BalloonTest, FollowsItsAnchorWindowWhenItMoves) {
    ShowBalloonAt(field, QStringLiteral("message"));
    BalloonTip* balloon = Shown();
    ASSERT_TRUE(Armed(balloon));
    const QPoint before = balloon->pos();
    window.move(window.pos() + QPoint(40, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon->pos() == before + QPoint(40, 30); }))
        << balloon->pos().x() << "," << balloon->pos().y();
}

TEST_F(BalloonTest, ClosesWhenItsAnchorWindowGoes) {
    auto* extra = new QLineEdit(&window);
    BalloonTip balloon;
    ASSERT_TRUE(balloon.Launch(QString(), QStringLiteral("Text"), {5, 5}, 0, extra, 0));
    delete extra;
    EXPECT_TRUE(QTest::qWaitFor([&balloon] { return !balloon.IsLaunched(); }));
}

TEST_F(BalloonTest, WithoutTooltipEffectsShowsAndGoesAtOnce) {
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    BalloonTip balloon;
    ASSERT_TRUE(balloon.Launch(QString(), QStringLiteral("Text"), {5, 5}, 0, field, 0));
    EXPECT_FALSE(balloon.Fades());
    EXPECT_EQ(balloon.windowOpacity(), 1.0);
    balloon.RequestClose();
    QCoreApplication::sendPostedEvents(&balloon);
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(BalloonTest, WithTooltipEffectsFadesInAndOut) {
    QApplication::setEffectEnabled(Qt::UI_General, true);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, true);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, true);
    BalloonTip balloon;
    ASSERT_TRUE(balloon.Launch(QString(), QStringLiteral("Text"), {5, 5}, 0, field, 0));
    EXPECT_TRUE(balloon.Fades());
    EXPECT_LT(balloon.windowOpacity(), 1.0);
    EXPECT_TRUE(QTest::qWaitFor([&balloon] { return balloon.windowOpacity() == 1.0; }));

    balloon.RequestClose();
    QCoreApplication::sendPostedEvents(&balloon);
    EXPECT_TRUE(balloon.isVisible()); // still fading out
    EXPECT_TRUE(QTest::qWaitFor([&balloon] { return !balloon.isVisible(); }));
}

TEST_F(BalloonTest, PaintsBackgroundFrameAndText) {
    BalloonTip balloon;
    balloon.SetBackground(QColor(255, 180, 180));
    ASSERT_TRUE(balloon.Launch(QStringLiteral("Title"), QStringLiteral("x"), {5, 5}, 0, field, 0));
    const QRect body = balloon.Layout().body;
    const int middle = body.center().y();
    const QImage image = balloon.grab().toImage();
    EXPECT_EQ(image.pixelColor(body.width() - 4, middle), QColor(255, 180, 180));
    EXPECT_EQ(image.pixelColor(body.width() - 1, middle), balloon.TextColour());
    EXPECT_EQ(image.pixelColor(0, middle), balloon.TextColour());
    EXPECT_FALSE(balloon.mask().contains(QPoint(0, body.top())));
    EXPECT_TRUE(balloon.mask().contains(body.center()));
}

} // namespace
