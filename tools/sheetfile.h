#pragma once

#include <QString>
#include <QStringList>

// The sheet file (".pla"): the full paths of the label files of one sheet,
// one per line, in print order. Windows-1252 text, CR LF after every line;
// CR LF, CR or LF read; empty lines are empty entries; an empty list is a
// file of 0 bytes. No header, no count.
namespace SheetFile {

constexpr int kMaxEntries = 18;
inline const QString kFilter = QStringLiteral("Planche d'étiquettes |*.pla");
inline const QString kSuffix = QStringLiteral("pla");

// Reads every line of `path` into `entries`. An entry written relative (a
// sheet made by hand) is taken from the sheet file's own folder, so that the
// sheet means the same labels whatever the working folder. A file that cannot
// be read (gone, a folder, no permission, not text) gives false, `entries`
// untouched and a French message naming the file in `error`.
bool read(const QString &path, QStringList *entries, QString *error = nullptr);

// Writes the entries, replacing `path` atomically; on failure the old file is
// whole and `error` holds a French message naming the file.
bool write(const QString &path, const QStringList &entries, QString *error = nullptr);

// The first kMaxEntries entries; `dropped` tells whether any were left out.
QStringList firstEntries(const QStringList &entries, bool *dropped = nullptr);

// A path as the lists hold it: made absolute against the working directory.
QString expanded(const QString &path);

} // namespace SheetFile
