#include "platform/IconFile.h"
#include "platform/Error.h"
#include "platform/PeIcon.h"
#include "support/Errors.h"
#include "support/PictureSamples.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

// A 32 × 32 icon: a blue square in the middle of a transparent field, with one masked pixel
// whose colour is not black (drawn inverted, as the desktop draws it).
QByteArray MaskedIcon(int size = 32) {
    QImage colour(size, size, QImage::Format_RGB32);
    colour.fill(Qt::black);
    QImage transparent(size, size, QImage::Format_RGB32);
    transparent.fill(Qt::white);
    for (int y = 8; y < 24 && y < size; ++y)
        for (int x = 8; x < 24 && x < size; ++x) {
            colour.setPixel(x, y, qRgb(0, 0, 255));
            transparent.setPixel(x, y, qRgb(0, 0, 0));
        }
    colour.setPixel(0, 0, qRgb(255, 0, 0));
    return Samples::IconDib(colour, 24, transparent);
}

QByteArray AlphaIcon() {
    QImage colour(32, 32, QImage::Format_ARGB32);
    colour.fill(qRgba(0, 0, 0, 0));
    colour.setPixel(10, 10, qRgba(0, 128, 0, 255));
    colour.setPixel(11, 10, qRgba(0, 0, 0, 128));
    return Samples::IconDib(colour, 32);
}

TEST(IconFile, TransparentPixelsBecomeWhiteAndMaskedColoursInvert) {
    const QImage bitmap =
        IconFile::IconToBitmap(IconFile::Read(Samples::IcoFile({MaskedIcon()}, {QSize(32, 32)})));
    ASSERT_EQ(bitmap.size(), QSize(32, 32));
    EXPECT_EQ(bitmap.pixel(2, 30), kWhite);
    EXPECT_EQ(bitmap.pixel(12, 12), qRgb(0, 0, 255));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 255, 255));
}

TEST(IconFile, AlphaChannelRulesWhenItIsUsedAndIsBlendedOverWhite) {
    const QImage bitmap =
        IconFile::IconToBitmap(IconFile::Read(Samples::IcoFile({AlphaIcon()}, {QSize(32, 32)})));
    EXPECT_EQ(bitmap.pixel(0, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(10, 10), qRgb(0, 128, 0));
    EXPECT_EQ(bitmap.pixel(11, 10), qRgb(127, 127, 127));
    // A 32-bit icon whose alpha is all zero is drawn through its mask instead.
    QImage colour(32, 32, QImage::Format_ARGB32);
    colour.fill(qRgba(200, 0, 0, 0));
    QImage transparent(32, 32, QImage::Format_RGB32);
    transparent.fill(Qt::black);
    transparent.setPixel(1, 1, qRgb(255, 255, 255));
    const QImage opaque =
        IconFile::IconToBitmap(IconFile::DecodeImage(Samples::IconDib(colour, 32, transparent)));
    EXPECT_EQ(opaque.pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(opaque.pixel(1, 1), qRgb(55, 255, 255));
}

TEST(IconFile, TheEntryNearestTheLargeIconSizeAndDeepestInColourIsTaken) {
    EXPECT_EQ(IconFile::PickEntry({{16, 16, 32}, {32, 32, 4}, {32, 32, 32}, {48, 48, 32}}), 2);
    EXPECT_EQ(IconFile::PickEntry({{256, 256, 32}, {48, 48, 8}}), 1);
    EXPECT_EQ(IconFile::PickEntry({}), -1);
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::red);
    const QByteArray file = Samples::IcoFile({Samples::IconDib(small, 24), MaskedIcon()},
                                             {QSize(16, 16), QSize(32, 32)});
    EXPECT_EQ(IconFile::Read(file).image.width(), 32);
}

TEST(IconFile, PngImagesInsideIconsAreRead) {
    QImage colour(32, 32, QImage::Format_ARGB32);
    colour.fill(qRgba(0, 0, 0, 0));
    colour.setPixel(3, 4, qRgba(10, 20, 30, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    colour.save(&buffer, "PNG");
    const QImage bitmap =
        IconFile::IconToBitmap(IconFile::Read(Samples::IcoFile({png}, {QSize(32, 32)})));
    EXPECT_EQ(bitmap.pixel(3, 4), qRgb(10, 20, 30));
    EXPECT_EQ(bitmap.pixel(0, 0), kWhite);
    // A PNG header that claims a picture over the bound is refused before it is decoded.
    qToBigEndian<quint32>(60000, png.data() + 16);
    qToBigEndian<quint32>(60000, png.data() + 20);
    EXPECT_FALSE(
        ErrorOf([&] { IconFile::Read(Samples::IcoFile({png}, {QSize(32, 32)})); }).isEmpty());
}

TEST(IconFile, DamagedIconFilesAreRefused) {
    const QByteArray good = Samples::IcoFile({MaskedIcon()}, {QSize(32, 32)});
    ASSERT_TRUE(ErrorOf([&] { IconFile::Read(good); }).isEmpty());
    QByteArray cursor = good;
    cursor[2] = 2;
    QByteArray none = good;
    none[4] = 0;
    QByteArray outside = good;
    qToLittleEndian<quint32>(0x7FFFFFF0, outside.data() + 6 + 12);
    for (const QByteArray& bad :
         {cursor, none, outside, good.left(5), good.left(30), good.left(good.size() - 1)})
        EXPECT_EQ(ErrorOf([&] { IconFile::Read(bad); }), "Icon image is not valid");
}

TEST(IconFile, NoIconIsAWhiteSquareOfTheLargeIconSize) {
    const QImage bitmap = IconFile::IconToBitmap({});
    ASSERT_EQ(bitmap.size(), QSize(32, 32));
    EXPECT_EQ(bitmap.pixel(31, 31), kWhite);
}

TEST(PeIcon, TheFirstGroupsImageAtTheLargeIconSizeIsRead) {
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::red);
    const QByteArray exe = Samples::PeWithIcons({Samples::IconDib(small, 24), MaskedIcon()},
                                                {QSize(16, 16), QSize(32, 32)});
    ASSERT_TRUE(PeIcon::IsExecutable(exe));
    const auto icon = PeIcon::FirstIcon(exe);
    ASSERT_TRUE(icon.has_value());
    const QImage bitmap = IconFile::IconToBitmap(*icon);
    ASSERT_EQ(bitmap.size(), QSize(32, 32));
    EXPECT_EQ(bitmap.pixel(12, 12), qRgb(0, 0, 255));
    EXPECT_EQ(bitmap.pixel(2, 30), kWhite);
}

TEST(PeIcon, FilesThatAreNoExecutablesOrHaveNoIconGiveNothing) {
    EXPECT_FALSE(PeIcon::FirstIcon("#!/bin/sh\necho hello\n").has_value());
    EXPECT_FALSE(PeIcon::FirstIcon(QByteArray("MZ") + QByteArray(200, '\0')).has_value());
    EXPECT_FALSE(PeIcon::FirstIcon({}).has_value());
    QByteArray noResources = Samples::PeWithIcons({MaskedIcon()}, {QSize(32, 32)});
    qToLittleEndian<quint32>(0, noResources.data() + 0x40 + 24 + 96 + 16); // resource RVA
    EXPECT_FALSE(PeIcon::FirstIcon(noResources).has_value());
}

TEST(PeIcon, CutOffOrSelfReferringResourcesAreRefused) {
    const QByteArray exe = Samples::PeWithIcons({MaskedIcon()}, {QSize(32, 32)});
    const QString invalid = "Executable file is not valid";
    for (qsizetype cut : {0x100, 0x210, 0x240, 0x2A0})
        EXPECT_EQ(ErrorOf([&] { PeIcon::FirstIcon(exe.left(cut)); }), invalid) << cut;
    // The icon group's language directory pointing back at the root.
    QByteArray loop = exe;
    const qint64 groupNames = 0x200 + 32 + 16 + 8; // after the icon type's directory
    qToLittleEndian<quint32>(0x80000000u, loop.data() + groupNames + 16 + 4);
    EXPECT_EQ(ErrorOf([&] { PeIcon::FirstIcon(loop); }), invalid);
    // A section table claiming more sections than the file holds.
    QByteArray sections = exe;
    qToLittleEndian<quint16>(0xFFFF, sections.data() + 0x40 + 6);
    EXPECT_EQ(ErrorOf([&] { PeIcon::FirstIcon(sections); }), invalid);
}

} // namespace
