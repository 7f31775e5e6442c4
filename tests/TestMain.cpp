// The test main of every test program; the application object is the one its layer knows:
// the program's own for the window program's tests, a plain one with the message boxes and
// hints of the windows for the layers that have windows, a plain one below those.
#if defined(TAVREL_TEST_PROGRAM_APP)
#include "app/Application.h"
#elif defined(TAVREL_TEST_WINDOWS)
#include "ui/DesktopServices.h"
#endif
#include "data/EngineConfig.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets and fonts need the application object before any test runs.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    EngineConfig::Use(); // the programs the tests start share the databases with them
#if defined(TAVREL_TEST_PROGRAM_APP)
    TApplication app(argc, argv);
#else
    QApplication app(argc, argv);
#if defined(TAVREL_TEST_WINDOWS)
    InstallDesktopServices(app);
#endif
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
