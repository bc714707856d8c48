#pragma once

#include "shell/framemirrors.h"
#include "shell/labeldocument.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>


// The label file (".kvln"): Windows-1252 lines in sections opened by markers,
// in a fixed order, with a positional tail:
//
//   ***fab***  supplier lines, logo line ("\fournisseurs\" + file name)
//   ***sub***  product lines
//   ***nref*** CE, CAS and INDEX lines
//   ***commentaires***  comment lines
//   ***avertissement*** signal word
//   ***pic***  pictogram codes
//   ***dangers*** / ***prudence*** / ***infos***  pairs of lines for each
//              ticked H, P and EUH statement: its position in the list, then
//              its whole text
//   ***fonte***  font face, product size, statement size
//   ***marges_echelle***  scale, margin X, margin Y, colour, alignment code
//   _eof
//   ***kalvane***  only for a label with complements (LabelDocument::
//              hasComplements): "key=value" lines quantite, contenance, ufi,
//              contient (one line each, repeated), info (idem), fds, then
//              the lines this version does not know, as they were read.
//              Older readers stop at "_eof" and never see the block.
//
// Both readers (the label reader and the sheet digest, labeldigest.h) walk
// the file with the same Scanner, so they stop and fail at the same lines.
namespace LabelFile {

inline const QString kFab = QStringLiteral("***fab***");
inline const QString kSub = QStringLiteral("***sub***");
inline const QString kNref = QStringLiteral("***nref***");
inline const QString kComments = QStringLiteral("***commentaires***");
inline const QString kWarning = QStringLiteral("***avertissement***");
inline const QString kPic = QStringLiteral("***pic***");
inline const QString kHazards = QStringLiteral("***dangers***");
inline const QString kPrecautions = QStringLiteral("***prudence***");
inline const QString kInfos = QStringLiteral("***infos***");
inline const QString kFont = QStringLiteral("***fonte***");
inline const QString kMargins = QStringLiteral("***marges_echelle***");
inline const QString kEof = QStringLiteral("_eof");
inline const QString kComplements = QStringLiteral("***kalvane***");
// The logo line's folder part, kept with backslashes so files travel.
inline const QString kLogoPrefix = QStringLiteral("\\fournisseurs\\");
inline const QString kSupplierFolder = QStringLiteral("fournisseurs");

// French messages, as the application's error box shows them.
inline const QString kListIndexError = QStringLiteral("Indice de liste hors limites (%1)");
inline const QString kFloatError = QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte");
inline const QString kIntegerError = QStringLiteral("'%1' n'est pas une valeur entière correcte");
inline const QString kFolderError = QStringLiteral("Impossible de créer le répertoire \"fournisseurs\".");
inline const QString kMarkerLineError = QStringLiteral(
    "La ligne « %1 » ne peut pas être enregistrée telle quelle : à la relecture, elle serait prise "
    "pour une marque de section du fichier d'étiquette. Modifiez-la avant d'enregistrer.");

inline const QString kLogoLineRefused = QStringLiteral(
    "La ligne du logo « %1 » ne désigne pas une image du dossier \"fournisseurs\" de l'étiquette : "
    "l'étiquette est ouverte sans logo.");
inline const QString kLogoPathTooLong = QStringLiteral(
    "Le chemin du logo « %1 » est trop long : l'étiquette est ouverte sans logo.");
inline const QString kLogoNotCopied = QStringLiteral(
    "Le logo « %1 » n'a pas été copié dans le dossier \"fournisseurs\" de l'étiquette : %2");
inline const QString kComplementLineKept = QStringLiteral(
    "La ligne « %1 » des compléments de l'étiquette n'a pas la forme « clé=valeur » : elle est "
    "gardée telle quelle et réécrite à l'enregistrement.");
inline const QString kComplementRepeated = QStringLiteral(
    "La ligne « %1 » des compléments de l'étiquette répète une valeur déjà lue : elle est gardée "
    "telle quelle et réécrite à l'enregistrement, mais n'est pas affichée.");
inline const QString kCapacityNotNumber = QStringLiteral(
    "La contenance de l'emballage « %1 » n'est pas un nombre de litres : elle est gardée telle "
    "quelle ; corrigez-la dans l'onglet « Compléments ».");

// The largest logo file copied beside a label.
constexpr qint64 kMaxLogoSize = 16ll << 20;

// The largest label file read. A real label is a few kilobytes: the three
// statement catalogues together are under 20 KB, so a label ticking every
// statement with long texts stays under 40 KB. A megabyte leaves room for any
// hand-edited label and keeps a stray large file (a log, an archive renamed)
// from freezing the sheet preview, printing or the batch tool.
constexpr qint64 kMaxFileSize = 1ll << 20;
inline const QString kTooLarge = QStringLiteral(
    "Le fichier « %1 » est trop volumineux pour un fichier d'étiquette (%2 ; une étiquette fait quelques "
    "kilo-octets, au plus %3 Mo sont lus) : il n'est pas lu.");

// The parts of a label file, in file order, to say where a read stopped.
enum class Part { Supplier, Product, Numbers, Comments, SignalWord, Pictograms, Hazards, Precautions,
                  Supplementary, Font, Settings };
// The part's name as the user knows it ("mentions de danger").
QString partName(Part part);

// How a read ended. A failed read keeps what it filled before the failure.
struct Status {
    enum Kind { Ok, ListIndex, FloatConversion, IntegerConversion, Unreadable };
    Kind kind = Ok;
    QString message; // empty when Ok
    // What the reader set aside without stopping (a logo line it refused), in
    // French, to be told to the user once.
    QStringList warnings;
    // Where a failed read stopped (not for Unreadable): the line (from 0),
    // whether the file ended there, the text of that line when it exists,
    // the file's number of lines and the part being read.
    qsizetype line = -1;
    bool endOfFile = false;
    QString lineText;
    qsizetype lineCount = 0;
    Part part = Part::Supplier;

    Status() = default;
    Status(Kind k, const QString &text, const QStringList &told = {}) : kind(k), message(text), warnings(told) {}

    bool ok() const { return kind == Ok; }
    static Status listIndex(qsizetype index);
    static Status floatConversion(const QString &text);
    static Status integerConversion(const QString &text);
};

// Walks the lines of a label file. Each step that needs a line outside the
// file throws Scanner::Failure with the list-index error; parse() and the
// digest turn it into their Status.
class Scanner {
public:
    struct Failure {
        Status status;
    };

    explicit Scanner(const QStringList &lines) : m_lines(lines) {}

    // `failure` completed with where the scan stood: the last line looked at
    // (unless the failure names its own), the part and the line count.
    Status stopped(Status failure) const;

    // Line 0 is "***fab***". Fails on a file without any line.
    bool startsLabel() const;

    // Steps past the current line, then collects lines until `marker`. The
    // scan compares a line first and collects it only when it is not the
    // marker; it stops at the marker or when it reaches the file's last line,
    // without looking at that line. The cursor is left on the stopping line.
    QStringList section(const QString &marker);

    // Steps past the current line, then reads statement pairs (position line,
    // text line) until `marker`, handing each text line to `take`. A section
    // whose text line would be the file's last line ends there.
    void pairs(const QString &marker, const std::function<void(const QString &)> &take);

    // The line `offset` lines after the cursor (the positional tail).
    const QString &after(qsizetype offset) const;

    const QString &at(qsizetype index) const;
    qsizetype position() const { return m_pos; }
    const QStringList &lines() const { return m_lines; }

    // With the cursor on "***fonte***" after the statement sections: the
    // index of the first complement line when the tail's "_eof" is followed
    // by the complements marker, else -1. Never fails.
    qsizetype complementStart() const;

    // Item `index` of a collected section; fails like a line outside the file.
    static const QString &item(const QStringList &collected, qsizetype index);

private:
    const QStringList &m_lines;
    qsizetype m_pos = 0;
    // Notes that a section or group ran into the file's end before its
    // marker: its last line was never taken, so that part is not whole.
    void ranOut(const QString &marker);

    mutable qsizetype m_reached = 0; // the last line looked at
    mutable Part m_part = Part::Supplier;
    std::optional<Part> m_ranOut; // the part that ran into the file's end
};

// The lines of a size: a whole number without decimals ("20"), otherwise the
// number with a decimal comma.
QString sizeText(float size);
// Reads a size line; a decimal comma or point is accepted. std::nullopt when
// the text is not a finite single-precision number.
std::optional<float> parseSize(const QString &text);

// Memo text to its lines and back (line breaks CR LF, CR or LF; a final line
// break adds no line; an empty text has no line).
QStringList memoLines(const QString &text);
QString memoText(const QStringList &lines);

// A package capacity in litres: a plain decimal number, comma or point
// ("0,5", "1", "25"), finite and not negative; std::nullopt otherwise.
std::optional<double> parseCapacity(const QString &text);

// The complement block of `doc`, marker included; empty when the label has
// no complement. Values are put on one line.
QStringList complementLines(const LabelDocument &doc);

// Reads complement lines (after the marker) into `doc`. Nothing is lost: a
// line without "=", an unknown key or a repeated one-value key goes to
// otherComplements as it stands; a line without "=", a repeated key and a
// capacity that is no number are also said in `warnings` (French).
void readComplements(const QStringList &lines, LabelDocument *doc, QStringList *warnings);

// The logo file named by a logo line, in the "fournisseurs" folder of
// `folder`; std::nullopt when the line is not "\\fournisseurs\\" followed by a
// plain file name ("/" is read as "\\"), so that no line can name a file
// outside that folder. The folder alone gives a path ending with "/".
std::optional<QString> logoPath(const QString &logoLine, const QString &folder);

// The lines of the file for `doc`, with the text settings and the logo taken
// from the frame mirrors. Line breaks inside one-line fields become blanks.
QStringList serialize(const LabelDocument &doc, const FrameMirrors &mirrors);

// A text the writer refuses: a content line that the readers would take for
// the marker closing its section. Empty when the label can be written.
QString contentError(const LabelDocument &doc);

// Fills `doc` from the lines of a label file. `doc` comes in with its
// defaults and the three statement lists loaded from the catalogues; ticked
// entries are found by statement code and take the stored wording. `mirrors`
// (optional) receives the font face, sizes and logo path as they are read.
// The logo line is resolved against `workingDir` (the process's working
// directory when empty), with "\" read as a folder separator.
// Pictograms: at most five distinct codes SGH01..SGH09 are kept, in order,
// "GHS" being read as "SGH"; other lines are dropped.
// On failure, what was filled before the failing line stays.
Status parse(const QStringList &lines, LabelDocument *doc, FrameMirrors *mirrors = nullptr,
             const QString &workingDir = QString());

// What a read that stopped means for the user, in French: where it stopped
// (line, part) and which parts were read whole.
QString damageDetail(const Status &status);
// The same naming the file: "Le fichier d'étiquette « path » est endommagé ou
// incomplet : ...". An unreadable file gives its reading error (which names
// it).
QString damageMessage(const QString &path, const Status &status);

// Reads the lines of a label file, refusing files over kMaxFileSize (kTooLarge)
// and what TextFile::readBytes refuses. French message naming the file.
bool readLines(const QString &path, QStringList *lines, QString *error = nullptr);
// The same for a file named by its bytes on the disk (a name that is not
// valid in the system's encoding, which a QString path cannot carry).
bool readNativeLines(const QByteArray &nativePath, QStringList *lines, QString *error = nullptr);

// Reads the file at `path` (made absolute) into `doc`: its file path becomes
// that path and its title the file name, then parse() runs. A file that
// cannot be opened gives Status::Unreadable with the reading error.
Status read(const QString &path, LabelDocument *doc, FrameMirrors *mirrors = nullptr,
            const QString &workingDir = QString());

// Writes `doc` to `path` (made absolute against `workingDir`, the process's
// working directory when empty):
// creates "fournisseurs" in `workingDir` (kFolderError and nothing written
// when that fails), copies the file named by the mirrors' logo path into it
// unless a file of that name is already there (a failed copy is ignored),
// then replaces the file atomically. On success doc's file path and title
// take the new path and name; on failure they stay, the old file is left
// whole and `error` holds a French message.
// A logo that exists but cannot be copied (not a regular JPEG file of sane
// size, or the copy failed) does not stop the save; `notice` then says why.
bool save(const QString &path, LabelDocument *doc, const FrameMirrors &mirrors, QString *error = nullptr,
          const QString &workingDir = QString(), QString *notice = nullptr);

} // namespace LabelFile
