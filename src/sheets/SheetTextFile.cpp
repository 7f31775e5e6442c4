#include "sheets/SheetTextFile.h"

#include "data/Query.h"
#include "data/RecordCopy.h"
#include "platform/Error.h"
#include "platform/SjisCodec.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

namespace {

const QString kUpdateError = QStringLiteral("Update Error");
constexpr qint64 kReadChunk = 64 * 1024;

EError FileError(const QFile& file) {
    return EError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.fileName()),
                                               file.errorString()));
}

// ---------------------------------------------------------------------------
// Export

bool HasCurrentRow(const Query& dataSet) {
    return dataSet.Active() && !dataSet.IsEmpty();
}

// Record numbers in list order, each once, those that no longer exist dropped.
QList<int> ExistingRecNos(QList<int> recNos, int recordCount) {
    std::sort(recNos.begin(), recNos.end());
    recNos.erase(std::unique(recNos.begin(), recNos.end()), recNos.end());
    recNos.removeIf([recordCount](int n) { return n < 1 || n > recordCount; });
    return recNos;
}

QList<int> RowsToWrite(Query& dataSet, ExportRange range, const QList<int>& selected) {
    if (!HasCurrentRow(dataSet))
        return {};
    if (range == ExportRange::Current)
        return {dataSet.RecNo()};
    dataSet.CheckBrowseMode();
    if (range == ExportRange::All) {
        QList<int> all(dataSet.RecordCount());
        std::iota(all.begin(), all.end(), 1);
        return all;
    }
    const QList<int> existing = ExistingRecNos(selected, dataSet.RecordCount());
    return existing.isEmpty() ? QList<int>{dataSet.RecNo()} : existing;
}

// ---------------------------------------------------------------------------
// Import

enum : unsigned {
    CharSetNone = 0,
    Octets = 1,
    UnicodeFss = 3,
    Utf8 = 4,
    Sjis0208 = 5,
    Eucj0208 = 6
};

// Characters a text column holds: its declared bytes over the widest character of its set.
qsizetype TextCapacity(const ColumnInfo& column) {
    switch (column.charSet) {
    case UnicodeFss:
        return column.length / 3;
    case Utf8:
        return column.length / 4;
    case Sjis0208:
    case Eucj0208:
        return column.length / 2;
    default:
        return column.length;
    }
}

// Whether the database would take the value; one it refuses would block every later apply.
bool ColumnTakes(const ColumnInfo& column, const QVariant& value) {
    switch (column.kind) {
    case FieldKind::String:
    case FieldKind::FixedChar:
        if (!Sjis::FitsDatabase(value.toString()))
            return false;
        // A column without a character set stores the connection's Shift-JIS bytes as they are.
        if (column.charSet == CharSetNone || column.charSet == Octets)
            return Sjis::Encode(value.toString()).size() <= column.length;
        return value.toString().toUcs4().size() <= TextCapacity(column);
    case FieldKind::SmallInt:
        return value.toInt() >= std::numeric_limits<qint16>::min() &&
               value.toInt() <= std::numeric_limits<qint16>::max();
    default:
        return true;
    }
}

// Text files hold neither NULs nor bytes that are not Shift-JIS (decoded as U+FFFD).
bool IsTextLine(const QString& line) {
    return !line.contains(QChar(0)) && !line.contains(QChar::ReplacementCharacter);
}

void FillRow(Query& target, const QStringList& tokens) {
    for (int i = 0; i < target.FieldCount(); ++i) {
        const FieldKind kind = target.Column(i).kind;
        if (IsNonTextField(kind))
            continue;
        if (i >= tokens.size())
            throw EError(kUpdateError);
        const QVariant value = TextToFieldValue(tokens[i], kind);
        if (!ColumnTakes(target.Column(i), value))
            throw EError(kUpdateError);
        target.Fields(i).SetValue(value);
    }
}

void ImportLine(Query& target, const QString& line) {
    const std::optional<QStringList> tokens =
        IsTextLine(line) ? SplitSheetLine(line) : std::nullopt;
    if (!tokens)
        throw EError(kUpdateError);
    target.Append();
    try {
        FillRow(target, *tokens);
        target.Post();
    } catch (...) {
        // A half-filled row must not reach the database with the next apply.
        target.Cancel();
        throw;
    }
}

template <class Step> void OrUpdateError(const Step& step) {
    try {
        step();
    } catch (...) {
        throw EError(kUpdateError);
    }
}

// Hourglass and suspended display for the whole import, also when it fails.
class ImportSession {
  public:
    explicit ImportSession(Query& target) : controls_(target) {
        OrUpdateError([&] { target.FieldDefsUpdate(); });
    }

  private:
    WaitCursor wait_;
    ControlsDisabled controls_;
};

// ---------------------------------------------------------------------------
// Splitting

bool IsBlank(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

qsizetype SkipBlanks(QStringView line, qsizetype i) {
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

// The quoted token opening at i, a doubled quote standing for one. Returns the position after
// the closing quote, or -1 when there is none.
qsizetype ReadQuoted(QStringView line, qsizetype i, QString* token) {
    for (++i;;) {
        const qsizetype quote = line.indexOf(u'"', i);
        if (quote < 0)
            return -1;
        token->append(line.mid(i, quote - i));
        if (quote + 1 >= line.size() || line[quote + 1] != u'"')
            return quote + 1;
        token->append(u'"');
        i = quote + 2;
    }
}

qsizetype ReadPlain(QStringView line, qsizetype i, QString* token) {
    qsizetype end = i;
    while (end < line.size() && line[end] != u',' && !IsBlank(line[end]))
        ++end;
    *token = line.mid(i, end - i).toString();
    return end;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing

QString FieldToken(const Field& field) {
    const FieldKind kind = field.DataType();
    if (IsNonTextField(kind))
        return {};
    if (kind == FieldKind::String)
        return u'"' + field.AsString().remove(u'"') + u'"';
    return field.AsString();
}

QString RecordLine(Query& dataSet) {
    QStringList tokens;
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        tokens << FieldToken(dataSet.Fields(i));
    return tokens.join(u',');
}

SheetTextWriter::SheetTextWriter(const QString& fileName, bool append) : file_(fileName) {
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered |
                                     (append ? QIODevice::Append : QIODevice::Truncate);
    if (!file_.open(mode))
        throw FileError(file_);
}

void SheetTextWriter::WriteRecord(Query& dataSet) {
    const QByteArray bytes = Sjis::Encode(RecordLine(dataSet)) + "\r\n";
    const qint64 start = file_.size();
    // A short write is retried so that the file system names its reason.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file_.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const EError error = FileError(file_);
            file_.resize(start); // no half line after the lines that made it
            throw error;
        }
        done += n;
    }
}

bool WriteRecordLine(Query& dataSet, const QString& fileName, bool append) {
    if (!HasCurrentRow(dataSet))
        return false;
    WaitCursor wait;
    SheetTextWriter(fileName, append).WriteRecord(dataSet);
    return true;
}

int ExportRecords(Query& dataSet, const QString& fileName, bool append, ExportRange range,
                  const QList<int>& selectedRecNos) {
    WaitCursor wait;
    ControlsDisabled controls(dataSet);
    const QList<int> rows = RowsToWrite(dataSet, range, selectedRecNos);
    if (rows.isEmpty())
        return 0;
    SheetTextWriter writer(fileName, append);
    int written = 0;
    for (int recNo : rows) {
        if (range != ExportRange::Current)
            dataSet.SetRecNo(recNo);
        writer.WriteRecord(dataSet);
        ++written;
    }
    return written;
}

// ---------------------------------------------------------------------------
// Reading

std::optional<QStringList> SplitSheetLine(QStringView line) {
    QStringList tokens;
    qsizetype i = SkipBlanks(line, 0);
    while (i < line.size()) {
        QString token;
        i = line[i] == u'"' ? ReadQuoted(line, i, &token) : ReadPlain(line, i, &token);
        if (i < 0)
            return std::nullopt;
        tokens << token;
        i = SkipBlanks(line, i);
        if (i < line.size() && line[i] == u',') {
            if (i == line.size() - 1)
                tokens << QString();
            i = SkipBlanks(line, i + 1);
        }
    }
    return tokens;
}

SheetTextReader::SheetTextReader(const QString& fileName) : file_(fileName) {
    if (!file_.open(QIODevice::ReadOnly))
        throw FileError(file_);
    if (file_.size() > kMaxFileBytes)
        TooLarge();
}

void SheetTextReader::TooLarge() const {
    throw EError(
        QStringLiteral("%1: ファイルが大きすぎます。読み込めるのは %2 行、%3 MB までです。")
            .arg(QDir::toNativeSeparators(file_.fileName()))
            .arg(kMaxLines)
            .arg(kMaxFileBytes / (1024 * 1024)));
}

bool SheetTextReader::Fill() {
    buffer_.resize(kReadChunk);
    const qint64 n = file_.read(buffer_.data(), kReadChunk);
    if (n < 0)
        throw FileError(file_);
    if ((read_ += n) > kMaxFileBytes)
        TooLarge();
    buffer_.resize(n);
    pos_ = 0;
    return n > 0;
}

bool SheetTextReader::NextLine(QString* line) {
    QByteArray bytes;
    bool started = false;
    cut_ = false;
    for (;;) {
        if (pos_ == buffer_.size() && !Fill())
            break;
        if (std::exchange(skipLf_, false) && buffer_[pos_] == '\n') {
            ++pos_;
            continue;
        }
        started = true;
        const char* begin = buffer_.constData() + pos_;
        const char* end = std::find_if(begin, buffer_.constData() + buffer_.size(),
                                       [](char c) { return c == '\r' || c == '\n'; });
        const qsizetype room = std::max<qsizetype>(0, kMaxLineBytes - bytes.size());
        cut_ = cut_ || end - begin > room;
        bytes.append(begin, std::min<qsizetype>(end - begin, room));
        pos_ = end - buffer_.constData();
        if (pos_ < buffer_.size()) {
            skipLf_ = buffer_[pos_++] == '\r';
            break;
        }
    }
    if (!started)
        return false;
    if (++lines_ > kMaxLines)
        TooLarge();
    *line = Sjis::Decode(bytes);
    return true;
}

bool ImportLines(Query& target, const QStringList& lines) {
    ImportSession session(target);
    for (const QString& line : lines)
        OrUpdateError([&] { ImportLine(target, line); });
    return true;
}

bool ImportFile(Query& target, const QString& fileName) {
    // Read whole first: a file beyond the bounds adds no row at all.
    SheetTextReader reader(fileName);
    QStringList lines;
    bool cut = false;
    for (QString line; !cut && reader.NextLine(&line);) {
        cut = reader.LineCut();
        if (!cut)
            lines << line;
    }
    ImportLines(target, lines);
    if (cut)
        throw EError(kUpdateError);
    return true;
}
