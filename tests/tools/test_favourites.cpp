// The favourites file: reading hand-made and damaged files, writing it back
// whole or not at all, and the list a session starts with.

#include "shell/textfile.h"
#include "tools/favouritesfile.h"

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

} // namespace

class TestFavouritesFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file() const { return m_dir.filePath(FavouritesFile::kFileName); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(file());
    }

    void readsEveryLineEndingAndTheWindowsCodePage()
    {
        // Lines ended by CR LF, a lone CR, a lone LF and none; "É" is 0xC9.
        QVERIFY(TestFiles::write(file(), "/data/fiches\r\n/data/\xC9tiquettes\r/srv/labo\n/home/u/chimie"));
        QStringList folders;
        QString error;
        QVERIFY(FavouritesFile::read(file(), m_dir.path(), &folders, &error));
        QCOMPARE(folders, (QStringList{QStringLiteral("/data/fiches"), QStringLiteral("/data/Étiquettes"),
                                       QStringLiteral("/srv/labo"), QStringLiteral("/home/u/chimie")}));
        QVERIFY(error.isEmpty());
    }

    void handMadeLinesAreTidied()
    {
        // Blank lines, a repeated folder, a trailing separator, a relative
        // line, and NUL bytes padding the end, which add nothing.
        QVERIFY(TestFiles::write(file(), QByteArray("/a/b/\r\n\r\n   \r\n/a/b\r\nlocal\r\n/a//c\r\n\0\0", 37)));
        QStringList folders;
        QVERIFY(FavouritesFile::read(file(), QStringLiteral("/start"), &folders));
        QCOMPARE(folders, (QStringList{QStringLiteral("/a/b"), QStringLiteral("/start/local"), QStringLiteral("/a/c")}));
        // A line starting with ":" is a folder name like any other.
        TestFiles::write(file(), ":labo\r\n:\r\n");
        QVERIFY(FavouritesFile::read(file(), QStringLiteral("/start"), &folders));
        QCOMPARE(folders, (QStringList{QStringLiteral("/start/:labo"), QStringLiteral("/start/:")}));
    }

    void missingEmptyAndUnreadableFiles()
    {
        QStringList folders{QStringLiteral("left over")};
        QString error;
        QVERIFY(FavouritesFile::read(file(), m_dir.path(), &folders, &error));
        QVERIFY(folders.isEmpty());

        QVERIFY(TestFiles::write(file(), ""));
        QVERIFY(FavouritesFile::read(file(), m_dir.path(), &folders, &error));
        QVERIFY(folders.isEmpty());

        // A folder where the file should be cannot be read: a French message.
        QDir(m_dir.path()).mkdir(QStringLiteral("dir.dat"));
        const QString dir = m_dir.filePath(QStringLiteral("dir.dat"));
        QVERIFY(!FavouritesFile::read(dir, m_dir.path(), &folders, &error));
        QVERIFY2(error.contains(QStringLiteral("dir.dat")), qPrintable(error));
        QVERIFY(folders.isEmpty());
    }

    void absurdlyLongLinesAreDropped()
    {
        QVERIFY(TestFiles::write(file(), "/ok\r\n/" + QByteArray(100000, 'x') + "\r\n/ok2\r\n"));
        QStringList folders;
        QVERIFY(FavouritesFile::read(file(), m_dir.path(), &folders));
        QCOMPARE(folders, (QStringList{QStringLiteral("/ok"), QStringLiteral("/ok2")}));
    }

    void writesWindowsTextWithCrLfAfterEveryLine()
    {
        QString error;
        QVERIFY(FavouritesFile::write(file(), {QStringLiteral("/data/Étiquettes"), QStringLiteral("/srv/labo")}, &error));
        QCOMPARE(TestFiles::read(file()), QByteArray("/data/\xC9tiquettes\r\n/srv/labo\r\n"));

        QStringList back;
        QVERIFY(FavouritesFile::read(file(), m_dir.path(), &back));
        QCOMPARE(back, (QStringList{QStringLiteral("/data/Étiquettes"), QStringLiteral("/srv/labo")}));

        // An empty list empties the file.
        QVERIFY(FavouritesFile::write(file(), {}, &error));
        QVERIFY(QFile::exists(file()));
        QCOMPARE(TestFiles::read(file()), QByteArray());
    }

    void aFolderTheFileCannotHoldLeavesItWhole()
    {
        QVERIFY(FavouritesFile::write(file(), {QStringLiteral("/srv/labo")}));
        const QByteArray before = TestFiles::read(file());

        QString error;
        QVERIFY(!FavouritesFile::write(file(), {QStringLiteral("/srv/labo"), QStringLiteral("/srv/化学")}, &error));
        QVERIFY2(error.contains(QStringLiteral("化")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Windows-1252")), qPrintable(error));
        QCOMPARE(TestFiles::read(file()), before);

        // A line break inside a name would split it into two favourites.
        QVERIFY(!FavouritesFile::write(file(), {QStringLiteral("/srv/a\nb")}, &error));
        QVERIFY2(error.contains(QStringLiteral("saut de ligne")), qPrintable(error));
        QCOMPARE(TestFiles::read(file()), before);
    }

    void storableFolders()
    {
        QString problem;
        QVERIFY(FavouritesFile::storable(QStringLiteral("/home/u/Fiches sécurité (œuvre) €"), &problem));
        QVERIFY(problem.isEmpty());
        QVERIFY(!FavouritesFile::storable(QStringLiteral("/home/u/Ελληνικά"), &problem));
        QVERIFY(problem.contains(QStringLiteral("Ε")));
        QVERIFY(!FavouritesFile::storable(QStringLiteral("/home/u/a\rb")));
    }

    void startList()
    {
        QCOMPARE(FavouritesFile::startList(QStringLiteral("/last"), {}), QStringList{QStringLiteral("/last")});
        const QStringList stored{QStringLiteral("/b"), QStringLiteral("/a")};
        QCOMPARE(FavouritesFile::startList(QStringLiteral("/last"), stored), stored);
        // A settings file whose first line is empty names no folder.
        QVERIFY(FavouritesFile::startList(QString(), {}).isEmpty());
    }

    void aFileCutByANulIsReadInPartAndSaidSo()
    {
        TestFiles::write(file(), QByteArray("/a\r\n/b\r\n\0/c\r\n/d\r\n", 17));
        QStringList folders;
        QString error;
        bool partial = false;
        QVERIFY(!FavouritesFile::read(file(), QStringLiteral("/start"), &folders, &error, &partial));
        QVERIFY(partial);
        QCOMPARE(folders, (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
        QVERIFY2(error.contains(QDir::toNativeSeparators(file())) && error.contains(QStringLiteral("position 8"))
                     && error.contains(QStringLiteral("ligne 3")),
                 qPrintable(error));
        // A file that cannot be read at all is not partial.
        QVERIFY(!FavouritesFile::read(m_dir.path(), QStringLiteral("/start"), &folders, &error, &partial));
        QVERIFY(!partial);
    }

    void aWriteIntoAMissingFolderFails()
    {
        QString error;
        QVERIFY(!FavouritesFile::write(m_dir.filePath(QStringLiteral("absent/fav.dat")), {QStringLiteral("/a")}, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFavouritesFile)
#include "test_favourites.moc"
