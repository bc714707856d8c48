#pragma once

#include "shell/framemirrors.h"
#include "shell/labeldocument.h"

#include <QColor>
#include <QString>
#include <QStringList>

struct LabelDigest;

// Everything one drawing of a label needs, as plain values: built from a label
// window's document and the frame mirrors, or from the digest of a label file.
struct LabelContent {
    // False when no label window is active: the picture is only filled white.
    bool present = true;
    // Drawn from a label file through its digest: several block heights are one
    // pixel less and the gap below the product name of the page drawing differs.
    bool stored = false;

    // Folder holding the pictogram pictures "SGH01.jpg"... (the start directory).
    QString pictogramFolder;
    QStringList pictograms;          // codes in label order, at most five are drawn

    QString supplier;                // drawn text of the supplier block
    int supplierLines = 0;           // lines counted for its height
    QString logoPath;                // JPEG drawn at the top right when the file exists

    QString product;
    int productLines = 0;
    QColor productColor = Qt::black; // pure white: rule and black text, else a band

    QString identity;                // composed CE / CAS / INDEX line

    QString comment;
    int commentLines = 0;
    int commentAlignment = AlignCenterCode;

    QString signalWord;
    QString statements;              // the H, P and EUH groups joined, then the
                                     // supplementary information (infoBlock)

    // The complements: drawn only when set, so a label without them is drawn
    // exactly as before.
    QString complement;              // "UFI : …" and the nominal quantity (complementLine)
    QString contains;                // "Contient : …" (containsLine)
    QString sdsAddress;              // drawn as a QR code in the bottom right corner

    QString fontFace = QStringLiteral("Arial");
    double productSize = 20.0;
    double statementSize = 8.0;
    // The statements' size for one print job, as a factor of their own size
    // (1: as the label sets it). Only a sheet job changes it.
    double statementScale = 1.0;
    bool numberingOnly = false;

    // The active label: a window's document plus the frame's mirrors of it
    // (text settings and logo path) and the print options' numbering-only box.
    // The text settings and the logo path come from `mirrors`, not from the
    // document.
    static LabelContent fromDocument(const LabelDocument &doc, const FrameMirrors &mirrors, bool numberingOnly,
                                     const QString &pictogramFolder);

    // A stored label from its digest (read with the same numbering-only switch).
    // The supplier block's last line, the logo line, is appended as it stands
    // to `workingDirectory` to give the logo path and is not drawn. The sizes
    // are the digest's, or `current`'s when the file did not reach them. A
    // colour or alignment text that cannot be read gives black or centred, with
    // a French message in `problems`.
    static LabelContent fromDigest(const LabelDigest &digest, const FrameMirrors &current, bool numberingOnly,
                                   const QString &workingDirectory, const QString &pictogramFolder,
                                   QStringList *problems = nullptr);

    // The identity line: "CE: " + CE, "    CAS: " + CAS without blanks,
    // "    INDEX: " + INDEX, each part only when its mask is not empty.
    static QString identityLine(const QString &ce, const QString &cas, const QString &index);

    // The statement block from the ticked entries of the three lists.
    static QString statementBlock(const StatementList &h, const StatementList &p,
                                  const StatementList &euh, bool numberingOnly);

    // The line near the product identifier: "UFI : " + the UFI, then the
    // nominal quantity, each only when set.
    static QString complementLine(const QString &ufi, const QString &quantity);
    // "Contient : " + the components joined by ", " (empty lines left out);
    // empty without components.
    static QString containsLine(const QStringList &contains);
    // Appends the supplementary information to a statement block: after an
    // empty line, one line each (the block's own final line breaks dropped).
    static void appendInfos(QString *statements, const QStringList &infos);

    // Text sizes are drawn within these bounds, whatever a file holds.
    static constexpr double kMinimumSize = 2.0;
    static constexpr double kMaximumSize = 300.0;
    static double drawableSize(double points);

    // Lines of a memo's text (line feed, CR LF or CR separated); an empty text has
    // none, and an empty last line after a final line break is not counted.
    static int lineCount(const QString &text);
};
