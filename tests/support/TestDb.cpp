#include "support/TestDb.h"

#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "platform/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString TempRoot(bool server) {
    // The server runs as its own user and needs a folder it can reach.
    return server ? QStringLiteral("/var/tmp/tavrel-test-XXXXXX")
                  : QDir::tempPath() + QStringLiteral("/tavrel-test-XXXXXX");
}

// A database made from the schema once, for every local test database of every test process
// to copy: making one takes far longer than copying it. Its name carries the schema's digest.
QString LocalTemplate() {
    const QString schema = SchemaScript();
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(schema.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    const QString path =
        QDir::tempPath() + QStringLiteral("/tavrel-template-%1-%2.fdb").arg(getuid()).arg(digest);
    if (QFileInfo::exists(path))
        return path;
    // Made aside and renamed into place, so no test ever copies half a file.
    QTemporaryDir making(QDir::tempPath() + QStringLiteral("/tavrel-template-XXXXXX"));
    const QString made = making.filePath(QStringLiteral("TAVREL.FDB"));
    CreateDatabaseFromScripts(made, {schema});
    if (!QFile::rename(made, path) && !QFileInfo::exists(path))
        throw EError(QStringLiteral("cannot keep the template database ") + path);
    return path;
}

} // namespace

TestDb::TestDb() : TestDb(QString()) {}

TestDb::TestDb(const QString& server) : dir_(TempRoot(!server.isEmpty())) {
    const QString file = dir_.path() + QStringLiteral("/TAVREL.FDB");
    if (!server.isEmpty())
        chmod(dir_.path().toLocal8Bit().constData(), 0777);
    path_ = server.isEmpty() ? file : server + QLatin1Char(':') + file;
    if (!server.isEmpty())
        CreateDatabaseFromScripts(path_, {SchemaScript()});
    else if (!QFile::copy(LocalTemplate(), file) ||
             !QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner))
        throw EError(QStringLiteral("cannot copy the template database to ") + file);
}

TestDb::~TestDb() = default;

std::unique_ptr<TestDb> TestDb::OnServer() {
    return OnServer(Server());
}

std::unique_ptr<TestDb> TestDb::OnServer(const QString& server) {
    return std::unique_ptr<TestDb>(new TestDb(server));
}

QString TestDb::Server() {
    const QString named = qEnvironmentVariable("TAVREL_TEST_SERVER");
    return named.isEmpty() ? QStringLiteral("127.0.0.1/3050") : named;
}

bool TestDb::ServerAvailable() {
    bool ok = false;
    const int port = Server().section(QLatin1Char('/'), 1).toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        return false;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool listening = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return listening;
}

QString TestDb::SchemaPath() {
    return QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql");
}
QString TestDb::SamplePath() {
    return QStringLiteral(TAVREL_SOURCE_DIR "/db/sample.sql");
}

void TestDb::Execute(const QString& sql) const {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path_);
    ExecuteImmediate(db, tr, sql);
    tr.Commit();
}

QStringList TestDb::Column(const QString& sql) const {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path_);
    Statement st(db, tr);
    st.Prepare(sql);
    st.Open({});
    QStringList values;
    RowValues row;
    while (st.Fetch(&row))
        values << row.at(0).value.toString();
    return values;
}

void TestDb::DropOtherConnections() const {
    Execute(QStringLiteral(
        "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
}

StoredRows::StoredRows(const TestDb& db, const QString& sql) {
    ConnectDatabase(db_, tr_, db.Path());
    query_.SQL = {sql};
    query_.Open();
}

int TestDb::OtherAttachments(const QString& path) {
    try {
        Database db;
        Transaction tr;
        ConnectDatabase(db, tr, path);
        Statement st(db, tr);
        st.Prepare("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> "
                   "CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0");
        st.Open({});
        RowValues row;
        return st.Fetch(&row) ? row[0].value.toInt() : 0;
    } catch (const EError&) {
        return -1;
    }
}
