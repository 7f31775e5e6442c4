// The server process is killed in the middle of an apply of many new rows and started again.
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "data/Statement.h"
#include "platform/MessageService.h"
#include "support/PrivateServer.h"
#include "support/TestDb.h"

#include <future>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>

namespace {

constexpr int kRows = 1000;

// A connection whose cached data set holds kRows new cards, none of them applied.
struct PendingCards {
    explicit PendingCards(const QString& path) {
        ConnectDatabase(db, tr, path);
        q.SQL = {QStringLiteral("SELECT * FROM TAVREL")};
        q.CachedUpdates = true;
        q.UpdateObject = &upd;
        q.Open();
        GenerateUpdateSql(q, &upd, QStringLiteral("TAVREL"));
        for (int i = 0; i < kRows; ++i) {
            q.Append();
            q.FieldByName("ID").SetValue(0);
            q.FieldByName("NAME").SetValue(QStringLiteral("card %1").arg(i, 4, 10, QChar('0')));
            q.Post();
        }
    }
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL upd;
};

int Count(const TestDb& tdb, const QString& what) {
    return tdb.Column(QStringLiteral("SELECT COUNT(") + what + QStringLiteral(") FROM TAVREL"))
        .value(0)
        .toInt();
}

// Every card stored exactly once.
void ExpectEachCardOnce(const TestDb& tdb) {
    EXPECT_EQ(Count(tdb, QStringLiteral("*")), kRows);
    EXPECT_EQ(Count(tdb, QStringLiteral("DISTINCT NAME")), kRows);
}

// Runs a fault when the apply reaches one step for the n-th time; gone with the scope.
class FaultAt {
  public:
    FaultAt(ApplyStep step, int nth, std::function<void()> fault) {
        Query::ApplyFaultHook = [this, step, nth, fault](ApplyStep reached) {
            if (reached == step && ++seen_ == nth)
                fault();
        };
    }
    ~FaultAt() { Query::ApplyFaultHook = nullptr; }
    FaultAt(const FaultAt&) = delete;
    FaultAt& operator=(const FaultAt&) = delete;
    int Seen() const { return seen_; }

  private:
    int seen_ = 0;
};

class Answering {
  public:
    explicit Answering(Messages::Answer answer) {
        Messages::SetResponder([answer](const Messages::Request&) { return answer; });
    }
    ~Answering() { Messages::ClearResponder(); }
};

enum class Ended { Applied, ConnectionLost, OutcomeUnknown };

const char* Describe(Ended ended) {
    switch (ended) {
    case Ended::Applied:
        return "stored before the kill landed";
    case Ended::ConnectionLost:
        return "connection lost";
    case Ended::OutcomeUnknown:
        return "outcome unknown";
    }
    return "";
}

Ended Apply(Query& q) {
    try {
        q.ApplyUpdates();
        return Ended::Applied;
    } catch (const EApplyOutcomeUnknown&) {
        return Ended::OutcomeUnknown;
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.connectionLost()) << e.message().toStdString();
        return Ended::ConnectionLost;
    }
}

// After the server is back: whatever the kill hit, the cards end up stored once each.
void SettleAfterRestart(PendingCards& f, const TestDb& tdb, Ended ended) {
    const int stored = Count(tdb, QStringLiteral("*"));
    if (ended == Ended::Applied) { // the apply finished before the kill landed
        EXPECT_FALSE(f.q.UpdatesPending());
        ExpectEachCardOnce(tdb);
        return;
    }
    EXPECT_TRUE(f.q.UpdatesPending());
    EXPECT_EQ(f.q.RecordCount(), kRows);
    if (ended == Ended::ConnectionLost) {
        EXPECT_EQ(stored, 0);
        f.q.ApplyUpdates();
    } else {
        // The commit may or may not have reached the server: writing the cards again unasked
        // could store them twice.
        ASSERT_TRUE(stored == 0 || stored == kRows) << stored;
        EXPECT_THROW(f.q.ApplyUpdates(), EApplyOutcomeUnknown);
        EXPECT_EQ(Count(tdb, QStringLiteral("*")), stored);
        // The user looks, and answers whether to write them again.
        Answering look(stored == 0 ? Messages::Answer::Yes : Messages::Answer::No);
        EXPECT_TRUE(ApplyAndReopen(f.q, false, false));
    }
    EXPECT_FALSE(f.q.UpdatesPending());
    EXPECT_EQ(f.q.RecordCount(), kRows);
    ExpectEachCardOnce(tdb);
}

// Each test has a server and a port of its own (away from the shared test server's and the
// script test's), so that the tests may run side by side.
class ServerKill : public testing::Test {
  protected:
    void SetUp() override {
        if (!PrivateServer::Installed())
            GTEST_SKIP() << "no Firebird server installed (/usr/sbin/firebird)";
    }
    void StartServer(int port) {
        server = std::make_unique<PrivateServer>(port);
        server->Start();
    }
    // A new database on the server; its path.
    QString FreshDb() {
        tdb = TestDb::OnServer(server->Address());
        return tdb->Path();
    }
    // Applies the cards while the fault kills the server, and starts it again.
    Ended ApplyThroughKill(PendingCards& f, ApplyStep step, int nth,
                           const std::function<void()>& afterKill = {}) {
        Ended ended;
        {
            FaultAt fault(step, nth, [&] {
                server->Kill();
                if (afterKill)
                    afterKill();
            });
            ended = Apply(f.q);
        }
        Restart();
        return ended;
    }
    void Restart() {
        const QString before = server->Address();
        server->Start();
        // The database is named by the address; another server on the port would be a fault
        // of the machine, not of the program.
        ASSERT_EQ(server->Address(), before) << "the port was taken while the server was down";
    }
    std::unique_ptr<PrivateServer> server;
    std::unique_ptr<TestDb> tdb;
};

TEST_F(ServerKill, BetweenRowsNothingIsStoredAndTheRetryStoresEachRowOnce) {
    StartServer(3091);
    for (const int row : {1, kRows / 2, kRows - 1}) {
        SCOPED_TRACE(row);
        PendingCards f(FreshDb());
        EXPECT_EQ(ApplyThroughKill(f, ApplyStep::RowWritten, row), Ended::ConnectionLost);
        EXPECT_FALSE(f.q.ApplyOutcomeUnknown());
        SettleAfterRestart(f, *tdb, Ended::ConnectionLost);
    }
}

// A kill from another thread lands wherever the apply has got to by then.
TEST_F(ServerKill, FromAnotherThreadWhileRowsAreWritten) {
    StartServer(3094);
    PendingCards f(FreshDb());
    std::promise<void> go;
    std::exception_ptr killFailed;
    std::thread killer([this, &killFailed, started = go.get_future()] {
        started.wait();
        try {
            server->Kill();
        } catch (...) {
            killFailed = std::current_exception();
        }
    });
    Ended ended;
    int written = 0;
    {
        FaultAt release(ApplyStep::RowWritten, kRows / 4, [&go] { go.set_value(); });
        ended = Apply(f.q);
        written = release.Seen();
        if (written < kRows / 4) // the apply failed before it got there; the thread must end
            go.set_value();
    }
    killer.join();
    EXPECT_GE(written, kRows / 4);
    std::cout << "killed after row " << written << " of " << kRows << ": " << Describe(ended)
              << '\n';
    ASSERT_FALSE(killFailed);
    Restart();
    SettleAfterRestart(f, *tdb, ended);
}

TEST_F(ServerKill, BeforeTheCommitWentOutTheUserWritesThemAgain) {
    StartServer(3097);
    PendingCards f(FreshDb());
    EXPECT_EQ(ApplyThroughKill(f, ApplyStep::Committing, 1), Ended::OutcomeUnknown);
    EXPECT_EQ(Count(*tdb, QStringLiteral("*")), 0);
    SettleAfterRestart(f, *tdb, Ended::OutcomeUnknown);
}

// The commit reached the server; its answer is lost with the server.
TEST_F(ServerKill, AfterTheCommitNothingIsStoredTwice) {
    StartServer(3100);
    PendingCards f(FreshDb());
    const Ended ended = ApplyThroughKill(f, ApplyStep::Committed, 1, [&f] {
        ExecuteImmediate(f.db, f.tr, "UPDATE TAVREL SET ID = ID WHERE ID < 0");
    });
    EXPECT_EQ(ended, Ended::OutcomeUnknown);
    EXPECT_EQ(Count(*tdb, QStringLiteral("*")), kRows);
    SettleAfterRestart(f, *tdb, Ended::OutcomeUnknown);
}

} // namespace
