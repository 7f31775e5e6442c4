#include "platform/Metafile.h"
#include "platform/Error.h"
#include "platform/PictureSize.h"
#include "support/Errors.h"
#include "support/PictureSamples.h"

#include <QFile>
#include <QHash>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

void ExpectRedRectangleOnWhite(const QImage& bitmap) {
    ASSERT_EQ(bitmap.size(), QSize(20, 15));
    EXPECT_EQ(bitmap.pixel(10, 7), kRed);
    EXPECT_EQ(bitmap.pixel(4, 4), kRed);
    EXPECT_EQ(bitmap.pixel(0, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(19, 14), kWhite);
}

TEST(Metafile, EnhancedMetafileIsDrawnOnWhiteAtItsOwnPixelSize) {
    ExpectRedRectangleOnWhite(GraphicToBitmap(Metafile::ReadEmf(Samples::Emf())));
}

TEST(Metafile, PlaceableWindowsMetafileIsDrawnAtTheSizeItsHeaderGives) {
    ExpectRedRectangleOnWhite(GraphicToBitmap(Metafile::ReadWmf(Samples::Wmf())));
    ExpectRedRectangleOnWhite(GraphicToBitmap(Metafile::ReadWmf(Samples::Wmf(true, 300))));
    // Without the placeable header the drawing's own extent is the picture.
    const QImage bare = GraphicToBitmap(Metafile::ReadWmf(Samples::Wmf(false)));
    ASSERT_FALSE(bare.isNull());
    EXPECT_EQ(bare.pixel(bare.width() / 2, bare.height() / 2), kRed);
}

TEST(Metafile, CutOffOrInconsistentRecordsAreRefused) {
    const QString invalid = "Metafile is not valid";
    const QByteArray emf = Samples::Emf();
    QByteArray zeroSize = emf;
    qToLittleEndian<quint32>(0, zeroSize.data() + 88 + 4); // would never move on
    QByteArray beyond = emf;
    qToLittleEndian<quint32>(0x1000, beyond.data() + 88 + 4);
    QByteArray signature = emf;
    signature[41] = 'X';
    QByteArray noEnd = emf;
    noEnd[emf.size() - 20] = 70; // the end record becomes a comment
    for (const QByteArray& bad : {emf.left(40), emf.left(emf.size() - 4), zeroSize, beyond,
                                  signature, noEnd, QByteArray("BM")})
        EXPECT_EQ(ErrorOf([&] { Metafile::ReadEmf(bad); }), invalid);

    const QByteArray wmf = Samples::Wmf();
    QByteArray headerSize = wmf;
    headerSize[22 + 2] = 10;
    QByteArray emptyRecord = wmf;
    qToLittleEndian<quint32>(0, emptyRecord.data() + 22 + 18);
    QByteArray noInch = wmf;
    noInch[14] = noInch[15] = 0;
    for (const QByteArray& bad :
         {wmf.left(10), wmf.left(wmf.size() - 2), headerSize, emptyRecord, noInch, emf})
        EXPECT_EQ(ErrorOf([&] { Metafile::ReadWmf(bad); }), invalid);
}

// Found by fuzzing: the converter read a description the header placed outside its record.
TEST(Metafile, HeaderDescriptionOrPixelFormatOutsideTheHeaderIsNotRead) {
    const QByteArray emf = Samples::Emf();
    auto withHeaderField = [&emf](std::initializer_list<std::pair<int, quint32>> fields) {
        QByteArray changed = emf;
        for (const auto& [at, value] : fields)
            qToLittleEndian<quint32>(value, changed.data() + at);
        return changed;
    };
    const qint32 end = static_cast<qint32>(emf.size());
    const QList<QByteArray> strays = {
        withHeaderField({{60, 0}, {64, 178}}),         // no length: read up to a zero
        withHeaderField({{60, 1000}, {64, 88}}),       // longer than the header
        withHeaderField({{60, 2}, {64, quint32(end)}}) // beyond the file
    };
    for (const QByteArray& stray : strays)
        ExpectRedRectangleOnWhite(GraphicToBitmap(Metafile::ReadEmf(stray)));
    // A header long enough to carry a pixel format pointing past itself.
    QByteArray longHeader = emf;
    qToLittleEndian<quint32>(100, longHeader.data() + 4);
    longHeader.insert(88, QByteArray(12, '\0'));
    qToLittleEndian<quint32>(static_cast<quint32>(longHeader.size()), longHeader.data() + 48);
    qToLittleEndian<quint32>(40, longHeader.data() + 88);
    qToLittleEndian<quint32>(96, longHeader.data() + 92);
    ExpectRedRectangleOnWhite(GraphicToBitmap(Metafile::ReadEmf(longHeader)));
}

// Found by fuzzing: the converter took gigabytes for a header claiming a huge record.
TEST(Metafile, WindowsMetafileHeaderClaimingAHugeRecordIsDrawnAsItsRecordsAre) {
    for (const bool placeable : {true, false}) {
        QByteArray wmf = Samples::Wmf(placeable);
        qToLittleEndian<quint32>(0x65707974, wmf.data() + (placeable ? 22 : 0) + 12);
        const QImage bitmap = GraphicToBitmap(Metafile::ReadWmf(wmf));
        if (placeable)
            ExpectRedRectangleOnWhite(bitmap);
        else
            EXPECT_EQ(bitmap.pixel(bitmap.width() / 2, bitmap.height() / 2), kRed);
    }
}

TEST(Metafile, FramesOverThePictureBoundAreRefusedBeforeDrawing) {
    QByteArray emf = Samples::Emf();
    qToLittleEndian<qint32>(2000000000, emf.data() + 32); // frame right: 7.5 million pixels
    EXPECT_EQ(ErrorOf([&] { Metafile::ReadEmf(emf); }), PictureSize::TooLargeText());
    QByteArray wmf = Samples::Wmf();
    qToLittleEndian<quint16>(32767, wmf.data() + 10); // right edge
    qToLittleEndian<quint16>(1, wmf.data() + 14);     // one unit per inch: 3 million pixels
    EXPECT_EQ(ErrorOf([&] { Metafile::ReadWmf(wmf); }), PictureSize::TooLargeText());
}

QByteArray Fields(std::initializer_list<quint32> values) {
    Samples::Bytes b;
    for (quint32 v : values)
        b.U32(v);
    return b.data;
}

// The sample with records added before its end record.
QByteArray EmfWith(std::initializer_list<std::pair<quint32, QByteArray>> records) {
    QByteArray emf = Samples::Emf();
    Samples::Bytes added;
    for (const auto& [type, fields] : records)
        added.U32(type).U32(8 + static_cast<quint32>(fields.size())).Raw(fields);
    emf.insert(emf.size() - 20, added.data);
    qToLittleEndian<quint32>(static_cast<quint32>(emf.size()), emf.data() + 48);
    return emf;
}

QByteArray WmfWith(std::initializer_list<std::pair<int, QByteArray>> records,
                   bool placeable = true) {
    QByteArray wmf = Samples::Wmf(placeable);
    Samples::Bytes added;
    for (const auto& [function, params] : records)
        added.U32(3 + static_cast<quint32>(params.size() / 2)).U16(function).Raw(params);
    wmf.insert(wmf.size() - 6, added.data);
    return wmf;
}

QByteArray Words(std::initializer_list<int> values) {
    Samples::Bytes b;
    for (int v : values)
        b.U16(v);
    return b.data;
}

TEST(Metafile, FieldsReachingPastTheirRecordAreRefused) {
    const QString invalid = "Metafile is not valid";
    const QList<QByteArray> emfs = {
        EmfWith({{86, Fields({0, 0, 9, 9, 1000, 0x00010001})}}), // 1000 points, one given
        EmfWith({{84, Fields({0, 0, 9, 9, 1, 1, 1, 0, 0, 5, 500, 0, 0, 0, 0, 0, 0})}}),
        EmfWith(
            {{81, Fields({0, 0, 9, 9, 0, 0, 0, 0, 4, 4, 400, 40, 440, 16, 0, 0xCC0020, 4, 4})}}),
        EmfWith({{82, Fields({3, 20})}}), // a font cut off
    };
    for (const QByteArray& bad : emfs)
        EXPECT_EQ(ErrorOf([&] { GraphicToBitmap(Metafile::ReadEmf(bad)); }), invalid);
    QByteArray bareNoWindow = Samples::Wmf(false);
    bareNoWindow.remove(18, 2 * 10); // the window's origin and extent
    const QList<QByteArray> wmfs = {
        WmfWith({{0x324, Words({1000, 1, 1})}}),          // 1000 points, one given
        WmfWith({{0xA32, Words({1, 1, 50, 0, 0x4241})}}), // 50 bytes of text, two given
        WmfWith(
            {{0xF43, Words({0x20, 0xCC, 0, 1, 1, 0, 0, 1, 1, 0, 0, 40, 0})}}), // a bitmap cut off
        bareNoWindow,
    };
    for (const QByteArray& bad : wmfs)
        EXPECT_EQ(ErrorOf([&] { GraphicToBitmap(Metafile::ReadWmf(bad)); }), invalid);
}

// A few bytes of run-length data stand for a bitmap of the whole bound: the bitmaps of one
// metafile are bounded together.
TEST(Metafile, ManyRunLengthBitmapsTogetherOverTheBoundAreRefused) {
    Samples::Bytes dib;
    dib.U32(40).U32(8192).U32(8192).U16(1).U16(8).U32(1).U32(4).Zeros(16).Zeros(1024);
    dib.U8(0).U8(1).Zeros(2); // the end of the bitmap at once
    const QByteArray stretch =
        Fields({0, 0, 4, 4, 0, 0, 0, 0, 8192, 8192, 80, 1064, 1144, 4, 0, 0xCC0020, 4, 4}) +
        dib.data;
    EXPECT_NO_THROW(GraphicToBitmap(Metafile::ReadEmf(EmfWith({{81, stretch}, {81, stretch}}))));
    EXPECT_EQ(
        ErrorOf([&] {
            GraphicToBitmap(Metafile::ReadEmf(EmfWith(
                {{81, stretch}, {81, stretch}, {81, stretch}, {81, stretch}, {81, stretch}})));
        }),
        PictureSize::TooLargeText());
}

// Found by fuzzing: a font billions of units wide overflowed its stretch.
TEST(Metafile, FontsFarWiderThanThePictureStillDraw) {
    Samples::Bytes font;
    font.U32(3).U32(static_cast<quint32>(-12)).U32(2000000000).Zeros(8).U32(400).Zeros(8);
    font.Raw(QByteArray("I\0P\0A\0G\0o\0t\0h\0i\0c\0", 18)).Zeros(46);
    const QByteArray text = Fields({0, 0, 19, 14, 1, 0, 0, 1, 1, 2, 60, 0x100, 64}) +
                            QByteArray("A\0B\0", 4) + Fields({6, 6});
    const QImage bitmap = GraphicToBitmap(
        Metafile::ReadEmf(EmfWith({{82, font.data}, {37, Fields({3})}, {84, text}})));
    EXPECT_EQ(bitmap.size(), QSize(20, 15));
}

// "日本" in a font of each character set: the same picture whatever the encoding.
TEST(Metafile, WindowsMetafileTextIsReadInItsFontsCharacterSet) {
    auto withText = [](int charset, QByteArray bytes) {
        Samples::Bytes font;
        font.U16(-12).U16(0).U16(0).U16(0).U16(400).U8(0).U8(0).U8(0).U8(charset).Zeros(4);
        font.Raw(QByteArray("IPAGothic\0\0\0", 12));
        return GraphicToBitmap(Metafile::ReadWmf(WmfWith(
            {{0x2FB, font.data}, {0x12D, Words({2})}, {0xA32, Words({1, 1, 4, 0}) + bytes}})));
    };
    const QImage sjis = withText(128, "\x93\xFA\x96\x7B");
    EXPECT_EQ(sjis, withText(134, "\xC8\xD5\xB1\xBE"));
    EXPECT_NE(sjis, withText(0, "\x93\xFA\x96\x7B"));
    EXPECT_NE(sjis, GraphicToBitmap(Metafile::ReadWmf(Samples::Wmf())));
}

// Drawings LibreOffice wrote, with its own rendering of each (metafiles/make.sh): Japanese
// text in two fonts, rotated text, a picture with partial transparency, a gradient, a curve.
class LibreOfficeMetafile : public testing::TestWithParam<const char*> {};

bool Drawn(QRgb c) {
    return qRed(c) < 235 || qGreen(c) < 235 || qBlue(c) < 235;
}

QRect Extent(const QImage& image) {
    QRect extent;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Drawn(image.pixel(x, y)))
                extent |= QRect(x, y, 1, 1);
    return extent;
}

// The share of drawn pixels in each cell of a grid: text or a picture missing or out of place
// shows as a cell that differs.
QList<double> Coverage(const QImage& image) {
    const int columns = 8, rows = 6;
    QList<double> shares(columns * rows, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Drawn(image.pixel(x, y)))
                shares[y * rows / image.height() * columns + x * columns / image.width()] +=
                    double(columns * rows) / (image.width() * image.height());
    return shares;
}

int CountNear(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            count += std::abs(qRed(c) - qRed(colour)) <= 6 &&
                     std::abs(qGreen(c) - qGreen(colour)) <= 6 &&
                     std::abs(qBlue(c) - qBlue(colour)) <= 6;
        }
    return count;
}

TEST_P(LibreOfficeMetafile, IsDrawnAsLibreOfficeDrawsIt) {
    const QString base =
        QStringLiteral(TAVREL_SOURCE_DIR "/tests/platform/metafiles/") + GetParam();
    QFile file(base + (base.endsWith("emf") ? ".emf" : ".wmf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QImage drawn =
        GraphicToBitmap(base.endsWith("emf") ? Metafile::ReadEmf(bytes) : Metafile::ReadWmf(bytes))
            .convertToFormat(QImage::Format_RGB32);
    const QImage reference = QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), reference.size());

    const QRect extent = Extent(drawn), expected = Extent(reference);
    for (const auto& [edge, want] : {std::pair{extent.left(), expected.left()},
                                     {extent.top(), expected.top()},
                                     {extent.right(), expected.right()},
                                     {extent.bottom(), expected.bottom()}})
        EXPECT_NEAR(edge, want, 3) << "extent " << extent.x() << "," << extent.y() << " "
                                   << extent.width() << "x" << extent.height();

    const QList<double> cells = Coverage(drawn), expectedCells = Coverage(reference);
    for (qsizetype i = 0; i < cells.size(); ++i)
        EXPECT_NEAR(cells[i], expectedCells[i], 0.15) << "grid cell " << i;

    // Every colour covering more than half a percent of the reference, within a few levels.
    QHash<QRgb, int> histogram;
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x)
            ++histogram[reference.pixel(x, y)];
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it) {
        if (it.value() * 200 <= reference.width() * reference.height())
            continue;
        EXPECT_GE(CountNear(drawn, it.key()), it.value() / 2)
            << std::hex << it.key() << std::dec << " on " << it.value() << " pixels";
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, LibreOfficeMetafile,
                         testing::Values("text-emf", "text-wmf", "picture-emf", "picture-wmf",
                                         "shapes-emf", "shapes-wmf"));

} // namespace
