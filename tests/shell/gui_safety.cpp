// What keeps a label's content and the program's settings safe: the question
// before a changed label is discarded, file texts kept whole, fractional sizes
// kept, hostile logo lines and pipes, settings without a printer, geometry
// from a damaged "dat.ini".

#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/labelfile.h"
#include "shell/splash.h"
#include "shell/textfile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <sys/stat.h>

namespace {

// A label file as the program writes it, with the given changes.
QByteArray labelFile(const std::function<void(QStringList &)> &edit = {})
{
    LabelDocument doc;
    FrameMirrors mirrors;
    mirrors.logoPath = QStringLiteral("logo");
    QStringList lines = LabelFile::serialize(doc, mirrors);
    if (edit)
        edit(lines);
    QByteArray bytes;
    for (const QString &line : lines) {
        QByteArray encoded;
        TextFile::encode(line, &encoded);
        bytes += encoded + "\r\n";
    }
    return bytes;
}

} // namespace

class TestSafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void unchangedLabelsCloseWithoutAQuestion();
    void changedLabelsAskBeforeTheyAreDiscarded();
    void quittingWithAChangedLabelSavesOnYes();
    void textsOfAFileAreKeptWhole();
    void fractionalSizeOfAFileIsKept();
    void hostileLogoLinesAreNotFollowed();
    void aPipeAsLogoNeverBlocks();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    TMDIChild *openFile(const QString &name, const QByteArray &bytes);
};

void TestSafety::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
}

void TestSafety::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

TMDIChild *TestSafety::openFile(const QString &name, const QByteArray &bytes)
{
    m_dir->write(name, bytes);
    desk()->openAnswers.enqueue({m_dir->file(name)});
    frame()->Ouvrir1->trigger();
    return frame()->activeLabel();
}

void TestSafety::unchangedLabelsCloseWithoutAQuestion()
{
    frame()->Nouveau1->trigger();
    TMDIChild *opened = openFile(QStringLiteral("eau.kvln"), labelFile([](QStringList &l) {
        l.insert(l.indexOf(LabelFile::kNref), QStringLiteral("EAU"));
    }));
    QVERIFY(opened && !opened->isModified());
    // Looking at a label is no change: switching windows, the tabs.
    frame()->mdiArea->activateNextSubWindow();
    opened->PageControl1->setCurrentIndex(1);
    QVERIFY(!opened->isModified());
    desk()->answers.enqueue(Desktop::Yes); // "Voulez-vous vraiment fermer toutes les fiches ?"
    frame()->Fermer1->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(frame()->labelCount(), 0);
}

void TestSafety::changedLabelsAskBeforeTheyAreDiscarded()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClicks(label->Memo_S, QStringLiteral("ACÉTONE"));
    QVERIFY(label->isModified());

    // "Fermer tout": the frame's question, then the label's; Annuler keeps it.
    desk()->answers.enqueue(Desktop::Yes);
    desk()->answers.enqueue(Desktop::Cancel);
    frame()->Fermer1->trigger();
    QCOMPARE(desk()->messages.size(), 2);
    const auto &question = desk()->messages.last();
    QCOMPARE(question.title, QStringLiteral("CONFIRMATION"));
    QCOMPARE(question.text, TMDIChild::kDiscardQuestion.arg(QStringLiteral("Étiquette N°1")));
    QCOMPARE(question.buttons, Desktop::Buttons(Desktop::Yes | Desktop::No | Desktop::Cancel));
    QCOMPARE(frame()->labelCount(), 1);
    QCOMPARE(label->Memo_S->toPlainText(), QStringLiteral("ACÉTONE"));

    // The window's own close: Non discards it.
    desk()->answers.enqueue(Desktop::No);
    label->parentWidget()->close();
    QCOMPARE(frame()->labelCount(), 0);

    // Quitting with a changed label: Annuler keeps the program running.
    frame()->Nouveau1->trigger();
    frame()->setProductSize(14);
    QVERIFY(frame()->activeLabel()->isModified());
    desk()->answers.enqueue(Desktop::Cancel);
    frame()->Quitter1->trigger();
    QVERIFY(frame()->isVisible());
    QCOMPARE(frame()->labelCount(), 1);
    QVERIFY(!QFileInfo::exists(m_dir->file(QStringLiteral("dat.ini"))));
}

void TestSafety::quittingWithAChangedLabelSavesOnYes()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClicks(label->Memo_C, QStringLiteral("Une heure de travail"));
    desk()->answers.enqueue(Desktop::Yes);
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("travail.kvln")));
    frame()->Quitter1->trigger();
    QVERIFY(!frame()->isVisible());
    const QStringList lines = TextFile::readLines(m_dir->file(QStringLiteral("travail.kvln")));
    QVERIFY(lines.contains(QStringLiteral("Une heure de travail")));
    QVERIFY(QFileInfo::exists(m_dir->file(QStringLiteral("dat.ini"))));
}

void TestSafety::textsOfAFileAreKeptWhole()
{
    // Longer than the typing limits: kept as the file holds them.
    const QString comment = QString(340, u'c') + QStringLiteral(" fin");
    const QString product = QString(200, u'p');
    TMDIChild *label = openFile(QStringLiteral("long.kvln"), labelFile([&](QStringList &l) {
        l.insert(l.indexOf(LabelFile::kWarning), comment);
        l.insert(l.indexOf(LabelFile::kNref), product);
    }));
    QCOMPARE(label->Memo_C->toPlainText(), comment);
    QCOMPARE(label->Memo_S->toPlainText(), product);
    QVERIFY(!label->isModified());

    // Typing cannot make it longer, but can shorten it.
    label->Memo_C->moveCursor(QTextCursor::End);
    QTest::keyClicks(label->Memo_C, QStringLiteral("xyz"));
    QCOMPARE(label->Memo_C->toPlainText(), comment);
    QTest::keyClick(label->Memo_C, Qt::Key_Backspace);
    QCOMPARE(label->Memo_C->toPlainText(), comment.chopped(1));

    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("long2.kvln")));
    frame()->Enregistrersous1->trigger();
    const QStringList lines = TextFile::readLines(m_dir->file(QStringLiteral("long2.kvln")));
    QVERIFY(lines.contains(comment.chopped(1)));
    QVERIFY(lines.contains(product));

    // In a new label, typing stops at the limit.
    frame()->Nouveau1->trigger();
    TMDIChild *fresh = frame()->activeLabel();
    QTest::keyClicks(fresh->Memo_S, QString(140, u'a'));
    QCOMPARE(fresh->Memo_S->toPlainText().size(), LabelDocument::kProductMax);
}

void TestSafety::fractionalSizeOfAFileIsKept()
{
    TMDIChild *a = openFile(QStringLiteral("fraction.kvln"), labelFile([](QStringList &l) {
        l[l.indexOf(LabelFile::kFont) + 3] = QStringLiteral("7,5");
    }));
    QCOMPARE(a->statusPanel(TMDIChild::PanelStatementSize), QStringLiteral("7,5"));
    frame()->Nouveau1->trigger(); // statement size 8
    QCOMPARE(frame()->mirrors.statementSize, 8.0f);
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(a->parentWidget()));
    QCOMPARE(frame()->activeLabel(), a);
    QCOMPARE(frame()->mirrors.statementSize, 7.5f);
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("fraction2.kvln")));
    frame()->Enregistrersous1->trigger();
    const QStringList lines = TextFile::readLines(m_dir->file(QStringLiteral("fraction2.kvln")));
    QCOMPARE(lines.at(lines.indexOf(LabelFile::kFont) + 3), QStringLiteral("7,5"));
}

void TestSafety::hostileLogoLinesAreNotFollowed()
{
    // A readable file outside the label's folder, which the logo line names.
    m_dir->write(QStringLiteral("secret/passwd"), "root:x:0:0\r\n");
    QDir().mkpath(m_dir->file(QStringLiteral("etiquettes")));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ouverte sans logo"));
    TMDIChild *label = openFile(QStringLiteral("etiquettes/piege.kvln"), labelFile([](QStringList &l) {
        l[1] = QStringLiteral("\\fournisseurs\\..\\..\\secret\\passwd");
    }));
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.first().title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(desk()->messages.first().text.contains(QStringLiteral("ouverte sans logo")));
    QCOMPARE(label->LabLOGO->text(), QString());
    QVERIFY(label->logoPicture().isNull());

    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("etiquettes/piege2.kvln")));
    frame()->Enregistrersous1->trigger();
    QCOMPARE(QDir(m_dir->file(QStringLiteral("etiquettes/fournisseurs"))).entryList(QDir::Files), QStringList());
    const QStringList lines = TextFile::readLines(m_dir->file(QStringLiteral("etiquettes/piege2.kvln")));
    QCOMPARE(lines.at(1), QStringLiteral("\\fournisseurs\\"));
}

void TestSafety::aPipeAsLogoNeverBlocks()
{
    QDir().mkpath(m_dir->file(QStringLiteral("fournisseurs")));
    const QString fifo = m_dir->file(QStringLiteral("fournisseurs/tube.jpg"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ne peut pas être affiché"));
    TMDIChild *label = openFile(QStringLiteral("tube.kvln"), labelFile([](QStringList &l) {
        l[1] = QStringLiteral("\\fournisseurs\\tube.jpg");
    }));
    QVERIFY(label->logoPicture().isNull());
    QCOMPARE(frame()->mirrors.logoPath, fifo);
    // Said once at opening, with the reason.
    QCOMPARE(desk()->messages.size(), 1);
    QVERIFY2(desk()->messages.last().text.contains(QStringLiteral("pas un fichier ordinaire")),
             qPrintable(desk()->messages.last().text));
    // Saved elsewhere: the pipe is not copied (reading it would never end).
    QDir().mkpath(m_dir->file(QStringLiteral("ailleurs")));
    desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("ailleurs/tube.kvln")));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("n'a pas été copié"));
    frame()->Enregistrersous1->trigger();
    QVERIFY(QFileInfo::exists(m_dir->file(QStringLiteral("ailleurs/tube.kvln"))));
    QVERIFY(!QFileInfo::exists(m_dir->file(QStringLiteral("ailleurs/fournisseurs/tube.jpg"))));
    QCOMPARE(desk()->messages.size(), 2);
    QVERIFY(desk()->messages.last().text.contains(QStringLiteral("pas un fichier ordinaire")));
}

QTEST_MAIN(TestSafety)
#include "gui_safety.moc"
