#include "sheets/SheetCatalogue.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

// Full-width letters and digits as their plain forms, letter case ignored, a size's "×" or
// "*" as "x".
QString Folded(const QString& text) {
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    folded.replace(QChar(0x00D7), QLatin1Char('x')).replace(QLatin1Char('*'), QLatin1Char('x'));
    return folded;
}

QStringList SizeWords(const LabelTemplate& t) {
    QStringList words = {Folded(PaperText(t)),
                         QString::number(LabelsPerSheet(t)),
                         QString::number(LabelsPerSheet(t)) + QStringLiteral("面"),
                         MmText(t.width),
                         MmText(t.height),
                         Folded(LabelSizeText(t)),
                         MmText(t.width) + QLatin1Char('x') + MmText(t.height)};
    for (const TemplateLayout& l : t.layouts)
        words << QStringLiteral("%1x%2").arg(l.nx).arg(l.ny);
    words.removeDuplicates();
    return words;
}

} // namespace

void SheetCatalogue::Load(const QString& folder, const QString& translations) {
    folder_ = folder;
    entries_.clear();
    categories_.clear();
    faults_.clear();
    found_ = !folder.isEmpty() && QFileInfo(folder).isDir();
    if (!found_)
        return;
    TemplateSet set = ReadTemplateFolder(folder);
    faults_ = std::move(set.faults);
    MessageCatalog japanese;
    japanese.Load(translations); // without it the English shows
    QHash<QString, QString> categoryWords;
    for (const TemplateCategory& c : set.categories)
        categoryWords.insert(c.id, Folded(c.name + QLatin1Char('\n') + japanese.Translate(c.name)));
    entries_.reserve(set.templates.size());
    for (LabelTemplate& t : set.templates) {
        CatalogueEntry e;
        e.conversion = ConvertTemplate(t);
        e.searchText =
            Folded(t.brand + QLatin1Char('\n') + t.part + QLatin1Char('\n') + t.description);
        e.sizeWords = SizeWords(t);
        e.categories = t.categories;
        for (const QString& id : t.categories)
            e.searchText += QLatin1Char('\n') + categoryWords.value(id);
        t.description = japanese.Translate(t.description);
        e.searchText += QLatin1Char('\n') + Folded(t.description);
        e.sheet = std::move(t);
        entries_.push_back(std::move(e));
    }
    // By maker; within a maker the files' own order, which follows the part numbers.
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return a.sheet.brand.compare(b.sheet.brand, Qt::CaseInsensitive) < 0;
    });
    KeepUsedCategories(set.categories, japanese);
}

void SheetCatalogue::KeepUsedCategories(const std::vector<TemplateCategory>& all,
                                        const MessageCatalog& names) {
    for (const TemplateCategory& c : all) {
        const auto used = std::any_of(entries_.begin(), entries_.end(),
                                      [&c](const auto& e) { return e.categories.contains(c.id); });
        if (used)
            categories_.push_back({c.id, names.Translate(c.name)});
    }
}

QStringList SheetCatalogue::Makers() const {
    QStringList makers;
    for (const CatalogueEntry& e : entries_)
        if (makers.isEmpty() || makers.last() != e.sheet.brand)
            makers << e.sheet.brand;
    makers.removeDuplicates(); // the same maker spelt in another case
    return makers;
}

int SheetCatalogue::ConvertibleCount() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const auto& e) { return e.Convertible(); }));
}

std::vector<int> SheetCatalogue::Find(const QString& maker, const QString& search,
                                      const QString& category) const {
    const QStringList words =
        Folded(search).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<int> found;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const CatalogueEntry& e = entries_[i];
        if ((!maker.isEmpty() && e.sheet.brand != maker) ||
            (!category.isEmpty() && !e.categories.contains(category)))
            continue;
        const bool all = std::all_of(words.begin(), words.end(), [&e](const QString& w) {
            return e.searchText.contains(w) || e.sizeWords.contains(w);
        });
        if (all)
            found.push_back(static_cast<int>(i));
    }
    return found;
}

int LabelsPerSheet(const LabelTemplate& t) {
    int n = 0;
    for (const TemplateLayout& l : t.layouts)
        n += std::max(l.nx, 0) * std::max(l.ny, 0);
    return n;
}

QString MmText(double mm) {
    QString s = QString::number(std::round(mm * 100.0) / 100.0, 'f', 2);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

QString PaperText(const LabelTemplate& t) {
    if (!t.paperId.isEmpty() && t.paperId != QStringLiteral("Other"))
        return t.paperId;
    return MmText(t.paperWidth) + QStringLiteral("×") + MmText(t.paperHeight);
}

QString LabelSizeText(const LabelTemplate& t) {
    if (t.shape == LabelShape::Round || t.shape == LabelShape::Cd)
        return QStringLiteral("φ") + MmText(t.width);
    return MmText(t.width) + QStringLiteral("×") + MmText(t.height);
}
