#pragma once

#include "data/DataSource.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTextEdit>
#include <functional>

class Query;

// The label text editor: rich text bound to one field of a data source that stores it as RTF.
// It is read-only while the record is browsed; typing puts the record into edit state, and
// while the record is edited every change is written into the field, so a post stores it.
class TDBRichEdit : public QTextEdit {
    Q_OBJECT
  public:
    explicit TDBRichEdit(QWidget* parent = nullptr);

    static QString Hint();
    // Shown in place of a text that could not be read.
    static QString ReadFailureText();
    // Raised when the text cannot be stored, which stops the post.
    static QString WriteFailureText();

    void SetDataSource(DataSource* source);
    DataSource* GetDataSource() const { return source_; }
    void SetDataField(const QString& name);
    const QString& DataField() const { return field_; }
    // The right-click menu; without one the editor's own menu shows.
    void SetPopupMenu(QMenu* menu) { popup_ = menu; }

    // The selection as start and length in characters, whichever way it was made.
    int SelStart() const;
    int SelLength() const;
    void SetSelection(int start, int length);

    // Attributes of the first selected character; with nothing selected, those of the text
    // typed next.
    QTextCharFormat SelAttributes() const;
    // The format of text nobody formatted: "ＭＳ Ｐゴシック" 10 point, automatic colour.
    static QTextCharFormat DefAttributes();
    // Changes each selected character's own attributes, so characters that differ keep what
    // the change leaves alone; with nothing selected, the attributes of the text typed next.
    void ChangeSelAttributes(const std::function<void(QTextCharFormat&)>& change);
    // Horizontal alignment of the first selected paragraph: left, centre or right.
    Qt::Alignment SelAlignment() const;
    // Aligns every paragraph the selection touches, or the caret's paragraph.
    void SetSelAlignment(Qt::Alignment alignment);

    // Puts the record into edit state with the selection as it was; raises when the record
    // cannot be edited.
    void EditKeepSelection();
    // A setting of the whole text (TextFlow's vertical flow, kanji numerals): read, or set as
    // an edit of the record, so a post stores it with the text.
    bool TextFlag(int property) const;
    void SetTextFlag(int property, bool on);
    // Puts a merge field for the column in place of the selection; raises as EditKeepSelection.
    void InsertMergeField(const QString& name);
    // Opens the barcode dialog and puts the barcode in place of the selection; raises as
    // EditKeepSelection. The dialog offers the columns BarcodeColumns gives.
    void InsertBarcode();
    std::function<QStringList()> BarcodeColumns;
    // Writes a text whose last writing failed; raises EError(WriteFailureText()) when it fails
    // again. Runs before every post of the record.
    void UpdateRecord();
    // The field could not be read: the failure text shows and the editor stays read-only.
    bool ReadFailed() const { return readFailed_; }

    // The label's edge, in logical pixels from the text's origin, drawn as a thin outline over
    // the text; paragraphs are aligned within it. An empty rectangle shows no outline.
    void SetLabelOutline(const QRectF& outline);
    const QRectF& LabelOutline() const { return outline_; }
    // The outline where it is drawn now, in viewport pixels.
    QRectF ShownLabelOutline() const;

    // Magnification in percent (50 to 400): text and outline are drawn larger or smaller, and
    // nothing stored changes. Ctrl+wheel and Ctrl++ / Ctrl+- step through ZoomSteps().
    static const QList<int>& ZoomSteps();
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    void ZoomBy(int steps);

  signals:
    // The caret moved, the selection changed, or another text was loaded.
    void SelectionChange();
    void ZoomChanged(int percent);
    void LabelOutlineChanged();
    void TextFlagsChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // On a barcode: reopens its dialog.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

  private:
    // The barcode dialog for a new barcode (position < 0) or the one at position.
    void EditBarcode(int position);
    Query* DataSet() const;
    int FieldIndex() const;
    bool Editing() const;
    bool CanStartEditing() const;
    bool StartEditing();
    void DataChange(int fieldIndex);
    bool ShowsFieldValue() const;
    void LoadFromField();
    void ShowReadFailure();
    void ContentsChange();
    bool WriteField();
    void UpdateReadOnly();
    void SnapOutOfFields(bool forward);
    void KeepTypingOutOfFields();
    void CheckSelection();
    // Field shades, and the covers under which bold runs are drawn again as they print.
    void ShowSelections();
    void DrawBoldRuns(QPainter& painter);

    QPointer<DataSource> source_;
    QString field_;
    QPointer<QMenu> popup_;
    // The field value the text was loaded from or last written as.
    QString shownValue_;
    bool loading_ = false;
    bool writing_ = false;
    bool readFailed_ = false;
    bool writeFailed_ = false;
    void UpdateTextWidth();

    QRectF outline_;
    int zoom_ = 100;
    // Fonts are measured at the zoomed resolution through this device.
    QImage zoomDevice_{1, 1, QImage::Format_RGB32};
    int lastAnchor_ = -1;
    int lastPosition_ = -1;
};
