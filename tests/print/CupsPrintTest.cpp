#include "PdfTools.h"
#include "PrintFixture.h"
#include "platform/Error.h"
#include "platform/SjisCodec.h"
#include "print/PreviewForm.h"
#include "print/PreviewWindow.h"
#include "printcore/PrintJob.h"
#include "support/Windows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace PrintFixture;

namespace {

// Real jobs through the CUPS queue on the cups-pdf backend that scripts/cups-server.sh sets up;
// the PDF files cups-pdf writes are what a printer would have printed.
class CupsPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        queue = qEnvironmentVariable("TAVREL_CUPS_QUEUE");
        outDir = qEnvironmentVariable("TAVREL_CUPS_PDF_DIR");
        if (queue.isEmpty() || outDir.isEmpty())
            GTEST_SKIP() << "no CUPS queue for the print tests: run them through scripts/test.sh "
                            "or eval \"$(scripts/cups-server.sh start)\" first";
        bool listed = false;
        for (const TNkPrinterEntry& p : CupsPrinterSource()->Enumerate())
            listed = listed || p.name == queue;
        if (!listed)
            GTEST_SKIP() << "CUPS does not list the queue " << queue.toStdString();
        if (!PdfTools::Available())
            GTEST_SKIP() << "poppler-utils are not installed";
        // cups-pdf names its files after the job's title (sometimes with stray characters
        // after it), so tests running side by side find their own.
        static int jobs = 0;
        title = QStringLiteral("TavrelTest_%1_%2_end")
                    .arg(QCoreApplication::applicationPid())
                    .arg(++jobs);
        before = Files();
        report.Page = LabelSheet();
        report.PreviewFactory = PreviewWindows();
        report.Page.printerName = queue;
        report.Page.title = title;
        report.OnAfterPrint = [this] { ++afterPrints; };
    }

    QSet<QString> Files() const {
        const auto list = QDir(outDir).entryList({title + "*.pdf"}, QDir::Files);
        return QSet<QString>(list.begin(), list.end());
    }

    // The file cups-pdf wrote for the job, once it is complete.
    QString NextPdf() {
        QElapsedTimer clock;
        clock.start();
        qint64 lastSize = -1;
        while (clock.elapsed() < 60000) {
            const QSet<QString> added = Files() - before;
            if (!added.isEmpty()) {
                const QString path = QDir(outDir).filePath(*added.begin());
                const qint64 size = QFileInfo(path).size();
                if (size > 0 && size == lastSize && PdfTools::PageCount(path) > 0) {
                    before.insert(*added.begin());
                    return path;
                }
                lastSize = size;
            }
            QThread::msleep(250);
        }
        return {};
    }

    QString queue;
    QString outDir;
    QString title;
    QSet<QString> before;
    TLabelReport report;
    int afterPrints = 0;
};

QString LabelText(int n) {
    return QStringLiteral("Label%1").arg(n);
}

} // namespace

TEST_F(CupsPrintTest, QueueIsListedAndMarkedAsTheDefault) {
    bool isDefault = false;
    for (const TNkPrinterEntry& p : CupsPrinterSource()->Enumerate())
        isDefault = isDefault || (p.name == queue && (p.attributes & NkPrinterAttributeDefault));
    EXPECT_TRUE(isDefault);
    EXPECT_TRUE(NkPrinter().GetPrinterNames().contains(queue));
}

TEST_F(CupsPrintTest, JobArrivesWithItsPagesPaperAndTextWhereTheCellsAre) {
    report.Page.picturePrinted = false;
    report.Page.textRect = QRectF(1, 2, 80, 40);
    report.Rows.resize(7);
    for (int i = 1; i <= 4; ++i)
        report.Rows.push_back(TPrintRow{Sjis::Encode(LabelText(i)), nullptr});
    ASSERT_TRUE(report.Print());
    EXPECT_EQ(afterPrints, 1);
    const QString pdf = NextPdf();
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote nothing";
    EXPECT_EQ(PdfTools::PageCount(pdf), 2);
    const QSizeF size = PdfTools::PageSize(pdf);
    EXPECT_NEAR(size.width(), 595.3, 1);
    EXPECT_NEAR(size.height(), 841.9, 1);
    // Column 2 rows 3 to 5 of page 1, column 1 row 1 of page 2.
    const std::vector<std::tuple<int, double, double>> where = {
        {1, 103 + 1, 121 + 2}, {1, 103 + 1, 171 + 2}, {1, 103 + 1, 221 + 2}, {2, 15 + 1, 21 + 2}};
    const auto words = PdfTools::Words(pdf);
    for (int i = 0; i < 4; ++i) {
        const auto [page, x, y] = where[i];
        const auto found = std::find_if(words.begin(), words.end(), [&](const PdfTools::Word& w) {
            return w.text == LabelText(i + 1);
        });
        ASSERT_NE(found, words.end()) << LabelText(i + 1).toStdString();
        EXPECT_EQ(found->page, page);
        EXPECT_NEAR(found->box.left(), x, 1.0) << LabelText(i + 1).toStdString();
        EXPECT_NEAR(found->box.top(), y, 1.5) << LabelText(i + 1).toStdString();
    }
}

TEST_F(CupsPrintTest, UnknownPrinterNamePrintsOnTheDefaultQueue) {
    report.Page.printerName = "NoSuchPrinter";
    report.Rows = {TPrintRow{Sjis::Encode("Default"), nullptr}};
    ASSERT_TRUE(report.Print());
    const QString pdf = NextPdf();
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_TRUE(PdfTools::Text(pdf).contains("Default"));
}

TEST_F(CupsPrintTest, CustomPaperReachesThePrinterInItsOwnSize) {
    report.Page.paper = TPaper::CustomSize(1000, 1480);
    report.Page.leftMargin = 5;
    report.Page.rightMargin = 9;
    report.Page.topMargin = 4;
    report.Page.bottomMargin = 4;
    report.Page.columns = 1;
    report.Page.bandHeight = 70;
    report.Rows = {TPrintRow{Sjis::Encode("Small"), nullptr}};
    ASSERT_TRUE(report.Print());
    const QString pdf = NextPdf();
    ASSERT_FALSE(pdf.isEmpty());
    const QSizeF size = PdfTools::PageSize(pdf);
    EXPECT_NEAR(size.width(), 283.5, 1);
    EXPECT_NEAR(size.height(), 419.5, 1);
}

namespace {

QString BlankPdf(const QTemporaryDir& dir) {
    const QString path = dir.filePath("x.pdf");
    TPdfDocument pdf(path, TPaper::Standard(TPaper::A4), "x");
    pdf.Finish();
    return path;
}

bool Admin(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

TEST_F(CupsPrintTest, QueueThatVanishedGivesCupsMessageAndNoAfterPrint) {
    QTemporaryDir dir;
    const QString path = BlankPdf(dir);
    try {
        SubmitPrintJob(path, "VanishedQueue", TPaper::Standard(TPaper::A4), "x", TJobSettings{});
        FAIL() << "CUPS accepted a job for a queue it does not have";
    } catch (const EError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
}

TEST_F(CupsPrintTest, PrintingFromThePreviewKeepsItOpenAndCannotCloseItMeanwhile) {
    report.Rows.resize(12);
    report.Rows[0].cardText = Sjis::Encode("FromPreview");
    std::vector<bool> closable;
    report.OnStartPage = [&] {
        if (report.PrintingToPrinter())
            closable.push_back(TryClose(OpenPreviewForm()));
    };
    report.OnPreview = [&] {
        report.ShowPreview();
        QTimer::singleShot(0, [&] {
            TPreviewForm* form = OpenPreviewForm();
            form->PrintBtn->click();
            form->CloseBtnClick();
        });
    };
    report.Preview();
    EXPECT_EQ(closable, std::vector<bool>({false, false}));
    EXPECT_EQ(afterPrints, 1);
    const QString pdf = NextPdf();
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(PdfTools::PageCount(pdf), 2);
    EXPECT_TRUE(PdfTools::Text(pdf).contains("FromPreview"));
}

TEST_F(CupsPrintTest, AQueueThatRefusesJobsIsToldInJapaneseWithItsReason) {
    // A queue of its own: the shared one must keep accepting the other tests' jobs.
    const QString refusing =
        QStringLiteral("TavrelRefusing%1").arg(QCoreApplication::applicationPid());
    if (!Admin("lpadmin", {"-p", refusing, "-E", "-v", "cups-pdf:/", "-P",
                           "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"}))
        GTEST_SKIP() << "lpadmin cannot add a queue here";
    const auto remove = qScopeGuard([&] { Admin("lpadmin", {"-x", refusing}); });
    ASSERT_TRUE(Admin("cupsreject", {"-r", "用紙切れ", refusing}));
    QTemporaryDir dir;
    try {
        SubmitPrintJob(BlankPdf(dir), refusing, TPaper::Standard(TPaper::A4), "x", {});
        FAIL() << "a queue that refuses jobs took one";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(),
                  "プリンタ「" + refusing + "」は現在印刷を受け付けていません。\n理由：用紙切れ");
    }
}
