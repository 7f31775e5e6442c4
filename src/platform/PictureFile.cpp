#include "platform/PictureFile.h"

#include "platform/BitmapFile.h"
#include "platform/Error.h"
#include "platform/IconFile.h"
#include "platform/JpegFile.h"
#include "platform/Metafile.h"
#include "platform/PictureSize.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace PictureFile {

const QStringList& Extensions() {
    static const QStringList extensions{QStringLiteral("bmp"),  QStringLiteral("jpg"),
                                        QStringLiteral("jpeg"), QStringLiteral("ico"),
                                        QStringLiteral("emf"),  QStringLiteral("wmf")};
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
    const QString extension = QFileInfo(path).suffix().toLower();
    if (!Extensions().contains(extension))
        throw EError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
    const QByteArray bytes = ReadBytes(path);
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

} // namespace PictureFile
