// Editing a label as a user does: numbers typed and pasted as they are
// written, the phrase editor keeping a statement's text exactly, the marks of
// the text menus, the check-digit question and other windows, the two tilings,
// and lists with huge statement lines.

#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "editor/phraseeditor.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QToolButton>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTest>

class TestEditing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void numbersTypedAndPastedAsWritten_data();
    void numbersTypedAndPastedAsWritten();
    void writtenFormsOfEachField();
    void phraseEditorKeepsTheTextExactly();
    void textMenusMarkTheActiveLabel();
    void checkDigitQuestionLetsOtherWindowsBe();
    void tilingsDiffer();
    void hugeStatementLinesStayQuickToShow();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    TMDIChild *newLabel()
    {
        frame()->Nouveau1->trigger();
        return frame()->activeLabel();
    }
};

void TestEditing::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
    frame()->show();
    QApplication::setActiveWindow(frame());
}

void TestEditing::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestEditing::numbersTypedAndPastedAsWritten_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sulfuric acid") << QStringLiteral("7664-93-9") << QString() << QStringLiteral("  7664-93-9");
    QTest::newRow("ethanol") << QStringLiteral("64-17-5") << QString() << QStringLiteral("    64-17-5");
    QTest::newRow("full groups") << QStringLiteral("112945-52-5") << QString() << QStringLiteral("112945-52-5");
    QTest::newRow("pasted with dashes") << QString() << QStringLiteral("7664-93-9") << QStringLiteral("  7664-93-9");
    QTest::newRow("pasted digits only") << QString() << QStringLiteral("7664939") << QStringLiteral("  7664-93-9");
    QTest::newRow("pasted with blanks") << QString() << QStringLiteral(" 7664 93 9 ") << QStringLiteral("  7664-93-9");
    QTest::newRow("pasted from a sentence") << QString() << QStringLiteral("CAS n° 64-17-5.")
                                            << QStringLiteral("    64-17-5");
}

void TestEditing::numbersTypedAndPastedAsWritten()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    TMDIChild *label = newLabel();
    MaskEdit *cas = label->maskCAS;
    cas->setFocus();
    cas->setCursorPosition(0);
    if (!typed.isEmpty()) {
        QTest::keyClicks(cas, typed);
    } else {
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(cas, QKeySequence::Paste);
    }
    QCOMPARE(cas->value(), expected);
    // A number typed as written passes its check without a question.
    label->Memo_C->setFocus();
    QCOMPARE(desk()->messages.size(), 0);
    QCOMPARE(cas->value(), expected);
}

void TestEditing::writtenFormsOfEachField()
{
    const QString ce = QStringLiteral("   -   - ");
    const QString index = QStringLiteral("   -   -  - ");
    QCOMPARE(MaskEdit::fromWritten(ce, QStringLiteral("200-578-6"), true), QStringLiteral("200-578-6"));
    QCOMPARE(MaskEdit::fromWritten(ce, QStringLiteral("2005786"), true), QStringLiteral("200-578-6"));
    QCOMPARE(MaskEdit::fromWritten(index, QStringLiteral("603-001-00-X"), true), QStringLiteral("603-001-00-X"));
    QCOMPARE(MaskEdit::fromWritten(index, QStringLiteral("603 001 00 x"), true), QStringLiteral("603-001-00- "));
    QCOMPARE(MaskEdit::fromWritten(QStringLiteral("      -  - "), QStringLiteral("64-17"), false),
             QStringLiteral("    64-17- "));
    QCOMPARE(MaskEdit::fromWritten(index, QStringLiteral("rien"), true), QString());

    // A dash typed at the start of a group is the dash already there.
    TMDIChild *label = newLabel();
    label->maskINDEX->setFocus();
    label->maskINDEX->setCursorPosition(0);
    QTest::keyClicks(label->maskINDEX, QStringLiteral("603-002-00-5"));
    QCOMPARE(label->maskINDEX->value(), QStringLiteral("603-002-00-5"));
}

void TestEditing::phraseEditorKeepsTheTextExactly()
{
    TMDIChild *label = newLabel();
    TFormEdit *editor = m_program->app->formEdit();
    QListWidget *list = label->CheckListBox2;
    // A code with a no-break space, ticked.
    const QString statement = QStringLiteral("H225\u00A0: Liquide et vapeurs très inflammables.");
    list->item(0)->setText(statement);
    list->item(0)->setCheckState(Qt::Checked);
    label->PageControl1->setCurrentIndex(1);
    list->setFocus();
    list->setCurrentRow(0);
    frame()->focusedList = 2;
    frame()->Modif1Execute();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->text(), statement);
    frame()->majourExecute();
    QCOMPARE(list->item(0)->text(), statement); // unchanged, no-break space kept

    // A pasted line break becomes a blank: the statement stays one line.
    list->setCurrentRow(1);
    frame()->Modif1Execute();
    editor->Memo1->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("H226: Liquide\nnouvelle ligne\r\nencore"));
    QTest::keySequence(editor->Memo1, QKeySequence::Paste);
    QCOMPARE(editor->text(), QStringLiteral("H226: Liquide nouvelle ligne encore"));
    QCOMPARE(editor->Memo1->document()->blockCount(), 1);
    frame()->majourExecute();
    QCOMPARE(list->item(1)->text(), QStringLiteral("H226: Liquide nouvelle ligne encore"));
}

void TestEditing::textMenusMarkTheActiveLabel()
{
    TMDIChild *first = newLabel();
    frame()->setProductSize(14);
    frame()->setStatementSize(6);
    frame()->MenuFonteClick(1); // "Courier New"
    TMDIChild *second = newLabel(); // 20, 8, Arial
    const auto checked = [](const QList<QAction *> &actions) {
        QStringList texts;
        for (QAction *a : actions)
            if (a->isChecked())
                texts << a->text();
        return texts;
    };
    QCOMPARE(checked(frame()->productSizeActions), QStringList{"20 pts"});
    QCOMPARE(checked(frame()->statementSizeActions), QStringList{"8 pts"});
    QCOMPARE(checked(frame()->Police1->actions()), QStringList{"Arial"});
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
    QCOMPARE(checked(frame()->productSizeActions), QStringList{"14 pts"});
    QCOMPARE(checked(frame()->statementSizeActions), QStringList{"6 pts"});
    QCOMPARE(checked(frame()->Police1->actions()), QStringList{"Courier New"});
    // The same actions are behind the tool buttons' menus.
    QVERIFY(frame()->TBTaille->menu() == frame()->Taille1);
    Q_UNUSED(second);
}

void TestEditing::checkDigitQuestionLetsOtherWindowsBe()
{
    TMDIChild *first = newLabel();
    TMDIChild *second = newLabel();
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
    first->maskINDEX->setValue(QStringLiteral("603-002-00-4"));
    first->maskINDEX->setFocus();
    QTRY_VERIFY(first->maskINDEX->hasFocus());
    // The user clicks into the other label window and answers "Non".
    desk()->answers.enqueue(Desktop::No);
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(second->parentWidget()));
    second->Memo_C->setFocus();
    QTRY_COMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QTest::qWait(50);
    QCOMPARE(frame()->activeLabel(), second);
    QVERIFY(!first->maskINDEX->hasFocus());
}

void TestEditing::tilingsDiffer()
{
    frame()->resize(900, 700);
    newLabel();
    newLabel();
    const auto subs = frame()->mdiArea->subWindowList(QMdiArea::CreationOrder);
    frame()->WindowTileHorizontal1->trigger();
    // One above the other, each as wide as the area.
    QCOMPARE(subs.at(0)->width(), frame()->mdiArea->viewport()->width());
    QCOMPARE(subs.at(1)->x(), subs.at(0)->x());
    QVERIFY(subs.at(1)->y() >= subs.at(0)->y() + subs.at(0)->height());
    frame()->WindowTileVertical1->trigger();
    // Side by side, each as high as the area.
    QCOMPARE(subs.at(0)->height(), frame()->mdiArea->viewport()->height());
    QCOMPARE(subs.at(1)->y(), subs.at(0)->y());
    QVERIFY(subs.at(1)->x() >= subs.at(0)->x() + subs.at(0)->width());
}

void TestEditing::hugeStatementLinesStayQuickToShow()
{
    // A hand-edited catalogue with a line of a million characters: the list
    // draws a shortened line; the whole text stays the entry's.
    TMDIChild *label = newLabel();
    QListWidget *list = label->CheckListBox2;
    const QString huge = QStringLiteral("H999: ") + QString(1000000, u'x');
    list->item(0)->setText(huge);
    QStyleOptionViewItem option;
    option.initFrom(list);
    const QSize hint = list->itemDelegate()->sizeHint(option, list->model()->index(0, 0));
    QVERIFY2(hint.width() < QFontMetrics(list->font()).horizontalAdvance(QString(1000, u'x')),
             qPrintable(QString::number(hint.width())));
    QCOMPARE(list->item(0)->text(), huge);
    QCOMPARE(label->document().hazards.first().text, huge);
}

QTEST_MAIN(TestEditing)
#include "gui_editing.moc"
