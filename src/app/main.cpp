// The desktop program: one window; when it closes, the program ends.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/CProgrammerDlg.h"
#include "app/Pictures.h"
#include "app/ScreenshotHook.h"
#include "job/Settings.h"
#include "ui/CProgressWindow.h"
#include "ui/QtSettingsStore.h"
#include "ui/Translation.h"

namespace {

// Fixed rather than taken from argv[0], so a renamed or linked program keeps its
// settings (~/.config/Zorvek/zorvek-programmer.conf).
constexpr const char* kApplicationName = "zorvek-programmer";
constexpr const char* kDesktopFileName = "com.zorvek.SirenProgrammer";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zorvek"));
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    // No application display name: Qt would append it to every caption ("Caution!",
    // "Complete... [45%]"), which are meant to read exactly as they are.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopFileName));
    QApplication::setWindowIcon(zorvek::programIcon());
    const std::string programFolder = zorvek::computeProgramFolder(argc > 0 ? argv[0] : nullptr);
    zorvek::installTranslations(QString::fromStdString(programFolder));

    zorvek::QtSettingsStore store(kApplicationName);

    QString screenshotError;
    const std::optional<zorvek::ScreenshotRequest> screenshot =
        zorvek::screenshotRequestFromEnvironment(screenshotError);
    if (!screenshotError.isEmpty()) {
        std::fprintf(stderr, "zorvek-programmer: %s\n", screenshotError.toLocal8Bit().constData());
        return 1;
    }
    if (screenshot) {
        if (screenshot->darkPalette) {
            QApplication::setStyle(QStringLiteral("Fusion"));
            QApplication::setPalette(zorvek::darkPalette());
        }
        // A picture for the documentation: nobody answers dialogs, nothing is saved.
        zorvek::ReadOnlySettingsStore readOnly(store);
        const std::unique_ptr<zorvek::UserPort> unattended = zorvek::makeUnattendedUserPort(&readOnly);
        zorvek::CProgrammerDlg window(readOnly, programFolder, unattended.get());
        zorvek::setApplicationMainWindow(&window);
        window.show();
        if (!zorvek::armScreenshot(window, *screenshot, screenshotError)) {
            std::fprintf(stderr, "zorvek-programmer: %s\n", screenshotError.toLocal8Bit().constData());
            return 1;
        }
        return QApplication::exec();
    }

    zorvek::CProgrammerDlg window(store, programFolder);
    zorvek::setApplicationMainWindow(&window);
    window.show();
    QApplication::exec();
    store.Sync();
    return 0;
}
