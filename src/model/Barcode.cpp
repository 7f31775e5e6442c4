#include "model/Barcode.h"

#include "model/CustomerBarcode.h"
#include "model/MergeList.h"
#include "platform/BarcodeText.h"
#include "platform/Error.h"
#include "platform/RichFormat.h"

#include <QFont>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <zint.h>

namespace Barcode {

namespace {

constexpr double kMmPerTwip = 25.4 / 1440;
// zint's vector output has two units to a module.
constexpr double kUnitsPerModule = 2;

// The customer barcode at the manual's 10-point scale: bar width and pitch, bar lengths.
constexpr double kPostBarMm = 0.6;
constexpr double kPostPitchMm = 1.2;
constexpr double kPostLongMm = 3.6;
constexpr double kPostHalfMm = 2.4;
constexpr double kPostTimingMm = 1.2;
// The manual allows the 8 to 11.5 point scales.
constexpr int kPostMinPercent = 80;
constexpr int kPostMaxPercent = 115;
constexpr int kMinPercent = 10;
constexpr int kMaxPercent = 1000;

struct TypeRule {
    const char* name;
    const char* alias;
    int symbology;      // data without its check digit, or any data
    int checkSymbology; // data with its check digit; 0 when the type has none
    int plainLength;    // digits without the check digit; 0 for free data
    double moduleMm;    // the module (X) at 100 %
    double heightMm;    // bar height at 100 %; 0 for matrix symbols
};

constexpr TypeRule kRules[] = {
    {"QR", nullptr, BARCODE_QRCODE, 0, 0, 0.5, 0},
    {"CODE128", nullptr, BARCODE_CODE128, 0, 0, 0.254, 10},
    {"CODE39", nullptr, BARCODE_CODE39, 0, 0, 0.254, 10},
    {"JAN13", "EAN13", BARCODE_EANX, BARCODE_EANX_CHK, 12, 0.33, 22.85},
    {"JAN8", "EAN8", BARCODE_EANX, BARCODE_EANX_CHK, 7, 0.33, 18.23},
    {"ITF14", "CASE", BARCODE_ITF14, 0, 13, 1.016, 32},
    {"NW7", nullptr, BARCODE_CODABAR, 0, 0, 0.254, 10},
    {"UPCA", nullptr, BARCODE_UPCA, BARCODE_UPCA_CHK, 11, 0.33, 22.85},
    {"UPCE", nullptr, BARCODE_UPCE, BARCODE_UPCE_CHK, 7, 0.33, 22.85},
};

const TypeRule* RuleOf(const QString& type) {
    for (const TypeRule& rule : kRules)
        if (type == QLatin1String(rule.name) || (rule.alias && type == QLatin1String(rule.alias)))
            return &rule;
    return nullptr;
}

bool AllDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The GS1 check digit of the digits before it.
bool GoodCheckDigit(const QString& digits) {
    int sum = 0;
    for (qsizetype i = digits.size() - 1, weight = 3; i-- > 0; weight = 4 - weight)
        sum += digits.at(i).digitValue() * static_cast<int>(weight);
    return (10 - sum % 10) % 10 == digits.back().digitValue();
}

QString ZintReason(int result, const char* detail) {
    QString reason;
    switch (result) {
    case ZINT_ERROR_TOO_LONG:
        reason = QStringLiteral("データが長すぎます");
        break;
    case ZINT_ERROR_INVALID_DATA:
        reason = QStringLiteral("この種類では使えない文字があります");
        break;
    case ZINT_ERROR_INVALID_CHECK:
        reason = QStringLiteral("チェックデジットが正しくありません");
        break;
    default:
        reason = QStringLiteral("バーコードを作れません");
    }
    return reason + QStringLiteral("（%1）").arg(QString::fromUtf8(detail));
}

struct ZintDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// Digit-only types: the right number of digits, with or without the check digit.
QString CheckDigits(const TypeRule& rule, const QString& data, int* symbology) {
    *symbology = rule.symbology;
    if (rule.plainLength == 0)
        return {};
    const bool withCheck = data.size() == rule.plainLength + 1;
    if (!AllDigits(data) || (data.size() != rule.plainLength && !withCheck &&
                             !(rule.symbology == BARCODE_UPCE && data.size() == 6)))
        return QStringLiteral("%1 は %2 桁か %3 桁の数字です")
            .arg(QLatin1String(rule.name))
            .arg(rule.plainLength)
            .arg(rule.plainLength + 1);
    if (withCheck && rule.checkSymbology == 0 && !GoodCheckDigit(data))
        return QStringLiteral("チェックデジットが正しくありません");
    if (withCheck && rule.checkSymbology != 0)
        *symbology = rule.checkSymbology;
    return {};
}

QByteArray ZintData(const TypeRule& rule, const QString& data) {
    if (rule.symbology == BARCODE_ITF14 && data.size() == rule.plainLength + 1)
        return data.left(rule.plainLength).toLatin1(); // checked above; zint adds it again
    if (rule.symbology == BARCODE_CODABAR && !QStringLiteral("ABCD").contains(data.at(0).toUpper()))
        return "A" + data.toUtf8() + "A";
    return data.toUtf8();
}

void CollectVector(const zint_vector& vector, double mmPerUnit, TBarcodeSymbol& symbol) {
    symbol.unrotated = QSizeF(vector.width, vector.height) * mmPerUnit;
    for (const zint_vector_rect* r = vector.rectangles; r; r = r->next)
        if (r->colour == -1 || r->colour == 7) // foreground or black
            symbol.bars.push_back(QRectF(r->x * mmPerUnit, r->y * mmPerUnit, r->width * mmPerUnit,
                                         r->height * mmPerUnit));
    for (const zint_vector_string* s = vector.strings; s; s = s->next)
        symbol.texts.push_back(
            {QPointF(s->x, s->y) * mmPerUnit, s->fsize * mmPerUnit, s->halign,
             QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length)});
}

void EncodeWithZint(const TypeRule& rule, const BarcodeField::TBarcodeField& field,
                    TBarcodeSymbol& symbol) {
    int type = 0;
    symbol.error = CheckDigits(rule, field.data, &type);
    if (!symbol.error.isEmpty())
        return;
    const std::unique_ptr<zint_symbol, ZintDeleter> z(ZBarcode_Create());
    if (!z) {
        symbol.error = QStringLiteral("バーコードを作れません");
        return;
    }
    const double module = rule.moduleMm * field.scalePercent / 100.0;
    z->symbology = type;
    z->input_mode = UNICODE_MODE;
    z->show_hrt = field.showText ? 1 : 0;
    z->output_options |= BARCODE_QUIET_ZONES;
    if (rule.symbology == BARCODE_QRCODE)
        z->option_1 = field.qrLevel + 1;
    // Readers want more than the least quiet zone inside the bearer frame.
    if (rule.symbology == BARCODE_ITF14)
        z->whitespace_width = 4;
    if (rule.heightMm > 0)
        z->height =
            static_cast<float>((field.heightTwips > 0 ? field.heightTwips * kMmPerTwip
                                                      : rule.heightMm * module / rule.moduleMm) /
                               module);
    const QByteArray data = ZintData(rule, field.data);
    const int result = ZBarcode_Encode_and_Buffer_Vector(
        z.get(), reinterpret_cast<const unsigned char*>(data.constData()),
        static_cast<int>(data.size()), 0);
    if (result >= ZINT_ERROR || !z->vector) {
        symbol.error = ZintReason(result, z->errtxt);
        return;
    }
    CollectVector(*z->vector, module / kUnitsPerModule, symbol);
}

void EncodeCustomerBarcode(const BarcodeField::TBarcodeField& field, TBarcodeSymbol& symbol) {
    if (field.scalePercent < kPostMinPercent || field.scalePercent > kPostMaxPercent) {
        symbol.error = QStringLiteral("カスタマバーコードの大きさは %1～%2 % です")
                           .arg(kPostMinPercent)
                           .arg(kPostMaxPercent);
        return;
    }
    const CustomerBarcode::TCustomerCode code = CustomerBarcode::Encode(field.data);
    symbol.error = code.error;
    if (!symbol.error.isEmpty())
        return;
    const double scale = field.scalePercent / 100.0;
    // A quiet zone of 2 mm on every side, as the manual asks.
    const double quiet = 2 * scale;
    for (std::size_t i = 0; i < code.bars.size(); ++i) {
        const CustomerBarcode::Bar bar = code.bars[i];
        const double top = bar == CustomerBarcode::Bar::Long || bar == CustomerBarcode::Bar::Upper
                               ? 0
                               : kPostLongMm - kPostHalfMm;
        const double height = bar == CustomerBarcode::Bar::Long     ? kPostLongMm
                              : bar == CustomerBarcode::Bar::Timing ? kPostTimingMm
                                                                    : kPostHalfMm;
        const double y = bar == CustomerBarcode::Bar::Timing ? kPostTimingMm : top;
        symbol.bars.push_back(QRectF(quiet + i * kPostPitchMm * scale, quiet + y * scale,
                                     kPostBarMm * scale, height * scale));
    }
    symbol.unrotated =
        QSizeF(2 * quiet + ((code.bars.size() - 1) * kPostPitchMm + kPostBarMm) * scale,
               2 * quiet + kPostLongMm * scale);
}

} // namespace

TBarcodeSymbol Encode(const BarcodeField::TBarcodeField& field) {
    TBarcodeSymbol symbol;
    symbol.rotation = field.rotation;
    const TypeRule* rule = RuleOf(field.type);
    if (field.data.isEmpty())
        symbol.error = QStringLiteral("データがありません");
    else if (field.scalePercent < kMinPercent || field.scalePercent > kMaxPercent)
        symbol.error = QStringLiteral("倍率は %1～%2 % です").arg(kMinPercent).arg(kMaxPercent);
    else if (field.type == QLatin1String("JPPOST"))
        EncodeCustomerBarcode(field, symbol);
    else if (!rule)
        symbol.error = QStringLiteral("種類「%1」のバーコードには対応していません").arg(field.type);
    else
        EncodeWithZint(*rule, field, symbol);
    if (!symbol.error.isEmpty()) {
        symbol.bars.clear();
        symbol.texts.clear();
        symbol.unrotated = QSizeF(ErrorWidthMm, ErrorHeightMm);
        symbol.rotation = 0;
    }
    symbol.size = symbol.rotation % 2 ? symbol.unrotated.transposed() : symbol.unrotated;
    return symbol;
}

namespace {

// A box with a message in place of the bars: red for data that cannot be encoded.
void DrawBox(QPainter& painter, const QString& text, const QRectF& target, const QColor& colour) {
    painter.save();
    painter.fillRect(target, colour.lighter(190));
    QPen pen(colour);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawRect(target);
    QFont font(RichFormat::DefaultFaceName());
    font.setPixelSize(std::max(1, static_cast<int>(target.height() / 5)));
    painter.setFont(font);
    painter.drawText(target.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.restore();
}

} // namespace

TBarcodeSymbol EncodeForDesign(const BarcodeField::TBarcodeField& field) {
    if (BarcodeField::ColumnNames(field).isEmpty())
        return Encode(field);
    TBarcodeSymbol symbol;
    symbol.pending = BarcodeField::PlainText(field) + u' ' + field.type;
    symbol.size = symbol.unrotated = QSizeF(ErrorWidthMm, ErrorHeightMm);
    return symbol;
}

void Draw(QPainter& painter, const TBarcodeSymbol& symbol, const QRectF& target) {
    if (!symbol.error.isEmpty() || !symbol.pending.isEmpty()) {
        DrawBox(painter, symbol.error.isEmpty() ? symbol.pending : symbol.error, target,
                symbol.error.isEmpty() ? QColor(110, 110, 110) : QColor(220, 0, 0));
        return;
    }
    if (symbol.size.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / symbol.size.width(), target.height() / symbol.size.height());
    const QSizeF u = symbol.unrotated;
    const QPointF origins[] = {{0, 0}, {u.height(), 0}, {u.width(), u.height()}, {0, u.width()}};
    painter.translate(origins[symbol.rotation % 4]);
    painter.rotate(90.0 * (symbol.rotation % 4));
    painter.fillRect(QRectF(QPointF(), u), Qt::white);
    for (const QRectF& bar : symbol.bars)
        painter.fillRect(bar, Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    constexpr double kFontPixels = 100;
    font.setPixelSize(static_cast<int>(kFontPixels));
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const TBarcodeSymbol::Text& text : symbol.texts) {
        painter.save();
        painter.translate(text.baseline);
        painter.scale(text.height / kFontPixels, text.height / kFontPixels);
        const double width = painter.fontMetrics().horizontalAdvance(text.text);
        const double x = text.align == 1 ? 0 : text.align == 2 ? -width : -width / 2;
        painter.drawText(QPointF(x, 0), text.text);
        painter.restore();
    }
    painter.restore();
}

void CheckPrintable(const QTextDocument& doc, const MergeList* list, int firstRow, int lastRow,
                    const QString& designName) {
    if (!list)
        firstRow = lastRow = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const auto field = BarcodeText::IsObject(format)
                                   ? BarcodeField::Parse(RichFormat::FieldInstruction(format))
                                   : std::nullopt;
            if (!field)
                continue;
            for (int row = firstRow; row <= lastRow; ++row) {
                const auto value = [&](const QString& name) {
                    const int column = list ? list->ColumnIndex(name) : -1;
                    return column < 0 ? QString() : list->rows.at(row).at(column);
                };
                const TBarcodeSymbol symbol = Encode(BarcodeField::Resolved(*field, value));
                if (symbol.error.isEmpty())
                    continue;
                QString message = QStringLiteral("「%1」のバーコード（%2）を印刷できません: %3")
                                      .arg(designName, field->type, symbol.error);
                if (list)
                    message += QStringLiteral("（差し込みデータの %1 件目）").arg(row + 1);
                throw EError(message);
            }
        }
    }
}

} // namespace Barcode
