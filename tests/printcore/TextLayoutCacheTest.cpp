#include "printcore/TextLayoutCache.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

// Any part of the key that changes the drawing gets its own layout; past the bound the least
// recently drawn text goes, and what is made keeps its shaped glyphs.
TEST(TextLayoutCache, EveryPartOfTheKeyCountsAndTheLeastRecentGoes) {
    TTextLayoutCache cache(3);
    int made = 0;
    const auto make = [&made] {
        ++made;
        auto doc = std::make_unique<QTextDocument>();
        doc->setPlainText(QStringLiteral("ラベル\nline"));
        return doc;
    };
    const TTextLayoutKey base{"text", QSizeF(100, 50), 0, TTextLayoutKey::FontSubstitutions()};
    const auto first = cache.Get(base, make);
    EXPECT_EQ(cache.Get(base, make), first);
    for (QTextBlock block = first->doc->begin(); block.isValid(); block = block.next())
        EXPECT_TRUE(block.layout()->cacheEnabled());
    TTextLayoutKey other = base;
    other.box = QSizeF(100, 60);
    cache.Get(other, make);
    other = base;
    other.direction = 1;
    cache.Get(other, make);
    EXPECT_EQ(made, 3);
    cache.Get(base, make); // drawn again: now the box size is the least recent
    other = base;
    other.fonts += QStringLiteral(";A=B");
    cache.Get(other, make);
    EXPECT_EQ(cache.Get(base, make), first);
    other = base;
    other.box = QSizeF(100, 60);
    cache.Get(other, make);
    EXPECT_EQ(made, 5);
    EXPECT_NE(TTextLayoutKey::MergedText("d", {"a", "b"}, {"1", "2"}),
              TTextLayoutKey::MergedText("d", {"a", "b"}, {"12", ""}));
}
