#include "FuzzInput.h"
#include "platform/JpegFile.h"

// A picture that decodes has the size its frame claims and a pixel for every place.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput::Refused([&] {
        const QImage image = JpegFile::Decode(FuzzInput::Bytes(data, size));
        if (image.isNull() || image.format() != QImage::Format_RGB888)
            __builtin_trap();
    });
    return 0;
}
