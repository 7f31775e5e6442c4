#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class FbException;
} // namespace Firebird

class Transaction;

// A failure reported by the database, with the library's text and code.
class EDatabaseError : public EError {
  public:
    EDatabaseError(const QString& message, long code, bool connectionLost)
        : EError(message), code_(code), connectionLost_(connectionLost) {}
    long code() const { return code_; }
    bool connectionLost() const { return connectionLost_; }

  private:
    long code_;
    bool connectionLost_;
};

// Raises the library's failure as an EDatabaseError.
[[noreturn]] void RaiseDatabaseError(const Firebird::FbException& e);

// One attachment to one database.
class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Name as given: a local path opens in-process, "host:/path" through a server.
    QString DatabaseName;
    // Lines "name=value": user_name, password, lc_ctype, sql_role_name.
    QStringList Params;
    int SQLDialect = 3;
    bool LoginPrompt = false;

    void SetDefaultTransaction(Transaction* transaction);
    Transaction* DefaultTransaction() const { return defaultTransaction_; }

    void Open();
    // Ends every transaction on it with a commit and closes its data sets.
    void Close();
    bool Connected() const { return attachment_ != nullptr; }
    // Creates a new database file with the parameters and connects to it.
    void Create(const QString& defaultCharset);

    Firebird::IAttachment* Attachment() const;
    // After the server went away: the next user attaches again without closing data sets,
    // so that their cached changes survive for a retry.
    void MarkConnectionLost() { lost_ = true; }
    void ReattachIfLost();
    QString ServerVersion() const;
    // Value of one parameter line, empty when absent.
    QString Param(const QString& name) const;

    // Data sets are closed when the connection closes.
    using CloseListener = std::function<void()>;
    int AddCloseListener(CloseListener listener);
    void RemoveCloseListener(int id);
    void AttachTransaction(Transaction* transaction);
    void DetachTransaction(Transaction* transaction);

  private:
    std::vector<unsigned char> BuildDpb(const QString& createCharset) const;
    void NotifyClose();

    Firebird::IAttachment* attachment_ = nullptr;
    Transaction* defaultTransaction_ = nullptr;
    std::vector<Transaction*> transactions_;
    std::vector<std::pair<int, CloseListener>> closeListeners_;
    int nextListenerId_ = 1;
    bool lost_ = false;
};

// A transaction on one connection; it starts with the first statement that needs it. Work not
// committed when the object goes is rolled back, so a failure on the way out keeps nothing.
class Transaction {
  public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void SetDefaultDatabase(Database* database);
    Database* DefaultDatabase() const { return database_; }
    void RemoveDatabases();

    void StartTransaction();
    void Commit();
    void CommitRetaining();
    void Rollback();
    // Rolls back whatever is open; never raises.
    void RollbackQuietly() noexcept;
    bool InTransaction() const { return handle_ != nullptr; }
    // The running transaction, started first when needed.
    Firebird::ITransaction* Handle();
    // Called by the connection when it goes away underneath.
    void Abandon();

  private:
    Database* database_ = nullptr;
    Firebird::ITransaction* handle_ = nullptr;
};

// Runs one statement without results on a connection and transaction.
void ExecuteImmediate(Database& db, Transaction& tr, const QString& sql);
