#include "testsupport.h"

#include "editor/catalogue.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"
#include "tools/printer.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

class TestLabelFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void newLabelSavedUnchanged();
    void editedLabelRoundTripsThroughWindows();
    void openSeveralSkipsVanishedAndStopsAtAnError();
    void aDamagedFileIsNeverReplacedUnasked();
    void aFileTooLargeForALabelOpensNoWindow();
    void failedSaveKeepsTitleAndOldFile();
    void cancelledSaveWritesNothing();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
};

void TestLabelFiles::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
}

void TestLabelFiles::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestLabelFiles::newLabelSavedUnchanged()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    const QString path = m_dir->file(QStringLiteral("labels/neuf.kvln"));
    QDir().mkpath(m_dir->file(QStringLiteral("labels")));
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("labels/neuf"))); // the extension is added
    frame()->Enregistrer1->trigger();
    const Desktop::FileDialog &d = desk()->fileDialogs.last();
    QCOMPARE(d.fileName, QStringLiteral("Sans_titre"));
    QCOMPARE(d.filter, QStringLiteral("Kalvane|*.kvln"));
    QVERIFY(d.confirmOverwrite);

    const QByteArray bytes = m_dir->read(QStringLiteral("labels/neuf.kvln"));
    QVERIFY(bytes.endsWith("_eof\r\n"));
    const QStringList lines = TextFile::readLines(path);
    QCOMPARE(lines.size(), 25);
    QCOMPARE(lines.at(1), QStringLiteral("\\fournisseurs\\logo"));
    QCOMPARE(label->windowTitle(), QStringLiteral("neuf.kvln"));
    QCOMPARE(label->Lab_filename->text(), path);
    QVERIFY(QFileInfo(m_dir->file(QStringLiteral("labels/fournisseurs"))).isDir());
    QVERIFY(desk()->messages.isEmpty());
}

void TestLabelFiles::editedLabelRoundTripsThroughWindows()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    // A logo outside the label folder is copied beside the saved file.
    QImage logo(20, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    QVERIFY(logo.save(m_dir->file(QStringLiteral("logo_fab.jpg")), "JPG"));
    LabelDocument doc = label->document();
    doc.supplier = QStringLiteral("Chimie Lyonnaise SA\n12 rue des Acides\n69000 Lyon");
    doc.logoPath = m_dir->file(QStringLiteral("logo_fab.jpg"));
    doc.product = QStringLiteral("ACIDE SULFURIQUE\n96 %");
    doc.productColor = QColor(255, 128, 0);
    doc.ce = QStringLiteral("231-639-5");
    doc.cas = QStringLiteral("  7664-93-9");
    doc.index = QStringLiteral("016-020-00-8");
    doc.comment = QStringLiteral("Stocker à l'abri.\nLot 42");
    doc.commentAlignment = AlignLeftCode;
    doc.signalWord = QStringLiteral("ATTENTION");
    doc.pictograms = {QStringLiteral("SGH05"), QStringLiteral("SGH07")};
    doc.hazards[Catalogue::prefixSearch(doc.hazards, QStringLiteral("H314"))].ticked = true;
    const int p280 = Catalogue::prefixSearch(doc.precautions, QStringLiteral("P280"));
    doc.precautions[p280].ticked = true;
    doc.precautions[p280].text = QStringLiteral("P280: Porter des gants et des lunettes.");
    doc.marginX = QStringLiteral("3");
    doc.scale = QStringLiteral("120");
    label->applyDocument(doc);
    frame()->mirrors.logoPath = doc.logoPath;
    frame()->setStatementSize(6);

    QDir().mkpath(m_dir->file(QStringLiteral("out")));
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("out/acide.kvln")));
    frame()->Enregistrer1->trigger();
    QVERIFY(QFileInfo::exists(m_dir->file(QStringLiteral("out/fournisseurs/logo_fab.jpg"))));

    desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("out/acide.kvln"))});
    frame()->Ouvrir1->trigger();
    QCOMPARE(frame()->labelWindows().size(), 2);
    TMDIChild *back = frame()->activeLabel();
    QVERIFY(back != label);
    LabelDocument expected = label->document();
    expected.title = QStringLiteral("acide.kvln");
    expected.filePath = m_dir->file(QStringLiteral("out/acide.kvln"));
    expected.logoPath = m_dir->file(QStringLiteral("out/fournisseurs/logo_fab.jpg"));
    LabelDocument got = back->document();
    QCOMPARE(got.supplier, expected.supplier);
    QCOMPARE(got.product, expected.product);
    QCOMPARE(got.productColor, expected.productColor);
    QCOMPARE(got.cas, expected.cas);
    QCOMPARE(got.pictograms, expected.pictograms);
    QCOMPARE(got.hazards, expected.hazards);
    QCOMPARE(got.precautions, expected.precautions);
    QCOMPARE(got.statementSize, QStringLiteral("6"));
    QCOMPARE(got, expected);
    QVERIFY(!back->logoPicture().isNull());
    QVERIFY(back->selectionFrames[4]->isVisibleTo(back));
    QCOMPARE(m_program->app->printer()->TrackBar1->value(), 120);
    QCOMPARE(m_program->app->printer()->Ed_g->text(), QStringLiteral("3"));
    QCOMPARE(back->LabHPEUH->text(), QStringLiteral("H314, P280"));
    QCOMPARE(frame()->openDialogFolder, m_dir->file(QStringLiteral("out")));
}

void TestLabelFiles::openSeveralSkipsVanishedAndStopsAtAnError()
{
    const QByteArray good = "***fab***\r\n\\fournisseurs\\logo\r\n***sub***\r\nEAU\r\n***nref***\r\n   -   - \r\n"
                            "      -  - \r\n   -   -  - \r\n***commentaires***\r\n***avertissement***\r\nDANGER\r\n"
                            "***pic***\r\n***dangers***\r\n***prudence***\r\n***infos***\r\n***fonte***\r\nArial\r\n"
                            "20\r\n8\r\n***marges_echelle***\r\n100\r\n0\r\n0\r\nclBlack\r\n17\r\n_eof\r\n";
    m_dir->write(QStringLiteral("a.kvln"), good);
    m_dir->write(QStringLiteral("b.kvln"), QByteArray(good).replace("20\r\n8\r\n", "vingt\r\n8\r\n"));
    m_dir->write(QStringLiteral("c.kvln"), good);
    desk()->openAnswers.enqueue({m_dir->file("a.kvln"), m_dir->file("gone.kvln"), m_dir->file("b.kvln"),
                                 m_dir->file("c.kvln")});
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("endommagé"));
    frame()->Ouvrir1->trigger();
    QStringList titles;
    for (TMDIChild *w : frame()->labelWindows())
        titles << w->windowTitle();
    QCOMPARE(titles, (QStringList{"a.kvln", "b.kvln (lu en partie)"}));
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("AVERTISSEMENT: Le fichier d'étiquette « %1 » est endommagé ou incomplet : "
                                        "la ligne 18 (« vingt »), dans la partie « police et tailles des caractères », "
                                        "n'est pas une taille de caractères valable. Parties lues en entier : "
                                        "identification du fournisseur, identification du produit, numéros "
                                        "CE/CAS/INDEX, commentaires, mention d'avertissement, pictogrammes, mentions "
                                        "de danger, conseils de prudence, informations supplémentaires ; la suite "
                                        "n'a pas été lue.\n")
                             .arg(m_dir->file("b.kvln"))
                         + TForm_base::kRecoveredNote});
    // What was read before the error stays in the window.
    QCOMPARE(frame()->labelWindows().last()->document().product, QStringLiteral("EAU"));
    QCOMPARE(frame()->previewSuppressed, 0);
}

void TestLabelFiles::aDamagedFileIsNeverReplacedUnasked()
{
    // A label cut in the middle of its precautions, as a full disk or a
    // copy stopped half-way leaves it.
    const QByteArray cut = "***fab***\r\nChimie SA\r\n\\fournisseurs\\\r\n***sub***\r\nACIDE CHLORHYDRIQUE 37 %\r\n"
                           "***nref***\r\n231-595-7\r\n 7647-01-0\r\n017-002-01-X\r\n***commentaires***\r\n"
                           "***avertissement***\r\nDANGER\r\n***pic***\r\nSGH05\r\n***dangers***\r\n0\r\n"
                           "H290: Peut être corrosif pour les métaux.\r\n***prudence***\r\n";
    const QString path = m_dir->file(QStringLiteral("acide.kvln"));
    m_dir->write(QStringLiteral("acide.kvln"), cut);
    desk()->openAnswers.enqueue({path});
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("endommagé"));
    frame()->Ouvrir1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QVERIFY(label);
    // What was read, in a label without a file.
    QCOMPARE(label->windowTitle(), QStringLiteral("acide.kvln (lu en partie)"));
    QCOMPARE(label->Lab_filename->text(), LabelDocument::kUntitled);
    QCOMPARE(label->document().product, QStringLiteral("ACIDE CHLORHYDRIQUE 37 %"));
    QCOMPARE(label->document().pictograms, QStringList{QStringLiteral("SGH05")});
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.first().title, QStringLiteral("AVERTISSEMENT"));
    QCOMPARE(desk()->messages.first().text,
             QStringLiteral("Le fichier d'étiquette « %1 » est endommagé ou incomplet : le fichier s'arrête après "
                            "sa ligne 18, dans la partie « conseils de prudence ». Parties lues en entier : "
                            "identification du fournisseur, identification du produit, numéros CE/CAS/INDEX, "
                            "commentaires, mention d'avertissement, pictogrammes, mentions de danger ; la suite n'a "
                            "pas été lue.\n")
                     .arg(path)
                 + TForm_base::kRecoveredNote);

    // The save offers the file's folder, not its name; choosing the damaged
    // file anyway asks, and "Non" writes nothing and keeps the label as it is.
    desk()->saveAnswers.enqueue(path);
    desk()->answers.enqueue(Desktop::No);
    QVERIFY(!frame()->saveLabel(label));
    const Desktop::FileDialog &d = desk()->fileDialogs.last();
    QCOMPARE(d.folder, m_dir->path());
    QCOMPARE(d.fileName, LabelDocument::kUntitled);
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QCOMPARE(desk()->messages.last().text, TForm_base::kReplaceDamagedQuestion.arg(path));
    QCOMPARE(m_dir->read(QStringLiteral("acide.kvln")), cut);
    QCOMPARE(label->Lab_filename->text(), LabelDocument::kUntitled);

    // Another name: no question, the damaged file stays as it was.
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("acide-repare.kvln")));
    QVERIFY(frame()->saveLabel(label));
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(m_dir->read(QStringLiteral("acide.kvln")), cut);
    QCOMPARE(label->Lab_filename->text(), m_dir->file(QStringLiteral("acide-repare.kvln")));

    // Opened again, "Oui" replaces it: the user chose so.
    desk()->openAnswers.enqueue({path});
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("endommagé"));
    frame()->Ouvrir1->trigger();
    QCOMPARE(desk()->messages.size(), 3);
    TMDIChild *again = frame()->activeLabel();
    QVERIFY(again != label);
    desk()->saveAnswers.enqueue(path);
    desk()->answers.enqueue(Desktop::Yes);
    QVERIFY(frame()->saveLabel(again));
    QCOMPARE(desk()->messages.size(), 4);
    QCOMPARE(again->Lab_filename->text(), path);
    QVERIFY(m_dir->read(QStringLiteral("acide.kvln")).endsWith("_eof\r\n"));
    // Now a label of that file, saved without a question.
    desk()->saveAnswers.enqueue(path);
    QVERIFY(frame()->saveLabel(again));
    QCOMPARE(desk()->messages.size(), 4);
}

void TestLabelFiles::aFileTooLargeForALabelOpensNoWindow()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("trop volumineux"));
    // A stray large file (a log renamed) is not read and opens nothing that
    // could be saved over it.
    QByteArray big = "***fab***\r\n";
    big += QByteArray(LabelFile::kMaxFileSize, 'x');
    m_dir->write(QStringLiteral("gros.kvln"), big);
    desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("gros.kvln"))});
    frame()->Ouvrir1->trigger();
    QVERIFY(frame()->labelWindows().isEmpty());
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("AVERTISSEMENT: Le fichier « %1 » est trop volumineux pour un fichier "
                                        "d'étiquette (1025 Ko ; une étiquette fait quelques kilo-octets, au plus 1 Mo "
                                        "sont lus) : il n'est pas lu.")
                             .arg(m_dir->file(QStringLiteral("gros.kvln")))});
}

void TestLabelFiles::failedSaveKeepsTitleAndOldFile()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    m_dir->write(QStringLiteral("blocker"), "x");
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("blocker/label.kvln")));
    desk()->expectMessage(QStringLiteral("kalvane"));
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.first().title, QStringLiteral("kalvane"));
    QCOMPARE(label->windowTitle(), QStringLiteral("Étiquette N°1"));
    QCOMPARE(label->Lab_filename->text(), QStringLiteral("Sans_titre"));

    // A character the file cannot hold is said before the dialog; refusing
    // its replacement writes nothing and opens no dialog.
    m_dir->write(QStringLiteral("ok.kvln"), "ancien\r\n");
    LabelDocument doc = label->document();
    doc.product = QStringLiteral("H\u2082SO\u2084");
    label->applyDocument(doc);
    const qsizetype dialogs = desk()->fileDialogs.size();
    desk()->answers.enqueue(Desktop::No);
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 2);
    QVERIFY(desk()->messages.last().text.contains(QStringLiteral("Windows-1252")));
    QVERIFY(desk()->messages.last().text.contains(QStringLiteral("(U+2082) → « 2 »")));
    QCOMPARE(desk()->fileDialogs.size(), dialogs);
    QCOMPARE(m_dir->read(QStringLiteral("ok.kvln")), QByteArray("ancien\r\n"));
}

void TestLabelFiles::cancelledSaveWritesNothing()
{
    frame()->Nouveau1->trigger();
    desk()->saveAnswers.enqueue(QString());
    frame()->Enregistrer1->trigger();
    QVERIFY(QDir(m_dir->path()).entryList({QStringLiteral("*.kvln")}).isEmpty());
    QCOMPARE(frame()->activeLabel()->windowTitle(), QStringLiteral("Étiquette N°1"));
}

QTEST_MAIN(TestLabelFiles)
#include "gui_labelfiles.moc"
