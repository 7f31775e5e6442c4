#include "FuzzInput.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/UpdateSql.h"
#include "model/SheetDefaults.h"
#include "sheets/SheetTextFile.h"

#include <QTemporaryDir>

namespace {

// The sheet editor's data set over a database made from the schema once per process.
struct SheetEditor {
    SheetEditor() {
        const QString path = dir.filePath(QStringLiteral("TAVREL.FDB"));
        CreateDatabaseFromScript(path, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"));
        ConnectDatabase(db, tr, path);
        q.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"), QStringLiteral("ORDER BY PAPERNAME")};
        q.CachedUpdates = true;
        q.ForcedRefresh = true;
        q.UpdateObject = &upd;
        q.OnNewRecord = [](Query& s) {
            for (const auto& [field, value] : NewSheetDefaults())
                s.FieldByName(field).SetValue(value);
            const PaperPreset paper = PaperPresetFor(NewSheetPaperType());
            s.FieldByName(QStringLiteral("P_WIDTH")).SetValue(paper.width);
            s.FieldByName(QStringLiteral("P_HEIGHT")).SetValue(paper.height);
        };
        q.Open();
        GenerateUpdateSql(q, &upd, QStringLiteral("TAVRELSET"));
    }
    // Empties the table again, so that every input starts from the same database.
    void Clear() {
        q.Close();
        ExecuteImmediate(db, tr, QStringLiteral("DELETE FROM TAVRELSET"));
        tr.Commit();
        q.Open();
    }
    QTemporaryDir dir;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL upd;
};

} // namespace

// A file the import takes in part or whole: every row it let in must be storable.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SheetEditor editor;
    const QString path = editor.dir.filePath(QStringLiteral("in.txt"));
    if (!FuzzInput::WriteFile(path, FuzzInput::Bytes(data, size)))
        return 0;
    FuzzInput::Refused([&] { ImportFile(editor.q, path); });
    if (editor.q.State() != DataSetState::Browse)
        __builtin_trap();
    if (!editor.q.UpdatesPending())
        return 0;
    try {
        editor.q.ApplyUpdates();
    } catch (const EError&) {
        __builtin_trap();
    }
    editor.Clear();
    return 0;
}
