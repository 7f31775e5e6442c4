#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// The resolution at which picture placements and natural picture sizes are counted.
inline constexpr double kLogicalPixelsPerInch = 96.0;
// Painter units per logical pixel for a painter that works in millimetres.
inline constexpr double kMillimetresPerPixel = 25.4 / kLogicalPixelsPerInch;

// Draws a design's picture into target, given in the painter's units. Stretched, the picture
// fills target without keeping its aspect ratio. Otherwise it keeps its natural size (its pixels
// at the logical resolution, each unitsPerPixel painter units), is centred on whole pixels, and
// whatever lies outside target is cut off. A null picture draws nothing.
void DrawLabelPicture(QPainter& painter, const QImage& picture, const QRectF& target, bool stretch,
                      double unitsPerPixel = 1.0);
