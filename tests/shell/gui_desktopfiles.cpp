// Files from outside and saving as desktop editors do: files named on the
// command line or handed over by a later start, saving in place, "Enregistrer
// sous..." and the name proposed for a new label.

#include "testsupport.h"

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/labelfile.h"
#include "shell/singleinstance.h"
#include "shell/textfile.h"
#include "tools/planche.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QUuid>

namespace {

// A label file as the program writes it, with the given product.
QByteArray labelFile(const QString &product)
{
    LabelDocument doc;
    doc.product = product;
    FrameMirrors mirrors;
    QByteArray bytes;
    for (const QString &line : LabelFile::serialize(doc, mirrors)) {
        QByteArray encoded;
        TextFile::encode(line, &encoded);
        bytes += encoded + "\r\n";
    }
    return bytes;
}

QStringList titles(TForm_base *frame)
{
    QStringList out;
    for (TMDIChild *w : frame->labelWindows())
        out << w->windowTitle();
    return out;
}

} // namespace

class TestDesktopFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void filesFromOutsideOpen();
    void handedOverFilesOpenInTheRunningProgram();
    void saveWritesInPlaceWithoutADialog();
    void saveAsAlwaysAsks();
    void newLabelProposesItsProductName();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    TMDIChild *openLabel(const QString &name, const QString &product);
};

void TestDesktopFiles::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
}

void TestDesktopFiles::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

TMDIChild *TestDesktopFiles::openLabel(const QString &name, const QString &product)
{
    m_dir->write(name, labelFile(product));
    m_program->app->openFiles({m_dir->file(name)});
    return frame()->activeLabel();
}

void TestDesktopFiles::filesFromOutsideOpen()
{
    m_dir->write(QStringLiteral("labels/acide.kvln"), labelFile(QStringLiteral("ACIDE")));
    m_dir->write(QStringLiteral("labels/base.kvln"), labelFile(QStringLiteral("BASE")));
    m_dir->write(QStringLiteral("labels/abime.kvln"),
                 labelFile(QStringLiteral("ABÎMÉ")).replace("\r\n20\r\n", "\r\nvingt\r\n"));
    m_dir->write(QStringLiteral("planches/lot.pla"), QFile::encodeName(m_dir->file(QStringLiteral("labels/acide.kvln")))
                                                        + "\r\n");
    const QString gone = m_dir->file(QStringLiteral("labels/parti.kvln"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("introuvable"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("endommagé"));
    // Relative names are taken from the start directory, as the command line gives them.
    m_program->app->openFiles({QStringLiteral("labels/acide.kvln"), gone, m_dir->file(QStringLiteral("labels/abime.kvln")),
                               m_dir->file(QStringLiteral("labels/base.kvln")),
                               m_dir->file(QStringLiteral("planches/lot.pla"))});

    // The damaged label is said and the next one still opens.
    QCOMPARE(titles(frame()), (QStringList{QStringLiteral("acide.kvln"), QStringLiteral("abime.kvln (lu en partie)"),
                                           QStringLiteral("base.kvln")}));
    QCOMPARE(frame()->labelWindows().first()->Lab_filename->text(), m_dir->file(QStringLiteral("labels/acide.kvln")));
    QCOMPARE(desk()->messageLines().size(), 2);
    QCOMPARE(desk()->messageLines().first(),
             QStringLiteral("AVERTISSEMENT: Le fichier « %1 » est introuvable : il n'a pas été ouvert.").arg(gone));
    QVERIFY2(desk()->messageLines().last().startsWith(
                 QStringLiteral("AVERTISSEMENT: Le fichier d'étiquette « %1 » est endommagé")
                     .arg(m_dir->file(QStringLiteral("labels/abime.kvln")))),
             qPrintable(desk()->messageLines().last()));
    QCOMPARE(frame()->previewSuppressed, 0);

    // The sheet opens in the sheet manager, which then proposes its name.
    TPlanche1 *manager = m_program->app->planche();
    QVERIFY(manager->isVisible());
    QCOMPARE(manager->entries(), QStringList{m_dir->file(QStringLiteral("labels/acide.kvln"))});
    QCOMPARE(manager->SaveD.fileName, QStringLiteral("lot.pla"));
    QCOMPARE(manager->SaveD.folder, m_dir->file(QStringLiteral("planches")));
}

void TestDesktopFiles::handedOverFilesOpenInTheRunningProgram()
{
    const QString name = m_dir->file(QStringLiteral("s-") + QUuid::createUuid().toString(QUuid::Id128).left(8));
    SingleInstance running(name);
    QCOMPARE(running.start({}), SingleInstance::Role::Primary);
    connect(&running, &SingleInstance::filesReceived, this, [this](const QStringList &files) {
        m_program->app->handOver(files);
    });
    m_dir->write(QStringLiteral("a.kvln"), labelFile(QStringLiteral("A")));
    m_dir->write(QStringLiteral("b.kvln"), labelFile(QStringLiteral("B")));
    frame()->showMinimized();

    SingleInstance later(name);
    QCOMPARE(later.start({m_dir->file(QStringLiteral("a.kvln"))}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE(titles(frame()), QStringList{QStringLiteral("a.kvln")});
    QVERIFY(!frame()->isMinimized());

    // While a dialog of the program waits for an answer, the files wait too.
    QDialog question(frame());
    question.open();
    QVERIFY(QApplication::activeModalWidget());
    SingleInstance another(name);
    QCOMPARE(another.start({m_dir->file(QStringLiteral("b.kvln"))}), SingleInstance::Role::HandedOver);
    QTest::qWait(500);
    QCOMPARE(titles(frame()).size(), 1);
    question.close();
    QTRY_COMPARE(titles(frame()), (QStringList{QStringLiteral("a.kvln"), QStringLiteral("b.kvln")}));
    QVERIFY(desk()->messages.isEmpty());
}

void TestDesktopFiles::saveWritesInPlaceWithoutADialog()
{
    TMDIChild *label = openLabel(QStringLiteral("eau.kvln"), QStringLiteral("EAU"));
    const QString path = m_dir->file(QStringLiteral("eau.kvln"));
    LabelDocument doc = label->document();
    doc.product = QStringLiteral("EAU DÉMINÉRALISÉE");
    label->applyDocument(doc);
    label->setModified(true);
    frame()->Enregistrer1->trigger();
    QVERIFY(desk()->fileDialogs.isEmpty());
    QVERIFY(desk()->messages.isEmpty());
    QVERIFY(TextFile::readLines(path).contains(QStringLiteral("EAU DÉMINÉRALISÉE")));
    QVERIFY(!label->isModified());
    QCOMPARE(label->Lab_filename->text(), path);
    QCOMPARE(label->windowTitle(), QStringLiteral("eau.kvln"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*eau*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("eau.kvln")});

    // Closing a changed label with "Oui" saves it the same way.
    QTest::keyClicks(label->Memo_C, QStringLiteral("Tenir au frais"));
    QVERIFY(label->isModified());
    desk()->answers.enqueue(Desktop::Yes);
    qobject_cast<QMdiSubWindow *>(label->parentWidget())->close();
    QVERIFY(desk()->fileDialogs.isEmpty());
    QCOMPARE(desk()->messages.size(), 1);
    QVERIFY(TextFile::readLines(path).contains(QStringLiteral("Tenir au frais")));

    // A file that cannot be written any more is said; the label keeps its
    // path. Its folder became a plain file, which not even root writes below.
    TMDIChild *other = openLabel(QStringLiteral("parti/fige.kvln"), QStringLiteral("FIGÉ"));
    const QString fixed = m_dir->file(QStringLiteral("parti/fige.kvln"));
    QVERIFY(QDir(m_dir->file(QStringLiteral("parti"))).removeRecursively());
    m_dir->write(QStringLiteral("parti"), "un fichier");
    desk()->expectMessage(QStringLiteral("kalvane"));
    frame()->Enregistrer1->trigger();
    QVERIFY(desk()->fileDialogs.isEmpty());
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("kalvane"));
    QCOMPARE(m_dir->read(QStringLiteral("parti")), QByteArray("un fichier"));
    QCOMPARE(other->Lab_filename->text(), fixed);
    QCOMPARE(other->windowTitle(), QStringLiteral("fige.kvln"));
}

void TestDesktopFiles::saveAsAlwaysAsks()
{
    TForm_base *f = frame();
    QVERIFY(!f->Enregistrersous1->isEnabled());
    QCOMPARE(f->Enregistrersous1->objectName(), QStringLiteral("Enregistrersous1"));
    QCOMPARE(f->Enregistrersous1->text(), QStringLiteral("Enregistrer sous..."));
    QCOMPARE(f->Enregistrersous1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // In the File menu, right under "Enregistrer".
    QMenu *file = f->menuBar()->findChild<QMenu *>(QStringLiteral("Fichier1"));
    const QList<QAction *> items = file->actions();
    QCOMPARE(items.indexOf(f->Enregistrersous1), items.indexOf(f->Enregistrer1) + 1);

    TMDIChild *label = openLabel(QStringLiteral("acide.kvln"), QStringLiteral("ACIDE"));
    QVERIFY(f->Enregistrersous1->isEnabled());
    const QByteArray original = m_dir->read(QStringLiteral("acide.kvln"));
    QDir().mkpath(m_dir->file(QStringLiteral("copies")));
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("copies/acide dilué")));
    f->Enregistrersous1->trigger();
    QCOMPARE(desk()->fileDialogs.size(), 1);
    const Desktop::FileDialog &d = desk()->fileDialogs.last();
    QCOMPARE(d.fileName, QStringLiteral("acide.kvln"));
    QCOMPARE(d.folder, m_dir->path());
    QVERIFY(d.confirmOverwrite);
    const QString copy = m_dir->file(QStringLiteral("copies/acide dilué.kvln"));
    QCOMPARE(label->Lab_filename->text(), copy);
    QCOMPARE(label->windowTitle(), QStringLiteral("acide dilué.kvln"));
    QCOMPARE(m_dir->read(QStringLiteral("copies/acide dilué.kvln")), original);

    // The next plain save goes to the new file; the first one is left alone.
    LabelDocument doc = label->document();
    doc.product = QStringLiteral("ACIDE DILUÉ");
    label->applyDocument(doc);
    f->Enregistrer1->trigger();
    QCOMPARE(desk()->fileDialogs.size(), 1);
    QVERIFY(TextFile::readLines(copy).contains(QStringLiteral("ACIDE DILUÉ")));
    QCOMPARE(m_dir->read(QStringLiteral("acide.kvln")), original);

    // Cancelled: nothing changes.
    desk()->saveAnswers.enqueue(QString());
    QApplication::setActiveWindow(f);
    QTest::keyClick(label->Memo_C, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(desk()->fileDialogs.size(), 2);
    QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("acide dilué.kvln"));
    QCOMPARE(label->Lab_filename->text(), copy);
    QVERIFY(desk()->messages.isEmpty());
}

void TestDesktopFiles::newLabelProposesItsProductName()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClicks(label->Memo_S, QStringLiteral("Acide chlorhydrique 33 %"));
    QTest::keyClick(label->Memo_S, Qt::Key_Return);
    QTest::keyClicks(label->Memo_S, QStringLiteral("solution aqueuse"));
    desk()->saveAnswers.enqueue(QString());
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("Acide chlorhydrique 33 %"));

    LabelDocument doc = label->document();
    doc.product = QStringLiteral("Eau/éthanol 50:50");
    label->applyDocument(doc);
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("Eau_éthanol 50_50")));
    frame()->Enregistrersous1->trigger();
    QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("Eau_éthanol 50_50"));
    QCOMPARE(label->windowTitle(), QStringLiteral("Eau_éthanol 50_50.kvln"));

    // Nothing to make a name of: the usual one.
    frame()->Nouveau1->trigger();
    desk()->saveAnswers.enqueue(QString());
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("Sans_titre"));
    QVERIFY(desk()->messages.isEmpty());
}

QTEST_MAIN(TestDesktopFiles)
#include "gui_desktopfiles.moc"
