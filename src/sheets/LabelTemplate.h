#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// Commercial label sheets as described by the XML template files of the free label catalogue
// ("Glabels-templates" files, one per maker, and "paper-sizes.xml"). Lengths are millimetres.

enum class LabelShape { Rectangle, Round, Ellipse, Cd };

// One grid of labels on the sheet: nx columns, ny rows, the first label's top-left corner at
// (x0, y0) and the next one dx to the right, dy below.
struct TemplateLayout {
    int nx = 1;
    int ny = 1;
    double x0 = 0, y0 = 0, dx = 0, dy = 0;
};

struct LabelTemplate {
    QString brand;
    QString part;
    QString description;
    QStringList categories;
    QString paperId; // "A4", "US-Letter", "Other", ...
    double paperWidth = 0, paperHeight = 0;
    LabelShape shape = LabelShape::Rectangle;
    // Rectangle and ellipse: the label's size; round and CD: twice the radius.
    double width = 0, height = 0;
    double round = 0, xWaste = 0, yWaste = 0;
    double hole = 0; // CD: diameter of the hole
    std::vector<TemplateLayout> layouts;
    QString equiv; // the part this one is the same sheet as, until resolved
    QString file;  // the file it came from, without folder
    // Why it could not be read; empty when it was.
    QString fault;
};

struct TemplateFileFault {
    QString file;
    QString reason;
};

// Paper names to width and height.
using PaperSizes = QHash<QString, std::pair<double, double>>;

// A length such as "86.4mm", "2.5cm", "1.75in", "12pt" or a bare number of points, in
// millimetres. An empty text is 0. nullopt with *error set for anything else.
std::optional<double> ParseLength(QStringView text, QString* error);

// Files larger than this are refused unread: the largest real one is under 100 KB.
inline constexpr qint64 kMaxTemplateFileBytes = 4 * 1024 * 1024;

// Reads "paper-sizes.xml". Raises EError with the reason when the file cannot be used.
PaperSizes ReadPaperSizes(const QString& fileName);

// Reads one template file. A template that cannot be read is kept with its fault; a file that
// cannot be read at all raises EError with the reason, and none of its templates is kept.
std::vector<LabelTemplate> ReadTemplateFile(const QString& fileName, const PaperSizes& papers);

// Everything a template folder holds, each template's "equiv" resolved to its sheet.
// A category templates name, with its English name.
struct TemplateCategory {
    QString id;
    QString name;
};

// Reads "categories.xml" in its own order. Raises EError with the reason when the file cannot
// be used.
std::vector<TemplateCategory> ReadCategories(const QString& fileName);

struct TemplateSet {
    std::vector<LabelTemplate> templates;
    std::vector<TemplateCategory> categories;
    std::vector<TemplateFileFault> faults;
};
TemplateSet ReadTemplateFolder(const QString& folder);

// The installed folder, or empty when there is none.
QString InstalledTemplateFolder();
