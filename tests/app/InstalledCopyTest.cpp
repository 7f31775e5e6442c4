#include "platform/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WaitFor(const std::function<bool()>& condition, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > seconds * 1000)
            return false;
        QThread::msleep(200);
    }
    return true;
}

int RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(program, args);
    return p.waitForFinished(300000) ? p.exitCode() : -1;
}

void ChangeTree(const QString& path, const std::function<void(const QByteArray&)>& change) {
    change(path.toLocal8Bit());
    QDir dir(path);
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir() && !entry.isSymLink())
            ChangeTree(entry.filePath(), change);
        else
            change(entry.filePath().toLocal8Bit());
    }
}

// Whether a process holds a file open, seen from outside without touching the file (asking
// the database would race the program for it).
bool HoldsOpen(qint64 pid, const QString& path) {
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == QFileInfo(path).canonicalFilePath())
            return true;
    return false;
}

// An installed copy in a folder its user cannot write: it starts, keeps its settings and
// temporary folder with the user and opens the database it remembers.
TEST(InstalledCopy, StartsFromAReadOnlyFolder) {
    QTemporaryDir root;
    chmod(root.path().toLocal8Bit().constData(), 0755);
    const QString prefix = root.filePath("inst");
    ASSERT_EQ(RunTool(QStringLiteral(TAVREL_CMAKE_COMMAND),
                      {"--install", QStringLiteral(TAVREL_BUILD_DIR), "--prefix", prefix}),
              0);
    for (const char* file :
         {"bin/tavrel", "bin/tavrel-mkdb", "share/tavrel/Tavrel.hlp", "share/tavrel/schema.sql",
          "share/tavrel/sample.sql", "share/applications/tavrel.desktop",
          "share/icons/hicolor/scalable/apps/tavrel.svg"})
        EXPECT_TRUE(QFile::exists(prefix + "/" + file)) << file;

    const QString db = root.filePath("data/TAVREL.FDB");
    QDir().mkpath(root.filePath("data"));
    ASSERT_EQ(RunTool(prefix + "/bin/tavrel-mkdb", {db}), 0);
    const QString config = root.filePath("config");
    const QString cache = root.filePath("cache");
    const QString ini = config + "/Tavrel/TAVREL.ini";
    QDir().mkpath(config + "/Tavrel");
    QDir().mkpath(cache);
    QDir().mkpath(root.filePath("home"));
    ASSERT_TRUE(IniWriteString(ini, "TAVREL", "F_DbPath01", db));
    ChangeTree(prefix, [](const QByteArray& p) {
        struct stat st {};
        stat(p.constData(), &st);
        chmod(p.constData(), st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
    });

    // Root may write anywhere; the program then runs as an ordinary user.
    QString program = prefix + "/bin/tavrel";
    QStringList args;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        for (const QString& path : {root.filePath("data"), config, cache, root.filePath("home")})
            ChangeTree(path, [nobody](const QByteArray& p) {
                EXPECT_EQ(chown(p.constData(), nobody->pw_uid, nobody->pw_gid), 0);
            });
        // Users of the embedded engine share its lock folder through the firebird group.
        const group* firebird = getgrnam("firebird");
        args << QString("--reuid=%1").arg(nobody->pw_uid)
             << QString("--regid=%1").arg(nobody->pw_gid)
             << (firebird ? QString("--groups=%1").arg(firebird->gr_gid)
                          : QStringLiteral("--clear-groups"))
             << "--" << program;
        program = "setpriv";
    }
    QProcess tavrel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", config);
    env.insert("XDG_CACHE_HOME", cache);
    env.insert("HOME", root.filePath("home"));
    env.remove("XDG_RUNTIME_DIR");
    env.remove("FIREBIRD"); // the user's program prepares its engine folder in its own cache
    tavrel.setProcessEnvironment(env);
    tavrel.setWorkingDirectory(root.filePath("home"));
    tavrel.start(program, args);
    ASSERT_TRUE(tavrel.waitForStarted());

    const bool settled = WaitFor(
        [&] {
            return IniValueExists(ini, "TAVREL", "HintTime") &&
                   QDir(cache + "/Tavrel/Tmp").exists();
        },
        60);
    const bool attached = settled && WaitFor([&] { return HoldsOpen(tavrel.processId(), db); }, 60);
    const bool running = tavrel.state() == QProcess::Running;
    tavrel.kill();
    tavrel.waitForFinished();
    EXPECT_TRUE(settled);
    EXPECT_TRUE(attached) << "the program did not open its database";
    EXPECT_TRUE(running);
    EXPECT_EQ(IniReadString(ini, "TAVREL", "F_DbPath01", "?").toStdString(), db.toStdString());
    EXPECT_EQ(IniReadString(ini, "TAVREL", "ExePath001", "?").toStdString(),
              (prefix + "/bin").toStdString());
    EXPECT_FALSE(QFile::exists(prefix + "/bin/TAVREL.ini"));
    EXPECT_FALSE(QFile::exists(prefix + "/bin/Tmp"));
    ChangeTree(prefix, [](const QByteArray& p) { chmod(p.constData(), 0755); });
}

} // namespace
