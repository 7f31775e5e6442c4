#include "ui/SlotGuard.h"
#include "platform/Error.h"
#include "platform/MessageService.h"

#include <QAction>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window whose handler fails the first times it runs.
class FailingWindow : public QWidget {
  public:
    int runs = 0;
    int failures = 2;
    void Handler(bool checked) {
        ++runs;
        lastChecked = checked;
        if (runs == 1)
            throw EError(QStringLiteral("データ更新中にエラーが発生しました。"));
        if (runs <= failures)
            throw 42; // not even an exception class
    }
    bool lastChecked = false;
};

class SlotGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r;
            return Messages::Answer::Ok;
        });
    }
    void TearDown() override { Messages::ClearResponder(); }
    QList<Messages::Request> shown;
};

TEST_F(SlotGuardTest, RaisingHandlerShowsTheErrorBoxAndTheProgramGoesOn) {
    FailingWindow window;
    QAction action;
    action.setCheckable(true);
    QObject::connect(&action, &QAction::triggered, &window,
                     Guarded(&window, &FailingWindow::Handler));
    action.trigger();
    action.trigger();
    action.trigger();
    EXPECT_EQ(window.runs, 3);
    EXPECT_TRUE(window.lastChecked); // the signal's argument reaches the handler
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].kind, Messages::Kind::Error);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Tavrel"));
    EXPECT_EQ(shown[0].text, QStringLiteral("データ更新中にエラーが発生しました。"));
    EXPECT_EQ(shown[1].text, QStringLiteral("Unknown error"));
}

TEST_F(SlotGuardTest, AnyWorkWithoutArguments) {
    QAction action;
    int runs = 0;
    QObject::connect(&action, &QAction::triggered, &action, Guarded([&runs] {
        if (++runs == 1)
            throw EError(QStringLiteral("Print...Error"));
    }));
    action.trigger();
    action.trigger();
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("Print...Error"));
}

} // namespace
