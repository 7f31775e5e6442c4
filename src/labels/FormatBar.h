#pragma once

#include <QObject>
#include <QTextCharFormat>
#include <functional>

class QColorDialog;
class QComboBox;
class QFontDialog;
class QPainter;
class QRect;
class QToolButton;
class QWidget;
class TDBRichEdit;
class TEditEx;
class TUpDown;

// The formatting half of the main window's toolbar: sets the character attributes of the
// label text's selection, and mirrors them whenever the selection or the label changes.
class TFormatBar : public QObject {
    Q_OBJECT
  public:
    // Places the controls in toolBar from its left edge up to Right(); the font and colour
    // dialogs open over dialogParent.
    TFormatBar(QWidget* toolBar, TDBRichEdit* editor, QWidget* dialogParent);

    // Where the toolbar's next control may start.
    int Right() const { return right_; }

    QComboBox* ComboBox1 = nullptr;
    TEditEx* EditEx1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QToolButton* FontBtn = nullptr;
    QToolButton* BoldBtn = nullptr;
    QToolButton* ItalicBtn = nullptr;
    QToolButton* UnderBtn = nullptr;
    QToolButton* ColorBtn = nullptr;
    QToolButton* UeBtn = nullptr;
    QToolButton* SitaBtn = nullptr;
    QToolButton* NormalBtn = nullptr;
    // Paragraph alignment of the selected paragraphs, or of the caret's paragraph.
    QToolButton* AlignLeftBtn = nullptr;
    QToolButton* AlignCenterBtn = nullptr;
    QToolButton* AlignRightBtn = nullptr;
    // 横書き / 縦書き of the whole text: pressed while the text is set vertically.
    QToolButton* TextFlowBtn = nullptr;
    QFontDialog* FontDialog1 = nullptr;
    QColorDialog* ColorDialog1 = nullptr;

    // The selection's attributes when text is selected, else the editor's default format.
    QTextCharFormat CurrentAttributes() const;
    void UpdateFormatButtons();
    // The faces the font name box offers; none is shown until text is selected.
    void SetFontList(const QStringList& faces);
    // Raises (positive) or lowers the selected text by whole points, keeping its size.
    void SetSelOffset(int points);

    // Handlers.
    void ComboBox1DrawItem(QPainter& painter, const QRect& rect, const QString& name,
                           bool highlighted) const;
    void ComboBox1Change();
    void UpDown1Click();
    void FontBtnClick();
    void BoldBtnClick();
    void ItalicBtnClick();
    void UnderBtnClick();
    void ColorBtnClick();
    void UeBtnClick();
    void SitaBtnClick();
    void NormalBtnClick();
    void AlignBtnClick(Qt::Alignment alignment);
    void DBRichEdit1SelectionChange();

  private:
    // The four style flags, always written together.
    struct StyleSet {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
    };
    static StyleSet StyleOf(const QTextCharFormat& format);
    static void SetStyle(QTextCharFormat& format, const StyleSet& style);
    class Placer;
    void CreateNameAndSize(Placer& placer);
    void CreateButtons(Placer& placer);
    void CreateAlignButtons(Placer& placer);
    void UpdateAlignButtons();
    void ConnectHandlers();
    void ToggleStyle(QToolButton* button, bool StyleSet::*flag);
    void SetOffsetAndShowSize(int points);
    // Runs a handler's work; a failure reaches the user as an error box.
    void Guarded(const std::function<void()>& work);

    TDBRichEdit* editor_;
    QWidget* dialogParent_;
    int right_ = 0;
};
