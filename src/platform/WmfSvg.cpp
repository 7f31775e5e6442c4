#include "platform/WmfSvg.h"

#include "platform/PictureSize.h"

#include <climits>
#include <memory>

extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace WmfSvg {
namespace {

constexpr unsigned kScreenDpi = 96;

struct ApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};
using Api = std::unique_ptr<wmfAPI, ApiDeleter>;

Api Create() {
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    const wmf_error_t error = wmf_api_create(&api, flags, &options);
    Api owned(api);
    return error == wmf_E_None ? std::move(owned) : Api();
}

QSize DisplaySize(wmfAPI* api) {
    unsigned int width = 0, height = 0;
    wmf_display_size(api, &width, &height, kScreenDpi, kScreenDpi);
    return QSize(static_cast<int>(std::min<unsigned>(width, INT_MAX)),
                 static_cast<int>(std::min<unsigned>(height, INT_MAX)));
}

wmfD_Rect Bounds(const QRectF& frame) {
    wmfD_Rect bounds;
    bounds.TL = {static_cast<float>(frame.left()), static_cast<float>(frame.top())};
    bounds.BR = {static_cast<float>(frame.right()), static_cast<float>(frame.bottom())};
    return bounds;
}

} // namespace

std::optional<QByteArray> Convert(QByteArray wmf, const std::optional<QRectF>& frame, QSize* size) {
    const Api api = Create();
    wmfD_Rect drawn{};
    if (!api ||
        wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(wmf.data()),
                     static_cast<long>(wmf.size())) != wmf_E_None ||
        wmf_scan(api.get(), 0, &drawn) != wmf_E_None)
        return std::nullopt;
    if (!frame)
        *size = DisplaySize(api.get());
    if (size->isEmpty())
        return std::nullopt;
    PictureSize::Check(size->width(), size->height());
    wmf_svg_t* device = WMF_SVG_GetData(api.get());
    device->out = wmf_stream_create(api.get(), nullptr);
    device->bbox = frame ? Bounds(*frame) : drawn;
    device->width = static_cast<unsigned>(size->width());
    device->height = static_cast<unsigned>(size->height());
    char noDescription[] = "";
    device->Description = noDescription;
    const wmf_error_t played = wmf_play(api.get(), 0, &drawn);
    char* svg = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api.get(), device->out, &svg, &length);
    wmf_mem_close(api.get());
    if (played != wmf_E_None || !svg)
        return std::nullopt;
    return QByteArray(svg, static_cast<qsizetype>(length)); // libwmf frees its own memory
}

} // namespace WmfSvg
