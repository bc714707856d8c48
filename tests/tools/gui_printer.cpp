// The print options dialog: its controls and start states, the settings read
// from "dat.ini", the labels per page chosen from a count, the selection list
// and its buttons, sheet files, the exchange with the sheet manager, the
// confirmation, help, the document choice following the label windows, and
// the sheet preview drawn into TPrintView.

#include "testhelpers.h"
#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/printview.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/textfile.h"
#include "tools/planche.h"
#include "tools/printer.h"
#include "tools/sheetfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

namespace {

const QStringList kSamples = {QStringLiteral("Kalvane/Acetone.kvln"),
                              QStringLiteral("Kalvane/Acide sulfurique 96%.kvln"),
                              QStringLiteral("Kalvane/Hypochlorite de sodium.kvln")};

QStringList names(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << QStringLiteral("/fiches/%1%2.kvln").arg(prefix).arg(i);
    return list;
}

} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;

    TForm_base *frame() const { return m_program->app->frame(); }
    Tprinter *dlg() const { return m_program->app->printer(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

    void start(const QStringList &extra = {})
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles + extra);
        m_program = std::make_unique<TestProgram>();
        frame()->show();
    }

    // Adds files through "+".
    void add(const QStringList &files)
    {
        desk()->openAnswers.enqueue(files);
        dlg()->Button1->click();
    }

private Q_SLOTS:
    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void controlsAndStartStates()
    {
        start();
        Tprinter *p = dlg();
        QCOMPARE(p->windowTitle(), QStringLiteral("Options - Impression"));
        QCOMPARE(p->objectName(), QStringLiteral("Tprinter"));
        QCOMPARE(p->PageControl1->tabText(0), QStringLiteral("Généralités"));
        QCOMPARE(p->PageControl1->tabText(1), QStringLiteral(" Sélection  "));
        QCOMPARE(p->GroupDocument->title(), QStringLiteral("Document à imprimer "));
        QCOMPARE(p->GroupFormat->title(), QStringLiteral("Étiquettes/page "));
        QCOMPARE(p->GroupDivers->title(), QStringLiteral("Divers "));
        QCOMPARE(p->GroupEchelle->title(), QStringLiteral("Échelle :       % "));
        QCOMPARE(p->GB_compil->title(), QStringLiteral("Nombre de fiche(s) :     /  "));
        const QList<QPair<const char *, QString>> captions = {
            {"Rad_actuel", QStringLiteral("Aucune fiche active")}, {"Rad_planche", QStringLiteral("Planche d'étiquettes")},
            {"Rad_2", QStringLiteral(" 2")}, {"Rad_4", QStringLiteral(" 4")}, {"Rad_8", QStringLiteral(" 8")},
            {"Rad_16", QStringLiteral("16")}, {"Rad_18", QStringLiteral("18")},
            {"CB_one", QStringLiteral("Une seule étiquette ..........")},
            {"CB_line", QStringLiteral("Pointillés de séparation ....")},
            {"CB_IB", QStringLiteral("Conformité à l'aperçu ......")},
            {"CB_auto", QStringLiteral("Adaptation automatique ...")},
            {"CB_HPEUH", QStringLiteral("Numérotation H, P, EUH ...")},
            {"Button1", QStringLiteral("+")}, {"Button2", QStringLiteral("-")}, {"Button4", QStringLiteral("Ø")},
            {"Button5", QStringLiteral("&Charger")}, {"Button6", QStringLiteral("&Sauver")},
            {"Button7", QStringLiteral("&Importer")}, {"But_OK", QStringLiteral("Im&primer")},
            {"But_annul", QStringLiteral("A&nnuler")}, {"But_View", QStringLiteral("&Aperçu")},
            {"Button3", QStringLiteral("&?")}};
        for (const auto &[name, caption] : captions) {
            auto *button = p->findChild<QAbstractButton *>(QString::fromLatin1(name));
            QVERIFY2(button, name);
            QCOMPARE(button->text(), caption);
        }
        const QList<QPair<const char *, QString>> hints = {
            {"Ed_g", QStringLiteral("Marge ajoutée à chaque étiquette")},
            {"Ed_h", QStringLiteral("Marge ajoutée à chaque étiquette")},
            {"CB_one", QStringLiteral("au format choisi")}, {"CB_line", QStringLiteral("Lignes entre les étiquettes")},
            {"CB_IB", QStringLiteral("Qualité moyenne respectant mieux  la taille des caractères")},
            {"CB_auto", QStringLiteral("Adaptation en fonction des marges")},
            {"CB_HPEUH", QStringLiteral("Cocher pour imprimer seulement la numérotation des phrases")},
            {"Button1", QStringLiteral("Ajouter")}, {"Button2", QStringLiteral("Retirer")},
            {"Button4", QStringLiteral("Effacer tout")}, {"Button5", QStringLiteral("Lire une planche d'étiquettes")},
            {"Button6", QStringLiteral("Enregistrer une planche  d'étiquettes")},
            {"Button7", QStringLiteral("Importer depuis le gestionnaire de planches d'étiquettes")},
            {"But_OK", QStringLiteral("Imprimer")}, {"But_annul", QStringLiteral("Renoncer et quitter")},
            {"But_View", QStringLiteral("Aperçu avant impression")}, {"Button3", QStringLiteral("Aide")}};
        for (const auto &[name, hint] : hints) {
            auto *w = p->findChild<QWidget *>(QString::fromLatin1(name));
            QVERIFY2(w, name);
            QCOMPARE(w->toolTip(), hint);
        }
        QCOMPARE(p->Ed_g->statusTip(), QStringLiteral("en mm"));

        QCOMPARE(p->Tag, 2);
        QVERIFY(p->Rad_2->isChecked());
        QVERIFY(p->Rad_planche->isChecked());
        QVERIFY(!p->Rad_actuel->isEnabled());
        QVERIFY(!p->CB_one->isEnabled() && !p->CB_one->isChecked());
        QVERIFY(p->CB_line->isChecked());
        QVERIFY(!p->CB_IB->isChecked());
        QVERIFY(p->CB_auto->isChecked());
        QVERIFY(!p->CB_HPEUH->isChecked());
        QCOMPARE(p->Ed_g->text(), QStringLiteral("0"));
        QCOMPARE(p->Ed_h->text(), QStringLiteral("0"));
        QCOMPARE(p->TrackBar1->value(), 100);
        QCOMPARE(p->TrackBar1->minimum(), 50);
        QCOMPARE(p->TrackBar1->maximum(), 200);
        QCOMPARE(p->TrackBar1->tickInterval(), 5);
        QCOMPARE(p->Lab_pc->text(), QStringLiteral("100"));
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("0"));
        QCOMPARE(p->Lab_Max->text(), QStringLiteral("2"));
        for (QPushButton *b : {p->Button2, p->Button4, p->Button6})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        for (QPushButton *b : {p->Button1, p->Button5, p->Button7})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(!p->isVisible());

        p->TrackBar1->setValue(135);
        QCOMPARE(p->Lab_pc->text(), QStringLiteral("135"));
    }

    void marginsAndScaleFromDatIni()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
        const QString folder = m_dir->path();
        QVERIFY(TextFile::writeLines(m_dir->file(QStringLiteral("dat.ini")),
                                     {folder, QStringLiteral("500"), QStringLiteral("600"), QStringLiteral("10"),
                                      QStringLiteral("10"), QStringLiteral("12.5"), QStringLiteral("7"),
                                      QStringLiteral("500")}));
        m_program = std::make_unique<TestProgram>();
        QCOMPARE(dlg()->Ed_g->text(), QStringLiteral("12.5"));
        QCOMPARE(dlg()->Ed_h->text(), QStringLiteral("7"));
        QCOMPARE(dlg()->TrackBar1->value(), 200); // held within 50 to 200
        m_program.reset();

        // Seven lines: the print lines are not all there, the defaults stay.
        QVERIFY(TextFile::writeLines(m_dir->file(QStringLiteral("dat.ini")),
                                     {folder, QStringLiteral("500"), QStringLiteral("600"), QStringLiteral("10"),
                                      QStringLiteral("10"), QStringLiteral("12.5"), QStringLiteral("7")}));
        m_program = std::make_unique<TestProgram>();
        QCOMPARE(dlg()->Ed_g->text(), QStringLiteral("0"));
        QCOMPARE(dlg()->TrackBar1->value(), 100);
    }

    void countTableAfterAdding()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nombre d'étiquettes ne peut dépasser 18, le surplus sera"));
        Tprinter *p = dlg();
        add(names(QStringLiteral("a"), 3));
        QCOMPARE(p->Tag, 4);
        QVERIFY(p->Rad_4->isChecked());
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("3"));
        QCOMPARE(p->Lab_Max->text(), QStringLiteral("4"));
        for (QPushButton *b : {p->Button2, p->Button4, p->Button6})
            QVERIFY(b->isEnabled());
        QVERIFY(desk()->messages.isEmpty());
        // The dialog's own file dialog: title, filter, several files.
        const Desktop::FileDialog &d = desk()->fileDialogs.constLast();
        QCOMPARE(d.title, QStringLiteral("Sélectionner"));
        QCOMPARE(d.filter, QStringLiteral("Kalvane|*.kvln"));
        QVERIFY(d.multiple);

        // 3 + 14 = 17: 18 per page.
        add(names(QStringLiteral("b"), 14));
        QCOMPARE(p->Tag, 18);
        QCOMPARE(p->ListBox1->count(), 17);

        // 10 + 10: warned, the first 8 new files kept, 18 per page.
        p->Button4->click();
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("0"));
        QVERIFY(!p->Button2->isEnabled());
        add(names(QStringLiteral("c"), 10));
        QCOMPARE(p->Tag, 16);
        add(names(QStringLiteral("d"), 10));
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: Le nombre d'étiquettes ne peut dépasser 18, le surplus "
                                            "sera ignoré !!!")});
        QCOMPARE(desk()->messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(p->ListBox1->count(), 18);
        QCOMPARE(p->selection().mid(10), names(QStringLiteral("d"), 8));
        QCOMPARE(p->Tag, 18);
        QCOMPARE(p->Lab_Max->text(), QStringLiteral("18"));

        // Cancelling changes nothing.
        desk()->openAnswers.enqueue({});
        p->Button1->click();
        QCOMPARE(p->ListBox1->count(), 18);
    }

    void labelsPerPageTrimTheList()
    {
        start();
        Tprinter *p = dlg();
        add(names(QStringLiteral("f"), 10));
        QCOMPARE(p->Tag, 16);
        p->Rad_18->click();
        QCOMPARE(p->Tag, 18);
        QCOMPARE(p->ListBox1->count(), 10); // 18 deletes nothing
        p->Rad_8->click();
        QCOMPARE(p->Tag, 8);
        QCOMPARE(p->selection(), names(QStringLiteral("f"), 8));
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("8"));
        QCOMPARE(p->Lab_Max->text(), QStringLiteral("8"));

        // "-": the selected entries go, the labels per page stay.
        p->ListBox1->item(1)->setSelected(true);
        p->ListBox1->item(5)->setSelected(true);
        p->ListBox1->setToolTip(QStringLiteral("x"));
        p->Button2->click();
        QCOMPARE(p->ListBox1->count(), 6);
        QCOMPARE(p->ListBox1->item(1)->text(), QStringLiteral("/fiches/f3.kvln"));
        QCOMPARE(p->Tag, 8);
        QVERIFY(p->ListBox1->toolTip().isEmpty());
        // With nothing selected only the tooltip changes.
        p->ListBox1->clearSelection();
        p->Button2->click();
        QCOMPARE(p->ListBox1->count(), 6);
        // Clicking an entry shows its whole path as the hint.
        QTest::mouseClick(p->ListBox1->viewport(), Qt::LeftButton, {},
                          p->ListBox1->visualItemRect(p->ListBox1->item(2)).center());
        QCOMPARE(p->ListBox1->toolTip(), QStringLiteral("/fiches/f4.kvln"));
        // Everything selected: the list empties and its buttons go grey.
        p->ListBox1->selectAll();
        p->Button2->click();
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("0"));
        for (QPushButton *b : {p->Button2, p->Button4, p->Button6})
            QVERIFY(!b->isEnabled());
    }

    void sheetFilesThroughTheDialog()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nombre d'étiquettes ne peut dépasser 18, le surplus sera"));
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Impossible de lire le fichier \"photo.pla\" : ce n'est pas"));
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le caractère « ω » (U+03c9) ne peut pas être enregistré"));
        Tprinter *p = dlg();
        p->show(); // activation points the dialogs at the default label folder
        const QString labelFolder = frame()->defaultLabelFolder();
        QCOMPARE(p->OpenD.folder, labelFolder);
        QCOMPARE(p->OpenD2.folder, labelFolder);
        QCOMPARE(p->SaveD.folder, labelFolder);

        add(names(QStringLiteral("s"), 3));
        const QString sheet = m_dir->file(QStringLiteral("essai.pla"));
        desk()->saveAnswers.enqueue(sheet);
        p->Button6->click();
        const Desktop::FileDialog &save = desk()->fileDialogs.constLast();
        QCOMPARE(save.title, QStringLiteral("Enregistrer une compilation"));
        QCOMPARE(save.filter, QStringLiteral("Planche d'étiquettes |*.pla"));
        QCOMPARE(save.defaultSuffix, QStringLiteral("pla"));
        QCOMPARE(save.fileName, QStringLiteral("Sans_titre"));
        QVERIFY(save.confirmOverwrite);
        QCOMPARE(m_dir->read(QStringLiteral("essai.pla")),
                 QByteArray("/fiches/s1.kvln\r\n/fiches/s2.kvln\r\n/fiches/s3.kvln\r\n"));

        // Loading replaces the list and picks the labels per page from it.
        QStringList seventeen = names(QStringLiteral("g"), 17);
        QVERIFY(SheetFile::write(m_dir->file(QStringLiteral("dixsept.pla")), seventeen));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("dixsept.pla"))});
        p->Button5->click();
        const Desktop::FileDialog &load = desk()->fileDialogs.constLast();
        QCOMPARE(load.title, QStringLiteral("Charger une compilation"));
        QCOMPARE(load.fileName, QStringLiteral("*.pla"));
        QCOMPARE(p->selection(), seventeen);
        QCOMPARE(p->Tag, 18);

        // More than 18 lines: the first 18 and the "+" warning.
        QVERIFY(SheetFile::write(m_dir->file(QStringLiteral("vingt.pla")), names(QStringLiteral("h"), 20)));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("vingt.pla"))});
        p->Button5->click();
        QCOMPARE(p->selection(), names(QStringLiteral("h"), 18));
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->messages.first().text, Tprinter::kTooMany);

        // Not a sheet: said in French with the file's name, the list stays.
        m_dir->write(QStringLiteral("photo.pla"), QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("photo.pla"))});
        p->Button5->click();
        QCOMPARE(p->selection(), names(QStringLiteral("h"), 18));
        QCOMPARE(desk()->messages.size(), 2);
        QVERIFY(desk()->messages.last().text.contains(QStringLiteral("photo.pla")));

        // A sheet that vanished after it was chosen: passed over silently;
        // the count table still runs.
        p->Rad_2->click(); // keeps 2
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("parti.pla"))});
        p->Button5->click();
        QCOMPARE(desk()->messages.size(), 2);
        QCOMPARE(p->ListBox1->count(), 2);

        // A failed save is reported; the old file stays whole.
        p->ListBox1->addItem(QStringLiteral("/fiches/\u03C9.kvln"));
        desk()->saveAnswers.enqueue(sheet);
        p->Button6->click();
        QCOMPARE(desk()->messages.size(), 3);
        QVERIFY(desk()->messages.last().text.contains(QStringLiteral("essai.pla")));
        QCOMPARE(m_dir->read(QStringLiteral("essai.pla")),
                 QByteArray("/fiches/s1.kvln\r\n/fiches/s2.kvln\r\n/fiches/s3.kvln\r\n"));
        p->hide();
    }

    void handWrittenSheetEntriesAreTakenFromTheSheetsFolder()
    {
        // Relative entries mean the sheet file's folder, whatever the working
        // folder at loading or printing time; both windows that load sheets
        // show (and print) full paths.
        start();
        QDir().mkpath(m_dir->file(QStringLiteral("planches/etiquettes")));
        QDir().mkpath(m_dir->file(QStringLiteral("ailleurs")));
        m_dir->write(QStringLiteral("planches/main.pla"), "etiquettes/a.kvln\r\n\r\n../b.kvln\r\n/fiches/c.kvln\r\n");
        const QStringList expected = {m_dir->file(QStringLiteral("planches/etiquettes/a.kvln")), QString(),
                                      m_dir->file(QStringLiteral("b.kvln")), QStringLiteral("/fiches/c.kvln")};
        Tprinter *p = dlg();
        p->show();
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("planches/main.pla"))});
        QDir::setCurrent(m_dir->file(QStringLiteral("ailleurs")));
        p->Button5->click();
        QCOMPARE(p->selection(), expected);
        QDir::setCurrent(m_dir->path());

        TPlanche1 *manager = m_program->app->planche();
        desk()->openAnswers.enqueue({m_dir->file(QStringLiteral("planches/main.pla"))});
        manager->Button5->click();
        QCOMPARE(manager->entries(), expected);
        QVERIFY(desk()->messages.isEmpty());
    }

    void importFromTheSheetManager()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La planche d'étiquettes est vide !"));
        Tprinter *p = dlg();
        p->Button7->click();
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: La planche d'étiquettes est vide !")});
        add(names(QStringLiteral("p"), 10));
        TPlanche1 *manager = m_program->app->planche();
        manager->ListBox1->addItems(names(QStringLiteral("m"), 3));
        p->Button7->click();
        QCOMPARE(p->selection(), names(QStringLiteral("m"), 3)); // replaced, never appended
        QCOMPARE(p->Tag, 4);
        QCOMPARE(p->Lab_nb_et->text(), QStringLiteral("3"));
        // The lists are independent afterwards.
        p->ListBox1->clear();
        QCOMPARE(manager->entries().size(), 3);
    }

    void confirmingNeedsSomethingToPrint()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Aucune étiquette disponible !"));
        Tprinter *p = dlg();
        p->show();
        p->But_OKTag = 1;
        // The sheet chosen and an empty list: warned, the dialog stays.
        p->But_OK->click();
        QVERIFY(p->isVisible());
        QCOMPARE(p->But_OKTag, 1);
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: Aucune étiquette disponible !")});
        add(names(QStringLiteral("k"), 1));
        p->But_OK->click();
        QVERIFY(!p->isVisible());
        QCOMPARE(p->But_OKTag, 0);

        // With a label: "Fiche active"; confirming hands margins and scale to it.
        frame()->Nouveau1->trigger();
        TMDIChild *label = frame()->activeLabel();
        QVERIFY(p->Rad_actuel->isChecked());
        // Confirming the label's own values changes nothing in it.
        p->show();
        p->But_OKTag = 1;
        p->But_OK->click();
        QCOMPARE(p->But_OKTag, 0);
        QVERIFY(!label->isModified());
        p->show();
        p->Ed_g->setText(QStringLiteral("7.5"));
        p->Ed_h->setText(QStringLiteral("3"));
        p->TrackBar1->setValue(80);
        p->But_OKTag = 1;
        p->But_OK->click();
        QCOMPARE(p->But_OKTag, 0);
        QCOMPARE(label->Lab_margeX->text(), QStringLiteral("7.5"));
        QCOMPARE(label->Lab_margeY->text(), QStringLiteral("3"));
        QCOMPARE(label->Lab_echelle->text(), QStringLiteral("80"));
        // They are the label's now: closing it would ask to save them.
        QVERIFY(label->isModified());
        label->setModified(false);
        p->show();
        p->TrackBar1->setValue(95);
        p->But_OKTag = 1;
        p->But_OK->click();
        QCOMPARE(label->Lab_echelle->text(), QStringLiteral("95"));
        QVERIFY(label->isModified());
        label->setModified(false);

        // Cancelling leaves the hand-off at 1.
        p->But_OKTag = 1;
        p->show();
        p->But_annul->click();
        QVERIFY(!p->isVisible());
        QCOMPARE(p->But_OKTag, 1);
    }

    void documentChoiceFollowsTheLabelWindows()
    {
        start();
        Tprinter *p = dlg();
        add(names(QStringLiteral("d"), 2));
        frame()->Nouveau1->trigger();
        QVERIFY(p->Rad_actuel->isEnabled() && p->Rad_actuel->isChecked());
        QVERIFY(p->CB_one->isEnabled());
        QVERIFY(!p->PageControl1->isTabEnabled(1));
        for (QWidget *w : {static_cast<QWidget *>(p->ListBox1), static_cast<QWidget *>(p->Button1),
                           static_cast<QWidget *>(p->Button2), static_cast<QWidget *>(p->Button4),
                           static_cast<QWidget *>(p->Button5), static_cast<QWidget *>(p->Button6),
                           static_cast<QWidget *>(p->Button7)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));

        // The numbering flag goes both ways with the active label.
        TMDIChild *label = frame()->activeLabel();
        QTest::mouseClick(p->CB_HPEUH, Qt::LeftButton, {}, QPoint(5, p->CB_HPEUH->height() / 2));
        QVERIFY(label->CB_hpeuh->isChecked());
        label->CB_hpeuh->click();
        QVERIFY(!p->CB_HPEUH->isChecked());

        // The sheet again: the single label is off and greyed, the list back.
        p->CB_one->setChecked(true);
        p->Rad_planche->click();
        QVERIFY(!p->CB_one->isEnabled() && !p->CB_one->isChecked());
        QVERIFY(p->PageControl1->isTabEnabled(1));
        QCOMPARE(p->PageControl1->currentWidget(), p->TabSheet2);
        QVERIFY(p->Button2->isEnabled() && p->Button6->isEnabled());
        // With the sheet chosen the numbering box leaves the label alone.
        p->CB_HPEUH->click();
        QVERIFY(!label->CB_hpeuh->isChecked());

        p->Rad_actuel->click();
        frame()->mdiArea->closeAllSubWindows();
        QCOMPARE(p->Rad_actuel->text(), QStringLiteral("Aucune fiche active"));
        QVERIFY(!p->Rad_actuel->isEnabled() && !p->Rad_actuel->isChecked());
        QVERIFY(p->Rad_planche->isChecked());
        QVERIFY(p->ListBox1->isEnabled());
    }

    void helpPage()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Aide introuvable !"));
        dlg()->Button3->click();
        QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: Aide introuvable !")});
        QCOMPARE(desk()->messages.first().icon, Desktop::Icon::Critical);
        m_dir->copyData(QStringLiteral("aide/et_help7.html"));
        dlg()->Button3->click();
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->openedUrls.constLast(),
                 QUrl::fromLocalFile(m_dir->path() + QStringLiteral("/aide/et_help7.html")));
    }

    void sheetPreviewIntoThePrintView()
    {
        start(kSamples + QStringList{QStringLiteral("SGH02.jpg"), QStringLiteral("SGH05.jpg"),
                                     QStringLiteral("SGH07.jpg"), QStringLiteral("SGH09.jpg")});
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le fichier"));
        Tprinter *p = dlg();
        TPrintView *view = m_program->app->printView();
        QStringList files;
        for (const QString &s : kSamples)
            files << m_dir->file(s);
        files.insert(1, m_dir->file(QStringLiteral("Kalvane/Disparu.kvln")));
        add(files); // 4 entries: 4 per page, landscape
        frame()->mirrors.productSize = 14;
        frame()->mirrors.statementSize = 6;
        p->show();
        p->But_View->click();
        QVERIFY(view->isVisible());
        // The page plus a border of 5, and the size of one label under it.
        QVERIFY(view->Lab_taille->text().startsWith(QStringLiteral("Taille d'une étiquette : ")));
        QCOMPARE(view->size(), QSize(646, 460 + view->Lab_taille->height() + 5));
        const QImage page = view->Image1->pixmap().toImage();
        QCOMPARE(page.size(), QSize(636, 636));
        QVERIFY(TestPictures::ink(page, QRect(0, 0, 318, 225), 3) > 500);
        QCOMPARE(TestPictures::ink(page, QRect(318, 0, 318, 225), 3), 0); // the missing entry: white
        QVERIFY(TestPictures::ink(page, QRect(0, 225, 318, 225), 3) > 500);
        QVERIFY(TestPictures::ink(page, QRect(318, 225, 318, 225), 3) > 500);
        // Silver dotted frame along the page's edges, nothing beyond the page.
        int silver = 0;
        for (int y = 0; y < 450; ++y)
            silver += page.pixel(0, y) == qRgb(192, 192, 192) ? 1 : 0;
        QVERIFY2(silver > 150 && silver < 300, qPrintable(QString::number(silver)));
        QCOMPARE(TestPictures::ink(page, QRect(0, 452, 636, 184), 3), 0);
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: Le fichier ''%1'' est introuvable")
                                 .arg(QDir::toNativeSeparators(files.at(1)))});
        // Both text sizes as they were.
        QCOMPARE(frame()->mirrors.productSize, 14.0f);
        QCOMPARE(frame()->mirrors.statementSize, 6.0f);

        // Closing the dialog, by any means, closes the preview too.
        p->reject();
        QVERIFY(!view->isVisible());
    }

    void previewOfTheActiveLabelAlone()
    {
        start(QStringList{QStringLiteral("SGH02.jpg")});
        frame()->Nouveau1->trigger();
        Tprinter *p = dlg();
        p->Rad_8->click();
        p->CB_one->setChecked(true);
        p->CB_line->setChecked(false);
        p->show();
        p->But_View->click();
        TPrintView *view = m_program->app->printView();
        QCOMPARE(view->size(), QSize(460, 646 + view->Lab_taille->height() + 5));
        const QImage page = view->Image1->pixmap().toImage();
        // A new label shows its signal word and rules in cell 0 only.
        QVERIFY(TestPictures::ink(page, QRect(0, 0, 225, 159), 3) > 50);
        QCOMPARE(TestPictures::ink(page, QRect(225, 0, 225, 636), 3), 0);
        QCOMPARE(TestPictures::ink(page, QRect(0, 159, 225, 477), 3), 0);
        QVERIFY(desk()->messages.isEmpty());
        p->hide();
    }
};

QTEST_MAIN(TestPrinter)
#include "gui_printer.moc"
