// The sheet file: written with CR LF after every entry, read with any line
// end, empty entries kept, a 0-byte file for an empty list, files that are
// not sheets refused with a French message, failed writes leaving the old
// file whole.

#include "tools/sheetfile.h"

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

} // namespace

class TestSheetFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void roundTripWithCrLf()
    {
        const QString path = m_dir.filePath(QStringLiteral("trois.pla"));
        const QStringList entries = {QStringLiteral("/home/hse/Kalvane/Acétone.kvln"),
                                     QStringLiteral("/home/hse/Kalvane/Acide sulfurique 96%.kvln"),
                                     QStringLiteral("/home/hse/Kalvane/Hypochlorite de sodium.kvln")};
        QString error;
        QVERIFY2(SheetFile::write(path, entries, &error), qPrintable(error));
        QCOMPARE(TestFiles::read(path), QByteArray("/home/hse/Kalvane/Ac\xE9tone.kvln\r\n"
                                           "/home/hse/Kalvane/Acide sulfurique 96%.kvln\r\n"
                                           "/home/hse/Kalvane/Hypochlorite de sodium.kvln\r\n"));
        QStringList back;
        QVERIFY(SheetFile::read(path, &back, &error));
        QCOMPARE(back, entries);
    }

    void anyLineEndReadsTheSame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        const QStringList abc = {QStringLiteral("a.kvln"), QStringLiteral("b.kvln"), QStringLiteral("c.kvln")};
        QTest::newRow("CR LF") << QByteArray("a.kvln\r\nb.kvln\r\nc.kvln\r\n") << abc;
        QTest::newRow("LF") << QByteArray("a.kvln\nb.kvln\nc.kvln\n") << abc;
        QTest::newRow("CR") << QByteArray("a.kvln\rb.kvln\rc.kvln\r") << abc;
        QTest::newRow("no last line end") << QByteArray("a.kvln\r\nb.kvln\r\nc.kvln") << abc;
        QTest::newRow("mixed") << QByteArray("a.kvln\nb.kvln\r\nc.kvln\r") << abc;
        QTest::newRow("empty middle line")
            << QByteArray("a.kvln\r\n\r\nc.kvln\r\n")
            << QStringList{QStringLiteral("a.kvln"), QString(), QStringLiteral("c.kvln")};
        QTest::newRow("empty last line kept once")
            << QByteArray("a.kvln\r\n\r\n") << QStringList{QStringLiteral("a.kvln"), QString()};
        QTest::newRow("0 bytes") << QByteArray() << QStringList();
        QTest::newRow("NUL ends the text") << QByteArray("a.kvln\r\nb.kvln\0\0\0", 17)
                                           << QStringList{QStringLiteral("a.kvln"), QStringLiteral("b.kvln")};
        QTest::newRow("blanks kept") << QByteArray(" a.kvln \r\n")
                                     << QStringList{QStringLiteral(" a.kvln ")};
    }

    void anyLineEndReadsTheSame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        const QString path = m_dir.filePath(QStringLiteral("lu.pla"));
        QVERIFY(TestFiles::write(path, bytes));
        QStringList read = {QStringLiteral("previous")};
        QString error;
        QVERIFY2(SheetFile::read(path, &read, &error), qPrintable(error));
        // Entries written relative are taken from the sheet's folder.
        for (QString &e : entries)
            if (!e.isEmpty())
                e = m_dir.filePath(e);
        QCOMPARE(read, entries);
    }

    void emptyListIsAnEmptyFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("vide.pla"));
        QVERIFY(TestFiles::write(path, "old content\r\n"));
        QVERIFY(SheetFile::write(path, {}));
        QCOMPARE(QFileInfo(path).size(), 0);
        QStringList read = {QStringLiteral("x")};
        QVERIFY(SheetFile::read(path, &read));
        QVERIFY(read.isEmpty());
    }

    void unreadableFilesAreRefusedInFrench()
    {
        const QStringList before = {QStringLiteral("kept")};
        const auto refused = [&](const QString &path, const QString &expected) {
            QStringList entries = before;
            QString error;
            QVERIFY(!SheetFile::read(path, &entries, &error));
            QCOMPARE(entries, before);
            QVERIFY2(error.contains(QFileInfo(path).fileName()), qPrintable(error));
            QVERIFY2(error.contains(expected), qPrintable(error));
            QVERIFY2(error.startsWith(QStringLiteral("Impossible de lire le fichier")), qPrintable(error));
        };
        refused(m_dir.filePath(QStringLiteral("absent.pla")), QStringLiteral("n'existe pas"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("dossier.pla")));
        refused(m_dir.filePath(QStringLiteral("dossier.pla")), QStringLiteral("dossier"));

        // A picture or a UTF-16 text chosen by mistake is no sheet.
        const QString jpeg = m_dir.filePath(QStringLiteral("image.pla"));
        QVERIFY(TestFiles::write(jpeg, QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01", 13)));
        refused(jpeg, QStringLiteral("planche d'étiquettes"));
        const QString utf16 = m_dir.filePath(QStringLiteral("utf16.pla"));
        QVERIFY(TestFiles::write(utf16, QByteArray("\xFF\xFE/\0h\0o\0m\0e\0\r\0\n\0", 16)));
        refused(utf16, QStringLiteral("planche d'étiquettes"));

        if (::geteuid() != 0) {
            const QString locked = m_dir.filePath(QStringLiteral("verrou.pla"));
            QVERIFY(TestFiles::write(locked, "a.kvln\r\n"));
            QFile::setPermissions(locked, QFileDevice::Permissions());
            refused(locked, QStringLiteral("accès refusé"));
        }
    }

    void failedWriteKeepsTheOldFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("garde.pla"));
        const QByteArray old("a.kvln\r\nb.kvln\r\n");
        QVERIFY(TestFiles::write(path, old));
        // A character Windows-1252 cannot hold: nothing is replaced.
        QString error;
        QVERIFY(!SheetFile::write(path, {QStringLiteral("/tmp/\u03C9.kvln")}, &error));
        QCOMPARE(TestFiles::read(path), old);
        QVERIFY2(error.contains(QStringLiteral("garde.pla")), qPrintable(error));
        // A folder in the way, a folder that does not exist.
        QVERIFY(!SheetFile::write(m_dir.path(), {QStringLiteral("x")}, &error));
        QVERIFY(QFileInfo(m_dir.path()).isDir());
        QVERIFY(!SheetFile::write(m_dir.filePath(QStringLiteral("nulle/part.pla")), {QStringLiteral("x")}, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Impossible d'enregistrer")), qPrintable(error));
        // No temporary file is left beside the target.
        const QStringList left = QDir(m_dir.path()).entryList({QStringLiteral("garde.pla*")}, QDir::Files);
        QCOMPARE(left, QStringList{QStringLiteral("garde.pla")});
    }

    void atMostEighteenEntries()
    {
        QStringList twenty;
        for (int i = 0; i < 20; ++i)
            twenty << QStringLiteral("f%1.kvln").arg(i);
        bool dropped = false;
        const QStringList kept = SheetFile::firstEntries(twenty, &dropped);
        QVERIFY(dropped);
        QCOMPARE(kept.size(), 18);
        QCOMPARE(kept.constLast(), QStringLiteral("f17.kvln"));
        QCOMPARE(SheetFile::firstEntries(kept, &dropped), kept);
        QVERIFY(!dropped);
    }

    void entriesAreMadeAbsolute()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QCOMPARE(SheetFile::expanded(QStringLiteral("sous/fiche.kvln")),
                 QDir(m_dir.path()).absoluteFilePath(QStringLiteral("sous/fiche.kvln")));
        QCOMPARE(SheetFile::expanded(QStringLiteral("/a/./b/../c.kvln")), QStringLiteral("/a/c.kvln"));
        QDir::setCurrent(previous);
    }
};

QTEST_GUILESS_MAIN(TestSheetFile)
#include "test_sheetfile.moc"
