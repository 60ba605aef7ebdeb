// The progress popup's place across runs on a real window manager, where a
// frame surrounds the client area. Only meaningful on X11; elsewhere it skips
// (run-under-wm.sh runs it under Xvfb with openbox).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "job/SettingsStore.h"
#include "ui/CProgressWindow.h"

using namespace zorvek;

TEST(PopupUnderWindowManager, KeepsItsFramePlaceAcrossRuns) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs X11 and a window manager";
    MemorySettingsStore store;
    auto main = std::make_unique<QWidget>();
    main->setGeometry(100, 120, 600, 400);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    setApplicationMainWindow(main.get());

    // Each run: show the popup, let the window manager frame it, note where the
    // frame is, and close it (which saves the place).
    auto run = [&](QPoint moveTo) {
        CProgressWindow popup(main.get(), "Complete...", false, &store);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(popup.window()));
        QTest::qWait(300);
        if (!moveTo.isNull()) {
            popup.window()->move(moveTo);
            QTest::qWait(300);
        }
        // The window's own view of its frame, as the window manager drew it.
        QWindow* window = popup.window()->windowHandle();
        for (int waited = 0; window->frameGeometry() == window->geometry() && waited < 5000; waited += 50)
            QTest::qWait(50);
        EXPECT_NE(window->frameGeometry(), window->geometry()) << "no frame: is a window manager running?";
        // A busy machine may still be moving it: wait until it has stood still a while.
        for (int still = 0, waited = 0; still < 4 && waited < 5000; waited += 100) {
            const QRect before = window->frameGeometry();
            QTest::qWait(100);
            still = window->frameGeometry() == before ? still + 1 : 0;
        }
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        EXPECT_TRUE(frame.contains(client));
        return frame.topLeft();
    };
    const QPoint placed = run(QPoint(220, 180));
    const QPoint second = run({});
    const QPoint third = run({});
    EXPECT_EQ(second, placed);
    EXPECT_EQ(third, placed);
    setApplicationMainWindow(nullptr);
}
