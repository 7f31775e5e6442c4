#include "platform/Metafile.h"

#include "platform/ByteReader.h"
#include "platform/PictureSize.h"
#include "platform/WmfSvg.h"

#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

#include <emf2svg.h>

namespace {

constexpr int kScreenDpi = 96;
constexpr quint32 kEmfHeaderType = 1;
constexpr quint32 kEmfEofType = 14;
constexpr qint64 kEmfHeaderSize = 88;
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qint64 kPlaceableSize = 22;
constexpr qint64 kWmfHeaderSize = 18;
constexpr qint64 kWmfLargestRecordAt = 12;

int Pixels(double length, double unitsPerInch) {
    return static_cast<int>(std::lround(std::abs(length) * kScreenDpi / unitsPerInch));
}

// Every record must lie inside the file and the last one must end it: the converters trust
// the record sizes they are given.
void CheckEmfRecords(const ByteReader& in, qint64 total) {
    for (qint64 at = 0; at < total;) {
        const quint32 type = in.U32(at);
        const qint64 size = in.U32(at + 4);
        if (size < 8 || size % 4 != 0 || size > total - at)
            in.Fail();
        if (at == 0 && (type != kEmfHeaderType || size < kEmfHeaderSize))
            in.Fail();
        at += size;
        if (type == kEmfEofType)
            return;
    }
    in.Fail(); // cut off before its end record
}

// The converter reads the header's description and pixel format wherever the header says they
// are. One that does not lie inside the header record is left out of the copy it is given:
// neither is drawn.
void DropStrayHeaderParts(QByteArray& records) {
    const ByteReader in(records, Metafile::InvalidText());
    const qint64 headerSize = in.U32(4);
    auto inside = [headerSize](qint64 at, qint64 length) {
        return at >= kEmfHeaderSize && length > 0 && length <= headerSize - at;
    };
    const bool description = inside(in.U32(64), 2 * qint64(in.U32(60)));
    const bool pixelFormat = headerSize < kEmfHeaderSize + 12 || inside(in.U32(92), in.U32(88));
    if (!description)
        qToLittleEndian<quint64>(0, records.data() + 60);
    if (!pixelFormat)
        qToLittleEndian<quint64>(0, records.data() + 88);
}

// The frame (hundredths of a millimetre) on a screen of 96 pixels per inch; the drawn bounds
// when the frame is empty.
QSize EmfSize(const ByteReader& in) {
    const qint64 boundsWidth = qint64(in.I32(16)) - in.I32(8);
    const qint64 boundsHeight = qint64(in.I32(20)) - in.I32(12);
    if (boundsWidth <= 0 || boundsHeight <= 0)
        in.Fail();
    const double frameWidth = double(in.I32(32)) - in.I32(24);
    const double frameHeight = double(in.I32(36)) - in.I32(28);
    const double hundredthsPerInch = 2540.0;
    QSize size(Pixels(frameWidth, hundredthsPerInch), Pixels(frameHeight, hundredthsPerInch));
    if (size.isEmpty())
        size = QSize(static_cast<int>(std::min<qint64>(boundsWidth + 1, INT_MAX)),
                     static_cast<int>(std::min<qint64>(boundsHeight + 1, INT_MAX)));
    return size;
}

struct WmfRecords {
    qint64 end = 0;           // just past the end record
    quint32 largestWords = 0; // the longest record, in 16-bit words
};

WmfRecords CheckWmfRecords(const ByteReader& in, qint64 at) {
    const quint16 type = in.U16(at);
    const quint16 version = in.U16(at + 4);
    if ((type != 1 && type != 2) || in.U16(at + 2) != 9 || (version != 0x100 && version != 0x300))
        in.Fail();
    WmfRecords records;
    for (qint64 p = at + kWmfHeaderSize;;) {
        const quint32 words = in.U32(p);
        const qint64 size = 2 * qint64(words);
        const quint16 function = in.U16(p + 4);
        if (size < 6 || size > in.Size() - p)
            in.Fail();
        records.largestWords = std::max(records.largestWords, words);
        p += size;
        if (function == 0) {
            records.end = p;
            return records;
        }
    }
}

} // namespace

QString Metafile::InvalidText() {
    return QStringLiteral("Metafile is not valid");
}

Metafile::Metafile(QByteArray svg, QSize size) : svg_(std::move(svg)), size_(size) {
    if (!QSvgRenderer(svg_).isValid())
        throw EError(InvalidText());
}

Metafile Metafile::ReadEmf(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    if (in.U32(0) != kEmfHeaderType || in.U32(40) != kEmfSignature)
        in.Fail();
    const qint64 total = in.U32(48);
    in.Need(0, total);
    CheckEmfRecords(in, total);
    const QSize size = EmfSize(in);
    PictureSize::Check(size.width(), size.height());
    generatorOptions options{};
    char noNameSpace[] = "";
    options.nameSpace = noNameSpace;
    options.svgDelimiter = true;
    options.emfplus = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();
    QByteArray records = file.left(total);
    DropStrayHeaderParts(records);
    char* svg = nullptr;
    size_t length = 0;
    const int converted = emf2svg(records.data(), records.size(), &svg, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(svg, &std::free);
    if (!converted || !svg)
        in.Fail();
    return Metafile(QByteArray(svg, static_cast<qsizetype>(length)), size);
}

Metafile Metafile::ReadWmf(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    const bool placeable = in.U32(0) == kPlaceableKey;
    const qint64 start = placeable ? kPlaceableSize : 0;
    const WmfRecords checked = CheckWmfRecords(in, start);
    QSize size;
    std::optional<QRectF> frame;
    if (placeable) {
        const double inch = in.U16(14);
        if (inch == 0)
            in.Fail();
        const double left = in.I16(6), top = in.I16(8), right = in.I16(10), bottom = in.I16(12);
        size = QSize(Pixels(right - left, inch), Pixels(bottom - top, inch));
        // libwmf lays the picture out in points from the header's top-left corner.
        const double points = 72.0 / inch;
        frame = QRectF(0, 0, std::abs(right - left) * points, std::abs(bottom - top) * points);
    }
    // The converter takes a buffer of the header's largest record size before reading any
    // record: it is given the size the records have.
    QByteArray records = file.left(checked.end);
    qToLittleEndian<quint32>(checked.largestWords, records.data() + start + kWmfLargestRecordAt);
    const auto svg = WmfSvg::Convert(std::move(records), frame, &size);
    if (!svg)
        in.Fail();
    return Metafile(*svg, size);
}

void Metafile::Draw(QPainter& painter) const {
    QSvgRenderer renderer(svg_);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size_)));
}

QImage GraphicToBitmap(const Metafile& graphic) {
    QImage bitmap(graphic.Size(), QImage::Format_RGB32);
    if (bitmap.isNull())
        throw EError(PictureSize::TooLargeText());
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    graphic.Draw(painter);
    return bitmap;
}
