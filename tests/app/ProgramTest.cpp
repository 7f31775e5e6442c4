#include "app/Application.h"
#include "app/TavrelU.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "platform/IniFile.h"
#include "platform/Version.h"
#include "sheets/CardSetU.h"
#include "sheets/ReadTextU.h"
#include "support/TestDb.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The program in a child process; on an X server of its own when there is no display.
class ChildProgram {
  public:
    explicit ChildProgram(const QString& platform) {
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        process_.setProcessEnvironment(env_);
    }
    ~ChildProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    bool HasDisplay() const {
        return env_.contains(QStringLiteral("DISPLAY")) ||
               !QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty();
    }
    void Start(const QStringList& args, bool onX) {
        const QString child = QStringLiteral(TAVREL_TEST_CHILD);
        if (onX && !env_.contains(QStringLiteral("DISPLAY")))
            process_.start(QStringLiteral("xvfb-run"), QStringList{"-a", child} + args);
        else
            process_.start(child, args);
        ASSERT_TRUE(process_.waitForStarted());
    }
    QProcess& Process() { return process_; }

  private:
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    QProcess process_;
};

TEST(ProgramTest, StandardButtonsSpeakJapanese) {
    std::unique_ptr<QTranslator> translator(InstallQtTranslations(*qApp));
    ASSERT_NE(translator, nullptr);
    QMessageBox box(QMessageBox::Question, "Tavrel", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith("はい"));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith("いいえ"));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith("キャンセル"));
    QDialogButtonBox ok(QDialogButtonBox::Ok);
    EXPECT_EQ(ok.button(QDialogButtonBox::Ok)->text(), "OK");
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.labelText(QFileDialog::Reject), "キャンセル");
    // What the file dialog's list says of a folder, and how it writes a date.
    QFileSystemModel model;
    const QModelIndex tmp = model.index(QDir::tempPath());
    EXPECT_EQ(model.type(tmp), "フォルダ");
    EXPECT_EQ(QLocale().toString(QDate(2024, 3, 5), QLocale::LongFormat), "2024年3月5日火曜日");
}

TEST(ProgramTest, TitleBarsShowExactlyTheCaption) {
    ChildProgram program(QStringLiteral("xcb"));
    if (!program.HasDisplay())
        GTEST_SKIP() << "no X server to read titles from";
    QTemporaryDir folder;
    program.Start({QStringLiteral("titles"), folder.path()}, true);
    ASSERT_TRUE(program.Process().waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(program.Process().readAllStandardOutput())
                                  .split('\n', Qt::SkipEmptyParts);
    const QStringList expected = {TTavrelForm::Caption(), TCardSetForm::Caption(),
                                  TReadTextForm::Caption()};
    ASSERT_EQ(lines.size(), expected.size())
        << program.Process().readAllStandardError().toStdString();
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i].toStdString(), (expected[i] + '\t' + expected[i]).toStdString());
}

// The usual options get their usual answers; any other option-like word is refused, never taken
// for the name of a new database.
TEST(ProgramTest, MkdbAnswersHelpAndVersionAndRefusesOtherOptions) {
    struct Case {
        QStringList args;
        int exitCode;
        QString out;
    };
    const Case cases[] = {{{"--help"}, 0, "usage: tavrel-mkdb"},
                          {{"-h"}, 0, "usage: tavrel-mkdb"},
                          {{"--version"}, 0, "tavrel-mkdb " TAVREL_VERSION},
                          {{"--bogus"}, 2, ""},
                          {{"-x"}, 2, ""},
                          {{"--demo", "-h"}, 2, ""},
                          {{}, 2, ""},
                          {{"a.fdb", "b.fdb"}, 2, ""},
                          {{"--", "-odd.fdb"}, 0, ""}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TAVREL_BUILD_DIR "/tavrel-mkdb"), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out)) << out.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"-odd.fdb"});
}

// The demo database is made again when its file went away; a location the user chose stays.
TEST(ProgramTest, MkdbDemoRemakesAMissingDemoFileButKeepsAChosenLocation) {
    QTemporaryDir dir;
    auto demo = [&dir] {
        QProcess p;
        p.start(QStringLiteral(TAVREL_BUILD_DIR "/tavrel-mkdb"), {"--demo", dir.path()});
        EXPECT_TRUE(p.waitForFinished(60000));
        return p.exitCode();
    };
    const QString file = dir.filePath("TAVREL.FDB");
    ASSERT_EQ(demo(), 0);
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(demo(), 0);
    EXPECT_TRUE(QFileInfo::exists(file));
    ASSERT_TRUE(QFile::remove(file));
    const QString ini = dir.filePath("TAVREL.ini");
    IniWriteString(ini, "TAVREL", "F_DbPath01", "server:/srv/TAVREL.FDB");
    EXPECT_EQ(demo(), 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(IniReadString(ini, "TAVREL", "F_DbPath01", {}), "server:/srv/TAVREL.FDB");
}

// A signal to end, as a desktop sends at log-out: the program writes what was posted, drops the
// record still being inserted, detaches and ends.
class EndSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(EndSignalTest, WritesPostedRowsDropsTheEditAndEnds) {
    TestDb db;
    QTemporaryDir folder;
    IniWriteString(folder.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db.Path());
    ChildProgram program(QStringLiteral("offscreen"));
    program.Start({QStringLiteral("posted"), folder.path()}, false);
    QProcess& child = program.Process();
    while (!child.readAllStandardOutput().contains("ready"))
        ASSERT_TRUE(child.waitForReadyRead(60000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(child.processId()), GetParam()), 0);
    ASSERT_TRUE(child.waitForFinished(20000)) << "the signal was ignored";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    Database check;
    Transaction tr;
    ConnectDatabase(check, tr, db.Path());
    Query q(&check, &tr);
    q.SQL = {"SELECT NAME FROM TAVREL ORDER BY NAME"};
    q.Open();
    QStringList names;
    for (; !q.Eof(); q.Next())
        names << q.Fields(0).AsString();
    EXPECT_EQ(names, QStringList({"posted one", "posted two"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, EndSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return "Signal" + std::to_string(info.param); });

} // namespace
