#include "platform/Metafile.h"

#include "platform/ByteReader.h"
#include "platform/MetafilePlayer.h"
#include "platform/PictureSize.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

constexpr int kScreenDpi = 96;
constexpr quint32 kEmfHeaderType = 1;
constexpr quint32 kEmfEofType = 14;
constexpr qint64 kEmfHeaderSize = 88;
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qint64 kPlaceableSize = 22;
constexpr qint64 kWmfHeaderSize = 18;
constexpr quint16 kSetWindowOrg = 0x20B;
constexpr quint16 kSetWindowExt = 0x20C;

int Pixels(double length, double unitsPerInch) {
    return static_cast<int>(std::lround(std::abs(length) * kScreenDpi / unitsPerInch));
}

// Every record must lie inside the file and the last one must end it: the player trusts
// the record sizes it is given.
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
    qint64 end = 0; // just past the end record
    std::optional<QPointF> windowOrg;
    std::optional<QSizeF> windowExt;
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
        if (function == kSetWindowOrg && !records.windowOrg)
            records.windowOrg = QPointF(in.I16(p + 8), in.I16(p + 6));
        if (function == kSetWindowExt && !records.windowExt)
            records.windowExt = QSizeF(in.I16(p + 8), in.I16(p + 6));
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

Metafile Metafile::ReadEmf(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    if (in.U32(0) != kEmfHeaderType || in.U32(40) != kEmfSignature)
        in.Fail();
    const qint64 total = in.U32(48);
    in.Need(0, total);
    CheckEmfRecords(in, total);
    const QSize size = EmfSize(in);
    PictureSize::Check(size.width(), size.height());
    return Metafile(file.left(total), size);
}

Metafile Metafile::ReadWmf(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    const bool placeable = in.U32(0) == kPlaceableKey;
    const qint64 start = placeable ? kPlaceableSize : 0;
    const WmfRecords checked = CheckWmfRecords(in, start);
    QSize size;
    QRectF frame;
    if (placeable) {
        const double inch = in.U16(14);
        if (inch == 0)
            in.Fail();
        const double left = in.I16(6), top = in.I16(8), right = in.I16(10), bottom = in.I16(12);
        size = QSize(Pixels(right - left, inch), Pixels(bottom - top, inch));
        frame = QRectF(QPointF(left, top), QPointF(right, bottom));
    } else if (checked.windowExt) {
        // Without a placeable header the window is the picture, a unit to a screen pixel.
        frame = QRectF(checked.windowOrg.value_or(QPointF()), *checked.windowExt);
        size = QSize(Pixels(frame.width(), kScreenDpi), Pixels(frame.height(), kScreenDpi));
    }
    if (size.isEmpty())
        in.Fail();
    PictureSize::Check(size.width(), size.height());
    Metafile graphic(file.left(checked.end), size);
    graphic.enhanced_ = false;
    graphic.start_ = start;
    graphic.frame_ = frame;
    return graphic;
}

void Metafile::Draw(QPainter& painter) const {
    if (enhanced_)
        MetafilePlayer::PlayEmf(records_, painter, size_);
    else
        MetafilePlayer::PlayWmf(records_, start_, frame_, painter, size_);
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
