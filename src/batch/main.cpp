#include "batch/BatchRun.h"
#include "data/EngineConfig.h"
#include "platform/Version.h"
#include "printcore/PrintingInit.h"

#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    // The program opens no window; without a display it still needs one to draw with.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    EngineConfig::Use(); // before the first database call
    QGuiApplication app(argc, argv);
    InitPrinting(app);
    QGuiApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));
    QTextStream out(stdout), err(stderr);
    const int status = RunBatch(QGuiApplication::arguments(), out, err, isatty(STDERR_FILENO) != 0);
    out.flush();
    return status;
}
