#include "platform/PictureFile.h"
#include "platform/Error.h"
#include "platform/PictureSize.h"
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

TEST_F(PictureFileTest, WrongMissingOrUnknownFilesNameTheFileAndTheLoadersReason) {
    const QString unreadable = QStringLiteral("画像ファイル「%1」を読み込めませんでした。\n%2");
    EXPECT_EQ(
        LoadError(Write("picture.xcf", "x")),
        QStringLiteral("画像ファイル「picture.xcf」は読み込めない種類のファイルです（.xcf）"));
    EXPECT_EQ(LoadError(Write("noextension", "x")),
              QStringLiteral("画像ファイル「noextension」は読み込めない種類のファイルです（.）"));
    const QByteArray bmp = Samples::BmpOf(Samples::Pattern(4, 4));
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        {"jpeg.bmp", Samples::Jpeg(Samples::Pattern(4, 4)), "Bitmap image is not valid"},
        {"bitmap.jpg", bmp, "Not a JPEG file: starts with 0x42 0x4d"},
        {"bitmap.ico", bmp, "Icon image is not valid"},
        {"bitmap.wmf", bmp, "Metafile is not valid"},
        {"bitmap.png", bmp, {}},
        {"huge.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='90000' height='90000'/>",
         PictureSize::TooLargeText()}};
    for (const auto& [name, bytes, reason] : cases) {
        const QString error = LoadError(Write(name, bytes));
        EXPECT_TRUE(error.startsWith(unreadable.arg(name, reason))) << error.toStdString();
    }
    const QString missing = dir.filePath("missing.bmp");
    EXPECT_TRUE(LoadError(missing).contains(
        QString("Cannot open file \"%1\".").arg(QDir::toNativeSeparators(missing))));
}

} // namespace
