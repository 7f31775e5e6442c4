#include "platform/ToolGlyphs.h"

#include <QPainter>
#include <QPixmap>
#include <functional>

namespace ToolGlyphs {
namespace {

QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    paint(p);
    p.end();
    return QIcon(pm);
}

void Sheet(QPainter& p, const QRect& r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
}

} // namespace

QIcon RecCopy() {
    return Draw([](QPainter& p) {
        Sheet(p, QRect(1, 1, 9, 11));
        Sheet(p, QRect(5, 4, 9, 11));
        p.setPen(Qt::darkBlue);
        for (int y = 7; y <= 12; y += 2)
            p.drawLine(7, y, 12, y);
    });
}

QIcon Paper() {
    return Draw([](QPainter& p) {
        Sheet(p, QRect(2, 0, 11, 15));
        p.setPen(Qt::gray);
        p.setBrush(QColor(255, 240, 200));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 2; ++col)
                p.drawRect(4 + col * 5, 2 + row * 4, 3, 2);
    });
}

QIcon Print() {
    return Draw([](QPainter& p) {
        Sheet(p, QRect(4, 0, 7, 5));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(1, 5, 13, 6);
        Sheet(p, QRect(4, 9, 7, 5));
        p.setPen(Qt::green);
        p.drawPoint(12, 7);
    });
}

QIcon Picture() {
    return Draw([](QPainter& p) {
        p.setBrush(QColor(160, 210, 255));
        p.drawRect(1, 2, 13, 11);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 140, 40));
        p.drawPolygon(QPolygon({QPoint(2, 12), QPoint(6, 6), QPoint(10, 12)}));
        p.setBrush(Qt::yellow);
        p.drawEllipse(QPoint(11, 5), 2, 2);
    });
}

} // namespace ToolGlyphs
