#include "testsupport.h"

#include "editor/catalogue.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
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
    desk()->expectMessage(QStringLiteral("kalvane"), QStringLiteral("'vingt'"));
    frame()->Ouvrir1->trigger();
    QStringList titles;
    for (TMDIChild *w : frame()->labelWindows())
        titles << w->windowTitle();
    QCOMPARE(titles, (QStringList{"a.kvln", "b.kvln"}));
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("kalvane: 'vingt' n'est pas une valeur en virgule flottante correcte")});
    // What was read before the error stays in the window.
    QCOMPARE(frame()->labelWindows().last()->document().product, QStringLiteral("EAU"));
    QCOMPARE(frame()->previewSuppressed, 0);
}

void TestLabelFiles::failedSaveKeepsTitleAndOldFile()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    m_dir->write(QStringLiteral("blocker"), "x");
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("blocker/label.kvln")));
    desk()->expectMessage(QStringLiteral("kalvane"), QStringLiteral("label.kvln"));
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
