#pragma once

#include <QObject>

class Query;

// Links one data set to the data-aware controls that show it.
class DataSource : public QObject {
    Q_OBJECT
  public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    void SetDataSet(Query* dataSet);
    Query* DataSet() const { return dataSet_; }

    // Called by the data set.
    void NotifyStateChange() { emit StateChange(); }
    void NotifyDataChange(int fieldIndex) { emit DataChange(fieldIndex); }
    void NotifyUpdateData() { emit UpdateData(); }
    void DataSetGone() { dataSet_ = nullptr; }

  signals:
    void StateChange();
    // fieldIndex is -1 when the whole record (or the position) changed.
    void DataChange(int fieldIndex);
    // The record is about to be posted: controls hand over what the user typed.
    void UpdateData();

  private:
    Query* dataSet_ = nullptr;
};
