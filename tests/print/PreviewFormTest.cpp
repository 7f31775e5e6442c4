#include "print/PreviewForm.h"
#include "PdfTools.h"
#include "PrintFixture.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/SjisCodec.h"
#include "support/Windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace PrintFixture;

namespace {

// A preview of five pages of the label sheet; the words "りんご" on pages 2 and 4.
class PreviewFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<TPrintRow> rows(50);
        rows[12].cardText = Sjis::Encode("りんご");
        rows[35].cardText = Sjis::Encode("青いりんごと赤いリンゴ");
        TPageDescription page = LabelSheet();
        page.title = "印刷．．．A4/2列";
        pages = std::make_shared<TReportPages>(page, rows, 96);
        form.setWindowTitle(page.title);
        form.resize(800, 600);
        form.show();
        form.SetPages(pages);
        form.SetProducedPages(pages->Count());
    }

    std::shared_ptr<TReportPages> pages;
    TPreviewForm form;
};

} // namespace

TEST_F(PreviewFormTest, NavigationMovesWithinTheProducedPages) {
    ASSERT_EQ(form.PageCount(), 5);
    EXPECT_EQ(form.CurrentPage(), 0);
    EXPECT_FALSE(form.PriorPageBtn->isEnabled());
    EXPECT_FALSE(form.FirstPageBtn->isEnabled());
    form.NextPageBtn->click();
    form.NextPageBtn->click();
    EXPECT_EQ(form.CurrentPage(), 2);
    EXPECT_EQ(form.PageEdit->value(), 3);
    EXPECT_EQ(form.PageLabel->text(), "3 / 5 ページ");
    form.LastPageBtn->click();
    EXPECT_EQ(form.CurrentPage(), 4);
    EXPECT_FALSE(form.NextPageBtn->isEnabled());
    form.NextPageBtnClick(); // beyond the last page: stays
    EXPECT_EQ(form.CurrentPage(), 4);
    form.PriorPageBtn->click();
    EXPECT_EQ(form.CurrentPage(), 3);
    form.PageEdit->setValue(2);
    EXPECT_EQ(form.CurrentPage(), 1);
    form.FirstPageBtn->click();
    EXPECT_EQ(form.CurrentPage(), 0);
}

TEST_F(PreviewFormTest, PagesStillInProductionCannotBeShownYet) {
    form.SetPages(pages);
    EXPECT_EQ(form.PageCount(), 0);
    EXPECT_FALSE(form.NextPageBtn->isEnabled());
    EXPECT_FALSE(form.PdfBtn->isEnabled());
    form.SetProducedPages(2);
    form.LastPageBtn->click();
    EXPECT_EQ(form.CurrentPage(), 1);
    form.SetProducedPages(99);
    EXPECT_EQ(form.PageCount(), 5);
}

TEST_F(PreviewFormTest, ZoomFitsThePageThenItsWidthThenSteps) {
    const int roomHeight = form.ScrollBox->viewport()->height();
    form.ZoomFitBtn->click();
    EXPECT_LE(form.PageView->height(), roomHeight);
    EXPECT_GT(form.PageView->height(), roomHeight / 2);
    const double fit = form.Scale();
    form.ZoomWidthBtn->click();
    EXPECT_EQ(form.Zoom(), TPreviewForm::ZoomMode::Width);
    EXPECT_GT(form.Scale(), fit);
    EXPECT_LE(form.PageView->width(), form.ScrollBox->viewport()->width());

    form.ZoomFitBtn->click();
    const int percent = form.ZoomPercent();
    form.ZoomInBtn->click();
    EXPECT_EQ(form.Zoom(), TPreviewForm::ZoomMode::Factor);
    EXPECT_GT(form.ZoomPercent(), percent);
    for (int i = 0; i < 20; ++i)
        form.ZoomInBtn->click();
    EXPECT_EQ(form.ZoomPercent(), 400);
    for (int i = 0; i < 20; ++i)
        form.ZoomOutBtn->click();
    EXPECT_EQ(form.ZoomPercent(), 10);
    form.ZoomInBtn->click();
    EXPECT_EQ(form.ZoomPercent(), 25);
    EXPECT_EQ(form.ZoomLabel->text(), "25%");
    // A fixed zoom stays when the window changes size; fit follows it.
    form.resize(1000, 900);
    EXPECT_EQ(form.ZoomPercent(), 25);
}

TEST_F(PreviewFormTest, SearchFindsTheLabelTextPageByPageAndMarksIt) {
    form.SearchEdit->setText("リンゴ"); // letter case is no matter, kana kind is
    form.SearchBtn->click();
    EXPECT_EQ(form.CurrentPage(), 3);
    EXPECT_EQ(form.PageView->Hits().size(), 1u);

    form.SearchEdit->setText("りんご");
    form.FirstPageBtn->click();
    form.SearchBtn->click();
    EXPECT_EQ(form.CurrentPage(), 1);
    EXPECT_EQ(form.PageView->Hits().size(), 1u);
    form.SearchBtn->click(); // again: the next page with the word
    EXPECT_EQ(form.CurrentPage(), 3);
    EXPECT_EQ(form.PageView->Hits().size(), 1u);
    form.SearchBtn->click(); // and round to the first again
    EXPECT_EQ(form.CurrentPage(), 1);
    form.NextPageBtn->click(); // a page without the word shows no marks
    EXPECT_TRUE(form.PageView->Hits().empty());

    form.SearchEdit->setText("ぶどう");
    form.SearchBtn->click();
    EXPECT_EQ(form.CurrentPage(), 2);
    EXPECT_TRUE(form.PageView->Hits().empty());
    EXPECT_EQ(form.statusBar()->currentMessage(), "「ぶどう」は見つかりませんでした。");
}

TEST_F(PreviewFormTest, MarkedHitsAreDrawnOverTheText) {
    // Yellow over white and black text: red well above blue, which grey text never gives.
    const auto yellowness = [this](const QRectF& dots) {
        const QImage image = form.PageView->grab().toImage();
        const QRect px = QRectF(dots.topLeft() * form.Scale(), dots.size() * form.Scale())
                             .toAlignedRect()
                             .intersected(image.rect());
        long sum = 0;
        for (int y = px.top(); y <= px.bottom(); ++y)
            for (int x = px.left(); x <= px.right(); ++x)
                sum += image.pixelColor(x, y).red() - image.pixelColor(x, y).blue();
        return sum / std::max(1, px.width() * px.height());
    };
    form.ShowPage(1);
    const QRectF word = pages->FindText(1, "りんご").at(0);
    EXPECT_LT(yellowness(word), 10);
    form.SearchEdit->setText("りんご");
    form.SearchBtn->click();
    ASSERT_EQ(form.CurrentPage(), 1);
    EXPECT_GT(yellowness(word), 40);
}

TEST_F(PreviewFormTest, PdfButtonWritesTheShownPagesUnderTheTitle) {
    QTemporaryDir dir;
    QString suggested;
    form.AskPdfPath = [&](const QString& name) {
        suggested = name;
        return dir.filePath("copy.pdf");
    };
    form.PdfBtn->click();
    EXPECT_EQ(suggested, "印刷．．．A4_2列.pdf");
    ASSERT_TRUE(QFile::exists(dir.filePath("copy.pdf")));
    if (PdfTools::Available()) {
        EXPECT_EQ(PdfTools::PageCount(dir.filePath("copy.pdf")), 5);
        EXPECT_TRUE(PdfTools::Text(dir.filePath("copy.pdf")).contains("青いりんご"));
    }
    form.AskPdfPath = [](const QString&) { return QString(); }; // cancelled
    QFile::remove(dir.filePath("copy.pdf"));
    form.PdfBtn->click();
    EXPECT_FALSE(QFile::exists(dir.filePath("copy.pdf")));
}

TEST_F(PreviewFormTest, TheSaveBoxProposesTheLastFolderElseDocumentsElseHome) {
    QTemporaryDir home, elsewhere;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
    const QString name = "a.pdf";
    // An earlier copy's folder that is gone no longer counts.
    EXPECT_EQ(TPreviewForm::DefaultPdfPath(name), QDir(home.path()).filePath(name));
    QDir(home.path()).mkdir("Documents");
    EXPECT_EQ(TPreviewForm::DefaultPdfPath(name), QDir(home.path()).filePath("Documents/a.pdf"));
    form.AskPdfPath = [&](const QString&) { return QDir(elsewhere.path()).filePath("copy.pdf"); };
    form.PdfBtn->click();
    EXPECT_EQ(TPreviewForm::DefaultPdfPath(name), QDir(elsewhere.path()).filePath(name));
}

TEST_F(PreviewFormTest, PdfThatCannotOrMustNotBeWrittenIsReportedAndNothingIsReplaced) {
    QTemporaryDir dir;
    const struct {
        QString path;
        QByteArray before;
        QString says;
    } cases[] = {
        {"/nonexistent/dir/x.pdf", {}, "No such file or directory"},
        {"/dev/full", {}, "No space left on device"},
        {dir.filePath("TAVREL.FDB"), "database pages", "データベースファイルには出力できません"},
        {dir.filePath("TAVREL.ini"), "[TAVREL]", "設定ファイルには出力できません"},
        {dir.filePath("notes.txt"), "my notes", "PDF ではないファイルには上書きできません"},
    };
    Settings::DbPath = dir.filePath("TAVREL.FDB");
    Settings::IniFileName = dir.filePath("TAVREL.ini");
    QStringList shown;
    Messages::SetResponder([&](const Messages::Request& r) {
        shown << r.text;
        return Messages::Answer::Ok;
    });
    for (const auto& c : cases) {
        QFile file(c.path);
        ASSERT_TRUE(c.before.isEmpty() ||
                    (file.open(QIODevice::WriteOnly) && file.write(c.before)));
        file.close();
        shown.clear();
        form.AskPdfPath = [&](const QString&) { return c.path; };
        form.PdfBtn->click();
        EXPECT_EQ(shown, QStringList{"印刷ファイルを作成できません。\n" + c.path + ": " + c.says});
        EXPECT_TRUE(c.before.isEmpty() ||
                    (file.open(QIODevice::ReadOnly) && file.readAll() == c.before));
    }
    Messages::ClearResponder();
    Settings::ResetToInitial();
}

TEST_F(PreviewFormTest, PrinterSetupChangesTheNextJobOnlyWhenConfirmed) {
    form.Job.printerName = "Labels";
    std::vector<TJobSettings> printed;
    form.OnPrint = [&](const TJobSettings& job) { printed.push_back(job); };
    form.AskPrinterSetup = [](TJobSettings& job) {
        job.copies = 3;
        return false;
    };
    form.PrinterSetupBtn->click();
    form.PrintBtn->click();
    form.AskPrinterSetup = [](TJobSettings& job) {
        job = {"Office", 2, true};
        return true;
    };
    form.PrinterSetupBtn->click();
    form.PrintBtn->click();
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0].printerName, "Labels");
    EXPECT_EQ(printed[0].copies, 1);
    EXPECT_EQ(printed[1].printerName, "Office");
    EXPECT_EQ(printed[1].copies, 2);
    EXPECT_TRUE(printed[1].landscape);
}

TEST_F(PreviewFormTest, ProducingDisablesPrintingAndClosing) {
    form.SetProducing(true);
    EXPECT_FALSE(form.PrintBtn->isEnabled());
    EXPECT_FALSE(form.CloseBtn->isEnabled());
    EXPECT_FALSE(TryClose(&form));
    form.SetProducing(false);
    EXPECT_TRUE(form.CloseBtn->isEnabled());
    EXPECT_TRUE(TryClose(&form));
}
