#include "controls/NaviGlyphs.h"

#include <QPainter>
#include <QPolygon>
#include <functional>

namespace NaviGlyphs {
namespace {

const QColor kTransparent(255, 0, 255);

using Shape = std::function<void(QPainter&, const QColor&)>;

// Draws a shape twice: in its colour, then greyed for the disabled frame.
QImage TwoFrames(int frameWidth, int height, const Shape& shape, const QColor& colour) {
    QImage img(frameWidth * 2, height, QImage::Format_RGB32);
    img.fill(kTransparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    shape(p, colour);
    p.translate(frameWidth, 0);
    shape(p, QColor(128, 128, 128));
    return img;
}

void Fill(QPainter& p, const QColor& c, const QPolygon& poly) {
    p.setPen(c);
    p.setBrush(c);
    p.drawPolygon(poly);
}

void Bar(QPainter& p, const QColor& c, const QRect& r) {
    p.fillRect(r, c);
}

// Triangles and bars for the moving buttons, sized for a frame of width w and height h.
Shape Move(int button, int h) {
    const int mid = h / 2;
    return [button, h, mid](QPainter& p, const QColor& c) {
        switch (button) {
        case 0: // first: bar and left triangle
            Bar(p, c, QRect(2, 2, 2, h - 4));
            Fill(p, c, QPolygon({QPoint(10, 2), QPoint(5, mid), QPoint(10, h - 3)}));
            break;
        case 1: // prior
            Fill(p, c, QPolygon({QPoint(7, 2), QPoint(2, mid), QPoint(7, h - 3)}));
            break;
        case 2: // next
            Fill(p, c, QPolygon({QPoint(2, 2), QPoint(7, mid), QPoint(2, h - 3)}));
            break;
        default: // last: right triangle and bar
            Fill(p, c, QPolygon({QPoint(3, 2), QPoint(8, mid), QPoint(3, h - 3)}));
            Bar(p, c, QRect(10, 2, 2, h - 4));
            break;
        }
    };
}

// Insert, delete, edit, post, cancel and refresh, drawn into a square of side s.
Shape Edit(int button, int s) {
    return [button, s](QPainter& p, const QColor& c) {
        const int m = s / 2;
        p.setPen(QPen(c, 2));
        switch (button) {
        case 4: // insert: plus
            Bar(p, c, QRect(m - 1, 2, 2, s - 4));
            Bar(p, c, QRect(2, m - 1, s - 4, 2));
            break;
        case 5: // delete: minus
            Bar(p, c, QRect(2, m - 1, s - 4, 2));
            break;
        case 6: // edit: pencil
            p.drawLine(3, s - 3, s - 3, 3);
            Bar(p, c, QRect(2, s - 3, 3, 2));
            break;
        case 7: // post: check mark
            p.drawPolyline(QPolygon({QPoint(2, m), QPoint(m - 1, s - 3), QPoint(s - 2, 2)}));
            break;
        case 8: // cancel: cross
            p.drawLine(3, 3, s - 4, s - 4);
            p.drawLine(3, s - 4, s - 4, 3);
            break;
        default: // refresh: open circle with an arrow head
            p.drawArc(QRect(2, 2, s - 5, s - 5), 60 * 16, 300 * 16);
            Fill(p, c, QPolygon({QPoint(s - 3, 1), QPoint(s - 3, 6), QPoint(s - 7, 3)}));
            break;
        }
    };
}

QColor EditColour(int button) {
    switch (button) {
    case 5:
    case 8:
        return QColor(192, 0, 0);
    case 7:
        return QColor(0, 128, 0);
    default:
        return QColor(0, 0, 128);
    }
}

} // namespace

QImage Own(int button) {
    if (button < 0 || button > 9)
        return {};
    if (button <= 3) {
        const int w = button == 1 || button == 2 ? 10 : 14;
        return TwoFrames(w, 13, Move(button, 13), Qt::black);
    }
    return TwoFrames(14, 13, Edit(button, 13), EditColour(button));
}

QImage Shared(int button) {
    if (button < 4 || button > 8)
        return {};
    return TwoFrames(16, 16, Edit(button, 16), EditColour(button));
}

int FrameCount(const QImage& glyph) {
    if (glyph.isNull() || glyph.height() <= 0)
        return 1;
    if (glyph.width() % glyph.height() != 0)
        return 2;
    const int count = glyph.width() / glyph.height();
    return count > 4 || count < 1 ? 1 : count;
}

QImage Frame(const QImage& glyph, int frame) {
    if (glyph.isNull())
        return {};
    const int count = FrameCount(glyph);
    const int w = glyph.width() / count;
    frame = std::clamp(frame, 0, count - 1);
    QImage part =
        glyph.copy(frame * w, 0, w, glyph.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph.pixel(0, glyph.height() - 1) | 0xFF000000u;
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return part;
}

} // namespace NaviGlyphs
