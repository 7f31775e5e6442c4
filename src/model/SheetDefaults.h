#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// A paper type the sheet editor offers, with its size in tenth-millimetres.
struct PaperPreset {
    QString name;
    int width = 0;
    int height = 0;
};

// The six paper types in the order the editor lists them; the last, "その他", has no size.
const QList<PaperPreset>& PaperPresets();
QStringList PaperTypeNames();
// The first preset whose name matches without regard to case; 0 × 0 when none does.
PaperPreset PaperPresetFor(const QString& paperType);
// The paper type whose size the user types in.
QString FreePaperType();

// The paper type a new sheet definition starts with.
QString NewSheetPaperType();
// The columns a new sheet definition starts with and their values, in the order they are set.
// The paper size is not among them: it follows from the paper type.
QList<QPair<QString, QVariant>> NewSheetDefaults();
