#include "tools/sheetfile.h"

#include "shell/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace SheetFile {

namespace {

// A sheet file is text: control characters other than the line ends and the
// tab, or data after a NUL byte, mean another kind of file (a picture, a
// label chosen by mistake in UTF-16...), which would give nonsense entries.
bool looksLikeText(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        for (qsizetype i = nul; i < bytes.size(); ++i)
            if (bytes.at(i) != '\0')
                return false;
    }
    const qsizetype end = nul >= 0 ? nul : bytes.size();
    for (qsizetype i = 0; i < end; ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if ((b < 0x20 && b != '\r' && b != '\n' && b != '\t') || b == 0x7F)
            return false;
    }
    return true;
}

} // namespace

bool read(const QString &path, QStringList *entries, QString *error)
{
    QByteArray bytes;
    if (!TextFile::readBytes(path, &bytes, error))
        return false;
    if (!looksLikeText(bytes)) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier \"%1\" : ce n'est pas une planche d'étiquettes "
                                    "(un fichier texte d'une ligne par étiquette est attendu).")
                         .arg(QFileInfo(path).fileName());
        return false;
    }
    QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
    // An empty entry stays a blank cell.
    const QDir folder = QFileInfo(path).absoluteDir();
    for (QString &line : lines)
        if (!line.isEmpty())
            line = QDir::cleanPath(folder.absoluteFilePath(line));
    *entries = lines;
    return true;
}

bool write(const QString &path, const QStringList &entries, QString *error)
{
    return TextFile::writeLines(path, entries, error);
}

QStringList firstEntries(const QStringList &entries, bool *dropped)
{
    if (dropped)
        *dropped = entries.size() > kMaxEntries;
    return entries.mid(0, kMaxEntries);
}

QString expanded(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace SheetFile
