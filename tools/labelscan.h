#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Finds the label files of one folder whose names begin with, or contain, a
// typed text. The text may hold the wildcards "*" (any run of characters) and
// "?" (one character); every other character stands for itself, and names are
// compared without regard to letter case. Only the entries of the folder
// itself are looked at: a text holding a separator finds nothing.
//
// A search object keeps the sorted label files of the last folder it read and
// reads the folder again as soon as the folder changes (any file added,
// removed or renamed in it), so that typing in a folder of thousands of labels
// does not list and sort the folder at every keystroke.
class LabelScan
{
public:
    enum class Mode { StartsWith, Contains };

    static inline const QString kExtension = QStringLiteral(".kvln");

    // The names (without folder) of the label files of `folder` that match
    // the text, sorted as the file list shows them. Hidden files, folders and
    // dangling links are left out; a folder that cannot be read gives nothing.
    QStringList find(const QString &folder, const QString &text, Mode mode);
    // The same without keeping anything.
    static QStringList scan(const QString &folder, const QString &text, Mode mode);

    // The name pattern for a search text: the text, preceded by "*" when the
    // names may contain it anywhere, followed by "*.kvln".
    static QString pattern(const QString &text, Mode mode);

    // Whether a file name matches a pattern of the form above, ignoring case.
    static bool matches(const QString &pattern, const QString &name);

    // Sorts names alphabetically the way a French reader expects: letter case
    // and accents are secondary ("acide" between "ACETONE" and "BASE", "Éther"
    // beside "Ether"); names equal in that order keep a fixed order.
    static void sortNames(QStringList &names);

    // Whether the platform refuses a path for its length (the whole path, or
    // one of its names).
    static bool pathTooLong(const QString &path);

    // A file name on the disk that is not valid in the system's encoding
    // (UTF-8: bytes of an old archive) cannot travel through a QString and
    // back. Such a name is listed as it reads, its valid UTF-8 sequences as
    // such and every other byte as Windows-1252 ("caf", byte E9, ".kvln" is
    // listed "café.kvln"; a name already taken gets the replacement
    // character U+FFFD before its extension), and nativeName() gives its
    // real bytes.
    static QString readableName(const QByteArray &bytes);
    // The bytes on the disk of a name of the last folder read: the real ones
    // for a name listed by its reading, otherwise the system's encoding.
    QByteArray nativeName(const QString &name) const;
    // The bytes of `name` in `folder` (see nativeName()).
    QByteArray nativePath(const QString &folder, const QString &name) const;

private:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 seconds = 0;
        qint64 nanoseconds = 0;
        bool operator==(const Stamp &) const = default;
    };
    bool read(const QString &folder);

    QString m_folder;
    Stamp m_stamp;
    bool m_kept = false;
    QStringList m_names;  // the folder's label files, sorted
    QStringList m_folded; // the same names, case-folded
    QHash<QString, QByteArray> m_native; // names listed by their reading, and their bytes
};
