#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <vector>

class DataSource;
class QAction;
class QMenu;
class TDBRichEdit;
class TImageForm;

// The main window's 編集 menu: undo and redo over the text and the picture of the current
// design (its moves, resizes and loads), and the clipboard commands of the text. The history
// lasts while the design is edited; another design, a post or a cancel ends it.
class TEditMenu : public QObject {
    Q_OBJECT
  public:
    TEditMenu(QMenu* menu, TDBRichEdit* editor, TImageForm* imageForm, DataSource* designs);

    QAction* EditUndo = nullptr;
    QAction* EditRedo = nullptr;
    QAction* EditCut = nullptr;
    QAction* EditCopy = nullptr;
    QAction* EditPaste = nullptr;
    QAction* EditSelectAll = nullptr;

    void EditUndoClick();
    void EditRedoClick();
    void EditCutClick();
    void EditCopyClick();
    void EditPasteClick();
    void EditSelectAllClick();
    // Enables each command exactly when it applies.
    void UpdateItems();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct PictureState {
        QRect geometry;
        QImage picture;
        bool stretch = false;
    };
    // A text step is the document's own; a picture step keeps the state to go back to.
    struct Step {
        bool text = true;
        PictureState picture;
    };

    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                     const QKeySequence& key, void (TEditMenu::*handler)());
    PictureState CurrentPicture() const;
    void Record(const Step& step);
    void RecordPicture(const QRect& geometry);
    // Takes the last step of from, goes back over it and keeps its reverse in to.
    void Replay(std::vector<Step>& from, std::vector<Step>& to, bool undo);
    void DataChange(int fieldIndex);
    void Clear();
    bool CanEditText() const;

    QPointer<TDBRichEdit> editor_;
    QPointer<TImageForm> imageForm_;
    QPointer<DataSource> designs_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    bool replaying_ = false;
};
