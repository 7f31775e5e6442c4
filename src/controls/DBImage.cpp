#include "controls/DBImage.h"

#include "data/DataSource.h"
#include "data/Query.h"
#include "model/LabelPicture.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/StoredPicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

TDBImage::TDBImage(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TDBImage::SetDataSource(DataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_)
        connect(source_, &DataSource::DataChange, this, &TDBImage::DataChange);
    LoadFromField();
}

void TDBImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

int TDBImage::FieldIndex() const {
    Query* q = source_ ? source_->DataSet() : nullptr;
    return q && q->Active() ? q->FieldIndex(field_) : -1;
}

void TDBImage::DataChange(int fieldIndex) {
    if (fieldIndex < 0 || fieldIndex == FieldIndex())
        LoadFromField();
}

void TDBImage::LoadFromField() {
    const int index = FieldIndex();
    Query* q = source_ ? source_->DataSet() : nullptr;
    const QByteArray bytes =
        index >= 0 && !q->IsEmpty() ? q->Fields(index).AsBytes() : QByteArray();
    // Entering edit state and other notifications repeat the same value: decode it once.
    if (bytes == shownBytes_ && (bytes.isEmpty() == picture_.isNull()))
        return;
    shownBytes_ = bytes;
    QString error;
    picture_ = StoredPicture::Decode(bytes, &error);
    update();
    if (!error.isEmpty())
        Messages::ShowError(error, window());
}

void TDBImage::SetPicture(const QImage& picture) {
    const int index = FieldIndex();
    if (index < 0)
        throw EError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    Query* q = source_->DataSet();
    if (q->State() == DataSetState::Browse)
        q->Edit();
    picture_ = picture;
    shownBytes_ = StoredPicture::Encode(picture);
    q->Fields(index).SetValue(picture.isNull() ? QVariant() : QVariant(shownBytes_));
    update();
}

void TDBImage::CopyToClipboard() const {
    if (HasPicture())
        QGuiApplication::clipboard()->setImage(picture_);
}

bool TDBImage::PasteFromClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return false;
    SetPicture(qvariant_cast<QImage>(data->imageData()));
    return true;
}

void TDBImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawLabelPicture(p, picture_, rect(), stretch_);
}

void TDBImage::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(event);
    QWidget::mousePressEvent(event);
}
