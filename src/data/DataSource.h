#pragma once

#include <QObject>
#include <exception>
#include <functional>

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
    // The controls hand over what the user typed. One that cannot (the field refuses the text)
    // fails the post: its exception is kept out of Qt's signal delivery and raised here once
    // every control had its turn.
    void NotifyUpdateData();
    // For a control's UpdateData handler: runs its hand-over, keeping a failure for the above.
    void HandOver(const std::function<void()>& work);
    void DataSetGone() { dataSet_ = nullptr; }

  signals:
    void StateChange();
    // fieldIndex is -1 when the whole record (or the position) changed.
    void DataChange(int fieldIndex);
    // The record is about to be posted: controls hand over what the user typed.
    void UpdateData();

  private:
    Query* dataSet_ = nullptr;
    std::exception_ptr handOverFailure_;
};
