#include "labels/FontList.h"
#include "platform/RichFormat.h"

#include <QFont>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(FontList, VerticalWritingFacesAreListedUnlessLeftOut) {
    const QStringList names = {"b", "@IPAGothic", "A", "@ipamincho", "IPAGothic", "b"};
    EXPECT_EQ(SortFontNames(names, false),
              QStringList({"@IPAGothic", "@ipamincho", "A", "b", "IPAGothic"}));
    EXPECT_EQ(SortFontNames(names, true), QStringList({"A", "b", "IPAGothic"}));
}

TEST(FontList, FamiliesOfSeveralFoundriesAreListedOnceByTheirOwnName) {
    const QStringList names = {"C059 [UKWN]", "Mono", "C059 [URW]", "Odd [name] here"};
    EXPECT_EQ(SortFontNames(names, false), QStringList({"C059", "Mono", "Odd [name] here"}));
    for (const QString& name : GetFontList(false))
        EXPECT_FALSE(name.endsWith(']')) << name.toStdString();
}

TEST(FontList, InstalledFacesAndWindowsFacesWithAStandInAreListedSorted) {
    QFont::insertSubstitution(RichFormat::DefaultFaceName(), QStringLiteral("IPAPGothic"));
    const QStringList names = GetFontList(false);
    QFont::removeSubstitutions(RichFormat::DefaultFaceName());
    EXPECT_TRUE(names.contains("IPAPGothic"));
    EXPECT_TRUE(names.contains(RichFormat::DefaultFaceName()));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
}

} // namespace
