#pragma once
// How the core talks to a person: message boxes, questions, file choice,
// window refresh and progress. Implemented by the GUI, the console and tests.
#include <memory>
#include <optional>
#include <string>

#include "job/ProgressPort.h"

namespace zorvek {

enum class MessageIcon { None, Stop, Warning, Information, Question };

// One file dialog. The filter uses the "Name (*.ext)|*.ext|...||" form.
struct FileDialogOptions {
    std::string filter;
    std::string defaultExtension;  // without the dot
    std::string initialName;       // e.g. "*.wav"
    std::string initialFolder;
    bool mustExist = false;        // open dialogs: only existing files
    bool overwritePrompt = false;  // save dialogs: ask before replacing
};

class UserPort {
public:
    virtual ~UserPort() = default;
    // A modal box with an OK button.
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // A modal box with Yes and No; true means Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // Full path of the chosen file, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) = 0;
    // Show every JobState value in the window (no-op where there is no window).
    virtual void exchangeToWindow() = 0;
    virtual void ShowFirmwareBanner(bool visible) = 0;
    virtual void ShowDip32ToneIndicator(bool visible) = 0;
    // A progress popup, shown at once with this caption; owned by the caller.
    virtual std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) = 0;
};

}  // namespace zorvek
