#pragma once
// UserPort on Qt Widgets: message boxes, file dialogs and progress popups.
// Window refresh and the two pictures belong to the window that owns the port,
// which hands them in as callbacks.
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "job/SettingsStore.h"
#include "job/UserPort.h"

namespace zorvek {

// "Name (*.ext)|*.ext|...||" as Qt name filters, one per pair. "*.*" means every
// file, which is "*" here (a Linux file name need not have a dot).
QStringList qtNameFilters(const std::string& filter);
QMessageBox::Icon qtIcon(MessageIcon icon);

// A dialog set up for a FileDialogOptions, not yet shown.
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogOptions& dialog, QFileDialog::AcceptMode mode,
                                            QWidget* parent);
std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                            bool yesNo, QWidget* parent);

class QtUserPort : public UserPort {
public:
    struct WindowCallbacks {
        std::function<void()> exchangeToWindow;
        std::function<void(bool)> showFirmwareBanner;
        std::function<void(bool)> showDip32ToneIndicator;
    };

    // `parent` owns the dialogs and popups; `store` keeps the popups' position (may be null).
    QtUserPort(QWidget* parent, SettingsStore* store);

    void setWindowCallbacks(WindowCallbacks callbacks) { callbacks_ = std::move(callbacks); }

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    // A box whose text is a table of columns padded with spaces: a fixed-width font.
    void ShowTable(const std::string& text, const std::string& caption, MessageIcon icon);
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) override;
    void exchangeToWindow() override;
    void ShowFirmwareBanner(bool visible) override;
    void ShowDip32ToneIndicator(bool visible) override;
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override;

private:
    std::optional<std::string> runFileDialog(const FileDialogOptions& dialog, QFileDialog::AcceptMode mode);

    QPointer<QWidget> parent_;
    SettingsStore* store_;
    WindowCallbacks callbacks_;
};

}  // namespace zorvek
