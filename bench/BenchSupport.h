#pragma once

// Small helpers shared by the plain timing programs.
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "platform/StoredPicture.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace bench {

inline double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Resident and peak resident memory of this process, in MB.
inline double StatusMb(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(strlen(key)))
                       .trimmed()
                       .split(' ')[0]
                       .toDouble() /
                   1024.0;
    return 0;
}

// A new database from the schema, connected.
inline void CreateAndConnect(const QString& path, Database& db, Transaction& tr) {
    CreateDatabaseFromScript(path, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"));
    ConnectDatabase(db, tr, path);
}

// A database of label designs, each with a 2 KB RTF text and a picture of side x side pixels
// stored as a 24-bit bitmap; made once and kept, since it takes minutes to fill.
inline void EnsureDesigns(const QString& path, int count, int side) {
    if (QFile::exists(path))
        return;
    std::printf("creating %s (%d designs)...\n", qPrintable(path), count);
    Database db;
    Transaction tr;
    CreateAndConnect(path, db, tr);
    Statement ins(db, tr);
    ins.Prepare("INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, GAZOU, G_X, G_Y, G_WIDTH, "
                "G_HEIGHT, G_SHOW, G_STRETCH) VALUES (0, :N, 'LB-10', :T, :G, 1, 2, 70, 50, 1, 0)");
    const QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg932 ") + QString(2000, 'x') + "}";
    QImage picture(side, side, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        picture.fill(qRgb(i % 256, (i / 256) % 256, 128));
        ins.Execute({Cell{QStringLiteral("ラベル%1").arg(i, 6, 10, QLatin1Char('0'))}, Cell{rtf},
                     Cell{StoredPicture::Encode(picture)}});
        if (i % 500 == 499)
            tr.CommitRetaining();
    }
    tr.Commit();
}

// 10,000 designs with 300 KB pictures (about 3 GB).
inline const QString kTenThousand = QStringLiteral("/var/tmp/tavrel-bench-10k-v2.fdb");
inline void EnsureTenThousand() {
    EnsureDesigns(kTenThousand, 10000, 320);
}

// 100,000 designs with small (7 KB) pictures.
inline const QString kHundredThousand = QStringLiteral("/var/tmp/tavrel-bench-100k.fdb");
inline void EnsureHundredThousand() {
    EnsureDesigns(kHundredThousand, 100000, 48);
}

// The peer's picture when it is at hand, else a grainy one of the same size.
inline QImage AnchorPicture() {
    QImage image(QStringLiteral("/work/shared/anchor/glabels/assets/pic.png"));
    if (!image.isNull())
        return image.convertToFormat(QImage::Format_RGB32);
    image = QImage(600, 400, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           qRgb((x + random.bounded(64)) % 256, (y + random.bounded(64)) % 256,
                                random.bounded(256)));
    return image;
}

// tavrel-batch as the first argument names it, else the one of this build.
inline QString BatchProgram(int argc, char** argv) {
    return argc > 1 ? QString::fromLocal8Bit(argv[1])
                    : QCoreApplication::applicationDirPath() + "/../tavrel-batch";
}

// The anchor sheet: A4, 2 x 5 labels of 86.4 x 50.8 mm.
inline void AddAnchorSheet(Database& db, Transaction& tr) {
    Statement sheet(db, tr);
    sheet.Prepare("INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, "
                  "TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_TOPM, PR_LEFTM) "
                  "VALUES (0, '2x5', 'A4', 2100, 2970, 150, 215, 2, 5, 864, 508, 25, 0, 0, 0)");
    sheet.Execute({});
}

// A new database at path with the anchor sheet and the designs the insert makes of rows.
inline void FillAnchorDatabase(const QString& path, const char* insert,
                               const std::vector<std::vector<Cell>>& rows) {
    Database db;
    Transaction tr;
    CreateAndConnect(path, db, tr);
    Statement design(db, tr);
    design.Prepare(insert);
    for (const std::vector<Cell>& row : rows)
        design.Execute(row);
    AddAnchorSheet(db, tr);
    tr.Commit();
}

// Processor time (user and system) of the finished child processes, in milliseconds. On a
// loaded machine the wall time mostly measures the others' work; this does not.
inline double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](timeval t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Median wall time of the runs in milliseconds (and the median processor time in cpuMs); -1
// when a run fails.
inline double MedianRun(const QString& program, const QStringList& args, double& cpuMs,
                        int runs = 10, const QString& folder = {}) {
    std::vector<double> times, cpu;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setWorkingDirectory(folder);
        const double start = NowMs(), cpuStart = ChildrenCpuMs();
        p.start(program, args);
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            std::printf("%s failed: %s\n", qPrintable(program), p.readAllStandardError().data());
            return -1;
        }
        times.push_back(NowMs() - start);
        cpu.push_back(ChildrenCpuMs() - cpuStart);
    }
    cpuMs = Median(cpu);
    return Median(times);
}

} // namespace bench
