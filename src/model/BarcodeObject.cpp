#include "model/BarcodeObject.h"

#include "platform/BarcodeText.h"
#include "platform/RichFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QTextDocument>

namespace {

// Every label of a merge has its own symbol; only so many are kept.
constexpr qsizetype kMaxKeptSymbols = 256;

double DotsPerMm(QTextDocument* doc) {
    const QPaintDevice* device = doc ? doc->documentLayout()->paintDevice() : nullptr;
    double dpi = 96;
    if (device)
        dpi = device->logicalDpiX();
    else if (qGuiApp && QGuiApplication::primaryScreen())
        dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    return dpi / 25.4;
}

} // namespace

void TBarcodeObject::Register(QTextDocument& doc) {
    doc.documentLayout()->registerHandler(BarcodeField::ObjectType, new TBarcodeObject(&doc));
}

std::optional<BarcodeField::TBarcodeField> TBarcodeObject::FieldOf(const QTextFormat& format) {
    auto field = BarcodeField::Parse(format.stringProperty(RichFormat::FieldInstructionProperty));
    if (field && format.hasProperty(BarcodeText::ResolvedDataProperty)) {
        field->data = format.stringProperty(BarcodeText::ResolvedDataProperty);
        field->merge = false;
    }
    return field;
}

const TBarcodeSymbol& TBarcodeObject::Symbol(const QTextFormat& format) {
    const QString key = format.stringProperty(RichFormat::FieldInstructionProperty) + u'\x1f' +
                        format.stringProperty(BarcodeText::ResolvedDataProperty);
    auto found = symbols_.constFind(key);
    if (found != symbols_.constEnd())
        return **found;
    if (symbols_.size() >= kMaxKeptSymbols)
        symbols_.clear();
    const auto field = FieldOf(format);
    const bool resolved = format.hasProperty(BarcodeText::ResolvedDataProperty);
    auto symbol = std::make_shared<const TBarcodeSymbol>(
        !field     ? Barcode::Encode(BarcodeField::TBarcodeField{})
        : resolved ? Barcode::Encode(*field)
                   : Barcode::EncodeForDesign(*field));
    symbols_.insert(key, symbol);
    return *symbol;
}

QSizeF TBarcodeObject::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) {
    return Symbol(format).size * DotsPerMm(doc);
}

void TBarcodeObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                const QTextFormat& format) {
    Barcode::Draw(*painter, Symbol(format), rect);
}
