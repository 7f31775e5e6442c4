#pragma once

#include <QStringList>

// The four statements with which a cached data set writes its changes back.
struct TUpdateSQL {
    QStringList ModifySQL;
    QStringList InsertSQL;
    QStringList DeleteSQL;
    QStringList RefreshSQL;
};
