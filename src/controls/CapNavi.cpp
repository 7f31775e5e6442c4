#include "controls/CapNavi.h"

#include "controls/NaviGlyphs.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "ui/SlotGuard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

constexpr int kSpacing = 4; // between glyph and caption

const char* const kDefaultCaptions[] = {"&First",  "&Prior", "&Next", "&Last",   "&Insert",
                                        "&Delete", "&Edit",  "&Post", "&Cancel", "&Refresh"};

const char16_t* const kDefaultHints[] = {
    u"最初のレコード", u"前のレコード",   u"次のレコード",   u"最後のレコード", u"レコードの挿入",
    u"レコードの削除", u"レコードの編集", u"レコードの登録", u"編集の取り消し", u"データ更新"};

bool IsEditing(const Query& q) {
    return q.State() == DataSetState::Edit || q.State() == DataSetState::Insert;
}

} // namespace

// ---------------------------------------------------------------------------

TNavButton::TNavButton(TCaptionDBNavi* bar, TNavigateBtn kind)
    : QAbstractButton(bar), bar_(bar), kind_(kind) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    captionColour_ = bar->FontColor();
    if (kind == TNavigateBtn::nbPrior || kind == TNavigateBtn::nbNext) {
        setAutoRepeat(true);
        setAutoRepeatDelay(400);
        setAutoRepeatInterval(100);
    }
}

void TNavButton::SetGlyph(const QImage& glyph) {
    glyph_ = glyph;
    update();
}

void TNavButton::SetLayout(TCaptionLayout layout) {
    layout_ = layout;
    update();
}

void TNavButton::SetCaptionColor(const QColor& colour) {
    if (colour == captionColour_)
        return;
    captionColour_ = colour;
    update();
}

void TNavButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!bar_->Flat() || isDown() || underMouse())
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
    const QImage frame = NaviGlyphs::Frame(glyph_, isEnabled() ? 0 : 1);
    const int flags = Qt::TextShowMnemonic | Qt::AlignCenter;
    const QSize textSize = text().isEmpty() ? QSize() : fontMetrics().size(flags, text());
    const QSize glyphSize = frame.isNull() ? QSize() : frame.size();
    const bool horizontal = layout_ == TCaptionLayout::cbLeft || layout_ == TCaptionLayout::cbRight;
    const int gap = glyphSize.isEmpty() || textSize.isEmpty() ? 0 : kSpacing;
    const QSize total = horizontal ? QSize(glyphSize.width() + gap + textSize.width(),
                                           std::max(glyphSize.height(), textSize.height()))
                                   : QSize(std::max(glyphSize.width(), textSize.width()),
                                           glyphSize.height() + gap + textSize.height());
    const int shift = isDown() ? 1 : 0;
    const QPoint origin((width() - total.width()) / 2 + shift,
                        (height() - total.height()) / 2 + shift);
    QPoint glyphAt = origin;
    QPoint textAt = origin;
    switch (layout_) {
    case TCaptionLayout::cbLeft:
        textAt.rx() += glyphSize.width() + gap;
        break;
    case TCaptionLayout::cbRight:
        glyphAt.rx() += textSize.width() + gap;
        break;
    case TCaptionLayout::cbTop:
        textAt.ry() += glyphSize.height() + gap;
        break;
    case TCaptionLayout::cbBottom:
        glyphAt.ry() += textSize.height() + gap;
        break;
    }
    if (horizontal) {
        glyphAt.ry() += (total.height() - glyphSize.height()) / 2;
        textAt.ry() += (total.height() - textSize.height()) / 2;
    } else {
        glyphAt.rx() += (total.width() - glyphSize.width()) / 2;
        textAt.rx() += (total.width() - textSize.width()) / 2;
    }
    if (!frame.isNull())
        p.drawImage(glyphAt, frame);
    if (!textSize.isEmpty()) {
        p.setPen(isEnabled() ? captionColour_
                             : palette().color(QPalette::Disabled, QPalette::ButtonText));
        p.drawText(QRect(textAt, textSize), flags, text());
    }
}

void TNavButton::mouseMoveEvent(QMouseEvent* event) {
    bar_->ButtonMouseMove(this, event);
    QAbstractButton::mouseMoveEvent(event);
    event->accept(); // the bar has been told; it must not see the move a second time
}

void TNavButton::leaveEvent(QEvent* event) {
    bar_->ResetCaptionColours();
    QAbstractButton::leaveEvent(event);
}

// ---------------------------------------------------------------------------

QString TCaptionDBNavi::DefaultCaption(TNavigateBtn button) {
    return QString::fromLatin1(kDefaultCaptions[Index(button)]);
}

QString TCaptionDBNavi::DefaultHint(TNavigateBtn button) {
    return QString::fromUtf16(kDefaultHints[Index(button)]);
}

TCaptionDBNavi::TCaptionDBNavi(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    colour_ = palette().color(QPalette::Button);
    fontColour_ = palette().color(QPalette::ButtonText);
    for (int i = 0; i < kButtonCount; ++i) {
        const auto kind = static_cast<TNavigateBtn>(i);
        buttons_[i] = new TNavButton(this, kind);
        visible_.insert(kind);
        connect(buttons_[i], &QAbstractButton::clicked, this,
                Guarded([this, kind] { BtnClick(kind); }, this));
    }
    resize(451, 40);
    SetShowGlyph(true);
    UpdateCaptions();
    UpdateHints();
    layout_ = TCaptionLayout::cbLeft; // differs, so the next call takes effect
    SetCaptionLayout(TCaptionLayout::cbBottom);
    UpdateEnabling();
}

void TCaptionDBNavi::SetDataSource(DataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::StateChange, this, &TCaptionDBNavi::UpdateEnabling);
        connect(source_, &DataSource::DataChange, this, &TCaptionDBNavi::UpdateEnabling);
        connect(source_, &QObject::destroyed, this, &TCaptionDBNavi::UpdateEnabling);
    }
    UpdateEnabling();
}

void TCaptionDBNavi::SetVisibleButtons(const std::set<TNavigateBtn>& buttons) {
    visible_ = buttons;
    for (TNavButton* b : buttons_)
        b->setVisible(visible_.count(b->Kind()) > 0);
    LayoutButtons();
}

void TCaptionDBNavi::SetHints(const QStringList& hints) {
    hints_ = hints;
    UpdateHints();
}

void TCaptionDBNavi::UpdateHints() {
    for (int i = 0; i < kButtonCount; ++i) {
        const QString own = i < hints_.size() ? hints_[i] : QString();
        const QString hint = own.isEmpty() ? DefaultHint(static_cast<TNavigateBtn>(i)) : own;
        buttons_[i]->setToolTip(hint);
        buttons_[i]->setStatusTip(hint);
    }
}

void TCaptionDBNavi::SetFlat(bool flat) {
    flat_ = flat;
    update();
    for (TNavButton* b : buttons_)
        b->update();
}

void TCaptionDBNavi::SetColor(const QColor& colour) {
    colour_ = colour;
    update();
}

void TCaptionDBNavi::SetFontColor(const QColor& colour) {
    fontColour_ = colour;
    for (TNavButton* b : buttons_)
        b->SetCaptionColor(colour);
}

void TCaptionDBNavi::SetCaptions(const QStringList& captions) {
    captions_ = captions;
    UpdateCaptions();
}

void TCaptionDBNavi::UpdateCaptions() {
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[i]->setText(showCaption_ ? DefaultCaption(static_cast<TNavigateBtn>(i))
                                          : QString());
    if (!showCaption_)
        return;
    for (int j = 0; j < std::min<int>(kButtonCount, static_cast<int>(captions_.size())); ++j)
        if (!captions_[j].isEmpty())
            buttons_[j]->setText(captions_[j]);
}

void TCaptionDBNavi::SetShowCaption(bool show) {
    showCaption_ = show;
    UpdateCaptions();
    update();
}

void TCaptionDBNavi::SetShowGlyph(bool show) {
    showGlyph_ = show;
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[i]->SetGlyph(show ? NaviGlyphs::Own(i) : QImage());
    UpdateGlyphs();
}

void TCaptionDBNavi::UpdateGlyphs() {
    if (!showGlyph_)
        return;
    for (int i = 0; i < kButtonCount; ++i)
        if (glyphs_[i].height() > 0)
            buttons_[i]->SetGlyph(glyphs_[i]);
}

void TCaptionDBNavi::SetButtonGlyph(TNavigateBtn button, const QImage& glyph) {
    const int i = Index(button);
    glyphs_[i] = glyph;
    if (!showGlyph_)
        return;
    buttons_[i]->SetGlyph(glyph.height() > 0 ? glyph : NaviGlyphs::Own(i));
}

void TCaptionDBNavi::SetCaptionLayout(TCaptionLayout layout) {
    if (layout == layout_)
        return;
    layout_ = layout;
    for (TNavButton* b : buttons_)
        b->SetLayout(layout);
    update();
}

void TCaptionDBNavi::SetBackBitmap(const QImage& bitmap) {
    backBitmap_ = bitmap;
    if (backBitmap_.height() > 0)
        colour_ = palette().color(QPalette::Button);
    update();
}

void TCaptionDBNavi::SetNaviBorders(TNaviBorders borders) {
    if (borders == borders_)
        return;
    borders_ = borders;
    update();
}

// ---------------------------------------------------------------------------

void TCaptionDBNavi::ButtonMouseMove(TNavButton* button, QMouseEvent* event) {
    const QPoint at = mapFromGlobal(button->mapToGlobal(event->position().toPoint()));
    for (TNavButton* b : buttons_)
        b->SetCaptionColor(b == button ? onMoveColour_ : fontColour_);
    if (OnMouseMove)
        OnMouseMove(this, event->modifiers(), at.x(), at.y(), button->Kind());
}

void TCaptionDBNavi::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    for (TNavButton* b : buttons_) {
        if (b->isVisible() && b->geometry().contains(at) && OnMouseMove) {
            OnMouseMove(this, event->modifiers(), at.x(), at.y(), b->Kind());
            return;
        }
    }
}

void TCaptionDBNavi::ResetCaptionColours() {
    for (TNavButton* b : buttons_)
        b->SetCaptionColor(fontColour_);
}

void TCaptionDBNavi::leaveEvent(QEvent* event) {
    ResetCaptionColours();
    QWidget::leaveEvent(event);
}

void TCaptionDBNavi::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        UpdateEnabling();
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------

void TCaptionDBNavi::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colour_);
    lastTiles_ = QSize();
    if (!flat_)
        return;
    DrawTiles(p);
    DrawBorders(p);
}

void TCaptionDBNavi::DrawTiles(QPainter& p) {
    if (backBitmap_.height() <= 0)
        return;
    const int bw = backBitmap_.width();
    const int bh = backBitmap_.height();
    const int cols = width() / bw + 1;
    const int rows = height() / bh + 1;
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r)
            p.drawImage(QRect((c - 1) * bw, (r - 1) * bh, bw, bh), backBitmap_);
    lastTiles_ = QSize(cols, rows);
}

void TCaptionDBNavi::DrawBorders(QPainter& p) {
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const int w = width();
    const int h = height();
    auto outline = [&p](int l, int t, int r, int b, const QColor& c) {
        p.setPen(QPen(c, 1));
        p.drawPolyline(QPolygon({QPoint(l, b), QPoint(l, t), QPoint(r - 1, t)}));
        p.drawPolyline(QPolygon({QPoint(r, t), QPoint(r, b), QPoint(l + 1, b)}));
    };
    auto line = [&p](QPoint a, QPoint b, const QColor& c) {
        p.setPen(QPen(c, 1));
        p.drawLine(a, b);
    };
    switch (borders_) {
    case TNaviBorders::nbFrame:
        outline(1, 1, w - 1, h - 1, light);
        outline(0, 0, w - 2, h - 2, shadow);
        break;
    case TNaviBorders::nbTopBottom:
        for (auto [y, c] : {std::pair{0, shadow}, {1, light}, {h - 2, shadow}, {h - 1, light}})
            line({0, y}, {w - 1, y}, c);
        break;
    case TNaviBorders::nbLeftRight:
        for (auto [x, c] : {std::pair{0, shadow}, {1, light}, {w - 2, shadow}, {w - 1, light}})
            line({x, 0}, {x, h - 1}, c);
        break;
    case TNaviBorders::nbNone:
        break;
    }
}

void TCaptionDBNavi::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TCaptionDBNavi::LayoutButtons() {
    const int count = std::max<int>(1, static_cast<int>(visible_.size()));
    const int w = std::max(width(), count * 20);
    const int h = std::max(height(), 18);
    const int bw = w / count;
    if (size() != QSize(count * bw, h))
        resize(count * bw, h);
    int x = 0;
    for (TNavButton* b : buttons_) {
        if (visible_.count(b->Kind())) {
            b->setGeometry(x, 0, bw, h);
            x += bw;
        } else {
            b->setGeometry(count * bw + 1, 0, bw, h);
        }
    }
}

// ---------------------------------------------------------------------------

void TCaptionDBNavi::UpdateEnabling() {
    Query* q = source_ ? source_->DataSet() : nullptr;
    const bool open = isEnabled() && q && q->Active();
    const bool modify = open && q->CanModify();
    const bool editing = open && IsEditing(*q);
    // The position decides, however the row was reached (a step, a jump or a re-read).
    const bool bof = !open || q->Bof() || q->RecNo() <= 1;
    const bool eof = !open || q->Eof() || q->RecNo() >= q->RecordCount();
    const std::array<bool, kButtonCount> enabled = {open && !bof,
                                                    open && !bof,
                                                    open && !eof,
                                                    open && !eof,
                                                    modify,
                                                    modify && !q->IsEmpty(),
                                                    modify && !editing,
                                                    modify && editing,
                                                    modify && editing,
                                                    modify};
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[i]->setEnabled(enabled[i]);
}

void TCaptionDBNavi::BtnClick(TNavigateBtn button) {
    Query* q = source_ ? source_->DataSet() : nullptr;
    if (q && q->Active()) {
        if (BeforeAction)
            BeforeAction(this, button);
        DoAction(button);
    }
    if (OnClick)
        OnClick(this, button);
}

void TCaptionDBNavi::DoAction(TNavigateBtn button) {
    Query& q = *source_->DataSet();
    switch (button) {
    case TNavigateBtn::nbFirst:
        return q.First();
    case TNavigateBtn::nbPrior:
        return q.Prior();
    case TNavigateBtn::nbNext:
        return q.Next();
    case TNavigateBtn::nbLast:
        return q.Last();
    case TNavigateBtn::nbInsert:
        return q.Insert();
    case TNavigateBtn::nbDelete:
        if (!ConfirmDelete ||
            Messages::Ask(QStringLiteral("レコードを削除してもよいですか？"),
                          Messages::Buttons::OkCancel, window()) != Messages::Answer::Cancel)
            q.Delete();
        return;
    case TNavigateBtn::nbEdit:
        return q.Edit();
    case TNavigateBtn::nbPost:
        return q.Post();
    case TNavigateBtn::nbCancel:
        return q.Cancel();
    case TNavigateBtn::nbRefresh:
        return q.Refresh();
    }
}
