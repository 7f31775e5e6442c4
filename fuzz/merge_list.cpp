#include "FuzzInput.h"
#include "model/MergeList.h"

// An address list as a user might pick it: read it in every encoding, and every row read must
// be exactly as wide as the header.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzInput::Bytes(data, size);
    for (const ListEncoding encoding :
         {ListEncoding::Auto, ListEncoding::Utf8, ListEncoding::Cp932})
        FuzzInput::Refused([&] {
            const MergeList list = ReadMergeList(bytes, encoding, QStringLiteral("fuzz.csv"));
            for (const QStringList& row : list.rows)
                if (row.size() != list.columns.size())
                    __builtin_trap();
        });
    return 0;
}
