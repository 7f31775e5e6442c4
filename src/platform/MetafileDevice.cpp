#include "platform/MetafileDevice.h"

#include "platform/Error.h"
#include "platform/PictureSize.h"
#include "platform/SjisCodec.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <utility>

namespace MetafileDevice {
namespace {

constexpr quint32 kStock = 0x80000000;
constexpr size_t kMostSavedStates = 4096;
constexpr double kDefaultFontPixels = 12;

constexpr quint32 kOpaque = 0x2, kClipped = 0x4;
constexpr quint32 kUpdateCp = 1, kHorizontal = 6, kRight = 2, kCenter = 6;
constexpr quint32 kVertical = 24, kBottom = 8, kBaseline = 24;

Object StockObject(quint32 index) {
    switch (index) {
    case 0:
        return Brush{QBrush(Qt::white), false};
    case 1:
        return Brush{QBrush(QColor(192, 192, 192)), false};
    case 2:
        return Brush{QBrush(QColor(128, 128, 128)), false};
    case 3:
        return Brush{QBrush(QColor(64, 64, 64)), false};
    case 4:
        return Brush{QBrush(Qt::black), false};
    case 5:
        return Brush{QBrush(Qt::NoBrush), false};
    case 6:
        return QPen(QColor(Qt::white), 0);
    case 7:
        return QPen(QColor(Qt::black), 0);
    case 8:
        return QPen(Qt::NoPen);
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17:
        return Font{};
    default:
        return std::monostate{};
    }
}

QPainter::CompositionMode Rop2Mode(int rop) {
    switch (rop) {
    case 6:
        return QPainter::RasterOp_NotDestination;
    case 7:
        return QPainter::RasterOp_SourceXorDestination;
    case 9:
        return QPainter::RasterOp_SourceAndDestination;
    case 15:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

Blit BlitOf(quint32 rop) {
    switch (rop) {
    case 0x008800C6:
        return Blit::And;
    case 0x00EE0086:
        return Blit::Or;
    case 0x00660046:
        return Blit::Xor;
    case 0x00440328:
        return Blit::Erase;
    case 0x00330008:
        return Blit::NotCopy;
    case 0x001100A6:
        return Blit::NotErase;
    case 0x00BB0226:
        return Blit::MergePaint;
    case 0x00AA0029:
        return Blit::Nothing;
    case 0x00550009:
        return Blit::Invert;
    case 0x00000042:
        return Blit::Black;
    case 0x00FF0062:
        return Blit::White;
    case 0x00F00021:
        return Blit::Pattern;
    case 0x005A0049:
        return Blit::PatternXor;
    default:
        return Blit::Copy;
    }
}

bool Finite(const QTransform& t) {
    for (qreal v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v))
            return false;
    return true;
}

const char* CodePage(int charset) {
    switch (charset) {
    case 128:
        return "CP932";
    case 129:
        return "CP949";
    case 130:
        return "JOHAB";
    case 134:
        return "CP936";
    case 136:
        return "CP950";
    case 161:
        return "CP1253";
    case 162:
        return "CP1254";
    case 163:
        return "CP1258";
    case 177:
        return "CP1255";
    case 178:
        return "CP1256";
    case 186:
        return "CP1257";
    case 204:
        return "CP1251";
    case 222:
        return "CP874";
    case 238:
        return "CP1250";
    case 77:
        return "MACINTOSH";
    case 2:
    case 255:
        return nullptr; // symbol and OEM fonts: the bytes are the characters
    default:
        return "CP1252";
    }
}

bool LeadByte(int charset, uchar b) {
    if (charset == 128)
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (charset == 129 || charset == 130 || charset == 134 || charset == 136)
        return b >= 0x81 && b <= 0xFE;
    return false;
}

QString DecodeBytes(const QByteArray& bytes, int charset) {
    QString text;
    const char* page = CodePage(charset);
    if (!page || !Sjis::DecodeWith(page, bytes, &text))
        text = QString::fromLatin1(bytes);
    return text;
}

QPainterPath Closed(const QList<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.isEmpty())
            continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

QPainterPath Open(const QPolygonF& line) {
    QPainterPath path;
    if (!line.isEmpty())
        path.addPolygon(line);
    return path;
}

} // namespace

QPen MakePen(quint32 style, double width, QColor color, const QList<qreal>& userDashes) {
    const quint32 kind = style & 0xF;
    if (kind == 5)
        return QPen(Qt::NoPen);
    QPen pen(color, std::abs(width));
    const quint32 cap = style & 0xF00, join = style & 0xF000;
    pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                     : join == 0x2000 ? Qt::MiterJoin
                                      : Qt::RoundJoin);
    static const Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                           Qt::DashDotLine, Qt::DashDotDotLine};
    if (kind < 5)
        pen.setStyle(kDashes[kind]);
    if (kind == 7 && !userDashes.isEmpty()) {
        // Qt counts dashes in pen widths; each is kept long enough that a line cannot turn
        // into millions of them.
        const double unit = std::max(1.0, std::abs(width));
        QList<qreal> dashes;
        for (qreal d : userDashes.mid(0, 16))
            dashes.append(std::clamp(d / unit, 1.0, 1000.0));
        if (dashes.size() % 2)
            dashes += dashes;
        pen.setDashPattern(dashes);
    }
    return pen;
}

Brush MakeBrush(quint32 style, QColor color, quint32 hatch) {
    if (style == 1)
        return Brush{QBrush(Qt::NoBrush), false};
    if (style != 2 || hatch > 5)
        return Brush{QBrush(color), false};
    static const Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                              Qt::FDiagPattern, Qt::BDiagPattern,
                                              Qt::CrossPattern, Qt::DiagCrossPattern};
    return Brush{QBrush(color, kHatches[hatch]), true};
}

TextRun DecodeText(const QByteArray& bytes, int charset, const QList<int>& byteAdvances) {
    TextRun run;
    if (byteAdvances.size() < bytes.size()) {
        run.characters.append(DecodeBytes(bytes, charset));
        return run;
    }
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length =
            LeadByte(charset, static_cast<uchar>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        int advance = 0;
        for (qsizetype k = i; k < i + length; ++k)
            advance += byteAdvances[k];
        run.characters.append(DecodeBytes(bytes.mid(i, length), charset));
        run.advances.append(QPointF(advance, 0));
        i += length;
    }
    return run;
}

void BitmapBudget::Spend(qint64 width, qint64 height) {
    PictureSize::Check(width, height);
    spent_ += 4 * width * height;
    if (spent_ > 4 * PictureSize::kMaxBytes)
        throw EError(PictureSize::TooLargeText());
}

Device::Device(QPainter& painter, const QTransform& toPicture, QSizeF unitsPerMm,
               QSizeF pictureSize)
    : painter_(painter), toPicture_(toPicture), unitsPerMm_(unitsPerMm),
      picture_(QPointF(0, 0), pictureSize) {
    painter_.save();
    painter_.setClipRect(picture_);
}

Device::~Device() {
    FlushMask();
    painter_.restore();
}

void Device::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0)
        dc_.windowExt =
            QSizeF(dc_.windowExt.width() * xNum / xDenom, dc_.windowExt.height() * yNum / yDenom);
}

void Device::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0)
        dc_.viewportExt = QSizeF(dc_.viewportExt.width() * xNum / xDenom,
                                 dc_.viewportExt.height() * yNum / yDenom);
}

void Device::ModifyWorldTransform(const QTransform& t, int mode) {
    if (mode == 1)
        dc_.world = QTransform();
    else if (mode == 2)
        dc_.world = t * dc_.world;
    else if (mode == 3)
        dc_.world = dc_.world * t;
    else if (mode == 4)
        dc_.world = t;
}

void Device::SaveDc() {
    if (saved_.size() < kMostSavedStates)
        saved_.push_back(dc_);
}

void Device::RestoreDc(int which) {
    FlushMask();
    const qint64 count = static_cast<qint64>(saved_.size());
    const qint64 keep = which < 0 ? count + which : qint64(which) - 1;
    if (keep < 0 || keep >= count)
        return;
    dc_ = saved_[static_cast<size_t>(keep)];
    saved_.resize(static_cast<size_t>(keep));
    ApplyClip();
}

void Device::CreateObject(quint32 index, Object object) {
    objects_[index] = std::move(object);
    if (index == freeHint_)
        while (objects_.count(freeHint_))
            ++freeHint_;
}

void Device::DeleteObject(quint32 index) {
    if (objects_.erase(index))
        freeHint_ = std::min(freeHint_, index);
}

const Object* Device::Find(quint32 index) const {
    if (index & kStock) {
        static const std::vector<Object> stock = [] {
            std::vector<Object> all;
            for (quint32 i = 0; i < 20; ++i)
                all.push_back(StockObject(i));
            return all;
        }();
        const quint32 i = index & ~kStock;
        return i < stock.size() ? &stock[i] : nullptr;
    }
    const auto found = objects_.find(index);
    return found == objects_.end() ? nullptr : &found->second;
}

void Device::SelectObject(quint32 index) {
    if (const Object* object = Find(index))
        Select(*object);
}

void Device::Select(const Object& object) {
    if (const auto* pen = std::get_if<QPen>(&object))
        dc_.pen = *pen;
    else if (const auto* brush = std::get_if<Brush>(&object))
        dc_.brush = *brush;
    else if (const auto* font = std::get_if<Font>(&object))
        dc_.font = *font;
    else if (const auto* region = std::get_if<QPainterPath>(&object))
        Combine(Full().map(*region), ClipMode::Copy);
}

QTransform Device::Page() const {
    double sx = 1, sy = 1;
    static const double kMmPerUnit[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
    if (dc_.mapMode >= 2 && dc_.mapMode <= 6) {
        const double mm = kMmPerUnit[dc_.mapMode - 2];
        sx = unitsPerMm_.width() * mm;
        sy = -unitsPerMm_.height() * mm;
    } else if ((dc_.mapMode == 7 || dc_.mapMode == 8) && dc_.windowExt.width() != 0 &&
               dc_.windowExt.height() != 0) {
        sx = dc_.viewportExt.width() / dc_.windowExt.width();
        sy = dc_.viewportExt.height() / dc_.windowExt.height();
        if (dc_.mapMode == 7) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    return QTransform(sx, 0, 0, sy, dc_.viewportOrg.x() - dc_.windowOrg.x() * sx,
                      dc_.viewportOrg.y() - dc_.windowOrg.y() * sy);
}

QTransform Device::Full() const {
    return dc_.world * Page() * toPicture_;
}

bool Device::Drawable(const QTransform& t) const {
    return dc_.rop2 != 11 && Finite(t) && t.isInvertible();
}

void Device::Draw(const QPainterPath& shape, bool fill, bool stroke) {
    FlushMask();
    if (inPath_) {
        path_.addPath(shape);
        return;
    }
    const QTransform t = Full();
    if (!Drawable(t))
        return;
    painter_.setTransform(t);
    painter_.setCompositionMode(Rop2Mode(dc_.rop2));
    QPainterPath filled = shape;
    filled.setFillRule(dc_.fill);
    if (fill && dc_.brush.brush.style() != Qt::NoBrush) {
        if (dc_.brush.hatched && dc_.bkOpaque)
            painter_.fillPath(filled, dc_.bkColor);
        painter_.fillPath(filled, dc_.brush.brush);
    }
    if (stroke && dc_.pen.style() != Qt::NoPen)
        painter_.strokePath(shape, dc_.pen);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Device::MoveTo(QPointF p) {
    dc_.current = p;
    if (inPath_)
        path_.moveTo(p);
}

void Device::LineTo(QPointF p) {
    Polyline(QPolygonF{p}, true);
}

void Device::Polyline(const QPolygonF& points, bool fromCurrent) {
    if (points.isEmpty())
        return;
    if (inPath_) {
        if (!fromCurrent || path_.elementCount() == 0)
            path_.moveTo(fromCurrent ? dc_.current : points.first());
        for (qsizetype i = fromCurrent ? 0 : 1; i < points.size(); ++i)
            path_.lineTo(points[i]);
    } else {
        QPolygonF line = points;
        if (fromCurrent)
            line.prepend(dc_.current);
        Draw(Open(line), false, true);
    }
    if (fromCurrent)
        dc_.current = points.last();
}

void Device::Polygons(const QList<QPolygonF>& polygons) {
    Draw(Closed(polygons), true, true);
}

void Device::Polylines(const QList<QPolygonF>& lines) {
    QPainterPath path;
    for (const QPolygonF& line : lines)
        path.addPath(Open(line));
    Draw(path, false, true);
}

void Device::Bezier(const QPolygonF& points, bool fromCurrent) {
    if (points.isEmpty())
        return;
    const bool continuing = inPath_ && fromCurrent && path_.elementCount() > 0;
    QPainterPath curve;
    QPainterPath& into = continuing ? path_ : curve;
    qsizetype i = 0;
    if (!continuing)
        into.moveTo(fromCurrent ? dc_.current : points[i++]);
    for (; i + 2 < points.size(); i += 3)
        into.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent)
        dc_.current = into.currentPosition();
    if (!continuing)
        Draw(curve, false, true);
}

void Device::Rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    Draw(path, true, true);
}

void Device::RoundRect(const QRectF& box, QSizeF corner) {
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2,
                        std::abs(corner.height()) / 2);
    Draw(path, true, true);
}

void Device::Ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    Draw(path, true, true);
}

void Device::ArcShape(ArcKind kind, const QRectF& rect, QPointF start, QPointF end) {
    const QRectF box = rect.normalized();
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    if (rx <= 0 || ry <= 0)
        return;
    auto angleOf = [&](QPointF p) {
        return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx));
    };
    const double from = angleOf(start);
    double sweep = angleOf(end) - from;
    if (dc_.clockwise)
        sweep = sweep >= 0 ? sweep - 360 : sweep;
    else
        sweep = sweep <= 0 ? sweep + 360 : sweep;
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(c);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    if (kind != ArcKind::Arc)
        path.closeSubpath();
    Draw(path, kind != ArcKind::Arc, true);
}

void Device::Pixel(QPointF p, QColor c) {
    FlushMask();
    const QTransform t = Full();
    if (inPath_ || !Drawable(t))
        return;
    const QPointF at = t.map(p);
    painter_.resetTransform();
    painter_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), c);
}

void Device::FillShape(const QPainterPath& shape, quint32 brushIndex) {
    const Brush kept = dc_.brush;
    const Object* object = Find(brushIndex);
    if (const auto* brush = object ? std::get_if<Brush>(object) : nullptr)
        dc_.brush = *brush;
    Draw(shape, true, false);
    dc_.brush = kept;
}

void Device::PaintShape(const QPainterPath& shape) {
    Draw(shape, true, false);
}

void Device::FrameShape(const QPainterPath& shape, quint32 brushIndex, QSizeF width) {
    const Object* object = Find(brushIndex);
    const auto* brush = object ? std::get_if<Brush>(object) : nullptr;
    if (!brush || brush->brush.style() == Qt::NoBrush)
        return;
    const QPen kept = dc_.pen;
    dc_.pen = QPen(brush->brush.color(), std::max(width.width(), width.height()));
    Draw(shape, false, true);
    dc_.pen = kept;
}

void Device::Gradient(const QPainterPath& shape, const QLineF& axis, QColor from, QColor to) {
    QLinearGradient gradient(axis.p1(), axis.p2());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    const Brush kept = dc_.brush;
    dc_.brush = Brush{QBrush(gradient), false};
    Draw(shape, true, false);
    dc_.brush = kept;
}

void Device::Text(QPointF reference, const TextRun& run, quint32 options, const QRectF& rect) {
    FlushMask();
    const QTransform t = Full();
    if (inPath_ || !Drawable(t))
        return;
    painter_.save();
    painter_.setTransform(t);
    if (options & kOpaque)
        painter_.fillRect(rect.normalized(), dc_.bkColor);
    if (options & kClipped)
        painter_.setClipRect(rect.normalized(), Qt::IntersectClip);
    DrawText(t, (dc_.textAlign & kUpdateCp) ? dc_.current : reference, run);
    painter_.restore();
}

void Device::DrawText(const QTransform& t, QPointF reference, const TextRun& run) {
    const QLineF xAxis(t.map(QPointF(0, 0)), t.map(QPointF(1, 0)));
    const QLineF yAxis(t.map(QPointF(0, 0)), t.map(QPointF(0, 1)));
    const double xScale = xAxis.length(), yScale = yAxis.length();
    const Font& f = dc_.font;
    double pixels = f.height == 0 ? kDefaultFontPixels : std::abs(f.height) * yScale;
    // A glyph larger than the picture several times over shows nothing of itself.
    const double largest = 4 * std::max(picture_.width(), picture_.height());
    if (!(pixels >= 0.5) || pixels > largest)
        return;
    QFont font(f.face);
    font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    const double dpi = painter_.device()->logicalDpiY();
    font.setPointSizeF(pixels * 72 / dpi);
    if (f.height > 0) { // the cell height: the character is that less the internal leading
        const QFontMetricsF cell(font, painter_.device());
        font.setPointSizeF(pixels * pixels / (cell.ascent() + cell.descent()) * 72 / dpi);
    }
    QFontMetricsF metrics(font, painter_.device());
    if (f.width != 0 && metrics.averageCharWidth() > 0) {
        const double stretch = std::abs(f.width) * xScale / metrics.averageCharWidth();
        font.setStretch(qRound(std::clamp(stretch * 100, 1.0, 4000.0)));
        metrics = QFontMetricsF(font, painter_.device());
    }

    const double extra = dc_.charExtra * xScale;
    const double ySign = t.m22() < 0 ? -1 : 1;
    QList<QPointF> at;
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < run.characters.size(); ++i) {
        at.append(pen);
        if (i < run.advances.size())
            pen += QPointF(run.advances[i].x() * xScale, run.advances[i].y() * yScale * ySign);
        else
            pen.rx() += metrics.horizontalAdvance(run.characters[i]);
        pen.rx() += extra;
    }
    const double width = pen.x();
    const quint32 horizontal = dc_.textAlign & kHorizontal;
    const double x0 = horizontal == kRight ? -width : horizontal == kCenter ? -width / 2 : 0;
    const quint32 vertical = dc_.textAlign & kVertical;
    const double y0 = vertical == kBaseline ? 0
                      : vertical == kBottom ? -metrics.descent()
                                            : metrics.ascent();

    double angle = xAxis.angle();
    if (xAxis.dx() < 0) // a mirrored page does not mirror its text
        angle -= 180;
    const QPointF origin = t.map(reference);
    painter_.setTransform(
        QTransform().translate(origin.x(), origin.y()).rotate(-angle - f.escapement / 10.0));
    if (dc_.bkOpaque)
        painter_.fillRect(QRectF(x0, y0 - metrics.ascent(), width, metrics.height()), dc_.bkColor);
    painter_.setFont(font);
    painter_.setPen(dc_.textColor);
    for (qsizetype i = 0; i < run.characters.size(); ++i)
        painter_.drawText(QPointF(x0, y0) + at[i], run.characters[i]);
    if (dc_.textAlign & kUpdateCp)
        dc_.current =
            reference + QPointF(width / std::max(xScale, 1e-9) * (xAxis.dx() < 0 ? -1 : 1), 0);
}

// Transparency as office programs write it: the alpha in grey ORed onto the background,
// then the colours (white where transparent) ANDed. Drawn as the blend it stands for, so that
// partly transparent pixels come out partly transparent.
void Device::Bitmap(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop) {
    const Blit blit = BlitOf(rop);
    const std::optional<PendingMask> mask = std::exchange(mask_, std::nullopt);
    if (mask && blit == Blit::And && dest == mask->dest && source == mask->source &&
        image.size() == mask->image.size()) {
        QImage blended = image.convertToFormat(QImage::Format_ARGB32);
        const QImage grey = mask->image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < blended.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(blended.scanLine(y));
            const QRgb* alpha = reinterpret_cast<const QRgb*>(grey.constScanLine(y));
            for (int x = 0; x < blended.width(); ++x)
                row[x] = (row[x] & 0xFFFFFF) | (quint32(qGray(alpha[x])) << 24);
        }
        DrawImage(mask->t, dest, blended, source, 255);
        return;
    }
    if (mask)
        RasterOp(mask->t, mask->dest, mask->image, mask->source, Blit::Or);
    if (blit == Blit::Or && !image.isNull())
        mask_ = PendingMask{Full(), dest, image, source};
    else
        RasterOp(Full(), dest, image, source, blit);
}

void Device::FlushMask() {
    if (const std::optional<PendingMask> mask = std::exchange(mask_, std::nullopt))
        RasterOp(mask->t, mask->dest, mask->image, mask->source, Blit::Or);
}

void Device::RasterOp(const QTransform& t, const QRectF& dest, const QImage& image,
                      const QRectF& source, Blit blit) {
    if (inPath_ || !Finite(t) || !t.isInvertible() || blit == Blit::Nothing)
        return;
    painter_.setTransform(t);
    static const std::map<Blit, QPainter::CompositionMode> kModes = {
        {Blit::And, QPainter::RasterOp_SourceAndDestination},
        {Blit::Or, QPainter::RasterOp_SourceOrDestination},
        {Blit::MergePaint, QPainter::RasterOp_SourceOrDestination},
        {Blit::Xor, QPainter::RasterOp_SourceXorDestination},
        {Blit::PatternXor, QPainter::RasterOp_SourceXorDestination},
        {Blit::Erase, QPainter::RasterOp_SourceAndNotDestination},
        {Blit::NotErase, QPainter::RasterOp_NotSourceAndNotDestination},
        {Blit::Invert, QPainter::RasterOp_NotDestination}};
    const auto mode = kModes.find(blit);
    painter_.setCompositionMode(mode == kModes.end() ? QPainter::CompositionMode_SourceOver
                                                     : mode->second);
    const QRectF box = dest.normalized();
    if (blit == Blit::Black || blit == Blit::White)
        painter_.fillRect(box, blit == Blit::Black ? Qt::black : Qt::white);
    else if (blit == Blit::Pattern || blit == Blit::PatternXor || blit == Blit::Invert)
        painter_.fillRect(box, blit == Blit::Invert ? QBrush(Qt::black) : dc_.brush.brush);
    else if (!image.isNull()) {
        QImage drawn = image;
        if (blit == Blit::NotCopy || blit == Blit::MergePaint)
            drawn.invertPixels();
        DrawImage(t, dest, drawn, source, 255);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Device::Blend(const QRectF& dest, const QImage& image, const QRectF& source,
                   int constantAlpha) {
    FlushMask();
    DrawImage(Full(), dest, image, source, constantAlpha);
}

void Device::DrawImage(const QTransform& t, const QRectF& dest, const QImage& image,
                       const QRectF& source, int constantAlpha) {
    if (inPath_ || !Finite(t) || image.isNull() || source.width() == 0 || source.height() == 0)
        return;
    // The source rectangle is stretched onto the destination, mirrored when their signs differ.
    const QTransform fit =
        QTransform::fromTranslate(-source.x(), -source.y()) *
        QTransform::fromScale(dest.width() / source.width(), dest.height() / source.height()) *
        QTransform::fromTranslate(dest.x(), dest.y());
    const QTransform all = fit * t;
    if (!Finite(all) || !all.isInvertible())
        return;
    painter_.setTransform(all);
    painter_.setOpacity(std::clamp(constantAlpha, 0, 255) / 255.0);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, dc_.stretchMode == 4);
    painter_.drawImage(source, image, source);
    painter_.setOpacity(1);
}

void Device::BeginPath() {
    inPath_ = true;
    path_ = QPainterPath();
}

void Device::AbortPath() {
    inPath_ = false;
    path_ = QPainterPath();
}

void Device::CloseFigure() {
    if (inPath_)
        path_.closeSubpath();
}

void Device::FillPath(bool fill, bool stroke) {
    inPath_ = false;
    const QPainterPath path = path_;
    path_ = QPainterPath();
    Draw(path, fill, stroke);
}

void Device::SelectClipPath(ClipMode mode) {
    inPath_ = false;
    const QTransform t = Full();
    if (Finite(t))
        Combine(t.map(path_), mode);
    path_ = QPainterPath();
}

void Device::IntersectClipRect(const QRectF& rect) {
    QPainterPath path;
    path.addRect(rect.normalized());
    if (Finite(Full()))
        Combine(Full().map(path), ClipMode::And);
}

void Device::ExcludeClipRect(const QRectF& rect) {
    QPainterPath path;
    path.addRect(rect.normalized());
    if (Finite(Full()))
        Combine(Full().map(path), ClipMode::Diff);
}

void Device::SelectClipRegion(const std::optional<QPainterPath>& deviceRegion, ClipMode mode) {
    if (!deviceRegion) {
        if (mode == ClipMode::Copy) {
            dc_.clip.reset();
            ApplyClip();
        }
        return;
    }
    Combine(toPicture_.map(*deviceRegion), mode);
}

void Device::SelectClipObject(quint32 index) {
    const Object* object = Find(index);
    if (object && std::holds_alternative<QPainterPath>(*object))
        Select(*object);
    else
        SelectClipRegion(std::nullopt, ClipMode::Copy);
}

void Device::OffsetClip(QPointF logical) {
    if (!dc_.clip)
        return;
    const QTransform t = Full();
    const QPointF by = t.map(logical) - t.map(QPointF(0, 0));
    if (std::isfinite(by.x()) && std::isfinite(by.y()))
        dc_.clip->translate(by);
    ApplyClip();
}

void Device::Combine(const QPainterPath& shape, ClipMode mode) {
    FlushMask();
    QPainterPath whole;
    whole.addRect(picture_);
    const QPainterPath current = dc_.clip ? *dc_.clip : whole;
    switch (mode) {
    case ClipMode::And:
        dc_.clip = current.intersected(shape);
        break;
    case ClipMode::Or:
        dc_.clip = current.united(shape);
        break;
    case ClipMode::Xor:
        dc_.clip = current.united(shape).subtracted(current.intersected(shape));
        break;
    case ClipMode::Diff:
        dc_.clip = current.subtracted(shape);
        break;
    case ClipMode::Copy:
        dc_.clip = shape;
        break;
    }
    ApplyClip();
}

void Device::ApplyClip() {
    QPainterPath whole;
    whole.addRect(picture_);
    painter_.resetTransform();
    painter_.setClipPath(dc_.clip ? *dc_.clip : whole);
}

} // namespace MetafileDevice
