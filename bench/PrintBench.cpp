// Label pages: ten pages of a 2 x 5 sheet of 86.4 x 50.8 mm labels on A4 written to a PDF file,
// and the preview turning to its next page. Every label carries a Japanese rich text in three
// sizes and the same 600 x 400 picture.
#include "app/Application.h"
#include "platform/RichFormat.h"
#include "platform/RtfWriter.h"
#include "print/PreviewForm.h"
#include "printcore/LabelReport.h"
#include "printcore/ReportPages.h"
#include "support/LabelSheetPage.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

QByteArray ThreeSizeRtf() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    const auto sized = [](qreal points, bool bold) {
        QTextCharFormat format = RichFormat::DefaultCharFormat();
        RichFormat::SetPointSize(format, points);
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        return format;
    };
    cursor.insertText(QStringLiteral("株式会社タヴレル商事　御中"), sized(16, true));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("〒100-0001 東京都千代田区千代田1-1-1 ラベルビル 3F"),
                      sized(10, false));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("取扱注意・天地無用・水濡れ厳禁"), sized(7, false));
    return RtfWrite(doc);
}

std::shared_ptr<const QImage> Picture() {
    auto image = std::make_shared<QImage>(600, 400, QImage::Format_RGB32);
    QPainter painter(image.get());
    QLinearGradient gradient(0, 0, 600, 400);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image->rect(), gradient);
    painter.setPen(Qt::white);
    painter.drawEllipse(100, 50, 400, 300);
    painter.end();
    // Grain, as a photograph has, so the picture does not compress to nothing.
    QRandomGenerator random(7);
    for (int y = 0; y < image->height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = 0; x < image->width(); ++x) {
            const int grain = static_cast<int>(random.bounded(32)) - 16;
            const QColor c(line[x]);
            line[x] =
                qRgb(std::clamp(c.red() + grain, 0, 255), std::clamp(c.green() + grain, 0, 255),
                     std::clamp(c.blue() + grain, 0, 255));
        }
    }
    return image;
}

// The tests' label sheet as the print run sets it up: white frames, a small picture.
TPageDescription Sheet() {
    TPageDescription page = LabelSheet();
    page.frameColor = Qt::white;
    page.pictureRect = QRectF(50, 25, 30, 20);
    page.title = QStringLiteral("印刷．．．LB-10");
    return page;
}

std::vector<TPrintRow> HundredLabels() {
    const TPrintRow label{ThreeSizeRtf(), Picture()};
    return std::vector<TPrintRow>(100, label);
}

void BM_TenPagesToPdf(benchmark::State& state) {
    const QString path = QDir::temp().filePath(QStringLiteral("tavrel-bench-labels.pdf"));
    TLabelReport report;
    report.Page = Sheet();
    report.Rows = HundredLabels();
    for (auto _ : state)
        report.PrintToFile(path);
    state.counters["pages"] = report.PageCount();
    state.counters["pdf_kb"] = static_cast<double>(QFileInfo(path).size()) / 1024.0;
}
BENCHMARK(BM_TenPagesToPdf)->Unit(benchmark::kMillisecond)->MinTime(3);

// Turns the pages of a shown preview, round and round, each one drawn in full.
void TurnPages(benchmark::State& state, bool actualSize) {
    TPageDescription page = Sheet();
    page.frameColor = Qt::black; // as the preview shows them
    auto pages = std::make_shared<TReportPages>(page, HundredLabels(), 96);
    TPreviewForm form;
    form.resize(1280, 1024);
    form.show();
    form.SetPages(pages);
    form.SetProducedPages(pages->Count());
    while (actualSize && form.ZoomPercent() < 100)
        form.ZoomInBtnClick();
    for (auto _ : state) {
        if (form.CurrentPage() == form.PageCount() - 1)
            form.FirstPageBtnClick();
        else
            form.NextPageBtnClick();
        benchmark::DoNotOptimize(form.PageView->grab());
    }
    state.counters["zoom_percent"] = form.ZoomPercent();
}

void BM_PreviewNextPage(benchmark::State& state) {
    TurnPages(state, false);
}
BENCHMARK(BM_PreviewNextPage)->Unit(benchmark::kMillisecond);

void BM_PreviewNextPageAtActualSize(benchmark::State& state) {
    TurnPages(state, true);
}
BENCHMARK(BM_PreviewNextPageAtActualSize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InitApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
