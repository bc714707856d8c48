#pragma once

#include "editor/checkdigits.h"

#include <QList>
#include <QString>
#include <QStringList>

// The local substance database: the records of one ".csv" file of the
// "databases" folder, kept as four parallel lists (NOM, CE, CAS, INDEX; entry i
// of each belongs to record i, in file order), with the search, the ordering
// and the two writes the database window runs.
//
// The file is Windows-1252 text with CR LF line ends. Line 1 is a header that
// is never interpreted; every other line is one record, each field followed by
// "|". A field is the text up to its "|"; when that "|" is missing the field and
// all later ones are empty; text after the fourth "|" is ignored. There is no
// quoting, so a field can hold neither "|" nor a line break: the writes refuse
// such a record instead of damaging the lines that follow it.
class SubstanceDatabase
{
public:
    enum Field { Nom = 0, Ce = 1, Cas = 2, Index = 3 };
    static constexpr int kFieldCount = 4;
    enum class Match { StartsWith, Contains };

    struct Record {
        QString nom;
        QString ce;
        QString cas;
        QString index;
        const QString &field(Field f) const;
        bool operator==(const Record &) const = default;
    };

    enum class LoadResult { Loaded, Missing, Failed, Partial };

    static inline const QString kDefaultName = QStringLiteral("db_francais");
    static inline const QString kFolderName = QStringLiteral("databases");
    static inline const QString kExtension = QStringLiteral(".csv");
    static inline const QString kBackupExtension = QStringLiteral(".bak");
    // The header a save writes, and the one a delete writes.
    static inline const QString kSaveHeader = QStringLiteral("NOM|CE|CAS|INDEX");
    static inline const QString kDeleteHeader = QStringLiteral("NOM|CE|CAS|INDEX|");
    // A stored number that is empty.
    static inline const QString kNoNumber = QStringLiteral("-");
    // Larger files are refused rather than read into memory.
    static constexpr qint64 kMaxFileSize = 256LL * 1024 * 1024;

    // `startDirectory` ends with a separator (or is empty for the working
    // directory); the databases live in its "databases" folder.
    explicit SubstanceDatabase(const QString &startDirectory = QString());

    // The current database name and its two files.
    QString name() const { return m_name; }
    QString folder() const;
    QString filePath() const;
    QString backupPath() const;
    // Makes `name` the current database (the lists are not touched). Refused,
    // with a French message, when the name could lead outside the folder.
    bool setName(const QString &name, QString *error = nullptr);
    static bool isValidName(const QString &name, QString *error = nullptr);
    // The name a combo text stands for: "db_francais.csv" gives "db_francais";
    // a text without the extension is taken whole.
    static QString nameFromText(const QString &text);
    // The database file names of the folder ("x.csv"), sorted by name.
    QStringList fileNames() const;

    // Reads the current database into the lists. A missing file leaves them
    // empty (Missing); an unreadable or oversized one too (Failed, with a
    // French message). A file whose text a NUL byte cuts short (a damaged
    // file, a UTF-16 one) gives the records before the cut (Partial, with a
    // French message naming the file and where it stopped) and is never
    // written back. `lineCount()` is the number of lines read, header
    // included.
    LoadResult load(QString *error = nullptr);
    void clear();
    int lineCount() const { return m_lineCount; }
    // Whether the lists hold the file's content (or the file does not exist
    // yet), so that writing them back loses nothing.
    bool writable() const { return m_writable; }

    int count() const { return int(m_fields[Nom].size()); }
    const QStringList &field(Field f) const { return m_fields[f]; }
    Record record(int i) const;
    void append(Record r);
    // Index of the first / last record whose NOM equals `nom` byte for byte.
    int firstIndexOf(const QString &nom) const;
    int lastIndexOf(const QString &nom) const;

    // Records whose `f` starts with / contains `text` (case-sensitive), in list
    // order; an empty text matches every record.
    QList<int> search(const QString &text, Field f, Match m) const;

    // Saving: the last record with the same NOM takes `r`, or `r` is appended;
    // the file is rewritten sorted with the save header, and the lists then
    // hold the records in the file's order. Deleting: the first record with
    // that NOM is removed (nothing when there is none) and the file rewritten in
    // list order with the delete header. Both keep the previous file as the
    // ".bak" and replace the file atomically; no write is made when the ".bak"
    // cannot be; on any failure the file and the lists stay as they were and
    // `error` says why in French. When the new file took the old one's place
    // but could not be confirmed on the disk (its folder not synced), the
    // lists follow the file and the call succeeds with that warning in
    // `error`, which is otherwise emptied on success.
    bool save(const Record &r, QString *error = nullptr);
    bool remove(const QString &nom, QString *error = nullptr, bool *found = nullptr);

    // One record line and its reading.
    static QString recordLine(const Record &r);
    static Record parseLine(const QString &line);
    // A French message when a field holds a character the file cannot keep
    // ("|", a line break, NUL, or one outside Windows-1252); empty when fine.
    static QString fieldProblem(const Record &r);

    // A masked field's text as stored (CE and INDEX as shown, CAS without
    // blanks, "-" when empty), and back into the field's form.
    static QString storedNumber(IdentificationNumbers::Kind kind, const QString &fieldText);
    static QString fieldText(IdentificationNumbers::Kind kind, const QString &stored);
    // Lays `characters` into the free positions of a mask's empty text from the
    // right ("  7732-18-5" from "7732185"); extra characters on the left are
    // dropped.
    static QString rightFilled(const QString &emptyText, const QString &characters);

    // A typed text as the search box and the name field keep it: à â ä, è é ê
    // ë, î ï, ò ô ö, û ü lose their accent, then everything is upper case.
    static QString foldTyped(const QString &text);
    // An edit of a field that folds what is typed: `before` was the field's
    // text, `after` is the edited one with the caret at `*cursor`. Only the
    // characters the edit put in are folded (what was there keeps its accents
    // and case, so a stored name shown in the field stays that name); the
    // caret follows when folding changes the length ("ß" becomes "SS").
    static QString foldInserted(const QString &before, const QString &after, int *cursor);

    // The order that sorts `keys` ascending in the user's locale, comparing
    // case-insensitively or not; stable, so equal keys keep their order.
    static QList<int> sortedOrder(const QList<QStringView> &keys, Qt::CaseSensitivity cs);
    static QList<int> sortedOrder(const QStringList &keys, Qt::CaseSensitivity cs);

private:
    // The text of the file: the header, then the given record lines (views
    // into one text, each followed by its line end there).
    bool write(const QString &header, const QString &lines, const QList<qsizetype> &starts,
               const QList<int> &order, QString *error) const;
    // Appends record i's line (or `r` for `i == replacing`) and its line end.
    void appendLine(QString &text, int i, int replacing, const Record &r) const;

    QString m_startDirectory;
    QString m_name = kDefaultName;
    QStringList m_fields[kFieldCount];
    int m_lineCount = 0;
    bool m_writable = true;
};
