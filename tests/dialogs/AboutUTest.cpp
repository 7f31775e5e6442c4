#include "dialogs/AboutU.h"
#include "data/DbConnect.h"
#include "platform/Help.h"
#include "support/ProgramFolder.h"
#include "support/TestDb.h"
#include "support/Windows.h"
#include "ui/Hints.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A loopback port where nothing listens: bound once to learn a free number, then closed.
int UnusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t length = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    close(fd);
    return ntohs(addr.sin_port);
}

// Platform, build number and product of a version string such as
// "LI-V6.3.11.33637 Firebird 3.0"; empty when it is not one.
QStringList VersionParts(const QString& version) {
    const auto m = QRegularExpression(R"(^(\w+)-V\d+\.\d+\.\d+\.(\d+) (.+)$)").match(version);
    return m.hasMatch() ? QStringList{m.captured(1), m.captured(2), m.captured(3)} : QStringList();
}

// The same parts of the server version as the client library's own report gives them (it
// asks for the engine's own version number, the box for the compatible one).
QStringList LibraryVersionParts(const QString& path) {
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, path);
    const auto m = QRegularExpression(R"re(version "([^"]+)")re").match(db.ServerVersion());
    return VersionParts(m.captured(1));
}

void MoveOver(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void Click(QWidget* w) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

QColor TextColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

using AboutTest = ProgramFolderTest;

TEST_F(AboutTest, StoppedServerShowsTheErrorFirstThenTheBoxWithLabel1) {
    Start({{"F_DbPath01", QString("127.0.0.1/%1:/var/tmp/nowhere/TAVREL.FDB").arg(UnusedPort())}});
    QStringList events;
    Messages::SetResponder([&](const Messages::Request& r) {
        events << "message: " + r.text;
        return Messages::Answer::Ok;
    });
    WhenModal<TAboutBox>([&](TAboutBox* box) {
        events << "box: " + box->Label1->text();
        EXPECT_FALSE(box->IBDatabase1.Connected());
        box->OKButton->click();
    });
    ShowAboutBox();
    ASSERT_EQ(events.size(), 2) << events.join(" / ").toStdString();
    EXPECT_TRUE(events[0].startsWith("message: ")) << events[0].toStdString();
    EXPECT_TRUE(events[0].contains("127.0.0.1")) << events[0].toStdString();
    EXPECT_EQ(events[1], "box: Label1");
}

TEST_F(AboutTest, EmptyLocationIsTheDatabaseLayersMessage) {
    Start();
    TAboutBox box;
    EXPECT_EQ(shown, QStringList{"Database name is empty"});
    EXPECT_EQ(box.Label1->text(), "Label1");
}

TEST_F(AboutTest, ShowsTheVersionTheEngineReportsAndLeavesNoConnection) {
    TestDb db;
    Start({{"F_DbPath01", db.Path()}});
    TAboutBox box;
    EXPECT_TRUE(shown.isEmpty()) << shown.join(", ").toStdString();
    EXPECT_FALSE(box.IBDatabase1.Connected());
    const QStringList parts = VersionParts(box.Label1->text());
    EXPECT_EQ(parts.size(), 3) << box.Label1->text().toStdString();
    EXPECT_EQ(parts, LibraryVersionParts(db.Path()));
    EXPECT_EQ(TestDb::OtherAttachments(db.Path()), 0);
}

TEST_F(AboutTest, RunningServerReportsItsVersionAndKeepsNoAttachment) {
    if (!TestDb::ServerAvailable())
        GTEST_SKIP() << "no Firebird server for the server tests";
    auto db = TestDb::OnServer();
    Start({{"F_DbPath01", db->Path()}});
    const int before = TestDb::OtherAttachments(db->Path());
    {
        TAboutBox box;
        EXPECT_TRUE(shown.isEmpty()) << shown.join(", ").toStdString();
        EXPECT_FALSE(box.Label1->text().isEmpty());
        EXPECT_NE(box.Label1->text(), "Label1");
        EXPECT_EQ(VersionParts(box.Label1->text()).size(), 3) << box.Label1->text().toStdString();
        EXPECT_EQ(VersionParts(box.Label1->text()), LibraryVersionParts(db->Path()));
    }
    EXPECT_EQ(TestDb::OtherAttachments(db->Path()), before);
}

TEST_F(AboutTest, TextsLookAndSize) {
    Start();
    shown.clear();
    TAboutBox box;
    box.FillTexts();
    EXPECT_EQ(box.windowTitle(), "ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(box.size(), QSize(305, 267));
    EXPECT_EQ(box.Label2->text(), "Wenlo 印刷ユーティリティー");
    EXPECT_EQ(box.Version->text(), "Tavrel Version 2.0.1");
    EXPECT_EQ(box.Copyright->text(), TAboutBox::NoticeText());
    EXPECT_EQ(TextColor(box.Label2), QColor(Qt::white));
    EXPECT_EQ(box.palette().color(QPalette::Window), Hints::DesktopColor());
    EXPECT_FALSE(box.Image1->pixmap().isNull());
    EXPECT_EQ(box.Image1->size(), QSize(35, 35));
    EXPECT_EQ(box.Panel2->height(), 35);
    EXPECT_TRUE(box.OKButton->isDefault());
    // The notice line sits inside its strip with room around it.
    EXPECT_TRUE(box.Panel2->rect().contains(box.Copyright->geometry()));
    EXPECT_LT(box.Copyright->width(), box.Panel2->width());
}

TEST_F(AboutTest, NoticeLineTurnsRedUnderTheMouseAndWhiteOverTheStrip) {
    Start();
    TAboutBox box;
    box.FillTexts();
    MoveOver(box.Copyright);
    EXPECT_EQ(TextColor(box.Copyright), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box.Copyright, &leave);
    EXPECT_EQ(TextColor(box.Copyright), QColor(255, 0, 0)); // leaving changes nothing
    MoveOver(box.Panel2);
    EXPECT_EQ(TextColor(box.Copyright), QColor(Qt::white));
}

TEST_F(AboutTest, IconAndNoticeOpenTheirTopicsAndF1DependsOnWhereTheMouseIs) {
    Start();
    TAboutBox box;
    box.FillTexts();
    Click(box.Copyright);
    EXPECT_EQ(Help::LastRequest().context, 16);
    Click(box.Image1);
    EXPECT_EQ(Help::LastRequest().context, 1);
    box.show();
    box.activateWindow();
    QApplication::setActiveWindow(&box);
    QCursor::setPos(box.Panel2->mapToGlobal(QPoint(3, 3)));
    EXPECT_EQ(Hints::HelpContextForF1(&box), 29);
    QCursor::setPos(box.Label1->mapToGlobal(QPoint(3, 3)));
    EXPECT_EQ(Hints::HelpContextForF1(&box), 14);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(box.OKButton, &f1);
    EXPECT_EQ(Help::LastRequest().context, 14);
}

TEST_F(AboutTest, EnterClosesTheBox) {
    Start();
    WhenModal<TAboutBox>([](TAboutBox* box) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &enter);
    });
    ShowAboutBox(); // returns only when the box closed
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
