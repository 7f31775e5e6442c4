#pragma once

#include "sheets/LabelTemplate.h"

#include <QPixmap>
#include <QSize>

// A drawing of a template's sheet, scaled into the size: the paper and every label of every
// layout in its own shape. Labels that cannot become a sheet definition are drawn grey.
QPixmap TemplatePicture(const LabelTemplate& t, QSize size, bool convertible);
