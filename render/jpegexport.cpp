#include "render/jpegexport.h"

#include "render/jpegcodec.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace JpegExport {

bool encodeLabel(const LabelContent &content, const Options &options, QByteArray *jpeg,
                 QStringList *problems, QString *error)
{
    LayoutResult layout;
    const QImage image = LabelRenderer::exportImage(content, &layout);
    if (problems)
        *problems = layout.problems;
    return JpegCodec::encode(image, options.quality, options.grey, jpeg, error);
}

bool write(const QString &path, const QByteArray &jpeg, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Impossible d'enregistrer l'image « %1 » : %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("un dossier porte ce nom."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(jpeg) != jpeg.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace JpegExport
