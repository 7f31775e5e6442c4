#include "platform/BarcodeField.h"
#include "platform/BarcodeText.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using BarcodeField::TBarcodeField;

// Instructions as word processors write them, what they hold, and what other readers show.
TEST(BarcodeField, ParsesInstructionsAndWritesThemBack) {
    const struct {
        const char* instruction;
        TBarcodeField field;
        const char* plain;
    } cases[] = {
        {"DISPLAYBARCODE \"4901234567894\" JAN13 \\h 720",
         {false, "4901234567894", "JAN13", 720, 100, 0, false, 0},
         "4901234567894"},
        {"displaybarcode \"a \\\"b\\\"\" qr \\q 3 \\s 150 \\t \\r 5",
         {false, "a \"b\"", "QR", 0, 150, 3, true, 1},
         "a \"b\""},
        {"MERGEBARCODE 郵便番号 JPPOST \\f 0xFF0000 \\t",
         {true, "郵便番号", "JPPOST", 0, 100, 0, true, 0},
         "«郵便番号»"},
        {"DISPLAYBARCODE \"{MERGEFIELD 郵便番号} {MERGEFIELD \"住所 2\"}\" JPPOST",
         {false, "{MERGEFIELD 郵便番号} {MERGEFIELD \"住所 2\"}", "JPPOST", 0, 100, 0, false, 0},
         "«郵便番号» «住所 2»"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.instruction);
        const auto field = BarcodeField::Parse(QString::fromUtf8(c.instruction));
        ASSERT_TRUE(field);
        EXPECT_EQ(*field, c.field);
        EXPECT_EQ(BarcodeField::PlainText(*field), QString::fromUtf8(c.plain));
        EXPECT_EQ(BarcodeField::Parse(BarcodeField::Instruction(*field)), field);
    }
    for (const char* bad : {"DISPLAYBARCODE", "DISPLAYBARCODE \"\" QR", "DISPLAYBARCODE x \\h 5",
                            "DISPLAYBARCODEX 1 QR", "MERGEFIELD 氏名"})
        EXPECT_FALSE(BarcodeField::Parse(QString::fromUtf8(bad))) << bad;
}

QStringList Instructions(const QTextDocument& doc) {
    QStringList found;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (BarcodeText::IsObject(it.fragment().charFormat()))
                found << RichFormat::FieldInstruction(it.fragment().charFormat());
    return found;
}

// Nested merge fields, as word processors nest them, survive reading and writing.
TEST(BarcodeField, RtfRoundTripKeepsEachBarcodeAsOneObject) {
    const QByteArray rtf =
        "{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS;}}\\f0 A{\\field{\\*\\fldinst "
        "DISPLAYBARCODE \"{\\field{\\*\\fldinst MERGEFIELD \\'97\\'58}{\\fldrslt x}} "
        "{\\field{\\*\\fldinst MERGEFIELD ad}}\" JPPOST \\\\s 90}{\\fldrslt 1 2}}"
        "{\\field{\\*\\fldinst MERGEBARCODE code QR \\\\q 1}}B\\par}";
    QTextDocument doc;
    ASSERT_TRUE(RtfRead(rtf, &doc));
    const QStringList expected = {
        QString::fromUtf8("DISPLAYBARCODE \"{MERGEFIELD 郵} {MERGEFIELD ad}\" JPPOST \\s 90"),
        "MERGEBARCODE code QR \\q 1"};
    EXPECT_EQ(Instructions(doc), expected);
    EXPECT_EQ(doc.toPlainText(), QString("A") + QChar::ObjectReplacementCharacter +
                                     QChar::ObjectReplacementCharacter + "B");
    const QByteArray written = RtfWrite(doc);
    // Other readers show the data with the nested fields' placeholders.
    EXPECT_TRUE(written.contains("{\\fldrslt\\u171?\\'97\\'58\\u187? \\u171?ad\\u187?}"))
        << written.toStdString();
    QTextDocument again;
    ASSERT_TRUE(RtfRead(written, &again));
    EXPECT_EQ(Instructions(again), expected);
    EXPECT_EQ(again.toPlainText(), doc.toPlainText());
}

} // namespace
