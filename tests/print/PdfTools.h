#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <vector>

// Reads PDF files back with the poppler tools, as a user's viewer would.
namespace PdfTools {

inline bool Available() {
    return !QStandardPaths::findExecutable("pdfinfo").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

inline QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PageCount(const QString& pdf) {
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(Run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Width and height of the first page in points.
inline QSizeF PageSize(const QString& pdf) {
    const auto m =
        QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(Run("pdfinfo", {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

inline QString Text(const QString& pdf) {
    return Run("pdftotext", {"-enc", "UTF-8", pdf, "-"});
}

struct Word {
    int page = 0;
    QString text;
    QRectF box; // millimetres from the page's top-left corner
};

inline std::vector<Word> Words(const QString& pdf) {
    const QString html = Run("pdftotext", {"-bbox", "-enc", "UTF-8", pdf, "-"});
    std::vector<Word> words;
    int page = 0;
    static const QRegularExpression tag(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
        "yMax=\"([\\d.]+)\">([^<]*)</word>");
    constexpr double mmPerPoint = 25.4 / 72;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
        words.push_back({page, m.captured(5),
                         QRectF(x0 * mmPerPoint, y0 * mmPerPoint, (x1 - x0) * mmPerPoint,
                                (y1 - y0) * mmPerPoint)});
    }
    return words;
}

// One page at pixelsPerMm.
inline QImage Raster(const QString& pdf, int page, double pixelsPerMm) {
    QTemporaryDir dir;
    const QString base = dir.filePath("page");
    const QString n = QString::number(page);
    Run("pdftoppm", {"-png", "-singlefile", "-f", n, "-l", n, "-r",
                     QString::number(pixelsPerMm * 25.4), pdf, base});
    return QImage(base + ".png");
}

} // namespace PdfTools
