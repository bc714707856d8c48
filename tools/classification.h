#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace Xlsx {
struct Sheet;
}

// The harmonised classification and labelling of substances (the European
// table of Annex VI to the CLP regulation), as the program keeps it in its own
// data file "clp/annexe6.txt" of the start directory, imported from the
// agency's .xlsx table.

// One entry of the table, every cell's lines kept as written.
struct HarmonisedEntry {
    QString index;                              // "017-002-00-2"
    QStringList names;                          // one line per substance of a group
    QStringList ec;                             // "231-595-7", "233-139-2 [1]"
    QStringList cas;                            // "7647-01-0"
    QList<QPair<QString, QString>> classes;     // class and category ("Acute Tox. 3 *"), its H code
    QStringList pictograms;                     // "SGH06"
    QString signalWord;                         // "DANGER", "ATTENTION" or empty
    QStringList hazards;                        // the labelling's H lines ("H372 (liver) **")
    QStringList supplemental;                   // the labelling's EUH lines
    QStringList otherLabelling;                 // labelling text the program does not read ("****")
    QStringList limits;                         // specific concentration limits, M-factors
    QStringList notes;                          // "U", "5"
    QString atp;                                // "CLP00/ATP01"

    // A lone "*" after a category: the classification is a minimum one
    // ("Acute Tox. 3 *"; not "Ox. Sol. 2 ****").
    bool hasMinimumClassification() const;
    // The statement code a line starts with: "H360Df **" -> "H360Df",
    // "EUH071" -> "EUH071"; empty when the line is no code.
    static QString code(const QString &line);
};

// A CAS, EC or INDEX number as a user types it, checked.
struct SubstanceNumber {
    enum Kind { Invalid, Cas, Ec, Index };
    Kind kind = Invalid;
    QString number;  // the canonical text ("7647-01-0"), empty when invalid
    QString error;   // why it is not valid (French), when invalid

    static SubstanceNumber check(const QString &text);
    static QString kindName(Kind kind); // "CAS", "CE", "INDEX"
};

class HarmonisedTable
{
public:
    // The data file, relative to the start directory.
    static inline const QString kFileName = QStringLiteral("clp/annexe6.txt");

    QString title;   // the source table's own description of itself
    QString date;    // its update line ("Updated on December 2021")
    QString source;  // the name of the imported file
    QList<HarmonisedEntry> entries;

    // The entries a checked number names (none for an invalid number).
    QList<const HarmonisedEntry *> find(const SubstanceNumber &number) const;
    QList<const HarmonisedEntry *> find(const QString &text) const { return find(SubstanceNumber::check(text)); }
    // The entries that list `text` exactly as written, check digit unverified:
    // the table holds a few numbers whose check digit is not the computed one.
    QList<const HarmonisedEntry *> findAsWritten(const QString &text) const;

    // The data file: read whole (a truncated or hand-damaged file is refused
    // with the line at fault), written atomically.
    static bool read(const QString &path, HarmonisedTable *table, QString *error);
    bool write(const QString &path, QString *error) const;

    // The agency's table: its layout is checked (the header row and its
    // sub-header) before any entry is taken.
    // `progress` is told how far the work has come, from 0 to 1000;
    // returning false stops it (the work then fails).
    using Progress = std::function<bool(int permille)>;
    static bool fromSheet(const Xlsx::Sheet &sheet, const QString &sourceName, HarmonisedTable *table,
                          QString *error, const Progress &progress = {});
    static bool importXlsx(const QString &xlsxPath, HarmonisedTable *table, QString *error,
                           const Progress &progress = {});

    // The table of a start directory, read at its first use and kept; `error`
    // receives why it could not be read (the table is then empty).
    static std::shared_ptr<const HarmonisedTable> shared(const QString &startDirectory, QString *error = nullptr);
    // Forgets what shared() keeps (after an import).
    static void forgetShared();

    void buildIndex();

private:
    QHash<QString, QList<int>> m_byNumber;
};
