#include "testsupport.h"

#include "editor/hppicto.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace {
QStringList pictos(TMDIChild *label) { return label->document().pictograms; }
} // namespace

class TestPictogramsNumbers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void clickingAddsAndFramesShow();
    void rulesAskThroughTheDesktop();
    void threeWaysToRemove();
    void dragMovesTheCurrentEntry();
    void maskKeyFilters();
    void wrongCheckDigitIsQuestionedAndCorrected();
    void allZeroNumberIsClearedSilently();
    void productColourRule();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TMDIChild *m_label = nullptr;
};

void TestPictogramsNumbers::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    // A release over a pictogram reads its suggestion file: give it the installed ones.
    for (int n = 1; n <= 9; ++n)
        m_dir->copyData(QStringLiteral("HP%1").arg(n));
    m_program = std::make_unique<TestProgram>();
    m_program->app->frame()->Nouveau1->trigger();
    m_label = m_program->app->frame()->activeLabel();
    m_program->app->frame()->show();
    QApplication::setActiveWindow(m_program->app->frame());
}

void TestPictogramsNumbers::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestPictogramsNumbers::clickingAddsAndFramesShow()
{
    QVERIFY(m_label->Pan0->isVisibleTo(m_label));
    QTest::mouseClick(m_label->pictogramImages[1], Qt::LeftButton);
    QTest::mouseClick(m_label->pictogramImages[6], Qt::RightButton); // any button
    QCOMPARE(pictos(m_label), (QStringList{"SGH02", "SGH07"}));
    QVERIFY(m_label->selectionFrames[1]->isVisibleTo(m_label));
    QVERIFY(!m_label->selectionFrames[0]->isVisibleTo(m_label));
    QCOMPARE(m_label->pictogramImages[1]->property("tag").toInt(), 1);
    QVERIFY(!m_label->Pan0->isVisibleTo(m_label));
    QCOMPARE(m_label->LB_picto->toolTip(), QStringLiteral("Cliquer-glisser pour déplacer\nDouble-cliquer pour supprimer"));
    QCOMPARE(m_label->lastClickedPictogram(), 7);
    QCOMPARE(m_program->app->hpPicto()->windowTitle(), QStringLiteral("SGH07"));
}

void TestPictogramsNumbers::rulesAskThroughTheDesktop()
{
    ScriptedDesktop *d = m_program->desktop;
    QTest::mouseClick(m_label->pictogramImages[0], Qt::LeftButton);
    d->answers.enqueue(Desktop::No);
    QTest::mouseClick(m_label->pictogramImages[1], Qt::LeftButton);
    QCOMPARE(pictos(m_label), QStringList{"SGH01"});
    QCOMPARE(d->messages.last().title, QStringLiteral("REMARQUE"));
    QCOMPARE(d->messages.last().icon, Desktop::Icon::Question);

    for (int n : {4, 5, 8, 9})
        QTest::mouseClick(m_label->pictogramImages[n - 1], Qt::LeftButton);
    QCOMPARE(pictos(m_label).size(), 5);
    const int before = d->messages.size();
    d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("cinq"));
    QTest::mouseClick(m_label->pictogramImages[5], Qt::LeftButton);
    QCOMPARE(d->messages.size(), before + 1);
    QCOMPARE(d->messageLines().last(), QStringLiteral("AVERTISSEMENT: Le nombre de pictogrammes ne peut dépasser cinq !"));
    QCOMPARE(m_program->app->hpPicto()->windowTitle(), QStringLiteral("SGH06"));
    // A selected pictogram's click reaches its frame and removes it.
    QTest::mouseClick(m_label->selectionFrames[3], Qt::LeftButton);
    QCOMPARE(pictos(m_label), (QStringList{"SGH01", "SGH05", "SGH08", "SGH09"}));
}

void TestPictogramsNumbers::threeWaysToRemove()
{
    QTest::mouseClick(m_label->pictogramImages[3], Qt::LeftButton);
    // Through the frame: the notice stays hidden until the next click.
    QTest::mouseClick(m_label->selectionFrames[3], Qt::LeftButton);
    QVERIFY(pictos(m_label).isEmpty());
    QVERIFY(!m_label->Pan0->isVisibleTo(m_label));
    QCOMPARE(m_label->pictogramImages[3]->property("tag").toInt(), 0);

    // Double-click in the list: the notice comes back and the last click is forgotten.
    QTest::mouseClick(m_label->pictogramImages[8], Qt::LeftButton);
    m_label->LB_picto->setCurrentRow(0);
    m_label->LB_pictoDblClick();
    QVERIFY(pictos(m_label).isEmpty());
    QVERIFY(m_label->Pan0->isVisibleTo(m_label));
    QCOMPARE(m_label->lastClickedPictogram(), 0);
    QVERIFY(!m_label->selectionFrames[8]->isVisibleTo(m_label));

    // "-" in the list removes the current entry.
    for (int n : {2, 4, 9})
        QTest::mouseClick(m_label->pictogramImages[n - 1], Qt::LeftButton);
    m_label->LB_picto->setCurrentRow(1);
    m_label->LB_picto->remembered = 1;
    QTest::keyClick(m_label->LB_picto, Qt::Key_Minus);
    QCOMPARE(pictos(m_label), (QStringList{"SGH02", "SGH09"}));
    QCOMPARE(m_label->LB_picto->currentRow(), 1);
    QVERIFY(!m_label->selectionFrames[3]->isVisibleTo(m_label));
}

void TestPictogramsNumbers::dragMovesTheCurrentEntry()
{
    for (int n : {1, 4, 9})
        QTest::mouseClick(m_label->pictogramImages[n - 1], Qt::LeftButton);
    m_label->LB_pictoDragDrop(0, 2);
    QCOMPARE(pictos(m_label), (QStringList{"SGH04", "SGH09", "SGH01"}));
}

void TestPictogramsNumbers::maskKeyFilters()
{
    MaskEdit *ce = m_label->maskCE;
    ce->setFocus();
    QTest::keyClicks(ce, QStringLiteral("2a0x0-5"));
    QCOMPARE(ce->value(), QStringLiteral("200-5  - "));
    QCOMPARE(ce->text(), QStringLiteral("200-5__-_")); // blanks show as "_" while editing
    QTest::keyClicks(ce, QStringLiteral("78X"));
    QCOMPARE(ce->value(), QStringLiteral("200-578-X"));
    QTest::keyClick(ce, Qt::Key_Backspace);
    QCOMPARE(ce->value(), QStringLiteral("200-578- "));
    QTest::keyClicks(ce, QStringLiteral("6"));

    MaskEdit *cas = m_label->maskCAS;
    cas->setValue(LabelDocument::kEmptyCAS);
    cas->setFocus();
    cas->setCursorPosition(0);
    QTest::keyClicks(cas, QStringLiteral("X7732185"));
    QCOMPARE(cas->value(), QStringLiteral("773218-5 - "));
    QCOMPARE(m_label->document().cas, cas->value());
    QVERIFY(m_program->desktop->messages.isEmpty());
}

void TestPictogramsNumbers::wrongCheckDigitIsQuestionedAndCorrected()
{
    ScriptedDesktop *d = m_program->desktop;
    MaskEdit *index = m_label->maskINDEX;
    index->setValue(QStringLiteral("603-002-00-4"));
    index->setFocus();
    QTRY_VERIFY(index->hasFocus());
    d->answers.enqueue(Desktop::No);
    m_label->Memo_C->setFocus();
    QTRY_COMPARE(d->messages.size(), 1);
    QCOMPARE(d->messageLines().last(),
             QStringLiteral("CONFIRMATION: Le chiffre 'contrôle' du n° INDEX semble erroné,\nautorisez-vous une "
                            "correction automatique ?"));
    QCOMPARE(index->value(), QStringLiteral("603-002-00-4"));
    QTRY_VERIFY(index->hasFocus()); // the focus comes back

    d->answers.enqueue(Desktop::Yes);
    m_label->Memo_C->setFocus();
    QTRY_COMPARE(d->messages.size(), 2);
    QCOMPARE(index->value(), QStringLiteral("603-002-00-5"));
    m_label->Memo_C->setFocus();
    QTest::qWait(20);
    QCOMPARE(d->messages.size(), 2); // correct now: no more questions

    // A field left untouched is never questioned.
    m_label->maskCE->setFocus();
    m_label->Memo_C->setFocus();
    QTest::qWait(20);
    QCOMPARE(d->messages.size(), 2);
}

void TestPictogramsNumbers::allZeroNumberIsClearedSilently()
{
    m_label->maskCE->setFocus();
    QTest::keyClicks(m_label->maskCE, QStringLiteral("0000000"));
    QCOMPARE(m_label->maskCE->value(), QStringLiteral("000-000-0"));
    m_label->Memo_C->setFocus();
    QTRY_COMPARE(m_label->maskCE->value(), LabelDocument::kEmptyCE);
    QVERIFY(m_program->desktop->messages.isEmpty());
}

void TestPictogramsNumbers::productColourRule()
{
    ScriptedDesktop *d = m_program->desktop;
    d->colorAnswers.enqueue(QColor(255, 255, 255));
    QTest::mouseDClick(m_label->Memo_S->viewport(), Qt::LeftButton);
    QCOMPARE(m_label->productColor(), QColor(255, 255, 255));
    QCOMPARE(m_label->document().productTextColor(), QColor(Qt::black));
    d->colorAnswers.enqueue(QColor(255, 255, 254));
    QTest::mouseDClick(m_label->Memo_S->viewport(), Qt::LeftButton);
    QCOMPARE(m_label->document().productTextColor(), QColor(Qt::white));
    d->colorAnswers.enqueue(std::nullopt); // cancelled: nothing changes
    QTest::mouseDClick(m_label->Memo_S->viewport(), Qt::LeftButton);
    QCOMPARE(m_label->productColor(), QColor(255, 255, 254));
}

QTEST_MAIN(TestPictogramsNumbers)
#include "gui_pictogramsnumbers.moc"
