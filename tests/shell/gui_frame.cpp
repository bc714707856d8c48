#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "editor/phraseeditor.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/apropos.h"
#include "shell/base.h"
#include "shell/textfile.h"
#include "tools/printer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void commandsFollowTheLabelCount();
    void shortcutsOfDisabledMenusDoNothing();
    void fiftiethWindowWarnsAndIsCreated();
    void closeAllAsksFirst();
    void sizeCommandWithHiddenPreview();
    void fontCommandSetsPanelAndMirror();
    void helpPageMissingOrPresent();
    void webPagesOpenWithoutMessages();
    void aboutBox();
    void phraseEditorEditsTheFocusedList();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
};

void TestFrame::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
    frame()->show();
    QApplication::setActiveWindow(frame());
}

void TestFrame::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestFrame::commandsFollowTheLabelCount()
{
    TForm_base *f = frame();
    for (QAction *a : {f->Nouveau1, f->Ouvrir1, f->Printer1, f->Planche, f->Chercher1, f->Quitter1})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    for (QAction *a : {f->Enregistrer1, f->Export1, f->Apercu1, f->Fermer1, f->Modif1, f->WindowCascade1})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QMenu *m : {f->Police1, f->Taille1, f->Alignementdescommentaires1})
        QVERIFY(!m->menuAction()->isEnabled());
    QVERIFY(!f->TBPolice->isEnabled());
    QVERIFY(!f->TBTaille->isEnabled());

    f->Nouveau1->trigger();
    for (QAction *a : {f->Enregistrer1, f->Export1, f->Apercu1, f->Fermer1, f->WindowCascade1})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(f->TBPolice->isEnabled());
    QVERIFY(f->gauche1->isEnabled());

    // The shortcuts of the table.
    QCOMPARE(f->Nouveau1->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(f->Apercu1->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
    QCOMPARE(f->Fermer1->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    QCOMPARE(f->productSizeActions.last()->shortcut(), QKeySequence(QStringLiteral("Shift+F1")));
    QCOMPARE(f->productSizeActions.first()->shortcut(), QKeySequence(QStringLiteral("Shift+F5")));
    QCOMPARE(f->statementSizeActions.first()->shortcut(), QKeySequence(QStringLiteral("F5")));
    QCOMPARE(f->statementSizeActions.last()->text(), QStringLiteral("12 pts"));
}

void TestFrame::shortcutsOfDisabledMenusDoNothing()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    QTest::keyClick(frame(), Qt::Key_F7);
    QCOMPARE(label->statusPanel(TMDIChild::PanelStatementSize), QStringLiteral("7"));
    // The size change is a change of the label: closing it asks first.
    desk()->answers.enqueue(Desktop::No);
    label->parentWidget()->close();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QCOMPARE(frame()->labelCount(), 0);
    const float before = frame()->mirrors.statementSize;
    QTest::keyClick(frame(), Qt::Key_F9);
    QTest::keyClick(frame(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(frame()->mirrors.statementSize, before);
    QCOMPARE(frame()->mirrors.productSize, 20.0f);
}

void TestFrame::fiftiethWindowWarnsAndIsCreated()
{
    for (int i = 0; i < 49; ++i)
        frame()->createLabelWindow(QStringLiteral("L%1").arg(i));
    QVERIFY(desk()->messages.isEmpty());
    desk()->expectMessages(2); // the 50th and the 51st window
    frame()->Nouveau1->trigger();
    QCOMPARE(frame()->labelCount(), 50);
    QCOMPARE(frame()->activeLabel()->windowTitle(), QStringLiteral("Étiquette N°50"));
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("AVERTISSEMENT: Le nombre de fiches est trop élevé, vous devriez fermer les "
                                        "documents inutilisés !!!")});
    frame()->Nouveau1->trigger();
    QCOMPARE(desk()->messages.size(), 2);
}

void TestFrame::closeAllAsksFirst()
{
    frame()->Nouveau1->trigger();
    frame()->Nouveau1->trigger();
    desk()->answers.enqueue(Desktop::No);
    frame()->Fermer1->trigger();
    QCOMPARE(frame()->labelCount(), 2);
    QCOMPARE(desk()->messageLines().last(),
             QStringLiteral("AVERTISSEMENT: Voulez-vous vraiment fermer toutes les fiches ?"));
    QCOMPARE(desk()->messages.last().icon, Desktop::Icon::Question);
    desk()->answers.enqueue(Desktop::Yes);
    frame()->Fermer1->trigger();
    QCOMPARE(frame()->labelCount(), 0);
    QVERIFY(frame()->labelWindows().isEmpty());
    QCOMPARE(frame()->STnb_f->text(), QStringLiteral("0"));
}

void TestFrame::sizeCommandWithHiddenPreview()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    frame()->productSizeActions.at(2)->trigger(); // 14 pts
    QCOMPARE(label->statusPanel(TMDIChild::PanelProductSize), QStringLiteral("14"));
    QCOMPARE(frame()->mirrors.productSize, 14.0f);
    QVERIFY(!m_program->app->apercu()->isVisible());
    QCOMPARE(m_program->app->apercu()->refreshCount(), 0);
}

void TestFrame::fontCommandSetsPanelAndMirror()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    frame()->Police1->actions().at(3)->trigger(); // "Times New Roman"
    QCOMPARE(frame()->mirrors.fontFace, QStringLiteral("Times New Roman"));
    QCOMPARE(label->statusPanel(TMDIChild::PanelFont), QStringLiteral("Times New Roman"));
    QCOMPARE(label->StatusBar1->panelWidth(TMDIChild::PanelFont),
             frame()->fontPanelWidth(QStringLiteral("Times New Roman")));
}

void TestFrame::helpPageMissingOrPresent()
{
    desk()->urlHandler = [](const QUrl &url) { return QFileInfo::exists(url.toLocalFile()); };
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("L'aide est introuvable"));
    frame()->Aide1->trigger();
    QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: L'aide est introuvable !")});
    QCOMPARE(desk()->messages.first().icon, Desktop::Icon::Warning);
    QVERIFY(!QApplication::overrideCursor());

    m_dir->copyData(QStringLiteral("aide/et_help1.html"));
    frame()->Aide1->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->openedUrls.last(), QUrl::fromLocalFile(m_dir->path() + QStringLiteral("/aide/et_help1.html")));
    QVERIFY(desk()->helpWindows.isEmpty());

    // A desktop without a web browser: the page shows in the program's own
    // help window, without a message.
    desk()->urlHandler = [](const QUrl &) { return false; };
    frame()->Aide1->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->helpWindows, QStringList{m_dir->path() + QStringLiteral("/aide/et_help1.html")});
}

void TestFrame::webPagesOpenWithoutMessages()
{
    frame()->inrs->trigger();
    frame()->RechercheNCE1->trigger();
    QCOMPARE(desk()->openedUrls,
             (QList<QUrl>{QUrl(TForm_base::kInrsUrl), QUrl(TForm_base::kInchemUrl)}));
    QCOMPARE(desk()->openedUrls.first().scheme(), QStringLiteral("https"));
    QVERIFY(desk()->messages.isEmpty());

    // Without a web browser the user is told, with the address to copy.
    desk()->urlHandler = [](const QUrl &) { return false; };
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("la page de l'INRS"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("la page d'INCHEM"));
    frame()->inrs->trigger();
    frame()->RechercheNCE1->trigger();
    QCOMPARE(desk()->openedUrls.size(), 4);
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(desk()->messages.at(0).title, QStringLiteral("AVERTISSEMENT"));
    QCOMPARE(desk()->messages.at(0).icon, Desktop::Icon::Warning);
    QVERIFY(desk()->messages.at(0).text.contains(QStringLiteral("la page de l'INRS")));
    QVERIFY(desk()->messages.at(0).text.endsWith(u'\n' + TForm_base::kInrsUrl));
    QVERIFY(desk()->messages.at(1).text.contains(QStringLiteral("la page d'INCHEM")));
    QVERIFY(desk()->messages.at(1).text.endsWith(u'\n' + TForm_base::kInchemUrl));
    QVERIFY(!QApplication::overrideCursor());
}

void TestFrame::aboutBox()
{
    TApropos *about = m_program->app->apropos();
    QTimer::singleShot(0, about, [about] {
        QVERIFY(about->isVisible());
        about->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    });
    frame()->HelpAbout1->trigger();
    QVERIFY(!about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("À propos de ..."));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Comments"))->text(),
             QStringLiteral("La base de données est une adaptation de la base de données de l'IPCS / Commission Européenne."));
    QVERIFY(about->findChild<QLabel *>(QStringLiteral("Version"))->text().contains(QStringLiteral("4.4")));
}

void TestFrame::phraseEditorEditsTheFocusedList()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    TFormEdit *editor = m_program->app->formEdit();
    label->PageControl1->setCurrentIndex(1);
    label->CheckListBox2->setFocus();
    QTRY_COMPARE(frame()->focusedList, 2);
    // No current entry: the editor opens with its previous text and writes nothing.
    label->CheckListBox2->setCurrentRow(-1);
    editor->Memo1->setPlainText(QStringLiteral("ancien texte"));
    frame()->Modif1->trigger();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("ancien texte"));

    label->CheckListBox2->setCurrentRow(3);
    const QString original = label->CheckListBox2->item(3)->text();
    frame()->Modif1->trigger();
    QCOMPARE(editor->Memo1->toPlainText(), original);
    QTest::keyClick(editor->Memo1, Qt::Key_Return); // one line only
    QCOMPARE(editor->Memo1->toPlainText(), original);
    editor->Memo1->setPlainText(QStringLiteral("H999 modifiée: texte"));
    editor->But_valider->click();
    QVERIFY(!editor->isVisible());
    QCOMPARE(label->CheckListBox2->item(3)->text(), QStringLiteral("H999 modifiée: texte"));
    QCOMPARE(label->CheckListBox2->currentRow(), 3);
    QCOMPARE(TextFile::readLines(m_dir->file("H.txt")).at(3), original); // the catalogue is untouched

    // Cancelling leaves the entry as it is.
    frame()->Modif1->trigger();
    editor->Memo1->setPlainText(QStringLiteral("autre"));
    editor->But_annuler->click();
    QCOMPARE(label->CheckListBox2->item(3)->text(), QStringLiteral("H999 modifiée: texte"));
}

QTEST_MAIN(TestFrame)
#include "gui_frame.moc"
