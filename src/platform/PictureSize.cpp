#include "platform/PictureSize.h"

#include "platform/Error.h"

namespace PictureSize {

QString TooLargeText() {
    return QStringLiteral("Picture is too large (more than 256 MB when decoded)");
}

void Check(qint64 width, qint64 height) {
    // Each side alone is checked first so that the product cannot overflow.
    constexpr qint64 maxPixels = kMaxBytes / 4;
    if (width > maxPixels || height > maxPixels || width * height > maxPixels)
        throw EError(TooLargeText());
}

} // namespace PictureSize
