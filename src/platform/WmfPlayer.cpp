#include "platform/BitmapFile.h"
#include "platform/ByteReader.h"
#include "platform/Metafile.h"
#include "platform/MetafileDevice.h"
#include "platform/MetafilePlayer.h"

#include <QPainter>

namespace MetafilePlayer {
namespace {

using namespace MetafileDevice;

constexpr int kWmfHeaderSize = 18;
constexpr quint16 kOpaqueOrClipped = 0x6;
constexpr quint32 kSrcCopy = 0x00CC0020;

// One record's parameters, 16-bit words from just after its size and function; every read is
// checked against the record's own size.
class Record {
  public:
    Record(const QByteArray& file, qint64 at, qint64 size, BitmapBudget& budget)
        : bytes_(QByteArray::fromRawData(file.constData() + at, size)),
          in_(bytes_, Metafile::InvalidText()), budget_(budget) {}

    const ByteReader& In() const { return in_; }
    qint64 Size() const { return in_.Size(); }
    qint16 I(int word) const { return in_.I16(6 + 2 * qint64(word)); }
    quint16 U(int word) const { return in_.U16(6 + 2 * qint64(word)); }
    quint32 U32(int word) const { return in_.U32(6 + 2 * qint64(word)); }
    // A point stored as y, then x.
    QPointF YX(int word) const { return QPointF(I(word + 1), I(word)); }
    // A rectangle stored as bottom, right, top, left.
    QRectF Box(int word) const { return QRectF(YX(word + 2), YX(word)); }
    QPolygonF Points(qint64 at, qint64 count) const {
        in_.Need(at, 4 * count);
        QPolygonF points;
        points.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            points.append(QPointF(in_.I16(at + 4 * i), in_.I16(at + 4 * i + 2)));
        return points;
    }
    QList<QPolygonF> PolyPoly() const {
        const qint64 count = U(0);
        in_.Need(8, 2 * count);
        QList<QPolygonF> polys;
        qint64 at = 8 + 2 * count;
        for (qint64 i = 0; i < count; ++i) {
            const qint64 n = in_.U16(8 + 2 * i);
            polys.append(Points(at, n));
            at += 4 * n;
        }
        return polys;
    }
    // A device-independent bitmap starting at `at` and filling the record's rest.
    QImage Dib(qint64 at, bool* bottomUp) const {
        const BitmapFile::Header h = BitmapFile::ReadHeader(in_, at, Size());
        *bottomUp = !h.topDown;
        budget_.Spend(h.width, h.height);
        return BitmapFile::DecodePixels(h, in_, h.end, false);
    }

  private:
    QByteArray bytes_;
    ByteReader in_;
    BitmapBudget& budget_;
};

Font ReadFont(const Record& r) {
    Font f;
    f.height = r.I(0);
    f.width = r.I(1);
    f.escapement = r.I(2);
    f.weight = r.I(4);
    const ByteReader& in = r.In();
    f.italic = in.U8(16);
    f.underline = in.U8(17);
    f.strikeOut = in.U8(18);
    f.charset = in.U8(19);
    QByteArray face;
    for (qint64 at = 24; at < std::min<qint64>(in.Size(), 56) && in.U8(at) != 0; ++at)
        face.append(char(in.U8(at)));
    f.face = DecodeText(face, f.charset, {}).characters.value(0);
    return f;
}

Brush ReadPatternBrush(const Record& r) {
    bool bottomUp = false;
    const QImage pattern = r.U(0) == 5 || r.U(0) == 6 ? r.Dib(10, &bottomUp) : QImage();
    return Brush{pattern.isNull() ? QBrush(Qt::black) : QBrush(pattern), false};
}

// A region object's scans (top and bottom, then pairs of left and right) as one shape.
QPainterPath ReadRegion(const Record& r) {
    const ByteReader& in = r.In();
    const qint64 scans = r.U(5);
    QPainterPath region;
    qint64 at = 28;
    for (qint64 i = 0; i < scans; ++i) {
        const qint64 count = in.U16(at);
        const double top = in.I16(at + 2), bottom = in.I16(at + 4);
        in.Need(at + 6, 4 * (count / 2) + 2);
        for (qint64 k = 0; k < count / 2; ++k) {
            const double left = in.I16(at + 6 + 4 * k), right = in.I16(at + 8 + 4 * k);
            region.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
        }
        at += 6 + 4 * (count / 2) + 2;
    }
    return region;
}

TextRun ReadText(const Device& device, const Record& r, qint64 stringAt, qint64 count) {
    const QByteArray bytes = r.In().Mid(stringAt, count);
    const qint64 dxAt = stringAt + count + (count % 2);
    QList<int> dx;
    if (r.In().Has(dxAt, 2 * count))
        for (qint64 i = 0; i < count; ++i)
            dx.append(r.In().I16(dxAt + 2 * i));
    return DecodeText(bytes, device.FontCharset(), dx);
}

void ExtTextOut(Device& device, const Record& r) {
    const qint64 count = r.U(2);
    const quint16 options = r.U(3);
    const bool hasRect = options & kOpaqueOrClipped;
    const QRectF rect =
        hasRect ? QRectF(QPointF(r.I(4), r.I(5)), QPointF(r.I(6), r.I(7))) : QRectF();
    const qint64 stringAt = hasRect ? 22 : 14;
    device.Text(r.YX(0), ReadText(device, r, stringAt, count), options, rect);
}

void TextOut(Device& device, const Record& r) {
    const qint64 count = r.U(0);
    const qint64 after = 8 + count + (count % 2);
    const QPointF at(r.In().I16(after + 2), r.In().I16(after));
    device.Text(at, DecodeText(r.In().Mid(8, count), device.FontCharset(), {}), 0, QRectF());
}

// A bitmap onto a destination; the source is counted from the bottom for a bottom-up bitmap.
void Dib(Device& device, const Record& r, qint64 dibAt, const QRectF& dest, QRectF source,
         quint32 rop) {
    bool bottomUp = false;
    const QImage image = r.Dib(dibAt, &bottomUp);
    if (bottomUp)
        source.moveTop(image.height() - source.y() - source.height());
    device.Bitmap(dest, image, source, rop);
}

void Play(Device& device, quint16 function, const Record& r) {
    const qint64 words = r.Size() / 2;
    switch (function) {
    case 0x001E:
        device.SaveDc();
        break;
    case 0x0102:
        device.SetBkMode(r.U(0));
        break;
    case 0x0104:
        device.SetRop2(r.U(0));
        break;
    case 0x0106:
        device.SetPolyFillMode(r.U(0));
        break;
    case 0x0107:
        device.SetStretchMode(r.U(0));
        break;
    case 0x0108:
        device.SetCharExtra(r.I(0));
        break;
    case 0x0127:
        device.RestoreDc(r.I(0));
        break;
    case 0x012C:
        device.SelectClipObject(r.U(0));
        break;
    case 0x012D:
        device.SelectObject(r.U(0));
        break;
    case 0x012E:
        device.SetTextAlign(r.U(0));
        break;
    case 0x01F0:
        device.DeleteObject(r.U(0));
        break;
    case 0x0201:
        device.SetBkColor(ColorRef(r.U32(0)));
        break;
    case 0x0209:
        device.SetTextColor(ColorRef(r.U32(0)));
        break;
    case 0x020B:
        device.SetWindowOrg(r.YX(0));
        break;
    case 0x020C:
        device.SetWindowExt(QSizeF(r.I(1), r.I(0)));
        break;
    case 0x020F:
        device.OffsetWindowOrg(r.YX(0));
        break;
    case 0x0213:
        device.LineTo(r.YX(0));
        break;
    case 0x0214:
        device.MoveTo(r.YX(0));
        break;
    case 0x0220:
        device.OffsetClip(r.YX(0));
        break;
    case 0x02FA:
        device.CreateObject(device.FreeIndex(), MakePen(r.U(0), r.I(1), ColorRef(r.U32(3))));
        break;
    case 0x02FB:
        device.CreateObject(device.FreeIndex(), ReadFont(r));
        break;
    case 0x02FC:
        device.CreateObject(device.FreeIndex(), MakeBrush(r.U(0), ColorRef(r.U32(1)), r.U(3)));
        break;
    case 0x00F7:
        device.CreateObject(device.FreeIndex(), std::monostate{});
        break;
    case 0x01F9:
        device.CreateObject(device.FreeIndex(), Brush{QBrush(Qt::black), false});
        break;
    case 0x0142:
        device.CreateObject(device.FreeIndex(), ReadPatternBrush(r));
        break;
    case 0x06FF:
        device.CreateObject(device.FreeIndex(), ReadRegion(r));
        break;
    case 0x0324:
        device.Polygons({r.Points(8, r.U(0))});
        break;
    case 0x0325:
        device.Polyline(r.Points(8, r.U(0)), false);
        break;
    case 0x0538:
        device.Polygons(r.PolyPoly());
        break;
    case 0x0410:
        device.ScaleWindowExt(r.I(3), r.I(2), r.I(1), r.I(0));
        break;
    case 0x0415:
        device.ExcludeClipRect(r.Box(0));
        break;
    case 0x0416:
        device.IntersectClipRect(r.Box(0));
        break;
    case 0x0418:
        device.Ellipse(r.Box(0));
        break;
    case 0x041B:
        device.Rectangle(r.Box(0));
        break;
    case 0x041F:
        device.Pixel(r.YX(2), ColorRef(r.U32(0)));
        break;
    case 0x061C:
        device.RoundRect(r.Box(2), QSizeF(r.I(1), r.I(0)));
        break;
    case 0x061D:
        device.Bitmap(QRectF(r.YX(4), QSizeF(r.I(3), r.I(2))), QImage(), QRectF(), r.U32(0));
        break;
    case 0x0817:
        device.ArcShape(ArcKind::Arc, r.Box(4), r.YX(2), r.YX(0));
        break;
    case 0x081A:
        device.ArcShape(ArcKind::Pie, r.Box(4), r.YX(2), r.YX(0));
        break;
    case 0x0830:
        device.ArcShape(ArcKind::Chord, r.Box(4), r.YX(2), r.YX(0));
        break;
    case 0x0521:
        TextOut(device, r);
        break;
    case 0x0A32:
        ExtTextOut(device, r);
        break;
    case 0x0940: // DIBBITBLT; without a bitmap, a pattern fill with a reserved word
        if (words == 12)
            device.Bitmap(QRectF(r.YX(7), QSizeF(r.I(6), r.I(5))), QImage(), QRectF(), r.U32(0));
        else
            Dib(device, r, 22, QRectF(r.YX(6), QSizeF(r.I(5), r.I(4))),
                QRectF(r.YX(2), QSizeF(r.I(5), r.I(4))), r.U32(0));
        break;
    case 0x0B41: // DIBSTRETCHBLT
        if (words == 14)
            device.Bitmap(QRectF(r.YX(9), QSizeF(r.I(8), r.I(7))), QImage(), QRectF(), r.U32(0));
        else
            Dib(device, r, 26, QRectF(r.YX(8), QSizeF(r.I(7), r.I(6))),
                QRectF(r.YX(4), QSizeF(r.I(3), r.I(2))), r.U32(0));
        break;
    case 0x0D33: // SETDIBTODEV
        Dib(device, r, 24, QRectF(r.YX(7), QSizeF(r.I(6), r.I(5))),
            QRectF(r.YX(3), QSizeF(r.I(6), r.I(5))), kSrcCopy);
        break;
    case 0x0F43: // STRETCHDIB
        Dib(device, r, 28, QRectF(r.YX(9), QSizeF(r.I(8), r.I(7))),
            QRectF(r.YX(5), QSizeF(r.I(4), r.I(3))), r.U32(0));
        break;
    default:
        break; // records that change nothing a picture shows
    }
}

} // namespace

void PlayWmf(const QByteArray& file, qint64 start, const QRectF& frame, QPainter& painter,
             QSize size) {
    const ByteReader in(file, Metafile::InvalidText());
    Device device(painter, QTransform(), QSizeF(1, 1), QSizeF(size));
    device.SetMapMode(8);
    device.SetWindowOrg(frame.topLeft());
    device.SetWindowExt(frame.size());
    device.SetViewportExt(QSizeF(size));
    BitmapBudget budget;
    for (qint64 at = start + kWmfHeaderSize; at < file.size();) {
        const qint64 length = 2 * qint64(in.U32(at));
        const quint16 function = in.U16(at + 4);
        if (function == 0)
            break;
        Play(device, function, Record(file, at, length, budget));
        at += length;
    }
}

} // namespace MetafilePlayer
