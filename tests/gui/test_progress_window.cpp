#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "job/SettingsStore.h"
#include "ui/CProgressWindow.h"

using namespace zorvek;

namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<QWidget>();
        main->setGeometry(100, 80, 600, 400);
        main->show();
        setApplicationMainWindow(main.get());
    }
    void TearDown() override { setApplicationMainWindow(nullptr); }

    void postEscape(CProgressWindow& p) {
        QCoreApplication::postEvent(p.cancelButton(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }

    MemorySettingsStore store;
    std::unique_ptr<QWidget> main;
};

}  // namespace

TEST_F(ProgressWindowTest, CaptionGainsThePercentageAsTheBarMoves) {
    CProgressWindow p(main.get(), "Complete...", false, &store);
    ASSERT_NE(p.window(), nullptr);
    EXPECT_TRUE(p.window()->isVisible());
    EXPECT_EQ(p.caption(), "Complete...");
    EXPECT_EQ(p.cancelButton()->text(), " Cancel ");
    EXPECT_TRUE(p.window()->windowFlags() & Qt::WindowStaysOnTopHint);

    // The window exists already: BeginModal only disables the main window.
    EXPECT_TRUE(p.BeginModal("Progress", false));
    EXPECT_EQ(p.caption(), "Complete...");
    EXPECT_FALSE(main->isEnabled());
    EXPECT_TRUE(p.window()->isEnabled());

    p.SetRange(0, 3, 1);
    p.SetText("Erasing...");
    EXPECT_EQ(p.text(), "Erasing...");
    EXPECT_EQ(p.SetPosition(0), 0);
    EXPECT_EQ(p.caption(), "Complete...");  // 0 % equals the initial percentage
    EXPECT_EQ(p.Step(), 0);
    EXPECT_EQ(p.caption(), "Complete... [33%]");
    EXPECT_EQ(p.Step(), 1);
    EXPECT_EQ(p.caption(), "Complete... [67%]");
    EXPECT_EQ(p.Step(), 2);
    EXPECT_EQ(p.caption(), "Complete... [100%]");
    // Beyond the top the percentage is not clamped; the bar is.
    EXPECT_EQ(p.SetPosition(5), 3);
    EXPECT_EQ(p.caption(), "Complete... [167%]");
    EXPECT_EQ(p.barValue(), 3);
    EXPECT_EQ(p.Advance(-5), 3);
    EXPECT_EQ(p.position(), 0);

    p.Destroy();
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(p.window(), nullptr);
    // Without a window every call is harmless and answers from the stored values.
    EXPECT_EQ(p.Step(), 0);
    p.SetText("gone");
    p.PumpMessages(true);
    EXPECT_FALSE(p.IsCancelled());
}

TEST_F(ProgressWindowTest, EmptyOrInvertedRangeGivesZeroPercentAndNoBusyBar) {
    CProgressWindow p(main.get(), "Complete...", false, &store);
    p.SetRange(5, 5, 1);
    p.SetPosition(7);
    EXPECT_EQ(p.caption(), "Complete...");
    EXPECT_GT(p.barMaximum(), p.barMinimum());  // 0..0 would turn the bar into a busy indicator
    p.SetRange(0, 0, 1);
    p.Step();
    EXPECT_EQ(p.caption(), "Complete...");
    EXPECT_GT(p.barMaximum(), p.barMinimum());
    p.SetRange(10, 2, 1);
    p.SetPosition(6);
    EXPECT_EQ(p.caption(), "Complete...");
    // Extreme positions neither overflow nor wrap the percentage.
    p.SetRange(INT_MIN, INT_MAX, 1);
    p.SetPosition(INT_MAX);
    EXPECT_EQ(p.caption(), "Complete... [100%]");
}

TEST_F(ProgressWindowTest, RangeBeforeTheWindowExistsIsNotKept) {
    CProgressWindow p(&store);
    EXPECT_EQ(p.window(), nullptr);
    p.SetRange(0, 10, 2);
    EXPECT_EQ(p.SetPosition(4), 0);
    EXPECT_EQ(p.upper(), 100);
    EXPECT_EQ(p.step(), 1);

    ASSERT_TRUE(p.BeginModal("Reading", false));
    EXPECT_EQ(p.caption(), "Reading");
    EXPECT_FALSE(main->isEnabled());  // the application's main window
    EXPECT_EQ(p.barMinimum(), 0);
    EXPECT_EQ(p.barMaximum(), 100);
    p.Step();
    // The percentage captions use the constructor's stem, here the default.
    EXPECT_EQ(p.caption(), "Progress [1%]");
    p.Destroy();
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(ProgressWindowTest, SecondBeginModalStillReenablesTheMainWindow) {
    CProgressWindow p(main.get(), "Complete...", false, &store);
    p.BeginModal("Progress", false);
    p.BeginModal("Progress", false);
    EXPECT_FALSE(main->isEnabled());
    p.Destroy();
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(ProgressWindowTest, EscapeCancelsOnlyWhenAskedAndCancelStopsDispatching) {
    CProgressWindow p(main.get(), "Complete...", false, &store);
    p.BeginModal("Progress", false);
    postEscape(p);
    p.PumpMessages(false);
    EXPECT_FALSE(p.IsCancelled());
    postEscape(p);
    p.PumpMessages(true);
    EXPECT_TRUE(p.IsCancelled());
    EXPECT_FALSE(p.window()->isVisible());

    // Once cancelled, the pump returns without dispatching anything.
    bool delivered = false;
    QTimer::singleShot(0, main.get(), [&] { delivered = true; });
    p.PumpMessages(true);
    EXPECT_FALSE(delivered);
    QCoreApplication::processEvents();
    EXPECT_TRUE(delivered);

    // Progress shows the popup again; the flag stays until Reset.
    p.Step();
    EXPECT_TRUE(p.window()->isVisible());
    EXPECT_TRUE(p.IsCancelled());
    p.SetText("Programming...");
    p.Reset();
    EXPECT_FALSE(p.IsCancelled());
    EXPECT_EQ(p.text(), "");
    EXPECT_EQ(p.position(), 0);
}

TEST_F(ProgressWindowTest, CancelButtonAndWindowCloseAlwaysCount) {
    CProgressWindow p(main.get(), "Complete...", false, &store);  // not modal
    p.PumpMessages(false);
    EXPECT_FALSE(p.IsCancelled());
    p.cancelButton()->click();
    EXPECT_TRUE(p.IsCancelled());
    EXPECT_FALSE(p.window()->isVisible());

    CProgressWindow q(main.get(), "Complete...", false, &store);
    q.window()->close();  // the window manager's close: a Cancel, and the window stays for the operation
    EXPECT_TRUE(q.IsCancelled());
    EXPECT_NE(q.window(), nullptr);
}

TEST_F(ProgressWindowTest, PositionIsKeptInXAndY) {
    QPoint client;
    {
        CProgressWindow p(main.get(), "Complete...", false, &store);
        // No stored position: centred over the owner.
        const QPoint centre = p.window()->frameGeometry().center();
        EXPECT_LE((centre - main->frameGeometry().center()).manhattanLength(), 2);
        p.window()->move(40, 50);
        client = p.window()->geometry().topLeft();
    }  // the destructor saves it: the client area's corner, which is what can be put back
    EXPECT_EQ(store.ReadInt("Settings", "X", -1), client.x());
    EXPECT_EQ(store.ReadInt("Settings", "Y", -1), client.y());
    {
        CProgressWindow p(main.get(), "Complete...", false, &store);
        EXPECT_EQ(p.window()->pos(), QPoint(40, 50));
    }
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    for (QPoint stored : {QPoint(-1, -1), QPoint(screen.width(), 10), QPoint(10, screen.height())}) {
        store.WriteInt("Settings", "X", stored.x());
        store.WriteInt("Settings", "Y", stored.y());
        CProgressWindow p(main.get(), "Complete...", false, &store);
        const QPoint centre = p.window()->frameGeometry().center();
        EXPECT_LE((centre - main->frameGeometry().center()).manhattanLength(), 2) << stored.x() << "," << stored.y();
        p.SetPersistPosition(false);
    }
}

TEST_F(ProgressWindowTest, LayoutFollowsTheTextWidthAndLongTextIsCut) {
    CProgressWindow p(main.get(), "Complete...", false, &store);
    QWidget* text = p.window()->findChild<QWidget*>("id11");
    QWidget* bar = p.window()->findChild<QWidget*>("id12");
    ASSERT_TRUE(text && bar);
    EXPECT_EQ(text->geometry().topLeft(), QPoint(10, 10));
    EXPECT_EQ(text->width(), 390);
    EXPECT_EQ(p.window()->width(), 410);
    EXPECT_EQ(p.cancelButton()->geometry().right(), text->geometry().right());
    EXPECT_EQ(p.cancelButton()->geometry().top(), text->geometry().bottom() + 11);
    EXPECT_EQ(bar->geometry().right(), p.cancelButton()->geometry().left() - 11);
    EXPECT_EQ(p.window()->height(), text->height() + p.cancelButton()->height() + 30);

    p.SetText(std::string(600, 'a'));
    EXPECT_EQ(p.text().size(), 511);
    p.SetText(std::string(510, 'a') + "\xC3\xA9");  // the last character would straddle the limit
    EXPECT_EQ(p.text().toUtf8().size(), 510);
}
