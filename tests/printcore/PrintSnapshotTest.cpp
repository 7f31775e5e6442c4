#include "printcore/PrintSnapshot.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "platform/Error.h"
#include "platform/Settings.h"
#include "support/TestDb.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFailed = QStringLiteral("印刷データ作成に失敗しました。");
const QString kRtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg932 ラベル本文}");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString LoadError(const QString& path) {
    Query q;
    try {
        PrintSnapshot::Load(path, q);
    } catch (const EError& e) {
        return e.message();
    }
    return {};
}

// One stored design read through a real connection, as the print entry reads it.
class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tdb.Execute("INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, GAZOU, G_X, G_Y, G_WIDTH, "
                    "G_HEIGHT, G_SHOW, G_STRETCH) VALUES (0, 'はがき', 'A-ONE 28186', '" +
                    kRtf + "', x'424D0001FF00', 12, -3, 100, 80, 1, NULL)");
        ConnectDatabase(db, tr, tdb.Path());
        q.SQL = {"SELECT * FROM TAVREL"};
        q.Open();
        path = dir.filePath("TaTempp.cds");
    }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    QTemporaryDir dir;
    QString path;
};

TEST_F(SnapshotTest, RoundTripKeepsEveryColumnAndValue) {
    PrintSnapshot::Save(q, path);
    Query loaded;
    PrintSnapshot::Load(path, loaded);
    ASSERT_TRUE(loaded.Active());
    EXPECT_TRUE(loaded.InMemory());
    ASSERT_EQ(loaded.FieldCount(), q.FieldCount());
    ASSERT_EQ(loaded.RecordCount(), 1);
    for (int f = 0; f < q.FieldCount(); ++f) {
        SCOPED_TRACE(q.Column(f).name.toStdString());
        EXPECT_EQ(loaded.Column(f).name, q.Column(f).name);
        EXPECT_EQ(loaded.Column(f).kind, q.Column(f).kind);
        EXPECT_EQ(loaded.Fields(f).Value(), q.Fields(f).Value());
        EXPECT_EQ(loaded.Fields(f).IsNull(), q.Fields(f).IsNull());
    }
    EXPECT_EQ(loaded.FieldByName("CARDTEXT").AsString(), kRtf);
    EXPECT_EQ(loaded.FieldByName("GAZOU").AsBytes(), QByteArray::fromHex("424D0001FF00"));
    EXPECT_EQ(loaded.FieldByName("G_Y").AsInteger(), -3);
    EXPECT_TRUE(loaded.FieldByName("G_STRETCH").IsNull());
}

TEST_F(SnapshotTest, ChangesToTheLoadedRowsNeverReachTheFile) {
    PrintSnapshot::Save(q, path);
    const QByteArray before = ReadAll(path);
    Query loaded;
    PrintSnapshot::Load(path, loaded);
    loaded.Insert();
    loaded.FieldByName("ID").SetValue(0);
    loaded.Post();
    loaded.Last();
    loaded.Edit();
    loaded.FieldByName("NAME").SetValue("changed");
    loaded.Post();
    EXPECT_EQ(loaded.RecordCount(), 2);
    loaded.CancelUpdates();
    EXPECT_EQ(loaded.RecordCount(), 1);
    EXPECT_EQ(loaded.FieldByName("NAME").AsString(), "はがき");
    loaded.Close();
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(SnapshotTest, DamagedTruncatedForeignOrMissingFilesAreRefused) {
    PrintSnapshot::Save(q, path);
    const QByteArray good = ReadAll(path);
    const QString bad = dir.filePath("bad.cds");
    for (int cut :
         {0, 1, 8, 10, 30, static_cast<int>(good.size()) - 21, static_cast<int>(good.size()) - 1}) {
        SCOPED_TRACE(cut);
        WriteAll(bad, good.left(cut));
        EXPECT_EQ(LoadError(bad), kFailed);
    }
    for (int at :
         {0, 9, 40, static_cast<int>(good.size()) / 2, static_cast<int>(good.size()) - 1}) {
        SCOPED_TRACE(at);
        QByteArray flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
        WriteAll(bad, flipped);
        EXPECT_EQ(LoadError(bad), kFailed);
    }
    WriteAll(bad, QByteArray::fromHex("424D3E000000") + QByteArray(100, 'x'));
    EXPECT_EQ(LoadError(bad), kFailed);
    WriteAll(bad, good + "trailing");
    EXPECT_EQ(LoadError(bad), kFailed);
    EXPECT_EQ(LoadError(dir.filePath("none.cds")), kFailed);
    EXPECT_EQ(LoadError(dir.path()), kFailed);
}

// A file whose digest is right but whose content was written by another version or is
// nonsense must not be trusted either.
TEST_F(SnapshotTest, WellSealedButUnreadableContentIsRefused) {
    PrintSnapshot::Save(q, path);
    const QByteArray good = ReadAll(path);
    auto sealed = [](QByteArray content) {
        return content + QCryptographicHash::hash(content, QCryptographicHash::Sha1);
    };
    const QByteArray content = good.left(good.size() - 20);
    QByteArray newer = content;
    newer[9] = static_cast<char>(PrintSnapshot::kVersion + 1);
    WriteAll(path, sealed(newer));
    EXPECT_EQ(LoadError(path), kFailed);
    // Column count far beyond any table.
    QByteArray columns = content;
    columns.replace(10, 4, QByteArray::fromHex("7FFFFFFF"));
    WriteAll(path, sealed(columns));
    EXPECT_EQ(LoadError(path), kFailed);
    // Only the header: the columns and rows are missing.
    WriteAll(path, sealed(content.left(14)));
    EXPECT_EQ(LoadError(path), kFailed);
}

TEST_F(SnapshotTest, WritePrintSnapshotReplacesTheFileAtTheSettingsPath) {
    Settings::SnapshotPath = path;
    WriteAll(path, "an older snapshot");
    EXPECT_TRUE(WritePrintSnapshot(q));
    Query loaded;
    PrintSnapshot::Load(path, loaded);
    EXPECT_EQ(loaded.FieldByName("NAME").AsString(), "はがき");
    Settings::SnapshotPath = dir.filePath("no-such-folder/TaTempp.cds");
    try {
        WritePrintSnapshot(q);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), kFailed);
    }
    Settings::ResetToInitial();
}

TEST_F(SnapshotTest, AnEmptyResultIsAValidSnapshotOfNoRows) {
    q.Close();
    q.SQL = {"SELECT * FROM TAVREL WHERE ID < 0"};
    q.Open();
    PrintSnapshot::Save(q, path);
    Query loaded;
    PrintSnapshot::Load(path, loaded);
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_EQ(loaded.FieldCount(), q.FieldCount());
}

} // namespace
