#include "platform/RtfWriter.h"

#include "platform/BarcodeField.h"
#include "platform/BarcodeText.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/SjisCodec.h"
#include "platform/TextFlow.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace {

struct FontEntry {
    QString face;
    int charset;
    int pitch;
};

enum class Align { Left, Center, Right, Justify };

// What has been written for the characters so far; -1 forces the first \f and \fs out.
struct RunAttributes {
    int font = -1;
    int halfPoints = -1;
    int color = 0;
    int offsetHalfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

// Which field a piece of text is the result of; text outside fields has none.
struct FieldKey {
    bool inField = false;
    int id = 0;
    QString instruction;
    bool operator==(const FieldKey&) const = default;
};

FieldKey FieldOf(const QTextCharFormat& format) {
    if (!RichFormat::IsField(format))
        return {};
    return {true, RichFormat::FieldId(format), RichFormat::FieldInstruction(format)};
}

// A barcode object is written as its plain-text form, which other readers show.
QString ResultText(const QTextFragment& fragment) {
    if (!BarcodeText::IsObject(fragment.charFormat()))
        return fragment.text();
    const auto field = BarcodeField::Parse(RichFormat::FieldInstruction(fragment.charFormat()));
    return field ? BarcodeField::PlainText(*field).repeated(fragment.length()) : QString();
}

QString FaceOf(const QTextCharFormat& format) {
    const QString face = RichFormat::FaceName(format);
    return face.isEmpty() ? RichFormat::DefaultFaceName() : face;
}

int HalfPointsOf(const QTextCharFormat& format) {
    const qreal points =
        format.fontPointSize() > 0 ? format.fontPointSize() : RichFormat::DefaultPointSize;
    return std::clamp(qRound(points * 2), 2 * RichFormat::MinPointSize,
                      2 * RichFormat::MaxPointSize);
}

Align AlignOf(const QTextBlock& block) {
    const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        return Align::Center;
    if (align & Qt::AlignJustify)
        return Align::Justify;
    if (align & (Qt::AlignRight | Qt::AlignTrailing))
        return Align::Right;
    return Align::Left;
}

// Calls visit with the format of every piece of text, and of every empty paragraph's mark.
template <typename Visit> void ForEachFormat(const QTextBlock& block, Visit visit) {
    if (block.length() <= 1) {
        visit(block.charFormat());
        return;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().isValid())
            visit(it.fragment().charFormat());
}

// Shift-JIS bytes that read back as exactly this text; the code page also takes a few
// look-alikes one way only (U+301C becomes U+FF5E), and those must go out as \uN instead.
bool EncodeExactly(QStringView text, QByteArray* bytes) {
    bool ok = false;
    const QString original = text.toString();
    *bytes = Sjis::TryEncode(original, &ok);
    return ok && Sjis::Decode(*bytes) == original;
}

// Characters that end a stretch of Shift-JIS text and are written on their own.
bool IsSpecial(char16_t c) {
    return c < 0x80 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
           c == QChar::ObjectReplacementCharacter;
}

class Writer {
  public:
    explicit Writer(const QTextDocument& doc) : doc_(doc) {}
    QByteArray write();

  private:
    void collectTables();
    int fontIndex(const QTextCharFormat& format);
    int colorIndex(const QTextCharFormat& format);

    void writeFontTable();
    void writeColorTable();
    void writeDocumentProperties();
    void writeBlock(const QTextBlock& block, bool first);
    void writeAlignment(Align align, bool first);
    void writeAttributes(const QTextCharFormat& format);
    void openField(const QTextCharFormat& format);
    void closeField();
    void writeInstruction(const QString& instruction, bool shiftJis);
    void writeText(const QString& text, bool shiftJis);
    void writeAscii(char c);
    void writeForeign(QStringView text, bool shiftJis);
    void writeHex(const QByteArray& bytes);
    void writeUnicode(QStringView units);

    void word(const char* name);
    void word(const char* name, int value);
    void raw(const char* text) { out_.append(text); }
    void lineBreak();

    const QTextDocument& doc_;
    QByteArray out_;
    bool needDelimiter_ = false;
    std::vector<FontEntry> fonts_;
    std::vector<QRgb> colors_;
    RunAttributes last_;
    RunAttributes outsideField_; // what holds again after a field's groups close
    Align align_ = Align::Left;
};

QByteArray Writer::write() {
    collectTables();
    out_.reserve(256 + doc_.characterCount() * 8);
    raw("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041");
    writeFontTable();
    lineBreak();
    if (!colors_.empty()) {
        writeColorTable();
        lineBreak();
    }
    writeDocumentProperties();
    raw("\\viewkind4\\uc1");
    // A section's text flow, as word processors keep a vertical East Asian text.
    if (TextFlow::IsVertical(doc_))
        raw("\\sectd\\stextflow1");
    raw("\\pard");
    bool first = true;
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
        writeBlock(block, first);
        first = false;
    }
    raw("}");
    lineBreak();
    return out_;
}

// Options of the design as a document property that word processors keep and older readers skip.
void Writer::writeDocumentProperties() {
    if (!TextFlow::KanjiNumerals(doc_))
        return;
    raw("{\\*\\userprops{\\propname KanjiNumerals}\\proptype11{\\staticval 1}}");
    lineBreak();
}

void Writer::collectTables() {
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next())
        ForEachFormat(block, [this](const QTextCharFormat& format) {
            fontIndex(format);
            colorIndex(format);
        });
    if (fonts_.empty())
        fontIndex(RichFormat::DefaultCharFormat());
}

// The same face under two character sets is two fonts, as the control keeps them.
int Writer::fontIndex(const QTextCharFormat& format) {
    const QString face = FaceOf(format);
    const int charset = RichFormat::CharSet(format);
    const auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const FontEntry& font) {
        return font.charset == charset && font.face == face;
    });
    if (it != fonts_.end())
        return static_cast<int>(it - fonts_.begin());
    fonts_.push_back({face, charset, RichFormat::PitchOf(format)});
    return static_cast<int>(fonts_.size()) - 1;
}

// 0 is the automatic colour, the empty first entry of the colour table.
int Writer::colorIndex(const QTextCharFormat& format) {
    const QColor color = RichFormat::TextColor(format);
    if (!color.isValid())
        return 0;
    const QRgb rgb = color.rgb();
    const auto it = std::find(colors_.begin(), colors_.end(), rgb);
    if (it != colors_.end())
        return static_cast<int>(it - colors_.begin()) + 1;
    colors_.push_back(rgb);
    return static_cast<int>(colors_.size());
}

void Writer::writeFontTable() {
    raw("{\\fonttbl");
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        raw("{");
        word("f", static_cast<int>(i));
        word("fnil");
        if (fonts_[i].pitch != RichFormat::DefaultPitch)
            word("fprq", fonts_[i].pitch);
        word("fcharset", fonts_[i].charset);
        raw(" ");
        needDelimiter_ = false;
        writeText(fonts_[i].face, fonts_[i].charset == RichFormat::ShiftJisCharSet);
        raw(";}");
    }
    raw("}");
}

void Writer::writeColorTable() {
    raw("{\\colortbl ;");
    for (const QRgb rgb : colors_) {
        word("red", qRed(rgb));
        word("green", qGreen(rgb));
        word("blue", qBlue(rgb));
        raw(";");
    }
    raw("}");
    needDelimiter_ = false;
}

void Writer::writeBlock(const QTextBlock& block, bool first) {
    writeAlignment(AlignOf(block), first);
    if (block.length() <= 1) {
        writeAttributes(block.charFormat());
    } else {
        FieldKey field;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const FieldKey key = FieldOf(fragment.charFormat());
            if (!(key == field)) {
                if (field.inField)
                    closeField();
                if (key.inField)
                    openField(fragment.charFormat());
                field = key;
            }
            writeAttributes(fragment.charFormat());
            writeText(ResultText(fragment),
                      RichFormat::CharSet(fragment.charFormat()) == RichFormat::ShiftJisCharSet);
        }
        if (field.inField)
            closeField();
    }
    word("par");
    lineBreak();
}

// Paragraph properties carry over until \pard, so only a change is written.
void Writer::writeAlignment(Align align, bool first) {
    if (align == align_)
        return;
    if (!first)
        word("pard");
    static const char* const names[] = {"ql", "qc", "qr", "qj"};
    if (align != Align::Left)
        word(names[static_cast<int>(align)]);
    align_ = align;
}

void Writer::writeAttributes(const QTextCharFormat& format) {
    RunAttributes now;
    now.font = fontIndex(format);
    now.halfPoints = HalfPointsOf(format);
    now.color = colorIndex(format);
    now.offsetHalfPoints = qRound(RichFormat::OffsetTwips(format) / 10.0);
    now.bold = RichFormat::IsBold(format);
    now.italic = format.fontItalic();
    now.underline = format.fontUnderline();
    now.strike = format.fontStrikeOut();

    if (now.color != last_.color)
        word("cf", now.color);
    if (now.bold != last_.bold)
        now.bold ? word("b") : word("b", 0);
    if (now.italic != last_.italic)
        now.italic ? word("i") : word("i", 0);
    if (now.underline != last_.underline)
        word(now.underline ? "ul" : "ulnone");
    if (now.strike != last_.strike)
        now.strike ? word("strike") : word("strike", 0);
    if (now.font != last_.font)
        word("f", now.font);
    if (now.halfPoints != last_.halfPoints)
        word("fs", now.halfPoints);
    if (now.offsetHalfPoints != last_.offsetHalfPoints)
        now.offsetHalfPoints < 0 ? word("dn", -now.offsetHalfPoints)
                                 : word("up", now.offsetHalfPoints);
    last_ = now;
}

// The instruction is written in the field's own font so that its bytes read back alike;
// attributes set inside the field's groups end with them.
void Writer::openField(const QTextCharFormat& format) {
    outsideField_ = last_;
    raw("{\\field{\\*\\fldinst");
    needDelimiter_ = true;
    writeAttributes(format);
    writeInstruction(RichFormat::FieldInstruction(format),
                     RichFormat::CharSet(format) == RichFormat::ShiftJisCharSet);
    raw("}{\\fldrslt");
    needDelimiter_ = true;
    last_ = outsideField_;
}

// A barcode's data may hold merge fields, written as fields nested in the instruction.
void Writer::writeInstruction(const QString& instruction, bool shiftJis) {
    if (!BarcodeField::IsBarcode(instruction)) {
        writeText(instruction, shiftJis);
        return;
    }
    for (const BarcodeField::Piece& piece : BarcodeField::Pieces(instruction)) {
        if (!piece.nested) {
            writeText(piece.text, shiftJis);
            continue;
        }
        raw("{\\field{\\*\\fldinst ");
        needDelimiter_ = false;
        writeText(piece.text, shiftJis);
        raw("}{\\fldrslt ");
        needDelimiter_ = false;
        writeText(MergeField::Placeholder(MergeField::NameOf(piece.text)), shiftJis);
        raw("}}");
        needDelimiter_ = false;
    }
}

void Writer::closeField() {
    raw("}}");
    needDelimiter_ = false;
    last_ = outsideField_;
}

void Writer::writeText(const QString& text, bool shiftJis) {
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const char16_t c = text.at(i).unicode();
        if (!IsSpecial(c)) {
            qsizetype end = i + 1;
            while (end < size && !IsSpecial(text.at(end).unicode()))
                ++end;
            writeForeign(QStringView(text).mid(i, end - i), shiftJis);
            i = end;
            continue;
        }
        if (c == QChar::LineSeparator)
            word("line");
        else if (c < 0x80)
            writeAscii(static_cast<char>(c));
        ++i;
    }
}

void Writer::writeAscii(char c) {
    if (c == '\t') {
        word("tab");
    } else if (c == '\\' || c == '{' || c == '}') {
        out_.append('\\');
        out_.append(c);
        needDelimiter_ = false;
    } else if (c >= 0x20) {
        if (needDelimiter_)
            out_.append(' ');
        out_.append(c);
        needDelimiter_ = false;
    }
}

// Non-ASCII text: Shift-JIS bytes where every character has them, else one character at a
// time so that only the ones without a Shift-JIS form become \uN.
void Writer::writeForeign(QStringView text, bool shiftJis) {
    if (!shiftJis) {
        writeUnicode(text);
        return;
    }
    QByteArray bytes;
    if (EncodeExactly(text, &bytes)) {
        writeHex(bytes);
        return;
    }
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QStringView one = text.mid(i, length);
        EncodeExactly(one, &bytes) ? writeHex(bytes) : writeUnicode(one);
        i += length;
    }
}

void Writer::writeHex(const QByteArray& bytes) {
    static const char digits[] = "0123456789abcdef";
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        const char escape[] = {'\\', '\'', digits[value >> 4], digits[value & 0xF]};
        out_.append(escape, sizeof escape);
    }
    needDelimiter_ = false;
}

// One signed 16-bit \u per UTF-16 unit, each with "?" for readers that know no Unicode.
void Writer::writeUnicode(QStringView units) {
    for (const QChar unit : units) {
        const int value = unit.unicode();
        out_.append("\\u");
        out_.append(QByteArray::number(value > 0x7FFF ? value - 0x10000 : value));
        out_.append('?');
    }
    needDelimiter_ = false;
}

void Writer::word(const char* name) {
    out_.append('\\');
    out_.append(name);
    needDelimiter_ = true;
}

void Writer::word(const char* name, int value) {
    word(name);
    out_.append(QByteArray::number(value));
}

void Writer::lineBreak() {
    out_.append("\r\n");
    needDelimiter_ = false;
}

} // namespace

QByteArray RtfWrite(const QTextDocument& doc) {
    return Writer(doc).write();
}
