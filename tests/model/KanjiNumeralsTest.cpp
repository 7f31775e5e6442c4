#include "model/KanjiNumerals.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

TEST(KanjiNumeralsTest, DigitsAndTheHyphensBetweenThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"1-2-3", "一―二―三"},
        {"10番地", "一〇番地"},
        {"１２３４５６７８９０", "一二三四五六七八九〇"},
        {"1ー2－3−4", "一―二―三―四"},
        {"-1-", "-一-"},
        {"a-b 1 - 2", "a-b 一 - 二"},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(KanjiNumerals::Convert(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(KanjiNumeralsTest, EachCharacterKeepsItsFormat) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("1", bold);
    cursor.insertText("-2\n3", QTextCharFormat());
    KanjiNumerals::Apply(doc);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("一―二\n三"));
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(2);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
}

} // namespace
