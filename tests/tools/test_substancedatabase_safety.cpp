// The substance database is never written back from a partial read, never
// written without its backup, says a write it could not confirm, and is
// written through a link to a shared copy.

#include "shell/textfile.h"
#include "tools/substancedatabase.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using Record = SubstanceDatabase::Record;

namespace {

// A database of `count` records, "SUBSTANCE 0001"..., as a save writes it.
QByteArray manyRecords(int count)
{
    QByteArray bytes = "NOM|CE|CAS|INDEX\r\n";
    for (int i = 1; i <= count; ++i)
        bytes += QByteArray("SUBSTANCE ") + QByteArray::number(i).rightJustified(4, '0') + "|200-662-2|67-64-1|-|\r\n";
    return bytes;
}

} // namespace

class TestSubstanceDatabaseSafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_start = m_dir->path() + u'/';
        QVERIFY(QDir().mkpath(m_start + QStringLiteral("databases")));
    }
    void cleanup() { TextFile::clearFault(); }

    void aDatabaseCutByANulIsShownButNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("readRecords");
        QTest::addColumn<QString>("expected");
        // A NUL after the fourth of 549 records (a damaged sector, a stray byte).
        const QByteArray whole = manyRecords(549);
        const qsizetype fifth = whole.indexOf("SUBSTANCE 0005");
        QTest::newRow("NUL") << QByteArray(whole).insert(fifth, '\0') << 4 << QStringLiteral("ligne 6");
        // The same database saved as UTF-16 by another editor.
        QByteArray wide = "\xFF\xFE";
        for (char c : manyRecords(3)) {
            wide += c;
            wide += '\0';
        }
        QTest::newRow("UTF-16") << wide << 0 << QStringLiteral("UTF-16");
    }

    void aDatabaseCutByANulIsShownButNeverWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, readRecords);
        QFETCH(QString, expected);
        write(bytes);
        SubstanceDatabase db(m_start);
        QString error;
        QCOMPARE(db.load(&error), SubstanceDatabase::LoadResult::Partial);
        QVERIFY(!db.writable());
        QCOMPARE(db.count(), readRecords);
        // The message names the database, its file and where the text stopped.
        QVERIFY2(error.contains(QStringLiteral("« db_francais »")) && error.contains(QStringLiteral("db_francais.csv"))
                     && error.contains(QStringLiteral("n'a pas pu être lue entièrement")) && error.contains(expected),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("%1 fiches").arg(readRecords)), qPrintable(error));

        // Neither a save nor a delete writes the part that was read.
        QVERIFY(!db.save(Record{QStringLiteral("ACIDE CHLORHYDRIQUE"), "231-595-7", "7647-01-0", "017-002-01-X"}, &error));
        QVERIFY2(error.contains(QStringLiteral("n'a pas pu être lue entièrement")), qPrintable(error));
        QVERIFY(!db.remove(QStringLiteral("SUBSTANCE 0001"), &error));
        QCOMPARE(read(".csv"), bytes);
        QVERIFY(!QFile::exists(m_start + QStringLiteral("databases/db_francais.bak")));
        QCOMPARE(db.count(), readRecords);
    }

    void aBackupThatCannotBeWrittenStopsTheWrite()
    {
        const QByteArray before = manyRecords(3);
        write(before);
        SubstanceDatabase db(m_start);
        QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);

        // The first file written is the backup: it fails on a full disk.
        TextFile::injectFault(TextFile::WriteStep::Write, ENOSPC);
        QString error;
        QVERIFY(!db.save(Record{QStringLiteral("EAU"), "231-791-2", "7732-18-5", "-"}, &error));
        QVERIFY2(error.contains(QStringLiteral("copie de sécurité « db_francais.bak »"))
                     && error.contains(QStringLiteral("disque est plein"))
                     && error.contains(QStringLiteral("Le fichier est resté tel qu'il était")),
                 qPrintable(error));
        QCOMPARE(read(".csv"), before);
        QCOMPARE(db.count(), 3);

        // A backup the user protected is not replaced, so nothing is written.
        QFile bak(m_start + QStringLiteral("databases/db_francais.bak"));
        QVERIFY(bak.open(QIODevice::WriteOnly));
        bak.write("copie gardée\r\n");
        bak.close();
        QVERIFY(bak.setPermissions(QFileDevice::ReadOwner));
        QVERIFY(!db.remove(QStringLiteral("SUBSTANCE 0002"), &error));
        QVERIFY2(error.contains(QStringLiteral("protégé en écriture")), qPrintable(error));
        QCOMPARE(read(".csv"), before);
        QCOMPARE(read(".bak"), QByteArray("copie gardée\r\n"));
        QCOMPARE(db.count(), 3);
        // No temporary file is left beside them.
        QCOMPARE(QDir(m_start + QStringLiteral("databases")).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"db_francais.bak", "db_francais.csv"}));
    }

    void aWriteThatCannotBeConfirmedIsAWarning()
    {
        write(manyRecords(2));
        SubstanceDatabase db(m_start);
        QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
        // The backup's folder sync goes well, the database's fails.
        TextFile::injectFault(TextFile::WriteStep::FolderSync, EIO, 2);
        QString error;
        QVERIFY(db.save(Record{QStringLiteral("EAU"), "231-791-2", "7732-18-5", "-"}, &error));
        QVERIFY2(error.contains(QStringLiteral("pas de façon sûre")) && error.contains(QStringLiteral("synchronisé")),
                 qPrintable(error));
        // The file holds the record, and the lists follow the file.
        QVERIFY(read(".csv").contains("EAU|231-791-2|7732-18-5|-|\r\n"));
        QCOMPARE(db.count(), 3);
        QCOMPARE(db.lastIndexOf(QStringLiteral("EAU")), 0);
        QCOMPARE(read(".bak"), manyRecords(2));
        // A write that goes well leaves no warning behind.
        QVERIFY(db.remove(QStringLiteral("EAU"), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void aLinkedDatabaseIsWrittenThrough()
    {
        // The databases folder links a shared copy and its backup.
        QTemporaryDir shared;
        const QString copy = shared.filePath(QStringLiteral("labo.csv"));
        const QString copyBak = shared.filePath(QStringLiteral("labo.bak"));
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(manyRecords(1));
        f.close();
        QVERIFY(QFile::link(copy, m_start + QStringLiteral("databases/db_francais.csv")));
        QVERIFY(QFile::link(copyBak, m_start + QStringLiteral("databases/db_francais.bak")));

        SubstanceDatabase db(m_start);
        QCOMPARE(db.load(), SubstanceDatabase::LoadResult::Loaded);
        QString error;
        QVERIFY2(db.save(Record{QStringLiteral("EAU"), "231-791-2", "7732-18-5", "-"}, &error), qPrintable(error));
        QVERIFY(QFileInfo(m_start + QStringLiteral("databases/db_francais.csv")).isSymLink());
        QVERIFY(QFileInfo(m_start + QStringLiteral("databases/db_francais.bak")).isSymLink());
        QFile back(copy);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QVERIFY(back.readAll().contains("EAU|231-791-2|7732-18-5|-|"));
        QFile bak(copyBak);
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), manyRecords(1));
    }

private:
    void write(const QByteArray &bytes)
    {
        QFile f(m_start + QStringLiteral("databases/db_francais.csv"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const char *ext) const
    {
        QFile f(m_start + QStringLiteral("databases/db_francais") + QLatin1String(ext));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_start;
};

QTEST_GUILESS_MAIN(TestSubstanceDatabaseSafety)
#include "test_substancedatabase_safety.moc"
