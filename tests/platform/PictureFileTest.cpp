#include "platform/PictureFile.h"
#include "platform/Error.h"
#include "support/Errors.h"
#include "support/PictureSamples.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PictureFileTest : public ::testing::Test {
  protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        return Samples::WriteFile(dir.filePath(name), bytes);
    }
    static QString LoadError(const QString& path) {
        return ErrorOf([&] { PictureFile::Load(path); });
    }
    QTemporaryDir dir;
};

TEST_F(PictureFileTest, TheExtensionChoosesTheDecoderWhateverItsCase) {
    const QImage pattern = Samples::Pattern(6, 5);
    EXPECT_EQ(PictureFile::Load(Write("a.BMP", Samples::BmpOf(pattern))),
              pattern.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(PictureFile::Load(Write("b.Jpeg", Samples::Jpeg(pattern))).size(), QSize(6, 5));
    EXPECT_EQ(PictureFile::Load(Write("c.jpg", Samples::Jpeg(pattern))).size(), QSize(6, 5));
    EXPECT_EQ(PictureFile::Load(Write("d.emf", Samples::Emf())).size(), QSize(20, 15));
    EXPECT_EQ(PictureFile::Load(Write("e.WMF", Samples::Wmf())).size(), QSize(20, 15));
    QImage black(16, 16, QImage::Format_RGB32);
    black.fill(Qt::black);
    const QImage icon = PictureFile::Load(
        Write("f.ico", Samples::IcoFile({Samples::IconDib(black, 24)}, {QSize(16, 16)})));
    EXPECT_EQ(icon.pixel(3, 3), qRgb(0, 0, 0));
}

TEST_F(PictureFileTest, WrongMissingOrUnknownFilesGiveTheLoadersMessage) {
    EXPECT_EQ(LoadError(Write("picture.png", "x")), "Unknown picture file extension (.png)");
    EXPECT_EQ(LoadError(Write("noextension", "x")), "Unknown picture file extension (.)");
    EXPECT_EQ(LoadError(Write("jpeg.bmp", Samples::Jpeg(Samples::Pattern(4, 4)))),
              "Bitmap image is not valid");
    EXPECT_EQ(LoadError(Write("bitmap.jpg", Samples::BmpOf(Samples::Pattern(4, 4)))),
              "Not a JPEG file: starts with 0x42 0x4d");
    EXPECT_EQ(LoadError(Write("bitmap.ico", Samples::BmpOf(Samples::Pattern(4, 4)))),
              "Icon image is not valid");
    EXPECT_EQ(LoadError(Write("bitmap.wmf", Samples::BmpOf(Samples::Pattern(4, 4)))),
              "Metafile is not valid");
    const QString missing = dir.filePath("missing.bmp");
    EXPECT_TRUE(LoadError(missing).startsWith(
        QString("Cannot open file \"%1\".").arg(QDir::toNativeSeparators(missing))));
}

} // namespace
