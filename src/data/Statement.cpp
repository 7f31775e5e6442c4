#include "data/Statement.h"

#include "data/Database.h"
#include "data/FbApi.h"
#include "data/SqlParams.h"
#include "platform/SjisCodec.h"

#include <QDateTime>
#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {

constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kMaxSegment = 32768;

FieldKind KindOf(unsigned type, int subType, int scale, unsigned charSet) {
    const bool exact = scale < 0 || subType == 1 || subType == 2;
    switch (type) {
    case SQL_SHORT:
        return exact ? FieldKind::BCD : FieldKind::SmallInt;
    case SQL_LONG:
        return exact ? FieldKind::BCD : FieldKind::Integer;
    case SQL_INT64:
        return exact ? FieldKind::BCD : FieldKind::LargeInt;
    case SQL_TEXT:
        return charSet == kCharsetOctets ? FieldKind::Bytes : FieldKind::FixedChar;
    case SQL_VARYING:
        return charSet == kCharsetOctets ? FieldKind::VarBytes : FieldKind::String;
    case SQL_BLOB:
        return subType == 1 ? FieldKind::Memo : FieldKind::Blob;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_BOOLEAN:
        return FieldKind::Boolean;
    case SQL_ARRAY:
        return FieldKind::Array;
    default:
        return FieldKind::Unknown;
    }
}

QString DecodeText(const QByteArray& bytes, unsigned charSet) {
    Q_UNUSED(charSet);
    return Sjis::Decode(bytes);
}

QVariant TextValue(const unsigned char* p, unsigned type, unsigned length, unsigned charSet) {
    QByteArray bytes;
    if (type == SQL_VARYING) {
        unsigned short len = 0;
        std::memcpy(&len, p, sizeof len);
        bytes = QByteArray(reinterpret_cast<const char*>(p) + 2, len);
    } else {
        bytes = QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(length));
        if (charSet != kCharsetOctets) {
            while (bytes.endsWith(' '))
                bytes.chop(1); // fixed-length text comes padded
        }
    }
    if (charSet == kCharsetOctets)
        return bytes;
    return DecodeText(bytes, charSet);
}

template <class T> T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

QVariant ScaledValue(qint64 raw, int scale) {
    if (scale == 0)
        return raw;
    return static_cast<double>(raw) * std::pow(10.0, scale);
}

QDate DecodeDate(ISC_DATE d) {
    unsigned y = 0, m = 0, day = 0;
    Fb::Util()->decodeDate(d, &y, &m, &day);
    return QDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(day));
}

QTime DecodeTime(ISC_TIME t) {
    unsigned h = 0, m = 0, s = 0, frac = 0;
    Fb::Util()->decodeTime(t, &h, &m, &s, &frac);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s),
                 static_cast<int>(frac / 10));
}

QVariant NumberValue(const unsigned char* p, const ColumnInfo& c) {
    switch (c.sqlType) {
    case SQL_SHORT: {
        QVariant v = ScaledValue(Load<short>(p), c.scale);
        return c.scale == 0 ? QVariant(v.toInt()) : v;
    }
    case SQL_LONG: {
        QVariant v = ScaledValue(Load<int>(p), c.scale);
        return c.scale == 0 ? QVariant(v.toInt()) : v;
    }
    case SQL_INT64:
        return ScaledValue(Load<qint64>(p), c.scale);
    case SQL_FLOAT:
        return static_cast<double>(Load<float>(p));
    default:
        return Load<double>(p);
    }
}

QVariant ColumnValue(const unsigned char* p, const ColumnInfo& c) {
    switch (c.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING:
        return TextValue(p, c.sqlType, c.length, c.charSet);
    case SQL_TYPE_DATE:
        return DecodeDate(Load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return DecodeTime(Load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = Load<ISC_TIMESTAMP>(p);
        return QDateTime(DecodeDate(ts.timestamp_date), DecodeTime(ts.timestamp_time));
    }
    case SQL_BOOLEAN:
        return Load<FB_BOOLEAN>(p) != 0;
    default:
        return NumberValue(p, c);
    }
}

bool IsTextType(unsigned t) {
    return t == SQL_TEXT || t == SQL_VARYING;
}
bool IsIntType(unsigned t) {
    return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64;
}

QByteArray TextBytes(const QVariant& v, unsigned charSet) {
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    if (charSet == kCharsetOctets)
        return v.toString().toUtf8();
    return Sjis::Encode(v.toString());
}

qint64 IntegerOf(const QVariant& v) {
    bool ok = false;
    qint64 n = v.toLongLong(&ok);
    if (!ok && v.typeId() == QMetaType::QString)
        n = v.toString().trimmed().toLongLong(&ok);
    if (!ok && v.canConvert<double>()) {
        const double d = v.toDouble(&ok);
        n = static_cast<qint64>(std::llround(d));
    }
    if (!ok)
        throw EError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

double RealOf(const QVariant& v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw EError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return d;
}

ISC_DATE EncodeDate(const QDate& d) {
    return Fb::Util()->encodeDate(static_cast<unsigned>(d.year()), static_cast<unsigned>(d.month()),
                                  static_cast<unsigned>(d.day()));
}

ISC_TIME EncodeTime(const QTime& t) {
    return Fb::Util()->encodeTime(
        static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
        static_cast<unsigned>(t.second()), static_cast<unsigned>(t.msec() * 10));
}

// One parameter after its value was turned into the bytes the database expects.
struct PreparedParam {
    bool isNull = true;
    unsigned type = SQL_VARYING;
    unsigned length = 0;
    int scale = 0;
    QByteArray bytes;
};

template <class T> QByteArray Bytes(const T& v) {
    return QByteArray(reinterpret_cast<const char*>(&v), sizeof v);
}

PreparedParam PrepareValue(Database& db, Transaction& tr, const Cell& cell, unsigned type,
                           unsigned charSet, int scale) {
    PreparedParam p;
    p.type = type;
    p.scale = scale;
    if (type == SQL_BLOB && cell.blobPending) {
        p.isNull = false;
        p.bytes = Bytes(cell.blobId);
        return p;
    }
    const QVariant& v = cell.value;
    p.isNull = v.isNull() || !v.isValid();
    if (p.isNull)
        return p;
    if (IsTextType(type) || type == SQL_NULL) {
        const QByteArray text = TextBytes(v, charSet);
        p.type = SQL_VARYING;
        p.bytes = Bytes(static_cast<unsigned short>(text.size())) + text;
    } else if (IsIntType(type) && scale == 0) {
        p.type = SQL_INT64;
        p.bytes = Bytes(IntegerOf(v));
    } else if (IsIntType(type) || type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_D_FLOAT) {
        p.type = SQL_DOUBLE;
        p.scale = 0;
        p.bytes = Bytes(RealOf(v));
    } else if (type == SQL_TYPE_DATE) {
        p.bytes = Bytes(EncodeDate(v.toDate()));
    } else if (type == SQL_TYPE_TIME) {
        p.bytes = Bytes(EncodeTime(v.toTime()));
    } else if (type == SQL_TIMESTAMP) {
        const QDateTime dt = v.toDateTime();
        p.bytes = Bytes(ISC_TIMESTAMP{EncodeDate(dt.date()), EncodeTime(dt.time())});
    } else if (type == SQL_BOOLEAN) {
        p.bytes = Bytes(static_cast<FB_BOOLEAN>(v.toBool() ? 1 : 0));
    } else if (type == SQL_BLOB) {
        const QByteArray data =
            v.typeId() == QMetaType::QByteArray ? v.toByteArray() : Sjis::Encode(v.toString());
        p.bytes = Bytes(WriteBlob(db, tr, data));
    } else {
        throw EError(QStringLiteral("Unsupported parameter type %1").arg(type));
    }
    p.length = p.type == SQL_VARYING
                   ? static_cast<unsigned>(std::max<qsizetype>(1, p.bytes.size() - 2))
                   : static_cast<unsigned>(p.bytes.size());
    return p;
}

unsigned NullLength(unsigned type, unsigned described) {
    return type == SQL_NULL ? 1 : std::max(described, 1u);
}

} // namespace

Statement::Statement(Database& db, Transaction& tr) : db_(db), tr_(tr) {}

Statement::~Statement() {
    try {
        Unprepare();
    } catch (...) {
        // Releasing must not throw.
    }
}

void Statement::Prepare(const QString& sql) {
    Unprepare();
    const PositionalSql positional = ToPositional(sql);
    const QByteArray text = Sjis::Encode(positional.text);
    try {
        Fb::Status st;
        statement_.reset(db_.Attachment()->prepare(
            &st, tr_.Handle(), static_cast<unsigned>(text.size()), text.constData(),
            static_cast<unsigned>(db_.SQLDialect), IStatement::PREPARE_PREFETCH_METADATA));
        outMeta_.reset(statement_->getOutputMetadata(&st));
        outBuffer_.assign(outMeta_->getMessageLength(&st), 0);
    } catch (const FbException& e) {
        Unprepare();
        RaiseDatabaseError(e);
    }
    paramNames_ = positional.names;
    DescribeColumns();
}

void Statement::DescribeColumns() {
    columns_.clear();
    offsets_.clear();
    nullOffsets_.clear();
    Fb::Status st;
    const unsigned count = outMeta_->getCount(&st);
    for (unsigned i = 0; i < count; ++i) {
        offsets_.push_back(outMeta_->getOffset(&st, i));
        nullOffsets_.push_back(outMeta_->getNullOffset(&st, i));
        ColumnInfo c;
        c.name = QString::fromUtf8(outMeta_->getAlias(&st, i));
        c.sqlType = outMeta_->getType(&st, i);
        c.subType = outMeta_->getSubType(&st, i);
        c.scale = outMeta_->getScale(&st, i);
        c.length = outMeta_->getLength(&st, i);
        c.charSet = outMeta_->getCharSet(&st, i);
        c.kind = KindOf(c.sqlType, c.subType, c.scale, c.charSet);
        columns_.push_back(c);
    }
}

void Statement::Unprepare() {
    CloseCursor();
    outMeta_.reset();
    if (statement_) {
        try {
            Fb::Status st;
            statement_->free(&st);
            statement_.Ended();
        } catch (const FbException&) {
            statement_.reset();
        }
    }
    columns_.clear();
    paramNames_.clear();
}

Statement::InputMessage Statement::BuildInput(const std::vector<Cell>& params) {
    Fb::Status st;
    const Fb::Ref<IMessageMetadata> described(statement_->getInputMetadata(&st));
    const unsigned count = described->getCount(&st);
    if (params.size() < count)
        throw EError(QStringLiteral("Statement needs %1 parameters").arg(count));
    std::vector<PreparedParam> values;
    const Fb::Ref<IMetadataBuilder> builder(described->getBuilder(&st));
    for (unsigned i = 0; i < count; ++i) {
        const unsigned type = described->getType(&st, i);
        PreparedParam p = PrepareValue(db_, tr_, params[i], type, described->getCharSet(&st, i),
                                       described->getScale(&st, i));
        builder->setType(&st, i, p.type);
        builder->setScale(&st, i, p.scale);
        builder->setLength(&st, i,
                           p.isNull ? NullLength(type, described->getLength(&st, i)) : p.length);
        values.push_back(std::move(p));
    }
    InputMessage input;
    input.meta.reset(builder->getMetadata(&st));
    input.buffer.assign(input.meta->getMessageLength(&st), 0);
    for (unsigned i = 0; i < count; ++i) {
        const short nullFlag = values[i].isNull ? -1 : 0;
        std::memcpy(input.buffer.data() + input.meta->getNullOffset(&st, i), &nullFlag,
                    sizeof nullFlag);
        if (!values[i].isNull)
            std::memcpy(input.buffer.data() + input.meta->getOffset(&st, i),
                        values[i].bytes.constData(), static_cast<size_t>(values[i].bytes.size()));
    }
    return input;
}

void Statement::RunWithInput(const std::vector<Cell>& params, const InputRun& run) {
    if (!statement_)
        throw EError(QStringLiteral("Statement not prepared"));
    CloseCursor();
    try {
        Fb::Status st;
        InputMessage input = BuildInput(params);
        run(&st, input.meta.get(), input.buffer.data());
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
}

quint64 Statement::Execute(const std::vector<Cell>& params, RowValues* returned) {
    const bool output = returned && !columns_.empty();
    quint64 affected = 0;
    RunWithInput(params, [&](ThrowStatusWrapper* st, IMessageMetadata* input, void* buffer) {
        statement_->execute(st, tr_.Handle(), input, buffer, output ? outMeta_.get() : nullptr,
                            output ? outBuffer_.data() : nullptr);
        affected = statement_->getAffectedRecords(st);
    });
    if (output)
        ReadRow(returned);
    return affected;
}

void Statement::Open(const std::vector<Cell>& params) {
    RunWithInput(params, [this](ThrowStatusWrapper* st, IMessageMetadata* input, void* buffer) {
        cursor_.reset(statement_->openCursor(st, tr_.Handle(), input, buffer, outMeta_.get(), 0));
    });
}

bool Statement::Fetch(RowValues* row) {
    if (!cursor_)
        return false;
    try {
        Fb::Status st;
        if (cursor_->fetchNext(&st, outBuffer_.data()) != IStatus::RESULT_OK) {
            CloseCursor();
            return false;
        }
    } catch (const FbException& e) {
        CloseCursor();
        RaiseDatabaseError(e);
    }
    ReadRow(row);
    return true;
}

void Statement::ReadRow(RowValues* row) {
    row->assign(columns_.size(), Cell{});
    for (unsigned i = 0; i < columns_.size(); ++i) {
        const ColumnInfo& c = columns_[i];
        short nullFlag = 0;
        std::memcpy(&nullFlag, outBuffer_.data() + nullOffsets_[i], sizeof nullFlag);
        if (nullFlag)
            continue;
        const unsigned char* p = outBuffer_.data() + offsets_[i];
        Cell& cell = (*row)[i];
        if (c.sqlType == SQL_BLOB || c.sqlType == SQL_ARRAY) {
            cell.blobPending = true;
            std::memcpy(&cell.blobId, p, sizeof cell.blobId);
        } else {
            cell.value = ColumnValue(p, c);
        }
    }
}

void Statement::CloseCursor() {
    if (!cursor_)
        return;
    try {
        Fb::Status st;
        cursor_->close(&st);
        cursor_.Ended();
    } catch (const FbException&) {
        cursor_.reset();
    }
}

// ---------------------------------------------------------------------------

namespace {
int blobReads = 0;
}

int BlobReadCount() {
    return blobReads;
}

QByteArray ReadBlob(Database& db, Transaction& tr, const ISC_QUAD& id) {
    ++blobReads;
    QByteArray out;
    try {
        Fb::Status st;
        ISC_QUAD blobId = id;
        Fb::Ref<IBlob> blob(db.Attachment()->openBlob(&st, tr.Handle(), &blobId, 0, nullptr));
        char buffer[kMaxSegment];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&st, sizeof buffer, buffer, &got);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
                break;
            out.append(buffer, static_cast<qsizetype>(got));
        }
        blob->close(&st);
        blob.Ended();
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
    return out;
}

ISC_QUAD WriteBlob(Database& db, Transaction& tr, const QByteArray& bytes) {
    ISC_QUAD id{};
    try {
        Fb::Status st;
        Fb::Ref<IBlob> blob(db.Attachment()->createBlob(&st, tr.Handle(), &id, 0, nullptr));
        for (qsizetype pos = 0; pos < bytes.size(); pos += kMaxSegment) {
            const auto len =
                static_cast<unsigned>(std::min<qsizetype>(kMaxSegment, bytes.size() - pos));
            blob->putSegment(&st, len, bytes.constData() + pos);
        }
        blob->close(&st);
        blob.Ended();
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
    return id;
}
