#include "FuzzInput.h"
#include "sheets/SheetCatalogue.h"

#include <QTemporaryDir>

namespace {

const QByteArray kPaperSizes = R"(<?xml version="1.0"?>
<Glabels-paper-sizes>
  <Paper-size id="A4" _name="A4" width="210mm" height="297mm"/>
  <Paper-size id="US-Letter" _name="US Letter" width="8.5in" height="11in"/>
</Glabels-paper-sizes>
)";

} // namespace

// A template file in a catalogue folder, read as the catalogue window reads it: every
// template converted to a sheet definition and made searchable. The same bytes are also read
// as the folder's paper sizes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const bool papers =
        FuzzInput::WriteFile(dir.filePath(QStringLiteral("paper-sizes.xml")), kPaperSizes);
    const QByteArray bytes = FuzzInput::Bytes(data, size);
    const QString file = dir.filePath(QStringLiteral("fuzz-templates.xml"));
    if (!papers || !FuzzInput::WriteFile(file, bytes))
        return 0;
    SheetCatalogue catalogue;
    catalogue.Load(dir.path());
    for (const CatalogueEntry& e : catalogue.Entries()) {
        LabelsPerSheet(e.sheet);
        PaperText(e.sheet);
        LabelSizeText(e.sheet);
    }
    catalogue.Find(QString(), QStringLiteral("a"));
    FuzzInput::Refused([&] { ReadPaperSizes(file); });
    return 0;
}
