// The windows that follow files and folders: the favourites list follows its
// folder and names open labels in the trash question; supplier logos are
// copied into the suppliers folder; the sheet windows propose the sheet they
// loaded.

#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/jpegcodec.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/favourites.h"
#include "tools/four.h"
#include "tools/planche.h"
#include "tools/printer.h"
#include "tools/sheetfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

QStringList texts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList selectedTexts(QListWidget *list)
{
    QStringList out;
    for (QListWidgetItem *item : list->selectedItems())
        out << item->text();
    out.sort();
    return out;
}

QByteArray solidJpeg(QColor colour)
{
    QImage image(120, 60, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    JpegCodec::encode(image, 95, false, &bytes);
    return bytes;
}

} // namespace

class TestDesktopFolders : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    QString m_fiches;

    TFormRF *rf() const { return m_program->app->formRF(); }
    TFour *four() const { return m_program->app->four(); }
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    QString fiche(const QString &name) const { return QDir(m_fiches).filePath(name); }
    QString suppliers() const { return m_dir->path() + QStringLiteral("/Kalvane/fournisseurs/"); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
        m_fiches = m_dir->file(QStringLiteral("fiches"));
        m_dir->copyData(QStringLiteral("Kalvane/Acetone.kvln"));
        QDir().mkpath(m_fiches);
        QFile::copy(m_dir->file(QStringLiteral("Kalvane/Acetone.kvln")), fiche(QStringLiteral("ACETONE.kvln")));
        QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("acide.kvln")));
        m_dir->write(QStringLiteral("dat.ini"), QFile::encodeName(m_fiches) + "\r\n");
        m_program = std::make_unique<TestProgram>();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void favouritesFollowTheirFolder()
    {
        rf()->show();
        QListWidget *files = rf()->LB_fich;
        QCOMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));
        files->item(1)->setSelected(true);

        // Another program adds, renames and removes labels.
        QVERIFY(QFile::copy(fiche(QStringLiteral("acide.kvln")), fiche(QStringLiteral("BASE.kvln"))));
        QTRY_COMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln"),
                                                QStringLiteral("BASE.kvln")}));
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("3  "));
        // The selection stays on what was selected.
        QCOMPARE(selectedTexts(files), QStringList{QStringLiteral("acide.kvln")});
        QVERIFY(rf()->B_ouvrir->isEnabled());

        QVERIFY(QFile::rename(fiche(QStringLiteral("BASE.kvln")), fiche(QStringLiteral("Chlore.kvln"))));
        QTRY_COMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln"),
                                                QStringLiteral("Chlore.kvln")}));
        QVERIFY(QFile::remove(fiche(QStringLiteral("acide.kvln"))));
        QTRY_COMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("Chlore.kvln")}));
        QVERIFY(selectedTexts(files).isEmpty());
        QVERIFY(!rf()->B_ouvrir->isEnabled());

        // The typed search still applies, without retyping it.
        QTest::keyClicks(rf()->LabRech, QStringLiteral("ch"));
        QCOMPARE(texts(files), QStringList{QStringLiteral("Chlore.kvln")});
        QVERIFY(QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("chaux.kvln"))));
        QVERIFY(QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("soude.kvln"))));
        QTRY_COMPARE(texts(files), (QStringList{QStringLiteral("chaux.kvln"), QStringLiteral("Chlore.kvln")}));

        // A label the program saves there shows too.
        frame()->Nouveau1->trigger();
        desk()->saveAnswers.enqueue(fiche(QStringLiteral("chrome.kvln")));
        frame()->Enregistrer1->trigger();
        QTRY_COMPARE(texts(files), (QStringList{QStringLiteral("chaux.kvln"), QStringLiteral("Chlore.kvln"),
                                                QStringLiteral("chrome.kvln")}));

        // Another folder: the old one is no longer followed.
        const QString other = m_dir->file(QStringLiteral("autres"));
        QDir().mkpath(other);
        QVERIFY(rf()->enterFolder(other));
        QCOMPARE(files->count(), 0);
        QVERIFY(QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), QDir(other).filePath(QStringLiteral("chlorure.kvln"))));
        QVERIFY(QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("chanvre.kvln"))));
        QTRY_COMPARE(texts(files), QStringList{QStringLiteral("chlorure.kvln")});
        QTest::qWait(3 * TFormRF::kRescanDelay);
        QCOMPARE(texts(files), QStringList{QStringLiteral("chlorure.kvln")});
        QVERIFY(desk()->messages.isEmpty());
    }

    void trashQuestionNamesOpenLabels()
    {
        rf()->show();
        m_program->app->openFiles({fiche(QStringLiteral("acide.kvln"))});
        QCOMPARE(frame()->labelWindows().size(), 1);
        QListWidget *files = rf()->LB_fich;
        QCOMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));

        // A label that is not open: the usual question.
        files->item(0)->setSelected(true);
        desk()->answers.enqueue(Desktop::No);
        rf()->B_supp->click();
        QCOMPARE(desk()->messages.last().text,
                 QStringLiteral("Voulez-vous placer ce fichier dans la corbeille ?\n\nACETONE.kvln"));

        // The open one is named as such.
        files->clearSelection();
        files->item(1)->setSelected(true);
        desk()->answers.enqueue(Desktop::No);
        rf()->B_supp->click();
        QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
        QCOMPARE(desk()->messages.last().text,
                 QStringLiteral("Voulez-vous placer ce fichier dans la corbeille ?\n\nacide.kvln\n\n"
                                "Attention : « acide.kvln » est ouvert dans une fenêtre d'étiquette. La fenêtre "
                                "reste ouverte ; l'enregistrer recréerait le fichier."));

        // Both, one of them open.
        for (int i = 0; i < files->count(); ++i)
            files->item(i)->setSelected(true);
        desk()->answers.enqueue(Desktop::Yes);
        rf()->B_supp->click();
        QVERIFY(desk()->messages.last().text.contains(QStringLiteral("« acide.kvln » est ouvert")));
        QCOMPARE(desk()->trashed, (QStringList{fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("acide.kvln"))}));
        QCOMPARE(desk()->messages.size(), 3);
    }

    void chosenLogosAreCopiedIntoTheSuppliersFolder()
    {
        four()->show();
        four()->FormActivate();
        m_dir->write(QStringLiteral("images/acme.jpg"), solidJpeg(Qt::red));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("images/acme.jpg"))});
        four()->LogoClick();
        const Desktop::FileDialog &dialog = desk()->fileDialogs.last();
        QCOMPARE(dialog.filter, QStringLiteral("Images|*.jpg;*.jpeg;*.png"));
        QCOMPARE(Desktop::qtFilter(dialog.filter), QStringLiteral("Images (*.jpg *.jpeg *.png)"));
        const QString copy = suppliers() + QStringLiteral("acme.jpg");
        QCOMPARE(four()->cardLogoPath(), copy);
        QCOMPARE(four()->LabLOGO->text(), copy);
        QCOMPARE(m_dir->read(QStringLiteral("Kalvane/fournisseurs/acme.jpg")), solidJpeg(Qt::red));
        QVERIFY(!four()->logoPicture().isNull());

        // The card names the copy relatively, as the sample card does.
        four()->Memo_fab->setPlainText(QStringLiteral("ACME SA\nLyon"));
        four()->Button2->click();
        QCOMPARE(m_dir->read(QStringLiteral("Kalvane/fournisseurs/ACME SA.fab")),
                 QByteArray("ACME SA\r\nLyon\r\nKalvane\\fournisseurs\\acme.jpg\r\n"));

        // The original goes: the card keeps its logo.
        QVERIFY(QDir(m_dir->file(QStringLiteral("images"))).removeRecursively());
        four()->Image3->click();
        four()->FormActivate();
        QListWidget *cards = four()->LBfab;
        const int row = texts(cards).indexOf(QStringLiteral("ACME SA.fab"));
        QVERIFY(row >= 0);
        QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, cards->visualItemRect(cards->item(row)).center());
        QCOMPARE(four()->cardLogoPath(), copy);
        QVERIFY(!four()->logoPicture().isNull());

        // A PNG logo is stored as a JPEG picture; the label takes that copy.
        QImage mark(64, 32, QImage::Format_ARGB32);
        mark.fill(QColor(0, 0, 200, 255));
        QVERIFY(mark.save(m_dir->file(QStringLiteral("marque.png")), "PNG"));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("marque.png"))});
        four()->LogoClick();
        const QString jpeg = suppliers() + QStringLiteral("marque.jpg");
        QCOMPARE(four()->cardLogoPath(), jpeg);
        QVERIFY(m_dir->read(QStringLiteral("Kalvane/fournisseurs/marque.jpg")).startsWith("\xFF\xD8"));
        QVERIFY(!QFile::exists(suppliers() + QStringLiteral("marque.png")));
        QCOMPARE(four()->logoPicture().size().isEmpty(), false);
        frame()->Nouveau1->trigger();
        four()->Button1->click();
        QCOMPARE(frame()->activeLabel()->LabLOGO->text(), jpeg);
        QVERIFY(desk()->messages.isEmpty());
    }

    void labelWindowTakesPngLogosAsJpeg()
    {
        desk()->expectMessage(QStringLiteral("kalvane"), QStringLiteral("ne peut pas être lue"));
        frame()->Nouveau1->trigger();
        TMDIChild *label = frame()->activeLabel();
        QImage mark(40, 40, QImage::Format_ARGB32);
        mark.fill(QColor(200, 0, 0));
        QDir().mkpath(m_dir->file(QStringLiteral("images")));
        QVERIFY(mark.save(m_dir->file(QStringLiteral("images/rouge.png")), "PNG"));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("images/rouge.png"))});
        QTest::mouseClick(label->Logo, Qt::LeftButton);
        QCOMPARE(desk()->fileDialogs.last().title, QStringLiteral("Sélection du Logo"));
        QCOMPARE(desk()->fileDialogs.last().filter, QStringLiteral("Images|*.jpg;*.jpeg;*.png"));
        const QString jpeg = suppliers() + QStringLiteral("rouge.jpg");
        QCOMPARE(label->LabLOGO->text(), jpeg);
        QCOMPARE(frame()->mirrors.logoPath, jpeg);
        QVERIFY(!label->logoPicture().isNull());
        // Saved, the label carries the JPEG copy beside its file.
        desk()->saveAnswers.enqueue(fiche(QStringLiteral("rouge.kvln")));
        frame()->Enregistrer1->trigger();
        QCOMPARE(QFile(fiche(QStringLiteral("fournisseurs/rouge.jpg"))).size(), QFile(jpeg).size());

        // A damaged PNG picture is said; the label keeps its logo.
        m_dir->write(QStringLiteral("images/casse.png"), QByteArray("\x89PNG\r\n\x1A\n", 8) + "rien");
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("images/casse.png"))});
        QTest::mouseClick(label->Logo, Qt::LeftButton);
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->messages.last().title, QStringLiteral("kalvane"));
        QCOMPARE(label->LabLOGO->text(), jpeg);
    }

    void sheetWindowsProposeTheSheetTheyLoaded()
    {
        const QString sheet = m_dir->file(QStringLiteral("planches/atelier.pla"));
        QDir().mkpath(m_dir->file(QStringLiteral("planches")));
        QVERIFY(SheetFile::write(sheet, {fiche(QStringLiteral("acide.kvln"))}));

        TPlanche1 *manager = m_program->app->planche();
        manager->show();
        desk()->openAnswers.enqueue({sheet});
        manager->Button5->click();
        desk()->saveAnswers.enqueue(QString());
        manager->Button6->click();
        QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("atelier.pla"));
        QCOMPARE(desk()->fileDialogs.last().folder, m_dir->file(QStringLiteral("planches")));
        manager->hide();

        Tprinter *options = m_program->app->printer();
        options->show();
        QCOMPARE(options->SaveD.fileName, QStringLiteral("Sans_titre"));
        desk()->openAnswers.enqueue({sheet});
        options->Button5->click();
        QCOMPARE(options->selection(), QStringList{fiche(QStringLiteral("acide.kvln"))});
        options->hide();
        // Shown again, the options still propose it, in its folder.
        options->show();
        desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("planches/copie.pla")));
        options->Button6->click();
        QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("atelier.pla"));
        QCOMPARE(desk()->fileDialogs.last().folder, m_dir->file(QStringLiteral("planches")));
        // Saved under another name, that name is proposed next.
        desk()->saveAnswers.enqueue(QString());
        options->Button6->click();
        QCOMPARE(desk()->fileDialogs.last().fileName, QStringLiteral("copie.pla"));
        options->hide();
        QVERIFY(desk()->messages.isEmpty());
    }
};

QTEST_MAIN(TestDesktopFolders)
#include "gui_desktopfolders.moc"
