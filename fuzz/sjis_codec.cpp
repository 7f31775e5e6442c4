#include "platform/SjisCodec.h"

#include <cstdint>

// Decoding never raises, and text that decoded cleanly survives encoding and decoding again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = Sjis::Decode(bytes);
    if (Sjis::IsValid(bytes)) {
        bool ok = false;
        const QByteArray again = Sjis::TryEncode(text, &ok);
        if (!ok || Sjis::Decode(again) != text)
            __builtin_trap();
    }
    Sjis::FitsDatabase(text);
    return 0;
}
