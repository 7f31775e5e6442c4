// Opening a table of 10,000 designs (2 KB RTF, 300 KB picture each) and applying 1,000 inserts.
#include "BenchSupport.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const QString kPath = bench::kTenThousand;

double OpenAll(const QString& path) {
    const double t0 = bench::NowMs();
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    Query q(&db, &tr);
    q.SQL = {"SELECT * FROM TAVREL", "ORDER BY NAME"};
    q.CachedUpdates = true;
    q.Open();
    q.Last();
    const double ms = bench::NowMs() - t0;
    if (q.RecordCount() != 10000)
        std::printf("unexpected row count %d\n", q.RecordCount());
    return ms;
}

double ApplyInserts(const QString& path) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    Query q(&db, &tr);
    TUpdateSQL u;
    q.SQL = {"SELECT * FROM TAVRELSET"};
    q.CachedUpdates = true;
    q.UpdateObject = &u;
    q.Open();
    GenerateUpdateSql(q, &u, "TAVRELSET");
    for (int i = 0; i < 1000; ++i) {
        q.Append();
        q.FieldByName("ID").SetValue(0);
        q.FieldByName("PAPERNAME").SetValue(QStringLiteral("用紙%1").arg(i));
        q.FieldByName("RETSU").SetValue(2);
        q.Post();
    }
    const double t0 = bench::NowMs();
    q.ApplyUpdates();
    return bench::NowMs() - t0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        bench::EnsureTenThousand();
        std::vector<double> open;
        for (int i = 0; i < 5; ++i)
            open.push_back(OpenAll(kPath));
        std::printf("open+fetch all+last of 10,000 designs: median %.1f ms (runs:",
                    bench::Median(open));
        for (double v : open)
            std::printf(" %.1f", v);
        std::printf(")\npeak resident memory: %.1f MB\n", bench::StatusMb("VmHWM:"));

        const QString small = QDir::tempPath() + "/tavrel-bench-apply.fdb";
        std::vector<double> apply;
        for (int i = 0; i < 5; ++i) {
            QFile::remove(small);
            CreateDatabaseFromScript(small, QStringLiteral(TAVREL_SOURCE_DIR "/db/schema.sql"));
            apply.push_back(ApplyInserts(small));
        }
        QFile::remove(small);
        std::printf("apply 1,000 cached inserts: median %.1f ms\n", bench::Median(apply));
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", qPrintable(ExceptionText(e)));
        return 1;
    }
    return 0;
}
