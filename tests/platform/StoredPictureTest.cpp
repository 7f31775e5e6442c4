#include "platform/StoredPicture.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QImage Sample() {
    QImage img(5, 3, QImage::Format_RGB32); // odd width: rows need padding
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            img.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    return img;
}

TEST(StoredPicture, WrittenBitmapIsAPlainWindowsFileThatReadsBackPixelExact) {
    const QByteArray bmp = StoredPicture::Encode(Sample());
    ASSERT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 2), static_cast<quint32>(bmp.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 14), 40u); // BITMAPINFOHEADER
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
    EXPECT_EQ(bmp.size(), 14 + 40 + 16 * 3); // 5 * 3 bytes padded to 16
    // Bottom-up: the first stored pixel is the bottom-left one, blue first.
    EXPECT_EQ(static_cast<uchar>(bmp[54]), 7);
    EXPECT_EQ(static_cast<uchar>(bmp[55]), 200);
    QString error;
    const QImage back = StoredPicture::Decode(bmp, &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), Sample());
}

TEST(StoredPicture, EightBytePrefixIsSkippedOnlyWhenItDescribesTheRest) {
    const QByteArray bmp = StoredPicture::Encode(Sample());
    QByteArray prefixed("\x01\x00\x00\x01", 4);
    const quint32 size = qToLittleEndian<quint32>(static_cast<quint32>(bmp.size()));
    prefixed.append(reinterpret_cast<const char*>(&size), 4);
    prefixed += bmp;
    EXPECT_EQ(StoredPicture::BitmapBytes(prefixed), bmp);
    QString error;
    EXPECT_FALSE(StoredPicture::Decode(prefixed, &error).isNull());
    prefixed[4] = prefixed[4] + 1; // size no longer matches
    EXPECT_EQ(StoredPicture::BitmapBytes(prefixed), prefixed);
}

TEST(StoredPicture, EmptyMeansNoPictureAndGarbageGivesTheLoaderError) {
    QString error = "x";
    EXPECT_TRUE(StoredPicture::Decode({}, &error).isNull());
    EXPECT_TRUE(error.isEmpty());
    for (const QByteArray& bad :
         {QByteArray("not a bitmap"), QByteArray("BM"), StoredPicture::Encode(Sample()).left(60),
          QByteArray(
              "BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\xff\xff\x7f\xff\xff\xff\x7f\1\0\x18\0",
              30)}) {
        EXPECT_TRUE(StoredPicture::Decode(bad, &error).isNull());
        EXPECT_EQ(error, "Bitmap image is not valid");
    }
}

TEST(StoredPicture, PalettedBitmapsFromOtherWritersRead) {
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    indexed.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(indexed.save(&buffer, "BMP"));
    QString error;
    const QImage back = StoredPicture::Decode(bytes, &error);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(2, 2), qRgb(0, 0, 255));
}

} // namespace
