#include "labels/EditMenu.h"

#include "controls/DBImage.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "labels/ImageFormU.h"
#include "platform/MessageService.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextDocument>

namespace {

const QKeySequence kRedoKey(Qt::CTRL | Qt::Key_Y);

bool IsUndoKey(const QKeyEvent& event) {
    return event.matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent& event) {
    return event.matches(QKeySequence::Redo) || QKeySequence(event.keyCombination()) == kRedoKey;
}

} // namespace

TEditMenu::TEditMenu(QMenu* menu, TDBRichEdit* editor, TImageForm* imageForm, DataSource* designs)
    : QObject(menu), editor_(editor), imageForm_(imageForm), designs_(designs) {
    EditUndo = AddItem(menu, "EditUndo", QStringLiteral("元に戻す"),
                       QStringLiteral("直前の操作を取り消します"), QKeySequence::Undo,
                       &TEditMenu::EditUndoClick);
    EditRedo = AddItem(menu, "EditRedo", QStringLiteral("やり直し"),
                       QStringLiteral("取り消した操作をやり直します"), kRedoKey,
                       &TEditMenu::EditRedoClick);
    menu->addSeparator();
    EditCut = AddItem(menu, "EditCut", QStringLiteral("切り取り"),
                      QStringLiteral("選択した文字列を切り取ります"), QKeySequence::Cut,
                      &TEditMenu::EditCutClick);
    EditCopy = AddItem(menu, "EditCopy", QStringLiteral("コピー"),
                       QStringLiteral("選択した文字列をクリップボードにコピーします"),
                       QKeySequence::Copy, &TEditMenu::EditCopyClick);
    EditPaste = AddItem(menu, "EditPaste", QStringLiteral("貼り付け"),
                        QStringLiteral("クリップボードの文字列を貼り付けます"), QKeySequence::Paste,
                        &TEditMenu::EditPasteClick);
    menu->addSeparator();
    EditSelectAll = AddItem(menu, "EditSelectAll", QStringLiteral("すべて選択"),
                            QStringLiteral("ラベルの文字列をすべて選択します"),
                            QKeySequence::SelectAll, &TEditMenu::EditSelectAllClick);
    connect(menu, &QMenu::aboutToShow, this, &TEditMenu::UpdateItems);
    connect(editor->document(), &QTextDocument::undoCommandAdded, this, [this] { Record(Step{}); });
    connect(editor, &QTextEdit::copyAvailable, this, &TEditMenu::UpdateItems);
    connect(editor, &QTextEdit::textChanged, this, &TEditMenu::UpdateItems);
    connect(imageForm, &TImageForm::UserPlaced, this, &TEditMenu::RecordPicture);
    connect(imageForm->DBImage1, &TDBImage::PictureChanging, this,
            [this] { RecordPicture(imageForm_->LogicalGeometry()); });
    connect(designs, &DataSource::DataChange, this, &TEditMenu::DataChange);
    connect(designs, &DataSource::StateChange, this, &TEditMenu::UpdateItems);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TEditMenu::UpdateItems);
    // The editor's own undo keys would bypass the picture steps.
    editor->installEventFilter(this);
    UpdateItems();
}

QAction* TEditMenu::AddItem(QMenu* menu, const char* name, const QString& caption,
                            const QString& hint, const QKeySequence& key,
                            void (TEditMenu::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this,
            [this, handler] { Messages::RunGuarded([&] { (this->*handler)(); }, editor_); });
    return action;
}

bool TEditMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsUndoKey(*key) || IsRedoKey(*key)) {
            Messages::RunGuarded([&] { IsUndoKey(*key) ? EditUndoClick() : EditRedoClick(); },
                                 editor_);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// History

TEditMenu::PictureState TEditMenu::CurrentPicture() const {
    return {imageForm_->LogicalGeometry(), imageForm_->DBImage1->Picture(),
            imageForm_->DBImage1->Stretch()};
}

void TEditMenu::Record(const Step& step) {
    if (replaying_)
        return;
    undo_.push_back(step);
    redo_.clear();
    UpdateItems();
}

void TEditMenu::RecordPicture(const QRect& geometry) {
    PictureState before = CurrentPicture();
    before.geometry = geometry;
    Record(Step{false, before});
}

void TEditMenu::Replay(std::vector<Step>& from, std::vector<Step>& to, bool undo) {
    if (from.empty())
        return;
    const Step step = from.back();
    QTextDocument* doc = editor_->document();
    if (step.text && !(undo ? doc->isUndoAvailable() : doc->isRedoAvailable())) {
        Clear(); // the document's own history is gone; ours cannot follow it any more
        return;
    }
    editor_->EditKeepSelection();
    from.pop_back();
    QScopedValueRollback guard(replaying_, true);
    if (step.text) {
        undo ? doc->undo() : doc->redo();
        to.push_back(step);
    } else {
        to.push_back(Step{false, CurrentPicture()});
        imageForm_->SetLogicalGeometry(step.picture.geometry);
        imageForm_->DBImage1->SetStretch(step.picture.stretch);
        imageForm_->DBImage1->SetPicture(step.picture.picture);
    }
    UpdateItems();
}

void TEditMenu::EditUndoClick() {
    Replay(undo_, redo_, true);
}

void TEditMenu::EditRedoClick() {
    Replay(redo_, undo_, false);
}

void TEditMenu::DataChange(int fieldIndex) {
    Query* q = designs_ ? designs_->DataSet() : nullptr;
    const bool editing =
        q && (q->State() == DataSetState::Edit || q->State() == DataSetState::Insert);
    if (fieldIndex < 0 && !editing)
        Clear();
}

void TEditMenu::Clear() {
    undo_.clear();
    redo_.clear();
    UpdateItems();
}

// ---------------------------------------------------------------------------
// Clipboard

bool TEditMenu::CanEditText() const {
    Query* q = designs_ ? designs_->DataSet() : nullptr;
    return q && q->CanModify() && !editor_->ReadFailed();
}

void TEditMenu::EditCutClick() {
    editor_->EditKeepSelection();
    editor_->cut();
}

void TEditMenu::EditCopyClick() {
    editor_->copy();
}

void TEditMenu::EditPasteClick() {
    editor_->EditKeepSelection();
    editor_->paste();
}

void TEditMenu::EditSelectAllClick() {
    editor_->selectAll();
}

void TEditMenu::UpdateItems() {
    if (!editor_)
        return;
    const bool selected = editor_->textCursor().hasSelection();
    EditUndo->setEnabled(!undo_.empty());
    EditRedo->setEnabled(!redo_.empty());
    EditCut->setEnabled(selected && CanEditText());
    EditCopy->setEnabled(selected);
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    const bool text = clip && (clip->hasText() || clip->hasFormat(QStringLiteral("text/rtf")) ||
                               clip->hasFormat(QStringLiteral("application/rtf")));
    EditPaste->setEnabled(CanEditText() && text);
    EditSelectAll->setEnabled(!editor_->document()->isEmpty());
}
