#include "PdfTools.h"
#include "PrintFixture.h"
#include "platform/Error.h"
#include "platform/SjisCodec.h"
#include "print/PreviewForm.h"
#include "print/PreviewWindow.h"
#include "support/Windows.h"

#include <QApplication>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace PrintFixture;

namespace {

int OpenPreviews() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<TPreviewForm*>(w) ? 1 : 0;
    return count;
}

// A report on the label sheet that logs its events and answers them as the print run does:
// white frames for the printer, black ones for the preview.
class LabelReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        report.Page = LabelSheet();
        report.PreviewFactory = PreviewWindows();
        report.OnBeforePrint = [this](bool&) {
            log << (report.PrintingToPrinter() ? "before:printer" : "before:preview");
            report.Page.frameColor = report.PrintingToPrinter() ? Qt::white : Qt::black;
        };
        report.OnStartPage = [this] { log << QString("start %1").arg(report.PageNumber()); };
        report.OnEndPage = [this] { log << QString("end %1").arg(report.PageNumber()); };
        report.OnAfterPrint = [this] { log << "after"; };
    }
    // Shows the preview and closes it as soon as the pages are there; returns its page count.
    int PreviewAndClose(const std::function<void(TPreviewForm*)>& look = {}) {
        int pages = -1;
        report.OnPreview = [&] {
            log << "preview";
            report.ShowPreview();
            QTimer::singleShot(0, [&] {
                TPreviewForm* form = OpenPreviewForm();
                pages = form->PageCount();
                if (look)
                    look(form);
                EXPECT_TRUE(TryClose(form));
                log << "closed";
            });
        };
        report.Preview();
        log << "returned";
        return pages;
    }
    QString PdfPath() const { return dir.filePath("labels.pdf"); }

    TLabelReport report;
    QStringList log;
    QTemporaryDir dir;
};

} // namespace

TEST_F(LabelReportTest, PreviewProducesItsPagesIntoTheWindowAndReturnsOnlyWhenClosed) {
    report.Rows.resize(11);
    EXPECT_EQ(PreviewAndClose(), 2);
    EXPECT_EQ(log, QStringList({"preview", "before:preview", "start 1", "end 1", "start 2", "end 2",
                                "closed", "returned"}));
    EXPECT_EQ(report.PageCount(), 2);
    EXPECT_EQ(OpenPreviews(), 0) << "the window is released when the call returns";
}

TEST_F(LabelReportTest, PreviewOpensMaximisedAtZoomToFitUnderTheTitle) {
    PreviewAndClose([](TPreviewForm* form) {
        EXPECT_EQ(form->windowTitle(), "印刷．．．テスト");
        EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(form->Zoom(), TPreviewForm::ZoomMode::Fit);
        EXPECT_LE(form->PageView->height(), form->ScrollBox->viewport()->height());
    });
}

TEST_F(LabelReportTest, WithoutAPreviewHandlerTheFacilityShowsItsOwnWindow) {
    report.Rows.resize(3);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        TPreviewForm* form = OpenPreviewForm();
        shown = form != nullptr;
        if (form)
            form->close();
    });
    report.Preview();
    EXPECT_TRUE(shown);
}

TEST_F(LabelReportTest, CloseIsRefusedWhileAPageIsProducedAndAllowedAfterwards) {
    report.Rows.resize(15);
    std::vector<bool> buttonDuring, closedDuring;
    report.OnStartPage = [&] {
        TPreviewForm* form = OpenPreviewForm();
        buttonDuring.push_back(form->CloseBtn->isEnabled());
        closedDuring.push_back(TryClose(form));
    };
    bool buttonAfter = false;
    PreviewAndClose([&](TPreviewForm* form) { buttonAfter = form->CloseBtn->isEnabled(); });
    EXPECT_EQ(buttonDuring, std::vector<bool>({false, false}));
    EXPECT_EQ(closedDuring, std::vector<bool>({false, false}));
    EXPECT_TRUE(buttonAfter);
}

TEST_F(LabelReportTest, CloseStaysDisabledWhileTheHandlersKeepItSo) {
    report.Rows.resize(2);
    bool refused = false;
    report.OnPreview = [&] {
        report.ShowPreview();
        report.SetPreviewCloseEnabled(false);
        QTimer::singleShot(0, [&] {
            TPreviewForm* form = OpenPreviewForm();
            refused = !TryClose(form) && !form->CloseBtn->isEnabled();
            report.SetPreviewCloseEnabled(true);
            form->CloseBtnClick();
        });
    };
    report.Preview();
    EXPECT_TRUE(refused);
}

TEST_F(LabelReportTest, CancelledProductionHasNoPagesNoWindowAndNoFile) {
    report.Rows.resize(3);
    report.OnBeforePrint = [this](bool& printReport) {
        log << "before";
        printReport = false;
    };
    EXPECT_FALSE(report.PrintToFile(PdfPath()));
    EXPECT_FALSE(QFile::exists(PdfPath()));
    report.Preview();
    EXPECT_EQ(log, QStringList({"before", "before"}));
    EXPECT_EQ(OpenPreviews(), 0);
}

TEST_F(LabelReportTest, PrintingRunsItsEventsAndTheAfterPrintEventOnlyAtTheEnd) {
    report.Rows.resize(12);
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    EXPECT_EQ(log,
              QStringList({"before:printer", "start 1", "end 1", "start 2", "end 2", "after"}));
    EXPECT_FALSE(report.PrintingToPrinter()) << "only while pages are produced";
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    EXPECT_EQ(PdfTools::PageCount(PdfPath()), 2);
    const QSizeF a4 = PdfTools::PageSize(PdfPath());
    EXPECT_NEAR(a4.width(), 595.3, 0.5);
    EXPECT_NEAR(a4.height(), 841.9, 0.5);
}

TEST_F(LabelReportTest, FramesAreWhiteOnThePrinterAndBlackInThePreview) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    report.Rows.resize(10);
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    const QImage printed = PdfTools::Raster(PdfPath(), 1, kPixelsPerMm);
    ASSERT_FALSE(printed.isNull());
    EXPECT_EQ(DarkPixels(printed, QRectF(0, 0, 210, 297)), 0);

    QImage shown;
    PreviewAndClose([&](TPreviewForm* form) { shown = form->PageView->grab().toImage(); });
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            dark += IsDark(shown.pixelColor(x, y)) ? 1 : 0;
    EXPECT_GT(dark, 200);

    // The preview's pages stay as produced when printing from it later turns frames white.
    report.OnBeforePrint = [this](bool&) { report.Page.frameColor = Qt::black; };
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    EXPECT_GT(DarkPixels(PdfTools::Raster(PdfPath(), 1, kPixelsPerMm), QRectF(0, 0, 210, 297)), 200)
        << "black frames would show in the printed file";
}

TEST_F(LabelReportTest, NoRowsGiveOneBlankPage) {
    EXPECT_EQ(PreviewAndClose(), 1);
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    EXPECT_EQ(report.PageCount(), 1);
    if (PdfTools::Available()) {
        EXPECT_EQ(PdfTools::PageCount(PdfPath()), 1);
    }
}

TEST_F(LabelReportTest, SharedPictureIsWrittenOnceIntoTheFile) {
    const auto picture = SolidPicture(QColor(10, 120, 200), 600, 400);
    for (int i = 0; i < 100; ++i)
        report.Rows.push_back(TPrintRow{Sjis::Encode("ラベル"), picture});
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    QFile file(PdfPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdf.count("/Subtype /Image"), 1);
    EXPECT_LT(pdf.size(), 1500 * 1024);
    if (PdfTools::Available()) {
        EXPECT_EQ(PdfTools::PageCount(PdfPath()), 10);
        EXPECT_EQ(PdfTools::Text(PdfPath()).count("ラベル"), 100);
    }
}

TEST_F(LabelReportTest, TextLandsWhereItsCellAndElementSay) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    report.Page.picturePrinted = false;
    report.Page.textRect = QRectF(0.5, 1.5, 80, 40);
    report.Rows.resize(7);
    report.Rows.push_back(TPrintRow{Sjis::Encode("Label1"), nullptr});
    ASSERT_TRUE(report.PrintToFile(PdfPath()));
    const auto words = PdfTools::Words(PdfPath());
    ASSERT_EQ(words.size(), 1u);
    // Row 8: column 2, row 3: x = 15 + 88 + 0.5, y = 21 + 100 + 1.5.
    EXPECT_NEAR(words[0].box.left(), 103.5, 0.6);
    EXPECT_NEAR(words[0].box.top(), 122.5, 1.5);
}

TEST_F(LabelReportTest, BadDescriptionsAreRefusedWithoutPagesOrWindow) {
    report.Rows.resize(3);
    report.Page.columns = 0;
    try {
        report.Preview();
        FAIL() << "no columns";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "列数が正しくありません。");
    }
    EXPECT_EQ(OpenPreviews(), 0);
    report.Page = LabelSheet();
    report.OnBeforePrint = [this](bool&) { report.Page.bandHeight = 0; };
    EXPECT_THROW(report.PrintToFile(PdfPath()), EError);
    EXPECT_FALSE(log.contains("after"));
    EXPECT_FALSE(report.PrintingToPrinter());
}
