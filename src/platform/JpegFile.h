#pragma once

#include <QByteArray>
#include <QImage>

// JPEG pictures, decoded by libjpeg at full scale, in colour, with its slowest and most exact
// transform, into a 24-bit picture of their own size.
namespace JpegFile {

// Raises the decoder's own message for a file it cannot read, also for data that ends early
// or is corrupt, and "Picture is too large" before decoding one over the bound.
QImage Decode(const QByteArray& data);

} // namespace JpegFile
