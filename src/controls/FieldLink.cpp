#include "controls/FieldLink.h"

#include "data/DataSource.h"
#include "data/Query.h"

FieldLink::FieldLink(QObject* owner) : QObject(owner) {}

void FieldLink::SetDataSource(DataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::DataChange, this, &FieldLink::OnDataChange);
        connect(source_, &DataSource::StateChange, this, [this] {
            if (DataSet() && DataSet()->State() == DataSetState::Browse)
                modified_ = false;
            emit StateChanged();
        });
        connect(source_, &DataSource::UpdateData, this, [this] {
            if (modified_)
                emit UpdateRecord();
        });
    }
    emit StateChanged();
    emit Reload();
}

void FieldLink::SetFieldName(const QString& name) {
    fieldName_ = name;
    emit Reload();
}

void FieldLink::OnDataChange(int fieldIndex) {
    if (editing_)
        return;
    Query* q = DataSet();
    if (fieldIndex < 0 || (q && fieldIndex == q->FieldIndex(fieldName_))) {
        if (fieldIndex < 0)
            modified_ = false;
        emit Reload();
    }
}

Query* FieldLink::DataSet() const {
    return source_ ? source_->DataSet() : nullptr;
}

bool FieldLink::Active() const {
    return DataSet() && DataSet()->Active();
}

bool FieldLink::CanModify() const {
    return Active() && DataSet()->CanModify();
}

std::optional<Field> FieldLink::GetField() const {
    if (!Active())
        return std::nullopt;
    return DataSet()->FindField(fieldName_);
}

FieldKind FieldLink::Kind() const {
    const auto f = GetField();
    return f ? f->DataType() : FieldKind::Unknown;
}

QString FieldLink::Text() const {
    const auto f = GetField();
    if (!f || DataSet()->IsEmpty())
        return {};
    return f->AsString();
}

void FieldLink::HandOver(const std::function<void()>& store) {
    if (source_)
        source_->HandOver(store);
    else
        store();
}

void FieldLink::Edit() {
    Query* q = DataSet();
    if (!q || q->State() != DataSetState::Browse)
        return;
    editing_ = true;
    try {
        q->Edit();
    } catch (...) {
        editing_ = false;
        throw;
    }
    editing_ = false;
}

bool IsWholeNumberKind(FieldKind kind) {
    return kind == FieldKind::SmallInt || kind == FieldKind::Integer || kind == FieldKind::Word ||
           kind == FieldKind::LargeInt;
}
