#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>
#include <tuple>

#include "ScriptedUserPort.h"
#include "app/CAboutDlg.h"
#include "app/CProgrammerDlg.h"
#include "app/DialogUnits.h"
#include "job/SettingsStore.h"
#include "job/SlotTable.h"
#include "job/Usage.h"

using namespace zorvek;

namespace {

const std::string kSection = "Settings";

class ProgrammerDlgTest : public ::testing::Test {
protected:
    CProgrammerDlg& start() {
        dlg = std::make_unique<CProgrammerDlg>(store, "/opt/zorvek/", &port);
        dlg->show();
        store.ClearWriteLog();
        return *dlg;
    }

    QLineEdit* path(int slot) { return dlg->controlAs<QLineEdit>(slotControls(slot).pathBoxId); }
    QComboBox* tone(int slot) { return dlg->controlAs<QComboBox>(slotControls(slot).toneListId); }
    QComboBox* beacon(int slot) { return dlg->controlAs<QComboBox>(slotControls(slot).beaconListId); }
    QComboBox* volume(int slot) { return dlg->controlAs<QComboBox>(slotControls(slot).volumeListId); }
    QString caption(int row) { return dlg->controlAs<QGroupBox>(rowFrameId(row))->title(); }
    QRadioButton* usageButton(int id) { return dlg->controlAs<QRadioButton>(id); }
    bool shown(int id) { return dlg->control(id)->isVisibleTo(dlg.get()); }

    void storeFullJob() {
        for (int s = 1; s <= kSlotCount; ++s) {
            store.WriteText(kSection, slotInfo(s).pathKey, "/snd/m" + std::to_string(s) + ".wav");
            store.WriteInt(kSection, slotInfo(s).toneKey, 10 + s);
            store.WriteInt(kSection, slotInfo(s).beaconKey, s % 4);
            store.WriteInt(kSection, slotInfo(s).volumeKey, s);
        }
    }

    MemorySettingsStore store;
    test::ScriptedUserPort port;
    std::unique_ptr<CProgrammerDlg> dlg;
};

}  // namespace

TEST_F(ProgrammerDlgTest, FirstRunShowsTheDefaults) {
    start();
    EXPECT_EQ(dlg->windowTitle(), "Zorvek USB Siren Programmer");
    for (int s = 1; s <= kSlotCount; ++s) {
        EXPECT_EQ(path(s)->text(), "");
        EXPECT_EQ(tone(s)->currentText(), "None");
        EXPECT_EQ(beacon(s)->currentText(), "None");
        EXPECT_EQ(volume(s)->currentText(), "10");
        EXPECT_EQ(tone(s)->count(), 65);
        // Report labels show the empty reports, not their template texts.
        EXPECT_EQ(dlg->controlAs<QLabel>(slotControls(s).bitsLabelId)->text(), "");
        EXPECT_EQ(dlg->controlAs<QLabel>(slotControls(s).samplesLabelId)->text(), "");
        EXPECT_FALSE(shown(slotControls(s).channelsLabelId));
        EXPECT_TRUE(shown(slotControls(s).beaconListId));
    }
    EXPECT_TRUE(usageButton(1089)->isChecked());
    EXPECT_FALSE(dlg->controlAs<QCheckBox>(kIdVerify)->isChecked());
    EXPECT_EQ(dlg->controlAs<QLabel>(kIdUsbStatus)->text(), "Idle");
    EXPECT_EQ(dlg->controlAs<QLabel>(kIdStatusLine)->text(), "");
    EXPECT_EQ(caption(1), "Default Warning Message");
    EXPECT_EQ(caption(7), "Gas Release on Hold");
    EXPECT_EQ(dlg->job().programFolder, "/opt/zorvek/");
    EXPECT_FALSE(shown(kIdFirmwareBanner));
    EXPECT_FALSE(shown(kIdDip32ToneBanner));
    EXPECT_TRUE(shown(kIdLogo));
    for (int id : {kIdOk, kIdSetupUsb, kIdReadSignature, kIdEraseFlash, kIdProgramRun, kIdTestWrite, kIdTestRead,
                   kIdTestAddress, kIdCloseUsb, kIdVerbose, kIdCompression, kIdFirmware, kIdHexTest})
        EXPECT_FALSE(shown(id)) << id;
    EXPECT_FALSE(dlg->control(kIdOk)->isEnabled());
    EXPECT_TRUE(dlg->control(kIdFirmware)->isEnabled());
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(ProgrammerDlgTest, WindowOpensAtItsSizeInDialogUnitsResizesAndNamesItsControls) {
    start();
    const DialogUnits du(dlg->font());
    EXPECT_EQ(dlg->clientArea()->size(), QSize(du.x(478), du.y(398 + 14)));  // with the flash gauge
    // Never larger than the screen, and it can be made smaller still (it scrolls).
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(dlg->width(), screen.width());
    EXPECT_LE(dlg->height(), screen.height());
    EXPECT_LT(dlg->minimumSizeHint().height(), 768 / 2);
    EXPECT_NE(dlg->minimumSize(), dlg->maximumSize());
    for (const SlotControlIds& info : kSlotControlTable) {
        for (int id : {info.rowCaptionId, info.pathBoxId, info.openButtonId, info.toneListId, info.beaconListId,
                       info.beaconCaptionId, info.volumeListId, info.channelsLabelId, info.rateLabelId,
                       info.bitsLabelId, info.samplesLabelId}) {
            QWidget* w = dlg->control(id);
            ASSERT_NE(w, nullptr) << id;
            EXPECT_EQ(w->property("controlId").toInt(), id);
            EXPECT_EQ(dlg->findChild<QWidget*>(QStringLiteral("id%1").arg(id)), w);
        }
        EXPECT_EQ(dlg->controlAs<QPushButton>(info.openButtonId)->text(), info.openButtonText);
    }
    EXPECT_EQ(dlg->controlAs<QPushButton>(kIdQuit)->text(), "&Quit");
    EXPECT_EQ(dlg->controlAs<QPushButton>(kIdProgram)->text(), "&Program");
    EXPECT_EQ(dlg->controlAs<QPushButton>(kIdHelp)->text(), "&Help");
    EXPECT_EQ(usageButton(1091)->text(), "Ind. (DC)");
    EXPECT_EQ(dlg->findChild<QGroupBox*>("usageGroup")->title(), "Siren Usage");
    // Rows run top to bottom in row order: slot 7 first.
    for (int row = 1; row < kRowCount; ++row)
        EXPECT_LT(dlg->control(rowFrameId(row))->y(), dlg->control(rowFrameId(row + 1))->y());
    EXPECT_LT(dlg->control(slotControls(7).pathBoxId)->y(), dlg->control(slotControls(1).pathBoxId)->y());
    // The pictures keep their sizes in dialog units.
    for (auto [id, w, h] : {std::tuple{kIdLogo, 38, 126}, {kIdFirmwareBanner, 136, 13}, {kIdDip32ToneBanner, 51, 28}}) {
        const QSize size = dlg->control(id)->size();
        EXPECT_NEAR(size.width(), du.x(w), 1) << id;
        EXPECT_NEAR(size.height(), du.y(h), 1) << id;
    }
}

TEST_F(ProgrammerDlgTest, MenuItemsAndCheckMarks) {
    start();
    QStringList titles;
    for (QAction* a : dlg->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Tools", "H&elp"}));  // Alt+H is the Help button's
    const std::map<int, const char*> items = {{32779, "Load &Configuration"},
                                              {32780, "&Save Configuration"},
                                              {32771, "E&xit"},
                                              {32778, "Siren &Reader"},
                                              {32781, "Siren &Writer"},
                                              {32777, "Update &Firmware with WAVs"},
                                              {32782, "Update Firm&ware Only"},
                                              {32783, "DIP Switch 32 Tone"},
                                              {32775, "&Help"},
                                              {32773, "&About"}};
    for (const auto& [id, text] : items) {
        ASSERT_NE(dlg->command(id), nullptr) << id;
        EXPECT_EQ(dlg->command(id)->text(), text);
        EXPECT_TRUE(dlg->command(id)->isEnabled());
    }
    auto* advanced = dlg->findChild<QMenu*>("advancedMenu");
    ASSERT_NE(advanced, nullptr);
    EXPECT_EQ(advanced->title(), "&Advanced");

    // The marks follow the job each time a menu drops down, whatever the item did.
    dlg->command(kCmdDip32Tone)->trigger();
    dlg->command(kCmdDip32Tone)->trigger();
    dlg->job().dip32Tone = 1;
    Q_EMIT advanced->aboutToShow();
    EXPECT_TRUE(dlg->command(kCmdDip32Tone)->isChecked());
    EXPECT_FALSE(dlg->command(kCmdUpdateFirmwareWithWavs)->isChecked());
    dlg->job().dip32Tone = 0;
    dlg->job().firmwareUpdate = 1;
    Q_EMIT advanced->aboutToShow();
    EXPECT_FALSE(dlg->command(kCmdDip32Tone)->isChecked());
    EXPECT_TRUE(dlg->command(kCmdUpdateFirmwareWithWavs)->isChecked());
}

TEST_F(ProgrammerDlgTest, RowsShowSlotsAndVolumeKeysFollowRows) {
    store.WriteText(kSection, "WAV1 Location", "/a/one.wav");
    store.WriteText(kSection, "WAV7 Location", "/a/seven.wav");
    store.WriteInt(kSection, "Tone 1", 5);
    store.WriteInt(kSection, "Vol 1", 3);
    store.WriteInt(kSection, "Vol 2", 8);
    start();
    EXPECT_EQ(dlg->controlAs<QLineEdit>(1066)->text(), "/a/seven.wav");  // top row
    EXPECT_EQ(dlg->controlAs<QLineEdit>(1011)->text(), "/a/one.wav");    // second row
    EXPECT_EQ(dlg->controlAs<QComboBox>(1039)->currentText(), "5");
    EXPECT_EQ(dlg->controlAs<QComboBox>(1078)->currentText(), "7");  // "Vol 1" is the top row's volume
    EXPECT_EQ(dlg->controlAs<QComboBox>(1079)->currentText(), "2");
    EXPECT_EQ(dlg->job().slot(7).volumeIndex, 3);
}

TEST_F(ProgrammerDlgTest, ExchangeRoundTripCoversHiddenControls) {
    start();
    JobState& job = dlg->job();
    for (int s = 1; s <= kSlotCount; ++s) {
        job.slot(s).wavPath = "/w/" + std::to_string(s) + ".wav";
        job.slot(s).toneIndex = 60 + s % 5;
        job.slot(s).beaconIndex = s % 4;
        job.slot(s).volumeIndex = 8 - s;
        job.slot(s).channelsText = "Mono";
        job.slot(s).rateText = "22010 samples/s";
        job.slot(s).bitsText = "16-bit";
        job.slot(s).samplesText = std::to_string(1000 * s) + " samples";
    }
    job.verify = 1;
    job.verbose = 1;
    job.compression = 1;
    job.firmwareUpdate = 1;
    job.usage = Fire;
    job.usbStatusText = "Device Connected";
    job.flashStatusText = "Programming";
    job.flashIdText = "ID 0x13";
    job.statusLineText = "/fw/siren.hex";
    job.testAddress = kTestAddressMax;
    const JobState expected = job;
    dlg->exchangeToWindow();
    job = JobState();
    ASSERT_TRUE(dlg->exchangeFromWindow());
    for (int s = 1; s <= kSlotCount; ++s) {
        EXPECT_EQ(job.slot(s).wavPath, expected.slot(s).wavPath);
        EXPECT_EQ(job.slot(s).toneIndex, expected.slot(s).toneIndex);
        EXPECT_EQ(job.slot(s).beaconIndex, expected.slot(s).beaconIndex);
        EXPECT_EQ(job.slot(s).volumeIndex, expected.slot(s).volumeIndex);
        EXPECT_EQ(job.slot(s).channelsText, "Mono");
        EXPECT_EQ(job.slot(s).rateText, "22010 samples/s");
        EXPECT_EQ(job.slot(s).samplesText, expected.slot(s).samplesText);
        EXPECT_EQ(job.slot(s).bitsText, "16-bit");
    }
    EXPECT_EQ(job.verify, 1);
    EXPECT_EQ(job.verbose, 1);
    EXPECT_EQ(job.compression, 1);
    EXPECT_EQ(job.firmwareUpdate, 1);
    EXPECT_EQ(job.usage, Fire);
    EXPECT_EQ(job.usbStatusText, "Device Connected");
    EXPECT_EQ(job.flashStatusText, "Programming");
    EXPECT_EQ(job.flashIdText, "ID 0x13");
    EXPECT_EQ(job.statusLineText, "/fw/siren.hex");
    EXPECT_EQ(job.testAddress, kTestAddressMax);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(ProgrammerDlgTest, AnExchangeDoesNotReactToTheChangesItMakes) {
    start();
    // If the path box's change ran its handler mid-exchange, the tone list (not yet
    // written) would be read back over the job's new tone.
    dlg->job().slot(1).wavPath = "/new.wav";
    dlg->job().slot(1).toneIndex = 9;
    dlg->exchangeToWindow();
    EXPECT_EQ(dlg->job().slot(1).toneIndex, 9);
    EXPECT_EQ(tone(1)->currentText(), "9");
}

TEST_F(ProgrammerDlgTest, ControlsKeepTheJobCurrent) {
    start();
    QTest::keyClicks(path(2), "/x/a");
    EXPECT_EQ(dlg->job().slot(2).wavPath, "/x/a");
    QTest::keyClick(path(2), Qt::Key_Backspace);
    EXPECT_EQ(dlg->job().slot(2).wavPath, "/x/");
    path(2)->clear();
    EXPECT_EQ(dlg->job().slot(2).wavPath, "");

    tone(3)->setCurrentIndex(42);
    EXPECT_EQ(dlg->job().slot(3).toneIndex, 42);
    volume(7)->setCurrentIndex(8);
    EXPECT_EQ(dlg->job().slot(7).volumeIndex, 8);
    beacon(1)->setCurrentIndex(3);
    EXPECT_EQ(dlg->job().slot(1).beaconIndex, 3);
    QTest::mouseClick(dlg->controlAs<QCheckBox>(kIdVerify), Qt::LeftButton);
    EXPECT_EQ(dlg->job().verify, 1);
}

TEST_F(ProgrammerDlgTest, IndustrialAcClearsAndLocksRows5To7) {
    storeFullJob();
    start();
    usageButton(1099)->click();
    EXPECT_EQ(dlg->job().usage, IndustrialAc);
    for (int s : {4, 5, 6}) {
        EXPECT_EQ(path(s)->text(), "");
        EXPECT_EQ(tone(s)->currentText(), "None");
        EXPECT_EQ(beacon(s)->currentIndex(), 0);
        EXPECT_EQ(volume(s)->currentIndex(), s);  // volumes stay
        EXPECT_EQ(dlg->job().slot(s).wavPath, "");
    }
    for (int id : lockableControls()) EXPECT_FALSE(dlg->control(id)->isEnabled()) << id;
    EXPECT_TRUE(dlg->control(slotControls(4).samplesLabelId)->isEnabled());
    EXPECT_EQ(caption(4), "Message 4");
    EXPECT_EQ(caption(5), "Not Available");
    EXPECT_FALSE(shown(1073));
    EXPECT_FALSE(shown(1100));
    EXPECT_EQ(path(3)->text(), "/snd/m3.wav");

    usageButton(1089)->click();
    for (int id : lockableControls()) EXPECT_TRUE(dlg->control(id)->isEnabled()) << id;
    EXPECT_EQ(path(4)->text(), "");
    EXPECT_EQ(caption(5), "(Not Used)");
    EXPECT_TRUE(shown(1065));
    EXPECT_TRUE(shown(1106));

    dlg->onQuit();
    EXPECT_EQ(store.ReadText(kSection, "WAV4 Location", "?"), "");
    EXPECT_EQ(store.ReadInt(kSection, "Tone 5", -9), 0);
    EXPECT_EQ(store.ReadInt(kSection, "Vol 6", -9), 5);
}

TEST_F(ProgrammerDlgTest, IndustrialDcHidesBeaconsButKeepsTheirValues) {
    storeFullJob();
    start();
    usageButton(1091)->click();
    for (int id : beaconListIds()) EXPECT_FALSE(shown(id));
    for (int id : beaconCaptionIds()) EXPECT_FALSE(shown(id));
    EXPECT_EQ(caption(1), "Message 1");
    EXPECT_EQ(dlg->job().slot(3).beaconIndex, 3);
    for (int id : lockableControls()) EXPECT_TRUE(dlg->control(id)->isEnabled());
    dlg->onQuit();
    EXPECT_EQ(store.ReadInt(kSection, "Bcn 3", -9), 3);
    EXPECT_EQ(store.ReadInt(kSection, "Usage", -9), IndustrialDc);
}

TEST_F(ProgrammerDlgTest, StoredIndustrialAcClearsSlots4To6BeforeTheWindowShows) {
    storeFullJob();
    store.WriteInt(kSection, "Usage", IndustrialAc);
    start();
    EXPECT_EQ(path(4)->text(), "");
    EXPECT_FALSE(path(4)->isEnabled());
    EXPECT_TRUE(usageButton(1099)->isChecked());
    dlg->onQuit();
    EXPECT_EQ(store.ReadText(kSection, "WAV5 Location", "?"), "");
    EXPECT_EQ(store.ReadInt(kSection, "Bcn 6", -9), 0);
    EXPECT_EQ(store.ReadInt(kSection, "Vol 5", -9), 4);  // slot 4's volume key
}

TEST_F(ProgrammerDlgTest, UnknownStoredUsageKeepsTheTemplate) {
    store.WriteInt(kSection, "Usage", 5);
    start();
    for (int row = 1; row <= kRowCount; ++row) EXPECT_EQ(caption(row), QStringLiteral("Message %1").arg(row));
    for (int id : lockableControls()) EXPECT_TRUE(dlg->control(id)->isEnabled());
    for (int id : beaconListIds()) EXPECT_TRUE(shown(id));
    for (const UsageButton& u : kUsageButtons) EXPECT_FALSE(usageButton(u.controlId)->isChecked());
    ASSERT_TRUE(dlg->exchangeFromWindow());
    EXPECT_EQ(dlg->job().usage, -1);
    dlg->onQuit();
    EXPECT_EQ(store.ReadInt(kSection, "Usage", 0), -1);
}

TEST_F(ProgrammerDlgTest, OutOfRangeListValueShowsNoSelectionAndIsSavedAsMinusOne) {
    store.WriteInt(kSection, "Tone 1", 70);
    store.WriteInt(kSection, "Vol 3", -2);
    start();
    EXPECT_EQ(tone(1)->currentIndex(), -1);
    EXPECT_EQ(volume(2)->currentIndex(), -1);
    beacon(5)->setCurrentIndex(1);  // any change exchanges the whole window
    EXPECT_EQ(dlg->job().slot(1).toneIndex, -1);
    dlg->onQuit();
    EXPECT_EQ(store.ReadInt(kSection, "Tone 1", 0), -1);
    EXPECT_EQ(store.ReadInt(kSection, "Vol 3", 0), -1);
}

TEST_F(ProgrammerDlgTest, QuitCloseBoxAndEscapeSaveEverything) {
    for (int way = 0; way < 3; ++way) {
        store = MemorySettingsStore();
        start();
        tone(7)->setCurrentIndex(4);
        store.ClearWriteLog();
        if (way == 0) QTest::mouseClick(dlg->controlAs<QPushButton>(kIdQuit), Qt::LeftButton);
        if (way == 1) dlg->close();
        if (way == 2) QTest::keyClick(path(3), Qt::Key_Escape);  // from a control, as typed
        EXPECT_FALSE(dlg->isVisible()) << way;
        EXPECT_EQ(store.WriteLog().size(), 36u) << way;
        EXPECT_EQ(store.ReadInt(kSection, "Tone 7", 0), 4) << way;
        EXPECT_EQ(store.ReadText(kSection, "WAV Location", "?"), "") << way;
    }
}

TEST_F(ProgrammerDlgTest, ExitSavesOnlyTheFirstThreePathsAndTwoFlags) {
    store.WriteInt(kSection, "Tone 1", 7);
    store.WriteText(kSection, "WAV4 Location", "/old/4.wav");
    start();
    path(1)->setText("/new/1.wav");
    path(4)->setText("/new/4.wav");
    tone(1)->setCurrentIndex(2);
    store.ClearWriteLog();
    dlg->command(kCmdExit)->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(store.WriteLog(),
              (std::vector<std::string>{"WAV1 Location", "WAV2 Location", "WAV3 Location", "Compression", "Verbose"}));
    EXPECT_EQ(store.ReadText(kSection, "WAV1 Location", ""), "/new/1.wav");
    EXPECT_EQ(store.ReadText(kSection, "WAV4 Location", ""), "/old/4.wav");
    EXPECT_EQ(store.ReadInt(kSection, "Tone 1", 0), 7);
}

TEST_F(ProgrammerDlgTest, BadTestAddressIsReportedAndKeepsTheWindowOpenOnExit) {
    start();
    dlg->controlAs<QLineEdit>(kIdTestAddress)->setText("5600001");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "Please enter an integer between 0 and 5600000.");
    dlg->onExit();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(port.messages.size(), 2u);
    EXPECT_EQ(store.WriteLog().size(), 5u);  // the partial save happened before the check
    store.ClearWriteLog();
    dlg->onOk();  // the accepting way checks too, and never saves
    EXPECT_TRUE(dlg->isVisible());
    dlg->controlAs<QLineEdit>(kIdTestAddress)->setText("12");
    EXPECT_EQ(dlg->job().testAddress, 12);
    dlg->onOk();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(store.WriteLog().empty());
}

TEST_F(ProgrammerDlgTest, ChoosingAWavFileFillsTheRowAndRemembersTheFolder) {
    start();
    port.fileAnswers.push_back(std::string("/home/eng/Sounds/alarm.wav"));
    QTest::mouseClick(dlg->controlAs<QPushButton>(slotControls(7).openButtonId), Qt::LeftButton);
    ASSERT_EQ(port.openDialogs.size(), 1u);
    const FileDialogOptions& dialog = port.openDialogs[0];
    EXPECT_EQ(dialog.filter, "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*||");
    EXPECT_EQ(dialog.defaultExtension, "wav");
    EXPECT_EQ(dialog.initialName, "*.wav");
    EXPECT_EQ(dialog.initialFolder, "");
    EXPECT_TRUE(dialog.mustExist);
    EXPECT_EQ(dlg->controlAs<QLineEdit>(1066)->text(), "/home/eng/Sounds/alarm.wav");
    EXPECT_EQ(dlg->job().slot(7).wavPath, "/home/eng/Sounds/alarm.wav");
    EXPECT_EQ(dlg->job().wavFolder, "/home/eng/Sounds/");

    // Cancelling changes nothing; the dialog starts in the remembered folder.
    dlg->onChooseWav(1);
    ASSERT_EQ(port.openDialogs.size(), 2u);
    EXPECT_EQ(port.openDialogs[1].initialFolder, "/home/eng/Sounds/");
    EXPECT_EQ(dlg->job().slot(1).wavPath, "");
    EXPECT_EQ(dlg->job().wavFolder, "/home/eng/Sounds/");

    // A folder named like the file does not cut the folder short.
    port.fileAnswers.push_back(std::string("/snd/a.wav/a.wav"));
    dlg->onChooseWav(2);
    EXPECT_EQ(dlg->job().wavFolder, "/snd/a.wav/");

    dlg->onQuit();
    EXPECT_EQ(store.ReadText(kSection, "WAV7 Location", ""), "/home/eng/Sounds/alarm.wav");
    EXPECT_EQ(store.ReadText(kSection, "WAV Location", ""), "/snd/a.wav/");
}

TEST_F(ProgrammerDlgTest, HelpOpensThePageBelowTheProgramFolder) {
    start();
    QStringList opened;
    dlg->setHelpOpener([&](const QString& page) { opened << page; });
    QTest::mouseClick(dlg->controlAs<QPushButton>(kIdHelp), Qt::LeftButton);
    dlg->command(kCmdHelp)->trigger();
    EXPECT_EQ(opened, QStringList({"/opt/zorvek/ZorvekHelp/helphtml.htm", "/opt/zorvek/ZorvekHelp/helphtml.htm"}));
}

TEST_F(ProgrammerDlgTest, AboutBoxNamesTheVersion) {
    start();
    QString title, line;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        if (auto* l = box->findChild<QLabel*>("aboutLine")) line = l->text();
        box->accept();
    });
    dlg->command(kCmdAbout)->trigger();
    EXPECT_EQ(title, "About Zorvek USB Siren Programmer");
    EXPECT_EQ(line, "Zorvek USB Siren Programmer Version 3.1");
}

TEST_F(ProgrammerDlgTest, TooltipsAndPictures) {
    start();
    EXPECT_EQ(dlg->control(1014)->toolTip(), "Select a voice message for stage 1...");
    EXPECT_EQ(dlg->control(1035)->toolTip(), "Select a voice message for stage 4...");
    EXPECT_EQ(dlg->control(1067)->toolTip(), "");
    EXPECT_EQ(dlg->control(1011)->toolTip(), "");
    UserPort& asPort = *dlg;
    asPort.ShowFirmwareBanner(true);
    asPort.ShowDip32ToneIndicator(true);
    EXPECT_TRUE(shown(kIdFirmwareBanner));
    EXPECT_TRUE(shown(kIdDip32ToneBanner));
    asPort.ShowDip32ToneIndicator(false);
    EXPECT_FALSE(shown(kIdDip32ToneBanner));
    // Messages and file choices go to the injected port.
    asPort.ShowMessage("hello", "Caution!", MessageIcon::Stop);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Caution!");
}
