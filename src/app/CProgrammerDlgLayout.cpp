// Building the main window's controls and menu. Coordinates are dialog units
// of the window font; every control carries its identifier.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/CProgrammerDlg.h"
#include "app/DialogUnits.h"
#include "app/FlashGauge.h"
#include "app/Pictures.h"
#include "job/SlotTable.h"
#include "job/Usage.h"

namespace zorvek {
namespace {

constexpr int kWindowWidth = 478;
constexpr int kGaugeHeight = 14;  // the flash gauge between the rows and the status fields
constexpr int kWindowHeight = 398 + kGaugeHeight;
constexpr int kRowLeft = 7;
constexpr int kRowWidth = 407;
constexpr int kRowHeight = 49;
constexpr int kRowPitch = 50;
constexpr int kRowTop = 4;
constexpr int kColumnLeft = 420;
constexpr int kColumnWidth = 51;

template <class W>
W* place(W* widget, const DialogUnits& du, int x, int y, int w, int h) {
    widget->setGeometry(du.rect(x, y, w, h));
    return widget;
}

}  // namespace

QWidget* CProgrammerDlg::registerControl(QWidget* widget, int id) {
    widget->setObjectName(QStringLiteral("id%1").arg(id));
    widget->setProperty("controlId", id);
    controls_[id] = widget;
    return widget;
}

QAction* CProgrammerDlg::registerCommand(QAction* action, int id) {
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    action->setProperty("commandId", id);
    commands_[id] = action;
    return action;
}

void CProgrammerDlg::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("clientArea"));
    const DialogUnits du(font());
    central->setFixedSize(du.x(kWindowWidth), du.y(kWindowHeight));
    setCentralWidget(central);

    // Rows top to bottom: slot 7, then 1 to 6.
    for (size_t r = 0; r < kRowOrder.size(); ++r)
        buildSlotRow(kRowOrder[r], kRowTop + static_cast<int>(r) * kRowPitch, central);

    // The right-hand column.
    auto button = [&](int id, const char* text, int y) {
        auto* b = place(new QPushButton(QString::fromUtf8(text), central), du, kColumnLeft, y, kColumnWidth, 14);
        b->setAutoDefault(false);
        registerControl(b, id);
        return b;
    };
    button(kIdQuit, "&Quit", 8);
    button(kIdProgram, "&Program", 26);
    registerControl(place(new QCheckBox(QStringLiteral("Verify"), central), du, kColumnLeft + 2, 44, 49, 10),
                    kIdVerify);
    button(kIdHelp, "&Help", 58);

    auto* usageFrame =
        place(new QGroupBox(QStringLiteral("Siren Usage"), central), du, kColumnLeft, 76, kColumnWidth, 62);
    usageFrame->setObjectName(QStringLiteral("usageGroup"));
    usageGroup_ = new QButtonGroup(this);
    usageGroup_->setExclusive(true);
    for (size_t i = 0; i < kUsageButtons.size(); ++i) {
        const UsageButton& u = kUsageButtons[i];
        auto* radio = place(new QRadioButton(QString::fromUtf8(u.buttonText), central), du, kColumnLeft + 4,
                            88 + static_cast<int>(i) * 12, 46, 10);
        registerControl(radio, u.controlId);
        usageGroup_->addButton(radio, u.value);
    }

    const QSize logo = pictureSizeInDialogUnits(PictureWidget::Kind::Logo);
    registerControl(place(new PictureWidget(PictureWidget::Kind::Logo, central), du,
                          kColumnLeft + (kColumnWidth - logo.width()) / 2, 142, logo.width(), logo.height()),
                    kIdLogo);
    const QSize dip = pictureSizeInDialogUnits(PictureWidget::Kind::Dip32ToneBanner);
    registerControl(place(new PictureWidget(PictureWidget::Kind::Dip32ToneBanner, central), du, kColumnLeft, 274,
                          dip.width(), dip.height()),
                    kIdDip32ToneBanner)
        ->hide();

    const int gaugeTop = kRowTop + 7 * kRowPitch + 1;
    gauge_ =
        place(new FlashGauge(central), du, kRowLeft, gaugeTop, kColumnLeft + kColumnWidth - kRowLeft, kGaugeHeight - 3);

    // Status line and the three status fields along the bottom.
    const int statusTop = kRowTop + 7 * kRowPitch + 2 + kGaugeHeight;
    auto field = [&](int id, const char* text, int x, int y, int w) {
        auto* label = place(new QLabel(QString::fromUtf8(text), central), du, x, y, w, 10);
        label->setTextFormat(Qt::PlainText);
        registerControl(label, id);
        return label;
    };
    field(kIdStatusLine, "Static", kRowLeft, statusTop, kWindowWidth - 2 * kRowLeft);
    struct StatusField {
        int id;
        const char* text;
        int left;
        int width;
    };
    const StatusField statusFields[] = {{kIdUsbStatus, "USB Connection", kRowLeft, 120},
                                        {kIdFlashStatus, "Flash Status", kRowLeft + 125, 120},
                                        {kIdFlashId, "Flash ID", kRowLeft + 250, kWindowWidth - 2 * kRowLeft - 250}};
    for (const StatusField& f : statusFields)
        field(f.id, f.text, f.left, statusTop + 13, f.width)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const QSize banner = pictureSizeInDialogUnits(PictureWidget::Kind::FirmwareBanner);
    registerControl(place(new PictureWidget(PictureWidget::Kind::FirmwareBanner, central), du, kRowLeft, statusTop + 26,
                          banner.width(), banner.height()),
                    kIdFirmwareBanner)
        ->hide();

    // Controls the window keeps hidden; the check boxes and the test address
    // still take part in every exchange.
    struct Hidden {
        int id;
        const char* text;
        bool disabled;
    };
    const Hidden hiddenButtons[] = {{kIdOk, "OK", true},
                                    {kIdSetupUsb, "&Setup USB", true},
                                    {kIdReadSignature, "&R.E.S.", true},
                                    {kIdEraseFlash, "&Erase Flash", true},
                                    {kIdProgramRun, "Pro&gram", false},
                                    {kIdTestWrite, "Test &Write", true},
                                    {kIdTestRead, "Test Rea&d", true},
                                    {kIdCloseUsb, "C&lose USB", true},
                                    {kIdHexTest, "HEX Test", false}};
    for (const Hidden& h : hiddenButtons) {
        auto* b = button(h.id, h.text, 310);
        b->hide();
        b->setEnabled(!h.disabled);
    }
    auto* testAddress = place(new QLineEdit(central), du, kColumnLeft, 326, kColumnWidth, 12);
    registerControl(testAddress, kIdTestAddress);
    testAddress->hide();
    testAddress->setEnabled(false);
    const Hidden hiddenChecks[] = {
        {kIdVerbose, "&Verbose", true}, {kIdCompression, "ADPCM", true}, {kIdFirmware, "Firmware", false}};
    for (const Hidden& h : hiddenChecks) {
        auto* c = place(new QCheckBox(QString::fromUtf8(h.text), central), du, kColumnLeft, 340, kColumnWidth, 10);
        registerControl(c, h.id);
        c->hide();
        c->setEnabled(!h.disabled);
    }
}

void CProgrammerDlg::buildSlotRow(int slot, int top, QWidget* parent) {
    const SlotControlIds& info = slotControls(slot);
    const DialogUnits du(font());
    SlotControls& row = slotControls_[static_cast<size_t>(slot - 1)];
    const int x = kRowLeft;

    row.frame = place(new QGroupBox(QString::fromUtf8(info.rowCaption), parent), du, x, top, kRowWidth, kRowHeight);
    registerControl(row.frame, info.rowCaptionId);

    row.path = place(new QLineEdit(parent), du, x + 7, top + 13, 272, 12);
    registerControl(row.path, info.pathBoxId);
    // Listen: between the path and its Open button.
    row.play = place(new QToolButton(parent), du, x + 283, top + 12, 16, 14);
    row.play->setObjectName(QStringLiteral("play%1").arg(slot));
    row.play->setAutoRaise(false);
    auto* open = place(new QPushButton(QString::fromUtf8(info.openButtonText), parent), du, x + 303, top + 12, 52, 14);
    open->setAutoDefault(false);
    registerControl(open, info.openButtonId);

    auto label = [&](const char* text, int id, int lx, int ly, int w) {
        auto* l = place(new QLabel(QString::fromUtf8(text), parent), du, lx, ly, w, 9);
        l->setTextFormat(Qt::PlainText);
        if (id != 0) registerControl(l, id);
        return l;
    };
    row.bits = label("x-bit", info.bitsLabelId, x + 361, top + 15, 40);
    row.samples = label("No Of Samples", info.samplesLabelId, x + 300, top + 33, 100);
    row.channels = label("Stereo", info.channelsLabelId, x + 256, top + 33, 40);
    row.rate = label("22k Samps/s", info.rateLabelId, x + 256, top + 33, 40);
    row.channels->hide();
    row.rate->hide();

    auto list = [&](int id, int lx, int w) {
        auto* c = place(new QComboBox(parent), du, lx, top + 31, w, 12);
        c->setMaxVisibleItems(16);
        registerControl(c, id);
        return c;
    };
    label("Siren Tone", 0, x + 7, top + 33, 36);
    row.tone = list(info.toneListId, x + 44, 40);
    for (int i = 0; i < kToneCount; ++i) row.tone->addItem(QString::fromStdString(toneEntry(i)));
    label("Siren Vol", 0, x + 92, top + 33, 32);
    row.volume = list(info.volumeListId, x + 125, 32);
    for (const char* v : kVolumeEntries) row.volume->addItem(QString::fromUtf8(v));
    label("Beacon", info.beaconCaptionId, x + 165, top + 33, 26);
    row.beacon = list(info.beaconListId, x + 192, 52);
    for (const char* b : kBeaconEntries) row.beacon->addItem(QString::fromUtf8(b));
}

void CProgrammerDlg::buildMenu() {
    QMenuBar* bar = menuBar();
    auto item = [&](QMenu* menu, const char* text, int id, void (CProgrammerDlg::*handler)()) {
        QAction* a = registerCommand(menu->addAction(QString::fromUtf8(text)), id);
        connectCommand(a, handler);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    item(file, "Load &Configuration", kCmdLoadConfiguration, &CProgrammerDlg::onLoadConfig);
    item(file, "&Save Configuration", kCmdSaveConfiguration, &CProgrammerDlg::onSaveConfig);
    file->addSeparator();
    // Exit closes the window itself, so it does not run as a guarded command.
    QAction* exitAction = registerCommand(file->addAction(QStringLiteral("E&xit")), kCmdExit);
    connect(exitAction, &QAction::triggered, this, [this] { onExit(); });

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    item(tools, "Siren &Reader", kCmdSirenReader, &CProgrammerDlg::onReadSiren);
    item(tools, "Siren &Writer", kCmdSirenWriter, &CProgrammerDlg::onWriteSiren);
    tools->addSeparator();
    QMenu* advanced = tools->addMenu(QStringLiteral("&Advanced"));
    advanced->setObjectName(QStringLiteral("advancedMenu"));
    item(advanced, "Update &Firmware with WAVs", kCmdUpdateFirmwareWithWavs, &CProgrammerDlg::onToggleFirmwareUpdate)
        ->setCheckable(true);
    item(advanced, "Update Firm&ware Only", kCmdUpdateFirmwareOnly, &CProgrammerDlg::onUpdateFirmwareOnly);
    item(advanced, "DIP Switch 32 Tone", kCmdDip32Tone, &CProgrammerDlg::onToggleDip32Tone)->setCheckable(true);
    advanced->addSeparator();
    item(advanced, "Simulated Siren", kCmdSimulatedSiren, &CProgrammerDlg::onToggleSimulatedSiren)->setCheckable(true);
    item(advanced, "&Adapter...", kCmdChooseAdapter, &CProgrammerDlg::onChooseAdapter);
    item(advanced, "Self-&Test...", kCmdSelfTest, &CProgrammerDlg::onSelfTest);
    item(advanced, "Fast erase", kCmdFastErase, &CProgrammerDlg::onToggleFastErase)->setCheckable(true);
    item(advanced, "Write only what differs", kCmdWriteChanged, &CProgrammerDlg::onToggleWriteChanged)
        ->setCheckable(true);
    QMenu* clock = advanced->addMenu(QStringLiteral("SPI Clock"));
    clock->setObjectName(QStringLiteral("spiClockMenu"));
    for (const auto& [text, id] : kSpiClockCommands) {
        QAction* a = registerCommand(clock->addAction(QString::fromUtf8(text)), id);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id] { runCommand([this, id] { onChooseSpiClock(id); }); });
    }

    // Alt+H belongs to the Help button.
    QMenu* help = bar->addMenu(QStringLiteral("H&elp"));
    item(help, "&Help", kCmdHelp, &CProgrammerDlg::onHelp);
    item(help, "&About", kCmdAbout, &CProgrammerDlg::onAbout);

    for (QMenu* menu : {file, tools, advanced, clock, help})
        connect(menu, &QMenu::aboutToShow, this, [this] { refreshCheckMarks(); });
}

}  // namespace zorvek
