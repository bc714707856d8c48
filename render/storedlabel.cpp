#include "render/storedlabel.h"

#include "shell/labeldigest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace StoredLabel {

namespace {

QString kindOf(mode_t mode)
{
    const QString notRegular = QStringLiteral("n'est pas un fichier ordinaire (%1)");
    if (S_ISDIR(mode))
        return notRegular.arg(QStringLiteral("dossier"));
    if (S_ISFIFO(mode))
        return notRegular.arg(QStringLiteral("tube nommé"));
    if (S_ISSOCK(mode))
        return notRegular.arg(QStringLiteral("socket"));
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return notRegular.arg(QStringLiteral("périphérique"));
    if (!S_ISREG(mode))
        return notRegular.arg(QStringLiteral("type inconnu"));
    return {};
}

QString errorWords(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kNotFound;
    case EACCES:
    case EPERM:
        return QStringLiteral("illisible (droits)");
    case ELOOP:
        return QStringLiteral("lien en boucle");
    case ENAMETOOLONG:
        return QStringLiteral("introuvable (nom trop long)");
    default:
        return QStringLiteral("illisible (erreur système %1)").arg(error);
    }
}

} // namespace

QString unreadable(const QString &path)
{
    if (path.isEmpty())
        return kNotFound;
    const QByteArray name = QFile::encodeName(path);
    struct stat own;
    if (::lstat(name.constData(), &own) != 0)
        return errorWords(errno);
    struct stat target;
    if (::stat(name.constData(), &target) != 0) {
        const int error = errno;
        // The entry is a link whose target is the problem.
        if (error == ENOENT || error == ENOTDIR)
            return QStringLiteral("lien vers un fichier introuvable");
        return errorWords(error);
    }
    const QString kind = kindOf(target.st_mode);
    if (!kind.isEmpty())
        return kind;
    if (::access(name.constData(), R_OK) != 0)
        return errorWords(errno);
    return {};
}

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
               const QString &pictogramFolder, LayoutResult *result, double statementScale)
{
    LabelContent content;
    QStringList problems;
    if (!load(path, numberingOnly, current, pictogramFolder, &content, &problems))
        content.present = false; // a white cell
    content.statementScale = statementScale;
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
