#include "testsupport.h"

#include "editor/catalogue.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/textfile.h"
#include "tools/printer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

class TestLabelWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newLabelHasDefaultsAndFilledLists();
    void missingCatalogueIsReportedOnceAndEndsTheProgram();
    void catalogueWithoutLastLineEnd();
    void searchBoxFindsByPrefix();
    void enterTogglesTheHitAndUpdatesTheSummary();
    void summaryKeepsTrailingBlanksOfCodes();
    void listFocusDrivesTheModifyCommand();
    void closingLabelsUpdatesTheFrame();
    void activationCopiesTheLabelIntoTheMirrors();
};

void TestLabelWindow::newLabelHasDefaultsAndFilledLists()
{
    TempStartDir dir(kCatalogueFiles);
    TestProgram program;
    TForm_base *frame = program.app->frame();
    frame->Nouveau1->trigger();
    QCOMPARE(frame->labelWindows().size(), 1);
    TMDIChild *label = frame->activeLabel();
    QVERIFY(label);
    QCOMPARE(label->windowTitle(), QStringLiteral("Étiquette N°1"));
    QCOMPARE(label->CheckListBox2->count(), TextFile::readLines(dir.file("H.txt")).size());
    QCOMPARE(label->CheckListBox3->count(), TextFile::readLines(dir.file("P.txt")).size());
    QCOMPARE(label->CheckListBox4->count(), TextFile::readLines(dir.file("EUH.txt")).size());
    QVERIFY(label->CheckListBox2->count() > 50);

    LabelDocument expected;
    expected.title = QStringLiteral("Étiquette N°1");
    expected.hazards = Catalogue::toStatements(TextFile::readLines(dir.file("H.txt")));
    expected.precautions = Catalogue::toStatements(TextFile::readLines(dir.file("P.txt")));
    expected.supplementary = Catalogue::toStatements(TextFile::readLines(dir.file("EUH.txt")));
    QCOMPARE(label->document(), expected);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("---"));
    QCOMPARE(label->LabHPEUH->toolTip(), Catalogue::kSummaryInitialHint);
    QCOMPARE(label->RH->text(), QStringLiteral("H..."));
    QCOMPARE(label->REUH->text(), QStringLiteral("EUH..."));
    QCOMPARE(label->CheckListBox2->tag, -1);

    QCOMPARE(frame->STnb_f->text(), QStringLiteral("1"));
    for (QAction *a : {frame->Apercu1, frame->Enregistrer1, frame->Export1, frame->Fermer1})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(frame->Police1->menuAction()->isEnabled());
    QVERIFY(!frame->Modif1->isEnabled());
    QVERIFY(program.app->printer()->Rad_actuel->isChecked());

    // Numbers follow the open count, so they are not unique.
    frame->Nouveau1->trigger();
    QCOMPARE(frame->activeLabel()->windowTitle(), QStringLiteral("Étiquette N°2"));
    frame->labelWindows().first()->parentWidget()->close();
    frame->Nouveau1->trigger();
    QCOMPARE(frame->activeLabel()->windowTitle(), QStringLiteral("Étiquette N°2"));
    QVERIFY(program.desktop->messages.isEmpty());
}

void TestLabelWindow::missingCatalogueIsReportedOnceAndEndsTheProgram()
{
    TempStartDir dir({QStringLiteral("H.txt"), QStringLiteral("EUH.txt")});
    TestProgram program;
    program.desktop->expectMessage(QStringLiteral("kalvane"), QStringLiteral("\"P.txt\""));
    program.app->frame()->Nouveau1->trigger();
    QCOMPARE(program.desktop->messageLines(),
             QStringList{QStringLiteral("kalvane: Le fichier \"P.txt\" est introuvable,\nl'application va se terminer !")});
    QCOMPARE(program.desktop->messages.first().icon, Desktop::Icon::None);
    QVERIFY(program.app->terminateRequested());
    TMDIChild *label = program.app->frame()->activeLabel();
    QVERIFY(label->CheckListBox2->count() > 0);
    QCOMPARE(label->CheckListBox3->count(), 0);
    QVERIFY(label->CheckListBox4->count() > 0);
}

void TestLabelWindow::catalogueWithoutLastLineEnd()
{
    TempStartDir dir({QStringLiteral("P.txt"), QStringLiteral("EUH.txt")});
    dir.write(QStringLiteral("H.txt"), "H200: Explosif instable.\r\nH201: Explosif; danger d'explosion en masse.");
    TestProgram program;
    program.app->frame()->Nouveau1->trigger();
    TMDIChild *label = program.app->frame()->activeLabel();
    QCOMPARE(label->CheckListBox2->count(), 2);
    QCOMPARE(label->CheckListBox2->item(1)->text(), QStringLiteral("H201: Explosif; danger d'explosion en masse."));
}

void TestLabelWindow::searchBoxFindsByPrefix()
{
    TempStartDir dir({QStringLiteral("P.txt"), QStringLiteral("EUH.txt")});
    dir.write(QStringLiteral("H.txt"), "H200: a\r\nH225: b\r\nh290: lower\r\nH300: c\r\nH290: d\r\n");
    TestProgram program;
    program.app->frame()->Nouveau1->trigger();
    TMDIChild *label = program.app->frame()->activeLabel();
    SearchBox *box = label->RH;
    CheckListBox *list = label->CheckListBox2;

    box->clear();
    QCOMPARE(list->tag, 0); // the empty text matches the first item
    QTest::keyClicks(box, QStringLiteral("h2"));
    QCOMPARE(box->text(), QStringLiteral("H2"));
    QCOMPARE(list->tag, 0);
    QCOMPARE(list->currentRow(), 0);
    QTest::keyClicks(box, QStringLiteral("9"));
    QCOMPARE(list->tag, 4); // "h290" is written in lower case and is never found
    QCOMPARE(list->currentRow(), 4);
    QTest::keyClicks(box, QStringLiteral("7"));
    QCOMPARE(list->tag, -1);
    QCOMPARE(list->currentRow(), 4); // a miss leaves the current item
    QCOMPARE(box->maxLength(), 20);
}

void TestLabelWindow::enterTogglesTheHitAndUpdatesTheSummary()
{
    TempStartDir dir(kCatalogueFiles);
    TestProgram program;
    program.app->frame()->Nouveau1->trigger();
    TMDIChild *label = program.app->frame()->activeLabel();

    label->RH->setText(QStringLiteral("H225"));
    const int hit = label->CheckListBox2->tag;
    QVERIFY(hit >= 0);
    QTest::keyClick(label->RH, Qt::Key_Return);
    QCOMPARE(label->CheckListBox2->item(hit)->checkState(), Qt::Checked);
    label->RP->setText(QStringLiteral("P210"));
    QTest::keyClick(label->RP, Qt::Key_Enter);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H225, P210"));
    QCOMPARE(label->LabHPEUH->toolTip(), QStringLiteral("H225, P210"));
    QCOMPARE(label->RP->selectedText(), QStringLiteral("210"));

    // A miss makes Enter do nothing.
    label->REUH->setText(QStringLiteral("EUH999"));
    QCOMPARE(label->CheckListBox4->tag, -1);
    QTest::keyClick(label->REUH, Qt::Key_Return);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H225, P210"));

    // Unticking everything gives the dashes and the English hint.
    label->RH->setText(QStringLiteral("H225"));
    QTest::keyClick(label->RH, Qt::Key_Return);
    label->findChild<QToolButton *>(QStringLiteral("Image12"))->click();
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("---"));
    QCOMPARE(label->LabHPEUH->toolTip(), QStringLiteral("No selection of H, P and EUH statements"));
}

void TestLabelWindow::summaryKeepsTrailingBlanksOfCodes()
{
    TempStartDir dir({QStringLiteral("P.txt"), QStringLiteral("EUH.txt")});
    dir.write(QStringLiteral("H.txt"), "H300 : Mortel.\r\nH310 : Mortel par contact.\r\n");
    TestProgram program;
    program.app->frame()->Nouveau1->trigger();
    TMDIChild *label = program.app->frame()->activeLabel();
    label->CheckListBox2->item(0)->setCheckState(Qt::Checked);
    label->CheckListBox2->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H300 , H310 "));
}

void TestLabelWindow::listFocusDrivesTheModifyCommand()
{
    TempStartDir dir(kCatalogueFiles);
    TestProgram program;
    TForm_base *frame = program.app->frame();
    frame->Nouveau1->trigger();
    TMDIChild *label = frame->activeLabel();
    QApplication::setActiveWindow(frame);
    label->PageControl1->setCurrentIndex(2);
    label->CheckListBox3->setFocus();
    QTRY_COMPARE(frame->focusedList, 3);
    QVERIFY(frame->Modif1->isEnabled());
    label->CheckListBox3->setCurrentRow(4);
    label->RP->setFocus();
    QTRY_COMPARE(frame->focusedList, 0);
    QVERIFY(!frame->Modif1->isEnabled());
    QCOMPARE(label->CheckListBox3->currentRow(), -1);
}

void TestLabelWindow::closingLabelsUpdatesTheFrame()
{
    TempStartDir dir(kCatalogueFiles);
    TestProgram program;
    TForm_base *frame = program.app->frame();
    Tprinter *printer = program.app->printer();
    frame->Nouveau1->trigger();
    frame->Nouveau1->trigger();
    frame->labelWindows().last()->parentWidget()->close();
    QCOMPARE(frame->STnb_f->text(), QStringLiteral("1"));
    QVERIFY(frame->Enregistrer1->isEnabled());
    QVERIFY(printer->Rad_actuel->isChecked());

    frame->labelWindows().first()->parentWidget()->close();
    QCOMPARE(frame->labelCount(), 0);
    QCOMPARE(frame->STnb_f->text(), QStringLiteral("0"));
    for (QAction *a : {frame->Apercu1, frame->Enregistrer1, frame->Export1, frame->Fermer1, frame->Modif1})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QAction *a : frame->statementSizeActions + frame->productSizeActions)
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(frame->Nouveau1->isEnabled());
    QVERIFY(frame->Printer1->isEnabled());
    QCOMPARE(printer->Rad_actuel->text(), QStringLiteral("Aucune fiche active"));
    QVERIFY(!printer->Rad_actuel->isEnabled());
    QVERIFY(!printer->Rad_actuel->isChecked());
    QVERIFY(printer->Rad_planche->isChecked());
}

void TestLabelWindow::activationCopiesTheLabelIntoTheMirrors()
{
    TempStartDir dir(kCatalogueFiles);
    TestProgram program;
    TForm_base *frame = program.app->frame();
    Tprinter *printer = program.app->printer();
    frame->Nouveau1->trigger();
    TMDIChild *first = frame->activeLabel();
    frame->MenuFonteClick(1); // Courier New
    frame->setProductSize(14);
    frame->setStatementSize(6);
    first->Lab_margeX->setText(QStringLiteral("3"));
    first->Lab_echelle->setText(QStringLiteral("150"));
    first->CB_hpeuh->setChecked(true);
    first->LabLOGO->setText(QStringLiteral("/logos/a.jpg"));

    frame->Nouveau1->trigger();
    TMDIChild *second = frame->activeLabel();
    QVERIFY(second != first);
    QCOMPARE(frame->mirrors.fontFace, QStringLiteral("Arial"));
    QCOMPARE(frame->mirrors.productSize, 20.0f);
    QCOMPARE(frame->mirrors.statementSize, 8.0f);
    QCOMPARE(frame->mirrors.logoPath, QStringLiteral("logo"));
    QCOMPARE(printer->TrackBar1->value(), 100);
    QVERIFY(!printer->CB_HPEUH->isChecked());

    frame->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
    QCOMPARE(frame->activeLabel(), first);
    QCOMPARE(frame->mirrors.fontFace, QStringLiteral("Courier New"));
    QCOMPARE(first->statusPanel(TMDIChild::PanelFont), QStringLiteral("Courier New"));
    QCOMPARE(frame->mirrors.productSize, 14.0f);
    QCOMPARE(frame->mirrors.statementSize, 6.0f);
    QCOMPARE(frame->mirrors.logoPath, QStringLiteral("/logos/a.jpg"));
    QCOMPARE(printer->Ed_g->text(), QStringLiteral("3"));
    QCOMPARE(printer->TrackBar1->value(), 150);
    QVERIFY(printer->CB_HPEUH->isChecked());
}

QTEST_MAIN(TestLabelWindow)
#include "gui_labelwindow.moc"
