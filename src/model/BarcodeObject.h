#pragma once

#include "model/Barcode.h"

#include <QHash>
#include <QObject>
#include <QTextObjectInterface>
#include <memory>

class QTextDocument;

// Lays out and draws the barcode objects of one document, in the editor and on the page alike.
// Owned by the document it is registered with.
class TBarcodeObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    static void Register(QTextDocument& doc);

    // The field of an object, with the data a merge row gave it.
    static std::optional<BarcodeField::TBarcodeField> FieldOf(const QTextFormat& format);

    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;

    const TBarcodeSymbol& Symbol(const QTextFormat& format);

  private:
    using QObject::QObject;
    QHash<QString, std::shared_ptr<const TBarcodeSymbol>> symbols_;
};
