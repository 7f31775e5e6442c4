#pragma once

#include "data/DataSource.h"
#include "data/FieldKind.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class DataSource;
class Field;
class Query;

// Ties one control to one field of a data source: tells it when to show the field again and
// when to hand over what the user typed.
class FieldLink : public QObject {
    Q_OBJECT
  public:
    explicit FieldLink(QObject* owner);

    void SetDataSource(DataSource* source);
    DataSource* Source() const { return source_; }
    void SetFieldName(const QString& name);
    const QString& FieldName() const { return fieldName_; }

    Query* DataSet() const;
    bool Active() const;
    bool CanModify() const;
    std::optional<Field> GetField() const;
    FieldKind Kind() const;
    // The field's text for display (empty when closed or without a row).
    QString Text() const;
    // Runs a control's hand-over of what the user typed, for the post that asked for it.
    void HandOver(const std::function<void()>& store);
    // Puts the record into edit state without the control reloading what it shows.
    void Edit();
    bool Editing() const { return editing_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

  signals:
    // Show the field again.
    void Reload();
    // The data set opened, closed or changed state.
    void StateChanged();
    // Hand over the modified text now.
    void UpdateRecord();

  private:
    void OnDataChange(int fieldIndex);
    QPointer<DataSource> source_;
    QString fieldName_;
    bool editing_ = false;
    bool modified_ = false;
};

bool IsWholeNumberKind(FieldKind kind);
