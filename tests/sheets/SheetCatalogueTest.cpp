#include "sheets/SheetCatalogue.h"
#include "model/SheetDefaults.h"
#include "sheets/TemplateFixture.h"

#include <QFile>
#include <QRectF>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>

namespace {

bool InColumnRanges(const TemplateSheet& v, QString* why) {
    auto fits = [](const QString& s, int bytes) {
        const std::optional<QString> cut = CutToSjisBytes(s, bytes);
        return !s.isEmpty() && cut && *cut == s;
    };
    const SheetLayout& l = v.layout;
    const QRect last = l.CellRect(l.columns - 1, l.rows - 1);
    const std::pair<bool, const char*> checks[] = {
        {fits(v.CoName, kSheetNameBytes), "CoName"},
        {fits(l.paperName, kSheetNameBytes), "PAPERNAME"},
        {PaperTypeNames().contains(l.paperType), "PaperType"},
        {l.paperWidth > 0 && l.paperHeight > 0, "paper size"},
        {l.columns >= 1 && l.rows >= 1, "Retsu/Dan"},
        {l.labelWidth > 0 && l.labelHeight > 0, "label size"},
        {l.leftMargin >= -10 && l.topMargin >= -10, "margins"},
        {last.x() + last.width() <= l.paperWidth + 10, "width"},
        {last.y() + last.height() <= l.paperHeight + 10, "height"},
        {l.printLeft == 0 && l.printTop == 0 && l.printerName.isEmpty(), "corrections"}};
    for (const auto& [ok, name] : checks)
        if (!ok)
            *why = QString::fromLatin1(name);
    return why->isEmpty();
}

// Where the sheet model puts label (i, j) of a definition, in millimetres.
QRectF DefinitionCell(const TemplateSheet& v, int i, int j) {
    const QRect tenths = v.layout.CellRect(i, j);
    return QRectF(tenths.x() / 10.0, tenths.y() / 10.0, tenths.width() / 10.0,
                  tenths.height() / 10.0);
}

double Distance(const QRectF& cell, const TemplateLayout& l, int i, int j) {
    return std::max(std::fabs(cell.x() - (l.x0 + i * l.dx)),
                    std::fabs(cell.y() - (l.y0 + j * l.dy)));
}

bool WholeTenths(double mm) {
    return std::fabs(mm * 10 - std::round(mm * 10)) < 1e-6;
}

class InstalledCatalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_INSTALLED_TEMPLATES();
        catalogue.Load(kInstalledTemplates);
    }
    SheetCatalogue catalogue;
};

TEST_F(InstalledCatalogue, EveryRectangularSingleLayoutSheetConvertsIntoTheColumns) {
    ASSERT_TRUE(catalogue.Found());
    EXPECT_TRUE(catalogue.Faults().empty());
    EXPECT_GT(catalogue.Entries().size(), 1000u);
    int candidates = 0;
    int converted = 0;
    for (const CatalogueEntry& e : catalogue.Entries()) {
        const LabelTemplate& t = e.sheet;
        if (t.shape != LabelShape::Rectangle || t.layouts.size() != 1)
            continue;
        ++candidates;
        if (!e.Convertible()) {
            // Only sheets whose own figures do not fit may stay out.
            const QString& r = e.conversion.reason;
            EXPECT_TRUE(r.contains(QStringLiteral("はみ出")) ||
                        r.contains(QStringLiteral("用紙「")))
                << t.brand.toStdString() << " " << t.part.toStdString() << ": " << r.toStdString();
            continue;
        }
        ++converted;
        QString why;
        EXPECT_TRUE(InColumnRanges(*e.conversion.sheet, &why))
            << t.brand.toStdString() << " " << t.part.toStdString() << ": " << why.toStdString();
    }
    std::cout << "[ catalogue ] " << converted << " of " << candidates << " converted ("
              << catalogue.ConvertibleCount() << " of " << catalogue.Entries().size()
              << " sheets in all)\n";
    EXPECT_GT(converted, candidates * 9 / 10);
}

TEST_F(InstalledCatalogue, DefinitionsPutTheFirstAndLastLabelWhereTheTemplateDoes) {
    int exact = 0;
    int within = 0;
    int all = 0;
    for (const CatalogueEntry& e : catalogue.Entries()) {
        if (!e.Convertible())
            continue;
        const TemplateSheet& v = *e.conversion.sheet;
        const TemplateLayout& l = e.sheet.layouts.front();
        const double first = Distance(DefinitionCell(v, 0, 0), l, 0, 0);
        const double last = Distance(DefinitionCell(v, v.layout.columns - 1, v.layout.rows - 1), l,
                                     l.nx - 1, l.ny - 1);
        const std::string name = (e.sheet.brand + " " + e.sheet.part).toStdString();
        EXPECT_LE(first, 0.05 + 1e-9) << name;
        // Rounding the pitch to a tenth of a millimetre moves each further label by at most
        // half a tenth.
        const int steps = std::max(l.nx, l.ny) - 1;
        EXPECT_LE(last, 0.05 * (1 + steps) + 1e-9) << name;
        const bool metric = WholeTenths(l.x0) && WholeTenths(l.y0) && WholeTenths(l.dx) &&
                            WholeTenths(l.dy) && WholeTenths(e.sheet.width) &&
                            WholeTenths(e.sheet.height);
        if (metric) {
            EXPECT_LE(last, 0.1) << name;
            ++exact;
        }
        within += last <= 0.1 + 1e-9;
        ++all;
    }
    std::cout << "[ catalogue ] last label within 0.1 mm: " << within << " of " << all << " ("
              << exact << " in whole tenths of a millimetre)\n";
}

TEST_F(InstalledCatalogue, HisagoTwoByFiveSheetConvertsExactly) {
    const std::vector<int> found = catalogue.Find("Hisago", "ELM006");
    ASSERT_EQ(found.size(), 1u);
    const CatalogueEntry& e = catalogue.Entries()[static_cast<size_t>(found[0])];
    ASSERT_TRUE(e.Convertible()) << e.conversion.reason.toStdString();
    const TemplateSheet& v = *e.conversion.sheet;
    EXPECT_EQ(v.layout.paperType, "A4");
    EXPECT_EQ(std::make_tuple(v.layout.columns, v.layout.rows, v.layout.labelWidth,
                              v.layout.labelHeight, v.layout.leftMargin, v.layout.topMargin),
              std::make_tuple(2, 5, 864, 508, 186, 212));
    EXPECT_EQ(std::make_pair(v.layout.gapX, v.layout.gapY), std::make_pair(0, 0));
}

TEST_F(InstalledCatalogue, SheetsAreFoundByLabelSizeCountAndLayout) {
    for (const char* search : {"70x42.3", "70×42.3", "21面", "3x7 42.3", "７０＊４２．３ a4"}) {
        const std::vector<int> found = catalogue.Find({}, QString::fromUtf8(search));
        EXPECT_GE(std::count_if(found.begin(), found.end(),
                                [this](int i) {
                                    const LabelTemplate& t =
                                        catalogue.Entries()[static_cast<size_t>(i)].sheet;
                                    return LabelsPerSheet(t) == 21 && LabelSizeText(t) == "70×42.3";
                                }),
                  2)
            << search;
    }
    // A size or a count matches whole: every hit has it.
    for (int i : catalogue.Find({}, QStringLiteral("70x42.3 21面")))
        EXPECT_EQ(LabelsPerSheet(catalogue.Entries()[static_cast<size_t>(i)].sheet), 21);
    EXPECT_TRUE(catalogue.Find({}, "70x999").empty());
}

TEST_F(InstalledCatalogue, DescriptionsAreJapaneseAndTheEnglishStillFinds) {
    MessageCatalog japanese;
    if (!japanese.Load(InstalledTemplateTranslations()))
        GTEST_SKIP() << "the template package's Japanese translations are not installed";
    EXPECT_EQ(japanese.Translate("Address labels"), QStringLiteral("宛名のラベル"));
    EXPECT_EQ(japanese.Translate("no such text"), "no such text");
    const std::vector<int> english = catalogue.Find({}, "address labels");
    ASSERT_FALSE(english.empty());
    EXPECT_TRUE(catalogue.Entries()[static_cast<size_t>(english[0])].sheet.description.contains(
        QStringLiteral("宛名")));
    // Categories come in Japanese too, and narrow the list to their sheets.
    const auto& categories = catalogue.Categories();
    const auto card = std::find_if(categories.begin(), categories.end(),
                                   [](const auto& c) { return c.id == "business-card"; });
    ASSERT_NE(card, categories.end());
    EXPECT_EQ(card->name, QStringLiteral("名刺"));
    const std::vector<int> cards = catalogue.Find({}, {}, card->id);
    EXPECT_GT(cards.size(), 10u);
    EXPECT_LT(cards.size(), catalogue.Entries().size());
    EXPECT_GE(catalogue.Find({}, QStringLiteral("名刺")).size(), cards.size());
    for (int i : cards)
        EXPECT_TRUE(catalogue.Entries()[static_cast<size_t>(i)].categories.contains(card->id));
}

TEST(MessageCatalog, ReadsBothByteOrdersAndRefusesBrokenFiles) {
    // "Hello" -> "こんにちは" and the plural "One\0Many" -> "1つ\0多数": header, tables, texts.
    auto build = [](bool big) {
        QByteArray out;
        const QByteArray texts[] = {"Hello", {"One\0Many", 8}, "こんにちは", {"1つ\0多数", 11}};
        quint32 words[15] = {0x950412de, 0, 2, 28, 44};
        QByteArray strings;
        for (int i = 0; i < 4; ++i) {
            words[7 + 2 * i] = static_cast<quint32>(texts[i].size());
            words[8 + 2 * i] = static_cast<quint32>(60 + strings.size());
            strings += texts[i] + '\0';
        }
        for (quint32 w : words)
            out.append(QByteArray::fromRawData(reinterpret_cast<const char*>(&w), 4));
        if (big)
            for (qsizetype i = 0; i < 60; i += 4)
                std::reverse(out.begin() + i, out.begin() + i + 4);
        return out + strings;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("t.mo");
    auto load = [&path](const QByteArray& bytes, MessageCatalog& c) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        return c.Load(path);
    };
    for (bool big : {false, true}) {
        MessageCatalog c;
        ASSERT_TRUE(load(build(big), c)) << big;
        EXPECT_EQ(c.Translate("Hello"), QStringLiteral("こんにちは"));
        EXPECT_EQ(c.Translate("One"), QStringLiteral("1つ"));
    }
    const QByteArray good = build(false);
    for (const QByteArray& bad : {good.left(40), good.left(3), QByteArray("not a catalogue"),
                                  good.left(8) + "\xff\xff\xff\x7f" + good.mid(12)}) {
        MessageCatalog c;
        EXPECT_FALSE(load(bad, c));
        EXPECT_EQ(c.Translate("Hello"), "Hello");
    }
}

// ---------------------------------------------------------------------------

TEST(SheetCatalogue, ListsMakersAndFindsByMakerPartAndDescription) {
    TemplateFolder folder;
    SheetCatalogue c;
    c.Load(folder.Path());
    EXPECT_EQ(c.Makers(), QStringList({"Acme", "Beta"}));
    EXPECT_EQ(c.Find({}, {}).size(), c.Entries().size());
    EXPECT_EQ(c.Find("Beta", {}).size(), 1u);
    EXPECT_EQ(c.Find({}, "address").size(), 1u);                      // description, any case
    EXPECT_EQ(c.Find({}, QStringLiteral("ａｃ－２１０")).size(), 1u); // typed full width
    EXPECT_EQ(c.Find({}, QStringLiteral("acme　labels")).size(), 4u); // every word
    EXPECT_TRUE(c.Find("Beta", "AC-210").empty());
    EXPECT_EQ(c.ConvertibleCount(), 3); // AC-210, AC-EQ, B-100
}

TEST(SheetCatalogue, WithoutAFolderItIsEmptyAndSaysSo) {
    SheetCatalogue c;
    c.Load({});
    EXPECT_FALSE(c.Found());
    c.Load(QStringLiteral("/nonexistent/templates"));
    EXPECT_FALSE(c.Found());
    EXPECT_TRUE(c.Entries().empty());
    EXPECT_TRUE(c.Makers().isEmpty());
}

TEST(SheetCatalogue, ListTextsOfASheet) {
    TemplateFolder folder;
    SheetCatalogue c;
    c.Load(folder.Path());
    const LabelTemplate& round = c.Entries()[static_cast<size_t>(c.Find({}, "AC-R40")[0])].sheet;
    EXPECT_EQ(LabelSizeText(round), QStringLiteral("φ40"));
    EXPECT_EQ(LabelsPerSheet(round), 24);
    const LabelTemplate& twice = c.Entries()[static_cast<size_t>(c.Find({}, "AC-2L")[0])].sheet;
    EXPECT_EQ(LabelsPerSheet(twice), 4);
    const LabelTemplate& letter = c.Entries()[static_cast<size_t>(c.Find({}, "B-100")[0])].sheet;
    EXPECT_EQ(PaperText(letter), "US-Letter");
    EXPECT_EQ(LabelSizeText(letter), QStringLiteral("66.68×25.4"));
    EXPECT_EQ(MmText(-0.001), "0");
}

} // namespace
