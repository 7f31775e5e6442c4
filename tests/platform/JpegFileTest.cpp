#include "platform/JpegFile.h"
#include "platform/Error.h"
#include "platform/PictureSize.h"
#include "support/Errors.h"
#include "support/PictureSamples.h"

#include <gtest/gtest.h>

namespace {

QString JpegError(const QByteArray& data) {
    return ErrorOf([&] { JpegFile::Decode(data); });
}

int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

TEST(JpegFile, DecodesAnotherEncodersFileAtFullSizeInto24Bits) {
    QImage original(40, 24, QImage::Format_RGB32);
    original.fill(qRgb(200, 40, 30));
    for (int y = 12; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            original.setPixel(x, y, qRgb(20, 60, 220));
    const QImage image = JpegFile::Decode(Samples::Jpeg(original));
    ASSERT_EQ(image.size(), QSize(40, 24));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_LE(Distance(image.pixel(5, 3), qRgb(200, 40, 30)), 4);
    EXPECT_LE(Distance(image.pixel(30, 20), qRgb(20, 60, 220)), 4);
}

TEST(JpegFile, GreyAndCmykPicturesComeOutInColour) {
    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(128);
    const QImage fromGrey = JpegFile::Decode(Samples::Jpeg(grey));
    EXPECT_EQ(fromGrey.format(), QImage::Format_RGB888);
    EXPECT_LE(Distance(fromGrey.pixel(8, 8), qRgb(128, 128, 128)), 2);
    // Magenta and yellow ink make red; half black ink halves it.
    const QImage red = JpegFile::Decode(Samples::CmykJpeg(8, 8, 0, 255, 255, 0));
    EXPECT_LE(Distance(red.pixel(4, 4), qRgb(255, 0, 0)), 3);
    const QImage dark = JpegFile::Decode(Samples::CmykJpeg(8, 8, 0, 255, 255, 128));
    EXPECT_LE(Distance(dark.pixel(4, 4), qRgb(127, 0, 0)), 3);
}

TEST(JpegFile, CutOffOrForeignDataGivesTheDecodersMessage) {
    const QByteArray jpeg = Samples::Jpeg(Samples::Pattern(64, 64));
    EXPECT_EQ(JpegError(jpeg.left(jpeg.size() / 2)), "Premature end of JPEG file");
    EXPECT_EQ(JpegError(Samples::BmpOf(Samples::Pattern(4, 4))),
              "Not a JPEG file: starts with 0x42 0x4d");
    EXPECT_FALSE(JpegError({}).isEmpty());
    EXPECT_FALSE(JpegError(jpeg.left(20)).isEmpty());
    QByteArray noFrame = jpeg;
    noFrame.replace("\xFF\xC0", 2, "\xFF\xCF", 2); // an unknown coding process
    EXPECT_FALSE(JpegError(noFrame).isEmpty());
}

TEST(JpegFile, A20000By20000HeaderIsRefusedBeforeDecoding) {
    const QByteArray huge =
        Samples::WithJpegSize(Samples::Jpeg(Samples::Pattern(16, 16)), 20000, 20000);
    EXPECT_EQ(JpegError(huge), PictureSize::TooLargeText());
    // Just under the bound it is the missing data that stops it, not the size.
    const QByteArray large =
        Samples::WithJpegSize(Samples::Jpeg(Samples::Pattern(16, 16)), 4000, 4000);
    EXPECT_FALSE(JpegError(large).isEmpty());
    EXPECT_NE(JpegError(large), PictureSize::TooLargeText());
}

} // namespace
