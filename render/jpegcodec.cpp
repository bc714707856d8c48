#include "render/jpegcodec.h"

#include "shell/textfile.h"

#include <QFileInfo>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// libjpeg reports errors through error_exit, which by default prints and ends
// the process. Ours formats the message and jumps back to the call that set
// `jump`; only plain C data lives in this struct and in the frames the jump
// crosses, so no destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char damage[JMSG_LENGTH_MAX];
    int damageCount;
};

void onError(j_common_ptr cinfo)
{
    auto *e = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings after which the decoded pixels are not those of the picture: the
// data ended early or its entropy-coded part is broken. Harmless remarks
// (extra bytes before a marker, odd but readable headers) pass.
bool isDamage(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto *e = reinterpret_cast<ErrorManager *>(cinfo->err);
    ++e->pub.num_warnings;
    if (isDamage(e->pub.msg_code)) {
        if (e->damageCount == 0)
            (*cinfo->err->format_message)(cinfo, e->damage);
        ++e->damageCount;
    }
}

void onOutput(j_common_ptr) {}

void installErrorManager(ErrorManager *e)
{
    std::memset(e, 0, sizeof *e);
    jpeg_std_error(&e->pub);
    e->pub.error_exit = onError;
    e->pub.emit_message = onMessage;
    e->pub.output_message = onOutput;
}

// A decompressor with the program's error manager, destroyed on every path.
struct Decompressor {
    ErrorManager err;
    jpeg_decompress_struct cinfo;
    Decompressor()
    {
        installErrorManager(&err);
        std::memset(&cinfo, 0, sizeof cinfo);
        cinfo.err = &err.pub;
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
};

// A label draws its pictures in squares of a few hundred pixels. Pictures
// beyond these sizes are refused before any pixel memory is taken: a
// progressive picture keeps all its coefficients in memory (two bytes per
// sample of the whole source), a baseline one is decoded row by row at the
// reduced scale but still reads every block.
constexpr quint64 kMaxPixels = 100'000'000;           // decoded picture
constexpr quint64 kMaxSourcePixels = 200'000'000;     // baseline source
constexpr quint64 kMaxProgressivePixels = 40'000'000; // progressive source
constexpr long kMaxLibraryMemory = 320l << 20;        // the library's own allocations

constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The smallest scaled size (n/8, n = 1..8) still at least `atLeast`.
void chooseScale(jpeg_decompress_struct *cinfo, QSize atLeast)
{
    if (atLeast.isEmpty())
        return;
    for (unsigned n = 1; n < 8; ++n) {
        const unsigned w = (cinfo->image_width * n + 7) / 8;
        const unsigned h = (cinfo->image_height * n + 7) / 8;
        if (w >= unsigned(atLeast.width()) && h >= unsigned(atLeast.height())) {
            cinfo->scale_num = n;
            cinfo->scale_denom = 8;
            return;
        }
    }
}

enum class ReadResult { Ok, LibraryError, TooLarge };

// Everything that may jump back lives in this function; the objects it fills
// belong to the caller.
ReadResult readPicture(jpeg_decompress_struct *cinfo, ErrorManager *err, const QByteArray *data,
                       QSize atLeast, QImage *out)
{
    if (setjmp(err->jump))
        return ReadResult::LibraryError;

    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char *>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    // Beyond this the library fails cleanly instead of taking gigabytes.
    cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
    jpeg_read_header(cinfo, TRUE);
    const quint64 sourcePixels = quint64(cinfo->image_width) * cinfo->image_height;
    if (sourcePixels > (jpeg_has_multiple_scans(cinfo) ? kMaxProgressivePixels : kMaxSourcePixels))
        return ReadResult::TooLarge;
    chooseScale(cinfo, atLeast);

    bool cmyk = false;
    QImage::Format format = QImage::Format_RGB32;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        cinfo->out_color_space = kRgb32Space;
        break;
    }

    // The decoded size, known before the library allocates anything for it.
    jpeg_calc_output_dimensions(cinfo);
    if (quint64(cinfo->output_width) * cinfo->output_height > kMaxPixels)
        return ReadResult::TooLarge;
    jpeg_start_decompress(cinfo);
    *out = QImage(int(cinfo->output_width), int(cinfo->output_height), format);
    if (out->isNull())
        return ReadResult::TooLarge;

    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                              cinfo->output_width * 4, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = int(cinfo->output_scanline);
        uchar *line = out->scanLine(y);
        if (!cmyk) {
            JSAMPROW row = line;
            jpeg_read_scanlines(cinfo, &row, 1);
            continue;
        }
        jpeg_read_scanlines(cinfo, cmykRow, 1);
        // Pictures written by print software store CMYK inverted (Adobe); the
        // product of each ink with the black channel then gives the colour.
        const JSAMPLE *src = cmykRow[0];
        auto *dst = reinterpret_cast<QRgb *>(line);
        const bool inverted = cinfo->saw_Adobe_marker;
        for (JDIMENSION x = 0; x < cinfo->output_width; ++x, src += 4) {
            int c = src[0], m = src[1], yy = src[2], k = src[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yy = 255 - yy;
                k = 255 - k;
            }
            dst[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
        }
    }
    jpeg_finish_decompress(cinfo);
    return ReadResult::Ok;
}

bool readHeader(jpeg_decompress_struct *cinfo, ErrorManager *err, const QByteArray *data, QSize *size)
{
    if (setjmp(err->jump))
        return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char *>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    jpeg_read_header(cinfo, TRUE);
    *size = QSize(int(cinfo->image_width), int(cinfo->image_height));
    return true;
}

bool writePicture(jpeg_compress_struct *cinfo, ErrorManager *err, const QImage *image, int quality,
                  bool grey, unsigned char **buffer, unsigned long *size)
{
    if (setjmp(err->jump))
        return false;

    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = JDIMENSION(image->width());
    cinfo->image_height = JDIMENSION(image->height());
    if (image->format() == QImage::Format_Grayscale8) {
        cinfo->input_components = 1;
        cinfo->in_color_space = JCS_GRAYSCALE;
    } else {
        cinfo->input_components = 4;
        cinfo->in_color_space = kRgb32Space;
    }
    jpeg_set_defaults(cinfo);
    if (grey)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<uchar *>(image->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

namespace JpegCodec {

bool decode(const QByteArray &data, QImage *image, QString *error, QSize atLeast)
{
    if (data.isEmpty()) {
        setError(error, QStringLiteral("Image JPEG vide."));
        return false;
    }
    Decompressor d;
    const ErrorManager &err = d.err;
    QImage picture;
    const ReadResult result = readPicture(&d.cinfo, &d.err, &data, atLeast, &picture);

    switch (result) {
    case ReadResult::LibraryError:
        setError(error, QStringLiteral("Image JPEG illisible : %1").arg(QString::fromLocal8Bit(err.message)));
        return false;
    case ReadResult::TooLarge:
        setError(error, QStringLiteral("Image JPEG trop grande."));
        return false;
    case ReadResult::Ok:
        break;
    }
    if (err.damageCount > 0) {
        setError(error, QStringLiteral("Image JPEG endommagée : %1").arg(QString::fromLocal8Bit(err.damage)));
        return false;
    }
    if (image)
        *image = std::move(picture);
    return true;
}

bool readSize(const QByteArray &data, QSize *size, QString *error)
{
    if (data.isEmpty()) {
        setError(error, QStringLiteral("Image JPEG vide."));
        return false;
    }
    Decompressor d;
    const ErrorManager &err = d.err;
    QSize found;
    const bool ok = readHeader(&d.cinfo, &d.err, &data, &found);
    if (!ok) {
        setError(error, QStringLiteral("Image JPEG illisible : %1").arg(QString::fromLocal8Bit(err.message)));
        return false;
    }
    if (size)
        *size = found;
    return true;
}

bool decodeFile(const QString &path, QImage *image, QString *error, QSize atLeast)
{
    QByteArray data;
    QString why;
    if (!readPictureFile(path, &data, &why)) {
        setError(error, why);
        return false;
    }
    return decode(data, image, error, atLeast);
}

bool readPictureFile(const QString &path, QByteArray *data, QString *error)
{
    // Pipes, devices and oversized files are refused before anything is read
    // (a pipe would block for ever); a file that does not start as a JPEG
    // picture is refused before decoding.
    QByteArray head;
    if (!TextFile::readBytes(path, &head, error, kMaxFileSize))
        return false;
    if (!head.startsWith("\xFF\xD8")) {
        setError(error, QStringLiteral("« %1 » n'est pas une image JPEG.").arg(QFileInfo(path).fileName()));
        return false;
    }
    *data = std::move(head);
    return true;
}

bool encode(const QImage &image, int quality, bool grey, QByteArray *out, QString *error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("Aucune image à enregistrer."));
        return false;
    }
    quality = qBound(1, quality, 100);
    // The library takes grey rows or 32-bit colour rows as they are; any other
    // layout is converted first.
    QImage input;
    if (image.format() == QImage::Format_RGB32 || (grey && image.format() == QImage::Format_Grayscale8))
        input = image;
    else
        input = image.convertToFormat(QImage::Format_RGB32);

    ErrorManager err;
    installErrorManager(&err);
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &err.pub;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;

    const bool ok = writePicture(&cinfo, &err, &input, quality, grey, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    if (ok && out)
        *out = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    if (!ok)
        setError(error, QStringLiteral("Échec du codage JPEG : %1").arg(QString::fromLocal8Bit(err.message)));
    return ok;
}

} // namespace JpegCodec
