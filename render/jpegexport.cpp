#include "render/jpegexport.h"

#include "render/jpegcodec.h"
#include "shell/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace JpegExport {

bool encodeLabel(const LabelContent &content, const Options &options, QByteArray *jpeg,
                 QStringList *problems, QString *error, QString *cutStatement)
{
    LayoutResult layout;
    const QImage image = LabelRenderer::exportImage(content, &layout);
    if (problems)
        *problems = layout.problems;
    if (cutStatement)
        *cutStatement = layout.cutStatement;
    return JpegCodec::encode(image, options.quality, options.grey, jpeg, error);
}

bool write(const QString &path, const QByteArray &jpeg, QString *error, TextFile::DeferredSync *deferred)
{
    QString why;
    if (TextFile::replaceFile(path, jpeg, &why, deferred))
        return true;
    if (error)
        *error = QStringLiteral("Impossible d'enregistrer l'image « %1 » : %2").arg(QDir::toNativeSeparators(path), why);
    return false;
}

} // namespace JpegExport
