#include "data/DataSource.h"

#include "data/Query.h"

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() {
    SetDataSet(nullptr);
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
