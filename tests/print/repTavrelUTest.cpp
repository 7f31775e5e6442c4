#include "printcore/repTavrelU.h"
#include "ComposeFixture.h"
#include "PdfTools.h"
#include "platform/Error.h"
#include "print/PreviewWindow.h"
#include "support/Windows.h"
#include "ui/Hints.h"

#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

using namespace ComposeFixture;

namespace {

const QString kBuildFailed = QStringLiteral("印刷データ作成に失敗しました。");

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Words of the label's first line, top-left corners in millimetres, in reading order of the
// cell flow: down each column, then the next column.
std::vector<QPointF> LabelCorners(const QString& pdf, int page = 1) {
    std::vector<QPointF> corners;
    for (const PdfTools::Word& w : PdfTools::Words(pdf))
        if (w.page == page && w.text == QStringLiteral("ラベル"))
            corners.push_back(w.box.topLeft());
    std::sort(corners.begin(), corners.end(), [](QPointF a, QPointF b) {
        return std::make_pair(qRound(a.x()), a.y()) < std::make_pair(qRound(b.x()), b.y());
    });
    return corners;
}

// One print run on a design and a sheet list, driven step by step as PrintLabels drives it.
class PrintRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        design.cardText = LabelRtf();
        design.picture = Bitmap();
        design.width = 192;
        design.height = 96;
    }
    std::unique_ptr<TrepCardForm> Run(const TPrintParams& params, const Sheet& sheet = {}) {
        WriteSnapshot(Settings::SnapshotPath, design);
        LoadSheets(sheets, {sheet});
        auto form = std::make_unique<TrepCardForm>(params, sheets);
        form->LoadSnapshot(Settings::SnapshotPath);
        form->BuildPrintRows();
        form->repCard.Rows = form->PrintRows();
        return form;
    }
    // The run's pages as the printer gets them, written to a PDF file.
    QString PrintToPdf(TrepCardForm& form) {
        const QString pdf = program.dir.filePath("run.pdf");
        EXPECT_TRUE(form.repCard.PrintToFile(pdf));
        return pdf;
    }
    TempProgram program;
    Design design;
    Query sheets;
};

TEST_F(PrintRunTest, EmptyCellsComeFirstThenTheDesignAndItsCopies) {
    auto form = Run({"", "2x5", "A4", 0, 0, 4, 2, 3, 5});
    const std::vector<TPrintRow> rows = form->PrintRows();
    ASSERT_EQ(rows.size(), 11u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(rows[i].cardText.isNull()) << i;
        EXPECT_FALSE(rows[i].picture) << i;
    }
    for (int i = 7; i < 11; ++i) {
        EXPECT_EQ(rows[i].cardText, design.cardText) << i;
        ASSERT_TRUE(rows[i].picture) << i;
        // One decoded picture for every label that carries it.
        EXPECT_EQ(rows[i].picture.get(), rows[7].picture.get());
    }
    EXPECT_EQ(rows[7].picture->size(), QSize(600, 400));
    QList<int> ids;
    Query& q = form->ClientDataSetPrn;
    for (int r = 0; r < q.RecordCount(); ++r)
        ids << q.RowValue(r, q.FieldIndex("ID")).toInt();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, QList<int>({0, 0, 0, 0, 0, 0, 0, 41, 42, 43, 44}));
}

TEST_F(PrintRunTest, CountOneAtTheFirstCellIsTheDesignAlone) {
    auto form = Run({"", "2x5", "A4", 0, 0, 1, 1, 1, 5});
    EXPECT_EQ(form->PrintRows().size(), 1u);
}

TEST_F(PrintRunTest, TheSnapshotFileIsNeverChangedSoTheNextRunStartsFromTheDesignAlone) {
    WriteSnapshot(Settings::SnapshotPath, design);
    const QByteArray before = FileBytes(Settings::SnapshotPath);
    { auto form = Run({"", "2x5", "A4", 0, 0, 9, 2, 5, 5}); }
    EXPECT_EQ(FileBytes(Settings::SnapshotPath), before);
    auto second = Run({"", "2x5", "A4", 0, 0, 2, 1, 2, 5});
    EXPECT_EQ(second->PrintRows().size(), 3u);
}

TEST_F(PrintRunTest, AnUnreadablePictureOrNoPictureStillPrintsTheText) {
    for (const QByteArray& picture : {QByteArray("BM not a bitmap at all"), QByteArray()}) {
        design.picture = picture;
        auto form = Run({"", "2x5", "A4", 0, 0, 3, 1, 1, 5});
        const std::vector<TPrintRow> rows = form->PrintRows();
        ASSERT_EQ(rows.size(), 3u);
        for (const TPrintRow& row : rows) {
            EXPECT_FALSE(row.picture);
            EXPECT_EQ(row.cardText, design.cardText);
        }
    }
}

TEST_F(PrintRunTest, AnAbsurdNumberOfEmptyCellsIsRefused) {
    WriteSnapshot(Settings::SnapshotPath, design);
    LoadSheets(sheets, {Sheet{}});
    TrepCardForm form({"", "2x5", "A4", 0, 0, 1, 32767, 32767, 32767}, sheets);
    form.LoadSnapshot(Settings::SnapshotPath);
    try {
        form.BuildPrintRows();
        ADD_FAILURE() << "built a billion rows";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), kBuildFailed);
    }
}

TEST_F(PrintRunTest, WorkedSheetPutsTheLabelsAtTheColumnsAndRowsItSays) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    auto form = Run({"", "2x5", "A4", 0, 0, 10, 1, 1, 5});
    const std::vector<QPointF> at = LabelCorners(PrintToPdf(*form));
    ASSERT_EQ(at.size(), 10u);
    const double xs[] = {15, 103}, ys[] = {21, 71, 121, 171, 221};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(at[i].x(), xs[i / 5], 0.8);
        EXPECT_NEAR(at[i].y(), ys[i % 5], 1.0);
    }
}

TEST_F(PrintRunTest, NarrowCellsNegativeMarginAndATenthMillimetreShift) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    Sheet sheet;
    sheet.lWidth = 625; // 62 mm
    sheet.leftM = -15;  // -1 mm
    auto form = Run({"", "2x5", "A4", 5, 0, 10, 1, 1, 5}, sheet);
    const std::vector<QPointF> at = LabelCorners(PrintToPdf(*form));
    ASSERT_FALSE(at.empty());
    // The second column: -1 + 62 + 2, its first row 21 + 0.5 down.
    EXPECT_NEAR(at.back().x(), 63, 0.8);
    const auto second = std::find_if(at.begin(), at.end(), [](QPointF p) { return p.x() > 30; });
    ASSERT_NE(second, at.end());
    EXPECT_NEAR(second->y(), 21.5, 1.0);
    EXPECT_EQ(form->repCard.Page.bandWidth, 62);
    EXPECT_EQ(form->repCard.Page.leftMargin, -1);
    EXPECT_DOUBLE_EQ(form->repCard.Page.textRect.top(), 0.5);
}

TEST_F(PrintRunTest, OtherPaperTypesPrintOnTheSheetsOwnSize) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    Sheet sheet;
    sheet.pWidth = 1000;
    sheet.pHeight = 1480;
    sheet.retsu = 1;
    sheet.dan = 2;
    for (const QString& type : {QStringLiteral("その他"), QStringLiteral("Ａ４"), QString()}) {
        SCOPED_TRACE(type.toStdString());
        sheet.paperType = type;
        auto form = Run({"", "2x5", type, 0, 0, 2, 1, 1, 2}, sheet);
        const QSizeF size = PdfTools::PageSize(PrintToPdf(*form));
        EXPECT_NEAR(size.width(), 100 * 72 / 25.4, 1.0); // whole points in the file
        EXPECT_NEAR(size.height(), 148 * 72 / 25.4, 1.0);
        EXPECT_EQ(form->repCard.Page.paper.code, 256);
        EXPECT_EQ(form->repCard.Page.paper.widthTenthMm, 1000);
    }
    auto form = Run({"", "2x5", "a4", 0, 0, 2, 1, 1, 2}, sheet);
    EXPECT_NEAR(PdfTools::PageSize(PrintToPdf(*form)).width(), 210 * 72 / 25.4, 1.0);
}

TEST_F(PrintRunTest, PictureFlagsDecideWhetherAndHowThePictureIsDrawn) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    // Images drawn on the page, by the pixels per inch they are drawn at.
    auto drawn = [this](int show, int stretch) {
        design.show = show;
        design.stretch = stretch;
        auto form = Run({"", "2x5", "A4", 0, 0, 3, 1, 1, 5});
        const QString list = PdfTools::Run("pdfimages", {"-list", PrintToPdf(*form)});
        QStringList ppi;
        for (const QString& line : list.split('\n').mid(2))
            if (const QStringList f = line.simplified().split(' '); f.size() > 13)
                ppi << f[12] + "x" + f[13];
        return ppi;
    };
    EXPECT_TRUE(drawn(0, 1).isEmpty());
    EXPECT_TRUE(drawn(2, 1).isEmpty());
    // Stretched: 600 × 400 pixels into 2 × 1 inches.
    EXPECT_EQ(drawn(1, 1), QStringList({"300x400", "300x400", "300x400"}));
    // Not stretched (2 is not yes): natural size at the display's resolution.
    const QString natural = QStringLiteral("%1x%1").arg(qRound(DisplayPpi()));
    EXPECT_EQ(drawn(1, 2), QStringList({natural, natural, natural}));
    design.picture.clear();
    EXPECT_TRUE(drawn(1, 1).isEmpty());
}

TEST_F(PrintRunTest, AParagraphsAlignmentPlacesItsInkOnTheLabel) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    constexpr int kPixelsPerMm = 10;
    design.show = 0;
    for (const char* word : {"\\ql", "\\qc", "\\qr"}) {
        SCOPED_TRACE(word);
        design.cardText =
            QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 DejaVu Sans;}}\\pard") + word +
            " \\f0\\fs28 HIH\\par}";
        auto form = Run({"", "2x5", "A4", 0, 0, 1, 1, 1, 5});
        const TPageDescription& page = form->repCard.Page;
        const QImage image = PdfTools::Raster(PrintToPdf(*form), 1, kPixelsPerMm);
        ASSERT_FALSE(image.isNull());
        // The ink's left and right edges inside the first cell, in millimetres.
        double inkLeft = 1e9, inkRight = -1;
        for (int y = page.topMargin * kPixelsPerMm; y < (page.topMargin + 10) * kPixelsPerMm; ++y)
            for (int x = page.leftMargin * kPixelsPerMm;
                 x < (page.leftMargin + page.bandWidth) * kPixelsPerMm; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    inkLeft = std::min(inkLeft, x / double(kPixelsPerMm));
                    inkRight = std::max(inkRight, (x + 1) / double(kPixelsPerMm));
                }
        ASSERT_GT(inkRight, inkLeft);
        const double cellLeft = page.leftMargin, cellRight = page.leftMargin + page.bandWidth;
        if (word[2] == 'c')
            EXPECT_NEAR((inkLeft + inkRight) / 2, (cellLeft + cellRight) / 2, 0.2);
        else if (word[2] == 'r')
            EXPECT_NEAR(inkRight, cellRight, 1.0);
        else
            EXPECT_NEAR(inkLeft, cellLeft, 1.0);
    }
}

TEST_F(PrintRunTest, APrinterIsFoundByNameWhateverItsCaseAndAnUnknownOneIsTheDefault) {
    UsePrinters printers({"Office", "LP2"});
    WriteSnapshot(Settings::SnapshotPath, design);
    LoadSheets(sheets, {Sheet{}});
    TrepCardForm form({"lp2", "2x5", "A4", 0, 0, 1, 1, 1, 5}, sheets);
    form.SelectPrinter("lp2");
    EXPECT_EQ(form.repCard.Page.printerName, "LP2");
    form.SelectPrinter("Gone");
    EXPECT_EQ(form.repCard.Page.printerName, "");
}

// Runs PrintLabels and looks at the preview window once, then closes it without printing.
class PrintLabelsTest : public PrintRunTest {
  protected:
    bool PrintAndClose(const TPrintParams& p, const std::function<void(TPreviewForm*)>& look) {
        WriteSnapshot(Settings::SnapshotPath, design);
        QTimer::singleShot(0, [&] {
            TPreviewForm* preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            look(preview);
            EXPECT_TRUE(TryClose(preview));
        });
        return PrintLabels(Request(p));
    }
    TPrintRequest Request(const TPrintParams& p) {
        TPrintRequest r;
        r.snapshotPath = Settings::SnapshotPath;
        r.sheets = &sheets;
        r.startColumn = p.StartColumn;
        r.startRow = p.StartRow;
        r.count = p.Count;
        r.adjust = {p.TopAdjust, p.LeftAdjust};
        r.printerName = p.PrinterName;
        r.output.preview = PreviewWindows();
        return r;
    }
    UsePrinters printers{{"Office"}};
};

TEST_F(PrintLabelsTest, ClosingThePreviewWithoutPrintingReturnsFalse) {
    LoadSheets(sheets, {Sheet{}});
    int pages = 0;
    QString title;
    const bool printed =
        PrintAndClose({"Office", "2x5", "A4", 0, 0, 4, 2, 3, 5}, [&](TPreviewForm* preview) {
            pages = preview->PageCount();
            title = preview->windowTitle();
            EXPECT_TRUE(preview->CanClose());
        });
    EXPECT_FALSE(printed);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(title, QStringLiteral("印刷．．．2x5"));
    EXPECT_EQ(OpenPreview(), nullptr);
    EXPECT_EQ(FileBytes(Settings::SnapshotPath).isEmpty(), false);
}

// Beneath the preview nothing can be used, and its PDF copy prints like the printer's pages.
TEST_F(PrintLabelsTest, ThePreviewIsModalAndItsPdfCopyHasNoFrames) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    LoadSheets(sheets, {Sheet{}});
    const QString copy = program.dir.filePath("copy.pdf");
    const bool printed =
        PrintAndClose({"Office", "2x5", "A4", 0, 0, 1, 2, 1, 5}, [&](TPreviewForm* preview) {
            EXPECT_EQ(QApplication::activeModalWidget(), preview);
            preview->ExportPdf(copy);
            Hints::SetCurrentHint(preview->CloseBtn->statusTip());
        });
    EXPECT_FALSE(printed) << "a copy is not a print";
    EXPECT_EQ(Hints::CurrentHint(), "") << "the preview's hint outlived it";
    // Column 1 holds only empty cells: the preview dots their frames, the paper shows nothing.
    const QImage page = PdfTools::Raster(copy, 1, 4);
    ASSERT_FALSE(page.isNull());
    int dark = 0;
    for (int y = 20 * 4; y < 275 * 4; ++y)
        for (int x = 14 * 4; x < 102 * 4; ++x)
            dark += qGray(page.pixel(x, y)) < 200 ? 1 : 0;
    EXPECT_EQ(dark, 0);
    EXPECT_EQ(LabelCorners(copy).size(), 1u);
}

TEST_F(PrintLabelsTest, SheetsWithoutCellsOrPrintersStopTheRunBeforeAPreview) {
    Sheet broken;
    broken.retsu = 0;
    LoadSheets(sheets, {broken});
    WriteSnapshot(Settings::SnapshotPath, design);
    auto errorOf = [this] {
        try {
            PrintLabels(Request({"Office", "2x5", "A4", 0, 0, 1, 1, 1, 5}));
        } catch (const EError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(errorOf(), QStringLiteral("ラベル初期設定に失敗しました。"));
    UsePrinters none({});
    LoadSheets(sheets, {Sheet{}});
    EXPECT_EQ(errorOf(), QStringLiteral("TNkPrinter.CheckNoPrinter: No Printer"));
    QFile::remove(Settings::SnapshotPath);
    UsePrinters one({"Office"});
    EXPECT_EQ(errorOf(), kBuildFailed);
    EXPECT_EQ(OpenPreview(), nullptr);
}

} // namespace
