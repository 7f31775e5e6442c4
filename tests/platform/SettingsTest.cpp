#include "platform/Settings.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Each case starts from a fresh process state with the program living in a temporary folder.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        Settings::SetExecutableFolder(dir.path());
    }
    void TearDown() override {
        Settings::SetExecutableFolder({});
        Settings::ResetToInitial();
    }
    QString IniPath() const { return dir.filePath("TAVREL.ini"); }
    void WriteIni(const QByteArray& bytes) {
        QFile f(IniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ReadIni() const {
        QFile f(IniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(SettingsTest, FirstStartWritesExactlyTheListedFile) {
    ASSERT_TRUE(Settings::ReadSettings());
    const QByteArray expected =
        "[TAVREL]\r\nF_DbDir001=\r\nF_DbPath01=\r\nExePath001=" + dir.path().toUtf8() +
        "\r\nHintShow=1\r\nHintColor=-16777192\r\nHintTime=2000\r\nPrintTenthMm=1\r\n"
        "FillByRows=0\r\n\r\n";
    EXPECT_EQ(ReadIni(), expected);
    EXPECT_TRUE(Settings::PrintTenthMm);
    EXPECT_TRUE(QDir(dir.filePath("Tmp")).exists());
    EXPECT_EQ(Settings::TmpPath, dir.filePath("Tmp"));
    EXPECT_EQ(Settings::SnapshotPath, dir.filePath("Tmp/TaTempp.cds"));
    EXPECT_EQ(Settings::IniFileName, IniPath());
    EXPECT_TRUE(Settings::HintShow);
    EXPECT_EQ(Settings::HintColor, -16777192);
}

TEST_F(SettingsTest, ExistingKeysKeepTheirPlaceAndMissingOnesFollow) {
    WriteIni("[TAVREL]\r\nHintTime=5000\r\n");
    Settings::ReadSettings();
    EXPECT_EQ(Settings::HintTime, 5000);
    EXPECT_TRUE(ReadIni().startsWith("[TAVREL]\r\nHintTime=5000\r\nF_DbDir001=\r\n"));
    EXPECT_TRUE(ReadIni().endsWith("HintShow=1\r\nHintColor=-16777192\r\nPrintTenthMm=0\r\n"
                                   "FillByRows=0\r\n\r\n"));
    // An existing installation keeps its whole-millimetre layout.
    EXPECT_FALSE(Settings::PrintTenthMm);
}

TEST_F(SettingsTest, CaseHexAndGarbageValues) {
    WriteIni("; comment\r\n[tavrel]\r\nhinttime = abc\r\nHINTCOLOR=0xFF\r\nhintshow=x\r\n"
             "f_dbpath01= /data/TAVREL.FDB \r\nnot a key line\r\n");
    Settings::ReadSettings();
    EXPECT_EQ(Settings::HintTime, 2000);
    EXPECT_EQ(Settings::HintColor, 255);
    EXPECT_TRUE(Settings::HintShow);
    EXPECT_EQ(Settings::DbPath, "/data/TAVREL.FDB");
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("hinttime=abc\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("not a key line\r\n"));
    EXPECT_FALSE(ini.contains("; comment"));
    EXPECT_FALSE(ini.contains("HintTime=2000")); // the key existed, so no default was written
}

// An old Shift-JIS file is read and stays Shift-JIS; a file that needs no change is never
// written; one with a line in neither encoding starts, says which line, and is never rewritten.
TEST_F(SettingsTest, FilesAreKeptInTheirEncodingAndOneWithAStrayByteIsNeverRewritten) {
    const QByteArray rest = "\r\nExePath001=" + dir.path().toUtf8() +
                            "\r\nHintShow=1\r\nHintColor=-16777192\r\nHintTime=2000\r\n"
                            "PrintTenthMm=0\r\nFillByRows=0\r\n";
    const QByteArray sjisPath = "F_DbPath01=C:\\\x83\x89\x83\x78\x83\x8b\\TAVREL.FDB";
    const struct {
        QByteArray file;
        const char* warning;
    } cases[] = {
        {"; mine\r\n[TAVREL]\r\nF_DbDir001=\r\n" + sjisPath + rest, ""},
        {"[TAVREL]\r\nF_DbDir001=\xff\r\n" + sjisPath + rest, "2 行目を読めません"},
        {"[TAVREL]\r\nF_DbDir001=\r\nF_DbPath01=C:\\ラベル\\TAVREL.FDB" + rest, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.constData());
        Settings::ResetToInitial();
        WriteIni(c.file);
        ASSERT_TRUE(Settings::ReadSettings());
        EXPECT_EQ(Settings::DbPath, QStringLiteral("C:\\ラベル\\TAVREL.FDB"));
        EXPECT_EQ(ReadIni(), c.file);
        EXPECT_TRUE(Settings::IniWarning.contains(QString::fromUtf8(c.warning)));
        EXPECT_EQ(Settings::IniWarning.isEmpty(), *c.warning == 0);
        EXPECT_EQ(IniWriteString(IniPath(), "TAVREL", "HintTime", "300"), *c.warning == 0);
    }
    EXPECT_TRUE(ReadIni().contains("HintTime=300"));
    WriteIni(cases[0].file);
    IniWriteString(IniPath(), "TAVREL", "HintTime", "300");
    EXPECT_TRUE(ReadIni().contains(sjisPath + QByteArray(rest).replace("2000", "300")));
}

TEST_F(SettingsTest, UnreadableFileIsAnIniFileError) {
    ASSERT_TRUE(QDir().mkpath(IniPath())); // a folder where the file should be
    try {
        Settings::ReadSettings();
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "IniFile Error");
    }
    EXPECT_TRUE(Settings::DbPath.isEmpty());
    EXPECT_EQ(Settings::HintTime, 2000);
}

TEST_F(SettingsTest, ReadOnlyFileStartsAndUsesDefaults) {
    WriteIni("[TAVREL]\r\nF_DbPath01=/x.fdb\r\n");
    chmod(IniPath().toLocal8Bit().constData(), 0444);
    chmod(dir.path().toLocal8Bit().constData(), 0555);
    const bool rootCanWrite = QFile(IniPath()).open(QIODevice::ReadWrite);
    ASSERT_NO_THROW(Settings::ReadSettings());
    EXPECT_EQ(Settings::DbPath, "/x.fdb");
    EXPECT_EQ(Settings::HintTime, 2000);
    if (!rootCanWrite) {
        EXPECT_EQ(ReadIni(), "[TAVREL]\r\nF_DbPath01=/x.fdb\r\n");
    }
    chmod(dir.path().toLocal8Bit().constData(), 0755);
    chmod(IniPath().toLocal8Bit().constData(), 0644);
}

// An installed copy keeps its files with the user: in a folder the user cannot write, and in
// an installation's writable bin folder (root running a packaged copy) alike.
TEST_F(SettingsTest, InstalledCopyKeepsSettingsAndTmpWithTheUser) {
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toLocal8Bit());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/bin")) &&
                QDir().mkpath(dir.filePath("usr/share/tavrel")));
    for (const char* folder : {"absent/bin", "usr/bin"}) {
        SCOPED_TRACE(folder);
        const QString program = dir.filePath(folder);
        QDir(dir.filePath("config")).removeRecursively();
        Settings::ResetToInitial();
        Settings::SetExecutableFolder(program);
        ASSERT_NO_THROW(Settings::ReadSettings());
        const QString ini = dir.filePath("config/Tavrel/TAVREL.ini");
        EXPECT_EQ(Settings::IniFileName, ini);
        EXPECT_EQ(Settings::TmpPath, dir.filePath("cache/Tavrel/Tmp"));
        EXPECT_EQ(Settings::SnapshotPath, dir.filePath("cache/Tavrel/Tmp/TaTempp.cds"));
        EXPECT_TRUE(QDir(Settings::TmpPath).exists());
        EXPECT_EQ(Settings::ExePath, program);
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(
            "[TAVREL]\r\nF_DbDir001=\r\nF_DbPath01=\r\nExePath001=" + program.toUtf8() + "\r\n"));
        EXPECT_TRUE(QDir(program).isEmpty());
    }
    for (const auto& [name, old] :
         {std::pair{"XDG_CONFIG_HOME", oldConfig}, std::pair{"XDG_CACHE_HOME", oldCache}})
        old.isEmpty() ? qunsetenv(name) : qputenv(name, old);
}

TEST_F(SettingsTest, LargeFileWithManyLinesStillReads) {
    QByteArray big = "[OTHER]\r\n";
    while (big.size() < 10 * 1024 * 1024)
        big += "key" + QByteArray::number(big.size()) + "=value\r\n";
    big += "[TAVREL]\r\nHintTime=42\r\n";
    WriteIni(big);
    Settings::ReadSettings();
    EXPECT_EQ(Settings::HintTime, 42);
}

TEST_F(SettingsTest, MovedProgramRewritesItsFolderButKeepsTheDatabase) {
    WriteIni("[TAVREL]\r\nF_DbPath01=/old/TAVREL.FDB\r\nExePath001=/old\r\n");
    Settings::ReadSettings();
    EXPECT_TRUE(ReadIni().contains("ExePath001=" + dir.path().toUtf8() + "\r\n"));
    EXPECT_EQ(Settings::DbPath, "/old/TAVREL.FDB");
}

struct IntegerCase {
    const char* text;
    bool ok;
    int value;
};

class IniIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegerTest, Parses) {
    int value = -7;
    EXPECT_EQ(ParseIniInteger(QString::fromLatin1(GetParam().text), &value), GetParam().ok);
    if (GetParam().ok) {
        EXPECT_EQ(value, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniIntegerTest,
    ::testing::Values(IntegerCase{"2000", true, 2000}, IntegerCase{"-16777192", true, -16777192},
                      IntegerCase{"$FF", true, 255}, IntegerCase{"0xff", true, 255},
                      IntegerCase{"0XFF000018", true, -16777192},
                      IntegerCase{"$FF000018", true, -16777192}, IntegerCase{"0x", false, 0},
                      IntegerCase{"", false, 0}, IntegerCase{"12a", false, 0},
                      IntegerCase{"2147483648", false, 0}, IntegerCase{"$", false, 0},
                      IntegerCase{"-2147483648", true, INT32_MIN}));

TEST(IniFile, HelpersWriteAndReadBackThroughFreshImages) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("t.ini");
    EXPECT_TRUE(IniFileCheck(ini));
    EXPECT_EQ(QFile(ini).size(), 0);
    EXPECT_FALSE(IniValueExists(ini, "S", "K"));
    EXPECT_EQ(IniReadString(ini, "S", "K", "dflt"), "dflt");
    EXPECT_TRUE(IniValueExists(ini, "s", "k"));
    EXPECT_TRUE(IniWriteString(ini, "S", "Empty", ""));
    EXPECT_EQ(IniReadString(ini, "S", "Empty", "dflt"), "");
    EXPECT_TRUE(IniWriteBool(ini, "S", "B", false));
    EXPECT_FALSE(IniReadBool(ini, "S", "B", true));
    EXPECT_TRUE(IniWriteInteger(ini, "Second", "N", -5));
    EXPECT_EQ(IniReadInteger(ini, "second", "n", 0), -5);
    EXPECT_FALSE(IniWriteString(dir.filePath("missing/t.ini"), "S", "K", "v"));
}

} // namespace
