// The Regulation's format in the print options and in "Vérifier l'étiquette":
// the capacity of the job (Ed_contenance, taken from the label), the format
// question before anything is sent ("Non" stays in the options), and the
// check of the layout of the print options.

#include "testhelpers.h"
#include "testsupport.h"

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/printer.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestPrintFormat : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;

    TForm_base *frame() const { return m_program->app->frame(); }
    Tprinter *dlg() const { return m_program->app->printer(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(
            kCatalogueFiles
            + QStringList{QStringLiteral("format-etiquettes.txt"), QStringLiteral("verifications.txt"),
                          QStringLiteral("Kalvane/Acetone.kvln"), QStringLiteral("SGH02.jpg"),
                          QStringLiteral("SGH07.jpg")});
        m_program = std::make_unique<TestProgram>();
        frame()->show();
        QVERIFY(frame()->open(m_dir->file(QStringLiteral("Kalvane/Acetone.kvln"))));
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void capacityAndTheFormatQuestion()
    {
        Tprinter *p = dlg();
        QVERIFY(p->findChild<QGroupBox *>(QStringLiteral("GroupContenance")));
        QCOMPARE(p->findChild<QLineEdit *>(QStringLiteral("Ed_contenance")), p->Ed_contenance);
        p->Rad_2->click();
        p->show();
        // Without a capacity nothing more is asked than before.
        QCOMPARE(p->Ed_contenance->text(), frame()->activeLabel()->document().capacity);
        p->Ed_contenance->clear();
        p->But_OKTag = 1;
        p->But_OK->click();
        QCOMPARE(p->But_OKTag, 0);
        QVERIFY(desk()->messages.isEmpty());

        // With 1 L on a 2-per-page label: no error, the presentation warnings
        // and the question; "Non" stays in the options.
        p->show();
        p->Ed_contenance->setText(QStringLiteral("1"));
        QCOMPARE(p->capacity(), 1.0);
        desk()->answers.enqueue(Desktop::No);
        p->But_OKTag = 1;
        p->But_OK->click();
        QCOMPARE(p->But_OKTag, 1);
        QVERIFY(p->isVisible());
        QCOMPARE(desk()->messages.size(), 1);
        const QString text = desk()->messages.constFirst().text;
        QVERIFY2(text.contains(QStringLiteral("avertissement : Impression « 2 étiquettes par page » : l'interligne")),
                 qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("erreur :")));
        QVERIFY(text.contains(QStringLiteral("Imprimer quand même ?")));
        // 16 per page is too small for 1 L: an error, "Oui" prints anyway.
        p->Rad_16->click();
        desk()->answers.enqueue(Desktop::Yes);
        p->But_OK->click();
        QVERIFY(desk()->answers.isEmpty());
        QCOMPARE(p->But_OKTag, 0);
        QVERIFY(!p->isVisible());
        bool error = false;
        for (const ScriptedDesktop::Message &m : desk()->messages)
            error = error || m.text.contains(QStringLiteral("erreur : Impression « 16 étiquettes par page » : L'étiquette mesure"));
        QVERIFY2(error, qPrintable(desk()->messageLines().join(u'\n')));
    }

    void verificationNamesTheLayout()
    {
        Tprinter *p = dlg();
        p->Rad_8->click();
        p->Ed_contenance->setText(QStringLiteral("20"));
        desk()->answers.enqueue(Desktop::Ok);
        frame()->Verifier1->trigger();
        QCOMPARE(desk()->messages.size(), 1);
        const QString text = desk()->messages.constFirst().text;
        QVERIFY2(text.contains(QStringLiteral("mise en page des options d'impression (la dernière utilisée) : « 8 étiquettes par page »")),
                 qPrintable(text));
        // 8 per page on A4 for 20 L: the label is smaller than 74 × 105 mm.
        QVERIFY(text.contains(QStringLiteral("au moins 74 × 105 mm")));
    }
};

QTEST_MAIN(TestPrintFormat)
#include "gui_printformat.moc"
