#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "platform/IniFile.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/SjisCodec.h"
#include "print/ComposeFixture.h"
#include "print/PdfTools.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

// tavrel-batch as a script runs it: its own process, no display.
Outcome RunBatch(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("FIREBIRD")); // the program chooses its engine configuration itself
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TAVREL_BATCH_PROGRAM), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile())
        return {}; // a device may never end
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A file system with room for a small file only; mounting needs root (else a plain folder).
struct SmallDisk {
    QString path;
    bool mounted = QDir().mkpath(path) &&
                   QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4k", "tmpfs", path}) == 0;
    ~SmallDisk() {
        if (mounted)
            QProcess::execute("umount", {path});
    }
};

void AddSheet(Database& db, Transaction& tr, const QString& name, const QVariant& topM,
              const QString& printer = {}) {
    Query q(&db, &tr);
    q.SQL = {QStringLiteral(
        "INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU,"
        " DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_TOPM, PR_LEFTM, PRINTERNAME) VALUES (0, :N,"
        " 'A4', 2100, 2970, 150, 215, 2, 5, 864, 508, 25, 0, :T, 0, :P)")};
    q.SetParam(QStringLiteral("N"), name);
    q.SetParam(QStringLiteral("T"), topM);
    q.SetParam(QStringLiteral("P"), printer.isEmpty() ? QVariant() : QVariant(printer));
    q.ExecSQL();
}

// A database holding the design "宛名" (rich text and a picture) on the sheet "2x5" of the
// worked layout, and a second sheet of the same name.
void FillDatabase(const QString& path) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    Query q(&db, &tr);
    q.SQL = {QStringLiteral(
        "INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, GAZOU, G_X, G_Y, G_WIDTH, G_HEIGHT,"
        " G_SHOW, G_STRETCH) VALUES (0, :N, '2x5', :T, :G, 0, 0, 192, 96, 1, 1)")};
    q.SetParam(QStringLiteral("N"), QStringLiteral("宛名"));
    q.SetParam(QStringLiteral("T"), QString::fromLatin1(ComposeFixture::LabelRtf()));
    q.SetParam(QStringLiteral("G"), ComposeFixture::Bitmap());
    q.ExecSQL();
    AddSheet(db, tr, QStringLiteral("2x5"), QVariant());
    AddSheet(db, tr, QStringLiteral("2x5"), 0, QStringLiteral("Gone"));
    AddSheet(db, tr, QStringLiteral("A 3x8"), QVariant());
    tr.Commit();
}

// Top-left corners of the labels' first words, page by page, down each column.
std::vector<std::pair<int, QPointF>> LabelCorners(const QString& pdf) {
    std::vector<std::pair<int, QPointF>> corners;
    for (const PdfTools::Word& w : PdfTools::Words(pdf))
        if (w.text == QStringLiteral("ラベル"))
            corners.push_back({w.page, w.box.topLeft()});
    std::sort(corners.begin(), corners.end(), [](const auto& a, const auto& b) {
        return std::make_tuple(a.first, qRound(a.second.x()), a.second.y()) <
               std::make_tuple(b.first, qRound(b.second.x()), b.second.y());
    });
    return corners;
}

// The cell corners of the worked sheet: columns at 15 and 103 mm, rows 50 mm apart from 21 mm.
QPointF Cell(int column, int row) {
    return {15.0 + 88.0 * (column - 1), 21.0 + 50.0 * (row - 1)};
}

class BatchTest : public ::testing::Test {
  protected:
    void SetUp() override { FillDatabase(db.Path()); }
    QString Pdf() const { return db.Folder() + QStringLiteral("/out.pdf"); }
    Outcome Print(QStringList args) {
        return RunBatch(args << QStringLiteral("--database") << db.Path());
    }
    QStringList Stored(const char* column) const {
        return db.Column(QStringLiteral("SELECT COALESCE(%1, '-') FROM TAVRELSET WHERE "
                                        "PAPERNAME = '2x5' ORDER BY ID")
                             .arg(QLatin1String(column)));
    }
    // Every label sits at its cell's corner plus the one text inset of the first label.
    void ExpectCells(const QString& pdf, const std::vector<std::tuple<int, int, int>>& cells) {
        const auto at = LabelCorners(pdf);
        ASSERT_EQ(at.size(), cells.size());
        const auto [page0, column0, row0] = cells.front();
        const QPointF inset = at.front().second - Cell(column0, row0);
        EXPECT_LT(std::abs(inset.x()), 1.5);
        EXPECT_LT(std::abs(inset.y()), 1.5);
        for (size_t i = 0; i < cells.size(); ++i) {
            SCOPED_TRACE(i);
            const auto [page, column, row] = cells[i];
            EXPECT_EQ(at[i].first, page);
            const QPointF expected = Cell(column, row) + inset;
            EXPECT_NEAR(at[i].second.x(), expected.x(), 0.2);
            EXPECT_NEAR(at[i].second.y(), expected.y(), 0.2);
        }
    }
    TestDb db;
};

TEST_F(BatchTest, WorkedSheetFromTheCommandLineFillsOnePageAtTheStatedCellsAndStoresNothing) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    const Outcome r = Print({"--design", "宛名", "--pdf", Pdf()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(PdfTools::PageCount(Pdf()), 1);
    std::vector<std::tuple<int, int, int>> cells;
    for (int column = 1; column <= 2; ++column)
        for (int row = 1; row <= 5; ++row)
            cells.push_back({1, column, row});
    ExpectCells(Pdf(), cells);
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"-", "0"}));
    EXPECT_EQ(Stored("PRINTERNAME"), QStringList({"-", "Gone"}));
}

TEST_F(BatchTest, StartCellAndCountContinueOnTheNextPage) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    const QString id = db.Column("SELECT ID FROM TAVREL").constFirst();
    const Outcome r =
        Print({"--id", id, "--column", "2", "--row", "3", "--count", "4", "--pdf", Pdf()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    ExpectCells(Pdf(), {{1, 2, 3}, {1, 2, 4}, {1, 2, 5}, {2, 1, 1}});
}

TEST_F(BatchTest, ReadingOrderStartsAtTheCellAndGoesAcrossTheRows) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    const Outcome r = Print({"--design", "宛名", "--column", "2", "--row", "2", "--count", "4",
                             "--order", "rows", "--pdf", Pdf()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // (2,2) (1,3) (2,3) (1,4), listed here column by column.
    ExpectCells(Pdf(), {{1, 1, 3}, {1, 1, 4}, {1, 2, 2}, {1, 2, 3}});
}

TEST_F(BatchTest, ExactPlacementPutsTheLabelsAtTheSheetsTenthsAndWholeMillimetresAsBefore) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    ASSERT_EQ(Print({"--design", "宛名", "--whole-mm", "--pdf", Pdf()}).status, 0);
    const auto whole = LabelCorners(Pdf());
    ASSERT_EQ(Print({"--design", "宛名", "--exact", "--pdf", Pdf()}).status, 0);
    const auto exact = LabelCorners(Pdf());
    ASSERT_EQ(exact.size(), 10u);
    // Exact cells: x 15.0 and 103.9, y 21.5 + 50.8 k; whole: x 15 and 103, y 21 + 50 k.
    for (size_t i = 0; i < 10; ++i) {
        const QPointF moved = exact.at(i).second - whole.at(i).second;
        EXPECT_NEAR(moved.x(), 0.9 * double(i / 5), 0.1) << i;
        EXPECT_NEAR(moved.y(), 0.5 + 0.8 * double(i % 5), 0.1) << i;
    }
}

TEST_F(BatchTest, CorrectionsShiftEveryLabelByTenthMillimetres) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    ASSERT_EQ(Print({"--design", "宛名", "--count", "1", "--pdf", Pdf()}).status, 0);
    const QPointF plain = LabelCorners(Pdf()).at(0).second;
    ASSERT_EQ(
        Print({"--design", "宛名", "--count", "1", "--top", "15", "--left", "-5", "--pdf", Pdf()})
            .status,
        0);
    const QPointF shifted = LabelCorners(Pdf()).at(0).second;
    EXPECT_NEAR(shifted.x() - plain.x(), -0.5, 0.2);
    EXPECT_NEAR(shifted.y() - plain.y(), 1.5, 0.2);
}

TEST_F(BatchTest, ListsDesignsSheetsAndPrinters) {
    const QString id = db.Column("SELECT ID FROM TAVREL").constFirst();
    Outcome r = Print({"--list", "designs"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, id + "\t宛名\t2x5\n");
    r = Print({"--list", "sheets"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2x5\t2\t5\tA4\nA 3x8\t2\t5\tA4\n");
    r = RunBatch({"--list", "printers"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty() || r.out.endsWith('\n'));
}

TEST_F(BatchTest, BadArgumentsEndWithStatusTwoAndSayWhy) {
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{}, "--design or --id is required"},
        {{"--design", "宛名", "--id", "1"}, "exclude each other"},
        {{"--design", "宛名", "--printer", "P", "--pdf", "x.pdf"}, "exclude each other"},
        {{"--design", "宛名", "--column", "3"}, "--column 3 (1 - 2)"},
        {{"--design", "宛名", "--row", "0"}, "--row 0 (1 - 5)"},
        {{"--design", "宛名", "--count", "100"}, "--count 100 (1 - 99)"},
        {{"--design", "宛名", "--top", "2001"}, "--top 2001 (-2000 - 2000)"},
        {{"--design", "宛名", "--count", "x"}, "(not a number): --count x"},
        {{"--list", "labels"}, "--list takes designs, sheets or printers"},
        {{"--list", "designs", "--id", "1"}, "option not allowed with --list"},
        {{"--design", "宛名", "--bogus"}, "bad arguments"},
        {{"--design", "宛名", "extra"}, "(unexpected argument): extra"},
        {{"--design", "宛名", "--exact", "--whole-mm"}, "exclude each other"},
        {{"--design", "宛名", "--order", "diagonal"}, "(--order takes columns or rows): diagonal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome r = Print(c.args + QStringList{"--pdf", Pdf()});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Pdf()));
    }
}

// The window holds the database file while tavrel-batch prints from it; a window killed while
// holding it keeps nobody out afterwards.
TEST_F(BatchTest, PrintsWhileTheWindowHoldsTheFileAndAfterItWasKilled) {
    QTemporaryDir folder;
    IniWriteString(folder.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db.Path());
    QProcess window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("FIREBIRD");
    window.setProcessEnvironment(env);
    window.start(TAVREL_TEST_CHILD, {"posted", folder.path()});
    while (!window.readAllStandardOutput().contains("ready"))
        ASSERT_TRUE(window.waitForReadyRead(60000)) << window.readAllStandardError().toStdString();
    ASSERT_GT(TestDb::OtherAttachments(db.Path()), 0);
    EXPECT_EQ(Print({"--design", "宛名", "--pdf", Pdf()}).status, 0);
    EXPECT_TRUE(QFileInfo(Pdf()).size() > 0);
    window.kill();
    ASSERT_TRUE(window.waitForFinished(20000));
    QFile::remove(Pdf());
    const Outcome r = Print({"--design", "宛名", "--pdf", Pdf()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Pdf()));
}

TEST_F(BatchTest, MissingDesignSheetDatabasePrinterAndPdfEachHaveTheirStatus) {
    Outcome r = Print({"--design", "無い", "--pdf", Pdf()});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains("デザインが見つかりません (design not found): 無い"));
    r = Print({"--id", "999", "--pdf", Pdf()});
    EXPECT_EQ(r.status, 3);
    r = Print({"--design", "宛名", "--sheet", "B 9x9", "--pdf", Pdf()});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains("用紙が見つかりません (sheet not found): B 9x9"));
    for (const QString& name : {QString(200, u'あ'), QStringLiteral("絵文字😀")}) {
        r = Print({"--design", name, "--pdf", Pdf()});
        EXPECT_EQ(r.status, 3) << r.err.toStdString();
    }
    r = RunBatch({"--design", "宛名", "--pdf", Pdf(), "--database", db.Folder() + "/none.fdb"});
    EXPECT_EQ(r.status, 4);
    EXPECT_TRUE(r.err.contains("(database cannot be opened)"));
    EXPECT_TRUE(r.err.contains("none.fdb: ファイルが見つかりません。")) << r.err.toStdString();
    r = Print({"--design", "宛名", "--printer", "No Such Printer"});
    EXPECT_EQ(r.status, 5);
    EXPECT_TRUE(r.err.contains("(printer not found): No Such Printer"));
    r = Print({"--design", "宛名", "--pdf", db.Folder() + "/no/such/folder/out.pdf"});
    EXPECT_EQ(r.status, 6);
    EXPECT_TRUE(r.err.contains("(PDF cannot be written)"));
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"-", "0"}));
}

// Nothing already at the path is lost: neither to a full disk nor to a PDF where none belongs.
TEST_F(BatchTest, PdfThatCannotOrMustNotBeWrittenKeepsWhatWasThere) {
    const SmallDisk disk{db.Folder() + "/small"};
    const QString full = disk.path + "/out.pdf", notes = db.Folder() + "/notes.txt",
                  alias = db.Folder() + "/alias.fdb";
    ASSERT_TRUE(WriteAll(notes, "my notes") && WriteAll(full, "%PDF-1.4 an earlier good file"));
    ASSERT_EQ(link(db.Path().toLocal8Bit().constData(), alias.toLocal8Bit().constData()), 0);
    const struct {
        QString path;
        int status;
        QString says;
    } cases[] = {{full, 6, "(PDF cannot be written): " + full + ": No space left on device"},
                 {"/dev/full", 6, "(PDF cannot be written): /dev/full: No space left on device"},
                 {db.Path(), 2, "(the file is the database)"},
                 {alias, 2, "(the file is the database)"},
                 {notes, 2, "(an existing file that is not a PDF)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (c.path == full && !disk.mounted)
            continue; // not root: no full disk but the full device
        const QByteArray before = ReadAll(c.path);
        const Outcome r = Print({"--design", "宛名", "--pdf", c.path});
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        // The engine itself updates the database's header at each attachment.
        EXPECT_TRUE(ReadAll(c.path) == before || c.says.contains("database"));
    }
    EXPECT_TRUE(Print({"--list", "designs"}).out.contains("宛名"));
    EXPECT_EQ(QDir(disk.path).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
}

TEST_F(BatchTest, SheetNamedInAnotherCaseIsFoundAsInTheDialog) {
    const Outcome r =
        Print({"--design", "宛名", "--sheet", "a 3X8", "--count", "1", "--pdf", Pdf()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(Pdf()).size() > 0);
}

// A design "差込" of three lines: "ラベル «氏名»", «住所», «電話».
void AddMergeDesign(const QString& path) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat text;
    text.setFontFamilies({QStringLiteral("IPAPGothic")});
    cursor.insertText(QStringLiteral("ラベル "), text);
    int id = 0;
    for (const char* name : {"氏名", "住所", "電話"}) {
        if (id > 0)
            cursor.insertBlock();
        QTextCharFormat field = text;
        RichFormat::SetField(field, MergeField::Instruction(QString::fromUtf8(name)), ++id);
        cursor.insertText(MergeField::Placeholder(QString::fromUtf8(name)), field);
    }
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT) VALUES (0, "
                            "'差込', '2x5', :T)")};
    q.SetParam(QStringLiteral("T"), QString::fromLatin1(RtfWrite(doc)));
    q.ExecSQL();
    tr.Commit();
}

// The words of each label, in the order the labels fill the sheet.
std::vector<QStringList> LabelTexts(const QString& pdf, int count) {
    std::vector<QStringList> labels(static_cast<std::size_t>(count));
    int index = -1;
    for (const PdfTools::Word& w : PdfTools::Words(pdf)) {
        if (w.text == QStringLiteral("ラベル"))
            ++index;
        else if (index >= 0 && index < count)
            labels[static_cast<std::size_t>(index)] << w.text;
    }
    return labels;
}

TEST_F(BatchTest, MergeListPrintsOneLabelPerRowFromTheStartCell) {
    if (!PdfTools::Available())
        GTEST_SKIP() << "poppler-utils are not installed";
    AddMergeDesign(db.Path());
    QFile csv(db.Folder() + "/list.csv");
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(Sjis::Encode("氏名,住所,電話\r\n山田,\"東京都\r\n港区\",03\r\n佐藤,大阪,\r\n"
                           "鈴木,,06\r\n"));
    csv.close();
    const Outcome r = Print({"--design", "差込", "--merge", csv.fileName(), "--column", "2",
                             "--row", "3", "--pdf", Pdf()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    ExpectCells(Pdf(), {{1, 2, 3}, {1, 2, 4}, {1, 2, 5}});
    EXPECT_EQ(LabelTexts(Pdf(), 3),
              (std::vector<QStringList>{
                  {"山田", "東京都", "港区", "03"}, {"佐藤", "大阪"}, {"鈴木", "06"}}));
    ASSERT_EQ(Print({"--design", "差込", "--merge", csv.fileName(), "--rows", "2-3", "--copies",
                     "2", "--pdf", Pdf()})
                  .status,
              0);
    EXPECT_EQ(LabelTexts(Pdf(), 4),
              (std::vector<QStringList>{
                  {"佐藤", "大阪"}, {"佐藤", "大阪"}, {"鈴木", "06"}, {"鈴木", "06"}}));
}

TEST_F(BatchTest, RefusedMergeListsEndWithStatusTwoBeforeAnythingIsPrinted) {
    AddMergeDesign(db.Path());
    const struct {
        QByteArray csv;
        QStringList args;
        const char* says;
    } cases[] = {
        {"氏名,住所\n山田,東京\n", {}, "次の列がありません: 電話（データの列: 氏名、住所）"},
        {"氏名,住所,電話\n", {}, "印刷対象のデータがありません。"},
        {"氏名,住所,電話\n1,2,3\n\"4,5,6\n", {}, "3 行目: 引用符が閉じられていません。"},
        {"氏名,住所,電話\n1,2,3,4\n", {}, "2 行目: 見出し行 (3 列) より多い 4 列があります。"},
        {"氏名,住所,電話\n\x82\n", {"--encoding", "cp932"}, "2 行目: Shift-JIS (CP932)"},
        {"氏名,住所,電話\n1,2,3\n", {"--rows", "2-2"}, "行は 1 から 1 までです。"},
        {"氏名,住所,電話\n1,2,3\n", {"--rows", "x"}, "(--rows takes A-B): x"},
        {"氏名,住所,電話\n1,2,3\n", {"--copies", "100"}, "--copies 100 (1 - 99)"},
        {"氏名,住所,電話\n1,2,3\n", {"--count", "2"}, "--merge and --count exclude each other"},
    };
    const QString list = db.Folder() + "/bad.csv";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        QFile csv(list);
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write(c.csv);
        csv.close();
        const Outcome r =
            Print(QStringList{"--design", "差込", "--merge", list, "--pdf", Pdf()} + c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Pdf()));
    }
    EXPECT_EQ(Print({"--design", "宛名", "--copies", "2"}).status, 2);
}

// A barcode whose row gives data it cannot encode stops the print, naming design, type and row.
TEST_F(BatchTest, BarcodeThatCannotEncodeItsRowEndsWithStatusTwoBeforeAnythingIsPrinted) {
    db.Execute("INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT) VALUES (0, "
               "'JAN', '2x5', '{\\rtf1{\\field{\\*\\fldinst MERGEBARCODE "
               "code JAN13}}\\par}')");
    const QString list = db.Folder() + "/codes.csv";
    QFile csv(list);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("code\n4901234567894\n4901234567890\n");
    csv.close();
    const Outcome r = Print({"--design", "JAN", "--merge", list, "--pdf", Pdf()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("「JAN」のバーコード（JAN13）を印刷できません: "
                                                 "チェックデジット")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("（差し込みデータの 2 件目）")));
    EXPECT_FALSE(QFileInfo::exists(Pdf()));
    EXPECT_EQ(Print({"--design", "JAN", "--merge", list, "--rows", "1-1", "--pdf", Pdf()}).status,
              0);
}

TEST(BatchHelp, HelpListsTheExitStatusesAndVersionNamesTheProgram) {
    Outcome r = RunBatch({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* text :
         {"--design", "--pdf", "--list", "2  bad arguments", "6  PDF cannot be written",
          "7  printed, but the corrections were not stored"})
        EXPECT_TRUE(r.out.contains(text)) << text;
    r = RunBatch({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("tavrel-batch 2.")) << r.out.toStdString();
}

TEST(BatchServer, PrintsFromADatabaseOnTheServer) {
    if (!TestDb::ServerAvailable())
        GTEST_SKIP() << "no Firebird server on 127.0.0.1";
    const auto db = TestDb::OnServer();
    FillDatabase(db->Path());
    Outcome r = RunBatch({"--list", "designs", "--database", db->Path()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\t宛名\t2x5\n"));
    const QString pdf = QDir::tempPath() + "/tavrel-batch-server.pdf";
    r = RunBatch({"--design", "宛名", "--count", "2", "--pdf", pdf, "--database", db->Path()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    QFile::remove(pdf);
}

// Needs the queue that scripts/cups-server.sh sets up (its exported variables).
TEST_F(BatchTest,
       PrintingToTheQueueStoresCorrectionsAndPrinterForEverySheetOfThatNameOrSaysItCouldNot) {
    const QString queue = qEnvironmentVariable("TAVREL_CUPS_QUEUE");
    const QString pdfDir = qEnvironmentVariable("TAVREL_CUPS_PDF_DIR");
    if (queue.isEmpty())
        GTEST_SKIP() << "no CUPS queue: eval \"$(scripts/cups-server.sh start)\" first";
    const QStringList before = QDir(pdfDir).entryList({"*.pdf"}, QDir::Files);
    const Outcome r = Print({"--design", "宛名", "--count", "1", "--top", "15", "--left", "-5",
                             "--printer", queue.toLower()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Stored("PR_TOPM"), QStringList({"15", "15"}));
    EXPECT_EQ(Stored("PR_LEFTM"), QStringList({"-5", "-5"}));
    EXPECT_EQ(Stored("PRINTERNAME"), QStringList({queue, queue}));
    // cups-pdf writes its file a moment after the job is accepted.
    for (int i = 0; i < 100 && QDir(pdfDir).entryList({"*.pdf"}, QDir::Files) == before; ++i)
        QThread::msleep(100);
    EXPECT_NE(QDir(pdfDir).entryList({"*.pdf"}, QDir::Files), before);
    // Printed but not stored is no failure to open the database: a retry would print twice.
    db.Execute("CREATE EXCEPTION NO_STORE 'read only sheets'");
    db.Execute(
        "CREATE TRIGGER NO_UPDATE FOR TAVRELSET BEFORE UPDATE AS BEGIN EXCEPTION NO_STORE; END");
    const Outcome again = Print({"--design", "宛名", "--count", "1", "--printer", queue});
    EXPECT_EQ(again.status, 7);
    EXPECT_TRUE(again.err.contains("(printed, but the corrections were not stored)"));
}

} // namespace
