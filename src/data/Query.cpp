#include "data/Query.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "platform/SjisCodec.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <limits>

namespace {

bool IsWholeNumber(FieldKind k) {
    return k == FieldKind::SmallInt || k == FieldKind::Integer || k == FieldKind::Word ||
           k == FieldKind::LargeInt || k == FieldKind::AutoInc;
}

bool IsTextKind(FieldKind k) {
    return k == FieldKind::String || k == FieldKind::FixedChar || k == FieldKind::Memo ||
           k == FieldKind::WideString;
}

QString NumberText(double v) {
    return QLocale::system().toString(v, 'g', 15);
}

QVariant ParseInteger(const QString& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw EError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return n;
}

// Rows read whole beyond these give their values back, unless they hold unsaved changes.
constexpr size_t kKeptRows = 8;
// A list that is counted first is read this far when it opens, the rest as it is reached.
constexpr int kScreenful = 64;

bool HasBlobId(const Cell& cell) {
    return cell.blobId.gds_quad_high != 0 || cell.blobId.gds_quad_low != 0;
}

std::vector<Cell> ParamCells(const Statement& statement,
                             const std::function<QVariant(const QString&)>& value) {
    std::vector<Cell> params;
    for (const QString& name : statement.ParamNames())
        params.push_back(Cell{value(name)});
    return params;
}

QVariant ParseReal(const QString& text) {
    bool ok = false;
    const double d = QLocale::system().toDouble(text.trimmed(), &ok);
    if (!ok)
        throw EError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return d;
}

} // namespace

// ---------------------------------------------------------------------------
// Field

QString Field::FieldName() const {
    return query_->Column(index_).name;
}
FieldKind Field::DataType() const {
    return query_->Column(index_).kind;
}
QVariant Field::Value() const {
    return query_->CellValue(index_);
}
bool Field::IsNull() const {
    return Value().isNull();
}

int Field::AsInteger() const {
    const QVariant v = Value();
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return static_cast<qint32>(n);
    return static_cast<qint32>(v.toString().trimmed().toLongLong());
}

QString Field::AsString() const {
    const QVariant v = Value();
    if (v.isNull())
        return {};
    switch (DataType()) {
    case FieldKind::Float:
    case FieldKind::Currency:
    case FieldKind::BCD:
        return NumberText(v.toDouble());
    case FieldKind::Date:
        return QLocale::system().toString(v.toDate(), QLocale::ShortFormat);
    case FieldKind::Time:
        return QLocale::system().toString(v.toTime(), QLocale::ShortFormat);
    case FieldKind::DateTime:
        return QLocale::system().toString(v.toDateTime(), QLocale::ShortFormat);
    case FieldKind::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Blob:
    case FieldKind::Bytes:
    case FieldKind::VarBytes:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
}

QByteArray Field::AsBytes() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    bool ok = false;
    const QByteArray bytes = Sjis::TryEncode(v.toString(), &ok);
    return ok ? bytes : v.toString().toUtf8();
}

void Field::SetValue(const QVariant& value) const {
    query_->SetCellValue(index_, value);
}

void Field::SetAsString(const QString& text) const {
    const FieldKind kind = DataType();
    if (IsTextKind(kind)) {
        SetValue(text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    if (IsWholeNumber(kind))
        SetValue(ParseInteger(text));
    else if (kind == FieldKind::Float || kind == FieldKind::BCD || kind == FieldKind::Currency)
        SetValue(ParseReal(text));
    else
        SetValue(text);
}

// ---------------------------------------------------------------------------
// Query: set-up and life

Query::Query(Database* db, Transaction* tr) {
    SetDatabase(db);
    SetTransaction(tr);
}

Query::~Query() {
    Discard(); // whatever was not saved goes with the data set
    try {
        Close();
        Unprepare();
    } catch (...) {
        // Releasing must not throw.
    }
    SetDatabase(nullptr);
    for (DataSource* ds : std::vector(sources_))
        ds->DataSetGone();
}

void Query::ListenForClose() {
    if (db_)
        closeListener_ = db_->AddListener([this](Database::Event event) {
            switch (event) {
            case Database::Event::Closing:
                SaveBeforeConnectionCloses();
                break;
            case Database::Event::Closed:
                Discard(); // only when the connection itself is destroyed
                Close();
                DropStatements();
                break;
            case Database::Event::Reattached:
                DropStatements(); // their handles belong to the old attachment
                break;
            }
        });
}

bool Query::HasUnsavedWork() const {
    return UpdatesPending() || state_ == DataSetState::Edit || state_ == DataSetState::Insert;
}

void Query::SaveBeforeConnectionCloses() {
    if (!HasUnsavedWork())
        return;
    if (!ApplyBeforeClose)
        throw EError(QStringLiteral("Cannot close a dataset with pending updates"));
    ApplyUpdates();
}

void Query::Discard() {
    log_.clear();
    editBuffer_.clear();
    outcomeUnknown_ = false;
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        state_ = DataSetState::Browse; // the close that follows tells the controls
}

void Query::DropStatements() {
    statement_.reset();
    rowStatement_.reset();
    EndList();
}

void Query::SetDatabase(Database* db) {
    if (db_ == db)
        return;
    Close();
    DropStatements();
    if (db_)
        db_->RemoveListener(closeListener_);
    db_ = db;
    ListenForClose();
}

void Query::SetTransaction(Transaction* tr) {
    Close();
    DropStatements();
    tr_ = tr;
}

Transaction* Query::GetTransaction() const {
    if (tr_)
        return tr_;
    return db_ ? db_->DefaultTransaction() : nullptr;
}

void Query::SetParam(const QString& name, const QVariant& value) {
    params_[name.toUpper()] = value;
}

QVariant Query::Param(const QString& name) const {
    return params_.value(name.toUpper());
}

void Query::LoadFromRows(std::vector<ColumnInfo> columns, std::vector<RowValues> rows) {
    Close();
    DropStatements();
    preparedText_.clear();
    memory_ = std::make_shared<const MemoryRows>(MemoryRows{std::move(columns), std::move(rows)});
    columns_ = memory_->columns;
    CachedUpdates = true;
}

void Query::EnsurePrepared() {
    if (memory_)
        return;
    if (db_ && db_->Lost())
        db_->EnsureAttached(); // which drops the statement of the old attachment
    const QString text = SQL.join(QStringLiteral("\r\n"));
    if (statement_ && statement_->Prepared() && preparedText_ == text)
        return;
    if (!db_ || !GetTransaction())
        throw EError(QStringLiteral("Database not assigned"));
    auto stmt = std::make_unique<Statement>(*db_, *GetTransaction());
    stmt->Prepare(text);
    statement_ = std::move(stmt);
    preparedText_ = text;
    columns_ = statement_->Columns();
}

void Query::Prepare() {
    EnsurePrepared();
}

void Query::Unprepare() {
    if (Active())
        Close();
    memory_.reset();
    DropStatements();
    preparedText_.clear();
}

bool Query::Prepared() const {
    return memory_ || (statement_ && statement_->Prepared());
}

void Query::FieldDefsUpdate() {
    if (!Active())
        EnsurePrepared();
}

void Query::Open() {
    if (Active())
        return;
    EnsurePrepared();
    FetchRows();
    cur_ = IsEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = IsEmpty();
    SetState(DataSetState::Browse);
    NotifyData(-1);
    Fire(AfterOpen);
    Fire(AfterScroll);
}

void Query::FetchRows() {
    rows_.clear();
    log_.clear();
    kept_.clear();
    rowStatement_.reset();
    EndList();
    if (ReadsLazily()) {
        FetchListRows();
        return;
    }
    if (memory_) {
        for (const RowValues& values : memory_->rows) {
            auto row = std::make_shared<RowData>();
            row->values = values;
            rows_.push_back(std::move(row));
        }
        return;
    }
    statement_->Open(ParamCells(*statement_, [this](const QString& n) { return Param(n); }));
    RowValues values;
    while (statement_->Fetch(&values)) {
        auto row = std::make_shared<RowData>();
        row->values = std::move(values);
        rows_.push_back(std::move(row));
    }
}

void Query::ExecSQL() {
    if (memory_)
        throw EError(QStringLiteral("An in-memory data set runs no statement"));
    EnsurePrepared();
    statement_->Execute(ParamCells(*statement_, [this](const QString& n) { return Param(n); }));
}

void Query::FetchListRows() {
    const auto param = [this](const QString& n) { return Param(n); };
    if (!CountSQL.isEmpty()) {
        Statement count(*db_, *GetTransaction());
        count.Prepare(CountSQL.join(QStringLiteral("\r\n")));
        count.Open(ParamCells(count, param));
        RowValues total;
        if (count.Fetch(&total) && !total.empty())
            unfetched_ = total.front().value.toInt();
        count.CloseCursor();
    }
    auto list = std::make_unique<Statement>(*db_, *GetTransaction());
    list->Prepare(ListSQL.join(QStringLiteral("\r\n")));
    MapListColumns(list->Columns());
    list->Open(ParamCells(*list, param));
    listStatement_ = std::move(list);
    const bool counted = unfetched_ > 0;
    if (CountSQL.isEmpty() || !counted)
        FetchUpTo(std::numeric_limits<int>::max());
    else
        FetchUpTo(kScreenful);
}

void Query::FetchUpTo(int index) {
    RowValues values;
    while (listStatement_ && index >= static_cast<int>(rows_.size())) {
        bool fetched = false;
        try {
            fetched = listStatement_->Fetch(&values);
        } catch (...) {
            // The rows read so far stay the list, and the current row one of them.
            EndList();
            cur_ = std::min(cur_, RecordCount() - 1);
            throw;
        }
        if (!fetched) {
            EndList();
            return;
        }
        auto row = std::make_shared<RowData>();
        row->values = std::move(values);
        row->partial = true;
        rows_.push_back(std::move(row));
        if (unfetched_ > 0 && --unfetched_ == 0)
            EndList();
    }
}

void Query::EndList() {
    listStatement_.reset();
    unfetched_ = 0;
}

void Query::RowRemoved() {
    cur_ = IsEmpty() ? -1 : std::min(cur_, RecordCount() - 1);
    FetchUpTo(cur_);
    bof_ = eof_ = IsEmpty();
}

void Query::MapListColumns(const std::vector<ColumnInfo>& listColumns) {
    listPlace_.assign(columns_.size(), -1);
    listFields_.clear();
    for (const ColumnInfo& column : listColumns) {
        const int field = FieldIndex(column.name);
        if (field < 0)
            throw EError(QStringLiteral("Field '%1' not found").arg(column.name));
        listPlace_[static_cast<size_t>(field)] = static_cast<int>(listFields_.size());
        listFields_.push_back(field);
    }
}

void Query::EnsureWhole(RowData& row) {
    if (!row.partial)
        return;
    row.values = ReadWholeRow(row.values);
    row.partial = false;
}

RowValues Query::ReadWholeRow(const RowValues& listValues) {
    if (!rowStatement_) {
        auto stmt = std::make_unique<Statement>(*db_, *GetTransaction());
        stmt->Prepare(RowSQL.join(QStringLiteral("\r\n")));
        if (stmt->Columns().size() != columns_.size())
            throw EError(QStringLiteral("RowSQL does not give the fields of SQL"));
        rowStatement_ = std::move(stmt);
    }
    rowStatement_->Open(ParamCells(*rowStatement_, [&](const QString& name) {
        const int field = FieldIndex(name);
        const int place = field < 0 ? -1 : listPlace_[static_cast<size_t>(field)];
        return place < 0 ? QVariant() : listValues[static_cast<size_t>(place)].value;
    }));
    RowValues whole;
    const bool found = rowStatement_->Fetch(&whole);
    rowStatement_->CloseCursor();
    if (!found) {
        // Deleted by another user since the list was read: what was listed, and nothing else.
        whole.assign(columns_.size(), Cell{});
        for (size_t i = 0; i < listFields_.size(); ++i)
            whole[static_cast<size_t>(listFields_[i])] = listValues[i];
    }
    return whole;
}

Cell& Query::RowCell(const RowPtr& row, int field) {
    if (row->partial) {
        const int place = listPlace_[static_cast<size_t>(field)];
        if (place >= 0)
            return row->values[static_cast<size_t>(place)];
        EnsureWhole(*row);
        Remember(row);
    }
    Cell& cell = row->values.at(static_cast<size_t>(field));
    if (cell.blobPending) {
        LoadCell(cell, field);
        Remember(row);
    }
    return cell;
}

void Query::Remember(const RowPtr& row) {
    std::erase_if(kept_, [&row](const std::weak_ptr<RowData>& kept) { return kept.lock() == row; });
    kept_.push_back(row);
    const RowData* current = cur_ >= 0 && cur_ < static_cast<int>(rows_.size())
                                 ? rows_[static_cast<size_t>(cur_)].get()
                                 : nullptr;
    while (kept_.size() > kKeptRows) {
        const auto old =
            std::find_if(kept_.begin(), kept_.end(), [current](const std::weak_ptr<RowData>& kept) {
                return kept.lock().get() != current;
            });
        const RowPtr oldest = old->lock();
        kept_.erase(old);
        if (oldest)
            Shrink(*oldest);
    }
}

void Query::Shrink(RowData& row) {
    if (row.logged || row.status != UpdateStatus::Unmodified)
        return; // unsaved changes are kept whole
    if (ReadsLazily() && !row.partial) {
        RowValues listed;
        for (const int field : listFields_)
            listed.push_back(std::move(row.values[static_cast<size_t>(field)]));
        row.values = std::move(listed);
        row.partial = true;
        return;
    }
    for (Cell& cell : row.values)
        if (!cell.blobPending && HasBlobId(cell)) {
            cell.value = QVariant();
            cell.blobPending = true;
        }
}

void Query::Close() {
    if (!Active())
        return;
    if (HasUnsavedWork())
        throw EError(QStringLiteral("Cannot close a dataset with pending updates"));
    Fire(BeforeClose);
    rows_.clear();
    kept_.clear();
    EndList();
    cur_ = -1;
    bof_ = eof_ = true;
    SetState(DataSetState::Inactive);
    NotifyData(-1);
    Fire(AfterClose);
}

void Query::CheckActive() const {
    if (!Active())
        throw EError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Query::CheckEditing() const {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw EError(QStringLiteral("Dataset not in edit or insert mode"));
}

// ---------------------------------------------------------------------------
// Query: navigation

void Query::MoveTo(int index) {
    cur_ = IsEmpty() ? -1 : std::clamp(index, 0, RecordCount() - 1);
    FetchUpTo(cur_);
    NotifyData(-1);
    Fire(AfterScroll);
}

void Query::First() {
    CheckActive();
    CheckBrowseMode();
    bof_ = true;
    eof_ = IsEmpty();
    MoveTo(0);
}

void Query::Last() {
    CheckActive();
    CheckBrowseMode();
    eof_ = true;
    bof_ = IsEmpty();
    MoveTo(RecordCount() - 1);
}

void Query::Next() {
    CheckActive();
    CheckBrowseMode();
    if (eof_)
        return;
    bof_ = false;
    if (cur_ + 1 >= RecordCount())
        eof_ = true;
    MoveTo(cur_ + 1);
}

void Query::Prior() {
    CheckActive();
    CheckBrowseMode();
    if (bof_)
        return;
    eof_ = false;
    if (cur_ <= 0)
        bof_ = true;
    MoveTo(cur_ - 1);
}

void Query::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    bof_ = recNo <= 1;
    eof_ = recNo >= RecordCount();
    MoveTo(recNo - 1);
}

bool Query::Locate(const QString& fieldName, const QVariant& value) {
    CheckActive();
    CheckBrowseMode();
    const int field = FieldIndex(fieldName);
    if (field < 0)
        throw EError(QStringLiteral("Field '%1' not found").arg(fieldName));
    for (int i = 0; i < RecordCount(); ++i) {
        const QVariant v = RowValue(i, field);
        if (v.isNull() != value.isNull())
            continue;
        const bool same = IsWholeNumber(columns_[static_cast<size_t>(field)].kind)
                              ? v.toLongLong() == value.toLongLong()
                              : v.toString() == value.toString();
        if (same) {
            bof_ = eof_ = false;
            MoveTo(i);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Query: editing

void Query::CheckBrowseMode() {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        Post();
}

void Query::BeginInsert(bool append) {
    CheckActive();
    CheckBrowseMode();
    if (!CanModify())
        throw EError(QStringLiteral("Cannot modify a read-only dataset"));
    auto row = std::make_shared<RowData>();
    row->values.assign(columns_.size(), Cell{});
    row->status = UpdateStatus::Inserted;
    if (append || cur_ < 0)
        FetchUpTo(RecordCount());
    const int pos = append || cur_ < 0 ? RecordCount() : cur_;
    rows_.insert(rows_.begin() + pos, row);
    cur_ = pos;
    bof_ = eof_ = false;
    editBuffer_ = row->values;
    SetState(DataSetState::Insert);
    Fire(OnNewRecord);
    NotifyData(-1);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void Query::Insert() {
    BeginInsert(false);
}
void Query::Append() {
    BeginInsert(true);
}

void Query::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (IsEmpty()) {
        Insert();
        return;
    }
    if (!CanModify())
        throw EError(QStringLiteral("Cannot modify a read-only dataset"));
    Fire(BeforeEdit);
    const RowPtr& row = rows_[static_cast<size_t>(cur_)];
    EnsureWhole(*row);
    Remember(row);
    editBuffer_ = row->values;
    SetState(DataSetState::Edit);
    NotifyData(-1);
    Fire(AfterEdit);
}

void Query::CheckTextEncodable(const RowValues& values) const {
    for (size_t i = 0; i < values.size(); ++i) {
        if (IsTextKind(columns_[i].kind) && values[i].value.typeId() == QMetaType::QString)
            Sjis::CheckFitsDatabase(values[i].value.toString()); // raises naming the character
    }
}

void Query::Post() {
    CheckActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    for (DataSource* ds : std::vector(sources_))
        ds->NotifyUpdateData();
    Fire(BeforePost);
    CheckTextEncodable(editBuffer_);
    RowData& row = *rows_[static_cast<size_t>(cur_)];
    EnsureWhole(row);
    if (row.status == UpdateStatus::Unmodified) {
        row.original = row.values;
        row.status = UpdateStatus::Modified;
    }
    row.values = std::move(editBuffer_);
    editBuffer_.clear();
    if (!row.logged) {
        row.logged = true;
        log_.push_back(rows_[static_cast<size_t>(cur_)]);
    }
    SetState(DataSetState::Browse);
    NotifyData(-1);
    Fire(AfterPost);
    if (!CachedUpdates)
        ApplyUpdates();
}

void Query::Cancel() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    const bool wasInsert = state_ == DataSetState::Insert;
    editBuffer_.clear();
    if (wasInsert) {
        rows_.erase(rows_.begin() + cur_);
        RowRemoved();
    }
    SetState(DataSetState::Browse);
    NotifyData(-1);
    Fire(AfterCancel);
    if (wasInsert)
        Fire(AfterScroll);
}

void Query::Delete() {
    CheckActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (IsEmpty())
        throw EError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    CheckBrowseMode();
    if (!CanModify())
        throw EError(QStringLiteral("Cannot modify a read-only dataset"));
    Fire(BeforeDelete);
    RowPtr row = rows_[static_cast<size_t>(cur_)];
    EnsureWhole(*row);
    if (row->status == UpdateStatus::Inserted) {
        std::erase(log_, row);
    } else {
        if (row->status == UpdateStatus::Unmodified)
            row->original = row->values;
        row->status = UpdateStatus::Deleted;
        if (!row->logged) {
            row->logged = true;
            log_.push_back(row);
        }
    }
    rows_.erase(rows_.begin() + cur_);
    RowRemoved();
    SetState(DataSetState::Browse);
    NotifyData(-1);
    Fire(AfterDelete);
    Fire(AfterScroll);
    if (!CachedUpdates)
        ApplyUpdates();
}

void Query::Refresh() {
    CheckActive();
    CheckBrowseMode();
    if (UpdatesPending())
        throw EError(QStringLiteral("Cannot refresh a dataset with pending updates"));
    const int recNo = RecNo();
    Close();
    Open();
    if (recNo > 1 && !IsEmpty())
        SetRecNo(std::min(recNo, RecordCount()));
}

UpdateStatus Query::RecordStatus() const {
    if (cur_ < 0)
        return UpdateStatus::Unmodified;
    return rows_[static_cast<size_t>(cur_)]->status;
}

void Query::CancelUpdates() {
    outcomeUnknown_ = false;
    if (!Active() || log_.empty())
        return;
    Cancel();
    Discard();
    // Re-reading is the only way back to the stored values.
    Close();
    Open();
}

// ---------------------------------------------------------------------------
// Query: fields

int Query::FieldIndex(const QString& name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

Field Query::Fields(int index) {
    if (index < 0 || index >= FieldCount())
        throw EError(QStringLiteral("Field index out of range"));
    return Field(this, index);
}

Field Query::FieldByName(const QString& name) {
    const int index = FieldIndex(name);
    if (index < 0)
        throw EError(QStringLiteral("Field '%1' not found").arg(name));
    return Field(this, index);
}

std::optional<Field> Query::FindField(const QString& name) {
    const int index = FieldIndex(name);
    if (index < 0)
        return std::nullopt;
    return Field(this, index);
}

void Query::LoadCell(Cell& cell, int field) {
    if (!cell.blobPending)
        return;
    const QByteArray bytes = ReadBlob(*db_, *GetTransaction(), cell.blobId);
    const bool text = columns_[static_cast<size_t>(field)].kind == FieldKind::Memo;
    cell.value = text ? QVariant(Sjis::Decode(bytes)) : QVariant(bytes);
    cell.blobPending = false;
}

QVariant Query::RowValue(int row, int field) {
    if (field < 0 || field >= FieldCount())
        throw EError(QStringLiteral("Field index out of range"));
    FetchUpTo(row);
    return RowCell(rows_.at(static_cast<size_t>(row)), field).value;
}

QVariant Query::CellValue(int field) {
    if (cur_ < 0 || field < 0 || field >= FieldCount())
        return {};
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return RowCell(rows_[static_cast<size_t>(cur_)], field).value;
    Cell& cell = editBuffer_[static_cast<size_t>(field)];
    LoadCell(cell, field);
    return cell.value;
}

void Query::SetCellValue(int field, const QVariant& value) {
    CheckEditing();
    Cell& cell = editBuffer_.at(static_cast<size_t>(field));
    cell.blobPending = false;
    cell.value = value;
    NotifyData(field);
}

// ---------------------------------------------------------------------------
// Query: notifications

void Query::SetState(DataSetState state) {
    if (state_ == state)
        return;
    state_ = state;
    if (disableCount_ == 0)
        for (DataSource* ds : std::vector(sources_))
            ds->NotifyStateChange();
}

void Query::NotifyData(int field) {
    if (disableCount_ > 0)
        return;
    for (DataSource* ds : std::vector(sources_))
        ds->NotifyDataChange(field);
}

void Query::Fire(const Event& event) {
    if (event)
        event(*this);
}

void Query::DisableControls() {
    ++disableCount_;
}

void Query::EnableControls() {
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    for (DataSource* ds : std::vector(sources_))
        ds->NotifyStateChange();
    NotifyData(-1);
}

void Query::AddDataSource(DataSource* ds) {
    if (std::find(sources_.begin(), sources_.end(), ds) == sources_.end())
        sources_.push_back(ds);
}

void Query::RemoveDataSource(DataSource* ds) {
    std::erase(sources_, ds);
}
