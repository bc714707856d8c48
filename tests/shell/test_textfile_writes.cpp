// How a file is replaced: through symbolic links, keeping owner and mode,
// refusing protected files, and saying every failure, including the ones that
// come after the new content took the old one's place.

#include "shell/textfile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestTextFileWrites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { TextFile::clearFault(); }

    void linksAreWrittenThroughAndKept()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("partage")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("moi")));
        const QString shared = dir.filePath(QStringLiteral("partage/base.csv"));
        put(shared, "ancien\r\n");
        // An absolute link, then a relative link to that link.
        const QString link = dir.filePath(QStringLiteral("moi/base.csv"));
        QVERIFY(QFile::link(shared, link));
        const QString second = dir.filePath(QStringLiteral("moi/copie.csv"));
        QCOMPARE(::symlink("base.csv", QFile::encodeName(second).constData()), 0);

        QString error;
        QVERIFY2(TextFile::writeLines(second, {QStringLiteral("nouveau")}, &error), qPrintable(error));
        QCOMPARE(contentOf(shared), QByteArray("nouveau\r\n"));
        QVERIFY(S_ISLNK(statOf(link).st_mode));
        QVERIFY(S_ISLNK(statOf(second).st_mode));
        QCOMPARE(QFile::symLinkTarget(link), shared);
        // The temporary file was made beside the target, and nothing is left.
        QCOMPARE(entries(dir.filePath(QStringLiteral("partage"))), QStringList{QStringLiteral("base.csv")});
        QCOMPARE(entries(dir.filePath(QStringLiteral("moi"))), (QStringList{"base.csv", "copie.csv"}));

        // A link to nothing yet creates its target.
        const QString later = dir.filePath(QStringLiteral("partage/plus_tard.pla"));
        const QString dangling = dir.filePath(QStringLiteral("moi/plus_tard.pla"));
        QVERIFY(QFile::link(later, dangling));
        QVERIFY2(TextFile::writeBytes(dangling, "x\r\n", &error), qPrintable(error));
        QCOMPARE(contentOf(later), QByteArray("x\r\n"));
        QVERIFY(S_ISLNK(statOf(dangling).st_mode));

        // A failed write through a link leaves target and link as they were.
        TextFile::injectFault(TextFile::WriteStep::Write, ENOSPC);
        QVERIFY(!TextFile::writeLines(link, {QStringLiteral("perdu")}, &error));
        QVERIFY2(error.contains(QStringLiteral("disque est plein")), qPrintable(error));
        QCOMPARE(contentOf(shared), QByteArray("nouveau\r\n"));
        QVERIFY(S_ISLNK(statOf(link).st_mode));
        QCOMPARE(entries(dir.filePath(QStringLiteral("partage"))), (QStringList{"base.csv", "plus_tard.pla"}));

        // A loop of links is said, and nothing is written.
        const QString a = dir.filePath(QStringLiteral("moi/a"));
        const QString b = dir.filePath(QStringLiteral("moi/b"));
        QVERIFY(QFile::link(b, a));
        QVERIFY(QFile::link(a, b));
        QVERIFY(!TextFile::writeLines(a, {QStringLiteral("boucle")}, &error));
        QVERIFY2(error.contains(QStringLiteral("boucle")), qPrintable(error));
        QVERIFY(S_ISLNK(statOf(a).st_mode) && S_ISLNK(statOf(b).st_mode));

        // A link to a folder is not followed into it.
        const QString toFolder = dir.filePath(QStringLiteral("moi/dossier.csv"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("partage")), toFolder));
        QVERIFY(!TextFile::writeLines(toFolder, {QStringLiteral("x")}, &error));
        QVERIFY2(error.contains(QStringLiteral("dossier")), qPrintable(error));
    }

    void ownerAndModeOfTheReplacedFileAreKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("etiquette.kvln"));
        for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664), mode_t(0755)}) {
            put(path, "ancien");
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
            QString error;
            QVERIFY2(TextFile::writeBytes(path, "nouveau", &error), qPrintable(error));
            QCOMPARE(contentOf(path), QByteArray("nouveau"));
            QCOMPARE(statOf(path).st_mode & 07777, mode);
        }

        // The owner: only root may give a file to another user. Root keeps
        // the owner of a file it replaces; anyone else keeps his own.
        put(path, "ancien");
        const uid_t other = 4242;
        const gid_t otherGroup = 4343;
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(QFile::encodeName(path).constData(), other, otherGroup), 0);
        QString error;
        QVERIFY2(TextFile::writeBytes(path, "nouveau", &error), qPrintable(error));
        const struct stat after = statOf(path);
        QCOMPARE(after.st_uid, root ? other : ::geteuid());
        QCOMPARE(after.st_gid, root ? otherGroup : ::getegid());
        QCOMPARE(after.st_mode & 07777, mode_t(0755));
    }

    void aFileWithoutWritePermissionIsNotReplacedEvenByRoot()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fav.dat"));
        put(path, "garde\r\n");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0444), 0);
        QString error;
        QVERIFY(!TextFile::writeLines(path, {QStringLiteral("perdu")}, &error));
        QVERIFY2(error.contains(QStringLiteral("protégé en écriture")), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("fav.dat")));
        QCOMPARE(contentOf(path), QByteArray("garde\r\n"));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("fav.dat")});
        // The same through a link.
        const QString link = dir.filePath(QStringLiteral("lien.dat"));
        QVERIFY(QFile::link(path, link));
        QVERIFY(!TextFile::writeLines(link, {QStringLiteral("perdu")}, &error));
        QCOMPARE(contentOf(path), QByteArray("garde\r\n"));
    }

    void everyFailingStepIsSaid_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("expected");
        QTest::newRow("create") << int(TextFile::WriteStep::Create) << EACCES << QStringLiteral("accès refusé");
        QTest::newRow("write") << int(TextFile::WriteStep::Write) << ENOSPC << QStringLiteral("disque est plein");
        QTest::newRow("file sync") << int(TextFile::WriteStep::FileSync) << EIO << QStringLiteral("entrée-sortie");
        QTest::newRow("close") << int(TextFile::WriteStep::Close) << EDQUOT << QStringLiteral("disque est plein");
        QTest::newRow("rename") << int(TextFile::WriteStep::Rename) << EROFS << QStringLiteral("lecture seule");
    }

    void everyFailingStepIsSaid()
    {
        QFETCH(int, step);
        QFETCH(int, err);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("planche.pla"));
        put(path, "ancien\r\n");
        TextFile::injectFault(TextFile::WriteStep(step), err);
        QString reason;
        bool replaced = true;
        QVERIFY(!TextFile::replaceFile(path, "nouveau\r\n", &reason, &replaced));
        QVERIFY2(reason.contains(expected), qPrintable(reason));
        QVERIFY(!replaced);
        QCOMPARE(contentOf(path), QByteArray("ancien\r\n"));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("planche.pla")});
        // The fault struck once: the next write goes through.
        QVERIFY(TextFile::replaceFile(path, "nouveau\r\n", &reason, &replaced));
        QVERIFY(replaced);
        QCOMPARE(contentOf(path), QByteArray("nouveau\r\n"));
    }

    void aFolderThatCannotBeSyncedIsAFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dat.ini"));
        put(path, "ancien\r\n");
        TextFile::injectFault(TextFile::WriteStep::FolderSync, EIO);
        QString reason;
        bool replaced = false;
        QVERIFY(!TextFile::replaceFile(path, "nouveau\r\n", &reason, &replaced));
        // The new content is in place, but the user is told it may not last.
        QVERIFY(replaced);
        QVERIFY2(reason.contains(QStringLiteral("synchronisé")) && reason.contains(QStringLiteral("entrée-sortie")),
                 qPrintable(reason));
        QCOMPARE(contentOf(path), QByteArray("nouveau\r\n"));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("dat.ini")});

        TextFile::injectFault(TextFile::WriteStep::FolderSync, EIO);
        QString error;
        QVERIFY(!TextFile::writeLines(path, {QStringLiteral("encore")}, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Impossible d'enregistrer le fichier \"dat.ini\"")), qPrintable(error));
    }

    void aTextCutByANulByteIsToldApart()
    {
        QCOMPARE(TextFile::cutOffset("abc\r\ndef"), qsizetype(-1));
        QCOMPARE(TextFile::cutOffset(QByteArray("abc\r\n\0\0\0", 8)), qsizetype(-1)); // padding only
        QVERIFY(TextFile::cutDescription(QByteArray("abc\0\0", 5)).isEmpty());
        const QByteArray cut("NOM|\r\nA|\r\nB|\0C|\r\n", 17);
        QCOMPARE(TextFile::cutOffset(cut), qsizetype(12));
        const QString what = TextFile::cutDescription(cut);
        QVERIFY2(what.contains(QStringLiteral("position 12")) && what.contains(QStringLiteral("ligne 3")),
                 qPrintable(what));
        QVERIFY(!what.contains(QStringLiteral("UTF-16")));
        // A NUL at the start of a line belongs to that line.
        QVERIFY(TextFile::cutDescription(QByteArray("A\r\nB\r\n\0C", 8)).contains(QStringLiteral("ligne 3")));
        QVERIFY(TextFile::cutDescription(QByteArray("\0C", 2)).contains(QStringLiteral("ligne 1")));
        // Wide-character text, with or without its byte order mark.
        const QByteArray wide("\xFF\xFEN\0O\0M\0|\0\r\0\n\0", 14);
        QVERIFY(TextFile::cutDescription(wide).contains(QStringLiteral("UTF-16")));
        QVERIFY(TextFile::cutDescription(wide.mid(2)).contains(QStringLiteral("UTF-16")));
    }
};

QTEST_GUILESS_MAIN(TestTextFileWrites)
#include "test_textfile_writes.moc"
