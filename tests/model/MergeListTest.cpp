#include "model/MergeList.h"
#include "platform/SjisCodec.h"
#include "support/Errors.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Joined(const MergeList& list) {
    QStringList rows{list.columns.join(u'|')};
    for (const QStringList& row : list.rows)
        rows.append(row.join(u'|'));
    return rows.join(u'/');
}

// A list's bytes, what they read as ("" when refused) and the message of a refusal.
struct ListCase {
    const char* name;
    QByteArray bytes;
    ListEncoding encoding;
    const char* rows;
    const char* error;
};

QByteArray Sjis932(const char* utf8) {
    return Sjis::Encode(QString::fromUtf8(utf8));
}

const ListCase kCases[] = {
    {"Plain", "氏名,住所\n山田,東京\n", ListEncoding::Auto, "氏名|住所/山田|東京", ""},
    {"BomAndCrLf", "\xEF\xBB\xBF氏名,住所\r\n山田,東京\r\n", ListEncoding::Auto,
     "氏名|住所/山田|東京", ""},
    {"ShiftJisDetected", Sjis932("氏名,住所\r\n山田,\"東京都\r\n港区\"\r\n"), ListEncoding::Auto,
     "氏名|住所/山田|東京都\r\n港区", ""},
    {"QuotesCommasBlanks", "a,b,c\n\" x, y \",\"say \"\"hi\"\"\", z \n", ListEncoding::Utf8,
     "a|b|c/ x, y |say \"hi\"| z ", ""},
    {"Tabs", "a\tb\n1,2\t3\n", ListEncoding::Auto, "a|b/1,2|3", ""},
    {"ShortRowsPaddedEmptyRowsDropped", "a,b,c\n1\n,,\n\n2,3\n", ListEncoding::Auto,
     "a|b|c/1||/2|3|", ""},
    {"NoFinalLineBreak", "a\n1", ListEncoding::Auto, "a/1", ""},
    {"HeaderOnly", "a,b\n", ListEncoding::Auto, "a|b", ""},
    {"WiderRow", "a,b\n1,2\n3,4,5\n", ListEncoding::Auto, "",
     "差し込みデータ「t.csv」の 3 行目: 見出し行 (2 列) より多い 3 列があります。"},
    {"UnterminatedQuote", "a\n1\n\"2\n\n3\n", ListEncoding::Auto, "",
     "差し込みデータ「t.csv」の 3 行目: 引用符が閉じられていません。"},
    {"StrayQuote", "a\n1\nx\"y\"z\n", ListEncoding::Auto, "",
     "差し込みデータ「t.csv」の 3 行目: 引用符の使い方が正しくありません。"},
    {"NotUtf8", "a\n1\n\x82\xa0\n", ListEncoding::Utf8, "",
     "差し込みデータ「t.csv」の 3 行目: UTF-8 として読めない文字があります。"},
    {"NotShiftJis", "a\n\x82\xa0\n\x82\n", ListEncoding::Auto, "",
     "差し込みデータ「t.csv」の 3 行目: Shift-JIS (CP932) として読めない文字があります。"},
};

class MergeListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(MergeListTest, ReadsOrRefusesWithTheLine) {
    const ListCase& c = GetParam();
    MergeList list;
    const QString error = ErrorOf([&] { list = ReadMergeList(c.bytes, c.encoding, "t.csv"); });
    EXPECT_EQ(error, QString::fromUtf8(c.error));
    if (error.isEmpty()) {
        EXPECT_EQ(Joined(list), QString::fromUtf8(c.rows));
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, MergeListTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MergeListBoundsTest, RefusesListsPastTheBounds) {
    QByteArray many = "a\n";
    for (int i = 0; i <= kMaxMergeListRows; ++i)
        many += "1\n";
    EXPECT_EQ(
        ErrorOf([&] { ReadMergeList(many, ListEncoding::Auto, "t.csv"); }),
        QStringLiteral("差し込みデータ「t.csv」の %1 行目: 行が多すぎます (上限 1,000,000 行)。")
            .arg(kMaxMergeListRows + 2));
    QTemporaryDir dir;
    QFile big(dir.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxMergeListBytes + 1));
    big.close();
    EXPECT_EQ(ErrorOf([&] { LoadMergeList(big.fileName(), ListEncoding::Auto); }),
              QStringLiteral("差し込みデータ「big.csv」が大きすぎます (上限 64 MB)。"));
    EXPECT_TRUE(ErrorOf([&] {
                    LoadMergeList(dir.filePath("none.csv"), ListEncoding::Auto);
                }).startsWith(QStringLiteral("差し込みデータ「")));
}

TEST(MergeListBoundsTest, EncodingNames) {
    ListEncoding encoding = ListEncoding::Auto;
    EXPECT_TRUE(ParseListEncoding("CP932", &encoding) && encoding == ListEncoding::Cp932);
    EXPECT_FALSE(ParseListEncoding("latin1", &encoding));
    // Bytes both encodings read: detection takes UTF-8, a chosen encoding is obeyed.
    const QByteArray both = "a\n\xE3\x81\x82\xE3\x81\x82\n";
    EXPECT_EQ(ReadMergeList(both, ListEncoding::Auto, "t").rows.at(0).at(0),
              QStringLiteral("ああ"));
    const MergeList chosen = ReadMergeList(both, ListEncoding::Cp932, "t");
    EXPECT_EQ(chosen.rows.at(0).at(0), Sjis::Decode("\xE3\x81\x82\xE3\x81\x82"));
    EXPECT_EQ(chosen.encoding, ListEncoding::Cp932);
}

} // namespace
