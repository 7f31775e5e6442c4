#include "data/DataSource.h"

#include "data/Query.h"

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() {
    SetDataSet(nullptr);
}

void DataSource::NotifyUpdateData() {
    handOverFailure_ = nullptr;
    emit UpdateData();
    if (std::exception_ptr failure = std::exchange(handOverFailure_, nullptr))
        std::rethrow_exception(failure);
}

void DataSource::HandOver(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        if (!handOverFailure_)
            handOverFailure_ = std::current_exception();
    }
}

void DataSource::SetDataSet(Query* dataSet) {
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->RemoveDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddDataSource(this);
    emit StateChange();
    emit DataChange(-1);
}
