#pragma once

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

// A paper by the printer's paper code, its size in tenth-millimetres; always portrait.
struct TPaper {
    static constexpr int A3 = 8;
    static constexpr int A4 = 9;
    static constexpr int A5 = 11;
    static constexpr int B4 = 12;
    static constexpr int B5 = 13;
    static constexpr int Custom = 256;

    int code = A4;
    int widthTenthMm = 2100;
    int lengthTenthMm = 2970;

    // One of the standard papers above in whole millimetres; any other code gives A4.
    static TPaper Standard(int code);
    static TPaper CustomSize(int widthTenthMm, int lengthTenthMm);
};

// A paper type the sheet editor offers: its size in tenth-millimetres as the editor stores it,
// and what the printing system calls it.
struct PaperPreset {
    QString name;
    int width = 0;
    int height = 0;
    int code = TPaper::Custom;
    QString media; // the CUPS media name
    QPageSize::PageSizeId pageSize = QPageSize::Custom;
};

// The six paper types in the order the editor lists them; the last, "その他", has no size.
const QList<PaperPreset>& PaperPresets();
QStringList PaperTypeNames();
// The first preset whose name matches without regard to case; 0 × 0 when none does.
PaperPreset PaperPresetFor(const QString& paperType);
// The paper type whose size the user types in.
QString FreePaperType();

// The paper of a sheet's paper type, letter case ignored: a standard paper in whole millimetres;
// full-width letters and anything else give the custom paper, sized by the sheet.
TPaper PaperOf(const QString& paperType);
