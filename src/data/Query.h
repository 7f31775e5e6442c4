#pragma once

#include "data/FieldKind.h"
#include "data/Statement.h"
#include "data/UpdateSql.h"
#include "platform/Error.h"

#include <QMap>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Database;
class Transaction;
class DataSource;
class Query;

enum class DataSetState { Inactive, Browse, Edit, Insert };
// Where an apply has got to, for the fault hook.
enum class ApplyStep { RowWritten, Committing, Committed };

// The link dropped while an apply was being committed: it may be stored or not.
class EApplyOutcomeUnknown : public EError {
  public:
    EApplyOutcomeUnknown()
        : EError(QStringLiteral(
              "保存の途中でデータベースとの接続が切れました。変更は既に保存されている"
              "可能性があります。二重に登録しないよう、データを確認してから保存し直して"
              "ください。")) {}
};
enum class UpdateStatus { Unmodified, Modified, Inserted, Deleted };

// An apply stopped at a row that another user changed, deleted or holds since it was read.
// Nothing of the apply was kept; the row's change and all others stay cached.
class EUpdateConflict : public EError {
  public:
    enum class Reason { Changed, Deleted, Locked };
    EUpdateConflict(Reason reason, const QString& rowKind, const QString& name);
    Reason reason() const { return reason_; }

  private:
    Reason reason_;
};

// A handle on one field of a data set's current record.
class Field {
  public:
    Field(Query* query, int index) : query_(query), index_(index) {}
    int Index() const { return index_; }
    QString FieldName() const;
    FieldKind DataType() const;
    // Blobs are read from the database the first time they are asked for.
    QVariant Value() const;
    bool IsNull() const;
    // Whole numbers are 32-bit signed; a null reads as 0.
    int AsInteger() const;
    // The field's text in the user's formats; a null gives empty text.
    QString AsString() const;
    QByteArray AsBytes() const;

    void SetValue(const QVariant& value) const;
    // Converts text by the field's kind; an empty text stores null in non-text fields.
    void SetAsString(const QString& text) const;
    void SetAsInteger(int value) const { SetValue(value); }
    void Clear() const { SetValue(QVariant()); }

  private:
    Query* query_;
    int index_;
};

// A data set over one SELECT, with cached updates written back through an update object.
class Query {
  public:
    explicit Query(Database* db = nullptr, Transaction* tr = nullptr);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void SetDatabase(Database* db);
    void SetTransaction(Transaction* tr);
    Database* GetDatabase() const { return db_; }
    Transaction* GetTransaction() const;

    // Statement text as lines; named parameters (":P0", ":NAME") are allowed.
    QStringList SQL;
    // A long list reads only ListSQL's columns of every row, in the rows and order SQL would give,
    // and the rest of a row when it is first needed, by RowSQL, whose parameters are named after
    // list columns (":ID"). SQL still defines the fields. Both empty: rows are read whole.
    QStringList ListSQL;
    QStringList RowSQL;
    // Counts the rows of ListSQL; given, the list is read a screenful at a time as it is reached.
    QStringList CountSQL;
    void SetParam(const QString& name, const QVariant& value);
    QVariant Param(const QString& name) const;
    void ClearParams() { params_.clear(); }

    // An in-memory data set: its rows come from here, not from a statement, and every open
    // starts again from them, so discarding the cache restores exactly these rows. Changes
    // stay in the cache; there is no database to apply them to.
    void LoadFromRows(std::vector<ColumnInfo> columns, std::vector<RowValues> rows);
    bool InMemory() const { return memory_ != nullptr; }

    bool CachedUpdates = false;
    bool ForcedRefresh = false;
    TUpdateSQL* UpdateObject = nullptr;
    bool ReadOnly = false;

    // When its connection closes (a re-read of another data set on it), the data set applies
    // its unsaved changes instead of refusing.
    bool ApplyBeforeClose = false;

    void Prepare();
    void Unprepare();
    bool Prepared() const;
    void Open();
    // Raises, leaving everything as it was, while changes are unsaved (pending or being edited).
    void Close();
    bool HasUnsavedWork() const;
    bool Active() const { return state_ != DataSetState::Inactive; }
    // Runs a statement without result rows.
    void ExecSQL();
    void FetchAll() {} // rows are all listed when the data set opens
    DataSetState State() const { return state_; }
    bool CanModify() const { return Active() && !ReadOnly; }

    // Navigation: leaving a record in edit or insert state posts it first.
    void First();
    void Prior();
    void Next();
    void Last();
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecNo() const { return cur_ + 1; }
    void SetRecNo(int recNo);
    int RecordCount() const { return static_cast<int>(rows_.size()) + unfetched_; }
    bool Locate(const QString& fieldName, const QVariant& value);

    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts a record being edited; nothing otherwise.
    void CheckBrowseMode();
    // Re-reads the rows, staying on the same record number where possible.
    void Refresh();

    bool UpdatesPending() const { return !log_.empty(); }
    // Writes every cached change inside one savepoint and commits retaining. On failure the
    // database keeps none of it, every change stays cached, and the error is raised. When the
    // link dropped during the commit itself, EApplyOutcomeUnknown is raised and every later
    // apply refuses with it until AllowReapply() or CancelUpdates().
    void ApplyUpdates();
    void CancelUpdates();
    bool ApplyOutcomeUnknown() const { return outcomeUnknown_; }
    // The user chose to write the kept changes again after an apply of unknown outcome.
    void AllowReapply();
    // What an update conflict names the row by: the field holding its name and what the rows
    // are ("ラベル", "用紙").
    QString NameField;
    QString RowKind;
    // After EUpdateConflict: the next apply writes that row over the other user's change (a
    // row they deleted is stored again), or forgets the row's cached change and keeps the rest.
    void KeepMyChange();
    void TakeTheirChange();
    // Tests break the connection at a chosen step of an apply through this; nothing else sets it.
    static inline std::function<void(ApplyStep)> ApplyFaultHook;
    UpdateStatus RecordStatus() const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Field definitions of the statement (prepares it when needed).
    void FieldDefsUpdate();
    int FieldCount() const { return static_cast<int>(columns_.size()); }
    Field Fields(int index);
    Field FieldByName(const QString& name);
    std::optional<Field> FindField(const QString& name);
    int FieldIndex(const QString& name) const;
    const ColumnInfo& Column(int index) const { return columns_.at(static_cast<size_t>(index)); }
    // A value of any row, for grids; blobs are read on demand.
    QVariant RowValue(int row, int field);

    using Event = std::function<void(Query&)>;
    Event BeforePost, AfterPost, OnNewRecord, AfterCancel, AfterScroll, AfterOpen, BeforeClose,
        AfterClose, BeforeDelete, AfterDelete, BeforeEdit, AfterEdit, AfterInsert;

    void AddDataSource(DataSource* ds);
    void RemoveDataSource(DataSource* ds);

    // Used by Field.
    QVariant CellValue(int field);
    void SetCellValue(int field, const QVariant& value);

  private:
    struct RowData {
        // A partial row holds the list columns only, in their list order.
        RowValues values;
        RowValues original;
        UpdateStatus status = UpdateStatus::Unmodified;
        bool logged = false;
        bool partial = false;
    };
    using RowPtr = std::shared_ptr<RowData>;

    void CheckActive() const;
    void CheckEditing() const;
    void EnsurePrepared();
    void FetchRows();
    void FetchListRows();
    // Reads listed rows until the one at index is held (all of them for the largest int).
    void FetchUpTo(int index);
    void EndList();
    // The current row after one left the list.
    void RowRemoved();
    void MapListColumns(const std::vector<ColumnInfo>& listColumns);
    bool ReadsLazily() const { return !memory_ && !ListSQL.isEmpty() && !RowSQL.isEmpty(); }
    void EnsureWhole(RowData& row);
    RowValues ReadWholeRow(const RowValues& listValues);
    // A cell of a stored row, read from the database when it is not yet held.
    Cell& RowCell(const RowPtr& row, int field);
    // Rows read whole or with blobs are kept for a few moves; the rest give their values back.
    void Remember(const RowPtr& row);
    void Shrink(RowData& row);
    void DropStatements();
    void MoveTo(int index);
    void BeginInsert(bool append);
    void LoadCell(Cell& cell, int field);
    void CheckTextEncodable(const RowValues& values) const;
    void SetState(DataSetState state);
    void NotifyData(int field);
    void Fire(const Event& event);
    void ListenForClose();
    void SaveBeforeConnectionCloses();
    // Forgets the unsaved changes and the record being edited.
    void Discard();

    // Apply helpers.
    struct ApplyStatements;
    void ApplyRow(ApplyStatements& stmts, RowData& row);
    void InsertRow(ApplyStatements& stmts, RowData& row);
    QString InsertReturning() const;
    void WriteLog(Database& db, Transaction& tr);
    [[noreturn]] void RaiseConflict(const RowPtr& row, EUpdateConflict::Reason reason);
    void CommitLog(Database& db, Transaction& tr);
    static void RunFaultHook(ApplyStep step);
    void RefreshRow(ApplyStatements& stmts, RowData& row);
    std::vector<Cell> BindParams(const QStringList& names, RowData& row);
    void LoadPendingBlobs(RowData& row);
    void FinishApply();

    struct MemoryRows {
        std::vector<ColumnInfo> columns;
        std::vector<RowValues> rows;
    };
    std::shared_ptr<const MemoryRows> memory_;
    Database* db_ = nullptr;
    Transaction* tr_ = nullptr;
    int closeListener_ = 0;
    std::unique_ptr<Statement> statement_;
    std::unique_ptr<Statement> rowStatement_;
    // The list's cursor while rows remain to be read, and how many the count says remain.
    std::unique_ptr<Statement> listStatement_;
    int unfetched_ = 0;
    // Per field, its place among the list columns, or -1.
    std::vector<int> listPlace_;
    std::vector<int> listFields_;
    std::vector<std::weak_ptr<RowData>> kept_;
    QString preparedText_;
    QMap<QString, QVariant> params_;
    std::vector<ColumnInfo> columns_;
    std::vector<RowPtr> rows_;
    std::vector<RowPtr> log_;
    RowValues editBuffer_;
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    DataSetState state_ = DataSetState::Inactive;
    int disableCount_ = 0;
    bool outcomeUnknown_ = false;
    RowPtr conflict_;
    EUpdateConflict::Reason conflictReason_ = EUpdateConflict::Reason::Changed;
    std::vector<DataSource*> sources_;
};

// A data set's display updates stay suspended while alive.
class ControlsDisabled {
  public:
    explicit ControlsDisabled(Query& query) : query_(query) { query_.DisableControls(); }
    ~ControlsDisabled() { query_.EnableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

  private:
    Query& query_;
};
