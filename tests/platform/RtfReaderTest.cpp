#include "platform/RtfReader.h"
#include "platform/RichFormat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace RtfTest {

// One line per run: its text and the attributes that differ from plain 10 point text;
// "¶" separates paragraphs. Shared with the writer tests for round trips.
std::vector<std::string> Describe(const QTextDocument& doc);

namespace {

QString Attributes(const QTextCharFormat& format) {
    QString text = QStringLiteral(" [") + RichFormat::FaceName(format) + QLatin1Char(' ') +
                   QString::number(format.fontPointSize());
    if (RichFormat::IsBold(format))
        text += QStringLiteral(" b");
    if (format.fontItalic())
        text += QStringLiteral(" i");
    if (format.fontUnderline())
        text += QStringLiteral(" u");
    if (format.fontStrikeOut())
        text += QStringLiteral(" s");
    if (RichFormat::TextColor(format).isValid())
        text += QLatin1Char(' ') + RichFormat::TextColor(format).name();
    if (RichFormat::OffsetTwips(format) != 0)
        text += QStringLiteral(" up%1").arg(RichFormat::OffsetTwips(format));
    if (RichFormat::CharSet(format) != RichFormat::ShiftJisCharSet)
        text += QStringLiteral(" cs%1").arg(RichFormat::CharSet(format));
    if (RichFormat::PitchOf(format) != RichFormat::DefaultPitch)
        text += QStringLiteral(" pitch%1").arg(RichFormat::PitchOf(format));
    if (RichFormat::IsField(format))
        text += QStringLiteral(" field%1{%2}")
                    .arg(RichFormat::FieldId(format))
                    .arg(RichFormat::FieldInstruction(format));
    return text + QLatin1Char(']');
}

QString AlignmentMark(const QTextBlock& block) {
    const Qt::Alignment align = block.blockFormat().alignment();
    if (align & Qt::AlignHCenter)
        return QStringLiteral("<center>");
    if (align & Qt::AlignRight)
        return QStringLiteral("<right>");
    if (align & Qt::AlignJustify)
        return QStringLiteral("<justify>");
    return {};
}

} // namespace

std::vector<std::string> Describe(const QTextDocument& doc) {
    std::vector<std::string> lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            lines.push_back("¶");
        if (!AlignmentMark(block).isEmpty())
            lines.push_back(AlignmentMark(block).toStdString());
        if (block.length() <= 1)
            lines.push_back(("(empty" + Attributes(block.charFormat()) + ")").toStdString());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            lines.push_back(
                (it.fragment().text() + Attributes(it.fragment().charFormat())).toStdString());
    }
    return lines;
}

} // namespace RtfTest

using RtfTest::Describe;
using Lines = std::vector<std::string>;

namespace {

class RtfReaderTest : public ::testing::Test {
  protected:
    Lines read(const QByteArray& rtf) {
        EXPECT_TRUE(RtfRead(rtf, &doc));
        return Describe(doc);
    }
    QString text() const { return doc.toRawText(); }

    QTextDocument doc;
};

// As a rich edit control streams out Japanese label text.
const char kRichEditSample[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
    "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
    "\\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
    "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}"
    "{\\f2\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs20\\'8f\\'a4\\'95\\'69\\'96\\'bc\\par\r\n"
    "\\cf1\\b\\fs28\\'89\\'bf\\'8a\\'69\\cf0\\b0\\fs20  1,000\\'89\\'7e\\par\r\n"
    "\\i\\f1 Caf\\'e9\\i0\\f0\\par\r\n"
    "\\ul\\'89\\'ba\\'90\\'fc\\ulnone\\up6 2\\up0 x\\dn6 3\\dn0\\par\r\n"
    "\\qc\\cf2\\strike\\f2\\'96\\'be\\'92\\'a9\\par\r\n"
    "}\r\n";

TEST_F(RtfReaderTest, ReadsRichEditJapaneseText) {
    EXPECT_EQ(read(kRichEditSample), (Lines{
                                         "商品名 [ＭＳ Ｐゴシック 10]",
                                         "¶",
                                         "価格 [ＭＳ Ｐゴシック 14 b #ff0000]",
                                         " 1,000円 [ＭＳ Ｐゴシック 10]",
                                         "¶",
                                         "Café [Arial 10 i cs0 pitch2]",
                                         "¶",
                                         "下線 [ＭＳ Ｐゴシック 10 u]",
                                         "2 [ＭＳ Ｐゴシック 10 up60]",
                                         "x [ＭＳ Ｐゴシック 10]",
                                         "3 [ＭＳ Ｐゴシック 10 up-60]",
                                         "¶",
                                         "<center>",
                                         "明朝 [ＭＳ 明朝 10 s #0000ff]",
                                     }));
}

TEST_F(RtfReaderTest, OffsetRaisesTextWithoutShrinkingIt) {
    read(kRichEditSample);
    const QTextBlock block = doc.findBlockByNumber(3);
    QTextBlock::iterator it = block.begin();
    ++it;
    const QTextCharFormat raised = it.fragment().charFormat();
    EXPECT_EQ(raised.fontPointSize(), 10);
    EXPECT_GT(raised.baselineOffset(), 0);
    EXPECT_EQ(raised.verticalAlignment(), QTextCharFormat::AlignNormal);
    ++it;
    EXPECT_EQ(it.fragment().charFormat().baselineOffset(), 0);
    ++it;
    EXPECT_LT(it.fragment().charFormat().baselineOffset(), 0);
}

// As a word processor writes it: style sheet, document information, generator, revision
// tables, a picture, a field, Unicode with fallbacks and fonts in other code pages.
const char kWordProcessorSample[] =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\stshfdbch11"
    "{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}"
    "Times New Roman{\\*\\falt Times};}"
    "{\\f11\\fmodern\\fcharset128\\fprq1{\\*\\panose 02020609040205080304}"
    "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9{\\*\\falt MS Mincho};}"
    "{\\f12\\fnil\\fcharset204\\fprq2 Cyr;}{\\f13\\fnil\\fcharset134 Hei;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}\n"
    "{\\stylesheet{\\ql \\f0\\fs24 Normal;}{\\s1\\ql\\b\\f0\\fs32 heading 1;}}\n"
    "{\\*\\rsidtbl \\rsid1\\rsid2}{\\*\\generator Some Writer 1.0;}"
    "{\\info{\\title Label}{\\author Someone}{\\creatim\\yr2024\\mo1\\dy2}}\n"
    "{\\header \\pard\\plain Header text\\par}\n"
    "\\paperw11906\\paperh16838\\margl1440\\sectd\n"
    "\\pard\\plain \\s1\\ql\\b\\f0\\fs32 Title\\par\n"
    "\\pard\\plain \\ql\\f0\\fs24 Euro \\u8364\\'80 and "
    "{\\f11\\fs24 \\'8a\\'94\\'8e\\'ae}{\\f11\\uc2\\u26085\\'93\\'fa} "
    "{\\f12\\'cf\\'f0\\'e8} {\\f13\\'d6\\'d0} \\u-10179?\\u-8704?\\par\n"
    "\\pard {\\*\\bkmkstart b1}{\\field{\\*\\fldinst { HYPERLINK \"http://x\" }}"
    "{\\fldrslt {\\cf2\\ul link}}}{\\*\\bkmkend b1}"
    "{\\pict\\wmetafile8\\picw100\\pich100 0100090000035000}"
    "{\\*\\shppict{\\pict\\pngblip\\bin4 \x89PNG}}"
    "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result after}}\\par\n"
    "}";

TEST_F(RtfReaderTest, ReadsWordProcessorOutput) {
    read(kWordProcessorSample);
    EXPECT_EQ(text(), QString::fromUtf8("Title\u2029Euro € and 株式日 При 中 😀\u2029linkafter"));
    const Lines lines = Describe(doc);
    EXPECT_EQ(lines.at(0), "Title [Times New Roman 16 b cs0 pitch2]");
    EXPECT_EQ(lines.at(3), "株式日 [ＭＳ 明朝 12 pitch1]");
    EXPECT_EQ(lines.at(5), "При [Cyr 12 cs204 pitch2]");
    EXPECT_EQ(lines.at(lines.size() - 2),
              "link [Times New Roman 12 u #008000 cs0 pitch2 field1{HYPERLINK \"http://x\"}]");
}

// Fields keep their instruction on the result text, which has the field's own formatting; a
// merge field without a result shows its placeholder. The second document is as LibreOffice
// writes two database fields (style sheet and page set-up trimmed).
TEST_F(RtfReaderTest, KeepsFieldsWithTheirResults) {
    EXPECT_EQ(
        read(R"({\rtf1\ansi\ansicpg932\deff0{\fonttbl{\f0\fnil\fcharset128 Gothic;}})"
             R"(\pard\f0\fs20 A{\field{\*\fldinst {MERGEFIELD \'8e\'81\'96\'bc }})"
             R"({\fldrslt {\b \u171?x}y}}B{\field{\*\fldinst MERGEFIELD \u27663? }{\fldrslt }})"
             R"({\field{\*\fldinst PAGE}{\fldrslt }}{\fldinst MERGEFIELD lost}\par})"),
        (Lines{"A [Gothic 10]", "«x [Gothic 10 b field1{MERGEFIELD 氏名}]",
               "y [Gothic 10 field1{MERGEFIELD 氏名}]", "B [Gothic 10]",
               "«氏» [Gothic 10 field2{MERGEFIELD 氏}]"}));
    EXPECT_EQ(read("{\\rtf1\\ansi\\deff3\\adeflang1025\n"
                   "{\\fonttbl{\\f3\\froman\\fprq2\\fcharset0 DejaVu Serif;}{\\f5\\fnil\\fprq2"
                   "\\fcharset0 DejaVu Sans;}}\n"
                   "\\pard\\plain \\s0\\rtlch\\af5\\afs24\\alang1081 \\ltrch\\lang1033\\langfe2052"
                   "\\hich\\af3\\loch\\nowidctlpar\\cf0\\f3\\fs24\\dbch\\af5\\langfe2052\\ql"
                   "\\ltrpar{\\dbch\n\\u12306\\'3f}{\\dbch\n"
                   "{\\field{\\*\\fldinst  MERGEFIELD \\u37109\\'3f\\u20415\\'3f\\u30058\\'3f"
                   "\\u21495\\'3f }{\\fldrslt <\\u37109\\'3f\\u20415\\'3f\\u30058\\'3f"
                   "\\u21495\\'3f>}}}\n"
                   "\\par \\pard\\plain \\s0\\ltrch\\hich\\af3\\loch\\cf0\\f3\\fs24\\dbch"
                   "\\af5\\ql\\ltrpar{\\loch\\b\n"
                   "{\\field{\\*\\fldinst  MERGEFIELD \\u27663\\'3f\\u21517\\'3f }{\\fldrslt "
                   "<\\u27663\\'3f\\u21517\\'3f>}}}{\n }{\\dbch\n\\u27096\\'3f}\n\\par }"),
              (Lines{"〒 [DejaVu Sans 12 cs0 pitch2]",
                     "<郵便番号> [DejaVu Sans 12 cs0 pitch2 field1{MERGEFIELD 郵便番号}]", "¶",
                     "< [DejaVu Serif 12 b cs0 pitch2 field2{MERGEFIELD 氏名}]",
                     "氏名 [DejaVu Sans 12 b cs0 pitch2 field2{MERGEFIELD 氏名}]",
                     "> [DejaVu Serif 12 b cs0 pitch2 field2{MERGEFIELD 氏名}]",
                     " 様 [DejaVu Sans 12 cs0 pitch2]"}));
}

// As LibreOffice writes Japanese text (fonts, style sheet and page set-up trimmed): the kind
// of each run is declared with \loch, \hich or \dbch, and double-byte text gets its font, size,
// bold and italic through the associated \af, \afs, \ab.
const char kLibreOfficeSample[] =
    "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f3\\froman\\fprq2\\fcharset0 "
    "DejaVu Serif;}{\\f5\\fnil\\fprq0\\fcharset0 DejaVu Sans;}{\\f6\\fnil\\fprq2\\fcharset0 DejaVu "
    "Sans;}{\\f7\\fnil\\fprq0\\fcharset0 IPAPGothic;}{\\f8\\fnil\\fprq0\\fcharset0 IPAPMincho;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;}\n"
    "{\\stylesheet{\\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 \\ltrch\\lang1033\\langfe2052\\hich"
    "\\af3\\loch\\nowidctlpar\\cf0\\f3\\fs24\\lang1033\\kerning1\\dbch\\af6\\langfe2052 Normal;}}"
    "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}\n"
    "\\pard\\plain \\s0\\rtlch\\af6\\afs24\\alang1081 \\ltrch\\lang1033\\langfe2052\\hich\\af3"
    "\\loch\\nowidctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang1033\\kerning1\\dbch\\af6"
    "\\langfe2052\\ql\\ltrpar{\\loch\n"
    "ABC }{\\hich\\af5\\loch\\f5\\dbch\\afs36\\i\\ab\\af7\\dbch\n"
    "\\u22826\\'3f\\u23383\\'3f \\u12521\\'3f\\u12505\\'3f\\u12523\\'3f }{\\hich\\af5\\loch\\fs28"
    "\\b\\f5\\dbch\\af7\\loch\n"
    "Bold}{\\loch\n"
    " }{\\dbch\n"
    "\\u26222\\'3f\\u36890\\'3f\\u12398\\'3f}{\\dbch\\afs18\\af8\\dbch\n"
    "\\u26126\\'3f\\u26397\\'3f}\n"
    "\\par }";

TEST_F(RtfReaderTest, AssociatedPropertiesFormatTheTextOfTheirKind) {
    EXPECT_EQ(read(kLibreOfficeSample), (Lines{
                                            "ABC  [DejaVu Serif 12 cs0 pitch2]",
                                            "太字 ラベル  [IPAPGothic 18 b i cs0]",
                                            "Bold [DejaVu Sans 14 b cs0]",
                                            "  [DejaVu Serif 12 cs0 pitch2]",
                                            "普通の [DejaVu Sans 12 cs0 pitch2]",
                                            "明朝 [IPAPMincho 9 cs0]",
                                        }));
}

// Runs of our own: associated values reach only text of the kind they were given for; text
// declared Latin but made of double-byte characters takes the double-byte values; values
// given for right-to-left text and those undone by \plain or \ab0 reach nothing.
TEST_F(RtfReaderTest, AssociatedPropertiesStayWithTheirKindAndScope) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
        "\\pard\\f0\\fs20 {\\rtlch\\af1\\afs40\\ab \\ltrch\\loch plain}"
        "{\\dbch\\af1\\afs32\\ab\\ai \\loch Latin \\dbch \\'93\\'fa\\'96\\'7b}"
        "{\\hich\\af0\\dbch\\af1\\afs28\\loch\\f0 A\\u26085?\\u26412?}"
        "{\\dbch\\af1\\ab\\ab0 \\'8c\\'ea}{\\dbch\\af1\\afs36\\plain \\u35486?}\\par}";
    EXPECT_EQ(read(rtf), (Lines{
                             "plainLatin  [Arial 10 cs0]",
                             "日本 [ＭＳ ゴシック 16 b i]",
                             "A [Arial 10 cs0]",
                             "日本 [ＭＳ ゴシック 14]",
                             "語 [ＭＳ ゴシック 10]",
                             "語 [Arial 12 cs0]",
                         }));
}

struct CodePageCase {
    int charset;
    const char* bytes;
    const char* expected;
};

class RtfCodePageTest : public RtfReaderTest, public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(RtfCodePageTest, DecodesEscapesWithTheFontCharset) {
    const CodePageCase& c = GetParam();
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset" +
                           QByteArray::number(c.charset) + " F;}}\\f0 " + c.bytes + "}";
    read(rtf);
    EXPECT_EQ(text(), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, RtfCodePageTest,
    ::testing::Values(CodePageCase{128, "\\'82\\'a0\\'b6\\'c5", "あｶﾅ"},
                      CodePageCase{0, "Caf\\'e9", "Café"}, CodePageCase{129, "\\'c7\\'d1", "한"},
                      CodePageCase{134, "\\'d6\\'d0", "中"}, CodePageCase{136, "\\'a4\\'a4", "中"},
                      CodePageCase{161, "\\'e1", "α"}, CodePageCase{162, "\\'f0", "ğ"},
                      CodePageCase{177, "\\'e0", "א"}, CodePageCase{178, "\\'c7", "ا"},
                      CodePageCase{186, "\\'e0", "ą"}, CodePageCase{204, "\\'c4", "Д"},
                      CodePageCase{222, "\\'a1", "ก"}, CodePageCase{238, "\\'9a", "š"},
                      CodePageCase{163, "\\'e0", "à"},
                      // no code page of its own: the document's \ansicpg932 applies
                      CodePageCase{1, "\\'82\\'a2", "い"}));

TEST_F(RtfReaderTest, DocumentCodePageAppliesWithoutFontCharset) {
    read("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Plain;}}\\f0 \\'c4\\'e0}");
    EXPECT_EQ(text(), QString::fromUtf8("Да"));
    read("{\\rtf1\\ansi \\'e9}");
    EXPECT_EQ(text(), QString::fromUtf8("é"));
}

TEST_F(RtfReaderTest, JoinsDoubleByteCharactersSplitAcrossEscapesAndText) {
    // A trail byte may arrive as plain text or as an escaped backslash.
    read("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 \\'83A\\'83\\\\\r\n"
         "\\'82\r\n\\'a0\x82\xa2}");
    EXPECT_EQ(text(), QString::fromUtf8("アソあい"));
}

TEST_F(RtfReaderTest, FormattingFollowsGroupsPlainAndPard) {
    EXPECT_EQ(
        read("{\\rtf1 a{\\b\\i b}c\\b\\ul d\\plain e\\par\\qr f{\\qc\\par}\\pard g}"),
        (Lines{"a [ＭＳ Ｐゴシック 12]", "b [ＭＳ Ｐゴシック 12 b i]", "c [ＭＳ Ｐゴシック 12]",
               "d [ＭＳ Ｐゴシック 12 b u]", "e [ＭＳ Ｐゴシック 12]", "¶", "<center>",
               "f [ＭＳ Ｐゴシック 12]", "¶", "g [ＭＳ Ｐゴシック 12]"}));
}

TEST_F(RtfReaderTest, ScriptWordsSetTheToolbarOffsets) {
    EXPECT_EQ(
        read("{\\rtf1\\fs20{\\super a}{\\sub b}\\super\\nosupersub c\\up d\\dn0 e}"),
        (Lines{"a [ＭＳ Ｐゴシック 10 up60]", "b [ＭＳ Ｐゴシック 10 up-60]",
               "c [ＭＳ Ｐゴシック 10]", "d [ＭＳ Ｐゴシック 10 up60]", "e [ＭＳ Ｐゴシック 10]"}));
}

TEST_F(RtfReaderTest, ParagraphMarks) {
    read("{\\rtf1 a\\par}"); // the last mark is the document's own
    EXPECT_EQ(text(), "a");
    read("{\\rtf1 a\\par\\par}");
    EXPECT_EQ(text(), QString::fromUtf8("a\u2029"));
    read("{\\rtf1 a\\par\r\nb\\\r\nc}");
    EXPECT_EQ(text(), QString::fromUtf8("a\u2029b\u2029c"));
    // an empty line is as high as its paragraph mark
    EXPECT_EQ(read("{\\rtf1\\fs20 a\\par\\fs40\\par\\fs20 b\\par}"),
              (Lines{"a [ＭＳ Ｐゴシック 10]", "¶", "(empty [ＭＳ Ｐゴシック 20])", "¶",
                     "b [ＭＳ Ｐゴシック 10]"}));
    EXPECT_EQ(read("{\\rtf1\\fs40\\par\\fs20 b}"),
              (Lines{"(empty [ＭＳ Ｐゴシック 20])", "¶", "b [ＭＳ Ｐゴシック 10]"}));
}

TEST_F(RtfReaderTest, SpecialCharactersAndUnicode) {
    read("{\\rtf1 a\\tab b\\line c\\~d\\emdash e\\{\\}\\\\\\_\\-f\\lquote\\rdblquote}");
    EXPECT_EQ(text(), QString::fromUtf8("a\tb\u2028c\u00A0d—e{}\\\u2011f‘”"));
    read("{\\rtf1 \\u12354?\\u-3?\\uc0\\u12356\\uc2\\u12358??x{\\uc3\\u12354 ab}cd}");
    EXPECT_EQ(text(), QString::fromUtf8("あ\uFFFDいうxあcd"));
    read("{\\rtf1 \\v hidden\\v0 shown}");
    EXPECT_EQ(text(), "shown");
}

TEST_F(RtfReaderTest, NonRtfIsShiftJisPlainText) {
    EXPECT_TRUE(RtfRead("\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda\n{\\b}\r", &doc));
    EXPECT_EQ(text(), QString::fromUtf8("一行目\u2029二行目\u2029{\\b}\u2029"));
    EXPECT_EQ(Describe(doc).front(), "一行目 [ＭＳ Ｐゴシック 10]");
    EXPECT_TRUE(RtfRead(" {\\rtf1 x}", &doc));
    EXPECT_EQ(text(), " {\\rtf1 x}");
}

TEST_F(RtfReaderTest, EmptyAndNullAreNoText) {
    doc.setPlainText("old");
    EXPECT_TRUE(RtfRead(QByteArray(), &doc));
    EXPECT_TRUE(doc.isEmpty());
    doc.setPlainText("old");
    EXPECT_TRUE(RtfRead("", &doc));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_FALSE(RtfRead("x", nullptr));
}

TEST_F(RtfReaderTest, UnreadableHeaderFailsSoTheCallerCanFallBack) {
    doc.setPlainText("old");
    EXPECT_FALSE(RtfRead("{\\rtfoo bar}", &doc));
    EXPECT_TRUE(doc.isEmpty());
    PlainTextRead("{\\rtfoo bar}", &doc);
    EXPECT_EQ(text(), "{\\rtfoo bar}");
    EXPECT_TRUE(RtfRead("{\\rtf", &doc));
    EXPECT_TRUE(doc.isEmpty());
}

TEST_F(RtfReaderTest, ReadingIsNotUndoable) {
    doc.setPlainText("old");
    read("{\\rtf1 new}");
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_TRUE(doc.isUndoRedoEnabled());
}

struct BadCase {
    const char* name;
    QByteArray rtf;
    const char* expected;
};

class RtfBadInputTest : public RtfReaderTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(RtfBadInputTest, ReadsWhatItCan) {
    read(GetParam().rtf);
    EXPECT_EQ(text(), QString::fromUtf8(GetParam().expected));
}

const char kJapaneseFonts[] = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 A;}}\\f0 ";

INSTANTIATE_TEST_SUITE_P(
    Damaged, RtfBadInputTest,
    ::testing::Values(
        BadCase{"TruncatedInFontTable", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 X", ""},
        BadCase{"TruncatedInText", "{\\rtf1 abc\\b de", "abcde"},
        BadCase{"TruncatedInWord", "{\\rtf1 abc\\fs2", "abc"},
        BadCase{"ExtraClosingBraces", "{\\rtf1 abc}}}def", "abc"},
        BadCase{"MissingClosingBraces", "{\\rtf1 {{{abc", "abc"},
        BadCase{"BackslashAtEnd", "{\\rtf1 abc\\", "abc"},
        BadCase{"EscapeAtEnd", "{\\rtf1 abc\\'", "abc"},
        BadCase{"HalfEscapeAtEnd", "{\\rtf1 abc\\'8", "abc8"},
        BadCase{"BadHexDigits", "{\\rtf1 a\\'zzb}", "azzb"},
        BadCase{"HugeNumbers", "{\\rtf1\\f99999999999999999999 a\\cf-7 b\\up2147483647 c}", "abc"},
        BadCase{"UnicodeOutOfRange", "{\\rtf1 \\u99999999?d\\u-99999?e}", "\uFFFDd\uFFFDe"},
        BadCase{"UnicodeSkipPastText", "{\\rtf1\\uc99999 \\u12354 abc}", "あ"},
        BadCase{"UnicodeSkipStopsAtGroup", "{\\rtf1{\\uc5\\u12354 ab}cd}", "あcd"},
        BadCase{"LoneSurrogates", "{\\rtf1 \\u-10179?x\\u-8704?}", "\uFFFDx\uFFFD"},
        BadCase{"BinaryPastEnd", "{\\rtf1 a\\bin999999 xyz", "a"},
        BadCase{"BinarySkipsBraces", "{\\rtf1 a\\bin3 {}\\ b}", "a b"},
        BadCase{"NegativeBinary", "{\\rtf1 a\\bin-5 b}", "ab"},
        BadCase{"InvalidShiftJisPair", QByteArray(kJapaneseFonts) + "\\'82\\'20x\\'82}",
                "\uFFFD x\uFFFD"},
        BadCase{"ControlCodesDropped", "{\\rtf1 \\'00a\\'0a\\'0db\x01}", "ab"},
        BadCase{"FrameMarkersDropped", "{\\rtf1 a\\u-560?\\u-559?\\u8233?b}", "ab"},
        BadCase{"NulInsideText", QByteArray("{\\rtf1 a\0b}", 11), "ab"},
        BadCase{"StarWithoutGroup", "{\\rtf1 a{b\\*\\x c}d}", "abd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtfReaderTest, MissingFontAndColourFallBack) {
    EXPECT_EQ(read("{\\rtf1\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}}"
                   "{\\colortbl;\\red1\\green2\\blue3;}\\f7\\cf9 a\\cf1 b\\cf0 c}"),
              (Lines{"a [Arial 12 cs0]", "b [Arial 12 #010203 cs0]", "c [Arial 12 cs0]"}));
    EXPECT_EQ(read("{\\rtf1\\f3 x}"), (Lines{"x [ＭＳ Ｐゴシック 12]"}));
}

TEST_F(RtfReaderTest, SizesAreClamped) {
    EXPECT_EQ(read("{\\rtf1\\fs99999999 a\\fs-5 b}"),
              (Lines{"a [ＭＳ Ｐゴシック 1638]", "b [ＭＳ Ｐゴシック 1]"}));
}

TEST_F(RtfReaderTest, DeepNestingIsBoundedAndContinuesAfterwards) {
    const int depth = 100000;
    read("{\\rtf1 a" + QByteArray(depth, '{') + "b" + QByteArray(depth, '}') + "c}");
    EXPECT_EQ(text(), "ac");
    read("{\\rtf1 a" + QByteArray(depth, '{') + "b");
    EXPECT_EQ(text(), "a");
    EXPECT_EQ(
        read("{\\rtf1 a" + QByteArray(500, '{') + "\\b b" + QByteArray(500, '}') + "c}"),
        (Lines{"a [ＭＳ Ｐゴシック 12]", "b [ＭＳ Ｐゴシック 12 b]", "c [ＭＳ Ｐゴシック 12]"}));
}

// Every character read costs at least one input byte, whatever the damage.
TEST_F(RtfReaderTest, RandomDamageNeverOutgrowsTheInput) {
    const QByteArray base = QByteArray(kRichEditSample) + kWordProcessorSample;
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = base;
        for (int i = 0; i < 20; ++i)
            damaged[static_cast<qsizetype>(next() % damaged.size())] = static_cast<char>(next());
        damaged.truncate(static_cast<qsizetype>(next() % damaged.size()));
        damaged.replace(0, 6, "{\\rtf1");
        ASSERT_TRUE(RtfRead(damaged, &doc)) << round;
        ASSERT_LE(doc.characterCount(), damaged.size()) << round;
    }
}

} // namespace
