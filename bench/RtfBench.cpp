// Reading and writing label text as RTF: a typical label, and a 1 MB document.
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

QTextCharFormat Styled(qreal points, bool bold, const QColor& color, int offsetTwips = 0) {
    QTextCharFormat format = RichFormat::DefaultCharFormat();
    RichFormat::SetPointSize(format, points);
    if (bold)
        format.setFontWeight(QFont::Bold);
    RichFormat::SetTextColor(format, color);
    RichFormat::SetOffsetTwips(format, offsetTwips);
    return format;
}

// A shipping label: a heading, an address block, a product line with a price and a note.
void FillLabel(QTextCursor& cursor) {
    const QTextCharFormat plain = RichFormat::DefaultCharFormat();
    cursor.insertText(QStringLiteral("株式会社タヴレル商事　御中"), Styled(14, true, {}));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("〒100-0001 東京都千代田区千代田1-1-1 ラベルビル 3F"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("TEL 03-1234-5678　FAX 03-1234-5679"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("品名："), plain);
    cursor.insertText(QStringLiteral("特選ｶﾀｶﾅ緑茶 500ml×24本"), Styled(12, true, Qt::darkGreen));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("価格："), plain);
    cursor.insertText(QStringLiteral("￥3,980"), Styled(12, true, Qt::red));
    cursor.insertText(QStringLiteral("（税込）"), plain);
    cursor.insertText(QStringLiteral("※1"), Styled(10, false, {}, 60));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("※1 送料は別途お見積りいたします。\tH2O CO2"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("取扱注意・天地無用・水濡れ厳禁・ワレモノ注意"),
                      Styled(11, true, Qt::blue));
}

QByteArray LabelRtf() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    for (int i = 0; i < 2; ++i) {
        FillLabel(cursor);
        cursor.insertBlock();
    }
    return RtfWrite(doc);
}

QByteArray LargeRtf() {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    while (doc.characterCount() < 180000)
        for (int i = 0; i < 100; ++i) {
            FillLabel(cursor);
            cursor.insertBlock();
        }
    return RtfWrite(doc);
}

void BM_ReadLabel(benchmark::State& state) {
    const QByteArray rtf = LabelRtf();
    QTextDocument doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfRead(rtf, &doc));
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadLabel)->Unit(benchmark::kMicrosecond);

void BM_WriteLabel(benchmark::State& state) {
    QTextDocument doc;
    RtfRead(LabelRtf(), &doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfWrite(doc));
}
BENCHMARK(BM_WriteLabel)->Unit(benchmark::kMicrosecond);

void BM_ReadLargeDocument(benchmark::State& state) {
    const QByteArray rtf = LargeRtf();
    QTextDocument doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfRead(rtf, &doc));
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadLargeDocument)->Unit(benchmark::kMillisecond);

void BM_WriteLargeDocument(benchmark::State& state) {
    QTextDocument doc;
    RtfRead(LargeRtf(), &doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfWrite(doc));
}
BENCHMARK(BM_WriteLargeDocument)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
