#include "ui/Hints.h"
#include "platform/Help.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

// A window with a status panel of its own, hooked like every window of the program.
struct HookedWindow {
    HookedWindow() : hook(&window) {
        panel = new QLabel(&window);
        group = new QWidget(&window);
        group->setStatusTip("group hint");
        inner = new QLineEdit(group);
        own = new QLineEdit(&window);
        own->setStatusTip("own hint");
        hook.OnHint = [this] { Hints::ShowStatusHint(panel, {}); };
        hook.OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    }
    QWidget window;
    TApplicationEvents hook;
    QLabel* panel;
    QWidget* group;
    QLineEdit* inner;
    QLineEdit* own;
};

void Enter(QWidget* w) {
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w, &enter);
}

bool AskToolTip(QWidget* w) {
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), w->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(w, &help);
    return QToolTip::isVisible();
}

class HintsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        QToolTip::hideText();
        Settings::ResetToInitial();
        Hints::SetCurrentHint({});
    }
};

TEST_F(HintsTest, ControlWithoutHintTakesTheEnclosingOne) {
    HookedWindow w;
    EXPECT_EQ(Hints::HintOf(w.inner), "group hint");
    EXPECT_EQ(Hints::HintOf(w.own), "own hint");
    EXPECT_EQ(Hints::HintOf(&w.window), "");
    Enter(w.inner);
    EXPECT_EQ(w.panel->text(), "group hint");
    Enter(&w.window);
    EXPECT_EQ(w.panel->text(), ""); // a control without hint clears the panel
}

TEST_F(HintsTest, EveryOpenWindowsHookWritesItsOwnStatusBar) {
    HookedWindow main;
    HookedWindow dialog;
    Enter(dialog.own);
    EXPECT_EQ(dialog.panel->text(), "own hint");
    EXPECT_EQ(main.panel->text(), "own hint");
    Hints::SetCurrentHint("short|long");
    EXPECT_EQ(main.panel->text(), "short");
}

TEST_F(HintsTest, TooltipsFollowTheSwitchWhileTheStatusBarKeepsWorking) {
    HookedWindow w;
    w.window.show();
    Hints::SetShowHints(&w.window, false);
    EXPECT_FALSE(AskToolTip(w.own));
    Enter(w.own);
    EXPECT_EQ(w.panel->text(), "own hint");
    Settings::HintTime = 0; // hides as soon as it shows
    Hints::SetShowHints(&w.window, true);
    EXPECT_FALSE(AskToolTip(w.own));
    Settings::HintTime = 2000;
    EXPECT_TRUE(AskToolTip(w.own));
    EXPECT_EQ(QToolTip::text(), "own hint");
}

TEST_F(HintsTest, HintInfoTakesColourAndTimeFromTheSettings) {
    Settings::HintColor = 0x000000FF; // 0x00BBGGRR: pure red
    Settings::HintTime = 1234;
    Hints::HintInfo info{"x", {}, 0};
    Hints::SetHintInfo(info, "!");
    EXPECT_EQ(info.color, QColor(255, 0, 0));
    EXPECT_EQ(info.hideTimeout, 1234);
    EXPECT_EQ(info.text, "x!");
    QPalette p;
    p.setColor(QPalette::ToolTipBase, QColor(1, 2, 3));
    p.setColor(QPalette::Button, QColor(4, 5, 6));
    EXPECT_EQ(Hints::ToColor(static_cast<int>(0xFF000018u), p), QColor(1, 2, 3));
    EXPECT_EQ(Hints::ToColor(static_cast<int>(0xFF00000Fu), p), QColor(4, 5, 6));
    EXPECT_EQ(Hints::ToColor(0x00563412, p), QColor(0x12, 0x34, 0x56));
    // The desktop has no palette entry; white text must stay readable on it.
    EXPECT_EQ(Hints::ToColor(static_cast<int>(0xFF000001u), p), Hints::DesktopColor());
    EXPECT_LT(Hints::DesktopColor().lightness(), 128);
}

TEST_F(HintsTest, F1AsksForTheActiveWindowsHelpContext) {
    HookedWindow w;
    Hints::SetHelpContext(&w.window, 19);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(w.own, &f1);
    EXPECT_EQ(Help::LastRequest().context, 19);
    EXPECT_EQ(Help::LastRequest().command, 0);
}

} // namespace
