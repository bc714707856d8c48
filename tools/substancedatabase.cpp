#include "tools/substancedatabase.h"

#include "shell/textfile.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringMatcher>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

const QString kBar = QStringLiteral("|");
const QString kLineEnd = QStringLiteral("\r\n");
const char *const kFieldNames[SubstanceDatabase::kFieldCount] = {"NOM", "CE", "CAS", "INDEX"};

const QString kBadName = QStringLiteral(
    "Le nom de base de données « %1 » n'est pas valable :\n"
    "il ne doit contenir ni « / », ni « \\ », ni « .. », ni caractère de contrôle.");
const QString kEmptyName = QStringLiteral("Le nom de la base de données est vide.");
const QString kNotAFile = QStringLiteral("« %1 » n'est pas un fichier de base de données.");
const QString kTooLarge = QStringLiteral(
    "Le fichier « %1 » est trop volumineux pour une base de données (%2 Mo, au plus %3 Mo).");
const QString kUnreadable = QStringLiteral("Le fichier « %1 » ne peut pas être lu.");
const QString kNotWritable = QStringLiteral(
    "La base de données « %1 » n'a pas pu être lue entièrement : elle n'est pas modifiée, "
    "pour ne pas perdre ses fiches.");
const QString kCut = QStringLiteral(
    "La base de données « %1 » n'a pas pu être lue entièrement : le fichier « %2 » contient %3.\n"
    "Seules les %4 fiches lues avant cet endroit sont affichées ; la base ne sera ni enregistrée ni "
    "modifiée, pour ne pas perdre les fiches qui suivent.");
const QString kBackupFailed = QStringLiteral(
    "La base de données « %1 » n'a pas été enregistrée : sa copie de sécurité « %2 » n'a pas pu être écrite (%3).\n"
    "Le fichier est resté tel qu'il était.");
const QString kBackupUnread = QStringLiteral(
    "La base de données « %1 » n'a pas été enregistrée : son contenu actuel n'a pas pu être lu pour en faire "
    "la copie de sécurité « %2 ».\nLe fichier est resté tel qu'il était.");
const QString kNotConfirmed = QStringLiteral(
    "La base de données « %1 » a été enregistrée, mais pas de façon sûre : %2");
const QString kBarInField = QStringLiteral(
    "Le champ %1 contient le caractère « | », qui sépare les champs dans la base de données.\n"
    "La fiche n'a pas été enregistrée.");
const QString kBreakInField = QStringLiteral(
    "Le champ %1 contient un saut de ligne, qui couperait la fiche en deux dans la base de données.\n"
    "La fiche n'a pas été enregistrée.");
const QString kNulInField = QStringLiteral(
    "Le champ %1 contient un caractère nul, qui effacerait la suite de la base de données.\n"
    "La fiche n'a pas été enregistrée.");
const QString kNotEncodable = QStringLiteral(
    "Le champ %1 contient le caractère « %2 », que la base de données ne peut pas enregistrer "
    "(jeu de caractères Windows-1252).\nLa fiche n'a pas été enregistrée.");
const QString kNotEncodableText = QStringLiteral(
    "Le caractère « %1 » ne peut pas être enregistré dans la base de données (jeu de caractères Windows-1252).");
const QString kWriteFailed = QStringLiteral(
    "La base de données « %1 » n'a pas pu être enregistrée : %2.\n"
    "Le fichier est resté tel qu'il était.");
const QString kReasonFolder = QStringLiteral("le dossier « %1 » ne peut pas être créé ou n'est pas accessible en écriture");

// A name shown in a message: control characters as "?".
QString shownName(const QString &name)
{
    QString s = name;
    for (QChar &c : s)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    return s;
}

} // namespace

const QString &SubstanceDatabase::Record::field(Field f) const
{
    switch (f) {
    case Nom: return nom;
    case Ce: return ce;
    case Cas: return cas;
    case Index: break;
    }
    return index;
}

SubstanceDatabase::SubstanceDatabase(const QString &startDirectory)
    : m_startDirectory(startDirectory)
{
}

QString SubstanceDatabase::folder() const
{
    return m_startDirectory + kFolderName + u'/';
}

QString SubstanceDatabase::filePath() const
{
    return folder() + m_name + kExtension;
}

QString SubstanceDatabase::backupPath() const
{
    return folder() + m_name + kBackupExtension;
}

bool SubstanceDatabase::isValidName(const QString &name, QString *error)
{
    if (name.isEmpty()) {
        if (error)
            *error = kEmptyName;
        return false;
    }
    bool ok = !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QLatin1String(".."));
    for (QChar c : name)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            ok = false;
    if (!ok && error)
        *error = kBadName.arg(shownName(name));
    return ok;
}

bool SubstanceDatabase::setName(const QString &name, QString *error)
{
    if (!isValidName(name, error))
        return false;
    m_name = name;
    return true;
}

QString SubstanceDatabase::nameFromText(const QString &text)
{
    if (text.endsWith(kExtension))
        return text.left(text.size() - kExtension.size());
    return text;
}

QStringList SubstanceDatabase::fileNames() const
{
    const QDir dir(folder());
    QStringList names;
    const QStringList found = dir.entryList({QStringLiteral("*") + kExtension}, QDir::Files | QDir::Readable | QDir::CaseSensitive,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString &f : found)
        if (isValidName(nameFromText(f)))
            names << f;
    return names;
}

void SubstanceDatabase::clear()
{
    for (QStringList &l : m_fields)
        l = QStringList();
    m_lineCount = 0;
}

SubstanceDatabase::LoadResult SubstanceDatabase::load(QString *error)
{
    clear();
    m_writable = false;
    const QString path = filePath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        // A new database: a save creates the file.
        m_writable = true;
        return LoadResult::Missing;
    }
    if (!info.isFile()) {
        if (error)
            *error = kNotAFile.arg(shownName(info.fileName()));
        return LoadResult::Failed;
    }
    if (info.size() > kMaxFileSize) {
        if (error)
            *error = kTooLarge.arg(shownName(info.fileName()))
                         .arg(info.size() / (1024 * 1024))
                         .arg(kMaxFileSize / (1024 * 1024));
        return LoadResult::Failed;
    }
    QByteArray bytes;
    if (!TextFile::readBytes(path, &bytes, nullptr, kMaxFileSize)) {
        if (error)
            *error = kUnreadable.arg(shownName(info.fileName()));
        return LoadResult::Failed;
    }
    // A NUL byte ends the text: what follows it (the rest of the records,
    // or nearly all of a UTF-16 file) is not read, so the lists must never
    // be written back over the file.
    const QString cut = TextFile::cutDescription(bytes);
    const QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
    bytes = QByteArray();
    m_lineCount = int(lines.size());
    const qsizetype records = qMax<qsizetype>(0, lines.size() - 1);
    for (QStringList &l : m_fields)
        l.reserve(records);
    for (qsizetype i = 1; i < lines.size(); ++i)
        append(parseLine(lines.at(i)));
    if (!cut.isEmpty()) {
        if (error)
            *error = kCut.arg(shownName(m_name), shownName(info.fileName()), cut).arg(count());
        return LoadResult::Partial;
    }
    m_writable = true;
    return LoadResult::Loaded;
}

SubstanceDatabase::Record SubstanceDatabase::record(int i) const
{
    return {m_fields[Nom].at(i), m_fields[Ce].at(i), m_fields[Cas].at(i), m_fields[Index].at(i)};
}

void SubstanceDatabase::append(Record r)
{
    m_fields[Nom].append(std::move(r.nom));
    m_fields[Ce].append(std::move(r.ce));
    m_fields[Cas].append(std::move(r.cas));
    m_fields[Index].append(std::move(r.index));
}

int SubstanceDatabase::firstIndexOf(const QString &nom) const
{
    return int(m_fields[Nom].indexOf(nom));
}

int SubstanceDatabase::lastIndexOf(const QString &nom) const
{
    return int(m_fields[Nom].lastIndexOf(nom));
}

QList<int> SubstanceDatabase::search(const QString &text, Field f, Match m) const
{
    const QStringList &values = m_fields[f];
    const int n = int(values.size());
    QList<int> found;
    if (text.isEmpty()) {
        found.resize(n);
        std::iota(found.begin(), found.end(), 0);
        return found;
    }
    if (m == Match::StartsWith) {
        for (int i = 0; i < n; ++i)
            if (values.at(i).startsWith(text))
                found.append(i);
    } else {
        const QStringMatcher matcher(text);
        for (int i = 0; i < n; ++i)
            if (matcher.indexIn(values.at(i)) >= 0)
                found.append(i);
    }
    return found;
}

QString SubstanceDatabase::recordLine(const Record &r)
{
    QString line;
    line.reserve(r.nom.size() + r.ce.size() + r.cas.size() + r.index.size() + 4);
    for (const QString *f : {&r.nom, &r.ce, &r.cas, &r.index}) {
        line += *f;
        line += kBar;
    }
    return line;
}

SubstanceDatabase::Record SubstanceDatabase::parseLine(const QString &line)
{
    Record r;
    QString *fields[kFieldCount] = {&r.nom, &r.ce, &r.cas, &r.index};
    qsizetype pos = 0;
    for (QString *f : fields) {
        const qsizetype bar = line.indexOf(u'|', pos);
        if (bar < 0)
            break; // this field and the later ones stay empty
        // The empty-number mark is shared rather than held once per record.
        if (bar - pos == 1 && line.at(pos) == u'-')
            *f = kNoNumber;
        else
            *f = line.mid(pos, bar - pos);
        pos = bar + 1;
    }
    return r;
}

QString SubstanceDatabase::fieldProblem(const Record &r)
{
    for (int k = 0; k < kFieldCount; ++k) {
        const QString &value = r.field(Field(k));
        const QString name = QLatin1String(kFieldNames[k]);
        for (QChar c : value) {
            if (c == u'|')
                return kBarInField.arg(name);
            if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                return kBreakInField.arg(name);
            if (c == QChar::Null)
                return kNulInField.arg(name);
        }
        QByteArray bytes;
        QChar bad;
        if (!TextFile::encode(value, &bytes, &bad))
            return kNotEncodable.arg(name, QString(bad));
    }
    return {};
}

QString SubstanceDatabase::storedNumber(IdentificationNumbers::Kind kind, const QString &text)
{
    if (text == IdentificationNumbers::emptyText(kind) || text.trimmed().isEmpty())
        return kNoNumber;
    if (kind == IdentificationNumbers::Kind::CAS) {
        QString packed = text;
        packed.remove(u' ');
        return packed;
    }
    return text;
}

QString SubstanceDatabase::fieldText(IdentificationNumbers::Kind kind, const QString &stored)
{
    const QString empty = IdentificationNumbers::emptyText(kind);
    if (stored.trimmed().isEmpty() || stored == kNoNumber)
        return empty;
    if (kind != IdentificationNumbers::Kind::CAS)
        return stored;
    // CAS numbers are stored without their leading blanks; each group goes
    // back to the right of its place in the field.
    QStringList groups = stored.split(u'-');
    const QStringList places = empty.split(u'-');
    bool fits = groups.size() == places.size();
    for (qsizetype i = 0; fits && i < groups.size(); ++i) {
        groups[i].remove(u' ');
        fits = groups.at(i).size() <= places.at(i).size();
    }
    if (fits) {
        for (qsizetype i = 0; i < groups.size(); ++i)
            groups[i] = groups.at(i).rightJustified(places.at(i).size(), u' ');
        return groups.join(u'-');
    }
    QString characters = stored;
    characters.remove(u' ');
    characters.remove(u'-');
    return rightFilled(empty, characters);
}

QString SubstanceDatabase::rightFilled(const QString &emptyText, const QString &characters)
{
    QString result = emptyText;
    qsizetype next = characters.size() - 1;
    for (qsizetype pos = result.size() - 1; pos >= 0 && next >= 0; --pos)
        if (result.at(pos) != u'-')
            result[pos] = characters.at(next--);
    return result;
}

QString SubstanceDatabase::foldTyped(const QString &text)
{
    static const QString from = QStringLiteral("àâäèéêëîïòôöûü");
    static const QString to = QStringLiteral("aaaeeeeiiooouu");
    QString folded = text;
    for (QChar &c : folded) {
        const qsizetype i = from.indexOf(c);
        if (i >= 0)
            c = to.at(i);
    }
    return folded.toUpper();
}

QString SubstanceDatabase::foldInserted(const QString &before, const QString &after, int *cursor)
{
    const qsizetype caret = cursor ? std::clamp<qsizetype>(*cursor, 0, after.size()) : after.size();
    // What follows the caret was there before (typing, pasting and dropping
    // insert just before the caret); what precedes the insertion is the
    // longest common start. Other edits (undo, a deletion) put nothing in.
    qsizetype tail = after.size() - caret;
    if (tail > before.size() || !before.endsWith(QStringView(after).mid(caret)))
        tail = 0;
    const qsizetype end = after.size() - tail;
    const qsizetype limit = std::min(end, before.size() - tail);
    qsizetype start = 0;
    while (start < limit && before.at(start) == after.at(start))
        ++start;
    if (start >= end)
        return after;
    const QString folded = foldTyped(after.mid(start, end - start));
    if (cursor && *cursor >= end)
        *cursor += int(folded.size() - (end - start));
    return after.left(start) + folded + after.mid(end);
}

QList<int> SubstanceDatabase::sortedOrder(const QStringList &keys, Qt::CaseSensitivity cs)
{
    QList<QStringView> views;
    views.reserve(keys.size());
    for (const QString &k : keys)
        views.append(k);
    return sortedOrder(views, cs);
}

QList<int> SubstanceDatabase::sortedOrder(const QList<QStringView> &keys, Qt::CaseSensitivity cs)
{
    const int n = int(keys.size());
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    if (n < 2)
        return order;

    QCollator collator; // the user's locale
    collator.setCaseSensitivity(cs);
    // The "C" locale's collator has no case-insensitive sort key: compare
    // plainly there.
    const bool plain = collator.locale().language() == QLocale::C;
    auto less = [&](int a, int b) {
        return (plain ? keys.at(a).compare(keys.at(b), cs) : collator.compare(keys.at(a), keys.at(b))) < 0;
    };

    // A file written by a save is in order already, and a save changes one
    // record: the keys then form a few ascending runs, merged in linear time.
    // Descending runs (a reversed grid) are strictly descending, so turning
    // them round keeps equal keys in their order.
    constexpr int kMaxRuns = 16;
    QList<int> runEnds;
    for (int begin = 0; begin < n && runEnds.size() <= kMaxRuns;) {
        int end = begin + 1;
        if (end < n && less(order.at(end), order.at(begin))) {
            while (end < n && less(order.at(end), order.at(end - 1)))
                ++end;
            std::reverse(order.begin() + begin, order.begin() + end);
        } else {
            while (end < n && !less(order.at(end), order.at(end - 1)))
                ++end;
        }
        runEnds.append(end);
        begin = end;
    }
    if (runEnds.size() <= kMaxRuns) {
        while (runEnds.size() > 1) {
            QList<int> merged;
            int begin = 0;
            for (qsizetype r = 0; r < runEnds.size(); r += 2) {
                if (r + 1 < runEnds.size()) {
                    std::inplace_merge(order.begin() + begin, order.begin() + runEnds.at(r),
                                       order.begin() + runEnds.at(r + 1), less);
                    merged.append(runEnds.at(r + 1));
                } else {
                    merged.append(runEnds.at(r));
                }
                begin = merged.last();
            }
            runEnds = merged;
        }
        return order;
    }

    // Out of order: compare sort keys, each computed once.
    std::iota(order.begin(), order.end(), 0);
    if (plain) {
        std::vector<QString> folded;
        folded.reserve(n);
        for (QStringView k : keys)
            folded.push_back(cs == Qt::CaseInsensitive ? k.toString().toCaseFolded() : k.toString());
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return folded[a] < folded[b]; });
    } else {
        std::vector<QCollatorSortKey> sortKeys;
        sortKeys.reserve(n);
        for (QStringView k : keys)
            sortKeys.push_back(collator.sortKey(QString::fromRawData(k.data(), k.size())));
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return sortKeys[a].compare(sortKeys[b]) < 0; });
    }
    return order;
}

void SubstanceDatabase::appendLine(QString &text, int i, int replacing, const Record &r) const
{
    for (int k = 0; k < kFieldCount; ++k) {
        text += i == replacing ? r.field(Field(k)) : m_fields[k].at(i);
        text += kBar;
    }
    text += kLineEnd;
}

bool SubstanceDatabase::write(const QString &header, const QString &lines, const QList<qsizetype> &starts,
                              const QList<int> &order, QString *error) const
{
    QString text;
    text.reserve(header.size() + kLineEnd.size() + lines.size());
    text += header;
    text += kLineEnd;
    for (int i : order)
        text += QStringView(lines).mid(starts.at(i), starts.at(i + 1) - starts.at(i));
    QByteArray bytes;
    QChar bad;
    if (!TextFile::encode(text, &bytes, &bad)) {
        if (error)
            *error = kNotEncodableText.arg(bad);
        return false;
    }
    text = QString();

    const QString path = filePath();
    if (!QDir().mkpath(folder())) {
        if (error)
            *error = kWriteFailed.arg(shownName(m_name), kReasonFolder.arg(QDir::toNativeSeparators(folder())));
        return false;
    }
    // The previous content becomes the backup, itself replaced atomically. A
    // save without its backup is not made: the user counts on the ".bak" to
    // undo it.
    const QString backupName = shownName(m_name + kBackupExtension);
    QString reason;
    if (QFileInfo::exists(path)) {
        QByteArray previous;
        if (!TextFile::readBytes(path, &previous, nullptr, kMaxFileSize)) {
            if (error)
                *error = kBackupUnread.arg(shownName(m_name), backupName);
            return false;
        }
        if (!TextFile::replaceFile(backupPath(), previous, &reason)) {
            if (error) {
                reason.chop(reason.endsWith(u'.') ? 1 : 0);
                *error = kBackupFailed.arg(shownName(m_name), backupName, reason);
            }
            return false;
        }
    }
    bool replaced = false;
    if (!TextFile::replaceFile(path, bytes, &reason, &replaced)) {
        if (error) {
            if (replaced) {
                *error = kNotConfirmed.arg(shownName(m_name), reason);
            } else {
                reason.chop(reason.endsWith(u'.') ? 1 : 0);
                *error = kWriteFailed.arg(shownName(m_name), reason);
            }
        }
        // The file holds the new content all the same: the lists follow it.
        return replaced;
    }
    if (error)
        error->clear();
    return true;
}

bool SubstanceDatabase::save(const Record &r, QString *error)
{
    if (!m_writable) {
        if (error)
            *error = kNotWritable.arg(shownName(m_name));
        return false;
    }
    const QString problem = fieldProblem(r);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    const int n = count();
    const int found = lastIndexOf(r.nom);
    const int replacing = found >= 0 ? found : n;
    const int total = found >= 0 ? n : n + 1;

    // Every record line in one text, and where each starts: the sort compares
    // views of it, and the file is put together from it in the new order.
    qsizetype size = 0;
    for (const QStringList &l : m_fields)
        for (const QString &f : l)
            size += f.size() + 1;
    QString lines;
    lines.reserve(size + qsizetype(total) * 2 + r.nom.size() + r.ce.size() + r.cas.size() + r.index.size() + 8);
    QList<qsizetype> starts;
    starts.reserve(total + 1);
    for (int i = 0; i < total; ++i) {
        starts.append(lines.size());
        appendLine(lines, i, replacing, r);
    }
    starts.append(lines.size());
    QList<QStringView> keys;
    keys.reserve(total);
    for (int i = 0; i < total; ++i)
        keys.append(QStringView(lines).mid(starts.at(i), starts.at(i + 1) - starts.at(i) - kLineEnd.size()));
    const QList<int> order = sortedOrder(keys, Qt::CaseInsensitive);
    keys.clear();
    if (!write(kSaveHeader, lines, starts, order, error))
        return false;

    // The lists now follow the file, as a reload would leave them; the
    // strings move into their new places.
    for (int k = 0; k < kFieldCount; ++k) {
        QStringList old = std::move(m_fields[k]);
        QStringList moved;
        moved.reserve(total);
        for (int i : order)
            moved.append(i == replacing ? r.field(Field(k)) : std::move(old[i]));
        m_fields[k] = std::move(moved);
    }
    m_lineCount = total + 1;
    return true;
}

bool SubstanceDatabase::remove(const QString &nom, QString *error, bool *found)
{
    if (found)
        *found = false;
    if (!m_writable) {
        if (error)
            *error = kNotWritable.arg(shownName(m_name));
        return false;
    }
    const int removed = firstIndexOf(nom);
    QString lines;
    QList<qsizetype> starts;
    QList<int> order;
    starts.reserve(count() + 1);
    order.reserve(count());
    for (int i = 0; i < count(); ++i) {
        starts.append(lines.size());
        appendLine(lines, i, -1, Record());
        if (i != removed)
            order.append(i);
    }
    starts.append(lines.size());
    if (!write(kDeleteHeader, lines, starts, order, error))
        return false;
    if (removed >= 0) {
        for (QStringList &l : m_fields)
            l.removeAt(removed);
        if (found)
            *found = true;
    }
    m_lineCount = count() + 1;
    return true;
}
