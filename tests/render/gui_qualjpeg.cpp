// The export options dialog TQual_jpeg and the export command built on it:
// texts, defaults, the quality track bar, the Tag handed back, the save
// dialog, the written picture, and the messages of a failed export.

#include "testhelpers.h"
#include "testsupport.h"

#include "render/jpegcodec.h"
#include "render/labelcontent.h"
#include "render/qualjpeg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {

// Presses a button of the dialog once its modal loop runs.
void pressLater(QPushButton *button)
{
    QTimer::singleShot(0, button, &QPushButton::click);
}

} // namespace

class TestQualJpeg : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<ScopedScriptedDesktop> m_desktop;
    std::unique_ptr<TQual_jpeg> m_dialog;

    LabelContent label() const
    {
        LabelContent c;
        c.pictogramFolder = m_dir->path();
        c.pictograms = {QStringLiteral("SGH02")};
        c.product = QStringLiteral("ÉTHANOL");
        c.productLines = 1;
        c.signalWord = QStringLiteral("DANGER");
        c.statements = QStringLiteral("H225: Liquide et vapeurs très inflammables.\n");
        return c;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>();
        m_dir->write(QStringLiteral("SGH02.jpg"), TestPictures::solidJpeg(QSize(60, 60), QColor(255, 0, 0)));
        m_desktop = std::make_unique<ScopedScriptedDesktop>();
        m_dialog = std::make_unique<TQual_jpeg>(nullptr);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_desktop.reset();
        m_dir.reset();
    }

    void textsAndDefaults()
    {
        TQual_jpeg *d = m_dialog.get();
        QCOMPARE(d->windowTitle(), QStringLiteral("Options - Exportation"));
        QCOMPARE(d->findChild<QGroupBox *>(QStringLiteral("GroupImage"))->title(), QStringLiteral("Image "));
        QCOMPARE(d->findChild<QGroupBox *>(QStringLiteral("GroupQualite"))->title(),
                 QStringLiteral("Qualité JPEG :       % "));
        auto *radicol = d->findChild<QRadioButton *>(QStringLiteral("Radicol"));
        auto *radgrey = d->findChild<QRadioButton *>(QStringLiteral("Radgrey"));
        QCOMPARE(radicol->text(), QStringLiteral("Couleurs"));
        QCOMPARE(radgrey->text(), QStringLiteral("Niveaux de gris"));
        QVERIFY(radicol->isChecked());
        QVERIFY(!radgrey->isChecked());
        auto *track = d->findChild<QSlider *>(QStringLiteral("TrackBar1"));
        QCOMPARE(track->maximum(), 100);
        QCOMPARE(track->value(), 75);
        QCOMPARE(track->tickInterval(), 5);
        auto *lab = d->findChild<QLabel *>(QStringLiteral("LabQual"));
        QCOMPARE(lab->text(), QStringLiteral("75"));
        QCOMPARE(lab->toolTip(), QStringLiteral("Valeur conseillée : 75%"));
        QStringList labels;
        for (QLabel *l : d->findChildren<QLabel *>())
            labels << l->text();
        for (const QString &tick : {QStringLiteral("0%"), QStringLiteral("50%"), QStringLiteral("100%")})
            QVERIFY(labels.contains(tick));
        auto *ok = d->findChild<QPushButton *>(QStringLiteral("But_OK"));
        auto *cancel = d->findChild<QPushButton *>(QStringLiteral("But_annul"));
        auto *help = d->findChild<QPushButton *>(QStringLiteral("Button1"));
        QCOMPARE(ok->text(), QStringLiteral("&Exporter"));
        QCOMPARE(cancel->text(), QStringLiteral("A&nnuler"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("Renoncer et quitter"));
        QCOMPARE(help->text(), QStringLiteral("&?"));
        QCOMPARE(help->toolTip(), QStringLiteral("Aide"));
        QVERIFY(!(d->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(d->options().grey, false);
        QCOMPARE(d->options().quality, 75);
    }

    void qualityTrackBar()
    {
        TQual_jpeg *d = m_dialog.get();
        d->TrackBar1->setValue(0);
        QCOMPARE(d->TrackBar1->value(), 1);
        QCOMPARE(d->LabQual->text(), QStringLiteral("1"));
        QCOMPARE(d->options().quality, 1);
        d->TrackBar1->setValue(40);
        QCOMPARE(d->LabQual->text(), QStringLiteral("40"));
        d->Radgrey->setChecked(true);
        QCOMPARE(d->options().grey, true);
        QCOMPARE(d->options().quality, 40);
    }

    void tagTellsWhetherTheUserConfirmed()
    {
        TQual_jpeg *d = m_dialog.get();
        d->Tag = 1;
        pressLater(d->But_OK);
        d->exec();
        QCOMPARE(d->Tag, 0);

        d->Tag = 1;
        pressLater(d->But_annul);
        d->exec();
        QCOMPARE(d->Tag, 1);

        // The close box counts as cancelling.
        d->Tag = 1;
        QTimer::singleShot(0, d, &QWidget::close);
        d->exec();
        QCOMPARE(d->Tag, 1);
    }

    void cancelledOptionsWriteNothing()
    {
        pressLater(m_dialog->But_annul);
        QVERIFY(TQual_jpeg::exportLabel(nullptr, m_dialog.get(), label()).isEmpty());
        QVERIFY((*m_desktop)->fileDialogs.isEmpty()); // no save dialog
        QVERIFY((*m_desktop)->messages.isEmpty());
    }

    void exportWritesTheChosenFile()
    {
        // Grey levels and the lowest quality, chosen in the dialog; the name is
        // typed without an extension.
        m_dialog->Radgrey->setChecked(true);
        m_dialog->TrackBar1->setValue(0);
        QDir(m_dir->path()).mkdir(QStringLiteral("sorties"));
        (*m_desktop)->saveAnswers.enqueue(m_dir->file(QStringLiteral("sorties/ethanol")));
        pressLater(m_dialog->But_OK);
        const QString written = TQual_jpeg::exportLabel(nullptr, m_dialog.get(), label());
        QCOMPARE(written, m_dir->file(QStringLiteral("sorties/ethanol.jpg")));

        QCOMPARE((*m_desktop)->fileDialogs.size(), 1);
        const Desktop::FileDialog &save = (*m_desktop)->fileDialogs.first();
        QCOMPARE(save.title, QStringLiteral("Exporter"));
        QCOMPARE(save.filter, QStringLiteral("Image JPEG|*.jpg"));
        QCOMPARE(save.defaultSuffix, QStringLiteral("jpg"));
        QCOMPARE(save.fileName, QStringLiteral("Sans_titre"));
        QVERIFY(save.confirmOverwrite);
        QVERIFY((*m_desktop)->messages.isEmpty());
        // The confirmed dialog made the chosen folder the working directory.
        QCOMPARE(QDir::currentPath(), QDir(m_dir->file(QStringLiteral("sorties"))).absolutePath());

        QFile f(written);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray jpeg = f.readAll();
        QCOMPARE(TestPictures::jpegComponents(jpeg), 1);
        QImage picture;
        QVERIFY(JpegCodec::decode(jpeg, &picture));
        QCOMPARE(picture.size(), QSize(2121, 1500));
        // Encoded at quality 1: the size of the same label encoded so, far
        // below the default quality's. (Text drawn for the first time in a
        // process may differ from later drawings in a few edge pixels, so the
        // bytes themselves are not compared.)
        QByteArray q1, q75;
        QVERIFY(JpegExport::encodeLabel(label(), JpegExport::Options{true, 1}, &q1));
        QVERIFY(JpegExport::encodeLabel(label(), JpegExport::Options{true, 75}, &q75));
        QVERIFY2(qAbs(jpeg.size() - q1.size()) * 50 < q1.size(),
                 qPrintable(QStringLiteral("%1 / %2").arg(jpeg.size()).arg(q1.size())));
        QVERIFY(jpeg.size() < q75.size() * 9 / 10);

        // The choices stay for the next export: colour by default was changed.
        QCOMPARE(m_dialog->options().grey, true);
        QCOMPARE(m_dialog->options().quality, 1);
    }

    void cancelledSaveDialogWritesNothing()
    {
        (*m_desktop)->saveAnswers.enqueue(QString());
        pressLater(m_dialog->But_OK);
        QVERIFY(TQual_jpeg::exportLabel(nullptr, m_dialog.get(), label()).isEmpty());
        QCOMPARE((*m_desktop)->fileDialogs.size(), 1);
        QVERIFY((*m_desktop)->messages.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("SGH02.jpg")});
    }

    void writeErrorIsReported()
    {
        (*m_desktop)->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Impossible d'enregistrer l'image «"));
        m_dir->write(QStringLiteral("bloc"), QByteArray("pas un dossier"));
        (*m_desktop)->saveAnswers.enqueue(m_dir->file(QStringLiteral("bloc/etiquette.jpg")));
        pressLater(m_dialog->But_OK);
        QVERIFY(TQual_jpeg::exportLabel(nullptr, m_dialog.get(), label()).isEmpty());
        QCOMPARE((*m_desktop)->messages.size(), 1);
        const ScriptedDesktop::Message &m = (*m_desktop)->messages.first();
        QCOMPARE(m.title, QStringLiteral("AVERTISSEMENT"));
        QVERIFY(m.text.startsWith(QStringLiteral("Impossible d'enregistrer l'image")));
        QVERIFY(m.text.contains(QStringLiteral("etiquette.jpg")));
        QCOMPARE(m_dir->read(QStringLiteral("bloc")), QByteArray("pas un dossier"));
    }

    void unreadablePictureIsToldOnce()
    {
        (*m_desktop)->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("n'a pas pu être affichée"));
        m_dir->write(QStringLiteral("SGH02.jpg"), QByteArray("abîmé"));
        (*m_desktop)->saveAnswers.enqueue(m_dir->file(QStringLiteral("avec-trou.jpg")));
        pressLater(m_dialog->But_OK);
        QVERIFY(!TQual_jpeg::exportLabel(nullptr, m_dialog.get(), label()).isEmpty());
        QCOMPARE((*m_desktop)->messages.size(), 1);
        QCOMPARE((*m_desktop)->messages.first().title, QStringLiteral("AVERTISSEMENT"));
        QVERIFY((*m_desktop)->messages.first().text.contains(QStringLiteral("SGH02.jpg")));
        QVERIFY(QFile::exists(m_dir->file(QStringLiteral("avec-trou.jpg"))));
    }

    void cutStatementsAreSaidBeforeTheFileIsChosen()
    {
        // Sixty statements cannot fit: the export warns, naming the first one
        // that is cut, and still writes the picture the user asked for.
        LabelContent c = label();
        QStringList statements;
        for (int i = 0; i < 60; ++i)
            statements << QStringLiteral("H%1: Mention de danger numéro %1 assez longue pour une ligne.").arg(300 + i);
        c.statements = statements.join(u'\n') + u'\n';
        // Said before the file dialog: cancelling that still showed it.
        (*m_desktop)->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ne tiennent pas toutes"));
        (*m_desktop)->saveAnswers.enqueue(QString());
        pressLater(m_dialog->But_OK);
        QVERIFY(TQual_jpeg::exportLabel(nullptr, m_dialog.get(), c).isEmpty());
        QCOMPARE((*m_desktop)->messages.size(), 1);
        QCOMPARE((*m_desktop)->fileDialogs.size(), 1);
        (*m_desktop)->messages.clear();

        (*m_desktop)->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ne tiennent pas toutes"));
        (*m_desktop)->saveAnswers.enqueue(m_dir->file(QStringLiteral("coupee.jpg")));
        pressLater(m_dialog->But_OK);
        QCOMPARE(TQual_jpeg::exportLabel(nullptr, m_dialog.get(), c), m_dir->file(QStringLiteral("coupee.jpg")));
        QVERIFY((*m_desktop)->pendingMessages().isEmpty());
        QCOMPARE((*m_desktop)->messages.size(), 1);
        const ScriptedDesktop::Message &m = (*m_desktop)->messages.first();
        QCOMPARE(m.icon, Desktop::Icon::Warning);
        const QString named = m.text.section(QStringLiteral("« "), 1).section(QStringLiteral(" »"), 0, 0);
        QVERIFY2(statements.mid(1).contains(named), qPrintable(m.text));
        QVERIFY(m.text.contains(QStringLiteral("le texte est coupé au bas de l'étiquette")));
        QVERIFY(QFileInfo(m_dir->file(QStringLiteral("coupee.jpg"))).size() > 1000);
    }

    void helpPage()
    {
        (*m_desktop)->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("L'aide est introuvable !"));
        m_dialog->Button1Click();
        QCOMPARE((*m_desktop)->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: L'aide est introuvable !")});
        QCOMPARE((*m_desktop)->messages.first().icon, Desktop::Icon::Critical);

        (*m_desktop)->messages.clear();
        m_dir->copyData(QStringLiteral("aide/et_help4.html"));
        m_dialog->Button1Click();
        QVERIFY((*m_desktop)->messages.isEmpty());
        QCOMPARE((*m_desktop)->openedUrls.size(), 1);
        QVERIFY((*m_desktop)->openedUrls.first().toLocalFile().endsWith(QStringLiteral("aide/et_help4.html")));
    }
};

QTEST_MAIN(TestQualJpeg)
#include "gui_qualjpeg.moc"
