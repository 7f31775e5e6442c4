#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The Windows faces stored designs name, each with its metric-compatible face here.
QList<QPair<QString, QString>> WindowsFaces();

// Lets stored designs that name Windows faces show in the local metric-compatible faces.
void InstallWindowsFaceSubstitutes();
