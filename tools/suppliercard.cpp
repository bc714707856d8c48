#include "tools/suppliercard.h"

#include "render/jpegcodec.h"
#include "shell/proposedname.h"
#include "shell/textfile.h"

#include <QBuffer>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QLocale>
#include <QStringDecoder>
#include <algorithm>

namespace {

const QString kEmptyName = QStringLiteral(
    "La première ligne de la fiche (le nom du fournisseur) est vide : elle ne peut pas servir de nom de fichier.");
const QString kBlankName = QStringLiteral(
    "La première ligne de la fiche ne contient que des espaces : elle ne peut pas servir de nom de fichier.");
const QString kSeparatorInName = QStringLiteral(
    "Le nom du fournisseur « %1 » contient le caractère « %2 », interdit dans un nom de fichier.");
const QString kDotName = QStringLiteral("« %1 » ne peut pas servir de nom de fichier.");
const QString kControlInName = QStringLiteral(
    "Le nom du fournisseur contient un caractère de contrôle (U+%1), interdit dans un nom de fichier.");
const QString kLongName = QStringLiteral(
    "Le nom du fournisseur est trop long pour nommer un fichier : %1 octets avec « .fab », %2 au plus.");
const QString kOutsideFolder = QStringLiteral("« %1 » n'est pas une fiche du dossier des fournisseurs.");
const QString kControlInText = QStringLiteral(
    "Le texte du fournisseur contient un caractère de contrôle (U+%1) qu'une fiche ne peut pas garder.");
const QString kLongLogoPath = QStringLiteral(
    "Le chemin du logo compte %1 caractères, %2 au plus sont admis :\n%3");
const QString kControlInLogoPath = QStringLiteral("Le chemin du logo contient un caractère de contrôle (U+%1).");
const QString kNoFolder = QStringLiteral("Impossible de créer le dossier des fournisseurs « %1 ».");
const QString kNotRegularCard = QStringLiteral(
    "« %1 » existe dans le dossier des fournisseurs mais n'est pas un fichier ordinaire.");
const QString kLinkOutside = QStringLiteral(
    "« %1 » est un lien qui ne mène pas à une fiche du dossier des fournisseurs : la fiche n'est écrite "
    "que dans ce dossier.");
const QString kCardMissing = QStringLiteral("La fiche « %1 » est introuvable.");
const QString kCardNotFile = QStringLiteral("« %1 » n'est pas un fichier ordinaire : ce n'est pas une fiche.");
const QString kCardTooBig = QStringLiteral(
    "La fiche « %1 » est trop grande (%2 octets) pour être une fiche fournisseur.");
const QString kCardUnreadable = QStringLiteral("Impossible de lire la fiche « %1 ».");
const QString kCardEmpty = QStringLiteral(
    "La fiche « %1 » est vide : il lui manque au moins la ligne du logo.");
const QString kCardUtf8 = QStringLiteral(
    "La fiche « %1 » est enregistrée en UTF-8 et non en Windows-1252.");
const QString kCardNotText = QStringLiteral(
    "La fiche « %1 » n'est pas un texte Windows-1252 (octet 0x%2 à la position %3).");
const QString kLogoMissing = QStringLiteral("Le logo « %1 » est introuvable.");
const QString kLogoNotFile = QStringLiteral("Le logo « %1 » n'est pas un fichier ordinaire.");
const QString kLogoTooBig = QStringLiteral("Le logo « %1 » est trop volumineux (%2 Mo, %3 Mo au plus).");

const QString kLogoNotPicture = QStringLiteral("Le logo « %1 » n'est ni une image JPEG ni une image PNG.");
const QString kLogoBadPng = QStringLiteral("L'image PNG « %1 » ne peut pas être lue : %2");
const QString kLogoPngTooLarge = QStringLiteral(
    "L'image PNG « %1 » est trop grande (%2 × %3 pixels) pour servir de logo.");
const QString kLogoNotCopied = QStringLiteral("Le logo « %1 » n'a pas pu être copié dans le dossier des fournisseurs : %2");
// The largest PNG picture decoded for a logo, in pixels.
constexpr qint64 kPngPixelsMax = 40'000'000;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString hex4(QChar c)
{
    return QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

// The position of the first control character of `text` (NUL included), or
// -1 when there is none.
qsizetype firstControl(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).category() == QChar::Other_Control)
            return i;
    }
    return -1;
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

// Bytes a Windows-1252 text file does not hold: NUL and the other C0 controls
// except tab, CR and LF, DEL, and the five bytes the code page leaves undefined.
int firstForeignByte(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        const bool control = (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (control || undefined)
            return int(i);
    }
    return -1;
}

// Text saved as UTF-8 by another editor: a byte-order mark, or bytes beyond
// ASCII that form valid UTF-8 sequences (Windows-1252 French text practically
// never does, since an accented letter is followed by a plain one).
bool looksLikeUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii)
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // the decoding runs on conversion
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

} // namespace

QString SupplierCard::folder(const QString &startDirectory)
{
    return QDir(startDirectory).absoluteFilePath(QStringLiteral("Kalvane/fournisseurs")) + u'/';
}

QStringList SupplierCard::list(const QString &folder)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*") + kExtension}, QDir::Files | QDir::Hidden,
                                               QDir::NoSort);
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QStringList SupplierCard::textLines(const QString &text)
{
    // A text ending with a line break ends with an empty line: the reader
    // joins the lines back with "\n", so opening and saving a card changes
    // nothing.
    QStringList lines = TextFile::splitLines(text);
    if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        lines.append(QString());
    return lines;
}

QString SupplierCard::firstLine(const QString &text)
{
    return textLines(text).value(0);
}

QString SupplierCard::nameProblem(const QString &name)
{
    if (name.isEmpty())
        return kEmptyName;
    if (const qsizetype at = firstControl(name); at >= 0)
        return kControlInName.arg(hex4(name.at(at)));
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); }))
        return kBlankName;
    for (QChar separator : {QChar(u'/'), QChar(u'\\')}) {
        if (name.contains(separator))
            return kSeparatorInName.arg(name, separator);
    }
    if (name == u"." || name == u"..")
        return kDotName.arg(name);
    const qsizetype bytes = QFile::encodeName(name + kExtension).size();
    if (bytes > kFileNameMax)
        return kLongName.arg(bytes).arg(kFileNameMax);
    return {};
}

QString SupplierCard::logoPathProblem(const QString &path)
{
    if (path.size() > kLogoPathMax)
        return kLongLogoPath.arg(path.size()).arg(kLogoPathMax).arg(path);
    if (const qsizetype at = firstControl(path); at >= 0)
        return kControlInLogoPath.arg(hex4(path.at(at)));
    return {};
}

QString SupplierCard::pathIn(const QString &folder, QString *error) const
{
    const QString name = firstLine(text);
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        setError(error, problem);
        return {};
    }
    const QString path = QDir(folder).absoluteFilePath(name + kExtension);
    // The checks above keep the name a single entry of the folder; this is the
    // last word on it.
    if (!sameFolder(QFileInfo(path).absolutePath(), folder)) {
        setError(error, kOutsideFolder.arg(name + kExtension));
        return {};
    }
    // A link under the card's name is written through, as every file of the
    // program, but only when it leads to a card of this same folder: a card
    // is never written elsewhere. A folder under the name would lose the
    // write; only a plain file is replaced.
    const QFileInfo target(path);
    if (target.isSymLink()) {
        const QFileInfo final(target.canonicalFilePath());
        const QString home = QFileInfo(folder).canonicalFilePath();
        if (final.filePath().isEmpty() || !final.isFile() || home.isEmpty() || final.absolutePath() != home
            || !final.fileName().endsWith(kExtension, Qt::CaseInsensitive)) {
            setError(error, kLinkOutside.arg(target.fileName()));
            return {};
        }
        return path;
    }
    if (target.exists() && !target.isFile()) {
        setError(error, kNotRegularCard.arg(target.fileName()));
        return {};
    }
    return path;
}

bool SupplierCard::write(const QString &folder, QString *error) const
{
    const QString path = pathIn(folder, error);
    if (path.isEmpty())
        return false;
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r') {
            setError(error, kControlInText.arg(hex4(c)));
            return false;
        }
    }
    if (const QString problem = logoPathProblem(logoPath); !problem.isEmpty()) {
        setError(error, problem);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        setError(error, kNoFolder.arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    QStringList lines = textLines(text);
    lines << logoPath;
    return TextFile::writeLines(path, lines, error);
}

QString SupplierCard::entryPath(const QString &folder, const QString &fileName, QString *error)
{
    const bool plain = !fileName.isEmpty() && !fileName.contains(u'/') && fileName != u"." && fileName != u".."
                       && fileName.endsWith(kExtension, Qt::CaseInsensitive);
    const QString path = QDir(folder).absoluteFilePath(fileName);
    if (!plain || !sameFolder(QFileInfo(path).absolutePath(), folder)) {
        setError(error, kOutsideFolder.arg(fileName));
        return {};
    }
    return path;
}

bool SupplierCard::read(const QString &path, SupplierCard *card, QString *error)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists()) {
        setError(error, kCardMissing.arg(name));
        return false;
    }
    if (!info.isFile()) {
        setError(error, kCardNotFile.arg(name));
        return false;
    }
    if (info.size() > kCardSizeMax) {
        setError(error, kCardTooBig.arg(name).arg(info.size()));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, kCardUnreadable.arg(name));
        return false;
    }
    // Read one byte past the limit: the file may have grown since it was listed.
    const QByteArray bytes = file.read(kCardSizeMax + 1);
    if (file.error() != QFileDevice::NoError) {
        setError(error, kCardUnreadable.arg(name));
        return false;
    }
    if (bytes.size() > kCardSizeMax) {
        setError(error, kCardTooBig.arg(name).arg(bytes.size()));
        return false;
    }
    if (bytes.isEmpty()) {
        setError(error, kCardEmpty.arg(name));
        return false;
    }
    if (looksLikeUtf8(bytes)) {
        setError(error, kCardUtf8.arg(name));
        return false;
    }
    if (const int at = firstForeignByte(bytes); at >= 0) {
        const auto b = static_cast<unsigned char>(bytes.at(at));
        setError(error, kCardNotText.arg(name).arg(b, 2, 16, QLatin1Char('0')).arg(at));
        return false;
    }
    QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
    if (lines.isEmpty()) {
        setError(error, kCardEmpty.arg(name));
        return false;
    }
    card->logoPath = lines.takeLast();
    card->text = lines.join(u'\n');
    return true;
}

QString SupplierCard::resolveLogoPath(const QString &stored, const QString &startDirectory)
{
    if (stored.isEmpty())
        return {};
    QString path = stored;
    path.replace(u'\\', u'/');
    // "C:/logos/acme.jpg" or "//server/share/...": a path of another system,
    // which no folder here can complete.
    const bool driveLetter = path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter();
    if (driveLetter || path.startsWith(QStringLiteral("//")))
        return path;
    if (QDir::isAbsolutePath(path))
        return QDir::cleanPath(path);
    return QDir::cleanPath(QDir(startDirectory).absoluteFilePath(path));
}

bool SupplierCard::loadLogo(const QString &path, QImage *picture, QString *error, QSize atLeast)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, kLogoMissing.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!info.isFile()) {
        setError(error, kLogoNotFile.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (info.size() > kLogoSizeMax) {
        const double megabytes = double(info.size()) / (1024.0 * 1024.0);
        setError(error, kLogoTooBig.arg(QDir::toNativeSeparators(path))
                            .arg(QLocale(QLocale::French).toString(megabytes, 'f', 1))
                            .arg(kLogoSizeMax / (1024 * 1024)));
        return false;
    }
    QImage decoded;
    if (!JpegCodec::decodeFile(path, &decoded, error, atLeast))
        return false;
    *picture = decoded;
    return true;
}

bool SupplierCard::importLogo(const QString &source, const QString &folder, QString *copied, QString *error)
{
    const QFileInfo info(source);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists()) {
        setError(error, kLogoMissing.arg(shown));
        return false;
    }
    if (!info.isFile()) {
        setError(error, kLogoNotFile.arg(shown));
        return false;
    }
    if (info.size() > kLogoSizeMax) {
        const double megabytes = double(info.size()) / (1024.0 * 1024.0);
        setError(error, kLogoTooBig.arg(shown)
                            .arg(QLocale(QLocale::French).toString(megabytes, 'f', 1))
                            .arg(kLogoSizeMax / (1024 * 1024)));
        return false;
    }
    QByteArray bytes;
    if (!TextFile::readBytes(info.absoluteFilePath(), &bytes, error, kLogoSizeMax))
        return false;

    QByteArray jpeg;
    QString suffix = QStringLiteral("jpg");
    if (bytes.startsWith("\xFF\xD8")) {
        // Copied as it is, once the codec has read it whole.
        QImage check;
        if (!JpegCodec::decode(bytes, &check, error, QSize(8, 8)))
            return false;
        jpeg = bytes;
        if (info.suffix().compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0)
            suffix = QStringLiteral("jpeg");
        if (sameFolder(info.absolutePath(), folder)) {
            *copied = info.absoluteFilePath();
            return true;
        }
    } else if (bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty()) {
            setError(error, kLogoBadPng.arg(shown, reader.errorString()));
            return false;
        }
        if (qint64(size.width()) * size.height() > kPngPixelsMax) {
            setError(error, kLogoPngTooLarge.arg(shown).arg(size.width()).arg(size.height()));
            return false;
        }
        QImage picture;
        if (!reader.read(&picture) || picture.isNull()) {
            setError(error, kLogoBadPng.arg(shown, reader.errorString()));
            return false;
        }
        if (picture.width() > kImportedSideMax || picture.height() > kImportedSideMax)
            picture = picture.scaled(kImportedSideMax, kImportedSideMax, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        // JPEG has no transparency: transparent parts are the label's white.
        QImage flat(picture.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        {
            QPainter painter(&flat);
            painter.drawImage(0, 0, picture);
        }
        if (!JpegCodec::encode(flat, 90, false, &jpeg, error))
            return false;
    } else {
        setError(error, kLogoNotPicture.arg(shown));
        return false;
    }

    if (!QDir().mkpath(folder)) {
        setError(error, kNoFolder.arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    const QString base = ProposedName::forLabel(info.completeBaseName());
    const QDir dir(folder);
    QString target;
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? QStringLiteral("%1.%2").arg(base, suffix)
                                    : QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(suffix);
        const QString candidate = dir.absoluteFilePath(name);
        const QFileInfo existing(candidate);
        if (!existing.exists() && !existing.isSymLink()) {
            target = candidate;
            break;
        }
        // The same picture chosen again is not copied twice.
        QByteArray present;
        if (existing.isFile() && !existing.isSymLink() && existing.size() == jpeg.size()
            && TextFile::readBytes(candidate, &present, nullptr, kLogoSizeMax) && present == jpeg) {
            *copied = candidate;
            return true;
        }
    }
    if (target.isEmpty()) {
        setError(error, kLogoNotCopied.arg(shown, kNoFolder.arg(QDir::toNativeSeparators(folder))));
        return false;
    }
    QString reason;
    if (!TextFile::replaceFile(target, jpeg, &reason)) {
        setError(error, kLogoNotCopied.arg(shown, reason));
        return false;
    }
    *copied = target;
    return true;
}

QString SupplierCard::storedLogoPath(const QString &path, const QString &startDirectory)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return path;
    const QFileInfo info(path);
    if (!sameFolder(info.absolutePath(), folder(startDirectory)))
        return path;
    return QStringLiteral("Kalvane\\fournisseurs\\") + info.fileName();
}
