#include "platform/SjisCodec.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace {

TEST(Sjis, RoundTripsJapaneseIncludingHalfWidthKatakanaAndWindowsExtensions) {
    const QString text = QStringLiteral("用紙ｱｲｳ①髙～－ABC");
    const QByteArray bytes = Sjis::Encode(text);
    EXPECT_EQ(bytes.left(4), QByteArray("\x97\x70\x8e\x86", 4)); // 用紙
    EXPECT_EQ(bytes.mid(4, 3), QByteArray("\xb1\xb2\xb3", 3));   // single-byte katakana
    EXPECT_EQ(Sjis::Decode(bytes), text);
    EXPECT_TRUE(Sjis::IsValid(bytes));
}

TEST(Sjis, CharacterWithoutShiftJisFormIsNamedNotReplaced) {
    try {
        Sjis::Encode(QStringLiteral("ab😀c"));
        FAIL();
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("😀")));
        EXPECT_TRUE(e.message().contains("U+1F600"));
    }
    bool ok = true;
    Sjis::TryEncode(QStringLiteral("한"), &ok);
    EXPECT_FALSE(ok);
}

TEST(Sjis, DatabaseHoldsJisX0208AndHalfWidthKanaButNotTheExtensions) {
    EXPECT_TRUE(Sjis::FitsDatabase(QString()));
    EXPECT_TRUE(Sjis::FitsDatabase(QStringLiteral("ABC 用紙ｱｲｳ熙＼")));
    // NEC row 13, NEC-selected and IBM extensions, the user-defined area, no form at all.
    for (const char16_t c : {u'①', u'㈱', u'髙', u'纊', u'ⅰ', u'\uE000', u'한'})
        EXPECT_FALSE(Sjis::FitsDatabase(QStringLiteral("a") + QChar(c) + "b")) << int(c);
    try {
        Sjis::CheckFitsDatabase(QStringLiteral("用紙㈱"));
        FAIL();
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("㈱")));
        EXPECT_TRUE(e.message().contains("U+3231"));
    }
}

TEST(Sjis, InvalidBytesDecodeWithReplacementAndNeverThrow) {
    const QByteArray bad("A\x81\x20\xff"
                         "B\x82",
                         6); // broken pair, 0xFF, truncated lead byte
    EXPECT_FALSE(Sjis::IsValid(bad));
    const QString text = Sjis::Decode(bad);
    EXPECT_TRUE(text.startsWith('A'));
    EXPECT_TRUE(text.contains('B'));
    EXPECT_TRUE(text.contains(QChar(0xFFFD)));
    EXPECT_TRUE(Sjis::Decode({}).isEmpty());
}

TEST(Sjis, OtherCodePagesWhereTheLibraryKnowsThem) {
    QString out;
    ASSERT_TRUE(Sjis::DecodeWith("CP1252", QByteArray("caf\xe9", 4), &out));
    EXPECT_EQ(out, QStringLiteral("café"));
    EXPECT_FALSE(Sjis::DecodeWith("NO-SUCH-CODEPAGE", "x", &out));
}

} // namespace
