// "Appliquer la classification harmonisée" in the frame's Edition menu:
// enabled while the active label's numbers name an entry of the shipped
// table, as they are typed and as windows change; it asks before replacing
// what the label holds, sets pictograms, signal word and H statements, and
// says in one message what it could not place.

#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

// The codes of the ticked lines of a statement list.
QStringList ticked(const CheckListBox *list)
{
    QStringList codes;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            codes << list->item(i)->text().section(u':', 0, 0).trimmed();
    return codes;
}

int row(const CheckListBox *list, const QString &code)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().startsWith(code + u':'))
            return i;
    return -1;
}

} // namespace

class TestHarmonised : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    QAction *action() const { return frame()->findChild<QAction *>(QStringLiteral("Classification1")); }

private Q_SLOTS:
    void init()
    {
        QStringList files = kCatalogueFiles;
        files << QStringLiteral("clp/annexe6.txt");
        m_dir = std::make_unique<TempStartDir>(files);
        // A release over a pictogram reads its suggestion file.
        for (int n = 1; n <= 9; ++n)
            m_dir->copyData(QStringLiteral("HP%1").arg(n));
        m_program = std::make_unique<TestProgram>();
        frame()->show();
        QApplication::setActiveWindow(frame());
    }
    void cleanup()
    {
        QVERIFY2(desk()->unexpected.isEmpty(), qPrintable(desk()->unexpected.join(u'\n')));
        QVERIFY2(desk()->pendingMessages().isEmpty(), qPrintable(desk()->pendingMessages().join(u'\n')));
        m_program.reset();
        m_dir.reset();
    }

    void enabledWhileTheNumbersNameAnEntry();
    void fillsTheLabelAfterAskingAndSaysWhatItCouldNotPlace();
};

void TestHarmonised::enabledWhileTheNumbersNameAnEntry()
{
    QAction *a = action();
    QVERIFY(a);
    QCOMPARE(a->text(), QStringLiteral("Appliquer la classification harmonisée"));
    QMenu *edition = frame()->menuBar()->findChild<QMenu *>(QStringLiteral("Edition1"));
    QVERIFY(edition && edition->actions().contains(a));
    QVERIFY(!a->isEnabled()); // no label

    frame()->Nouveau1->trigger();
    TMDIChild *first = frame()->activeLabel();
    QVERIFY(!a->isEnabled());
    // Water has no harmonised entry.
    first->maskCAS->setFocus();
    QTest::keyClicks(first->maskCAS, QStringLiteral("7732-18-5"));
    QCOMPARE(first->maskCAS->value(), QStringLiteral("  7732-18-5"));
    QVERIFY(!a->isEnabled());
    // Hydrogen chloride has one, enabled as the last digit is typed.
    first->maskCAS->setValue(LabelDocument::kEmptyCAS);
    first->maskCAS->setCursorPosition(0);
    QTest::keyClicks(first->maskCAS, QStringLiteral("7647-01-"));
    QVERIFY(!a->isEnabled());
    QTest::keyClicks(first->maskCAS, QStringLiteral("0"));
    QVERIFY(a->isEnabled());

    // Another label without numbers, then back to the first.
    frame()->Nouveau1->trigger();
    QVERIFY(frame()->activeLabel() != first);
    QVERIFY(!a->isEnabled());
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
    QVERIFY(a->isEnabled());
    // The INDEX number alone is enough; closing the last label disables.
    frame()->activeLabel()->maskCAS->setValue(LabelDocument::kEmptyCAS);
    QVERIFY(!a->isEnabled());
    frame()->activeLabel()->maskINDEX->setValue(QStringLiteral("017-002-00-2"));
    QVERIFY(a->isEnabled());
    for (TMDIChild *label : frame()->labelWindows())
        label->setModified(false);
    frame()->mdiArea->closeAllSubWindows();
    QTRY_VERIFY(!frame()->activeLabel());
    QTRY_VERIFY(!a->isEnabled());
    QVERIFY(desk()->messages.isEmpty());
}

void TestHarmonised::fillsTheLabelAfterAskingAndSaysWhatItCouldNotPlace()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    // The label already holds a pictogram and a statement of its own.
    QTest::mouseClick(label->pictogramImages[1], Qt::LeftButton); // SGH02
    label->CheckListBox2->item(row(label->CheckListBox2, "H225"))->setCheckState(Qt::Checked);
    label->ComboBox1->setCurrentText(QStringLiteral("ATTENTION"));
    label->maskCAS->setFocus();
    QTest::keyClicks(label->maskCAS, QStringLiteral("7647-01-0"));
    label->setModified(false);
    QVERIFY(action()->isEnabled());

    // No: nothing changes.
    desk()->answers.enqueue(Desktop::No);
    action()->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QVERIFY2(desk()->messages.last().text.contains(
                 "pictogramme SGH02 ;\nmention cochée H225 ;\nmention d'avertissement « ATTENTION »"),
             qPrintable(desk()->messages.last().text));
    QCOMPARE(label->document().pictograms, QStringList{"SGH02"});
    QCOMPARE(ticked(label->CheckListBox2), QStringList{"H225"});
    QVERIFY(!label->isModified());

    // Yes: the entry's labelling replaces the label's, then one message.
    desk()->answers.enqueue(Desktop::Yes);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("INDEX 017-002-00-2 (hydrogen chloride)"));
    action()->trigger();
    QCOMPARE(desk()->messages.size(), 3);
    QCOMPARE(label->document().pictograms, (QStringList{"SGH04", "SGH06", "SGH05"}));
    QVERIFY(!label->Pan0->isVisibleTo(label));
    QCOMPARE(label->ComboBox1->currentText(), QStringLiteral("DANGER"));
    QCOMPARE(ticked(label->CheckListBox2), (QStringList{"H314", "H331"}));
    QVERIFY(ticked(label->CheckListBox4).isEmpty());
    QVERIFY(label->LabHPEUH->text().contains(QStringLiteral("H331")));
    QVERIFY(label->isModified());
    const QString report = desk()->messages.last().text;
    QVERIFY2(report.contains("Classe « Press. Gas » sans mention de danger"), qPrintable(report));
    QVERIFY(report.contains("Classification minimale (« * ») : Acute Tox. 3 *"));
    QVERIFY(report.contains("Notes de l'entrée : 5, U"));
    QCOMPARE(desk()->messages.last().icon, Desktop::Icon::Warning);

    // Applied again: nothing to replace, no question, the same message.
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Notes de l'entrée : 5, U"));
    action()->trigger();
    QCOMPARE(desk()->messages.size(), 4);
    QCOMPARE(label->document().pictograms, (QStringList{"SGH04", "SGH06", "SGH05"}));
}

QTEST_MAIN(TestHarmonised)
#include "gui_harmonised.moc"
