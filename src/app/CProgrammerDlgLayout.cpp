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
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>

#include "app/CProgrammerDlg.h"
#include "app/DialogUnits.h"
#include "app/FlashGauge.h"
#include "app/Pictures.h"
#include "job/SlotTable.h"
#include "job/Usage.h"
#include "ui/Translation.h"

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

// Holds the client area at its designed size; the window opens showing all of
// it, and a smaller window (a 1024 x 768 screen) scrolls it instead of cutting it off.
class ClientScroll : public QScrollArea {
public:
    explicit ClientScroll(QWidget* parent) : QScrollArea(parent) {
        setObjectName(QStringLiteral("clientScroll"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(false);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The controls inside take the focus; the area follows it.
        setFocusPolicy(Qt::NoFocus);
    }
    QSize sizeHint() const override { return widget() ? widget()->size() : QScrollArea::sizeHint(); }
    QSize minimumSizeHint() const override { return {120, 80}; }
};

// What a screen reader says for a control: a name, and what it is for.
void describe(QWidget* widget, const QString& name, const QString& description) {
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
}

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
    auto* scroll = new ClientScroll(this);
    auto* central = new QWidget(scroll);
    central->setObjectName(QStringLiteral("clientArea"));
    const DialogUnits du(font());
    central->setFixedSize(du.x(kWindowWidth), du.y(kWindowHeight));
    scroll->setWidget(central);
    setCentralWidget(scroll);
    clientArea_ = central;

    // Rows top to bottom: slot 7, then 1 to 6.
    for (size_t r = 0; r < kRowOrder.size(); ++r)
        buildSlotRow(kRowOrder[r], kRowTop + static_cast<int>(r) * kRowPitch, central);

    // The right-hand column.
    auto button = [&](int id, const char* text, int y) {
        auto* b = place(new QPushButton(zt(text), central), du, kColumnLeft, y, kColumnWidth, 14);
        b->setAutoDefault(false);
        registerControl(b, id);
        return b;
    };
    describe(button(kIdQuit, ZT("&Quit"), 8), zt("Quit"), zt("Save the settings and close"));
    describe(button(kIdProgram, ZT("&Program"), 26), zt("Program"),
             zt("Convert the messages and write them into the siren"));
    describe(registerControl(place(new QCheckBox(zt("Verify"), central), du, kColumnLeft + 2, 44, 49, 10),
                             kIdVerify),
             zt("Verify"), zt("Read the siren back after programming and compare"));
    describe(button(kIdHelp, ZT("&Help"), 58), zt("Help"), zt("Open the user guide"));

    auto* usageFrame =
        place(new QGroupBox(zt("Siren Usage"), central), du, kColumnLeft, 76, kColumnWidth, 62);
    usageFrame->setObjectName(QStringLiteral("usageGroup"));
    usageGroup_ = new QButtonGroup(this);
    usageGroup_->setExclusive(true);
    for (size_t i = 0; i < kUsageButtons.size(); ++i) {
        const UsageButton& u = kUsageButtons[i];
        auto* radio = place(new QRadioButton(zt(u.buttonText), central), du, kColumnLeft + 4,
                            88 + static_cast<int>(i) * 12, 46, 10);
        registerControl(radio, u.controlId);
        describe(radio, radio->text().remove(QLatin1Char('&')), zt("Siren usage"));
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
    describe(gauge_, zt("Flash usage"), zt("How the messages will fill the siren's flash"));

    // Status line and the three status fields along the bottom.
    const int statusTop = kRowTop + 7 * kRowPitch + 2 + kGaugeHeight;
    auto field = [&](int id, const char* text, int x, int y, int w) {
        auto* label = place(new QLabel(zt(text), central), du, x, y, w, 10);
        label->setTextFormat(Qt::PlainText);
        registerControl(label, id);
        return label;
    };
    field(kIdStatusLine, ZT("Static"), kRowLeft, statusTop, kWindowWidth - 2 * kRowLeft);
    struct StatusField {
        int id;
        const char* text;
        int left;
        int width;
    };
    const StatusField statusFields[] = {{kIdUsbStatus, ZT("USB Connection"), kRowLeft, 120},
                                        {kIdFlashStatus, ZT("Flash Status"), kRowLeft + 125, 120},
                                        {kIdFlashId, ZT("Flash ID"), kRowLeft + 250, kWindowWidth - 2 * kRowLeft - 250}};
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
                                    {kIdSetupUsb, ZT("&Setup USB"), true},
                                    {kIdReadSignature, "&R.E.S.", true},
                                    {kIdEraseFlash, ZT("&Erase Flash"), true},
                                    {kIdProgramRun, ZT("Pro&gram"), false},
                                    {kIdTestWrite, ZT("Test &Write"), true},
                                    {kIdTestRead, ZT("Test Rea&d"), true},
                                    {kIdCloseUsb, ZT("C&lose USB"), true},
                                    {kIdHexTest, ZT("HEX Test"), false}};
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
        {kIdVerbose, ZT("&Verbose"), true}, {kIdCompression, ZT("ADPCM"), true}, {kIdFirmware, ZT("Firmware"), false}};
    for (const Hidden& h : hiddenChecks) {
        auto* c = place(new QCheckBox(zt(h.text), central), du, kColumnLeft, 340, kColumnWidth, 10);
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

    row.frame = place(new QGroupBox(zt(info.rowCaption), parent), du, x, top, kRowWidth, kRowHeight);
    registerControl(row.frame, info.rowCaptionId);

    row.path = place(new QLineEdit(parent), du, x + 7, top + 13, 272, 12);
    registerControl(row.path, info.pathBoxId);
    row.problem = row.path->addAction(style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::TrailingPosition);
    row.problem->setObjectName(QStringLiteral("problem%1").arg(slot));
    row.problem->setVisible(false);
    // Listen: between the path and its Open button.
    row.play = place(new QToolButton(parent), du, x + 283, top + 12, 16, 14);
    row.play->setObjectName(QStringLiteral("play%1").arg(slot));
    row.play->setAutoRaise(false);
    auto* open = place(new QPushButton(zt(info.openButtonText), parent), du, x + 303, top + 12, 52, 14);
    open->setAutoDefault(false);
    registerControl(open, info.openButtonId);

    auto label = [&](const char* text, int id, int lx, int ly, int w) {
        auto* l = place(new QLabel(zt(text), parent), du, lx, ly, w, 9);
        l->setTextFormat(Qt::PlainText);
        if (id != 0) registerControl(l, id);
        return l;
    };
    const int n = slotInfo(slot).messageNumber;
    const auto named = [n](const char* what) { return zt(what).arg(n); };
    describe(row.frame, zt("Message %1").arg(n), zt("The WAV file and settings of one message"));
    describe(row.path, named(ZT("Message %1 file")), zt("Path of the WAV file played as this message"));
    describe(row.play, named(ZT("Message %1 listen")), zt("Play the message as the siren will sound"));
    describe(open, named(ZT("Message %1 open file")), zt("Choose the WAV file of this message"));
    row.bits = label("x-bit", info.bitsLabelId, x + 361, top + 15, 40);
    row.samples = label(ZT("No Of Samples"), info.samplesLabelId, x + 300, top + 33, 100);
    row.channels = label(ZT("Stereo"), info.channelsLabelId, x + 256, top + 33, 40);
    row.rate = label("22k Samps/s", info.rateLabelId, x + 256, top + 33, 40);
    row.channels->hide();
    row.rate->hide();

    auto list = [&](int id, int lx, int w) {
        auto* c = place(new QComboBox(parent), du, lx, top + 31, w, 12);
        c->setMaxVisibleItems(16);
        registerControl(c, id);
        return c;
    };
    // Each list's caption is its label for assistive tools (on Linux a list's
    // own name is its current entry).
    QLabel* toneCaption = label(ZT("Siren Tone"), 0, x + 7, top + 33, 36);
    row.tone = list(info.toneListId, x + 44, 40);
    toneCaption->setBuddy(row.tone);
    describe(row.tone, named(ZT("Message %1 siren tone")), zt("The tone the siren sounds with this message"));
    for (int i = 0; i < kToneCount; ++i) row.tone->addItem(zt(toneEntry(i).c_str()));
    QLabel* volumeCaption = label(ZT("Siren Vol"), 0, x + 92, top + 33, 32);
    row.volume = list(info.volumeListId, x + 125, 32);
    volumeCaption->setBuddy(row.volume);
    describe(row.volume, named(ZT("Message %1 siren volume")), zt("Volume level of this message, 10 loudest"));
    for (const char* v : kVolumeEntries) row.volume->addItem(QString::fromUtf8(v));
    QLabel* beaconCaption = label(ZT("Beacon"), info.beaconCaptionId, x + 165, top + 33, 26);
    row.beacon = list(info.beaconListId, x + 192, 52);
    beaconCaption->setBuddy(row.beacon);
    describe(row.beacon, named(ZT("Message %1 beacon")), zt("How the beacon flashes with this message"));
    for (const char* b : kBeaconEntries) row.beacon->addItem(zt(b));
}

void CProgrammerDlg::buildMenu() {
    QMenuBar* bar = menuBar();
    auto item = [&](QMenu* menu, const char* text, int id, void (CProgrammerDlg::*handler)()) {
        QAction* a = registerCommand(menu->addAction(zt(text)), id);
        connectCommand(a, handler);
        return a;
    };
    QMenu* file = bar->addMenu(zt("&File"));
    item(file, ZT("Load &Configuration"), kCmdLoadConfiguration, &CProgrammerDlg::onLoadConfig);
    item(file, ZT("&Save Configuration"), kCmdSaveConfiguration, &CProgrammerDlg::onSaveConfig);
    recentMenu_ = file->addMenu(zt("Recent &Jobs"));
    recentMenu_->setObjectName(QStringLiteral("recentJobsMenu"));
    recentMenu_->setToolTipsVisible(true);
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { fillRecentJobsMenu(); });
    file->addSeparator();
    // Exit closes the window itself, so it does not run as a guarded command.
    QAction* exitAction = registerCommand(file->addAction(zt("E&xit")), kCmdExit);
    connect(exitAction, &QAction::triggered, this, [this] { onExit(); });

    QMenu* tools = bar->addMenu(zt("&Tools"));
    item(tools, ZT("Siren &Reader"), kCmdSirenReader, &CProgrammerDlg::onReadSiren);
    item(tools, ZT("Siren &Writer"), kCmdSirenWriter, &CProgrammerDlg::onWriteSiren);
    tools->addSeparator();
    QMenu* advanced = tools->addMenu(zt("&Advanced"));
    advanced->setObjectName(QStringLiteral("advancedMenu"));
    item(advanced, ZT("Update &Firmware with WAVs"), kCmdUpdateFirmwareWithWavs, &CProgrammerDlg::onToggleFirmwareUpdate)
        ->setCheckable(true);
    item(advanced, ZT("Update Firm&ware Only"), kCmdUpdateFirmwareOnly, &CProgrammerDlg::onUpdateFirmwareOnly);
    item(advanced, ZT("DIP Switch 32 Tone"), kCmdDip32Tone, &CProgrammerDlg::onToggleDip32Tone)->setCheckable(true);
    advanced->addSeparator();
    item(advanced, ZT("Simulated Siren"), kCmdSimulatedSiren, &CProgrammerDlg::onToggleSimulatedSiren)->setCheckable(true);
    item(advanced, ZT("&Adapter..."), kCmdChooseAdapter, &CProgrammerDlg::onChooseAdapter);
    item(advanced, ZT("Self-&Test..."), kCmdSelfTest, &CProgrammerDlg::onSelfTest);
    item(advanced, ZT("Fast erase"), kCmdFastErase, &CProgrammerDlg::onToggleFastErase)->setCheckable(true);
    item(advanced, ZT("Write only what differs"), kCmdWriteChanged, &CProgrammerDlg::onToggleWriteChanged)
        ->setCheckable(true);
    QMenu* clock = advanced->addMenu(zt("SPI Clock"));
    clock->setObjectName(QStringLiteral("spiClockMenu"));
    for (const auto& [text, id] : kSpiClockCommands) {
        QAction* a = registerCommand(clock->addAction(QString::fromUtf8(text)), id);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id] { runCommand([this, id] { onChooseSpiClock(id); }); });
    }

    // Alt+H belongs to the Help button.
    QMenu* help = bar->addMenu(zt("H&elp"));
    item(help, ZT("&Help"), kCmdHelp, &CProgrammerDlg::onHelp);
    item(help, ZT("&About"), kCmdAbout, &CProgrammerDlg::onAbout);

    for (QMenu* menu : {file, tools, advanced, clock, help})
        connect(menu, &QMenu::aboutToShow, this, [this] { refreshCheckMarks(); });
}

}  // namespace zorvek
