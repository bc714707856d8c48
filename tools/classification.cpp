#include "tools/classification.h"

#include "editor/checkdigits.h"
#include "shell/textfile.h"
#include "tools/xlsxreader.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// The lengths of the dash-separated digit groups of `t` ("7647-01-0" gives
// 4, 2, 1); the last character may be an "X". Empty when `t` holds anything
// else. (Checked by hand: the numbers of the whole table are
// indexed at its first use.)
QList<int> digitGroups(QStringView t)
{
    QList<int> groups{0};
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == u'-') {
            if (groups.last() == 0)
                return {};
            groups.append(0);
        } else if ((c >= u'0' && c <= u'9') || (c == u'X' && i == t.size() - 1)) {
            ++groups.last();
        } else {
            return {};
        }
    }
    if (groups.last() == 0)
        return {};
    return groups;
}

bool isIndexNumber(QStringView t)
{
    return digitGroups(t) == QList<int>{3, 3, 2, 1};
}

// The number at the start of a cell line: "233-139-2 [1]" gives "233-139-2".
QStringView cellNumber(QStringView line)
{
    line = line.trimmed();
    qsizetype end = 0;
    while (end < line.size() && !line.at(end).isSpace() && line.at(end) != u'[')
        ++end;
    return line.left(end);
}

// The first line of the data file, and its version.
const QString kMagic = QStringLiteral("KALVANE CLASSIFICATION HARMONISEE 1");

} // namespace

// ---------------------------------------------------------------- entries

bool HarmonisedEntry::hasMinimumClassification() const
{
    // Only a lone "*": "**" (route of exposure), "***" and "****" (physical
    // hazards to be confirmed by testing) mark other things (Annex VI, part 1).
    for (const auto &c : classes)
        if (c.first.split(u' ', Qt::SkipEmptyParts).contains(QStringLiteral("*")))
            return true;
    return false;
}

QString HarmonisedEntry::code(const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*((?:EUH|H)\\d{3}[A-Za-z]{0,2})"));
    const QRegularExpressionMatch m = pattern.match(line);
    return m.hasMatch() ? m.captured(1) : QString();
}

// ---------------------------------------------------------------- numbers

QString SubstanceNumber::kindName(Kind kind)
{
    switch (kind) {
    case Cas: return QStringLiteral("CAS");
    case Ec: return QStringLiteral("CE");
    case Index: return QStringLiteral("INDEX");
    case Invalid: break;
    }
    return QString();
}

SubstanceNumber SubstanceNumber::check(const QString &text)
{
    SubstanceNumber n;
    const QString t = text.trimmed().toUpper();
    const QString wrongCheck = QStringLiteral("« %1 » n'est pas un numéro %2 valide : son chiffre de contrôle devrait être %3.");
    const QList<int> groups = digitGroups(t);
    // Leading zeros are not part of a CAS number.
    qsizetype zeros = 0;
    while (groups.size() == 3 && zeros < groups.first() && t.at(zeros) == u'0')
        ++zeros;
    if (groups == QList<int>{3, 3, 2, 1}) {
        const int expected = CheckDigits::index(t);
        if (CheckDigits::charValue(t.back(), true) != expected) {
            n.error = wrongCheck.arg(t, kindName(Index), CheckDigits::checkChar(expected));
            return n;
        }
        n.kind = Index;
        n.number = t;
    } else if (groups == QList<int>{3, 3, 1}) {
        const int expected = CheckDigits::ce(t);
        if (CheckDigits::charValue(t.back(), true) != expected) {
            n.error = wrongCheck.arg(t, kindName(Ec), CheckDigits::checkChar(expected));
            return n;
        }
        n.kind = Ec;
        n.number = t;
    } else if (groups.size() == 3 && groups.at(0) - zeros >= 2 && groups.at(0) - zeros <= 7 && groups.at(1) == 2
               && groups.at(2) == 1 && t.back() != u'X') {
        const QString canonical = t.mid(zeros);
        // The entry field holds 11 characters, filled from the right; digits
        // before them take the next weights.
        const QString field = canonical.right(11).rightJustified(11, u' ');
        int expected = CheckDigits::cas(field);
        const QString before = canonical.size() > 11 ? canonical.left(canonical.size() - 11) : QString();
        for (qsizetype i = before.size() - 1, weight = 9; i >= 0; --i, ++weight)
            expected += (before.at(i).unicode() - u'0') * int(weight);
        expected %= 10;
        if (CheckDigits::charValue(canonical.back(), false) != expected) {
            n.error = wrongCheck.arg(canonical, kindName(Cas), CheckDigits::checkChar(expected));
            return n;
        }
        n.kind = Cas;
        n.number = canonical;
    } else {
        n.error = QStringLiteral("« %1 » n'est ni un numéro CAS (7647-01-0), ni un numéro CE (231-595-7), "
                                 "ni un numéro INDEX (017-002-00-2).")
                      .arg(text.trimmed());
    }
    return n;
}

// ---------------------------------------------------------------- lookups

void HarmonisedTable::buildIndex()
{
    m_byNumber.clear();
    m_byNumber.reserve(entries.size() * 3);
    for (int i = 0; i < entries.size(); ++i) {
        const HarmonisedEntry &e = entries.at(i);
        QStringList numbers = e.ec + e.cas;
        numbers.append(e.index);
        QStringList keys;
        for (const QString &line : numbers) {
            const QString written = cellNumber(line).toString();
            if (written.isEmpty())
                continue;
            const SubstanceNumber n = SubstanceNumber::check(written);
            // A number of the table whose check digit is wrong is still found
            // by its own text.
            const QString key = n.kind == SubstanceNumber::Invalid ? written.toUpper() : n.number;
            if (!keys.contains(key))
                keys.append(key);
        }
        for (const QString &key : keys)
            m_byNumber[key].append(i);
    }
}

QList<const HarmonisedEntry *> HarmonisedTable::find(const SubstanceNumber &number) const
{
    if (number.kind == SubstanceNumber::Invalid)
        return {};
    return findAsWritten(number.number);
}

QList<const HarmonisedEntry *> HarmonisedTable::findAsWritten(const QString &text) const
{
    QList<const HarmonisedEntry *> found;
    const auto it = m_byNumber.constFind(text.trimmed().toUpper());
    if (it != m_byNumber.constEnd())
        for (int i : *it)
            found.append(&entries.at(i));
    return found;
}

// ---------------------------------------------------------------- data file

namespace {

struct Field {
    const char *key;
    QStringList HarmonisedEntry::*list;
};

const Field kListFields[] = {
    {"NOM", &HarmonisedEntry::names},         {"CE", &HarmonisedEntry::ec},
    {"CAS", &HarmonisedEntry::cas},           {"PICTOGRAMME", &HarmonisedEntry::pictograms},
    {"H", &HarmonisedEntry::hazards},         {"EUH", &HarmonisedEntry::supplemental},
    {"AUTRE", &HarmonisedEntry::otherLabelling}, {"LIMITE", &HarmonisedEntry::limits},
    {"NOTE", &HarmonisedEntry::notes},
};

} // namespace

bool HarmonisedTable::write(const QString &path, QString *error) const
{
    QStringList lines;
    lines << kMagic << QStringLiteral("TITRE=") + title << QStringLiteral("DATE=") + date
          << QStringLiteral("SOURCE=") + source << QStringLiteral("ENTREES=%1").arg(entries.size());
    for (const HarmonisedEntry &e : entries) {
        lines << QString() << QStringLiteral("INDEX=") + e.index;
        for (const Field &f : kListFields) {
            if (QByteArrayView(f.key) == "PICTOGRAMME") {
                for (const auto &c : e.classes)
                    lines << QStringLiteral("CLASSE=") + c.first + u'|' + c.second;
            }
            for (const QString &value : e.*(f.list))
                lines << QLatin1String(f.key) + u'=' + value;
            if (QByteArrayView(f.key) == "PICTOGRAMME" && !e.signalWord.isEmpty())
                lines << QStringLiteral("MENTION=") + e.signalWord;
        }
        if (!e.atp.isEmpty())
            lines << QStringLiteral("ATP=") + e.atp;
    }
    QByteArray bytes;
    for (const QString &line : lines) {
        // A value is one line of its cell: a line break inside would start a
        // new key.
        if (line.contains(u'\n') || line.contains(u'\r')) {
            if (error)
                *error = QStringLiteral("une valeur contient un saut de ligne : « %1 ».").arg(line.left(80));
            return false;
        }
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return TextFile::writeBytes(path, bytes, error);
}

bool HarmonisedTable::read(const QString &path, HarmonisedTable *table, QString *error)
{
    *table = HarmonisedTable();
    QByteArray bytes;
    QString why;
    if (!TextFile::readBytes(path, &bytes, &why)) {
        if (error)
            *error = QDir::toNativeSeparators(path) + QStringLiteral(" : ") + why;
        return false;
    }
    const auto fail = [&](int line, const QString &message) {
        if (error)
            *error = QStringLiteral("%1, ligne %2 : %3").arg(QDir::toNativeSeparators(path)).arg(line).arg(message);
        *table = HarmonisedTable();
        return false;
    };
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(1, QStringLiteral("le fichier n'est pas en UTF-8."));
    const QStringList lines = TextFile::splitLines(text);
    if (lines.value(0) != kMagic)
        return fail(1, QStringLiteral("ce n'est pas un fichier de classification harmonisée de Kalvane."));
    qsizetype declared = -1;
    HarmonisedEntry *entry = nullptr;
    for (int i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            return fail(i + 1, QStringLiteral("ligne sans « = »."));
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("INDEX")) {
            table->entries.append(HarmonisedEntry());
            entry = &table->entries.last();
            entry->index = value;
            continue;
        }
        if (!entry) {
            if (key == QLatin1String("TITRE"))
                table->title = value;
            else if (key == QLatin1String("DATE"))
                table->date = value;
            else if (key == QLatin1String("SOURCE"))
                table->source = value;
            else if (key == QLatin1String("ENTREES")) {
                bool ok = false;
                declared = value.toLongLong(&ok);
                if (!ok)
                    return fail(i + 1, QStringLiteral("nombre d'entrées illisible « %1 ».").arg(value));
            } else
                return fail(i + 1, QStringLiteral("clé inconnue « %1 ».").arg(key));
            continue;
        }
        bool known = true;
        if (key == QLatin1String("CLASSE")) {
            const qsizetype bar = value.lastIndexOf(u'|');
            if (bar < 0)
                return fail(i + 1, QStringLiteral("classe sans « | »."));
            entry->classes.append({value.left(bar), value.mid(bar + 1)});
        } else if (key == QLatin1String("MENTION")) {
            if (value != QLatin1String("DANGER") && value != QLatin1String("ATTENTION"))
                return fail(i + 1, QStringLiteral("mention d'avertissement inconnue « %1 ».").arg(value));
            entry->signalWord = value;
        } else if (key == QLatin1String("ATP")) {
            entry->atp = value;
        } else {
            known = false;
            for (const Field &f : kListFields)
                if (key == QLatin1String(f.key)) {
                    (entry->*(f.list)).append(value);
                    known = true;
                }
        }
        if (!known)
            return fail(i + 1, QStringLiteral("clé inconnue « %1 ».").arg(key));
    }
    // The count written first tells a cut file.
    if (declared != table->entries.size())
        return fail(int(lines.size()),
                    QStringLiteral("le fichier annonce %1 entrées et en contient %2 : il est incomplet ou endommagé.")
                        .arg(declared)
                        .arg(table->entries.size()));
    table->buildIndex();
    return true;
}

// ---------------------------------------------------------------- import

namespace {

QString simplified(const QString &text)
{
    return text.simplified().toLower();
}

// A cell's values: its lines, trimmed, empty ones left out.
QStringList values(const QString &cell)
{
    QStringList out;
    for (const QString &line : cell.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            out.append(t);
    }
    return out;
}

// A number cell: "-" alone stands for no number.
QStringList numbers(const QString &cell)
{
    QStringList out = values(cell);
    out.removeIf([](const QString &v) { return v == QLatin1String("-") || v == QStringLiteral("—"); });
    return out;
}

struct Header {
    int column;
    const char *text;
    bool prefix; // the header may go on ("Specific Conc. Limits, M-factors")
};

const Header kHeader[] = {
    {0, "Index No", false},
    {1, "International Chemical Identification", false},
    {2, "EC No", false},
    {3, "CAS No", false},
    {4, "Classification", false},
    {6, "Labelling", false},
    {9, "Specific Conc. Limits", true},
    {10, "Notes", false},
};
const Header kSubHeader[] = {
    {4, "Hazard Class and Category Code(s)", false},
    {5, "Hazard Statement Code(s)", false},
    {6, "Pictogram, Signal Word Code(s)", false},
    {7, "Hazard statement Code(s)", false},
    {8, "Suppl. Hazard statement Code(s)", false},
};

QString column(int c)
{
    return QString(QChar(u'A' + c));
}

bool headerMatches(const Xlsx::Row &row, const Header &h, QString *error)
{
    const QString found = simplified(row.cell(h.column));
    const QString wanted = simplified(QLatin1String(h.text));
    if (h.prefix ? found.startsWith(wanted) : found == wanted)
        return true;
    *error = QStringLiteral("le classeur n'a pas la présentation du tableau de l'annexe VI : la colonne %1 "
                            "de la ligne %2 devrait s'intituler « %3 » et porte « %4 ».")
                 .arg(column(h.column))
                 .arg(row.number)
                 .arg(QLatin1String(h.text), row.cell(h.column).simplified());
    return false;
}

} // namespace

bool HarmonisedTable::fromSheet(const Xlsx::Sheet &sheet, const QString &sourceName, HarmonisedTable *table,
                                QString *error, const Progress &progress)
{
    *table = HarmonisedTable();
    QString dummy;
    QString &why = error ? *error : dummy;
    const auto fail = [&](const QString &message) {
        why = message;
        *table = HarmonisedTable();
        return false;
    };
    // The header row is among the first rows, after the disclaimer and the date.
    qsizetype header = -1;
    for (qsizetype r = 0; r < sheet.rows.size() && sheet.rows.at(r).number <= 30; ++r)
        if (simplified(sheet.rows.at(r).cell(0)) == QLatin1String("index no")) {
            header = r;
            break;
        }
    if (header < 0)
        return fail(QStringLiteral("le classeur n'a pas la présentation du tableau de l'annexe VI : aucune des 30 "
                                   "premières lignes ne commence par « Index No »."));
    for (const Header &h : kHeader)
        if (!headerMatches(sheet.rows.at(header), h, &why))
            return fail(why);
    if (header + 1 >= sheet.rows.size() || sheet.rows.at(header + 1).number != sheet.rows.at(header).number + 1)
        return fail(QStringLiteral("le classeur n'a pas la présentation du tableau de l'annexe VI : la ligne %1 "
                                   "des sous-titres (« Hazard Class and Category Code(s) »...) manque.")
                        .arg(sheet.rows.at(header).number + 1));
    for (const Header &h : kSubHeader)
        if (!headerMatches(sheet.rows.at(header + 1), h, &why))
            return fail(why);

    // Before the header: the table's description of itself and its date.
    for (qsizetype r = 0; r < header; ++r) {
        const QString cell = sheet.rows.at(r).cell(0).trimmed();
        if (cell.contains(QLatin1String("updated"), Qt::CaseInsensitive) && table->date.isEmpty()) {
            table->date = cell.simplified();
        } else if (table->title.isEmpty() && !cell.isEmpty()) {
            // The first paragraph, without the "DISCLAIMER:" heading.
            QString text = cell;
            if (text.startsWith(QLatin1String("DISCLAIMER:"), Qt::CaseInsensitive))
                text = text.mid(11).trimmed();
            const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("\\n\\s*\\n")));
            table->title = (blank < 0 ? text : text.left(blank)).simplified();
        }
    }
    table->source = sourceName;

    for (qsizetype r = header + 2; r < sheet.rows.size(); ++r) {
        const Xlsx::Row &row = sheet.rows.at(r);
        const auto bad = [&](const QString &message) {
            return fail(QStringLiteral("ligne %1 du classeur : %2").arg(row.number).arg(message));
        };
        HarmonisedEntry e;
        e.index = row.cell(0).trimmed();
        if (!isIndexNumber(e.index))
            return bad(QStringLiteral("« %1 » n'est pas un numéro INDEX.").arg(row.cell(0).simplified()));
        e.names = values(row.cell(1));
        e.ec = numbers(row.cell(2));
        e.cas = numbers(row.cell(3));
        // A class and its statement share their line number in the two cells.
        const QStringList classes = row.cell(4).split(u'\n');
        const QStringList statements = row.cell(5).split(u'\n');
        for (qsizetype i = 0; i < std::max(classes.size(), statements.size()); ++i) {
            const QString c = classes.value(i).trimmed();
            const QString h = statements.value(i).trimmed();
            if (c.isEmpty() && h.isEmpty())
                continue;
            if (c.contains(u'|') || h.contains(u'|'))
                return bad(QStringLiteral("la classification « %1 » contient « | ».").arg(c + u' ' + h));
            e.classes.append({c, h});
        }
        static const QRegularExpression pictogram(QStringLiteral("^GHS0([1-9])$"));
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        static const QRegularExpression noteSeparators(QStringLiteral("[\\s,;]+"));
        for (const QString &token : row.cell(6).split(blanks, Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = pictogram.match(token);
            const QString word = token == QLatin1String("Dgr")   ? QStringLiteral("DANGER")
                                 : token == QLatin1String("Wng") ? QStringLiteral("ATTENTION")
                                                                 : QString();
            if (m.hasMatch())
                e.pictograms.append(QStringLiteral("SGH0") + m.captured(1));
            else if (!word.isEmpty() && (e.signalWord.isEmpty() || e.signalWord == word))
                e.signalWord = word;
            else if (!word.isEmpty())
                return bad(QStringLiteral("deux mentions d'avertissement différentes."));
            else if (token != QLatin1String("-"))
                e.otherLabelling.append(token);
        }
        for (const QString &line : values(row.cell(7)))
            (line.startsWith(QLatin1String("EUH")) ? e.supplemental : e.hazards).append(line);
        e.supplemental += values(row.cell(8));
        e.limits = values(row.cell(9));
        e.notes = row.cell(10).split(noteSeparators, Qt::SkipEmptyParts);
        e.atp = row.cell(11).simplified();
        table->entries.append(e);
        if (progress && !progress(int(900 * (r + 1) / sheet.rows.size())))
            return fail(Xlsx::kStopped);
    }
    if (table->entries.isEmpty())
        return fail(QStringLiteral("le classeur a la présentation du tableau de l'annexe VI mais aucune entrée."));
    table->buildIndex();
    if (progress && !progress(1000))
        return fail(Xlsx::kStopped);
    return true;
}

bool HarmonisedTable::importXlsx(const QString &xlsxPath, HarmonisedTable *table, QString *error,
                                 const Progress &progress)
{
    // Reading the workbook, then taking its entries and indexing their numbers.
    constexpr int kReadEnd = 600;
    Xlsx::Progress reading;
    Progress taking;
    if (progress) {
        reading = [&progress](int permille) { return progress(permille * kReadEnd / 1000); };
        taking = [&progress](int permille) { return progress(kReadEnd + permille * (1000 - kReadEnd) / 1000); };
    }
    Xlsx::Sheet sheet;
    if (!Xlsx::readFirstSheet(xlsxPath, &sheet, error, Xlsx::kMaxExpandedSize, reading)) {
        *table = HarmonisedTable();
        return false;
    }
    return fromSheet(sheet, QFileInfo(xlsxPath).fileName(), table, error, taking);
}

// ---------------------------------------------------------------- shared

namespace {

struct SharedTables {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const HarmonisedTable>> tables;
    QHash<QString, QString> errors;
};

SharedTables &sharedTables()
{
    static SharedTables s;
    return s;
}

} // namespace

std::shared_ptr<const HarmonisedTable> HarmonisedTable::shared(const QString &startDirectory, QString *error)
{
    const QString path = QDir(startDirectory).absoluteFilePath(kFileName);
    SharedTables &s = sharedTables();
    QMutexLocker lock(&s.mutex);
    auto it = s.tables.constFind(path);
    if (it == s.tables.constEnd()) {
        auto table = std::make_shared<HarmonisedTable>();
        QString why;
        if (!read(path, table.get(), &why))
            s.errors.insert(path, why);
        it = s.tables.insert(path, table);
    }
    if (error)
        *error = s.errors.value(path);
    return *it;
}

void HarmonisedTable::forgetShared()
{
    SharedTables &s = sharedTables();
    QMutexLocker lock(&s.mutex);
    s.tables.clear();
    s.errors.clear();
}
