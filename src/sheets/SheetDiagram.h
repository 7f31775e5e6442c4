#pragma once

#include <QPixmap>

// The sheet editor's explanatory picture: a sheet with two rows of two labels and the lettered
// dimensions of a sheet definition, with their legend.
QPixmap SheetDiagram();
