#pragma once

#include "sheets/LabelTemplate.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The folder the Debian package glabels-data installs; tests that read it skip without it.
inline const QString kInstalledTemplates = QStringLiteral("/usr/share/libglabels-3.0/templates");

#define SKIP_WITHOUT_INSTALLED_TEMPLATES()                                                         \
    if (!QFile::exists(kInstalledTemplates + QStringLiteral("/paper-sizes.xml")))                  \
    GTEST_SKIP() << "the label templates are not installed (apt install glabels-data)"

inline const QByteArray kPaperSizes = R"(<?xml version="1.0"?>
<Glabels-paper-sizes>
  <Paper-size id="A4" _name="A4" width="210mm" height="297mm"/>
  <Paper-size id="US-Letter" _name="US Letter" width="8.5in" height="11in"/>
  <Paper-size id="B5" _name="B5" width="176mm" height="250mm"/>
</Glabels-paper-sizes>
)";

// One template of rectangles with one layout, attributes as written in the files.
inline QByteArray RectTemplate(const QByteArray& part, const QByteArray& paper,
                               const QByteArray& label, const QByteArray& layout,
                               const QByteArray& brand = "Acme") {
    return "<Template brand=\"" + brand + "\" part=\"" + part + "\" " + paper +
           " _description=\"Rectangular labels\">\n"
           "  <Meta category=\"label\"/>\n"
           "  <Label-rectangle id=\"0\" " +
           label + ">\n    <Markup-margin size=\"1mm\"/>\n    <Layout " + layout +
           "/>\n  </Label-rectangle>\n</Template>\n";
}

// The 2 x 5 sheet of 86.4 x 50.8 mm labels on A4.
inline QByteArray TwoByFive(const QByteArray& part = "AC-210") {
    return RectTemplate(
        part, "size=\"A4\"",
        "width=\"86.4mm\" height=\"50.8mm\" round=\"0mm\" x_waste=\"0mm\" "
        "y_waste=\"0mm\"",
        "nx=\"2\" ny=\"5\" x0=\"18.6mm\" y0=\"21.2mm\" dx=\"86.4mm\" dy=\"50.8mm\"");
}

inline QByteArray TemplateFile(const QByteArray& templates) {
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + templates + "</Glabels-templates>\n";
}

// A template folder of two makers: Acme with sheets of every kind, Beta with one inch sheet.
class TemplateFolder {
  public:
    TemplateFolder() {
        Write("paper-sizes.xml", kPaperSizes);
        Write("acme-templates.xml",
              TemplateFile(
                  TwoByFive() +
                  "<Template brand=\"Acme\" part=\"AC-R40\" size=\"A4\" _description=\"Round\">"
                  "<Label-round id=\"0\" radius=\"20mm\" waste=\"0\">"
                  "<Layout nx=\"4\" ny=\"6\" x0=\"10mm\" y0=\"10mm\" dx=\"48mm\" dy=\"45mm\"/>"
                  "</Label-round></Template>\n" +
                  "<Template brand=\"Acme\" part=\"AC-2L\" size=\"A4\" _description=\"Mixed\">"
                  "<Label-rectangle id=\"0\" width=\"50mm\" height=\"20mm\">"
                  "<Layout nx=\"1\" ny=\"2\" x0=\"10mm\" y0=\"10mm\" dx=\"0\" dy=\"30mm\"/>"
                  "<Layout nx=\"1\" ny=\"2\" x0=\"100mm\" y0=\"10mm\" dx=\"0\" dy=\"30mm\"/>"
                  "</Label-rectangle></Template>\n"
                  "<Template brand=\"Acme\" part=\"AC-EQ\" equiv=\"AC-210\"/>\n" +
                  RectTemplate("AC-OUT", "size=\"A4\"", "width=\"100mm\" height=\"50mm\"",
                               "nx=\"2\" ny=\"1\" x0=\"20mm\" y0=\"0\" dx=\"100mm\" dy=\"0\"") +
                  RectTemplate("AC-UNIT", "size=\"A4\"", "width=\"12qq\" height=\"50mm\"",
                               "nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"")));
        Write("beta-templates.xml",
              TemplateFile(RectTemplate("B-100", "size=\"US-Letter\"",
                                        "width=\"2.625in\" height=\"1in\" round=\"0.0625in\"",
                                        "nx=\"3\" ny=\"10\" x0=\"0.1875in\" y0=\"0.5in\" "
                                        "dx=\"2.75in\" dy=\"1in\"",
                                        "Beta")
                               .replace("Rectangular labels", "Address labels")));
    }

    void Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString Path(const QString& name = {}) const {
        return name.isEmpty() ? dir_.path() : dir_.filePath(name);
    }

  private:
    QTemporaryDir dir_;
};

inline const LabelTemplate* FindPart(const std::vector<LabelTemplate>& list, const QString& part) {
    for (const LabelTemplate& t : list)
        if (t.part == part)
            return &t;
    return nullptr;
}
