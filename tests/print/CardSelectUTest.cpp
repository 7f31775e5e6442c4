#include "print/CardSelectU.h"
#include "ComposeFixture.h"
#include "PdfTools.h"
#include "controls/DBControls.h"
#include "controls/UpDown.h"
#include "data/DbConnect.h"
#include "platform/IniFile.h"
#include "platform/MergeField.h"
#include "platform/MessageService.h"
#include "platform/RichFormat.h"
#include "print/MergePrintPart.h"
#include "print/SheetPicture.h"
#include "print/StartCells.h"
#include "support/TestDb.h"
#include "support/Windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ComposeFixture;

namespace {

QString SheetRow(const QString& name, int retsu, int dan,
                 const QString& extra = "NULL, NULL, NULL") {
    return QStringLiteral("INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, P_WIDTH, P_HEIGHT, "
                          "LEFT_M, TOP_M, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, RETSU, DAN, "
                          "PR_TOPM, PR_LEFTM, PRINTERNAME) VALUES (0, '%1', 'A4', 2100, 2970, "
                          "150, 215, 864, 508, 25, 0, %2, %3, %4)")
        .arg(name)
        .arg(retsu)
        .arg(dan)
        .arg(extra);
}

// The dialog over a database of sheet definitions, with the printers "Office" and "TavrelPDF".
class CardSelectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::DbPath = tdb.Path();
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r.text;
            return Messages::Answer::Ok;
        });
        tdb.Execute(SheetRow("B 3x8", 3, 8, "25, -5, 'tavrelpdf'"));
        tdb.Execute(SheetRow("A 2x5", 2, 5));
        tdb.Execute(SheetRow("C 4x30", 4, 30, "2500, -2500, 'Gone'"));
        tdb.Execute(SheetRow("A 2x5", 2, 5, "1, 2, 'Office'"));
    }
    void TearDown() override { Messages::ClearResponder(); }
    std::unique_ptr<TCardSelectForm> Open(const QString& paperName) {
        auto form = std::make_unique<TCardSelectForm>();
        form->OpenFor(paperName);
        return form;
    }
    QStringList Stored(const QString& column) const {
        return tdb.Column("SELECT " + column + " FROM TAVRELSET ORDER BY PAPERNAME, ID");
    }
    TempProgram program;
    TestDb tdb;
    UsePrinters printers{{"Office", "TavrelPDF"}};
    QStringList shown;
};

TEST_F(CardSelectTest, OpensOnTheDesignsSheetWithItsCaptionsAndOnePageOfLabels) {
    auto form = Open("b 3X8");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tavrel Ver.2.0.1 印刷設定．．．b 3X8"));
    // Sheets of one name appear once, in name order.
    QStringList names;
    for (int i = 0; i < form->ComboBox1->count(); ++i)
        names << form->ComboBox1->itemText(i);
    EXPECT_EQ(names, QStringList({"A 2x5", "B 3x8", "C 4x30"}));
    EXPECT_EQ(form->ComboBox1->currentText(), "B 3x8");
    EXPECT_EQ(form->DBMemo1->text(), "A4");
    EXPECT_EQ(form->DBMemo2->text(), "3");
    EXPECT_EQ(form->DBMemo3->text(), "8");
    EXPECT_EQ(form->MemoMaisu->text(), "24");
    EXPECT_EQ(form->UpDownRetsu->Max(), 3);
    EXPECT_EQ(form->UpDownDan->Max(), 8);
    EXPECT_EQ(form->MemoTop->text(), "25");
    EXPECT_EQ(form->MemoLeft->text(), "-5");
    // The stored printer whatever its letter case.
    EXPECT_EQ(form->PrinterCombo->currentText(), "TavrelPDF");
    EXPECT_TRUE(form->PrintBtn->isEnabled());
    EXPECT_TRUE(form->PrintBtn->isDefault());
    EXPECT_EQ(form->PrintBtn->text(), QStringLiteral("印 刷"));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("閉じる(&C)"));
    EXPECT_EQ(form->GroupBox4->title(), QStringLiteral(" 印刷位置調整（1/10 ㎜) "));
    EXPECT_EQ(form->StatusPanel0->text(), QStringLiteral("F1ヘルプ"));
    EXPECT_EQ(form->Label9->toolTip(),
              QStringLiteral("印刷枚数を設定します（初期値は１頁分の枚数です）"));
    EXPECT_EQ(form->ComboBox1->maxVisibleItems(), 20);
    // The Part's controls keep their place; the fill order and the sheet lie beside them.
    EXPECT_EQ(form->findChild<QWidget*>()->size(), QSize(581, 358 + TMergePrintPart::kHeight + 22));
}

TEST_F(CardSelectTest, AnotherSheetResetsPositionsCountShiftsAndPrinter) {
    auto form = Open("B 3x8");
    form->MemoRetsu->setText("3");
    form->MemoMaisu->setText("5");
    form->ComboBox1->setCurrentText("C 4x30");
    form->ComboBox1Change();
    EXPECT_EQ(form->MemoRetsu->text(), "1");
    EXPECT_EQ(form->MemoDan->text(), "1");
    EXPECT_EQ(form->MemoMaisu->text(), "99"); // 120 labels on a page, at most 99
    EXPECT_EQ(form->MemoTop->text(), "2000");
    EXPECT_EQ(form->MemoLeft->text(), "-2000");
    EXPECT_EQ(form->PrinterCombo->currentText(), "Office"); // "Gone" is not installed
    form->ComboBox1->setCurrentText("A 2x5");
    form->ComboBox1Change();
    // The first of the two sheets of that name, whose shifts are empty.
    EXPECT_EQ(form->MemoMaisu->text(), "10");
    EXPECT_EQ(form->MemoTop->text(), "0");
    EXPECT_EQ(form->PrinterCombo->currentText(), "Office");
}

TEST_F(CardSelectTest, TheLastStartAndCountOfASheetComeBackWhileTheyStillFitIt) {
    // Stored value, then column, row and count shown: what no longer fits gives 1, 1, one page.
    for (const char* c : {"2,5,7 2 5 7", "3,1,7 1 1 10", "1,6,7 1 1 10", "2,2,100 1 1 10",
                          "2,2,0 1 1 10", "x,2,3 1 1 10", "2,2 1 1 10"}) {
        const QStringList parts = QString::fromLatin1(c).split(' ');
        IniWriteString(Settings::IniFileName, "TAVREL", "StartCell_A%202x5", parts[0]);
        auto form = Open("A 2x5");
        EXPECT_EQ(
            QStringList({form->MemoRetsu->text(), form->MemoDan->text(), form->MemoMaisu->text()}),
            parts.mid(1))
            << c;
    }
    // Names that a settings line could not hold as they are still round-trip.
    RememberStart("a=b;[c]", {2, 3, 4});
    const StartCell back = RememberedStart("a=b;[c]", 2, 5, 99);
    EXPECT_EQ(std::make_tuple(back.column, back.row, back.count), std::make_tuple(2, 3, 4));
}

TEST_F(CardSelectTest, TheFillOrderIsShownAndKeptInTheSettingsFile) {
    auto form = Open("A 2x5");
    EXPECT_EQ(form->OrderCombo->currentIndex(), 0);
    form->OrderCombo->setCurrentIndex(1);
    form->OrderComboChange();
    EXPECT_TRUE(IniReadBool(Settings::IniFileName, "TAVREL", "FillByRows", false));
    EXPECT_EQ(Open("A 2x5")->OrderCombo->currentIndex(), 1);
}

TEST_F(CardSelectTest, TheSheetPictureSetsTheStartAndFollowsTheUpDowns) {
    auto form = Open("A 2x5");
    form->show();
    TSheetPicture* picture = form->SheetPicture;
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->CellArea(2, 3).center().toPoint());
    EXPECT_EQ(form->MemoRetsu->text() + form->MemoDan->text(), "23");
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(1, 1)); // beside the sheet
    EXPECT_EQ(form->MemoRetsu->text() + form->MemoDan->text(), "23");
    // 7 cells skipped and 10 labels: two sheets; typing moves the start back.
    EXPECT_EQ(picture->PageCount(), 2);
    form->MemoRetsu->setText("1");
    form->MemoDan->setText("1");
    EXPECT_EQ(picture->PageCount(), 1);
}

TEST_F(CardSelectTest, UnknownOrEmptyDefaultSheetOpensTheFirstSheet) {
    for (const QString& name : {QStringLiteral("no such sheet"), QString()}) {
        auto form = Open(name);
        EXPECT_EQ(form->ComboBox1->currentText(), "A 2x5");
        EXPECT_EQ(form->windowTitle(), TCardSelectForm::Caption() + name);
        EXPECT_EQ(form->DBMemo2->text(), "2");
    }
}

TEST_F(CardSelectTest, UpDownsWrapAndTypedNumbersCountOnlyInsideTheirRange) {
    auto form = Open("B 3x8");
    form->UpDownRetsu->UpButton()->click();
    form->UpDownRetsu->UpButton()->click();
    EXPECT_EQ(form->MemoRetsu->text(), "3");
    form->UpDownRetsu->UpButton()->click();
    EXPECT_EQ(form->MemoRetsu->text(), "1");
    form->UpDownDan->DownButton()->click();
    EXPECT_EQ(form->MemoDan->text(), "8");
    form->MemoMaisu->setText("99");
    form->UpDownMaisu->UpButton()->click();
    EXPECT_EQ(form->MemoMaisu->text(), "1");
    form->MemoTop->setText("2000");
    form->UpDownTop->UpButton()->click();
    EXPECT_EQ(form->MemoTop->text(), "-2000");
    form->MemoDan->setText("7");
    EXPECT_EQ(form->UpDownDan->Position(), 7);
    form->MemoDan->setText("9");
    EXPECT_EQ(form->UpDownDan->Position(), 7);
    form->MemoDan->setText("x");
    EXPECT_EQ(form->UpDownDan->Position(), 7);
}

TEST_F(CardSelectTest, WithoutSheetsOnlyClosingIsLeft) {
    tdb.Execute("DELETE FROM TAVRELSET");
    auto form = Open("A 2x5");
    EXPECT_EQ(form->ComboBox1->count(), 0);
    EXPECT_FALSE(form->PrintBtn->isEnabled());
    EXPECT_EQ(form->MemoRetsu->text(), "1");
    EXPECT_EQ(form->MemoMaisu->text(), "1");
    EXPECT_EQ(form->MemoTop->text(), "0");
}

TEST_F(CardSelectTest, NoPrinterMeansNoDialog) {
    UsePrinters none({});
    EXPECT_THROW(ShowPrintDialog("A 2x5"), ENkPrinterNoPrinter);
    EXPECT_EQ(CardSelectForm, nullptr);
}

TEST_F(CardSelectTest, CorrectionsGoToEverySheetOfTheNameWhenTheDialogIsReleased) {
    auto form = Open("A 2x5");
    form->SaveAdjustments("TavrelPDF", "A 2x5", 15, -5);
    // Nothing is permanent while the dialog is open.
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"", "1", "25", "2500"}));
    form->CommitAdjustments();
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"15", "15", "25", "2500"}));
    EXPECT_EQ(Stored("PR_LEFTM"), QStringList({"-5", "-5", "-5", "-2500"}));
    EXPECT_EQ(Stored("PRINTERNAME"), QStringList({"TavrelPDF", "TavrelPDF", "tavrelpdf", "Gone"}));
    // The list keeps what it read when the dialog opened.
    form->ComboBox1Change();
    EXPECT_EQ(form->MemoTop->text(), "0");
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(CardSelectTest, ALostConnectionBeforeTheReleaseStillStoresTheCorrections) {
    auto form = Open("A 2x5");
    form->SaveAdjustments("Office", "A 2x5", 15, -5);
    form->SaveAdjustments("Office", "C 4x30", 7, 8);
    tdb.DropOtherConnections();
    form->CommitAdjustments();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"15", "15", "25", "7"}));
    // Lost between two runs: the next run's update brings the earlier one back as well.
    form->SaveAdjustments("Office", "B 3x8", 3, 3);
    tdb.DropOtherConnections();
    form->SaveAdjustments("Office", "A 2x5", 16, -6);
    form->CommitAdjustments();
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"16", "16", "3", "7"}));
}

TEST_F(CardSelectTest, ADatabaseGoneForGoodIsToldAtTheRelease) {
    auto form = Open("A 2x5");
    form->SaveAdjustments("Office", "A 2x5", 15, -5);
    tdb.DropOtherConnections();
    // Sent away by name: the engine may keep a renamed file open.
    form->IBDatabase1.DatabaseName = tdb.Folder() + "/moved-away.fdb";
    form->CommitAdjustments();
    EXPECT_EQ(shown, QStringList{QStringLiteral("データ更新中にエラーが発生しました。")});
}

TEST_F(CardSelectTest, ClosingDeletesTheSnapshot) {
    QFile f(Settings::SnapshotPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QTimer::singleShot(0, [] {
        ASSERT_NE(CardSelectForm, nullptr);
        EXPECT_TRUE(CardSelectForm->isModal());
        CardSelectForm->BitBtn1->click();
    });
    ShowPrintDialog("A 2x5");
    EXPECT_FALSE(QFile::exists(Settings::SnapshotPath));
    EXPECT_EQ(CardSelectForm, nullptr);
}

// A list of three rows merged into «氏名» twice each from column 2, row 3 of a 2x5 sheet: the
// counts follow the choices, the preview shows and finds the merged names on two pages, and the
// list is offered again for the same design.
TEST_F(CardSelectTest, MergePartPrintsRowsTimesCopiesAndRemembersTheListPerDesign) {
    QTextDocument doc;
    QTextCharFormat field;
    RichFormat::SetField(field, MergeField::Instruction("氏名"), 1);
    QTextCursor(&doc).insertText(MergeField::Placeholder("氏名"), field);
    Design design;
    design.cardText = RtfWrite(doc);
    WriteSnapshot(Settings::SnapshotPath, design);
    Settings::IniFileName = program.dir.filePath("TAVREL.ini");
    const QString list = program.dir.filePath("list.csv");
    QFile csv(list);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\xEF\xBB\xBF氏名\n山田\n佐藤\n鈴木\n");
    csv.close();

    auto form = std::make_unique<TCardSelectForm>();
    form->OpenFor("A 2x5", "41");
    TMergePrintPart* part = form->MergePart;
    EXPECT_FALSE(part->GroupMerge->isChecked());
    EXPECT_TRUE(part->CheckDropBlank->isChecked());
    part->GroupMerge->setChecked(true);
    EXPECT_FALSE(form->MemoMaisu->isEnabled());
    part->EditMergeFile->setText(list);
    part->LoadList();
    EXPECT_EQ(part->LabelRows->text(), QStringLiteral("／ 3 行"));
    form->UpDownRetsu->SetPosition(2);
    form->UpDownDan->SetPosition(3);
    emit form->UpDownDan->Click(true);
    part->SpinCopies->setValue(2);
    EXPECT_EQ(part->LabelTotal->text(), QStringLiteral("ラベル 6 枚、2 ページ"));
    EXPECT_EQ(form->SheetPicture->PageCount(), 2); // the rows, not the count box
    QTimer::singleShot(0, [] {
        TPreviewForm* preview = OpenPreview();
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->PageCount(), 2);
        preview->SearchEdit->setText("鈴木");
        preview->SearchBtnClick();
        EXPECT_EQ(preview->PageView->Hits().size(), 2u);
        preview->SearchEdit->setText("«氏名»");
        preview->SearchBtnClick();
        EXPECT_TRUE(preview->statusBar()->currentMessage().contains("見つかりませんでした"));
        EXPECT_TRUE(TryClose(preview));
    });
    form->PrintBtn->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();

    auto again = std::make_unique<TCardSelectForm>();
    again->OpenFor("A 2x5", "41");
    EXPECT_EQ(again->MergePart->EditMergeFile->text(), list);
    auto other = std::make_unique<TCardSelectForm>();
    other->OpenFor("A 2x5", "42");
    EXPECT_TRUE(other->MergePart->EditMergeFile->text().isEmpty());
}

// The cups-pdf queue the test command sets up, or empty.
QString CupsQueue() {
    return qEnvironmentVariable("TAVREL_CUPS_QUEUE");
}

// The PDF file cups-pdf writes for the job, once it is complete. cups-pdf cuts a Japanese title
// to a few escaped characters, so the job's file is the one that is new, leaving aside those of
// the renderer's tests, which may run alongside.
QString AwaitPdf(const QDir& dir, const QStringList& before) {
    qint64 lastSize = -1;
    for (int i = 0; i < 240; ++i) {
        for (const QString& name : dir.entryList({"*.pdf"}, QDir::Files)) {
            if (before.contains(name) || name.startsWith("TavrelTest_"))
                continue;
            const QString path = dir.filePath(name);
            const qint64 size = QFileInfo(path).size();
            if (size > 0 && size == lastSize && PdfTools::PageCount(path) > 0)
                return path;
            lastSize = size;
        }
        QThread::msleep(250);
    }
    return {};
}

// From the dialog's print button through the preview's print to the PDF that CUPS wrote.
TEST_F(CardSelectTest, PrintedLabelsReachTheQueueWhereTheLayoutSaysAndTheCorrectionsAreKept) {
    if (CupsQueue().isEmpty() || !PdfTools::Available())
        GTEST_SKIP() << "no CUPS queue for tests (scripts/cups-server.sh start) or no poppler";
    NkPrinter().SetSource(CupsPrinterSource()); // the fixture's printers go back there anyway
    const QString sheet = QStringLiteral("W 2x5");
    tdb.Execute(SheetRow(sheet, 2, 5));
    Design design;
    design.cardText = LabelRtf();
    design.picture = Bitmap();
    design.width = 96;
    design.height = 64;
    WriteSnapshot(Settings::SnapshotPath, design);
    const QDir out(qEnvironmentVariable("TAVREL_CUPS_PDF_DIR"));
    const QStringList before = out.entryList({"*.pdf"}, QDir::Files);
    auto form = Open(sheet);
    form->PrinterCombo->setCurrentText(CupsQueue());
    form->MemoTop->setText("15");
    form->MemoLeft->setText("-5");
    form->MemoMaisu->setText("10");
    QTimer::singleShot(0, [] {
        TPreviewForm* preview = OpenPreview();
        ASSERT_NE(preview, nullptr);
        preview->PrintBtn->click();
        EXPECT_TRUE(TryClose(preview));
    });
    form->PrintBtn->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    form->CommitAdjustments();
    EXPECT_EQ(tdb.Column("SELECT PR_TOPM || ' ' || PR_LEFTM || ' ' || PRINTERNAME FROM TAVRELSET "
                         "WHERE PAPERNAME = '" +
                         sheet + "'"),
              QStringList{"15 -5 " + CupsQueue()});
    EXPECT_EQ(IniReadString(Settings::IniFileName, "TAVREL", "StartCell_W%202x5", {}), "1,1,10");
    const QString pdf = AwaitPdf(out, before);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no file into " << out.path().toStdString();
    EXPECT_EQ(PdfTools::PageCount(pdf), 1);
    EXPECT_NEAR(PdfTools::PageSize(pdf).width(), 595, 1.5);
    std::vector<QPointF> at;
    for (const PdfTools::Word& w : PdfTools::Words(pdf))
        if (w.text == QStringLiteral("ラベル"))
            at.push_back(w.box.topLeft());
    ASSERT_EQ(at.size(), 10u);
    // Cells at x 15 and 103, y 21 + 50 k; the text 0.5 mm left and 1.5 mm down of them.
    for (const QPointF& p : at) {
        EXPECT_TRUE(std::abs(p.x() - 14.5) < 0.8 || std::abs(p.x() - 102.5) < 0.8) << p.x();
        const double row = (p.y() - 22.5) / 50;
        EXPECT_NEAR(row, std::round(row), 1.0 / 50) << p.y();
    }
}

} // namespace
