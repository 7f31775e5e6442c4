#include "platform/BitmapFile.h"
#include "platform/Error.h"
#include "platform/PictureSize.h"
#include "support/Errors.h"
#include "support/PictureSamples.h"

#include <gtest/gtest.h>

namespace {

using Samples::Bmp;

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

// 2 × 2 pictures: bottom row red, green; top row blue, white.
struct Kind {
    const char* name;
    Bmp bmp;
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

QByteArray B(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

Bmp Paletted(int headerSize, int bits, QByteArray pixels) {
    Bmp b;
    b.headerSize = headerSize;
    b.width = b.height = 2;
    b.bits = bits;
    b.palette = {kRed, kGreen, kBlue, kWhite};
    if (bits == 1) // two colours per row would not fit one bit
        b.palette = {kRed, kGreen};
    b.pixels = std::move(pixels);
    return b;
}

Bmp Masked(int headerSize, int bits, quint32 compression, QList<quint32> masks, QByteArray px) {
    Bmp b;
    b.headerSize = headerSize;
    b.width = b.height = 2;
    b.bits = bits;
    b.compression = compression;
    b.masks = std::move(masks);
    b.pixels = std::move(px);
    return b;
}

std::vector<Kind> Kinds() {
    const QByteArray bgr24 = B({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
    Bmp core = Paletted(12, 8, B({0, 1, 0, 0, 2, 3, 0, 0}));
    Bmp info24;
    info24.width = info24.height = 2;
    info24.pixels = bgr24;
    Bmp topDown = info24;
    topDown.height = -2; // rows stored top first
    topDown.pixels = bgr24.mid(8) + bgr24.left(8);
    return {
        {"core8", core},
        {"info1", Paletted(40, 1, B({0x40, 0, 0, 0, 0x80, 0, 0, 0}))},
        {"info4", Paletted(40, 4, B({0x01, 0, 0, 0, 0x23, 0, 0, 0}))},
        {"info8", Paletted(40, 8, B({0, 1, 0, 0, 2, 3, 0, 0}))},
        {"info24", info24},
        {"topDown24", topDown},
        {"info16", Masked(40, 16, 0, {}, B({0, 0x7C, 0xE0, 0x03, 0x1F, 0, 0xFF, 0x7F}))},
        {"bitfields565", Masked(40, 16, 3, {0xF800, 0x07E0, 0x001F},
                                B({0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0xFF, 0xFF}))},
        {"info32",
         Masked(40, 32, 0, {}, B({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}))},
        {"v2bitfields", Masked(52, 32, 3, {0xFF, 0xFF00, 0xFF0000},
                               B({255, 0, 0, 9, 0, 255, 0, 9, 0, 0, 255, 9, 255, 255, 255, 9}))},
        {"v3alpha", Masked(56, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                           B({0, 0, 255, 1, 0, 255, 0, 1, 255, 0, 0, 1, 255, 255, 255, 1}))},
        {"v4", Masked(108, 32, 3, {0xFF0000, 0xFF00, 0xFF},
                      B({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}))},
        {"v5", Masked(124, 16, 3, {0x7C00, 0x03E0, 0x001F},
                      B({0, 0x7C, 0xE0, 0x03, 0x1F, 0, 0xFF, 0x7F}))},
    };
}

class BitmapKinds : public ::testing::TestWithParam<Kind> {};

TEST_P(BitmapKinds, EveryHeaderKindDecodesToTheSamePixels) {
    const QImage image = BitmapFile::Decode(GetParam().bmp.File());
    ASSERT_EQ(image.size(), QSize(2, 2));
    if (GetParam().bmp.bits == 1) {
        EXPECT_EQ(image.pixel(0, 1), kRed);
        EXPECT_EQ(image.pixel(1, 1), kGreen);
        EXPECT_EQ(image.pixel(0, 0), kGreen);
        return;
    }
    EXPECT_EQ(image.pixel(0, 1), kRed);
    EXPECT_EQ(image.pixel(1, 1), kGreen);
    EXPECT_EQ(image.pixel(0, 0), kBlue);
    EXPECT_EQ(image.pixel(1, 0), kWhite);
}

TEST_P(BitmapKinds, PixelDataOneByteShortIsRefused) {
    Bmp bmp = GetParam().bmp;
    bmp.pixels.chop(1);
    try {
        BitmapFile::Decode(bmp.File());
        FAIL() << "decoded a cut-off bitmap";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "Bitmap image is not valid");
    }
}

INSTANTIATE_TEST_SUITE_P(, BitmapKinds, ::testing::ValuesIn(Kinds()),
                         [](const auto& info) { return std::string(info.param.name); });

QString DecodeError(const QByteArray& file) {
    return ErrorOf([&] { BitmapFile::Decode(file); });
}

Bmp Rle(int bits, QByteArray stream, quint32 sizeImage = 0) {
    Bmp b = Paletted(40, bits, std::move(stream));
    b.width = 4;
    b.height = 3;
    b.compression = bits == 8 ? 1 : 2;
    b.sizeImage = sizeImage;
    return b;
}

TEST(BitmapFile, RunLengthPixelsDecodeRunsAbsoluteRunsAndJumps) {
    // Bottom row: 3 × green then end of line; middle: absolute blue, white, red; then a jump
    // over the top row's first two pixels, one green, end of bitmap.
    const Bmp rle8 = Rle(8, B({3, 1, 0, 0, 0, 3, 2, 3, 0, 0, 0, 0, 0, 2, 2, 0, 1, 1, 0, 1}));
    const QImage image = BitmapFile::Decode(rle8.File());
    ASSERT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(0, 2), kGreen);
    EXPECT_EQ(image.pixel(2, 2), kGreen);
    EXPECT_EQ(image.pixel(3, 2), kRed); // never given: the first colour
    EXPECT_EQ(image.pixel(0, 1), kBlue);
    EXPECT_EQ(image.pixel(1, 1), kWhite);
    EXPECT_EQ(image.pixel(2, 1), kRed);
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(2, 0), kGreen);
    EXPECT_EQ(image.pixel(3, 0), kRed);

    const Bmp rle4 = Rle(4, B({4, 0x12, 0, 0, 0, 4, 0x32, 0x10, 0, 1}));
    const QImage four = BitmapFile::Decode(rle4.File());
    EXPECT_EQ(four.pixel(0, 2), kGreen);
    EXPECT_EQ(four.pixel(1, 2), kBlue);
    EXPECT_EQ(four.pixel(3, 2), kBlue);
    EXPECT_EQ(four.pixel(0, 1), kWhite);
    EXPECT_EQ(four.pixel(2, 1), kGreen);
}

TEST(BitmapFile, RunLengthStreamsThatStopEarlyOrClaimMoreAreRefused) {
    // No end of bitmap and rows still missing.
    EXPECT_EQ(DecodeError(Rle(8, B({3, 1, 0, 0})).File()), "Bitmap image is not valid");
    // An absolute run cut off in the middle.
    EXPECT_EQ(DecodeError(Rle(8, B({0, 4, 1, 2})).File()), "Bitmap image is not valid");
    // The header says there is more than the file holds.
    EXPECT_EQ(DecodeError(Rle(8, B({0, 1}), 400).File()), "Bitmap image is not valid");
    // Top-down rows cannot be run-length coded.
    Bmp topDown = Rle(8, B({0, 1}));
    topDown.height = -3;
    EXPECT_EQ(DecodeError(topDown.File()), "Bitmap image is not valid");
}

TEST(BitmapFile, HeadersWindowsDoesNotReadAreRefused) {
    Bmp good = Paletted(40, 8, B({0, 1, 0, 0, 2, 3, 0, 0}));
    ASSERT_TRUE(DecodeError(good.File()).isEmpty());
    const auto refused = [&good](auto change) {
        Bmp b = good;
        change(b);
        return DecodeError(b.File());
    };
    const QString invalid = "Bitmap image is not valid";
    EXPECT_EQ(refused([](Bmp& b) { b.headerSize = 64; }), invalid); // OS/2 2.x
    EXPECT_EQ(refused([](Bmp& b) { b.bits = 7; }), invalid);
    EXPECT_EQ(refused([](Bmp& b) { b.compression = 4; }), invalid); // embedded JPEG
    EXPECT_EQ(refused([](Bmp& b) { b.compression = 2; }), invalid); // RLE4 with 8 bits
    EXPECT_EQ(refused([](Bmp& b) { b.width = -2; }), invalid);
    EXPECT_EQ(refused([](Bmp& b) { b.height = 0; }), invalid);
    QByteArray noMagic = good.File();
    noMagic[0] = 'X';
    EXPECT_EQ(DecodeError(noMagic), invalid);
    QByteArray twoPlanes = good.File();
    twoPlanes[26] = 2;
    EXPECT_EQ(DecodeError(twoPlanes), invalid);
    // A colour count far beyond the file.
    QByteArray manyColours = good.File();
    manyColours[46] = manyColours[47] = manyColours[48] = '\x7f';
    EXPECT_EQ(DecodeError(manyColours), invalid);
    for (int cut : {0, 2, 13, 20, 27, 53})
        EXPECT_EQ(DecodeError(good.File().left(cut)), invalid) << cut;
}

TEST(BitmapFile, HugeClaimsAreRefusedBeforeAnythingIsAllocated) {
    // 27 bytes that claim 1154 × 24619 pixels in an OS/2 header.
    Bmp claim;
    claim.headerSize = 12;
    claim.width = 1154;
    claim.height = 24619;
    claim.pixels = B({1});
    EXPECT_EQ(DecodeError(claim.File()), "Bitmap image is not valid");
    EXPECT_EQ(claim.File().size(), 27);
    // Over the bound: refused as too large, whatever follows.
    for (auto [w, h] :
         {std::pair{20000, 20000}, std::pair{0x7FFFFFFF, 1}, std::pair{1, -0x7FFFFFFF}}) {
        Bmp big;
        big.width = w;
        big.height = h;
        big.pixels = B({1, 2, 3});
        EXPECT_EQ(DecodeError(big.File()), PictureSize::TooLargeText()) << w << "x" << h;
    }
}

TEST(BitmapFile, IndexesBeyondTheColourTableAreBlack) {
    Bmp b = Paletted(40, 8, B({0, 200, 0, 0, 2, 3, 0, 0}));
    const QImage image = BitmapFile::Decode(b.File());
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), kBlue);
}

} // namespace
