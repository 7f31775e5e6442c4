#pragma once

#include "data/FbApi.h"
#include "platform/Error.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Transaction;

// A failure reported by the database, with the library's text and code.
class EDatabaseError : public EError {
  public:
    EDatabaseError(const QString& message, long code, bool connectionLost,
                   std::vector<long> codes = {}, int systemError = 0)
        : EError(message), code_(code), connectionLost_(connectionLost), codes_(std::move(codes)),
          systemError_(systemError) {}
    long code() const { return code_; }
    bool connectionLost() const { return connectionLost_; }
    // Whether any of the failure's codes is this one.
    bool Has(long code) const;
    // The system's error number behind a file failure, 0 when there is none.
    int systemError() const { return systemError_; }
    // Another transaction changed, deleted or holds the same row.
    bool updateConflict() const;

  private:
    long code_;
    bool connectionLost_;
    std::vector<long> codes_;
    int systemError_;
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
    // Seconds a server may take to answer the connection before it is given up.
    static constexpr int kConnectTimeout = 15;
    int ConnectTimeout = kConnectTimeout;

    void SetDefaultTransaction(Transaction* transaction);
    Transaction* DefaultTransaction() const { return defaultTransaction_; }

    void Open();
    // Ends every transaction on it with a commit and closes its data sets. A data set with
    // unsaved changes applies them first when its owner asked for that, else the connection
    // refuses to close and raises, leaving everything as it was.
    void Close();
    bool Connected() const { return static_cast<bool>(attachment_); }
    // Creates a new database file with the parameters and connects to it.
    void Create(const QString& defaultCharset);
    // Deletes the connected database, file and all; never raises.
    void DropQuietly() noexcept;

    Firebird::IAttachment* Attachment() const;
    // After the server went away: the next user attaches again without closing data sets,
    // so that their cached changes survive for a retry.
    void MarkConnectionLost() { lost_ = true; }
    // Attaches a closed or lost connection again. It stays lost until an attach succeeded.
    void EnsureAttached();
    QString ServerVersion() const;
    // Value of one parameter line, empty when absent.
    QString Param(const QString& name) const;

    bool Lost() const { return lost_; }
    // The database is in read-only mode: it is read in read-only transactions and nothing can
    // be saved to it.
    bool ReadOnly() const { return readOnly_; }

    // What the data sets on the connection are told.
    enum class Event {
        Closing,   // raise to keep the connection open
        Closed,    // close too
        Reattached // statements of the old attachment are dead
    };
    using Listener = std::function<void(Event)>;
    int AddListener(Listener listener);
    void RemoveListener(int id);
    void AttachTransaction(Transaction* transaction);
    void DetachTransaction(Transaction* transaction);

  private:
    std::vector<unsigned char> BuildDpb(const QString& createCharset) const;
    void Notify(Event event);
    // Closes without asking the data sets.
    void Shut();

    Fb::Ref<Firebird::IAttachment> attachment_;
    Transaction* defaultTransaction_ = nullptr;
    std::vector<Transaction*> transactions_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
    bool lost_ = false;
    bool readOnly_ = false;
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
    bool InTransaction() const { return static_cast<bool>(handle_); }
    // The running transaction, started first when needed.
    Firebird::ITransaction* Handle();
    // Called by the connection when it goes away underneath.
    void Abandon();

  private:
    Database* database_ = nullptr;
    Fb::Ref<Firebird::ITransaction> handle_;
};

// Runs one statement without results on a connection and transaction.
void ExecuteImmediate(Database& db, Transaction& tr, const QString& sql);
