// Finding label files by the beginning or a part of their names: the
// wildcard rule, letter case, what counts as a label file, the folder
// boundary, the order of the list and the length limits of paths.

#include "tools/labelscan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
}

// Dates a folder back, as a folder nobody touched for an hour.
void settle(const QString &folder)
{
    const timespec times[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), times, 0) == 0);
}

} // namespace

class TestLabelScan : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_folder;

    QStringList scan(const QString &text, LabelScan::Mode mode = LabelScan::Mode::StartsWith) const
    {
        return LabelScan::scan(m_folder, text, mode);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The parent holds a label of its own, which a search must never reach.
        touch(m_root.filePath(QStringLiteral("ACIDE parent.kvln")));
        QDir(m_root.path()).mkdir(QStringLiteral("fiches"));
        m_folder = m_root.filePath(QStringLiteral("fiches"));
        const QDir d(m_folder);
        for (const char *name : {"ACETONE.kvln", "acide.kvln", "BASE.kvln"})
            touch(d.filePath(QString::fromLatin1(name)));
    }

    void beginningContainingAndEmpty()
    {
        QCOMPARE(scan(QStringLiteral("AC")), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));
        QCOMPARE(scan(QStringLiteral("ac")), scan(QStringLiteral("AC")));
        QCOMPARE(scan(QStringLiteral("SE"), LabelScan::Mode::Contains), QStringList{QStringLiteral("BASE.kvln")});
        QCOMPARE(scan(QStringLiteral("SE")), QStringList());
        const QStringList all{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln"), QStringLiteral("BASE.kvln")};
        QCOMPARE(scan(QString()), all);
        QCOMPARE(scan(QString(), LabelScan::Mode::Contains), all);
        // The text has to come before the extension.
        QCOMPARE(scan(QStringLiteral("E.KV"), LabelScan::Mode::Contains), QStringList());
    }

    void typedWildcardsKeepTheirMeaning()
    {
        QCOMPARE(scan(QStringLiteral("a?i")), QStringList{QStringLiteral("acide.kvln")});
        QCOMPARE(scan(QStringLiteral("*ONE")), QStringList{QStringLiteral("ACETONE.kvln")});
        QCOMPARE(scan(QStringLiteral("B*E")), QStringList{QStringLiteral("BASE.kvln")});
        QCOMPARE(scan(QStringLiteral("?????")), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));
        QCOMPARE(scan(QStringLiteral("???????")), QStringList{QStringLiteral("ACETONE.kvln")});
        QCOMPARE(scan(QStringLiteral("????????")), QStringList());
    }

    void otherCharactersStandForThemselves()
    {
        QTemporaryDir dir;
        for (const char *name : {"[x] acide.kvln", "x acide.kvln", "50% soude.kvln", "5 soude.kvln", "a.b.kvln", "axb.kvln"})
            touch(QDir(dir.path()).filePath(QString::fromLatin1(name)));
        QCOMPARE(LabelScan::scan(dir.path(), QStringLiteral("[x]"), LabelScan::Mode::StartsWith),
                 QStringList{QStringLiteral("[x] acide.kvln")});
        QCOMPARE(LabelScan::scan(dir.path(), QStringLiteral("%"), LabelScan::Mode::Contains),
                 QStringList{QStringLiteral("50% soude.kvln")});
        QCOMPARE(LabelScan::scan(dir.path(), QStringLiteral("a.b"), LabelScan::Mode::StartsWith),
                 QStringList{QStringLiteral("a.b.kvln")});
    }

    void onlyLabelFilesOfTheFolderItself()
    {
        QTemporaryDir dir;
        const QDir d(dir.path());
        for (const char *name : {"eau.kvln", "EAU2.KVLN", "eau.kvln.bak", "eau.txt", "eau.kvl", ".eau cachée.kvln", "eaukvln"})
            touch(d.filePath(QString::fromLatin1(name)));
        d.mkdir(QStringLiteral("eau dossier.kvln"));
        touch(d.filePath(QStringLiteral("eau dossier.kvln/eau dedans.kvln")));
        QFile::link(d.filePath(QStringLiteral("eau.kvln")), d.filePath(QStringLiteral("eau lien.kvln")));
        QFile::link(d.filePath(QStringLiteral("absent.kvln")), d.filePath(QStringLiteral("eau perdu.kvln")));
        QCOMPARE(LabelScan::scan(dir.path(), QStringLiteral("eau"), LabelScan::Mode::StartsWith),
                 (QStringList{QStringLiteral("eau lien.kvln"), QStringLiteral("eau.kvln"), QStringLiteral("EAU2.KVLN")}));
    }

    void theTypedTextNeverLeavesTheFolder()
    {
        for (const QString &text : {QStringLiteral("../AC"), QStringLiteral("/"), QStringLiteral(".."),
                                    QStringLiteral("../*"), QStringLiteral("*/..")}) {
            QVERIFY2(scan(text).isEmpty(), qPrintable(text));
            QVERIFY2(scan(text, LabelScan::Mode::Contains).isEmpty(), qPrintable(text));
        }
    }

    void aMissingFolderGivesNothing()
    {
        QVERIFY(LabelScan::scan(m_root.filePath(QStringLiteral("gone")), QString(), LabelScan::Mode::Contains).isEmpty());
        // An empty folder name is not the working directory.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_folder);
        QVERIFY(LabelScan::scan(QString(), QString(), LabelScan::Mode::Contains).isEmpty());
        QDir::setCurrent(previous);
    }

    void aKeptListingFollowsEveryChangeOfTheFolder()
    {
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("labo"));
        QDir().mkpath(folder);
        touch(folder + QStringLiteral("/eau.kvln"));
        settle(folder);
        LabelScan search;
        const auto all = [&] { return search.find(folder, QString(), LabelScan::Mode::Contains); };
        QCOMPARE(all(), QStringList{QStringLiteral("eau.kvln")});
        QCOMPARE(search.find(folder, QStringLiteral("x"), LabelScan::Mode::Contains), QStringList());

        touch(folder + QStringLiteral("/acide.kvln"));
        QCOMPARE(all(), (QStringList{QStringLiteral("acide.kvln"), QStringLiteral("eau.kvln")}));
        settle(folder);
        QVERIFY(QFile::rename(folder + QStringLiteral("/eau.kvln"), folder + QStringLiteral("/zinc.kvln")));
        QCOMPARE(all(), (QStringList{QStringLiteral("acide.kvln"), QStringLiteral("zinc.kvln")}));
        settle(folder);
        QVERIFY(QFile::remove(folder + QStringLiteral("/acide.kvln")));
        QCOMPARE(all(), QStringList{QStringLiteral("zinc.kvln")});

        // Another folder put in its place, even with the same date, is read.
        settle(folder);
        QVERIFY(QDir(root.path()).rename(QStringLiteral("labo"), QStringLiteral("ancien")));
        QDir().mkpath(folder);
        touch(folder + QStringLiteral("/base.kvln"));
        settle(folder);
        QCOMPARE(all(), QStringList{QStringLiteral("base.kvln")});
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(all().isEmpty());
    }

    void matchingRules()
    {
        using M = LabelScan::Mode;
        QCOMPARE(LabelScan::pattern(QStringLiteral("ac"), M::StartsWith), QStringLiteral("ac*.kvln"));
        QCOMPARE(LabelScan::pattern(QStringLiteral("ac"), M::Contains), QStringLiteral("*ac*.kvln"));
        QVERIFY(LabelScan::matches(QStringLiteral("*ab*.kvln"), QStringLiteral("aab.KVLN")));
        QVERIFY(LabelScan::matches(QStringLiteral("*ab*.kvln"), QStringLiteral("xaxab.kvln")));
        QVERIFY(!LabelScan::matches(QStringLiteral("ac?*.kvln"), QStringLiteral("ac.kvln")));
        QVERIFY(LabelScan::matches(QStringLiteral("éth*.kvln"), QStringLiteral("ÉTHANOL.kvln")));
        QVERIFY(!LabelScan::matches(QStringLiteral("eth*.kvln"), QStringLiteral("éthanol.kvln")));
        QVERIFY(!LabelScan::matches(QStringLiteral("a*.kvln"), QStringLiteral("a.kvln.old")));
    }

    void frenchAlphabeticalOrder()
    {
        QStringList names{QStringLiteral("Zinc.kvln"), QStringLiteral("Éther.kvln"), QStringLiteral("eau.kvln"),
                          QStringLiteral("ether.kvln"), QStringLiteral("Acide.kvln"), QStringLiteral("acétone.kvln"),
                          QStringLiteral("ACIDE.kvln")};
        LabelScan::sortNames(names);
        QCOMPARE(names, (QStringList{QStringLiteral("acétone.kvln"), QStringLiteral("ACIDE.kvln"),
                                     QStringLiteral("Acide.kvln"), QStringLiteral("eau.kvln"),
                                     QStringLiteral("ether.kvln"), QStringLiteral("Éther.kvln"),
                                     QStringLiteral("Zinc.kvln")}));
    }

    void namesThatAreNotUtf8AreListedAndKeepTheirBytes()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const auto make = [&](const QByteArray &name) {
            const int fd = ::open((folder + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        };
        make("caf\xE9.kvln");              // Windows-1252 "é"
        make("caf\xC3\xA9.kvln");          // the same name in UTF-8
        make("\xC3\xA9t\xE9 \x80.kvln");    // valid UTF-8 and lone bytes mixed
        LabelScan scan;
        QStringList names = scan.find(dir.path(), QString(), LabelScan::Mode::StartsWith);
        QStringList sorted = names;
        LabelScan::sortNames(sorted);
        QCOMPARE(names, sorted); // in the list's order with the others
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("café.kvln"), QStringLiteral("café\uFFFD.kvln"),
                                     QStringLiteral("été €.kvln")}));
        // Each name gives back its own bytes; the valid one its UTF-8.
        QCOMPARE(scan.nativeName(QStringLiteral("café.kvln")), QByteArray("caf\xC3\xA9.kvln"));
        QCOMPARE(scan.nativeName(QStringLiteral("café\uFFFD.kvln")), QByteArray("caf\xE9.kvln"));
        QCOMPARE(scan.nativePath(dir.path(), QStringLiteral("été €.kvln")), folder + "/\xC3\xA9t\xE9 \x80.kvln");
        // Searching finds them by what the list shows.
        QCOMPARE(scan.find(dir.path(), QStringLiteral("ét"), LabelScan::Mode::StartsWith),
                 QStringList{QStringLiteral("été €.kvln")});
        QCOMPARE(LabelScan::readableName("a\xFF\xF0\x9F\x98\x80.kvln"), QStringLiteral("aÿ\U0001F600.kvln"));
    }

    void pathLengthLimits()
    {
        QVERIFY(!LabelScan::pathTooLong(QStringLiteral("/home/u/fiches/ACETONE.kvln")));
        QVERIFY(LabelScan::pathTooLong(u'/' + QString(5000, u'a')));
        // One name longer than a name may be.
        QVERIFY(LabelScan::pathTooLong(QStringLiteral("/tmp/") + QString(256, u'a') + QStringLiteral(".kvln")));
        QVERIFY(!LabelScan::pathTooLong(QStringLiteral("/tmp/") + QString(250, u'a')));
        // The limits count bytes: 2 100 "é" are 4 200 bytes.
        QVERIFY(LabelScan::pathTooLong(u'/' + (QString(105, u'é') + u'/').repeated(20)));
        QVERIFY(!LabelScan::pathTooLong(u'/' + (QString(50, u'é') + u'/').repeated(20)));
    }
};

QTEST_GUILESS_MAIN(TestLabelScan)
#include "test_favourites_scan.moc"
