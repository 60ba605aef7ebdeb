// The flash gauge, dropped files, the end-of-run status, file-naming WAV boxes
// and the small fixes of the window, on a simulated siren with scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <set>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "app/CProgrammerDlg.h"
#include "app/FlashGauge.h"
#include "app/MessagePlayer.h"
#include "app/RunStatus.h"
#include "audio/MessagePreview.h"
#include "job/SettingsStore.h"
#include "job/SlotTable.h"
#include "ui/CProgressWindow.h"

using namespace zorvek;
namespace fs = std::filesystem;

namespace {

// Records what would go to the speakers.
struct SoundLog {
    std::vector<std::vector<int16_t>> played;
    int rate = 0;
    int stops = 0;
    std::function<void()> finish;
    QString unavailable;
};
class RecordingOutput : public SoundOutput {
public:
    explicit RecordingOutput(std::shared_ptr<SoundLog> log) : log_(std::move(log)) {}
    QString unavailableReason() const override { return log_->unavailable; }
    void play(std::shared_ptr<const std::vector<int16_t>> samples, int rate, std::function<void()> finished) override {
        log_->played.push_back(*samples);
        log_->rate = rate;
        log_->finish = std::move(finished);
    }
    void stop() override { ++log_->stops; }

private:
    std::shared_ptr<SoundLog> log_;
};

class WindowAdditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = fs::path(tmp.path().toStdString());
        fs::create_directories(root / "prog");
        fs::create_directories(root / "sounds");
        setenv("ZORVEK_ADAPTER", "simulator", 1);
        setenv("ZORVEK_SIMULATOR_FILE", (root / "siren.bin").c_str(), 1);
    }
    void TearDown() override {
        dlg.reset();
        setApplicationMainWindow(nullptr);
        for (const char* name : {"ZORVEK_ADAPTER", "ZORVEK_SIMULATOR_FILE", "ZORVEK_SIMULATOR_SIZE"}) unsetenv(name);
    }
    void start() {
        dlg = std::make_unique<CProgrammerDlg>(store, (root / "prog").string() + "/", &port);
        setApplicationMainWindow(dlg.get());
        dlg->show();
    }
    // A mono 16-bit file of `seconds` at `rate`.
    std::string wav(const std::string& name, double seconds, uint32_t rate = 44100) {
        const std::vector<int16_t> pcm(static_cast<size_t>(seconds * rate), 300);
        const fs::path path = root / "sounds" / name;
        test::WriteBytes(path, test::PcmWave(1, rate, 16, test::Samples16(pcm)));
        return path.string();
    }
    void choose(int slot, const std::string& path) {
        port.fileAnswers.push_back(path);
        QTest::mouseClick(dlg->controlAs<QPushButton>(slotControls(slot).openButtonId), Qt::LeftButton);
    }
    void program() { QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton); }
    QString status() { return dlg->runStatus()->text(); }
    // Sends a drag of `urls` and, when it is taken, the drop, onto the middle of a slot's row.
    bool drop(int slot, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QWidget* target = dlg->clientArea();
        const QPoint at = dlg->control(slotControls(slot).rowCaptionId)->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    }

    QTemporaryDir tmp;
    fs::path root;
    MemorySettingsStore store;
    test::ScriptedUserPort port;
    std::unique_ptr<CProgrammerDlg> dlg;
};

}  // namespace

TEST_F(WindowAdditionsTest, GaugeShowsTheBytesOfTheImageTheCoreBuilds) {
    start();
    FlashGauge* gauge = dlg->flashGauge();
    EXPECT_EQ(gauge->fill().used, kAudioStart + 3);  // no file: the table and one silent pair
    choose(7, wav("alarm.wav", 2.0));
    choose(1, wav("fire.wav", 1.5, 16000));
    choose(2, dlg->job().slot(7).wavPath);  // stored once
    // Typed, as well as chosen.
    QTest::keyClicks(dlg->controlAs<QLineEdit>(slotControls(3).pathBoxId), QString::fromStdString(wav("x.wav", 0.5)));

    JobState copy = dlg->job();
    copy.flashLastAddress = (2u << 20) - 1;
    SpiLink unused;
    test::ScriptedUserPort quiet;
    FlashImage image;
    ASSERT_EQ(SirenOperations(copy, unused, quiet).BuildImage(image), OperationOutcome::Success);
    EXPECT_EQ(gauge->fill().used, image.size());
    ASSERT_EQ(gauge->fill().messages.size(), 3u);
    EXPECT_TRUE(gauge->summary().contains(QStringLiteral("/ 2048 KiB (assumed), "))) << gauge->summary().toStdString();
    EXPECT_TRUE(gauge->summary().endsWith(QStringLiteral(" s free")));

    // Once a flash is identified, its own size counts.
    program();
    EXPECT_FALSE(gauge->fill().capacityAssumed);
}

TEST_F(WindowAdditionsTest, AJobThatDoesNotFitIsRedBeforeProgramSaysSo) {
    setenv("ZORVEK_SIMULATOR_SIZE", "262144", 1);
    start();
    program();  // identifies the small flash
    choose(7, wav("long.wav", 14.0, 22010));
    FlashGauge* gauge = dlg->flashGauge();
    EXPECT_FALSE(gauge->fill().Fits());
    EXPECT_TRUE(gauge->summary().contains(QStringLiteral("/ 256 KiB, "))) << gauge->summary().toStdString();
    EXPECT_TRUE(gauge->summary().endsWith(QStringLiteral(" s too long")));
    port.messages.clear();
    program();
    // The box says which message does not fit and by how much, as the gauge does.
    const QString over = gauge->summary().section(QStringLiteral(", "), -1);
    EXPECT_TRUE(port.SawContaining(std::string(kMsgTooBig) + "\nMessage ")) << ::testing::PrintToString(port.Texts());
    EXPECT_TRUE(port.SawContaining(over.toStdString())) << over.toStdString();
    EXPECT_EQ(status(), QStringLiteral("Failed: ") + kMsgTooBig);
}

TEST_F(WindowAdditionsTest, DroppedFileIsTakenAsIfChosenWithOpen) {
    start();
    const std::string file = wav("drop.wav", 0.2);
    EXPECT_TRUE(drop(7, {QUrl::fromLocalFile(QString::fromStdString(file))}));
    EXPECT_EQ(dlg->job().slot(7).wavPath, file);
    EXPECT_EQ(dlg->controlAs<QLineEdit>(slotControls(7).pathBoxId)->text().toStdString(), file);
    EXPECT_EQ(dlg->job().wavFolder, (root / "sounds").string() + "/");
    EXPECT_EQ(dlg->flashGauge()->fill().messages.size(), 1u);

    // What Open would not give: a missing file, a folder, two files, a web address.
    const QUrl other = QUrl::fromLocalFile(QString::fromStdString(wav("other.wav", 0.2)));
    EXPECT_FALSE(drop(1, {QUrl::fromLocalFile(QString::fromStdString((root / "gone.wav").string()))}));
    EXPECT_FALSE(drop(1, {QUrl::fromLocalFile(QString::fromStdString((root / "sounds").string()))}));
    EXPECT_FALSE(drop(1, {other, other}));
    EXPECT_FALSE(drop(1, {QUrl(QStringLiteral("https://example.org/a.wav"))}));
    EXPECT_EQ(dlg->job().slot(1).wavPath, "");

    // A row the usage locks takes no file.
    dlg->controlAs<QRadioButton>(1099)->click();  // IndustrialAc locks slots 4 to 6
    ASSERT_FALSE(dlg->control(slotControls(4).pathBoxId)->isEnabled());
    EXPECT_FALSE(drop(4, {other}));
    EXPECT_EQ(dlg->job().slot(4).wavPath, "");
}

TEST_F(WindowAdditionsTest, StatusBarKeepsHowTheLastRunEnded) {
    start();
    choose(7, wav("alarm.wav", 0.5));
    program();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Programmed \\(not verified\\), \\d+ s(, [0-9.]+ KiB/s)?: \\d+ sectors? "
                                                  "erased, \\d+ pages? written, \\d+ already right$"))
                    .match(status())
                    .hasMatch())
        << status().toStdString();
    EXPECT_EQ(dlg->runStatus()->adapterText(), QStringLiteral("Simulated Siren SIM0001"));
    EXPECT_EQ(dlg->runStatus()->tone(), RunSummary::Tone::Success);
    EXPECT_EQ(dlg->controlAs<QLabel>(kIdUsbStatus)->text(), "Idle");  // where it always was

    // Choosing another file is not a run: the result stays.
    choose(1, wav("fire.wav", 0.5));
    EXPECT_TRUE(status().startsWith(QStringLiteral("Programmed")));

    port.cancelAtStep = 3;
    program();
    EXPECT_EQ(status(), "Cancelled: the siren is NOT completely programmed");
    EXPECT_EQ(dlg->runStatus()->tone(), RunSummary::Tone::Warning);
    port.cancelAtStep = -1;

    fs::remove(dlg->job().slot(7).wavPath);
    program();
    EXPECT_EQ(status(), "Failed: Failed to open file specified for message 1.");
    EXPECT_EQ(dlg->runStatus()->tone(), RunSummary::Tone::Error);
}

TEST_F(WindowAdditionsTest, WavBoxesNameTheMessageAndTheFile) {
    start();
    const std::string bad = (root / "sounds" / "notes.wav").string();
    test::WriteBytes(bad, test::Bytes(64, 'x'));
    choose(7, bad);
    program();
    // The usual boxes, in their order, each about the file naming it below its own text.
    ASSERT_EQ(port.messages.size(), 3u);
    EXPECT_EQ(port.messages[0].text, "No embedded WAVE format within file.\nMessage 1: " + bad);
    EXPECT_EQ(port.messages[1].text.rfind("Failed to open file specified for message 1.\n", 0), 0u);
    EXPECT_TRUE(port.messages[1].text.ends_with("\nMessage 1: " + bad));
    EXPECT_EQ(port.messages[2].text, kMsgNotProgrammed);
}

TEST_F(WindowAdditionsTest, AltLettersAreUnambiguous) {
    start();
    std::map<QChar, QStringList> owners;
    auto note = [&](const QString& text) {
        const int amp = text.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < text.size()) owners[text.at(amp + 1).toLower()] << text;
    };
    for (QPushButton* b : dlg->findChildren<QPushButton*>())
        if (b->isVisibleTo(dlg.get())) note(b->text());
    for (QAction* menu : dlg->menuBar()->actions()) note(menu->text());
    for (const auto& [letter, texts] : owners) EXPECT_EQ(texts.size(), 1) << texts.join(", ").toStdString();
}

TEST_F(WindowAdditionsTest, SimulatedSirenMarkFollowsTheAdapterInUse) {
    store.WriteInt("Settings", "Simulated Siren", 0);
    start();  // ZORVEK_ADAPTER=simulator overrides the setting
    ASSERT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    dlg->refreshCheckMarks();
    EXPECT_TRUE(dlg->command(kCmdSimulatedSiren)->isChecked());
}

TEST_F(WindowAdditionsTest, RowTextsNeverDescribeAnotherFile) {
    start();
    choose(7, wav("alarm.wav", 0.5));
    program();
    QLabel* samples = dlg->controlAs<QLabel>(slotControls(7).samplesLabelId);
    QLabel* bits = dlg->controlAs<QLabel>(slotControls(7).bitsLabelId);
    ASSERT_EQ(bits->text(), "16-bit");
    ASSERT_FALSE(samples->text().isEmpty());
    const QString untouched = dlg->controlAs<QLabel>(slotControls(1).samplesLabelId)->text();

    choose(7, wav("other.wav", 0.7));
    EXPECT_EQ(samples->text(), "");
    EXPECT_EQ(bits->text(), "");
    EXPECT_EQ(dlg->controlAs<QLabel>(slotControls(1).samplesLabelId)->text(), untouched);  // other rows keep theirs

    program();
    ASSERT_FALSE(samples->text().isEmpty());
    QTest::keyClick(dlg->controlAs<QLineEdit>(slotControls(7).pathBoxId), Qt::Key_Backspace);
    EXPECT_EQ(samples->text(), "");
}

TEST_F(WindowAdditionsTest, ListenHandsTheSirensSamplesToTheOutputAndKeepsThem) {
    start();
    auto sound = std::make_shared<SoundLog>();
    dlg->setSoundOutput(std::make_unique<RecordingOutput>(sound));
    QToolButton* play = dlg->playButton(7);
    EXPECT_FALSE(play->isEnabled());  // no file yet
    const std::string file = wav("alarm.wav", 0.3);
    choose(7, file);
    ASSERT_TRUE(play->isEnabled());

    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_COMPARE(sound->played.size(), size_t(1));  // converted on a worker thread
    EXPECT_EQ(sound->played[0], PreviewMessage(file).samples);
    EXPECT_EQ(sound->played[0].size(), 2 * (dlg->flashGauge()->fill().messages[0].forecast.packedBytes / 3));
    EXPECT_EQ(sound->rate, 22010);
    EXPECT_EQ(dlg->player()->activeSlot(), 7);

    // Pressed again: stops. Played again: from the cache, no second conversion.
    const int stops = sound->stops;
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_GT(sound->stops, stops);
    EXPECT_EQ(dlg->player()->activeSlot(), 0);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(sound->played.size(), 2u);
    EXPECT_EQ(dlg->player()->conversions(), 1);
    sound->finish();  // the end of the sound frees the row
    EXPECT_EQ(dlg->player()->activeSlot(), 0);

    // A changed file is converted anew.
    wav("alarm.wav", 0.5);
    QFile(QString::fromStdString(file))
        .setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_COMPARE(sound->played.size(), size_t(3));
    EXPECT_EQ(dlg->player()->conversions(), 2);
    EXPECT_GT(sound->played[2].size(), sound->played[0].size());

    // Without an audio device the buttons say why they are off.
    sound->unavailable = QStringLiteral("No audio output was found, so messages cannot be played.");
    dlg->setSoundOutput(std::make_unique<RecordingOutput>(sound));
    EXPECT_FALSE(play->isEnabled());
    EXPECT_EQ(play->toolTip(), sound->unavailable);
}

TEST_F(WindowAdditionsTest, RecentJobsListsSavedFilesGreysMissingOnesAndLoadsThem) {
    start();
    const std::string job = (root / "first.zfg").string();
    port.fileAnswers.push_back(job);
    dlg->onSaveConfig();
    dlg->fillRecentJobsMenu();
    QList<QAction*> items = dlg->recentJobsMenu()->actions();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.front()->text(), QStringLiteral("&1 first.zfg"));
    EXPECT_TRUE(items.front()->isEnabled());
    choose(7, wav("alarm.wav", 0.2));
    items.front()->trigger();  // loads the job as saved: row 1 empty again
    EXPECT_EQ(dlg->job().slot(7).wavPath, "");

    fs::remove(job);
    dlg->fillRecentJobsMenu();
    items = dlg->recentJobsMenu()->actions();
    EXPECT_FALSE(items.front()->isEnabled());
    QAction* removeMissing = dlg->recentJobsMenu()->findChild<QAction*>(QStringLiteral("recentRemoveMissing"));
    ASSERT_NE(removeMissing, nullptr);
    ASSERT_TRUE(removeMissing->isEnabled());
    removeMissing->trigger();
    dlg->fillRecentJobsMenu();
    EXPECT_EQ(dlg->recentJobsMenu()->actions().front()->text(), QStringLiteral("(none)"));
}

TEST_F(WindowAdditionsTest, ARowWhoseFileCannotBeUsedIsMarkedWithTheReason) {
    start();
    choose(7, wav("alarm.wav", 0.2));
    choose(1, (root / "sounds" / "gone.wav").string());
    EXPECT_FALSE(dlg->problemMark(7)->isVisible());
    EXPECT_TRUE(dlg->problemMark(1)->isVisible());
    EXPECT_EQ(dlg->problemMark(1)->toolTip(), QStringLiteral("The file cannot be opened."));
    choose(1, wav("alarm.wav", 0.2));  // now Message 1 and Message 2 share a file
    EXPECT_FALSE(dlg->problemMark(1)->isVisible());
    ASSERT_EQ(dlg->flashGauge()->fill().messages.size(), 1u);
    EXPECT_EQ(SegmentLabel(dlg->flashGauge()->fill().messages[0]), "1 2");
}
