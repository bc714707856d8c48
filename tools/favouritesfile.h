#pragma once

#include <QString>
#include <QStringList>

// The favourites file "fav.dat" of the start directory: one favourite folder
// per line, in the order of the list, nothing else.
class FavouritesFile
{
public:
    static inline const QString kFileName = QStringLiteral("fav.dat");

    // Reads the favourite folders. Blank lines are skipped, a folder listed
    // twice is kept once, a relative line is taken below `baseFolder` and
    // every folder is written in its clean form (no trailing separator), so
    // that it compares equal to the working directory the platform reports.
    // A missing file gives an empty list. Returns false with a French message
    // when the file exists but cannot be read. A file whose text a NUL byte
    // cuts short gives the folders before the cut and false, with `partial`
    // set and a message naming the file and where it stopped: such a list
    // must never be written back over the file.
    static bool read(const QString &path, const QString &baseFolder, QStringList *folders,
                     QString *error = nullptr, bool *partial = nullptr);

    // Replaces the file with the folders, atomically. An empty list gives an
    // empty file. On failure the old file stays whole and `error` holds a
    // French message.
    static bool write(const QString &path, const QStringList &folders, QString *error = nullptr);

    // The favourites a session starts with: the stored ones, or the last-used
    // folder alone when nothing is stored (nothing when there is none). The
    // first is made current.
    static QStringList startList(const QString &lastUsedFolder, const QStringList &stored);

    // Whether a folder can be kept in the file: its path must fit in
    // Windows-1252 and hold no line break. Otherwise `problem` says why, in
    // French.
    static bool storable(const QString &folder, QString *problem = nullptr);
};
