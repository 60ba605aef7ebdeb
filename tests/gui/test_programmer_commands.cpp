// The window's commands against the core, on a simulated siren kept in a
// temporary file, with the real progress popup and scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "app/CProgrammerDlg.h"
#include "app/ScreenshotHook.h"
#include "job/SettingsStore.h"
#include "job/SlotTable.h"
#include "operations/SirenOperations.h"
#include "operations/FlashRoutines.h"
#include "spi/SimulatedSiren.h"
#include "ui/CProgressWindow.h"

using namespace zorvek;
namespace fs = std::filesystem;

namespace {

const std::string kSection = "Settings";
constexpr int kSamples = 11005;  // half a second at the siren's rate

// The real popup, which also notes what it showed and can press its own Cancel
// button partway through programming, as a person would.
struct PopupLog {
    QStringList captions;
    int clickCancelAtPage = -1;  // programming pages before Cancel is clicked
    int pages = 0;
    bool mainWindowDisabled = false;
    int made = 0;
};

class WatchedPopup : public CProgressWindow {
public:
    WatchedPopup(const std::string& title, bool smooth, std::shared_ptr<PopupLog> log)
        : CProgressWindow(nullptr, title, smooth, nullptr), log_(std::move(log)) {}
    int Step() override {
        const int previous = CProgressWindow::Step();
        if (!log_->captions.contains(caption())) log_->captions << caption();
        if (QWidget* main = applicationMainWindow(); main && !main->isEnabled()) log_->mainWindowDisabled = true;
        if (text() == "Programming..." && ++log_->pages == log_->clickCancelAtPage && cancelButton())
            QTest::mouseClick(cancelButton(), Qt::LeftButton);
        return previous;
    }

private:
    std::shared_ptr<PopupLog> log_;
};

class PopupUserPort : public test::ScriptedUserPort {
public:
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override {
        ++popup->made;
        return std::make_unique<WatchedPopup>(title, smooth, popup);
    }
    std::shared_ptr<PopupLog> popup = std::make_shared<PopupLog>();
};

void writeSineWav(const fs::path& path, int samples) {
    std::vector<int16_t> pcm(static_cast<size_t>(samples));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / 22010.0));
    test::WriteBytes(path, test::PcmWave(1, 22010, 16, test::Samples16(pcm)));
}

class ProgrammerCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = fs::path(tmp.path().toStdString());
        fs::create_directories(root / "prog");
        sirenFile = root / "siren.bin";
        setenv("ZORVEK_ADAPTER", "simulator", 1);
        setenv("ZORVEK_SIMULATOR_FILE", sirenFile.c_str(), 1);
    }
    void TearDown() override {
        dlg.reset();
        setApplicationMainWindow(nullptr);
        unsetenv("ZORVEK_ADAPTER");
        unsetenv("ZORVEK_SIMULATOR_FILE");
    }

    CProgrammerDlg& start() {
        dlg = std::make_unique<CProgrammerDlg>(store, (root / "prog").string() + "/", &port);
        setApplicationMainWindow(dlg.get());
        dlg->show();
        return *dlg;
    }
    SimulatedSiren& siren() { return dynamic_cast<SimulatedSiren&>(*dlg->adapter()); }
    QString label(int id) { return dlg->controlAs<QLabel>(id)->text(); }
    void dropMenu() { Q_EMIT dlg->findChild<QMenu*>("advancedMenu")->aboutToShow(); }

    // A job of one file used by two slots, as the window's Open buttons make it.
    void chooseJob() {
        wav = root / "alarm.wav";
        writeSineWav(wav, kSamples);
        port.fileAnswers.push_back(wav.string());
        port.fileAnswers.push_back(wav.string());
        QTest::mouseClick(dlg->controlAs<QPushButton>(slotControls(7).openButtonId), Qt::LeftButton);
        QTest::mouseClick(dlg->controlAs<QPushButton>(slotControls(2).openButtonId), Qt::LeftButton);
        dlg->controlAs<QComboBox>(slotControls(7).toneListId)->setCurrentIndex(12);
        QTest::mouseClick(dlg->controlAs<QCheckBox>(kIdVerify), Qt::LeftButton);
        ASSERT_EQ(dlg->job().verify, 1);
    }

    // What the job should put into the flash, built by the core on a copy of it.
    FlashImage expectedImage() {
        JobState copy = dlg->job();
        copy.flashLastAddress = siren().Flash().Size() - 1;
        SpiLink unused;
        test::ScriptedUserPort quiet;
        FlashImage image;
        EXPECT_EQ(SirenOperations(copy, unused, quiet).BuildImage(image), OperationOutcome::Success)
            << quiet.Texts().size();
        return image;
    }

    bool flashHolds(const FlashImage& image) {
        const std::vector<uint8_t>& memory = siren().Flash().Memory();
        return memory.size() >= image.size() && std::equal(image.data(), image.data() + image.size(), memory.begin());
    }

    QTemporaryDir tmp;
    fs::path root, sirenFile, wav;
    MemorySettingsStore store;
    PopupUserPort port;
    std::unique_ptr<CProgrammerDlg> dlg;
};

}  // namespace

TEST_F(ProgrammerCommandsTest, ProgramWritesTheJobIntoTheSimulatedSirenAndReportsEachSlot) {
    start();
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer - Simulated Siren");
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    chooseJob();
    const FlashImage expected = expectedImage();
    ASSERT_GT(expected.size(), kAudioStart);

    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton);

    EXPECT_TRUE(port.messages.empty()) << (port.messages.empty() ? "" : port.messages[0].text);
    EXPECT_TRUE(flashHolds(expected));
    // The siren keeps what it was given: its file holds the same bytes.
    const test::Bytes onDisk = test::ReadBytes(sirenFile);
    ASSERT_GE(onDisk.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.data(), expected.data() + expected.size(), onDisk.begin()));

    // The popup showed its percentages, kept the window disabled, and is gone.
    EXPECT_EQ(port.popup->made, 1);
    EXPECT_TRUE(port.popup->mainWindowDisabled);
    EXPECT_TRUE(port.popup->captions.contains("Complete... [100%]")) << port.popup->captions.join(", ").toStdString();
    EXPECT_TRUE(dlg->isEnabled());
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "progressWindow");

    // Status fields after the run: adapter closed, flash texts cleared, each row reported.
    EXPECT_EQ(dlg->link().handle, 0u);
    EXPECT_EQ(label(kIdUsbStatus), "Idle");
    EXPECT_EQ(label(kIdFlashStatus), "");
    EXPECT_EQ(label(kIdFlashId), "");
    for (int s = 1; s <= kSlotCount; ++s) {
        const bool used = s == 7 || s == 2;
        EXPECT_EQ(label(slotControls(s).samplesLabelId),
                  used ? QStringLiteral("%1 samples").arg(kSamples) : QStringLiteral("0 samples"))
            << s;
        if (used) {
            EXPECT_EQ(label(slotControls(s).bitsLabelId), "16-bit") << s;
        }
    }
}

TEST_F(ProgrammerCommandsTest, CancelInThePopupStopsProgrammingAndTheWindowCarriesOn) {
    start();
    chooseJob();
    const FlashImage expected = expectedImage();
    dlg->job().writeChanged = false;  // one run of pages from the first, so one batch bounds them
    port.popup->clickCancelAtPage = 3;

    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton);

    // Cancel is seen before the next batch of pages goes out.
    EXPECT_LE(port.popup->pages, kPagesPerBatch);
    EXPECT_FALSE(flashHolds(expected));
    const std::vector<uint8_t>& memory = siren().Flash().Memory();
    EXPECT_EQ(memory[expected.size() - 1], 0xFF);  // the last page was never written
    EXPECT_FALSE(port.Saw(kMsgProgrammingIncomplete));
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(dlg->link().handle, 0u);
    EXPECT_EQ(label(kIdUsbStatus), "Idle");
    EXPECT_EQ(label(kIdFlashStatus), "");

    // Nothing of the cancelled run lingers: the next Program finishes.
    port.popup->clickCancelAtPage = -1;
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton);
    EXPECT_TRUE(flashHolds(expected));
    EXPECT_EQ(port.popup->made, 2);
}

TEST_F(ProgrammerCommandsTest, ProgramWithoutAnAdapterSaysSoAndLeavesTheWindowIdle) {
    setenv("ZORVEK_SIMULATOR_FAULTS", "no-device", 1);
    start();
    unsetenv("ZORVEK_SIMULATOR_FAULTS");
    chooseJob();
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton);
    EXPECT_TRUE(port.Saw(kMsgNoAdapter));
    EXPECT_EQ(port.popup->made, 0);
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(label(kIdUsbStatus), "Idle");
}

TEST_F(ProgrammerCommandsTest, SeveralAdaptersAreChosenRememberedAndNeverReplaced) {
    setenv("ZORVEK_SIMULATOR_COUNT", "3", 1);
    start();
    unsetenv("ZORVEK_SIMULATOR_COUNT");
    std::vector<std::string> offered;
    std::optional<std::string> answer;  // Cancel
    dlg->setAdapterChooser([&](const std::vector<AdapterListing>& adapters, const std::string&) {
        offered.clear();
        for (const auto& a : adapters) offered.push_back(a.serial);
        return answer;
    });
    auto clickSetup = [&] { dlg->onSetupUsb(); };  // the button is hidden and disabled
    auto sawPart = [&](const std::string& part) {
        return std::any_of(port.messages.begin(), port.messages.end(),
                           [&](const auto& m) { return m.text.find(part) != std::string::npos; });
    };

    clickSetup();  // cancelled: nothing opened
    EXPECT_EQ(offered, (std::vector<std::string>{"SIM0001", "SIM0002", "SIM0003"}));
    EXPECT_EQ(dlg->link().handle, 0u);
    EXPECT_TRUE(port.messages.empty());

    answer = "SIM0002";
    clickSetup();
    EXPECT_EQ(label(kIdUsbStatus), "Device Connected");
    EXPECT_EQ(siren().Serial(), "SIM0002");
    EXPECT_EQ(store.ReadText(kSection, kSimulatedAdapterSerialKey, ""), "SIM0002");
    dlg->onCloseUsb();
    offered.clear();
    clickSetup();  // remembered: not asked again
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(siren().Serial(), "SIM0002");
    dlg->onCloseUsb();

    // A remembered adapter that is absent is reported, not replaced by another.
    store.WriteText(kSection, kSimulatedAdapterSerialKey, "SIM0009");
    clickSetup();
    EXPECT_TRUE(offered.empty());
    EXPECT_TRUE(sawPart("SIM0009")) << port.Texts().size();
    EXPECT_EQ(dlg->link().handle, 0u);
    EXPECT_EQ(siren().Serial(), "SIM0002");

    // Tools > Advanced > "Adapter..." changes the choice.
    answer = "SIM0003";
    dlg->command(kCmdChooseAdapter)->trigger();
    EXPECT_EQ(store.ReadText(kSection, kSimulatedAdapterSerialKey, ""), "SIM0003");
    EXPECT_EQ(siren().Serial(), "SIM0003");
}

TEST_F(ProgrammerCommandsTest, SelfTestLeavesTheSirenAndTheJobAsTheyWere) {
    setenv("ZORVEK_SIMULATOR_SIZE", "256K", 1);
    start();
    unsetenv("ZORVEK_SIMULATOR_SIZE");
    siren().Flash().Memory()[0x1000] = 0x42;
    const std::vector<uint8_t> before = siren().Flash().Memory();
    port.fileAnswers.push_back((root / "backup.zmg").string());
    dlg->command(kCmdSelfTest)->trigger();
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("Result: PASSED"), std::string::npos) << port.messages[0].text;
    EXPECT_EQ(siren().Flash().Memory(), before);
    EXPECT_EQ(dlg->job().verify, 0);  // the write-back's verify is not the job's
    EXPECT_TRUE(fs::exists(root / "backup.zmg"));
}

TEST_F(ProgrammerCommandsTest, Dip32ToneTwiceEndsOffWithPictureHiddenAndItemUnchecked) {
    start();
    QAction* dip = dlg->command(kCmdDip32Tone);
    dip->trigger();
    dropMenu();
    EXPECT_EQ(dlg->job().dip32Tone, 1);
    EXPECT_TRUE(dlg->control(kIdDip32ToneBanner)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dip->isChecked());
    dip->trigger();
    dropMenu();
    EXPECT_EQ(dlg->job().dip32Tone, 0);
    EXPECT_FALSE(dlg->control(kIdDip32ToneBanner)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dip->isChecked());
}

TEST_F(ProgrammerCommandsTest, FirmwareToggleWithTheFileDialogCancelledStaysOff) {
    start();
    QAction* firmware = dlg->command(kCmdUpdateFirmwareWithWavs);
    // "Abort?" answered Yes: nothing is asked further and nothing changes.
    port.yesNoAnswers = {true};
    firmware->trigger();
    EXPECT_TRUE(port.openDialogs.empty());
    EXPECT_EQ(dlg->job().firmwareUpdate, 0);
    EXPECT_FALSE(firmware->isChecked());

    // Answered No, then the HEX dialog cancelled.
    port.yesNoAnswers = {false};
    firmware->trigger();
    ASSERT_EQ(port.openDialogs.size(), 1u);
    EXPECT_EQ(port.openDialogs[0].filter, kHexFilter);
    EXPECT_EQ(dlg->job().firmwareUpdate, 0);
    ASSERT_FALSE(port.messages.empty());
    EXPECT_EQ(port.messages.back().text, kMsgNoFirmware);
    EXPECT_EQ(port.messages.back().caption, "Caution!");
    EXPECT_FALSE(dlg->control(kIdFirmwareBanner)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->controlAs<QCheckBox>(kIdFirmware)->isChecked());
    EXPECT_EQ(label(kIdStatusLine), "");
    EXPECT_FALSE(firmware->isChecked());  // even before the menu drops down again

    // With a file chosen it is on, shown in the banner, the status line and the mark.
    port.yesNoAnswers = {false};
    port.fileAnswers.push_back(std::string("/fw/siren.hex"));
    firmware->trigger();
    EXPECT_EQ(dlg->job().firmwareUpdate, 1);
    EXPECT_TRUE(dlg->control(kIdFirmwareBanner)->isVisibleTo(dlg.get()));
    EXPECT_EQ(label(kIdStatusLine), "/fw/siren.hex");
    EXPECT_TRUE(firmware->isChecked());
    EXPECT_EQ(dlg->job().hexFolder, "/fw/");
}

TEST_F(ProgrammerCommandsTest, ConfigurationSavedAndLoadedFromTheFileMenu) {
    start();
    QAction* dip = dlg->command(kCmdDip32Tone);
    dlg->job().slot(4).wavPath = "/snd/four.wav";
    dip->trigger();
    const std::string file = (root / "job.zfg").string();
    port.fileAnswers.push_back(file);
    dlg->command(kCmdSaveConfiguration)->trigger();
    ASSERT_TRUE(fs::exists(file));
    ASSERT_EQ(port.saveDialogs.size(), 1u);

    dip->trigger();
    dlg->controlAs<QLineEdit>(slotControls(4).pathBoxId)->clear();
    ASSERT_EQ(dlg->job().dip32Tone, 0);
    port.fileAnswers.push_back(file);
    dlg->command(kCmdLoadConfiguration)->trigger();
    EXPECT_EQ(dlg->job().slot(4).wavPath, "/snd/four.wav");
    EXPECT_EQ(dlg->controlAs<QLineEdit>(slotControls(4).pathBoxId)->text(), "/snd/four.wav");
    EXPECT_EQ(dlg->job().dip32Tone, 1);
    EXPECT_TRUE(dlg->control(kIdDip32ToneBanner)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dip->isChecked());  // the mark follows the loaded job at once
}

TEST_F(ProgrammerCommandsTest, HexTestAppendsTheFoundNoteEachTime) {
    start();
    const fs::path hex = root / "fw.hex";
    std::ofstream(hex) << ":02E00000AA551F\n:00000001FF\n";
    dlg->job().firmwarePath = hex.string();
    dlg->controlAs<QPushButton>(kIdHexTest)->click();
    dlg->controlAs<QPushButton>(kIdHexTest)->click();
    EXPECT_EQ(label(kIdFlashId), " (HEX Found) (HEX Found)");
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(ProgrammerCommandsTest, SimulatedSirenMenuItemSwitchesTheAdapterAndIsKept) {
    unsetenv("ZORVEK_ADAPTER");
    start();
    QAction* simulated = dlg->command(kCmdSimulatedSiren);
    ASSERT_NE(simulated, nullptr);
    EXPECT_EQ(simulated->text(), "Simulated Siren");
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Ftdi);
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer");
    dropMenu();
    EXPECT_FALSE(simulated->isChecked());

    simulated->trigger();
    EXPECT_EQ(store.ReadInt(kSection, "Simulated Siren", -1), 1);
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    EXPECT_EQ(dlg->link().adapter, dlg->adapter());
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer - Simulated Siren");
    EXPECT_TRUE(simulated->isChecked());
    EXPECT_TRUE(port.messages.empty());

    // Written when chosen, so even File > Exit keeps it; the next start uses it.
    dlg->command(kCmdExit)->trigger();
    start();
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    dropMenu();
    EXPECT_TRUE(dlg->command(kCmdSimulatedSiren)->isChecked());

    dlg->command(kCmdSimulatedSiren)->trigger();
    EXPECT_EQ(store.ReadInt(kSection, "Simulated Siren", -1), 0);
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Ftdi);
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer");
}

TEST_F(ProgrammerCommandsTest, WriteOnlyWhatDiffersIsOnByDefaultAndTheClockChoiceIsKept) {
    start();
    dropMenu();
    EXPECT_TRUE(dlg->command(kCmdWriteChanged)->isChecked());
    EXPECT_TRUE(dlg->job().writeChanged);
    EXPECT_TRUE(dlg->command(kCmdSpiClock6)->isChecked());
    dlg->command(kCmdWriteChanged)->trigger();
    dlg->command(kCmdSpiClock30)->trigger();
    EXPECT_FALSE(dlg->job().writeChanged);
    EXPECT_EQ(dlg->job().spiClockHz, 30000000);
    dlg->command(kCmdExit)->trigger();
    start();
    dropMenu();
    EXPECT_FALSE(dlg->command(kCmdWriteChanged)->isChecked());
    EXPECT_TRUE(dlg->command(kCmdSpiClock30)->isChecked());
    EXPECT_FALSE(dlg->command(kCmdSpiClock6)->isChecked());
    EXPECT_EQ(dlg->job().spiClockHz, 30000000);
}

TEST_F(ProgrammerCommandsTest, FastEraseIsOffByDefaultAndKept) {
    start();
    QAction* fast = dlg->command(kCmdFastErase);
    ASSERT_NE(fast, nullptr);
    dropMenu();
    EXPECT_FALSE(fast->isChecked());
    EXPECT_EQ(dlg->job().eraseMode, EraseMode::Sectors);
    fast->trigger();
    EXPECT_EQ(dlg->job().eraseMode, EraseMode::Auto);
    EXPECT_EQ(store.ReadInt(kSection, "Fast Erase", -1), 1);
    dlg->command(kCmdExit)->trigger();
    start();
    dropMenu();
    EXPECT_TRUE(dlg->command(kCmdFastErase)->isChecked());
    EXPECT_EQ(dlg->job().eraseMode, EraseMode::Auto);
}

TEST_F(ProgrammerCommandsTest, TheEnvironmentOverridesTheSettingAndSaysSo) {
    store.WriteInt(kSection, "Simulated Siren", 0);
    start();  // ZORVEK_ADAPTER=simulator
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    dlg->command(kCmdSimulatedSiren)->trigger();  // setting on: nothing to switch
    EXPECT_TRUE(port.messages.empty());
    dlg->command(kCmdSimulatedSiren)->trigger();  // setting off, but the environment keeps the simulator
    EXPECT_EQ(store.ReadInt(kSection, "Simulated Siren", -1), 0);
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer - Simulated Siren");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("ZORVEK_ADAPTER=simulator"), std::string::npos);
}

TEST_F(ProgrammerCommandsTest, BadAdapterVariableIsShownOnceTheWindowRuns) {
    setenv("ZORVEK_ADAPTER", "usb", 1);
    store.WriteInt(kSection, "Simulated Siren", 1);
    start();
    EXPECT_EQ(dlg->adapterKind(), AdapterKind::Simulator);  // the setting decides
    QTRY_COMPARE(port.messages.size(), size_t(1));
    EXPECT_NE(port.messages[0].text.find("\"usb\""), std::string::npos);
    EXPECT_EQ(port.messages[0].icon, MessageIcon::Warning);
}

TEST_F(ProgrammerCommandsTest, QuitSavesTheWholeJobAfterARunAndExitOnlyAFewKeys) {
    start();
    chooseJob();
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdProgram), Qt::LeftButton);
    store.ClearWriteLog();
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdQuit), Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(store.WriteLog().size(), 36u);
    EXPECT_EQ(store.ReadText(kSection, "WAV7 Location", ""), wav.string());
    EXPECT_EQ(store.ReadText(kSection, "WAV2 Location", ""), wav.string());
    EXPECT_EQ(store.ReadInt(kSection, "Verify", 0), 1);
    EXPECT_EQ(store.ReadInt(kSection, "Tone 7", 0), 12);

    store = MemorySettingsStore();
    start();
    chooseJob();
    store.ClearWriteLog();
    dlg->command(kCmdExit)->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(store.WriteLog(),
              (std::vector<std::string>{"WAV1 Location", "WAV2 Location", "WAV3 Location", "Compression", "Verbose"}));
    EXPECT_EQ(store.ReadText(kSection, "WAV2 Location", ""), wav.string());
    EXPECT_FALSE(store.Contains(kSection, "WAV7 Location"));
    EXPECT_FALSE(store.Contains(kSection, "Verify"));
}

TEST_F(ProgrammerCommandsTest, HelpFindsThePageBesideTheProgramOrInTheInstalledLayout) {
    // Installed: <prefix>/bin/zorvek-programmer, <prefix>/share/zorvek-siren-programmer/ZorvekHelp.
    const fs::path prefix = root / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/zorvek-siren-programmer/ZorvekHelp");
    std::ofstream(prefix / "share/zorvek-siren-programmer/ZorvekHelp/helphtml.htm") << "<html></html>";
    dlg = std::make_unique<CProgrammerDlg>(store, (prefix / "bin").string() + "/", &port);
    QStringList opened;
    dlg->setHelpOpener([&](const QString& page) { opened << page; });
    dlg->command(kCmdHelp)->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0],
              QString::fromStdString((prefix / "share/zorvek-siren-programmer/ZorvekHelp/helphtml.htm").string()));

    // A copy beside the program (a build tree) comes first.
    fs::create_directories(prefix / "bin/ZorvekHelp");
    std::ofstream(prefix / "bin/ZorvekHelp/helphtml.htm") << "<html></html>";
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdHelp), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], QString::fromStdString((prefix / "bin/ZorvekHelp/helphtml.htm").string()));
}

TEST(ScreenshotHook, RequestFromTheEnvironment) {
    QString error;
    EXPECT_FALSE(screenshotRequestFromEnvironment(error).has_value());
    EXPECT_TRUE(error.isEmpty());
    setenv("ZORVEK_SCREENSHOT", "pictures/shot.png", 1);  // only parsed, never written
    auto request = screenshotRequestFromEnvironment(error);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->file, "pictures/shot.png");
    EXPECT_EQ(request->target, ScreenshotRequest::Target::MainWindow);
    setenv("ZORVEK_SCREENSHOT_TARGET", "progress", 1);
    EXPECT_EQ(screenshotRequestFromEnvironment(error)->target, ScreenshotRequest::Target::Progress);
    setenv("ZORVEK_SCREENSHOT_TARGET", "popup", 1);
    EXPECT_FALSE(screenshotRequestFromEnvironment(error).has_value());
    EXPECT_FALSE(error.isEmpty());
    unsetenv("ZORVEK_SCREENSHOT");
    unsetenv("ZORVEK_SCREENSHOT_TARGET");

    // A picture-taking run writes no setting.
    MemorySettingsStore source;
    source.WriteInt(kSection, "Usage", 2);
    ReadOnlySettingsStore readOnly(source);
    readOnly.WriteInt(kSection, "Usage", 3);
    readOnly.WriteText(kSection, "X", "1");
    EXPECT_EQ(readOnly.ReadInt(kSection, "Usage", 0), 2);
    EXPECT_FALSE(source.Contains(kSection, "X"));
}

// The hook presses Program unattended: never on a real adapter.
TEST_F(ProgrammerCommandsTest, ScreenshotHookWorksOnTheSimulatedSirenOnly) {
    unsetenv("ZORVEK_ADAPTER");
    start();
    QString error;
    EXPECT_FALSE(armScreenshot(*dlg, {QString::fromStdString((root / "shot.png").string())}, error));
    EXPECT_TRUE(error.contains("simulated siren only")) << error.toStdString();
}
