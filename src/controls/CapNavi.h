#pragma once

#include "data/DataSource.h"
#include <QAbstractButton>
#include <QColor>

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <set>

class DataSource;
class TCaptionDBNavi;

enum class TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};
enum class TCaptionLayout { cbLeft, cbRight, cbTop, cbBottom };
enum class TNaviBorders { nbNone, nbFrame, nbTopBottom, nbLeftRight };

// One button of the bar: a two-frame glyph and a caption, centred together.
class TNavButton : public QAbstractButton {
    Q_OBJECT
  public:
    TNavButton(TCaptionDBNavi* bar, TNavigateBtn kind);
    TNavigateBtn Kind() const { return kind_; }
    void SetGlyph(const QImage& glyph);
    const QImage& Glyph() const { return glyph_; }
    void SetLayout(TCaptionLayout layout);
    void SetCaptionColor(const QColor& colour);
    QColor CaptionColor() const { return captionColour_; }
    QSize sizeHint() const override { return {20, 18}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    TCaptionDBNavi* bar_;
    TNavigateBtn kind_;
    QImage glyph_;
    TCaptionLayout layout_ = TCaptionLayout::cbBottom;
    QColor captionColour_;
};

// A record navigator bar whose buttons carry captions beside their glyphs.
class TCaptionDBNavi : public QWidget {
    Q_OBJECT
  public:
    using ENavClick = std::function<void(TCaptionDBNavi*, TNavigateBtn)>;
    using ENavMouseMove =
        std::function<void(TCaptionDBNavi*, Qt::KeyboardModifiers, int, int, TNavigateBtn)>;

    explicit TCaptionDBNavi(QWidget* parent = nullptr);

    static constexpr int kButtonCount = 10;
    static QString DefaultCaption(TNavigateBtn button);
    static QString DefaultHint(TNavigateBtn button);

    void SetDataSource(DataSource* source);
    DataSource* GetDataSource() const { return source_; }
    void SetVisibleButtons(const std::set<TNavigateBtn>& buttons);
    const std::set<TNavigateBtn>& VisibleButtons() const { return visible_; }
    void SetHints(const QStringList& hints);
    bool ConfirmDelete = true;
    void SetFlat(bool flat);
    bool Flat() const { return flat_; }
    void SetColor(const QColor& colour);
    QColor Color() const { return colour_; }
    // Caption colour when not hovered (the bar's font colour).
    void SetFontColor(const QColor& colour);
    QColor FontColor() const { return fontColour_; }
    void SetCaptions(const QStringList& captions);
    const QStringList& Captions() const { return captions_; }
    void SetCaptionLayout(TCaptionLayout layout);
    TCaptionLayout CaptionLayout() const { return layout_; }
    void SetShowCaption(bool show);
    bool ShowCaption() const { return showCaption_; }
    void SetShowGlyph(bool show);
    bool ShowGlyph() const { return showGlyph_; }
    void SetOnMoveColor(const QColor& colour) { onMoveColour_ = colour; }
    QColor OnMoveColor() const { return onMoveColour_; }
    void SetBackBitmap(const QImage& bitmap);
    void SetNaviBorders(TNaviBorders borders);
    TNaviBorders NaviBorders() const { return borders_; }
    // BMPFirst … BMPRefresh, by button.
    void SetButtonGlyph(TNavigateBtn button, const QImage& glyph);
    QImage ButtonGlyph(TNavigateBtn button) const { return glyphs_[Index(button)]; }

    ENavClick BeforeAction;
    ENavClick OnClick;
    ENavMouseMove OnMouseMove;

    TNavButton* Button(TNavigateBtn button) const { return buttons_[Index(button)]; }
    void BtnClick(TNavigateBtn button);
    // Called by the buttons.
    void ButtonMouseMove(TNavButton* button, QMouseEvent* event);
    void ResetCaptionColours();
    // Tile count of the last flat painting (columns × rows), for checks.
    QSize LastTiles() const { return lastTiles_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static int Index(TNavigateBtn b) { return static_cast<int>(b); }
    void UpdateCaptions();
    void UpdateGlyphs();
    void UpdateHints();
    void LayoutButtons();
    void UpdateEnabling();
    void DoAction(TNavigateBtn button);
    void DrawBorders(QPainter& p);
    void DrawTiles(QPainter& p);

    std::array<TNavButton*, kButtonCount> buttons_{};
    std::array<QImage, kButtonCount> glyphs_;
    std::set<TNavigateBtn> visible_;
    QStringList captions_;
    QStringList hints_;
    QPointer<DataSource> source_;
    bool flat_ = false;
    bool showCaption_ = true;
    bool showGlyph_ = true;
    QColor colour_;
    QColor fontColour_;
    QColor onMoveColour_{0, 0, 255};
    QImage backBitmap_;
    TNaviBorders borders_ = TNaviBorders::nbFrame;
    TCaptionLayout layout_ = TCaptionLayout::cbBottom;
    QSize lastTiles_;
};
