#include "platform/SjisCodec.h"
#include "sheets/SheetTextFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        Sjis::Decode(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    SplitSheetLine(line);
    return 0;
}
