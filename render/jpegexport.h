#pragma once

#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "shell/textfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The JPEG export of the active label: the export image (2121 x 1500, not
// smoothed), encoded with the chosen quality in colour or grey levels, and
// written so that a failed write leaves no partial file.
namespace JpegExport {

struct Options {
    bool grey = false;  // "Niveaux de gris": one grey channel
    int quality = 75;   // 1 .. 100
};

// The save dialog of the export (the frame's SaveDialog2).
inline const QString kSaveTitle = QStringLiteral("Exporter");
inline const QString kSaveFilter = QStringLiteral("Image JPEG|*.jpg");
inline const QString kSaveSuffix = QStringLiteral("jpg");
inline const QString kSaveName = QStringLiteral("Sans_titre");

// Draws the export image and encodes it. Pictures that could not be read are
// listed in `problems` (the rest of the label is drawn all the same). Returns
// false with a French message when the encoder fails.
// `cutStatement` receives the first statement that does not fit on the label
// (empty when all fit).
bool encodeLabel(const LabelContent &content, const Options &options, QByteArray *jpeg,
                 QStringList *problems = nullptr, QString *error = nullptr, QString *cutStatement = nullptr);

// Replaces `path` with the encoded picture atomically. On failure the folder is
// left as it was (no partial file, an older file of that name intact) and
// `error` holds a French message naming the file.
// With `deferred` the flush to the disk is left to it (a batch of exports).
bool write(const QString &path, const QByteArray &jpeg, QString *error = nullptr,
           TextFile::DeferredSync *deferred = nullptr);

} // namespace JpegExport
