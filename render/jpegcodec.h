#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// JPEG pictures through libjpeg. The library's own error handling would end
// the process on a damaged file; here every failure comes back as `false` with
// a French message, and a picture that decodes only with damage (truncated
// data, broken entropy codes) counts as a failure too.
namespace JpegCodec {

// Decodes a baseline or progressive JPEG, grey or colour (CMYK included).
// Colour pictures become Format_RGB32, grey ones Format_Grayscale8. With
// `atLeast` set, the library's scaled decoding may return a smaller picture
// (down to 1/8) that is still at least that size, which is quicker when the
// picture is to be stretched into a small square anyway.
bool decode(const QByteArray &data, QImage *image, QString *error = nullptr, QSize atLeast = QSize());
bool decodeFile(const QString &path, QImage *image, QString *error = nullptr, QSize atLeast = QSize());

// The largest picture file the program reads (a logo or a pictogram is far
// smaller).
constexpr qint64 kMaxFileSize = 16ll << 20;

// The bytes of a picture file: a regular file of at most kMaxFileSize that
// starts as a JPEG picture. Otherwise false with a French message.
bool readPictureFile(const QString &path, QByteArray *data, QString *error = nullptr);

// The picture's size from its header alone.
bool readSize(const QByteArray &data, QSize *size, QString *error = nullptr);

// Encodes a picture with a quality of 1 to 100 (clamped). With `grey` the file
// holds a single grey channel; otherwise three colour channels. The library's
// other settings keep their defaults (baseline, 4:2:0, JFIF 1:1).
bool encode(const QImage &image, int quality, bool grey, QByteArray *out, QString *error = nullptr);

} // namespace JpegCodec
