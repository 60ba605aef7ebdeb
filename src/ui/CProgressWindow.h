#pragma once
// The progress popup of the long operations: a few lines of text, a bar, a
// Cancel button and a caption with the percentage done. The work runs on the
// user-interface thread, so the popup also pumps the event queue between flash
// commands; that is the only place Cancel and Escape are seen.
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "job/ProgressEstimate.h"
#include "job/ProgressPort.h"
#include "job/SettingsStore.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace zorvek {

// The program's main window: the default owner of popups, and the window that
// BeginModal disables. Set once by the program (and by tests).
void setApplicationMainWindow(QWidget* window);
QWidget* applicationMainWindow();

class CProgressWindow : public ProgressPort {
public:
    // No window yet; BeginModal or Create makes it. A null store keeps no position.
    explicit CProgressWindow(SettingsStore* store = nullptr);
    // Makes the window at once, captioned with the title, which is also the stem
    // of the percentage captions.
    CProgressWindow(QWidget* parent, const std::string& title, bool smooth, SettingsStore* store = nullptr);
    ~CProgressWindow() override;
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    // A null parent means the application's main window.
    bool Create(QWidget* parent, const std::string& title, bool smooth);

    bool BeginModal(const std::string& title, bool smooth) override;
    void SetRange(int lower, int upper, int step) override;
    int SetPosition(int position) override;
    int Step() override;
    int Advance(int delta);
    int SetStep(int step);
    // Texts longer than 511 bytes are cut (at a character boundary).
    void SetText(const std::string& text) override;
    void SetStepBytes(int bytes) override;
    void Reset();
    void Show();
    void Hide() override;
    void PumpMessages(bool cancelOnEscape) override;
    bool IsCancelled() const override { return cancelled_; }
    void Cancel();
    void Destroy() override;

    void SetPersistPosition(bool persist) { persistPosition_ = persist; }
    // The clock of the time-left estimate, in seconds (the steady clock unless set;
    // tests give the simulated siren's modelled one).
    void SetClock(std::function<double()> clock) { clock_ = std::move(clock); }
    // Where the run's largest data step is added up, for the speed at its end.
    void SetBytesSink(int64_t* sink) { bytesSink_ = sink; }

    // Inspection, for the window's owner and tests.
    QWidget* window() const { return window_.data(); }
    QPushButton* cancelButton() const;
    QString caption() const;
    QString text() const;
    // "about N s left" once the step's rate is steady, else empty.
    QString timeLeft() const;
    int barValue() const;
    int barMinimum() const;
    int barMaximum() const;
    bool isModal() const { return modal_; }
    int position() const { return position_; }
    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int step() const { return step_; }

    static constexpr int kTextLimit = 511;
    static constexpr int kTextWidth = 390;

private:
    class Popup;
    class EscapeFilter;

    void arrangeControls();
    void savePosition();
    void restorePosition();
    void centreOverOwner();
    double now() const;
    void showTimeLeft();

    SettingsStore* store_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> disabledWindow_;
    QPointer<QWidget> window_;
    QLabel* textControl_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    ProgressEstimate estimate_;
    std::function<double()> clock_;
    int64_t* bytesSink_ = nullptr;
    int stepBytes_ = 0;
    bool cancelled_ = false;
    bool modal_ = false;
    bool persistPosition_ = true;
    int position_ = 0;
    int barPosition_ = 0;
    int lastPercent_ = 0;
    int step_ = 1;
    int upper_ = 100;
    int lower_ = 0;
    int textLines_ = 4;
    QString title_ = QStringLiteral("Progress");
    QString cancelLabel_ = QStringLiteral(" Cancel ");
};

}  // namespace zorvek
