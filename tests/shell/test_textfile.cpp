#include "shell/settingsfiles.h"
#include "shell/textfile.h"

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestTextFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineEnds_data();
    void lineEnds();
    void windows1252RoundTrip();
    void undefinedBytesSurvive();
    void writerEndsEveryLineWithCrLf();
    void writerRefusesCharactersOutsideTheCodePage();
    void failedWriteKeepsTheOldFile();
    void missingFileIsAnError();
    void fullDiskKeepsTheOldFile();
    void sizeLimitKeepsTheOldFile();
    void pipesAndHugeFilesAreNotRead();
    void deferredSyncFlushesOnceAndReportsFailures();
    void unstorableSettingsFallBack();
    void datIni_data();
    void datIni();
    void datIniWritesEightLines();
    void trakIni_data();
    void trakIni();
    void printIni();
};

void TestTextFile::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QStringList ab = {QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << ab;
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << ab;
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << ab;
    QTest::newRow("no last line end") << QByteArray("a\r\nb") << ab;
    QTest::newRow("mixed") << QByteArray("a\rb\n") << ab;
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb") << QStringList{"a", "", "", "b"};
    QTest::newRow("CR CR is two line ends") << QByteArray("a\r\rb") << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << ab;
    QTest::newRow("NUL first") << QByteArray("\0a\r\n", 4) << QStringList{};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("one line end only") << QByteArray("\r\n") << QStringList{""};
}

void TestTextFile::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QStringList read;
    QVERIFY(TextFile::readLines(path, &read));
    QCOMPARE(read, lines);
}

void TestTextFile::windows1252RoundTrip()
{
    // Every defined byte decodes to one character and encodes back to itself.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = TextFile::decode(all);
    QCOMPARE(text.size(), 255);
    QCOMPARE(text.at(0x80 - 1), QChar(0x20AC)); // euro sign
    QCOMPARE(text.at(0x85 - 1), QChar(0x2026)); // ellipsis, not a line break
    QCOMPARE(text.at(0x9C - 1), QChar(0x0153)); // oe ligature
    QCOMPARE(text.at(0xE9 - 1), QChar(0x00E9)); // e acute
    QByteArray back;
    QVERIFY(TextFile::encode(text, &back));
    QCOMPARE(back, all);
    QCOMPARE(TextFile::splitLines(TextFile::decode("H\x85:x\r\n")).size(), 1);
}

void TestTextFile::undefinedBytesSurvive()
{
    const QByteArray bytes("\x81\x8D\x8F\x90\x9D");
    QByteArray back;
    QVERIFY(TextFile::encode(TextFile::decode(bytes), &back));
    QCOMPARE(back, bytes);
}

void TestTextFile::writerEndsEveryLineWithCrLf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QString error;
    QVERIFY(TextFile::writeLines(path, {QStringLiteral("Étiquette"), QString(), QStringLiteral("fin")}, &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xC9tiquette\r\n\r\nfin\r\n"));
    QVERIFY(TextFile::writeLines(path, {}, &error));
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestTextFile::writerRefusesCharactersOutsideTheCodePage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(TextFile::writeLines(path, {QStringLiteral("ancien")}));
    QString error;
    QVERIFY(!TextFile::writeLines(path, {QStringLiteral("H\u2082O")}, &error));
    QVERIFY2(error.contains(QStringLiteral("Windows-1252")), qPrintable(error));
    QVERIFY(error.contains(QChar(0x2082)));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("ancien\r\n"));
}

void TestTextFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    // A path below a regular file cannot be written, even by root.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QVERIFY(TextFile::writeLines(blocker, {QStringLiteral("x")}));
    QString error;
    QVERIFY(!TextFile::writeLines(blocker + QStringLiteral("/f.txt"), {QStringLiteral("y")}, &error));
    QVERIFY(error.startsWith(QStringLiteral("Impossible d'enregistrer le fichier \"f.txt\"")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"blocker"});
}

void TestTextFile::missingFileIsAnError()
{
    QStringList lines{QStringLiteral("kept")};
    QString error;
    QVERIFY(!TextFile::readLines(QStringLiteral("/nonexistent/x.txt"), &lines, &error));
    QVERIFY(error.contains(QStringLiteral("x.txt")));
    QVERIFY(TextFile::readLines(QStringLiteral("/nonexistent/x.txt")).isEmpty());
}

void TestTextFile::datIni_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QList<int>>("geometry"); // height, width, top, left; -1 unset
    QTest::addColumn<QString>("scale");
    QTest::newRow("full") << QStringList{"/home/u/Kalvane", "505", "687", "176", "388", "2", "3", "120"}
                          << "/home/u/Kalvane" << QList<int>{505, 687, 176, 388} << "120";
    QTest::newRow("one line") << QStringList{"/data"} << "/data" << QList<int>{-1, -1, -1, -1} << "";
    QTest::newRow("bad width stops the rest") << QStringList{"/d", "600", "wide", "10", "20"} << "/d"
                                              << QList<int>{600, -1, -1, -1} << "";
    QTest::newRow("short geometry") << QStringList{"/d", "600", "700"} << "/d" << QList<int>{600, 700, -1, -1} << "";
    QTest::newRow("blanks around numbers") << QStringList{"/d", " 600 ", "700", "-4", "0"} << "/d"
                                           << QList<int>{600, 700, -4, 0} << "";
    QTest::newRow("empty file") << QStringList{} << "" << QList<int>{-1, -1, -1, -1} << "";
    QTest::newRow("extreme numbers are bounded")
        << QStringList{"/d", "32767", "-2147483576", "2147483647", "-99999999"} << "/d"
        << QList<int>{32767, -DatIni::kGeometryLimit, DatIni::kGeometryLimit, -DatIni::kGeometryLimit} << "";
}

void TestTextFile::datIni()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, folder);
    QFETCH(QList<int>, geometry);
    QFETCH(QString, scale);
    const DatIni ini = DatIni::fromLines(lines);
    QCOMPARE(ini.lastFolder, folder);
    const std::optional<int> got[] = {ini.height, ini.width, ini.top, ini.left};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(got[i].value_or(-1), geometry.at(i));
    QCOMPARE(ini.scale.value_or(QString()), scale);
}

void TestTextFile::datIniWritesEightLines()
{
    DatIni ini;
    ini.lastFolder = QStringLiteral("/home/u/Étiquettes");
    ini.height = 740;
    ini.width = 680;
    ini.top = 0;
    ini.left = 0;
    ini.marginX = QStringLiteral("2,5");
    const QStringList lines = ini.toLines();
    QCOMPARE(lines, (QStringList{"/home/u/Étiquettes", "740", "680", "0", "0", "2,5", "0", "100"}));
    const DatIni back = DatIni::fromLines(lines);
    QCOMPARE(back.lastFolder, ini.lastFolder);
    QCOMPARE(back.height, ini.height);
    QCOMPARE(back.marginX, ini.marginX);
}

void TestTextFile::trakIni_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("position");
    QTest::newRow("in range") << QStringList{"200"} << 200;
    QTest::newRow("below clamps to 155") << QStringList{"10"} << 155;
    QTest::newRow("above clamps to 255") << QStringList{"999"} << 255;
    QTest::newRow("not a number") << QStringList{"opaque"} << 216;
    QTest::newRow("empty") << QStringList{} << 216;
}

void TestTextFile::trakIni()
{
    QFETCH(QStringList, lines);
    QFETCH(int, position);
    QCOMPARE(TrakIni::fromLines(lines), position);
}

void TestTextFile::printIni()
{
    // A printer's name may hold ";": the offsets are the last two fields.
    PrintIni ini;
    ini.onStock = true;
    ini.stock = QStringLiteral("Avery L7165");
    ini.start = 3;
    ini.offsets.insert(QStringLiteral("Bureau;2e étage"), QPointF(1.25, -0.5));
    ini.offsets.insert(QString(), QPointF(-2, 0));
    const QStringList lines = ini.toLines();
    QCOMPARE(lines, (QStringList{QStringLiteral("disposition=modele"), QStringLiteral("modele=Avery L7165"),
                                 QStringLiteral("debut=3"), QStringLiteral("decalage=;-2.00;0.00"),
                                 QStringLiteral("decalage=Bureau;2e étage;1.25;-0.50")}));
    const PrintIni back = PrintIni::fromLines(lines);
    QVERIFY(back.onStock);
    QCOMPARE(back.stock, ini.stock);
    QCOMPARE(back.start, 3);
    QCOMPARE(back.offsets, ini.offsets);

    // Hand-edited: broken lines are left out, offsets kept within their limit.
    const PrintIni hand = PrintIni::fromLines({QStringLiteral("disposition=grille"), QStringLiteral("debut=-4"),
                                               QStringLiteral("decalage=A;1,5;2"), QStringLiteral("decalage=B;x;2"),
                                               QStringLiteral("decalage=C;900;-900"), QStringLiteral("sans egal")});
    QVERIFY(!hand.onStock);
    QCOMPARE(hand.start, 1);
    QCOMPARE(hand.offsets.keys(), (QStringList{QStringLiteral("C")}));
    QCOMPARE(hand.offsets.value(QStringLiteral("C")), QPointF(PrintIni::kOffsetLimit, -PrintIni::kOffsetLimit));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_textfile.moc"

void TestTextFile::fullDiskKeepsTheOldFile()
{
    // A small file system of its own, filled to the last block.
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    QTemporaryDir dir;
    const QString mount = dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(mount));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mount}) != 0)
        QSKIP("this machine does not allow mounting a file system");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });

    const QString path = mount + QStringLiteral("/etiquette.kvln");
    const QStringList old{QStringLiteral("***fab***"), QStringLiteral("ancien contenu")};
    QVERIFY(TextFile::writeLines(path, old));
    {
        QFile filler(mount + QStringLiteral("/remplissage"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QStringList bigger;
    for (int i = 0; i < 2000; ++i)
        bigger << QStringLiteral("ligne %1 d'un fichier qui ne tient plus sur le disque").arg(i);
    QString error;
    QVERIFY(!TextFile::writeLines(path, bigger, &error));
    QVERIFY2(error.contains(QStringLiteral("disque est plein")), qPrintable(error));
    QStringList back;
    QVERIFY(TextFile::readLines(path, &back));
    QCOMPARE(back, old);
    // Nothing of the failed write is left beside it.
    QCOMPARE(QDir(mount).entryList(QDir::Files), (QStringList{"etiquette.kvln", "remplissage"}));
}

void TestTextFile::sizeLimitKeepsTheOldFile()
{
    // The full disk of any user: no file may grow past a few hundred bytes.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dat.ini"));
    const QStringList old{QStringLiteral("/home/u/Kalvane"), QStringLiteral("505")};
    QVERIFY(TextFile::writeLines(path, old));
    QStringList bigger;
    for (int i = 0; i < 100; ++i)
        bigger << QStringLiteral("ligne %1 qui ne tient plus").arg(i);
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(300);
        QVERIFY(limit.isActive());
        written = TextFile::writeLines(path, bigger, &error);
    }
    QVERIFY(!written);
    QVERIFY2(error.contains(QStringLiteral("\"dat.ini\"")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("taille permise par le système")), qPrintable(error));
    QStringList back;
    QVERIFY(TextFile::readLines(path, &back));
    QCOMPARE(back, old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"dat.ini"});
    // Without the limit the same write goes through.
    QVERIFY(TextFile::writeLines(path, bigger, &error));
    QVERIFY(TextFile::readLines(path, &back));
    QCOMPARE(back, bigger);
}

void TestTextFile::pipesAndHugeFilesAreNotRead()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("tube"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray bytes;
    QString error;
    // Would block for ever if it were opened.
    QVERIFY(!TextFile::readBytes(fifo, &bytes, &error));
    QVERIFY2(error.contains(QStringLiteral("pas un fichier ordinaire")), qPrintable(error));
    QVERIFY(!TextFile::readBytes(dir.path(), &bytes, &error));
    QVERIFY(error.contains(QStringLiteral("dossier")));

    const QString big = dir.filePath(QStringLiteral("gros.txt"));
    QVERIFY(TextFile::writeBytes(big, QByteArray(5000, 'a')));
    QVERIFY(!TextFile::readBytes(big, &bytes, &error, 4096));
    QVERIFY2(error.contains(QStringLiteral("trop volumineux")), qPrintable(error));
    QVERIFY(TextFile::readBytes(big, &bytes, &error, 5000));
    QCOMPARE(bytes.size(), 5000);
}

void TestTextFile::unstorableSettingsFallBack()
{
    // A folder Windows-1252 cannot name must not cost the whole file.
    DatIni ini;
    ini.lastFolder = QStringLiteral("/home/u/Łódź");
    ini.height = 505;
    ini.width = 687;
    ini.top = 1;
    ini.left = 2;
    ini.marginX = QStringLiteral("4\u2009mm");
    ini.marginY = QStringLiteral("3");
    QCOMPARE(ini.toStorableLines(QStringLiteral("/home/u/Kalvane")),
             (QStringList{"/home/u/Kalvane", "505", "687", "1", "2", "0", "3", "100"}));
    QCOMPARE(ini.toStorableLines(QStringLiteral("/home/Łódź/Kalvane")).first(), QStringLiteral("."));
    QTemporaryDir dir;
    QVERIFY(TextFile::writeLines(dir.filePath(QStringLiteral("dat.ini")), ini.toStorableLines(QStringLiteral("/k"))));
    ini.lastFolder = QStringLiteral("/home/u/Étiquettes");
    QCOMPARE(ini.toStorableLines(QStringLiteral("/k")).first(), QStringLiteral("/home/u/Étiquettes"));
}

namespace {

// The files and folders flushed through the seam, and the one that fails.
QStringList g_synced;
QString g_failing;

int recordingSync(int fd)
{
    const QString path = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd));
    g_synced << path;
    if (!g_failing.isEmpty() && path == g_failing) {
        errno = EIO;
        return -1;
    }
    return 0;
}

} // namespace

void TestTextFile::deferredSyncFlushesOnceAndReportsFailures()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("b")));
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    const QString a1 = root + QStringLiteral("/un.jpg"), a2 = root + QStringLiteral("/deux.jpg"),
                  b1 = root + QStringLiteral("/b/trois.jpg");
    QVERIFY(TextFile::writeBytes(a2, "ancien"));

    g_synced.clear();
    g_failing = a2;
    TextFile::DeferredSync disk;
    disk.syncCall = recordingSync;
    QString why;
    for (const QString &f : {a1, a2, b1})
        QVERIFY2(TextFile::replaceFile(f, f.toUtf8(), &why, &disk), qPrintable(why));
    // Written, closed and named already, but nothing flushed yet.
    QVERIFY(g_synced.isEmpty());
    for (const QString &f : {a1, a2, b1}) {
        QFile file(f);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), f.toUtf8());
    }
    QCOMPARE(QDir(root).entryList(QDir::Files | QDir::Hidden), QStringList({"deux.jpg", "un.jpg"}));

    QList<QPair<QString, QString>> failed;
    QVERIFY(!disk.finish(&failed));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.first().first, a2);
    QCOMPARE(failed.first().second, TextFile::systemError(EIO));
    // Each file and each of their folders once.
    QStringList expected = {a1, a2, b1, root, root + QStringLiteral("/b")};
    QStringList synced = g_synced;
    expected.sort();
    synced.sort();
    QCOMPARE(synced, expected);

    // A folder that fails names the files written in it.
    g_synced.clear();
    g_failing = root + QStringLiteral("/b");
    QVERIFY(TextFile::replaceFile(b1, "encore", &why, &disk));
    QVERIFY(TextFile::replaceFile(a1, "encore", &why, &disk));
    failed.clear();
    QVERIFY(!disk.finish(&failed));
    QCOMPARE(failed, (QList<QPair<QString, QString>>{{b1, TextFile::systemError(EIO)}}));

    // Nothing left to flush: a success, and the real flush succeeds too.
    g_synced.clear();
    QVERIFY(disk.finish());
    QVERIFY(g_synced.isEmpty());
    TextFile::DeferredSync real;
    QVERIFY(TextFile::replaceFile(a1, "fin", &why, &real));
    QVERIFY(real.finish());
}
