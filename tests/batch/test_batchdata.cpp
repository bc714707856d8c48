// kalvane-batch run as a process: where it finds its data without --data
// (the user's start directory, else the data installed with the program),
// catalogues that cannot be read (status 2, one line, no verdict), and the
// findings of "planche", one line per entry.

#include "batchrun.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using BatchRun::run;

namespace {

const QStringList kSamples = {QStringLiteral("Acetone.kvln"), QStringLiteral("Acide sulfurique 96%.kvln"),
                              QStringLiteral("Hypochlorite de sodium.kvln")};

// The environment of a user whose home folder is `home`.
QProcessEnvironment homeAt(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    return env;
}

QString userStart(const QString &home)
{
    return home + QStringLiteral("/.local/share/kalvane");
}

} // namespace

class TestBatchData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_labels; // the sample labels in a folder of their own
    QString labels(const QString &name = QString()) const
    {
        return QDir(m_labels.filePath(QStringLiteral("Kalvane"))).filePath(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_labels.isValid());
        QStringList files = {QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg")};
        for (const QString &s : kSamples)
            files << QStringLiteral("Kalvane/") + s;
        BatchRun::seed(m_labels.path(), files);
        QVERIFY(QFileInfo::exists(labels(kSamples.last())));
    }

    void findsTheInstalledDataWithoutStartDirectory()
    {
        // A home folder where the desktop never ran: the example of the
        // README, in the labels' folder, finds the data installed with the
        // program.
        QTemporaryDir home;
        const QProcessEnvironment env = homeAt(home.path());
        BatchRun::Result r = run(QStringList{QStringLiteral("verifier")} + kSamples, labels(), env);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString());
        QCOMPARE(r.status, 0);

        // The pictograms come from there too: the export is the one made
        // with that folder given.
        QTemporaryDir out;
        r = run({QStringLiteral("export"), QStringLiteral("--out"), out.filePath(QStringLiteral("a")), kSamples.first()},
                labels(), env);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        r = run({QStringLiteral("--data"), QStringLiteral(KALVANE_DATA_DIR), QStringLiteral("export"),
                 QStringLiteral("--out"), out.filePath(QStringLiteral("b")), kSamples.first()},
                labels(), env);
        QCOMPARE(r.status, 0);
        const QByteArray a = TestFiles::read(out.filePath(QStringLiteral("a/Acetone.jpg")));
        QVERIFY(a.size() > 1000);
        QCOMPARE(a, TestFiles::read(out.filePath(QStringLiteral("b/Acetone.jpg"))));

        // A start directory that exists but holds no catalogue (the desktop
        // not yet run in it) is passed over the same way.
        QVERIFY(QDir().mkpath(userStart(home.path()) + QStringLiteral("/Kalvane")));
        r = run(QStringList{QStringLiteral("verifier")} + kSamples, labels(), env);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
    }

    void prefersTheUsersStartDirectory()
    {
        // The user's own catalogues win over the installed ones: without
        // H225 in the user's "H.txt", the acetone's H225 is unknown.
        QTemporaryDir home;
        const QString start = userStart(home.path());
        BatchRun::seed(start, {QStringLiteral("P.txt"), QStringLiteral("EUH.txt"), QStringLiteral("verifications.txt")});
        QByteArray h = TestFiles::read(QStringLiteral(KALVANE_DATA_DIR "/H.txt"));
        const qsizetype at = h.indexOf("H225:");
        QVERIFY(at >= 0);
        h.remove(at, h.indexOf("\r\n", at) + 2 - at);
        TestFiles::write(start + QStringLiteral("/H.txt"), h);

        const BatchRun::Result r = run({QStringLiteral("verifier"), kSamples.first()}, labels(), homeAt(home.path()));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.out.startsWith(kSamples.first() + QStringLiteral(": erreur: ")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("H225")), qPrintable(r.out));
    }

    void unreadableCatalogueStopsTheRun_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringLiteral("EUH.txt")
                                 << QStringLiteral("le catalogue « EUH.txt » est introuvable dans le dossier de "
                                                   "données « %1 » : rien n'est traité (voir --data).");
        QTest::newRow("a folder") << QStringLiteral("P.txt")
                                  << QStringLiteral("le catalogue « P.txt » du dossier de données « %1 » ne peut pas "
                                                    "être lu (c'est un dossier) : rien n'est traité (voir --data).");
        QTest::newRow("a named pipe") << QStringLiteral("H.txt")
                                      << QStringLiteral("le catalogue « H.txt » du dossier de données « %1 » ne peut "
                                                        "pas être lu (ce n'est pas un fichier ordinaire) : rien n'est "
                                                        "traité (voir --data).");
    }

    void unreadableCatalogueStopsTheRun()
    {
        // The user's start directory holds catalogues, one of which cannot be
        // read: no verdict and no image on the rest, one line, status 2.
        QFETCH(QString, broken);
        QFETCH(QString, message);
        QTemporaryDir home;
        const QString start = userStart(home.path());
        QStringList files = {QStringLiteral("H.txt"), QStringLiteral("P.txt"), QStringLiteral("EUH.txt"),
                             QStringLiteral("verifications.txt")};
        files.removeAll(broken);
        BatchRun::seed(start, files);
        if (broken == QStringLiteral("P.txt"))
            QVERIFY(QDir().mkpath(start + u'/' + broken));
        else if (broken == QStringLiteral("H.txt"))
            QCOMPARE(::mkfifo(QFile::encodeName(start + u'/' + broken).constData(), 0600), 0);
        const QString expected =
            QStringLiteral("kalvane-batch: ") + message.arg(QDir(start).absolutePath());

        QTemporaryDir out;
        for (const QString &command : {QStringLiteral("verifier"), QStringLiteral("export")}) {
            QStringList arguments = {command};
            if (command == QStringLiteral("export"))
                arguments << QStringLiteral("--out") << out.path();
            const BatchRun::Result r = run(arguments + kSamples, labels(), homeAt(home.path()));
            QCOMPARE(r.status, 2);
            QCOMPARE(r.out, QString());
            QCOMPARE(r.err.count(u'\n'), 1);
            QVERIFY2(r.err.startsWith(expected), qPrintable(r.err));
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
    }

    void sheetFindingsOnePerEntry()
    {
        // Entries that are not label files, each said on its own line with
        // what is wrong with it; the labels around them are printed.
        QTemporaryDir work;
        const QDir w(work.path());
        const QString fifo = w.filePath(QStringLiteral("tube.kvln"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString folder = w.filePath(QStringLiteral("dossier.kvln"));
        QVERIFY(w.mkdir(QStringLiteral("dossier.kvln")));
        const QString loop = w.filePath(QStringLiteral("boucle.kvln"));
        QVERIFY(QFile::link(loop, loop));
        const QString dangling = w.filePath(QStringLiteral("lien.kvln"));
        QVERIFY(QFile::link(w.filePath(QStringLiteral("parti ailleurs.kvln")), dangling));
        const QString gone = w.filePath(QStringLiteral("absent.kvln"));
        QStringList entries = {labels(kSamples.at(0)), fifo, folder, loop, dangling, gone, labels(kSamples.at(1))};
        QStringList expected = {
            QStringLiteral("kalvane-batch: %1: n'est pas un fichier ordinaire (tube nommé)").arg(fifo),
            QStringLiteral("kalvane-batch: %1: n'est pas un fichier ordinaire (dossier)").arg(folder),
            QStringLiteral("kalvane-batch: %1: lien en boucle").arg(loop),
            QStringLiteral("kalvane-batch: %1: lien vers un fichier introuvable").arg(dangling),
            QStringLiteral("kalvane-batch: %1: introuvable").arg(gone),
        };
        if (::geteuid() != 0) {
            // Permissions do not stop the superuser.
            const QString locked = w.filePath(QStringLiteral("verrou.kvln"));
            TestFiles::write(locked, TestFiles::read(labels(kSamples.at(2))));
            QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
            entries << locked;
            expected << QStringLiteral("kalvane-batch: %1: illisible (droits)").arg(locked);
        }

        for (const bool fromSheet : {false, true}) {
            QStringList arguments = entries;
            if (fromSheet) {
                TestFiles::write(w.filePath(QStringLiteral("planche.pla")),
                                    entries.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
                arguments = {w.filePath(QStringLiteral("planche.pla"))};
            }
            const BatchRun::Result r =
                run(QStringList{QStringLiteral("--data"), QStringLiteral(KALVANE_DATA_DIR), QStringLiteral("planche")}
                        + arguments + QStringList{QStringLiteral("--par-page"), QStringLiteral("8"),
                                                  QStringLiteral("--pdf"), QStringLiteral("sortie.pdf")},
                    work.path());
            QCOMPARE(r.status, 1);
            QCOMPARE(r.err.split(u'\n', Qt::SkipEmptyParts), expected);
            QVERIFY(TestFiles::read(w.filePath(QStringLiteral("sortie.pdf"))).startsWith("%PDF"));
            QFile::remove(w.filePath(QStringLiteral("sortie.pdf")));
        }
    }
};

QTEST_MAIN(TestBatchData)
#include "test_batchdata.moc"
