#include "FuzzInput.h"
#include "sheets/SheetTextFile.h"

#include <QTemporaryDir>

// The whole sheet text file as the import reads it: line by line, each line split into tokens.
// Lines never hold a line end, and a cut line is never longer than the bound.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheets.txt"));
    if (!FuzzInput::WriteFile(path, FuzzInput::Bytes(data, size)))
        return 0;
    SheetTextReader reader(path);
    qsizetype total = 0;
    for (QString line; reader.NextLine(&line);) {
        if (line.contains(u'\r') || line.contains(u'\n') ||
            (reader.LineCut() && line.size() > SheetTextReader::kMaxLineBytes))
            __builtin_trap();
        total += line.size();
        SplitSheetLine(line);
    }
    if (total > static_cast<qsizetype>(size))
        __builtin_trap();
    return 0;
}
