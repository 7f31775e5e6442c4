#include "controls/DBImage.h"

#include "data/DataSource.h"
#include "data/Query.h"
#include "model/LabelPicture.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/PictureSize.h"
#include "platform/StoredPicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

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

Query& TDBImage::EditRecord() {
    if (FieldIndex() < 0)
        throw EError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    Query& q = *source_->DataSet();
    if (q.State() == DataSetState::Browse)
        q.Edit();
    return q;
}

void TDBImage::SetPicture(const QImage& picture) {
    Query& q = EditRecord();
    emit PictureChanging();
    picture_ = picture;
    shownBytes_ = StoredPicture::Encode(picture);
    q.Fields(FieldIndex()).SetValue(picture.isNull() ? QVariant() : QVariant(shownBytes_));
    update();
}

QString TDBImage::PrivateFormat() {
    return QStringLiteral("application/x-tavrel-picture");
}

bool TDBImage::ClipboardHasPicture() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    static const QStringList metafiles{QStringLiteral("image/x-wmf"), QStringLiteral("image/wmf"),
                                       QStringLiteral("image/x-emf"), QStringLiteral("image/emf")};
    const QStringList formats = data->formats();
    return data->hasImage() || formats.contains(PrivateFormat()) ||
           std::any_of(metafiles.begin(), metafiles.end(),
                       [&formats](const QString& f) { return formats.contains(f); });
}

void TDBImage::CopyToClipboard() const {
    if (!HasPicture())
        return;
    auto* data = new QMimeData;
    data->setImageData(picture_);
    data->setData(PrivateFormat(), {});
    QGuiApplication::clipboard()->setMimeData(data);
}

void TDBImage::CutToClipboard() {
    if (!HasPicture())
        return;
    EditRecord();
    CopyToClipboard();
    ClearPicture();
}

bool TDBImage::PasteFromClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return false;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return false;
    EditRecord();
    PictureSize::Check(image.width(), image.height());
    if (!image.hasAlphaChannel()) {
        SetPicture(image);
        return true;
    }
    QImage onWhite(image.size(), QImage::Format_RGB32); // bitmaps have no transparency
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, image);
    SetPicture(onWhite);
    return true;
}

void TDBImage::SetScale(double scale) {
    scale_ = scale > 0 ? scale : 1.0;
    update();
}

void TDBImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawLabelPicture(p, picture_, rect(), stretch_, scale_);
}

void TDBImage::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(event);
    QWidget::mousePressEvent(event);
}
