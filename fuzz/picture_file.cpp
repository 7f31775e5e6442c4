#include "FuzzInput.h"
#include "platform/PictureFile.h"
#include "platform/PictureSize.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzInput::StartGuiApplication(argc, argv);
    return 0;
}

// The first byte picks the reader; a picture that decodes stays inside the decoded bound.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kinds[] = {"png", "gif", "tiff", "webp", "svg"};
    if (size < 1)
        return 0;
    const QString extension = QString::fromLatin1(kinds[data[0] % 5]);
    FuzzInput::Refused([&] {
        const QImage image = PictureFile::Decode(extension, FuzzInput::Bytes(data + 1, size - 1));
        if (image.isNull() || image.sizeInBytes() > PictureSize::kMaxBytes)
            __builtin_trap();
    });
    return 0;
}
