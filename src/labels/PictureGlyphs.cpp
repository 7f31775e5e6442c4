#include "labels/PictureGlyphs.h"

#include "platform/ToolGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace PictureGlyphs {
namespace {

using ToolGlyphs::Draw;
using ToolGlyphs::Sheet;

// A small landscape: the mark of a picture.
void Landscape(QPainter& p, const QRect& r) {
    p.setBrush(QColor(160, 210, 255));
    p.drawRect(r);
    p.setBrush(QColor(40, 140, 40));
    p.drawPolygon(QPolygon({r.bottomLeft(), QPoint(r.left() + r.width() / 3, r.top() + 3),
                            QPoint(r.left() + 2 * r.width() / 3, r.bottom())}));
}

// Marked items show their picture sunk into a pale frame, the way a checked item looks.
QIcon WithMarkedLook(const QIcon& icon) {
    QPixmap marked(16, 16);
    marked.fill(QColor(205, 225, 255));
    QPainter painter(&marked);
    painter.setPen(QColor(40, 80, 160));
    painter.drawRect(0, 0, 15, 15);
    painter.drawPixmap(0, 0, icon.pixmap(16, 16));
    painter.end();
    QIcon both = icon;
    both.addPixmap(marked, QIcon::Normal, QIcon::On);
    return both;
}

} // namespace

QIcon FromFile() {
    return Draw([](QPainter& p) {
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(0, 4, 12, 10);
        Landscape(p, QRect(6, 7, 9, 8));
    });
}

QIcon FromExecutable() {
    return Draw([](QPainter& p) {
        Sheet(p, QRect(0, 1, 13, 12));
        p.fillRect(QRect(1, 2, 12, 2), QColor(0, 0, 160));
        p.setBrush(QColor(220, 60, 60));
        p.drawEllipse(QRect(7, 7, 8, 8));
    });
}

QIcon Cut() {
    return Draw([](QPainter& p) {
        p.drawLine(4, 1, 10, 10);
        p.drawLine(11, 1, 5, 10);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(1, 10, 5, 5));
        p.drawEllipse(QRect(9, 10, 5, 5));
    });
}

QIcon Copy() {
    return Draw([](QPainter& p) {
        Sheet(p, QRect(1, 1, 8, 10));
        Landscape(p, QRect(6, 5, 9, 10));
    });
}

QIcon Paste() {
    return Draw([](QPainter& p) {
        p.setBrush(QColor(180, 130, 70));
        p.drawRect(1, 2, 11, 13);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 0, 5, 3);
        Landscape(p, QRect(6, 7, 9, 8));
    });
}

QIcon Show() {
    return WithMarkedLook(Draw([](QPainter& p) {
        QPainterPath eye;
        eye.moveTo(1, 8);
        eye.quadTo(8, 1, 15, 8);
        eye.quadTo(8, 15, 1, 8);
        p.setBrush(Qt::white);
        p.drawPath(eye);
        p.setBrush(QColor(40, 90, 200));
        p.drawEllipse(QPoint(8, 8), 3, 3);
    }));
}

QIcon Stretch() {
    return WithMarkedLook(Draw([](QPainter& p) {
        Landscape(p, QRect(4, 4, 8, 8));
        p.drawLine(0, 0, 4, 4);
        p.drawLine(0, 0, 3, 0);
        p.drawLine(0, 0, 0, 3);
        p.drawLine(15, 15, 12, 12);
        p.drawLine(15, 15, 12, 15);
        p.drawLine(15, 15, 15, 12);
    }));
}

QIcon OpenElsewhere() {
    return Draw([](QPainter& p) {
        Landscape(p, QRect(0, 4, 10, 10));
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(8, 7, 14, 1);
        p.drawLine(10, 1, 14, 1);
        p.drawLine(14, 1, 14, 5);
    });
}

} // namespace PictureGlyphs
