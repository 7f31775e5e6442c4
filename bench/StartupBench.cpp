// Start-up to the main window shown and connected to the demo database, median of 10 runs,
// each in a fresh process so the database engine is loaded every time as in real use.
#include "BenchSupport.h"
#include "app/Application.h"
#include "app/TavrelU.h"
#include "data/Schema.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int RunOnce(int argc, char** argv, const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    InitApplication(app);
    Settings::SetExecutableFolder(folder);
    TTavrelForm form;
    form.show();
    QCoreApplication::processEvents();
    const qint64 ns = timer.nsecsElapsed();
    std::printf("%.3f %d\n", ns / 1e6, form.IBDatabase1.Connected() ? 1 : 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--once")
        return RunOnce(argc, argv, QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath("TAVREL.FDB");
    CreateDatabaseFromScript(db, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"),
                             {QStringLiteral(TAVREL_SOURCE_DIR "/db/sample.sql")});
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db);
    std::vector<double> runs;
    for (int i = 0; i < 10; ++i) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--once", dir.path()});
        p.waitForFinished(60000);
        const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
        if (out.size() != 2 || out[1] != "1") {
            std::printf("run %d failed\n", i);
            return 1;
        }
        runs.push_back(out[0].toDouble());
    }
    std::printf("start-up to main window shown and connected: median %.1f ms (runs:",
                bench::Median(runs));
    for (double v : runs)
        std::printf(" %.1f", v);
    std::printf(")\n");
    return 0;
}
