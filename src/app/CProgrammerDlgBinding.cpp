// The window binding: every bound field to its control and back, and the
// usage presentation on top of it.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "app/CProgrammerDlg.h"
#include "app/DepthScope.h"
#include "app/FlashGauge.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "job/Usage.h"

namespace zorvek {
namespace {

void setListIndex(QComboBox* list, int32_t index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

// A status text is shown in the user's language; the job keeps the English
// text it came from while the label still shows that text.
void setLabelText(QWidget* widget, const std::string& text) {
    widget->setProperty("englishText", QString::fromStdString(text));
    static_cast<QLabel*>(widget)->setText(QString::fromStdString(TranslatedLines(text)));
}

std::string labelText(QWidget* widget) {
    const std::string shown = static_cast<QLabel*>(widget)->text().toStdString();
    const std::string english = widget->property("englishText").toString().toStdString();
    return !english.empty() && TranslatedLines(english) == shown ? english : shown;
}

void setPathText(QLineEdit* box, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (box->text() != value) box->setText(value);  // keeps the cursor while nothing changes
}

}  // namespace

void CProgrammerDlg::exchangeToWindow() {
    DepthScope scope(exchangeDepth_);
    controlAs<QCheckBox>(kIdVerify)->setChecked(job_.verify != 0);
    controlAs<QCheckBox>(kIdVerbose)->setChecked(job_.verbose != 0);
    controlAs<QCheckBox>(kIdCompression)->setChecked(job_.compression != 0);
    controlAs<QCheckBox>(kIdFirmware)->setChecked(job_.firmwareUpdate != 0);
    setLabelText(control(kIdUsbStatus), job_.usbStatusText);
    setLabelText(control(kIdFlashStatus), job_.flashStatusText);
    setLabelText(control(kIdFlashId), job_.flashIdText);
    setLabelText(control(kIdStatusLine), job_.statusLineText);
    for (int s = 1; s <= kSlotCount; ++s) {
        const MessageSlot& slot = job_.slot(s);
        const SlotControls& row = slotControls_[static_cast<size_t>(s - 1)];
        setPathText(row.path, slot.wavPath);
        setLabelText(row.channels, slot.channelsText);
        setLabelText(row.rate, slot.rateText);
        setLabelText(row.bits, slot.bitsText);
        setLabelText(row.samples, slot.samplesText);
        setListIndex(row.tone, slot.toneIndex);
        setListIndex(row.beacon, slot.beaconIndex);
        setListIndex(row.volume, slot.volumeIndex);
    }
    // An exclusive group cannot show "none checked": lift it while clearing.
    usageGroup_->setExclusive(false);
    for (QAbstractButton* b : usageGroup_->buttons()) b->setChecked(usageGroup_->id(b) == job_.usage);
    usageGroup_->setExclusive(true);
    setPathText(controlAs<QLineEdit>(kIdTestAddress), std::to_string(job_.testAddress));
    // Headers only: a few small reads a file, so it can follow every change.
    const FlashFill fill = ForecastFlashFill(job_);
    gauge_->setFill(fill);
    markUnusableRows(fill);
    refreshPlayButtons();
}

void CProgrammerDlg::markUnusableRows(const FlashFill& fill) {
    for (const SlotControls& row : slotControls_) row.problem->setVisible(false);
    for (const FillSegment& m : fill.messages) {
        if (m.forecast.usable) continue;
        for (int s : m.slots) {
            QAction* mark = slotControls_[static_cast<size_t>(s - 1)].problem;
            mark->setToolTip(QString::fromStdString(m.forecast.problem));
            mark->setVisible(true);
        }
    }
}

bool CProgrammerDlg::exchangeFromWindow() {
    bool ok = false;
    const qlonglong address = controlAs<QLineEdit>(kIdTestAddress)->text().trimmed().toLongLong(&ok);
    if (!ok || address < 0 || address > kTestAddressMax) {
        DepthScope scope(exchangeDepth_);  // the message box takes the focus: no second exchange
        dialogs_->ShowMessage(Format(ZT("Please enter an integer between 0 and %d."), static_cast<int>(kTestAddressMax)),
                              kProgramTitle, MessageIcon::Warning);
        return false;
    }
    DepthScope scope(exchangeDepth_);
    job_.verify = controlAs<QCheckBox>(kIdVerify)->isChecked() ? 1 : 0;
    job_.verbose = controlAs<QCheckBox>(kIdVerbose)->isChecked() ? 1 : 0;
    job_.compression = controlAs<QCheckBox>(kIdCompression)->isChecked() ? 1 : 0;
    job_.firmwareUpdate = controlAs<QCheckBox>(kIdFirmware)->isChecked() ? 1 : 0;
    job_.usbStatusText = labelText(control(kIdUsbStatus));
    job_.flashStatusText = labelText(control(kIdFlashStatus));
    job_.flashIdText = labelText(control(kIdFlashId));
    job_.statusLineText = labelText(control(kIdStatusLine));
    for (int s = 1; s <= kSlotCount; ++s) {
        MessageSlot& slot = job_.slot(s);
        const SlotControls& row = slotControls_[static_cast<size_t>(s - 1)];
        slot.wavPath = row.path->text().toStdString();
        slot.channelsText = labelText(row.channels);
        slot.rateText = labelText(row.rate);
        slot.bitsText = labelText(row.bits);
        slot.samplesText = labelText(row.samples);
        slot.toneIndex = row.tone->currentIndex();
        slot.beaconIndex = row.beacon->currentIndex();
        slot.volumeIndex = row.volume->currentIndex();
    }
    job_.usage = usageGroup_->checkedId();  // -1 when none is checked
    job_.testAddress = static_cast<int32_t>(address);
    return true;
}

void CProgrammerDlg::applyUsage() {
    const UsagePresentation p = applyUsageToJob(job_);
    if (p.known) {
        for (int row = 1; row <= kRowCount; ++row)
            controlAs<QGroupBox>(rowFrameId(row))
                ->setTitle(QString::fromStdString(Translated(p.rowCaptions[static_cast<size_t>(row - 1)])));
        for (int id : lockableControls()) control(id)->setEnabled(!p.lockedRows);
        for (int id : beaconListIds()) control(id)->setVisible(p.beaconsVisible);
        for (int id : beaconCaptionIds()) control(id)->setVisible(p.beaconsVisible);
    }
    exchangeToWindow();
}

}  // namespace zorvek
