#include "data/DbConnect.h"

#include "data/Database.h"

#include <algorithm>
#include <cerrno>
#include <iberror.h>

QStringList TavrelConnectionParams() {
    return {QStringLiteral("User_Name=sysdba"), QStringLiteral("Password=lockstone"),
            QStringLiteral("lc_ctype=SJIS_0208")};
}

void SetConnectionParams(Database& db, const QString& databaseName, const QStringList& params) {
    db.Close();
    db.LoginPrompt = false;
    db.Params = params;
    db.SQLDialect = 3;
    db.DatabaseName = databaseName;
}

void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName,
                         const QStringList& params) {
    tr.RemoveDatabases();
    tr.SetDefaultDatabase(&db);
    SetConnectionParams(db, databaseName, params);
    db.SetDefaultTransaction(&tr);
}

namespace {

bool HasAny(const EDatabaseError& e, std::initializer_list<long> codes) {
    return std::any_of(codes.begin(), codes.end(), [&e](long code) { return e.Has(code); });
}

QString ReasonInWords(const EDatabaseError& e) {
    if (e.Has(isc_already_opened))
        return QStringLiteral("他のプログラムが使用中です。");
    if (e.Has(isc_login))
        return QStringLiteral("ユーザー名またはパスワードが正しくありません。");
    if (e.Has(isc_bad_db_format))
        return QStringLiteral("データベースファイルではありません。");
    if (e.Has(isc_read_only_database) || e.Has(isc_no_priv))
        return QStringLiteral("データベースが読み取り専用です。");
    if (e.connectionLost() || HasAny(e, {isc_connect_reject, isc_net_connect_err, isc_net_read_err,
                                         isc_net_write_err, isc_net_lookup_err, isc_conn_lost}))
        return QStringLiteral("サーバーが応答しません。");
    switch (e.systemError()) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルが見つかりません。");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("ファイルを開く権限がないか、読み取り専用です。");
    default:
        break;
    }
    return {};
}

} // namespace

QString OpenFailureReason(const std::exception& e) {
    const auto* db = dynamic_cast<const EDatabaseError*>(&e);
    if (!db)
        return ExceptionText(e);
    const QString words = ReasonInWords(*db);
    return words.isEmpty() ? db->message() : words + QStringLiteral("\r(") + db->message() + ')';
}

void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName,
                     const QStringList& params) {
    const QString failed = QStringLiteral("Database Connect Error");
    try {
        SetConnectionParams(db, tr, databaseName, params);
        if (databaseName.trimmed().isEmpty())
            throw EError(QStringLiteral("データベースの場所が設定されていません。"));
        db.Open();
    } catch (const std::exception& e) {
        throw EError(failed + QStringLiteral("\r\r") + OpenFailureReason(e));
    } catch (...) {
        throw EError(failed);
    }
}
