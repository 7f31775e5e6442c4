#include "platform/RtfWriter.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/TextFlow.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace RtfTest {
// In RtfReaderTest.cpp.
std::vector<std::string> Describe(const QTextDocument& doc);
} // namespace RtfTest

namespace {

struct Attr {
    QString face = RichFormat::DefaultFaceName();
    qreal points = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QColor color = QColor(); // invalid: the automatic colour
    int offset = 0;
    int charset = RichFormat::ShiftJisCharSet;
    int pitch = RichFormat::DefaultPitch;
    QString field = QString(); // the instruction of the field the text is the result of
    int fieldId = 1;
};

QTextCharFormat Format(const Attr& a) {
    QTextCharFormat format;
    RichFormat::SetFaceName(format, a.face);
    RichFormat::SetPointSize(format, a.points);
    format.setFontWeight(a.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(a.italic);
    format.setFontUnderline(a.underline);
    format.setFontStrikeOut(a.strike);
    RichFormat::SetTextColor(format, a.color);
    RichFormat::SetOffsetTwips(format, a.offset);
    format.setProperty(RichFormat::CharSetProperty, a.charset);
    if (a.pitch != RichFormat::DefaultPitch)
        format.setProperty(RichFormat::PitchProperty, a.pitch);
    if (!a.field.isEmpty())
        RichFormat::SetField(format, a.field, a.fieldId);
    return format;
}

// Builds a document the way the editor does: text in runs, paragraphs with a mark format.
class Builder {
  public:
    Builder() : doc_(std::make_unique<QTextDocument>()), cursor_(doc_.get()) {
        cursor_.setBlockCharFormat(Format({}));
    }
    Builder& text(const QString& text, const Attr& attr = {}) {
        cursor_.insertText(text, Format(attr));
        return *this;
    }
    Builder& paragraph(Qt::Alignment align = Qt::AlignLeft, const Attr& mark = {}) {
        QTextBlockFormat format;
        format.setAlignment(align);
        cursor_.insertBlock(format, Format(mark));
        return *this;
    }
    Builder& align(Qt::Alignment align) {
        QTextBlockFormat format;
        format.setAlignment(align);
        cursor_.setBlockFormat(format);
        return *this;
    }
    const QTextDocument& doc() const { return *doc_; }

  private:
    std::unique_ptr<QTextDocument> doc_;
    QTextCursor cursor_;
};

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
                           "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
                           "\\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}";

TEST(RtfWriterTest, WritesTheRichEditForm) {
    Builder b;
    b.text(QStringLiteral("テスト"))
        .text(QStringLiteral("ab{}\\"), {.bold = true, .color = Qt::red})
        .text(QString::fromUtf8("😀"))
        .paragraph(Qt::AlignHCenter)
        .text(QStringLiteral("Café x"),
              {.face = "Arial", .points = 12, .italic = true, .charset = 0, .pitch = 2});
    EXPECT_EQ(RtfWrite(b.doc()),
              kHeader + "{\\f1\\fnil\\fprq2\\fcharset0 Arial;}}\r\n"
                        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                        "\\viewkind4\\uc1\\pard\\f0\\fs20\\'83\\'65\\'83\\'58\\'83\\'67"
                        "\\cf1\\b ab\\{\\}\\\\\\cf0\\b0\\u-10179?\\u-8704?\\par\r\n"
                        "\\pard\\qc\\i\\f1\\fs24 Caf\\u233? x\\par\r\n"
                        "}\r\n");
}

TEST(RtfWriterTest, EmptyDocumentHasNoColourTable) {
    QTextDocument doc;
    EXPECT_EQ(RtfWrite(doc), kHeader + "}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20\\par\r\n}\r\n");
}

TEST(RtfWriterTest, WritesCharacterAndParagraphChanges) {
    Builder b;
    b.text("a", {.underline = true, .strike = true, .offset = 60})
        .text("b", {.points = 10.5, .offset = -60})
        .text("c")
        .paragraph(Qt::AlignRight)
        .paragraph(Qt::AlignRight, {.points = 20})
        .paragraph(Qt::AlignJustify)
        .paragraph(Qt::AlignLeft)
        .text("\t1\u20282");
    const QByteArray body = RtfWrite(b.doc()).split('\n').mid(1).join('\n');
    EXPECT_EQ(body,
              "\\viewkind4\\uc1\\pard\\ul\\strike\\f0\\fs20\\up6 a\\ulnone\\strike0\\fs21\\dn6 "
              "b\\fs20\\up0 c\\par\r\n"
              "\\pard\\qr\\par\r\n"
              "\\fs40\\par\r\n"
              "\\pard\\qj\\fs20\\par\r\n"
              "\\pard\\tab 1\\line 2\\par\r\n"
              "}\r\n");
}

TEST(RtfWriterTest, FontTableKeepsFacesPerCharacterSet) {
    Builder b;
    b.text("x", {.face = "Arial", .charset = 0})
        .text("y", {.face = "Arial"})
        .text("z", {.face = "Arial", .charset = 0})
        .text("w", {.face = QString::fromUtf8("Ｆ😀"), .charset = 0});
    const QByteArray rtf = RtfWrite(b.doc());
    EXPECT_TRUE(
        rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset128 Arial;}"
                     "{\\f2\\fnil\\fcharset0 \\u-218?\\u-10179?\\u-8704?;}}"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\f0\\fs20 x\\f1 y\\f0 z\\f2 w")) << rtf.toStdString();
}

TEST(RtfWriterTest, LookAlikesThatWouldReadBackChangedGoOutAsUnicode) {
    Builder b;
    b.text(QString::fromUtf8("〜～¥‖"));
    const QByteArray rtf = RtfWrite(b.doc());
    EXPECT_TRUE(rtf.contains("\\fs20\\u12316?\\'81\\'60\\u165?\\u8214?\\par")) << rtf.toStdString();
}

// Documents whose text and attributes must survive writing and reading back.
struct RoundTripCase {
    const char* name;
    std::function<void(Builder&)> build;
};

class RtfRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RtfRoundTripTest, ReadsBackWhatWasWritten) {
    Builder b;
    GetParam().build(b);
    const QByteArray rtf = RtfWrite(b.doc());
    QTextDocument back;
    ASSERT_TRUE(RtfRead(rtf, &back));
    EXPECT_EQ(back.toRawText(), b.doc().toRawText()) << rtf.toStdString();
    EXPECT_EQ(RtfTest::Describe(back), RtfTest::Describe(b.doc())) << rtf.toStdString();
    EXPECT_EQ(RtfWrite(back), rtf);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfRoundTripTest,
    ::testing::Values(
        RoundTripCase{"Attributes",
                      [](Builder& b) {
                          b.text(QStringLiteral("太字"), {.bold = true})
                              .text(QStringLiteral("斜体"), {.italic = true})
                              .text(QStringLiteral("下線"), {.underline = true})
                              .text(QStringLiteral("取消"), {.strike = true})
                              .text(QStringLiteral("全部"), {.bold = true,
                                                             .italic = true,
                                                             .underline = true,
                                                             .strike = true,
                                                             .color = QColor(1, 2, 3)})
                              .text(QStringLiteral("明朝"), {.face = QStringLiteral("ＭＳ 明朝"),
                                                             .pitch = RichFormat::FixedPitch})
                              .text("Arial", {.face = "Arial", .charset = 0, .pitch = 2});
                      }},
        RoundTripCase{"SizesColoursOffsets",
                      [](Builder& b) {
                          for (qreal points : {1.0, 10.5, 72.0, 1638.0})
                              b.text(QString::number(points), {.points = points});
                          for (QColor color : {QColor(Qt::black), QColor(Qt::white), QColor()})
                              b.text(QStringLiteral("色"), {.color = color});
                          for (int offset : {60, -60, 120, -20, 0})
                              b.text(QStringLiteral("位置"), {.offset = offset});
                      }},
        RoundTripCase{"Paragraphs",
                      [](Builder& b) {
                          b.paragraph(Qt::AlignHCenter, {.points = 30})
                              .text(QStringLiteral("中央"))
                              .paragraph(Qt::AlignRight)
                              .text(QStringLiteral("右"))
                              .paragraph(Qt::AlignJustify)
                              .paragraph(Qt::AlignLeft, {.points = 8, .bold = true})
                              .paragraph();
                      }},
        RoundTripCase{"Fields",
                      [](Builder& b) {
                          const QString name = QStringLiteral("MERGEFIELD 氏名");
                          b.text(QStringLiteral("様"), {.bold = true})
                              .text(QStringLiteral("«氏"), {.bold = true, .field = name})
                              .text(QStringLiteral("名»"), {.italic = true, .field = name})
                              .text(QStringLiteral("«氏名»"), {.field = name, .fieldId = 2})
                              .paragraph()
                              .text(QStringLiteral("«a b»"),
                                    {.face = "Arial",
                                     .charset = 0,
                                     .field = QStringLiteral("MERGEFIELD \"a b\" \\* MERGEFORMAT"),
                                     .fieldId = 3})
                              .text(QStringLiteral("後"));
                      }},
        RoundTripCase{"Characters",
                      [](Builder& b) {
                          b.text(QString::fromUtf8("\\{}\t;ｶﾀｶﾅ 😀 한국어 \u2028①Ⅱ㈱～―\u00A0 "))
                              .text(QString::fromUtf8("Ünïcödé \\ 漢字"),
                                    {.face = "Arial", .charset = 0});
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

// Every character of the Basic Multilingual Plane that a document can hold comes back, and
// the RTF stays 7-bit.
TEST(RtfWriterTest, EveryCharacterSurvives) {
    QString text;
    for (int c = 0x20; c < 0xFFFE; c += 3)
        if (!QChar::isSurrogate(c) && c != 0x2029 && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1)
            text += QChar(c);
    for (int charset : {RichFormat::ShiftJisCharSet, RichFormat::AnsiCharSet}) {
        Builder b;
        b.text(text, {.charset = charset});
        const QByteArray rtf = RtfWrite(b.doc());
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        QTextDocument back;
        ASSERT_TRUE(RtfRead(rtf, &back));
        EXPECT_EQ(back.toRawText(), text) << charset;
    }
}

// The converted file's path. Each test's conversions run with a profile of their own beside
// the file: office instances sharing one hand their work to whichever started first, and tests
// running side by side then find no file.
QString OfficeConvert(const QString& office, const QString& file, const QString& to,
                      const QString& outDir) {
    const QString profile = QFileInfo(file).absolutePath() + QStringLiteral("/office-profile");
    QProcess process;
    process.start(office, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
                           "--headless", "--convert-to", to, "--outdir", outDir, file});
    process.waitForFinished(120000);
    return outDir + "/" + QFileInfo(file).completeBaseName() + "." + to.section(':', 0, 0);
}

TEST(RtfWriterTest, OfficeSuiteReadsTheText) {
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Builder b;
    b.text(QStringLiteral("ラベル印刷"), {.bold = true}).paragraph().text("2 {x}");
    QFile file(dir.filePath(QStringLiteral("label.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(RtfWrite(b.doc()));
    file.close();
    QFile text(OfficeConvert(office, file.fileName(), "txt:Text (encoded):UTF8", dir.path()));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    QString converted = QString::fromUtf8(text.readAll());
    converted.remove(QChar(0xFEFF));
    EXPECT_EQ(converted.trimmed().replace(QLatin1String("\r\n"), QLatin1String("\n")),
              QString::fromUtf8("ラベル印刷\n2 {x}"));
}

struct FlowCase {
    const char* rtf;
    bool vertical;
    bool kanji;
};

// The design's text flow and numeral option: what we write, what word processors write, and
// what a reader must not take for them.
TEST(RtfWriterTest, TextFlowAndNumeralsRoundTrip) {
    const FlowCase cases[] = {
        {"{\\rtf1 a}", false, false},
        {"{\\rtf1\\sectd\\stextflow1\\pard a}", true, false},
        {"{\\rtf1\\sectd\\stextflow0\\pard a}", false, false},
        {"{\\rtf1\\sectd\\stextflow2\\pard a}", false, false},
        {"{\\rtf1{\\*\\userprops{\\propname KanjiNumerals}\\proptype11{\\staticval 1}}a}", false,
         true},
        {"{\\rtf1{\\*\\userprops{\\propname KanjiNumerals}\\proptype11{\\staticval 0}}a}", false,
         false},
        {"{\\rtf1{\\*\\userprops{\\propname Other}\\proptype11{\\staticval 1}}a}", false, false},
        {"{\\rtf1{\\*\\other{\\propname KanjiNumerals}{\\staticval 1}}\\stextflow1 a}", true,
         false},
    };
    for (const FlowCase& c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(RtfRead(c.rtf, &doc));
        EXPECT_EQ(doc.toPlainText(), "a") << c.rtf;
        EXPECT_EQ(TextFlow::IsVertical(doc), c.vertical) << c.rtf;
        EXPECT_EQ(TextFlow::KanjiNumerals(doc), c.kanji) << c.rtf;
        QTextDocument back;
        ASSERT_TRUE(RtfRead(RtfWrite(doc), &back));
        EXPECT_EQ(TextFlow::IsVertical(back), c.vertical) << c.rtf;
        EXPECT_EQ(TextFlow::KanjiNumerals(back), c.kanji) << c.rtf;
        EXPECT_EQ(back.toPlainText(), "a");
    }
}

// Runs the office suite's converter on file; returns the converted file's path.
TEST(RtfWriterTest, OfficeSuiteKeepsTextFlowAndNumerals) {
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir dir;
    Builder b;
    b.text(QStringLiteral("東京都1-2-3"));
    QTextDocument doc;
    ASSERT_TRUE(RtfRead(RtfWrite(b.doc()), &doc));
    TextFlow::SetVertical(doc, true);
    TextFlow::SetKanjiNumerals(doc, true);
    QFile file(dir.filePath(QStringLiteral("label.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(RtfWrite(doc));
    file.close();
    const QString odt = OfficeConvert(office, file.fileName(), "odt", dir.path());
    QDir(dir.path()).mkdir("back");
    QFile back(OfficeConvert(office, odt, "rtf", dir.filePath("back")));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    QTextDocument read;
    ASSERT_TRUE(RtfRead(back.readAll(), &read));
    EXPECT_EQ(read.toPlainText().trimmed(), QStringLiteral("東京都1-2-3"));
    EXPECT_TRUE(TextFlow::IsVertical(read));
    EXPECT_TRUE(TextFlow::KanjiNumerals(read));
}

} // namespace
