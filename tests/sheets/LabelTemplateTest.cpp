#include "sheets/LabelTemplate.h"
#include "platform/Error.h"
#include "sheets/TemplateFixture.h"
#include "sheets/TemplateSheet.h"

#include <QElapsedTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct LengthCase {
    const char* text;
    double mm; // NAN: refused
    const char* reasonPart;
};

class Lengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(Lengths, ReadInEveryUnitAndRefusedOtherwise) {
    const LengthCase& c = GetParam();
    QString error;
    const std::optional<double> mm = ParseLength(QString::fromUtf8(c.text), &error);
    if (std::isnan(c.mm)) {
        EXPECT_FALSE(mm.has_value());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reasonPart))) << error.toStdString();
    } else {
        ASSERT_TRUE(mm.has_value()) << error.toStdString();
        EXPECT_NEAR(*mm, c.mm, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, Lengths,
    ::testing::Values(LengthCase{"86.4mm", 86.4, ""}, LengthCase{"2.5cm", 25.0, ""},
                      LengthCase{"1.75in", 44.45, ""}, LengthCase{"72pt", 25.4, ""},
                      LengthCase{"72", 25.4, ""}, LengthCase{" 3 mm ", 3.0, ""},
                      LengthCase{"-1.5mm", -1.5, ""}, LengthCase{"", 0.0, ""},
                      LengthCase{"3.93386e-16pt", 3.93386e-16 * 25.4 / 72, ""},
                      LengthCase{".5in", 12.7, ""}, LengthCase{"12qq", NAN, "単位"},
                      LengthCase{"5 furlongs", NAN, "単位"}, LengthCase{"mm", NAN, "読めません"},
                      LengthCase{"abc", NAN, "読めません"}, LengthCase{"nanmm", NAN, "読めません"},
                      LengthCase{"1e999mm", NAN, "読めません"},
                      LengthCase{"200000mm", NAN, "大きすぎ"}));

TemplateSheet Converted(const LabelTemplate* t) {
    EXPECT_NE(t, nullptr);
    if (!t)
        return {};
    const TemplateConversion c = ConvertTemplate(*t);
    EXPECT_TRUE(c.sheet.has_value()) << c.reason.toStdString();
    return c.sheet.value_or(TemplateSheet{});
}

QString Reason(const LabelTemplate* t) {
    return t ? ConvertTemplate(*t).reason : QStringLiteral("missing");
}

TEST(TemplateSheet, TwoByFiveSheetOnA4ConvertsExactly) {
    TemplateFolder folder;
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    EXPECT_TRUE(set.faults.empty());
    const TemplateSheet v = Converted(FindPart(set.templates, "AC-210"));
    EXPECT_EQ(v.CoName, "Acme");
    EXPECT_EQ(v.layout.paperName, "AC-210");
    EXPECT_EQ(v.layout.paperType, "A4");
    EXPECT_EQ(v.layout.paperWidth, 2100);
    EXPECT_EQ(v.layout.paperHeight, 2970);
    EXPECT_EQ(v.layout.columns, 2);
    EXPECT_EQ(v.layout.rows, 5);
    EXPECT_EQ(v.layout.labelWidth, 864);
    EXPECT_EQ(v.layout.labelHeight, 508);
    EXPECT_EQ(v.layout.leftMargin, 186);
    EXPECT_EQ(v.layout.topMargin, 212);
    EXPECT_EQ(v.layout.gapX, 0);
    EXPECT_EQ(v.layout.gapY, 0);
}

TEST(TemplateSheet, InchSheetOnLetterIsOtherPaperWithGapsFromTheRoundedPitch) {
    TemplateFolder folder;
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    const TemplateSheet v = Converted(FindPart(set.templates, "B-100"));
    EXPECT_EQ(v.layout.paperType, QStringLiteral("その他"));
    EXPECT_EQ(v.layout.paperWidth, 2159);
    EXPECT_EQ(v.layout.paperHeight, 2794);
    EXPECT_EQ(v.layout.leftMargin, 48);  // 4.7625 mm
    EXPECT_EQ(v.layout.labelWidth, 667); // 66.675 mm
    EXPECT_EQ(v.layout.gapX, 32);        // pitch 69.85 mm -> 699
    EXPECT_EQ(v.layout.gapY, 0);
    EXPECT_EQ(v.layout.columns * v.layout.rows, 30);
}

TEST(TemplateSheet, PaperKnownByItsSizeNotByItsName) {
    auto convert = [](const QByteArray& paper) {
        TemplateFolder folder;
        folder.Write("x-templates.xml",
                     TemplateFile(RectTemplate("P", paper, "width=\"50mm\" height=\"50mm\"",
                                               "nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\"")));
        const TemplateSet set = ReadTemplateFolder(folder.Path());
        return Converted(FindPart(set.templates, "P"));
    };
    // The files' "B5" is the ISO size, not the one the editor calls B5.
    TemplateSheet v = convert("size=\"B5\"");
    EXPECT_EQ(v.layout.paperType, QStringLiteral("その他"));
    EXPECT_EQ(v.layout.paperWidth, 1760);
    EXPECT_EQ(v.layout.paperHeight, 2500);
    v = convert("size=\"Other\" width=\"182mm\" height=\"257mm\"");
    EXPECT_EQ(v.layout.paperType, "B5");
    v = convert("size=\"Other\" width=\"595.276pt\" height=\"841.89pt\"");
    EXPECT_EQ(v.layout.paperType, "A4");
    EXPECT_EQ(v.layout.paperWidth, 2100);
    v = convert("size=\"Other\" width=\"297mm\" height=\"210mm\""); // A4 lying down
    EXPECT_EQ(v.layout.paperType, QStringLiteral("その他"));
    EXPECT_EQ(v.layout.paperWidth, 2970);
}

TEST(TemplateSheet, OnlyRectanglesInOneLayoutConvertAndEquivalentsTakeTheirSheet) {
    TemplateFolder folder;
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    EXPECT_TRUE(Reason(FindPart(set.templates, "AC-R40")).contains(QStringLiteral("円形")));
    EXPECT_TRUE(Reason(FindPart(set.templates, "AC-2L")).contains(QStringLiteral("2通り")));
    const TemplateSheet same = Converted(FindPart(set.templates, "AC-EQ"));
    EXPECT_EQ(same.layout.paperName, "AC-EQ");
    EXPECT_EQ(same.layout.labelWidth, 864);
    EXPECT_EQ(same.layout.topMargin, 212);
    EXPECT_EQ(FindPart(set.templates, "AC-EQ")->description, "Rectangular labels");
}

TEST(TemplateSheet, OneRowOrColumnHasNoGapWhateverThePitch) {
    TemplateFolder folder;
    folder.Write("x-templates.xml", TemplateFile(RectTemplate(
                                        "ROLL", "size=\"Other\" width=\"82pt\" height=\"255pt\"",
                                        "width=\"82pt\" height=\"255pt\"",
                                        "nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"")));
    const TemplateSheet v =
        Converted(FindPart(ReadTemplateFolder(folder.Path()).templates, "ROLL"));
    EXPECT_EQ(v.layout.gapX, 0);
    EXPECT_EQ(v.layout.gapY, 0);
    EXPECT_EQ(v.layout.labelWidth, v.layout.paperWidth);
}

// ---------------------------------------------------------------------------
// Bad input

struct BadTemplate {
    const char* name;
    const char* paper;
    const char* label;
    const char* layout;
    const char* reasonPart;
};

class BadTemplates : public ::testing::TestWithParam<BadTemplate> {};

TEST_P(BadTemplates, SkippedWithTheirReasonWhileTheirNeighbourConverts) {
    const BadTemplate& c = GetParam();
    TemplateFolder folder;
    folder.Write("x-templates.xml",
                 TemplateFile(RectTemplate("BAD", c.paper, c.label, c.layout) + TwoByFive("OK")));
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    const QString reason = Reason(FindPart(set.templates, "BAD"));
    EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reasonPart))) << reason.toStdString();
    EXPECT_TRUE(ConvertTemplate(*FindPart(set.templates, "OK")).sheet.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, BadTemplates,
    ::testing::Values(
        BadTemplate{"UnknownUnit", "size=\"A4\"", "width=\"12qq\" height=\"10mm\"",
                    "nx=\"1\" ny=\"1\"", "単位"},
        BadTemplate{"ZeroWidth", "size=\"A4\"", "width=\"0mm\" height=\"10mm\"",
                    "nx=\"1\" ny=\"1\"", "0以下"},
        BadTemplate{"NegativeHeight", "size=\"A4\"", "width=\"10mm\" height=\"-10mm\"",
                    "nx=\"1\" ny=\"1\"", "0以下"},
        BadTemplate{"ZeroPaper", "size=\"Other\" width=\"0\" height=\"100mm\"",
                    "width=\"10mm\" height=\"10mm\"", "nx=\"1\" ny=\"1\"", "用紙の大きさ"},
        BadTemplate{"NoColumns", "size=\"A4\"", "width=\"10mm\" height=\"10mm\"",
                    "nx=\"0\" ny=\"1\"", "0以下"},
        BadTemplate{"NotACount", "size=\"A4\"", "width=\"10mm\" height=\"10mm\"",
                    "nx=\"two\" ny=\"1\"", "整数"},
        BadTemplate{"ZeroPitch", "size=\"A4\"", "width=\"10mm\" height=\"10mm\"",
                    "nx=\"3\" ny=\"1\" dx=\"0\"", "間隔"},
        BadTemplate{"WiderThanPaper", "size=\"A4\"", "width=\"100mm\" height=\"10mm\"",
                    "nx=\"2\" ny=\"1\" x0=\"15mm\" dx=\"100mm\"", "はみ出"},
        BadTemplate{"BelowThePaper", "size=\"A4\"", "width=\"10mm\" height=\"100mm\"",
                    "nx=\"1\" ny=\"3\" y0=\"0\" dy=\"100mm\"", "はみ出"},
        BadTemplate{"LeftOfThePaper", "size=\"A4\"", "width=\"10mm\" height=\"10mm\"",
                    "nx=\"1\" ny=\"1\" x0=\"-5mm\"", "はみ出"},
        BadTemplate{"UnknownPaper", "size=\"Tabloid\"", "width=\"10mm\" height=\"10mm\"",
                    "nx=\"1\" ny=\"1\"", "Tabloid"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateSheet, LabelsJustPastTheEdgeAreTheMakersRounding) {
    TemplateFolder folder;
    folder.Write("x-templates.xml", TemplateFile(RectTemplate(
                                        "EDGE", "size=\"A4\"", "width=\"70.2mm\" height=\"37mm\"",
                                        "nx=\"3\" ny=\"8\" x0=\"0\" y0=\"0\" dx=\"70.2mm\" "
                                        "dy=\"37mm\"")));
    const TemplateSheet v =
        Converted(FindPart(ReadTemplateFolder(folder.Path()).templates, "EDGE"));
    EXPECT_EQ(v.layout.labelWidth, 702);
}

TEST(TemplateFile, MalformedFilesAreRefusedWholeAndTheOthersStayUsable) {
    TemplateFolder folder;
    folder.Write("broken-templates.xml",
                 TemplateFile(TwoByFive("BROKEN")).replace("</Template>", ""));
    folder.Write("text-templates.xml", "AC-210,Acme,A4\r\nthis is not XML\r\n");
    folder.Write("binary-templates.xml", QByteArray("\x00\xff\xfe\x01<", 5));
    folder.Write("other-templates.xml", "<?xml version=\"1.0\"?><Glabels-vendors/>");
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    QStringList faulty;
    for (const TemplateFileFault& f : set.faults) {
        faulty << f.file;
        EXPECT_FALSE(f.reason.isEmpty());
    }
    faulty.sort();
    EXPECT_EQ(faulty, QStringList({"binary-templates.xml", "broken-templates.xml",
                                   "other-templates.xml", "text-templates.xml"}));
    EXPECT_EQ(FindPart(set.templates, "BROKEN"), nullptr); // never half read
    EXPECT_NE(FindPart(set.templates, "AC-210"), nullptr);
    EXPECT_NE(FindPart(set.templates, "B-100"), nullptr);
    try {
        ReadTemplateFile(folder.Path("broken-templates.xml"), {});
        FAIL() << "a malformed file was read";
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("行目"))) << e.what();
    }
}

TEST(TemplateFile, FiftyMegabyteFileIsRefusedUnread) {
    TemplateFolder folder;
    QFile big(folder.Path("big-templates.xml"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(TemplateFile(TwoByFive("BIG")));
    ASSERT_TRUE(big.resize(50LL * 1024 * 1024));
    big.close();
    QElapsedTimer timer;
    timer.start();
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    ASSERT_EQ(set.faults.size(), 1u);
    EXPECT_EQ(set.faults[0].file, "big-templates.xml");
    EXPECT_TRUE(set.faults[0].reason.contains(QStringLiteral("大きすぎ")));
    EXPECT_EQ(FindPart(set.templates, "BIG"), nullptr);
}

TEST(TemplateFile, EndlessFileWhoseSizeSaysNothingIsCutAtTheBound) {
    try {
        ReadTemplateFile(QStringLiteral("/dev/zero"), {});
        FAIL() << "an endless file was read";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ファイルが大きすぎます"));
    }
}

TEST(TemplateFile, MissingPaperSizesLeaveOnlyOwnSizesConvertible) {
    TemplateFolder folder;
    QFile::remove(folder.Path("paper-sizes.xml"));
    folder.Write("x-templates.xml", TemplateFile(RectTemplate(
                                        "OWN", "size=\"Other\" width=\"100mm\" height=\"148mm\"",
                                        "width=\"100mm\" height=\"148mm\"", "nx=\"1\" ny=\"1\"")));
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    ASSERT_FALSE(set.faults.empty());
    EXPECT_EQ(set.faults[0].file, "paper-sizes.xml");
    EXPECT_TRUE(Reason(FindPart(set.templates, "AC-210")).contains("A4"));
    EXPECT_TRUE(ConvertTemplate(*FindPart(set.templates, "OWN")).sheet.has_value());
}

TEST(TemplateFile, EquivalentOfAMissingOrCircularPartSaysSo) {
    TemplateFolder folder;
    folder.Write("x-templates.xml",
                 TemplateFile("<Template brand=\"X\" part=\"X1\" equiv=\"NOPE\"/>"
                              "<Template brand=\"X\" part=\"X2\" equiv=\"X3\"/>"
                              "<Template brand=\"X\" part=\"X3\" equiv=\"X2\"/>"
                              "<Template brand=\"Other\" part=\"Y\" equiv=\"AC-210\"/>"));
    const TemplateSet set = ReadTemplateFolder(folder.Path());
    for (const char* part : {"X1", "X2", "X3", "Y"})
        EXPECT_TRUE(Reason(FindPart(set.templates, part)).contains(QStringLiteral("ありません")))
            << part; // an equivalent is the same maker's
}

// ---------------------------------------------------------------------------
// Names

TEST(TemplateSheet, NamesCutOnWholeShiftJisCharacters) {
    EXPECT_EQ(CutToSjisBytes(QString(70, 'A'), 60), QString(60, 'A'));
    EXPECT_EQ(CutToSjisBytes(QString(31, QChar(0x3042)), 60), QString(30, QChar(0x3042)));
    const QString mixed = QStringLiteral("A") + QString(30, QChar(0x3042));
    EXPECT_EQ(CutToSjisBytes(mixed, 60), QStringLiteral("A") + QString(29, QChar(0x3042)));
    EXPECT_EQ(CutToSjisBytes(QString(65, QChar(0xFF76)), 60), QString(60, QChar(0xFF76)));
    EXPECT_EQ(CutToSjisBytes(QStringLiteral("ELM006"), 60), QStringLiteral("ELM006"));
    EXPECT_FALSE(CutToSjisBytes(QStringLiteral("Label \U0001F600"), 60).has_value());
    EXPECT_FALSE(CutToSjisBytes(QString(70, 'A') + QStringLiteral("\U0001F600"), 60).has_value());
}

TEST(TemplateSheet, MakerWithoutShiftJisFormIsNotConverted) {
    TemplateFolder folder;
    folder.Write("x-templates.xml",
                 TemplateFile(RectTemplate("SMILE", "size=\"A4\"", "width=\"50mm\" height=\"50mm\"",
                                           "nx=\"1\" ny=\"1\"", "Acme \xF0\x9F\x98\x80")));
    const QString reason = Reason(FindPart(ReadTemplateFolder(folder.Path()).templates, "SMILE"));
    EXPECT_TRUE(reason.contains("Shift-JIS")) << reason.toStdString();
}

TEST(TemplateSheet, TooLongPartNumberIsCutToTheColumn) {
    TemplateFolder folder;
    const QByteArray longPart = QByteArray(70, 'P');
    folder.Write("x-templates.xml", TemplateFile(TwoByFive(longPart)));
    const TemplateSheet v =
        Converted(FindPart(ReadTemplateFolder(folder.Path()).templates, QString(longPart)));
    EXPECT_EQ(v.layout.paperName, QString(60, 'P'));
}

} // namespace
