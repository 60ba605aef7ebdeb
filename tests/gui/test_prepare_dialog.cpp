// The Prepare dialog on its own and from a row of the window: preparing in the
// background, listening, saving beside the source, and names for screen readers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "ScriptedUserPort.h"
#include "app/CProgrammerDlg.h"
#include "app/MessagePlayer.h"
#include "app/PrepareDialog.h"
#include "audio/PreparedOutput.h"
#include "job/SettingsStore.h"

using namespace zorvek;
namespace fs = std::filesystem;

namespace {

struct Recorder : SoundOutput {
    int plays = 0;
    QString unavailableReason() const override { return {}; }
    void play(std::shared_ptr<const std::vector<int16_t>>, int, std::function<void()>) override { ++plays; }
    void stop() override {}
};

// Four seconds of seeded noise bursts between a second of silence at each end.
std::string QuietMessage(const fs::path& folder) {
    std::mt19937 random(3);
    std::normal_distribution<float> gauss(0.0f, 300.0f);
    std::vector<int16_t> pcm(22010 * 6, 0);
    for (size_t i = 22010; i < 22010 * 5; ++i) pcm[i] = static_cast<int16_t>(gauss(random));
    const std::vector<uint8_t> bytes = EncodeSirenWave(pcm);
    const fs::path path = folder / "quiet.wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

void Finish(PrepareDialog& dialog) {
    dialog.prepare();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.busy(), 20000);
}

}  // namespace

TEST(PrepareDialog, PreparesInTheBackgroundListensAndSavesBesideTheSource) {
    QTemporaryDir tmp;
    const fs::path root(tmp.path().toStdString());
    const std::string source = QuietMessage(root);
    Recorder sound;
    PrepareDialog dialog(2, source, (root / "speech").string() + "/", &sound);
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w);
        if (control && w->isVisibleTo(&dialog) && !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
    }
    QAbstractButton* ok = dialog.findChild<QAbstractButton*>("prepareOk");
    EXPECT_FALSE(ok->isEnabled());
    Finish(dialog);
    ASSERT_NE(dialog.result(), nullptr);
    EXPECT_NEAR(dialog.result()->after.loudness, -16, 0.2);
    EXPECT_NEAR(dialog.secondsSaved(), 2 - 0.04, 0.03);
    EXPECT_TRUE(ok->isEnabled());
    QTest::mouseClick(dialog.findChild<QAbstractButton*>("prepareListen"), Qt::LeftButton);
    EXPECT_EQ(sound.plays, 1);
    // A change of a step drops the result, so OK never saves what is not shown.
    dialog.findChild<QAbstractButton*>("prepareHighPass")->click();
    EXPECT_FALSE(ok->isEnabled());
    Finish(dialog);
    dialog.accept();
    EXPECT_EQ(dialog.savedPath(), (root / "quiet-prepared.wav").string());
    EXPECT_TRUE(fs::exists(dialog.savedPath()));
    EXPECT_EQ(fs::file_size(source), 44u + 6 * 22010 * 2 + 2);

    // A silent source is refused in words, and nothing is saved.
    PrepareDialog silent(2, (root / "quiet-prepared.wav").string(), {}, nullptr);
    silent.findChild<QLineEdit*>("prepareFile")->setText(QString::fromStdString((root / "missing.wav").string()));
    Finish(silent);
    EXPECT_EQ(silent.result(), nullptr);
    EXPECT_TRUE(silent.findChild<QLabel*>("prepareReport")->text().startsWith("Cannot read"));
}

TEST(PrepareDialog, SpeechFromARowGoesIntoTheRow) {
    QTemporaryDir tmp;
    const fs::path root(tmp.path().toStdString());
    setenv("ZORVEK_ADAPTER", "simulator", 1);
    setenv("ZORVEK_SIMULATOR_FILE", (root / "siren.bin").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    MemorySettingsStore store;
    test::ScriptedUserPort port;
    fs::create_directories(root / "prog");
    auto dlg = std::make_unique<CProgrammerDlg>(store, (root / "prog").string() + "/", &port);
    dlg->show();
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<PrepareDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QRadioButton*>("prepareFromText")->setChecked(true);
        dialog->findChild<QPlainTextEdit*>("prepareText")->setPlainText("Fire alarm. Leave the building.");
        Finish(*dialog);
        dialog->accept();
    });
    dlg->findChild<QAction*>("prepare1")->trigger();
    const std::string expected = (root / "data/Zorvek/Messages/speech-fire-alarm-leave-the-building.wav").string();
    EXPECT_EQ(dlg->job().slot(1).wavPath, expected);
    EXPECT_TRUE(fs::exists(expected));
    EXPECT_TRUE(dlg->statusBar()->currentMessage().startsWith("Message 2 prepared"));
    dlg.reset();
    for (const char* name : {"ZORVEK_ADAPTER", "ZORVEK_SIMULATOR_FILE", "XDG_DATA_HOME"}) unsetenv(name);
}
