// The window's choice of adapter among several attached: the chooser, the
// remembered serial number and the Tools > Advanced > "Adapter..." item; and the
// bench self-test on the chosen adapter.
#include "app/CAdapterDlg.h"
#include "app/CProgrammerDlg.h"
#include "files/SirenImageFile.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "operations/SelfTest.h"
#include "ui/QtUserPort.h"

namespace zorvek {

const char* CProgrammerDlg::adapterSerialKey() const {
    return adapterKind_.Driver().serialSettingsKey;
}

std::vector<AdapterListing> CProgrammerDlg::attachedAdapters(std::string& error) const {
    std::vector<AdapterListing> attached;
    if (const Result listed = ListAdapters(adapterRequest_, attached); !listed) {
        error = Describe(listed);
        attached.clear();
    }
    return attached;
}

void CProgrammerDlg::useAdapterSerial(const std::string& serial) {
    if (adapterSerial_ == serial) return;
    if (link_.handle != 0) CloseUsb(job_, link_, *this);
    AdapterRequest request = adapterRequest_;
    request.serial = serial;
    adapter_ = MakeAdapter(request).adapter;
    adapterSerial_ = serial;
    link_.adapter = adapter_.get();
}

bool CProgrammerDlg::ensureAdapterChosen() {
    if (link_.handle != 0) return true;  // opened before: that one stays
    std::string error;
    const std::vector<AdapterListing> attached = attachedAdapters(error);
    if (!error.empty()) return true;  // opening says what is wrong
    const std::string remembered = store_.ReadText(kSettingsSection, adapterSerialKey(), "");
    if (!remembered.empty()) {
        // Never replaced by another device: that one's lines are not the siren's.
        const AdapterPick pick = PickAdapter(attached, remembered);
        if (pick.result == PickResult::SerialAbsent) {
            ShowMessage(std::string(ZT("The adapter chosen for the siren is not attached.")) + "\n" + pick.message +
                            "\n" + ZT("Plug it in, or choose another with Tools > Advanced > Adapter..."),
                        kProgramTitle, MessageIcon::Stop);
            return false;
        }
        useAdapterSerial(remembered);
        return true;
    }
    if (PickAdapter(attached, std::nullopt).result != PickResult::NeedsChoice) return true;
    const auto chosen = adapterChooser_(attached, "");
    if (!chosen) return false;
    store_.WriteText(kSettingsSection, adapterSerialKey(), *chosen);
    useAdapterSerial(*chosen);
    return true;
}

void CProgrammerDlg::onChooseAdapter() {
    std::string error;
    const std::vector<AdapterListing> attached = attachedAdapters(error);
    const std::string remembered = store_.ReadText(kSettingsSection, adapterSerialKey(), "");
    if (attached.empty()) {
        std::string text = error.empty() ? Format(ZT("No %s is attached."), AdapterKindName(adapterKind_)) : error;
        if (!remembered.empty()) text += "\nThe adapter " + remembered + " stays chosen.";
        ShowMessage(text, kProgramTitle, MessageIcon::Information);
        return;
    }
    const auto chosen = adapterChooser_(attached, remembered);
    if (!chosen) return;
    store_.WriteText(kSettingsSection, adapterSerialKey(), *chosen);
    useAdapterSerial(*chosen);
}

void CProgrammerDlg::onSelfTest() {
    if (!ensureAdapterChosen()) return;
    FileDialogOptions dialog;
    dialog.filter = kImageFilter;
    dialog.defaultExtension = "zmg";
    dialog.initialName = "selftest-backup.zmg";
    dialog.initialFolder = job_.imageFolder;
    // An existing file is refused by the self-test: a backup is never overwritten.
    const auto path = ChooseSaveFile(dialog);
    if (!path || path->empty()) return;
    const SelfTestReport report = SelfTest(job_, link_, *this).Run(*path);
    const std::string text = FormatSelfTestReport(report, Format(ZT("Tools > Siren Writer with %s and Verify ticked"), path->c_str()));
    const MessageIcon icon = report.outcome == OperationOutcome::Success ? MessageIcon::Information : MessageIcon::Stop;
    if (ownDialogs_ && dialogs_ == ownDialogs_.get())
        ownDialogs_->ShowTable(text, ZT("Self-Test"), icon);
    else
        ShowMessage(text, ZT("Self-Test"), icon);
}

}  // namespace zorvek
