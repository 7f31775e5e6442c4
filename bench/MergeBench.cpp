// Mail merge through tavrel-batch --merge as a whole process, start-up included: a 5-column
// address list of 1,000, 5,000 and 10,000 rows onto the anchor design (rich text with merge
// fields and the anchor picture) on the A4 2 x 5 sheet, to PDF. Median of 3 runs each, the time
// per 1,000 labels (it must stay flat as the list grows), the peak memory and the PDF's size.
#include "BenchSupport.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/RtfWriter.h"
#include "platform/SjisCodec.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QStringList kColumns = {"郵便番号", "住所1", "住所2", "会社", "氏名"};

QByteArray MergeDesignRtf() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    int id = 0;
    for (const QString& name : kColumns) {
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("IPAPGothic")});
        format.setFontPointSize(name == kColumns.last() ? 14 : 9);
        if (id > 0)
            cursor.insertBlock();
        RichFormat::SetField(format, MergeField::Instruction(name), ++id);
        cursor.insertText(MergeField::Placeholder(name), format);
    }
    return RtfWrite(doc);
}

void FillDatabase(const QString& path) {
    bench::FillAnchorDatabase(
        path,
        "INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, GAZOU, G_X, G_Y, G_WIDTH, G_HEIGHT, "
        "G_SHOW, G_STRETCH) VALUES (0, 'anchor', '2x5', :T, :G, 180, 0, 96, 64, 1, 1)",
        {{Cell{QString::fromLatin1(MergeDesignRtf())},
          Cell{StoredPicture::Encode(bench::AnchorPicture())}}});
}

// A Shift-JIS list as spreadsheets export it, every row different.
void WriteList(const QString& path, int rows) {
    QString text = kColumns.join(u',') + QStringLiteral("\r\n");
    for (int i = 1; i <= rows; ++i)
        text += QStringLiteral("%1-%2,東京都千代田区千代田%3,\"第%3ビル\r\n%4階\",株式会社見本%3,"
                               "見本 太郎%3\r\n")
                    .arg(100 + i % 900, 3, 10, QChar(u'0'))
                    .arg(i % 10000, 4, 10, QChar(u'0'))
                    .arg(i)
                    .arg(i % 40 + 1);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(Sjis::Encode(text));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString batch = bench::BatchProgram(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath("bench.fdb"), pdf = dir.filePath("merge.pdf");
    FillDatabase(db);
    for (const int rows : {1000, 5000, 10000}) {
        const QString list = dir.filePath(QStringLiteral("list%1.csv").arg(rows));
        WriteList(list, rows);
        double cpuMs = 0;
        const double ms = bench::MedianRun(
            batch, {"--design", "anchor", "--merge", list, "--pdf", pdf, "--database", db}, cpuMs,
            3);
        if (ms < 0)
            return 1;
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        std::printf("%6d rows: median %.0f ms (processor %.0f ms), %.0f ms per 1,000 labels, "
                    "peak %.0f MB so far, PDF %.2f MB\n",
                    rows, ms, cpuMs, ms * 1000.0 / rows, usage.ru_maxrss / 1024.0,
                    QFileInfo(pdf).size() / (1024.0 * 1024.0));
    }
    std::printf("goal for 10,000 rows: < 2 s, < 150 MB, PDF < 10 MB\n");
    return 0;
}
