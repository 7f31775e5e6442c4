#pragma once

#include "data/DataSource.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

class DataSource;
class QMouseEvent;

// Data-aware picture control: shows a bitmap field, centred at its own size or stretched.
class TDBImage : public QWidget {
    Q_OBJECT
  public:
    explicit TDBImage(QWidget* parent = nullptr);

    void SetDataSource(DataSource* source);
    void SetDataField(const QString& field) { field_ = field; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }
    // Changes the picture of the record, putting it into edit state first.
    void SetPicture(const QImage& picture);
    void ClearPicture() { SetPicture(QImage()); }
    void CopyToClipboard() const;
    // The clipboard's bitmap becomes the picture; false when there is none.
    bool PasteFromClipboard();

    std::function<void(QMouseEvent*)> OnMouseDown;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void DataChange(int fieldIndex);
    void LoadFromField();
    int FieldIndex() const;

    QPointer<DataSource> source_;
    QString field_;
    QImage picture_;
    QByteArray shownBytes_;
    bool stretch_ = false;
};
