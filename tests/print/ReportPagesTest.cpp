#include "printcore/ReportPages.h"
#include "PdfTools.h"
#include "PrintFixture.h"
#include "labels/DBRichEdit.h"
#include "platform/RtfReader.h"
#include "platform/SjisCodec.h"
#include "platform/WindowsFaces.h"
#include "printcore/PrintJob.h"

#include <QDir>
#include <QTemporaryDir>

#include <array>

#include <gtest/gtest.h>

using namespace PrintFixture;

namespace {

const QColor kRed(220, 0, 0);
const QColor kWhite(Qt::white);

std::vector<TPrintRow> EmptyRows(int count) {
    return std::vector<TPrintRow>(count);
}

QByteArray ManyLines(int lines) {
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += "WWWWWWWWWWWW\r\n";
    return text;
}

// A cell's inside, clear of its dotted frame.
QRectF Inside(int column, int row) {
    return QRectF(15 + (column - 1) * 88 + 1, 21 + (row - 1) * 50 + 1, 84, 48);
}

// Darkness summed over the image, in whole black pixels.
double Ink(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += 255 - qGray(image.pixel(x, y));
    return sum / 255;
}

QString WritePdf(TReportPages& pages, const QString& path) {
    TPdfDocument pdf(path, pages.Page().paper, pages.Page().title);
    pages.DrawPage(pdf.Painter(), 0);
    pdf.Finish();
    return path;
}

} // namespace

TEST(ReportPages, SevenEmptyRowsAheadOfFourLabelsLandInColumnTwoThenOnPageTwo) {
    std::vector<TPrintRow> rows = EmptyRows(7);
    for (int i = 0; i < 4; ++i)
        rows.push_back(PictureRow(kRed));
    TReportPages pages(LabelSheet(), rows, 96);
    ASSERT_EQ(pages.Count(), 2);
    const QImage first = Render(pages, 0);
    for (int column = 1; column <= 2; ++column) {
        for (int row = 1; row <= 5; ++row) {
            const bool label = column == 2 && row >= 3;
            EXPECT_EQ(CellColour(first, column, row), label ? kRed : kWhite)
                << "page 1 column " << column << " row " << row;
        }
    }
    const QImage second = Render(pages, 1);
    EXPECT_EQ(CellColour(second, 1, 1), kRed);
    EXPECT_EQ(CellColour(second, 1, 2), kWhite);
    EXPECT_EQ(CellColour(second, 2, 1), kWhite);
}

TEST(ReportPages, TenLabelsFillColumnOneTopToBottomBeforeColumnTwo) {
    std::vector<TPrintRow> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back(PictureRow(QColor::fromHsv(i * 36, 255, 200)));
    TReportPages pages(LabelSheet(), rows, 96);
    ASSERT_EQ(pages.Count(), 1);
    const QImage image = Render(pages, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(CellColour(image, i / 5 + 1, i % 5 + 1).rgb(),
                  QColor::fromHsv(i * 36, 255, 200).rgb())
            << "row " << i;
}

TEST(ReportPages, EmptyRowsShowOnlyTheirDottedFramesInTheFrameColour) {
    TPageDescription page = LabelSheet();
    TReportPages black(page, EmptyRows(10), 96);
    const QImage shown = Render(black, 0);
    for (int column = 1; column <= 2; ++column) {
        for (int row = 1; row <= 5; ++row) {
            EXPECT_EQ(DarkPixels(shown, Inside(column, row)), 0);
            // Along the top edge: dots, not a solid line.
            const int dots = DarkPixels(
                shown, QRectF(15 + (column - 1) * 88 + 2, 21 + (row - 1) * 50, 82, 0.25));
            EXPECT_GT(dots, 20);
            EXPECT_LT(dots, 82 * kPixelsPerMm);
        }
    }
    EXPECT_EQ(DarkPixels(shown, QRectF(0, 0, 210, 20)), 0) << "nothing outside the cells";

    page.frameColor = Qt::white;
    TReportPages white(page, EmptyRows(10), 96);
    EXPECT_EQ(DarkPixels(Render(white, 0), QRectF(0, 0, 210, 297)), 0);
}

TEST(ReportPages, TextRunningIntoTheNextCellIsCoveredByItsBackground) {
    TPageDescription page = LabelSheet();
    page.textRect = QRectF(0, 0, 86 * 3.8, 50 * 3.8); // the text may run past its cell
    page.picturePrinted = false;
    std::vector<TPrintRow> rows = EmptyRows(2);
    rows[0].cardText = ManyLines(30);
    TReportPages covered(page, rows, 96);
    const QImage image = Render(covered, 0);
    EXPECT_GT(DarkPixels(image, Inside(1, 1)), 1000);
    EXPECT_EQ(DarkPixels(image, Inside(1, 2)), 0);

    // Without a cell below, the same text shows below its own cell.
    rows.pop_back();
    TReportPages alone(page, rows, 96);
    EXPECT_GT(DarkPixels(Render(alone, 0), Inside(1, 2)), 1000);
}

TEST(ReportPages, TextIsCutAtItsElementWhenTheElementIsSmaller) {
    TPageDescription page = LabelSheet();
    page.textRect = QRectF(10, 10, 30, 10);
    page.picturePrinted = false;
    std::vector<TPrintRow> rows(1);
    rows[0].cardText = ManyLines(30);
    TReportPages pages(page, rows, 96);
    const QImage image = Render(pages, 0);
    EXPECT_GT(DarkPixels(image, QRectF(15 + 10, 21 + 10, 30, 10)), 100);
    EXPECT_EQ(DarkPixels(image, QRectF(15 + 10, 21 + 21, 30, 20)), 0);
    EXPECT_EQ(DarkPixels(image, QRectF(15 + 41, 21 + 10, 20, 10)), 0);
}

TEST(ReportPages, UnstretchedPictureIsCentredAtItsNaturalSizeAndCut) {
    TPageDescription page = LabelSheet();
    page.pictureStretch = false;
    page.pictureRect = QRectF(3, 3, 40, 20);
    // 96 x 96 pixels at 96 per inch: 25.4 mm square, centred: x 10.3...35.7, y cut at 3 and 23.
    std::vector<TPrintRow> rows = {TPrintRow{QByteArray(), SolidPicture(kRed, 96, 96)}};
    TReportPages pages(page, rows, 96);
    const QImage image = Render(pages, 0);
    const double x0 = 15, y0 = 21;
    EXPECT_EQ(At(image, x0 + 9.5, y0 + 12), kWhite);
    EXPECT_EQ(At(image, x0 + 11.5, y0 + 12), kRed);
    EXPECT_EQ(At(image, x0 + 34.5, y0 + 12), kRed);
    EXPECT_EQ(At(image, x0 + 36.5, y0 + 12), kWhite);
    EXPECT_EQ(At(image, x0 + 20, y0 + 3.5), kRed);
    EXPECT_EQ(At(image, x0 + 20, y0 + 2.5), kWhite) << "cut at the top of the rectangle";
    EXPECT_EQ(At(image, x0 + 20, y0 + 22.5), kRed);
    EXPECT_EQ(At(image, x0 + 20, y0 + 23.5), kWhite) << "cut at the bottom";
}

TEST(ReportPages, PictureFlagsDecideWhatLiesOverTheText) {
    TPageDescription page = LabelSheet();
    page.pictureRect = QRectF(0, 0, 86, 20);
    std::vector<TPrintRow> rows(1);
    rows[0].cardText = ManyLines(8); // about 36 mm of text
    const QRectF underPicture(15 + 1, 21 + 1, 40, 18);
    const QRectF belowPicture(15 + 1, 21 + 21, 40, 10);

    // Stretched without a picture: a white rectangle over the text.
    TReportPages stretched(page, rows, 96);
    QImage image = Render(stretched, 0);
    EXPECT_EQ(DarkPixels(image, underPicture), 0);
    EXPECT_GT(DarkPixels(image, belowPicture), 100);

    // Not stretched without a picture: nothing is drawn.
    page.pictureStretch = false;
    TReportPages natural(page, rows, 96);
    EXPECT_GT(DarkPixels(Render(natural, 0), underPicture), 100);

    // Not printed: even a real picture stays away.
    page.pictureStretch = true;
    page.picturePrinted = false;
    rows[0].picture = SolidPicture(Qt::black);
    TReportPages hidden(page, rows, 96);
    image = Render(hidden, 0);
    EXPECT_LT(DarkPixels(image, underPicture), 40 * 18 * kPixelsPerMm * kPixelsPerMm / 2);
    EXPECT_GT(DarkPixels(image, underPicture), 100);
}

TEST(ReportPages, DamagedRtfDrawsWhatCanBeReadAndEmptyTextDrawsNothing) {
    std::vector<TPrintRow> rows(4);
    rows[0].cardText = QByteArray("{\\rtf1\\ansi WWWWWWWW {\\b WWWW"); // never closed
    rows[1].cardText = QByteArray("{\\rtf");                           // no header at all
    rows[2].cardText = QByteArray("");
    rows[3].cardText = QByteArray("{\\rtf1 \\'zz\\u-99999999 \\bin99999999 ");
    TReportPages pages(LabelSheet(), rows, 96);
    const QImage image = Render(pages, 0);
    EXPECT_GT(DarkPixels(image, Inside(1, 1)), 100);
    EXPECT_EQ(DarkPixels(image, Inside(1, 3)), 0);
}

TEST(ReportPages, RichTextKeepsItsOwnSizesAndAlignment) {
    TPageDescription page = LabelSheet();
    std::vector<TPrintRow> rows(2);
    rows[0].cardText = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 "
                       "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
                       "\\pard\\qr\\f0\\fs20 WW\\par}";
    rows[1].cardText = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs96 WW\\par}";
    TReportPages pages(page, rows, 96);
    const QImage image = Render(pages, 0);
    // Right aligned: nothing on the left half of the first cell, something on the right.
    EXPECT_EQ(DarkPixels(image, QRectF(16, 22, 40, 10)), 0);
    EXPECT_GT(DarkPixels(image, QRectF(60, 22, 40, 10)), 10);
    // 48 points: taller than 10 mm.
    int lowest = 0;
    for (int y = 72; y < 120; ++y)
        if (DarkPixels(image, QRectF(16, y, 80, 1)) > 0)
            lowest = y;
    EXPECT_GT(lowest - 72, 10);
}

TEST(ReportPages, SearchFindsTheTextOfEachCellOnItsPage) {
    std::vector<TPrintRow> rows(12);
    rows[3].cardText = Sjis::Encode(QStringLiteral("りんご と みかん"));
    rows[11].cardText = Sjis::Encode(QStringLiteral("リンゴ、みかん、みかん"));
    TReportPages pages(LabelSheet(), rows, 96);
    const auto onFirst = pages.FindText(0, QStringLiteral("みかん"));
    ASSERT_EQ(onFirst.size(), 1u);
    const QRectF cell = TCellPainter::DotsRect(QRectF(150, 210 + 3 * 500, 860, 500));
    EXPECT_TRUE(cell.contains(onFirst[0])) << "the hit lies in the fourth cell";
    EXPECT_GT(onFirst[0].width(), 0);
    EXPECT_EQ(pages.FindText(1, QStringLiteral("みかん")).size(), 2u);
    EXPECT_TRUE(pages.FindText(0, QStringLiteral("ぶどう")).empty());
    EXPECT_TRUE(pages.FindText(0, QString()).empty());
}

// A label of the text alone: no frames, and no empty picture area painted over the text.
TReportPages TextLabel(const QByteArray& rtf) {
    TPageDescription page = LabelSheet();
    page.frameColor = Qt::white;
    page.picturePrinted = false;
    std::vector<TPrintRow> rows(1);
    rows[0].cardText = rtf;
    return TReportPages(page, rows, 96);
}

// The text as the editor shows it, at the screen's 96 pixels per inch, drawn inside a window
// as on the screen.
QImage InEditor(const QByteArray& rtf, int zoom) {
    QWidget window;
    auto* editor = new TDBRichEdit(&window);
    editor->SetZoom(zoom);
    editor->setGeometry(40, 30, 7 * zoom, 120 * zoom / 100);
    window.resize(editor->geometry().bottomRight().x() + 40, editor->geometry().bottom() + 40);
    RtfRead(rtf, editor->document());
    const QRect viewport(editor->viewport()->mapTo(&window, QPoint()), editor->viewport()->size());
    return window.grab().toImage().copy(viewport);
}

// The faces here have no bold of their own: the PDF writer strokes the outlines, and the
// preview and the editor have to show the same weight, at sizes the font engine would thicken
// itself (the editor's) and at sizes it would not (the preview's).
TEST(ReportPages, SyntheticBoldShowsOnScreenAsHeavyAsInThePdf) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    InstallWindowsFaceSubstitutes();
    for (const char* face :
         {"IPAPMincho", "IPAPGothic", "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'96\\'be\\'92\\'a9"}) {
        SCOPED_TRACE(face);
        // The editor at 100 %, where the font engine would thicken the text, and at 300 %,
        // where it would not.
        constexpr int kZooms[] = {100, 300};
        double screen[2] = {}, paper[2] = {}, editor[2][2] = {}, editorPaper[2][2] = {};
        for (int bold = 0; bold < 2; ++bold) {
            const QByteArray rtf =
                QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 ") + face +
                ";}}\\pard\\f0\\fs40" + (bold ? "\\b" : "") +
                " WWWW ABCabc \\'96\\'be\\'92\\'a9\\'91\\'cc\\par}";
            TReportPages pages = TextLabel(rtf);
            // 6 pixels per millimetre: 0.13 screen pixels per dot, about the 83 % zoom.
            constexpr int pixelsPerMm = 6;
            const double scale = pixelsPerMm * 25.4 / PrinterDpi;
            QImage shown((pages.PageSize() * scale).toSize(), QImage::Format_RGB32);
            shown.fill(Qt::white);
            QPainter painter(&shown);
            painter.scale(scale, scale);
            pages.DrawPage(painter, 0);
            screen[bold] = Ink(shown);
            QTemporaryDir dir;
            const QString pdf = WritePdf(pages, dir.filePath("b.pdf"));
            paper[bold] = Ink(PdfTools::Raster(pdf, 1, pixelsPerMm));
            for (int z = 0; z < 2; ++z) {
                editor[z][bold] = Ink(InEditor(rtf, kZooms[z]));
                editorPaper[z][bold] = Ink(PdfTools::Raster(pdf, 1, kZooms[z] * 0.96 / 25.4));
            }
        }
        EXPECT_NEAR(screen[0], paper[0], paper[0] * 0.03);
        EXPECT_GT(paper[1], paper[0] * 1.2);
        EXPECT_NEAR(screen[1] / screen[0], paper[1] / paper[0], 0.1);
        for (int z = 0; z < 2; ++z) {
            SCOPED_TRACE(kZooms[z]);
            EXPECT_NEAR(editor[z][1], editorPaper[z][1], editorPaper[z][1] * 0.08);
            EXPECT_NEAR(editor[z][1] / editor[z][0], editorPaper[z][1] / editorPaper[z][0], 0.1);
        }
    }
}

// Where the text's ink lies, and how much of it each third of its width holds, left to right.
struct TextInk {
    QRect box;
    std::array<double, 3> thirds{};
};

TextInk InkThirds(const QImage& image) {
    TextInk ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink.box |= QRect(x, y, 1, 1);
    for (int i = 0; i < 3; ++i) {
        const int left = ink.box.left() + ink.box.width() * i / 3;
        const int right = ink.box.left() + ink.box.width() * (i + 1) / 3;
        ink.thirds[i] = Ink(image.copy(QRect(left, ink.box.top(), right - left, ink.box.height())));
    }
    return ink;
}

// Bold runs side by side, underlined, raised and struck out: each is drawn once, where it
// prints, with its own line.
TEST(ReportPages, EditorDrawsNeighbouringBoldRunsAndTheirLinesAsPrinted) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 IPAPMincho;}}\\pard\\f0\\fs40\\b\\ul "
                           "ABC\\ul0 D\\up12 E\\up0 F\\strike GHI\\par}";
    TReportPages pages = TextLabel(rtf);
    QTemporaryDir dir;
    const auto paper =
        InkThirds(PdfTools::Raster(WritePdf(pages, dir.filePath("d.pdf")), 1, 96 / 25.4));
    const auto shown = InkThirds(InEditor(rtf, 100));
    EXPECT_NEAR(shown.box.height(), paper.box.height(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(shown.thirds[i], paper.thirds[i], paper.thirds[i] * 0.1) << "third " << i;
}

TEST(ReportPages, PicturesReachThePdfPixelForPixel) {
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixelColor(x, y, x < 13 ? kRed : (x + y) % 2 ? kWhite : QColor(0, 0, 160));
    for (const bool stretch : {true, false}) {
        SCOPED_TRACE(stretch);
        TPageDescription page = LabelSheet();
        page.pictureStretch = stretch;
        std::vector<TPrintRow> rows = {
            TPrintRow{QByteArray(), std::make_shared<const QImage>(picture)}};
        TReportPages pages(page, rows, 96);
        QTemporaryDir dir;
        PdfTools::Run("pdfimages",
                      {"-png", WritePdf(pages, dir.filePath("p.pdf")), dir.filePath("img")});
        const QStringList images = QDir(dir.path()).entryList({"img*.png"});
        ASSERT_EQ(images.size(), 1);
        const QImage stored = QImage(dir.filePath(images[0])).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(stored, picture);
    }
}
