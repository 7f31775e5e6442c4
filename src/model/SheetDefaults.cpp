#include "model/SheetDefaults.h"

#include <QStringList>

const QList<PaperPreset>& PaperPresets() {
    static const QList<PaperPreset> presets = {
        {QStringLiteral("A3"), 2970, 4200}, {QStringLiteral("A4"), 2100, 2970},
        {QStringLiteral("A5"), 1485, 2100}, {QStringLiteral("B4"), 2570, 3640},
        {QStringLiteral("B5"), 1820, 2570}, {FreePaperType(), 0, 0}};
    return presets;
}

QStringList PaperTypeNames() {
    QStringList names;
    for (const PaperPreset& p : PaperPresets())
        names << p.name;
    return names;
}

PaperPreset PaperPresetFor(const QString& paperType) {
    for (const PaperPreset& p : PaperPresets())
        if (p.name.compare(paperType, Qt::CaseInsensitive) == 0)
            return p;
    return {paperType, 0, 0};
}

QString FreePaperType() {
    return QStringLiteral("その他");
}

QString NewSheetPaperType() {
    return QStringLiteral("A4");
}

QList<QPair<QString, QVariant>> NewSheetDefaults() {
    return {{QStringLiteral("ID"), 0},       {QStringLiteral("PaperType"), NewSheetPaperType()},
            {QStringLiteral("Top_M"), 0},    {QStringLiteral("Left_M"), 0},
            {QStringLiteral("Retsu"), 1},    {QStringLiteral("Dan"), 1},
            {QStringLiteral("L_Width"), 0},  {QStringLiteral("L_Height"), 0},
            {QStringLiteral("X_Skip"), 0},   {QStringLiteral("Y_Skip"), 0},
            {QStringLiteral("Pr_LeftM"), 0}, {QStringLiteral("Pr_TopM"), 0}};
}
