#include "platform/StoredPicture.h"

#include <cstdint>

// A value that decodes gives an image that encodes again; one that does not carries a message.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const QImage image = StoredPicture::Decode(bytes, &error);
    if (!image.isNull())
        StoredPicture::Encode(image);
    else if (!bytes.isEmpty() && error.isEmpty())
        __builtin_trap();
    return 0;
}
