#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>

struct SheetLayout;

// The label as the editor shows it, in logical pixels from the text's origin. Printing puts the
// text at the sheet's print corrections inside a cell of whole millimetres, so the label begins
// that far up and to the left of the text.
QRectF LabelOutlineRect(const SheetLayout& sheet);

// Where a newly loaded picture goes: at the label's top-left corner, at its own size, or scaled
// down keeping its proportions when it would not fit inside the label.
QRect FittedPictureRect(const QSize& picture, const QRectF& outline);
