// The desktop program: one window; when it closes, the program ends.
#include <QApplication>

#include "app/CProgrammerDlg.h"
#include "job/Settings.h"
#include "ui/CProgressWindow.h"
#include "ui/QtSettingsStore.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string programName = zorvek::programNameFromPath(argc > 0 ? argv[0] : "");
    QApplication::setOrganizationName(QStringLiteral("Zorvek"));
    QApplication::setApplicationName(QString::fromStdString(programName));
    QApplication::setApplicationDisplayName(QString::fromUtf8(zorvek::kProgramTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.zorvek.SirenProgrammer"));

    zorvek::QtSettingsStore store(programName);
    zorvek::CProgrammerDlg window(store, zorvek::computeProgramFolder(argc > 0 ? argv[0] : nullptr));
    zorvek::setApplicationMainWindow(&window);
    window.show();
    QApplication::exec();
    store.Sync();
    return 0;
}
