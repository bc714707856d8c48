#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

// The pictograms and the logo, decoded and stretched to the size the label
// draws them at. Decoding the JPEG files took most of a label drawing, and the
// preview is redrawn at every keystroke, so a drawn picture is kept for the
// next drawing as long as its file is unchanged (same modification time and
// size); any change of the file reads it anew. Nothing else is kept between
// drawings. A file that could not be decoded is remembered too, with its
// message, until it changes.
namespace PictureCache {

// Chooses the drawn size from the picture's own size.
using SizeRule = std::function<QSize(QSize original)>;

// The picture of the JPEG file `path` stretched to `sizeFor(its own size)`, as
// Format_RGB32. `original` receives the picture's own size. Returns false with
// a French message when the file cannot be read or decoded, or the rule gives
// an empty size.
bool picture(const QString &path, const SizeRule &sizeFor, QImage *stretched, QSize *original = nullptr,
             QString *error = nullptr);

// Forgets every picture.
void clear();

// With the cache off every call decodes its file (used to measure the gain).
void setEnabled(bool enabled);
bool isEnabled();

} // namespace PictureCache
