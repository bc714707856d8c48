// The substance database file, its search, its two writes and the grid's
// model, without windows.

#include "shell/textfile.h"
#include "tools/substancedatabase.h"
#include "tools/substancegridmodel.h"

#include "testhelpers.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using Kind = IdentificationNumbers::Kind;
using Record = SubstanceDatabase::Record;
using Match = SubstanceDatabase::Match;

namespace {

const QByteArray kAcetone = "ACETONE|200-662-2|67-64-1|606-001-00-8|";
const QByteArray kEthylAcetate = "ETHYL ACETATE|205-500-4|141-78-6|607-022-00-5|";

QStringList noms(const SubstanceDatabase &db) { return db.field(SubstanceDatabase::Nom); }

} // namespace

class TestSubstanceDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void fieldsAreReadUpToTheirBar_data();
    void fieldsAreReadUpToTheirBar();
    void loadReadsEveryLineFormAndWindows1252();
    void headerIsNeverInterpreted();
    void missingAndUnreadableFiles();
    void searchModes();
    void saveStoresMaskedNumbersSortedWithBackup();
    void sameNameTwiceSaveModifiesLaterDeleteRemovesEarlier();
    void deleteKeepsOrderAndWritesTheOtherHeader();
    void fieldsTheFileCannotHoldAreRefused_data();
    void fieldsTheFileCannotHoldAreRefused();
    void failedWriteLeavesTheDatabaseWhole();
    void unreadDatabaseIsNeverOverwritten();
    void missingDatabaseIsCreatedBySave();
    void namesStayInTheFolder();
    void numbersBetweenFieldAndFile();
    void typedTextFolding();
    void sortedOrderFollowsTheLocale();
    void gridModelRowsAndSorting();
    void hostileBytesReadSafelyAndSavesReadBackAlike();

private:
    void writeDb(const QByteArray &bytes, const QString &name = QStringLiteral("db_francais"));
    QByteArray readDb(const QString &name = QStringLiteral("db_francais"), const char *ext = ".csv") const;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_start;
};

void TestSubstanceDatabase::initTestCase()
{
    // The program runs in the French locale.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestSubstanceDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_start = m_dir->path() + u'/';
}

void TestSubstanceDatabase::cleanup()
{
    m_dir.reset();
}

void TestSubstanceDatabase::writeDb(const QByteArray &bytes, const QString &name)
{
    QDir().mkpath(m_start + QStringLiteral("databases"));
    QFile f(m_start + QStringLiteral("databases/") + name + QStringLiteral(".csv"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray TestSubstanceDatabase::readDb(const QString &name, const char *ext) const
{
    QFile f(m_start + QStringLiteral("databases/") + name + QString::fromLatin1(ext));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestSubstanceDatabase::fieldsAreReadUpToTheirBar_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("whole") << QString::fromLatin1(kAcetone)
                           << QStringList{"ACETONE", "200-662-2", "67-64-1", "606-001-00-8"};
    QTest::newRow("no bar after CE") << QStringLiteral("ACETONE|200-662-2") << QStringList{"ACETONE", "", "", ""};
    QTest::newRow("no bar at all") << QStringLiteral("ACETONE") << QStringList{"", "", "", ""};
    QTest::newRow("last bar missing") << QStringLiteral("ACETONE|200-662-2|67-64-1|606-001-00-8")
                                      << QStringList{"ACETONE", "200-662-2", "67-64-1", ""};
    QTest::newRow("more than four fields") << QStringLiteral("A|B|C|D|E|F|G")
                                           << QStringList{"A", "B", "C", "D"};
    QTest::newRow("empty line") << QString() << QStringList{"", "", "", ""};
    QTest::newRow("empty fields") << QStringLiteral("||||") << QStringList{"", "", "", ""};
    QTest::newRow("no numbers") << QStringLiteral("AGAR|-|-|-|") << QStringList{"AGAR", "-", "-", "-"};
}

void TestSubstanceDatabase::fieldsAreReadUpToTheirBar()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    const Record r = SubstanceDatabase::parseLine(line);
    QCOMPARE((QStringList{r.nom, r.ce, r.cas, r.index}), fields);
}

void TestSubstanceDatabase::loadReadsEveryLineFormAndWindows1252()
{
    // CR LF, a lone LF, a lone CR, a last line without its end; bytes of the
    // upper half of Windows-1252; NUL bytes padding the end.
    writeDb("NOM|CE|CAS|INDEX\r\n" + kAcetone + "\n" + "\xC9THER|-|-|-|\r" + "CO\x80T|1|2|3|\r\n"
            + "A|B|C|D|E|F|\r\nLAST|||" + QByteArray("\0\0\0", 3));
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QCOMPARE(db.lineCount(), 6);
    QCOMPARE(db.count(), 5);
    QCOMPARE(noms(db), (QStringList{"ACETONE", QString::fromUtf8("ÉTHER"), QString::fromUtf8("CO€T"), "A", "LAST"}));
    QCOMPARE(db.record(0), (Record{"ACETONE", "200-662-2", "67-64-1", "606-001-00-8"}));
    QCOMPARE(db.record(3), (Record{"A", "B", "C", "D"}));
    QCOMPARE(db.record(4), (Record{"LAST", "", "", ""}));
    QVERIFY(db.writable());

    // The one-record file of the default database.
    writeDb("NOM|CE|CAS|INDEX\r\n" + kAcetone + "\r\n");
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QCOMPARE(db.count(), 1);
    QCOMPARE(db.lineCount(), 2);

    // Loading again replaces what was there.
    writeDb("NOM|CE|CAS|INDEX\r\n");
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QCOMPARE(db.count(), 0);
    writeDb(QByteArray());
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QCOMPARE(db.count(), 0);
    QCOMPARE(db.lineCount(), 0);
}

void TestSubstanceDatabase::headerIsNeverInterpreted()
{
    for (const QByteArray &header : {QByteArray("NOM|CE|CAS|INDEX"), QByteArray("NOM|CE|CAS|INDEX|"),
                                     QByteArray("ACETONE|1|2|3|"), QByteArray("")}) {
        writeDb(header + "\r\n" + kEthylAcetate + "\r\n");
        SubstanceDatabase db(m_start);
        QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
        QCOMPARE(noms(db), QStringList{"ETHYL ACETATE"});
    }
}

void TestSubstanceDatabase::missingAndUnreadableFiles()
{
    SubstanceDatabase db(m_start);
    QString error;
    QCOMPARE(db.load(&error), SubstanceDatabase::LoadResult::Missing);
    QCOMPARE(db.count(), 0);
    QVERIFY(db.writable()); // a save creates it

    // A folder in the file's place is reported, and nothing will be written.
    QVERIFY(QDir().mkpath(m_start + QStringLiteral("databases/db_francais.csv")));
    QCOMPARE(db.load(&error), SubstanceDatabase::LoadResult::Failed);
    QVERIFY(error.contains(QStringLiteral("n'est pas un fichier")));
    QVERIFY(!db.writable());
}

void TestSubstanceDatabase::searchModes()
{
    writeDb("NOM|CE|CAS|INDEX\r\n" + kAcetone + "\r\n" + kEthylAcetate + "\r\nACIDE ACETIQUE|200-580-7|64-19-7|607-002-00-6|\r\n");
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QCOMPARE(db.search(QStringLiteral("ACE"), SubstanceDatabase::Nom, Match::StartsWith), QList<int>{0});
    QCOMPARE(db.search(QStringLiteral("ACE"), SubstanceDatabase::Nom, Match::Contains), (QList<int>{0, 1, 2}));
    QCOMPARE(db.search(QStringLiteral("ACET"), SubstanceDatabase::Nom, Match::Contains), (QList<int>{0, 1, 2}));
    QCOMPARE(db.search(QStringLiteral("ETHYL"), SubstanceDatabase::Nom, Match::StartsWith), QList<int>{1});
    // Case counts.
    QCOMPARE(db.search(QStringLiteral("ace"), SubstanceDatabase::Nom, Match::Contains), QList<int>());
    // An empty text lists everything, in list order.
    QCOMPARE(db.search(QString(), SubstanceDatabase::Nom, Match::Contains), (QList<int>{0, 1, 2}));
    QCOMPARE(db.search(QString(), SubstanceDatabase::Cas, Match::StartsWith), (QList<int>{0, 1, 2}));
    // Other columns.
    QCOMPARE(db.search(QStringLiteral("200-"), SubstanceDatabase::Ce, Match::StartsWith), (QList<int>{0, 2}));
    QCOMPARE(db.search(QStringLiteral("-7"), SubstanceDatabase::Cas, Match::Contains), (QList<int>{1, 2}));
    QCOMPARE(db.search(QStringLiteral("607"), SubstanceDatabase::Index, Match::StartsWith), (QList<int>{1, 2}));
    QCOMPARE(db.search(QStringLiteral("ACETONE|"), SubstanceDatabase::Nom, Match::Contains), QList<int>());
}

void TestSubstanceDatabase::saveStoresMaskedNumbersSortedWithBackup()
{
    const QByteArray before = "NOM|CE|CAS|INDEX|\r\nZINC|231-175-3|7440-66-6|030-001-00-1|\r\n" + kEthylAcetate + "\r\n";
    writeDb(before);
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);

    // The CAS field shows its number right-aligned; the CE field is untouched.
    const QString casField = QStringLiteral("    67-64-1");
    QCOMPARE(casField.size(), 11);
    const Record r{QStringLiteral("ACETONE"), SubstanceDatabase::storedNumber(Kind::CE, QStringLiteral("   -   - ")),
                   SubstanceDatabase::storedNumber(Kind::CAS, casField),
                   SubstanceDatabase::storedNumber(Kind::INDEX, QStringLiteral("606-001-00-8"))};
    QString error;
    QVERIFY2(db.save(r, &error), qPrintable(error));
    QCOMPARE(readDb(), QByteArray("NOM|CE|CAS|INDEX\r\n"
                                  "ACETONE|-|67-64-1|606-001-00-8|\r\n"
                                  "ETHYL ACETATE|205-500-4|141-78-6|607-022-00-5|\r\n"
                                  "ZINC|231-175-3|7440-66-6|030-001-00-1|\r\n"));
    QCOMPARE(readDb("db_francais", ".bak"), before);
    // The lists follow the file.
    QCOMPARE(noms(db), (QStringList{"ACETONE", "ETHYL ACETATE", "ZINC"}));
    QCOMPARE(db.lineCount(), 4);

    // One backup generation: the next save keeps the content just replaced.
    const QByteArray second = readDb();
    QVERIFY(db.save(Record{QStringLiteral("acide"), "-", "-", "-"}, &error));
    QCOMPARE(readDb("db_francais", ".bak"), second);
    // Case-insensitive order: ACE before aci.
    QCOMPARE(noms(db), (QStringList{"ACETONE", "acide", "ETHYL ACETATE", "ZINC"}));
}

void TestSubstanceDatabase::sameNameTwiceSaveModifiesLaterDeleteRemovesEarlier()
{
    writeDb("NOM|CE|CAS|INDEX\r\nTWICE|1|-|-|\r\nOTHER|-|-|-|\r\nTWICE|2|-|-|\r\n");
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QVERIFY(db.save(Record{QStringLiteral("TWICE"), QStringLiteral("9"), "-", "-"}));
    QCOMPARE(readDb(), QByteArray("NOM|CE|CAS|INDEX\r\nOTHER|-|-|-|\r\nTWICE|1|-|-|\r\nTWICE|9|-|-|\r\n"));

    bool found = false;
    QVERIFY(db.remove(QStringLiteral("TWICE"), nullptr, &found));
    QVERIFY(found);
    QCOMPARE(readDb(), QByteArray("NOM|CE|CAS|INDEX|\r\nOTHER|-|-|-|\r\nTWICE|9|-|-|\r\n"));
    QCOMPARE(db.count(), 2);

    // Names are compared byte for byte.
    QVERIFY(db.remove(QStringLiteral("twice"), nullptr, &found));
    QVERIFY(!found);
    QCOMPARE(db.count(), 2);
}

void TestSubstanceDatabase::deleteKeepsOrderAndWritesTheOtherHeader()
{
    const QByteArray before = "NOM|CE|CAS|INDEX\r\nZINC|-|-|-|\r\nACETONE|-|-|-|\r\nMIDDLE|-|-|-|\r\n";
    writeDb(before);
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QVERIFY(db.remove(QStringLiteral("ACETONE")));
    QCOMPARE(readDb(), QByteArray("NOM|CE|CAS|INDEX|\r\nZINC|-|-|-|\r\nMIDDLE|-|-|-|\r\n"));
    QCOMPARE(readDb("db_francais", ".bak"), before);
    QCOMPARE(noms(db), (QStringList{"ZINC", "MIDDLE"}));
    QCOMPARE(db.lineCount(), 3);
}

void TestSubstanceDatabase::fieldsTheFileCannotHoldAreRefused_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("bar in NOM") << Record{"ACIDE|BASE", "-", "-", "-"} << QStringLiteral("Le champ NOM contient le caractère « | »");
    QTest::newRow("bar in INDEX") << Record{"X", "-", "-", "1|2"} << QStringLiteral("Le champ INDEX contient le caractère « | »");
    QTest::newRow("line feed") << Record{"DEUX\nLIGNES", "-", "-", "-"} << QStringLiteral("saut de ligne");
    QTest::newRow("carriage return") << Record{"DEUX\rLIGNES", "-", "-", "-"} << QStringLiteral("saut de ligne");
    QTest::newRow("NUL") << Record{QStringLiteral("A") + QChar(0) + QStringLiteral("B"), "-", "-", "-"}
                         << QStringLiteral("caractère nul");
    QTest::newRow("not Windows-1252") << Record{QString::fromUtf8("OHM Ω"), "-", "-", "-"}
                                      << QString::fromUtf8("« Ω »");
}

void TestSubstanceDatabase::fieldsTheFileCannotHoldAreRefused()
{
    QFETCH(Record, record);
    QFETCH(QString, fragment);
    const QByteArray before = "NOM|CE|CAS|INDEX\r\n" + kAcetone + "\r\n" + kEthylAcetate + "\r\n";
    writeDb(before);
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    QString error;
    QVERIFY(!db.save(record, &error));
    QVERIFY2(error.contains(fragment), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("n'a pas été enregistrée")));
    QCOMPARE(readDb(), before);
    QVERIFY(!QFile::exists(m_start + QStringLiteral("databases/db_francais.bak")));
    QCOMPARE(noms(db), (QStringList{"ACETONE", "ETHYL ACETATE"}));
}

void TestSubstanceDatabase::failedWriteLeavesTheDatabaseWhole()
{
#ifdef Q_OS_UNIX
    // The header a delete writes, so that a delete of nothing rewrites the
    // same bytes.
    const QByteArray before = "NOM|CE|CAS|INDEX|\r\n" + kEthylAcetate + "\r\n";
    writeDb(before);
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);

    // No file may grow beyond the present database's size (a full disk, as
    // far as the program can tell): the new content cannot be written.
    QString error;
    bool saved_ok = false;
    bool removed_ok = false;
    {
        const FileSizeLimit limit(before.size());
        QVERIFY(limit.isActive());
        saved_ok = db.save(Record{QStringLiteral("ACETONE"), "200-662-2", "67-64-1", "606-001-00-8"}, &error);
        removed_ok = db.remove(QStringLiteral("NOTHING"), nullptr); // the same size: fits
    }

    QVERIFY(!saved_ok);
    QVERIFY2(error.startsWith(QStringLiteral("La base de données « db_francais » n'a pas pu être enregistrée")),
             qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("Le fichier est resté tel qu'il était.")));
    QVERIFY(removed_ok); // writes that fit still go through
    QCOMPARE(readDb(), before);
    QCOMPARE(readDb("db_francais", ".bak"), before);
    QCOMPARE(noms(db), QStringList{"ETHYL ACETATE"});
    // No stray temporary file is left beside the database.
    const QStringList left = QDir(m_start + QStringLiteral("databases")).entryList(QDir::Files);
    QCOMPARE(left, (QStringList{"db_francais.bak", "db_francais.csv"}));
#endif

    // A file in the folder's place: the folder cannot be made.
    QVERIFY(QDir(m_start + QStringLiteral("databases")).removeRecursively());
    QFile blocker(m_start + QStringLiteral("databases"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SubstanceDatabase fresh(m_start);
    QCOMPARE(fresh.load(), SubstanceDatabase::LoadResult::Missing);
    QString error2;
    QVERIFY(!fresh.save(Record{QStringLiteral("ACETONE"), "-", "-", "-"}, &error2));
    QVERIFY2(error2.contains(QStringLiteral("ne peut pas être créé")), qPrintable(error2));
    QCOMPARE(fresh.count(), 0);
}

void TestSubstanceDatabase::unreadDatabaseIsNeverOverwritten()
{
    // A database that could not be read is not replaced by the few records the
    // window holds.
    QVERIFY(QDir().mkpath(m_start + QStringLiteral("databases/db_francais.csv")));
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Failed);
    QString error;
    QVERIFY(!db.save(Record{QStringLiteral("ACETONE"), "-", "-", "-"}, &error));
    QVERIFY(error.contains(QStringLiteral("n'a pas pu être lue")));
    QVERIFY(!db.remove(QStringLiteral("ACETONE"), &error));
    QVERIFY(QFileInfo(m_start + QStringLiteral("databases/db_francais.csv")).isDir());
}

void TestSubstanceDatabase::missingDatabaseIsCreatedBySave()
{
    SubstanceDatabase db(m_start);
    QVERIFY(db.setName(QStringLiteral("nouvelle")));
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Missing);
    QVERIFY(db.save(Record{QStringLiteral("EAU"), "231-791-2", "7732-18-5", "-"}));
    QCOMPARE(readDb(QStringLiteral("nouvelle")), QByteArray("NOM|CE|CAS|INDEX\r\nEAU|231-791-2|7732-18-5|-|\r\n"));
    QVERIFY(!QFile::exists(m_start + QStringLiteral("databases/nouvelle.bak")));
}

void TestSubstanceDatabase::namesStayInTheFolder()
{
    for (const QString &bad : {QStringLiteral("../etc"), QStringLiteral("a/b"), QStringLiteral("a\\b"),
                               QStringLiteral(".."), QStringLiteral("x..y"), QStringLiteral("/tmp/x"),
                               QStringLiteral("deux\nlignes"), QStringLiteral("tab\t"), QString()}) {
        QString error;
        QVERIFY2(!SubstanceDatabase::isValidName(bad, &error), qPrintable(bad));
        QVERIFY(!error.isEmpty());
        SubstanceDatabase db(m_start);
        QVERIFY(!db.setName(bad));
        QCOMPARE(db.name(), QStringLiteral("db_francais"));
    }
    for (const QString &good : {QStringLiteral("db_francais"), QStringLiteral("ma base"), QString::fromUtf8("réactifs.v2")})
        QVERIFY2(SubstanceDatabase::isValidName(good), qPrintable(good));

    QCOMPARE(SubstanceDatabase::nameFromText(QStringLiteral("db_francais.csv")), QStringLiteral("db_francais"));
    QCOMPARE(SubstanceDatabase::nameFromText(QStringLiteral("LABO.CSV")), QStringLiteral("LABO.CSV"));
    QCOMPARE(SubstanceDatabase::nameFromText(QStringLiteral("labo")), QStringLiteral("labo"));

    writeDb("x", QStringLiteral("b"));
    writeDb("x", QStringLiteral("a"));
    writeDb("x", QStringLiteral("C"));
    QFile upper(m_start + QStringLiteral("databases/D.CSV"));
    QVERIFY(upper.open(QIODevice::WriteOnly));
    QFile other(m_start + QStringLiteral("databases/notes.txt"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    SubstanceDatabase db(m_start);
    QCOMPARE(db.fileNames(), (QStringList{"a.csv", "b.csv", "C.csv"}));
}

void TestSubstanceDatabase::numbersBetweenFieldAndFile()
{
    // Stored forms.
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CE, QStringLiteral("   -   - ")), QStringLiteral("-"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CE, QStringLiteral("200-662-2")), QStringLiteral("200-662-2"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CE, QStringLiteral("200-6  -2")), QStringLiteral("200-6  -2"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CAS, QStringLiteral("      -  - ")), QStringLiteral("-"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CAS, QStringLiteral("    50-00-0")), QStringLiteral("50-00-0"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::CAS, QStringLiteral("  7732-18-5")), QStringLiteral("7732-18-5"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::INDEX, QStringLiteral("   -   -  - ")), QStringLiteral("-"));
    QCOMPARE(SubstanceDatabase::storedNumber(Kind::INDEX, QStringLiteral("603-001-00-X")), QStringLiteral("603-001-00-X"));

    // Back into the fields.
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CAS, QStringLiteral("67-64-1")), QStringLiteral("    67-64-1"));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CAS, QStringLiteral("7732-18-5")), QStringLiteral("  7732-18-5"));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CAS, QStringLiteral("1234567-89-0")), QStringLiteral("234567-89-0"));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CAS, QStringLiteral("-")), QStringLiteral("      -  - "));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CAS, QString()), QStringLiteral("      -  - "));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::CE, QStringLiteral("-")), QStringLiteral("   -   - "));
    QCOMPARE(SubstanceDatabase::fieldText(Kind::INDEX, QStringLiteral("606-001-00-8")), QStringLiteral("606-001-00-8"));
    // The right-aligned CAS field verifies as the label window's does.
    QCOMPARE(IdentificationNumbers::verify(Kind::CAS, SubstanceDatabase::fieldText(Kind::CAS, QStringLiteral("64-17-5"))).result,
             IdentificationNumbers::Verification::Correct);

    QCOMPARE(SubstanceDatabase::rightFilled(QStringLiteral("      -  - "), QStringLiteral("7732185")),
             QStringLiteral("  7732-18-5"));
    QCOMPARE(SubstanceDatabase::rightFilled(QStringLiteral("      -  - "), QStringLiteral("5")), QStringLiteral("      -  -5"));
    QCOMPARE(SubstanceDatabase::rightFilled(QStringLiteral("   -   - "), QStringLiteral("1234567890")),
             QStringLiteral("456-789-0"));
}

void TestSubstanceDatabase::typedTextFolding()
{
    QCOMPARE(SubstanceDatabase::foldTyped(QString::fromUtf8("é")), QStringLiteral("E"));
    QCOMPARE(SubstanceDatabase::foldTyped(QString::fromUtf8("àâäèéêëîïòôöûü")), QStringLiteral("AAAEEEEIIOOOUU"));
    QCOMPARE(SubstanceDatabase::foldTyped(QString::fromUtf8("acide acétique")), QStringLiteral("ACIDE ACETIQUE"));
    // Other letters keep their accent; capitals are not folded.
    QCOMPARE(SubstanceDatabase::foldTyped(QString::fromUtf8("ùç")), QString::fromUtf8("ÙÇ"));
    QCOMPARE(SubstanceDatabase::foldTyped(QString::fromUtf8("ÉÈ")), QString::fromUtf8("ÉÈ"));

    // Only what an edit put in is folded; the caret follows a longer result.
    const auto edit = [](const char *before, const char *after, int caret, const char *expected, int expectedCaret) {
        int cursor = caret;
        QCOMPARE(SubstanceDatabase::foldInserted(QString::fromUtf8(before), QString::fromUtf8(after), &cursor),
                 QString::fromUtf8(expected));
        QCOMPARE(cursor, expectedCaret);
    };
    edit("Acide éthanoïque", "Acide éthanoïquex", 17, "Acide éthanoïqueX", 17);
    edit("Acide éth", "Acide ééth", 7, "Acide Eéth", 7);     // typed before an equal letter
    edit("éé", "ééé", 1, "Eéé", 1);                          // the caret tells which one
    edit("Acide éthanoïque", "Acide éthanoïqu", 15, "Acide éthanoïqu", 15); // a deletion
    edit("Acide éthanoïque", "Acide ô", 7, "Acide O", 7);     // the selection replaced
    edit("abc", "aßbc", 2, "aSSbc", 3);
    edit("", "pâte à", 6, "PATE A", 6);                       // a paste into the empty field
    edit("ABC", "ABC", 3, "ABC", 3);
}

void TestSubstanceDatabase::sortedOrderFollowsTheLocale()
{
    auto sorted = [](const QStringList &keys, Qt::CaseSensitivity cs) {
        QStringList out;
        for (int i : SubstanceDatabase::sortedOrder(keys, cs))
            out << keys.at(i);
        return out;
    };
    // Case-insensitive and stable: equal keys keep their order.
    QCOMPARE(sorted({"b", "A", "a", "B", "c"}, Qt::CaseInsensitive), (QStringList{"A", "a", "b", "B", "c"}));
    // French collation puts accented letters with their base letter.
    QCOMPARE(sorted({QString::fromUtf8("ÉTHER"), "ZINC", "EAU", "FER"}, Qt::CaseInsensitive),
             (QStringList{"EAU", QString::fromUtf8("ÉTHER"), "FER", "ZINC"}));

    // Every path (in order, a few runs, reversed, disordered) gives the order
    // of a plain sort with the collator.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    SeededRandom seeded;
    auto *random = &seeded;
    QStringList base;
    for (int i = 0; i < 3000; ++i) {
        QString s;
        const int len = 1 + random->bounded(8);
        for (int k = 0; k < len; ++k)
            s += QChar(u"aAbBéÉ -|1"[random->bounded(10)]);
        base << s;
    }
    QStringList expected = base;
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    QStringList fewRuns = expected;
    fewRuns.move(10, fewRuns.size() - 1);
    fewRuns.append(QStringLiteral("aaa"));
    QStringList fewExpected = fewRuns;
    std::stable_sort(fewExpected.begin(), fewExpected.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    QStringList reversed = expected;
    std::reverse(reversed.begin(), reversed.end());
    for (const QStringList &keys : {base, expected, fewRuns, reversed}) {
        const QStringList got = sorted(keys, Qt::CaseInsensitive);
        for (qsizetype i = 1; i < got.size(); ++i)
            QVERIFY2(collator.compare(got.at(i - 1), got.at(i)) <= 0, qPrintable(got.at(i - 1) + " > " + got.at(i)));
        QCOMPARE(got.size(), keys.size());
    }
    QCOMPARE(sorted(base, Qt::CaseInsensitive), expected);
    QCOMPARE(sorted(fewRuns, Qt::CaseInsensitive), fewExpected);

    // The "C" locale compares plainly, still without regard to case.
    const DefaultLocaleGuard frenchAgain;
    QLocale::setDefault(QLocale::c());
    QCOMPARE(sorted({"b", "A", "a", "B", "c"}, Qt::CaseInsensitive), (QStringList{"A", "a", "b", "B", "c"}));
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << QString(QChar(u"zZaAmM"[random->bounded(6)]));
    const QStringList plain = sorted(many, Qt::CaseInsensitive);
    for (qsizetype i = 1; i < plain.size(); ++i)
        QVERIFY(QString::compare(plain.at(i - 1), plain.at(i), Qt::CaseInsensitive) <= 0);
}

void TestSubstanceDatabase::gridModelRowsAndSorting()
{
    writeDb("NOM|CE|CAS|INDEX\r\n"
            "beta|2|-|-|\r\n"
            "ALPHA|2|-|-|\r\n"
            "Gamma|1|-|-|\r\n"
            "alpha|2|-|-|\r\n");
    SubstanceDatabase db(m_start);
    QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
    SubstanceGridModel model(&db);
    QCOMPARE(model.rowCount(), 10); // spare rows only
    model.showAll();
    QCOMPARE(model.rowCount(), 14);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("CAS"));
    QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("Gamma"));
    QVERIFY(!model.data(model.index(4, 0)).isValid());
    QCOMPARE(model.recordAt(4), -1);
    QCOMPARE(model.cells(13), Record());

    auto column = [&](int c) {
        QStringList out;
        for (int r = 0; r < model.shownCount(); ++r)
            out << model.data(model.index(r, c)).toString();
        return out;
    };
    // Ascending: case-insensitive; equal cells ordered by the whole row.
    model.sortByColumn(0, true);
    QCOMPARE(column(0), (QStringList{"ALPHA", "alpha", "beta", "Gamma"}));
    // Descending: case-sensitive, reversed (lower case first in the locale,
    // so last when reversed).
    model.sortByColumn(0, false);
    QCOMPARE(column(0), (QStringList{"Gamma", "beta", "ALPHA", "alpha"}));
    // By CE: the tie between the three "2" rows falls to the row text.
    model.sortByColumn(1, true);
    QCOMPARE(column(0), (QStringList{"Gamma", "ALPHA", "alpha", "beta"}));

    model.setRecords(db.search(QStringLiteral("a"), SubstanceDatabase::Nom, Match::Contains));
    QCOMPARE(column(0), (QStringList{"beta", "Gamma", "alpha"}));
    QCOMPARE(model.rowCount(), 13);
}

void TestSubstanceDatabase::hostileBytesReadSafelyAndSavesReadBackAlike()
{
    // Files of random bytes, rich in separators, line ends, NUL and upper-half
    // bytes: every line after the first is one record, no field holds a bar or a
    // line break, and after a save the lists are exactly what reading the
    // written file gives.
    SeededRandom seeded;
    auto *random = &seeded;
    const char special[] = {'|', '|', '|', '\r', '\n', '\0', '-', 'A', 'a', ' ', char(0x80), char(0xC9), char(0x81)};
    for (int round = 0; round < 150; ++round) {
        QByteArray bytes;
        const int size = random->bounded(600);
        for (int i = 0; i < size; ++i)
            bytes += random->bounded(3) ? special[random->bounded(int(sizeof special))] : char(random->bounded(256));
        writeDb(bytes);
        SubstanceDatabase db(m_start);
        // Text after a NUL byte is not read: such a file is shown, never written.
        const bool cut = TextFile::cutOffset(bytes) >= 0;
        QCOMPARE(db.load(), cut ? SubstanceDatabase::LoadResult::Partial : SubstanceDatabase::LoadResult::Loaded);
        QCOMPARE(db.writable(), !cut);
        QCOMPARE(db.count(), qMax(0, db.lineCount() - 1));
        for (int k = 0; k < SubstanceDatabase::kFieldCount; ++k)
            for (const QString &f : db.field(SubstanceDatabase::Field(k)))
                QVERIFY(!f.contains(u'|') && !f.contains(u'\r') && !f.contains(u'\n') && !f.contains(QChar::Null));

        const QString nom = random->bounded(2) && db.count() ? db.field(SubstanceDatabase::Nom).at(random->bounded(db.count()))
                                                             : QStringLiteral("NOUVEAU");
        if (nom.isEmpty())
            continue;
        QString error;
        if (cut) {
            QVERIFY(!db.save(Record{nom, QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}, &error));
            QVERIFY(!db.remove(nom, &error));
            QCOMPARE(readDb(), bytes);
            continue;
        }
        QVERIFY2(db.save(Record{nom, QStringLiteral("200-662-2"), QStringLiteral("67-64-1"), QStringLiteral("-")}, &error),
                 qPrintable(error));
        SubstanceDatabase reread(m_start);
        QCOMPARE(reread.load(), SubstanceDatabase::LoadResult::Loaded);
        QCOMPARE(reread.lineCount(), db.lineCount());
        for (int k = 0; k < SubstanceDatabase::kFieldCount; ++k)
            QCOMPARE(reread.field(SubstanceDatabase::Field(k)), db.field(SubstanceDatabase::Field(k)));
    }
}

QTEST_GUILESS_MAIN(TestSubstanceDatabase)
#include "test_substancedatabase.moc"
