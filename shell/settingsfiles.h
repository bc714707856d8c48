#pragma once

#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

// "dat.ini": eight lines in the start directory (last-used folder, frame
// geometry, print margins and scale), read at start-up and written at closing.
struct DatIni {
    QString lastFolder;
    // Geometry lines are applied one by one until the first that does not
    // convert; the ones after it stay unset.
    std::optional<int> height, width, top, left;
    // Print settings, raw lines 6..8 (absent when the file is shorter).
    std::optional<QString> marginX, marginY, scale;

    static DatIni fromLines(const QStringList &lines);
    QStringList toLines() const;
    // The lines as they can be stored in Windows-1252: a folder whose name
    // the code page cannot hold falls back to `fallbackFolder`, or to "."
    // (the start directory) when that cannot be stored either; a margin or
    // scale text that cannot be stored falls back to its default. No line is
    // ever the reason the whole file is lost.
    QStringList toStorableLines(const QString &fallbackFolder) const;

    // Geometry lines hold any number a hand may write; the frame takes them
    // within these bounds before looking at the screens.
    static constexpr int kGeometryLimit = 100000;

    // Frame geometry as stored at closing: "740", "680", "0", "0" when the frame
    // is maximised or minimised.
    static constexpr int kMaximisedHeight = 740;
    static constexpr int kMaximisedWidth = 680;
};

// "trakvln.ini": one line, the floating preview's opacity slider position.
namespace TrakIni {
constexpr int kMinimum = 155;
constexpr int kMaximum = 255;
constexpr int kDefault = 216;
// The stored position clamped to the slider's range; the default when the
// line is missing or not a number.
int fromLines(const QStringList &lines);
QStringList toLines(int position);
} // namespace TrakIni

// "impression.ini": the print options' choices that "dat.ini" has no line
// for, one "key=value" a line: "disposition=grille" or "disposition=modele",
// "modele=BRAND PART", "debut=N", and one "decalage=PRINTER;X;Y" per printer
// (millimetres, "." as the decimal point; the printer's name may itself
// hold ";", so the numbers are the last two fields). Unknown or broken lines
// are left out when read.
struct PrintIni {
    static inline const QString kFileName = QStringLiteral("impression.ini");
    bool onStock = false;
    QString stock;
    int start = 1;
    QMap<QString, QPointF> offsets; // printer name -> (right, down) in mm
    // Offsets beyond this many millimetres are not a printer's slip: kept
    // within it when read.
    static constexpr double kOffsetLimit = 30.0;

    static PrintIni fromLines(const QStringList &lines);
    QStringList toLines() const;
};

// Whole-number conversion with the toolkit's rules: optional blanks around an
// optional sign and decimal digits; std::nullopt otherwise.
std::optional<int> parseInteger(const QString &text);
