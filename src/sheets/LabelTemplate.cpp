#include "sheets/LabelTemplate.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// Millimetres per unit; a bare number is points, as the files write it.
double UnitFactor(QStringView unit, bool* known) {
    *known = true;
    if (unit == u"mm")
        return 1.0;
    if (unit == u"cm")
        return 10.0;
    if (unit == u"in")
        return 25.4;
    if (unit == u"pt" || unit.isEmpty())
        return 25.4 / 72.0;
    *known = false;
    return 0;
}

// Where the number of a length ends and its unit begins: sign, digits, point, exponent.
qsizetype NumberLength(QStringView s) {
    qsizetype i = 0;
    auto digits = [&] {
        while (i < s.size() && s[i].isDigit())
            ++i;
    };
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    digits();
    if (i < s.size() && s[i] == u'.')
        ++i;
    digits();
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'-' || s[j] == u'+'))
            ++j;
        if (j < s.size() && s[j].isDigit()) {
            i = j;
            digits();
        }
    }
    return i;
}

// Nothing printable comes near this; it keeps tenth-millimetres well inside 32 bits.
constexpr double kMaxLengthMm = 100000.0;

// The attributes of one element, read into a template; the first failure becomes its fault.
class AttributeReader {
  public:
    AttributeReader(QXmlStreamAttributes attributes, QString* fault)
        : attributes_(std::move(attributes)), fault_(fault) {}

    QString Text(QLatin1StringView name) const { return attributes_.value(name).toString(); }
    bool Has(QLatin1StringView name) const { return attributes_.hasAttribute(name); }

    double Length(QLatin1StringView name) const {
        QString error;
        const std::optional<double> mm = ParseLength(attributes_.value(name), &error);
        if (!mm)
            Fail(QString(name) + QStringLiteral(" の") + error);
        return mm.value_or(0);
    }

    int Count(QLatin1StringView name) const {
        const QStringView text = attributes_.value(name).trimmed();
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok)
            Fail(QStringLiteral("%1 の値「%2」が整数ではありません").arg(name, text));
        return ok ? n : 0;
    }

  private:
    void Fail(const QString& reason) const {
        if (fault_->isEmpty())
            *fault_ = reason;
    }
    QXmlStreamAttributes attributes_;
    QString* fault_;
};

constexpr qint64 kReadPieceBytes = 64 * 1024;

QByteArray ReadLimited(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("ファイルを開けません（%1）").arg(file.errorString()));
    if (file.size() > kMaxTemplateFileBytes)
        throw EError(QStringLiteral("ファイルが大きすぎます（%1 MB）")
                         .arg(static_cast<double>(file.size()) / (1024 * 1024), 0, 'f', 1));
    // The size of a special file can lie: never take in more than the limit. Read a piece at a
    // time, so that a small file costs no buffer of the limit's size.
    QByteArray bytes;
    for (QByteArray piece; !(piece = file.read(kReadPieceBytes)).isEmpty();) {
        bytes += piece;
        if (bytes.size() > kMaxTemplateFileBytes)
            throw EError(QStringLiteral("ファイルが大きすぎます"));
    }
    if (file.error() != QFileDevice::NoError)
        throw EError(QStringLiteral("ファイルを読めません（%1）").arg(file.errorString()));
    return bytes;
}

// Opens the document and checks its root element.
void EnterRoot(QXmlStreamReader& xml, QStringView root) {
    if (!xml.readNextStartElement() || xml.name() != root) {
        if (xml.hasError())
            return; // reported by FinishDocument
        throw EError(QStringLiteral("%1 のファイルではありません").arg(root));
    }
}

// Reads to the end, so that a fault after the last element is found too.
void FinishDocument(QXmlStreamReader& xml) {
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        throw EError(
            QStringLiteral("XMLの誤り（%1行目）: %2").arg(xml.lineNumber()).arg(xml.errorString()));
}

class TemplateFileReader {
  public:
    TemplateFileReader(const QByteArray& bytes, const QString& file, const PaperSizes& papers)
        : xml_(bytes), file_(file), papers_(papers) {}

    std::vector<LabelTemplate> Read() {
        EnterRoot(xml_, u"Glabels-templates");
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"Template")
                ReadTemplate();
            else
                xml_.skipCurrentElement();
        }
        FinishDocument(xml_);
        return std::move(templates_);
    }

  private:
    void ReadTemplate() {
        LabelTemplate t;
        t.file = file_;
        const AttributeReader attrs(xml_.attributes(), &t.fault);
        t.brand = attrs.Text("brand"_L1).trimmed();
        t.part = attrs.Text("part"_L1).trimmed();
        t.description =
            attrs.Text(attrs.Has("_description"_L1) ? "_description"_L1 : "description"_L1);
        t.equiv = attrs.Text("equiv"_L1).trimmed();
        if (t.brand.isEmpty() || t.part.isEmpty())
            t.fault = QStringLiteral("メーカー名か型番がありません");
        if (t.equiv.isEmpty())
            ReadPaper(t, attrs);
        bool labelSeen = false;
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"Meta") {
                const QString category = xml_.attributes().value("category"_L1).toString();
                if (!category.isEmpty())
                    t.categories << category;
                xml_.skipCurrentElement();
            } else if (name.startsWith(u"Label-")) {
                if (labelSeen && t.fault.isEmpty())
                    t.fault = QStringLiteral("ラベルの定義が複数あります");
                labelSeen = true;
                ReadLabel(t);
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!labelSeen && t.equiv.isEmpty() && t.fault.isEmpty())
            t.fault = QStringLiteral("ラベルの定義がありません");
        templates_.push_back(std::move(t));
    }

    void ReadPaper(LabelTemplate& t, const AttributeReader& attrs) {
        t.paperId = attrs.Text("size"_L1).trimmed();
        if (t.paperId == u"Other") {
            t.paperWidth = attrs.Length("width"_L1);
            t.paperHeight = attrs.Length("height"_L1);
            return;
        }
        const auto it = papers_.constFind(t.paperId);
        if (it == papers_.constEnd()) {
            if (t.fault.isEmpty())
                t.fault = QStringLiteral("用紙「%1」の大きさが分かりません").arg(t.paperId);
            return;
        }
        t.paperWidth = it->first;
        t.paperHeight = it->second;
    }

    void ReadLabel(LabelTemplate& t) {
        const QStringView kind = xml_.name().mid(6);
        const AttributeReader attrs(xml_.attributes(), &t.fault);
        if (kind == u"rectangle" || kind == u"ellipse") {
            t.shape = kind == u"rectangle" ? LabelShape::Rectangle : LabelShape::Ellipse;
            t.width = attrs.Length("width"_L1);
            t.height = attrs.Length("height"_L1);
        } else if (kind == u"round" || kind == u"cd") {
            t.shape = kind == u"round" ? LabelShape::Round : LabelShape::Cd;
            t.width = t.height = 2 * attrs.Length("radius"_L1);
            t.hole = 2 * attrs.Length("hole"_L1);
        } else if (t.fault.isEmpty()) {
            t.fault = QStringLiteral("ラベルの形「%1」が分かりません").arg(kind);
        }
        t.round = attrs.Length("round"_L1);
        t.xWaste = t.yWaste = attrs.Length("waste"_L1);
        if (attrs.Has("x_waste"_L1))
            t.xWaste = attrs.Length("x_waste"_L1);
        if (attrs.Has("y_waste"_L1))
            t.yWaste = attrs.Length("y_waste"_L1);
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"Layout")
                ReadLayout(t);
            xml_.skipCurrentElement();
        }
    }

    void ReadLayout(LabelTemplate& t) {
        const AttributeReader attrs(xml_.attributes(), &t.fault);
        TemplateLayout l;
        l.nx = attrs.Count("nx"_L1);
        l.ny = attrs.Count("ny"_L1);
        l.x0 = attrs.Length("x0"_L1);
        l.y0 = attrs.Length("y0"_L1);
        l.dx = attrs.Length("dx"_L1);
        l.dy = attrs.Length("dy"_L1);
        t.layouts.push_back(l);
    }

    QXmlStreamReader xml_;
    QString file_;
    const PaperSizes& papers_;
    std::vector<LabelTemplate> templates_;
};

QString PartKey(const QString& brand, const QString& part) {
    return brand + QLatin1Char('\n') + part;
}

// An "equiv" template is another maker's number, or another number, for the same sheet.
void ResolveEquivalents(std::vector<LabelTemplate>& list) {
    QHash<QString, size_t> byPart;
    for (size_t i = 0; i < list.size(); ++i)
        byPart.insert(PartKey(list[i].brand, list[i].part), i);
    for (LabelTemplate& t : list) {
        if (t.equiv.isEmpty() || !t.fault.isEmpty())
            continue;
        const LabelTemplate* base = &t;
        for (int hops = 0; base && !base->equiv.isEmpty() && hops < 8; ++hops) {
            const auto it = byPart.constFind(PartKey(base->brand, base->equiv));
            base = it == byPart.constEnd() ? nullptr : &list[*it];
        }
        if (!base || !base->equiv.isEmpty()) {
            t.fault = QStringLiteral("同じ用紙とされる「%1」がありません").arg(t.equiv);
            continue;
        }
        LabelTemplate same = *base;
        same.brand = t.brand;
        same.part = t.part;
        same.file = t.file;
        if (!t.description.isEmpty())
            same.description = t.description;
        t = std::move(same);
    }
}

const QStringList kNotTemplateFiles = {QStringLiteral("paper-sizes.xml"),
                                       QStringLiteral("vendors.xml"),
                                       QStringLiteral("categories.xml")};

} // namespace

std::optional<double> ParseLength(QStringView text, QString* error) {
    const QStringView s = text.trimmed();
    if (s.isEmpty())
        return 0.0;
    const qsizetype unitStart = NumberLength(s);
    const QStringView unit = s.mid(unitStart).trimmed();
    bool ok = false;
    const double value = s.left(unitStart).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        *error = QStringLiteral("長さ「%1」が読めません").arg(s);
        return std::nullopt;
    }
    bool known = false;
    const double factor = UnitFactor(unit, &known);
    if (!known) {
        *error = QStringLiteral("長さ「%1」の単位が分かりません").arg(s);
        return std::nullopt;
    }
    const double mm = value * factor;
    if (std::fabs(mm) > kMaxLengthMm) {
        *error = QStringLiteral("長さ「%1」が大きすぎます").arg(s);
        return std::nullopt;
    }
    return mm;
}

PaperSizes ReadPaperSizes(const QString& fileName) {
    QXmlStreamReader xml(ReadLimited(fileName));
    EnterRoot(xml, u"Glabels-paper-sizes");
    PaperSizes papers;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Paper-size") {
            QString fault;
            const AttributeReader attrs(xml.attributes(), &fault);
            const QString id = attrs.Text("id"_L1);
            const double width = attrs.Length("width"_L1);
            const double height = attrs.Length("height"_L1);
            // A paper that cannot be read stays unknown; its templates say so.
            if (fault.isEmpty() && !id.isEmpty())
                papers.insert(id, {width, height});
        }
        xml.skipCurrentElement();
    }
    FinishDocument(xml);
    return papers;
}

std::vector<TemplateCategory> ReadCategories(const QString& fileName) {
    QXmlStreamReader xml(ReadLimited(fileName));
    EnterRoot(xml, u"Glabels-categories");
    std::vector<TemplateCategory> categories;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Category") {
            const QXmlStreamAttributes attrs = xml.attributes();
            const QString id = attrs.value("id"_L1).toString();
            // The name is marked for translation by its leading underscore.
            QString name = attrs.value("_name"_L1).toString();
            if (name.isEmpty())
                name = attrs.value("name"_L1).toString();
            if (!id.isEmpty())
                categories.push_back({id, name.isEmpty() ? id : name});
        }
        xml.skipCurrentElement();
    }
    FinishDocument(xml);
    return categories;
}

std::vector<LabelTemplate> ReadTemplateFile(const QString& fileName, const PaperSizes& papers) {
    return TemplateFileReader(ReadLimited(fileName), QFileInfo(fileName).fileName(), papers).Read();
}

TemplateSet ReadTemplateFolder(const QString& folder) {
    TemplateSet set;
    const QDir dir(folder);
    PaperSizes papers;
    try {
        papers = ReadPaperSizes(dir.filePath(kNotTemplateFiles[0]));
    } catch (const EError& e) {
        set.faults.push_back({kNotTemplateFiles[0], e.message()});
    }
    // Without the category names the sheets are still listed, only not by category.
    if (dir.exists(kNotTemplateFiles[2])) {
        try {
            set.categories = ReadCategories(dir.filePath(kNotTemplateFiles[2]));
        } catch (const EError& e) {
            set.faults.push_back({kNotTemplateFiles[2], e.message()});
        }
    }
    const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        if (kNotTemplateFiles.contains(name))
            continue;
        try {
            std::vector<LabelTemplate> read = ReadTemplateFile(dir.filePath(name), papers);
            std::move(read.begin(), read.end(), std::back_inserter(set.templates));
        } catch (const EError& e) {
            set.faults.push_back({name, e.message()});
        }
    }
    ResolveEquivalents(set.templates);
    return set;
}

QString InstalledTemplateFolder() {
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                  QStringLiteral("libglabels-3.0/templates"),
                                  QStandardPaths::LocateDirectory);
}
