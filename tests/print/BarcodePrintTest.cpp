#include "PdfTools.h"
#include "printcore/PrintJob.h"
#include "printcore/ReportPages.h"
#include "support/LabelSheetPage.h"

#include <QTemporaryDir>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

namespace {

// A label whose text is one barcode field, as a word processor writes it.
QByteArray BarcodeDesign(const QString& instruction, bool vertical = false) {
    QByteArray rtf = vertical ? "{\\rtf1\\ansi\\sectd\\stextflow1{\\field{\\*\\fldinst "
                              : "{\\rtf1\\ansi{\\field{\\*\\fldinst ";
    for (const QChar c : instruction)
        rtf += c == u'\\'           ? QByteArray("\\\\")
               : c.unicode() < 0x80 ? QByteArray(1, c.toLatin1())
                                    : "\\u" + QByteArray::number(c.unicode()) + "?";
    return rtf + "}{\\fldrslt x}}\\par}";
}

std::string Decode(const QImage& page, ZXing::BarcodeFormat format) {
    const QImage gray = page.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setReturnCodabarStartEnd(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? result.text() : std::string("(nothing decoded)");
}

// The design printed alone onto a PDF page and read back from the page rasterised by poppler.
std::string PrintAndDecode(const QByteArray& design, ZXing::BarcodeFormat format) {
    QTemporaryDir dir;
    TPageDescription page = LabelSheet();
    page.frameColor = Qt::white;
    page.picturePrinted = false;
    TPrintRow row;
    row.cardText = design;
    TReportPages pages(page, {row}, 96);
    const QString pdf = dir.filePath("barcode.pdf");
    {
        TPdfDocument out(pdf, page.paper, page.title);
        pages.DrawPage(out.Painter(), 0);
        out.Finish();
    }
    return Decode(PdfTools::Raster(pdf, 1, 12), format);
}

// Each type printed to a PDF page, rasterised by poppler and read back by a barcode reader.
TEST(BarcodePrint, EveryTypeDecodesFromThePrintedPdf) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    using F = ZXing::BarcodeFormat;
    const struct {
        const char* instruction;
        F format;
        const char* decoded;
    } cases[] = {
        {"DISPLAYBARCODE \"タブレル QR 123\" QR \\q 2", F::QRCode, "タブレル QR 123"},
        {"DISPLAYBARCODE \"https://example.jp/a?b=1\" QR \\r 1", F::QRCode,
         "https://example.jp/a?b=1"},
        {"DISPLAYBARCODE \"Tavrel-128 x\" CODE128 \\t", F::Code128, "Tavrel-128 x"},
        {"DISPLAYBARCODE TAVREL39 CODE39 \\r 2", F::Code39, "TAVREL39"},
        {"DISPLAYBARCODE 4901234567894 JAN13 \\t", F::EAN13, "4901234567894"},
        {"DISPLAYBARCODE 490123456789 EAN13", F::EAN13, "4901234567894"},
        {"DISPLAYBARCODE 49123456 JAN8", F::EAN8, "49123456"},
        {"DISPLAYBARCODE 14901234567891 ITF14 \\s 40", F::ITF, "14901234567891"},
        {"DISPLAYBARCODE A123456A NW7 \\h 720", F::Codabar, "A123456A"},
        {"DISPLAYBARCODE 012345678905 UPCA", F::UPCA, "012345678905"},
        {"DISPLAYBARCODE 01234565 UPCE", F::UPCE, "01234565"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.instruction);
        EXPECT_EQ(PrintAndDecode(BarcodeDesign(QString::fromUtf8(c.instruction)), c.format),
                  c.decoded);
        // Set vertically, the symbol turns with the column and still reads.
        if (c.format == F::QRCode || c.format == F::Code128) {
            EXPECT_EQ(
                PrintAndDecode(BarcodeDesign(QString::fromUtf8(c.instruction), true), c.format),
                c.decoded);
        }
    }
}

} // namespace
