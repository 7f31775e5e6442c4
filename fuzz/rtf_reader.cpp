#include "platform/RtfReader.h"

#include <QTextDocument>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    if (!RtfRead(bytes, &doc))
        PlainTextRead(bytes, &doc);
    return 0;
}
