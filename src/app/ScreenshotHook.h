#pragma once
// Lets the program take the pictures of itself that the documentation shows.
// With ZORVEK_SCREENSHOT=<file.png> it saves one picture and exits, 0 when the
// picture was saved and 1 when not, leaving the settings as they were.
// ZORVEK_SCREENSHOT_TARGET chooses the picture: "main-window" (the default) or
// "progress" (the progress popup over the window while a Program run is under
// way; the run is cancelled once the picture is taken), "adapter-chooser" (the
// chooser over the window, listing the adapters attached) or "after-run" (the
// window once a whole Program run has ended, however it ended), "screen-after-run"
// (the whole screen at that moment, to show the window fits it) or "prepare" (the
// top row's Prepare dialog after preparing its message).
// ZORVEK_SCREENSHOT_PALETTE=dark shows the window on a dark palette, as under a
// desktop's dark theme.
#include <QImage>
#include <QString>
#include <memory>
#include <optional>

#include "job/SettingsStore.h"
#include "job/UserPort.h"

class QWidget;

namespace zorvek {

class CProgrammerDlg;

struct ScreenshotRequest {
    enum class Target { MainWindow, Progress, AdapterChooser, AfterRun, ScreenAfterRun, Prepare };
    QString file;
    Target target = Target::MainWindow;
    bool darkPalette = false;
};

// The request in the environment, or nothing when ZORVEK_SCREENSHOT is unset or
// empty. An unknown target gives nothing and says why in `error`.
std::optional<ScreenshotRequest> screenshotRequestFromEnvironment(QString& error);

// Reads from another store and drops every write, so a picture-taking run
// changes no setting (the popup position included).
class ReadOnlySettingsStore : public SettingsStore {
public:
    explicit ReadOnlySettingsStore(SettingsStore& source) : source_(source) {}
    int32_t ReadInt(const std::string& section, const std::string& key, int32_t defaultValue) override {
        return source_.ReadInt(section, key, defaultValue);
    }
    std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) override {
        return source_.ReadText(section, key, defaultValue);
    }
    void WriteInt(const std::string&, const std::string&, int32_t) override {}
    void WriteText(const std::string&, const std::string&, const std::string&) override {}

private:
    SettingsStore& source_;
};

// Dialogs for a run nobody watches: messages go to standard error, questions
// are answered No, file choices are cancelled. Progress popups are the real ones.
std::unique_ptr<UserPort> makeUnattendedUserPort(SettingsStore* store);

// Schedules the picture on a shown window; the application exits once it is
// saved or has failed. Only on the simulated siren: some pictures press Program
// with nobody watching, which must never reach a real siren. false, with
// `error` saying so, on any other adapter.
bool armScreenshot(CProgrammerDlg& window, const ScreenshotRequest& request, QString& error);

// The main window with the popup drawn over it where it stands on the screen
// (centred when it lies elsewhere), framed and captioned, since grabbing a
// widget leaves out the window manager's frame.
QImage composeProgressPicture(QWidget* mainWindow, QWidget* popup);

}  // namespace zorvek
