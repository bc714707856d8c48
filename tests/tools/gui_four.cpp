#include "testhelpers.h"
#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/apercu.h"
#include "render/jpegcodec.h"
#include "render/labelcontent.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/four.h"
#include "tools/suppliercard.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QString kSampleCard = QStringLiteral("Kalvane/fournisseurs/Chimie Lyonnaise SA.fab");
const QString kSampleLogo = QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg");
const QString kSampleText = QStringLiteral("Chimie Lyonnaise SA\n12 rue des Verriers - 69007 Lyon\n"
                                           "Tél. : 04 65 71 23 45\nUrgence : ORFILA 01 45 42 59 59");

QStringList items(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// Pixels of the preview's top right quarter close to pure green.
int greenPixels(const QImage &picture)
{
    int n = 0;
    for (int y = 0; y < picture.height() / 2; ++y)
        for (int x = picture.width() / 2; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            n += c.green() > 120 && c.red() < 60 && c.blue() < 60;
        }
    return n;
}

} // namespace

class TestFour : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowAndControls();
    void handOverFromTheLabel();
    void sampleCardLoadsWithItsLogo();
    void cardsWithoutUsableLogo();
    void badCardsKeepTheListUsable();
    void savingAddsTheCardInItsPlace();
    void savingOverACardAsksFirst();
    void refusedNamesWriteNothing();
    void deletingTheOnlyCardEmptiesEverything();
    void minusKeyTrashesAndSelectsThePrevious();
    void unavailableTrashKeepsTheCard();
    void choosingRemovingAndEmpting();
    void copyIntoTheActiveLabel();
    void copyGivesTheLabelTheWholeText();
    void cardWorkLeavesTheLabelsLogoAlone();
    void activationRebuildsTheList();

private:
    TFour *four() const { return m_program->app->four(); }
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    QString folder() const { return m_dir->path() + QStringLiteral("/Kalvane/fournisseurs/"); }
    void click(int row);
    void writeCard(const QString &name, const QByteArray &bytes);
    TMDIChild *newLabel();

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
};

void TestFour::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_dir->copyData(kSampleCard);
    m_dir->copyData(kSampleLogo);
    m_program = std::make_unique<TestProgram>();
    four()->show();
    four()->FormActivate();
}

void TestFour::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

void TestFour::click(int row)
{
    QListWidget *list = four()->LBfab;
    QVERIFY(row >= 0 && row < list->count());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void TestFour::writeCard(const QString &name, const QByteArray &bytes)
{
    m_dir->write(QStringLiteral("Kalvane/fournisseurs/") + name, bytes);
}

TMDIChild *TestFour::newLabel()
{
    frame()->Nouveau1->trigger();
    return frame()->activeLabel();
}

void TestFour::windowAndControls()
{
    TFour *w = four();
    QCOMPARE(w->objectName(), QStringLiteral("TFour"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Fournisseur"));
    QCOMPARE(w->GroupBox1->title(), QStringLiteral("Fiche du fournisseur"));
    QCOMPARE(w->GroupBox2->title(), QStringLiteral("Liste personnelle"));
    const QList<std::tuple<QPushButton *, const char *, QString, QString>> buttons = {
        {w->Button1, "Button1", QStringLiteral("&Copier"), QStringLiteral("Copier les données dans l'étiquette en cours")},
        {w->Button2, "Button2", QStringLiteral("Enregi&strer"),
         QStringLiteral("Ajouter/Modifier la fiche dans la liste personnelle")},
        {w->Button3, "Button3", QStringLiteral("&Supprimer"), QStringLiteral("Supprimer le fournisseur sélectionné")},
        {w->Button4, "Button4", QStringLiteral("&Fermer"), QStringLiteral("Quiitter")},
    };
    for (const auto &[b, name, caption, hint] : buttons) {
        QCOMPARE(w->findChild<QPushButton *>(QString::fromLatin1(name)), b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), hint);
    }
    QCOMPARE(w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_fab")), w->Memo_fab);
    QCOMPARE(w->findChild<QListWidget *>(QStringLiteral("LBfab")), w->LBfab);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Logo"))->toolTip(), QStringLiteral("Choisir le logo"));
    QCOMPARE(w->findChild<QToolButton *>(QStringLiteral("Image1"))->toolTip(), QStringLiteral("Supprimer le logo"));
    QCOMPARE(w->findChild<QToolButton *>(QStringLiteral("Image3"))->toolTip(), QStringLiteral("Effacer"));
    QLabel *labLogo = w->findChild<QLabel *>(QStringLiteral("LabLOGO"));
    QCOMPARE(labLogo->text(), QStringLiteral("Logo Fournisseur"));
    QVERIFY(!labLogo->isVisible());

    QCOMPARE(items(w->LBfab), QStringList{QStringLiteral("Chimie Lyonnaise SA.fab")});
    QCOMPARE(w->LBfab->property("tag").toInt(), -1);
    QVERIFY(w->Memo_fab->toPlainText().isEmpty());
    QVERIFY(!w->Button1->isEnabled());
    QVERIFY(!w->Button2->isEnabled());
    QVERIFY(!w->Button3->isEnabled());
    QVERIFY(w->Button4->isEnabled());

    // Typing enables copy and save; emptying disables them.
    QTest::keyClicks(w->Memo_fab, QStringLiteral("A"));
    QVERIFY(w->Button1->isEnabled() && w->Button2->isEnabled());
    w->Memo_fab->clear();
    QVERIFY(!w->Button1->isEnabled() && !w->Button2->isEnabled());

    w->Button4->click();
    QVERIFY(!w->isVisible());
}

void TestFour::handOverFromTheLabel()
{
    four()->hide();
    TMDIChild *label = newLabel();
    QVERIFY(label);
    label->Memo_F->setPlainText(QStringLiteral("Labo Martin\nGrenoble"));
    frame()->mirrors.logoPath = QStringLiteral("/elsewhere/other.jpg");
    label->findChild<QToolButton *>(QStringLiteral("Image7"))->click();

    QVERIFY(four()->isVisible());
    QCOMPARE(four()->Memo_fab->toPlainText(), QStringLiteral("Labo Martin\nGrenoble"));
    // The current logo path is the label's; the label keeps its own.
    QCOMPARE(frame()->mirrors.logoPath, QStringLiteral("logo"));
    QCOMPARE(four()->cardLogoPath(), QStringLiteral("logo"));
    QCOMPARE(label->LabLOGO->text(), QStringLiteral("logo"));
    QCOMPARE(items(four()->LBfab), QStringList{QStringLiteral("Chimie Lyonnaise SA.fab")});
    QVERIFY(four()->LBfab->selectedItems().isEmpty());
    QVERIFY(four()->Button1->isEnabled() && four()->Button2->isEnabled());
    QVERIFY(!four()->Button3->isEnabled());
    QVERIFY(desk()->messages.isEmpty());
}

void TestFour::sampleCardLoadsWithItsLogo()
{
    click(0);
    QCOMPARE(four()->Memo_fab->toPlainText(), kSampleText);
    // The card's relative, backslashed logo path is found from the start directory.
    const QString logo = QDir(m_dir->path()).absoluteFilePath(kSampleLogo);
    QCOMPARE(four()->cardLogoPath(), logo);
    QCOMPARE(four()->LabLOGO->text(), logo);
    QVERIFY(!four()->logoPicture().isNull());
    QVERIFY(!four()->Logo->pixmap().isNull());
    QVERIFY(four()->Button1->isEnabled() && four()->Button2->isEnabled() && four()->Button3->isEnabled());
    QCOMPARE(four()->LBfab->property("tag").toInt(), 0);
    QVERIFY(desk()->messages.isEmpty());
}

void TestFour::cardsWithoutUsableLogo()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("« faux.jpg » n'est pas une image JPEG."));
    writeCard(QStringLiteral("A sans logo.fab"), "A sans logo\r\nParis\r\n\r\n");
    writeCard(QStringLiteral("B logo perdu.fab"), "B logo perdu\r\n/nulle/part/logo.jpg\r\n");
    m_dir->write(QStringLiteral("faux.jpg"), "not a picture");
    writeCard(QStringLiteral("C logo illisible.fab"), "C logo illisible\r\nfaux.jpg\r\n");
    four()->FormActivate();
    QCOMPARE(four()->LBfab->count(), 4);

    // Load a card with a logo first, so that each case below has to clear it.
    for (int row : {0, 1, 2}) {
        click(3);
        QVERIFY(!four()->logoPicture().isNull());
        click(row);
        QVERIFY(four()->logoPicture().isNull());
        QVERIFY(four()->Logo->pixmap().isNull());
        QVERIFY(four()->cardLogoPath().isEmpty());
        QVERIFY(four()->Button3->isEnabled());
    }
    QCOMPARE(four()->Memo_fab->toPlainText(), QStringLiteral("C logo illisible"));
    // A missing logo is silent and its path stays on the card; an unreadable one is reported.
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.at(0).title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(desk()->messages.at(0).text.endsWith(TFour::kLogoNotUsed));
    click(1);
    QCOMPARE(four()->LabLOGO->text(), QStringLiteral("/nulle/part/logo.jpg"));
    QCOMPARE(desk()->messages.size(), 1);
}

void TestFour::badCardsKeepTheListUsable()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La fiche « A vide.fab » est vide : il lui manque au moins"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La fiche « B utf8.fab » est enregistrée en UTF-8 et non en"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le chemin du logo compte 302 caractères, 259 au plus sont"));
    writeCard(QStringLiteral("A vide.fab"), QByteArray());
    writeCard(QStringLiteral("B utf8.fab"), "Soci\xC3\xA9t\xC3\xA9\r\n\r\n");
    // A logo that exists, but whose full path is longer than the label can keep.
    const QString deep = QString(120, u'd') + QStringLiteral("/") + QString(150, u'e') + QStringLiteral(".jpg");
    m_dir->write(deep, TestPictures::solidJpeg(QSize(120, 60), Qt::blue));
    QVERIFY(m_dir->file(deep).size() > FrameMirrors::kLogoPathMax);
    writeCard(QStringLiteral("D long.fab"), "D long\r\n" + deep.toLatin1() + "\r\n");
    four()->FormActivate();
    QCOMPARE(items(four()->LBfab), (QStringList{QStringLiteral("A vide.fab"), QStringLiteral("B utf8.fab"),
                                                QStringLiteral("Chimie Lyonnaise SA.fab"), QStringLiteral("D long.fab")}));
    click(2);
    click(0);
    click(1);
    // Each bad card is reported once; the card on screen stays.
    QCOMPARE(desk()->messages.size(), 2);
    QVERIFY(desk()->messages.at(0).text.contains(QStringLiteral("vide")));
    QVERIFY(desk()->messages.at(1).text.contains(QStringLiteral("UTF-8")));
    QVERIFY(desk()->messages.at(1).text.endsWith(TFour::kNotLoaded));
    QCOMPARE(four()->Memo_fab->toPlainText(), kSampleText);
    // The bad card is selected and can be deleted.
    QVERIFY(four()->Button3->isEnabled());
    four()->Button3->click();
    QCOMPARE(desk()->trashed, QStringList{folder() + QStringLiteral("B utf8.fab")});
    // A logo path too long for the label: the card loads without its logo, with a word.
    click(2);
    QCOMPARE(four()->LBfab->item(2)->text(), QStringLiteral("D long.fab"));
    QCOMPARE(four()->Memo_fab->toPlainText(), QStringLiteral("D long"));
    QVERIFY(four()->cardLogoPath().isEmpty());
    QVERIFY(four()->logoPicture().isNull());
    QCOMPARE(desk()->messages.size(), 3);
    QVERIFY(desk()->messages.at(2).text.contains(QStringLiteral("259")));
    QVERIFY(desk()->messages.at(2).text.endsWith(TFour::kLogoNotUsed));
}

void TestFour::savingAddsTheCardInItsPlace()
{
    m_dir->write(QStringLiteral("logos/bidule.jpg"), TestPictures::solidJpeg(QSize(120, 60), Qt::red));
    const QString logo = m_dir->file(QStringLiteral("logos/bidule.jpg"));
    desk()->openAnswers.enqueue({logo});
    QTest::mouseClick(four()->Logo, Qt::LeftButton);
    QTest::keyClicks(four()->Memo_fab, QStringLiteral("Bidule SA"));
    QTest::keyClick(four()->Memo_fab, Qt::Key_Return);
    QTest::keyClicks(four()->Memo_fab, QStringLiteral("Rue de l'Étoile"));
    four()->Button2->click();
    // The logo was copied into the suppliers folder; the card names the copy.
    QCOMPARE(m_dir->read(QStringLiteral("Kalvane/fournisseurs/Bidule SA.fab")),
             QByteArray("Bidule SA\r\nRue de l'\xC9toile\r\nKalvane\\fournisseurs\\bidule.jpg\r\n"));
    QCOMPARE(items(four()->LBfab),
             (QStringList{QStringLiteral("Bidule SA.fab"), QStringLiteral("Chimie Lyonnaise SA.fab")}));

    four()->Memo_fab->setPlainText(QStringLiteral("acme\nLyon"));
    four()->Button2->click();
    four()->Memo_fab->setPlainText(QStringLiteral("Électro Sud"));
    four()->Button2->click();
    QCOMPARE(items(four()->LBfab),
             (QStringList{QStringLiteral("acme.fab"), QStringLiteral("Bidule SA.fab"),
                          QStringLiteral("Chimie Lyonnaise SA.fab"), QStringLiteral("Électro Sud.fab")}));
    // The list is refilled: nothing selected, nothing to delete.
    QVERIFY(four()->LBfab->selectedItems().isEmpty());
    QVERIFY(!four()->Button3->isEnabled());
    QVERIFY(desk()->messages.isEmpty());

    // Read back, the saved card brings its logo.
    click(1);
    QCOMPARE(four()->Memo_fab->toPlainText(), QStringLiteral("Bidule SA\nRue de l'Étoile"));
    QCOMPARE(four()->cardLogoPath(), folder() + QStringLiteral("bidule.jpg"));
    QVERIFY(!four()->logoPicture().isNull());
}

void TestFour::savingOverACardAsksFirst()
{
    const QByteArray sample = m_dir->read(kSampleCard);
    four()->Memo_fab->setPlainText(QStringLiteral("Chimie Lyonnaise SA\nNouvelle adresse"));
    desk()->answers.enqueue(Desktop::No);
    four()->Button2->click();
    QCOMPARE(desk()->messageLines(),
             QStringList{QStringLiteral("CONFIRMATION: Voulez-vous remplacer la fiche existante?")});
    QCOMPARE(desk()->messages.at(0).icon, Desktop::Icon::Question);
    QCOMPARE(desk()->messages.at(0).buttons, Desktop::Buttons(Desktop::Yes | Desktop::No));
    QCOMPARE(m_dir->read(kSampleCard), sample);

    desk()->answers.enqueue(Desktop::Yes);
    four()->Button2->click();
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(m_dir->read(kSampleCard), QByteArray("Chimie Lyonnaise SA\r\nNouvelle adresse\r\n\r\n"));
    QCOMPARE(four()->LBfab->count(), 1);
}

void TestFour::refusedNamesWriteNothing()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La première ligne de la fiche (le nom du fournisseur) est"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La première ligne de la fiche ne contient que des espaces :"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom du fournisseur « ../../Evil » contient le caractère"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom du fournisseur « /tmp/evil » contient le caractère «"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom du fournisseur « ..\\Evil » contient le caractère « \\"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("« . » ne peut pas servir de nom de fichier."));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("« .. » ne peut pas servir de nom de fichier."));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom du fournisseur contient un caractère de contrôle"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nom du fournisseur est trop long pour nommer un fichier"));
    const QStringList before = TestFiles::allFiles(m_dir->path());
    const QStringList refused = {QString(), QStringLiteral("   "), QStringLiteral("../../Evil"),
                                 QStringLiteral("/tmp/evil"), QStringLiteral("..\\Evil"), QStringLiteral("."),
                                 QStringLiteral(".."), QStringLiteral("ACME\tSA"), QString(300, u'A')};
    for (const QString &first : refused) {
        four()->Memo_fab->setPlainText(first + QStringLiteral("\nadresse"));
        four()->Button2->click();
    }
    QCOMPARE(desk()->messages.size(), refused.size());
    for (const ScriptedDesktop::Message &m : desk()->messages) {
        QCOMPARE(m.title, QStringLiteral("AVERTISSEMENT"));
        QCOMPARE(m.icon, Desktop::Icon::Warning);
        QVERIFY2(m.text.endsWith(TFour::kNotSaved), qPrintable(m.text));
    }
    QCOMPARE(TestFiles::allFiles(m_dir->path()), before);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/evil.fab")));
}

void TestFour::deletingTheOnlyCardEmptiesEverything()
{
    click(0);
    four()->Button3->click();
    QCOMPARE(desk()->trashed, QStringList{folder() + QStringLiteral("Chimie Lyonnaise SA.fab")});
    QVERIFY(!QFileInfo::exists(m_dir->file(kSampleCard)));
    QVERIFY(QFileInfo::exists(m_dir->file(kSampleLogo))); // only the card goes
    QCOMPARE(four()->LBfab->count(), 0);
    QVERIFY(four()->LBfab->selectedItems().isEmpty());
    QCOMPARE(four()->LBfab->property("tag").toInt(), -1);
    QVERIFY(four()->Memo_fab->toPlainText().isEmpty());
    QVERIFY(four()->Logo->pixmap().isNull());
    QVERIFY(four()->cardLogoPath().isEmpty());
    QVERIFY(!four()->Button1->isEnabled() && !four()->Button2->isEnabled() && !four()->Button3->isEnabled());
    // Nothing selected: nothing happens.
    four()->Button3Click();
    QCOMPARE(desk()->trashed.size(), 1);
    QVERIFY(desk()->messages.isEmpty());
}

void TestFour::minusKeyTrashesAndSelectsThePrevious()
{
    for (const char *name : {"Alpha", "Beta"})
        writeCard(QString::fromLatin1(name) + QStringLiteral(".fab"), QByteArray(name) + "\r\n\r\n");
    four()->FormActivate();
    QCOMPARE(items(four()->LBfab), (QStringList{QStringLiteral("Alpha.fab"), QStringLiteral("Beta.fab"),
                                                QStringLiteral("Chimie Lyonnaise SA.fab")}));
    click(2);
    QTest::keyClick(four()->LBfab, Qt::Key_Minus, Qt::NoModifier);
    QCOMPARE(desk()->trashed, QStringList{folder() + QStringLiteral("Chimie Lyonnaise SA.fab")});
    QCOMPARE(items(four()->LBfab), (QStringList{QStringLiteral("Alpha.fab"), QStringLiteral("Beta.fab")}));
    QCOMPARE(four()->LBfab->selectedItems().size(), 1);
    QCOMPARE(four()->LBfab->selectedItems().at(0)->text(), QStringLiteral("Beta.fab"));
    QCOMPARE(four()->LBfab->property("tag").toInt(), 1);
    QVERIFY(four()->Memo_fab->toPlainText().isEmpty());
    QCOMPARE(four()->focusWidget(), four()->LBfab);

    // The arrow keys load a card like a click.
    QTest::keyClick(four()->LBfab, Qt::Key_Up);
    QCOMPARE(four()->Memo_fab->toPlainText(), QStringLiteral("Alpha"));
    QCOMPARE(four()->LBfab->property("tag").toInt(), 0);
    // Deleting the first entry selects nothing.
    QTest::keyClick(four()->LBfab, Qt::Key_Minus, Qt::NoModifier);
    QCOMPARE(items(four()->LBfab), QStringList{QStringLiteral("Beta.fab")});
    QVERIFY(four()->LBfab->selectedItems().isEmpty());
    QVERIFY(!four()->Button3->isEnabled());
    QTest::keyClick(four()->LBfab, Qt::Key_Minus, Qt::NoModifier);
    QCOMPARE(desk()->trashed.size(), 2);
    QVERIFY(QFileInfo::exists(folder() + QStringLiteral("Beta.fab")));
}

void TestFour::unavailableTrashKeepsTheCard()
{
    desk()->trashWorks = false;
    click(0);
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("corbeille"));
    four()->Button3->click();
    const QStringList lines = desk()->messageLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.at(0).startsWith(QStringLiteral("AVERTISSEMENT: ")), qPrintable(lines.at(0)));
    QVERIFY(lines.at(0).contains(QStringLiteral("corbeille")));
    QVERIFY(QFileInfo::exists(m_dir->file(kSampleCard)));
    QCOMPARE(four()->LBfab->count(), 1);
    QCOMPARE(four()->Memo_fab->toPlainText(), kSampleText);
}

void TestFour::choosingRemovingAndEmpting()
{
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ni une image JPEG ni une image PNG"));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("« faux.jpg » n'est pas une image JPEG."));
    desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le chemin du logo compte 278 caractères, 259 au plus sont"));
    TFour *w = four();
    m_dir->write(QStringLiteral("logos/vert.jpg"), TestPictures::solidJpeg(QSize(120, 60), QColor(0, 160, 0)));
    m_dir->write(QStringLiteral("logos/faux.jpg"), "GIF89a");
    const QString deep = QStringLiteral("logos/") + QString(120, u'd') + u'/' + QString(120, u'e') + QStringLiteral(".jpg");
    m_dir->write(deep, TestPictures::solidJpeg(QSize(120, 60), Qt::blue));
    const QString good = m_dir->file(QStringLiteral("logos/vert.jpg"));

    desk()->openAnswers.enqueue({good});
    w->LogoClick();
    QCOMPARE(desk()->fileDialogs.size(), 1);
    QCOMPARE(desk()->fileDialogs.at(0).title, QStringLiteral("Sélection du Logo"));
    QCOMPARE(desk()->fileDialogs.at(0).filter, QStringLiteral("Images|*.jpg;*.jpeg;*.png"));
    QCOMPARE(desk()->fileDialogs.at(0).folder, folder());
    const QString copied = folder() + QStringLiteral("vert.jpg");
    QCOMPARE(four()->cardLogoPath(), copied);
    QCOMPARE(w->LabLOGO->text(), copied);
    const QImage chosen = w->logoPicture();
    QVERIFY(!chosen.isNull());

    // Cancelled, vanished or not a picture: the logo stays.
    desk()->openAnswers.enqueue({});
    w->LogoClick();
    desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("logos/parti.jpg"))});
    w->LogoClick();
    QVERIFY(desk()->messages.isEmpty());
    desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("logos/faux.jpg"))});
    w->LogoClick();
    QCOMPARE(desk()->messages.size(), 1);
    QVERIFY(desk()->messages.at(0).text.contains(QStringLiteral("ni une image JPEG ni une image PNG")));
    QVERIFY(desk()->messages.at(0).text.endsWith(TFour::kLogoNotChanged));
    QCOMPARE(four()->cardLogoPath(), copied);
    QCOMPARE(w->logoPicture(), chosen);
    // A picture deep in long folders: its copy has a short name.
    desk()->openAnswers.enqueue({m_dir->file(deep)});
    w->LogoClick();
    QCOMPARE(four()->cardLogoPath(), folder() + QString(64, u'e') + QStringLiteral(".jpg"));
    QCOMPARE(desk()->messages.size(), 1);

    // Removing the logo keeps the text; emptying the card clears both.
    w->Memo_fab->setPlainText(QStringLiteral("Vert SA"));
    w->Image1->click();
    QVERIFY(w->Logo->pixmap().isNull());
    QVERIFY(w->LabLOGO->text().isEmpty());
    QVERIFY(four()->cardLogoPath().isEmpty());
    QCOMPARE(w->Memo_fab->toPlainText(), QStringLiteral("Vert SA"));
    desk()->openAnswers.enqueue({good});
    w->LogoClick();
    w->Image3->click();
    QVERIFY(w->Memo_fab->toPlainText().isEmpty());
    QVERIFY(w->logoPicture().isNull());
    QVERIFY(four()->cardLogoPath().isEmpty());
    QVERIFY(!w->Button1->isEnabled() && !w->Button2->isEnabled());
}

void TestFour::copyIntoTheActiveLabel()
{
    // No label open: nothing happens.
    click(0);
    four()->Button1->click();
    QVERIFY(desk()->messages.isEmpty());

    TMDIChild *label = newLabel();
    label->Memo_F->setPlainText(QStringLiteral("Ancien fournisseur"));
    m_dir->write(QStringLiteral("Kalvane/fournisseurs/vert.jpg"), TestPictures::solidJpeg(QSize(120, 60), QColor(0, 160, 0)));
    writeCard(QStringLiteral("Vert SA.fab"), "Vert SA\r\nNantes\r\nKalvane\\fournisseurs\\vert.jpg\r\n");
    frame()->Apercu1->trigger();
    TFormApercu *preview = m_program->app->apercu();
    QVERIFY(preview->isVisible());
    QCOMPARE(greenPixels(preview->shownPicture()), 0);

    four()->FormActivate();
    QCOMPARE(four()->LBfab->item(1)->text(), QStringLiteral("Vert SA.fab"));
    click(1);
    const QString logo = folder() + QStringLiteral("vert.jpg");
    const int before = preview->refreshCount();
    four()->Button1->click();
    QCOMPARE(label->Memo_F->toPlainText(), QStringLiteral("Vert SA\nNantes"));
    QCOMPARE(label->LabLOGO->text(), logo);
    QVERIFY(!label->logoPicture().isNull());
    QCOMPARE(frame()->mirrors.logoPath, logo);
    QVERIFY(preview->refreshCount() > before);
    const LabelContent drawn = frame()->activeContent();
    QCOMPARE(drawn.supplier, QStringLiteral("Vert SA\nNantes"));
    QCOMPARE(drawn.logoPath, logo);
    QVERIFY(greenPixels(preview->shownPicture()) > 100);
    // The label writes its logo line from the copied path.
    QCOMPARE(label->document().logoPath, logo);

    // A double click on the sample card copies it, logo included.
    // (The first click of a double click loads the card.)
    QListWidget *list = four()->LBfab;
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(label->Memo_F->toPlainText(), QStringLiteral("Vert SA\nNantes"));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(label->Memo_F->toPlainText(), kSampleText);
    QCOMPARE(label->LabLOGO->text(), QDir(m_dir->path()).absoluteFilePath(kSampleLogo));
    QCOMPARE(greenPixels(preview->shownPicture()), 0);
    QVERIFY(desk()->messages.isEmpty());
}

void TestFour::copyGivesTheLabelTheWholeText()
{
    // A card longer than the label's typing limit is copied whole: the label
    // keeps what the program puts in, as it keeps a label file's texts.
    TMDIChild *label = newLabel();
    label->Memo_F->setPlainText(QStringLiteral("Fournisseur actuel"));
    const QString line = QString(80, u'x');
    four()->Memo_fab->setPlainText(QStringList{line, line, line, line, QStringLiteral("fin!!!")}.join(u'\n'));
    QVERIFY(four()->Memo_fab->toPlainText().size() > LabelDocument::kSupplierMax);
    label->setModified(false);
    four()->Button1->click();
    QCOMPARE(label->Memo_F->toPlainText(), four()->Memo_fab->toPlainText());
    QVERIFY(label->isModified()); // closing the label asks to save the copied card
    QVERIFY(desk()->messages.isEmpty());
}

void TestFour::cardWorkLeavesTheLabelsLogoAlone()
{
    TMDIChild *label = newLabel();
    click(0);
    four()->Button1->click();
    const QString sampleLogo = QDir(m_dir->path()).absoluteFilePath(kSampleLogo);
    QCOMPARE(frame()->mirrors.logoPath, sampleLogo);

    // Loading another card, choosing or removing a logo and deleting a card
    // change the card on screen only: the label still draws its own logo.
    m_dir->write(QStringLiteral("Kalvane/fournisseurs/vert.jpg"), TestPictures::solidJpeg(QSize(120, 60), QColor(0, 160, 0)));
    writeCard(QStringLiteral("Vert SA.fab"), "Vert SA\r\nKalvane\\fournisseurs\\vert.jpg\r\n");
    four()->FormActivate();
    click(1);
    QCOMPARE(four()->cardLogoPath(), folder() + QStringLiteral("vert.jpg"));
    desk()->openAnswers.enqueue({folder() + QStringLiteral("vert.jpg")});
    four()->LogoClick();
    four()->Image1->click();
    four()->Image3->click();
    click(1);
    four()->Button3->click();
    QCOMPARE(frame()->mirrors.logoPath, sampleLogo);
    QCOMPARE(frame()->activeContent().logoPath, sampleLogo);
    QCOMPARE(label->LabLOGO->text(), sampleLogo);
    QCOMPARE(label->Memo_F->toPlainText(), kSampleText);
}

void TestFour::activationRebuildsTheList()
{
    click(0);
    writeCard(QStringLiteral("Ajout.fab"), "Ajout\r\n\r\n");
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(four(), &deactivate);
    QCOMPARE(four()->LBfab->property("tag").toInt(), 0);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(four(), &activate);
    QCOMPARE(items(four()->LBfab), (QStringList{QStringLiteral("Ajout.fab"), QStringLiteral("Chimie Lyonnaise SA.fab")}));
    QVERIFY(four()->LBfab->selectedItems().isEmpty());
    QVERIFY(!four()->Button3->isEnabled());
    // The card on screen stays.
    QCOMPARE(four()->Memo_fab->toPlainText(), kSampleText);
    QVERIFY(four()->Button1->isEnabled());
}

QTEST_MAIN(TestFour)
#include "gui_four.moc"
