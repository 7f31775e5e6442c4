#include "labels/FontList.h"
#include "platform/RichFormat.h"
#include "platform/WindowsFaces.h"

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
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

// Screen and paper draw a stored Windows face with the same stand-in in every style; a style
// the stand-in lacks is made from it rather than taken from another family.
TEST(FontList, WindowsFacesDrawWithTheirStandInInEveryStyle) {
    InstallWindowsFaceSubstitutes();
    for (const auto& [face, local] : WindowsFaces()) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                QFont font(face);
                font.setBold(bold);
                font.setItalic(italic);
                QTextLayout layout(QStringLiteral("明朝体ABC"), font);
                layout.beginLayout();
                layout.createLine();
                layout.endLayout();
                for (const QGlyphRun& run : layout.glyphRuns())
                    EXPECT_EQ(run.rawFont().familyName().toLower(), local.toLower())
                        << face.toStdString() << " bold " << bold << " italic " << italic;
            }
        }
    }
}

} // namespace
