#include "printcore/PrintSnapshot.h"

#include "data/Query.h"
#include "platform/Error.h"
#include "platform/SafeFile.h"
#include "platform/Settings.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>

namespace PrintSnapshot {
namespace {

const QByteArray kMagic("TAVSNAP\x1a", 8);
constexpr auto kDigest = QCryptographicHash::Sha1;
constexpr int kDigestSize = 20;
constexpr quint32 kMaxColumns = 4096;

// The kinds of value a cell may hold in the file.
enum class Tag : quint8 { Null, Int, Int64, Real, Text, Bytes, Date, Time, DateTime, Bool };

[[noreturn]] void Fail() {
    throw EError(QStringLiteral("印刷データ作成に失敗しました。"));
}

void WriteValue(QDataStream& out, const QVariant& v) {
    auto put = [&out](Tag tag, const auto& value) { out << static_cast<quint8>(tag) << value; };
    if (v.isNull()) {
        out << static_cast<quint8>(Tag::Null);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
        return put(Tag::Int, static_cast<qint32>(v.toInt()));
    case QMetaType::LongLong:
        return put(Tag::Int64, static_cast<qint64>(v.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return put(Tag::Real, v.toDouble());
    case QMetaType::QByteArray:
        return put(Tag::Bytes, v.toByteArray());
    case QMetaType::QDate:
        return put(Tag::Date, v.toDate());
    case QMetaType::QTime:
        return put(Tag::Time, v.toTime());
    case QMetaType::QDateTime:
        return put(Tag::DateTime, v.toDateTime());
    case QMetaType::Bool:
        return put(Tag::Bool, v.toBool());
    default:
        return put(Tag::Text, v.toString());
    }
}

template <class T> QVariant ReadAs(QDataStream& in) {
    T value{};
    in >> value;
    return QVariant::fromValue(value);
}

QVariant ReadValue(QDataStream& in) {
    quint8 tag = 0;
    in >> tag;
    switch (static_cast<Tag>(tag)) {
    case Tag::Null:
        return {};
    case Tag::Int:
        return ReadAs<qint32>(in);
    case Tag::Int64:
        return ReadAs<qint64>(in);
    case Tag::Real:
        return ReadAs<double>(in);
    case Tag::Text:
        return ReadAs<QString>(in);
    case Tag::Bytes:
        return ReadAs<QByteArray>(in);
    case Tag::Date:
        return ReadAs<QDate>(in);
    case Tag::Time:
        return ReadAs<QTime>(in);
    case Tag::DateTime:
        return ReadAs<QDateTime>(in);
    case Tag::Bool:
        return ReadAs<bool>(in);
    }
    Fail();
}

QByteArray Body(Query& dataSet) {
    QByteArray body;
    QBuffer buffer(&body);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setVersion(QDataStream::Qt_6_0);
    out << kVersion << static_cast<quint32>(dataSet.FieldCount());
    for (int f = 0; f < dataSet.FieldCount(); ++f)
        out << dataSet.Column(f).name << static_cast<qint32>(dataSet.Column(f).kind);
    out << static_cast<quint32>(dataSet.RecordCount());
    for (int r = 0; r < dataSet.RecordCount(); ++r)
        for (int f = 0; f < dataSet.FieldCount(); ++f)
            WriteValue(out, dataSet.RowValue(r, f));
    return body;
}

std::vector<ColumnInfo> ReadColumns(QDataStream& in) {
    quint32 count = 0;
    in >> count;
    if (count > kMaxColumns)
        Fail();
    std::vector<ColumnInfo> columns(count);
    for (ColumnInfo& c : columns) {
        qint32 kind = -1;
        in >> c.name >> kind;
        if (kind < 0 || kind > static_cast<qint32>(FieldKind::WideMemo) || c.name.isEmpty())
            Fail();
        c.kind = static_cast<FieldKind>(kind);
    }
    return columns;
}

std::vector<RowValues> ReadRows(QDataStream& in, size_t columnCount, qint64 bytesLeft) {
    quint32 count = 0;
    in >> count;
    // Every cell takes at least its tag byte, so a count beyond that is damage.
    if (columnCount == 0 ? count != 0 : count > bytesLeft / static_cast<qint64>(columnCount))
        Fail();
    std::vector<RowValues> rows(count, RowValues(columnCount));
    for (RowValues& row : rows)
        for (Cell& cell : row) {
            cell.value = ReadValue(in);
            if (in.status() != QDataStream::Ok)
                Fail();
        }
    return rows;
}

} // namespace

void Save(Query& dataSet, const QString& path) {
    try {
        QByteArray file = kMagic + Body(dataSet);
        file += QCryptographicHash::hash(file, kDigest);
        WriteWholeFile(path, file, {});
    } catch (...) {
        Fail();
    }
}

void Load(const QString& path, Query& dataSet) {
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            Fail();
        const QByteArray bytes = file.readAll();
        if (bytes.size() < kMagic.size() + kDigestSize || !bytes.startsWith(kMagic))
            Fail();
        const QByteArray content = bytes.first(bytes.size() - kDigestSize);
        if (QCryptographicHash::hash(content, kDigest) != bytes.last(kDigestSize))
            Fail();
        QDataStream in(content.sliced(kMagic.size()));
        in.setVersion(QDataStream::Qt_6_0);
        quint16 version = 0;
        in >> version;
        if (version != kVersion)
            Fail();
        std::vector<ColumnInfo> columns = ReadColumns(in);
        std::vector<RowValues> rows =
            ReadRows(in, columns.size(), in.device() ? in.device()->bytesAvailable() : 0);
        if (in.status() != QDataStream::Ok || !in.atEnd())
            Fail();
        dataSet.LoadFromRows(std::move(columns), std::move(rows));
        dataSet.Open();
    } catch (...) {
        Fail();
    }
}

void Copy(Query& dataSet, Query& into) {
    try {
        std::vector<ColumnInfo> columns;
        for (int f = 0; f < dataSet.FieldCount(); ++f)
            columns.push_back({dataSet.Column(f).name, dataSet.Column(f).kind});
        std::vector<RowValues> rows(static_cast<size_t>(dataSet.RecordCount()));
        for (int r = 0; r < dataSet.RecordCount(); ++r)
            for (int f = 0; f < dataSet.FieldCount(); ++f)
                rows[static_cast<size_t>(r)].push_back(Cell{dataSet.RowValue(r, f)});
        into.LoadFromRows(std::move(columns), std::move(rows));
        into.Open();
    } catch (...) {
        Fail();
    }
}

} // namespace PrintSnapshot

bool WritePrintSnapshot(Query& dataSet) {
    QFile::remove(Settings::SnapshotPath);
    PrintSnapshot::Save(dataSet, Settings::SnapshotPath);
    return true;
}
