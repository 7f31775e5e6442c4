#include "platform/JpegFile.h"

#include "platform/Error.h"
#include "platform/PictureSize.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace JpegFile {
namespace {

// Everything the decoder touches lives here, on the heap, so that nothing the jump back from
// an error skips over needs cleaning up, and nothing changed after setjmp sits in a register.
struct Decoder {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    char message[JMSG_LENGTH_MAX]{};
    bool created = false;
    QImage image;
    std::vector<JSAMPLE> row;

    ~Decoder() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

Decoder& Owner(j_common_ptr info) {
    return *static_cast<Decoder*>(info->client_data);
}

// libjpeg's default ends the process; here the error goes back to Decode.
[[noreturn]] void ErrorExit(j_common_ptr info) {
    Decoder& d = Owner(info);
    info->err->format_message(info, d.message);
    std::longjmp(d.failed, 1);
}

// Warnings that mean the decoder made up pixels for missing or damaged data are errors here:
// a cut-off file must not become a picture with a grey bottom.
bool InventsPixels(int code) {
    return code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
           code == JWRN_MUST_RESYNC || code == JWRN_ARITH_BAD_CODE ||
           code == JWRN_BOGUS_PROGRESSION;
}

void EmitMessage(j_common_ptr info, int level) {
    if (level < 0 && InventsPixels(info->err->msg_code))
        ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

bool IsCmyk(const jpeg_decompress_struct& info) {
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// Adobe writers store CMYK inverted; the marker says so.
void CmykToRgb(const JSAMPLE* cmyk, uchar* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int ink = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = static_cast<uchar>(ink * k / 255);
        }
    }
}

void ReadHeader(Decoder& d, const QByteArray& data) {
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.info.mem->max_memory_to_use = PictureSize::kMaxBytes;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.info, TRUE);
    d.info.scale_num = 1;
    d.info.scale_denom = 1;
    d.info.dct_method = JDCT_ISLOW;
    d.info.out_color_space = IsCmyk(d.info) ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&d.info);
}

// Returns false when the decoder jumped back with an error. No object with a destructor may
// be created in this function's frame after setjmp.
bool Run(Decoder& d, const QByteArray& data, bool* tooLarge) {
    if (setjmp(d.failed))
        return false;
    ReadHeader(d, data);
    const qint64 width = d.info.output_width;
    const qint64 height = d.info.output_height;
    *tooLarge = width * height > PictureSize::kMaxBytes / 4;
    if (*tooLarge)
        return false;
    d.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (d.image.isNull()) {
        *tooLarge = true;
        return false;
    }
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    if (cmyk)
        d.row.resize(static_cast<size_t>(width) * 4);
    jpeg_start_decompress(&d.info);
    while (d.info.output_scanline < d.info.output_height) {
        uchar* line = d.image.scanLine(static_cast<int>(d.info.output_scanline));
        JSAMPROW target = cmyk ? d.row.data() : line;
        jpeg_read_scanlines(&d.info, &target, 1);
        if (cmyk)
            CmykToRgb(d.row.data(), line, d.info.output_width, d.info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

} // namespace

QImage Decode(const QByteArray& data) {
    auto d = std::make_unique<Decoder>();
    d->info.err = jpeg_std_error(&d->errors);
    d->errors.error_exit = ErrorExit;
    d->errors.emit_message = EmitMessage;
    d->errors.output_message = OutputMessage;
    d->info.client_data = d.get();
    bool tooLarge = false;
    if (!Run(*d, data, &tooLarge)) {
        if (tooLarge)
            throw EError(PictureSize::TooLargeText());
        throw EError(QString::fromLocal8Bit(d->message));
    }
    return std::move(d->image);
}

} // namespace JpegFile
