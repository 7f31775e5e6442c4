#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

class Field;
class Query;

// The sheet text file: one comma-separated line per row of a data set, Shift-JIS, CRLF, no
// byte order mark, columns matched by position only.

// ---------------------------------------------------------------------------
// Writing

// A field's value as it is written: strings quoted (their double quotes dropped), other values
// unquoted, kinds without a text form as an empty token.
QString FieldToken(const Field& field);
// The current row as one line, without its line end.
QString RecordLine(Query& dataSet);

// A sheet text file open for writing lines; closed when destroyed. Every line is on disk before
// the next is written, so a failure keeps the lines before it. Failures raise the file system's
// message.
class SheetTextWriter {
  public:
    // Appends after the file's last byte, or creates or empties the file.
    SheetTextWriter(const QString& fileName, bool append);
    SheetTextWriter(const SheetTextWriter&) = delete;
    SheetTextWriter& operator=(const SheetTextWriter&) = delete;

    void WriteRecord(Query& dataSet);

  private:
    QFile file_;
};

// Writes the current row as one line. False when the data set has no current row (nothing is
// written then).
bool WriteRecordLine(Query& dataSet, const QString& fileName, bool append);

// Which rows an export writes.
enum class ExportRange { All, Selected, Current };

// Writes rows as lines: all from the first, the selected ones (record numbers, written in list
// order; none selected means the current row), or the current row. The data set is left on the
// last row written. Returns the number of lines written; an empty data set writes nothing and
// leaves the file as it was.
int ExportRecords(Query& dataSet, const QString& fileName, bool append, ExportRange range,
                  const QList<int>& selectedRecNos = {});

// ---------------------------------------------------------------------------
// Reading

// Splits a line into its tokens; nullopt when a quoted token is never closed.
std::optional<QStringList> SplitSheetLine(QStringView line);

// The lines of a text file, read a piece at a time. Lines end at CR, LF or CRLF; an empty last
// line does not count. Failures raise the file system's message.
class SheetTextReader {
  public:
    // Longer lines are cut here: no table row comes near it.
    static constexpr qsizetype kMaxLineBytes = 1 << 20;
    // A file beyond either bound is refused (a real sheet file holds a few hundred lines): its
    // rows would take the window for minutes.
    static constexpr qint64 kMaxFileBytes = 10 * 1024 * 1024;
    static constexpr int kMaxLines = 10000;

    explicit SheetTextReader(const QString& fileName);
    SheetTextReader(const SheetTextReader&) = delete;
    SheetTextReader& operator=(const SheetTextReader&) = delete;

    // The next line decoded from Shift-JIS (invalid bytes become U+FFFD); false at the end.
    bool NextLine(QString* line);
    // True when the line last read was longer than kMaxLineBytes and was cut.
    bool LineCut() const { return cut_; }

  private:
    bool Fill();

    [[noreturn]] void TooLarge() const;

    QFile file_;
    QByteArray buffer_;
    int lines_ = 0;
    qint64 read_ = 0; // a pipe has no size to check beforehand
    qsizetype pos_ = 0;
    bool skipLf_ = false;
    bool cut_ = false;
};

// Appends one posted row to the target for each line: the new-row defaults first, then every
// field with a text form from the token at its position. Raises "Update Error" at the first line
// that cannot become a row; that line's row is cancelled and the rows before stay cached.
bool ImportLines(Query& target, const QStringList& lines);
// The same for the lines of a file, read whole (within the reader's bounds) before any row is
// added; the file system's message when it cannot be read.
bool ImportFile(Query& target, const QString& fileName);
