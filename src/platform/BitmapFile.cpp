#include "platform/BitmapFile.h"

#include "platform/ByteReader.h"
#include "platform/PictureSize.h"

#include <bit>

namespace BitmapFile {
namespace {

constexpr qint64 kFileHeader = 14;
constexpr quint32 kCoreHeader = 12;
constexpr quint32 kInfoHeader = 40;

bool KnownHeaderSize(quint32 size) {
    return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

bool KnownDepth(int bits, quint32 compression) {
    switch (compression) {
    case Rgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case Rle8:
        return bits == 8;
    case Rle4:
        return bits == 4;
    case Bitfields:
    case AlphaBitfields:
        return bits == 16 || bits == 32;
    default:
        return false; // embedded JPEG or PNG, and the OS/2 codings
    }
}

std::array<quint32, 4> DefaultMasks(int bits) {
    if (bits == 16)
        return {0x7C00, 0x03E0, 0x001F, 0};
    return {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
}

void ReadCore(const ByteReader& in, qint64 at, Header& h) {
    h.width = in.U16(at + 4);
    h.height = in.U16(at + 6);
    if (in.U16(at + 8) != 1)
        in.Fail();
    h.bits = in.U16(at + 10);
    h.compression = Rgb;
}

void ReadInfo(const ByteReader& in, qint64 at, Header& h) {
    h.width = in.I32(at + 4);
    h.height = in.I32(at + 8);
    if (in.U16(at + 12) != 1)
        in.Fail();
    h.bits = in.U16(at + 14);
    h.compression = in.U32(at + 16);
    h.sizeImage = in.U32(at + 20);
    h.coloursUsed = in.U32(at + 32);
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
}

// Masks follow a plain info header, and are part of every longer one.
qint64 ReadMasks(const ByteReader& in, qint64 at, quint32 headerSize, Header& h) {
    h.masks = DefaultMasks(h.bits);
    const qint64 end = at + headerSize;
    if (h.compression != Bitfields && h.compression != AlphaBitfields)
        return end;
    const int count = h.compression == AlphaBitfields ? 4 : 3;
    const qint64 from = headerSize == kInfoHeader ? end : at + kInfoHeader;
    h.masks[3] = 0;
    for (int i = 0; i < count; ++i)
        h.masks[i] = in.U32(from + 4 * i);
    if (headerSize >= 56)
        h.masks[3] = in.U32(at + 52);
    return headerSize == kInfoHeader ? end + 4 * count : end;
}

qint64 ReadColours(const ByteReader& in, qint64 at, bool core, qint64 tableEnd, Header& h) {
    if (h.bits > 8)
        return at + 4 * qint64(h.coloursUsed); // an optional table nobody needs
    const qint64 most = qint64(1) << h.bits;
    const int entry = core ? 3 : 4;
    qint64 stored = h.coloursUsed == 0 ? most : h.coloursUsed;
    if (core && tableEnd >= at) // OS/2 writers often store only the colours they use
        stored = std::min(stored, (tableEnd - at) / entry);
    in.Need(at, stored * entry);
    const qint64 used = std::min(stored, most);
    h.colours.reserve(used);
    for (qint64 i = 0; i < used; ++i) {
        const uchar* bgr = in.Data(at + i * entry, 3);
        h.colours.append(qRgb(bgr[2], bgr[1], bgr[0]));
    }
    return at + stored * entry;
}

QRgb Colour(const Header& h, uint index) {
    return index < static_cast<uint>(h.colours.size()) ? h.colours[index] : qRgb(0, 0, 0);
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    explicit Channel(quint32 m) : mask(m), shift(m ? std::countr_zero(m) : 0) {
        max = m ? (m >> shift) : 0;
    }
    int Value(quint32 pixel, int none) const {
        if (max == 0)
            return none;
        return static_cast<int>((quint64((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
    quint32 mask;
    int shift;
    quint32 max;
};

void DecodeIndexedRow(const Header& h, const uchar* src, QRgb* dst) {
    const uint valueMask = (1u << h.bits) - 1;
    for (qint64 x = 0; x < h.width; ++x) {
        const qint64 bit = x * h.bits;
        const int shift = 8 - h.bits - static_cast<int>(bit % 8);
        dst[x] = Colour(h, (src[bit / 8] >> shift) & valueMask);
    }
}

void DecodeMaskedRow(const Header& h, const uchar* src, QRgb* dst, bool alpha) {
    const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(alpha ? h.masks[3] : 0);
    for (qint64 x = 0; x < h.width; ++x) {
        const quint32 pixel = h.bits == 16 ? qFromLittleEndian<quint16>(src + 2 * x)
                                           : qFromLittleEndian<quint32>(src + 4 * x);
        dst[x] =
            qRgba(r.Value(pixel, 0), g.Value(pixel, 0), b.Value(pixel, 0), a.Value(pixel, 255));
    }
}

void DecodeRow(const Header& h, const uchar* src, QRgb* dst, bool alpha) {
    if (h.bits <= 8) {
        DecodeIndexedRow(h, src, dst);
    } else if (h.bits == 24) {
        for (qint64 x = 0; x < h.width; ++x)
            dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    } else {
        DecodeMaskedRow(h, src, dst, alpha);
    }
}

// Run-length pixels: runs, absolute runs, line ends, jumps. The stream must reach its end
// marker or give every row; pixels it jumps over keep the first colour of the table.
class RleDecoder {
  public:
    RleDecoder(const Header& h, const ByteReader& in, qint64 at)
        : h_(h), in_(in), p_(at), end_(at + (h.sizeImage ? h.sizeImage : in.Size() - at)),
          image_(static_cast<int>(h.width), static_cast<int>(h.height), QImage::Format_RGB32) {
        if (h.topDown || end_ > in.Size())
            in.Fail();
        if (image_.isNull())
            throw EError(PictureSize::TooLargeText());
        image_.fill(Colour(h, 0));
    }

    QImage Run() {
        while (y_ < h_.height) {
            const quint8 count = Next();
            const quint8 value = Next();
            if (count > 0)
                Repeat(count, value);
            else if (value == 0)
                x_ = 0, ++y_;
            else if (value == 1)
                break;
            else if (value == 2)
                Jump();
            else
                Absolute(value);
        }
        return image_;
    }

  private:
    quint8 Next() {
        if (p_ >= end_)
            in_.Fail(); // the pixels stop before the picture is complete
        return in_.U8(p_++);
    }
    bool Nibbles() const { return h_.compression == Rle4; }
    uint Nibble(quint8 byte, int i) const { return i % 2 ? byte & 0x0F : byte >> 4; }
    void Put(uint index) {
        if (x_ < h_.width && y_ < h_.height)
            reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(h_.height - 1 - y_)))[x_] =
                Colour(h_, index);
        ++x_;
    }
    void Repeat(int count, quint8 value) {
        for (int i = 0; i < count && x_ < h_.width; ++i)
            Put(Nibbles() ? Nibble(value, i) : value);
    }
    void Jump() {
        x_ += Next();
        y_ += Next();
    }
    void Absolute(int count) {
        const int bytes = Nibbles() ? (count + 1) / 2 : count;
        quint8 byte = 0;
        for (int i = 0; i < count; ++i) {
            if (!Nibbles() || i % 2 == 0)
                byte = Next();
            Put(Nibbles() ? Nibble(byte, i) : byte);
        }
        if (bytes % 2)
            Next(); // runs are padded to whole words
    }

    const Header& h_;
    const ByteReader& in_;
    qint64 p_;
    qint64 end_;
    qint64 x_ = 0;
    qint64 y_ = 0;
    QImage image_;
};

} // namespace

QString InvalidText() {
    return QStringLiteral("Bitmap image is not valid");
}

qint64 Stride(qint64 width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

Header ReadHeader(const ByteReader& in, qint64 at, qint64 tableEnd) {
    Header h;
    const quint32 size = in.U32(at);
    if (!KnownHeaderSize(size))
        in.Fail();
    in.Need(at, size);
    const bool core = size == kCoreHeader;
    if (core)
        ReadCore(in, at, h);
    else
        ReadInfo(in, at, h);
    if (h.width <= 0 || h.height <= 0 || !KnownDepth(h.bits, h.compression))
        in.Fail();
    if (h.topDown && (h.compression == Rle8 || h.compression == Rle4))
        in.Fail();
    const qint64 coloursAt = ReadMasks(in, at, size, h);
    h.end = ReadColours(in, coloursAt, core, tableEnd, h);
    return h;
}

QImage DecodePixels(const Header& h, const ByteReader& in, qint64 at, bool keepAlpha) {
    PictureSize::Check(h.width, h.height);
    if (h.compression == Rle8 || h.compression == Rle4)
        return RleDecoder(h, in, at).Run();
    const qint64 stride = Stride(h.width, h.bits);
    in.Need(at, stride * h.height);
    const bool alpha = keepAlpha && (h.bits == 16 || h.bits == 32) && h.masks[3] != 0;
    QImage image(static_cast<int>(h.width), static_cast<int>(h.height),
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        throw EError(PictureSize::TooLargeText());
    for (qint64 row = 0; row < h.height; ++row) {
        const qint64 y = h.topDown ? row : h.height - 1 - row;
        DecodeRow(h, in.Data(at + row * stride, stride),
                  reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y))), alpha);
    }
    return image;
}

bool AnyAlpha(const QImage& image, bool (*test)(int alpha)) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (test(qAlpha(row[x])))
                return true;
    }
    return false;
}

QImage Decode(const QByteArray& file, bool keepAlpha) {
    const ByteReader in(file, InvalidText());
    in.Need(0, kFileHeader);
    if (file.at(0) != 'B' || file.at(1) != 'M')
        in.Fail();
    const qint64 pixelsAt = in.U32(10);
    const Header header = ReadHeader(in, kFileHeader, pixelsAt);
    if (pixelsAt < kFileHeader + kCoreHeader)
        in.Fail();
    QImage image = DecodePixels(header, in, pixelsAt, keepAlpha);
    if (image.hasAlphaChannel() && !AnyAlpha(image, [](int alpha) { return alpha != 0; }))
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

} // namespace BitmapFile
