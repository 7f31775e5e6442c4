#include "app/Application.h"
#include "data/EngineConfig.h"

#include <gtest/gtest.h>

// Widgets and fonts need the application object before any test runs.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    EngineConfig::Use(); // the programs the tests start share the databases with them
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
