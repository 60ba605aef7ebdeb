#include "app/CProgrammerDlg.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/CAdapterDlg.h"
#include "app/DepthScope.h"
#include "app/Pictures.h"
#include "image/FirmwareHexLoader.h"
#include "job/Paths.h"
#include "job/RecentJobs.h"
#include "job/TextFormat.h"
#include "job/Settings.h"
#include "job/SlotTable.h"
#include "job/Usage.h"
#include "ui/CProgressWindow.h"
#include "operations/ConfigCommands.h"
#include "ui/QtUserPort.h"
#include "ui/Translation.h"

namespace zorvek {

CProgrammerDlg::CProgrammerDlg(SettingsStore& store, std::string programFolder, UserPort* dialogs, QWidget* parent)
    : QMainWindow(parent), store_(store), dialogs_(dialogs) {
    if (!dialogs_) {
        ownDialogs_ = std::make_unique<QtUserPort>(this, &store_);
        ownDialogs_->setWindowCallbacks({[this] { exchangeToWindow(); },
                                         [this](bool visible) { ShowFirmwareBanner(visible); },
                                         [this](bool visible) { ShowDip32ToneIndicator(visible); }});
        dialogs_ = ownDialogs_.get();
    }
    helpOpener_ = [](const QString& page) { QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(page))); };
    adapterChooser_ = [this](const std::vector<AdapterListing>& adapters,
                             const std::string& current) -> std::optional<std::string> {
        CAdapterDlg chooser(adapters, current, this);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return chooser.selectedSerial();
    };
    job_.programFolder = std::move(programFolder);

    setWindowTitle(zt(kProgramTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    buildControls();
    buildMenu();
    buildAids();
    fitToScreen();
    connectNotifications();
    windowStart();
}

CProgrammerDlg::~CProgrammerDlg() {
    // Controls going away must not run handlers against a half-destroyed window.
    ++exchangeDepth_;
}

QWidget* CProgrammerDlg::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QAction* CProgrammerDlg::command(int id) const {
    auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

void CProgrammerDlg::windowStart() {
    // The lists were filled as the controls were built; show the defaults first.
    exchangeToWindow();
    setWindowIcon(programIcon());
    link_ = SpiLink{};  // closed: handle 0
    chooseAdapter(store_.ReadInt(kSettingsSection, kSimulatedSirenKey, 0) != 0);
    if (!adapterWarnings_.empty()) QTimer::singleShot(0, this, [this] { showAdapterWarnings(); });
    job_.flashIdValue = 0;
    job_.usbStatusText = "Idle";
    loadSettings(job_, store_);
    job_.eraseMode = store_.ReadInt(kSettingsSection, kFastEraseKey, 0) != 0 ? EraseMode::Auto : EraseMode::Sectors;
    job_.writeChanged = store_.ReadInt(kSettingsSection, kWriteChangedKey, 1) != 0;
    job_.spiClockHz = store_.ReadInt(kSettingsSection, kSpiClockKey, kDefaultSpiClockHz);
    if (job_.spiClockHz <= 0) job_.spiClockHz = kDefaultSpiClockHz;
    // programFolder was computed by the caller, before the window was made.
    for (const auto& [id, widget] : controls_)
        if (const char* tip = tooltipFor(id)) widget->setToolTip(zt(tip));
    applyUsage();
    for (int s = 1; s <= kSlotCount; ++s) describedPaths_[static_cast<size_t>(s - 1)] = job_.slot(s).wavPath;
    exchangeToWindow();
}

void CProgrammerDlg::connectNotifications() {
    for (int s = 1; s <= kSlotCount; ++s) {
        const SlotControls& row = slotControls_[static_cast<size_t>(s - 1)];
        connect(row.path, &QLineEdit::textChanged, this, [this, s] { onPathEdited(s); });
        auto* open = controlAs<QPushButton>(slotControls(s).openButtonId);
        connect(open, &QPushButton::clicked, this, [this, s] { runCommand([this, s] { onChooseWav(s); }); });
        for (QComboBox* list : {row.tone, row.beacon, row.volume}) {
            connect(list, &QComboBox::currentIndexChanged, this, [this] { onValueChanged(); });
            list->installEventFilter(this);
        }
    }
    for (int id : {kIdVerify, kIdVerbose, kIdCompression, kIdFirmware})
        connect(controlAs<QCheckBox>(id), &QCheckBox::clicked, this, [this] { onValueChanged(); });
    control(kIdFirmware)->installEventFilter(this);
    connect(controlAs<QLineEdit>(kIdTestAddress), &QLineEdit::textChanged, this, [this] { onValueChanged(); });
    control(kIdTestAddress)->installEventFilter(this);
    connect(usageGroup_, &QButtonGroup::idClicked, this, [this] { onUsageClicked(); });

    // Quit does not run as a command: it must be able to close the window.
    connect(controlAs<QPushButton>(kIdQuit), &QPushButton::clicked, this, [this] { onQuit(); });
    connect(controlAs<QPushButton>(kIdOk), &QPushButton::clicked, this, [this] { onOk(); });

    connectButton(kIdProgram, &CProgrammerDlg::onProgram);
    connectButton(kIdHelp, &CProgrammerDlg::onHelp);
    connectButton(kIdProgramRun, &CProgrammerDlg::onProgramRun);
    connectButton(kIdSetupUsb, &CProgrammerDlg::onSetupUsb);
    connectButton(kIdReadSignature, &CProgrammerDlg::onReadSignature);
    connectButton(kIdCloseUsb, &CProgrammerDlg::onCloseUsb);
    connectButton(kIdEraseFlash, &CProgrammerDlg::onEraseFlash);
    connectButton(kIdTestWrite, &CProgrammerDlg::onTestWrite);
    connectButton(kIdTestRead, &CProgrammerDlg::onTestRead);
    connectButton(kIdHexTest, &CProgrammerDlg::onHexTest);
}

void CProgrammerDlg::runCommand(const std::function<void()>& handler) {
    // A popup that pumps events without disabling the window must not let a
    // second command start inside the first.
    if (commandDepth_ > 0) return;
    DepthScope running(commandDepth_);
    handler();
    // A checkable item toggles itself when chosen, and a command (loading a
    // configuration, say) can change what the marks show: put them right at once.
    refreshCheckMarks();
}

void CProgrammerDlg::connectCommand(QAction* action, void (CProgrammerDlg::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void CProgrammerDlg::connectButton(int id, void (CProgrammerDlg::*handler)()) {
    connect(controlAs<QPushButton>(id), &QPushButton::clicked, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

bool CProgrammerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && exchangeDepth_ == 0) exchangeFromWindow();
    return QMainWindow::eventFilter(watched, event);
}

// ---- Notifications ----

void CProgrammerDlg::onPathEdited(int slot) {
    if (exchangeDepth_ > 0) return;
    exchangeFromWindow();
    job_.slot(slot).wavPath = slotControls_[static_cast<size_t>(slot - 1)].path->text().toStdString();
    forgetStaleDescriptions();
    exchangeToWindow();
}

void CProgrammerDlg::onValueChanged() {
    if (exchangeDepth_ > 0) return;
    exchangeFromWindow();
}

void CProgrammerDlg::onUsageClicked() {
    if (exchangeDepth_ > 0) return;
    exchangeFromWindow();
    applyUsage();
}

// ---- UserPort ----

void CProgrammerDlg::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    if (noteReason_ && firstReason_.empty()) firstReason_ = text;
    dialogs_->ShowMessage(text, caption, icon);
}

bool CProgrammerDlg::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) {
    return dialogs_->AskYesNo(text, caption, icon);
}

std::optional<std::string> CProgrammerDlg::ChooseOpenFile(const FileDialogOptions& dialog) {
    return dialogs_->ChooseOpenFile(dialog);
}

std::optional<std::string> CProgrammerDlg::ChooseSaveFile(const FileDialogOptions& dialog) {
    return dialogs_->ChooseSaveFile(dialog);
}

void CProgrammerDlg::ShowFirmwareBanner(bool visible) {
    control(kIdFirmwareBanner)->setVisible(visible);
}

void CProgrammerDlg::ShowDip32ToneIndicator(bool visible) {
    control(kIdDip32ToneBanner)->setVisible(visible);
}

std::unique_ptr<ProgressPort> CProgrammerDlg::MakeProgress(const std::string& title, bool smooth) {
    std::unique_ptr<ProgressPort> popup = dialogs_->MakeProgress(title, smooth);
    if (auto* window = dynamic_cast<CProgressWindow*>(popup.get())) window->SetBytesSink(&runBytes_);
    return progressWrapper_ ? progressWrapper_(std::move(popup)) : std::move(popup);
}

// ---- Adapter ----

void CProgrammerDlg::chooseAdapter(bool simulatedSetting) {
    std::vector<std::string> warnings;
    AdapterRequest request = AdapterRequestFromEnvironment(simulatedSetting, warnings);
    adapterRequest_ = request;
    const std::string remembered = store_.ReadText(kSettingsSection, request.kind.Driver().serialSettingsKey, "");
    if (!remembered.empty()) request.serial = remembered;
    AdapterChoice choice = MakeAdapter(request);
    if (!choice.loadError.empty()) warnings.push_back(Format(ZT("Simulated siren: %s."), choice.loadError.c_str()));
    adapterWarnings_ = std::move(warnings);
    if (!adapter_ || choice.kind != adapterKind_) {
        // Only between commands, so the link is normally closed; never leave it
        // open on an adapter that is about to go.
        if (link_.handle != 0) CloseUsb(job_, link_, *this);
        adapter_ = std::move(choice.adapter);
        adapterKind_ = choice.kind;
        adapterSerial_ = request.serial;
        if (!adapterSerial_ && request.kind.Driver().loneSerial && request.simulatorCount == 1)
            adapterSerial_ = request.kind.Driver().loneSerial;
    }
    link_.adapter = adapter_.get();
    updateWindowTitle();
}

void CProgrammerDlg::showAdapterWarnings() {
    std::vector<std::string> warnings;
    warnings.swap(adapterWarnings_);
    for (const std::string& warning : warnings) dialogs_->ShowMessage(warning, kProgramTitle, MessageIcon::Warning);
}

void CProgrammerDlg::updateWindowTitle() {
    // Nobody should take the simulated siren for a real one.
    QString title = zt(kProgramTitle);
    if (adapterKind_.Driver().namedInTitle) title += QStringLiteral(" - ") + zt(AdapterKindName(adapterKind_));
    setWindowTitle(title);
}

void CProgrammerDlg::onToggleSimulatedSiren() {
    const bool simulated = store_.ReadInt(kSettingsSection, kSimulatedSirenKey, 0) == 0;
    store_.WriteInt(kSettingsSection, kSimulatedSirenKey, simulated ? 1 : 0);
    chooseAdapter(simulated);
    showAdapterWarnings();
    if (adapterKind_.Driver().keepsFlash != simulated) {
        ShowMessage(std::string("The setting is saved, but ZORVEK_ADAPTER=") + adapterKind_.Driver().name +
                        " chooses the adapter while it is set.\nThe " + AdapterKindName(adapterKind_) +
                        " stays in use.",
                    kProgramTitle, MessageIcon::Information);
    }
}

void CProgrammerDlg::onToggleFastErase() {
    const bool fast = job_.eraseMode != EraseMode::Auto;
    job_.eraseMode = fast ? EraseMode::Auto : EraseMode::Sectors;
    store_.WriteInt(kSettingsSection, kFastEraseKey, fast ? 1 : 0);
}

void CProgrammerDlg::onToggleWriteChanged() {
    job_.writeChanged = !job_.writeChanged;
    store_.WriteInt(kSettingsSection, kWriteChangedKey, job_.writeChanged ? 1 : 0);
}

void CProgrammerDlg::onChooseSpiClock(int id) {
    job_.spiClockHz = SpiClockOfCommand(id);
    store_.WriteInt(kSettingsSection, kSpiClockKey, job_.spiClockHz);
    refreshCheckMarks();
}

// ---- Commands of this window ----

void CProgrammerDlg::closeWindow() {
    closing_ = true;
    close();
}

void CProgrammerDlg::onQuit() {
    if (isCommandRunning() || !isEnabled()) return;
    saveAllSettings(job_, store_);
    closeWindow();
}

void CProgrammerDlg::onExit() {
    if (isCommandRunning()) return;
    savePartialSettings(job_, store_);
    if (!exchangeFromWindow()) return;
    closeWindow();
}

void CProgrammerDlg::onOk() {
    if (isCommandRunning() || !exchangeFromWindow()) return;
    closeWindow();
}

void CProgrammerDlg::keyPressEvent(QKeyEvent* event) {
    // Escape reaches the window when no control wanted it, as in a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        onQuit();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CProgrammerDlg::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The close box: the same as Quit, but never in the middle of a command.
    if (isCommandRunning() || !isEnabled()) {
        event->ignore();
        return;
    }
    saveAllSettings(job_, store_);
    closing_ = true;
    event->accept();
}

void CProgrammerDlg::onChooseWav(int slot) {
    const std::optional<std::string> chosen =
        dialogs_->ChooseOpenFile(FileDialogOptions::ForOpening(kWavFilter, "wav", job_.wavFolder));
    if (chosen) takeChosenWav(slot, *chosen);
}

void CProgrammerDlg::takeChosenWav(int slot, const std::string& path) {
    job_.slot(slot).wavPath = path;
    job_.wavFolder = FolderOfChosenFile(path);
    forgetStaleDescriptions();
    exchangeToWindow();  // shows the path in the row
}

QString CProgrammerDlg::helpPagePath() const {
    const QString folder = QString::fromStdString(job_.programFolder);
    const QString beside = folder + QString::fromUtf8(kHelpPage);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QDir::cleanPath(folder + QString::fromUtf8(kInstalledHelpPage));
    // With neither there, the browser names the page beside the program as missing.
    return QFileInfo::exists(installed) ? installed : beside;
}

void CProgrammerDlg::onHelp() {
    // Whether a browser could be started is not reported.
    if (helpOpener_) helpOpener_(helpPagePath());
}

void CProgrammerDlg::onAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CProgrammerDlg::refreshCheckMarks() {
    command(kCmdUpdateFirmwareWithWavs)->setChecked(job_.firmwareUpdate != 0);
    command(kCmdDip32Tone)->setChecked(job_.dip32Tone != 0);
    // What is in use, which ZORVEK_ADAPTER may have chosen over the setting.
    command(kCmdSimulatedSiren)->setChecked(adapterKind_.Driver().keepsFlash);
    command(kCmdFastErase)->setChecked(job_.eraseMode == EraseMode::Auto);
    command(kCmdWriteChanged)->setChecked(job_.writeChanged);
    for (const auto& [text, id] : kSpiClockCommands) command(id)->setChecked(SpiClockOfCommand(id) == job_.spiClockHz);
}

// ---- Commands carried out by the core operations ----

// Each is reached from exactly one control or menu item and runs inside
// runCommand, so the window cannot close underneath it. The operations report
// to the person and refresh the window themselves; the siren commands' outcome
// stays in the status bar.

void CProgrammerDlg::onProgram() {
    if (!ensureAdapterChosen()) return;
    runReported(RunKind::Program, [this] { return operations_.ProgramCommand(); });
}

void CProgrammerDlg::onProgramRun() {
    runReported(RunKind::Program, [this] { return operations_.ProgramSiren(); });
}

void CProgrammerDlg::onSetupUsb() {
    if (!ensureAdapterChosen()) return;
    SetupUsb(job_, link_, *this);
}

void CProgrammerDlg::onReadSignature() {
    job_.flashIdentity = {};
    IdentifyChip(job_, link_, *this);
    // Everything identification found, on the Flash ID field.
    const FlashIdentity& id = job_.flashIdentity;
    control(kIdFlashId)->setToolTip(id.Identified() ? QString::fromStdString(IdentitySummary(id)) : QString());
}

void CProgrammerDlg::onCloseUsb() { CloseUsb(job_, link_, *this); }

void CProgrammerDlg::onEraseFlash() { ChipErase(job_, link_, *this); }

void CProgrammerDlg::onTestWrite() { TestWrite(job_, link_, *this); }

void CProgrammerDlg::onTestRead() { TestRead(job_, link_, *this); }

void CProgrammerDlg::onHexTest() {
    // A scratch buffer, discarded afterwards: the button only shows the loader's messages.
    std::vector<uint8_t> scratch(10000);
    LoadFirmwareHex(job_, *this, scratch, kFirmwareOffset);
    exchangeToWindow();
}

void CProgrammerDlg::onLoadConfig() {
    if (const auto path = LoadConfig(job_, *this)) RememberRecentJob(store_, *path);
    forgetStaleDescriptions();
    exchangeToWindow();
}

void CProgrammerDlg::onSaveConfig() {
    if (const auto path = SaveConfig(job_, *this)) RememberRecentJob(store_, *path);
}

void CProgrammerDlg::onLoadRecentJob(const std::string& path) {
    if (LoadConfigFile(job_, *this, path)) RememberRecentJob(store_, path);
    forgetStaleDescriptions();
    exchangeToWindow();
}

void CProgrammerDlg::fillRecentJobsMenu() {
    recentMenu_->clear();
    const std::vector<std::string> paths = ReadRecentJobs(store_);
    bool missing = false;
    for (size_t i = 0; i < paths.size(); ++i) {
        const QString path = QString::fromStdString(paths[i]);
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        a->setToolTip(path);
        a->setStatusTip(path);
        a->setData(path);
        // A file that is gone stays listed, greyed, until it is removed.
        a->setEnabled(QFileInfo::exists(path));
        missing = missing || !a->isEnabled();
        const std::string chosen = paths[i];
        connect(a, &QAction::triggered, this, [this, chosen] { runCommand([&] { onLoadRecentJob(chosen); }); });
    }
    if (paths.empty()) recentMenu_->addAction(zt("(none)"))->setEnabled(false);
    recentMenu_->addSeparator();
    QAction* removeMissing = recentMenu_->addAction(zt("&Remove Missing Files"));
    removeMissing->setObjectName(QStringLiteral("recentRemoveMissing"));
    removeMissing->setEnabled(missing);
    connect(removeMissing, &QAction::triggered, this, [this] { ForgetRecentJob(store_, ""); });
    QAction* clear = recentMenu_->addAction(zt("&Clear List"));
    clear->setObjectName(QStringLiteral("recentClear"));
    clear->setEnabled(!paths.empty());
    connect(clear, &QAction::triggered, this, [this] { ClearRecentJobs(store_); });
}

void CProgrammerDlg::onReadSiren() {
    if (!ensureAdapterChosen()) return;
    runReported(RunKind::ReadImage, [this] { return operations_.ReadSiren(); });
}

void CProgrammerDlg::onWriteSiren() {
    if (!ensureAdapterChosen()) return;
    runReported(RunKind::WriteImage, [this] { return operations_.WriteSiren(); });
}

void CProgrammerDlg::onToggleFirmwareUpdate() {
    operations_.ToggleFirmwareUpdate();
}

void CProgrammerDlg::onUpdateFirmwareOnly() {
    if (!ensureAdapterChosen()) return;
    runReported(RunKind::UpdateFirmware, [this] { return operations_.UpdateFirmwareOnly(); });
}

void CProgrammerDlg::onToggleDip32Tone() {
    operations_.ToggleDip32Tone();
}

}  // namespace zorvek
