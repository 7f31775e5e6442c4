#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QToolButton;
class QWidget;
class TDBRichEdit;

// The main window's 書式 menu and the toolbar's 縦 button: the text direction of the current
// design (横書き or 縦書き) and its option to print numerals as kanji. They follow the design
// shown and set the design as an edit of its record.
class TTextFlowMenu : public QObject {
    Q_OBJECT
  public:
    TTextFlowMenu(QMenu* menu, QToolButton* button, TDBRichEdit* editor, QWidget* dialogParent);

    QAction* Yokogaki1 = nullptr;
    QAction* Tategaki1 = nullptr;
    QAction* KanjiNumerals1 = nullptr;

    void SetVertical(bool vertical);
    void KanjiNumerals1Click();
    // Shows the current design's settings.
    void UpdateItems();

  private:
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QString& hint);
    void SetFlag(int property, bool on);

    QPointer<QToolButton> button_;
    QPointer<TDBRichEdit> editor_;
    QWidget* dialogParent_;
};
