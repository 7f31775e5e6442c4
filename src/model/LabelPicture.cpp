#include "model/LabelPicture.h"

#include <QPainter>
#include <cmath>

namespace {

// Half the room left over, in whole pixels (toward zero, so a larger picture is cut evenly).
double CentredOffset(double room, int pictureSize, double unitsPerPixel) {
    const double pixels = std::trunc((room / unitsPerPixel - pictureSize) / 2);
    return pixels * unitsPerPixel;
}

} // namespace

void DrawLabelPicture(QPainter& painter, const QImage& picture, const QRectF& target, bool stretch,
                      double unitsPerPixel) {
    if (picture.isNull() || target.isEmpty() || unitsPerPixel <= 0)
        return;
    painter.save();
    // Logos and codes must keep their exact pixels: a PDF writer would otherwise store JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    if (stretch) {
        painter.drawImage(target, picture);
    } else {
        const QRectF natural(
            target.left() + CentredOffset(target.width(), picture.width(), unitsPerPixel),
            target.top() + CentredOffset(target.height(), picture.height(), unitsPerPixel),
            picture.width() * unitsPerPixel, picture.height() * unitsPerPixel);
        painter.setClipRect(target, Qt::IntersectClip);
        painter.drawImage(natural, picture);
    }
    painter.restore();
}
