#pragma once

#include "editor/catalogue.h"
#include "editor/labelfacts.h"
#include "render/labelcontent.h"
#include "shell/labeldocument.h"
#include "shell/labelfile.h"

#include <QList>
#include <QSet>

#include <memory>

class HarmonisedTable;
#include <QString>
#include <QStringList>

// One thing the label checks found, with its level and a French message of
// one line.
struct LabelFinding {
    enum Level { Error, Warning, Note };
    Level level = Note;
    QString message;

    // "erreur", "avertissement", "note".
    static QString levelName(Level level);
    bool operator==(const LabelFinding &) const = default;
};

// The checks of a label against the shipped catalogues and the labelling
// facts (labelfacts.h): the file reads, every ticked statement's code is in
// its catalogue, the identification numbers' check characters, the
// pictogram rules of the editor, the signal word and the pictograms the
// hazard statements call for, the number of precautionary statements, the
// product name and supplier block, and the statements whose choices are left
// to the supplier.
class LabelChecks
{
public:
    // What is checked: the label as a window holds it, or as a file stores it.
    // For a file the pictogram lines and statement texts are the stored ones,
    // so that what the reader would drop is seen.
    struct Subject {
        bool fromFile = false;
        QString path;              // the file, when read from one by path
        LabelFile::Status status;  // how the file read (Ok for a window)
        bool emptyFile = false;    // a file without a single line
        bool labelFile = true;     // its first line is "***fab***"
        QString product;
        QString supplier;
        QString ce = LabelDocument::kEmptyCE;
        QString cas = LabelDocument::kEmptyCAS;
        QString index = LabelDocument::kEmptyINDEX;
        QString signalWord;
        QStringList pictograms;    // codes, "GHS" read as "SGH"
        QStringList statements[3]; // ticked texts: H, P, EUH (Catalogue::Kind order)
        // The label as it is drawn, when known: its statements are laid out
        // to find the first one that does not fit.
        bool laidOut = false;
        LabelContent content;
        bool numberingOnly = false; // printed with the statement codes only
        QString ufi;               // the complements that are checked
        QString capacity;
    };

    static inline const QString kTitle = QStringLiteral("VÉRIFICATION");
    static inline const QString kNoFinding = QStringLiteral("Aucune anomalie détectée.");

    // The checks with the catalogues and facts of a start directory. What
    // could not be read is in problems(); the checks that need it are left
    // out (a missing catalogue: the codes of that list are not looked up).
    static LabelChecks load(const QString &startDirectory);

    void setCatalogue(Catalogue::Kind kind, const QStringList &lines);
    void setFacts(const LabelFacts &facts);
    // The harmonised classification the label's numbers are compared with
    // (none: no comparison).
    void setHarmonisedTable(std::shared_ptr<const HarmonisedTable> table) { m_harmonised = std::move(table); }
    // French messages about the catalogues and facts that could not be read.
    QStringList problems() const { return m_problems; }

    static Subject subjectOf(const LabelDocument &doc);
    // The same with the label as drawn (the frame's sizes and logo, the print
    // options' numbering), so that statements cut at the bottom are found.
    static Subject subjectOf(const LabelDocument &doc, const LabelContent &content);
    // Reads a label file (logo lines resolved against `workingDir`, the
    // file's folder when empty).
    static Subject readSubject(const QString &path, const QString &workingDir = QString());
    static Subject subjectOfLines(const QStringList &lines, const QString &workingDir);

    // The findings, errors first, then warnings, then notes.
    QList<LabelFinding> check(const Subject &subject) const;

    // The text of the desktop's message: one finding per line, "niveau :
    // message", or kNoFinding.
    static QString report(const QList<LabelFinding> &findings);
    // True when a finding is an error or a warning.
    static bool serious(const QList<LabelFinding> &findings);

    // The choices a statement's wording still leaves to the supplier, each as
    // the mark shown to the user ("« … »", "« / »", "« […] »", "« <…> »").
    // A "/" between two words offers alternatives, except in the fixed
    // wordings of the official texts ("et/ou", "contenu/récipient": see
    // fixedWordings), given as "left/right" in lower case; the built-in ones
    // always count.
    static QStringList choiceMarks(const QString &statement, const QSet<QString> &fixedWordings = {});
    // The fixed wordings with "/" of catalogue lines: a statement whose
    // wording has a single "/", between two words, keeps it as it stands
    // (its choices are open lists, with "…" or several "/").
    static QSet<QString> fixedWordings(const QStringList &catalogueLines);
    static const QSet<QString> &builtInFixedWordings();

    // Whether a supplier block gives a telephone number: eight digits or more
    // in one run (blanks, dots, dashes, slashes and brackets between them, a
    // "+" before), or digits after "Tél", "Tel" or "Phone".
    static bool hasTelephone(const QString &supplier);

private:
    void checkReading(const Subject &s, QList<LabelFinding> *out) const;
    void checkStatements(const Subject &s, QList<LabelFinding> *out) const;
    void checkNumbers(const Subject &s, QList<LabelFinding> *out) const;
    void checkPictogramRules(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const;
    void checkSignalWord(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const;
    void checkPictogramFacts(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const;
    void checkContent(const Subject &s, QList<LabelFinding> *out) const;
    void checkLayout(const Subject &s, QList<LabelFinding> *out) const;
    void checkComplements(const Subject &s, QList<LabelFinding> *out) const;
    void checkHarmonised(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const;
    // Whether hazard statement `code` calls for `pictogram` and nothing on the
    // label (its pictograms, its other hazard statements) makes it unnecessary.
    bool calls(const QString &code, const QString &pictogram, const QStringList &hazards,
               const QStringList &pictograms) const;
    // Whether some ticked hazard statement calls for `pictogram`.
    bool required(const QString &pictogram, const QStringList &hazards, const QStringList &pictograms) const;

    bool m_hasCatalogue[3] = {false, false, false};
    QSet<QString> m_codes[3];
    QSet<QString> m_fixedWordings;
    bool m_hasFacts = false;
    LabelFacts m_facts;
    QStringList m_problems;
    std::shared_ptr<const HarmonisedTable> m_harmonised;
};
