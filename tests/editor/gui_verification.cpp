// "Vérifier l'étiquette" in the frame's Edition menu: enabled while a label is
// open, one message titled "VÉRIFICATION" with the active label's findings.

#include "testsupport.h"

#include "editor/labelchecks.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

class TestVerification : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

    void start(bool withFacts)
    {
        QStringList files = kCatalogueFiles;
        files << QStringLiteral("Kalvane/Acetone.kvln") << QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg");
        if (withFacts)
            files << QStringLiteral("verifications.txt");
        m_dir = std::make_unique<TempStartDir>(files);
        m_program = std::make_unique<TestProgram>();
    }

    // Runs the command and returns its one message.
    ScriptedDesktop::Message verify()
    {
        const qsizetype before = desk()->messages.size();
        desk()->expectMessage(QStringLiteral("VÉRIFICATION"));
        frame()->Verifier1->trigger();
        if (desk()->messages.size() != before + 1)
            return {};
        return desk()->messages.constLast();
    }

private Q_SLOTS:
    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void commandInTheEditionMenu()
    {
        start(true);
        QAction *a = frame()->findChild<QAction *>(QStringLiteral("Verifier1"));
        QVERIFY(a);
        QCOMPARE(a->text(), QStringLiteral("Vérifier l'étiquette"));
        auto *edition = frame()->menuBar()->findChild<QMenu *>(QStringLiteral("Edition1"));
        QVERIFY(edition && edition->actions().contains(a));
        QVERIFY(!a->isEnabled());
        frame()->Nouveau1->trigger();
        QVERIFY(a->isEnabled());
        QCOMPARE(a->isEnabled(), frame()->Enregistrer1->isEnabled());
        desk()->answers.enqueue(Desktop::Yes); // "fermer toutes les fiches ?"
        frame()->Fermer1->trigger();
        QTRY_VERIFY(frame()->labelWindows().isEmpty());
        QVERIFY(!a->isEnabled());
        QVERIFY(desk()->unexpected.isEmpty());
    }

    void findingsOfTheActiveLabel()
    {
        start(true);
        frame()->open(m_dir->file(QStringLiteral("Kalvane/Acetone.kvln")));
        ScriptedDesktop::Message m = verify();
        QCOMPARE(m.title, QStringLiteral("VÉRIFICATION"));
        QCOMPARE(m.text, QStringLiteral("Aucune anomalie détectée."));
        QCOMPARE(m.icon, Desktop::Icon::Information);
        QCOMPARE(m.buttons, Desktop::Buttons(Desktop::Ok));

        // The window as edited, not the file: a changed signal word and a
        // removed flame.
        TMDIChild *label = frame()->activeLabel();
        LabelDocument doc = label->document();
        doc.signalWord = QStringLiteral("ATTENTION");
        doc.pictograms.removeAll(QStringLiteral("SGH02"));
        label->applyDocument(doc);
        m = verify();
        QCOMPARE(m.icon, Desktop::Icon::Warning);
        QCOMPARE(m.text.split(u'\n'), (QStringList{
            QStringLiteral("erreur : La mention d'avertissement doit être « DANGER », que demande H225 ; l'étiquette "
                           "porte « ATTENTION »."),
            QStringLiteral("erreur : Le pictogramme SGH02 manque : H225 le demande toujours.")}));

        // A second, new label becomes the active one.
        frame()->Nouveau1->trigger();
        m = verify();
        QVERIFY(m.text.contains(QStringLiteral("erreur : Le nom du produit est vide.")));
        QVERIFY(!m.text.contains(QStringLiteral("H225")));
        QVERIFY(desk()->unexpected.isEmpty());
    }

    void labelAsDrawnAndPrinted()
    {
        // The label is judged as the frame draws it: with its statement size
        // the statements no longer fit.
        start(true);
        frame()->open(m_dir->file(QStringLiteral("Kalvane/Acetone.kvln")));
        frame()->mirrors.statementSize = 60;
        ScriptedDesktop::Message m = verify();
        QCOMPARE(m.icon, Desktop::Icon::Warning);
        QVERIFY2(m.text.startsWith(QStringLiteral("erreur : Les phrases ne tiennent pas toutes sur l'étiquette : à "
                                                  "partir de « ")),
                 qPrintable(m.text));
        frame()->mirrors.statementSize = 8;
        QCOMPARE(verify().text, QStringLiteral("Aucune anomalie détectée."));
        // Set to print the codes only: an error until it is unticked.
        frame()->activeLabel()->CB_hpeuh->click();
        m = verify();
        QVERIFY2(m.text.startsWith(QStringLiteral("erreur : L'étiquette est réglée sur « Numérotation H, P, EUH »")),
                 qPrintable(m.text));
        frame()->activeLabel()->CB_hpeuh->click();
        QCOMPARE(verify().text, QStringLiteral("Aucune anomalie détectée."));
    }

    void missingFactsAreSaid()
    {
        start(false);
        frame()->open(m_dir->file(QStringLiteral("Kalvane/Acetone.kvln")));
        const ScriptedDesktop::Message m = verify();
        QCOMPARE(m.title, QStringLiteral("VÉRIFICATION"));
        QCOMPARE(m.icon, Desktop::Icon::Warning);
        QVERIFY(m.text.startsWith(QStringLiteral("avertissement : Le fichier des vérifications « verifications.txt » "
                                                 "est introuvable.")));
    }
};

QTEST_MAIN(TestVerification)
#include "gui_verification.moc"
