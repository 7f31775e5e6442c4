// Writing a data set's cached changes back to the database.
#include "data/Database.h"
#include "data/Query.h"

#include <iberror.h>
#include <limits>

namespace {

const QString kSavepoint = QStringLiteral("TAVREL_APPLY");

// Prepares a statement of the update object the first time it is needed.
class LazyStatement {
  public:
    // The tail is added to the statement when it is run, not to its text.
    LazyStatement(Database& db, Transaction& tr, const QStringList& lines, QString tail = {})
        : db_(db), tr_(tr), lines_(lines), tail_(std::move(tail)) {}
    Statement& Get() {
        if (lines_.join(QString()).trimmed().isEmpty())
            throw EError(QStringLiteral("UpdateSQL statement is empty"));
        if (!stmt_) {
            stmt_ = std::make_unique<Statement>(db_, tr_);
            stmt_->Prepare(lines_.join(QStringLiteral("\r\n")) + tail_);
        }
        return *stmt_;
    }

  private:
    Database& db_;
    Transaction& tr_;
    const QStringList& lines_;
    QString tail_;
    std::unique_ptr<Statement> stmt_;
};

// A change met a row no longer there.
struct RowGone {};

QString ConflictText(EUpdateConflict::Reason reason, const QString& rowKind, const QString& name) {
    const QString row = rowKind + QStringLiteral("「") + name + QStringLiteral("」");
    switch (reason) {
    case EUpdateConflict::Reason::Deleted:
        return row + QStringLiteral("は、読み込んだ後に他のユーザーが削除しました。");
    case EUpdateConflict::Reason::Locked:
        return row + QStringLiteral("は、他のユーザーが保存している途中です。");
    case EUpdateConflict::Reason::Changed:
        break;
    }
    return row + QStringLiteral("は、読み込んだ後に他のユーザーが変更しました。");
}

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

EUpdateConflict::EUpdateConflict(Reason reason, const QString& rowKind, const QString& name)
    : EError(ConflictText(reason, rowKind, name)), reason_(reason) {}

struct Query::ApplyStatements {
    ApplyStatements(Database& db, Transaction& tr, const TUpdateSQL& u, const QString& returning)
        : modify(db, tr, u.ModifySQL), insert(db, tr, u.InsertSQL, returning),
          remove(db, tr, u.DeleteSQL), refresh(db, tr, u.RefreshSQL) {}
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

// A row that is re-read after its insert comes back whole with the insert itself: reading it
// again by its identifier costs a table scan per row where the identifier has no index.
QString Query::InsertReturning() const {
    if (!ForcedRefresh)
        return FieldIndex(QStringLiteral("ID")) >= 0 ? QStringLiteral("\r\nRETURNING ID")
                                                     : QString();
    QStringList names;
    for (int i = 0; i < FieldCount(); ++i)
        names << QLatin1Char('"') + Column(i).name + QLatin1Char('"');
    return QStringLiteral("\r\nRETURNING ") + names.join(QStringLiteral(", "));
}

void Query::InsertRow(ApplyStatements& stmts, RowData& row) {
    Statement& stmt = stmts.insert.Get();
    RowValues returned;
    stmt.Execute(BindParams(stmt.ParamNames(), row), &returned);
    if (ForcedRefresh && returned.size() == row.values.size()) {
        row.values = std::move(returned);
        return;
    }
    // The database chose the identifier; later edits and deletes of the row must find it.
    const int id = FieldIndex(QStringLiteral("ID"));
    if (id >= 0 && !returned.empty())
        row.values[static_cast<size_t>(id)] = returned.front();
    if (ForcedRefresh)
        RefreshRow(stmts, row);
}

void Query::ApplyRow(ApplyStatements& stmts, RowData& row) {
    if (row.status == UpdateStatus::Inserted) {
        InsertRow(stmts, row);
        return;
    }
    const bool deleting = row.status == UpdateStatus::Deleted;
    Statement& stmt = (deleting ? stmts.remove : stmts.modify).Get();
    const quint64 affected = stmt.Execute(BindParams(stmt.ParamNames(), row));
    // A row deleted by someone else is what a delete wanted; an edit of it would go nowhere.
    if (affected == 0 && !deleting)
        throw RowGone{};
    // Several rows under one key would all take the edit.
    if (affected > 1)
        throw EError(QStringLiteral("データ更新中にエラーが発生しました。"));
    if (ForcedRefresh && row.status == UpdateStatus::Modified)
        RefreshRow(stmts, row);
}

void Query::RunFaultHook(ApplyStep step) {
    if (ApplyFaultHook)
        ApplyFaultHook(step);
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
    if (outcomeUnknown_)
        throw EApplyOutcomeUnknown();
    conflict_.reset();
    Database& db = *db_;
    Transaction& tr = *GetTransaction();
    db.EnsureAttached();
    if (db.ReadOnly())
        throw EError(QStringLiteral("データベースが読み取り専用のため、変更を保存できません。"));
    try {
        FetchUpTo(std::numeric_limits<int>::max()); // the commit must not end the list's cursor
        for (const RowPtr& row : log_)
            if (row->status != UpdateStatus::Deleted)
                LoadPendingBlobs(*row);
    } catch (const EDatabaseError& e) {
        if (e.connectionLost())
            db.MarkConnectionLost();
        throw;
    }
    WriteLog(db, tr);
    CommitLog(db, tr);
    FinishApply();
}

void Query::WriteLog(Database& db, Transaction& tr) {
    RowPtr current;
    try {
        ExecuteImmediate(db, tr, QStringLiteral("SAVEPOINT ") + kSavepoint);
        ApplyStatements stmts(db, tr, *UpdateObject, InsertReturning());
        for (const RowPtr& row : log_) {
            current = row;
            ApplyRow(stmts, *row);
            RunFaultHook(ApplyStep::RowWritten);
        }
        RunFaultHook(ApplyStep::Committing);
    } catch (const EDatabaseError& e) {
        RollBackApply(db, tr, e.connectionLost());
        if (current && !e.connectionLost() && e.updateConflict())
            RaiseConflict(current, e.Has(isc_lock_conflict) || e.Has(isc_lock_timeout)
                                       ? EUpdateConflict::Reason::Locked
                                       : EUpdateConflict::Reason::Changed);
        throw;
    } catch (const RowGone&) {
        RollBackApply(db, tr, false);
        RaiseConflict(current, EUpdateConflict::Reason::Deleted);
    } catch (...) {
        RollBackApply(db, tr, false);
        throw;
    }
}

void Query::CommitLog(Database& db, Transaction& tr) {
    try {
        tr.CommitRetaining();
        RunFaultHook(ApplyStep::Committed);
    } catch (const EDatabaseError& e) {
        if (!e.connectionLost()) {
            RollBackApply(db, tr, false);
            throw;
        }
        // The server may have committed before the link dropped. Writing the log again could
        // store every new row twice, so it is kept but not written until the user decides.
        tr.Abandon();
        db.MarkConnectionLost();
        outcomeUnknown_ = true;
        throw EApplyOutcomeUnknown();
    }
}

void Query::AllowReapply() {
    outcomeUnknown_ = false;
}

void Query::RaiseConflict(const RowPtr& row, EUpdateConflict::Reason reason) {
    conflict_ = row;
    conflictReason_ = reason;
    const int field = NameField.isEmpty() ? -1 : FieldIndex(NameField);
    // Named as it was read: the name both users know it by.
    const RowValues& values = row->original.empty() ? row->values : row->original;
    const QString name =
        field >= 0 ? values[static_cast<size_t>(field)].value.toString() : QString();
    throw EUpdateConflict(reason, RowKind, name);
}

void Query::KeepMyChange() {
    if (!conflict_)
        return;
    if (conflictReason_ == EUpdateConflict::Reason::Deleted &&
        conflict_->status == UpdateStatus::Modified)
        conflict_->status = UpdateStatus::Inserted;
    conflict_.reset();
    // A snapshot taken before the other change would refuse to write over it again.
    if (Transaction* tr = GetTransaction())
        tr->Commit();
}

void Query::TakeTheirChange() {
    if (!conflict_)
        return;
    RowPtr row = std::exchange(conflict_, nullptr);
    std::erase(log_, row);
    row->logged = false;
    if (row->status == UpdateStatus::Inserted) {
        const auto it = std::find(rows_.begin(), rows_.end(), row);
        if (it != rows_.end()) {
            rows_.erase(it);
            RowRemoved();
        }
    } else if (!row->original.empty()) {
        row->values = row->original;
    }
    row->status = UpdateStatus::Unmodified;
    row->original.clear();
    NotifyData(-1);
}

void Query::FinishApply() {
    conflict_.reset();
    for (const RowPtr& row : log_) {
        row->logged = false;
        row->status = UpdateStatus::Unmodified;
        row->original.clear();
    }
    log_.clear();
    NotifyData(-1);
}
