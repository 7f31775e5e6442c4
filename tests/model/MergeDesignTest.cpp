#include "model/MergeDesign.h"
#include "model/MergeList.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "support/Errors.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// A design of paragraphs where {name} is a merge field, each field bold.
void Design(QTextDocument& doc, const QStringList& lines) {
    QTextCursor cursor(&doc);
    int id = 0;
    for (const QString& line : lines) {
        if (&line != &lines.front())
            cursor.insertBlock();
        for (const QString& part : line.split(u'{')) {
            const qsizetype close = part.indexOf(u'}');
            if (close >= 0) {
                QTextCharFormat field;
                field.setFontWeight(QFont::Bold);
                const QString name = part.left(close);
                RichFormat::SetField(field, MergeField::Instruction(name), ++id);
                cursor.insertText(MergeField::Placeholder(name), field);
            }
            cursor.insertText(part.mid(close + 1), QTextCharFormat());
        }
    }
}

const MergeList kList = ReadMergeList("郵便番号,住所1,住所2,氏名\n"
                                      "100-0001,東京都,,山田\n"
                                      ",,,\"佐藤\r\n花子\"\n",
                                      ListEncoding::Utf8, "t.csv");

TEST(MergeDesignTest, FillsFieldsAndDropsBlankLines) {
    const QStringList design = {"〒{郵便番号}", "{住所1}", " {住所2}　", "{氏名} 様", ""};
    const struct {
        int row;
        bool drop;
        const char* text;
    } cases[] = {
        {0, true, "〒100-0001\u2029東京都\u2029山田 様\u2029"},
        {0, false, "〒100-0001\u2029東京都\u2029 　\u2029山田 様\u2029"},
        {1, true, "〒\u2029佐藤\u2028花子 様\u2029"},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        Design(doc, design);
        EXPECT_EQ(MergeDesign::FieldNames(doc),
                  QStringList({"郵便番号", "住所1", "住所2", "氏名"}));
        MergeDesign::Substitute(doc, kList, c.row, c.drop);
        EXPECT_EQ(doc.toRawText(), QString::fromUtf8(c.text)) << c.row << c.drop;
        EXPECT_TRUE(MergeDesign::FieldNames(doc).isEmpty());
    }
}

TEST(MergeDesignTest, ValueTakesTheFieldsFormattingAndNeighboursStaySeparate) {
    QTextDocument doc;
    Design(doc, {"{住所1}{住所1}"});
    QTextDocument back;
    ASSERT_TRUE(RtfRead(RtfWrite(doc), &back));
    MergeDesign::Substitute(back, kList, 0, true);
    EXPECT_EQ(back.toPlainText(), QStringLiteral("東京都東京都"));
    QTextCursor cursor(&back);
    cursor.setPosition(1);
    EXPECT_TRUE(RichFormat::IsBold(cursor.charFormat()));
    EXPECT_FALSE(RichFormat::IsField(cursor.charFormat()));
}

TEST(MergeDesignTest, MissingColumnsAreNamedWithTheListsColumns) {
    QTextDocument doc;
    Design(doc, {"{氏名}{会社}", "{部署}"});
    EXPECT_EQ(ErrorOf([&] { MergeDesign::CheckColumns(doc, kList); }),
              QStringLiteral("差し込みデータに次の列がありません: 会社、部署（データの列: "
                             "郵便番号、住所1、住所2、氏名）"));
    QTextDocument fits;
    Design(fits, {"{氏名}"});
    EXPECT_EQ(ErrorOf([&] { MergeDesign::CheckColumns(fits, kList); }), QString());
}

} // namespace
