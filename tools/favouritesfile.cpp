#include "tools/favouritesfile.h"

#include "shell/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
// Longer lines cannot name a folder on this platform; a damaged file could
// otherwise fill the list with one enormous entry.
constexpr qsizetype kLongestLine = 4096;
} // namespace

bool FavouritesFile::read(const QString &path, const QString &baseFolder, QStringList *folders, QString *error,
                          bool *partial)
{
    folders->clear();
    if (partial)
        *partial = false;
    if (!QFileInfo::exists(path))
        return true;
    QByteArray bytes;
    if (!TextFile::readBytes(path, &bytes)) {
        if (error)
            *error = QFileInfo(path).isDir()
                ? QStringLiteral("« %1 » est un dossier et non un fichier.").arg(QDir::toNativeSeparators(path))
                : QStringLiteral("Le fichier « %1 » ne peut pas être lu.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    const QString cut = TextFile::cutDescription(bytes);
    const QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
    QSet<QString> seen;
    for (const QString &line : std::as_const(lines)) {
        if (line.trimmed().isEmpty() || line.size() > kLongestLine)
            continue;
        // The limit holds for the folder as it is kept (and written back),
        // so that what is written is read again.
        // Joined by hand: the toolkit would take a line starting with ":" for
        // one of its resource paths.
        const QString folder = QDir::cleanPath(line.startsWith(u'/') ? line : baseFolder + u'/' + line);
        if (folder.size() > kLongestLine || seen.contains(folder))
            continue;
        seen.insert(folder);
        folders->append(folder);
    }
    if (!cut.isEmpty()) {
        if (partial)
            *partial = true;
        if (error)
            *error = QStringLiteral("Le fichier « %1 » n'a pas pu être lu entièrement : il contient %2.\n"
                                    "Seuls les chemins favoris lus avant cet endroit sont affichés ; le fichier ne "
                                    "sera pas modifié, pour ne pas perdre ceux qui suivent.")
                         .arg(QDir::toNativeSeparators(path), cut);
        return false;
    }
    return true;
}

bool FavouritesFile::write(const QString &path, const QStringList &folders, QString *error)
{
    for (const QString &folder : folders) {
        if (!storable(folder, error))
            return false;
    }
    // The platform's own reason is English: say in French what matters.
    if (TextFile::writeLines(path, folders))
        return true;
    if (error)
        *error = QStringLiteral("Le fichier « %1 » ne peut pas être écrit (dossier protégé, disque plein ou "
                                "nom occupé) ; son ancien contenu reste intact.")
                     .arg(QDir::toNativeSeparators(path));
    return false;
}

QStringList FavouritesFile::startList(const QString &lastUsedFolder, const QStringList &stored)
{
    if (!stored.isEmpty())
        return stored;
    if (lastUsedFolder.isEmpty())
        return {};
    return {lastUsedFolder};
}

bool FavouritesFile::storable(const QString &folder, QString *problem)
{
    if (folder.contains(u'\n') || folder.contains(u'\r')) {
        if (problem)
            *problem = QStringLiteral("Le chemin « %1 » contient un saut de ligne : il ne peut pas être "
                                      "enregistré dans le fichier \"%2\".")
                           .arg(folder, kFileName);
        return false;
    }
    QByteArray bytes;
    QChar bad;
    if (!TextFile::encode(folder, &bytes, &bad)) {
        if (problem)
            *problem = QStringLiteral("Le chemin « %1 » contient le caractère « %2 » (U+%3), qui ne peut pas être "
                                      "enregistré dans le fichier \"%4\" (jeu de caractères Windows-1252).")
                           .arg(folder, QString(bad))
                           .arg(bad.unicode(), 4, 16, QLatin1Char('0'))
                           .arg(kFileName);
        return false;
    }
    return true;
}
