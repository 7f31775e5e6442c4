#include "sheets/SheetDiagram.h"

#include "model/SheetLayout.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void Arrow(QPainter& p, QPointF a, QPointF b) {
    p.drawLine(a, b);
    const QLineF line(a, b);
    for (const QPointF& tip : {a, b}) {
        QLineF head(tip, tip == a ? b : a);
        head.setLength(3);
        const QLineF left = QLineF(tip, head.p2()).normalVector();
        QPolygonF tri;
        tri << tip << head.p2() + (left.p2() - tip) * 0.6 << head.p2() - (left.p2() - tip) * 0.6;
        p.drawPolygon(tri);
    }
}

void Letter(QPainter& p, QPointF at, const QString& s) {
    p.drawText(QRectF(at.x() - 6, at.y() - 6, 12, 12), Qt::AlignCenter, s);
}

// The sheet the picture shows, in the picture's pixels.
SheetLayout DiagramSheet() {
    SheetLayout s;
    s.paperWidth = 96;
    s.paperHeight = 120;
    s.leftMargin = 12;
    s.topMargin = 16;
    s.columns = 2;
    s.rows = 2;
    s.labelWidth = 34;
    s.labelHeight = 30;
    s.gapX = 8;
    s.gapY = 8;
    return s;
}

} // namespace

QPixmap SheetDiagram() {
    QPixmap pm(170, 220);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(9);
    p.setFont(font);
    const SheetLayout s = DiagramSheet();
    const QRectF sheet(22, 14, s.paperWidth, s.paperHeight);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(sheet);
    p.setBrush(QColor(255, 245, 210));
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.columns; ++c)
            p.drawRect(QRectF(s.CellRect(c, r)).translated(sheet.topLeft()));
    const double left = sheet.left() + s.leftMargin, top = sheet.top() + s.topMargin,
                 w = s.labelWidth, h = s.labelHeight, gapX = s.gapX, gapY = s.gapY;
    p.setPen(QPen(Qt::blue, 1));
    p.setBrush(Qt::blue);
    Arrow(p, {sheet.left(), 8}, {sheet.right(), 8});
    Letter(p, {sheet.center().x(), 4}, QStringLiteral("W"));
    Arrow(p, {12, sheet.top()}, {12, sheet.bottom()});
    Letter(p, {6, sheet.center().y()}, QStringLiteral("H"));
    Arrow(p, {sheet.left(), top + h + gapY + 22}, {left, top + h + gapY + 22});
    Letter(p, {sheet.left() + 6, top + h + gapY + 15}, QStringLiteral("A"));
    Arrow(p, {left + w + gapX + 22, sheet.top()}, {left + w + gapX + 22, top});
    Letter(p, {left + w + gapX + 28, sheet.top() + 8}, QStringLiteral("D"));
    Arrow(p, {left + w, top + 8}, {left + w + gapX, top + 8});
    Letter(p, {left + w + gapX / 2, top + 2}, QStringLiteral("B"));
    Arrow(p, {left + 8, top + h}, {left + 8, top + h + gapY});
    Letter(p, {left + 15, top + h + gapY / 2}, QStringLiteral("E"));
    Arrow(p, {sheet.right() + 6, top}, {sheet.right() + 6, top + h});
    Letter(p, {sheet.right() + 13, top + h / 2}, QStringLiteral("C"));
    Arrow(p, {left, top + 2 * h + gapY + 6}, {left + w, top + 2 * h + gapY + 6});
    Letter(p, {left + w / 2, top + 2 * h + gapY + 12}, QStringLiteral("F"));
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::red);
    Arrow(p, {left, top + 20}, {left + 8, top + 20});
    Letter(p, {left + 4, top + 14}, QStringLiteral("L"));
    Arrow(p, {left + 20, top}, {left + 20, top + 8});
    Letter(p, {left + 26, top + 4}, QStringLiteral("T"));
    p.setPen(Qt::black);
    const char16_t* legend[] = {u"A 用紙左端からの距離", u"B ラベルの横間隔",   u"C ラベルの高さ",
                                u"D 用紙上端からの距離", u"E ラベルの縦の間隔", u"W 用紙の幅",
                                u"H 用紙の長さ",         u"L,T 印刷開始位置"};
    double y = 146;
    for (const char16_t* line : legend) {
        p.drawText(QPointF(8, y), QString::fromUtf16(line));
        y += 9.5;
    }
    return pm;
}
