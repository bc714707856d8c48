#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The labelling facts the label checks compare a label with, read from
// "verifications.txt" in the start directory: for a hazard statement code,
// the signal word of every category that uses it, and the pictograms they
// always carry, with the pictograms whose presence makes one unnecessary.
// Codes are hazard statements ("H225") or supplemental ones ("EUH380", the
// hazard classes that carry a signal word but no pictogram).
//
// One fact per line, fields separated by ";", blanks around them ignored,
// "#" starting a comment line:
//   H225;mention;Danger            (Danger, Attention or aucune)
//   H225;pictogramme;SGH02;SGH01   (the last field, optional, lists the
//                                   dispensing pictograms separated by ",";
//                                   "SGH08+H334" is SGH08 with H334 ticked)
//   conseils-maximum;6             (precautionary statements on one label)
class LabelFacts
{
public:
    enum class SignalWord { Danger, Attention, None };

    // A pictogram present on the label that makes a required one unnecessary,
    // when `statement` (if not empty) is ticked too.
    struct Waiver {
        QString pictogram;
        QString statement;
        bool operator==(const Waiver &) const = default;
    };
    struct Pictogram {
        QString code; // "SGH01".."SGH09"
        QList<Waiver> waivers;
        bool operator==(const Pictogram &) const = default;
    };

    static inline const QString kFileName = QStringLiteral("verifications.txt");
    static constexpr int kDefaultMaxPrecautions = 6;
    // The largest facts file read (the shipped one is a few kilobytes).
    static constexpr qint64 kMaxFileSize = 1 << 20;

    // Reads the facts file. Lines that are not facts, and facts that
    // contradict an earlier line, are left out and described in `problems`
    // (French, with the line number). Returns false when the file cannot be
    // read at all (missing, not a regular file, too large).
    bool load(const QString &path, QStringList *problems = nullptr);
    // The same over the lines of a file; `source` names it in the problems.
    void parse(const QStringList &lines, const QString &source, QStringList *problems = nullptr);

    // The signal word of every category using `code`; nothing when the
    // categories differ or the code is unknown.
    std::optional<SignalWord> signalWord(const QString &code) const;
    // The pictograms every category using `code` carries.
    QList<Pictogram> pictograms(const QString &code) const;
    int maxPrecautions() const { return m_maxPrecautions; }

    // Every statement code named by a fact, in file order, each once.
    QStringList codes() const { return m_codes; }
    bool isEmpty() const { return m_codes.isEmpty(); }

private:
    QHash<QString, SignalWord> m_signalWords;
    QHash<QString, QList<Pictogram>> m_pictograms;
    QStringList m_codes;
    int m_maxPrecautions = kDefaultMaxPrecautions;
};
