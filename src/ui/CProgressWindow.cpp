#include "ui/CProgressWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>

#include "job/Translate.h"
#include "ui/Translation.h"

namespace zorvek {
namespace {

QPointer<QWidget> g_mainWindow;

constexpr int kMargin = 10;
constexpr int kEdge = 2;  // the 3-D edge the button and bar margins are based on

int clampToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);  // truncation toward zero
}

int saturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

// Cuts a UTF-8 text to at most `limit` bytes without splitting a character.
std::string cutUtf8(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

void setApplicationMainWindow(QWidget* window) {
    g_mainWindow = window;
}
QWidget* applicationMainWindow() {
    return g_mainWindow.data();
}

// The popup window itself. Closing it through the window manager counts as Cancel,
// so the operation always learns about it and the window stays until Destroy.
class CProgressWindow::Popup : public QWidget {
public:
    explicit Popup(std::function<void()> onClose) : onClose_(std::move(onClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (onClose_) onClose_();
    }

private:
    std::function<void()> onClose_;
};

// Installed on the application while PumpMessages runs with Escape counting as Cancel.
class CProgressWindow::EscapeFilter : public QObject {
public:
    explicit EscapeFilter(CProgressWindow& owner) : owner_(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (!owner_.cancelled_) owner_.Cancel();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CProgressWindow& owner_;
};

CProgressWindow::CProgressWindow(SettingsStore* store) : store_(store) {}

CProgressWindow::CProgressWindow(QWidget* parent, const std::string& title, bool smooth, SettingsStore* store)
    : store_(store) {
    title_ = QString::fromStdString(Translated(title));
    Create(parent, title, smooth);
}

CProgressWindow::~CProgressWindow() {
    Destroy();
}

bool CProgressWindow::Create(QWidget* parent, const std::string& title, bool /*smooth: every Qt bar is smooth*/) {
    if (window_) return true;
    owner_ = parent ? parent->window() : applicationMainWindow();

    // A window of its own, tied to the owner only as transient parent, so it stays
    // usable while BeginModal has the owner disabled.
    auto* popup = new Popup([this] { Cancel(); });
    popup->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    popup->setAttribute(Qt::WA_ShowWithoutActivating);
    popup->setAutoFillBackground(true);
    popup->setBackgroundRole(QPalette::Button);
    popup->setCursor(Qt::BusyCursor);
    popup->setWindowTitle(QString::fromStdString(Translated(title)));
    popup->setObjectName(QStringLiteral("progressWindow"));
    window_ = popup;

    const QFont font = QApplication::font("QMessageBox");
    textControl_ = new QLabel(popup);
    textControl_->setObjectName(QStringLiteral("id11"));
    textControl_->setTextFormat(Qt::PlainText);
    textControl_->setWordWrap(false);
    textControl_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textControl_->setFont(font);
    progressBar_ = new QProgressBar(popup);
    progressBar_->setObjectName(QStringLiteral("id12"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    // The estimate sits on the text's last line, which the popup's texts leave free.
    timeLeft_ = new QLabel(popup);
    timeLeft_->setObjectName(QStringLiteral("timeLeft"));
    timeLeft_->setTextFormat(Qt::PlainText);
    timeLeft_->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    timeLeft_->setFont(font);
    cancelLabel_ = QLatin1Char(' ') + zt("Cancel") + QLatin1Char(' ');
    cancelButton_ = new QPushButton(cancelLabel_, popup);
    cancelButton_->setObjectName(QStringLiteral("id10"));
    cancelButton_->setFont(font);
    cancelButton_->setFocusPolicy(Qt::StrongFocus);
    cancelButton_->setAutoDefault(false);
    QObject::connect(cancelButton_, &QPushButton::clicked, popup, [this] { Cancel(); });

    barPosition_ = 0;
    estimate_.StartRun(now());
    arrangeControls();
    if (popup->windowHandle() == nullptr) popup->winId();
    if (owner_ && owner_->windowHandle() && popup->windowHandle())
        popup->windowHandle()->setTransientParent(owner_->windowHandle());
    if (persistPosition_)
        restorePosition();
    else
        centreOverOwner();
    Show();
    return true;
}

void CProgressWindow::arrangeControls() {
    const QFontMetrics fm(textControl_->font());
    QStringList lines;
    for (int i = 0; i < textLines_; ++i) lines << QStringLiteral("M");
    const int textHeight =
        fm.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, lines.join(QLatin1Char('\n')))
            .height();
    const QRect textRect(kMargin, kMargin, kTextWidth, textHeight);

    // The edge-based size, but never smaller than the style needs to draw the label.
    const QSize hint = cancelButton_->sizeHint();
    const int buttonWidth =
        std::max(fm.horizontalAdvance(cancelLabel_ + QStringLiteral("  ")) + 4 * kEdge, hint.width());
    const int buttonHeight = std::max(fm.height() + 3 * kEdge, hint.height());
    QRect buttonRect(0, textRect.bottom() + 1 + kMargin, buttonWidth, buttonHeight);
    buttonRect.moveRight(textRect.right());
    const QRect barRect(QPoint(textRect.left(), buttonRect.top() + kEdge),
                        QPoint(buttonRect.left() - kMargin - 1, buttonRect.bottom() - kEdge));

    window_->setFixedSize(kTextWidth + 2 * kMargin, textHeight + buttonHeight + 3 * kMargin);
    progressBar_->setGeometry(barRect);
    cancelButton_->setGeometry(buttonRect);
    textControl_->setGeometry(textRect);
    timeLeft_->setGeometry(textRect);
}

bool CProgressWindow::BeginModal(const std::string& title, bool smooth) {
    if (!window_ && !Create(nullptr, title, smooth)) return false;
    // Disable the top of the owner chain that is still enabled (the main window).
    QWidget* last = nullptr;
    QWidget* w = owner_.data();
    while (w && w->isEnabled()) {
        last = w;
        QWidget* parent = w->parentWidget();
        w = parent ? parent->window() : nullptr;
    }
    // A second BeginModal finds the main window already disabled: keep the one
    // to re-enable, or it would stay disabled for good.
    if (last) {
        last->setEnabled(false);
        disabledWindow_ = last;
    }
    window_->setEnabled(true);
    modal_ = true;
    return true;
}

void CProgressWindow::SetRange(int lower, int upper, int step) {
    if (!window_) return;
    lower_ = lower;
    upper_ = upper;
    step_ = step;
    // QProgressBar turns 0..0 into a busy indicator; an empty range shows an empty bar instead.
    if (upper > lower)
        progressBar_->setRange(lower, upper);
    else
        progressBar_->setRange(lower, saturatingAdd(lower, 1));
    barPosition_ = std::clamp(barPosition_, progressBar_->minimum(), progressBar_->maximum());
    progressBar_->setValue(barPosition_);
    estimate_.SetRange(now(), lower, upper);
    showTimeLeft();
}

int CProgressWindow::SetPosition(int position) {
    if (!window_) return position_;
    Show();
    position_ = position;
    int percent = 0;
    if (upper_ > lower_) {
        const double span = static_cast<double>(upper_) - lower_;
        percent = clampToInt((static_cast<double>(position) - lower_) * 100.0 / span + 0.5);
    }
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        window_->setWindowTitle(QStringLiteral("%1 [%2%]").arg(title_).arg(percent));
    }
    const int previous = barPosition_;
    barPosition_ = std::clamp(position, progressBar_->minimum(), progressBar_->maximum());
    progressBar_->setValue(barPosition_);
    estimate_.Update(now(), position);
    if (bytesSink_) *bytesSink_ = std::max(*bytesSink_, estimate_.RunBytes());
    showTimeLeft();
    return previous;
}

int CProgressWindow::Step() {
    return window_ ? SetPosition(saturatingAdd(position_, step_)) : position_;
}

int CProgressWindow::Advance(int delta) {
    return window_ ? SetPosition(saturatingAdd(position_, delta)) : position_;
}

int CProgressWindow::SetStep(int step) {
    const int previous = step_;
    step_ = step;
    return previous;
}

void CProgressWindow::SetText(const std::string& text) {
    if (!window_) return;
    textControl_->setText(QString::fromStdString(cutUtf8(TranslatedLines(text), kTextLimit)));
    estimate_.StartStep(now(), lower_, upper_, stepBytes_ = 0);
    showTimeLeft();
}

void CProgressWindow::SetStepBytes(int bytes) {
    stepBytes_ = bytes;
    estimate_.SetStepBytes(bytes);
}

double CProgressWindow::now() const {
    if (clock_) return clock_();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void CProgressWindow::showTimeLeft() {
    const std::optional<double> left = estimate_.SecondsLeft();
    // A text that fills every line keeps them all.
    const bool room = textControl_->text().count(QLatin1Char('\n')) + 1 < textLines_;
    timeLeft_->setText(left && room ? QString::fromStdString(FormatSecondsLeft(*left)) : QString());  // worded by Format
}

void CProgressWindow::Reset() {
    SetText("");
    SetPosition(0);
    cancelled_ = false;
    position_ = 0;
    if (window_) window_->repaint();
}

void CProgressWindow::Show() {
    if (!window_ || window_->isVisible()) return;
    window_->show();
    window_->repaint();
}

void CProgressWindow::Hide() {
    if (window_ && window_->isVisible()) window_->hide();
}

void CProgressWindow::PumpMessages(bool cancelOnEscape) {
    // Keep the keyboard with the popup while it is modal, but do not pull the
    // focus back from another program.
    if (modal_ && window_ && window_->isVisible()) {
        QWidget* active = QApplication::activeWindow();
        if (active && active != window_) window_->activateWindow();
    }
    if (cancelled_) return;
    std::unique_ptr<EscapeFilter> filter;
    if (cancelOnEscape) {
        filter = std::make_unique<EscapeFilter>(*this);
        QCoreApplication::instance()->installEventFilter(filter.get());
    }
    // Handles what is already queued and returns: it never waits for more.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (filter) QCoreApplication::instance()->removeEventFilter(filter.get());
}

void CProgressWindow::Cancel() {
    if (persistPosition_) savePosition();
    cancelled_ = true;
    Hide();
    if (QWidget* main = applicationMainWindow()) {
        main->raise();
        main->activateWindow();
    }
}

void CProgressWindow::Destroy() {
    if (persistPosition_) savePosition();
    if (modal_) {
        modal_ = false;
        if (disabledWindow_) disabledWindow_->setEnabled(true);
        disabledWindow_ = nullptr;
    }
    if (window_) {
        QWidget* w = window_.data();
        window_ = nullptr;
        textControl_ = nullptr;
        progressBar_ = nullptr;
        cancelButton_ = nullptr;
        timeLeft_ = nullptr;
        w->hide();
        delete w;
    }
}

void CProgressWindow::savePosition() {
    if (!window_ || !store_) return;
    // The client area's corner, not the frame's: before the first show the
    // frame is not known, so only the client area can be put back exactly.
    const QPoint topLeft = window_->geometry().topLeft();
    store_->WriteInt(kSettingsSection, "X", topLeft.x());
    store_->WriteInt(kSettingsSection, "Y", topLeft.y());
}

void CProgressWindow::restorePosition() {
    const int x = store_ ? store_->ReadInt(kSettingsSection, "X", -1) : -1;
    const int y = store_ ? store_->ReadInt(kSettingsSection, "Y", -1) : -1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize();
    if (x >= 0 && x < screenSize.width() && y >= 0 && y < screenSize.height())
        window_->setGeometry(QRect(QPoint(x, y), window_->size()));  // places the client area, as saved
    else
        centreOverOwner();
}

void CProgressWindow::centreOverOwner() {
    QRect area;
    if (owner_)
        area = owner_->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty()) return;
    const QSize size = window_->frameGeometry().size();
    window_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QPushButton* CProgressWindow::cancelButton() const {
    return window_ ? cancelButton_ : nullptr;
}
QString CProgressWindow::caption() const {
    return window_ ? window_->windowTitle() : QString();
}
QString CProgressWindow::text() const {
    return window_ ? textControl_->text() : QString();
}
QString CProgressWindow::timeLeft() const {
    return window_ ? timeLeft_->text() : QString();
}
int CProgressWindow::barValue() const {
    return window_ ? progressBar_->value() : barPosition_;
}
int CProgressWindow::barMinimum() const {
    return window_ ? progressBar_->minimum() : 0;
}
int CProgressWindow::barMaximum() const {
    return window_ ? progressBar_->maximum() : 100;
}

}  // namespace zorvek
