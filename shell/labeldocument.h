#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

// One statement line of a label's H, P or EUH list: the whole catalogue line
// (code, colon, wording) as printed, and whether the label carries it.
struct StatementEntry {
    QString text;
    bool ticked = false;
    bool operator==(const StatementEntry &) const = default;
};
using StatementList = QList<StatementEntry>;

// Comment alignment codes: word-wrap plus the horizontal alignment.
enum CommentAlignment { AlignLeftCode = 16, AlignCenterCode = 17, AlignRightCode = 18 };

// The content of one label, as a plain value. The label window holds the same
// values in its controls and can hand out or take in a LabelDocument.
struct LabelDocument {
    static inline const QString kUntitled = QStringLiteral("Sans_titre");
    static inline const QString kEmptyCE = QStringLiteral("   -   - ");
    static inline const QString kEmptyCAS = QStringLiteral("      -  - ");
    static inline const QString kEmptyINDEX = QStringLiteral("   -   -  - ");
    // Typing limits of the label window (line breaks included); a label file
    // may hold longer texts, which are kept. The supplier block holds a name,
    // two address lines and two telephone lines.
    static constexpr int kProductMax = 128;
    static constexpr int kSupplierMax = 320;
    static constexpr int kCommentMax = 255;
    static constexpr int kSignalWordMax = 15;

    QString title;                       // window caption
    QString filePath = kUntitled;        // Lab_filename
    QString product;                     // Memo_S
    QColor productColor = Qt::black;     // Memo_S background
    QString ce = kEmptyCE;               // maskCE
    QString cas = kEmptyCAS;             // maskCAS
    QString index = kEmptyINDEX;         // maskINDEX
    QString comment;                     // Memo_C
    int commentAlignment = AlignCenterCode; // GPComment tag
    QString signalWord = QStringLiteral("DANGER"); // ComboBox1
    QString supplier;                    // Memo_F
    QString logoPath = QStringLiteral("logo"); // LabLOGO
    QStringList pictograms;              // LB_picto, "SGH01".."SGH09", at most five
    StatementList hazards;               // CheckListBox2
    StatementList precautions;           // CheckListBox3
    StatementList supplementary;         // CheckListBox4
    QString fontFace = QStringLiteral("Arial"); // status panel 2
    QString productSize = QStringLiteral("20");  // status panel 5
    QString statementSize = QStringLiteral("8"); // status panel 8
    QString marginX = QStringLiteral("0");  // Lab_margeX
    QString marginY = QStringLiteral("0");  // Lab_margeY
    QString scale = QStringLiteral("100");  // Lab_echelle
    bool numberingOnly = false;          // CB_hpeuh

    // The label's complements, stored in the block after "_eof" (see
    // labelfile.h) and edited on the "Compléments" tab.
    QString quantity;                    // quantite: nominal quantity as printed
    QString capacity;                    // contenance: package capacity in litres ("0,5")
    QString ufi;                         // ufi: "XXXX-XXXX-XXXX-XXXX"
    QStringList contains;                // contient: one line each
    QStringList infos;                   // info: supplementary information, one line each
    QString sdsAddress;                  // fds: the safety data sheet's address
    QStringList otherComplements;        // block lines this version does not know, kept in order

    // True when any complement is set (the block is then written).
    bool hasComplements() const;

    // Black text on a pure white block, white text on every other colour.
    static QColor textColorFor(const QColor &background);
    QColor productTextColor() const { return textColorFor(productColor); }

    // Selection flag of pictogram n (1..9): set exactly when the list holds it.
    bool pictogramSelected(int n) const;
    static QString pictogramCode(int n); // 1 -> "SGH01"

    bool operator==(const LabelDocument &) const = default;
};
