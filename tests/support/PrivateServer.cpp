#include "support/PrivateServer.h"

#include "platform/Error.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace {

const QString kServerProgram = QStringLiteral("/usr/sbin/firebird");

QString ReadTrimmed(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

// An ended process left unreaped (its parent, the script, is gone) has no program any more.
bool Running(qint64 pid) {
    char target[8];
    const QByteArray exe = "/proc/" + QByteArray::number(pid) + "/exe";
    return readlink(exe.constData(), target, sizeof target) >= 0;
}

} // namespace

PrivateServer::PrivateServer(int firstPort) : firstPort_(firstPort) {}

// Nothing on it is worth a clean shutdown, which may take the server seconds.
PrivateServer::~PrivateServer() {
    try {
        if (pid_ > 0 && Running(pid_))
            Kill();
    } catch (...) {
    }
}

bool PrivateServer::Installed() {
    return QFile::exists(kServerProgram) && !QStandardPaths::findExecutable("isql-fb").isEmpty();
}

QString PrivateServer::Root() const {
    return dir_.path() + QStringLiteral("/fbserver");
}

void PrivateServer::RunScript(const QString& command) {
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVREL_FB_ROOT"), Root());
    env.insert(QStringLiteral("TAVREL_FB_PORT"), QString::number(firstPort_));
    script.setProcessEnvironment(env);
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TAVREL_SOURCE_DIR "/scripts/firebird-server.sh"), command});
    if (!script.waitForFinished(30000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0)
        throw EError(QStringLiteral("firebird-server.sh ") + command + QStringLiteral(": ") +
                     QString::fromLocal8Bit(script.readAll()));
}

void PrivateServer::Start() {
    RunScript(QStringLiteral("start"));
    address_ = ReadTrimmed(Root() + QStringLiteral("/address"));
    pid_ = ReadTrimmed(Root() + QStringLiteral("/server.pid")).toLongLong();
    if (address_.isEmpty() || pid_ <= 0)
        throw EError(QStringLiteral("the private server left no address or process id"));
}

void PrivateServer::Kill() {
    if (pid_ <= 0 || kill(static_cast<pid_t>(pid_), SIGKILL) != 0)
        throw EError(QStringLiteral("no private server process to kill"));
    for (int i = 0; i < 500 && Running(pid_); ++i)
        QThread::msleep(10);
    if (Running(pid_))
        throw EError(QStringLiteral("the private server outlived SIGKILL"));
}
