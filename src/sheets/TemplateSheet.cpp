#include "sheets/TemplateSheet.h"

#include "data/Query.h"
#include "model/SheetDefaults.h"
#include "platform/Error.h"
#include "platform/SjisCodec.h"

#include <QSet>
#include <cmath>

namespace {

const QString kCopyPrefix = QStringLiteral("ｺﾋﾟｰ...");

QString ShapeReason(LabelShape shape) {
    switch (shape) {
    case LabelShape::Round:
        return QStringLiteral("ラベルが円形です");
    case LabelShape::Ellipse:
        return QStringLiteral("ラベルが楕円形です");
    case LabelShape::Cd:
        return QStringLiteral("ラベルがCD・DVD用です");
    case LabelShape::Rectangle:
        break;
    }
    return {};
}

// Why the geometry cannot be a sheet definition, or empty when it can.
QString GeometryReason(const LabelTemplate& t) {
    if (t.layouts.size() != 1)
        return t.layouts.empty()
                   ? QStringLiteral("ラベルの配置がありません")
                   : QStringLiteral("ラベルの配置が%1通りあります").arg(t.layouts.size());
    const TemplateLayout& l = t.layouts.front();
    if (ToTenths(t.paperWidth) <= 0 || ToTenths(t.paperHeight) <= 0)
        return QStringLiteral("用紙の大きさが0以下です");
    if (ToTenths(t.width) <= 0 || ToTenths(t.height) <= 0)
        return QStringLiteral("ラベルの大きさが0以下です");
    if (l.nx < 1 || l.ny < 1)
        return QStringLiteral("ラベルの列数か段数が0以下です");
    if ((l.nx > 1 && ToTenths(l.dx) <= 0) || (l.ny > 1 && ToTenths(l.dy) <= 0))
        return QStringLiteral("ラベルの間隔が0以下です");
    const double tol = kPaperEdgeToleranceMm;
    const double right = l.x0 + (l.nx - 1) * l.dx + t.width;
    const double bottom = l.y0 + (l.ny - 1) * l.dy + t.height;
    if (l.x0 < -tol || l.y0 < -tol || right > t.paperWidth + tol || bottom > t.paperHeight + tol)
        return QStringLiteral("ラベルが用紙からはみ出します");
    return {};
}

// A paper the editor knows by name keeps that name and the editor's own size for it.
void SetPaper(SheetLayout& sheet, const LabelTemplate& t) {
    const int width = ToTenths(t.paperWidth);
    const int height = ToTenths(t.paperHeight);
    for (const PaperPreset& p : PaperPresets()) {
        if (p.width > 0 && std::abs(p.width - width) <= 1 && std::abs(p.height - height) <= 1) {
            sheet.paperType = p.name;
            sheet.paperWidth = p.width;
            sheet.paperHeight = p.height;
            return;
        }
    }
    sheet.paperType = FreePaperType();
    sheet.paperWidth = width;
    sheet.paperHeight = height;
}

QString CopyName(const QString& name) {
    return CutToSjisBytes(kCopyPrefix + name, kSheetNameBytes).value_or(QString());
}

QSet<QString> PaperNames(Query& sheets) {
    QSet<QString> names;
    const int field = sheets.FieldIndex(QStringLiteral("PAPERNAME"));
    for (int row = 0; row < sheets.RecordCount(); ++row)
        names.insert(sheets.RowValue(row, field).toString());
    return names;
}

std::optional<QString> FreeName(const QSet<QString>& taken, const QString& name) {
    QString candidate = name;
    while (taken.contains(candidate)) {
        const QString next = CopyName(candidate);
        if (next.isEmpty() || next == candidate)
            return std::nullopt;
        candidate = next;
    }
    return candidate;
}

void FillRow(Query& sheets, const TemplateSheet& v, const QString& name) {
    const SheetLayout& l = v.layout;
    const std::pair<const char*, QVariant> values[] = {{"ID", 0},
                                                       {"PAPERNAME", name},
                                                       {"CoName", v.CoName},
                                                       {"PaperType", l.paperType},
                                                       {"P_Width", l.paperWidth},
                                                       {"P_Height", l.paperHeight},
                                                       {"Left_M", l.leftMargin},
                                                       {"Top_M", l.topMargin},
                                                       {"Retsu", l.columns},
                                                       {"Dan", l.rows},
                                                       {"L_Width", l.labelWidth},
                                                       {"L_Height", l.labelHeight},
                                                       {"X_Skip", l.gapX},
                                                       {"Y_Skip", l.gapY},
                                                       {"Pr_LeftM", l.printLeft},
                                                       {"Pr_TopM", l.printTop}};
    for (const auto& [field, value] : values)
        sheets.FieldByName(QString::fromLatin1(field)).SetValue(value);
}

} // namespace

int ToTenths(double mm) {
    return static_cast<int>(std::lround(mm * 10.0));
}

std::optional<QString> CutToSjisBytes(const QString& text, int maxBytes) {
    bool ok = false;
    if (Sjis::TryEncode(text, &ok).size() <= maxBytes)
        return ok ? std::optional<QString>(text) : std::nullopt;
    if (!ok)
        return std::nullopt;
    qsizetype end = 0;
    int bytes = 0;
    while (end < text.size()) {
        const qsizetype step = text.at(end).isHighSurrogate() ? 2 : 1;
        const int size = static_cast<int>(Sjis::TryEncode(text.mid(end, step), &ok).size());
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += step;
    }
    return text.left(end);
}

TemplateConversion ConvertTemplate(const LabelTemplate& t) {
    if (!t.fault.isEmpty())
        return {std::nullopt, t.fault};
    if (t.shape != LabelShape::Rectangle)
        return {std::nullopt, ShapeReason(t.shape)};
    if (const QString reason = GeometryReason(t); !reason.isEmpty())
        return {std::nullopt, reason};
    const std::optional<QString> vendor = CutToSjisBytes(t.brand, kSheetNameBytes);
    const std::optional<QString> name = CutToSjisBytes(t.part, kSheetNameBytes);
    if (!vendor || !name)
        return {std::nullopt, QStringLiteral("Shift-JISで表せない文字があります")};
    const TemplateLayout& l = t.layouts.front();
    TemplateSheet v;
    v.CoName = *vendor;
    SheetLayout& sheet = v.layout;
    sheet.paperName = *name;
    SetPaper(sheet, t);
    sheet.columns = l.nx;
    sheet.rows = l.ny;
    sheet.leftMargin = ToTenths(l.x0);
    sheet.topMargin = ToTenths(l.y0);
    sheet.labelWidth = ToTenths(t.width);
    sheet.labelHeight = ToTenths(t.height);
    // The gap follows from the rounded pitch, so that rounding does not add up along a row.
    sheet.gapX = l.nx > 1 ? ToTenths(l.dx) - sheet.labelWidth : 0;
    sheet.gapY = l.ny > 1 ? ToTenths(l.dy) - sheet.labelHeight : 0;
    return {v, {}};
}

std::optional<QString> FreePaperName(Query& sheets, const QString& name) {
    return FreeName(PaperNames(sheets), name);
}

int AppendTemplateSheets(Query& sheets, const std::vector<TemplateSheet>& list) {
    sheets.FieldDefsUpdate();
    QSet<QString> taken = PaperNames(sheets);
    QStringList names;
    for (const TemplateSheet& v : list) {
        const std::optional<QString> name = FreeName(taken, v.layout.paperName);
        if (!name)
            throw EError(QStringLiteral("名称「%1」は使われています").arg(v.layout.paperName));
        taken.insert(*name);
        names << *name;
    }
    ControlsDisabled quiet(sheets);
    for (size_t i = 0; i < list.size(); ++i) {
        sheets.Append();
        try {
            FillRow(sheets, list[i], names[static_cast<qsizetype>(i)]);
            sheets.Post();
        } catch (...) {
            sheets.Cancel(); // no half-filled row may reach the database
            throw;
        }
    }
    return static_cast<int>(list.size());
}
