#include "render/jpegcodec.h"
#include "tools/suppliercard.h"

#include "testhelpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

} // namespace

class TestSupplierCard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void writtenAsTextLinesThenLogoLine();
    void readingTakesTheLastLineAsLogo();
    void refusedNamesWriteNothing_data();
    void refusedNamesWriteNothing();
    void acceptedNames();
    void nameLengthCountsFileSystemBytes();
    void replacingKeepsTheOldCardOnFailure();
    void linksAndFoldersUnderTheNameAreNotReplaced();
    void aLinkToACardOfTheFolderIsWrittenThrough();
    void aNulIsAControlCharacterLikeAnyOther();
    void openAndSaveIsAFixedPoint_data();
    void openAndSaveIsAFixedPoint();
    void badCardFilesAreRefused_data();
    void badCardFilesAreRefused();
    void listIsSortedForFrenchReaders();
    void entryPathStaysInTheFolder();
    void logoPathsResolveAgainstTheStartDirectory();
    void logoPathLimits();
    void logoFilesAreCheckedBeforeDecoding();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

void TestSupplierCard::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_folder = SupplierCard::folder(m_root->path() + u'/');
    QCOMPARE(m_folder, m_root->path() + QStringLiteral("/Kalvane/fournisseurs/"));
}

void TestSupplierCard::writtenAsTextLinesThenLogoLine()
{
    SupplierCard card;
    card.text = QStringLiteral("ACME Chimie\n3 rue Pasteur\nTél. 01 02 03 04 05");
    card.logoPath = QStringLiteral("C:\\logos\\acme.jpg");
    QString error;
    QVERIFY2(card.write(m_folder, &error), qPrintable(error));
    const QString path = m_folder + QStringLiteral("ACME Chimie.fab");
    QCOMPARE(TestFiles::read(path), QByteArray("ACME Chimie\r\n3 rue Pasteur\r\nT\xE9l. 01 02 03 04 05\r\n"
                                        "C:\\logos\\acme.jpg\r\n"));
    SupplierCard back;
    QVERIFY2(SupplierCard::read(path, &back, &error), qPrintable(error));
    QCOMPARE(back, card);

    // A text ending in a line break ends with an empty line, which is stored;
    // no logo is an empty last line, read back as no logo.
    card.text = QStringLiteral("ACME Chimie\nLyon\n");
    card.logoPath.clear();
    QVERIFY(card.write(m_folder, &error));
    QCOMPARE(TestFiles::read(path), QByteArray("ACME Chimie\r\nLyon\r\n\r\n\r\n"));
    QVERIFY(SupplierCard::read(path, &back, &error));
    QCOMPARE(back, card);
}

void TestSupplierCard::readingTakesTheLastLineAsLogo()
{
    SupplierCard card;
    QString error;
    const QString path = m_folder + QStringLiteral("x.fab");
    // Lone CR, lone LF, a last line without its end.
    QVERIFY(TestFiles::write(path, "Nom\rAdresse\n/logos/x.jpg"));
    QVERIFY2(SupplierCard::read(path, &card, &error), qPrintable(error));
    QCOMPARE(card.text, QStringLiteral("Nom\nAdresse"));
    QCOMPARE(card.logoPath, QStringLiteral("/logos/x.jpg"));
    // One line: all of it is the logo line.
    QVERIFY(TestFiles::write(path, "Nom\r\n"));
    QVERIFY(SupplierCard::read(path, &card, &error));
    QVERIFY(card.text.isEmpty());
    QCOMPARE(card.logoPath, QStringLiteral("Nom"));
    // An empty line in the middle of the text is kept.
    QVERIFY(TestFiles::write(path, "Nom\r\n\r\nFax\r\n\r\n"));
    QVERIFY(SupplierCard::read(path, &card, &error));
    QCOMPARE(card.text, QStringLiteral("Nom\n\nFax"));
    QVERIFY(card.logoPath.isEmpty());
}

void TestSupplierCard::refusedNamesWriteNothing_data()
{
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("expected"); // a piece of the message
    QTest::newRow("empty") << QString() << QStringLiteral("vide");
    QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("espaces");
    QTest::newRow("slash") << QStringLiteral("../../evil") << QStringLiteral("« / »");
    QTest::newRow("absolute") << QStringLiteral("/tmp/evil") << QStringLiteral("« / »");
    QTest::newRow("backslash") << QStringLiteral("..\\evil") << QStringLiteral("« \\ »");
    QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("nom de fichier");
    QTest::newRow("dotdot") << QStringLiteral("..") << QStringLiteral("nom de fichier");
    QTest::newRow("tab") << QStringLiteral("ACME\tSA") << QStringLiteral("U+0009");
    QTest::newRow("C1 control") << QStringLiteral("ACME\u0085") << QStringLiteral("U+0085");
    QTest::newRow("too long") << QString(252, u'a') << QStringLiteral("256 octets");
}

void TestSupplierCard::refusedNamesWriteNothing()
{
    QFETCH(QString, firstLine);
    QFETCH(QString, expected);
    QDir().mkpath(m_folder);
    SupplierCard card;
    card.text = firstLine + QStringLiteral("\n2 rue des Lilas");
    card.logoPath = QStringLiteral("/logos/a.jpg");
    QString error;
    QVERIFY(card.pathIn(m_folder, &error).isEmpty());
    QVERIFY2(error.contains(expected), qPrintable(error));
    error.clear();
    QVERIFY(!card.write(m_folder, &error));
    QVERIFY2(error.contains(expected), qPrintable(error));
    QVERIFY(!SupplierCard::nameProblem(firstLine).isEmpty());
    // Nothing anywhere: not in the folder, not above it.
    QCOMPARE(TestFiles::allFiles(m_root->path()), QStringList());
}

void TestSupplierCard::acceptedNames()
{
    SupplierCard card;
    QString error;
    // Blanks around the name, dots inside, an accent: the name is the line as typed.
    for (const QString &name : {QStringLiteral(" Chimie Lyonnaise SA "), QStringLiteral("..Labo"),
                                QStringLiteral("Société Générale d'Électrochimie"), QStringLiteral("a:b*c?")}) {
        card.text = name + QStringLiteral("\nLyon");
        QVERIFY2(card.write(m_folder, &error), qPrintable(error));
        QVERIFY(QFileInfo::exists(m_folder + name + QStringLiteral(".fab")));
    }
    QCOMPARE(SupplierCard::list(m_folder).size(), 4);
}

void TestSupplierCard::nameLengthCountsFileSystemBytes()
{
    // 251 letters and ".fab" fill the 255 bytes a file name may have.
    QVERIFY(SupplierCard::nameProblem(QString(251, u'a')).isEmpty());
    QVERIFY(!SupplierCard::nameProblem(QString(252, u'a')).isEmpty());
    // An accented letter takes two bytes in the file system's encoding.
    QVERIFY(SupplierCard::nameProblem(QString(125, u'é')).isEmpty());
    QVERIFY(!SupplierCard::nameProblem(QString(126, u'é')).isEmpty());
    SupplierCard card;
    card.text = QString(125, u'é');
    QString error;
    QVERIFY2(card.write(m_folder, &error), qPrintable(error));
    QCOMPARE(SupplierCard::list(m_folder), QStringList{QString(125, u'é') + QStringLiteral(".fab")});
}

void TestSupplierCard::replacingKeepsTheOldCardOnFailure()
{
    SupplierCard card;
    card.text = QStringLiteral("ACME\nLyon");
    QString error;
    QVERIFY(card.write(m_folder, &error));
    const QByteArray before = TestFiles::read(m_folder + QStringLiteral("ACME.fab"));

    // A character Windows-1252 cannot hold fails the write; the old card stays.
    card.text = QStringLiteral("ACME\nTél. ☎ 01 02");
    QVERIFY(!card.write(m_folder, &error));
    QVERIFY2(error.contains(QStringLiteral("Windows-1252")), qPrintable(error));
    QCOMPARE(TestFiles::read(m_folder + QStringLiteral("ACME.fab")), before);

    // So does a control character in the text or a logo path out of bounds.
    card.text = QStringLiteral("ACME\nLyon") + QChar(0) + QStringLiteral("Villeurbanne");
    QVERIFY(!card.write(m_folder, &error));
    QVERIFY2(error.contains(QStringLiteral("U+0000")), qPrintable(error));
    card.text = QStringLiteral("ACME\nVilleurbanne");
    card.logoPath = QStringLiteral("/logos/a\nb.jpg");
    QVERIFY(!card.write(m_folder, &error));
    card.logoPath = QStringLiteral("/") + QString(259, u'x');
    QVERIFY(!card.write(m_folder, &error));
    QVERIFY2(error.contains(QStringLiteral("260")), qPrintable(error));
    QCOMPARE(TestFiles::read(m_folder + QStringLiteral("ACME.fab")), before);
    QCOMPARE(TestFiles::allFiles(m_folder), QStringList{QStringLiteral("ACME.fab")});

    // Tabs belong to the text.
    card.text = QStringLiteral("ACME\nTél.\t01 02");
    card.logoPath.clear();
    QVERIFY2(card.write(m_folder, &error), qPrintable(error));
}

void TestSupplierCard::linksAndFoldersUnderTheNameAreNotReplaced()
{
    QDir().mkpath(m_folder);
    const QString outside = m_root->filePath(QStringLiteral("precious.txt"));
    QVERIFY(TestFiles::write(outside, "keep me"));
    QVERIFY(QFile::link(outside, m_folder + QStringLiteral("Evil.fab")));
    QDir().mkpath(m_folder + QStringLiteral("Folder.fab"));

    SupplierCard card;
    QString error;
    for (const QString &name : {QStringLiteral("Evil"), QStringLiteral("Folder")}) {
        card.text = name + QStringLiteral("\nLyon");
        QVERIFY(card.pathIn(m_folder, &error).isEmpty());
        QVERIFY(!card.write(m_folder, &error));
        // A link out of the folder is named as such.
        QVERIFY2(error.contains(name == u"Evil" ? QStringLiteral("lien") : QStringLiteral("fichier ordinaire")),
                 qPrintable(error));
    }
    QCOMPARE(TestFiles::read(outside), QByteArray("keep me"));
    QVERIFY(QFileInfo(m_folder + QStringLiteral("Folder.fab")).isDir());
}

void TestSupplierCard::aLinkToACardOfTheFolderIsWrittenThrough()
{
    QDir().mkpath(m_folder);
    // "ACME" is the short name of a card kept under its full name.
    const QString real = m_folder + QStringLiteral("ACME Chimie SA.fab");
    TestFiles::write(real, "ACME Chimie SA\r\nLyon\r\n\r\n");
    QCOMPARE(::symlink("ACME Chimie SA.fab", QFile::encodeName(m_folder + QStringLiteral("ACME.fab")).constData()), 0);
    SupplierCard card;
    card.text = QStringLiteral("ACME\nVilleurbanne");
    QString error;
    QCOMPARE(card.pathIn(m_folder, &error), m_folder + QStringLiteral("ACME.fab"));
    QVERIFY2(card.write(m_folder, &error), qPrintable(error));
    QCOMPARE(TestFiles::read(real), QByteArray("ACME\r\nVilleurbanne\r\n\r\n"));
    QVERIFY(QFileInfo(m_folder + QStringLiteral("ACME.fab")).isSymLink());
    QCOMPARE(TestFiles::allFiles(m_folder), (QStringList{"ACME Chimie SA.fab", "ACME.fab"}));

    // A link to a card of another folder, or to a file of this folder that is
    // no card, is refused: a card is written only as a card of this folder.
    const QString elsewhere = m_root->filePath(QStringLiteral("Autre.fab"));
    TestFiles::write(elsewhere, "Autre\r\n\r\n");
    QVERIFY(QFile::link(elsewhere, m_folder + QStringLiteral("Autre.fab")));
    TestFiles::write(m_folder + QStringLiteral("logo.jpg"), TestPictures::solidJpeg(QSize(40, 20), QColor(0, 120, 200), false, 90));
    QVERIFY(QFile::link(m_folder + QStringLiteral("logo.jpg"), m_folder + QStringLiteral("Logo.fab")));
    for (const QString &name : {QStringLiteral("Autre"), QStringLiteral("Logo")}) {
        card.text = name + QStringLiteral("\nParis");
        QVERIFY(!card.write(m_folder, &error));
        QVERIFY2(error.contains(QStringLiteral("lien")), qPrintable(error));
    }
    QCOMPARE(TestFiles::read(elsewhere), QByteArray("Autre\r\n\r\n"));
    QCOMPARE(TestFiles::read(m_folder + QStringLiteral("logo.jpg")), TestPictures::solidJpeg(QSize(40, 20), QColor(0, 120, 200), false, 90));
}

void TestSupplierCard::aNulIsAControlCharacterLikeAnyOther()
{
    // A NUL in the logo path or the name is refused like any control
    // character: a card holding one could not be read back.
    const QString nulPath = QStringLiteral("/logos/a") + QChar(0) + QStringLiteral("b.jpg");
    QVERIFY2(SupplierCard::logoPathProblem(nulPath).contains(QStringLiteral("U+0000")),
             qPrintable(SupplierCard::logoPathProblem(nulPath)));
    QVERIFY(SupplierCard::nameProblem(QStringLiteral("AC") + QChar(0) + QStringLiteral("ME"))
                .contains(QStringLiteral("U+0000")));
    SupplierCard card;
    card.text = QStringLiteral("ACME\nLyon");
    card.logoPath = nulPath;
    QString error;
    QVERIFY(!card.write(m_folder, &error));
    QVERIFY2(error.contains(QStringLiteral("U+0000")), qPrintable(error));
    card.text = QStringLiteral("AC") + QChar(0) + QStringLiteral("ME\nLyon");
    card.logoPath.clear();
    QVERIFY(!card.write(m_folder, &error));
    QCOMPARE(TestFiles::allFiles(m_root->path()), QStringList());
    // Whatever the checks let through reads back.
    card.text = QStringLiteral("ACME\nLyon");
    card.logoPath = QStringLiteral("/logos/a\u00A0b.jpg");
    QVERIFY2(card.write(m_folder, &error), qPrintable(error));
    SupplierCard back;
    QVERIFY2(SupplierCard::read(m_folder + QStringLiteral("ACME.fab"), &back, &error), qPrintable(error));
    QCOMPARE(back, card);
}

void TestSupplierCard::openAndSaveIsAFixedPoint_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("plain") << QByteArray("ACME\r\nLyon\r\n/l.jpg\r\n");
    QTest::newRow("one empty line at the end") << QByteArray("ACME\r\nLyon\r\n\r\n/l.jpg\r\n");
    QTest::newRow("three empty lines at the end") << QByteArray("ACME\r\nLyon\r\n\r\n\r\n\r\n\r\n");
    QTest::newRow("empty lines inside") << QByteArray("ACME\r\n\r\n\r\nLyon\r\n\r\n");
    QTest::newRow("name alone") << QByteArray("ACME\r\n\r\n");
}

void TestSupplierCard::openAndSaveIsAFixedPoint()
{
    QFETCH(QByteArray, file);
    const QString path = m_folder + QStringLiteral("ACME.fab");
    TestFiles::write(path, file);
    // Open and save three times, as a user going back to the card would.
    for (int round = 0; round < 3; ++round) {
        SupplierCard card;
        QString error;
        QVERIFY2(SupplierCard::read(path, &card, &error), qPrintable(error));
        QVERIFY2(card.write(m_folder, &error), qPrintable(error));
        QCOMPARE(TestFiles::read(path), file);
    }
    // And the text the window holds survives a save and an open.
    SupplierCard card;
    card.text = QStringLiteral("ACME\nLyon\n\n");
    QVERIFY(card.write(m_folder));
    SupplierCard back;
    QVERIFY(SupplierCard::read(path, &back));
    QCOMPARE(back.text, card.text);
}

void TestSupplierCard::badCardFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("vide");
    QTest::newRow("UTF-8") << QByteArray("Soci\xC3\xA9t\xC3\xA9 Lyonnaise\r\n\r\n") << QStringLiteral("UTF-8");
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF" "ACME\r\n\r\n") << QStringLiteral("UTF-8");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "A\0C\0M\0E\0\r\0\n\0", 14) << QStringLiteral("0x00");
    QTest::newRow("undefined byte") << QByteArray("AC\x81ME\r\n\r\n") << QStringLiteral("0x81");
    QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01") << QStringLiteral("0x7f");
    QTest::newRow("too big") << QByteArray(SupplierCard::kCardSizeMax + 1, 'a') << QStringLiteral("trop grande");
}

void TestSupplierCard::badCardFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = m_folder + QStringLiteral("bad.fab");
    QVERIFY(TestFiles::write(path, bytes));
    SupplierCard card;
    card.text = QStringLiteral("unchanged");
    QString error;
    QVERIFY(!SupplierCard::read(path, &card, &error));
    QVERIFY2(error.contains(expected), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("bad.fab")));
    QCOMPARE(card.text, QStringLiteral("unchanged"));
}

void TestSupplierCard::listIsSortedForFrenchReaders()
{
    QVERIFY(SupplierCard::list(m_folder).isEmpty()); // no folder yet
    const QStringList names = {QStringLiteral("zinc.fab"), QStringLiteral("Éclat.fab"), QStringLiteral("Eau.fab"),
                               QStringLiteral("acme.fab"), QStringLiteral("Bidule.fab"), QStringLiteral("Fab.fab"),
                               QStringLiteral(".cachee.fab"), QStringLiteral("NOTE.FAB")};
    for (const QString &n : names)
        QVERIFY(TestFiles::write(m_folder + n, "x\r\n\r\n"));
    QVERIFY(TestFiles::write(m_folder + QStringLiteral("logo.jpg"), "x"));
    QVERIFY(TestFiles::write(m_folder + QStringLiteral("notes.txt"), "x"));
    QDir().mkpath(m_folder + QStringLiteral("dossier.fab"));
    QCOMPARE(SupplierCard::list(m_folder),
             (QStringList{QStringLiteral(".cachee.fab"), QStringLiteral("acme.fab"), QStringLiteral("Bidule.fab"),
                          QStringLiteral("Eau.fab"), QStringLiteral("Éclat.fab"), QStringLiteral("Fab.fab"),
                          QStringLiteral("NOTE.FAB"), QStringLiteral("zinc.fab")}));
}

void TestSupplierCard::entryPathStaysInTheFolder()
{
    QString error;
    QCOMPARE(SupplierCard::entryPath(m_folder, QStringLiteral("ACME.fab"), &error),
             m_folder + QStringLiteral("ACME.fab"));
    // A name made elsewhere with a backslash is one entry of the folder here.
    QCOMPARE(SupplierCard::entryPath(m_folder, QStringLiteral("a\\b.fab"), &error),
             m_folder + QStringLiteral("a\\b.fab"));
    for (const QString &bad : {QString(), QStringLiteral("../x.fab"), QStringLiteral("/etc/passwd"),
                               QStringLiteral(".."), QStringLiteral("notes.txt")}) {
        error.clear();
        QVERIFY2(SupplierCard::entryPath(m_folder, bad, &error).isEmpty(), qPrintable(bad));
        QVERIFY(!error.isEmpty());
    }
}

void TestSupplierCard::logoPathsResolveAgainstTheStartDirectory()
{
    const QString start = QStringLiteral("/home/marie/kalvane/");
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral("Kalvane\\fournisseurs\\chimie_lyonnaise.jpg"), start),
             QStringLiteral("/home/marie/kalvane/Kalvane/fournisseurs/chimie_lyonnaise.jpg"));
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral(".\\logos\\..\\a.jpg"), start),
             QStringLiteral("/home/marie/kalvane/a.jpg"));
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral("/srv/logos//a.jpg"), start),
             QStringLiteral("/srv/logos/a.jpg"));
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral("C:\\logos\\acme.jpg"), start),
             QStringLiteral("C:/logos/acme.jpg"));
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral("\\\\serveur\\logos\\acme.jpg"), start),
             QStringLiteral("//serveur/logos/acme.jpg"));
    QCOMPARE(SupplierCard::resolveLogoPath(QString(), start), QString());
}

void TestSupplierCard::logoPathLimits()
{
    QVERIFY(SupplierCard::logoPathProblem(QString()).isEmpty());
    QVERIFY(SupplierCard::logoPathProblem(QStringLiteral("/") + QString(258, u'x')).isEmpty());
    QVERIFY(!SupplierCard::logoPathProblem(QStringLiteral("/") + QString(259, u'x')).isEmpty());
    QVERIFY(!SupplierCard::logoPathProblem(QStringLiteral("/logos/a\rb.jpg")).isEmpty());
}

void TestSupplierCard::logoFilesAreCheckedBeforeDecoding()
{
    QImage picture;
    QString error;
    const QString good = m_root->filePath(QStringLiteral("logo.jpg"));
    QVERIFY(TestFiles::write(good, TestPictures::solidJpeg(QSize(40, 20), QColor(0, 120, 200))));
    QVERIFY2(SupplierCard::loadLogo(good, &picture, &error), qPrintable(error));
    QCOMPARE(picture.size(), QSize(40, 20));

    const QString garbage = m_root->filePath(QStringLiteral("faux.jpg"));
    QVERIFY(TestFiles::write(garbage, "GIF89a not a jpeg at all"));
    QVERIFY(!SupplierCard::loadLogo(garbage, &picture, &error));
    QVERIFY(!error.isEmpty());

    const QString truncated = m_root->filePath(QStringLiteral("coupe.jpg"));
    QVERIFY(TestFiles::write(truncated, TestPictures::solidJpeg(QSize(40, 20), QColor(0, 120, 200)).left(200)));
    QVERIFY(!SupplierCard::loadLogo(truncated, &picture, &error));

    // A folder or a pipe would never finish reading; a huge file is refused
    // before it is read.
    QVERIFY(!SupplierCard::loadLogo(m_root->path(), &picture, &error));
    QVERIFY2(error.contains(QStringLiteral("fichier ordinaire")), qPrintable(error));
    const QString pipe = m_root->filePath(QStringLiteral("tube.jpg"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!SupplierCard::loadLogo(pipe, &picture, &error));
    QVERIFY2(error.contains(QStringLiteral("fichier ordinaire")), qPrintable(error));
    const QString huge = m_root->filePath(QStringLiteral("enorme.jpg"));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(SupplierCard::kLogoSizeMax + 1));
    }
    QVERIFY(!SupplierCard::loadLogo(huge, &picture, &error));
    QVERIFY2(error.contains(QStringLiteral("volumineux")), qPrintable(error));
    QVERIFY(!SupplierCard::loadLogo(m_root->filePath(QStringLiteral("absent.jpg")), &picture, &error));
    // Failures leave the picture as it was.
    QCOMPARE(picture.size(), QSize(40, 20));
}

QTEST_GUILESS_MAIN(TestSupplierCard)
#include "test_suppliercard.moc"
