// 1,000 labels, each with its own QR code from a merge list, through tavrel-batch --merge to PDF
// as a whole process, start-up included: A4 2 x 5 sheet, a name and a QR code per label. Median
// of 5 runs and the PDF's size.
#include "BenchSupport.h"
#include "platform/BarcodeField.h"
#include "platform/BarcodeText.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/RtfWriter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QByteArray QrDesignRtf() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("IPAPGothic")});
    RichFormat::SetField(format, MergeField::Instruction(QStringLiteral("氏名")), 1);
    cursor.insertText(MergeField::Placeholder(QStringLiteral("氏名")), format);
    cursor.insertBlock();
    BarcodeField::TBarcodeField qr;
    qr.merge = true;
    qr.data = QStringLiteral("URL");
    qr.type = QStringLiteral("QR");
    qr.qrLevel = 1;
    BarcodeText::Insert(cursor, BarcodeField::Instruction(qr), 2);
    return RtfWrite(doc);
}

void FillDatabase(const QString& path) {
    bench::FillAnchorDatabase(path,
                              "INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, G_SHOW) "
                              "VALUES (0, 'qr', '2x5', :T, 0)",
                              {{Cell{QString::fromLatin1(QrDesignRtf())}}});
}

void WriteList(const QString& path, int rows) {
    QByteArray text = "氏名,URL\r\n";
    for (int i = 1; i <= rows; ++i)
        text += QStringLiteral("見本 太郎%1,https://example.jp/member?id=%1&k=%2\r\n")
                    .arg(i)
                    .arg(i * 7919 % 100003)
                    .toUtf8();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString batch = bench::BatchProgram(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath("bench.fdb"), pdf = dir.filePath("qr.pdf");
    const QString list = dir.filePath("list.csv");
    FillDatabase(db);
    WriteList(list, 1000);
    double cpuMs = 0;
    const double ms = bench::MedianRun(
        batch, {"--design", "qr", "--merge", list, "--pdf", pdf, "--database", db}, cpuMs, 5);
    if (ms < 0)
        return 1;
    std::printf("1,000 labels, each its own QR code: median %.0f ms (processor %.0f ms), "
                "PDF %.2f MB (goal < 1,500 ms)\n",
                ms, cpuMs, QFileInfo(pdf).size() / (1024.0 * 1024.0));
    return 0;
}
