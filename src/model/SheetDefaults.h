#pragma once

#include "model/Paper.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The paper type a new sheet definition starts with.
QString NewSheetPaperType();
// The columns a new sheet definition starts with and their values, in the order they are set.
// The paper size is not among them: it follows from the paper type.
QList<QPair<QString, QVariant>> NewSheetDefaults();
