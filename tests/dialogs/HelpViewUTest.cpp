#include "dialogs/HelpViewU.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "support/Windows.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace {

const QString kShipped = QStringLiteral(TAVREL_SOURCE_DIR "/share/Tavrel.hlp");

QString ParseError(const QString& text) {
    try {
        THelpFile::Parse(text);
    } catch (const EError& e) {
        return e.message();
    }
    return "parsed";
}

// Every help context the sources name: the windows' constants and the numbers handed to the
// windows that take theirs from the caller.
QSet<int> ContextsTheProgramOpens() {
    static const QRegularExpression named(R"re(HelpContext\s*=\s*(\d+))re");
    static const QRegularExpression passed(R"re(Show(?:Write|Read)Text\([^;]*,\s*(\d+)\))re");
    QSet<int> contexts;
    QDirIterator it(QStringLiteral(TAVREL_SOURCE_DIR "/src"), {"*.h", "*.cpp"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpression* re : {&named, &passed})
            for (const auto& m : re->globalMatch(text))
                contexts.insert(m.captured(1).toInt());
    }
    return contexts;
}

TEST(HelpFile, ShippedFileHasATopicForEveryContextTheProgramOpens) {
    const THelpFile file = THelpFile::Load(kShipped);
    EXPECT_EQ(file.Title, "Tavrel ヘルプ");
    EXPECT_FALSE(file.Intro.trimmed().isEmpty());
    const QSet<int> contexts = ContextsTheProgramOpens();
    EXPECT_TRUE(contexts.contains(20) && contexts.size() >= 10) << "the scan found too little";
    for (int context : contexts) {
        const THelpTopic* topic = file.Find(context);
        ASSERT_NE(topic, nullptr) << context;
        EXPECT_FALSE(topic->title.isEmpty());
        EXPECT_GT(topic->body.size(), 40) << context;
    }
    // Every link between topics leads somewhere.
    const QRegularExpression link(R"re(href="help:(\d+)")re");
    for (const THelpTopic& t : file.Topics)
        for (const auto& m : link.globalMatch(t.body))
            EXPECT_NE(file.Find(m.captured(1).toInt()), nullptr) << t.context;
}

TEST(HelpFile, PagesForTopicsContentsAndUnknownAddresses) {
    const THelpFile file = THelpFile::Parse("TAVREL HELP 1\r\n@title T & H\r\n@contents\r\n"
                                            "<p>intro</p>\r\n@topic 7 Seven <b>\r\n<p>body7</p>\r\n"
                                            "@topic 3 Three\r\n<p>body3</p>\r\n");
    ASSERT_EQ(file.Topics.size(), 2u);
    EXPECT_EQ(file.Topics[0].title, "Seven <b>");
    EXPECT_EQ(file.Topics[0].body, "<p>body7</p>\n");
    const QString contents = file.ContentsHtml();
    EXPECT_TRUE(contents.contains("T &amp; H"));
    EXPECT_TRUE(contents.contains("<p>intro</p>"));
    EXPECT_LT(contents.indexOf("help:7"), contents.indexOf("help:3")); // file order
    EXPECT_TRUE(contents.contains("Seven &lt;b&gt;"));
    EXPECT_TRUE(file.PageHtml("help:3").contains("body3"));
    EXPECT_EQ(file.PageHtml("help:99"), contents);
    EXPECT_EQ(file.PageHtml("help:x"), contents);
    EXPECT_EQ(file.PageHtml("help:contents"), contents);
}

TEST(HelpFile, MalformedTextNamesTheLine) {
    EXPECT_EQ(ParseError(""), "Help File Error (line 1)");
    EXPECT_EQ(ParseError("some other file\n@topic 1 A\n"), "Help File Error (line 1)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic x A\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic 0 A\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic -4 A\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic 99999999999 A\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic 5\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topic 5 A\n@topic 5 B\n"), "Help File Error (line 3)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n@topci 5 A\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\nstray text\n"), "Help File Error (line 2)");
    EXPECT_EQ(ParseError("TAVREL HELP 1\n\n@title x\n\n"), "parsed");
}

TEST(HelpFile, UnreadableFilesGiveAClearMessage) {
    QTemporaryDir dir;
    try {
        THelpFile::Load(dir.filePath("Tavrel.hlp"));
        ADD_FAILURE() << "loaded a missing file";
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().startsWith("ヘルプファイルが見つかりません。"));
        EXPECT_TRUE(e.message().contains(dir.filePath("Tavrel.hlp")));
    }
    QFile bad(dir.filePath("bad.hlp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("TAVREL HELP 1\n@topic 1 \xff\xfe\n");
    bad.close();
    EXPECT_THROW(THelpFile::Load(bad.fileName()), EError);
    QFile big(dir.filePath("big.hlp"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("TAVREL HELP 1\n");
    big.resize(THelpFile::kMaxSize + 1);
    big.close();
    EXPECT_THROW(THelpFile::Load(big.fileName()), EError);
}

// The program in a folder of its own, its help file beside it or installed.
class HelpViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::SetExecutableFolder(dir.filePath("bin"));
        QDir().mkpath(dir.filePath("bin"));
        Help::SetHelpFile("Tavrel.hlp");
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r.text;
            return Messages::Answer::Ok;
        });
    }
    void TearDown() override {
        if (THelpViewForm* form = HelpViewForm())
            delete form;
        Messages::ClearResponder();
        Settings::SetExecutableFolder({});
    }
    void Place(const QString& relative) {
        QDir().mkpath(QFileInfo(dir.filePath(relative)).path());
        ASSERT_TRUE(QFile::copy(kShipped, dir.filePath(relative)));
    }
    QTemporaryDir dir;
    QStringList shown;
};

TEST_F(HelpViewTest, FileBesideTheProgramWinsOverTheInstalledOne) {
    EXPECT_EQ(ResolveHelpFile("Tavrel.hlp"), dir.filePath("bin/Tavrel.hlp")); // neither: beside
    Place("share/tavrel/Tavrel.hlp");
    EXPECT_EQ(ResolveHelpFile("Tavrel.hlp"), dir.filePath("share/tavrel/Tavrel.hlp"));
    Place("bin/Tavrel.hlp");
    EXPECT_EQ(ResolveHelpFile("Tavrel.hlp"), dir.filePath("bin/Tavrel.hlp"));
    EXPECT_EQ(ResolveHelpFile("/x/y.hlp"), "/x/y.hlp");
}

TEST_F(HelpViewTest, OpensAtTheTopicOrTheContentsInOneWindow) {
    Place("bin/Tavrel.hlp");
    ShowHelpRequest({0, 6});
    THelpViewForm* form = HelpViewForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Tavrel ヘルプ");
    EXPECT_EQ(form->Address(), "help:6");
    EXPECT_TRUE(form->Browser->toPlainText().contains("環境設定"));
    ShowHelpRequest({Help::kHelpFinder, 0});
    EXPECT_EQ(HelpViewForm(), form);
    EXPECT_EQ(form->Address(), "help:contents");
    ShowHelpRequest({0, 12345});
    EXPECT_EQ(form->Address(), "help:contents");
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(HelpViewTest, LinksStayInsideAndHistoryGoesBackAndForth) {
    Place("bin/Tavrel.hlp");
    ShowHelpRequest({0, 14});
    THelpViewForm* form = HelpViewForm();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->BackBtn->isEnabled());
    emit form->Browser->anchorClicked(QUrl("help:16"));
    EXPECT_EQ(form->Address(), "help:16");
    EXPECT_TRUE(form->BackBtn->isEnabled());
    form->BackBtn->click();
    EXPECT_EQ(form->Address(), "help:14");
    EXPECT_TRUE(form->ForwardBtn->isEnabled());
    form->ForwardBtn->click();
    EXPECT_EQ(form->Address(), "help:16");
    form->ContentsBtn->click();
    EXPECT_EQ(form->Address(), "help:contents");
}

TEST_F(HelpViewTest, MissingFileIsReportedAndNoWindowOpens) {
    ShowHelpRequest({0, 2});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(dir.filePath("bin/Tavrel.hlp")));
    EXPECT_EQ(HelpViewForm(), nullptr);
}

TEST_F(HelpViewTest, UsableWhileAModalWindowIsOpen) {
    Place("bin/Tavrel.hlp");
    QDialog modal;
    QString reached;
    WhenModal<QDialog>([&](QDialog* d) {
        ShowHelpRequest({0, 2});
        THelpViewForm* form = HelpViewForm();
        // A click the way the windowing system delivers it, so a blocked window drops it.
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                          form->ContentsBtn->mapTo(form, form->ContentsBtn->rect().center()));
        reached = form->Address();
        d->accept();
    });
    modal.exec();
    EXPECT_EQ(reached, "help:contents");
}

TEST_F(HelpViewTest, ClosingOrEscReleasesTheWindow) {
    Place("bin/Tavrel.hlp");
    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey);
        ShowHelpRequest({0, 2});
        QPointer<THelpViewForm> form = HelpViewForm();
        ASSERT_FALSE(form.isNull());
        if (byKey) {
            QApplication::setActiveWindow(form);
            ASSERT_TRUE(QTest::qWaitForWindowActive(form));
            QTest::keyClick(form->Browser, Qt::Key_Escape);
        } else {
            form->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull());
        EXPECT_EQ(HelpViewForm(), nullptr);
    }
}

} // namespace
