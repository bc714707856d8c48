// kalvane-batch run as a process: usage errors (exit status 2 and a French
// message), its help, the exit statuses of "verifier", and what "export"
// writes in each format, without any display.

#include "batchrun.h"

#include "testhelpers.h"

#include "batch/exportcommand.h"
#include "render/jpegcodec.h"
#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"
#include "editor/catalogue.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using BatchRun::run;

namespace {

const QString kAcetone = QStringLiteral("Kalvane/Acetone.kvln");
const QString kAcide = QStringLiteral("Kalvane/Acide sulfurique 96%.kvln");
const QString kHypo = QStringLiteral("Kalvane/Hypochlorite de sodium.kvln");

int pageCount(const QByteArray &pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (at + 11 >= pdf.size() || pdf.at(at + 11) != 's')
            ++pages;
    return pages;
}

} // namespace

class TestBatchProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QString start(const QString &name = QString()) const { return name.isEmpty() ? m_start.path() : m_start.filePath(name); }

    // A copy of a sample label changed by replacing bytes.
    QString changed(const QString &sample, const QString &name, const QByteArray &from, const QByteArray &to) const
    {
        QByteArray bytes = TestFiles::read(start(sample));
        if (!bytes.contains(from))
            return {};
        bytes.replace(from, to);
        const QString path = start(QStringLiteral("Kalvane/") + name);
        return TestFiles::write(path, bytes) ? path : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_start.isValid());
        BatchRun::seed(m_start.path(), BatchRun::startFiles());
        QVERIFY(QFileInfo::exists(start(kHypo)));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("help");
        const QString tool = QStringLiteral("kalvane-batch"), exportHelp = QStringLiteral("kalvane-batch export");
        QTest::newRow("no command") << QStringList() << "aucune commande donnée." << tool;
        QTest::newRow("unknown command") << QStringList{"imprimer", "a.kvln"} << "commande inconnue « imprimer »." << tool;
        const QString sheetHelp = QStringLiteral("kalvane-batch planche");
        QTest::newRow("sheet without layout") << QStringList{"planche", "a.kvln", "--pdf", "x.pdf"}
            << "l'option --par-page (2, 4, 8, 16 ou 18) est obligatoire." << sheetHelp;
        QTest::newRow("sheet layout of five") << QStringList{"planche", "a.kvln", "--par-page", "5", "--pdf", "x.pdf"}
            << "« 5 » étiquettes par page : choisissez 2, 4, 8, 16 ou 18." << sheetHelp;
        QTest::newRow("sheet without target") << QStringList{"planche", "a.kvln", "--par-page", "2"}
            << "indiquez soit --pdf FICHIER.pdf, soit --imprimante NOM, l'un des deux." << sheetHelp;
        QTest::newRow("sheet with two targets")
            << QStringList{"planche", "a.kvln", "--par-page", "2", "--pdf", "x.pdf", "--imprimante", "P"}
            << "indiquez soit --pdf FICHIER.pdf, soit --imprimante NOM, l'un des deux." << sheetHelp;
        QTest::newRow("sheet scale") << QStringList{"planche", "a.kvln", "--par-page", "2", "--echelle", "300", "--pdf", "x.pdf"}
            << "l'échelle « 300 » n'est pas un nombre entier de 50 à 200." << sheetHelp;
        QTest::newRow("sheet margins") << QStringList{"planche", "a.kvln", "--par-page", "2", "--marges", "dix", "--pdf", "x.pdf"}
            << "les marges « dix » s'écrivent G,H en millimètres, point décimal (par exemple 5,10 ou 2.5,4)."
            << sheetHelp;
        QTest::newRow("sheet copies") << QStringList{"planche", "a.kvln", "--par-page", "2", "--copies", "0", "--pdf", "x.pdf"}
            << "le nombre d'exemplaires « 0 » n'est pas un nombre entier de 1 à 999." << sheetHelp;
        QTest::newRow("sheet too small") << QStringList{"planche", "a.kvln", "b.kvln", "c.kvln", "--par-page", "2", "--pdf", "x.pdf"}
            << "3 étiquettes ne tiennent pas sur une page de 2 : choisissez --par-page 4." << sheetHelp;
        QTest::newRow("sheet file and labels") << QStringList{"planche", "s.pla", "a.kvln", "--par-page", "4", "--pdf", "x.pdf"}
            << "une planche (.pla) s'imprime seule, sans autre fichier." << sheetHelp;
        QTest::newRow("unknown option") << QStringList{"export", "--qualite", "5", "a.kvln"}
                                        << "option inconnue « --qualite »." << exportHelp;
        QTest::newRow("unknown short option") << QStringList{"export", "-x", "a.kvln"} << "option inconnue « -x »."
                                              << exportHelp;
        QTest::newRow("option before its command") << QStringList{"--out", "x", "export", "a.kvln"}
            << "l'option « --out » se place après le nom de la commande." << tool;
        QTest::newRow("value missing") << QStringList{"export", "a.kvln", "--out"}
                                       << "l'option « --out » demande une valeur (DOSSIER)." << exportHelp;
        QTest::newRow("value to a switch") << QStringList{"export", "--gris=oui", "a.kvln"}
                                           << "l'option « --gris » ne prend pas de valeur." << exportHelp;
        QTest::newRow("quality too high") << QStringList{"export", "--quality", "101", "a.kvln"}
            << "la qualité « 101 » n'est pas un nombre entier de 1 à 100." << exportHelp;
        QTest::newRow("quality not a number") << QStringList{"export", "--quality=bonne", "a.kvln"}
            << "la qualité « bonne » n'est pas un nombre entier de 1 à 100." << exportHelp;
        QTest::newRow("unknown format") << QStringList{"export", "--format", "gif", "a.kvln"}
                                        << "format inconnu « gif » : jpg, png ou pdf." << exportHelp;
        QTest::newRow("grey pdf") << QStringList{"export", "--format", "pdf", "--gris", "a.kvln"}
                                  << "l'option « --gris » ne vaut que pour les formats jpg et png." << exportHelp;
        QTest::newRow("quality of a png") << QStringList{"export", "--format", "png", "--quality", "50", "a.kvln"}
                                          << "l'option « --quality » ne vaut que pour le format jpg." << exportHelp;
        QTest::newRow("nothing to export") << QStringList{"export", "--gris"} << "aucun fichier d'étiquette à exporter."
                                           << exportHelp;
        QTest::newRow("nothing to check") << QStringList{"verifier"} << "aucun fichier d'étiquette à vérifier."
                                          << "kalvane-batch verifier";
        QTest::newRow("no data folder") << QStringList{"--data", "/nulle/part", "verifier", "a.kvln"}
            << "le dossier de données « /nulle/part » n'existe pas." << "kalvane-batch verifier";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, help);
        QTemporaryDir work;
        const BatchRun::Result r = run(arguments, work.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("kalvane-batch: %1\nEssayez « %2 --help » pour plus d'informations.\n")
                            .arg(message, help));
        QCOMPARE(QDir(work.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void help()
    {
        BatchRun::Result r = run({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(r.out.startsWith(QStringLiteral("Utilisation : kalvane-batch COMMANDE [OPTION]... FICHIER...\n")));
        QVERIFY(r.out.contains(QStringLiteral("\n  export          exporte chaque étiquette")));
        QVERIFY(r.out.contains(QStringLiteral("\n  verifier        vérifie chaque étiquette")));
        QVERIFY(r.out.contains(QStringLiteral("\n  classification  classification harmonisée d'un numéro")));
        QVERIFY(r.out.contains(QStringLiteral("--data DOSSIER")));
        QVERIFY(r.out.contains(QStringLiteral("\n  planche         imprime une planche")));
        for (const QString &line : r.out.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));

        r = run({QStringLiteral("planche"), QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        for (const char *option : {"--par-page N", "--marges G,H", "--echelle S", "--images", "--pointilles", "--auto",
                                   "--numerotation", "--copies N", "--pdf FICHIER.pdf", "--imprimante NOM"})
            QVERIFY2(r.out.contains(QString::fromUtf8(option)), option);
        for (const QString &line : r.out.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));

        r = run({QStringLiteral("export"), QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("Utilisation : kalvane-batch export ÉTIQUETTE.kvln... [OPTION]...\n")));
        for (const char *option : {"-o, --out DOSSIER", "--quality N", "--gris", "--format FORMAT", "--data DOSSIER"})
            QVERIFY2(r.out.contains(QString::fromLatin1(option)), option);
        for (const QString &line : r.out.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));

        // Help wins over the mistakes of the same line.
        r = run({QStringLiteral("verifier"), QStringLiteral("--inconnue"), QStringLiteral("-h")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("« fichier: niveau: message »")));
        for (const QString &line : r.out.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));

        r = run({QStringLiteral("--version")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("kalvane-batch %1\n").arg(QStringLiteral(KALVANE_VERSION)));
    }

    void verifierStatuses()
    {
        // The samples: nothing to say.
        BatchRun::Result r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), start(kAcetone),
                                  start(kAcide), start(kHypo)});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString());
        QCOMPARE(r.status, 0);

        // Notes alone leave the status at 0.
        const QString note = changed(kAcetone, QStringLiteral("note.kvln"),
                                     "P242: Utiliser des outils ne produisant pas d\x92\xE9tincelles.",
                                     "P280: Porter des gants de protection/des v\xEAtements de protection/\x85");
        QVERIFY(!note.isEmpty());
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), note});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, note + QStringLiteral(": note: La phrase P280 contient encore des choix laissés au fournisseur "
                                              "(« … », « / ») : complétez-la avec « Modifier une phrase ».\n"));

        // A warning or an error gives 1; each finding is one line.
        const QString noProduct = changed(kAcetone, QStringLiteral("sans produit.kvln"), "***sub***\r\nAC\xC9TONE\r\n",
                                          "***sub***\r\n");
        const QString attention = changed(kAcide, QStringLiteral("attention.kvln"), "\r\nDANGER\r\n",
                                          "\r\nATTENTION\r\n");
        QVERIFY(!noProduct.isEmpty() && !attention.isEmpty());
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), noProduct});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, noProduct + QStringLiteral(": erreur: Le nom du produit est vide.\n"));
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), start(kAcetone), attention, note});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts), (QStringList{
            attention + QStringLiteral(": erreur: La mention d'avertissement doit être « DANGER », que demande H314 ; "
                                       "l'étiquette porte « ATTENTION »."),
            note + QStringLiteral(": note: La phrase P280 contient encore des choix laissés au fournisseur (« … », "
                                  "« / ») : complétez-la avec « Modifier une phrase »."),
        }));

        // A file that is not there.
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), start(kAcetone),
                 start(QStringLiteral("Kalvane/absent.kvln"))});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.startsWith(start(QStringLiteral("Kalvane/absent.kvln")) + QStringLiteral(": erreur: ")));
        QCOMPARE(r.out.count(u'\n'), 1);

        // A data folder without the facts: no verdict on part of them, one
        // line, status 2.
        QTemporaryDir bare;
        BatchRun::seed(bare.path(), {QStringLiteral("H.txt"), QStringLiteral("P.txt"), QStringLiteral("EUH.txt")});
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), bare.path(), start(kAcetone),
                 start(QStringLiteral("Kalvane/absent.kvln"))});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("kalvane-batch: dossier de données « %1 » : Le fichier des "
                                                 "vérifications « verifications.txt » est introuvable.")
                                      .arg(QDir(bare.path()).absolutePath())),
                 qPrintable(r.err));

        // Progress lines when asked for, on the error stream only.
        r = run({QStringLiteral("verifier"), QStringLiteral("--progression"), QStringLiteral("--data"), start(),
                 start(kAcetone), start(kAcide)});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("[1/2] %1\n[2/2] %2\n").arg(start(kAcetone), start(kAcide)));
    }

    void exportWithoutDisplay()
    {
        // No platform and no display given: the tool chooses its own.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        QTemporaryDir out;
        const BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), start(kAcetone),
                                        QStringLiteral("--out"), out.filePath(QStringLiteral("images"))},
                                       QString(), env);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QImage image;
        QVERIFY(JpegCodec::decodeFile(out.filePath(QStringLiteral("images/Acetone.jpg")), &image));
        QCOMPARE(image.size(), QSize(2121, 1500));
    }

    void pngHoldsTheExportPixels()
    {
        QTemporaryDir out;
        BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--format"),
                                  QStringLiteral("png"), QStringLiteral("-o"), out.path(), start(kAcide)});
        QCOMPARE(r.status, 0);
        const QImage png(out.filePath(QStringLiteral("Acide sulfurique 96%.png")));
        QCOMPARE(png.size(), QSize(2121, 1500));

        // The label read here as a window reads it, drawn by the export's
        // numbers: the very same pixels.
        LabelDocument doc;
        doc.hazards = Catalogue::toStatements(TextFile::readLines(start(QStringLiteral("H.txt"))));
        doc.precautions = Catalogue::toStatements(TextFile::readLines(start(QStringLiteral("P.txt"))));
        doc.supplementary = Catalogue::toStatements(TextFile::readLines(start(QStringLiteral("EUH.txt"))));
        FrameMirrors mirrors;
        QVERIFY(LabelFile::read(start(kAcide), &doc, &mirrors, start(QStringLiteral("Kalvane"))).ok());
        QVERIFY(QFileInfo::exists(mirrors.logoPath));
        const QImage drawn =
            LabelRenderer::exportImage(LabelContent::fromDocument(doc, mirrors, false, start() + u'/'));
        QCOMPARE(png.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32));
        // No larger than the default setting of the usual writer.
        QByteArray usual;
        QBuffer buffer(&usual);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(QImageWriter(&buffer, "png").write(drawn));
        QVERIFY(QFileInfo(out.filePath(QStringLiteral("Acide sulfurique 96%.png"))).size() <= usual.size());

        r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--format=PNG"),
                 QStringLiteral("--gris"), QStringLiteral("-o"), out.path(), start(kAcide)});
        QCOMPARE(r.status, 0);
        const QImage grey(out.filePath(QStringLiteral("Acide sulfurique 96%.png")));
        QCOMPARE(grey.format(), QImage::Format_Grayscale8);
        QCOMPARE(grey, ExportCommand::greyLevels(drawn));
    }

    void greyLevelsAreTheEncodersOwn()
    {
        // Flat 16 x 16 blocks survive a quality 100 JPEG exactly, so the
        // decoded grey picture holds the encoder's own grey values.
        QImage colours(16, 16 * 64, QImage::Format_RGB32);
        QRandomGenerator random(3);
        for (int b = 0; b < 64; ++b) {
            const QRgb c = qRgb(random.bounded(256), random.bounded(256), random.bounded(256));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    colours.setPixel(x, b * 16 + y, c);
        }
        QByteArray jpeg;
        QVERIFY(JpegCodec::encode(colours, 100, true, &jpeg));
        QImage decoded;
        QVERIFY(JpegCodec::decode(jpeg, &decoded));
        QCOMPARE(decoded.format(), QImage::Format_Grayscale8);
        QCOMPARE(ExportCommand::greyLevels(colours), decoded);
    }

    void jpegOptionsAndPdf()
    {
        QTemporaryDir out;
        BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--gris"),
                                  QStringLiteral("--quality"), QStringLiteral("30"), QStringLiteral("--out"),
                                  out.path(), start(kHypo)});
        QCOMPARE(r.status, 0);
        const QByteArray grey = TestFiles::read(out.filePath(QStringLiteral("Hypochlorite de sodium.jpg")));
        QCOMPARE(TestPictures::jpegComponents(grey), 1);
        r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--out"), out.path(),
                 start(kHypo)});
        const QByteArray colour = TestFiles::read(out.filePath(QStringLiteral("Hypochlorite de sodium.jpg")));
        QCOMPARE(TestPictures::jpegComponents(colour), 3);
        QVERIFY(colour.size() > grey.size());

        r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--format"),
                 QStringLiteral("pdf"), QStringLiteral("--out"), out.path(), start(kHypo)});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QByteArray pdf = TestFiles::read(out.filePath(QStringLiteral("Hypochlorite de sodium.pdf")));
        QVERIFY(pdf.startsWith("%PDF-"));
        // One page, A5 in landscape (595 x 420 points), text drawn with
        // embedded fonts rather than as a picture.
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        QCOMPARE(QString::fromLatin1(pdf).count(page), 1);
        QVERIFY(pdf.contains("/MediaBox [0 0 595"));
        QVERIFY(pdf.contains("/FontFile2"));
        // The words themselves (poppler-utils: the test command installs it).
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is needed to read the PDF's text");
        QProcess text;
        text.start(pdftotext, {out.filePath(QStringLiteral("Hypochlorite de sodium.pdf")), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(words.contains(QStringLiteral("HYPOCHLORITE DE SODIUM")), qPrintable(words));
        QVERIFY(words.contains(QStringLiteral("Appeler immédiatement un CENTRE ANTIPOISON ou un médecin.")));
    }

    void sheetToPdf()
    {
        // The three samples on a page of four: one landscape page, the cells
        // 0 to 2 printed, cell 3 white.
        QTemporaryDir work;
        const QStringList labels = {start(kAcetone), start(kAcide), start(kHypo)};
        BatchRun::Result r = run(QStringList{"--data", start(), "planche"} + labels
                                     + QStringList{"--par-page", "4", "--pointilles", "--pdf", "quatre.pdf"},
                                 work.path());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        const QByteArray pdf = TestFiles::read(work.filePath(QStringLiteral("quatre.pdf")));
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pageCount(pdf), 1);
        QVERIFY2(pdf.contains("/MediaBox [0 0 841.89") || pdf.contains("/MediaBox [0 0 842"), "an A4 landscape page");

        // The page's pixels (poppler-utils: the test command installs it).
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        QVERIFY2(!pdftoppm.isEmpty(), "pdftoppm (poppler-utils) is needed to look at the printed page");
        QVERIFY(QProcess::execute(pdftoppm, {"-r", "30", "-png", "-singlefile", work.filePath("quatre.pdf"),
                                             work.filePath("page")}) == 0);
        const QImage page(work.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());
        QVERIFY(page.width() > page.height());
        const int w = page.width() / 2, h = page.height() / 2;
        const auto ink = [&](int cx, int cy) {
            int dark = 0;
            for (int y = cy * h + 3; y < (cy + 1) * h - 3; ++y)
                for (int x = cx * w + 3; x < (cx + 1) * w - 3; ++x)
                    dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
            return dark;
        };
        QVERIFY(ink(0, 0) > 50);
        QVERIFY(ink(1, 0) > 50);
        QVERIFY(ink(0, 1) > 50);
        QCOMPARE(ink(1, 1), 0);

        // The same labels from a sheet file; three copies give three pages.
        QVERIFY(TextFile::writeLines(work.filePath(QStringLiteral("trois.pla")), labels));
        r = run({"--data", start(), "planche", "trois.pla", "--par-page", "4", "--copies", "3", "--pdf", "copies.pdf"},
                work.path());
        QCOMPARE(r.status, 0);
        QCOMPARE(pageCount(TestFiles::read(work.filePath(QStringLiteral("copies.pdf")))), 3);

        // A sheet file written by hand with entries relative to its own
        // folder means the same labels from another working folder.
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("sous")));
        const QDir sheetFolder(work.filePath(QStringLiteral("sous")));
        QStringList relative;
        for (const QString &l : labels)
            relative << sheetFolder.relativeFilePath(l);
        QVERIFY(!QDir::isAbsolutePath(relative.constFirst()));
        QVERIFY(TextFile::writeLines(sheetFolder.filePath(QStringLiteral("relatif.pla")), relative));
        r = run({"--data", start(), "planche", "sous/relatif.pla", "--par-page", "4", "--pdf", "relatif.pdf"},
                work.path());
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(pageCount(TestFiles::read(work.filePath(QStringLiteral("relatif.pdf")))), 1);

        // A label that has gone: its cell stays white, it is said, status 1,
        // and the page is printed all the same.
        r = run(QStringList{"--data", start(), "planche", start(kAcetone), work.filePath("parti.kvln"), "--par-page",
                            "2", "--pdf", "manque.pdf"},
                work.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QStringLiteral("kalvane-batch: %1: introuvable\n").arg(work.filePath("parti.kvln")));
        QCOMPARE(pageCount(TestFiles::read(work.filePath(QStringLiteral("manque.pdf")))), 1);

        // A printer that does not exist is a usage error naming it.
        r = run({"planche", start(kAcetone), "--par-page", "2", "--imprimante", "Nulle-Part-42"}, work.path());
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("kalvane-batch: imprimante inconnue « Nulle-Part-42 »")), qPrintable(r.err));
    }

    void cutStatementsAreSaidWithStatusOne()
    {
        // The sample with the first 60 hazard statements of the catalogue
        // ticked: at the export's default sizes they cannot all fit.
        const QList<QByteArray> catalogue = TestFiles::read(start(QStringLiteral("H.txt"))).split('\n');
        QByteArray ticked;
        QStringList statements;
        for (int i = 0; i < 60; ++i) {
            const QByteArray line = catalogue.at(i).trimmed();
            ticked += QByteArray::number(i) + "\r\n" + line + "\r\n";
            statements << TextFile::decode(line);
        }
        const QString full = changed(kAcetone, QStringLiteral("trop longue.kvln"), "***prudence***\r\n",
                                     ticked + "***prudence***\r\n");
        QVERIFY(!full.isEmpty());
        QTemporaryDir out;
        for (const QString &format : {QStringLiteral("jpg"), QStringLiteral("pdf")}) {
            const BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                            QStringLiteral("--format"), format, QStringLiteral("--out"), out.path(),
                                            full});
            QCOMPARE(r.status, 1);
            QCOMPARE(r.out, QString());
            // One line on the error stream naming the file and the first
            // statement that is cut, which is one of the ticked ones but not
            // the first.
            const QStringList err = r.err.split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(err.size(), 1);
            const QString prefix = QStringLiteral("kalvane-batch: %1: Les phrases ne tiennent pas toutes sur "
                                                  "l'étiquette : à partir de « ").arg(full);
            QVERIFY2(err.first().startsWith(prefix), qPrintable(err.first()));
            const QString named = err.first().mid(prefix.size()).section(QStringLiteral(" »"), 0, 0);
            QVERIFY2(statements.mid(1).contains(named), qPrintable(named));
            QVERIFY(err.first().contains(QStringLiteral("le texte est coupé au bas de l'étiquette. Choisissez")));
            // The picture is written all the same.
            QVERIFY(QFileInfo(out.filePath(QStringLiteral("trop longue.") + format)).size() > 1000);
        }
    }

    void exportProblemsGiveStatusOne()
    {
        QTemporaryDir out;
        QTemporaryDir other;
        QVERIFY(TestFiles::write(other.filePath(QStringLiteral("Acetone.kvln")), TestFiles::read(start(kAcetone))));
        QVERIFY(TestFiles::write(other.filePath(QStringLiteral("texte.kvln")), "Bonjour\r\n"));
        const BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                        QStringLiteral("--out"), out.path(), start(kAcetone),
                                        other.filePath(QStringLiteral("absent.kvln")),
                                        other.filePath(QStringLiteral("Acetone.kvln")),
                                        other.filePath(QStringLiteral("texte.kvln")), start(kHypo)});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        const QStringList err = r.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(err.size(), 3);
        QVERIFY(err.at(0).startsWith(QStringLiteral("kalvane-batch: %1: l'étiquette ne peut pas être lue, rien n'est "
                                                    "exporté : ").arg(other.filePath(QStringLiteral("absent.kvln")))));
        QVERIFY(err.at(1).startsWith(QStringLiteral("kalvane-batch: %1: une autre étiquette de cette commande donne "
                                                    "déjà ").arg(other.filePath(QStringLiteral("Acetone.kvln")))));
        QCOMPARE(err.at(2), QStringLiteral("kalvane-batch: %1: ce n'est pas un fichier d'étiquette (sa première ligne "
                                           "n'est pas « ***fab*** »).").arg(other.filePath(QStringLiteral("texte.kvln"))));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("Acetone.jpg"), QStringLiteral("Hypochlorite de sodium.jpg")}));

        // What the file stores but the label cannot show is said: the image
        // is the desktop's all the same, and the status is 1.
        const QString unknown = changed(kAcetone, QStringLiteral("inconnue.kvln"), "***prudence***\r\n",
                                        "9\r\nH299: Mention inconnue.\r\n***prudence***\r\n");
        const BatchRun::Result dropped = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                              QStringLiteral("--out"), out.path(), unknown});
        QCOMPARE(dropped.status, 1);
        QCOMPARE(dropped.err, QStringLiteral("kalvane-batch: %1: le fichier contient ce que Kalvane ne lit pas, qui "
                                             "manque donc à l'image : la phrase « H299 » (voir « kalvane-batch "
                                             "verifier »).\n").arg(unknown));
        QVERIFY(QFileInfo::exists(out.filePath(QStringLiteral("inconnue.jpg"))));

        // The output folder cannot be a file.
        const BatchRun::Result file = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                           QStringLiteral("--out"), start(kAcetone), start(kAcetone)});
        QCOMPARE(file.status, 2);
    }

    void damagedAndOversizedLabelsAreSaidAsTheDesktopSaysThem()
    {
        // The acetone label cut after its hazard statements.
        QTemporaryDir work;
        const QByteArray whole = TestFiles::read(start(kAcetone));
        const QByteArray cut = whole.left(whole.indexOf("***prudence***"));
        const QString damaged = work.filePath(QStringLiteral("coupe.kvln"));
        TestFiles::write(damaged, cut);
        const QStringList lines = TextFile::splitLines(TextFile::decode(cut));
        LabelDocument doc;
        const QString said = LabelFile::damageMessage(damaged, LabelFile::parse(lines, &doc));
        QVERIFY(said.startsWith(QStringLiteral("Le fichier d'étiquette « %1 » est endommagé ou incomplet : le fichier "
                                               "s'arrête après sa ligne %2, dans la partie « mentions de danger ».")
                                    .arg(damaged)
                                    .arg(lines.size())));
        // A stray file of 3 MB named as a label.
        const QString big = work.filePath(QStringLiteral("gros.kvln"));
        TestFiles::write(big, whole + QByteArray(3 << 20, 'x'));

        BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(), QStringLiteral("--out"),
                                  work.path(), damaged, big});
        QCOMPARE(r.status, 1);
        QStringList err = r.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(err.size(), 2);
        QCOMPARE(err.at(0), QStringLiteral("kalvane-batch: %1: l'étiquette ne peut pas être lue, rien n'est exporté : %2")
                                .arg(damaged, said));
        QVERIFY2(err.at(1).startsWith(QStringLiteral("kalvane-batch: %1: l'étiquette ne peut pas être lue, rien n'est "
                                                     "exporté : Le fichier « %1 » est trop volumineux pour un fichier "
                                                     "d'étiquette").arg(big)),
                 qPrintable(err.at(1)));
        QVERIFY(QDir(work.path()).entryList({QStringLiteral("*.jpg")}).isEmpty());

        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), damaged});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QStringLiteral("%1: erreur: %2\n").arg(damaged, said));

        // On a sheet: the message names the label, its cell is drawn as far
        // as it was read (or white for the large file), the page is printed.
        r = run({QStringLiteral("--data"), start(), QStringLiteral("planche"), damaged, big, QStringLiteral("--par-page"),
                 QStringLiteral("2"), QStringLiteral("--pdf"), QStringLiteral("deux.pdf")},
                work.path());
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Le fichier « %1 » est trop volumineux pour un fichier d'étiquette").arg(big)),
                 qPrintable(r.err));
        QVERIFY(QFileInfo::exists(work.filePath(QStringLiteral("deux.pdf"))));
    }
};

QTEST_MAIN(TestBatchProcess)
#include "test_batchprocess.moc"
