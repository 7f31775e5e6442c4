#include "model/MergeList.h"

#include "platform/Error.h"
#include "platform/SjisCodec.h"

#include <QFile>
#include <QFileInfo>

#include <csv.h>

#include <algorithm>
#include <memory>

namespace {

QString AtLine(const QString& origin, qsizetype line, const QString& what) {
    return QStringLiteral("差し込みデータ「%1」の %2 行目: %3").arg(origin).arg(line).arg(what);
}

QString EncodingName(ListEncoding encoding) {
    return encoding == ListEncoding::Cp932 ? QStringLiteral("Shift-JIS (CP932)")
                                           : QStringLiteral("UTF-8");
}

// Invalid or truncated sequences decode to U+FFFD, whose bytes differ from theirs.
bool IsUtf8(QByteArrayView bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Physical lines with their terminators; a quoted line break joins them again in the parser.
template <typename Visit> void ForEachLine(QByteArrayView bytes, Visit visit) {
    qsizetype start = 0;
    qsizetype line = 1;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        if (end < bytes.size())
            ++end;
        visit(bytes.sliced(start, end - start), line++);
        start = end;
    }
}

// The list as UTF-8, whichever encoding it came in; neither encoding lets a character's bytes
// span a line break, so a line that will not decode is named exactly.
QByteArray ToUtf8(QByteArrayView bytes, ListEncoding* encoding, const QString& origin) {
    if (bytes.startsWith("\xEF\xBB\xBF") && *encoding != ListEncoding::Cp932) {
        bytes = bytes.sliced(3);
        *encoding = ListEncoding::Utf8;
    }
    if (*encoding == ListEncoding::Auto)
        *encoding = IsUtf8(bytes) ? ListEncoding::Utf8 : ListEncoding::Cp932;
    QByteArray utf8;
    utf8.reserve(bytes.size() + bytes.size() / 2);
    ForEachLine(bytes, [&](QByteArrayView line, qsizetype number) {
        const bool ok =
            *encoding == ListEncoding::Utf8 ? IsUtf8(line) : Sjis::IsValid(line.toByteArray());
        if (!ok)
            throw EError(AtLine(
                origin, number,
                QStringLiteral("%1 として読めない文字があります。").arg(EncodingName(*encoding))));
        utf8 += *encoding == ListEncoding::Utf8 ? line : Sjis::Decode(line.toByteArray()).toUtf8();
    });
    return utf8;
}

// A header line with more tabs than commas outside quotes makes a tab-separated list.
QChar DelimiterOf(QByteArrayView utf8) {
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (const char c : utf8) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted)
            c == ',' ? ++commas : c == '\t' ? ++tabs : 0;
    }
    return tabs > commas ? u'\t' : u',';
}

struct ParserFree {
    void operator()(csv_parser* parser) const {
        csv_free(parser);
        delete parser;
    }
};

// Gathers libcsv's fields into rows, checking each row against the header as it ends.
class ListBuilder {
  public:
    ListBuilder(MergeList& list, const QString& origin) : list_(list), origin_(origin) {}

    void parse(QByteArrayView utf8);

  private:
    static void OnField(void* data, size_t size, void* self) {
        static_cast<ListBuilder*>(self)->field(static_cast<const char*>(data), size);
    }
    static void OnRow(int, void* self) { static_cast<ListBuilder*>(self)->row(); }
    void field(const char* data, size_t size);
    void row();
    void fail(qsizetype line, const QString& what) const {
        throw EError(AtLine(origin_, line, what));
    }

    MergeList& list_;
    const QString& origin_;
    QStringList fields_;
    bool header_ = true;
    qsizetype line_ = 0;      // the physical line being fed
    qsizetype rowStart_ = -1; // the line the row being read began on; -1 between rows
};

void ListBuilder::parse(QByteArrayView utf8) {
    std::unique_ptr<csv_parser, ParserFree> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0)
        throw std::bad_alloc();
    csv_set_delim(parser.get(), static_cast<unsigned char>(list_.delimiter.unicode()));
    csv_set_space_func(parser.get(), [](unsigned char) { return 0; }); // blanks are data
    ForEachLine(utf8, [&](QByteArrayView line, qsizetype number) {
        line_ = number;
        if (rowStart_ < 0 && line.trimmed().size() > 0)
            rowStart_ = number;
        if (csv_parse(parser.get(), line.data(), static_cast<size_t>(line.size()), OnField, OnRow,
                      this) != static_cast<size_t>(line.size()))
            fail(number, csv_error(parser.get()) == CSV_EPARSE
                             ? QStringLiteral("引用符の使い方が正しくありません。")
                             : QStringLiteral("読み込めません。"));
    });
    if (csv_fini(parser.get(), OnField, OnRow, this) != 0)
        fail(rowStart_, QStringLiteral("引用符が閉じられていません。"));
}

void ListBuilder::field(const char* data, size_t size) {
    if (fields_.size() >= kMaxMergeListColumns)
        fail(rowStart_, QStringLiteral("列が多すぎます (上限 %L1 列)。").arg(kMaxMergeListColumns));
    fields_.append(QString::fromUtf8(data, static_cast<qsizetype>(size)));
}

void ListBuilder::row() {
    const qsizetype start = rowStart_;
    rowStart_ = -1;
    QStringList fields = std::move(fields_);
    fields_ = {};
    if (header_) {
        list_.columns = std::move(fields);
        header_ = false;
        return;
    }
    if (fields.size() > list_.columns.size())
        fail(start, QStringLiteral("見出し行 (%1 列) より多い %2 列があります。")
                        .arg(list_.columns.size())
                        .arg(fields.size()));
    if (std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.isEmpty(); }))
        return;
    if (static_cast<qsizetype>(list_.rows.size()) >= kMaxMergeListRows)
        fail(start, QStringLiteral("行が多すぎます (上限 %L1 行)。").arg(kMaxMergeListRows));
    while (fields.size() < list_.columns.size())
        fields.append(QString());
    list_.rows.push_back(std::move(fields));
}

EError TooBig(const QString& origin) {
    return EError(QStringLiteral("差し込みデータ「%1」が大きすぎます (上限 %L2 MB)。")
                      .arg(origin)
                      .arg(kMaxMergeListBytes / (1024 * 1024)));
}

} // namespace

int MergeList::ColumnIndex(const QString& name) const {
    return static_cast<int>(columns.indexOf(name));
}

bool ParseListEncoding(const QString& text, ListEncoding* encoding) {
    const QString key = text.toLower();
    if (key == u"auto")
        *encoding = ListEncoding::Auto;
    else if (key == u"utf-8" || key == u"utf8")
        *encoding = ListEncoding::Utf8;
    else if (key == u"cp932" || key == u"shift-jis" || key == u"sjis")
        *encoding = ListEncoding::Cp932;
    else
        return false;
    return true;
}

MergeList ReadMergeList(const QByteArray& bytes, ListEncoding encoding, const QString& origin) {
    if (bytes.size() > kMaxMergeListBytes)
        throw TooBig(origin);
    MergeList list;
    const QByteArray utf8 = ToUtf8(bytes, &encoding, origin);
    list.encoding = encoding;
    list.delimiter = DelimiterOf(utf8);
    ListBuilder(list, origin).parse(utf8);
    if (list.columns.isEmpty())
        throw EError(QStringLiteral("差し込みデータ「%1」に見出しの行がありません。").arg(origin));
    return list;
}

MergeList LoadMergeList(const QString& path, ListEncoding encoding) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EError(
            QStringLiteral("差し込みデータ「%1」を開けません: %2").arg(path, file.errorString()));
    if (file.size() > kMaxMergeListBytes)
        throw TooBig(name);
    return ReadMergeList(file.readAll(), encoding, name);
}
