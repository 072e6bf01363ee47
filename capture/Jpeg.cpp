#include "capture/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace {

// libjpeg reports errors through error_exit, which by default ends the process. Ours jumps
// back to the one function that called into the library; that function throws afterwards.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->text);
    std::longjmp(err->jump, 1);
}

// Corrupt-data warnings are not errors for us, and nothing may go to stderr.
void quietOutput(j_common_ptr) {}

void installErrorManager(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = quietOutput;
    err.text[0] = '\0';
}

[[noreturn]] void throwFrom(const ErrorManager& err)
{
    throw JpegError(err.pub.msg_code, err.text);
}

struct DecompressDeleter
{
    void operator()(jpeg_decompress_struct* c) const
    {
        jpeg_destroy_decompress(c);
        delete c;
    }
};

struct CompressDeleter
{
    void operator()(jpeg_compress_struct* c) const
    {
        jpeg_destroy_compress(c);
        delete c;
    }
};

struct FreeDeleter
{
    void operator()(unsigned char* p) const { std::free(p); }
};

void cmykRowToRgb(const JSAMPLE* in, uchar* out, int width, bool inverted, bool bgr)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Adobe writes inverted CMYK: each channel already holds 255 - ink.
        const uchar r = uchar(c * k / 255), g = uchar(m * k / 255), b = uchar(y * k / 255);
        out[0] = bgr ? b : r;
        out[1] = g;
        out[2] = bgr ? r : b;
    }
}

// All libjpeg calls of a decode, between setjmp and the last call; no object with a
// destructor lives here, so the jump skips nothing. Returns false after an error.
// With allocate, *target becomes a new picture of the JPEG's size; otherwise the JPEG is
// copied unscaled onto the top-left corner of *target.
bool decodeCore(jpeg_decompress_struct* cinfo, const unsigned char* data, unsigned long size, QImage* target,
                bool allocate, bool* outOfMemory)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (setjmp(err->jump))
        return false;

    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    const bool bgr = !allocate && target->format() == QImage::Format_BGR888;
    cinfo->out_color_space = cmyk ? JCS_CMYK : (bgr ? JCS_EXT_BGR : JCS_EXT_RGB);
    jpeg_start_decompress(cinfo);

    const int width = int(cinfo->output_width);
    const int height = int(cinfo->output_height);
    if (allocate) {
        *target = QImage(width, height, QImage::Format_RGB888);
        if (target->isNull()) {
            *outOfMemory = true;
            jpeg_abort_decompress(cinfo);
            return true;
        }
    }
    const int copyWidth = std::min(width, target->width());
    const int copyHeight = std::min(height, target->height());
    const bool direct = !cmyk && copyWidth == width;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width * cinfo->output_components), 1);
    const bool inverted = cinfo->saw_Adobe_marker;

    while (int(cinfo->output_scanline) < height) {
        const int y = int(cinfo->output_scanline);
        if (y >= copyHeight) {
            jpeg_skip_scanlines(cinfo, JDIMENSION(height - y));
            break;
        }
        uchar* dest = target->scanLine(y);
        JSAMPROW into = direct ? reinterpret_cast<JSAMPROW>(dest) : row[0];
        jpeg_read_scanlines(cinfo, &into, 1);
        if (cmyk)
            cmykRowToRgb(row[0], dest, copyWidth, inverted, bgr);
        else if (!direct)
            std::memcpy(dest, row[0], size_t(copyWidth) * 3);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

void decodeInto(const unsigned char* data, size_t size, QImage& target, bool allocate)
{
    std::unique_ptr<jpeg_decompress_struct, DecompressDeleter> cinfo(new jpeg_decompress_struct{});
    ErrorManager err;
    installErrorManager(err);
    cinfo->err = &err.pub;
    jpeg_create_decompress(cinfo.get());
    bool outOfMemory = false;
    if (!decodeCore(cinfo.get(), data, static_cast<unsigned long>(size), &target, allocate, &outOfMemory))
        throwFrom(err);
    if (outOfMemory)
        throw std::bad_alloc();
}

bool encodeCore(jpeg_compress_struct* cinfo, const QImage* rgb, int quality, unsigned char** buffer,
                unsigned long* size)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (setjmp(err->jump))
        return false;

    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = JDIMENSION(rgb->width());
    cinfo->image_height = JDIMENSION(rgb->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

namespace Jpeg {

QImage decode(const QByteArray& bytes)
{
    QImage image;
    decodeInto(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()), image, true);
    return image;
}

void decodeOnto(const unsigned char* data, size_t size, QImage& target)
{
    if (target.format() != QImage::Format_BGR888 && target.format() != QImage::Format_RGB888)
        throw std::invalid_argument("Jpeg::decodeOnto needs a 24-bit picture");
    decodeInto(data, size, target, false);
}

QByteArray encode(const QImage& image, int quality)
{
    if (image.isNull())
        throw std::invalid_argument("Jpeg::encode: empty picture");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);

    std::unique_ptr<jpeg_compress_struct, CompressDeleter> cinfo(new jpeg_compress_struct{});
    ErrorManager err;
    installErrorManager(err);
    cinfo->err = &err.pub;
    jpeg_create_compress(cinfo.get());

    // jpeg_mem_dest allocates with malloc and may reallocate while writing.
    unsigned char* raw = nullptr;
    unsigned long size = 0;
    const bool ok = encodeCore(cinfo.get(), &rgb, quality, &raw, &size);
    std::unique_ptr<unsigned char, FreeDeleter> buffer(raw);
    if (!ok)
        throwFrom(err);
    return QByteArray(reinterpret_cast<const char*>(buffer.get()), qsizetype(size));
}

} // namespace Jpeg
