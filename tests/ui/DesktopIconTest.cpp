#include "ui/DesktopIcon.h"
#include "platform/Error.h"
#include "support/PictureSamples.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DesktopIconTest : public ::testing::Test {
  protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        return Samples::WriteFile(dir.filePath(name), bytes);
    }
    QTemporaryDir dir;
};

TEST_F(DesktopIconTest, TheDesktopIconOfAFile) {
    const QImage exeIcon = IconFile::IconToBitmap(DesktopIcon::Extract(
        Write("tool.exe", Samples::PeWithIcons({Samples::IconDib(Samples::Pattern(32, 32), 24)},
                                               {QSize(32, 32)}))));
    EXPECT_EQ(exeIcon, Samples::Pattern(32, 32));
    EXPECT_TRUE(DesktopIcon::Extract(dir.filePath("gone.exe")).IsNull());
    // Any other file has the icon of its type, at the large icon size.
    const Icon typeIcon = DesktopIcon::Extract(Write("notes.txt", "hello"));
    ASSERT_FALSE(typeIcon.IsNull());
    EXPECT_EQ(typeIcon.image.size(), QSize(32, 32));
    EXPECT_THROW(
        DesktopIcon::Extract(Write(
            "broken.exe",
            Samples::PeWithIcons({Samples::IconDib(Samples::Pattern(32, 32), 24)}, {QSize(32, 32)})
                .left(0x230))),
        EError);
}

} // namespace
