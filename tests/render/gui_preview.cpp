#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/printer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QScreen>
#include <QTest>

namespace {
const QByteArray kLabel = "***fab***\r\n\\fournisseurs\\logo\r\n***sub***\r\nEAU\r\n***nref***\r\n   -   - \r\n"
                          "      -  - \r\n   -   -  - \r\n***commentaires***\r\n***avertissement***\r\nDANGER\r\n"
                          "***pic***\r\nSGH07\r\n***dangers***\r\n***prudence***\r\n***infos***\r\n***fonte***\r\n"
                          "Arial\r\n20\r\n8\r\n***marges_echelle***\r\n100\r\n0\r\n0\r\nclBlack\r\n17\r\n_eof\r\n";
}

class TestPreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void refreshShowsTheActiveLabel();
    void openingThreeFilesRedrawsOnce();
    void editsRefreshOnlyWhileVisible();
    void closingTheLastLabelClosesThePreview();
    void transparencyIsClampedAndStored();
    void dragAndDoubleClick();
    void popupMenuOffersTheFrameCommands();
    void cutStatementsShowARedBand();
    void previewKeysLeavePastingToTheFields();

private:
    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    TFormApercu *preview() const { return m_program->app->apercu(); }
};

void TestPreview::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_dir->copyData(QStringLiteral("SGH07.jpg"));
    m_program = std::make_unique<TestProgram>();
}

void TestPreview::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestPreview::refreshShowsTheActiveLabel()
{
    frame()->Nouveau1->trigger();
    QVERIFY(!preview()->isVisible());
    frame()->Apercu1->trigger();
    QVERIFY(preview()->isVisible());
    const QImage shown = preview()->shownPicture();
    QCOMPARE(shown.size(), QSize(636, 450));
    // With no pictogram the notice is drawn at the top left and the rest stays
    // white (the running blur's truncation may take a unit off).
    QVERIFY(shown.pixelColor(600, 440).lightness() >= 250);
    QCOMPARE(preview()->Image1->pixmap().size(), QSize(636, 450));
}

void TestPreview::openingThreeFilesRedrawsOnce()
{
    for (const char *name : {"a.kvln", "b.kvln", "c.kvln"})
        m_dir->write(QString::fromLatin1(name), kLabel);
    frame()->Nouveau1->trigger();
    frame()->Apercu1->trigger();
    QCOMPARE(preview()->refreshCount(), 1);
    m_program->desktop->openAnswers.enqueue({m_dir->file("a.kvln"), m_dir->file("b.kvln"), m_dir->file("c.kvln")});
    frame()->Ouvrir1->trigger();
    QCOMPARE(frame()->labelWindows().size(), 4);
    QCOMPARE(preview()->refreshCount(), 2);
    QCOMPARE(frame()->activeLabel()->windowTitle(), QStringLiteral("c.kvln"));
    // The label with SGH07 shows its pictogram: red frame pixels at the top left.
    const QImage shown = preview()->shownPicture();
    bool red = false;
    for (int x = 0; x < 150 && !red; ++x)
        red = shown.pixelColor(x, 75).red() > 200 && shown.pixelColor(x, 75).green() < 80;
    QVERIFY(red);
}

void TestPreview::editsRefreshOnlyWhileVisible()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    label->Memo_S->setPlainText(QStringLiteral("ACETONE"));
    frame()->setStatementSize(10);
    QCOMPARE(preview()->refreshCount(), 0);
    frame()->Apercu1->trigger();
    const int before = preview()->refreshCount();
    label->Memo_S->setPlainText(QStringLiteral("ACETONE PURE"));
    QCOMPARE(preview()->refreshCount(), before + 1);
    frame()->setProductSize(24);
    QCOMPARE(preview()->refreshCount(), before + 2);
    frame()->previewSuppressed = 1;
    label->Memo_S->setPlainText(QStringLiteral("X"));
    QCOMPARE(preview()->refreshCount(), before + 2);
}

void TestPreview::closingTheLastLabelClosesThePreview()
{
    frame()->Nouveau1->trigger();
    frame()->Apercu1->trigger();
    QVERIFY(preview()->isVisible());
    frame()->activeLabel()->parentWidget()->close();
    QVERIFY(!preview()->isVisible());
    QCOMPARE(m_program->app->printer()->Rad_actuel->text(), QStringLiteral("Aucune fiche active"));
}

void TestPreview::transparencyIsClampedAndStored()
{
    m_program.reset();
    m_dir->write(QStringLiteral("trakvln.ini"), "20\r\n");
    m_program = std::make_unique<TestProgram>();
    QCOMPARE(preview()->TrackBar1->value(), 155);
    preview()->TrackBar1->setValue(240);
    frame()->close();
    QCOMPARE(m_dir->read(QStringLiteral("trakvln.ini")), QByteArray("240\r\n"));
}

void TestPreview::dragAndDoubleClick()
{
    frame()->Nouveau1->trigger();
    frame()->Apercu1->trigger();
    // Where the drag keeps it wholly on the screen (a window is shown on it).
    preview()->move(preview()->screen()->availableGeometry().topLeft() + QPoint(10, 10));
    const QPoint start = preview()->pos();
    QTest::mousePress(preview()->Image3, Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseMove(preview()->Image3, QPoint(80, 30));
    QTest::mouseRelease(preview()->Image3, Qt::LeftButton, {}, QPoint(80, 30));
    QCOMPARE(preview()->pos(), start + QPoint(30, 20));
    QTest::mouseDClick(preview()->Image1, Qt::LeftButton);
    QVERIFY(!preview()->isVisible());
    frame()->Apercu1->trigger();
    QCOMPARE(preview()->pos(), start + QPoint(30, 20)); // it keeps its place
}

void TestPreview::popupMenuOffersTheFrameCommands()
{
    const QList<QAction *> items = preview()->PopupMenu1->actions();
    QCOMPARE(items.size(), 6);
    QCOMPARE(items.at(0), frame()->Enregistrer1);
    QCOMPARE(items.at(1), frame()->Export1);
    QVERIFY(items.at(2)->isSeparator());
    QCOMPARE(items.at(3), frame()->Printer1);
    QCOMPARE(items.at(5)->text(), QStringLiteral("Fermer"));
}

// Pixels of the band's red (the text on it is white) in the bottom rows.
int redPixels(const QImage &image, int rows)
{
    int n = 0;
    for (int y = image.height() - rows; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 150 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

void TestPreview::cutStatementsShowARedBand()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    frame()->Apercu1->trigger();
    QVERIFY(preview()->cutNotice().isEmpty());
    QCOMPARE(redPixels(preview()->Image1->pixmap().toImage(), 20), 0);

    // Sixty hazard statements cannot fit the label.
    QListWidget *hazards = label->CheckListBox2;
    QVERIFY(hazards->count() >= 60);
    QStringList ticked;
    for (int i = 0; i < 60; ++i) {
        hazards->item(i)->setCheckState(Qt::Checked);
        ticked << hazards->item(i)->text();
    }
    frame()->Apercu1->trigger();
    QVERIFY(preview()->isVisible());
    const QString notice = preview()->cutNotice();
    QVERIFY2(notice.startsWith(QStringLiteral("Texte coupé à partir de « H")), qPrintable(notice));
    const QString named = notice.section(QStringLiteral("« "), 1).chopped(2);
    QVERIFY2(ticked.mid(1).contains(named), qPrintable(named));

    // What the user sees: a red band across the bottom of the picture, over
    // the label's own pixels, which stay as they are printed.
    const QImage seen = preview()->Image1->pixmap().toImage();
    const QImage picture = preview()->shownPicture();
    QCOMPARE(seen.size(), QSize(636, 450));
    QCOMPARE(redPixels(picture, 20), 0);
    QVERIFY2(redPixels(seen, 20) > 636 * 20 * 2 / 3, qPrintable(QString::number(redPixels(seen, 20))));
    // The notice is written on it in white.
    int white = 0;
    for (int y = 430; y < 450; ++y)
        for (int x = 0; x < 636; ++x)
            white += QColor(seen.pixel(x, y)).lightness() > 230;
    QVERIFY(white > 100);
    QCOMPARE(seen.convertToFormat(QImage::Format_RGB32).copy(0, 0, 636, 430),
             picture.convertToFormat(QImage::Format_RGB32).copy(0, 0, 636, 430));

    // Unticked again, the band goes.
    for (int i = 1; i < 60; ++i)
        hazards->item(i)->setCheckState(Qt::Unchecked);
    frame()->Apercu1->trigger();
    QVERIFY(preview()->cutNotice().isEmpty());
    QCOMPARE(redPixels(preview()->Image1->pixmap().toImage(), 20), 0);
}

void TestPreview::previewKeysLeavePastingToTheFields()
{
    TForm_base *f = frame();
    QCOMPARE(f->Apercu1->shortcuts(),
             (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Ctrl+Shift+V"))}));
    f->show();
    QApplication::setActiveWindow(f);
    f->Nouveau1->trigger();
    TMDIChild *label = f->activeLabel();
    QApplication::clipboard()->setText(QStringLiteral("Conserver au frais"));

    // In a text field Ctrl+V pastes and does not preview.
    label->Memo_C->setFocus();
    QTRY_VERIFY(label->Memo_C->hasFocus());
    QTest::keyClick(label->Memo_C, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(label->Memo_C->toPlainText(), QStringLiteral("Conserver au frais"));
    QVERIFY(!preview()->isVisible());

    // Ctrl+Shift+V previews from the same field and pastes nothing.
    QTest::keyClick(label->Memo_C, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(preview()->isVisible());
    QCOMPARE(label->Memo_C->toPlainText(), QStringLiteral("Conserver au frais"));
    const int shown = preview()->refreshCount();

    // Where no text field has the focus, Ctrl+V previews.
    preview()->hide();
    label->CheckListBox2->setFocus();
    QTRY_VERIFY(label->CheckListBox2->hasFocus());
    QTest::keyClick(label->CheckListBox2, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(preview()->isVisible());
    QCOMPARE(preview()->refreshCount(), shown + 1);
    QCOMPARE(label->Memo_C->toPlainText(), QStringLiteral("Conserver au frais"));
    QVERIFY(m_program->desktop->messages.isEmpty());
}

QTEST_MAIN(TestPreview)
#include "gui_preview.moc"
