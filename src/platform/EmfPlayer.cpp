#include "platform/BitmapFile.h"
#include "platform/ByteReader.h"
#include "platform/Metafile.h"
#include "platform/MetafileDevice.h"
#include "platform/MetafilePlayer.h"

#include <QPainter>
#include <cstring>

namespace MetafilePlayer {
namespace {

using namespace MetafileDevice;

constexpr quint32 kGlyphIndex = 0x10, kNoRect = 0x100, kPdy = 0x2000;
constexpr int kAcSrcAlpha = 1;

// One record's fields; every read is checked against the record's own size.
class Record {
  public:
    Record(const QByteArray& file, qint64 at, qint64 size, BitmapBudget& budget)
        : bytes_(QByteArray::fromRawData(file.constData() + at, size)),
          in_(bytes_, Metafile::InvalidText()), budget_(budget) {}

    const ByteReader& In() const { return in_; }
    quint32 U(qint64 at) const { return in_.U32(at); }
    qint32 I(qint64 at) const { return in_.I32(at); }
    float F(qint64 at) const {
        const quint32 bits = in_.U32(at);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    QPointF Point(qint64 at) const { return QPointF(I(at), I(at + 4)); }
    QSizeF Size(qint64 at) const { return QSizeF(I(at), I(at + 4)); }
    QRectF Rect(qint64 at) const { return QRectF(Point(at), Point(at + 8)); }
    QTransform Xform(qint64 at) const {
        return QTransform(F(at), F(at + 4), F(at + 8), F(at + 12), F(at + 16), F(at + 20));
    }
    // `count` points from `at`, 32-bit or 16-bit.
    QPolygonF Points(qint64 at, qint64 count, bool small) const {
        const qint64 step = small ? 4 : 8;
        in_.Need(at, count * step);
        QPolygonF points;
        points.reserve(count);
        for (qint64 i = 0; i < count; ++i, at += step)
            points.append(small ? QPointF(in_.I16(at), in_.I16(at + 2)) : Point(at));
        return points;
    }
    QPolygonF Poly(bool small) const { return Points(28, U(24), small); }
    QList<QPolygonF> PolyPoly(bool small) const {
        const qint64 count = U(24);
        in_.Need(32, 4 * count);
        QList<QPolygonF> polys;
        qint64 at = 32 + 4 * count;
        for (qint64 i = 0; i < count; ++i) {
            const qint64 n = U(32 + 4 * i);
            polys.append(Points(at, n, small));
            at += n * (small ? 4 : 8);
        }
        return polys;
    }
    // A region's rectangles (RGNDATA) from `at`, as one shape.
    QPainterPath Region(qint64 at) const {
        const qint64 count = U(at + 8);
        in_.Need(at + 32, 16 * count);
        QPainterPath region;
        for (qint64 i = 0; i < count; ++i)
            region.addRect(Rect(at + 32 + 16 * i).normalized());
        return region;
    }
    // The bitmap whose header and bits the record places at the given offsets.
    QImage Dib(qint64 headerAt, qint64 headerSize, qint64 bitsAt, bool alpha) const {
        if (headerSize == 0)
            return QImage();
        in_.Need(headerAt, headerSize);
        BitmapFile::Header h = BitmapFile::ReadHeader(in_, headerAt, headerAt + headerSize);
        if (alpha && h.bits == 32 && h.compression == BitmapFile::Rgb) {
            h.compression = BitmapFile::AlphaBitfields;
            h.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
        }
        bottomUp_ = !h.topDown;
        budget_.Spend(h.width, h.height);
        return BitmapFile::DecodePixels(h, in_, bitsAt, alpha);
    }
    // A source rectangle in a bitmap's rows, which the record counts from the bottom for a
    // bottom-up bitmap.
    QRectF Source(const QImage& image, qint64 at, qint64 sizeAt) const {
        const QSizeF size = sizeAt < 0 ? QSizeF(image.size()) : Size(sizeAt);
        const QPointF p = Point(at);
        const double top = bottomUp_ ? image.height() - p.y() - size.height() : p.y();
        return QRectF(QPointF(p.x(), top), size);
    }

  private:
    QByteArray bytes_;
    ByteReader in_;
    BitmapBudget& budget_;
    mutable bool bottomUp_ = false;
};

Font ReadFont(const Record& r) {
    Font f;
    f.height = r.I(12);
    f.width = r.I(16);
    f.escapement = r.I(20);
    f.weight = r.I(28);
    const ByteReader& in = r.In();
    f.italic = in.U8(32);
    f.underline = in.U8(33);
    f.strikeOut = in.U8(34);
    f.charset = in.U8(35);
    QString face;
    for (qint64 at = 40; at < 104; at += 2) {
        const quint16 c = in.U16(at);
        if (c == 0)
            break;
        face.append(QChar(c));
    }
    f.face = face;
    return f;
}

QPen ReadExtPen(const Record& r) {
    const quint32 style = r.U(28);
    const quint32 count = r.U(48);
    QList<qreal> dashes;
    if ((style & 0xF) == 7) {
        r.In().Need(52, 4 * qint64(count));
        for (quint32 i = 0; i < count && i < 16; ++i)
            dashes.append(r.U(52 + 4 * i));
    }
    if (r.U(36) == 1) // a null brush draws nothing
        return QPen(Qt::NoPen);
    const bool geometric = style & 0x10000;
    return MakePen(style, geometric ? r.I(32) : 0, ColorRef(r.U(40)), dashes);
}

Brush ReadPatternBrush(const Record& r) {
    const QImage pattern = r.Dib(r.U(16), r.U(20), r.U(24), false);
    return Brush{pattern.isNull() ? QBrush(Qt::black) : QBrush(pattern), false};
}

void Text(Device& device, const Record& r, bool wide) {
    const quint32 options = r.U(52);
    const qint64 count = r.U(44);
    if (options & kGlyphIndex)
        return; // glyph numbers of a font this machine does not have
    const qint64 stringAt = r.U(48);
    const qint64 dxAt = r.U(options & kNoRect ? 56 : 72);
    const QRectF rect = options & kNoRect ? QRectF() : r.Rect(56);
    const int perChar = options & kPdy ? 2 : 1;
    const bool hasDx = dxAt != 0 && r.In().Has(dxAt, 4 * perChar * count);
    QList<int> dx;
    if (hasDx)
        for (qint64 i = 0; i < count * perChar; ++i)
            dx.append(r.I(dxAt + 4 * i));
    TextRun run;
    if (wide) {
        r.In().Need(stringAt, 2 * count);
        for (qint64 i = 0; i < count;) {
            const QChar c(r.In().U16(stringAt + 2 * i));
            const qint64 length = c.isHighSurrogate() && i + 1 < count ? 2 : 1;
            QString s(c);
            if (length == 2)
                s.append(QChar(r.In().U16(stringAt + 2 * i + 2)));
            QPointF advance;
            for (qint64 k = i; hasDx && k < i + length; ++k)
                advance += perChar == 2 ? QPointF(dx[2 * k], dx[2 * k + 1]) : QPointF(dx[k], 0);
            run.characters.append(s);
            if (hasDx)
                run.advances.append(advance);
            i += length;
        }
    } else {
        QList<int> advances;
        for (qsizetype i = 0; hasDx && i < count; ++i)
            advances.append(dx[i * perChar]);
        run = DecodeText(r.In().Mid(stringAt, count), device.FontCharset(), advances);
    }
    device.Text(r.Point(36), run, options, rect);
}

void Blt(Device& device, const Record& r, bool stretched) {
    const QRectF dest(r.Point(24), r.Size(32));
    const QImage image = r.Dib(r.U(84), r.U(88), r.U(92), false);
    const QRectF source = image.isNull() ? QRectF() : r.Source(image, 44, stretched ? 100 : -1);
    device.Bitmap(dest, image, stretched ? source : QRectF(source.topLeft(), dest.size()), r.U(40));
}

void AlphaBlend(Device& device, const Record& r) {
    const quint32 blend = r.U(40);
    const bool alpha = (blend >> 24) & kAcSrcAlpha;
    QImage image = r.Dib(r.U(84), r.U(88), r.U(92), alpha);
    if (image.isNull())
        return;
    if (alpha && image.hasAlphaChannel()) // the bits are premultiplied already
        image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    device.Blend(QRectF(r.Point(24), r.Size(32)), image, r.Source(image, 44, 100),
                 (blend >> 16) & 0xFF);
}

void TransparentBlt(Device& device, const Record& r) {
    QImage image = r.Dib(r.U(84), r.U(88), r.U(92), false);
    if (image.isNull())
        return;
    const QColor key = ColorRef(r.U(40));
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == (key.rgb() & 0xFFFFFF))
                row[x] = 0;
    }
    device.Blend(QRectF(r.Point(24), r.Size(32)), image, r.Source(image, 44, 100), 255);
}

void GradientFill(Device& device, const Record& r) {
    const qint64 vertices = r.U(24), count = r.U(28);
    const quint32 mode = r.U(32);
    r.In().Need(36, 16 * vertices);
    auto colour = [&](qint64 i) {
        const qint64 at = 36 + 16 * i;
        return QColor(r.In().U16(at + 8) >> 8, r.In().U16(at + 10) >> 8, r.In().U16(at + 12) >> 8);
    };
    const qint64 items = 36 + 16 * vertices;
    const int corners = mode == 2 ? 3 : 2;
    for (qint64 i = 0; i < count; ++i) {
        QList<qint64> index;
        for (int k = 0; k < corners; ++k) {
            const qint64 v = r.U(items + 4 * (corners * i + k));
            if (v >= vertices)
                r.In().Fail();
            index.append(v);
        }
        if (mode == 2) { // a triangle takes the mean of its corners' colours
            QPolygonF triangle;
            int red = 0, green = 0, blue = 0;
            for (qint64 v : index) {
                triangle.append(r.Point(36 + 16 * v));
                red += colour(v).red(), green += colour(v).green(), blue += colour(v).blue();
            }
            const QColor mean(red / 3, green / 3, blue / 3);
            QPainterPath path;
            path.addPolygon(triangle);
            device.Gradient(path, QLineF(), mean, mean);
        } else {
            const QRectF box(r.Point(36 + 16 * index[0]), r.Point(36 + 16 * index[1]));
            QPainterPath path;
            path.addRect(box.normalized());
            device.Gradient(path,
                            QLineF(box.topLeft(), mode == 1 ? box.bottomLeft() : box.topRight()),
                            colour(index[0]), colour(index[1]));
        }
    }
}

// The shapes made of points, by their 32-bit record types.
void Poly(Device& device, quint32 type, const Record& r, bool small) {
    switch (type) {
    case 2:
        return device.Bezier(r.Poly(small), false);
    case 3:
        return device.Polygons({r.Poly(small)});
    case 4:
        return device.Polyline(r.Poly(small), false);
    case 5:
        return device.Bezier(r.Poly(small), true);
    case 6:
        return device.Polyline(r.Poly(small), true);
    case 7:
        return device.Polylines(r.PolyPoly(small));
    default:
        return device.Polygons(r.PolyPoly(small));
    }
}

void Play(Device& device, quint32 type, const Record& r) {
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        Poly(device, type, r, false);
        break;
    case 9:
        device.SetWindowExt(r.Size(8));
        break;
    case 10:
        device.SetWindowOrg(r.Point(8));
        break;
    case 11:
        device.SetViewportExt(r.Size(8));
        break;
    case 12:
        device.SetViewportOrg(r.Point(8));
        break;
    case 15:
        device.Pixel(r.Point(8), ColorRef(r.U(16)));
        break;
    case 17:
        device.SetMapMode(r.I(8));
        break;
    case 18:
        device.SetBkMode(r.I(8));
        break;
    case 19:
        device.SetPolyFillMode(r.I(8));
        break;
    case 20:
        device.SetRop2(r.I(8));
        break;
    case 21:
        device.SetStretchMode(r.I(8));
        break;
    case 22:
        device.SetTextAlign(r.U(8));
        break;
    case 24:
        device.SetTextColor(ColorRef(r.U(8)));
        break;
    case 25:
        device.SetBkColor(ColorRef(r.U(8)));
        break;
    case 26:
        device.OffsetClip(r.Point(8));
        break;
    case 27:
        device.MoveTo(r.Point(8));
        break;
    case 29:
        device.ExcludeClipRect(r.Rect(8));
        break;
    case 30:
        device.IntersectClipRect(r.Rect(8));
        break;
    case 31:
        device.ScaleViewportExt(r.I(8), r.I(12), r.I(16), r.I(20));
        break;
    case 32:
        device.ScaleWindowExt(r.I(8), r.I(12), r.I(16), r.I(20));
        break;
    case 33:
        device.SaveDc();
        break;
    case 34:
        device.RestoreDc(r.I(8));
        break;
    case 35:
        device.SetWorldTransform(r.Xform(8));
        break;
    case 36:
        device.ModifyWorldTransform(r.Xform(8), r.I(32));
        break;
    case 37:
        device.SelectObject(r.U(8));
        break;
    case 38:
        device.CreateObject(r.U(8), MakePen(r.U(12), r.I(16), ColorRef(r.U(24))));
        break;
    case 39:
        device.CreateObject(r.U(8), MakeBrush(r.U(12), ColorRef(r.U(16)), r.U(20)));
        break;
    case 40:
        device.DeleteObject(r.U(8));
        break;
    case 42:
        device.Ellipse(r.Rect(8));
        break;
    case 43:
        device.Rectangle(r.Rect(8));
        break;
    case 44:
        device.RoundRect(r.Rect(8), r.Size(24));
        break;
    case 45:
        device.ArcShape(ArcKind::Arc, r.Rect(8), r.Point(24), r.Point(32));
        break;
    case 46:
        device.ArcShape(ArcKind::Chord, r.Rect(8), r.Point(24), r.Point(32));
        break;
    case 47:
        device.ArcShape(ArcKind::Pie, r.Rect(8), r.Point(24), r.Point(32));
        break;
    case 49:
        device.CreateObject(r.U(8), std::monostate{});
        break; // a palette
    case 54:
        device.LineTo(r.Point(8));
        break;
    case 57:
        device.SetArcDirection(r.I(8));
        break;
    case 59:
        device.BeginPath();
        break;
    case 60:
        device.EndPath();
        break;
    case 61:
        device.CloseFigure();
        break;
    case 62:
        device.FillPath(true, false);
        break;
    case 63:
        device.FillPath(true, true);
        break;
    case 64:
        device.FillPath(false, true);
        break;
    case 67:
        device.SelectClipPath(ClipMode(std::clamp<qint32>(r.I(8), 1, 5)));
        break;
    case 68:
        device.AbortPath();
        break;
    case 71:
        device.FillShape(r.Region(32), r.U(28));
        break;
    case 72:
        device.FrameShape(r.Region(40), r.U(28), r.Size(32));
        break;
    case 74:
        device.PaintShape(r.Region(28));
        break;
    case 75: {
        const ClipMode mode = ClipMode(std::clamp<qint32>(r.I(12), 1, 5));
        device.SelectClipRegion(r.U(8) == 0 ? std::nullopt : std::optional(r.Region(16)), mode);
        break;
    }
    case 76:
        Blt(device, r, false);
        break;
    case 77:
        Blt(device, r, true);
        break;
    case 80: {
        const QImage image = r.Dib(r.U(48), r.U(52), r.U(56), false);
        if (!image.isNull())
            device.Bitmap(QRectF(r.Point(24), r.Size(40)), image, r.Source(image, 32, 40),
                          0x00CC0020);
        break;
    }
    case 81: {
        const QImage image = r.Dib(r.U(48), r.U(52), r.U(56), false);
        device.Bitmap(QRectF(r.Point(24), r.Size(72)), image,
                      image.isNull() ? QRectF() : r.Source(image, 32, 40), r.U(68));
        break;
    }
    case 82:
        device.CreateObject(r.U(8), ReadFont(r));
        break;
    case 83:
        Text(device, r, false);
        break;
    case 84:
        Text(device, r, true);
        break;
    case 85:
    case 86:
    case 87:
    case 88:
    case 89:
    case 90:
    case 91:
        Poly(device, type - 83, r, true); // as their 32-bit forms, with 16-bit points
        break;
    case 93:
    case 94:
        device.CreateObject(r.U(8), ReadPatternBrush(r));
        break;
    case 95:
        device.CreateObject(r.U(8), ReadExtPen(r));
        break;
    case 114:
        AlphaBlend(device, r);
        break;
    case 116:
        TransparentBlt(device, r);
        break;
    case 118:
        GradientFill(device, r);
        break;
    default:
        break; // records that change nothing a picture shows
    }
}

// Device units onto the picture: the header's frame (hundredths of a millimetre) fills it, or
// its bounds when the frame is empty.
QTransform ToPicture(const ByteReader& in, QSizeF unitsPerMm, QSize size) {
    const double left = in.I32(24) * unitsPerMm.width() / 100;
    const double top = in.I32(28) * unitsPerMm.height() / 100;
    const double width = (double(in.I32(32)) - in.I32(24)) * unitsPerMm.width() / 100;
    const double height = (double(in.I32(36)) - in.I32(28)) * unitsPerMm.height() / 100;
    if (std::abs(width) < 1e-9 || std::abs(height) < 1e-9)
        return QTransform::fromTranslate(-in.I32(8), -in.I32(12));
    return QTransform::fromTranslate(-left, -top) *
           QTransform::fromScale(size.width() / width, size.height() / height);
}

} // namespace

void PlayEmf(const QByteArray& file, QPainter& painter, QSize size) {
    const ByteReader in(file, Metafile::InvalidText());
    const qint32 pixelsX = in.I32(72), pixelsY = in.I32(76), mmX = in.I32(80), mmY = in.I32(84);
    const double screen = 96 / 25.4;
    const QSizeF unitsPerMm(pixelsX > 0 && mmX > 0 ? double(pixelsX) / mmX : screen,
                            pixelsY > 0 && mmY > 0 ? double(pixelsY) / mmY : screen);
    Device device(painter, ToPicture(in, unitsPerMm, size), unitsPerMm, QSizeF(size));
    BitmapBudget budget;
    for (qint64 at = 0; at < file.size();) {
        const quint32 type = in.U32(at);
        const qint64 length = in.U32(at + 4);
        Play(device, type, Record(file, at, length, budget));
        if (type == 14)
            break;
        at += length;
    }
}

} // namespace MetafilePlayer
