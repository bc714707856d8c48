#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// A supplier card: a supplier block (name, address, telephone...) and the path
// of its logo, kept as a ".fab" text file in the suppliers folder so that it
// can be reused on other labels.
//
// The file holds the lines of the supplier text followed by one last line with
// the logo path (empty when there is no logo). It is named after the first line
// of the text. Every name built from that line is checked, so a card is never
// written or deleted anywhere but in the suppliers folder.
class SupplierCard
{
public:
    QString text;     // the supplier text, lines joined by "\n"
    QString logoPath; // the logo path exactly as the card stores it

    static inline const QString kExtension = QStringLiteral(".fab");
    // Longest logo path the program keeps (the frame's current logo path).
    static constexpr int kLogoPathMax = 259;
    // Longest file name the file system takes, in bytes of its encoding.
    static constexpr int kFileNameMax = 255;
    // A card is a few lines; anything bigger is not one.
    static constexpr qint64 kCardSizeMax = 64 * 1024;
    // A logo file bigger than this is refused before it is read.
    static constexpr qint64 kLogoSizeMax = 5 * 1024 * 1024;

    bool operator==(const SupplierCard &) const = default;

    // The suppliers folder of a start directory ("Kalvane/fournisseurs/").
    static QString folder(const QString &startDirectory);

    // The file names of the cards of `folder` ("*.fab"), sorted alphabetically
    // as French readers expect (case and accents at the second level).
    static QStringList list(const QString &folder);

    // The lines of a supplier text as the card stores them (a text ending
    // with a line break ends with an empty line), so that reading a card and
    // writing it back gives the same file.
    static QStringList textLines(const QString &text);
    static QString firstLine(const QString &text);

    // Why `name` (a first line) cannot name a card file; empty when it can.
    static QString nameProblem(const QString &name);
    // Why `path` cannot be a card's logo path; empty when it can.
    static QString logoPathProblem(const QString &path);

    // The card file this card is saved to in `folder`, or empty with a French
    // message in `error` when its first line cannot name a file there or when
    // something other than a plain file has that name. A symbolic link is
    // written through when it leads to a card file (".fab") of the same
    // folder, and refused when it leads anywhere else.
    QString pathIn(const QString &folder, QString *error = nullptr) const;

    // Writes the card into `folder` under its name, replacing an existing card
    // atomically. Nothing is written on any refusal or failure; `error` says why.
    bool write(const QString &folder, QString *error = nullptr) const;

    // The path of the list entry `fileName` of `folder`, or empty with a French
    // message when the entry does not name a card file of that folder.
    static QString entryPath(const QString &folder, const QString &fileName, QString *error = nullptr);

    // Reads a card file. A missing, empty, oversized or non-Windows-1252 file is
    // refused with a French message.
    static bool read(const QString &path, SupplierCard *card, QString *error = nullptr);

    // The stored logo path as a full path: "\" is read as a separator and a
    // relative path is taken from the start directory. A drive-letter path of
    // another system is only given "/" separators. Empty stays empty.
    static QString resolveLogoPath(const QString &stored, const QString &startDirectory);

    // Copies a chosen logo into the suppliers folder `folder`, so that the card
    // keeps it when the original moves: a JPEG picture as it is, a PNG picture
    // as a JPEG one (transparent parts on white, at most kImportedSideMax
    // pixels a side). The copy is named after the original (characters the
    // program's files cannot hold replaced) with ".jpg" for a PNG; an equal
    // file of that name is used again, another one is kept and the copy takes
    // "name (2).jpg". A JPEG picture already in the folder is used as it is.
    // `copied` receives the copy's full path; on failure nothing is written and
    // `error` says why in French.
    static bool importLogo(const QString &source, const QString &folder, QString *copied,
                           QString *error = nullptr);
    static constexpr int kImportedSideMax = 2048;

    // The logo path a card stores for the full path `path`: a logo of the
    // start directory's suppliers folder by its relative name
    // ("Kalvane\fournisseurs\acme.jpg", as the sample card), another path
    // unchanged.
    static QString storedLogoPath(const QString &path, const QString &startDirectory);

    // Decodes a logo file through the program's JPEG codec. Refuses what is not
    // a regular file or is bigger than kLogoSizeMax. With `atLeast` the picture
    // may come out smaller, but at least that size.
    static bool loadLogo(const QString &path, QImage *picture, QString *error = nullptr,
                         QSize atLeast = QSize());
};
