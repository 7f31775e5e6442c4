#include "platform/PictureFile.h"

#include "platform/BitmapFile.h"
#include "platform/Error.h"
#include "platform/IconFile.h"
#include "platform/JpegFile.h"
#include "platform/Metafile.h"
#include "platform/PictureSize.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace PictureFile {
namespace {

// Formats read through Qt's image readers, by extension: the reader's format name.
const QHash<QString, QByteArray>& QtFormats() {
    static const QHash<QString, QByteArray> formats{
        {QStringLiteral("png"), "png"},   {QStringLiteral("gif"), "gif"},
        {QStringLiteral("tif"), "tiff"},  {QStringLiteral("tiff"), "tiff"},
        {QStringLiteral("webp"), "webp"}, {QStringLiteral("svg"), "svg"}};
    return formats;
}

QImage ReadWithQt(const QByteArray& bytes, const QByteArray& format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid())
        PictureSize::Check(size.width(), size.height());
    QImage image; // an animation gives its first frame
    if (!reader.read(&image) || image.isNull())
        throw EError(reader.errorString());
    PictureSize::Check(image.width(), image.height());
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

} // namespace

QImage Decode(const QString& extension, const QByteArray& bytes) {
    const auto qtFormat = QtFormats().constFind(extension);
    if (qtFormat != QtFormats().constEnd())
        return ReadWithQt(bytes, *qtFormat);
    if (extension == QLatin1String("bmp"))
        return BitmapFile::Decode(bytes);
    if (extension == QLatin1String("ico"))
        return IconFile::IconToBitmap(IconFile::Read(bytes));
    if (extension == QLatin1String("emf"))
        return GraphicToBitmap(Metafile::ReadEmf(bytes));
    if (extension == QLatin1String("wmf"))
        return GraphicToBitmap(Metafile::ReadWmf(bytes));
    return JpegFile::Decode(bytes);
}

const QStringList& Extensions() {
    static const QStringList extensions{
        QStringLiteral("bmp"),  QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("ico"),  QStringLiteral("emf"),  QStringLiteral("wmf"),
        QStringLiteral("png"),  QStringLiteral("gif"),  QStringLiteral("tif"),
        QStringLiteral("tiff"), QStringLiteral("webp"), QStringLiteral("svg")};
    return extensions;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.size() > PictureSize::kMaxBytes)
        throw EError(PictureSize::TooLargeText());
    return file.readAll();
}

QImage Load(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString extension = QFileInfo(path).suffix().toLower();
    if (!Extensions().contains(extension))
        throw EError(QStringLiteral("画像ファイル「%1」は読み込めない種類のファイルです（.%2）")
                         .arg(name, extension));
    try {
        return Decode(extension, ReadBytes(path));
    } catch (const EError& e) {
        throw EError(QStringLiteral("画像ファイル「%1」を読み込めませんでした。\n%2")
                         .arg(name, e.message()));
    }
}

} // namespace PictureFile
