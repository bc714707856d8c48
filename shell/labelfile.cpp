#include "shell/labelfile.h"

#include "editor/catalogue.h"
#include "shell/colortext.h"
#include "shell/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using LabelFile::Scanner;

namespace {

QString workingDirOr(const QString &workingDir)
{
    return workingDir.isEmpty() ? QDir::currentPath() : workingDir;
}

// The file name part of a path written with either separator.
QString fileNameOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

// One-line fields cannot hold a line break: it would shift every later line.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

void appendPairs(QStringList *lines, const StatementList &list)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).ticked)
            continue;
        lines->append(QString::number(i));
        lines->append(oneLine(list.at(i).text));
    }
}

// Ticks every entry whose code equals the stored text's code and gives it the
// stored wording. The code index is built once per list.
class StatementMatcher {
public:
    explicit StatementMatcher(StatementList *list) : m_list(list)
    {
        for (qsizetype i = 0; i < list->size(); ++i)
            m_byCode[Catalogue::statementCode(list->at(i).text)].append(i);
    }
    void take(const QString &stored)
    {
        const auto found = m_byCode.constFind(Catalogue::statementCode(stored));
        if (found == m_byCode.constEnd())
            return; // no longer in the catalogue: dropped
        for (qsizetype i : *found) {
            (*m_list)[i].ticked = true;
            (*m_list)[i].text = stored;
        }
    }

private:
    StatementList *m_list;
    QHash<QString, QList<qsizetype>> m_byCode;
};

// "GHS" codes of older files are read as "SGH"; only the nine real codes are
// kept, each once, five at most.
QStringList pictogramsFrom(const QStringList &lines)
{
    QStringList codes;
    for (QString code : lines) {
        if (code.startsWith(QLatin1String("GHS")))
            code = QStringLiteral("SGH") + code.right(2);
        bool valid = false;
        for (int n = 1; n <= 9 && !valid; ++n)
            valid = code == LabelDocument::pictogramCode(n);
        if (valid && !codes.contains(code))
            codes.append(code);
        if (codes.size() == 5)
            break;
    }
    return codes;
}

float sizeOrFail(const QString &line)
{
    const auto size = LabelFile::parseSize(line);
    if (!size)
        throw LabelFile::Scanner::Failure{LabelFile::Status::floatConversion(line)};
    return *size;
}

qint32 integerOrFail(const QString &line)
{
    const auto value = ColorText::parseInteger(line);
    if (!value)
        throw LabelFile::Scanner::Failure{LabelFile::Status::integerConversion(line)};
    return *value;
}

// The file name of a logo line "\\fournisseurs\\name" ("/" read as "\\" too):
// empty for the folder alone, nothing when the line has another form or
// the name would leave the folder.
std::optional<QString> logoFileName(QString line)
{
    line.replace(u'\\', u'/');
    const QString prefix = u'/' + LabelFile::kSupplierFolder + u'/';
    if (!line.startsWith(prefix))
        return std::nullopt;
    const QString name = line.mid(prefix.size());
    if (name.contains(u'/') || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    for (QChar c : name)
        if (c.unicode() < 32)
            return std::nullopt;
    return name;
}

void fill(Scanner &scan, LabelDocument *doc, FrameMirrors *mirrors, const QString &workingDir,
          QStringList *warnings)
{
    using namespace LabelFile;
    if (!scan.startsLabel())
        return;

    QStringList supplier = scan.section(kSub);
    const QString logoLine = Scanner::item(supplier, supplier.size() - 1);
    // The logo is taken only from the "fournisseurs" folder beside the label,
    // as the writer puts it there: a line that climbs out of that folder (or
    // has any other form) is not followed, and the label opens without logo.
    QString logoPath;
    if (const std::optional<QString> resolved = LabelFile::logoPath(logoLine, workingDirOr(workingDir))) {
        logoPath = *resolved;
        if (logoPath.size() > FrameMirrors::kLogoPathMax) {
            warnings->append(kLogoPathTooLong.arg(logoLine));
            logoPath.clear();
        }
    } else {
        warnings->append(kLogoLineRefused.arg(logoLine));
    }
    if (mirrors)
        mirrors->logoPath = logoPath;
    doc->logoPath = logoPath;
    supplier.removeLast();
    doc->supplier = memoText(supplier);

    doc->product = memoText(scan.section(kNref));

    const QStringList numbers = scan.section(kComments);
    doc->ce = Scanner::item(numbers, 0);
    doc->cas = Scanner::item(numbers, 1);
    doc->index = Scanner::item(numbers, 2);

    doc->comment = memoText(scan.section(kWarning));

    doc->signalWord = Scanner::item(scan.section(kPic), 0);

    doc->pictograms = pictogramsFrom(scan.section(kHazards));

    StatementMatcher hazards(&doc->hazards);
    scan.pairs(kPrecautions, [&](const QString &text) { hazards.take(text); });
    StatementMatcher precautions(&doc->precautions);
    scan.pairs(kInfos, [&](const QString &text) { precautions.take(text); });
    StatementMatcher supplementary(&doc->supplementary);
    scan.pairs(kFont, [&](const QString &text) { supplementary.take(text); });

    const QString face = scan.after(1).left(FrameMirrors::kFontFaceMax);
    doc->fontFace = face;
    if (mirrors)
        mirrors->fontFace = face;

    const float productSize = sizeOrFail(scan.after(2));
    doc->productSize = sizeText(productSize);
    if (mirrors)
        mirrors->productSize = productSize;

    const float statementSize = sizeOrFail(scan.after(3));
    doc->statementSize = sizeText(statementSize);
    if (mirrors)
        mirrors->statementSize = statementSize;

    // after(4) is the "***marges_echelle***" marker, never looked at.
    doc->scale = scan.after(5);
    integerOrFail(doc->scale);
    doc->marginX = scan.after(6);
    doc->marginY = scan.after(7);

    const QString colorLine = scan.after(8);
    const auto color = ColorText::fromText(colorLine);
    if (!color)
        throw Scanner::Failure{Status::integerConversion(colorLine)};
    doc->productColor = *color;

    // 16, 17 and 18 are the three alignments; another number is kept as the
    // code, and the comment stays centred where it is shown.
    doc->commentAlignment = integerOrFail(scan.after(9));

    if (const qsizetype start = scan.complementStart(); start >= 0)
        readComplements(scan.lines().mid(start), doc, warnings);
}

} // namespace

namespace LabelFile {

Status Status::listIndex(qsizetype index)
{
    return {ListIndex, kListIndexError.arg(index), {}};
}

Status Status::floatConversion(const QString &text)
{
    return {FloatConversion, kFloatError.arg(text), {}};
}

Status Status::integerConversion(const QString &text)
{
    return {IntegerConversion, kIntegerError.arg(text), {}};
}

const QString &Scanner::at(qsizetype index) const
{
    if (index < 0 || index >= m_lines.size()) {
        Status status = Status::listIndex(index);
        status.line = index;
        status.endOfFile = index >= m_lines.size();
        throw Failure{status};
    }
    m_reached = index;
    return m_lines.at(index);
}

const QString &Scanner::after(qsizetype offset) const
{
    // The font face and the two sizes, then the marker and the settings.
    m_part = offset <= 3 ? Part::Font : Part::Settings;
    return at(m_pos + offset);
}

Status Scanner::stopped(Status failure) const
{
    if (failure.line < 0)
        failure.line = m_reached;
    if (failure.line >= 0 && failure.line < m_lines.size())
        failure.lineText = m_lines.at(failure.line);
    failure.lineCount = m_lines.size();
    // A file cut short fails in the part after the one it cut.
    failure.part = failure.endOfFile && m_ranOut ? *m_ranOut : m_part;
    return failure;
}

void Scanner::ranOut(const QString &marker)
{
    if (!m_ranOut && (m_lines.isEmpty() || m_lines.constLast() != marker))
        m_ranOut = m_part;
}

namespace {
// The part a section or statement group ends with `marker` holds.
Part partBefore(const QString &marker)
{
    static const struct {
        const QString &marker;
        Part part;
    } parts[] = {{kSub, Part::Supplier},       {kNref, Part::Product},         {kComments, Part::Numbers},
                 {kWarning, Part::Comments},   {kPic, Part::SignalWord},       {kHazards, Part::Pictograms},
                 {kPrecautions, Part::Hazards}, {kInfos, Part::Precautions},   {kFont, Part::Supplementary}};
    for (const auto &p : parts)
        if (p.marker == marker)
            return p.part;
    return Part::Supplier;
}
} // namespace

const QString &Scanner::item(const QStringList &collected, qsizetype index)
{
    if (index < 0 || index >= collected.size())
        throw Failure{Status::listIndex(index)};
    return collected.at(index);
}

qsizetype Scanner::complementStart() const
{
    const qsizetype eof = m_pos + 10;
    if (eof + 1 >= m_lines.size() || m_lines.at(eof) != kEof || m_lines.at(eof + 1) != kComplements)
        return -1;
    return eof + 2;
}

bool Scanner::startsLabel() const
{
    return at(0) == kFab;
}

QStringList Scanner::section(const QString &marker)
{
    m_part = partBefore(marker);
    const qsizetype last = m_lines.size() - 1;
    QStringList collected;
    ++m_pos;
    do {
        const QString &line = at(m_pos);
        if (line == marker)
            return collected;
        collected.append(line);
        ++m_pos;
    } while (m_pos != last);
    ranOut(marker);
    return collected;
}

void Scanner::pairs(const QString &marker, const std::function<void(const QString &)> &take)
{
    m_part = partBefore(marker);
    const qsizetype last = m_lines.size() - 1;
    ++m_pos;
    do {
        if (at(m_pos) == marker)
            return;
        if (m_pos + 1 == last) {
            m_pos = last;
            break;
        }
        take(at(m_pos + 1));
        m_pos += 2;
    } while (m_pos != last);
    ranOut(marker);
}

QString sizeText(float size)
{
    const double value = size;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', 7);
    text.replace(u'.', u',');
    return text;
}

std::optional<float> parseSize(const QString &text)
{
    QString t = text.trimmed();
    // Only plain decimal notation: no "inf", "nan" or digit grouping.
    for (QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) && c != u'+' && c != u'-' && c != u',' && c != u'.' && c != u'e'
            && c != u'E')
            return std::nullopt;
    t.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > double(FLT_MAX))
        return std::nullopt;
    return float(value);
}

QStringList memoLines(const QString &text)
{
    return TextFile::splitLines(text);
}

QString memoText(const QStringList &lines)
{
    // A memo whose last line is empty ends with a line break: without it the
    // empty line would be lost at the next save.
    QString text = lines.join(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        text += u'\n';
    return text;
}

std::optional<QString> logoPath(const QString &logoLine, const QString &folder)
{
    const std::optional<QString> name = logoFileName(logoLine);
    if (!name)
        return std::nullopt;
    // A line without a file name keeps its final separator, so that the path
    // still names no file and the next save writes the folder alone again.
    return QDir(folder).absoluteFilePath(kSupplierFolder) + u'/' + *name;
}

QStringList serialize(const LabelDocument &doc, const FrameMirrors &mirrors)
{
    QStringList lines;
    lines << kFab;
    lines << memoLines(doc.supplier);
    lines << kLogoPrefix + oneLine(fileNameOf(mirrors.logoPath));
    lines << kSub;
    lines << memoLines(doc.product);
    lines << kNref;
    lines << oneLine(doc.ce) << oneLine(doc.cas) << oneLine(doc.index);
    lines << kComments;
    lines << memoLines(doc.comment);
    lines << kWarning;
    lines << oneLine(doc.signalWord);
    lines << kPic;
    for (const QString &code : doc.pictograms)
        lines << oneLine(code);
    lines << kHazards;
    appendPairs(&lines, doc.hazards);
    lines << kPrecautions;
    appendPairs(&lines, doc.precautions);
    lines << kInfos;
    appendPairs(&lines, doc.supplementary);
    lines << kFont;
    lines << oneLine(mirrors.fontFace);
    lines << sizeText(mirrors.productSize);
    lines << sizeText(mirrors.statementSize);
    lines << kMargins;
    lines << oneLine(doc.scale) << oneLine(doc.marginX) << oneLine(doc.marginY);
    lines << ColorText::toText(doc.productColor);
    lines << QString::number(doc.commentAlignment);
    lines << kEof;
    lines << complementLines(doc);
    return lines;
}

std::optional<double> parseCapacity(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Digits with at most one decimal separator: no sign, exponent or grouping.
    int separators = 0;
    for (QChar c : t) {
        if (c == u',' || c == u'.')
            ++separators;
        else if (!(c.isDigit() && c.unicode() < 128))
            return std::nullopt;
    }
    if (separators > 1 || t == QLatin1String(",") || t == QLatin1String("."))
        return std::nullopt;
    t.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QStringList complementLines(const LabelDocument &doc)
{
    if (!doc.hasComplements())
        return {};
    QStringList lines{kComplements};
    const auto single = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            lines << QLatin1String(key) + u'=' + oneLine(value);
    };
    single("quantite", doc.quantity);
    single("contenance", doc.capacity);
    single("ufi", doc.ufi);
    for (const QString &line : doc.contains)
        lines << QStringLiteral("contient=") + oneLine(line);
    for (const QString &line : doc.infos)
        lines << QStringLiteral("info=") + oneLine(line);
    single("fds", doc.sdsAddress);
    for (const QString &line : doc.otherComplements)
        lines << oneLine(line);
    return lines;
}

void readComplements(const QStringList &lines, LabelDocument *doc, QStringList *warnings)
{
    const auto warn = [&](const QString &message) {
        if (warnings)
            warnings->append(message);
    };
    QSet<QString> seen;
    for (const QString &line : lines) {
        const qsizetype equal = line.indexOf(u'=');
        if (equal < 0) {
            doc->otherComplements << line;
            warn(kComplementLineKept.arg(line));
            continue;
        }
        const QString key = line.left(equal);
        const QString value = line.mid(equal + 1);
        if (key == QLatin1String("contient")) {
            doc->contains << value;
            continue;
        }
        if (key == QLatin1String("info")) {
            doc->infos << value;
            continue;
        }
        QString *field = nullptr;
        if (key == QLatin1String("quantite"))
            field = &doc->quantity;
        else if (key == QLatin1String("contenance"))
            field = &doc->capacity;
        else if (key == QLatin1String("ufi"))
            field = &doc->ufi;
        else if (key == QLatin1String("fds"))
            field = &doc->sdsAddress;
        if (!field) {
            doc->otherComplements << line; // a later version's key
            continue;
        }
        // A second line of a one-value key (or an empty value, which the
        // writer would not write back) stays as it was read.
        if (seen.contains(key) || value.isEmpty()) {
            doc->otherComplements << line;
            if (seen.contains(key))
                warn(kComplementRepeated.arg(line));
            continue;
        }
        seen.insert(key);
        *field = value;
        if (field == &doc->capacity && !parseCapacity(value))
            warn(kCapacityNotNumber.arg(value));
    }
}

QString contentError(const LabelDocument &doc)
{
    // Each section ends at the first line equal to its closing marker.
    const struct {
        QStringList lines;
        const QString &marker;
    } sections[] = {
        {memoLines(doc.supplier), kSub},
        {memoLines(doc.product), kNref},
        {{oneLine(doc.ce), oneLine(doc.cas), oneLine(doc.index)}, kComments},
        {memoLines(doc.comment), kWarning},
        {{oneLine(doc.signalWord)}, kPic},
        {doc.pictograms, kHazards},
    };
    for (const auto &s : sections)
        if (s.lines.contains(s.marker))
            return kMarkerLineError.arg(s.marker);
    return {};
}

Status parse(const QStringList &lines, LabelDocument *doc, FrameMirrors *mirrors, const QString &workingDir)
{
    QStringList warnings;
    Status status;
    Scanner scan(lines);
    try {
        fill(scan, doc, mirrors, workingDir, &warnings);
    } catch (const Scanner::Failure &failure) {
        status = scan.stopped(failure.status);
    }
    status.warnings = warnings;
    return status;
}

Status read(const QString &path, LabelDocument *doc, FrameMirrors *mirrors, const QString &workingDir)
{
    const QString full = QDir::cleanPath(QDir(workingDirOr(workingDir)).absoluteFilePath(path));
    doc->filePath = full;
    doc->title = QFileInfo(full).fileName();
    QStringList lines;
    QString error;
    if (!readLines(full, &lines, &error))
        return {Status::Unreadable, error, {}};
    return parse(lines, doc, mirrors, workingDir);
}

QString partName(Part part)
{
    switch (part) {
    case Part::Supplier: return QStringLiteral("identification du fournisseur");
    case Part::Product: return QStringLiteral("identification du produit");
    case Part::Numbers: return QStringLiteral("numéros CE/CAS/INDEX");
    case Part::Comments: return QStringLiteral("commentaires");
    case Part::SignalWord: return QStringLiteral("mention d'avertissement");
    case Part::Pictograms: return QStringLiteral("pictogrammes");
    case Part::Hazards: return QStringLiteral("mentions de danger");
    case Part::Precautions: return QStringLiteral("conseils de prudence");
    case Part::Supplementary: return QStringLiteral("informations supplémentaires");
    case Part::Font: return QStringLiteral("police et tailles des caractères");
    case Part::Settings: return QStringLiteral("échelle, marges, couleur et alignement");
    }
    return {};
}

QString damageDetail(const Status &status)
{
    if (status.ok())
        return {};
    if (status.kind == Status::Unreadable)
        return status.message;
    const QString part = partName(status.part);
    const qsizetype line = status.line + 1; // as an editor counts them
    QString where;
    if (status.lineCount == 0)
        return QStringLiteral("le fichier est vide.");
    QString shown = status.lineText;
    if (shown.size() > 40)
        shown = shown.left(37) + QStringLiteral("...");
    switch (status.kind) {
    case Status::ListIndex:
        where = status.endOfFile
            ? QStringLiteral("le fichier s'arrête après sa ligne %1, dans la partie « %2 »").arg(status.lineCount).arg(part)
            : QStringLiteral("la partie « %2 » s'arrête trop tôt, à la ligne %1 (une ligne attendue manque)")
                  .arg(line)
                  .arg(part);
        break;
    case Status::FloatConversion:
        where = QStringLiteral("la ligne %1 (« %2 »), dans la partie « %3 », n'est pas une taille de caractères valable")
                    .arg(line)
                    .arg(shown, part);
        break;
    default:
        where = QStringLiteral("la ligne %1 (« %2 »), dans la partie « %3 », n'est pas un nombre entier valable")
                    .arg(line)
                    .arg(shown, part);
        break;
    }
    QStringList read;
    for (int p = int(Part::Supplier); p < int(status.part); ++p)
        read << partName(Part(p));
    const QString done = read.isEmpty()
        ? QStringLiteral("Aucune partie n'a pu être lue en entier.")
        : QStringLiteral("Parties lues en entier : %1 ; la suite n'a pas été lue.").arg(read.join(QStringLiteral(", ")));
    return where + QStringLiteral(". ") + done;
}

QString damageMessage(const QString &path, const Status &status)
{
    if (status.ok())
        return {};
    if (status.kind == Status::Unreadable)
        return status.message;
    return QStringLiteral("Le fichier d'étiquette « %1 » est endommagé ou incomplet : %2")
        .arg(QDir::toNativeSeparators(path), damageDetail(status));
}

namespace {
// Kilobytes up to 10 MB, so that a file just over the limit does not read
// as the limit itself.
QString sizeShown(qint64 size)
{
    if (size >= (10ll << 20))
        return QStringLiteral("%1 Mo").arg((size + (1 << 20) - 1) >> 20);
    return QStringLiteral("%1 Ko").arg((size + 1023) >> 10);
}
} // namespace

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kMaxFileSize) {
        if (error)
            *error = kTooLarge.arg(QDir::toNativeSeparators(path), sizeShown(info.size()), QString::number(kMaxFileSize >> 20));
        return false;
    }
    QByteArray bytes;
    // The limit again: the file may have grown since its size was looked at.
    if (!TextFile::readBytes(path, &bytes, error, kMaxFileSize))
        return false;
    *lines = TextFile::splitLines(TextFile::decode(bytes));
    return true;
}

bool readNativeLines(const QByteArray &nativePath, QStringList *lines, QString *error)
{
    // The name shown is the platform's reading of the bytes.
    const QString shown = QDir::toNativeSeparators(QFile::decodeName(nativePath));
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(shown, why);
        return false;
    };
    // Non-blocking, so that a pipe chosen by mistake cannot hold the program.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(TextFile::systemError(errno));
    struct stat st {};
    QByteArray bytes;
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok) {
        fail(TextFile::systemError(errno));
    } else if (!S_ISREG(st.st_mode)) {
        ok = fail(QStringLiteral("ce n'est pas un fichier ordinaire."));
    } else if (st.st_size > kMaxFileSize) {
        ok = false;
        if (error)
            *error = kTooLarge.arg(shown, sizeShown(st.st_size), QString::number(kMaxFileSize >> 20));
    } else {
        char piece[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, piece, sizeof piece);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = fail(QStringLiteral("erreur de lecture du support."));
                break;
            }
            if (n == 0)
                break;
            bytes.append(piece, qsizetype(n));
            if (bytes.size() > kMaxFileSize) {
                ok = false;
                if (error)
                    *error = kTooLarge.arg(shown, sizeShown(bytes.size()), QString::number(kMaxFileSize >> 20));
                break;
            }
        }
    }
    ::close(fd);
    if (ok)
        *lines = TextFile::splitLines(TextFile::decode(bytes));
    return ok;
}

bool save(const QString &path, LabelDocument *doc, const FrameMirrors &mirrors, QString *error,
          const QString &workingDir, QString *notice)
{
    const QString dir = workingDirOr(workingDir);
    if (const QString refused = contentError(*doc); !refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    const QStringList lines = serialize(*doc, mirrors);

    const QDir supplierDir(QDir(dir).filePath(kSupplierFolder));
    if (!supplierDir.exists() && !QDir(dir).mkdir(kSupplierFolder)) {
        if (error)
            *error = kFolderError;
        return false;
    }
    const QString logoName = oneLine(fileNameOf(mirrors.logoPath));
    if (!logoName.isEmpty() && logoName != QLatin1String(".") && logoName != QLatin1String("..")) {
        const QString target = supplierDir.filePath(logoName);
        const QFileInfo source(QDir(dir).absoluteFilePath(mirrors.logoPath));
        // Never overwrite; a logo that names no file is simply not there. Only
        // a regular JPEG file of sane size is copied: a pipe would block the
        // save and a huge file would be copied whole.
        if (!QFileInfo::exists(target) && source.exists() && source.absoluteFilePath() != QFileInfo(target).absoluteFilePath()) {
            QByteArray bytes;
            QString why;
            if (!TextFile::readBytes(source.absoluteFilePath(), &bytes, &why, kMaxLogoSize))
                ;
            else if (!bytes.startsWith("\xFF\xD8"))
                why = QStringLiteral("ce n'est pas une image JPEG.");
            else if (!TextFile::writeBytes(target, bytes, &why))
                ;
            else
                why.clear();
            if (!why.isEmpty() && notice)
                *notice = kLogoNotCopied.arg(source.fileName(), why);
        }
    }

    const QString full = QDir::cleanPath(QDir(dir).absoluteFilePath(path));
    if (!TextFile::writeLines(full, lines, error))
        return false;
    doc->filePath = full;
    doc->title = QFileInfo(full).fileName();
    return true;
}

} // namespace LabelFile
