#pragma once

#include <QString>
#include <QtGlobal>

// The one bound on the memory a picture may take once decoded, checked before any decoder
// allocates: a header of a few bytes can claim a picture of gigabytes.
namespace PictureSize {

constexpr qint64 kMaxBytes = 256LL * 1024 * 1024;

QString TooLargeText();
// Raises EError(TooLargeText()) when a width × height picture of 4-byte pixels exceeds kMaxBytes.
void Check(qint64 width, qint64 height);

} // namespace PictureSize
