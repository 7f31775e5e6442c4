#include "FuzzInput.h"
#include "data/Query.h"
#include "printcore/PrintSnapshot.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

// The input is the snapshot between its fixed beginning and its digest, which are added here:
// a digest the fuzzer would have to guess would keep it at the door. A snapshot that loads
// gives an open data set whose every cell reads in every way the print run reads it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TaTempp.cds"));
    QByteArray file = QByteArray("TAVSNAP\x1a", 8) + FuzzInput::Bytes(data, size);
    file += QCryptographicHash::hash(file, QCryptographicHash::Sha1);
    if (!FuzzInput::WriteFile(path, file))
        return 0;
    Query dataSet;
    FuzzInput::Refused([&] {
        PrintSnapshot::Load(path, dataSet);
        if (!dataSet.Active())
            __builtin_trap();
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
            for (int f = 0; f < dataSet.FieldCount(); ++f) {
                const Field field = dataSet.Fields(f);
                field.IsNull();
                field.AsString();
                field.AsInteger();
                field.AsBytes();
            }
    });
    return 0;
}
