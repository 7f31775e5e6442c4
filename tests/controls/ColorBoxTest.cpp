#include "controls/ColorBox.h"
#include "ui/Hints.h"

#include <QAbstractItemView>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(ColorBox, ListsStandardExtendedAndSystemColoursWithoutCustomEntry) {
    TColorBox box;
    EXPECT_EQ(box.count(), static_cast<int>(TColorBox::Entries().size()));
    EXPECT_FALSE(box.isEditable());
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_FALSE(box.Selected().has_value());
    QSet<int> values;
    QSet<QString> names;
    for (int i = 0; i < box.count(); ++i) {
        values.insert(box.ValueAt(i));
        names.insert(box.itemText(i));
        EXPECT_FALSE(box.itemIcon(i).isNull()) << i;
    }
    EXPECT_EQ(values.size(), box.count()); // no value twice, so a value selects one entry
    EXPECT_EQ(names.size(), box.count());
    // Sixteen standard colours first, then money green, sky blue, cream and medium grey.
    EXPECT_EQ(box.ValueAt(0), 0x000000);
    EXPECT_EQ(box.ValueAt(15), 0xFFFFFF);
    EXPECT_EQ(box.ValueAt(16), 0xC0DCC0);
    EXPECT_EQ(box.ValueAt(19), 0xA4A0A0);
    EXPECT_EQ(box.ValueAt(20), static_cast<int>(0xFF000000u));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(static_cast<quint32>(box.ValueAt(i)) >> 24, 0u) << i;
    for (int i = 20; i < box.count(); ++i)
        EXPECT_EQ(static_cast<quint32>(box.ValueAt(i)) >> 24, 0xFFu) << i;
}

TEST(ColorBox, SelectsByValueAndNothingForAnUnlistedOne) {
    TColorBox box;
    box.SetSelected(static_cast<int>(0xFF000018u));
    EXPECT_EQ(box.currentText(), "ポップアップヒントの背景");
    EXPECT_EQ(box.Selected(), static_cast<int>(0xFF000018u));
    box.SetSelected(0x0000FF);
    EXPECT_EQ(box.currentText(), "赤");
    box.SetSelected(0x123456);
    EXPECT_FALSE(box.Selected().has_value());
    box.SetSelected(static_cast<int>(0xFF000019u)); // no system colour 25
    EXPECT_FALSE(box.Selected().has_value());
}

TEST(ColorBox, SwatchesShowTheColourTheTooltipWouldGet) {
    TColorBox box;
    const int sky = box.findData(0xF0CAA6);
    const QImage swatch = box.itemIcon(sky).pixmap(box.iconSize()).toImage();
    const QPoint middle(swatch.width() / 2, swatch.height() / 2);
    EXPECT_EQ(QColor(swatch.pixel(middle)), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(Hints::ToColor(0xF0CAA6, box.palette()), QColor(0xA6, 0xCA, 0xF0));
}

// At the environment dialog's width the two hint colours must not read alike, and the list shows
// every name whole.
TEST(ColorBox, LongNamesStayApartInANarrowBoxAndWholeInTheList) {
    TColorBox box;
    box.resize(121, 22);
    QStringList shown;
    for (const char16_t* name : {u"ポップアップヒントの文字", u"ポップアップヒントの背景"}) {
        box.setCurrentText(QString::fromUtf16(name));
        shown << box.ShownText();
        EXPECT_LE(box.fontMetrics().horizontalAdvance(shown.back()), 121)
            << shown.back().toStdString();
        EXPECT_TRUE(shown.back().endsWith(QString::fromUtf16(name).right(2)));
    }
    EXPECT_NE(shown[0], shown[1]);
    box.setCurrentText(QStringLiteral("黒"));
    EXPECT_EQ(box.ShownText(), QStringLiteral("黒"));
    const QString longest = QStringLiteral("非アクティブタイトルバーのグラデーション");
    EXPECT_GT(box.view()->minimumWidth(),
              box.view()->fontMetrics().horizontalAdvance(longest) + box.iconSize().width());
}

} // namespace
