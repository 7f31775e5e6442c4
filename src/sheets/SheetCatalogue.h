#pragma once

#include "sheets/LabelTemplate.h"
#include "sheets/MessageCatalog.h"
#include "sheets/TemplateSheet.h"

#include <QString>
#include <QStringList>
#include <vector>

// One sheet of the catalogue with its sheet definition, or the reason it has none.
struct CatalogueEntry {
    LabelTemplate sheet;
    TemplateConversion conversion;
    QString searchText; // maker, part number and description, folded for searching
    // Sizes and counts a user types whole: "70x42.3", "42.3", "3x7", "21面", "a4".
    QStringList sizeWords;
    QStringList categories; // the ids of the categories the sheet is in

    bool Convertible() const { return conversion.sheet.has_value(); }
};

// The commercial label sheets of a template folder, listed by maker and searched by text.
class SheetCatalogue {
  public:
    // Reads every file of the folder; an empty or missing folder leaves the catalogue empty.
    // Descriptions are shown in Japanese where the message catalogue translates them; the
    // English stays searchable.
    void Load(const QString& folder, const QString& translations = InstalledTemplateTranslations());

    bool Found() const { return found_; }
    QString Folder() const { return folder_; }
    const std::vector<CatalogueEntry>& Entries() const { return entries_; }
    const std::vector<TemplateFileFault>& Faults() const { return faults_; }
    // Every maker once, in the order of the list.
    QStringList Makers() const;
    // The categories some sheet is in, in the folder's order, named in Japanese where the
    // message catalogue translates them.
    const std::vector<TemplateCategory>& Categories() const { return categories_; }
    int ConvertibleCount() const;

    // Positions of the entries of one maker (empty: every maker) where every word of the search
    // text is part of the maker, part number or description, or is one of the sheet's sizes
    // and counts; letter case and full-width forms ignored, "×" and "*" read as "x".
    // A category id narrows them to the sheets in it.
    std::vector<int> Find(const QString& maker, const QString& search,
                          const QString& category = {}) const;

  private:
    QString folder_;
    bool found_ = false;
    std::vector<CatalogueEntry> entries_;
    std::vector<TemplateCategory> categories_;
    std::vector<TemplateFileFault> faults_;

    void KeepUsedCategories(const std::vector<TemplateCategory>& all, const MessageCatalog& names);
};

// What the list shows of a sheet.
int LabelsPerSheet(const LabelTemplate& t);
QString PaperText(const LabelTemplate& t);
QString LabelSizeText(const LabelTemplate& t);
// Millimetres with at most two decimals and no trailing zeros.
QString MmText(double mm);
