#include "testsupport.h"

#include "editor/hppicto.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/textfile.h"

#include <QApplication>
#include <QRegularExpression>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

namespace {

const QString kH220 = QStringLiteral("H220: Gaz extrêmement inflammable.");
const QString kH290 = QStringLiteral("H290: Peut être corrosif pour les métaux.");
const QString kH314 =
    QStringLiteral("H314: Provoque de graves brûlures de la peau et de graves lésions des yeux.");
const QString kH318 = QStringLiteral("H318: Provoque de graves lésions des yeux.");
const QString kH315 = QStringLiteral("H315: Provoque une irritation cutanée.");

QListWidgetItem *find(QListWidget *list, const QString &text)
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    return items.isEmpty() ? nullptr : items.constFirst();
}

bool ticked(QListWidget *list, const QString &text)
{
    QListWidgetItem *item = find(list, text);
    return item && item->checkState() == Qt::Checked;
}

void tick(QListWidget *list, const QString &text, bool on)
{
    QListWidgetItem *item = find(list, text);
    QVERIFY2(item, qPrintable(text));
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QStringList itemTexts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestHPpicto : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowAndControls();
    void shownBesideTheLabelWithFullStatements();
    void clearedBoxRebuildsWithoutShowing();
    void boxBeforeAnyClickShowsNothing();
    void releaseAwayFromTheImageBuildsNothing();
    void pressThatAsksBuildsOnce();
    void codeWithoutTheCatalogueBlankStaysBare();
    void ticksGoToTheActiveLabel();
    void tickingOneSuggestionLeavesOtherMarksAlone();
    void allNoneDoubleClickAndEnter();
    void ticksFromTheWindowChangeTheLabel();
    void missingOrBadFilesWarnEveryTime();
    void keptOnScreenAndClearOfThePreview();
    void wideEnoughAndWhereTheUserLeftIt();
    void hiddenByTabChangeRemovalAndLastClose();

private:
    TMDIChild *newLabel();
    void click(TMDIChild *label, int n) { QTest::mouseClick(label->pictogramImages[n - 1], Qt::LeftButton); }
    void setBox(TMDIChild *label, bool on);
    TForm_base *frame() const { return m_program->app->frame(); }
    THPpicto *window() const { return m_program->app->hpPicto(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
};

void TestHPpicto::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    for (int n = 1; n <= 9; ++n)
        m_dir->copyData(QStringLiteral("HP%1").arg(n));
    m_program = std::make_unique<TestProgram>();
    frame()->show();
    frame()->move(20, 10);
    QApplication::setActiveWindow(frame());
}

void TestHPpicto::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

TMDIChild *TestHPpicto::newLabel()
{
    frame()->Nouveau1->trigger();
    TMDIChild *label = frame()->activeLabel();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(label->parentWidget()))
        sub->move(5, 7);
    return label;
}

void TestHPpicto::setBox(TMDIChild *label, bool on)
{
    if (label->CBH->isChecked() != on)
        QTest::mouseClick(label->CBH, Qt::LeftButton, {}, QPoint(8, label->CBH->height() / 2));
    QCOMPARE(label->CBH->isChecked(), on);
}

void TestHPpicto::windowAndControls()
{
    THPpicto *w = window();
    QCOMPARE(w->objectName(), QStringLiteral("THPpicto"));
    QCOMPARE(w->windowTitle(), QStringLiteral("SGH"));
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(w->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(w->size(), QSize(231, 235));
    w->show();
    QCOMPARE(w->size(), QSize(231, 235)); // its controls fit
    w->hide();
    QCOMPARE(w->CBL->objectName(), QStringLiteral("CBL"));
    QCOMPARE(w->CBL->font().family(), QStringLiteral("Arial"));
    QCOMPARE(w->CBL->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w->B_all->text(), QStringLiteral("Tous"));
    QCOMPARE(w->B_all->toolTip(), QStringLiteral("Cocher toutes les suggestions"));
    QCOMPARE(w->B_0->text(), QStringLiteral("Aucun"));
    QCOMPARE(w->B_0->toolTip(), QStringLiteral("Désélectionner toutes les suggestions"));
    QCOMPARE(w->Button1->text(), QStringLiteral("Fermer"));
    QVERIFY(!w->isVisible());
}

void TestHPpicto::shownBesideTheLabelWithFullStatements()
{
    TMDIChild *label = newLabel();
    tick(label->CheckListBox2, kH220, true);
    setBox(label, true);
    QVERIFY(!window()->isVisible()); // nothing clicked yet

    click(label, 2);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH02"));
    QCOMPARE(window()->pos(), QPoint(20 + 5 + 150, 10 + 7 + 148));
    QVERIFY(desk()->messages.isEmpty());

    // Every code of the file shows as its full statement, sorted.
    const QStringList codes = TextFile::readLines(m_dir->file("HP2"));
    const QStringList shown = itemTexts(window()->CBL);
    QCOMPARE(shown.size(), codes.size());
    for (const QString &code : codes)
        QVERIFY2(shown.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(code) + ":")).size()
                     == 1,
                 qPrintable(code));
    QCOMPARE(shown.last(), QStringLiteral("P501: Éliminer le contenu/récipient dans …"));
    QCOMPARE(shown.first(), QStringLiteral("H206: Danger d’incendie, d’effet de souffle ou de projection; "
                                           "risque accru d’explosion en cas de réduction de l’agent "
                                           "désensibilisant."));
    // Ticked where the label has them.
    QVERIFY(ticked(window()->CBL, kH220));
    QCOMPARE(std::count_if(shown.begin(), shown.end(), [&](const QString &t) { return ticked(window()->CBL, t); }), 1);

    // A click shows the line in the list's hint; Fermer hides, the box stays set.
    QListWidgetItem *item = find(window()->CBL, kH220);
    const QRect rect = window()->CBL->visualItemRect(item);
    QTest::mouseClick(window()->CBL->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 40, rect.center().y()));
    QCOMPARE(window()->CBL->toolTip(), kH220);
    QTest::mouseClick(window()->Button1, Qt::LeftButton);
    QVERIFY(!window()->isVisible());
    QVERIFY(label->CBH->isChecked());
}

void TestHPpicto::clearedBoxRebuildsWithoutShowing()
{
    TMDIChild *label = newLabel();
    click(label, 5);
    QVERIFY(!window()->isVisible());
    QVERIFY(find(window()->CBL, kH314));
    QCOMPARE(window()->CBL->count(), 18);

    // Setting the box shows that content, without reading the file again.
    m_dir->write("HP5", "H200\r\n");
    setBox(label, true);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->CBL->count(), 18);
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH05"));

    // Shown again where it was left.
    window()->move(300, 200);
    setBox(label, false);
    QVERIFY(!window()->isVisible());
    setBox(label, true);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->pos(), QPoint(300, 200));

    // With the box set, a click on another pictogram rebuilds and places it.
    click(label, 4);
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH04"));
    QCOMPARE(window()->CBL->count(), 6);
    QCOMPARE(window()->pos(), QPoint(175, 165));
}

void TestHPpicto::boxBeforeAnyClickShowsNothing()
{
    TMDIChild *label = newLabel();
    setBox(label, true);
    QVERIFY(!window()->isVisible());
    setBox(label, false);
    setBox(label, true);
    QVERIFY(!window()->isVisible());
    QCOMPARE(window()->CBL->count(), 0);

    // The last click belongs to each label: a click in another one does not
    // make this one's box show the window.
    TMDIChild *other = newLabel();
    click(other, 9);
    QVERIFY(!window()->isVisible());
    frame()->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(label->parentWidget()));
    setBox(label, false);
    setBox(label, true);
    QVERIFY(!window()->isVisible());
}

void TestHPpicto::releaseAwayFromTheImageBuildsNothing()
{
    TMDIChild *label = newLabel();
    setBox(label, true);
    QLabel *image = label->pictogramImages[6];
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(60, 10)); // dragged off to the right
    QCOMPARE(label->document().pictograms, QStringList{"SGH07"});    // the press selected it
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH07"));
    QVERIFY(!window()->isVisible());
    QCOMPARE(window()->CBL->count(), 0);

    // A selected pictogram's click reaches its frame: it is removed, nothing is built.
    click(label, 4);
    QVERIFY(window()->isVisible());
    const QStringList before = itemTexts(window()->CBL);
    QTest::mouseClick(label->selectionFrames[3], Qt::LeftButton);
    QCOMPARE(label->document().pictograms, QStringList{"SGH07"});
    QCOMPARE(itemTexts(window()->CBL), before);
}

void TestHPpicto::pressThatAsksBuildsOnce()
{
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 5);
    QCOMPARE(window()->CBL->count(), 18);

    // On the desktop the message box opened by the press takes the release
    // with it; the list still follows the pictogram once the box has closed.
    desk()->answers.enqueue(Desktop::Yes);
    QTest::mousePress(label->pictogramImages[6], Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(label->document().pictograms, (QStringList{"SGH05", "SGH07"}));
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH07"));
    QTRY_COMPARE(window()->CBL->count(), 34);
    QVERIFY(find(window()->CBL, kH315));
    QVERIFY(window()->isVisible());

    // When the release does come, the list is built once: one warning only.
    QFile::remove(m_dir->file("HP8"));
    desk()->answers.enqueue(Desktop::Yes);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("HPx"));
    click(label, 8);
    QTest::qWait(50);
    QCOMPARE(desk()->messages.size(), 3);
    QCOMPARE(desk()->messages.at(1).title, QStringLiteral("REMARQUE"));
    QCOMPARE(desk()->messages.at(2).text, QStringLiteral("Les fichiers '' HPx '' sont introuvables.\n"
                                                         "Aucune suggestion possible!"));
    QCOMPARE(window()->CBL->count(), 0);
}

void TestHPpicto::codeWithoutTheCatalogueBlankStaysBare()
{
    m_dir->write("H.txt", "H300 : Mortel en cas d'ingestion.\r\nH310: Mortel par contact cutan\xe9.\r\n"
                          "h330: minuscule\r\n");
    m_dir->write("P.txt", "P260: Ne pas respirer.\r\nP264: Se laver.\r\n");
    m_dir->write("EUH.txt", "EUH070: Toxique par contact oculaire.\r\n");
    m_dir->write("HP6", "H300\r\nH310\r\nH330\r\nP264\r\nEUH070\r\nH300 \r\n");
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 6);
    QCOMPARE(itemTexts(window()->CBL),
             (QStringList{"EUH070", "H300", "H300 : Mortel en cas d'ingestion.", "H310: Mortel par contact cutané.",
                          "H330", "P264: Se laver."}));
    // A raw line changes nothing when ticked.
    tick(window()->CBL, "EUH070", true);
    tick(window()->CBL, "H300", true);
    QVERIFY(!ticked(label->CheckListBox4, "EUH070: Toxique par contact oculaire."));
    QVERIFY(!ticked(label->CheckListBox2, "H300 : Mortel en cas d'ingestion."));
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("---"));
}

void TestHPpicto::ticksGoToTheActiveLabel()
{
    TMDIChild *first = newLabel();
    tick(first->CheckListBox2, kH314, true); // ticked by hand
    setBox(first, true);
    click(first, 5);
    QVERIFY(ticked(window()->CBL, kH314));

    // Unticking the suggestion unticks the hand-ticked statement.
    tick(window()->CBL, kH314, false);
    QVERIFY(!ticked(first->CheckListBox2, kH314));
    QCOMPARE(first->LabHPEUH->text(), QStringLiteral("---"));

    tick(window()->CBL, kH290, true);
    QVERIFY(ticked(first->CheckListBox2, kH290));
    QCOMPARE(first->LabHPEUH->text(), QStringLiteral("H290"));

    // The list stays; ticking acts on whichever label is active now.
    TMDIChild *second = newLabel();
    QCOMPARE(frame()->activeLabel(), second);
    tick(window()->CBL, kH318, true);
    QVERIFY(ticked(second->CheckListBox2, kH318));
    QVERIFY(!ticked(first->CheckListBox2, kH318));
    QCOMPARE(second->LabHPEUH->text(), QStringLiteral("H318"));
}

void TestHPpicto::tickingOneSuggestionLeavesOtherMarksAlone()
{
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 5);
    QVERIFY(!ticked(window()->CBL, kH314));
    // Ticked by hand after the list was built: the list does not show it...
    tick(label->CheckListBox2, kH314, true);
    // ...and ticking another suggestion must not take it off the label.
    tick(window()->CBL, kH318, true);
    QVERIFY(ticked(label->CheckListBox2, kH318));
    QVERIFY(ticked(label->CheckListBox2, kH314));
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H314, H318"));
}

void TestHPpicto::allNoneDoubleClickAndEnter()
{
    TMDIChild *label = newLabel();
    tick(label->CheckListBox3, QStringLiteral("P102: Tenir hors de portée des enfants."), true);
    setBox(label, true);
    click(label, 7);
    const int count = window()->CBL->count();
    QVERIFY(count > 20);

    // With the preview showing, every change redraws it once.
    frame()->Apercu1->trigger();
    TFormApercu *preview = m_program->app->apercu();
    QVERIFY(preview->isVisible());
    int redraws = preview->refreshCount();

    QTest::mouseClick(window()->B_all, Qt::LeftButton);
    for (int i = 0; i < count; ++i)
        QCOMPARE(window()->CBL->item(i)->checkState(), Qt::Checked);
    QVERIFY(ticked(label->CheckListBox2, kH315));
    QVERIFY(ticked(label->CheckListBox3, QStringLiteral("P264: Se laver … soigneusement après manipulation.")));
    QVERIFY(label->LabHPEUH->text().startsWith(QStringLiteral("H302, ")));
    QCOMPARE(preview->refreshCount(), redraws + 1);
    redraws = preview->refreshCount();

    QTest::mouseClick(window()->B_0, Qt::LeftButton);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("P102")); // only the suggested statements go
    QCOMPARE(preview->refreshCount(), redraws + 1);

    // Double-click and Enter invert the current line.
    QListWidgetItem *item = find(window()->CBL, kH315);
    window()->CBL->setCurrentItem(item);
    const QPoint onText = window()->CBL->visualItemRect(item).topLeft() + QPoint(40, 5);
    QTest::mouseClick(window()->CBL->viewport(), Qt::LeftButton, {}, onText);
    QTest::mouseDClick(window()->CBL->viewport(), Qt::LeftButton, {}, onText);
    QTest::mouseRelease(window()->CBL->viewport(), Qt::LeftButton, {}, onText);
    QCOMPARE(item->checkState(), Qt::Checked);
    QVERIFY(ticked(label->CheckListBox2, kH315));
    QTest::keyClick(window()->CBL, Qt::Key_Return);
    QCOMPARE(item->checkState(), Qt::Unchecked);
    QVERIFY(!ticked(label->CheckListBox2, kH315));
    QTest::keyClick(window()->CBL, Qt::Key_Enter);
    QVERIFY(ticked(label->CheckListBox2, kH315));
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H315, P102"));

    // With no current line, Enter does nothing.
    window()->CBL->setCurrentItem(nullptr);
    QTest::keyClick(window()->CBL, Qt::Key_Return);
    QCOMPARE(label->LabHPEUH->text(), QStringLiteral("H315, P102"));
}

void TestHPpicto::ticksFromTheWindowChangeTheLabel()
{
    // New label, suggestions on, SGH05, saved; then "Tous" and closing the
    // window: the ticks must not be lost without the save question.
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 5);
    QVERIFY(window()->isVisible());
    const QString path = m_dir->file(QStringLiteral("acide.kvln"));
    desk()->saveAnswers.enqueue(path);
    frame()->Enregistrer1->trigger();
    QVERIFY(!label->isModified());

    // Unticking what is not ticked changes nothing.
    QTest::mouseClick(window()->B_0, Qt::LeftButton);
    QVERIFY(!label->isModified());

    QTest::mouseClick(window()->B_all, Qt::LeftButton);
    QVERIFY(ticked(label->CheckListBox2, kH314));
    QVERIFY(label->isModified());
    desk()->answers.enqueue(Desktop::Cancel);
    label->parentWidget()->close();
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("CONFIRMATION: ") + TMDIChild::kDiscardQuestion.arg(QStringLiteral("acide.kvln"))});
    QCOMPARE(frame()->labelCount(), 1);

    // "Aucun" and a single tick mark the label too.
    label->setModified(false);
    QTest::mouseClick(window()->B_0, Qt::LeftButton);
    QVERIFY(!ticked(label->CheckListBox2, kH314));
    QVERIFY(label->isModified());
    label->setModified(false);
    tick(window()->CBL, kH290, true);
    QVERIFY(ticked(label->CheckListBox2, kH290));
    QVERIFY(label->isModified());
}

void TestHPpicto::missingOrBadFilesWarnEveryTime()
{
    const QString missing = QStringLiteral("AVERTISSEMENT: Les fichiers '' HPx '' sont introuvables.\n"
                                           "Aucune suggestion possible!");
    QFile::remove(m_dir->file("HP5"));
    TMDIChild *label = newLabel();
    click(label, 4);
    QVERIFY(window()->CBL->count() > 0);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("HPx"));
    click(label, 5); // selects SGH05, box cleared
    QCOMPARE(desk()->messageLines(), QStringList{missing});
    QCOMPARE(desk()->messages.last().icon, Desktop::Icon::Warning);
    QCOMPARE(window()->CBL->count(), 0);
    QCOMPARE(label->document().pictograms, (QStringList{"SGH04", "SGH05"}));

    // Again on the next release over it, now with the box set: the empty list shows.
    QTest::mouseClick(label->selectionFrames[4], Qt::LeftButton);
    setBox(label, true);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("HPx"));
    click(label, 5);
    QCOMPARE(desk()->messageLines(), (QStringList{missing, missing}));
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->CBL->count(), 0);

    // A huge or binary file is refused the same way, without hanging.
    QFile huge(m_dir->file("HP8"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(2) * 1024 * 1024 * 1024));
    huge.close();
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("trop volumineux"));
    click(label, 8);
    QVERIFY(desk()->messageLines().last().contains(QStringLiteral("'' HP8 '' est trop volumineux")));
    QCOMPARE(window()->CBL->count(), 0);
    m_dir->write("HP1", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x20", 20));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("pas un fichier texte"));
    click(label, 1);
    QCOMPARE(desk()->messageLines().last(),
             QStringLiteral("AVERTISSEMENT: Le fichier de suggestions '' HP1 '' n'est pas un fichier texte.\n"
                            "Aucune suggestion possible!"));
    QCOMPARE(window()->CBL->count(), 0);
    QCOMPARE(desk()->messages.size(), 4);
}

void TestHPpicto::keptOnScreenAndClearOfThePreview()
{
    const QRect screen = frame()->screen()->availableGeometry();
    TMDIChild *label = newLabel();
    setBox(label, true);

    // The computed place falls off the bottom-right of the screen.
    frame()->move(screen.right() - 250, screen.bottom() - 200);
    click(label, 9);
    QVERIFY(window()->isVisible());
    QVERIFY(screen.contains(window()->frameGeometry()));
    QCOMPARE(window()->frameGeometry().bottomRight(), screen.bottomRight());

    // The floating preview lies over the computed place: the window goes beside it.
    frame()->move(20, 10);
    frame()->Apercu1->trigger();
    TFormApercu *preview = m_program->app->apercu();
    QVERIFY(preview->isVisible());
    preview->move(150, 300);
    click(label, 4);
    QVERIFY(window()->isVisible());
    QVERIFY(!window()->frameGeometry().intersects(preview->frameGeometry()));
    QVERIFY(screen.contains(window()->frameGeometry()));

    // Shown again through the box where it was left, unless the preview now
    // lies over that place.
    setBox(label, false);
    window()->move(350, 100);
    QVERIFY(window()->frameGeometry().intersects(preview->frameGeometry()));
    setBox(label, true);
    QVERIFY(window()->isVisible());
    QVERIFY(!window()->frameGeometry().intersects(preview->frameGeometry()));
    QVERIFY(screen.contains(window()->frameGeometry()));

    // The preview coming up over the shown window makes it step aside.
    preview->close();
    window()->move(350, 100);
    QVERIFY(window()->frameGeometry().intersects(preview->frameGeometry()));
    frame()->Apercu1->trigger();
    QVERIFY(preview->isVisible());
    QVERIFY(!window()->frameGeometry().intersects(preview->frameGeometry()));
    QVERIFY(screen.contains(window()->frameGeometry()));
}

void TestHPpicto::wideEnoughAndWhereTheUserLeftIt()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("n'est pas compatible"));
    const QRect screen = frame()->screen()->availableGeometry();
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 5);
    QVERIFY(window()->isVisible());
    QVERIFY(screen.contains(window()->frameGeometry()));

    // As wide as its longest statement allows within half the screen, and
    // every statement shown whole: one that is wider wraps onto as many lines
    // as it needs.
    QListWidget *list = window()->CBL;
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (const QString &text : itemTexts(list))
        widest = std::max(widest, metrics.horizontalAdvance(text));
    QVERIFY(widest > 400);
    QVERIFY2(window()->width() >= std::min(widest, screen.width() / 2 - 60), qPrintable(QString::number(window()->width())));
    QVERIFY(window()->width() <= std::max(231, screen.width() / 2));
    list->doItemsLayout();
    for (int i = 0; i < list->count(); ++i) {
        const QRect r = list->visualItemRect(list->item(i));
        const int lines = metrics.boundingRect(QRect(0, 0, r.width(), 1 << 20), Qt::TextWordWrap,
                                               list->item(i)->text()).height() / metrics.lineSpacing();
        QVERIFY2(r.height() >= lines * metrics.lineSpacing(), qPrintable(list->item(i)->text()));
    }

    // Moved by the user, it stays there when the next pictogram asks a
    // question first, and when it is built again for another pictogram.
    const QPoint left(screen.left() + 3, screen.top() + 5);
    window()->move(left);
    desk()->answers.enqueue(Desktop::Yes);
    QTest::mousePress(label->pictogramImages[6], Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_COMPARE(window()->windowTitle(), QStringLiteral("SGH07"));
    QCOMPARE(desk()->messages.size(), 1);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->pos(), left);
    click(label, 2);
    QCOMPARE(window()->windowTitle(), QStringLiteral("SGH02"));
    QCOMPARE(window()->pos(), left);
    QTest::mouseClick(window()->Button1, Qt::LeftButton);
    click(label, 3);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->pos(), left);
}

void TestHPpicto::hiddenByTabChangeRemovalAndLastClose()
{
    TMDIChild *label = newLabel();
    setBox(label, true);
    click(label, 3);
    QVERIFY(window()->isVisible());
    label->PageControl1->setCurrentIndex(1);
    QVERIFY(!window()->isVisible());
    label->PageControl1->setCurrentIndex(0);

    // The box shows it again; a double-click removal hides it and forgets the
    // last click, so the box shows nothing afterwards.
    setBox(label, false);
    setBox(label, true);
    QVERIFY(window()->isVisible());
    label->LB_picto->setCurrentRow(0);
    label->LB_pictoDblClick();
    QVERIFY(!window()->isVisible());
    QCOMPARE(label->lastClickedPictogram(), 0);
    setBox(label, false);
    setBox(label, true);
    QVERIFY(!window()->isVisible());

    // Closing the last label window closes it (the pictograms changed the
    // label: its question is answered "Non").
    click(label, 3);
    QVERIFY(window()->isVisible());
    desk()->answers.enqueue(Desktop::No);
    frame()->mdiArea->closeAllSubWindows();
    QCOMPARE(frame()->labelCount(), 0);
    QVERIFY(!window()->isVisible());
}

QTEST_MAIN(TestHPpicto)
#include "gui_hppicto.moc"
