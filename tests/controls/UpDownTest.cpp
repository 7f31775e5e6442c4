#include "controls/UpDown.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(UpDown, StopsAtTheEndsUnlessItWraps) {
    QLineEdit edit;
    TUpDown upDown(0, 3);
    upDown.SetAssociate(&edit);
    upDown.SetPosition(3);
    upDown.UpButton()->click();
    EXPECT_EQ(edit.text(), "3");
    upDown.SetWrap(true);
    upDown.UpButton()->click();
    EXPECT_EQ(edit.text(), "0");
    upDown.DownButton()->click();
    EXPECT_EQ(edit.text(), "3");
    EXPECT_EQ(upDown.Position(), 3);
}

TEST(UpDown, PositionFollowsTheBoxWithinTheRange) {
    QLineEdit edit;
    TUpDown upDown(1, 72);
    upDown.SetAssociate(&edit);
    upDown.SetPosition(10);
    edit.setText(" 20 ");
    EXPECT_EQ(upDown.Position(), 20);
    // Out of range or not a number: the last valid position read from the box holds.
    edit.setText("300");
    EXPECT_EQ(upDown.Position(), 20);
    edit.setText("-5");
    EXPECT_EQ(upDown.Position(), 20);
    edit.setText("twelve");
    EXPECT_EQ(upDown.Position(), 20);
    edit.setText("71");
    QSignalSpy clicks(&upDown, &TUpDown::Click);
    upDown.UpButton()->click();
    EXPECT_EQ(edit.text(), "72");
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_TRUE(clicks[0][0].toBool());
}

} // namespace
