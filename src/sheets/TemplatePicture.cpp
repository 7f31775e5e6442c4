#include "sheets/TemplatePicture.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

void PaintLabel(QPainter& p, const LabelTemplate& t, const QRectF& r) {
    switch (t.shape) {
    case LabelShape::Rectangle:
        p.drawRoundedRect(r, t.round, t.round);
        break;
    case LabelShape::Round:
    case LabelShape::Ellipse:
        p.drawEllipse(r);
        break;
    case LabelShape::Cd: {
        QPainterPath disc;
        disc.addEllipse(r);
        const double hole = std::min(t.hole, t.width);
        disc.addEllipse(r.center(), hole / 2, hole / 2);
        p.drawPath(disc); // the odd-even fill leaves the hole open
        break;
    }
    }
}

} // namespace

QPixmap TemplatePicture(const LabelTemplate& t, QSize size, bool convertible) {
    QPixmap pm(size);
    pm.fill(Qt::white);
    if (t.paperWidth <= 0 || t.paperHeight <= 0)
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double margin = 6;
    const double scale = std::min((size.width() - 2 * margin) / t.paperWidth,
                                  (size.height() - 2 * margin) / t.paperHeight);
    p.translate((size.width() - t.paperWidth * scale) / 2,
                (size.height() - t.paperHeight * scale) / 2);
    p.scale(scale, scale);
    // Everything below is in millimetres on the paper.
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(0, 0, t.paperWidth, t.paperHeight));
    p.setPen(QPen(convertible ? QColor(0, 0, 160) : QColor(128, 128, 128), 0));
    p.setBrush(convertible ? QColor(255, 245, 210) : QColor(225, 225, 225));
    // A broken layout must not keep the window busy drawing: the first thousand labels do.
    int budget = 1000;
    for (const TemplateLayout& l : t.layouts)
        for (int i = 0; i < l.nx && budget > 0; ++i)
            for (int j = 0; j < l.ny && budget > 0; ++j, --budget)
                PaintLabel(p, t, QRectF(l.x0 + i * l.dx, l.y0 + j * l.dy, t.width, t.height));
    return pm;
}
