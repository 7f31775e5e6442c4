#include "controls/ColorBox.h"

#include "ui/Hints.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr quint32 kSystem = 0xFF000000u;

} // namespace

const std::vector<TColorBox::Entry>& TColorBox::Entries() {
    static const std::vector<Entry> entries = {
        {u"黒", 0x000000},
        {u"栗色", 0x000080},
        {u"緑", 0x008000},
        {u"オリーブ", 0x008080},
        {u"濃紺", 0x800000},
        {u"紫", 0x800080},
        {u"青緑", 0x808000},
        {u"灰色", 0x808080},
        {u"銀色", 0xC0C0C0},
        {u"赤", 0x0000FF},
        {u"ライム", 0x00FF00},
        {u"黄", 0x00FFFF},
        {u"青", 0xFF0000},
        {u"赤紫", 0xFF00FF},
        {u"水色", 0xFFFF00},
        {u"白", 0xFFFFFF},
        {u"マネーグリーン", 0xC0DCC0},
        {u"スカイブルー", 0xF0CAA6},
        {u"クリーム", 0xF0FBFF},
        {u"ミディアムグレー", 0xA4A0A0},
        {u"スクロールバー", kSystem | 0},
        {u"デスクトップ", kSystem | 1},
        {u"アクティブタイトルバー", kSystem | 2},
        {u"非アクティブタイトルバー", kSystem | 3},
        {u"メニュー", kSystem | 4},
        {u"ウィンドウの背景", kSystem | 5},
        {u"ウィンドウの枠", kSystem | 6},
        {u"メニューの文字", kSystem | 7},
        {u"ウィンドウの文字", kSystem | 8},
        {u"タイトルバーの文字", kSystem | 9},
        {u"アクティブウィンドウの境界", kSystem | 10},
        {u"非アクティブウィンドウの境界", kSystem | 11},
        {u"アプリケーションの作業域", kSystem | 12},
        {u"選択項目", kSystem | 13},
        {u"選択項目の文字", kSystem | 14},
        {u"ボタンの表面", kSystem | 15},
        {u"ボタンの影", kSystem | 16},
        {u"淡色表示の文字", kSystem | 17},
        {u"ボタンの文字", kSystem | 18},
        {u"非アクティブタイトルバーの文字", kSystem | 19},
        {u"ボタンのハイライト", kSystem | 20},
        {u"立体表示の濃い影", kSystem | 21},
        {u"立体表示の明るい面", kSystem | 22},
        {u"ポップアップヒントの文字", kSystem | 23},
        {u"ポップアップヒントの背景", kSystem | 24},
        {u"ホットトラック", kSystem | 26},
        {u"アクティブタイトルバーのグラデーション", kSystem | 27},
        {u"非アクティブタイトルバーのグラデーション", kSystem | 28},
        {u"メニューのハイライト", kSystem | 29},
        {u"メニューバー", kSystem | 30},
    };
    return entries;
}

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(16);
    for (const Entry& e : Entries())
        addItem(QString::fromUtf16(e.name), static_cast<int>(e.value));
    PaintSwatches();
    setCurrentIndex(-1);
    // The list shows every name whole, however narrow the box.
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    constexpr int kIconSpacingAndMargins = 16;
    view()->setMinimumWidth(widest + iconSize().width() + kIconSpacingAndMargins +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

int TColorBox::TextRoom(const QStyleOptionComboBox& option) const {
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const int icon = option.currentIcon.isNull() ? 0 : option.iconSize.width() + 4;
    return std::max(0, field.width() - icon);
}

QString TColorBox::ShownText() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, TextRoom(option));
}

void TColorBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = ShownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void TColorBox::PaintSwatches() {
    const QSize size = iconSize();
    for (int i = 0; i < count(); ++i) {
        QPixmap swatch(size);
        swatch.fill(Qt::transparent);
        QPainter painter(&swatch);
        painter.setPen(Qt::black);
        painter.setBrush(Hints::ToColor(ValueAt(i), palette()));
        painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 1, -1, -2));
        setItemIcon(i, swatch);
    }
}

void TColorBox::changeEvent(QEvent* event) {
    // System colours follow the colour scheme.
    if (event->type() == QEvent::PaletteChange)
        PaintSwatches();
    QComboBox::changeEvent(event);
}

int TColorBox::ValueAt(int index) const {
    return itemData(index).toInt();
}

std::optional<int> TColorBox::Selected() const {
    if (currentIndex() < 0)
        return std::nullopt;
    return ValueAt(currentIndex());
}

void TColorBox::SetSelected(int value) {
    setCurrentIndex(findData(value));
}
