#include "platform/BarcodeField.h"

#include "platform/MergeField.h"

#include <algorithm>

namespace BarcodeField {

namespace {

const QString kDisplay = QStringLiteral("DISPLAYBARCODE");
const QString kMerge = QStringLiteral("MERGEBARCODE");

bool IsBlank(QChar c) {
    return c.isSpace() || c == QChar(0x3000);
}

// Reads the instruction's tokens: a quoted token runs to its closing quote (\" is a quote, and
// quotes inside a nested {field} do not end it), a bare one to the next blank.
class Tokens {
  public:
    explicit Tokens(const QString& text) : text_(text) {}

    std::optional<QString> Next() {
        while (i_ < text_.size() && IsBlank(text_.at(i_)))
            ++i_;
        if (i_ >= text_.size())
            return std::nullopt;
        QString token;
        if (text_.at(i_) != u'"') {
            while (i_ < text_.size() && !IsBlank(text_.at(i_)))
                token += text_.at(i_++);
            return token;
        }
        int depth = 0;
        for (++i_; i_ < text_.size(); ++i_) {
            const QChar c = text_.at(i_);
            if (c == u'"' && depth == 0)
                break;
            if (c == u'\\' && depth == 0 && i_ + 1 < text_.size() && text_.at(i_ + 1) == u'"')
                ++i_;
            depth += c == u'{' ? 1 : (c == u'}' && depth > 0 ? -1 : 0);
            token += text_.at(i_);
        }
        ++i_;
        return token;
    }

  private:
    const QString& text_;
    qsizetype i_ = 0;
};

bool StartsWithKeyword(const QString& text, const QString& keyword) {
    return text.startsWith(keyword, Qt::CaseInsensitive) &&
           (text.size() == keyword.size() || IsBlank(text.at(keyword.size())));
}

// Switches that take no argument; every other one takes the token after it.
bool IsFlag(QChar name) {
    return name == u't' || name == u'd' || name == u'a' || name == u'x';
}

void ApplySwitch(TBarcodeField& field, QChar name, const QString& argument) {
    bool ok = false;
    const int value = argument.toInt(&ok);
    if (name == u't')
        field.showText = true;
    if (!ok)
        return;
    if (name == u'h')
        field.heightTwips = std::max(0, value);
    else if (name == u's')
        field.scalePercent = value;
    else if (name == u'q')
        field.qrLevel = std::clamp(value, 0, 3);
    else if (name == u'r')
        field.rotation = ((value % 4) + 4) % 4;
}

QString Quoted(const QString& text) {
    QString quoted;
    int depth = 0;
    for (const QChar c : text) {
        if (c == u'"' && depth == 0)
            quoted += u'\\';
        depth += c == u'{' ? 1 : (c == u'}' && depth > 0 ? -1 : 0);
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

} // namespace

QStringList Types() {
    return {QStringLiteral("QR"),    QStringLiteral("CODE128"), QStringLiteral("CODE39"),
            QStringLiteral("JAN13"), QStringLiteral("JAN8"),    QStringLiteral("ITF14"),
            QStringLiteral("NW7"),   QStringLiteral("UPCA"),    QStringLiteral("UPCE"),
            QStringLiteral("JPPOST")};
}

bool IsBarcode(const QString& instruction) {
    const QString text = instruction.trimmed();
    return StartsWithKeyword(text, kDisplay) || StartsWithKeyword(text, kMerge);
}

std::optional<TBarcodeField> Parse(const QString& instruction) {
    const QString text = instruction.trimmed();
    if (!IsBarcode(text))
        return std::nullopt;
    TBarcodeField field;
    field.merge = StartsWithKeyword(text, kMerge);
    const QString rest = text.mid((field.merge ? kMerge : kDisplay).size());
    Tokens tokens(rest);
    const auto data = tokens.Next();
    const auto type = tokens.Next();
    if (!data || data->isEmpty() || !type || type->startsWith(u'\\'))
        return std::nullopt;
    field.data = *data;
    field.type = type->toUpper();
    for (auto token = tokens.Next(); token; token = tokens.Next()) {
        if (token->size() < 2 || token->at(0) != u'\\')
            continue;
        const QChar name = token->at(1).toLower();
        QString argument = token->mid(2);
        if (argument.isEmpty() && !IsFlag(name))
            argument = tokens.Next().value_or(QString());
        ApplySwitch(field, name, argument);
    }
    return field;
}

QString Instruction(const TBarcodeField& field) {
    QString text = field.merge ? kMerge : kDisplay;
    const bool bare =
        !field.data.isEmpty() && std::none_of(field.data.begin(), field.data.end(), [](QChar c) {
            return IsBlank(c) || c == u'"' || c == u'\\' || c == u'{';
        });
    text += u' ' + (bare ? field.data : Quoted(field.data)) + u' ' + field.type;
    if (field.heightTwips > 0)
        text += QStringLiteral(" \\h %1").arg(field.heightTwips);
    if (field.scalePercent != 100)
        text += QStringLiteral(" \\s %1").arg(field.scalePercent);
    if (field.qrLevel != 0)
        text += QStringLiteral(" \\q %1").arg(field.qrLevel);
    if (field.showText)
        text += QStringLiteral(" \\t");
    if (field.rotation != 0)
        text += QStringLiteral(" \\r %1").arg(field.rotation);
    return text;
}

std::vector<Piece> Pieces(const QString& text) {
    std::vector<Piece> pieces;
    QString literal;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype close = text.at(i) == u'{' ? text.indexOf(u'}', i) : -1;
        if (close < 0) {
            literal += text.at(i);
            continue;
        }
        if (!literal.isEmpty())
            pieces.push_back({literal, false});
        literal.clear();
        pieces.push_back({text.mid(i + 1, close - i - 1).trimmed(), true});
        i = close;
    }
    if (!literal.isEmpty())
        pieces.push_back({literal, false});
    return pieces;
}

QString PlainText(const TBarcodeField& field) {
    if (field.merge)
        return MergeField::Placeholder(field.data);
    QString text;
    for (const Piece& piece : Pieces(field.data))
        text += piece.nested ? MergeField::Placeholder(MergeField::NameOf(piece.text)) : piece.text;
    return text;
}

QStringList ColumnNames(const TBarcodeField& field) {
    if (field.merge)
        return {field.data};
    QStringList names;
    for (const Piece& piece : Pieces(field.data)) {
        const QString name = piece.nested ? MergeField::NameOf(piece.text) : QString();
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

TBarcodeField Resolved(const TBarcodeField& field,
                       const std::function<QString(const QString&)>& value) {
    TBarcodeField resolved = field;
    resolved.merge = false;
    if (field.merge) {
        resolved.data = value(field.data);
        return resolved;
    }
    resolved.data.clear();
    for (const Piece& piece : Pieces(field.data))
        resolved.data += piece.nested ? value(MergeField::NameOf(piece.text)) : piece.text;
    return resolved;
}

} // namespace BarcodeField
