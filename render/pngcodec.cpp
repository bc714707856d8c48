#include "render/pngcodec.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace PngCodec {

namespace {

// zlib's level 4 is the fastest that keeps a label's file no larger than the
// usual setting's (level 6 with adaptive filters): levels 1 to 3 give files
// some 3 to 8 % larger on the sample labels. Row filters only make a label's
// flat colours and text larger.
constexpr int kLevel = 4;

struct Sink {
    QByteArray *out = nullptr;
    char message[256] = {};
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    sink->out->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

void flushData(png_structp) {}

void onError(png_structp png, png_const_charp message)
{
    auto *sink = static_cast<Sink *>(png_get_error_ptr(png));
    std::strncpy(sink->message, message ? message : "", sizeof sink->message - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The library reports its errors by a long jump: nothing with a destructor
// lives in this frame. `rows` holds the picture's scan lines as libpng reads
// them (with the transformations set here).
bool writePicture(png_structp png, png_infop info, const QImage &image, int colourType)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, png_get_io_ptr(png), writeData, flushData);
    png_set_compression_level(png, kLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, png_uint_32(image.dotsPerMeterX()), png_uint_32(image.dotsPerMeterY()),
                     PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (image.format() == QImage::Format_RGB32) {
        // 0xffRRGGBB words: the filler byte is dropped as the rows are written.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    }
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    return true;
}

} // namespace

bool encode(const QImage &image, QByteArray *out, QString *error)
{
    out->clear();
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("l'image PNG n'a pas pu être composée (image vide).");
        return false;
    }
    QImage rows;
    int colourType = PNG_COLOR_TYPE_RGB;
    if (image.format() == QImage::Format_Grayscale8) {
        rows = image;
        colourType = PNG_COLOR_TYPE_GRAY;
    } else if (image.hasAlphaChannel()) {
        rows = image.convertToFormat(QImage::Format_RGBA8888);
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    } else {
        rows = image.convertToFormat(QImage::Format_RGB32);
    }
    // Room for the whole picture at once: a label compresses well below its raw size.
    out->reserve(qsizetype(rows.width()) * rows.height());

    Sink sink;
    sink.out = out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok) {
        png_set_write_fn(png, &sink, writeData, flushData);
        ok = writePicture(png, info, rows, colourType);
    } else {
        std::strncpy(sink.message, "mémoire insuffisante", sizeof sink.message - 1);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!ok) {
        out->clear();
        if (error)
            *error = QStringLiteral("l'image PNG n'a pas pu être composée (%1).").arg(QString::fromUtf8(sink.message));
        return false;
    }
    return true;
}

} // namespace PngCodec
