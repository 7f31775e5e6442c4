#include "support/PictureSamples.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace Samples {

Bytes& Bytes::U8(int v) {
    data.append(static_cast<char>(v));
    return *this;
}
Bytes& Bytes::U16(int v) {
    return U8(v & 0xFF).U8((v >> 8) & 0xFF);
}
Bytes& Bytes::U32(quint32 v) {
    return U16(static_cast<int>(v & 0xFFFF)).U16(static_cast<int>(v >> 16));
}
Bytes& Bytes::Raw(const QByteArray& bytes) {
    data.append(bytes);
    return *this;
}
Bytes& Bytes::Zeros(int count) {
    data.append(QByteArray(count, '\0'));
    return *this;
}

QByteArray Bmp::Dib() const {
    Bytes b;
    if (headerSize == 12) {
        b.U32(12).U16(width).U16(height).U16(1).U16(bits);
    } else {
        b.U32(static_cast<quint32>(headerSize)).U32(static_cast<quint32>(width));
        b.U32(static_cast<quint32>(height)).U16(1).U16(bits).U32(compression);
        b.U32(sizeImage ? sizeImage : static_cast<quint32>(pixels.size()));
        b.U32(3780).U32(3780).U32(static_cast<quint32>(palette.size())).U32(0);
        if (headerSize > 40) {
            const int inHeader = std::min(4, (headerSize - 40) / 4);
            for (int i = 0; i < inHeader; ++i)
                b.U32(i < masks.size() ? masks[i] : 0);
            b.Zeros(headerSize - 40 - 4 * inHeader);
        } else {
            for (quint32 m : masks)
                b.U32(m);
        }
    }
    for (QRgb c : palette) {
        b.U8(qBlue(c)).U8(qGreen(c)).U8(qRed(c));
        if (headerSize != 12)
            b.U8(0);
    }
    return b.Raw(pixels).data;
}

QByteArray Bmp::File() const {
    const QByteArray dib = Dib();
    const int pixelsAt = 14 + static_cast<int>(dib.size() - pixels.size());
    Bytes b;
    b.Raw("BM").U32(static_cast<quint32>(14 + dib.size())).U32(0).U32(pixelsAt);
    return b.Raw(dib).data;
}

namespace {

QByteArray Rows(const QImage& image, int bits) {
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    const int bytes = bits / 8;
    const int stride = (rgb.width() * bytes + 3) & ~3;
    QByteArray out;
    for (int y = rgb.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            row[x * bytes] = static_cast<char>(qBlue(c));
            row[x * bytes + 1] = static_cast<char>(qGreen(c));
            row[x * bytes + 2] = static_cast<char>(qRed(c));
            if (bytes == 4)
                row[x * bytes + 3] = static_cast<char>(qAlpha(c));
        }
        out += row;
    }
    return out;
}

QByteArray MaskRows(const QImage& transparent, int width, int height) {
    const int stride = ((width + 31) / 32) * 4;
    QByteArray out;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x)
            if (!transparent.isNull() && qRed(transparent.pixel(x, y)) > 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

// Entries shared by icon files (with offsets) and icon groups (with identifiers).
void DirectoryEntry(Bytes& b, QSize size, int bits, int length) {
    b.U8(size.width() % 256).U8(size.height() % 256).U8(0).U8(0).U16(1).U16(bits);
    b.U32(static_cast<quint32>(length));
}

int BitsOf(const QByteArray& image) {
    return image.startsWith("\x89PNG") ? 32 : qFromLittleEndian<quint16>(image.constData() + 14);
}

} // namespace

QByteArray BmpOf(const QImage& image) {
    Bmp bmp;
    bmp.width = image.width();
    bmp.height = image.height();
    bmp.pixels = Rows(image, 24);
    return bmp.File();
}

QByteArray IconDib(const QImage& colour, int bits, const QImage& transparent) {
    Bmp bmp;
    bmp.width = colour.width();
    bmp.height = colour.height() * 2;
    bmp.bits = bits;
    bmp.pixels = Rows(colour, bits) + MaskRows(transparent, colour.width(), colour.height());
    return bmp.Dib();
}

QByteArray IcoFile(const QList<QByteArray>& images, const QList<QSize>& sizes) {
    Bytes b;
    b.U16(0).U16(1).U16(static_cast<int>(images.size()));
    int offset = 6 + 16 * static_cast<int>(images.size());
    for (int i = 0; i < images.size(); ++i) {
        DirectoryEntry(b, sizes[i], BitsOf(images[i]), static_cast<int>(images[i].size()));
        b.U32(static_cast<quint32>(offset));
        offset += static_cast<int>(images[i].size());
    }
    for (const QByteArray& image : images)
        b.Raw(image);
    return b.data;
}

namespace {

// The resource section: a root with the icon (3) and icon group (14) types, each with
// identifier directories and one language below, then data entries and the data.
QByteArray ResourceSection(const QList<QByteArray>& images, const QByteArray& group, quint32 rva) {
    const int icons = static_cast<int>(images.size());
    const int iconTypes = 32, groupTypes = iconTypes + 16 + 8 * icons;
    const int iconLangs = groupTypes + 24, groupLang = iconLangs + 24 * icons;
    const int dataEntries = groupLang + 24, data = dataEntries + 16 * (icons + 1);
    Bytes b;
    auto directory = [&b](int count) { b.Zeros(12).U16(0).U16(count); };
    directory(2);
    b.U32(3).U32(0x80000000u | iconTypes).U32(14).U32(0x80000000u | groupTypes);
    directory(icons);
    for (int i = 0; i < icons; ++i)
        b.U32(static_cast<quint32>(i + 1)).U32(0x80000000u | (iconLangs + 24 * i));
    directory(1);
    b.U32(1).U32(0x80000000u | groupLang);
    for (int i = 0; i <= icons; ++i) {
        directory(1);
        b.U32(0x411).U32(static_cast<quint32>(dataEntries + 16 * i));
    }
    int at = data;
    QList<QByteArray> blocks = images;
    blocks.append(group);
    for (const QByteArray& block : blocks) {
        b.U32(rva + static_cast<quint32>(at)).U32(static_cast<quint32>(block.size())).Zeros(8);
        at += static_cast<int>(block.size());
    }
    for (const QByteArray& block : blocks)
        b.Raw(block);
    return b.data;
}

} // namespace

QByteArray PeWithIcons(const QList<QByteArray>& images, const QList<QSize>& sizes) {
    Bytes group;
    group.U16(0).U16(1).U16(static_cast<int>(images.size()));
    for (int i = 0; i < images.size(); ++i) {
        DirectoryEntry(group, sizes[i], BitsOf(images[i]), static_cast<int>(images[i].size()));
        group.U16(i + 1);
    }
    constexpr quint32 rva = 0x1000, fileAt = 0x200;
    const QByteArray section = ResourceSection(images, group.data, rva);
    Bytes b;
    b.Raw("MZ").Zeros(0x3A).U32(0x40); // DOS header pointing at the PE header
    b.Raw(QByteArray("PE\0\0", 4)).U16(0x14C).U16(1).Zeros(12).U16(224).U16(0x102);
    b.U16(0x10B).Zeros(90).U32(16); // optional header up to the directories
    b.Zeros(16).U32(rva).U32(static_cast<quint32>(section.size())).Zeros(8 * 13);
    b.Raw(QByteArray(".rsrc\0\0\0", 8)).U32(static_cast<quint32>(section.size())).U32(rva);
    b.U32(static_cast<quint32>(section.size())).U32(fileAt).Zeros(16);
    b.Zeros(static_cast<int>(fileAt - b.data.size()));
    return b.Raw(section).data;
}

namespace {

void EmfRecord(Bytes& b, quint32 type, const QList<quint32>& values) {
    b.U32(type).U32(8 + 4 * static_cast<quint32>(values.size()));
    for (quint32 v : values)
        b.U32(v);
}

void WmfRecord(Bytes& b, int function, const QList<int>& words) {
    b.U32(3 + static_cast<quint32>(words.size())).U16(function);
    for (int w : words)
        b.U16(w);
}

} // namespace

QByteArray Emf() {
    Bytes body;
    EmfRecord(body, 39, {1, 0, 0x0000FF, 0}); // CREATEBRUSHINDIRECT: solid red
    EmfRecord(body, 37, {1});                 // SELECTOBJECT
    EmfRecord(body, 37, {0x80000008});        // SELECTOBJECT: the null pen
    EmfRecord(body, 43, {2, 2, 18, 12});      // RECTANGLE
    EmfRecord(body, 14, {0, 16, 20});         // EOF
    Bytes b;
    const quint32 total = 88 + static_cast<quint32>(body.data.size());
    b.U32(1).U32(88).U32(0).U32(0).U32(19).U32(14); // bounds in pixels
    b.U32(0).U32(0).U32(529).U32(397);              // frame in 0.01 mm: 20 × 15 px
    b.Raw(" EMF").U32(0x10000).U32(total).U32(6).U16(2).U16(0);
    b.U32(0).U32(0).U32(0).U32(1024).U32(768).U32(271).U32(203);
    return b.Raw(body.data).data;
}

QByteArray Wmf(bool placeable, int origin) {
    const int o = origin;
    Bytes body;
    WmfRecord(body, 0x20B, {o, o});                         // SETWINDOWORG
    WmfRecord(body, 0x20C, {15, 20});                       // SETWINDOWEXT (y, x)
    WmfRecord(body, 0x2FC, {0, 0x00FF, 0, 0});              // CREATEBRUSHINDIRECT: solid red
    WmfRecord(body, 0x12D, {0});                            // SELECTOBJECT
    WmfRecord(body, 0x2FA, {5, 0, 0, 0, 0});                // CREATEPENINDIRECT: no pen
    WmfRecord(body, 0x12D, {1});                            // SELECTOBJECT
    WmfRecord(body, 0x41B, {o + 12, o + 18, o + 2, o + 2}); // RECTANGLE (bottom, right, top, left)
    WmfRecord(body, 0, {});                                 // EOF
    Bytes b;
    if (placeable) {
        Bytes p;
        p.U32(0x9AC6CDD7).U16(0).U16(o).U16(o).U16(o + 20).U16(o + 15).U16(96).U32(0);
        int sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= qFromLittleEndian<quint16>(p.data.constData() + i);
        b.Raw(p.U16(sum).data);
    }
    b.U16(1).U16(9).U16(0x300).U32(static_cast<quint32>(9 + body.data.size() / 2));
    b.U16(2).U32(8).U16(0);
    return b.Raw(body.data).data;
}

QByteArray Jpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

QByteArray CmykJpeg(int width, int height, int c, int m, int y, int k) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &out, &length);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < width; ++x)
        for (int ink : {c, m, y, k})
            row.push_back(static_cast<JSAMPLE>(255 - ink));
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(length));
    std::free(out);
    return bytes;
}

QByteArray WithJpegSize(QByteArray jpeg, int width, int height) {
    for (qsizetype i = 2; i + 9 < jpeg.size();) {
        const uchar marker = static_cast<uchar>(jpeg[i + 1]);
        if (marker == 0xC0 || marker == 0xC2) {
            qToBigEndian<quint16>(static_cast<quint16>(height), jpeg.data() + i + 5);
            qToBigEndian<quint16>(static_cast<quint16>(width), jpeg.data() + i + 7);
            return jpeg;
        }
        i += 2 + qFromBigEndian<quint16>(jpeg.constData() + i + 2);
    }
    return jpeg;
}

QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256));
    return image;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace Samples
