// The anchor print job through tavrel-batch --pdf as a whole process, start-up included:
// A4 2 x 5 sheet of 86.4 x 50.8 mm labels, rich text in three sizes and the peer's 600 x 400
// picture, 99 labels after 7 empty cells. Median of 10 runs and the PDF's size; with
// glabels-3-batch on the machine, the same job through it and the ratio. The same job with the
// text set vertically, and its time against the horizontal one's (goal: at most 1.5 times).
#include "../tests/print/ComposeFixture.h"
#include "BenchSupport.h"
#include "platform/RtfReader.h"
#include "platform/TextFlow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QByteArray VerticalLabelRtf() {
    QTextDocument doc;
    RtfRead(ComposeFixture::LabelRtf(), &doc);
    TextFlow::SetVertical(doc, true);
    return RtfWrite(doc);
}

void FillDatabase(const QString& path) {
    const Cell picture{StoredPicture::Encode(bench::AnchorPicture())};
    bench::FillAnchorDatabase(
        path,
        "INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, GAZOU, G_X, G_Y, G_WIDTH, G_HEIGHT, "
        "G_SHOW, G_STRETCH) VALUES (0, :N, '2x5', :T, :G, 0, 0, 192, 96, 1, 1)",
        {{Cell{"anchor"}, Cell{QString::fromLatin1(ComposeFixture::LabelRtf())}, picture},
         {Cell{"anchor-vertical"}, Cell{QString::fromLatin1(VerticalLabelRtf())}, picture}});
}

// The same job through the peer's batch program, from a copy of the anchor folder that its
// run.sh has filled (TIMING=0 ./run.sh); prints the ratio to ours.
void ComparePeer(const QString& anchor, double ours, double oursCpu, double oursMb) {
    if (QStandardPaths::findExecutable("glabels-3-batch").isEmpty()) {
        std::printf("glabels-3-batch is not installed: no comparison\n");
        return;
    }
    if (anchor.isEmpty() || !QFileInfo::exists(anchor + "/docs/label-merge.glabels")) {
        std::printf("no prepared anchor folder given (second argument): no comparison\n");
        return;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(anchor + "/xdg-config"));
    const QString out = anchor + "/out/batch-bench.pdf";
    double cpuMs = 0;
    const double ms = bench::MedianRun(
        "glabels-3-batch", {"--copies=99", "--first=8", "-o", out, "docs/label-merge.glabels"},
        cpuMs, 5, anchor);
    if (ms < 0)
        return;
    const double mb = QFileInfo(out).size() / (1024.0 * 1024.0);
    std::printf("glabels-3-batch, the same job: median %.1f ms (processor %.1f ms), PDF %.2f MB\n",
                ms, cpuMs, mb);
    std::printf("peer / ours: %.1fx the time, %.1fx the processor time, %.1fx the PDF\n", ms / ours,
                cpuMs / oursCpu, mb / oursMb);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString batch = bench::BatchProgram(argc, argv);
    QTemporaryDir dir;
    // Kept after the run, for the floor program and profilers.
    const QString db = QStringLiteral("/var/tmp/tavrel-bench-anchor.fdb");
    const QString pdf = dir.filePath("anchor.pdf");
    QFile::remove(db);
    FillDatabase(db);
    double cpuMs = 0;
    const double ms = bench::MedianRun(batch,
                                       {"--design", "anchor", "--column", "2", "--row", "3",
                                        "--count", "99", "--pdf", pdf, "--database", db},
                                       cpuMs);
    const double mb = QFileInfo(pdf).size() / (1024.0 * 1024.0);
    std::printf("tavrel-batch --pdf, 99 labels after 7 empty cells: median %.1f ms "
                "(processor %.1f ms), PDF %.2f MB (goal < 400 ms, < 2 MB)\n",
                ms, cpuMs, mb);
    if (ms < 0)
        return 1;
    double verticalCpuMs = 0;
    const double verticalMs =
        bench::MedianRun(batch,
                         {"--design", "anchor-vertical", "--column", "2", "--row", "3", "--count",
                          "99", "--pdf", pdf, "--database", db},
                         verticalCpuMs);
    std::printf("the same job set vertically: median %.1f ms (processor %.1f ms), %.2fx the "
                "horizontal time (goal <= 1.5x)\n",
                verticalMs, verticalCpuMs, verticalMs / ms);
    double floorCpu = 0;
    const double floor = bench::MedianRun(QCoreApplication::applicationDirPath() + "/BatchFloor",
                                          {db, dir.filePath("floor.pdf")}, floorCpu);
    std::printf("floor (plain Qt and fbclient, BatchFloor): median %.1f ms (processor %.1f ms); "
                "ours / floor %.2fx the time, %.2fx the processor time (goal < 1.2x)\n",
                floor, floorCpu, ms / floor, cpuMs / floorCpu);
    ComparePeer(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(), ms, cpuMs, mb);
    return 0;
}
