#include "ui/DesktopIcon.h"

#include "platform/PeIcon.h"
#include "platform/PictureFile.h"
#include "platform/PictureSize.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace DesktopIcon {
namespace {

Icon TypeIcon(const QFileInfo& info) {
    constexpr int size = IconFile::kLargeIconSize;
    const QImage image = QFileIconProvider().icon(info).pixmap(size, size).toImage();
    if (image.isNull())
        return {};
    // Themes may have only smaller sizes; the desktop's large icon is what is asked for.
    return {image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_ARGB32),
            {}};
}

} // namespace

Icon Extract(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    if (info.size() > PictureSize::kMaxBytes)
        return TypeIcon(info);
    const QByteArray bytes = PictureFile::ReadBytes(path);
    if (info.suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0)
        return IconFile::Read(bytes);
    if (const auto icon = PeIcon::FirstIcon(bytes))
        return *icon;
    return TypeIcon(info);
}

} // namespace DesktopIcon
