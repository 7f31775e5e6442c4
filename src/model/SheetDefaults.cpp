#include "model/SheetDefaults.h"

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
