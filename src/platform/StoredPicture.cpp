#include "platform/StoredPicture.h"

#include "platform/BitmapFile.h"
#include "platform/Error.h"

#include <QtEndian>

namespace StoredPicture {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;

template <class T> void Put(QByteArray& out, T value) {
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

template <class T> T Get(const QByteArray& in, int at) {
    return qFromLittleEndian<T>(in.constData() + at);
}

bool HasPrefix(const QByteArray& stored) {
    return stored.size() >= 8 && Get<quint16>(stored, 0) == 1 &&
           Get<quint16>(stored, 2) == 0x0100 &&
           Get<quint32>(stored, 4) == static_cast<quint32>(stored.size() - 8);
}

} // namespace

QByteArray BitmapBytes(const QByteArray& stored) {
    return HasPrefix(stored) ? stored.mid(8) : stored;
}

QImage Decode(const QByteArray& stored, QString* error) {
    error->clear();
    if (stored.isEmpty())
        return {};
    try {
        return BitmapFile::Decode(BitmapBytes(stored));
    } catch (const EError& e) {
        *error = e.message();
        return {};
    }
}

QByteArray Encode(const QImage& source) {
    if (source.isNull())
        return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * 3 + 3) & ~3;
    const quint32 imageSize = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray out;
    out.reserve(kFileHeader + kInfoHeader + static_cast<int>(imageSize));
    out.append("BM");
    Put<quint32>(out, kFileHeader + kInfoHeader + imageSize);
    Put<quint32>(out, 0);
    Put<quint32>(out, kFileHeader + kInfoHeader);
    Put<quint32>(out, kInfoHeader);
    Put<qint32>(out, width);
    Put<qint32>(out, height); // positive: rows bottom-up, as every Windows reader expects
    Put<quint16>(out, 1);
    Put<quint16>(out, 24);
    Put<quint32>(out, 0); // BI_RGB
    Put<quint32>(out, imageSize);
    Put<qint32>(out, 3780); // 96 dpi in pixels per metre
    Put<qint32>(out, 3780);
    Put<quint32>(out, 0);
    Put<quint32>(out, 0);
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar* src = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<char>(src[x * 3 + 2]); // blue, green, red
            row[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]);
            row[x * 3 + 2] = static_cast<char>(src[x * 3]);
        }
        out.append(row);
    }
    return out;
}

} // namespace StoredPicture
