#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Little-endian values from a block of outside data. Every read is checked against the block's
// end; reading past it raises the owner's fixed message, so a cut-off file is refused, not read.
class ByteReader {
  public:
    ByteReader(const QByteArray& data, QString failure)
        : data_(data), failure_(std::move(failure)) {}

    qint64 Size() const { return data_.size(); }
    bool Has(qint64 at, qint64 length) const {
        return at >= 0 && length >= 0 && at <= Size() && length <= Size() - at;
    }
    void Need(qint64 at, qint64 length) const {
        if (!Has(at, length))
            Fail();
    }
    [[noreturn]] void Fail() const { throw EError(failure_); }
    const QString& Failure() const { return failure_; }

    const uchar* Data(qint64 at, qint64 length) const {
        Need(at, length);
        return reinterpret_cast<const uchar*>(data_.constData()) + at;
    }
    QByteArray Mid(qint64 at, qint64 length) const {
        Need(at, length);
        return data_.mid(at, length);
    }
    quint8 U8(qint64 at) const { return *Data(at, 1); }
    quint16 U16(qint64 at) const { return qFromLittleEndian<quint16>(Data(at, 2)); }
    quint32 U32(qint64 at) const { return qFromLittleEndian<quint32>(Data(at, 4)); }
    qint16 I16(qint64 at) const { return qFromLittleEndian<qint16>(Data(at, 2)); }
    qint32 I32(qint64 at) const { return qFromLittleEndian<qint32>(Data(at, 4)); }

  private:
    const QByteArray& data_;
    QString failure_;
};
