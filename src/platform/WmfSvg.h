#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <optional>

// libwmf's SVG device, writing to memory. Kept apart: libwmf's headers define macros that
// clash with ordinary names.
namespace WmfSvg {

// Converts records already checked to lie inside the bytes. With a frame (in points, as libwmf
// lays pictures out) the picture is that frame at `size`; without one it is the drawing's own
// extent, and `size` is set to its size on a 96-dpi screen. Nothing when libwmf fails; raises
// "Picture is too large" before drawing one over the bound.
std::optional<QByteArray> Convert(QByteArray wmf, const std::optional<QRectF>& frame, QSize* size);

} // namespace WmfSvg
