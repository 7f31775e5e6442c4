// Writing a data set's cached changes back to the database.
#include "data/Database.h"
#include "data/Query.h"

namespace {

const QString kSavepoint = QStringLiteral("TAVREL_APPLY");

// Prepares a statement of the update object the first time it is needed.
class LazyStatement {
  public:
    LazyStatement(Database& db, Transaction& tr, const QStringList& lines)
        : db_(db), tr_(tr), lines_(lines) {}
    Statement& Get() {
        if (lines_.join(QString()).trimmed().isEmpty())
            throw EError(QStringLiteral("UpdateSQL statement is empty"));
        if (!stmt_) {
            stmt_ = std::make_unique<Statement>(db_, tr_);
            stmt_->Prepare(lines_.join(QStringLiteral("\r\n")));
        }
        return *stmt_;
    }

  private:
    Database& db_;
    Transaction& tr_;
    const QStringList& lines_;
    std::unique_ptr<Statement> stmt_;
};

} // namespace

namespace {

void RollBackApply(Database& db, Transaction& tr, bool connectionLost) {
    if (!connectionLost) {
        try {
            ExecuteImmediate(db, tr, QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint);
            return;
        } catch (const EDatabaseError& e) {
            connectionLost = e.connectionLost();
        } catch (...) {
        }
    }
    // Everything before this apply was committed already, so the whole transaction can go.
    try {
        if (!connectionLost)
            tr.Rollback();
    } catch (...) {
    }
    tr.Abandon();
    if (connectionLost)
        db.MarkConnectionLost();
}

} // namespace

struct Query::ApplyStatements {
    ApplyStatements(Database& db, Transaction& tr, const TUpdateSQL& u)
        : modify(db, tr, u.ModifySQL), insert(db, tr, u.InsertSQL), remove(db, tr, u.DeleteSQL),
          refresh(db, tr, u.RefreshSQL) {}
    LazyStatement modify, insert, remove, refresh;
};

void Query::LoadPendingBlobs(RowData& row) {
    // A retry after a lost connection cannot use blob ids of the old one.
    for (size_t i = 0; i < row.values.size(); ++i)
        LoadCell(row.values[i], static_cast<int>(i));
}

std::vector<Cell> Query::BindParams(const QStringList& names, RowData& row) {
    const RowValues& original = row.original.empty() ? row.values : row.original;
    std::vector<Cell> cells;
    for (const QString& name : names) {
        const bool old = name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive);
        const int field = FieldIndex(old ? name.mid(4) : name);
        if (field < 0)
            cells.push_back(Cell{});
        else
            cells.push_back((old ? original : row.values)[static_cast<size_t>(field)]);
    }
    return cells;
}

void Query::RefreshRow(ApplyStatements& stmts, RowData& row) {
    Statement& refresh = stmts.refresh.Get();
    refresh.Open(BindParams(refresh.ParamNames(), row));
    RowValues fresh;
    if (refresh.Fetch(&fresh) && fresh.size() == row.values.size())
        row.values = std::move(fresh);
    refresh.CloseCursor();
}

void Query::ApplyRow(ApplyStatements& stmts, RowData& row) {
    LazyStatement& which = row.status == UpdateStatus::Deleted    ? stmts.remove
                           : row.status == UpdateStatus::Inserted ? stmts.insert
                                                                  : stmts.modify;
    Statement& stmt = which.Get();
    stmt.Execute(BindParams(stmt.ParamNames(), row));
    // A new row was stored under an identifier of the database's choosing, so the sent one
    // would find some other row; it is read back at the next reconnect instead.
    if (ForcedRefresh && row.status == UpdateStatus::Modified)
        RefreshRow(stmts, row);
}

void Query::ApplyUpdates() {
    CheckActive();
    CheckBrowseMode();
    if (log_.empty())
        return;
    if (!UpdateObject)
        throw EError(QStringLiteral("UpdateSQL not assigned"));
    if (memory_ || !db_ || !GetTransaction())
        throw EError(QStringLiteral("Database not assigned"));
    Database& db = *db_;
    Transaction& tr = *GetTransaction();
    db.ReattachIfLost();
    try {
        for (const RowPtr& row : log_)
            if (row->status != UpdateStatus::Deleted)
                LoadPendingBlobs(*row);
    } catch (const EDatabaseError& e) {
        if (e.connectionLost())
            db.MarkConnectionLost();
        throw;
    }
    try {
        ExecuteImmediate(db, tr, QStringLiteral("SAVEPOINT ") + kSavepoint);
        ApplyStatements stmts(db, tr, *UpdateObject);
        for (const RowPtr& row : log_)
            ApplyRow(stmts, *row);
        tr.CommitRetaining();
    } catch (const EDatabaseError& e) {
        RollBackApply(db, tr, e.connectionLost());
        throw;
    } catch (...) {
        RollBackApply(db, tr, false);
        throw;
    }
    FinishApply();
}

void Query::FinishApply() {
    for (const RowPtr& row : log_) {
        row->logged = false;
        row->status = UpdateStatus::Unmodified;
        row->original.clear();
    }
    log_.clear();
    NotifyData(-1);
}
