#include "FuzzInput.h"
#include "platform/PeIcon.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzInput::StartGuiApplication(argc, argv);
    return 0;
}

// The first icon of an executable, drawn on white as the desktop icon is.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzInput::Bytes(data, size);
    PeIcon::IsExecutable(bytes);
    FuzzInput::Refused([&] {
        if (const auto icon = PeIcon::FirstIcon(bytes))
            IconFile::IconToBitmap(*icon);
    });
    return 0;
}
