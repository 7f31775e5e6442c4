// The sheet text file: splitting and building lines, exporting and importing 1,000 sheets
// through a cached query on an embedded database; storing many imported rows in a legacy table
// whose ID has no index (the time per row must not grow with the rows).
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "sheets/SheetTextFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

const QString kLine =
    QStringLiteral("12,\"LB-12\",\"エーワン\",\"A4\",2100,2970,110,85,2,6,900,420,50,0,0,0,\"\"");

// One database with 1,000 sheets and a cached query over it, shared by the benchmarks.
struct SheetDb {
    explicit SheetDb(const QString& folder) {
        const QString path = folder + QStringLiteral("/TAVREL.FDB");
        CreateDatabaseFromScript(path, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"));
        ConnectDatabase(db, tr, path);
        q.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"), QStringLiteral("ORDER BY PAPERNAME")};
        q.CachedUpdates = true;
        q.UpdateObject = &upd;
        q.Open();
        GenerateUpdateSql(q, &upd, QStringLiteral("TAVRELSET"));
        QStringList lines;
        for (int i = 0; i < 1000; ++i)
            lines << QString(kLine).replace(QStringLiteral("LB-12"),
                                            QStringLiteral("用紙%1").arg(i));
        ImportLines(q, lines);
        ApplyAndReopen(q, false, false);
        file = folder + QStringLiteral("/sheets.txt");
        ExportRecords(q, file, false, ExportRange::All);
    }
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL upd;
    QString file;
};

SheetDb* sheets = nullptr;
QString legacyFolder;

void BM_SplitSheetLine(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(SplitSheetLine(kLine));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SplitSheetLine);

void BM_RecordLine(benchmark::State& state) {
    sheets->q.First();
    for (auto _ : state)
        benchmark::DoNotOptimize(RecordLine(sheets->q));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordLine);

void BM_Export1000(benchmark::State& state) {
    const QString out = sheets->file + QStringLiteral(".out");
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportRecords(sheets->q, out, false, ExportRange::All));
    state.SetItemsProcessed(state.iterations() * sheets->q.RecordCount());
}
BENCHMARK(BM_Export1000)->Unit(benchmark::kMillisecond);

void BM_ImportFile1000(benchmark::State& state) {
    Query& q = sheets->q;
    for (auto _ : state) {
        ImportFile(q, sheets->file);
        state.PauseTiming();
        if (q.RecordCount() != 2000)
            state.SkipWithError("import lost rows");
        q.Close(); // drops the cached rows
        q.Open();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ImportFile1000)->Unit(benchmark::kMillisecond);

void BM_ApplyImportWithoutIdIndex(benchmark::State& state) {
    const QString path = legacyFolder + QStringLiteral("/LEGACY.FDB");
    CreateDatabaseFromScript(path, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"));
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    Query drop(&db, &tr);
    drop.SQL = {QStringLiteral("ALTER TABLE TAVRELSET DROP CONSTRAINT PK_TAVRELSET")};
    drop.ExecSQL();
    tr.Commit();
    Query q(&db, &tr);
    TUpdateSQL upd;
    q.SQL = {QStringLiteral("SELECT * FROM TAVRELSET")};
    q.CachedUpdates = true;
    q.ForcedRefresh = true; // as the sheet editor stores its rows
    q.UpdateObject = &upd;
    q.Open();
    GenerateUpdateSql(q, &upd, QStringLiteral("TAVRELSET"));
    const QStringList lines(static_cast<qsizetype>(state.range(0)), kLine);
    for (auto _ : state) {
        state.PauseTiming();
        ImportLines(q, lines);
        state.ResumeTiming();
        q.ApplyUpdates();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    QFile::remove(path);
}
BENCHMARK(BM_ApplyImportWithoutIdIndex)
    ->Arg(1000)
    ->Arg(4000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the hourglass is part of the cost
    benchmark::Initialize(&argc, argv);
    QTemporaryDir folder;
    legacyFolder = folder.path();
    try {
        SheetDb db(folder.path());
        sheets = &db;
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
