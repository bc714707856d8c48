#pragma once

#include "render/labelcontent.h"
#include "render/labelrenderer.h"

#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;

// Labels of the print selection, drawn from their files through the label
// digest without opening a window (the sheet preview and sheet printing).
// Each call reads the file anew.
namespace StoredLabel {

// The warning for a selection entry whose file has disappeared.
inline const QString kMissingFile = QStringLiteral("Le fichier ''%1'' est introuvable");

// Why `path` cannot be read as a label file, in French words that follow
// its name: "introuvable", "n'est pas un fichier ordinaire (dossier)",
// "n'est pas un fichier ordinaire (tube nommé)", "lien en boucle", "lien vers
// un fichier introuvable", "illisible (droits)"... Empty for a regular file
// that can be read.
QString unreadable(const QString &path);
inline const QString kNotFound = QStringLiteral("introuvable");

// Reads `path` into drawing content. The logo line names a picture of the
// "fournisseurs" folder beside the label file. Returns false when
// the file does not exist (`problems` gets kMissingFile). A file that cannot
// be read (too large for a label, no permission) gives an absent label (a
// white cell) and its reading error in `problems`. A file that stops
// early is drawn with what was read, its reading error added to `problems`.
// `current` gives the sizes when the file ends before its size lines; the
// frame's mirrors themselves are not changed.
bool load(const QString &path, bool numberingOnly, const FrameMirrors &current, const QString &pictogramFolder,
          LabelContent *content, QStringList *problems);

// The stored-label picture: the file drawn into a 1272 x 900 label picture.
// A missing file gives a white picture.
QImage imp_etBM_pl(const QString &path, bool numberingOnly, const FrameMirrors &current,
               const QString &pictogramFolder, LayoutResult *result = nullptr, double statementScale = 1.0);

// The stored label drawn straight onto a printer page (`variant` from
// RenderVariant::page). A missing file draws nothing.
LayoutResult imp_etPR_pl(QPainter &painter, const QString &path, bool numberingOnly, const FrameMirrors &current,
                        const QString &pictogramFolder, const RenderVariant &variant);

} // namespace StoredLabel
