#include "tools/xlsxreader.h"

#include "shell/textfile.h"

#include <QHash>
#include <QXmlStreamReader>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include <dlfcn.h>

namespace Xlsx {

namespace {

// Past these the sheet is not a table the program has any use for, and its
// cells would take more memory than a workstation can spare.
constexpr int kMaxColumns = 16384;
constexpr int kMaxRows = 1048576;
constexpr qint64 kMaxCells = 4000000;

const QString kNotZip = QStringLiteral(
    "le fichier n'est pas un classeur .xlsx lisible : son archive zip est tronquée ou endommagée.");
const QString kDamagedEntry = QStringLiteral(
    "le classeur est endommagé : l'entrée « %1 » de son archive zip ne se décompresse pas.");
const QString kTooLarge = QStringLiteral(
    "le classeur se décompresserait en plus de %1 Mo (entrée « %2 ») : il est refusé.");
const QString kEncrypted = QStringLiteral("le classeur est chiffré (entrée « %1 ») : il ne peut pas être lu.");
const QString kMissing = QStringLiteral(
    "le fichier n'est pas un classeur .xlsx : il lui manque « %1 ».");
const QString kBadXml = QStringLiteral(
    "le classeur est endommagé : « %1 » n'est pas du XML valide (ligne %2).");
const QString kNoSheet = QStringLiteral("le classeur ne contient aucune feuille.");
const QString kBadString = QStringLiteral(
    "le classeur est endommagé : la cellule %1 renvoie à la chaîne partagée n° %2, qui n'existe pas.");
const QString kBadCell = QStringLiteral(
    "le classeur est endommagé : la feuille a une cellule mal placée (« %1 », ligne %2).");
const QString kTooManyCells = QStringLiteral(
    "la feuille compte plus de %1 cellules : ce n'est pas un tableau que Kalvane peut lire.");

// The reading's progress, told to the caller's function: parts of the work
// are stages, each a stretch of the 0 to 1000 figure.
class Reporter
{
public:
    explicit Reporter(const Progress &progress) : m_progress(progress) {}
    // `done` of `total` of the stage from `from` to `to`; false once stopped.
    bool at(int from, int to, qint64 done, qint64 total)
    {
        if (!m_progress || m_stopped)
            return !m_stopped;
        const double share = total > 0 ? double(std::clamp<qint64>(done, 0, total)) / double(total) : 1.0;
        const int permille = from + int((to - from) * share);
        if (permille <= m_last)
            return true;
        m_last = permille;
        m_stopped = !m_progress(permille);
        return !m_stopped;
    }
private:
    const Progress &m_progress;
    int m_last = -1;
    bool m_stopped = false;
};

// The stages: expanding the zip, the shared strings, the sheet.
constexpr int kUnzipEnd = 300;
constexpr int kStringsEnd = 400;

// The zip library, loaded when a workbook is first read rather than at every
// start of the program: with the libraries it needs in turn (XML,
// compression, access lists), it would lengthen each start for a reading
// that few runs make. Its functions are taken by name; `error` says why the
// library could not be had.
struct ArchiveLibrary
{
    decltype(&archive_read_new) read_new = nullptr;
    decltype(&archive_read_free) read_free = nullptr;
    decltype(&archive_read_support_format_zip_seekable) read_support_format_zip_seekable = nullptr;
    decltype(&archive_read_open_memory) read_open_memory = nullptr;
    decltype(&archive_read_next_header) read_next_header = nullptr;
    decltype(&archive_entry_pathname_utf8) entry_pathname_utf8 = nullptr;
    decltype(&archive_entry_pathname) entry_pathname = nullptr;
    decltype(&archive_entry_size_is_set) entry_size_is_set = nullptr;
    decltype(&archive_entry_size) entry_size = nullptr;
    decltype(&archive_read_data_skip) read_data_skip = nullptr;
    decltype(&archive_entry_is_encrypted) entry_is_encrypted = nullptr;
    decltype(&archive_read_data) read_data = nullptr;
    decltype(&archive_filter_bytes) filter_bytes = nullptr;
    QString error;
};

// The library's name in the system: its ABI version, the one Debian 12 ships.
constexpr const char *kArchiveLibrary = "libarchive.so.13";

const ArchiveLibrary &archiveLibrary()
{
    static const ArchiveLibrary loaded = [] {
        ArchiveLibrary library;
        void *handle = ::dlopen(kArchiveLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            library.error = QStringLiteral("la bibliothèque de lecture des archives zip (%1) n'a pas pu être chargée "
                                           "(%2) : installez le paquet libarchive13.")
                                .arg(QLatin1String(kArchiveLibrary), QString::fromLocal8Bit(::dlerror()));
            return library;
        }
        const auto find = [handle](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
            return function != nullptr;
        };
        const bool complete = true
            && find(library.read_new, "archive_read_new")
            && find(library.read_free, "archive_read_free")
            && find(library.read_support_format_zip_seekable, "archive_read_support_format_zip_seekable")
            && find(library.read_open_memory, "archive_read_open_memory")
            && find(library.read_next_header, "archive_read_next_header")
            && find(library.entry_pathname_utf8, "archive_entry_pathname_utf8")
            && find(library.entry_pathname, "archive_entry_pathname")
            && find(library.entry_size_is_set, "archive_entry_size_is_set")
            && find(library.entry_size, "archive_entry_size")
            && find(library.read_data_skip, "archive_read_data_skip")
            && find(library.entry_is_encrypted, "archive_entry_is_encrypted")
            && find(library.read_data, "archive_read_data")
            && find(library.filter_bytes, "archive_filter_bytes");
        if (!complete)
            library.error = QStringLiteral("la bibliothèque de lecture des archives zip (%1) est incomplète : "
                                           "une de ses fonctions manque.")
                                .arg(QLatin1String(kArchiveLibrary));
        return library;
    }();
    return loaded;
}

using ArchivePtr = std::unique_ptr<struct archive, int (*)(struct archive *)>;

bool wanted(const QString &name)
{
    return name.startsWith(QLatin1String("xl/"))
           && (name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".rels")));
}

// The workbook's parts that the sheet needs, expanded, every size checked.
bool unzip(const QByteArray &bytes, qint64 maxExpanded, QHash<QString, QByteArray> *parts, QString *error,
           Reporter &reporter)
{
    const ArchiveLibrary &zip = archiveLibrary();
    if (!zip.error.isEmpty()) {
        *error = zip.error;
        return false;
    }
    ArchivePtr a(zip.read_new(), zip.read_free);
    if (!a) {
        *error = kNotZip;
        return false;
    }
    // The seekable reader starts from the central directory at the end: a cut
    // file has none and is refused before anything is expanded.
    zip.read_support_format_zip_seekable(a.get());
    if (zip.read_open_memory(a.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK) {
        *error = kNotZip;
        return false;
    }
    const QString limitMb = QString::number(maxExpanded >> 20);
    qint64 declared = 0;
    qint64 expanded = 0;
    for (;;) {
        struct archive_entry *entry = nullptr;
        const int r = zip.read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN || !entry) {
            *error = kNotZip;
            return false;
        }
        const char *utf8 = zip.entry_pathname_utf8(entry);
        const char *raw = zip.entry_pathname(entry);
        const QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLatin1(raw ? raw : "");
        if (zip.entry_size_is_set(entry)) {
            const qint64 size = zip.entry_size(entry);
            declared += size < 0 ? 0 : size;
            if (size < 0 || declared > maxExpanded) {
                *error = kTooLarge.arg(limitMb, name);
                return false;
            }
        }
        if (!wanted(name) || parts->contains(name)) {
            if (zip.read_data_skip(a.get()) < ARCHIVE_WARN) {
                *error = kDamagedEntry.arg(name);
                return false;
            }
            continue;
        }
        if (zip.entry_is_encrypted(entry)) {
            *error = kEncrypted.arg(name);
            return false;
        }
        // The declared sizes may lie: the bytes are counted as they come.
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const la_ssize_t n = zip.read_data(a.get(), buffer, sizeof buffer);
            if (n == 0)
                break;
            if (n < 0) {
                *error = kDamagedEntry.arg(name);
                return false;
            }
            expanded += n;
            if (expanded > maxExpanded) {
                *error = kTooLarge.arg(limitMb, name);
                return false;
            }
            data.append(buffer, n);
            // How much of the archive's compressed bytes were taken.
            if (!reporter.at(0, kUnzipEnd, zip.filter_bytes(a.get(), -1), bytes.size())) {
                *error = kStopped;
                return false;
            }
        }
        parts->insert(name, data);
    }
    return true;
}

// The UTF-16 unit of an "_xHHHH_" escape at `i`, or -1.
int escapeAt(const QString &stored, qsizetype i)
{
    if (i < 0 || i + 6 >= stored.size() || stored.at(i) != u'_' || stored.at(i + 1) != u'x' || stored.at(i + 6) != u'_')
        return -1;
    bool ok = false;
    const uint code = QStringView(stored).mid(i + 2, 4).toUInt(&ok, 16);
    return ok ? int(code) : -1;
}

// Cell text: the "_xHHHH_" escapes of the format decoded, any line end a "\n".
// A surrogate escape stands only as half of a pair; alone it is kept as
// written, since no text file could store it.
QString cellText(const QString &stored)
{
    QString text;
    text.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const int code = escapeAt(stored, i);
        if (code >= 0 && !QChar::isSurrogate(char32_t(code))) {
            text += QChar(char16_t(code));
            i += 6;
            continue;
        }
        const int low = QChar::isHighSurrogate(char32_t(code)) ? escapeAt(stored, i + 7) : -1;
        if (low >= 0 && QChar::isLowSurrogate(char32_t(low))) {
            text += QChar(char16_t(code));
            text += QChar(char16_t(low));
            i += 13;
            continue;
        }
        text += stored.at(i);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool xmlFailed(const QXmlStreamReader &x, const QString &part, QString *error)
{
    if (!x.hasError())
        return false;
    *error = kBadXml.arg(part).arg(x.lineNumber());
    return true;
}

// A reader that refuses document type declarations (and their entities).
bool nextToken(QXmlStreamReader &x)
{
    x.readNext();
    if (x.tokenType() == QXmlStreamReader::DTD)
        x.raiseError(QStringLiteral("DTD"));
    return !x.atEnd() && !x.hasError();
}

// The text of a rich or plain string element (<si>, <is>): its <t> parts,
// phonetic runs left out.
QString stringItem(QXmlStreamReader &x)
{
    const QString end = x.name().toString();
    QString text;
    while (nextToken(x)) {
        if (x.isEndElement() && x.name() == end)
            break;
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("rPh"))
            x.skipCurrentElement();
        else if (x.name() == QLatin1String("t"))
            text += x.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return cellText(text);
}

bool readSharedStrings(const QByteArray &xml, QStringList *strings, QString *error, Reporter &reporter)
{
    QXmlStreamReader x(xml);
    while (nextToken(x))
        if (x.isStartElement() && x.name() == QLatin1String("si")) {
            strings->append(stringItem(x));
            if (!reporter.at(kUnzipEnd, kStringsEnd, x.characterOffset(), xml.size())) {
                *error = kStopped;
                return false;
            }
        }
    return !xmlFailed(x, QStringLiteral("xl/sharedStrings.xml"), error);
}

// The first sheet's name and relation id.
bool readWorkbook(const QByteArray &xml, QString *name, QString *relation, QString *error)
{
    QXmlStreamReader x(xml);
    while (nextToken(x)) {
        if (x.isStartElement() && x.name() == QLatin1String("sheet")) {
            *name = x.attributes().value(QLatin1String("name")).toString();
            for (const QXmlStreamAttribute &a : x.attributes())
                if (a.name() == QLatin1String("id"))
                    *relation = a.value().toString();
            break;
        }
    }
    if (xmlFailed(x, QStringLiteral("xl/workbook.xml"), error))
        return false;
    if (relation->isEmpty()) {
        *error = kNoSheet;
        return false;
    }
    return true;
}

// The part a relation of the workbook points to, as a path in the archive.
bool sheetPart(const QByteArray &xml, const QString &relation, QString *part, QString *error)
{
    QXmlStreamReader x(xml);
    while (nextToken(x)) {
        if (x.isStartElement() && x.name() == QLatin1String("Relationship")
            && x.attributes().value(QLatin1String("Id")) == relation) {
            QString target = x.attributes().value(QLatin1String("Target")).toString();
            target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            // "xl/../x" and "xl/./x" as a zip names them.
            QStringList kept;
            for (const QString &piece : target.split(u'/')) {
                if (piece == QLatin1String(".."))
                    kept.isEmpty() ? void() : kept.removeLast();
                else if (piece != QLatin1String("."))
                    kept.append(piece);
            }
            *part = kept.join(u'/');
            break;
        }
    }
    if (xmlFailed(x, QStringLiteral("xl/_rels/workbook.xml.rels"), error))
        return false;
    if (part->isEmpty()) {
        *error = kNoSheet;
        return false;
    }
    return true;
}

bool readSheetData(const QByteArray &xml, const QString &part, const QStringList &strings, Sheet *sheet,
                   QString *error, Reporter &reporter)
{
    QXmlStreamReader x(xml);
    int rowNumber = 0;
    qint64 cells = 0;
    while (nextToken(x)) {
        if (!x.isStartElement() || x.name() != QLatin1String("row"))
            continue;
        bool ok = false;
        const int given = x.attributes().value(QLatin1String("r")).toInt(&ok);
        rowNumber = ok ? given : rowNumber + 1;
        if (rowNumber < 1 || rowNumber > kMaxRows) {
            *error = kBadCell.arg(QString::number(rowNumber)).arg(x.lineNumber());
            return false;
        }
        Row row;
        row.number = rowNumber;
        int column = -1;
        while (nextToken(x)) {
            if (x.isEndElement() && x.name() == QLatin1String("row"))
                break;
            if (!x.isStartElement() || x.name() != QLatin1String("c"))
                continue;
            const QString reference = x.attributes().value(QLatin1String("r")).toString();
            const QString type = x.attributes().value(QLatin1String("t")).toString();
            column = reference.isEmpty() ? column + 1 : columnOf(reference);
            if (column < 0 || column >= kMaxColumns) {
                *error = kBadCell.arg(reference).arg(x.lineNumber());
                return false;
            }
            QString value;
            QString inlineText;
            while (nextToken(x)) {
                if (x.isEndElement() && x.name() == QLatin1String("c"))
                    break;
                if (!x.isStartElement())
                    continue;
                if (x.name() == QLatin1String("v"))
                    value = x.readElementText(QXmlStreamReader::IncludeChildElements);
                else if (x.name() == QLatin1String("is"))
                    inlineText = stringItem(x);
                else
                    x.skipCurrentElement();
            }
            if (x.hasError())
                break;
            QString text;
            if (type == QLatin1String("s")) {
                bool isNumber = false;
                const qlonglong n = value.trimmed().toLongLong(&isNumber);
                if (!isNumber || n < 0 || n >= strings.size()) {
                    *error = kBadString.arg(reference, value.trimmed());
                    return false;
                }
                text = strings.at(n);
            } else if (type == QLatin1String("inlineStr")) {
                text = inlineText;
            } else {
                text = cellText(value);
            }
            if (text.isEmpty())
                continue;
            if (column >= row.cells.size()) {
                cells += column + 1 - row.cells.size();
                if (cells > kMaxCells) {
                    *error = kTooManyCells.arg(kMaxCells);
                    return false;
                }
                row.cells.resize(column + 1);
            }
            row.cells[column] = text;
        }
        if (x.hasError())
            break;
        if (!row.cells.isEmpty())
            sheet->rows.append(row);
        if (!reporter.at(kStringsEnd, 1000, x.characterOffset(), xml.size())) {
            *error = kStopped;
            return false;
        }
    }
    return !xmlFailed(x, part, error);
}

} // namespace

int columnOf(const QString &reference)
{
    qint64 column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const QChar c = reference.at(i).toUpper();
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
    }
    return i == 0 ? -1 : int(column - 1);
}

const QString kStopped = QStringLiteral("la lecture du classeur a été interrompue.");

bool readFirstSheet(const QByteArray &bytes, Sheet *sheet, QString *error, qint64 maxExpanded,
                    const Progress &progress)
{
    QString dummy;
    QString &why = error ? *error : dummy;
    *sheet = Sheet();
    Reporter reporter(progress);
    QHash<QString, QByteArray> parts;
    if (!unzip(bytes, maxExpanded, &parts, &why, reporter))
        return false;
    const QString workbook = QStringLiteral("xl/workbook.xml");
    const QString relations = QStringLiteral("xl/_rels/workbook.xml.rels");
    for (const QString &needed : {workbook, relations})
        if (!parts.contains(needed)) {
            why = kMissing.arg(needed);
            return false;
        }
    QString relation, part;
    if (!readWorkbook(parts.value(workbook), &sheet->name, &relation, &why)
        || !sheetPart(parts.value(relations), relation, &part, &why))
        return false;
    if (!parts.contains(part)) {
        why = kMissing.arg(part);
        return false;
    }
    QStringList strings;
    const QString shared = QStringLiteral("xl/sharedStrings.xml");
    if (parts.contains(shared) && !readSharedStrings(parts.value(shared), &strings, &why, reporter))
        return false;
    if (!readSheetData(parts.value(part), part, strings, sheet, &why, reporter)) {
        sheet->rows.clear();
        return false;
    }
    if (!reporter.at(0, 1000, 1, 1)) {
        sheet->rows.clear();
        why = kStopped;
        return false;
    }
    return true;
}

bool readFirstSheet(const QString &path, Sheet *sheet, QString *error, qint64 maxExpanded, const Progress &progress)
{
    QByteArray bytes;
    if (!TextFile::readBytes(path, &bytes, error))
        return false;
    return readFirstSheet(bytes, sheet, error, maxExpanded, progress);
}

} // namespace Xlsx
