// GoogleTest main with a QApplication; offscreen unless a platform is named.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests choose the adapter themselves, and never reach a real one or the
    // user's simulated siren unless they say so.
    for (const char* name : {"ZORVEK_ADAPTER", "ZORVEK_SIMULATOR_FILE", "ZORVEK_SIMULATOR_SIZE",
                             "ZORVEK_SIMULATOR_FAULTS", "ZORVEK_SCREENSHOT", "ZORVEK_SCREENSHOT_TARGET"})
        unsetenv(name);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
