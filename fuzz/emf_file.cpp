#include "FuzzInput.h"
#include "platform/Metafile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzInput::StartGuiApplication(argc, argv);
    return 0;
}

// An enhanced metafile as the picture loader takes it: converted, then drawn on white.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput::Refused([&] { GraphicToBitmap(Metafile::ReadEmf(FuzzInput::Bytes(data, size))); });
    return 0;
}
