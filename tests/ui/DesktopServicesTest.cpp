#include "platform/WaitCursor.h"

#include <QApplication>
#include <QCursor>
#include <gtest/gtest.h>

namespace {

// The test main installs the desktop services, as the program's application object does.
TEST(DesktopServices, LongWorkShowsTheHourglassAndNestedWorkRestoresItInTurn) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        WaitCursor outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            WaitCursor inner;
            EXPECT_EQ(WaitCursor::Depth(), 2);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(WaitCursor::Depth(), 0);
}

} // namespace
