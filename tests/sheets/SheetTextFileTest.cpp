#include "sheets/SheetTextFile.h"

#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "platform/SjisCodec.h"
#include "platform/WaitCursor.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

// Readable failure output.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kUpdateError = QStringLiteral("Update Error");

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EError& e) {
        return e.message();
    }
    return QStringLiteral("(nothing raised)");
}

// Values of TAVRELSET in column order.
using Sheet = QVariantList;

const Sheet kLb12 = {
    12, "LB-12",   QStringLiteral("エーワン"), "A4", 2100, 2970, 110, 85, 2, 6, 900, 420, 50, 0, 0,
    0,  QVariant()};
const Sheet kSpaced = {0,
                       QStringLiteral("MX 2列, 6段"),
                       QStringLiteral("コクヨ"),
                       QStringLiteral("その他"),
                       1000,
                       1480,
                       0,
                       0,
                       2,
                       6,
                       500,
                       240,
                       0,
                       0,
                       -15,
                       20,
                       "PDF"};
// 表 and ソ end in the byte of a backslash in Shift-JIS.
const Sheet kKanji = {
    0,  QStringLiteral("N表示ソフト"), QVariant(), "B5", 1820, 2570, 1, 2, 3, 4, 5, 6, 7, 8, 9,
    10, QStringLiteral("プリンタ")};

// The sheet editor's query on its own connection, with the editor's new-row defaults.
struct SheetFixture {
    explicit SheetFixture(const QString& path) {
        ConnectDatabase(db, tr, path);
        q.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"), QStringLiteral("ORDER BY PAPERNAME")};
        q.CachedUpdates = true;
        q.ForcedRefresh = true;
        q.UpdateObject = &upd;
        q.OnNewRecord = [](Query& s) {
            s.FieldByName("ID").SetValue(0);
            s.FieldByName("PaperType").SetValue("A4");
            for (const char* name : {"Top_M", "Left_M", "L_Width", "L_Height", "X_Skip", "Y_Skip",
                                     "Pr_LeftM", "Pr_TopM"})
                s.FieldByName(name).SetValue(0);
            s.FieldByName("Retsu").SetValue(1);
            s.FieldByName("Dan").SetValue(1);
            s.FieldByName("P_Width").SetValue(2100);
            s.FieldByName("P_Height").SetValue(2970);
        };
        q.Open();
        GenerateUpdateSql(q, &upd, QStringLiteral("TAVRELSET"));
    }
    void Add(const Sheet& sheet) {
        q.Append();
        for (int i = 0; i < sheet.size(); ++i)
            q.Fields(i).SetValue(sheet[i]);
        q.Post();
    }
    void Save() { ASSERT_TRUE(ApplyAndReopen(q, false, false)); }
    // Every row's line without its identifier, which the database assigns.
    QStringList Rows() {
        QStringList rows;
        for (int r = 1; r <= q.RecordCount(); ++r) {
            q.SetRecNo(r);
            rows << RecordLine(q).section(u',', 1);
        }
        return rows;
    }
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL upd;
};

// Three saved sheets: LB-12 (ID 1), MX... (ID 2), N表示ソフト (ID 3), in that list order.
struct SavedSheets : SheetFixture {
    explicit SavedSheets(const QString& path) : SheetFixture(path) {
        for (const Sheet& s : {kLb12, kSpaced, kKanji})
            Add(s);
        Save();
    }
};

const QString kLine1 =
    QStringLiteral("1,\"LB-12\",\"エーワン\",\"A4\",2100,2970,110,85,2,6,900,420,50,0,0,0,\"\"");
const QString kLine2 = QStringLiteral(
    "2,\"MX 2列, 6段\",\"コクヨ\",\"その他\",1000,1480,0,0,2,6,500,240,0,0,-15,20,\"PDF\"");
const QString kLine3 =
    QStringLiteral("3,\"N表示ソフト\",\"\",\"B5\",1820,2570,1,2,3,4,5,6,7,8,9,10,\"プリンタ\"");

QByteArray FileOf(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += Sjis::Encode(line) + "\r\n";
    return bytes;
}

// ---------------------------------------------------------------------------
// Splitting a line

struct SplitCase {
    const char* name;
    QString line;
    std::optional<QStringList> tokens;
};

class SplitSheetLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSheetLineTest, GivesTheTokens) {
    EXPECT_EQ(SplitSheetLine(GetParam().line), GetParam().tokens);
}

const QStringList kExampleTokens = {"12",  "LB-12", QStringLiteral("エーワン"),
                                    "A4",  "2100",  "2970",
                                    "110", "85",    "2",
                                    "6",   "900",   "420",
                                    "50",  "0",     "0",
                                    "0",   ""};

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitSheetLineTest,
    ::testing::Values(
        SplitCase{
            "Example",
            QStringLiteral(
                "12,\"LB-12\",\"エーワン\",\"A4\",2100,2970,110,85,2,6,900,420,50,0,0,0,\"\""),
            kExampleTokens},
        SplitCase{"QuotedKeepsCommasAndBlanks", "\"a, b  c\",1", QStringList{"a, b  c", "1"}},
        SplitCase{"DoubledQuoteIsOne", "\"say \"\"hi\"\"\",\"\"\"\"",
                  QStringList{"say \"hi\"", "\""}},
        SplitCase{"TextAfterClosingQuoteIsOwnToken", "\"x\"y,z", QStringList{"x", "y", "z"}},
        SplitCase{"TwoCommasGiveEmptyToken", "1,,2", QStringList{"1", "", "2"}},
        SplitCase{"TrailingCommaGivesEmptyToken", "1,", QStringList{"1", ""}},
        SplitCase{"CommaAloneGivesTwoEmptyTokens", ",", QStringList{"", ""}},
        SplitCase{"EmptyQuotesGiveEmptyToken", "\"\"", QStringList{""}},
        SplitCase{"EmptyLineGivesNoToken", "", QStringList{}},
        SplitCase{"BlankLineGivesNoToken", " \t ", QStringList{}},
        SplitCase{"BlankAfterCommaIsSkipped", "1, 2", QStringList{"1", "2"}},
        SplitCase{"UnquotedBlankSplits", "1 2", QStringList{"1", "2"}},
        SplitCase{"ControlCharactersSeparate",
                  QStringLiteral("\x01"
                                 "1\x1f,\t\"a\"\r"),
                  QStringList{"1", "a"}},
        SplitCase{"ControlCharacterInsideQuotesStays", "\"a\tb\"", QStringList{"a\tb"}},
        SplitCase{"QuoteNeverClosed", "1,\"abc", std::nullopt},
        SplitCase{"DoubledQuoteIsNotAClose", "\"abc\"\"", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Writing lines

TEST(SheetLine, CurrentRowReadsLikeTheExample) {
    TestDb tdb;
    SheetFixture f(tdb.Path());
    f.q.Append();
    for (int i = 0; i < kLb12.size(); ++i)
        f.q.Fields(i).SetValue(kLb12[i]);
    EXPECT_EQ(RecordLine(f.q),
              QStringLiteral(
                  "12,\"LB-12\",\"エーワン\",\"A4\",2100,2970,110,85,2,6,900,420,50,0,0,0,\"\""));
    f.q.FieldByName("PAPERNAME").SetValue("A \"B\"");
    f.q.FieldByName("P_WIDTH").Clear();
    f.q.FieldByName("PR_TOPM").SetValue(-7);
    EXPECT_EQ(
        RecordLine(f.q),
        QStringLiteral("12,\"A B\",\"エーワン\",\"A4\",,2970,110,85,2,6,900,420,50,0,0,-7,\"\""));
}

TEST(SheetLine, MemosAreUnquotedAndBinaryBlobsEmpty) {
    TestDb tdb;
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("SELECT * FROM TAVREL")};
    q.CachedUpdates = true;
    q.Open();
    q.Append();
    const QVariantList values = {
        5,  "say \"hi\"", QVariant(), "{\\rtf1 x}", QByteArray("BM\x01", 3),
        -3, QVariant(),   70,         50,           1,
        0};
    for (int i = 0; i < values.size(); ++i)
        q.Fields(i).SetValue(values[i]);
    EXPECT_EQ(RecordLine(q), QStringLiteral("5,\"say hi\",\"\",{\\rtf1 x},,-3,,70,50,1,0"));
}

// ---------------------------------------------------------------------------
// Export

class SheetExport : public ::testing::Test {
  protected:
    QString File(const QString& name = QStringLiteral("Tavrel印刷設定.txt")) const {
        return dir_.filePath(name);
    }
    TestDb tdb_;
    QTemporaryDir dir_;
};

TEST_F(SheetExport, AllToANewFileWritesShiftJisLinesInListOrder) {
    SavedSheets f(tdb_.Path());
    f.q.SetRecNo(2);
    EXPECT_EQ(ExportRecords(f.q, File(), false, ExportRange::All), 3);
    const QByteArray bytes = ReadBytes(File());
    EXPECT_EQ(bytes, FileOf({kLine1, kLine2, kLine3}));
    EXPECT_TRUE(bytes.startsWith("1,\"LB-12\",\"\x83\x47\x81\x5b\x83\x8f\x83\x93\",")); // no BOM
    EXPECT_TRUE(bytes.endsWith("\"\x83\x76\x83\x8a\x83\x93\x83\x5e\"\r\n"));
    EXPECT_EQ(f.q.RecNo(), 3); // left on the last row written
    EXPECT_EQ(WaitCursor::Depth(), 0);
    EXPECT_FALSE(f.q.ControlsDisabled());
}

TEST_F(SheetExport, ToAnExistingFileAppendsAfterItsLastByte) {
    SavedSheets f(tdb_.Path());
    WriteBytes(File(), "old\r\nno break");
    f.q.SetRecNo(1);
    EXPECT_TRUE(WriteRecordLine(f.q, File(), true));
    EXPECT_EQ(ExportRecords(f.q, File(), true, ExportRange::All), 3);
    EXPECT_EQ(ReadBytes(File()), "old\r\nno break" + FileOf({kLine1, kLine1, kLine2, kLine3}));
    // Without the append flag the file starts afresh.
    f.q.SetRecNo(3);
    EXPECT_TRUE(WriteRecordLine(f.q, File(), false));
    EXPECT_EQ(ReadBytes(File()), FileOf({kLine3}));
}

TEST_F(SheetExport, SelectedRowsInListOrderOrElseTheCurrentRow) {
    SavedSheets f(tdb_.Path());
    EXPECT_EQ(ExportRecords(f.q, File(), false, ExportRange::Selected, {3, 1, 99, 1, 0}), 2);
    EXPECT_EQ(ReadBytes(File()), FileOf({kLine1, kLine3}));
    EXPECT_EQ(f.q.RecNo(), 3);

    f.q.SetRecNo(2);
    EXPECT_EQ(ExportRecords(f.q, File("none.txt"), false, ExportRange::Selected, {}), 1);
    EXPECT_EQ(ReadBytes(File("none.txt")), FileOf({kLine2}));
    EXPECT_EQ(ExportRecords(f.q, File("gone.txt"), false, ExportRange::Selected, {7}), 1);
    EXPECT_EQ(ReadBytes(File("gone.txt")), FileOf({kLine2}));
}

TEST_F(SheetExport, CurrentRowAsShownAndTheListStaysPut) {
    SavedSheets f(tdb_.Path());
    f.q.SetRecNo(2);
    EXPECT_EQ(ExportRecords(f.q, File(), false, ExportRange::Current), 1);
    EXPECT_EQ(ReadBytes(File()), FileOf({kLine2}));
    EXPECT_EQ(f.q.RecNo(), 2);

    // All posts a row being edited before it writes.
    f.q.Edit();
    f.q.FieldByName("PAPERNAME").SetValue("MY");
    EXPECT_EQ(ExportRecords(f.q, File("all.txt"), false, ExportRange::All), 3);
    EXPECT_EQ(f.q.State(), DataSetState::Browse);
    EXPECT_TRUE(f.q.UpdatesPending());
    EXPECT_TRUE(ReadBytes(File("all.txt")).contains("\r\n2,\"MY\","));
}

TEST_F(SheetExport, EmptyListWritesNothing) {
    SheetFixture f(tdb_.Path());
    for (ExportRange range : {ExportRange::All, ExportRange::Selected, ExportRange::Current})
        EXPECT_EQ(ExportRecords(f.q, File(), false, range, {1}), 0);
    EXPECT_FALSE(WriteRecordLine(f.q, File(), false));
    EXPECT_FALSE(QFile::exists(File()));
    WriteBytes(File(), "kept\r\n");
    EXPECT_EQ(ExportRecords(f.q, File(), false, ExportRange::All), 0);
    EXPECT_EQ(ReadBytes(File()), "kept\r\n");
}

TEST_F(SheetExport, FileSystemMessageWhenTheFileCannotBeWritten) {
    SavedSheets f(tdb_.Path());
    const QString missing = File("no folder/a.txt");
    EXPECT_EQ(MessageOf([&] { WriteRecordLine(f.q, missing, false); }),
              missing + ": No such file or directory");
    EXPECT_TRUE(MessageOf([&] {
                    ExportRecords(f.q, dir_.path(), true, ExportRange::All);
                }).startsWith(dir_.path() + ": "));
    EXPECT_EQ(WaitCursor::Depth(), 0);
    EXPECT_FALSE(f.q.ControlsDisabled());
}

// The file system refuses to grow the file past two lines and a bit: the lines before stay
// whole and no part of the third is left behind.
TEST_F(SheetExport, LinesWrittenBeforeAFailureStay) {
    SavedSheets f(tdb_.Path());
    const QByteArray firstTwo = FileOf({kLine1, kLine2});
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(firstTwo.size() + 10);
    setrlimit(RLIMIT_FSIZE, &small);
    const QString message = MessageOf([&] { ExportRecords(f.q, File(), false, ExportRange::All); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, File() + ": File too large");
    EXPECT_EQ(ReadBytes(File()), firstTwo);
}

// ---------------------------------------------------------------------------
// Import

class SheetImport : public ::testing::Test {
  protected:
    QString File(const QString& name = QStringLiteral("in.txt")) const {
        return dir_.filePath(name);
    }
    TestDb tdb_;
    QTemporaryDir dir_;
};

TEST_F(SheetImport, FileExportedFromTheSameDatabaseDoublesItsSheets) {
    SavedSheets f(tdb_.Path());
    const QStringList before = f.Rows();
    ASSERT_EQ(ExportRecords(f.q, File(), false, ExportRange::All), 3);
    EXPECT_TRUE(ImportFile(f.q, File()));
    EXPECT_EQ(f.q.RecordCount(), 6);
    EXPECT_EQ(f.q.State(), DataSetState::Browse);
    EXPECT_EQ(WaitCursor::Depth(), 0);
    EXPECT_FALSE(f.q.ControlsDisabled());
    f.Save();
    EXPECT_EQ(f.Rows(),
              QStringList({before[0], before[0], before[1], before[1], before[2], before[2]}));
    QList<int> ids;
    for (int r = 1; r <= 6; ++r) {
        f.q.SetRecNo(r);
        ids << f.q.FieldByName("ID").AsInteger();
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, QList<int>({1, 2, 3, 4, 5, 6})); // the database's own identifiers
}

TEST_F(SheetImport, QuotesAreLostAndNullsComeBackEmptyOrZero) {
    SheetFixture f(tdb_.Path());
    f.Add({0, "A \"B\"", QVariant(), "A4", QVariant(), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, ""});
    f.Save();
    ASSERT_EQ(ExportRecords(f.q, File(), false, ExportRange::All), 1);
    f.q.First();
    f.q.Delete();
    ImportFile(f.q, File());
    f.Save();
    ASSERT_EQ(f.q.RecordCount(), 1);
    EXPECT_EQ(f.q.FieldByName("PAPERNAME").AsString(), "A B");
    EXPECT_FALSE(f.q.FieldByName("CONAME").IsNull());
    EXPECT_EQ(f.q.FieldByName("CONAME").AsString(), "");
    EXPECT_EQ(f.q.FieldByName("P_WIDTH").Value(), 0);
}

TEST_F(SheetImport, ValuesFromTokensExtraTokensIgnored) {
    SheetFixture f(tdb_.Path());
    const QString line = QStringLiteral(
        "7 , \"表 ,名\" ,ｱｲ,A5,99999999999,12a,-1,,1,2,3,4,5,6,7,8,\"P\",extra,\"more\"");
    ImportLines(f.q, {line});
    EXPECT_EQ(
        f.Rows(),
        QStringList({QStringLiteral("\"表 ,名\",\"ｱｲ\",\"A5\",0,0,-1,0,1,2,3,4,5,6,7,8,\"P\"")}));
    EXPECT_EQ(f.q.FieldByName("ID").AsInteger(), 7);
}

TEST_F(SheetImport, BadLineStopsWithUpdateErrorAndKeepsTheRowsBefore) {
    SheetFixture f(tdb_.Path());
    const QString good = kLine1;
    const QString sixtyOne(61, u'x');
    const QList<std::pair<const char*, QString>> badLines = {
        {"too few tokens", QStringLiteral("1,\"a\",\"b\",\"A4\",1,2")},
        {"empty line", QString()},
        {"quote never closed", kLine1.chopped(1)},
        {"not Shift-JIS",
         QString(kLine1).replace(QStringLiteral("2100"), QStringLiteral("21\uFFFD00"))},
        {"binary", QString(kLine1).replace("2970", QStringLiteral("29") + QChar(0) + "70")},
        {"code page extension", "1,\"①㈱\",\"\",\"A4\",1,2,3,4,5,6,7,8,9,10,11,12,\"\""},
        {"IBM extension", "1,\"髙橋\",\"\",\"A4\",1,2,3,4,5,6,7,8,9,10,11,12,\"\""},
        {"name longer than the column",
         "1,\"" + sixtyOne + "\",\"\",\"A4\",1,2,3,4,5,6,7,8,9,10,11,12,\"\""},
    };
    int rows = 0;
    for (const auto& [what, line] : badLines) {
        SCOPED_TRACE(what);
        // A lambda may not capture a structured binding before clang 16.
        const QString& bad = line;
        EXPECT_EQ(MessageOf([&] { ImportLines(f.q, {good, bad, good}); }), kUpdateError);
        EXPECT_EQ(f.q.RecordCount(), ++rows);
        EXPECT_EQ(f.q.State(), DataSetState::Browse);
        EXPECT_EQ(WaitCursor::Depth(), 0);
        EXPECT_FALSE(f.q.ControlsDisabled());
    }
    // Sixty characters, each two bytes in Shift-JIS, are what the column takes.
    EXPECT_TRUE(ImportLines(
        f.q, {"1,\"" + QString(60, u'表') + "\",\"\",\"A4\",1,2,3,4,5,6,7,8,9,10,11,12,\"\""}));
    f.Save();
    EXPECT_EQ(f.q.RecordCount(), rows + 1);
}

TEST_F(SheetImport, FieldsWithoutTextFormKeepTheirDefaults) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb_.Path());
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("SELECT * FROM TAVREL")};
    q.CachedUpdates = true;
    q.OnNewRecord = [](Query& s) { s.FieldByName("GAZOU").SetValue(QByteArray("BM\x00\x07", 4)); };
    q.Open();
    // The picture's token may be anything.
    ImportLines(q, {QStringLiteral("1,\"n\",\"p\",{\\rtf1\\b},ignored,1,2,3,4,1,0")});
    EXPECT_EQ(q.FieldByName("GAZOU").AsBytes(), QByteArray("BM\x00\x07", 4));
    EXPECT_EQ(q.FieldByName("CARDTEXT").AsString(), "{\\rtf1\\b}");
    EXPECT_EQ(q.FieldByName("G_STRETCH").Value(), 0);
}

// A column without a character set holds the Shift-JIS bytes: 40 bytes are 20 Japanese letters.
TEST_F(SheetImport, SmallIntegerAndTextColumnsRefuseWhatTheyCannotHold) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb_.Path());
    RunScript(
        db, tr,
        QStringLiteral(
            "CREATE TABLE SMALLS (N SMALLINT, C CHAR(2), V VARCHAR(40) CHARACTER SET NONE);"));
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("SELECT * FROM SMALLS")};
    q.CachedUpdates = true;
    q.Open();
    const QString vendor = '"' + QString(20, u'エ') + '"';
    EXPECT_TRUE(ImportLines(q, {"32767,ab," + vendor, "-32768,c," + QString(40, u'a')}));
    for (const QString& line :
         QStringList{"32768,ab,", "1,abc,", "1,ab,\"" + QString(21, u'エ') + '"'})
        EXPECT_EQ(MessageOf([&] { ImportLines(q, {line}); }), kUpdateError) << line.toStdString();
    EXPECT_EQ(q.RecordCount(), 2);
}

TEST_F(SheetImport, FilesThatAreNotSheetTextAddNothing) {
    SheetFixture f(tdb_.Path());
    QByteArray binary(256 * 1024, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 7919) >> 3);
    WriteBytes(File("binary.bin"), binary);
    WriteBytes(File("utf16.txt"),
               QByteArray(reinterpret_cast<const char*>(kLine1.utf16()), kLine1.size() * 2));
    for (const char* name : {"binary.bin", "utf16.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MessageOf([&] { ImportFile(f.q, File(name)); }), kUpdateError);
    }
    // Beyond the bounds the file is refused before its rows are read.
    WriteBytes(File("huge.txt"), QByteArray(SheetTextReader::kMaxFileBytes + 1, 'A'));
    WriteBytes(File("long.txt"),
               (Sjis::Encode(kLine1) + "\r\n").repeated(SheetTextReader::kMaxLines + 1));
    for (const char* name : {"huge.txt", "long.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MessageOf([&] { ImportFile(f.q, File(name)); }),
                  File(name) +
                      ": ファイルが大きすぎます。読み込めるのは 10000 行、10 MB までです。");
    }
    EXPECT_EQ(MessageOf([&] { ImportFile(f.q, File("missing.txt")); }),
              File("missing.txt") + ": No such file or directory");
    EXPECT_TRUE(f.q.IsEmpty());
    EXPECT_FALSE(f.q.UpdatesPending());
}

// ---------------------------------------------------------------------------
// Reading lines

TEST(SheetTextReader, LinesEndAtCrLfOrBothAndAnEmptyLastLineDoesNotCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lines.txt");
    auto linesOf = [&](const QByteArray& bytes) {
        WriteBytes(path, bytes);
        SheetTextReader reader(path);
        QStringList lines;
        for (QString line; reader.NextLine(&line);)
            lines << line;
        return lines;
    };
    EXPECT_EQ(linesOf("a\r\nb\rc\nd\n\re\r\n"), QStringList({"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(linesOf("a\r\n\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(linesOf(""), QStringList());
    EXPECT_EQ(linesOf("\r\n"), QStringList({""}));
    EXPECT_EQ(linesOf("\x83\x47\x81\x5b\r\n\x83"), QStringList({QStringLiteral("エー"), "\uFFFD"}));
    // A CRLF split between two reads is still one line end.
    const QByteArray first(64 * 1024 - 1, 'x');
    EXPECT_EQ(linesOf(first + "\r\ny"), QStringList({QString::fromLatin1(first), "y"}));
}

TEST(SheetTextReader, OverlongLinesAreCut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.txt");
    WriteBytes(path, QByteArray(SheetTextReader::kMaxLineBytes + 1, 'x') + "\nshort");
    SheetTextReader reader(path);
    QString line;
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_TRUE(reader.LineCut());
    EXPECT_EQ(line.size(), SheetTextReader::kMaxLineBytes);
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_FALSE(reader.LineCut());
    EXPECT_EQ(line, "short");
}

} // namespace
