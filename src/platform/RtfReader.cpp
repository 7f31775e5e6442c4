#include "platform/RtfReader.h"

#include "platform/BarcodeField.h"
#include "platform/BarcodeText.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/SjisCodec.h"
#include "platform/TextFlow.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Deeper groups than this are skipped whole: no writer nests that far, and the state stack
// must stay bounded whatever the input.
constexpr std::size_t kMaxDepth = 1024;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kDefaultHalfPoints = 24; // RTF's own default when a run names no size
constexpr int kDefaultUpHalfPoints = 6;
constexpr int kScriptOffsetTwips = 3 * RichFormat::TwipsPerPoint; // as the toolbar sets it
constexpr int kShiftJisCodePage = 932;
constexpr int kAnsiCodePage = 1252;

enum class Dest : quint8 {
    Text,
    FontTable,
    ColorTable,
    FieldInstruction,
    UserProps,
    PropName,
    PropValue,
    Skip
};
enum class Align : quint8 { Left, Center, Right, Justify };

// The kind of text a run holds, as \loch, \hich and \dbch declare it; None when no writer
// said (a rich edit control never does).
enum class CharType : quint8 { None, Low, High, Double };
constexpr int kUnset = -1;

// What \af, \afs, \ab and \ai give the text of one kind; kUnset leaves the plain value.
struct Associated {
    int font = kUnset;
    int halfPoints = kUnset;
    int bold = kUnset;
    int italic = kUnset;
    bool operator==(const Associated&) const = default;
};

struct CharState {
    int font = -1; // -1: the \deff font
    int halfPoints = kDefaultHalfPoints;
    int color = 0;
    int offsetTwips = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    CharType type = CharType::None;
    bool rightToLeft = false; // associated values then belong to right-to-left text
    int field = -1;           // the field whose result this text is; -1 outside fields
    Associated low, high, dbcs;
    bool operator==(const CharState&) const = default;

    Associated* AssociatedOf(CharType kind) {
        switch (kind) {
        case CharType::Low:
            return &low;
        case CharType::High:
            return &high;
        case CharType::Double:
            return &dbcs;
        case CharType::None:
            break;
        }
        return nullptr;
    }
    // The plain values with those associated with text of the given kind laid over them.
    CharState For(CharType kind) const {
        CharState state = *this;
        const Associated* a = state.AssociatedOf(kind);
        if (!a)
            return state;
        if (a->font != kUnset)
            state.font = a->font;
        if (a->halfPoints != kUnset)
            state.halfPoints = a->halfPoints;
        if (a->bold != kUnset)
            state.bold = a->bold != 0;
        if (a->italic != kUnset)
            state.italic = a->italic != 0;
        return state;
    }
};

struct GroupState {
    CharState chars;
    Align align = Align::Left;
    Dest dest = Dest::Text;
    int unicodeSkip = 1;
};

struct FontEntry {
    QString name;
    int charset = -1; // -1: no \fcharset, the document code page applies
    int pitch = 0;
};

// clang-format off
enum class Word {
    Ansi, AnsiCpg, Mac, Pc, Pca, Deff, FontTable, ColorTable, SkipDest,
    F, FCharset, FPrq, Fs, B, I, Ul, UlNone, Strike, Hidden, Cf, Up, Dn, Super, Sub, NoSuperSub,
    Plain, Pard, Ql, Qc, Qr, Qj, Par, Char, U, Uc, Red, Green, Blue, Bin,
    Loch, Hich, Dbch, Rtlch, Ltrch, Af, Afs, Ab, Ai, Field, FldInst, FldRslt,
    TextFlow, UserProps, PropName, StaticVal,
};
// clang-format on

struct Keyword {
    Word word;
    char16_t ch = 0; // the character a Word::Char stands for
};

// clang-format off
const std::unordered_map<std::string_view, Keyword>& Keywords() {
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        std::unordered_map<std::string_view, Keyword> t = {
            {"ansi", {Word::Ansi}}, {"ansicpg", {Word::AnsiCpg}}, {"mac", {Word::Mac}},
            {"pc", {Word::Pc}}, {"pca", {Word::Pca}}, {"deff", {Word::Deff}},
            {"fonttbl", {Word::FontTable}}, {"colortbl", {Word::ColorTable}},
            {"f", {Word::F}}, {"fcharset", {Word::FCharset}}, {"fprq", {Word::FPrq}},
            {"fs", {Word::Fs}}, {"b", {Word::B}}, {"i", {Word::I}}, {"ulnone", {Word::UlNone}},
            {"strike", {Word::Strike}}, {"striked", {Word::Strike}}, {"v", {Word::Hidden}},
            {"cf", {Word::Cf}}, {"up", {Word::Up}}, {"dn", {Word::Dn}}, {"super", {Word::Super}},
            {"sub", {Word::Sub}}, {"nosupersub", {Word::NoSuperSub}}, {"plain", {Word::Plain}},
            {"pard", {Word::Pard}}, {"ql", {Word::Ql}}, {"qc", {Word::Qc}}, {"qr", {Word::Qr}},
            {"qj", {Word::Qj}}, {"par", {Word::Par}}, {"row", {Word::Par}}, {"u", {Word::U}},
            {"uc", {Word::Uc}}, {"red", {Word::Red}}, {"green", {Word::Green}},
            {"blue", {Word::Blue}}, {"bin", {Word::Bin}},
            {"loch", {Word::Loch}}, {"hich", {Word::Hich}}, {"dbch", {Word::Dbch}},
            {"rtlch", {Word::Rtlch}}, {"ltrch", {Word::Ltrch}}, {"af", {Word::Af}},
            {"afs", {Word::Afs}}, {"ab", {Word::Ab}}, {"ai", {Word::Ai}},
            {"field", {Word::Field}}, {"fldinst", {Word::FldInst}}, {"fldrslt", {Word::FldRslt}},
            {"stextflow", {Word::TextFlow}}, {"userprops", {Word::UserProps}},
            {"propname", {Word::PropName}}, {"staticval", {Word::StaticVal}},
            {"tab", {Word::Char, u'\t'}}, {"cell", {Word::Char, u'\t'}},
            {"line", {Word::Char, u'\u2028'}}, {"emdash", {Word::Char, u'\u2014'}},
            {"endash", {Word::Char, u'\u2013'}}, {"emspace", {Word::Char, u'\u2003'}},
            {"enspace", {Word::Char, u'\u2002'}}, {"qmspace", {Word::Char, u'\u2005'}},
            {"bullet", {Word::Char, u'\u2022'}}, {"lquote", {Word::Char, u'\u2018'}},
            {"rquote", {Word::Char, u'\u2019'}}, {"ldblquote", {Word::Char, u'\u201C'}},
            {"rdblquote", {Word::Char, u'\u201D'}},
        };
        for (const char* name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                 "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                 "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(name, Keyword{Word::Ul});
        // Destinations whose content is never label text.
        for (const char* name : {"info", "stylesheet", "pict", "header", "headerl", "headerr",
                                 "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
                                 "nonshppict", "objdata", "objclass", "xe", "tc", "txe",
                                 "rxe", "template", "annotation", "atnid", "atnauthor", "listtable",
                                 "listoverridetable", "revtbl", "rsidtbl", "generator", "themedata",
                                 "colorschememapping", "datastore", "latentstyles", "xmlnstbl",
                                 "filetbl", "shpinst", "do", "private", "bkmkstart", "bkmkend",
                                 "pn"})
            t.emplace(name, Keyword{Word::SkipDest});
        return t;
    }();
    return table;
}
// clang-format on

struct CharsetCodePage {
    int charset;
    int codePage;
};

// Font character sets and the Windows code pages of their \'xx bytes.
constexpr CharsetCodePage kCharsets[] = {
    {0, 1252},   {128, 932},  {2, 1252},   {77, 10000}, {129, 949},  {130, 1361},
    {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
    {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
};
constexpr int kDefaultCharset = 1; // the document code page applies

// Windows code page of a font character set; 0 when the document code page applies.
int CodePageOfCharset(int charset) {
    for (const auto& entry : kCharsets)
        if (entry.charset == charset)
            return entry.codePage;
    return 0;
}

int CharsetOfCodePage(int codePage) {
    for (const auto& entry : kCharsets)
        if (entry.codePage == codePage)
            return entry.charset;
    return kDefaultCharset;
}

QByteArray IconvName(int codePage) {
    switch (codePage) {
    case 936:
        return "GBK";
    case 950:
        return "BIG5";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 65001:
        return "UTF-8";
    default:
        return "CP" + QByteArray::number(codePage);
    }
}

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString DecodeBytes(const QByteArray& bytes, int codePage) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    if (codePage == kShiftJisCodePage)
        return Sjis::Decode(bytes);
    QString text;
    if (!Sjis::DecodeWith(IconvName(codePage).constData(), bytes, &text) &&
        !Sjis::DecodeWith("CP1252", bytes, &text))
        return QString::fromLatin1(bytes);
    return text;
}

// Characters that QTextDocument would turn into structure, and stray control codes.
bool IsUnwanted(char16_t c, bool keepLineBreaks) {
    if (c == u'\r' || c == u'\n')
        return !keepLineBreaks;
    return (c < 0x20 && c != u'\t') || c == 0xFDD0 || c == 0xFDD1 || c == 0x2029 || c == 0xFFFC;
}

// A character a double-byte code page writes in two bytes: beyond Latin-1, except the
// half-width katakana.
bool IsDoubleByte(QChar c) {
    const char16_t u = c.unicode();
    return u > 0xFF && !(u >= 0xFF61 && u <= 0xFF9F);
}

// Drops unwanted characters and replaces unpaired surrogates.
void CleanText(QString& text, bool keepLineBreaks) {
    qsizetype out = 0;
    const qsizetype size = text.size();
    QChar* data = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = data[i];
        if (c.isHighSurrogate() && i + 1 < size && data[i + 1].isLowSurrogate()) {
            data[out++] = c;
            data[out++] = data[++i];
        } else if (c.isSurrogate()) {
            data[out++] = QChar::ReplacementCharacter;
        } else if (!IsUnwanted(c.unicode(), keepLineBreaks)) {
            data[out++] = c;
        }
    }
    text.truncate(out);
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Qt::Alignment QtAlignment(Align align) {
    switch (align) {
    case Align::Center:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Justify:
        return Qt::AlignJustify;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Pauses undo recording while a document is rebuilt, and batches its change signals.
class RebuildScope {
  public:
    explicit RebuildScope(QTextDocument* doc) : doc_(doc), undo_(doc->isUndoRedoEnabled()) {
        doc_->setUndoRedoEnabled(false);
        doc_->clear();
        cursor_ = QTextCursor(doc_);
        cursor_.beginEditBlock();
    }
    ~RebuildScope() {
        cursor_.endEditBlock();
        doc_->setUndoRedoEnabled(undo_);
    }
    RebuildScope(const RebuildScope&) = delete;
    RebuildScope& operator=(const RebuildScope&) = delete;
    QTextCursor& cursor() { return cursor_; }

  private:
    QTextDocument* doc_;
    bool undo_;
    QTextCursor cursor_;
};

class Reader {
  public:
    Reader(const QByteArray& data, QTextCursor& cursor)
        : data_(data.constData()), size_(data.size()), cursor_(cursor) {}
    void run();

  private:
    GroupState& top() { return states_.back(); }
    bool skipping() const { return overflow_ > 0 || states_.back().dest == Dest::Skip; }
    bool consumeFallback();

    // Tokens
    void openGroup();
    void closeGroup();
    void controlAt();
    void controlWord();
    bool readParam(int* param);
    void hexByte();
    void symbol(char c);
    void textAt();
    void skipBinary(bool hasParam, int length);

    // Control words by destination
    void word(const Keyword& keyword, bool hasParam, int param);
    bool destinationWord(Word word);
    void fontTableWord(Word word, bool hasParam, int param);
    void colorTableWord(Word word, int param);
    void textWord(const Keyword& keyword, bool hasParam, int param);
    void charWord(Word word, bool hasParam, int param);
    void associatedWord(Word word, bool hasParam, int param);
    void unicodeChar(bool hasParam, int param);
    bool fieldWord(Word word);
    bool nestedFieldWord(Word word);
    bool propertyWord(Word word);
    void finishProperty();
    void decodeInstruction();
    void finishField();

    // Content
    void emitBytes(const char* bytes, qsizetype count);
    void emitChar(char16_t c);
    void fontNameBytes(const char* bytes, qsizetype count);
    void colorBytes(const char* bytes, qsizetype count);
    void finishFont();
    void startText();
    void decodePending();
    void flushRun();
    void insertRun(const QString& text);
    void paragraph();
    void applyAlignment(Align align);
    void finish();

    int codePageOf(int charset) const;
    const FontEntry* fontFor(int index) const;
    QTextCharFormat formatFor(const CharState& chars) const;

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    QTextCursor& cursor_;
    std::vector<GroupState> states_;
    qsizetype overflow_ = 0;
    int fallbackLeft_ = 0;

    int docCodePage_ = kAnsiCodePage;
    int defaultFont_ = 0;
    std::unordered_map<int, FontEntry> fonts_;
    int entryNumber_ = -1;
    FontEntry entry_;
    QByteArray entryBytes_;
    std::vector<QColor> colors_;
    int rgb_[3] = {0, 0, 0};
    bool rgbSet_ = false;

    CharState runState_;
    bool runStarted_ = false;
    QByteArray pending_;
    QString run_;
    bool pendingParagraph_ = false;
    Align paragraphAlign_ = Align::Left;

    // Fields being read, innermost last; a field ends with the group that holds \field.
    struct OpenField {
        std::size_t depth;
        int id;
        QString instruction;
        bool hasResult = false;
    };
    std::vector<OpenField> fields_;
    int nextFieldId_ = 1;
    std::vector<QString> instructions_; // by field id - 1, for formatFor
    // Fields nested in an instruction, by the depth of their group; kept there as {instruction}.
    std::vector<std::size_t> nested_;
    QByteArray instructionBytes_;
    std::size_t starDepth_ = 0; // the group a \* marked while reading text, 0 if none
    bool starInText_ = false;   // the last token was a \* in the text

    // Document properties ({\*\userprops}) and the section's text flow.
    QByteArray propName_, propValue_;
    bool vertical_ = false;
    bool kanjiNumerals_ = false;
};

void Reader::run() {
    states_.reserve(64);
    states_.emplace_back();
    pos_ = 1; // the opening brace of "{\rtf"
    while (pos_ < size_ && !states_.empty()) {
        switch (data_[pos_]) {
        case '{':
            ++pos_;
            openGroup();
            break;
        case '}':
            ++pos_;
            closeGroup();
            break;
        case '\\':
            controlAt();
            break;
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            textAt();
        }
    }
    finish();
}

// Characters after \uN stand in for it in older readers and are dropped.
bool Reader::consumeFallback() {
    if (fallbackLeft_ == 0)
        return false;
    --fallbackLeft_;
    return true;
}

void Reader::openGroup() {
    fallbackLeft_ = 0;
    starInText_ = false;
    if (overflow_ > 0 || states_.size() >= kMaxDepth)
        ++overflow_;
    else
        states_.push_back(states_.back());
}

void Reader::closeGroup() {
    fallbackLeft_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (top().dest == Dest::FontTable)
        finishFont();
    if (top().dest == Dest::FieldInstruction)
        decodeInstruction();
    while (!nested_.empty() && nested_.back() >= states_.size()) {
        if (!fields_.empty())
            fields_.back().instruction += u'}';
        nested_.pop_back();
    }
    if (top().dest == Dest::PropValue)
        finishProperty();
    if (!fields_.empty() && fields_.back().depth == states_.size())
        finishField();
    if (starDepth_ == states_.size())
        starDepth_ = 0;
    states_.pop_back();
}

void Reader::controlAt() {
    if (pos_ + 1 >= size_) {
        pos_ = size_;
        return;
    }
    const char c = data_[pos_ + 1];
    if (IsLetter(c))
        controlWord();
    else if (c == '\'')
        hexByte();
    else {
        pos_ += 2;
        symbol(c);
    }
}

// The optional signed number after a control word, saturated to the range of int.
bool Reader::readParam(int* param) {
    const bool negative = pos_ + 1 < size_ && data_[pos_] == '-' && IsDigit(data_[pos_ + 1]);
    if (negative)
        ++pos_;
    bool present = false;
    qint64 value = 0;
    for (; pos_ < size_ && IsDigit(data_[pos_]); ++pos_) {
        present = true;
        value = std::min<qint64>(value * 10 + (data_[pos_] - '0'), std::numeric_limits<int>::max());
    }
    *param = static_cast<int>(negative ? -value : value);
    return present;
}

void Reader::controlWord() {
    const qsizetype start = ++pos_;
    while (pos_ < size_ && IsLetter(data_[pos_]))
        ++pos_;
    const std::string_view name(data_ + start, static_cast<std::size_t>(pos_ - start));
    int param = 0;
    const bool hasParam = readParam(&param);
    if (pos_ < size_ && data_[pos_] == ' ')
        ++pos_;

    const auto& keywords = Keywords();
    const auto it = keywords.find(name);
    if (it != keywords.end() && it->second.word == Word::Bin) {
        skipBinary(hasParam, param);
        return;
    }
    if (consumeFallback())
        return;
    const bool starred = std::exchange(starInText_, false);
    if (starred && it != keywords.end() && it->second.word == Word::UserProps && overflow_ == 0) {
        top().dest = Dest::UserProps; // the other starred destination we read
        return;
    }
    if (it != keywords.end() && it->second.word == Word::FldInst && overflow_ == 0 &&
        starDepth_ == states_.size()) {
        top().dest = Dest::FieldInstruction; // the one starred destination we read
        return;
    }
    if (skipping() || it == keywords.end())
        return;
    word(it->second, hasParam, param);
}

void Reader::skipBinary(bool hasParam, int length) {
    consumeFallback();
    if (hasParam && length > 0)
        pos_ += std::min<qsizetype>(length, size_ - pos_);
}

void Reader::hexByte() {
    pos_ += 2;
    const int high = pos_ < size_ ? HexValue(data_[pos_]) : -1;
    const int low = pos_ + 1 < size_ ? HexValue(data_[pos_ + 1]) : -1;
    if (high < 0 || low < 0)
        return; // a broken escape is dropped; what follows reads as text
    pos_ += 2;
    if (consumeFallback() || skipping())
        return;
    const char byte = static_cast<char>(high * 16 + low);
    emitBytes(&byte, 1);
}

void Reader::symbol(char c) {
    if (consumeFallback() || skipping())
        return;
    switch (c) {
    case '*':
        if (top().dest == Dest::FieldInstruction && !nested_.empty())
            break; // a nested field's instruction joins the outer one
        starInText_ = top().dest == Dest::Text;
        if (top().dest == Dest::Text && !fields_.empty())
            starDepth_ = states_.size();
        top().dest = Dest::Skip; // of the starred destinations only a field's instruction is read
        break;
    case '\\':
    case '{':
    case '}':
        emitBytes(&c, 1);
        break;
    case '~':
        emitChar(u'\u00A0');
        break;
    case '_':
        emitChar(u'\u2011');
        break;
    case '\t':
        emitChar(u'\t');
        break;
    case '\r':
    case '\n':
        paragraph();
        break;
    default:
        break; // optional hyphen, index and formula marks
    }
}

void Reader::textAt() {
    qsizetype end = pos_;
    while (end < size_) {
        const char c = data_[end];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++end;
    }
    qsizetype start = pos_;
    pos_ = end;
    const qsizetype dropped = std::min<qsizetype>(fallbackLeft_, end - start);
    fallbackLeft_ -= static_cast<int>(dropped);
    start += dropped;
    if (start < end && !skipping())
        emitBytes(data_ + start, end - start);
}

void Reader::word(const Keyword& keyword, bool hasParam, int param) {
    if (destinationWord(keyword.word))
        return;
    switch (top().dest) {
    case Dest::FontTable:
        fontTableWord(keyword.word, hasParam, param);
        break;
    case Dest::ColorTable:
        colorTableWord(keyword.word, param);
        break;
    case Dest::Text:
        textWord(keyword, hasParam, param);
        break;
    case Dest::UserProps:
    case Dest::PropName:
    case Dest::PropValue:
        break;
    case Dest::FieldInstruction:
        if (keyword.word == Word::U)
            unicodeChar(hasParam, param);
        else if (keyword.word == Word::Uc)
            top().unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
        break;
    case Dest::Skip:
        break;
    }
}

bool Reader::destinationWord(Word word) {
    if (fieldWord(word) || propertyWord(word))
        return true;
    switch (word) {
    case Word::FontTable:
        top().dest = Dest::FontTable;
        entryNumber_ = -1;
        return true;
    case Word::ColorTable:
        top().dest = Dest::ColorTable;
        rgbSet_ = false;
        return true;
    case Word::SkipDest:
        top().dest = Dest::Skip;
        return true;
    default:
        return false;
    }
}

void Reader::fontTableWord(Word word, bool hasParam, int param) {
    switch (word) {
    case Word::F:
        finishFont();
        entryNumber_ = hasParam ? param : 0;
        break;
    case Word::FCharset:
        entry_.charset = std::clamp(param, 0, 255);
        break;
    case Word::FPrq:
        entry_.pitch = std::clamp(param, 0, 2);
        break;
    case Word::U:
        unicodeChar(hasParam, param);
        break;
    case Word::Uc:
        top().unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
        break;
    default:
        break;
    }
}

void Reader::colorTableWord(Word word, int param) {
    const int index = word == Word::Red ? 0 : word == Word::Green ? 1 : word == Word::Blue ? 2 : -1;
    if (index < 0)
        return;
    rgb_[index] = std::clamp(param, 0, 255);
    rgbSet_ = true;
}

void Reader::textWord(const Keyword& keyword, bool hasParam, int param) {
    GroupState& state = top();
    switch (keyword.word) {
    case Word::Ansi:
        docCodePage_ = kAnsiCodePage;
        break;
    case Word::Mac:
        docCodePage_ = 10000;
        break;
    case Word::Pc:
        docCodePage_ = 437;
        break;
    case Word::Pca:
        docCodePage_ = 850;
        break;
    case Word::AnsiCpg:
        if (param > 0)
            docCodePage_ = param;
        break;
    case Word::Deff:
        defaultFont_ = param;
        break;
    case Word::TextFlow:
        vertical_ = vertical_ || (hasParam && param == 1); // top to bottom, right to left
        break;
    case Word::Pard:
        state.align = Align::Left;
        break;
    case Word::Ql:
        state.align = Align::Left;
        break;
    case Word::Qc:
        state.align = Align::Center;
        break;
    case Word::Qr:
        state.align = Align::Right;
        break;
    case Word::Qj:
        state.align = Align::Justify;
        break;
    case Word::Par:
        paragraph();
        break;
    case Word::Char:
        emitChar(keyword.ch);
        break;
    case Word::U:
        unicodeChar(hasParam, param);
        break;
    case Word::Uc:
        state.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
        break;
    default:
        charWord(keyword.word, hasParam, param);
    }
}

void Reader::charWord(Word word, bool hasParam, int param) {
    CharState& chars = top().chars;
    const bool on = !hasParam || param != 0;
    const int halfPoints =
        std::clamp(param, -2 * RichFormat::MaxPointSize, 2 * RichFormat::MaxPointSize);
    switch (word) {
    case Word::F:
        chars.font = param;
        break;
    case Word::Fs:
        chars.halfPoints = hasParam ? std::clamp(halfPoints, 2 * RichFormat::MinPointSize,
                                                 2 * RichFormat::MaxPointSize)
                                    : kDefaultHalfPoints;
        break;
    case Word::B:
        chars.bold = on;
        break;
    case Word::I:
        chars.italic = on;
        break;
    case Word::Ul:
        chars.underline = on;
        break;
    case Word::UlNone:
        chars.underline = false;
        break;
    case Word::Strike:
        chars.strike = on;
        break;
    case Word::Hidden:
        chars.hidden = on;
        break;
    case Word::Cf:
        chars.color = std::max(param, 0);
        break;
    case Word::Up:
    case Word::Dn:
        chars.offsetTwips =
            (hasParam ? halfPoints : kDefaultUpHalfPoints) * 10 * (word == Word::Dn ? -1 : 1);
        break;
    case Word::Super:
        chars.offsetTwips = kScriptOffsetTwips;
        break;
    case Word::Sub:
        chars.offsetTwips = -kScriptOffsetTwips;
        break;
    case Word::NoSuperSub:
        chars.offsetTwips = 0;
        break;
    case Word::Plain:
        chars = CharState{};
        break;
    default:
        associatedWord(word, hasParam, param);
        break;
    }
}

// \loch, \hich and \dbch say what kind of text follows; \af, \afs, \ab and \ai after them
// format text of that kind only.
void Reader::associatedWord(Word word, bool hasParam, int param) {
    CharState& chars = top().chars;
    switch (word) {
    case Word::Loch:
        chars.type = CharType::Low;
        return;
    case Word::Hich:
        chars.type = CharType::High;
        return;
    case Word::Dbch:
        chars.type = CharType::Double;
        return;
    case Word::Rtlch:
    case Word::Ltrch:
        chars.rightToLeft = word == Word::Rtlch;
        return;
    default:
        break;
    }
    Associated* a = chars.rightToLeft ? nullptr : chars.AssociatedOf(chars.type);
    if (!a)
        return;
    const int on = !hasParam || param != 0 ? 1 : 0;
    switch (word) {
    case Word::Af:
        a->font = std::max(param, 0);
        break;
    case Word::Afs:
        a->halfPoints =
            hasParam ? std::clamp(param, 2 * RichFormat::MinPointSize, 2 * RichFormat::MaxPointSize)
                     : kDefaultHalfPoints;
        break;
    case Word::Ab:
        a->bold = on;
        break;
    case Word::Ai:
        a->italic = on;
        break;
    default:
        break;
    }
}

// \uN carries one UTF-16 unit as a signed 16-bit number; a pair of them makes a surrogate pair.
void Reader::unicodeChar(bool hasParam, int param) {
    if (!hasParam)
        return;
    const int unit = param < 0 ? param + 65536 : param;
    emitChar(unit >= 0 && unit <= 0xFFFF ? static_cast<char16_t>(unit) : u'\uFFFD');
    fallbackLeft_ = top().unicodeSkip;
}

void Reader::emitBytes(const char* bytes, qsizetype count) {
    switch (top().dest) {
    case Dest::Text:
        if (top().chars.hidden)
            return;
        startText();
        pending_.append(bytes, count);
        break;
    case Dest::FontTable:
        fontNameBytes(bytes, count);
        break;
    case Dest::ColorTable:
        colorBytes(bytes, count);
        break;
    case Dest::FieldInstruction:
        instructionBytes_.append(bytes, count);
        break;
    case Dest::PropName:
        propName_.append(bytes, count);
        break;
    case Dest::PropValue:
        propValue_.append(bytes, count);
        break;
    case Dest::UserProps:
    case Dest::Skip:
        break;
    }
}

void Reader::emitChar(char16_t c) {
    if (top().dest == Dest::FontTable) {
        if (entryNumber_ >= 0) {
            entry_.name += DecodeBytes(entryBytes_, codePageOf(entry_.charset));
            entryBytes_.clear();
            entry_.name += QChar(c);
        }
        return;
    }
    if (top().dest == Dest::FieldInstruction && !fields_.empty()) {
        decodeInstruction();
        fields_.back().instruction += QChar(c);
        return;
    }
    if (top().dest != Dest::Text || top().chars.hidden)
        return;
    startText();
    decodePending();
    run_ += QChar(c);
}

// \field opens a field, \fldinst holds its instruction and \fldrslt its result, which is
// text like any other but for the field it belongs to.
bool Reader::fieldWord(Word word) {
    if (top().dest == Dest::FieldInstruction && !fields_.empty())
        return nestedFieldWord(word);
    if (top().dest != Dest::Text)
        return false;
    switch (word) {
    case Word::Field:
        fields_.push_back({states_.size(), nextFieldId_++, {}});
        instructions_.emplace_back();
        return true;
    case Word::FldInst: // outside a field it is no label text either
        top().dest = fields_.empty() ? Dest::Skip : Dest::FieldInstruction;
        return true;
    case Word::FldRslt:
        if (fields_.empty())
            return false;
        fields_.back().instruction = fields_.back().instruction.simplified();
        instructions_[static_cast<std::size_t>(fields_.back().id - 1)] = fields_.back().instruction;
        top().chars.field = fields_.back().id;
        return true;
    default:
        return false;
    }
}

// A field inside an instruction (a merge field in a barcode's data) becomes {its instruction};
// its result is only a placeholder and is skipped.
bool Reader::nestedFieldWord(Word word) {
    switch (word) {
    case Word::Field:
        decodeInstruction();
        fields_.back().instruction += u'{';
        nested_.push_back(states_.size());
        return true;
    case Word::FldInst:
        return true;
    case Word::FldRslt:
        top().dest = nested_.empty() ? top().dest : Dest::Skip;
        return true;
    default:
        return false;
    }
}

void Reader::decodeInstruction() {
    if (instructionBytes_.isEmpty() || fields_.empty())
        return;
    const FontEntry* font = fontFor(top().chars.For(top().chars.type).font);
    fields_.back().instruction +=
        DecodeBytes(instructionBytes_, codePageOf(font ? font->charset : -1));
    instructionBytes_.clear();
}

// A merge field written without a result still shows its placeholder; any other field
// without one shows nothing, as word processors do.
void Reader::finishField() {
    OpenField field = fields_.back();
    fields_.pop_back();
    const QString instruction = field.instruction.simplified();
    const QString name = MergeField::NameOf(instruction);
    const bool barcode = BarcodeField::IsBarcode(instruction);
    if (field.hasResult || (name.isEmpty() && !barcode))
        return;
    instructions_[static_cast<std::size_t>(field.id - 1)] = instruction;
    GroupState& state = top();
    const int outer = state.chars.field;
    state.chars.field = field.id;
    const auto parsed = BarcodeField::Parse(instruction);
    for (const QChar c : parsed ? BarcodeField::PlainText(*parsed) : MergeField::Placeholder(name))
        emitChar(c.unicode());
    state.chars.field = outer;
}

void Reader::fontNameBytes(const char* bytes, qsizetype count) {
    for (qsizetype i = 0; i < count; ++i) {
        if (bytes[i] == ';')
            finishFont();
        else if (entryNumber_ >= 0)
            entryBytes_.append(bytes[i]);
    }
}

void Reader::colorBytes(const char* bytes, qsizetype count) {
    for (qsizetype i = 0; i < count; ++i) {
        if (bytes[i] != ';')
            continue;
        colors_.push_back(rgbSet_ ? QColor(rgb_[0], rgb_[1], rgb_[2]) : QColor());
        rgbSet_ = false;
        std::fill(std::begin(rgb_), std::end(rgb_), 0);
    }
}

void Reader::finishFont() {
    if (entryNumber_ >= 0) {
        entry_.name += DecodeBytes(entryBytes_, codePageOf(entry_.charset));
        entry_.name = entry_.name.trimmed();
        fonts_.insert_or_assign(entryNumber_, entry_);
    }
    entryNumber_ = -1;
    entry_ = FontEntry{};
    entryBytes_.clear();
}

// Text joins the current run while its attributes stay the same; a paragraph mark read
// before it becomes a real paragraph only now, so the final \par adds no empty line.
void Reader::startText() {
    if (pendingParagraph_) {
        cursor_.insertBlock(QTextBlockFormat(), formatFor(top().chars.For(top().chars.type)));
        pendingParagraph_ = false;
    }
    if (!runStarted_ || !(top().chars == runState_)) {
        flushRun();
        runState_ = top().chars;
        runStarted_ = true;
    }
    for (OpenField& field : fields_)
        if (field.id == runState_.field)
            field.hasResult = true;
    paragraphAlign_ = top().align;
}

void Reader::decodePending() {
    if (pending_.isEmpty())
        return;
    const FontEntry* font = fontFor(runState_.For(runState_.type).font);
    run_ += DecodeBytes(pending_, codePageOf(font ? font->charset : -1));
    pending_.clear();
}

void Reader::flushRun() {
    decodePending();
    CleanText(run_, false);
    if (!run_.isEmpty())
        insertRun(run_);
    run_.clear();
}

// Text declared single-byte may still hold double-byte characters (some writers declare the
// Latin kind last and let the characters tell); those take the double-byte formatting.
void Reader::insertRun(const QString& text) {
    const CharType declared = runState_.type;
    if (declared != CharType::Low && declared != CharType::High) {
        cursor_.insertText(text, formatFor(runState_.For(declared)));
        return;
    }
    qsizetype start = 0;
    while (start < text.size()) {
        const bool wide = IsDoubleByte(text.at(start));
        qsizetype end = start + 1;
        while (end < text.size() && IsDoubleByte(text.at(end)) == wide)
            ++end; // surrogates count as wide, so a pair stays together
        cursor_.insertText(text.mid(start, end - start),
                           formatFor(runState_.For(wide ? CharType::Double : declared)));
        start = end;
    }
}

void Reader::paragraph() {
    if (top().dest != Dest::Text)
        return;
    if (pendingParagraph_)
        startText();
    flushRun();
    applyAlignment(top().align);
    if (cursor_.block().length() <= 1) // an empty line keeps the height of its mark
        cursor_.setBlockCharFormat(formatFor(top().chars.For(top().chars.type)));
    pendingParagraph_ = true;
}

void Reader::applyAlignment(Align align) {
    if (align == Align::Left && !cursor_.blockFormat().hasProperty(QTextFormat::BlockAlignment))
        return;
    QTextBlockFormat format = cursor_.blockFormat();
    format.setAlignment(QtAlignment(align));
    cursor_.setBlockFormat(format);
}

bool Reader::propertyWord(Word word) {
    if (top().dest != Dest::UserProps)
        return false;
    if (word == Word::PropName) {
        top().dest = Dest::PropName;
        propName_.clear();
        return true;
    }
    if (word == Word::StaticVal) {
        top().dest = Dest::PropValue;
        propValue_.clear();
        return true;
    }
    return false;
}

void Reader::finishProperty() {
    const QByteArray value = propValue_.trimmed();
    if (propName_.trimmed() == "KanjiNumerals")
        kanjiNumerals_ = value == "1" || value.compare("true", Qt::CaseInsensitive) == 0;
}

void Reader::finish() {
    QTextDocument& doc = *cursor_.document();
    TextFlow::SetVertical(doc, vertical_);
    TextFlow::SetKanjiNumerals(doc, kanjiNumerals_);
    flushRun();
    if (!pendingParagraph_)
        applyAlignment(paragraphAlign_);
}

int Reader::codePageOf(int charset) const {
    const int codePage = charset < 0 ? 0 : CodePageOfCharset(charset);
    return codePage != 0 ? codePage : docCodePage_;
}

// A font number missing from the table falls back to the default font.
const FontEntry* Reader::fontFor(int index) const {
    auto it = fonts_.find(index < 0 ? defaultFont_ : index);
    if (it == fonts_.end())
        it = fonts_.find(defaultFont_);
    return it == fonts_.end() ? nullptr : &it->second;
}

QTextCharFormat Reader::formatFor(const CharState& chars) const {
    QTextCharFormat format;
    const FontEntry* font = fontFor(chars.font);
    const bool named = font && !font->name.isEmpty();
    RichFormat::SetFaceName(format, named ? font->name : RichFormat::DefaultFaceName());
    int charset = RichFormat::ShiftJisCharSet;
    if (font)
        charset = font->charset >= 0 ? font->charset : CharsetOfCodePage(docCodePage_);
    format.setProperty(RichFormat::CharSetProperty, charset);
    if (font && font->pitch != RichFormat::DefaultPitch)
        format.setProperty(RichFormat::PitchProperty, font->pitch);
    RichFormat::SetPointSize(format, chars.halfPoints / 2.0);
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strike)
        format.setFontStrikeOut(true);
    if (chars.color > 0 && static_cast<std::size_t>(chars.color) < colors_.size())
        RichFormat::SetTextColor(format, colors_[static_cast<std::size_t>(chars.color)]);
    RichFormat::SetOffsetTwips(format, chars.offsetTwips);
    if (chars.field > 0)
        RichFormat::SetField(format, instructions_[static_cast<std::size_t>(chars.field - 1)],
                             chars.field);
    return format;
}

} // namespace

bool RtfRead(const QByteArray& data, QTextDocument* doc) {
    if (!doc)
        return false;
    if (!data.startsWith("{\\rtf")) {
        PlainTextRead(data, doc);
        return true;
    }
    RebuildScope scope(doc);
    if (data.size() > 5 && IsLetter(data.at(5)))
        return false; // "{\rtfx..." is some other control word, not an RTF header
    scope.cursor().setBlockCharFormat(RichFormat::DefaultCharFormat());
    Reader(data, scope.cursor()).run();
    BarcodeText::MakeObjects(*doc);
    return true;
}

void PlainTextRead(const QByteArray& data, QTextDocument* doc) {
    RebuildScope scope(doc);
    const QTextCharFormat format = RichFormat::DefaultCharFormat();
    scope.cursor().setBlockCharFormat(format);
    QString text = Sjis::Decode(data);
    CleanText(text, true);
    scope.cursor().insertText(text, format);
}
