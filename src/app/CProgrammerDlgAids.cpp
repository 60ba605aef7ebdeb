// What helps beyond the window's basic commands: how the last run ended,
// row texts that never describe another file, WAV files dropped onto rows.
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QLineEdit>
#include <QStatusBar>
#include <chrono>

#include "app/CProgrammerDlg.h"
#include "app/MessagePlayer.h"
#include "app/RunStatus.h"
#include "app/WavDrop.h"
#include "job/SlotTable.h"

namespace zorvek {

void CProgrammerDlg::buildAids() {
    for (const SlotControls& row : slotControls_) row.path->setAcceptDrops(false);  // the row takes files, not text
    new WavDrop(
        clientArea(), [this](QPoint p) { return droppableSlotAt(p); },
        [this](int slot, const QString& file) { onDropWav(slot, file.toStdString()); });
    setSoundOutput(makeSpeakerOutput());
    buildPrepareMenus();
    runStatus_ = new RunStatus(this);
    statusBar()->addWidget(runStatus_, 1);
}

void CProgrammerDlg::fitToScreen() {
    const QSize wanted = sizeHint();
    QSize size = wanted;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // The frame is not known before the window manager has put one on: allow
        // for a title bar and borders.
        const QSize room = screen->availableGeometry().size() - QSize(8, 32);
        size = size.boundedTo(room);
        // A scroll bar in one direction takes room from the other; give it back.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        if (size.height() < wanted.height()) size.setWidth(std::min(wanted.width() + bar, room.width()));
        if (size.width() < wanted.width()) size.setHeight(std::min(wanted.height() + bar, room.height()));
    }
    resize(size);
}

void CProgrammerDlg::forgetStaleDescriptions() {
    for (int s = 1; s <= kSlotCount; ++s) {
        MessageSlot& slot = job_.slot(s);
        std::string& described = describedPaths_[static_cast<size_t>(s - 1)];
        if (slot.wavPath == described) continue;
        described = slot.wavPath;
        slot.channelsText.clear();
        slot.rateText.clear();
        slot.bitsText.clear();
        slot.samplesText.clear();
    }
}

void CProgrammerDlg::onDropWav(int slot, const std::string& path) {
    runCommand([&] { takeChosenWav(slot, path); });
}

int CProgrammerDlg::droppableSlotAt(QPoint point) const {
    if (isCommandRunning() || !isEnabled()) return 0;
    for (int s = 1; s <= kSlotCount; ++s) {
        const SlotControls& row = slotControls_[static_cast<size_t>(s - 1)];
        // A row the usage locks takes no file, as its Open button takes no click.
        if (row.frame->geometry().contains(point)) return row.path->isEnabled() ? s : 0;
    }
    return 0;
}

void CProgrammerDlg::runReported(RunKind kind, const std::function<OperationOutcome()>& command) {
    runStatus_->clear();
    firstReason_.clear();
    noteReason_ = true;
    runBytes_ = 0;
    link_.deviceName.clear();
    const auto started = std::chrono::steady_clock::now();
    const OperationOutcome outcome = command();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    const auto seconds = std::chrono::round<std::chrono::seconds>(took);
    noteReason_ = false;
    const double speed = took.count() > 0 ? static_cast<double>(runBytes_) / took.count() : 0;
    runStatus_->show(
        SummariseRun(kind, outcome, job_.verify != 0, seconds.count(), firstReason_, speed, &job_.lastWrite),
        link_.deviceName);
}

}  // namespace zorvek
