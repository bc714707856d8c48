#pragma once

#include "shell/labelfile.h"

#include <QString>
#include <QStringList>
#include <optional>

// What sheet printing needs of a stored label, read without a label window:
// display texts, some of them already composed. The stored statement texts
// are used as they are; no catalogue is consulted.
//
// LabelDigest::read() replaces the plain items and appends to the composed
// ones (identification, hazards, precautions, supplementary), so a caller
// passes in the texts it wants them to start with. A file whose first line is
// not "***fab***" leaves every item as it came in.
struct LabelDigest {
    QString supplier;       // supplier lines then the logo line, each + CR LF
    QString product;        // product lines, each + CR LF
    QString identification; // composed: "CE: ...", "    CAS: ...", "    INDEX: ..."
    QString comments;       // comment lines, each + CR LF
    QString signalWord;     // the signal word line + CR LF
    QString pictograms;     // the pictogram lines as stored ("GHS" kept), each + CR LF
    QString hazards;        // composed statement groups, see read()
    QString precautions;
    QString supplementary;
    QString fontFace;
    QString colorText;     // as stored, not converted
    QString alignmentText; // as stored, not converted

    // The complements of the block after "_eof", read as the label reader
    // reads them (LabelFile::readComplements); empty without a block.
    QString quantity;
    QString capacity;
    QString ufi;
    QStringList contains;
    QStringList infos;
    QString sdsAddress;

    // The two size lines, once reached: the caller makes them the frame's
    // current sizes (sheet printing saves and restores those around a call).
    std::optional<float> productSize;
    std::optional<float> statementSize;

    // Reads the lines of a label file by the same rules as the label reader.
    // Each statement group is built from the text line of every stored pair:
    // with `numberingOnly` the statement codes joined by ", ", otherwise each
    // whole text followed by a line feed; then, in both modes, one line feed.
    // On failure the items reached before the failing line are filled.
    LabelFile::Status read(const QStringList &lines, bool numberingOnly);

    // The same for a file, `path` made absolute against `workingDir` (the
    // process's working directory when empty).
    LabelFile::Status readFile(const QString &path, bool numberingOnly, const QString &workingDir = QString());

    // The identification line of the three numbers, appended to `text`: each
    // number that is not its empty pattern, the CAS number without blanks.
    static void appendIdentification(QString *text, const QString &ce, const QString &cas, const QString &index);
};
