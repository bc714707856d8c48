#include "render/storedlabel.h"

#include "shell/labeldigest.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace StoredLabel {

bool load(const QString &path, bool numberingOnly, const FrameMirrors &current, const QString &pictogramFolder,
          LabelContent *content, QStringList *problems)
{
    if (!QFileInfo(path).isFile()) {
        problems->append(kMissingFile.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    LabelDigest digest;
    const LabelFile::Status status = digest.readFile(path, numberingOnly);
    if (!status.ok())
        problems->append(LabelFile::damageMessage(QFileInfo(path).absoluteFilePath(), status));
    // A file not read at all (too large, no permission) is a white cell,
    // its reading error told.
    if (status.kind == LabelFile::Status::Unreadable) {
        *content = LabelContent();
        content->present = false;
        return true;
    }
    // A file that stopped early never reached its colour and alignment lines:
    // their defaults are no further problem.
    // The logo comes from the "fournisseurs" folder beside the label file,
    // wherever the program's working directory happens to be: a sheet may
    // gather labels of several folders.
    *content = LabelContent::fromDigest(digest, current, numberingOnly, QFileInfo(path).absolutePath(), pictogramFolder,
                                        status.ok() ? problems : nullptr);
    return true;
}

QImage imp_etBM_pl(const QString &path, bool numberingOnly, const FrameMirrors &current,
               const QString &pictogramFolder, LayoutResult *result)
{
    LabelContent content;
    QStringList problems;
    if (!load(path, numberingOnly, current, pictogramFolder, &content, &problems))
        content.present = false; // a white cell
    LayoutResult r;
    QImage image = LabelRenderer::labelPicture(content, &r);
    r.problems = problems + r.problems;
    if (result)
        *result = std::move(r);
    return image;
}

LayoutResult imp_etPR_pl(QPainter &painter, const QString &path, bool numberingOnly, const FrameMirrors &current,
                        const QString &pictogramFolder, const RenderVariant &variant)
{
    LabelContent content;
    QStringList problems;
    LayoutResult r;
    if (load(path, numberingOnly, current, pictogramFolder, &content, &problems))
        r = LabelRenderer::draw(painter, content, variant);
    r.problems = problems + r.problems;
    return r;
}

} // namespace StoredLabel
