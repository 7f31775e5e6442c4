#include "FuzzInput.h"
#include "platform/IconFile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzInput::StartGuiApplication(argc, argv);
    return 0;
}

// An icon file as the picture loader takes it: read, then drawn on white.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzInput::Bytes(data, size);
    FuzzInput::Refused([&] { IconFile::IconToBitmap(IconFile::Read(bytes)); });
    // The images inside icon files and executables also come alone.
    FuzzInput::Refused([&] { IconFile::IconToBitmap(IconFile::DecodeImage(bytes)); });
    return 0;
}
