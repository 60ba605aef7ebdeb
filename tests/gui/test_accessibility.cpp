// What a screen reader and a keyboard alone get from the window: every control
// named, every control reached with Tab, and a whole Program done with keys.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <set>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "app/CProgrammerDlg.h"
#include "app/RunStatus.h"
#include "job/SettingsStore.h"
#include "job/SlotTable.h"
#include "ui/CProgressWindow.h"

using namespace zorvek;
namespace fs = std::filesystem;

namespace {

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = fs::path(tmp.path().toStdString());
        fs::create_directories(root / "prog");
        setenv("ZORVEK_ADAPTER", "simulator", 1);
        setenv("ZORVEK_SIMULATOR_FILE", (root / "siren.bin").c_str(), 1);
        dlg = std::make_unique<CProgrammerDlg>(store, (root / "prog").string() + "/", &port);
        setApplicationMainWindow(dlg.get());
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    void TearDown() override {
        dlg.reset();
        setApplicationMainWindow(nullptr);
        unsetenv("ZORVEK_ADAPTER");
        unsetenv("ZORVEK_SIMULATOR_FILE");
    }
    // The controls a person can reach: shown, enabled and taking the focus.
    std::vector<QWidget*> focusable() const {
        std::vector<QWidget*> out;
        for (QWidget* w : dlg->findChildren<QWidget*>())
            if (w->isVisibleTo(dlg.get()) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->inherits("QScrollBar") && w->window() == dlg.get())
                out.push_back(w);
        return out;
    }
    // Keys go through the window, as the keyboard's do, so mnemonics work.
    QWidget* tab() {
        QTest::keyClick(dlg->windowHandle(), Qt::Key_Tab);
        return QApplication::focusWidget();
    }

    QTemporaryDir tmp;
    fs::path root;
    MemorySettingsStore store;
    test::ScriptedUserPort port;
    std::unique_ptr<CProgrammerDlg> dlg;
};

}  // namespace

TEST_F(AccessibilityTest, EveryControlHasANameAndADescription) {
    std::vector<std::string> unnamed;
    for (QWidget* w : focusable()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        // On Linux a list's name is its current entry; its own name is set apart.
        const QString name = (w->accessibleName().isEmpty() ? a->text(QAccessible::Name) : w->accessibleName()).trimmed();
        // A bare symbol ("▶") is no name to be read out.
        if (name.isEmpty() || !name.front().isLetter() || w->accessibleDescription().isEmpty())
            unnamed.push_back(w->metaObject()->className() + std::string(" ") + w->objectName().toStdString() +
                              " \"" + name.toStdString() + "\"");
    }
    EXPECT_TRUE(unnamed.empty()) << ::testing::PrintToString(unnamed);
    EXPECT_EQ(dlg->control(slotControls(3).toneListId)->accessibleName(), "Message 4 siren tone");
    EXPECT_EQ(dlg->control(slotControls(7).pathBoxId)->accessibleName(), "Message 1 file");
}

TEST_F(AccessibilityTest, TabReachesEveryControlAndKeysAloneProgramTheSiren) {
    const std::vector<QWidget*> all = focusable();
    std::set<QWidget*> reached;
    QWidget* first = QApplication::focusWidget();
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 200 && reached.size() < all.size(); ++i) reached.insert(tab());
    // Tab enters a group of radio buttons at its checked one; the arrows move inside.
    for (QWidget* w : all) {
        if (!w->inherits("QRadioButton")) {
            EXPECT_TRUE(reached.count(w)) << w->objectName().toStdString() << " is never reached";
        }
    }
    const bool radioReached =
        std::any_of(reached.begin(), reached.end(), [](QWidget* w) { return w->inherits("QRadioButton"); });
    EXPECT_TRUE(radioReached);

    // Type Message 1's file into its box.
    const fs::path sound = root / "alarm.wav";
    test::WriteBytes(sound, test::PcmWave(1, 22010, 16, test::Samples16(std::vector<int16_t>(22010, 500))));
    auto* path = dlg->controlAs<QLineEdit>(slotControls(7).pathBoxId);
    for (int i = 0; i < 200 && QApplication::focusWidget() != path; ++i) tab();
    ASSERT_EQ(QApplication::focusWidget(), path);
    for (QChar c : QString::fromStdString(sound.string())) QTest::keyClick(dlg->windowHandle(), c.toLatin1());
    // Then to Program and Space (Alt+P is the same under a desktop's theme; the
    // offscreen platform has no mnemonics).
    QWidget* program = dlg->control(kIdProgram);
    for (int i = 0; i < 200 && QApplication::focusWidget() != program; ++i) tab();
    ASSERT_EQ(QApplication::focusWidget(), program);
    QTest::keyClick(dlg->windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(dlg->runStatus()->text().startsWith("Programmed"))
        << dlg->runStatus()->text().toStdString() << ::testing::PrintToString(port.Texts());
    EXPECT_EQ(dlg->job().slot(7).wavPath, sound.string());
}
