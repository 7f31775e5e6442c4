#pragma once

#include "data/Query.h"
#include "platform/RtfWriter.h"
#include "platform/Settings.h"
#include "platform/StoredPicture.h"
#include "print/PreviewForm.h"
#include "printcore/NkPrinters.h"
#include "printcore/PrintSnapshot.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

// Shared pieces of the print run and print dialog tests: a design written to the snapshot file
// as the print entry writes it, sheet definitions as the dialog's list holds them, a fixed
// printer set, and the preview window of a run.
namespace ComposeFixture {

inline constexpr int kDesignId = 41;

struct Design {
    QByteArray cardText;
    QByteArray picture; // stored bitmap file, empty for none
    int x = 0, y = 0, width = 0, height = 0, show = 1, stretch = 1;
};

// Rich text in three sizes, as the editor stores it.
inline QByteArray LabelRtf(const QString& word = QStringLiteral("ラベル")) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("IPAPGothic")});
    for (double size : {14.0, 10.0, 7.0}) {
        format.setFontPointSize(size);
        cursor.insertText(size == 14.0 ? word : QStringLiteral("東京都 %1pt").arg(size), format);
        cursor.insertBlock();
    }
    return RtfWrite(doc);
}

inline QByteArray Bitmap(int width = 600, int height = 400, QColor color = Qt::darkGreen) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return StoredPicture::Encode(image);
}

inline std::vector<ColumnInfo> DesignColumns() {
    std::vector<ColumnInfo> c;
    const auto add = [&c](const char* name, FieldKind kind) { c.push_back({name, kind}); };
    add("ID", FieldKind::Integer);
    add("NAME", FieldKind::String);
    add("PAPERNAME", FieldKind::String);
    add("CARDTEXT", FieldKind::Memo);
    add("GAZOU", FieldKind::Blob);
    for (const char* name : {"G_X", "G_Y", "G_WIDTH", "G_HEIGHT", "G_SHOW", "G_STRETCH"})
        add(name, FieldKind::Integer);
    return c;
}

inline void WriteSnapshot(const QString& path, const Design& d) {
    const QVariant picture = d.picture.isEmpty() ? QVariant() : QVariant(d.picture);
    const QVariant values[] = {kDesignId, "はがき", "2x5",    QString::fromLatin1(d.cardText),
                               picture,   d.x,      d.y,      d.width,
                               d.height,  d.show,   d.stretch};
    RowValues row;
    for (const QVariant& v : values)
        row.push_back(Cell{v});
    Query q;
    q.LoadFromRows(DesignColumns(), {row});
    q.Open();
    PrintSnapshot::Save(q, path);
}

struct Sheet {
    QString paperName = QStringLiteral("2x5");
    QString paperType = QStringLiteral("A4");
    int pWidth = 2100, pHeight = 2970, leftM = 150, topM = 215, retsu = 2, dan = 5;
    int lWidth = 864, lHeight = 508, xSkip = 25, ySkip = 0;
    QVariant prLeftM, prTopM;
    QString printerName;
};

inline void LoadSheets(Query& q, const std::vector<Sheet>& sheets) {
    std::vector<ColumnInfo> c;
    for (const char* name : {"PAPERNAME", "PAPERTYPE", "PRINTERNAME"})
        c.push_back({name, FieldKind::String});
    for (const char* name : {"P_WIDTH", "P_HEIGHT", "LEFT_M", "TOP_M", "RETSU", "DAN", "L_WIDTH",
                             "L_HEIGHT", "X_SKIP", "Y_SKIP", "PR_LEFTM", "PR_TOPM"})
        c.push_back({name, FieldKind::Integer});
    std::vector<RowValues> rows;
    for (const Sheet& s : sheets) {
        const QVariant values[] = {s.paperName, s.paperType, s.printerName, s.pWidth,  s.pHeight,
                                   s.leftM,     s.topM,      s.retsu,       s.dan,     s.lWidth,
                                   s.lHeight,   s.xSkip,     s.ySkip,       s.prLeftM, s.prTopM};
        RowValues row;
        for (const QVariant& v : values)
            row.push_back(Cell{v});
        rows.push_back(row);
    }
    q.LoadFromRows(c, rows);
    q.Open();
}

class FixedPrinters : public INkPrinterSource {
  public:
    explicit FixedPrinters(QStringList names) : names_(std::move(names)) {}
    std::vector<TNkPrinterEntry> Enumerate() const override {
        std::vector<TNkPrinterEntry> entries;
        for (const QString& name : names_)
            entries.push_back({name, 0});
        return entries;
    }

  private:
    QStringList names_;
};

// The program's printers are these names while it lives; the printing system's afterwards.
struct UsePrinters {
    explicit UsePrinters(const QStringList& names) {
        NkPrinter().SetSource(std::make_unique<FixedPrinters>(names));
    }
    ~UsePrinters() { NkPrinter().SetSource(CupsPrinterSource()); }
};

// The settings of a program installed in a folder of its own.
struct TempProgram {
    TempProgram() {
        Settings::ResetToInitial();
        Settings::SnapshotPath = dir.filePath("TaTempp.cds");
    }
    ~TempProgram() { Settings::ResetToInitial(); }
    QTemporaryDir dir;
};

inline TPreviewForm* OpenPreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TPreviewForm*>(w); form && form->isVisible())
            return form;
    return nullptr;
}

} // namespace ComposeFixture
