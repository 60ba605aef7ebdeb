#include "app/ScreenshotHook.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/CAdapterDlg.h"
#include "app/CProgrammerDlg.h"
#include "app/PrepareDialog.h"
#include "job/SlotTable.h"
#include "ui/CProgressWindow.h"
#include "ui/QtUserPort.h"

namespace zorvek {
namespace {

// The popup is pictured once programming is well under way.
constexpr int kProgressPercent = 40;
constexpr const char* kProgrammingText = "Programming...";
// Long enough for the window system to map and paint the window.
constexpr int kSettleMs = 300;

void say(const QString& text) {
    std::fprintf(stderr, "zorvek-programmer: %s\n", text.toLocal8Bit().constData());
}

bool savePicture(const QImage& picture, const QString& file) {
    if (picture.isNull() || !picture.save(file, "PNG")) {
        say(QStringLiteral("could not save the picture to %1").arg(file));
        return false;
    }
    return true;
}

class UnattendedUserPort : public QtUserPort {
public:
    explicit UnattendedUserPort(SettingsStore* store) : QtUserPort(nullptr, store) {}
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        say(QString::fromStdString(caption + ": " + text));
    }
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon) override {
        say(QString::fromStdString(caption + ": " + text + " [answered No]"));
        return false;
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override { return std::nullopt; }
};

// What the progress picture run has come to.
struct ProgressShot {
    bool taken = false;
    bool saved = false;
};

// Passes every call to the real popup and takes the picture when programming
// passes the mark, or at the last moment of programming when a small job never
// reaches it. Then it cancels the run, as a person pressing Cancel would.
class WatchedProgress : public ProgressPort {
public:
    WatchedProgress(std::unique_ptr<ProgressPort> inner, std::function<void(CProgressWindow&)> take)
        : inner_(std::move(inner)), popup_(dynamic_cast<CProgressWindow*>(inner_.get())), take_(std::move(take)) {}

    bool BeginModal(const std::string& title, bool smooth) override { return inner_->BeginModal(title, smooth); }
    void SetRange(int lower, int upper, int step) override { inner_->SetRange(lower, upper, step); }
    int SetPosition(int position) override { return afterMove(inner_->SetPosition(position)); }
    int Step() override { return afterMove(inner_->Step()); }
    void SetText(const std::string& text) override {
        lastChance();
        inner_->SetText(text);
    }
    void SetStepBytes(int bytes) override { inner_->SetStepBytes(bytes); }
    void Hide() override { inner_->Hide(); }
    void PumpMessages(bool cancelOnEscape) override { inner_->PumpMessages(cancelOnEscape); }
    bool IsCancelled() const override { return inner_->IsCancelled(); }
    void Destroy() override {
        lastChance();
        inner_->Destroy();
    }

private:
    bool programming() const {
        return popup_ && popup_->window() && popup_->text() == QString::fromUtf8(kProgrammingText) &&
               !popup_->IsCancelled();
    }
    int afterMove(int previous) {
        if (!taken_ && programming() && popup_->upper() > popup_->lower() &&
            (static_cast<long long>(popup_->position()) - popup_->lower()) * 100 >=
                static_cast<long long>(kProgressPercent) * (popup_->upper() - popup_->lower()))
            take();
        return previous;
    }
    void lastChance() {
        if (!taken_ && programming()) take();
    }
    void take() {
        taken_ = true;
        take_(*popup_);
        popup_->Cancel();
    }

    std::unique_ptr<ProgressPort> inner_;
    CProgressWindow* popup_;
    std::function<void(CProgressWindow&)> take_;
    bool taken_ = false;
};

void armProgressShot(CProgrammerDlg& window, const QString& file) {
    auto shot = std::make_shared<ProgressShot>();
    window.setProgressWrapper(
        [&window, file, shot](std::unique_ptr<ProgressPort> popup) -> std::unique_ptr<ProgressPort> {
            return std::make_unique<WatchedProgress>(std::move(popup), [&window, file, shot](CProgressWindow& p) {
                shot->taken = true;
                shot->saved = savePicture(composeProgressPicture(&window, p.window()), file);
            });
        });
    QTimer::singleShot(kSettleMs, &window, [&window, shot] {
        // Runs the whole command, popup and all, before it returns.
        window.controlAs<QPushButton>(kIdProgram)->click();
        if (!shot->taken) say(QStringLiteral("the Program run showed no programming progress to picture"));
        QCoreApplication::exit(shot->saved ? 0 : 1);
    });
}

void armChooserShot(CProgrammerDlg& window, const QString& file) {
    QTimer::singleShot(kSettleMs, &window, [&window, file] {
        std::string error;
        auto* chooser = new CAdapterDlg(window.attachedAdapters(error), "", &window);
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->show();
        QTimer::singleShot(kSettleMs, chooser, [&window, chooser, file] {
            const bool saved = savePicture(composeProgressPicture(&window, chooser), file);
            chooser->close();
            QCoreApplication::exit(saved ? 0 : 1);
        });
    });
}

// The Prepare dialog of the top row over the window, once its preparation has finished.
void armPrepareShot(CProgrammerDlg& window, const QString& file) {
    QTimer::singleShot(kSettleMs, &window, [&window, file] {
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, file, poll] {
            auto* dialog = dynamic_cast<PrepareDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (!dialog->result() && !dialog->busy()) dialog->prepare();
            if (dialog->busy()) return;
            poll->stop();
            QCoreApplication::exit(savePicture(composeProgressPicture(&window, dialog), file) ? 0 : 1);
        });
        poll->start(100);
        for (int s = 1; s <= kSlotCount; ++s)
            if (slotInfo(s).messageNumber == 1) window.onPrepare(s);  // returns once the picture is taken
    });
}

}  // namespace

std::optional<ScreenshotRequest> screenshotRequestFromEnvironment(QString& error) {
    error.clear();
    const QString file = qEnvironmentVariable("ZORVEK_SCREENSHOT");
    if (file.isEmpty()) return std::nullopt;
    ScreenshotRequest request;
    request.file = file;
    const QString target = qEnvironmentVariable("ZORVEK_SCREENSHOT_TARGET");
    if (target.isEmpty() || target == QLatin1String("main-window")) {
        request.target = ScreenshotRequest::Target::MainWindow;
    } else if (target == QLatin1String("progress")) {
        request.target = ScreenshotRequest::Target::Progress;
    } else if (target == QLatin1String("adapter-chooser")) {
        request.target = ScreenshotRequest::Target::AdapterChooser;
    } else if (target == QLatin1String("after-run")) {
        request.target = ScreenshotRequest::Target::AfterRun;
    } else if (target == QLatin1String("screen-after-run")) {
        request.target = ScreenshotRequest::Target::ScreenAfterRun;
    } else if (target == QLatin1String("prepare")) {
        request.target = ScreenshotRequest::Target::Prepare;
    } else {
        error = QStringLiteral(
                    "ZORVEK_SCREENSHOT_TARGET \"%1\" is not \"main-window\", \"progress\", \"adapter-chooser\", "
                    "\"after-run\", \"screen-after-run\" or \"prepare\"")
                    .arg(target);
        return std::nullopt;
    }
    request.darkPalette = qEnvironmentVariable("ZORVEK_SCREENSHOT_PALETTE") == QLatin1String("dark");
    return request;
}

std::unique_ptr<UserPort> makeUnattendedUserPort(SettingsStore* store) {
    return std::make_unique<UnattendedUserPort>(store);
}

bool armScreenshot(CProgrammerDlg& window, const ScreenshotRequest& request, QString& error) {
    // Only where no siren's lines are driven: a driver that keeps a flash of its own.
    if (!window.adapterKind().Driver().keepsFlash) {
        error = QStringLiteral("ZORVEK_SCREENSHOT works on the simulated siren only (ZORVEK_ADAPTER=simulator): "
                               "it presses Program with nobody watching");
        return false;
    }
    if (request.target == ScreenshotRequest::Target::Progress) {
        armProgressShot(window, request.file);
        return true;
    }
    if (request.target == ScreenshotRequest::Target::AdapterChooser) {
        armChooserShot(window, request.file);
        return true;
    }
    if (request.target == ScreenshotRequest::Target::Prepare) {
        armPrepareShot(window, request.file);
        return true;
    }
    const QString file = request.file;
    if (request.target == ScreenshotRequest::Target::AfterRun ||
        request.target == ScreenshotRequest::Target::ScreenAfterRun) {
        const bool wholeScreen = request.target == ScreenshotRequest::Target::ScreenAfterRun;
        QTimer::singleShot(kSettleMs, &window, [&window, file, wholeScreen] {
            window.controlAs<QPushButton>(kIdProgram)->click();  // returns when the run has ended
            // Let the window repaint its status before it is pictured.
            QTimer::singleShot(kSettleMs, &window, [&window, file, wholeScreen] {
                QScreen* screen = window.screen();
                const QImage picture = wholeScreen && screen ? screen->grabWindow(0).toImage() : window.grab().toImage();
                QCoreApplication::exit(savePicture(picture, file) ? 0 : 1);
            });
        });
        return true;
    }
    QTimer::singleShot(kSettleMs, &window,
                       [&window, file] { QCoreApplication::exit(savePicture(window.grab().toImage(), file) ? 0 : 1); });
    return true;
}

QImage composeProgressPicture(QWidget* mainWindow, QWidget* popup) {
    QImage canvas = mainWindow->grab().toImage();
    if (!popup || canvas.isNull()) return canvas;
    const QPixmap body = popup->grab();

    QFont captionFont = QApplication::font();
    captionFont.setBold(true);
    const QFontMetrics fm(captionFont);
    const int captionHeight = fm.height() + 8;
    const QSize framed(body.width() / body.devicePixelRatio() + 2,
                       body.height() / body.devicePixelRatio() + captionHeight + 2);

    const QSize canvasSize = canvas.size() / canvas.devicePixelRatio();
    QPoint at = popup->mapToGlobal(QPoint(0, 0)) - mainWindow->mapToGlobal(QPoint(0, 0)) - QPoint(1, captionHeight + 1);
    if (!QRect(QPoint(0, 0), canvasSize).contains(QRect(at, framed)))
        at = QPoint((canvasSize.width() - framed.width()) / 2, (canvasSize.height() - framed.height()) / 2);

    const QPalette palette = popup->palette();
    QPainter p(&canvas);
    const QRect frame(at, framed);
    for (int i = 1; i <= 4; ++i) p.fillRect(frame.translated(i, i), QColor(0, 0, 0, 18));
    p.fillRect(frame, palette.color(QPalette::Mid));
    const QRect caption(at + QPoint(1, 1), QSize(framed.width() - 2, captionHeight));
    p.fillRect(caption, palette.color(QPalette::Active, QPalette::Highlight));
    p.setPen(palette.color(QPalette::Active, QPalette::HighlightedText));
    p.setFont(captionFont);
    p.drawText(caption.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, popup->windowTitle());
    p.drawPixmap(at + QPoint(1, captionHeight + 1), body);
    p.end();
    return canvas;
}

}  // namespace zorvek
