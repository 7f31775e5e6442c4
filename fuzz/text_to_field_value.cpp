#include "data/RecordCopy.h"
#include "platform/SjisCodec.h"

#include <cstdint>

// The first byte chooses the field kind, the rest is the token as the sheet file holds it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const auto kind = static_cast<FieldKind>(data[0] % (static_cast<int>(FieldKind::WideMemo) + 1));
    const QString token = Sjis::Decode(
        QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    TextToFieldValue(token, kind);
    return 0;
}
