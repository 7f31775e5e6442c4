#include "labels/SheetOutline.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "model/LabelOutline.h"
#include "model/SheetLayout.h"

namespace {

const QString kPaperName = QStringLiteral("PAPERNAME");

} // namespace

TSheetOutline::TSheetOutline(DataSource* designs, TDBRichEdit* editor)
    : QObject(editor), designs_(designs), editor_(editor) {
    connect(designs, &DataSource::DataChange, this, &TSheetOutline::DataChange);
}

void TSheetOutline::Refresh() {
    known_.clear();
    DataChange(-1);
}

void TSheetOutline::DataChange(int fieldIndex) {
    Query* designs = designs_ ? designs_->DataSet() : nullptr;
    if (!editor_ || !designs)
        return;
    const int paperField = designs->Active() ? designs->FieldIndex(kPaperName) : -1;
    if (fieldIndex >= 0 && fieldIndex != paperField)
        return;
    const bool named = paperField >= 0 && !designs->IsEmpty();
    editor_->SetLabelOutline(named ? OutlineOf(designs->Fields(paperField).AsString()) : QRectF());
}

// Scrolling through many designs asks the database once per sheet.
QRectF TSheetOutline::OutlineOf(const QString& paperName) {
    const auto found = known_.constFind(paperName);
    if (found != known_.constEnd())
        return *found;
    QRectF outline;
    Database* db = designs_->DataSet()->GetDatabase();
    if (db && !paperName.isEmpty()) {
        // A sheet that cannot be read leaves the text without an outline, as with no sheet.
        try {
            Transaction tr;
            tr.SetDefaultDatabase(db);
            Query sheets(db, &tr);
            sheets.SQL = {QStringLiteral("SELECT * FROM TAVRELSET WHERE PAPERNAME = :PAPERNAME")};
            sheets.SetParam(kPaperName, paperName);
            sheets.Open();
            if (!sheets.IsEmpty())
                outline = LabelOutlineRect(SheetLayout::FromRecord(sheets));
            sheets.Close();
            tr.Commit();
        } catch (const std::exception&) {
            outline = QRectF();
        }
    }
    known_.insert(paperName, outline);
    return outline;
}
