#include "model/LabelOutline.h"

#include "model/LabelPicture.h"
#include "model/SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace {

double Pixels(double millimetres) {
    return millimetres / kMillimetresPerPixel;
}

} // namespace

QRectF LabelOutlineRect(const SheetLayout& sheet) {
    const SheetLayout mm = sheet.WholeMillimetres();
    return QRectF(Pixels(-sheet.printLeft / 10.0), Pixels(-sheet.printTop / 10.0),
                  Pixels(std::max(0, mm.labelWidth)), Pixels(std::max(0, mm.labelHeight)));
}

QRect FittedPictureRect(const QSize& picture, const QRectF& outline) {
    const QPoint corner(static_cast<int>(std::floor(outline.left())),
                        static_cast<int>(std::floor(outline.top())));
    if (picture.isEmpty())
        return QRect(corner, picture);
    const double scale =
        std::min({1.0, outline.width() / picture.width(), outline.height() / picture.height()});
    // Whole pixels, rounded down so that the picture stays inside the label.
    const auto pixels = [scale](int size) {
        return std::max(1, static_cast<int>(std::floor(size * scale + 1e-9)));
    };
    const int width = pixels(picture.width());
    const int height = pixels(picture.height());
    return QRect(corner, QSize(width, height));
}
