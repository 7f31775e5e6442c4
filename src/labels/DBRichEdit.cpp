#include "labels/DBRichEdit.h"

#include "data/DataSource.h"
#include "data/Query.h"
#include "labels/BarcodeDialog.h"
#include "labels/BoldRuns.h"
#include "labels/FieldUnits.h"
#include "model/BarcodeObject.h"
#include "platform/BarcodeText.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/TextFlow.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlternative = QStringLiteral("application/rtf");

bool IsEditingKey(const QKeyEvent& event) {
    static const QKeySequence::StandardKey kEditing[] = {
        QKeySequence::Cut,
        QKeySequence::Paste,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::Backspace,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::InsertParagraphSeparator,
        QKeySequence::InsertLineSeparator,
    };
    for (const auto key : kEditing)
        if (event.matches(key))
            return true;
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

// A stretch of characters with one format, or the mark of an empty paragraph.
struct FormatRun {
    int start;
    int end;
    QTextCharFormat format;
    bool paragraphMark;
};

std::vector<FormatRun> RunsIn(const QTextDocument& doc, int start, int end) {
    std::vector<FormatRun> runs;
    for (QTextBlock block = doc.findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        // An empty paragraph's mark carries the attributes its line is shown and stored with.
        if (block.length() <= 1) {
            if (block.position() >= start)
                runs.push_back({block.position(), block.position(), block.charFormat(), true});
            continue;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(fragment.position(), start);
            const int to = std::min(fragment.position() + fragment.length(), end);
            if (fragment.isValid() && from < to)
                runs.push_back({from, to, fragment.charFormat(), false});
        }
    }
    return runs;
}

QByteArray RtfOf(const QMimeData& data) {
    if (data.hasFormat(kRtfMime))
        return data.data(kRtfMime);
    return data.data(kRtfMimeAlternative);
}

} // namespace

TDBRichEdit::TDBRichEdit(QWidget* parent) : QTextEdit(parent) {
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    setToolTip(Hint());
    setStatusTip(Hint());
    document()->setDefaultFont(DefAttributes().font());
    // The text starts as close to the edge as in the rich edit control the designs were made in.
    document()->setDocumentMargin(1);
    TBarcodeObject::Register(*document());
    connect(document(), &QTextDocument::contentsChange, this, &TDBRichEdit::ContentsChange);
    connect(this, &QTextEdit::cursorPositionChanged, this, &TDBRichEdit::CheckSelection);
    connect(this, &QTextEdit::selectionChanged, this, &TDBRichEdit::CheckSelection);
    // Not while a load clears the document: Qt keeps the cursors of the shades aside then and
    // would put freed ones back.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!loading_)
            ShowSelections();
    });
    LoadFromField();
}

QString TDBRichEdit::Hint() {
    return QStringLiteral(
        "ラベルの印刷内容を入力してください（右クリックで画像メニューを表示します）");
}

QString TDBRichEdit::ReadFailureText() {
    return QStringLiteral("(ストリームからの読み込みに失敗しました)");
}

QString TDBRichEdit::WriteFailureText() {
    return QStringLiteral("ストリームへの書き込みに失敗しました");
}

void TDBRichEdit::SetDataSource(DataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::DataChange, this, &TDBRichEdit::DataChange);
        connect(source_, &DataSource::StateChange, this, &TDBRichEdit::UpdateReadOnly);
        connect(source_, &DataSource::UpdateData, this, &TDBRichEdit::UpdateRecord);
    }
    LoadFromField();
}

void TDBRichEdit::SetDataField(const QString& name) {
    field_ = name;
    LoadFromField();
}

Query* TDBRichEdit::DataSet() const {
    return source_ ? source_->DataSet() : nullptr;
}

int TDBRichEdit::FieldIndex() const {
    Query* q = DataSet();
    return q && q->Active() ? q->FieldIndex(field_) : -1;
}

bool TDBRichEdit::Editing() const {
    Query* q = DataSet();
    return q && (q->State() == DataSetState::Edit || q->State() == DataSetState::Insert);
}

bool TDBRichEdit::CanStartEditing() const {
    Query* q = DataSet();
    return q && q->CanModify() && FieldIndex() >= 0 && !readFailed_;
}

// ---------------------------------------------------------------------------
// Selection and attributes

int TDBRichEdit::SelStart() const {
    return textCursor().selectionStart();
}

int TDBRichEdit::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TDBRichEdit::SetSelection(int start, int length) {
    const int last = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(start + length, 0, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QTextCharFormat TDBRichEdit::SelAttributes() const {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return cursor.charFormat();
    const std::vector<FormatRun> runs =
        RunsIn(*document(), cursor.selectionStart(), cursor.selectionEnd());
    const auto text = std::find_if(runs.begin(), runs.end(),
                                   [](const FormatRun& run) { return !run.paragraphMark; });
    if (text != runs.end())
        return text->format;
    return runs.empty() ? cursor.charFormat() : runs.front().format;
}

QTextCharFormat TDBRichEdit::DefAttributes() {
    return RichFormat::DefaultCharFormat();
}

void TDBRichEdit::ChangeSelAttributes(const std::function<void(QTextCharFormat&)>& change) {
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection()) {
        QTextCharFormat format = selection.charFormat();
        change(format);
        setCurrentCharFormat(format);
        return;
    }
    std::vector<FormatRun> runs =
        RunsIn(*document(), selection.selectionStart(), selection.selectionEnd());
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (FormatRun& run : runs) {
        change(run.format);
        cursor.setPosition(run.start);
        if (run.paragraphMark) {
            cursor.setBlockCharFormat(run.format);
            continue;
        }
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
    cursor.endEditBlock();
}

Qt::Alignment TDBRichEdit::SelAlignment() const {
    const QTextCursor cursor = textCursor();
    const Qt::Alignment align =
        document()->findBlock(cursor.selectionStart()).blockFormat().alignment();
    if (align & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (align & (Qt::AlignRight | Qt::AlignTrailing))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

void TDBRichEdit::SetSelAlignment(Qt::Alignment alignment) {
    QTextBlockFormat format;
    format.setAlignment(alignment);
    textCursor().mergeBlockFormat(format);
}

void TDBRichEdit::SetLabelOutline(const QRectF& outline) {
    outline_ = outline;
    UpdateTextWidth();
    viewport()->update();
    emit LabelOutlineChanged();
}

bool TDBRichEdit::TextFlag(int property) const {
    return TextFlow::Flag(*document(), property);
}

void TDBRichEdit::SetTextFlag(int property, bool on) {
    EditKeepSelection();
    TextFlow::SetFlag(*document(), property, on);
    WriteField();
    emit TextFlagsChanged();
}

void TDBRichEdit::UpdateTextWidth() {
    if (outline_.isEmpty()) {
        setLineWrapMode(QTextEdit::NoWrap);
        return;
    }
    // The text is as wide as printing makes it, so alignment places it on the label; lines
    // still never wrap.
    setWordWrapMode(QTextOption::NoWrap);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    const qreal margin = document()->documentMargin();
    setLineWrapColumnOrWidth(std::max(1, qRound(outline_.right() * zoom_ / 100 + 2 * margin)));
}

const QList<int>& TDBRichEdit::ZoomSteps() {
    static const QList<int> steps{50, 75, 100, 125, 150, 200, 300, 400};
    return steps;
}

void TDBRichEdit::SetZoom(int percent) {
    percent = std::clamp(percent, ZoomSteps().front(), ZoomSteps().back());
    if (percent == zoom_)
        return;
    zoom_ = percent;
    const int dotsPerMeter = qRound(96.0 * percent / 100 / 0.0254);
    zoomDevice_.setDotsPerMeterX(dotsPerMeter);
    zoomDevice_.setDotsPerMeterY(dotsPerMeter);
    document()->documentLayout()->setPaintDevice(percent == 100 ? nullptr : &zoomDevice_);
    document()->markContentsDirty(0, document()->characterCount());
    UpdateTextWidth();
    viewport()->update();
    emit ZoomChanged(percent);
}

void TDBRichEdit::ZoomBy(int steps) {
    const QList<int>& all = ZoomSteps();
    const auto next = std::lower_bound(all.begin(), all.end(), zoom_);
    const qsizetype at = std::distance(all.begin(), next);
    // Between two steps, a step down goes to the lower one.
    const qsizetype from = (next != all.end() && *next == zoom_) || steps > 0 ? at : at - 1;
    SetZoom(all.at(std::clamp<qsizetype>(from + steps, 0, all.size() - 1)));
}

void TDBRichEdit::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QTextEdit::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta != 0)
        ZoomBy(delta > 0 ? 1 : -1);
    event->accept();
}

QRectF TDBRichEdit::ShownLabelOutline() const {
    if (outline_.isEmpty())
        return {};
    const qreal margin = document()->documentMargin();
    const qreal scale = zoom_ / 100.0;
    const QRectF shown(outline_.topLeft() * scale, outline_.size() * scale);
    return shown.translated(margin - horizontalScrollBar()->value(),
                            margin - verticalScrollBar()->value());
}

void TDBRichEdit::ShowSelections() {
    setExtraSelections(FieldUnits::Shades(*document()) +
                       BoldRuns::Covers(*document(), viewport()->palette().color(QPalette::Base)));
}

void TDBRichEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    DrawBoldRuns(painter);
    if (outline_.isEmpty())
        return;
    QPen pen(QColor(0, 120, 215), 0); // cosmetic: one pixel at any size
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(ShownLabelOutline());
}

void TDBRichEdit::DrawBoldRuns(QPainter& painter) {
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QTextCursor cursor = textCursor();
    painter.save();
    painter.translate(-scrolled);
    BoldRuns::Draw(painter, *document(), viewport()->palette().color(QPalette::Text),
                   cursor.selectionStart(), cursor.selectionEnd());
    painter.restore();
}

void TDBRichEdit::CheckSelection() {
    if (loading_)
        return;
    const QTextCursor cursor = textCursor();
    if (cursor.anchor() == lastAnchor_ && cursor.position() == lastPosition_)
        return;
    lastAnchor_ = cursor.anchor();
    lastPosition_ = cursor.position();
    emit SelectionChange();
}

// ---------------------------------------------------------------------------
// Edit state

void TDBRichEdit::EditKeepSelection() {
    if (Editing())
        return;
    Query* q = DataSet();
    if (!q)
        throw EError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const int start = SelStart();
    const int length = SelLength();
    q->Edit();
    SetSelection(start, length);
}

bool TDBRichEdit::StartEditing() {
    if (!isReadOnly())
        return true;
    if (!CanStartEditing())
        return false;
    try {
        DataSet()->Edit();
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), window());
        return false;
    }
    return !isReadOnly();
}

void TDBRichEdit::UpdateReadOnly() {
    const bool writable = Editing() && !readFailed_ && FieldIndex() >= 0;
    setReadOnly(!writable);
    if (writable)
        return;
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Typing is what starts editing, also through an input method, so input stays open.
    setAttribute(Qt::WA_InputMethodEnabled, CanStartEditing());
}

void TDBRichEdit::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::ZoomIn) || (control && event->key() == Qt::Key_Equal)) {
        ZoomBy(1);
        return;
    }
    if (event->matches(QKeySequence::ZoomOut)) {
        ZoomBy(-1);
        return;
    }
    if (isReadOnly() && IsEditingKey(*event) && !StartEditing()) {
        event->accept();
        return;
    }
    KeepTypingOutOfFields();
    const bool backspace =
        event->matches(QKeySequence::Backspace) || event->key() == Qt::Key_Backspace;
    const bool del = event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Delete;
    QTextCursor cursor = textCursor();
    if (!isReadOnly() && (backspace || del) && FieldUnits::SelectFieldToDelete(cursor, backspace)) {
        cursor.removeSelectedText(); // a field goes whole
        setTextCursor(cursor);
        event->accept();
        return;
    }
    const int before = textCursor().position();
    QTextEdit::keyPressEvent(event);
    SnapOutOfFields(textCursor().position() >= before);
}

void TDBRichEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    SnapOutOfFields(true);
}

// The caret never rests inside a field, and a selection holds a field whole or not at all.
void TDBRichEdit::SnapOutOfFields(bool forward) {
    QTextCursor cursor = textCursor();
    if (FieldUnits::SnapOutOfFields(cursor, forward))
        setTextCursor(cursor);
}

// Text typed next to a field is no part of it.
void TDBRichEdit::KeepTypingOutOfFields() {
    if (textCursor().hasSelection() || !RichFormat::IsField(currentCharFormat()))
        return;
    QTextCharFormat format = currentCharFormat();
    RichFormat::ClearField(format);
    setCurrentCharFormat(format);
}

void TDBRichEdit::InsertMergeField(const QString& name) {
    EditKeepSelection();
    QTextCursor cursor = textCursor();
    FieldUnits::InsertMergeField(cursor, name);
    setTextCursor(cursor);
}

void TDBRichEdit::InsertBarcode() {
    EditBarcode(-1);
}

void TDBRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    const int position = cursorForPosition(event->position().toPoint()).position();
    for (const int at : {position, position - 1}) {
        QTextCursor cursor(document());
        cursor.setPosition(std::max(at, 0));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        if (at >= 0 && BarcodeText::IsObject(cursor.charFormat())) {
            event->accept();
            EditBarcode(at);
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(event);
}

void TDBRichEdit::EditBarcode(int position) {
    std::optional<BarcodeField::TBarcodeField> field;
    if (position >= 0) {
        QTextCursor at(document());
        at.setPosition(position + 1);
        field = BarcodeField::Parse(RichFormat::FieldInstruction(at.charFormat()));
    }
    TBarcodeDialog dialog(this, BarcodeColumns ? BarcodeColumns() : QStringList(),
                          field.value_or(TBarcodeDialog::DefaultField()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (position >= 0) {
        QTextCursor cursor = textCursor();
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }
    EditKeepSelection();
    QTextCursor cursor = textCursor();
    FieldUnits::InsertBarcode(cursor, BarcodeField::Instruction(dialog.Field()));
    setTextCursor(cursor);
}

void TDBRichEdit::inputMethodEvent(QInputMethodEvent* event) {
    const bool typing = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (isReadOnly() && typing && !StartEditing()) {
        event->ignore();
        return;
    }
    KeepTypingOutOfFields();
    QTextEdit::inputMethodEvent(event);
    // Composition starts or ends without changing the document.
    ShowSelections();
}

void TDBRichEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (popup_)
        popup_->exec(event->globalPos());
    else
        QTextEdit::contextMenuEvent(event);
}

// ---------------------------------------------------------------------------
// Loading and storing

void TDBRichEdit::DataChange(int fieldIndex) {
    if (writing_ || loading_)
        return;
    if (fieldIndex >= 0 && fieldIndex != FieldIndex())
        return;
    // Entering edit state repeats the value already shown; reloading would lose the caret.
    if (Editing() && !readFailed_ && ShowsFieldValue()) {
        UpdateReadOnly();
        return;
    }
    LoadFromField();
}

bool TDBRichEdit::ShowsFieldValue() const {
    try {
        return DataSet()->Fields(FieldIndex()).AsString() == shownValue_;
    } catch (const std::exception&) {
        return false;
    }
}

void TDBRichEdit::LoadFromField() {
    {
        QScopedValueRollback guard(loading_, true);
        setExtraSelections({});
        readFailed_ = false;
        writeFailed_ = false;
        try {
            Query* q = DataSet();
            QString value;
            QByteArray bytes;
            if (q && q->Active() && !field_.isEmpty()) {
                const Field field = q->FieldByName(field_);
                value = field.AsString();
                bytes = field.AsBytes();
            }
            if (!RtfRead(bytes, document()))
                PlainTextRead(bytes, document());
            shownValue_ = value;
        } catch (const std::exception&) {
            ShowReadFailure();
        }
        document()->clearUndoRedoStacks();
        document()->setModified(false);
        setTextCursor(QTextCursor(document()));
        UpdateReadOnly();
    }
    ShowSelections();
    lastAnchor_ = lastPosition_ = -1;
    CheckSelection();
    emit TextFlagsChanged();
}

void TDBRichEdit::ShowReadFailure() {
    readFailed_ = true;
    shownValue_.clear();
    document()->clear();
    const QTextCharFormat format = DefAttributes();
    QTextCursor cursor(document());
    cursor.setBlockCharFormat(format);
    cursor.insertText(ReadFailureText(), format);
}

void TDBRichEdit::ContentsChange() {
    if (!loading_ && !writing_ && !readFailed_ && Editing())
        WriteField();
}

bool TDBRichEdit::WriteField() {
    QScopedValueRollback guard(writing_, true);
    try {
        const QString value = QString::fromLatin1(RtfWrite(*document()));
        DataSet()->Fields(FieldIndex()).SetAsString(value);
        shownValue_ = value;
        writeFailed_ = false;
    } catch (const std::exception&) {
        writeFailed_ = true;
    }
    return !writeFailed_;
}

void TDBRichEdit::UpdateRecord() {
    source_->HandOver([this] {
        if (writeFailed_ && Editing() && !WriteField())
            throw EError(WriteFailureText());
    });
}

// ---------------------------------------------------------------------------
// Clipboard: label text travels as RTF, anything else arrives as plain text

bool TDBRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlternative) ||
           source->hasText();
}

void TDBRichEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly())
        return;
    QTextCursor cursor = textCursor();
    const QByteArray rtf = RtfOf(*source);
    if (!rtf.isEmpty()) {
        QTextDocument pasted;
        if (!RtfRead(rtf, &pasted))
            PlainTextRead(rtf, &pasted);
        FieldUnits::InsertFragment(cursor, pasted);
    } else if (source->hasText()) {
        QTextCharFormat format = cursor.charFormat();
        RichFormat::ClearField(format);
        // An object's stand-in character is no text.
        cursor.insertText(QString(source->text()).remove(QChar::ObjectReplacementCharacter),
                          format);
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

// Qt's own data lists only the formats it makes itself, so a reader asking for RTF would not
// see it; the copy holds them all as plain data.
QMimeData* TDBRichEdit::createMimeDataFromSelection() const {
    const std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    for (const QString& format : own->formats())
        data->setData(format, own->data(format));
    QTextDocument selected;
    QTextCursor(&selected).insertFragment(textCursor().selection());
    data->setData(kRtfMime, RtfWrite(selected));
    return data;
}
