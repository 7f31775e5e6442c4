#include "labels/FormatBar.h"

#include "controls/CtrlsEx.h"
#include "controls/UpDown.h"
#include "labels/DBRichEdit.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/RichFormat.h"
#include "platform/SjisCodec.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QKeySequence>
#include <QListView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kTop = 3;
constexpr int kHeight = 22;
constexpr int kButtonWidth = 23;
constexpr int kItemHeight = 16;
constexpr int kMaxFaceBytes = 31;
constexpr int kMinSize = 1;
constexpr int kMaxSize = 72;

using DrawName = std::function<void(QPainter&, const QRect&, const QString&, bool)>;

// Draws each listed name in its own face.
class FontNameDelegate : public QStyledItemDelegate {
  public:
    FontNameDelegate(DrawName draw, QObject* parent)
        : QStyledItemDelegate(parent), draw_(std::move(draw)) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        draw_(*painter, option.rect, index.data().toString(),
              option.state.testFlag(QStyle::State_Selected));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {option.fontMetrics.horizontalAdvance(index.data().toString()) + 4, kItemHeight};
    }

  private:
    DrawName draw_;
};

// The closed box shows the chosen name in its own face as well.
class FontNameBox : public QComboBox {
  public:
    FontNameBox(QWidget* parent, DrawName draw) : QComboBox(parent), draw_(std::move(draw)) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        if (currentIndex() < 0)
            return;
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        draw_(painter, field, currentText(), hasFocus());
    }

  private:
    DrawName draw_;
};

// Pressed only when the toolbar says so: a click alone does not change the look.
class FormatButton : public QToolButton {
  public:
    using QToolButton::QToolButton;

  protected:
    void nextCheckState() override {}
};

QFont GlyphFont(QFont::Weight weight, bool italic = false, bool underline = false) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(14);
    font.setWeight(weight);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// Four lines of text set flush left, centred or flush right.
QIcon AlignGlyph(Qt::Alignment alignment) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int widths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = alignment == Qt::AlignLeft    ? 1
                      : alignment == Qt::AlignRight ? 15 - w
                                                    : (16 - w) / 2;
        painter.fillRect(QRect(x, 2 + 3 * i, w, 2), Qt::black);
    }
    return QIcon(pixmap);
}

QIcon ColorGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(GlyphFont(QFont::Bold));
    painter.drawText(QRect(0, 0, 16, 13), Qt::AlignCenter, QStringLiteral("A"));
    painter.fillRect(QRect(2, 13, 12, 3), Qt::red);
    return QIcon(pixmap);
}

// Whole characters up to 31 Shift-JIS bytes, the longest face name the stored form keeps.
QString CutFaceName(const QString& name) {
    int bytes = 0;
    qsizetype end = 0;
    while (end < name.size()) {
        const qsizetype length = name.at(end).isHighSurrogate() ? 2 : 1;
        bool ok = false;
        const auto size = Sjis::TryEncode(name.mid(end, length), &ok).size();
        // A character without a Shift-JIS form takes one byte ("?") there.
        bytes += ok ? static_cast<int>(size) : 1;
        if (bytes > kMaxFaceBytes)
            break;
        end += length;
    }
    return name.left(end);
}

// The installed face that shows a name, also for a Windows face shown by a stand-in.
QString InstalledFace(const QString& face) {
    const QString substitute = QFont::substitute(face);
    if (substitute.compare(face, Qt::CaseInsensitive) == 0)
        return face;
    // Substitutes come back in lower case; the font dialog wants the family's own spelling.
    const QStringList families = QFontDatabase::families();
    const auto it = std::find_if(families.begin(), families.end(), [&](const QString& family) {
        return family.compare(substitute, Qt::CaseInsensitive) == 0;
    });
    return it != families.end() ? *it : substitute;
}

int CharSetOfFace(const QString& face) {
    const auto systems = QFontDatabase::writingSystems(InstalledFace(face));
    return systems.contains(QFontDatabase::Japanese) ? RichFormat::ShiftJisCharSet
                                                     : RichFormat::AnsiCharSet;
}

int PitchOfFace(const QString& face) {
    return QFontDatabase::isFixedPitch(InstalledFace(face)) ? RichFormat::FixedPitch
                                                            : RichFormat::VariablePitch;
}

QFont FontOf(const QTextCharFormat& format) {
    QFont font(InstalledFace(RichFormat::FaceName(format)));
    font.setPointSize(RichFormat::PointSize(format));
    font.setBold(RichFormat::IsBold(format));
    font.setItalic(format.fontItalic());
    font.setUnderline(format.fontUnderline());
    font.setStrikeOut(format.fontStrikeOut());
    return font;
}

// The dialog lists installed faces; a Windows face it showed through its stand-in stays.
QString ChosenFace(const QFont& chosen, const QString& shownFace) {
    if (chosen.family().compare(InstalledFace(shownFace), Qt::CaseInsensitive) == 0)
        return shownFace;
    return chosen.family();
}

} // namespace

// Lays the controls out from the left edge of the toolbar.
class TFormatBar::Placer {
  public:
    explicit Placer(QWidget* toolBar) : toolBar_(toolBar) {}
    QWidget* ToolBar() const { return toolBar_; }
    int X() const { return x_; }

    template <typename W> W* Place(W* widget, int width, const QString& name, const QString& hint) {
        widget->setObjectName(name);
        widget->setGeometry(x_, kTop, width, kHeight);
        widget->setToolTip(hint);
        widget->setStatusTip(hint);
        x_ += width;
        return widget;
    }
    QToolButton* Button(const QString& name, const QString& hint) {
        return Place(new FormatButton(toolBar_), kButtonWidth, name, hint);
    }
    QToolButton* TextButton(const QString& name, const QString& hint, const QString& text,
                            const QFont& font) {
        QToolButton* button = Button(name, hint);
        button->setText(text);
        button->setFont(font);
        return button;
    }
    void Separator() {
        auto* line = new QFrame(toolBar_);
        line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        line->setGeometry(x_ + 2, kTop, 2, kHeight);
        x_ += 6;
    }

  private:
    QWidget* toolBar_;
    int x_ = 2;
};

TFormatBar::TFormatBar(QWidget* toolBar, TDBRichEdit* editor, QWidget* dialogParent)
    : QObject(toolBar), editor_(editor), dialogParent_(dialogParent) {
    Placer placer(toolBar);
    CreateNameAndSize(placer);
    CreateButtons(placer);
    CreateAlignButtons(placer);
    right_ = placer.X();
    FontDialog1 = new QFontDialog(dialogParent);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    ColorDialog1 = new QColorDialog(dialogParent);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    ConnectHandlers();
}

void TFormatBar::CreateNameAndSize(Placer& placer) {
    const DrawName draw = [this](QPainter& painter, const QRect& rect, const QString& name,
                                 bool highlighted) {
        ComboBox1DrawItem(painter, rect, name, highlighted);
    };
    ComboBox1 =
        placer.Place(new FontNameBox(placer.ToolBar(), draw), 99, QStringLiteral("ComboBox1"),
                     QStringLiteral("選択した文字列のフォント名を設定します"));
    QFont boxFont(RichFormat::DefaultFaceName());
    boxFont.setPixelSize(15);
    ComboBox1->setFont(boxFont);
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->setItemDelegate(new FontNameDelegate(draw, ComboBox1));
    if (auto* list = qobject_cast<QListView*>(ComboBox1->view()))
        list->setUniformItemSizes(true);
    ComboBox1->setAttribute(Qt::WA_InputMethodEnabled, false);
    ComboBox1->setEnabled(false);
    placer.Separator();

    const QString sizeHint = QStringLiteral("選択した文字列のサイズを設定します");
    EditEx1 = placer.Place(new TEditEx(placer.ToolBar()), 28, QStringLiteral("EditEx1"), sizeHint);
    EditEx1->SetAlignment(Qt::AlignCenter);
    EditEx1->setAttribute(Qt::WA_InputMethodEnabled, false);
    EditEx1->setEnabled(false);
    UpDown1 = placer.Place(new TUpDown(kMinSize, kMaxSize, placer.ToolBar()), 15,
                           QStringLiteral("UpDown1"), sizeHint);
    UpDown1->SetAssociate(EditEx1);
    UpDown1->setEnabled(false);
    placer.Separator();
}

void TFormatBar::CreateButtons(Placer& placer) {
    FontBtn = placer.TextButton(QStringLiteral("FontBtn"),
                                QStringLiteral("選択した文字列のフォントを設定します"),
                                QStringLiteral("Aa"), GlyphFont(QFont::Normal));
    BoldBtn = placer.TextButton(QStringLiteral("BoldBtn"),
                                QStringLiteral("選択した文字列を太字に設定します"),
                                QStringLiteral("B"), GlyphFont(QFont::Bold));
    ItalicBtn = placer.TextButton(QStringLiteral("ItalicBtn"),
                                  QStringLiteral("選択した文字列を斜体に設定します"),
                                  QStringLiteral("I"), GlyphFont(QFont::Normal, true));
    UnderBtn = placer.TextButton(QStringLiteral("UnderBtn"),
                                 QStringLiteral("選択した文字列に下線を設定します"),
                                 QStringLiteral("U"), GlyphFont(QFont::Normal, false, true));
    ColorBtn =
        placer.Button(QStringLiteral("ColorBtn"), QStringLiteral("選択した文字列の色を設定します"));
    ColorBtn->setIcon(ColorGlyph());
    for (QToolButton* button : {BoldBtn, ItalicBtn, UnderBtn})
        button->setCheckable(true);
    BoldBtn->setShortcut(QKeySequence::Bold);
    ItalicBtn->setShortcut(QKeySequence::Italic);
    UnderBtn->setShortcut(QKeySequence::Underline);
    placer.Separator();
    UeBtn = placer.TextButton(QStringLiteral("UeBtn"),
                              QStringLiteral("選択した文字列を上付きに設定します"),
                              QStringLiteral("x²"), GlyphFont(QFont::Normal));
    SitaBtn = placer.TextButton(QStringLiteral("SitaBtn"),
                                QStringLiteral("選択した文字列を下付きに設定します"),
                                QStringLiteral("x₂"), GlyphFont(QFont::Normal));
    NormalBtn = placer.TextButton(QStringLiteral("NormalBtn"),
                                  QStringLiteral("選択した文字列の上付き、下付きを解除します"),
                                  QStringLiteral("x"), GlyphFont(QFont::Normal));
}

void TFormatBar::CreateAlignButtons(Placer& placer) {
    placer.Separator();
    struct Kind {
        QToolButton** button;
        const char* name;
        QString hint;
        Qt::Alignment alignment;
        int key;
    };
    const Kind kinds[] = {
        {&AlignLeftBtn, "AlignLeftBtn", QStringLiteral("選択した段落を左揃えにします"),
         Qt::AlignLeft, Qt::Key_L},
        {&AlignCenterBtn, "AlignCenterBtn", QStringLiteral("選択した段落を中央揃えにします"),
         Qt::AlignHCenter, Qt::Key_E},
        {&AlignRightBtn, "AlignRightBtn", QStringLiteral("選択した段落を右揃えにします"),
         Qt::AlignRight, Qt::Key_R},
    };
    for (const Kind& kind : kinds) {
        QToolButton* button = placer.Button(QString::fromLatin1(kind.name), kind.hint);
        button->setIcon(AlignGlyph(kind.alignment));
        button->setCheckable(true);
        button->setShortcut(QKeySequence(Qt::CTRL | kind.key));
        const Qt::Alignment alignment = kind.alignment;
        connect(button, &QToolButton::clicked, this,
                [this, alignment] { AlignBtnClick(alignment); });
        *kind.button = button;
    }
    placer.Separator();
    TextFlowBtn = placer.TextButton(
        QStringLiteral("TextFlowBtn"),
        QStringLiteral("ラベルの文字列を縦書きにします（もう一度押すと横書きに戻ります）"),
        QStringLiteral("縦"), GlyphFont(QFont::Normal));
    TextFlowBtn->setCheckable(true);
}

void TFormatBar::ConnectHandlers() {
    connect(ComboBox1, &QComboBox::activated, this, &TFormatBar::ComboBox1Change);
    connect(UpDown1, &TUpDown::Click, this, &TFormatBar::UpDown1Click);
    connect(FontBtn, &QToolButton::clicked, this, &TFormatBar::FontBtnClick);
    connect(BoldBtn, &QToolButton::clicked, this, &TFormatBar::BoldBtnClick);
    connect(ItalicBtn, &QToolButton::clicked, this, &TFormatBar::ItalicBtnClick);
    connect(UnderBtn, &QToolButton::clicked, this, &TFormatBar::UnderBtnClick);
    connect(ColorBtn, &QToolButton::clicked, this, &TFormatBar::ColorBtnClick);
    connect(UeBtn, &QToolButton::clicked, this, &TFormatBar::UeBtnClick);
    connect(SitaBtn, &QToolButton::clicked, this, &TFormatBar::SitaBtnClick);
    connect(NormalBtn, &QToolButton::clicked, this, &TFormatBar::NormalBtnClick);
    connect(editor_, &TDBRichEdit::SelectionChange, this, &TFormatBar::DBRichEdit1SelectionChange);
}

void TFormatBar::Guarded(const std::function<void()>& work) {
    Messages::RunGuarded(work, dialogParent_);
}

// ---------------------------------------------------------------------------
// Mirroring the selection

QTextCharFormat TFormatBar::CurrentAttributes() const {
    return editor_->SelLength() > 0 ? editor_->SelAttributes() : TDBRichEdit::DefAttributes();
}

TFormatBar::StyleSet TFormatBar::StyleOf(const QTextCharFormat& format) {
    return {RichFormat::IsBold(format), format.fontItalic(), format.fontUnderline(),
            format.fontStrikeOut()};
}

void TFormatBar::SetStyle(QTextCharFormat& format, const StyleSet& style) {
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(style.strikeOut);
}

void TFormatBar::UpdateFormatButtons() {
    const bool selected = editor_->SelLength() > 0;
    const std::initializer_list<QWidget*> controls = {BoldBtn,  ItalicBtn, FontBtn,  ColorBtn,
                                                      UnderBtn, UeBtn,     SitaBtn,  NormalBtn,
                                                      EditEx1,  UpDown1,   ComboBox1};
    for (QWidget* control : controls)
        control->setEnabled(selected);
    const QTextCharFormat attributes = CurrentAttributes();
    const StyleSet style = StyleOf(attributes);
    BoldBtn->setChecked(style.bold);
    ItalicBtn->setChecked(style.italic);
    UnderBtn->setChecked(style.underline);
    const QString face = RichFormat::FaceName(attributes);
    ComboBox1->setCurrentIndex(
        selected ? ComboBox1->findText(face, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1);
    UpdateAlignButtons();
}

void TFormatBar::UpdateAlignButtons() {
    const Qt::Alignment alignment = editor_->SelAlignment();
    AlignLeftBtn->setChecked(alignment == Qt::AlignLeft);
    AlignCenterBtn->setChecked(alignment == Qt::AlignHCenter);
    AlignRightBtn->setChecked(alignment == Qt::AlignRight);
}

void TFormatBar::SetFontList(const QStringList& faces) {
    ComboBox1->clear();
    ComboBox1->addItems(faces);
    ComboBox1->setCurrentIndex(-1); // filling a box selects its first item
    UpdateFormatButtons();
}

void TFormatBar::DBRichEdit1SelectionChange() {
    UpdateFormatButtons();
    if (editor_->SelLength() > 0)
        UpDown1->SetPosition(RichFormat::PointSize(CurrentAttributes()));
}

void TFormatBar::ComboBox1DrawItem(QPainter& painter, const QRect& rect, const QString& name,
                                   bool highlighted) const {
    const QPalette& palette = ComboBox1->palette();
    painter.save();
    painter.fillRect(rect, palette.color(highlighted ? QPalette::Highlight : QPalette::Base));
    QFont font = ComboBox1->font();
    font.setFamilies(QStringList(name));
    painter.setFont(font);
    painter.setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(rect.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     name);
    painter.restore();
}

// ---------------------------------------------------------------------------
// Formatting actions

void TFormatBar::ComboBox1Change() {
    const int index = ComboBox1->currentIndex();
    if (index < 0)
        return;
    const QString name = ComboBox1->itemText(index);
    Guarded([&] {
        editor_->EditKeepSelection();
        const QString face = CutFaceName(name);
        editor_->ChangeSelAttributes(
            [&face](QTextCharFormat& format) { RichFormat::SetFaceName(format, face); });
        editor_->setFocus();
        ComboBox1->setCurrentIndex(
            ComboBox1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    });
}

void TFormatBar::UpDown1Click() {
    Guarded([this] {
        editor_->EditKeepSelection();
        const int points = UpDown1->Position();
        editor_->ChangeSelAttributes(
            [points](QTextCharFormat& format) { RichFormat::SetPointSize(format, points); });
    });
}

void TFormatBar::FontBtnClick() {
    Guarded([this] {
        editor_->EditKeepSelection();
        const QTextCharFormat shown = editor_->SelAttributes();
        FontDialog1->setOptions(QFontDialog::ScalableFonts | QFontDialog::DontUseNativeDialog);
        FontDialog1->setCurrentFont(FontOf(shown));
        if (FontDialog1->exec() != QDialog::Accepted)
            return;
        const QFont chosen = FontDialog1->selectedFont();
        const QColor color = RichFormat::TextColor(shown);
        const QString face = CutFaceName(ChosenFace(chosen, RichFormat::FaceName(shown)));
        const StyleSet style{chosen.bold(), chosen.italic(), chosen.underline(),
                             chosen.strikeOut()};
        const int points = std::max(1, qRound(chosen.pointSizeF()));
        editor_->ChangeSelAttributes([&](QTextCharFormat& format) {
            RichFormat::SetTextColor(format, color);
            RichFormat::SetFaceName(format, face);
            format.setProperty(RichFormat::CharSetProperty, CharSetOfFace(face));
            SetStyle(format, style);
            RichFormat::SetPointSize(format, points);
            format.setProperty(RichFormat::PitchProperty, PitchOfFace(face));
        });
    });
}

void TFormatBar::ToggleStyle(QToolButton* button, bool StyleSet::*flag) {
    Guarded([&] {
        editor_->EditKeepSelection();
        StyleSet style = StyleOf(editor_->SelAttributes());
        style.*flag = !(style.*flag);
        editor_->ChangeSelAttributes(
            [&style](QTextCharFormat& format) { SetStyle(format, style); });
        button->setChecked(StyleOf(CurrentAttributes()).*flag);
    });
}

void TFormatBar::BoldBtnClick() {
    ToggleStyle(BoldBtn, &StyleSet::bold);
}

void TFormatBar::ItalicBtnClick() {
    ToggleStyle(ItalicBtn, &StyleSet::italic);
}

void TFormatBar::UnderBtnClick() {
    ToggleStyle(UnderBtn, &StyleSet::underline);
}

void TFormatBar::ColorBtnClick() {
    Guarded([this] {
        // The automatic colour is the colour automatic text is drawn in.
        const QColor automatic = editor_->palette().color(QPalette::Text);
        const QColor shown = RichFormat::TextColor(editor_->SelAttributes());
        ColorDialog1->setOptions(QColorDialog::DontUseNativeDialog);
        ColorDialog1->setCurrentColor(shown.isValid() ? shown : automatic);
        if (ColorDialog1->exec() != QDialog::Accepted)
            return;
        const QColor chosen = ColorDialog1->selectedColor();
        const QColor stored = chosen.rgb() == automatic.rgb() ? QColor() : chosen;
        editor_->EditKeepSelection();
        editor_->ChangeSelAttributes(
            [&stored](QTextCharFormat& format) { RichFormat::SetTextColor(format, stored); });
    });
}

void TFormatBar::SetSelOffset(int points) {
    const int twips = points * RichFormat::TwipsPerPoint;
    editor_->ChangeSelAttributes(
        [twips](QTextCharFormat& format) { RichFormat::SetOffsetTwips(format, twips); });
}

void TFormatBar::SetOffsetAndShowSize(int points) {
    Guarded([&] {
        editor_->EditKeepSelection();
        SetSelOffset(points);
        UpDown1->SetPosition(RichFormat::PointSize(editor_->SelAttributes()));
    });
}

void TFormatBar::UeBtnClick() {
    SetOffsetAndShowSize(3);
}

void TFormatBar::SitaBtnClick() {
    SetOffsetAndShowSize(-3);
}

void TFormatBar::NormalBtnClick() {
    SetOffsetAndShowSize(0);
}

void TFormatBar::AlignBtnClick(Qt::Alignment alignment) {
    Guarded([&] {
        editor_->EditKeepSelection();
        editor_->SetSelAlignment(alignment);
        UpdateAlignButtons();
    });
}
