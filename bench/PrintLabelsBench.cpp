// The print run to a finished PDF file: one design with Japanese rich text in three sizes and a
// 600 × 400 picture, 99 labels after 7 empty cells (start column 2, row 3) of an A4 sheet of
// 2 × 5 labels of 86.4 × 50.8 mm: snapshot loaded, print rows built, pages laid out, drawn and
// written, as the printer gets them.
#include "BenchSupport.h"
#include "app/Application.h"
#include "data/Query.h"
#include "platform/RtfWriter.h"
#include "platform/Settings.h"
#include "printcore/PrintSnapshot.h"
#include "printcore/repTavrelU.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QByteArray LabelText() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    const auto line = [&cursor](const QString& text, const char* face, double points, QColor colour,
                                bool bold) {
        QTextCharFormat f;
        f.setFontFamilies({QString::fromLatin1(face)});
        f.setFontPointSize(points);
        f.setForeground(colour);
        f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        cursor.insertText(text, f);
        cursor.insertBlock();
    };
    for (const QString& title : {QStringLiteral("桜ベーカリー"), QStringLiteral("Sakura Bakery")})
        line(title, "IPAPGothic", 14, QColor(0xb0, 0x10, 0x20), true);
    line(QStringLiteral("東京都千代田区丸の内1-2-3"), "IPAMincho", 10, QColor(0x10, 0x40, 0xa0),
         false);
    line(QStringLiteral("電話 03-1234-5678 / Tel +81 3 1234 5678"), "IPAMincho", 10,
         QColor(0x10, 0x40, 0xa0), false);
    line(QStringLiteral("賞味期限 Best before 2025-12-31　ロット Lot A-0042"), "IPAPGothic", 7,
         QColor(0x50, 0x50, 0x50), false);
    return RtfWrite(doc);
}

// One in-memory row under the given columns.
void LoadRow(Query& q, const std::vector<std::pair<const char*, QVariant>>& fields,
             FieldKind kindOfRest) {
    std::vector<ColumnInfo> columns;
    RowValues row;
    for (const auto& [name, value] : fields) {
        const FieldKind kind = value.typeId() == QMetaType::QString      ? FieldKind::String
                               : value.typeId() == QMetaType::QByteArray ? FieldKind::Blob
                                                                         : kindOfRest;
        columns.push_back({QString::fromLatin1(name), kind});
        row.push_back(Cell{value});
    }
    q.LoadFromRows(columns, {row});
    q.Open();
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    InitApplication(app);
    // Timed runs after one warm-up; 0 times one cold run (for whole-process comparisons).
    const int runs = argc > 1 ? std::max(0, atoi(argv[1])) : 9;
    QTemporaryDir dir;
    // TAVREL_BENCH_KEEP names a file that gets a copy of the PDF, to look at.
    const QString keep = qEnvironmentVariable("TAVREL_BENCH_KEEP");
    Settings::SnapshotPath = dir.filePath("TaTempp.cds");
    Query design;
    LoadRow(design,
            {{"ID", 41},
             {"NAME", QStringLiteral("bakery")},
             {"PAPERNAME", QStringLiteral("2x5")},
             {"CARDTEXT", QString::fromLatin1(LabelText())},
             {"GAZOU", StoredPicture::Encode(bench::AnchorPicture())},
             {"G_X", 185},
             {"G_Y", 11},
             {"G_WIDTH", 130},
             {"G_HEIGHT", 87},
             {"G_SHOW", 1},
             {"G_STRETCH", 1}},
            FieldKind::Integer);
    PrintSnapshot::Save(design, Settings::SnapshotPath);
    Query sheets;
    LoadRow(sheets,
            {{"PAPERNAME", QStringLiteral("2x5")},
             {"PAPERTYPE", QStringLiteral("A4")},
             {"PRINTERNAME", QString()},
             {"P_WIDTH", 2100},
             {"P_HEIGHT", 2970},
             {"LEFT_M", 150},
             {"TOP_M", 215},
             {"RETSU", 2},
             {"DAN", 5},
             {"L_WIDTH", 864},
             {"L_HEIGHT", 508},
             {"X_SKIP", 25},
             {"Y_SKIP", 0},
             {"PR_LEFTM", 0},
             {"PR_TOPM", 0}},
            FieldKind::Integer);
    const QString pdf = dir.filePath("labels.pdf");
    const auto run = [&](int count, int column, int row) {
        const double t0 = bench::NowMs();
        TrepCardForm form({QString(), "2x5", "A4", 0, 0, count, column, row, 5}, sheets);
        form.LoadSnapshot(Settings::SnapshotPath);
        form.BuildPrintRows();
        form.repCard.Rows = form.PrintRows();
        form.repCard.PrintToFile(pdf);
        return bench::NowMs() - t0;
    };
    std::vector<double> times;
    for (int i = runs > 0 ? 0 : 1; i <= std::max(1, runs); ++i) { // run 0 warms the caches
        const double ms = run(99, 2, 3);
        if (i > 0)
            times.push_back(ms);
    }
    const QString info = [&] {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {pdf});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }();
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(pdf, keep);
    }
    const bool elevenPages = info.contains(QRegularExpression("Pages:\\s+11\\b"));
    std::printf("99 labels after 7 empty cells, PrintLabels to a finished PDF: median %.1f ms, "
                "fastest %.1f ms over %d runs\n",
                bench::Median(times), *std::min_element(times.begin(), times.end()),
                static_cast<int>(times.size()));
    std::printf("PDF %.2f MB, %s; peak resident memory %.1f MB\n", QFileInfo(pdf).size() / 1e6,
                elevenPages ? "11 pages" : "NOT 11 pages", bench::StatusMb("VmHWM:"));
    if (runs > 0) {
        const double thousand = run(1000, 1, 1), tenThousand = run(10000, 1, 1);
        std::printf("1,000 labels: %.0f ms; 10,000 labels: %.0f ms (goal < 1 s), %.0f ms per "
                    "1,000 at 10,000; peak resident memory %.1f MB\n",
                    thousand, tenThousand, tenThousand / 10, bench::StatusMb("VmHWM:"));
    }
    return elevenPages ? 0 : 1;
}
