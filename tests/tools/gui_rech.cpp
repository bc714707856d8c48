// The substance database window driven as a user would: searching, picking a
// record, copying it into a label, adding, modifying and deleting records, and
// choosing another database.

#include "testhelpers.h"
#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/rech.h"
#include "tools/rightfilledmaskedit.h"
#include "tools/substancegridmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray kSmallDb = "NOM|CE|CAS|INDEX\r\n"
                            "ACETONE|200-662-2|67-64-1|606-001-00-8|\r\n"
                            "ETHANOL|200-578-6|64-17-5|603-002-00-5|\r\n"
                            "ETHYL ACETATE|205-500-4|141-78-6|607-022-00-5|\r\n"
                            "FORMALDEHYDE|200-001-8|50-00-0|605-001-00-5|\r\n";

// Types `text` key by key, letters outside ASCII included.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestRech : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readOnFirstShowingAndKeptWhenHidden();
    void oneRecordCaptionsAndGridCounts();
    void searchOnEveryChange();
    void pickingARowFillsThePanel();
    void copyWritesTheActiveLabelAsTyping();
    void enablingFollowsTheName();
    void addAWrongCheckDigitRecordThenDeleteIt();
    void savingAnExistingNameModifiesIt();
    void typingFoldsOnlyWhatIsTyped();
    void refusedFieldsAndFailedWritesChangeNothing();
    void allZeroNumberClearedWithoutQuestion();
    void headerSortsWithOneSharedDirection();
    void choosingADatabase();
    void clearButtonListsEverything();

private:
    void start(const QByteArray &db = kSmallDb);
    QStringList shownNames() const;
    void clickRow(int modelRow);
    void doubleClickRow(int modelRow);
    QByteArray dbBytes(const char *file = "databases/db_francais.csv") const { return m_dir->read(QString::fromLatin1(file)); }

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    Trech *m_rech = nullptr;
};

void TestRech::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
}

void TestRech::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestRech::start(const QByteArray &db)
{
    if (!db.isNull())
        m_dir->write(QStringLiteral("databases/db_francais.csv"), db);
    m_program = std::make_unique<TestProgram>();
    m_rech = m_program->app->rech();
    QVERIFY(m_rech);
}

QStringList TestRech::shownNames() const
{
    QStringList names;
    for (int r = 0; r < m_rech->gridModel()->shownCount(); ++r)
        names << m_rech->gridModel()->cells(r).nom;
    return names;
}

void TestRech::clickRow(int modelRow)
{
    QTableView *grid = m_rech->StringGrid1;
    const QModelIndex index = grid->model()->index(modelRow, 0);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void TestRech::doubleClickRow(int modelRow)
{
    // The widget double click event alone does not press: a user's double
    // click starts with a click.
    clickRow(modelRow);
    QTableView *grid = m_rech->StringGrid1;
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(modelRow, 0)).center());
}

void TestRech::readOnFirstShowingAndKeptWhenHidden()
{
    m_dir->copyData(QStringLiteral("databases/db_francais.csv"));
    start(QByteArray());
    // Nothing is read, and nothing asked, while the program starts.
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale"));
    QVERIFY(!m_rech->isVisible());
    QCOMPARE(m_rech->database().count(), 0);
    QVERIFY(m_program->desktop->messages.isEmpty());
    QCOMPARE(m_rech->ComboBox1->currentText(), QStringLiteral("db_francais.csv"));
    QCOMPARE(m_rech->ComboBox1->toolTip(), QStringLiteral("db_francais.csv"));

    // The label window's "Choisir un produit" shows it with the shipped database.
    m_program->app->frame()->Nouveau1->trigger();
    auto *choose = m_program->app->frame()->activeLabel()->findChild<QAbstractButton *>(QStringLiteral("Image6"));
    QVERIFY(choose);
    choose->click();
    QVERIFY(m_rech->isVisible());
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 549 items"));
    QCOMPARE(m_rech->gridRowCount(), 549 + 11);
    QCOMPARE(m_rech->StringGrid1->property("tag").toInt(), 550);
    QCOMPARE(m_rech->gridModel()->cells(0).nom, QStringLiteral("1,1,1-TRICHLOROETHANE"));
    QVERIFY(m_program->desktop->messages.isEmpty());

    QTest::keyClicks(m_rech->LabSUBST, QStringLiteral("ACETO"));
    clickRow(0);
    const QString picked = m_rech->LabNOM->text();
    QVERIFY(picked.startsWith(QStringLiteral("ACETO")));
    const QString title = m_rech->windowTitle();
    m_rech->Button5->click();
    QVERIFY(!m_rech->isVisible());
    m_rech->showWindow();
    QCOMPARE(m_rech->LabSUBST->text(), QStringLiteral("ACETO"));
    QCOMPARE(m_rech->LabNOM->text(), picked);
    QCOMPARE(m_rech->windowTitle(), title);
    // Closing the window only hides it too.
    m_rech->close();
    QVERIFY(!m_rech->isVisible());
    m_rech->showWindow();
    QCOMPARE(m_rech->LabNOM->text(), picked);
}

void TestRech::oneRecordCaptionsAndGridCounts()
{
    start("NOM|CE|CAS|INDEX\r\nACETONE|200-662-2|67-64-1|606-001-00-8|\r\n");
    m_rech->showWindow();
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 1 items"));
    QCOMPARE(m_rech->StringGrid1->property("tag").toInt(), 2);
    QCOMPARE(m_rech->gridRowCount(), 12);
    QCOMPARE(m_rech->StringGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NOM"));
    QTest::keyClicks(m_rech->LabSUBST, QStringLiteral("ACE"));
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 1 item"));
    QTest::keyClicks(m_rech->LabSUBST, QStringLiteral("X"));
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 0 item"));
    QCOMPARE(m_rech->StringGrid1->property("tag").toInt(), 1);
    QCOMPARE(m_rech->gridRowCount(), 11);
}

void TestRech::searchOnEveryChange()
{
    start();
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);
    QVERIFY(m_rech->Radnom->isChecked());
    QVERIFY(m_rech->RBd->isChecked());
    QTest::keyClicks(m_rech->LabSUBST, QStringLiteral("ace"));
    QCOMPARE(m_rech->LabSUBST->text(), QStringLiteral("ACE")); // typed as capitals
    QCOMPARE(shownNames(), QStringList{"ACETONE"});
    QCOMPARE(m_rech->StringGrid1->currentIndex().row(), 0);

    QTest::mouseClick(m_rech->RBc, Qt::LeftButton);
    QCOMPARE(shownNames(), (QStringList{"ACETONE", "ETHYL ACETATE"}));
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 2 items"));
    // The focus is back in the search box, after its text, nothing selected.
    QTRY_VERIFY(m_rech->LabSUBST->hasFocus());
    QCOMPARE(m_rech->LabSUBST->cursorPosition(), 3);
    QVERIFY(!m_rech->LabSUBST->hasSelectedText());

    // The column choice searches too.
    m_rech->LabSUBST->setText(QStringLiteral("-00"));
    QVERIFY(shownNames().isEmpty());
    QTest::mouseClick(m_rech->Radcas, Qt::LeftButton);
    QCOMPARE(shownNames(), QStringList{"FORMALDEHYDE"});
    QTest::mouseClick(m_rech->Radindex, Qt::LeftButton);
    QCOMPARE(shownNames(), (QStringList{"ACETONE", "ETHANOL", "ETHYL ACETATE", "FORMALDEHYDE"}));
    QTest::mouseClick(m_rech->RBd, Qt::LeftButton);
    QVERIFY(shownNames().isEmpty());
    QTest::mouseClick(m_rech->RBc, Qt::LeftButton);

    // Accented letters are folded as they are typed.
    QTest::mouseClick(m_rech->Radnom, Qt::LeftButton);
    m_rech->LabSUBST->clear();
    typeText(m_rech->LabSUBST, QString::fromUtf8("é"));
    QCOMPARE(m_rech->LabSUBST->text(), QStringLiteral("E"));
    QCOMPARE(shownNames(), (QStringList{"ACETONE", "ETHANOL", "ETHYL ACETATE", "FORMALDEHYDE"}));
    QTest::keyClicks(m_rech->LabSUBST, QString::fromUtf8("thanol"));
    QCOMPARE(shownNames(), QStringList{"ETHANOL"});
    // The search empties the record panel.
    clickRow(0);
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ETHANOL"));
    QTest::keyClick(m_rech->LabSUBST, Qt::Key_Backspace);
    QVERIFY(m_rech->LabNOM->text().isEmpty());
}

void TestRech::pickingARowFillsThePanel()
{
    start();
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);
    // The search moves to the first row without picking it.
    QVERIFY(m_rech->LabNOM->text().isEmpty());
    clickRow(3);
    QCOMPARE(m_rech->Tag, 4);
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("FORMALDEHYDE"));
    QCOMPARE(m_rech->LabCE->value(), QStringLiteral("200-001-8"));
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("    50-00-0"));
    QCOMPARE(m_rech->LabINDEX->value(), QStringLiteral("605-001-00-5"));
    // Keyboard moves pick as well; a spare row empties the panel.
    QTest::keyClick(m_rech->StringGrid1, Qt::Key_Up);
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ETHYL ACETATE"));
    QCOMPARE(m_rech->Tag, 3);
    clickRow(6);
    QVERIFY(m_rech->LabNOM->text().isEmpty());
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("      -  - "));
    // A click on the row that is already current picks it again.
    clickRow(0);
    m_rech->LabNOM->clear();
    clickRow(0);
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ACETONE"));
    // The name's tooltip is its text while the mouse is over it.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(m_rech->LabNOM, &enter);
    QCOMPARE(m_rech->LabNOM->toolTip(), QStringLiteral("ACETONE"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_rech->LabNOM, &leave);
    QVERIFY(m_rech->LabNOM->toolTip().isEmpty());
}

void TestRech::copyWritesTheActiveLabelAsTyping()
{
    start();
    m_program->desktop->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom « AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA… » compte"));
    TForm_base *frame = m_program->app->frame();
    m_rech->showWindow();
    clickRow(0);
    // No label window: nothing to copy into.
    QVERIFY(!m_rech->Button1->isEnabled());
    m_rech->Button1Click();
    m_rech->StringGrid1DblClick();

    frame->Nouveau1->trigger();
    TMDIChild *label = frame->activeLabel();
    frame->Apercu1->trigger();
    TFormApercu *preview = m_program->app->apercu();
    QVERIFY(preview->isVisible());
    const int before = preview->refreshCount();
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);
    QTRY_VERIFY(m_rech->Button1->isEnabled()); // recomputed when the window is activated
    QTest::mouseClick(m_rech->Button1, Qt::LeftButton);
    QCOMPARE(label->Memo_S->toPlainText(), QStringLiteral("ACETONE"));
    QCOMPARE(label->maskCE->value(), QStringLiteral("200-662-2"));
    QCOMPARE(label->maskCAS->value(), QStringLiteral("    67-64-1"));
    QCOMPARE(label->maskINDEX->value(), QStringLiteral("606-001-00-8"));
    QVERIFY(preview->refreshCount() > before); // the preview followed
    QCOMPARE(label->document().cas, QStringLiteral("    67-64-1"));

    // A double click copies its row, replacing the whole name; an empty
    // number is copied as an empty field.
    label->Memo_S->setPlainText(QStringLiteral("ancien nom\nsur deux lignes"));
    m_dir->write(QStringLiteral("databases/db_francais.csv"), "NOM|CE|CAS|INDEX\r\nAGAR|-|-|-|\r\n");
    m_rech->ComboBox1Confirm(QStringLiteral("db_francais.csv")); // already open: nothing happens
    QCOMPARE(m_rech->database().count(), 4);
    m_rech->loadDatabase();
    doubleClickRow(0);
    QCOMPARE(label->Memo_S->toPlainText(), QStringLiteral("AGAR"));
    QCOMPARE(label->maskCE->value(), QStringLiteral("   -   - "));
    QCOMPARE(label->maskCAS->value(), QStringLiteral("      -  - "));

    // A double click on a spare row leaves the label alone.
    doubleClickRow(3);
    QCOMPARE(label->Memo_S->toPlainText(), QStringLiteral("AGAR"));

    // A name longer than the label's typing limit goes whole, and the label
    // counts as changed (closing it would ask).
    label->setModified(false);
    const QString longName = QString(150, u'A') + QStringLiteral(" FIN");
    m_rech->LabNOM->setText(longName);
    m_rech->Button1Click();
    QCOMPARE(label->Memo_S->toPlainText(), longName);
    QVERIFY(label->isModified());
    QVERIFY(m_program->desktop->messages.isEmpty());
}

void TestRech::enablingFollowsTheName()
{
    start();
    m_rech->showWindow();
    for (QPushButton *b : {m_rech->Button1, m_rech->Button2, m_rech->Button3, m_rech->Button4})
        QVERIFY(!b->isEnabled());
    QVERIFY(m_rech->Button5->isEnabled());
    QTest::keyClicks(m_rech->LabNOM, QStringLiteral("x"));
    QVERIFY(m_rech->Button2->isEnabled() && m_rech->Button3->isEnabled() && m_rech->Button4->isEnabled());
    QVERIFY(!m_rech->Button1->isEnabled()); // no label window
    m_program->app->frame()->Nouveau1->trigger();
    QTest::keyClicks(m_rech->LabNOM, QStringLiteral("y"));
    QVERIFY(m_rech->Button1->isEnabled());
    QCOMPARE(m_rech->Button1->text(), QStringLiteral("&Copier"));
    QCOMPARE(m_rech->Button4->toolTip(), QStringLiteral("Supprmer définitivement la fiche dans la base de données"));
}

void TestRech::addAWrongCheckDigitRecordThenDeleteIt()
{
    start();
    m_program->desktop->expectMessage(QStringLiteral("INFO"), QStringLiteral("La base de données a été mise à jour."));
    ScriptedDesktop *d = m_program->desktop;
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);

    typeText(m_rech->LabNOM, QString::fromUtf8("mon réactif ù"));
    QCOMPARE(m_rech->LabNOM->text(), QString::fromUtf8("MON REACTIF Ù"));
    m_rech->LabCE->setFocus();
    m_rech->LabCE->setCursorPosition(0);
    QTest::keyClicks(m_rech->LabCE, QStringLiteral("2a0x06623X"));
    QCOMPARE(m_rech->LabCE->value(), QStringLiteral("200-662-3")); // X: the field was full
    // Leaving the field asks; Yes corrects; the focus comes back.
    d->answers.enqueue(Desktop::Yes);
    m_rech->LabCAS->setFocus();
    QTRY_COMPARE(d->messages.size(), 1);
    QCOMPARE(d->messageLines().last(), QStringLiteral("CONFIRMATION: Le chiffre 'contrôle' du n° CE semble erroné,\n"
                                                      "autorisez-vous une correction automatique ?"));
    QCOMPARE(d->messages.last().icon, Desktop::Icon::Question);
    QCOMPARE(m_rech->LabCE->value(), QStringLiteral("200-662-2"));
    QTRY_VERIFY(m_rech->LabCE->hasFocus());

    // The CAS field fills from the right; X cannot be typed there.
    m_rech->LabCAS->setFocus();
    QTest::keyClicks(m_rech->LabCAS, QStringLiteral("7X732186"));
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("  7732-18-6"));
    QTest::keyClick(m_rech->LabCAS, Qt::Key_Backspace);
    QTest::keyClicks(m_rech->LabCAS, QStringLiteral("4"));
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("  7732-18-4"));
    d->answers.enqueue(Desktop::No);
    m_rech->LabINDEX->setFocus();
    QTRY_COMPARE(d->messages.size(), 2);
    QVERIFY(d->messages.last().text.contains(QStringLiteral("n° CAS")));
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("  7732-18-4")); // No keeps it
    QTRY_VERIFY(m_rech->LabCAS->hasFocus());
    d->answers.enqueue(Desktop::Yes);
    m_rech->LabINDEX->setFocus();
    QTRY_COMPARE(d->messages.size(), 3);
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("  7732-18-5"));
    // INDEX takes only digits here.
    m_rech->LabINDEX->setFocus();
    QTest::keyClicks(m_rech->LabINDEX, QStringLiteral("X"));
    QCOMPARE(m_rech->LabINDEX->value(), QStringLiteral("   -   -  - "));
    m_rech->LabNOM->setFocus();
    QTest::qWait(20);
    QCOMPARE(d->messages.size(), 3); // an empty number is not questioned

    const QByteArray before = dbBytes();
    QTest::mouseClick(m_rech->Button3, Qt::LeftButton);
    QCOMPARE(d->messageLines().last(), QStringLiteral("INFO: La base de données a été mise à jour."));
    QCOMPARE(d->messages.last().icon, Desktop::Icon::Information);
    QCOMPARE(dbBytes(), QByteArray("NOM|CE|CAS|INDEX\r\n"
                                   "ACETONE|200-662-2|67-64-1|606-001-00-8|\r\n"
                                   "ETHANOL|200-578-6|64-17-5|603-002-00-5|\r\n"
                                   "ETHYL ACETATE|205-500-4|141-78-6|607-022-00-5|\r\n"
                                   "FORMALDEHYDE|200-001-8|50-00-0|605-001-00-5|\r\n"
                                   "MON REACTIF \xD9|200-662-2|7732-18-5|-|\r\n"));
    QCOMPARE(dbBytes("databases/db_francais.bak"), before);
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 5 items"));
    QVERIFY(m_rech->LabNOM->text().isEmpty());

    // Delete it: No keeps it, Yes removes it.
    m_rech->LabSUBST->setText(QStringLiteral("MON"));
    QCOMPARE(shownNames(), QStringList{QString::fromUtf8("MON REACTIF Ù")});
    clickRow(0);
    d->answers.enqueue(Desktop::No);
    QTest::mouseClick(m_rech->Button4, Qt::LeftButton);
    QCOMPARE(d->messageLines().last(), QStringLiteral("ATTENTION: Veuillez confirmer la suppression définitive de la fiche !!!"));
    QCOMPARE(d->messages.last().icon, Desktop::Icon::Warning);
    QCOMPARE(m_rech->database().count(), 5);
    const QByteArray saved = dbBytes();
    d->answers.enqueue(Desktop::Yes);
    QTest::mouseClick(m_rech->Button4, Qt::LeftButton);
    QCOMPARE(m_rech->database().count(), 4);
    QCOMPARE(dbBytes(), "NOM|CE|CAS|INDEX|\r\n" + kSmallDb.mid(kSmallDb.indexOf('\n') + 1));
    QCOMPARE(dbBytes("databases/db_francais.bak"), saved);
    QVERIFY(m_rech->LabNOM->text().isEmpty());
    QVERIFY(shownNames().isEmpty()); // the search runs again
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 0 item"));
}

void TestRech::savingAnExistingNameModifiesIt()
{
    start("NOM|CE|CAS|INDEX\r\nTWICE|-|-|-|\r\nOTHER|-|-|-|\r\nTWICE|-|50-00-0|-|\r\n");
    m_program->desktop->expectMessage(QStringLiteral("INFO"), QStringLiteral("La base de données a été mise à jour."));
    m_rech->showWindow();
    clickRow(2);
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("    50-00-0"));
    m_rech->LabCE->setValue(QStringLiteral("200-001-8"));
    m_rech->Button3Click();
    QCOMPARE(dbBytes(), QByteArray("NOM|CE|CAS|INDEX\r\nOTHER|-|-|-|\r\nTWICE|-|-|-|\r\nTWICE|200-001-8|50-00-0|-|\r\n"));
    QCOMPARE(shownNames(), (QStringList{"OTHER", "TWICE", "TWICE"}));
}

void TestRech::typingFoldsOnlyWhatIsTyped()
{
    // A name stored with lower-case accented letters (Windows-1252 bytes).
    start("NOM|CE|CAS|INDEX\r\nAcide \xE9thano\xEFque|200-580-7|-|-|\r\nOTHER|-|-|-|\r\n");
    m_rech->showWindow();
    const QString stored = QString::fromUtf8("Acide éthanoïque");
    clickRow(0);
    QCOMPARE(m_rech->LabNOM->text(), stored);

    // A key typed at the end, then taken back: the name is the stored one.
    m_rech->LabNOM->setFocus();
    m_rech->LabNOM->end(false);
    typeText(m_rech->LabNOM, QString::fromUtf8("é"));
    QCOMPARE(m_rech->LabNOM->text(), stored + u'E');
    QTest::keyClick(m_rech->LabNOM, Qt::Key_Backspace);
    QCOMPARE(m_rech->LabNOM->text(), stored);

    // Typed in the middle, only the typed letter is folded, and the caret
    // stays after it.
    m_rech->LabNOM->setCursorPosition(6);
    typeText(m_rech->LabNOM, QString::fromUtf8("àb"));
    QCOMPARE(m_rech->LabNOM->text(), QString::fromUtf8("Acide ABéthanoïque"));
    QCOMPARE(m_rech->LabNOM->cursorPosition(), 8);
    QTest::keyClick(m_rech->LabNOM, Qt::Key_Backspace);
    QTest::keyClick(m_rech->LabNOM, Qt::Key_Backspace);
    QCOMPARE(m_rech->LabNOM->text(), stored);

    // Saving modifies the stored record instead of adding another.
    m_rech->LabCE->setValue(QStringLiteral("200-580-7"));
    m_rech->LabCAS->setValue(QStringLiteral("    64-19-7"));
    m_program->desktop->answers.enqueue(Desktop::Ok);
    m_rech->Button3Click();
    QCOMPARE(m_program->desktop->messageLines(),
             QStringList{QStringLiteral("INFO: La base de données a été mise à jour.")});
    QCOMPARE(m_rech->database().count(), 2);
    QCOMPARE(dbBytes(), QByteArray("NOM|CE|CAS|INDEX\r\nAcide \xE9thano\xEFque|200-580-7|64-19-7|-|\r\nOTHER|-|-|-|\r\n"));

    // A pasted text is typed text: it is folded, what was there is not.
    m_rech->LabNOM->setText(QString());
    typeText(m_rech->LabNOM, QString::fromUtf8("acide acé"));
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ACIDE ACE"));
    m_rech->LabNOM->insert(QString::fromUtf8("tique ß"));
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ACIDE ACETIQUE SS"));
    QCOMPARE(m_rech->LabNOM->cursorPosition(), 17);
}

void TestRech::refusedFieldsAndFailedWritesChangeNothing()
{
    start();
    m_program->desktop->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le champ NOM contient le caractère « | », qui sépare les"));
    ScriptedDesktop *d = m_program->desktop;
    m_rech->showWindow();
    const QByteArray before = dbBytes();

    QTest::keyClicks(m_rech->LabNOM, QStringLiteral("ACIDE|BASE"));
    m_rech->Button3Click();
    QCOMPARE(d->messages.size(), 1);
    QCOMPARE(d->messages.last().title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(d->messages.last().text.contains(QStringLiteral("« | »")));
    QCOMPARE(dbBytes(), before);
    QVERIFY(!QFile::exists(m_dir->file(QStringLiteral("databases/db_francais.bak"))));
    QCOMPARE(m_rech->database().count(), 4);
    QCOMPARE(m_rech->LabNOM->text(), QStringLiteral("ACIDE|BASE")); // kept for correction

#ifdef Q_OS_UNIX
    // A full disk: the new content cannot be written.
    m_rech->LabNOM->setText(QStringLiteral("NOUVEAU PRODUIT"));
    d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("n'a pas pu être enregistrée"));
    {
        const FileSizeLimit limit(before.size());
        QVERIFY(limit.isActive());
        m_rech->Button3Click();
    }
    QCOMPARE(d->messages.size(), 2);
    QCOMPARE(d->messages.last().title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(d->messages.last().text.contains(QStringLiteral("n'a pas pu être enregistrée")));
    QCOMPARE(dbBytes(), before);
    QCOMPARE(m_rech->database().count(), 4);
    QCOMPARE(m_rech->database().firstIndexOf(QStringLiteral("NOUVEAU PRODUIT")), -1);
#endif
}

void TestRech::allZeroNumberClearedWithoutQuestion()
{
    start();
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);
    m_rech->LabCE->setFocus();
    QTest::keyClicks(m_rech->LabCE, QStringLiteral("0000000"));
    QCOMPARE(m_rech->LabCE->value(), QStringLiteral("000-000-0"));
    m_rech->LabNOM->setFocus();
    QTRY_COMPARE(m_rech->LabCE->value(), QStringLiteral("   -   - "));
    m_rech->LabCAS->setFocus();
    QTest::keyClicks(m_rech->LabCAS, QStringLiteral("000000000"));
    QCOMPARE(m_rech->LabCAS->value(), QStringLiteral("000000-00-0"));
    m_rech->LabNOM->setFocus();
    QTRY_COMPARE(m_rech->LabCAS->value(), QStringLiteral("      -  - "));
    QVERIFY(m_program->desktop->messages.isEmpty());
}

void TestRech::headerSortsWithOneSharedDirection()
{
    start("NOM|CE|CAS|INDEX\r\nbeta|3|-|-|\r\nALPHA|1|-|-|\r\nGamma|2|-|-|\r\n");
    m_rech->showWindow();
    QHeaderView *header = m_rech->StringGrid1->horizontalHeader();
    auto press = [&](int column) {
        QTest::mousePress(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {},
                            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    QVERIFY(m_rech->sortAscending());
    press(0);
    QCOMPARE(shownNames(), (QStringList{"ALPHA", "beta", "Gamma"}));
    QVERIFY(!m_rech->sortAscending());
    press(1); // another column, the shared flag: descending
    QCOMPARE(shownNames(), (QStringList{"beta", "Gamma", "ALPHA"}));
    press(1);
    QCOMPARE(shownNames(), (QStringList{"ALPHA", "Gamma", "beta"}));
    // Spare rows stay after the records.
    QCOMPARE(m_rech->gridRowCount(), 3 + 11);
    QCOMPARE(header->toolTip(), QStringLiteral("Cliquer pour trier"));

    // A right press anywhere scrolls back to the top.
    QByteArray many = "NOM|CE|CAS|INDEX\r\n";
    for (int i = 0; i < 300; ++i)
        many += "R" + QByteArray::number(1000 + i) + "|-|-|-|\r\n";
    m_dir->write(QStringLiteral("databases/db_francais.csv"), many);
    m_rech->loadDatabase();
    QScrollBar *bar = m_rech->StringGrid1->verticalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(bar->value() > 0);
    QTest::mousePress(m_rech->StringGrid1->viewport(), Qt::RightButton, {}, QPoint(20, 40));
    QCOMPARE(bar->value(), 0);
}

void TestRech::choosingADatabase()
{
    start();
    m_dir->write(QStringLiteral("databases/labo.csv"), "NOM|CE|CAS|INDEX\r\nEAU|231-791-2|7732-18-5|-|\r\n");
    m_program.reset();
    start(); // the list is made at creation
    ScriptedDesktop *d = m_program->desktop;
    d->expectMessage(QStringLiteral("WARNING"), QStringLiteral("La base de données ''neuve ''.csv'' est introuvable !"));
    d->expectMessage(QStringLiteral("INFO"), QStringLiteral("La base de données a été mise à jour."));
    d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom de base de données « ../fuite » n'est pas valable :"));
    d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom de base de données « /tmp/x » n'est pas valable :"));
    d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom de base de données « a\\b » n'est pas valable :"));
    m_rech->showWindow();
    QCOMPARE(m_rech->ComboBox1->count(), 2);
    QCOMPARE(m_rech->ComboBox1->itemText(1), QStringLiteral("labo.csv"));

    // Typing a name opens nothing and warns of nothing until it names a database.
    QLineEdit *edit = m_rech->ComboBox1->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("labo.cs"));
    QCOMPARE(m_rech->database().name(), QStringLiteral("db_francais"));
    QVERIFY(d->messages.isEmpty());
    QTest::keyClicks(edit, QStringLiteral("v"));
    QCOMPARE(m_rech->database().name(), QStringLiteral("labo"));
    QCOMPARE(shownNames(), QStringList{"EAU"});
    QCOMPARE(m_rech->ComboBox1->toolTip(), QStringLiteral("labo.csv"));
    QCOMPARE(m_rech->windowTitle(), QStringLiteral("Base de données locale : 1 item"));
    QVERIFY(d->messages.isEmpty());

    // Picking an entry opens it.
    m_rech->ComboBox1->setCurrentIndex(0);
    Q_EMIT m_rech->ComboBox1->activated(0);
    QCOMPARE(m_rech->database().name(), QStringLiteral("db_francais"));
    QCOMPARE(m_rech->database().count(), 4);
    QVERIFY(d->messages.isEmpty());

    // A new name confirmed with Enter: one warning, then an empty database
    // that a save creates.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("neuve.csv"));
    QVERIFY(d->messages.isEmpty());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(d->messageLines(), QStringList{"WARNING: La base de données ''neuve ''.csv'' est introuvable !"});
    QCOMPARE(d->messages.last().icon, Desktop::Icon::Critical);
    QCOMPARE(m_rech->database().name(), QStringLiteral("neuve"));
    QCOMPARE(m_rech->database().count(), 0);
    QCOMPARE(m_rech->ComboBox1->count(), 2); // Enter adds nothing to the list
    m_rech->LabNOM->setText(QStringLiteral("SEL"));
    m_rech->Button3Click();
    QCOMPARE(dbBytes("databases/neuve.csv"), QByteArray("NOM|CE|CAS|INDEX\r\nSEL|-|-|-|\r\n"));
    QCOMPARE(dbBytes(), kSmallDb);

    // A name that would leave the folder is refused, and nothing changes.
    for (const QString &bad : {QStringLiteral("../fuite.csv"), QStringLiteral("/tmp/x.csv"), QStringLiteral("a\\b.csv")}) {
        const qsizetype count = d->messages.size();
        edit->setText(bad);
        QCOMPARE(d->messages.size(), count);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(d->messages.size(), count + 1);
        QCOMPARE(d->messages.last().title, QStringLiteral("AVERTISSEMENT"));
        QCOMPARE(m_rech->database().name(), QStringLiteral("neuve"));
        QCOMPARE(m_rech->database().count(), 1);
    }
    QVERIFY(!QFile::exists(m_dir->file(QStringLiteral("fuite.csv"))));
}

void TestRech::clearButtonListsEverything()
{
    start();
    m_rech->showWindow();
    QApplication::setActiveWindow(m_rech);
    m_rech->LabSUBST->setText(QStringLiteral("ETH"));
    clickRow(0);
    QVERIFY(m_rech->Button2->isEnabled());
    QTest::mouseClick(m_rech->Button2, Qt::LeftButton);
    QVERIFY(m_rech->LabSUBST->text().isEmpty());
    QVERIFY(m_rech->LabNOM->text().isEmpty());
    QCOMPARE(m_rech->LabINDEX->value(), QStringLiteral("   -   -  - "));
    QCOMPARE(shownNames().size(), 4);
    QTRY_VERIFY(m_rech->LabSUBST->hasFocus());
    // The small button empties the search box alone.
    m_rech->LabSUBST->setText(QStringLiteral("X"));
    QVERIFY(shownNames().isEmpty());
    m_rech->SpeedButton1->click();
    QVERIFY(m_rech->LabSUBST->text().isEmpty());
    QCOMPARE(shownNames().size(), 4);
    QCOMPARE(m_rech->SpeedButton1->toolTip(), QStringLiteral("Effacer le champ de recherche"));
}

QTEST_MAIN(TestRech)
#include "gui_rech.moc"
