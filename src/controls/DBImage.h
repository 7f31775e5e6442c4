#pragma once

#include "data/DataSource.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

class DataSource;
class QMouseEvent;
class Query;

// Data-aware picture control: shows a bitmap field, centred at its own size or stretched.
class TDBImage : public QWidget {
    Q_OBJECT
  public:
    explicit TDBImage(QWidget* parent = nullptr);

    void SetDataSource(DataSource* source);
    void SetDataField(const QString& field) { field_ = field; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    // Screen pixels per picture pixel when the picture is drawn at its own size.
    void SetScale(double scale);

    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }
    // Changes the picture of the record, putting it into edit state first; raises when the
    // record cannot be edited.
    void SetPicture(const QImage& picture);
    void ClearPicture() { SetPicture(QImage()); }

    // The program's own clipboard format, offered beside the bitmap.
    static QString PrivateFormat();
    // Whether the clipboard holds a bitmap, the program's own format or a metafile picture.
    static bool ClipboardHasPicture();
    void CopyToClipboard() const;
    // Copies the picture and removes it, once the record is in edit state.
    void CutToClipboard();
    // The clipboard's bitmap becomes the picture (its transparent parts white); false when
    // the clipboard holds no bitmap.
    bool PasteFromClipboard();

    std::function<void(QMouseEvent*)> OnMouseDown;

  signals:
    // The record is in edit state and its picture is about to be replaced.
    void PictureChanging();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void DataChange(int fieldIndex);
    void LoadFromField();
    int FieldIndex() const;
    // The data set, in edit state; raises when it is closed or read-only.
    Query& EditRecord();

    QPointer<DataSource> source_;
    QString field_;
    QImage picture_;
    QByteArray shownBytes_;
    bool stretch_ = false;
    double scale_ = 1.0;
};
