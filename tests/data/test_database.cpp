// Checks the default substance database "databases/db_francais.csv" byte by
// byte: the header the save writes, CR LF after every line, one record a line
// with its four fields each closed by "|", names as the record panel writes
// them, numbers in the form the masked fields store and with the check
// character the label editor expects, and the order a save writes.
//
// The checks run line by line through recordProblems(), which lists what is
// wrong with one record line; the second test feeds it broken lines so that a
// fault in the file cannot slip through a checker that accepts anything.
//
// The INDEX numbers are also checked against the harmonised classification
// shipped in "clp/annexe6.txt" by indexProblems(), fed broken records too.

#include "editor/checkdigits.h"
#include "shell/textfile.h"
#include "tools/classification.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// Records delivered in the file; a change to the file updates this number.
constexpr int kRecordCount = 549;

const char kHeader[] = "NOM|CE|CAS|INDEX";

QByteArray readDatabase()
{
    QFile f(QStringLiteral(KALVANE_DATA_DIR "/databases/db_francais.csv"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Bytes that Windows-1252 leaves undefined, and control characters.
bool badByte(uchar c)
{
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// The letters the name field folds when typed (a with grave, circumflex or
// diaeresis, e with grave, acute, circumflex or diaeresis, ...): a stored name
// holding one, in either case, could not be found again by typing it.
bool foldedAway(QChar c)
{
    static const QString folded = QString::fromUtf8("àâäèéêëîïòôöûüÀÂÄÈÉÊËÎÏÒÔÖÛÜ");
    return folded.contains(c);
}

// The check value of a number against its last character, as the masked
// fields compare them. CAS numbers are stored without their leading blanks;
// the field holds them right-aligned on 11 characters.
bool checkCharacterMatches(const QString &kind, const QString &number)
{
    int computed = -1;
    bool allowX = true;
    if (kind == QLatin1String("CE")) {
        computed = CheckDigits::ce(number);
    } else if (kind == QLatin1String("CAS")) {
        computed = CheckDigits::cas(number.rightJustified(11, QLatin1Char(' ')));
        allowX = false;
    } else {
        computed = CheckDigits::index(number);
    }
    return CheckDigits::charValue(number.back(), allowX) == computed;
}

// Everything wrong with one record line (without its CR LF); empty when the
// line is a valid record.
QStringList recordProblems(const QByteArray &line)
{
    QStringList problems;
    for (char c : line)
        if (badByte(uchar(c)))
            problems << QStringLiteral("byte 0x%1").arg(int(uchar(c)), 2, 16, QLatin1Char('0'));
    if (line.count('|') != 4)
        problems << QStringLiteral("%1 separators instead of 4").arg(line.count('|'));
    if (!line.endsWith('|'))
        problems << QStringLiteral("last field not closed by |");
    if (!problems.isEmpty())
        return problems;

    const QStringList fields = TextFile::decode(line).split(QLatin1Char('|'));
    const QString &nom = fields.at(0);
    if (nom.isEmpty())
        problems << QStringLiteral("empty NOM");
    if (nom.trimmed() != nom)
        problems << QStringLiteral("blanks around NOM");
    for (QChar c : nom) {
        if (c.isLower())
            problems << QStringLiteral("lower-case %1 in NOM").arg(c);
        else if (foldedAway(c))
            problems << QStringLiteral("accented %1 in NOM").arg(c);
    }

    static const QRegularExpression ceShape(QStringLiteral("^\\d{3}-\\d{3}-[\\dX]$"));
    static const QRegularExpression casShape(QStringLiteral("^\\d{2,6}-\\d{2}-\\d$"));
    static const QRegularExpression indexShape(QStringLiteral("^\\d{3}-\\d{3}-\\d{2}-[\\dX]$"));
    const struct {
        const char *kind;
        const QString &value;
        const QRegularExpression &shape;
    } numbers[] = {{"CE", fields.at(1), ceShape}, {"CAS", fields.at(2), casShape}, {"INDEX", fields.at(3), indexShape}};
    for (const auto &n : numbers) {
        const QString kind = QLatin1String(n.kind);
        if (n.value == QLatin1String("-"))
            continue;
        if (!n.shape.match(n.value).hasMatch())
            problems << QStringLiteral("%1 '%2' not of the stored form").arg(kind, n.value);
        else if (!checkCharacterMatches(kind, n.value))
            problems << QStringLiteral("%1 %2 fails its check character").arg(kind, n.value);
    }
    return problems;
}

// The record lines of the file, or an empty list with a failure message when
// the line structure itself is broken.
QList<QByteArray> recordLines(const QByteArray &bytes, QString *failure)
{
    if (!bytes.endsWith("\r\n")) {
        *failure = QStringLiteral("the last line is not ended by CR LF");
        return {};
    }
    QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].endsWith('\r')) {
            *failure = QStringLiteral("line %1 ends by a lone LF").arg(i + 1);
            return {};
        }
        lines[i].chop(1);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains('\r')) {
            *failure = QStringLiteral("line %1 holds a lone CR").arg(i + 1);
            return {};
        }
    }
    if (lines.value(0) != kHeader) {
        *failure = QStringLiteral("header is '%1'").arg(QString::fromLatin1(lines.value(0)));
        return {};
    }
    lines.removeFirst();
    return lines;
}

// Records left with INDEX "-" although their CAS names exactly one entry of
// the harmonised table: that entry is another form of the substance, whose
// classification must not be taken for the record's.
const QStringList kIndexLeftOut = {
    QStringLiteral("10034-85-2"), // ACIDE IODHYDRIQUE: the entry is anhydrous hydrogen iodide, a gas
    QStringLiteral("7440-50-8"),  // CUIVRE: the entry is granulated copper of given particle sizes
    QStringLiteral("13463-67-7"), // DIOXYDE DE TITANE: the entry is the powder with fine particles only
    QStringLiteral("7439-95-4"),  // MAGNESIUM: the entry is the pyrophoric powder
    QStringLiteral("7440-67-7"),  // ZIRCONIUM: the entry is the pyrophoric powder
};

// The number a cell line of the table starts with ("1303-96-4 [4]").
QString tableNumber(const QString &line)
{
    return line.section(QLatin1Char('['), 0, 0).trimmed();
}

QString describe(const HarmonisedEntry *e)
{
    return e->index + QStringLiteral(" (") + e->names.value(0) + QLatin1Char(')');
}

// Where the record lines and the table disagree: an INDEX naming an entry
// that does not list the record's CAS, an INDEX naming no entry while the CAS
// names one, an INDEX "-" while the CAS names exactly one entry (unless the
// record is left out on purpose).
QStringList indexProblems(const QList<QByteArray> &records, const HarmonisedTable &table)
{
    QStringList problems;
    for (const QByteArray &r : records) {
        const QStringList fields = TextFile::decode(r).split(QLatin1Char('|'));
        if (fields.size() < 4)
            continue;
        const QString &nom = fields.at(0), &cas = fields.at(2), &index = fields.at(3);
        const QList<const HarmonisedEntry *> byCas =
            cas == QLatin1String("-") ? QList<const HarmonisedEntry *>() : table.find(cas);
        if (index == QLatin1String("-")) {
            if (byCas.size() == 1 && !kIndexLeftOut.contains(cas))
                problems << QStringLiteral("%1: no INDEX while CAS %2 names %3").arg(nom, cas, describe(byCas.first()));
            continue;
        }
        const QList<const HarmonisedEntry *> byIndex = table.findAsWritten(index);
        if (byIndex.isEmpty()) {
            if (!byCas.isEmpty())
                problems << QStringLiteral("%1: INDEX %2 names no entry while CAS %3 names %4")
                                .arg(nom, index, cas, describe(byCas.first()));
            continue;
        }
        for (const HarmonisedEntry *e : byIndex) {
            QStringList listed;
            for (const QString &line : e->cas)
                listed << tableNumber(line);
            if (!listed.isEmpty() && !listed.contains(cas))
                problems << QStringLiteral("%1: INDEX %2 names %3, whose CAS %4 is not %5")
                                .arg(nom, index, describe(e), listed.join(QStringLiteral(", ")), cas);
        }
    }
    return problems;
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileLayout();
    void everyRecordIsValid();
    void namesAreUnique();
    void recordsAreInSaveOrder();
    void brokenRecordsAreReported_data();
    void brokenRecordsAreReported();
    void indexAgreesWithHarmonisedTable();
    void indexDisagreementsAreReported_data();
    void indexDisagreementsAreReported();
};

void TestDatabase::fileLayout()
{
    const QByteArray bytes = readDatabase();
    QVERIFY2(!bytes.isEmpty(), "databases/db_francais.csv is missing or empty");
    QString failure;
    const QList<QByteArray> records = recordLines(bytes, &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(records.size(), kRecordCount);
}

void TestDatabase::everyRecordIsValid()
{
    QString failure;
    const QList<QByteArray> records = recordLines(readDatabase(), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QStringList faults;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QStringList problems = recordProblems(records.at(i));
        if (!problems.isEmpty())
            faults << QStringLiteral("line %1 (%2): %3")
                          .arg(i + 2)
                          .arg(QString::fromLatin1(records.at(i)), problems.join(QStringLiteral(", ")));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestDatabase::namesAreUnique()
{
    QString failure;
    const QList<QByteArray> records = recordLines(readDatabase(), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // A record is identified by its NOM compared byte for byte.
    QSet<QByteArray> seen;
    QStringList duplicates;
    for (const QByteArray &r : records) {
        const QByteArray nom = r.left(r.indexOf('|'));
        if (seen.contains(nom))
            duplicates << QString::fromLatin1(nom);
        seen.insert(nom);
    }
    QVERIFY2(duplicates.isEmpty(), qPrintable(duplicates.join(QStringLiteral(", "))));
}

// A save sorts the whole record lines ascending, case-insensitively in the
// user's locale. The delivered order must hold both for a plain
// case-insensitive comparison and for French collation, which rank "|" and
// punctuation differently, so that the first save keeps the file as it is.
void TestDatabase::recordsAreInSaveOrder()
{
    QString failure;
    const QList<QByteArray> records = recordLines(readDatabase(), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCollator french(QLocale(QLocale::French, QLocale::France));
    french.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList faults;
    for (qsizetype i = 1; i < records.size(); ++i) {
        const QString a = TextFile::decode(records.at(i - 1));
        const QString b = TextFile::decode(records.at(i));
        if (QString::compare(a, b, Qt::CaseInsensitive) >= 0)
            faults << QStringLiteral("case-insensitive: %1 before %2").arg(a, b);
        if (french.compare(a, b) >= 0)
            faults << QStringLiteral("French collation: %1 before %2").arg(a, b);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestDatabase::brokenRecordsAreReported_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("problem");

    QTest::newRow("valid") << QByteArray("ACETONE|200-662-2|67-64-1|606-001-00-8|") << QString();
    QTest::newRow("no numbers") << QByteArray("AGAR|-|-|-|") << QString();
    QTest::newRow("INDEX check X") << QByteArray("METHANOL|200-659-6|67-56-1|603-001-00-X|") << QString();
    QTest::newRow("last field open") << QByteArray("ACETONE|200-662-2|67-64-1|606-001-00-8")
                                     << QStringLiteral("3 separators instead of 4");
    QTest::newRow("extra field") << QByteArray("ACETONE|200-662-2|67-64-1|606-001-00-8|x|")
                                 << QStringLiteral("5 separators instead of 4");
    QTest::newRow("lower case") << QByteArray("Acetone|200-662-2|67-64-1|606-001-00-8|")
                                << QStringLiteral("lower-case c in NOM");
    QTest::newRow("accent") << QByteArray("ETHER DI\xC9THYLIQUE|200-467-2|60-29-7|603-022-00-4|")
                            << QString::fromUtf8("accented É in NOM");
    QTest::newRow("empty NOM") << QByteArray("|200-662-2|67-64-1|606-001-00-8|") << QStringLiteral("empty NOM");
    QTest::newRow("CE check") << QByteArray("ACETONE|200-662-3|67-64-1|606-001-00-8|")
                              << QStringLiteral("CE 200-662-3 fails its check character");
    QTest::newRow("CAS check") << QByteArray("ETHANOL|200-578-6|64-17-4|603-002-00-5|")
                               << QStringLiteral("CAS 64-17-4 fails its check character");
    QTest::newRow("CAS X") << QByteArray("ETHANOL|200-578-6|64-17-X|603-002-00-5|")
                           << QStringLiteral("CAS '64-17-X' not of the stored form");
    QTest::newRow("CAS blanks") << QByteArray("ETHANOL|200-578-6|     64-17-5|603-002-00-5|")
                                << QStringLiteral("CAS '     64-17-5' not of the stored form");
    QTest::newRow("INDEX check") << QByteArray("ETHANOL|200-578-6|64-17-5|603-002-00-4|")
                                 << QStringLiteral("INDEX 603-002-00-4 fails its check character");
    QTest::newRow("INDEX shape") << QByteArray("ETHANOL|200-578-6|64-17-5|603-002-005|")
                                 << QStringLiteral("INDEX '603-002-005' not of the stored form");
    QTest::newRow("CE empty mask") << QByteArray("ETHANOL|   -   - |64-17-5|603-002-00-5|")
                                   << QStringLiteral("CE '   -   - ' not of the stored form");
    QTest::newRow("tab") << QByteArray("ETHANOL\t|200-578-6|64-17-5|603-002-00-5|") << QStringLiteral("byte 0x09");
}

void TestDatabase::brokenRecordsAreReported()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, problem);
    const QStringList problems = recordProblems(line);
    if (problem.isEmpty())
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
    else
        QVERIFY2(problems.contains(problem), qPrintable(problems.join(QStringLiteral(", "))));
}

void TestDatabase::indexAgreesWithHarmonisedTable()
{
    QString failure;
    const QList<QByteArray> records = recordLines(readDatabase(), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    HarmonisedTable table;
    QString error;
    QVERIFY2(HarmonisedTable::read(QStringLiteral(KALVANE_DATA_DIR "/clp/annexe6.txt"), &table, &error),
             qPrintable(error));
    const QStringList problems = indexProblems(records, table);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    // Every record left out is still one the check would otherwise report.
    for (const QString &cas : kIndexLeftOut)
        QVERIFY2(table.find(cas).size() == 1, qPrintable(cas));
}

void TestDatabase::indexDisagreementsAreReported_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("problem");

    QTest::newRow("agrees") << QByteArray("ACIDE BORIQUE|233-139-2|10043-35-3|005-007-00-2|") << QString();
    QTest::newRow("group member") << QByteArray("ACIDE BORIQUE|234-343-4|11113-50-1|005-007-00-2|") << QString();
    QTest::newRow("entry without CAS") << QByteArray("BUTANE|-|106-97-8|601-004-00-0|") << QString();
    QTest::newRow("no entry at all") << QByteArray("AGAR|-|9002-18-0|-|") << QString();
    QTest::newRow("INDEX of another substance")
        << QByteArray("PEROXODISULFATE DE SODIUM|231-892-1|7775-27-1|016-062-00-7|")
        << QStringLiteral("PEROXODISULFATE DE SODIUM: INDEX 016-062-00-7 names 016-062-00-7 (bensultap (ISO)), whose "
                          "CAS 17606-31-4 is not 7775-27-1");
    QTest::newRow("INDEX without CAS")
        << QByteArray("ACIDE BORIQUE|233-139-2|-|005-007-00-2|")
        << QStringLiteral("ACIDE BORIQUE: INDEX 005-007-00-2 names 005-007-00-2 (boric acid [1]), whose CAS "
                          "10043-35-3, 11113-50-1 is not -");
    QTest::newRow("stale INDEX") << QByteArray("ACIDE BORIQUE|233-139-2|10043-35-3|005-007-01-X|")
                                 << QStringLiteral("ACIDE BORIQUE: INDEX 005-007-01-X names no entry while CAS "
                                                   "10043-35-3 names 005-007-00-2 (boric acid [1])");
    QTest::newRow("INDEX missing") << QByteArray("ACIDE BORIQUE|233-139-2|11113-50-1|-|")
                                   << QStringLiteral("ACIDE BORIQUE: no INDEX while CAS 11113-50-1 names "
                                                     "005-007-00-2 (boric acid [1])");
    QTest::newRow("CAS of two entries") << QByteArray("CADMIUM|231-152-8|7440-43-9|-|") << QString();
    QTest::newRow("left out on purpose") << QByteArray("MAGNESIUM|231-104-6|7439-95-4|-|") << QString();
}

void TestDatabase::indexDisagreementsAreReported()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, problem);
    const auto entry = [](const char *index, QStringList names, QStringList cas) {
        HarmonisedEntry e;
        e.index = QLatin1String(index);
        e.names = names;
        e.cas = cas;
        return e;
    };
    HarmonisedTable table;
    table.entries = {
        entry("005-007-00-2", {QStringLiteral("boric acid [1]"), QStringLiteral("boric acid [2]")},
              {QStringLiteral("10043-35-3 [1]"), QStringLiteral("11113-50-1 [2]")}),
        entry("016-062-00-7", {QStringLiteral("bensultap (ISO)")}, {QStringLiteral("17606-31-4")}),
        entry("601-004-00-0", {QStringLiteral("butane [1]")}, {}),
        entry("048-002-00-0", {QStringLiteral("cadmium (non-pyrophoric) [1]")}, {QStringLiteral("7440-43-9 [1]")}),
        entry("048-011-00-X", {QStringLiteral("cadmium (pyrophoric)")}, {QStringLiteral("7440-43-9")}),
        entry("012-001-00-3", {QStringLiteral("magnesium powder (pyrophoric)")}, {QStringLiteral("7439-95-4")}),
    };
    table.buildIndex();
    const QStringList problems = indexProblems({line}, table);
    if (problem.isEmpty())
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
    else
        QCOMPARE(problems, QStringList{problem});
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
