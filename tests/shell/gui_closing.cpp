// Closing without losing work: "Oui" to the save question followed by a save
// that is cancelled or fails keeps the label open (its window's close,
// "Fermer tout", "Quitter"); a label or settings file that cannot be written
// (a file-size limit: the full disk of any user) is said and the old file
// stays whole.

#include "testhelpers.h"
#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/errorbox.h"
#include "shell/textfile.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

namespace {

enum class Closing { Window, CloseAll, Quit };

const QString kComment = QStringLiteral("Une heure de travail");

} // namespace

Q_DECLARE_METATYPE(Closing)

class TestClosing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void cancelledSaveKeepsTheLabel_data();
    void cancelledSaveKeepsTheLabel();
    void failedSaveKeepsTheLabelAndTheOldFile_data();
    void failedSaveKeepsTheLabelAndTheOldFile();
    void failedSaveCommandIsSaid();
    void settingsThatCannotBeWrittenAreSaid();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    // A label saved as `name`, then changed (the comment typed).
    TMDIChild *savedThenChanged(const QString &name);
    // Starts closing the label (or all, or the program) and says "Oui" to
    // the label's question.
    void closeAnsweringYes(Closing how, TMDIChild *label);
    void checkStillOpen(TMDIChild *label);
};

void TestClosing::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
    frame()->show();
}

void TestClosing::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

TMDIChild *TestClosing::savedThenChanged(const QString &name)
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClicks(label->Memo_S, QStringLiteral("ACIDE CHLORHYDRIQUE 37 %"));
    desk()->saveAnswers.enqueue(m_dir->file(name));
    frame()->Enregistrer1->trigger();
    if (label->isModified())
        return nullptr;
    QTest::keyClicks(label->Memo_C, kComment);
    return label->isModified() ? label : nullptr;
}

void TestClosing::closeAnsweringYes(Closing how, TMDIChild *label)
{
    switch (how) {
    case Closing::Window:
        desk()->answers.enqueue(Desktop::Yes); // CONFIRMATION: save it
        label->parentWidget()->close();
        break;
    case Closing::CloseAll:
        desk()->answers.enqueue(Desktop::Yes); // "Voulez-vous vraiment fermer toutes les fiches ?"
        desk()->answers.enqueue(Desktop::Yes); // CONFIRMATION: save it
        frame()->Fermer1->trigger();
        break;
    case Closing::Quit:
        desk()->answers.enqueue(Desktop::Yes); // CONFIRMATION: save it
        frame()->Quitter1->trigger();
        break;
    }
}

void TestClosing::checkStillOpen(TMDIChild *label)
{
    QCOMPARE(frame()->labelCount(), 1);
    QCOMPARE(frame()->activeLabel(), label);
    QVERIFY(label->parentWidget()->isVisible());
    QCOMPARE(label->Memo_C->toPlainText(), kComment);
    // Still changed: the next close asks again.
    QVERIFY(label->isModified());
    // The program runs on and has written no settings yet.
    QVERIFY(frame()->isVisible());
    QVERIFY(!m_program->app->terminateRequested());
    QVERIFY(!QFileInfo::exists(m_dir->file(QStringLiteral("dat.ini"))));
    // The question was the label's own.
    const auto questions = std::count_if(desk()->messages.cbegin(), desk()->messages.cend(), [](const auto &m) {
        return m.title == TMDIChild::kDiscardTitle;
    });
    QCOMPARE(int(questions), 1);
}

void TestClosing::cancelledSaveKeepsTheLabel_data()
{
    QTest::addColumn<Closing>("how");
    QTest::newRow("window") << Closing::Window;
    QTest::newRow("Fermer tout") << Closing::CloseAll;
    QTest::newRow("Quitter") << Closing::Quit;
}

void TestClosing::cancelledSaveKeepsTheLabel()
{
    QFETCH(Closing, how);
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClicks(label->Memo_C, kComment);
    QVERIFY(label->isModified());

    desk()->saveAnswers.enqueue(QString()); // the save dialog is cancelled
    closeAnsweringYes(how, label);
    QCOMPARE(desk()->fileDialogs.size(), 1);
    checkStillOpen(label);
    QCOMPARE(label->windowTitle(), QStringLiteral("Étiquette N°1"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".kvln")).size(), 0);
}

void TestClosing::failedSaveKeepsTheLabelAndTheOldFile_data()
{
    cancelledSaveKeepsTheLabel_data();
}

void TestClosing::failedSaveKeepsTheLabelAndTheOldFile()
{
    QFETCH(Closing, how);
    TMDIChild *label = savedThenChanged(QStringLiteral("acide.kvln"));
    QVERIFY(label);
    const QString path = m_dir->file(QStringLiteral("acide.kvln"));
    const QByteArray before = TestFiles::read(path);
    QVERIFY(before.size() > 200);
    const QStringList filesBefore = TestFiles::allFiles(m_dir->path());

    // The save goes to the same file, which cannot grow past a few bytes.
    desk()->saveAnswers.enqueue(path);
    desk()->expectMessage(ErrorBox::kTitle, QStringLiteral("acide.kvln"));
    {
        const FileSizeLimit limit(64);
        QVERIFY(limit.isActive());
        closeAnsweringYes(how, label);
    }
    checkStillOpen(label);
    QCOMPARE(label->windowTitle(), QStringLiteral("acide.kvln"));
    QCOMPARE(TestFiles::read(path), before);
    QCOMPARE(TestFiles::allFiles(m_dir->path()), filesBefore); // no temporary file left beside it
    QVERIFY(desk()->pendingMessages().isEmpty());

    // Once the disk has room again, the same close saves and closes.
    desk()->saveAnswers.enqueue(path);
    closeAnsweringYes(how, label);
    if (how == Closing::Quit)
        QVERIFY(!frame()->isVisible());
    else
        QCOMPARE(frame()->labelCount(), 0);
    QVERIFY(TextFile::readLines(path).contains(kComment));
}

void TestClosing::failedSaveCommandIsSaid()
{
    TMDIChild *label = savedThenChanged(QStringLiteral("acide.kvln"));
    QVERIFY(label);
    const QString path = m_dir->file(QStringLiteral("acide.kvln"));
    const QByteArray before = TestFiles::read(path);
    // "Enregistrer" under another name: nothing is left under either name.
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("copie.kvln")));
    desk()->expectMessage(ErrorBox::kTitle, QStringLiteral("copie.kvln"));
    {
        const FileSizeLimit limit(64);
        QVERIFY(limit.isActive());
        frame()->Enregistrersous1->trigger();
    }
    QVERIFY(desk()->pendingMessages().isEmpty());
    QVERIFY2(desk()->messages.last().text.contains(QStringLiteral("taille permise")),
             qPrintable(desk()->messages.last().text));
    QCOMPARE(TestFiles::read(path), before);
    QVERIFY(!QFileInfo::exists(m_dir->file(QStringLiteral("copie.kvln"))));
    // The label keeps its file and its mark.
    QCOMPARE(label->Lab_filename->text(), path);
    QCOMPARE(label->windowTitle(), QStringLiteral("acide.kvln"));
    QVERIFY(label->isModified());
}

void TestClosing::settingsThatCannotBeWrittenAreSaid()
{
    // The settings files of an earlier run.
    m_program.reset();
    const QByteArray dat = m_dir->path().toLocal8Bit() + "\r\n505\r\n687\r\n176\r\n388\r\n4\r\n7,5\r\n150\r\n";
    m_dir->write(QStringLiteral("dat.ini"), dat);
    m_dir->write(QStringLiteral("trakvln.ini"), "180\r\n");
    m_program = std::make_unique<TestProgram>();
    frame()->show();
    QCOMPARE(m_program->app->apercu()->TrackBar1->value(), 180);
    m_program->app->apercu()->TrackBar1->setValue(200);
    frame()->move(30, 40);

    // Neither file can be written: one message names both, the program still
    // ends, and both files stay as they were. (The favourites window says
    // the same of its own file.)
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("trakvln.ini"));
    desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("chemins favoris"));
    {
        const FileSizeLimit limit(3);
        QVERIFY(limit.isActive());
        frame()->Quitter1->trigger();
    }
    QVERIFY(desk()->pendingMessages().isEmpty());
    QCOMPARE(desk()->messages.size(), 2);
    const auto settings = std::find_if(desk()->messages.cbegin(), desk()->messages.cend(),
                                       [](const auto &m) { return m.title == QStringLiteral("AVERTISSEMENT"); });
    QVERIFY(settings != desk()->messages.cend());
    const QString said = settings->text;
    QVERIFY2(said.contains(QStringLiteral("\"dat.ini\"")) && said.contains(QStringLiteral("taille permise")),
             qPrintable(said));
    QCOMPARE(settings->icon, Desktop::Icon::Warning);
    QVERIFY(!frame()->isVisible());
    QCOMPARE(m_dir->read(QStringLiteral("dat.ini")), dat);
    QCOMPARE(m_dir->read(QStringLiteral("trakvln.ini")), QByteArray("180\r\n"));
    // Nothing of the failed writes is left beside them.
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral(".kalvane-*")}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestClosing)
#include "gui_closing.moc"
