#pragma once

#include "data/FbApi.h"
#include "data/FieldKind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <firebird/Interface.h>
#include <functional>
#include <vector>

class Database;
class Transaction;

// How one result column is described by the database.
struct ColumnInfo {
    QString name;
    FieldKind kind = FieldKind::Unknown;
    unsigned sqlType = 0;
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charSet = 0;
};

// One value: either known, or a blob still in the database (read on first use).
struct Cell {
    QVariant value;
    bool blobPending = false;
    ISC_QUAD blobId{};
};
using RowValues = std::vector<Cell>;

// A prepared statement with positional parameters on one connection and transaction.
class Statement {
  public:
    Statement(Database& db, Transaction& tr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Named parameters in the text are turned into positional ones.
    void Prepare(const QString& sql);
    void Unprepare();
    bool Prepared() const { return static_cast<bool>(statement_); }
    const QStringList& ParamNames() const { return paramNames_; }
    const std::vector<ColumnInfo>& Columns() const { return columns_; }

    // Runs a statement without a cursor; the values of a RETURNING clause go to returned.
    // The number of rows it inserted, updated or deleted.
    quint64 Execute(const std::vector<Cell>& params, RowValues* returned = nullptr);
    void Open(const std::vector<Cell>& params);
    // False when there are no more rows.
    bool Fetch(RowValues* row);
    void CloseCursor();

  private:
    void DescribeColumns();
    // The parameters as the message the statement is run with.
    struct InputMessage {
        Fb::Ref<Firebird::IMessageMetadata> meta;
        std::vector<unsigned char> buffer;
    };
    InputMessage BuildInput(const std::vector<Cell>& params);
    void ReadRow(RowValues* row);
    // Shared by execute and open: the input message built from params, errors translated.
    using InputRun = std::function<void(Firebird::ThrowStatusWrapper*, Firebird::IMessageMetadata*,
                                        void* buffer)>;
    void RunWithInput(const std::vector<Cell>& params, const InputRun& run);

    Database& db_;
    Transaction& tr_;
    Fb::Ref<Firebird::IStatement> statement_;
    Fb::Ref<Firebird::IResultSet> cursor_;
    Fb::Ref<Firebird::IMessageMetadata> outMeta_;
    std::vector<unsigned char> outBuffer_;
    std::vector<unsigned> offsets_;
    std::vector<unsigned> nullOffsets_;
    QStringList paramNames_;
    std::vector<ColumnInfo> columns_;
};

// Blob access on a connection and transaction.
QByteArray ReadBlob(Database& db, Transaction& tr, const ISC_QUAD& id);
// How many blobs were read since the program started (tests prove blobs are read lazily).
int BlobReadCount();
ISC_QUAD WriteBlob(Database& db, Transaction& tr, const QByteArray& bytes);
