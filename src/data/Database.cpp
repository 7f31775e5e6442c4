#include "data/Database.h"

#include "data/FbApi.h"
#include "platform/SjisCodec.h"

#include <algorithm>
#include <ibase.h>
#include <iberror.h>

using namespace Firebird;

void RaiseDatabaseError(const FbException& e) {
    throw EDatabaseError(Fb::ErrorText(e), Fb::ErrorCode(e), Fb::IsConnectionLost(e),
                         Fb::ErrorCodes(e), Fb::SystemError(e));
}

bool EDatabaseError::Has(long code) const {
    return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

bool EDatabaseError::updateConflict() const {
    return Has(isc_update_conflict) || Has(isc_lock_conflict) || Has(isc_deadlock) ||
           Has(isc_concurrent_transaction) || Has(isc_lock_timeout);
}

namespace {

// Owns a parameter-block builder.
class XpbBuilder {
  public:
    XpbBuilder(Fb::Status& st, unsigned kind)
        : st_(st), xpb_(Fb::Util()->getXpbBuilder(&st, kind, nullptr, 0)) {}
    ~XpbBuilder() { xpb_->dispose(); }
    XpbBuilder(const XpbBuilder&) = delete;
    XpbBuilder& operator=(const XpbBuilder&) = delete;
    IXpbBuilder* operator->() { return xpb_; }
    std::vector<unsigned char> Bytes() {
        const unsigned char* p = xpb_->getBuffer(&st_);
        return {p, p + xpb_->getBufferLength(&st_)};
    }

  private:
    Fb::Status& st_;
    IXpbBuilder* xpb_;
};

QByteArray ParamBytes(const QString& value) {
    return value.toUtf8();
}

// The database-information item saying whether the database is in read-only mode.
bool AskReadOnly(IAttachment* attachment) {
    const unsigned char item[] = {isc_info_db_read_only, isc_info_end};
    unsigned char buffer[16] = {};
    Fb::Status st;
    attachment->getInfo(&st, sizeof item, item, sizeof buffer, buffer);
    if (buffer[0] != isc_info_db_read_only)
        return false;
    const int length = buffer[1] | (buffer[2] << 8);
    return length > 0 && length <= 4 && buffer[3] != 0;
}

// Snapshot isolation as before, but a row another transaction holds is reported at once
// instead of waiting for it; a read-only database takes only read-only transactions.
std::vector<unsigned char> TransactionParams(bool readOnly) {
    return {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_nowait,
            static_cast<unsigned char>(readOnly ? isc_tpb_read : isc_tpb_write)};
}

} // namespace

Database::Database() = default;

Database::~Database() {
    // Only an explicit close commits: leaving scope, also by an exception, keeps nothing.
    for (Transaction* tr : std::vector<Transaction*>(transactions_))
        tr->RollbackQuietly();
    try {
        Shut();
    } catch (...) {
        // A destructor must not throw; the connection is gone either way.
    }
    for (Transaction* tr : std::vector<Transaction*>(transactions_))
        tr->RemoveDatabases();
}

void Database::SetDefaultTransaction(Transaction* transaction) {
    defaultTransaction_ = transaction;
    if (transaction && transaction->DefaultDatabase() != this)
        transaction->SetDefaultDatabase(this);
}

QString Database::Param(const QString& name) const {
    for (const QString& line : Params) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

std::vector<unsigned char> Database::BuildDpb(const QString& createCharset) const {
    Fb::Status st;
    XpbBuilder dpb(st, IXpbBuilder::DPB);
    dpb->insertInt(&st, isc_dpb_sql_dialect, SQLDialect);
    const std::pair<const char*, int> tags[] = {{"user_name", isc_dpb_user_name},
                                                {"password", isc_dpb_password},
                                                {"lc_ctype", isc_dpb_lc_ctype},
                                                {"sql_role_name", isc_dpb_sql_role_name}};
    for (const auto& [name, tag] : tags) {
        const QString value = Param(QLatin1String(name));
        if (!value.isEmpty())
            dpb->insertString(&st, static_cast<unsigned char>(tag), ParamBytes(value).constData());
    }
    if (ConnectTimeout > 0)
        dpb->insertInt(&st, isc_dpb_connect_timeout, ConnectTimeout);
    if (!createCharset.isEmpty()) {
        dpb->insertString(&st, isc_dpb_set_db_charset, createCharset.toLatin1().constData());
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
    }
    return dpb.Bytes();
}

void Database::Open() {
    if (Connected())
        return;
    if (DatabaseName.trimmed().isEmpty())
        throw EError(QStringLiteral("Database name is empty"));
    try {
        Fb::Status st;
        const auto dpb = BuildDpb({});
        attachment_.reset(
            Fb::Provider()->attachDatabase(&st, DatabaseName.toLocal8Bit().constData(),
                                           static_cast<unsigned>(dpb.size()), dpb.data()));
        readOnly_ = AskReadOnly(attachment_.get());
    } catch (const FbException& e) {
        attachment_.reset();
        RaiseDatabaseError(e);
    }
    lost_ = false;
}

void Database::Create(const QString& defaultCharset) {
    if (Connected())
        Close();
    try {
        Fb::Status st;
        const auto dpb = BuildDpb(defaultCharset);
        attachment_.reset(
            Fb::Provider()->createDatabase(&st, DatabaseName.toLocal8Bit().constData(),
                                           static_cast<unsigned>(dpb.size()), dpb.data()));
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}

void Database::DropQuietly() noexcept {
    if (!Connected())
        return;
    try {
        Fb::Status st;
        attachment_->dropDatabase(&st);
        attachment_.Ended();
    } catch (...) {
        attachment_.reset();
    }
}

void Database::Notify(Event event) {
    for (const auto& [id, listener] : std::vector(listeners_))
        listener(event);
}

void Database::Close() {
    if (!Connected())
        return;
    Notify(Event::Closing);
    Shut();
}

void Database::Shut() {
    if (!Connected())
        return;
    Notify(Event::Closed);
    if (lost_) {
        // The server ended the transactions already; there is nothing left to commit.
        for (Transaction* tr : transactions_)
            tr->Abandon();
        attachment_.reset();
        lost_ = false;
        return;
    }
    std::exception_ptr failure;
    for (Transaction* tr : std::vector<Transaction*>(transactions_)) {
        try {
            if (tr->InTransaction())
                tr->Commit();
        } catch (...) {
            tr->Abandon();
            failure = std::current_exception();
        }
    }
    try {
        Fb::Status st;
        attachment_->detach(&st);
        attachment_.Ended();
    } catch (const FbException&) {
        // The server may already be gone: the handle is released, the connection is closed.
        attachment_.reset();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void Database::EnsureAttached() {
    if (lost_ && attachment_) {
        for (Transaction* tr : transactions_)
            tr->Abandon();
        attachment_.reset();
        Notify(Event::Reattached);
    }
    Open();
}

IAttachment* Database::Attachment() const {
    if (!attachment_)
        throw EError(QStringLiteral("Database not connected"));
    return attachment_.get();
}

QString Database::ServerVersion() const {
    struct Collector : public IVersionCallbackImpl<Collector, CheckStatusWrapper> {
        QStringList lines;
        void callback(CheckStatusWrapper*, const char* text) { lines << QString::fromUtf8(text); }
    } collector;
    try {
        Fb::Status st;
        Fb::Util()->getFbVersion(&st, Attachment(), &collector);
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
    return collector.lines.join(QLatin1Char('\n'));
}

int Database::AddListener(Listener listener) {
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void Database::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void Database::AttachTransaction(Transaction* transaction) {
    if (std::find(transactions_.begin(), transactions_.end(), transaction) == transactions_.end())
        transactions_.push_back(transaction);
}

void Database::DetachTransaction(Transaction* transaction) {
    std::erase(transactions_, transaction);
    if (defaultTransaction_ == transaction)
        defaultTransaction_ = nullptr;
}

// ---------------------------------------------------------------------------

Transaction::Transaction() = default;

Transaction::~Transaction() {
    RollbackQuietly();
    RemoveDatabases();
}

void Transaction::RollbackQuietly() noexcept {
    try {
        Rollback();
    } catch (...) {
        Abandon();
    }
}

void Transaction::SetDefaultDatabase(Database* database) {
    if (database_ == database)
        return;
    RemoveDatabases();
    database_ = database;
    if (database_)
        database_->AttachTransaction(this);
}

void Transaction::RemoveDatabases() {
    if (!database_)
        return;
    Database* db = database_;
    database_ = nullptr;
    db->DetachTransaction(this);
}

void Transaction::StartTransaction() {
    if (InTransaction())
        throw EError(QStringLiteral("Transaction is active"));
    if (!database_)
        throw EError(QStringLiteral("Transaction has no database"));
    try {
        Fb::Status st;
        const auto tpb = TransactionParams(database_->ReadOnly());
        handle_.reset(database_->Attachment()->startTransaction(
            &st, static_cast<unsigned>(tpb.size()), tpb.data()));
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}

ITransaction* Transaction::Handle() {
    if (!InTransaction())
        StartTransaction();
    return handle_.get();
}

void Transaction::Commit() {
    if (!InTransaction())
        return;
    try {
        Fb::Status st;
        handle_->commit(&st);
        handle_.Ended();
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}

void Transaction::CommitRetaining() {
    if (!InTransaction())
        return;
    try {
        Fb::Status st;
        handle_->commitRetaining(&st);
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}

void Transaction::Rollback() {
    if (!InTransaction())
        return;
    try {
        Fb::Status st;
        handle_->rollback(&st);
        handle_.Ended();
    } catch (const FbException& e) {
        Abandon();
        RaiseDatabaseError(e);
    }
}

void Transaction::Abandon() {
    handle_.reset();
}

void ExecuteImmediate(Database& db, Transaction& tr, const QString& sql) {
    try {
        Fb::Status st;
        const QByteArray text = Sjis::Encode(sql);
        db.Attachment()->execute(&st, tr.Handle(), static_cast<unsigned>(text.size()),
                                 text.constData(), static_cast<unsigned>(db.SQLDialect), nullptr,
                                 nullptr, nullptr, nullptr);
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}
