#pragma once
// The main window: presents the JobState, keeps it current as controls change,
// and hands each command to the core. It also is the core's UserPort: window
// refresh and the two pictures are its own, dialogs go to an injected port.
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "image/FlashFill.h"
#include "job/JobState.h"
#include "job/Settings.h"
#include "job/SettingsStore.h"
#include "job/UserPort.h"
#include "operations/FlashRoutines.h"
#include "operations/RunSummary.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"
#include "spi/AdapterRequest.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace zorvek {

class FlashGauge;
class MessagePlayer;
class SoundOutput;
class QtUserPort;
class RunStatus;

inline constexpr const char* kWavFilter = "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*||";
// The help page below the program folder, and below an installed program's data folder.
inline constexpr const char* kHelpPage = "ZorvekHelp/helphtml.htm";
inline constexpr const char* kInstalledHelpPage = "../share/zorvek-siren-programmer/ZorvekHelp/helphtml.htm";

class CProgrammerDlg : public QMainWindow, public UserPort {
    Q_OBJECT

public:
    // Runs the whole window start: lists, defaults, adapter, settings, usage.
    // `dialogs` answers messages, questions, file choices and makes progress
    // popups; when null the window uses Qt dialogs of its own. The adapter is the
    // FTDI programmer or the simulated siren, after the "Simulated Siren" setting
    // and ZORVEK_ADAPTER; problems with their values are shown once the event
    // loop runs.
    CProgrammerDlg(SettingsStore& store, std::string programFolder, UserPort* dialogs = nullptr,
                   QWidget* parent = nullptr);
    ~CProgrammerDlg() override;

    JobState& job() { return job_; }
    const JobState& job() const { return job_; }
    SettingsStore& settings() { return store_; }
    SpiLink& link() { return link_; }
    SpiAdapter* adapter() const { return adapter_.get(); }
    AdapterKind adapterKind() const { return adapterKind_; }

    // The designed client area with every control (inside a scroll area).
    QWidget* clientArea() const { return clientArea_; }
    // Controls by their identifier (also their object name "id<N>" and property "controlId").
    QWidget* control(int id) const;
    template <class T>
    T* controlAs(int id) const {
        return qobject_cast<T*>(control(id));
    }
    // Menu items by command (object name "cmd<N>", property "commandId").
    QAction* command(int id) const;

    // Window binding. exchangeFromWindow fails (and says why) on a test address
    // that is not an integer from 0 to 5600000; nothing is taken over then.
    void exchangeToWindow() override;
    bool exchangeFromWindow();
    // Presents the job's usage (captions, locked rows, beacons) and refreshes the window.
    void applyUsage();
    // The mark in the path box of each row whose file Program could not use.
    QAction* problemMark(int slot) const { return slotControls_[static_cast<size_t>(slot - 1)].problem; }

    // UserPort
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) override;
    void ShowFirmwareBanner(bool visible) override;
    void ShowDip32ToneIndicator(bool visible) override;
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override;

    // Every progress popup the core asks for passes through `wrapper` (the
    // screenshot hook watches the popup this way); null: popups as made.
    using ProgressWrapper = std::function<std::unique_ptr<ProgressPort>(std::unique_ptr<ProgressPort>)>;
    void setProgressWrapper(ProgressWrapper wrapper) { progressWrapper_ = std::move(wrapper); }

    // The help page: below the program folder when it is there, else where an
    // installed program keeps it; and how it is opened (replaceable for tests).
    QString helpPagePath() const;
    void setHelpOpener(std::function<void(const QString&)> opener) { helpOpener_ = std::move(opener); }
    // Asks the person to choose among the attached adapters (`current` preselected);
    // nothing on Cancel. Replaceable for tests; by default the CAdapterDlg.
    using AdapterChooser =
        std::function<std::optional<std::string>(const std::vector<AdapterListing>&, const std::string& current)>;
    void setAdapterChooser(AdapterChooser chooser) { adapterChooser_ = std::move(chooser); }
    // The adapters of the kind in use attached now (empty, with `error`, when USB cannot be listed).
    std::vector<AdapterListing> attachedAdapters(std::string& error) const;
    const std::optional<std::string>& adapterSerial() const { return adapterSerial_; }

    // True while a command runs; the window does not close meanwhile.
    bool isCommandRunning() const { return commandDepth_ > 0; }
    // How the last siren command ended, in the status bar.
    RunStatus* runStatus() const { return runStatus_; }
    // The forecast fill of the flash under the rows, kept current by exchangeToWindow.
    FlashGauge* flashGauge() const { return gauge_; }
    // Listening to the rows' messages; the sound goes to the speakers unless
    // another output is set (tests record what would be played).
    MessagePlayer* player() const { return player_; }
    void setSoundOutput(std::unique_ptr<SoundOutput> output);
    QToolButton* playButton(int slot) const { return slotControls_[static_cast<size_t>(slot - 1)].play; }

    // Commands of this window.
    void onQuit();  // "&Quit", close box, Escape: save everything, close
    void onExit();  // File > "E&xit": save a few keys, close if the window's values are sound
    void onOk();    // hidden "OK": close without saving
    void onChooseWav(int slot);
    // A file dropped onto a row: taken as if chosen with its Open button.
    void onDropWav(int slot, const std::string& path);
    // "Prepare..." of a row (its context menu): the PrepareDialog, its result into the row.
    void onPrepare(int slot);
    void onHelp();
    void onAbout();
    void refreshCheckMarks();

    // Commands carried out by the core operations.
    void onProgram();
    void onProgramRun();
    void onSetupUsb();
    void onReadSignature();
    void onCloseUsb();
    void onEraseFlash();
    void onTestWrite();
    void onTestRead();
    void onHexTest();
    void onLoadConfig();
    void onSaveConfig();
    // File > Recent Jobs: a configuration loaded or saved before.
    void onLoadRecentJob(const std::string& path);
    QMenu* recentJobsMenu() const { return recentMenu_; }
    // Lists the recent jobs (run as the menu opens).
    void fillRecentJobsMenu();
    void onReadSiren();
    void onWriteSiren();
    void onToggleFirmwareUpdate();
    void onUpdateFirmwareOnly();
    void onToggleDip32Tone();
    void onToggleSimulatedSiren();
    void onChooseAdapter();
    void onSelfTest();
    void onToggleFastErase();
    void onToggleWriteChanged();
    void onChooseSpiClock(int commandId);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct SlotControls {
        QGroupBox* frame = nullptr;
        QLineEdit* path = nullptr;
        QToolButton* play = nullptr;
        QAction* problem = nullptr;  // a warning in the path box: the file cannot be used
        QLabel* channels = nullptr;
        QLabel* rate = nullptr;
        QLabel* bits = nullptr;
        QLabel* samples = nullptr;
        QComboBox* tone = nullptr;
        QComboBox* beacon = nullptr;
        QComboBox* volume = nullptr;
    };

    // Building (CProgrammerDlgLayout.cpp).
    void buildControls();
    void buildSlotRow(int slot, int top, QWidget* parent);
    void buildMenu();
    QWidget* registerControl(QWidget* widget, int id);
    QAction* registerCommand(QAction* action, int id);
    // Runs a command handler; the window stays open until it returns.
    void connectCommand(QAction* action, void (CProgrammerDlg::*handler)());
    void connectButton(int id, void (CProgrammerDlg::*handler)());
    void runCommand(const std::function<void()>& handler);

    void windowStart();
    // Takes the adapter the setting and the environment choose, unless it is of
    // the kind already in use; collects the factory's warnings.
    void chooseAdapter(bool simulatedSetting);
    void showAdapterWarnings();
    // Before a command opens the adapter: with several attached and none chosen
    // yet, asks which; a remembered one that is absent is reported. False: the
    // command must not run. (CProgrammerDlgAdapter.cpp)
    bool ensureAdapterChosen();
    void useAdapterSerial(const std::string& serial);
    const char* adapterSerialKey() const;
    void updateWindowTitle();
    void connectNotifications();
    void onPathEdited(int slot);
    // A row's format and sample texts describe the file of the last run; once
    // its path is typed, chosen, dropped or loaded anew they are cleared, so
    // they never describe another file.
    void forgetStaleDescriptions();
    void markUnusableRows(const FlashFill& fill);
    // Listen (CProgrammerDlgListen.cpp).
    void onPlay(int slot);
    void refreshPlayButtons();
    void onValueChanged();
    void onUsageClicked();
    void closeWindow();
    void takeChosenWav(int slot, const std::string& path);
    // The slot whose row holds `point` of the client area and takes files now; 0 for none.
    int droppableSlotAt(QPoint point) const;
    // The status bar, drops and sound (CProgrammerDlgAids.cpp).
    void buildAids();
    // The designed size, or the screen's room when that is smaller.
    void fitToScreen();
    void buildPrepareMenus();  // CProgrammerDlgPrepare.cpp
    // Runs a siren command and leaves its ending in the status bar.
    void runReported(RunKind kind, const std::function<OperationOutcome()>& command);

    SettingsStore& store_;
    JobState job_;
    std::unique_ptr<SpiAdapter> adapter_;
    AdapterKind adapterKind_;
    std::vector<std::string> adapterWarnings_;
    AdapterRequest adapterRequest_;             // the kind in use, without a serial number
    std::optional<std::string> adapterSerial_;  // the one adapter_ is limited to, if any
    AdapterChooser adapterChooser_;
    SpiLink link_;
    SirenOperations operations_{job_, link_, *this};
    std::unique_ptr<QtUserPort> ownDialogs_;
    UserPort* dialogs_;
    std::array<SlotControls, kSlotCount> slotControls_{};   // index 0 is slot 1
    std::array<std::string, kSlotCount> describedPaths_{};  // the path each row's texts describe
    std::map<int, QWidget*> controls_;
    std::map<int, QAction*> commands_;
    QButtonGroup* usageGroup_ = nullptr;
    std::function<void(const QString&)> helpOpener_;
    ProgressWrapper progressWrapper_;
    int exchangeDepth_ = 0;
    int commandDepth_ = 0;
    bool closing_ = false;
    RunStatus* runStatus_ = nullptr;
    QWidget* clientArea_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    FlashGauge* gauge_ = nullptr;
    MessagePlayer* player_ = nullptr;
    // The first message of a reported command: the reason when it fails.
    bool noteReason_ = false;
    std::string firstReason_;
    // The data the reported command moved (its largest step), for its speed.
    int64_t runBytes_ = 0;
};

}  // namespace zorvek
