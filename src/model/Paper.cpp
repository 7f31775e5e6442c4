#include "model/Paper.h"

namespace {

// The page the printer gets is the editor's size cut to whole millimetres (A5: 148 mm wide).
TPaper WholeMillimetres(const PaperPreset& preset) {
    return TPaper{preset.code, preset.width / 10 * 10, preset.height / 10 * 10};
}

// A paper known by name only: no size, the custom code.
PaperPreset NamedPreset(const QString& name) {
    PaperPreset preset;
    preset.name = name;
    return preset;
}

} // namespace

TPaper TPaper::Standard(int code) {
    for (const PaperPreset& p : PaperPresets())
        if (p.code == code && p.code != Custom)
            return WholeMillimetres(p);
    return Standard(A4);
}

TPaper TPaper::CustomSize(int widthTenthMm, int lengthTenthMm) {
    return TPaper{Custom, widthTenthMm, lengthTenthMm};
}

const QList<PaperPreset>& PaperPresets() {
    static const QList<PaperPreset> presets = {
        {QStringLiteral("A3"), 2970, 4200, TPaper::A3, QStringLiteral("iso_a3_297x420mm"),
         QPageSize::A3},
        {QStringLiteral("A4"), 2100, 2970, TPaper::A4, QStringLiteral("iso_a4_210x297mm"),
         QPageSize::A4},
        {QStringLiteral("A5"), 1485, 2100, TPaper::A5, QStringLiteral("iso_a5_148x210mm"),
         QPageSize::A5},
        {QStringLiteral("B4"), 2570, 3640, TPaper::B4, QStringLiteral("jis_b4_257x364mm"),
         QPageSize::JisB4},
        {QStringLiteral("B5"), 1820, 2570, TPaper::B5, QStringLiteral("jis_b5_182x257mm"),
         QPageSize::JisB5},
        NamedPreset(FreePaperType())};
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
    return NamedPreset(paperType);
}

QString FreePaperType() {
    return QStringLiteral("その他");
}

TPaper PaperOf(const QString& paperType) {
    const PaperPreset preset = PaperPresetFor(paperType);
    return preset.code == TPaper::Custom ? TPaper::CustomSize(0, 0) : WholeMillimetres(preset);
}
