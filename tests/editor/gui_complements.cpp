// The "Compléments" tab of the label window: its named controls, what they
// give to and take from the label, the label marked changed by an edit, and
// the UFI checked as it is typed, pasted and left.

#include "testsupport.h"

#include "editor/complementstab.h"
#include "editor/mdichild.h"
#include "editor/ufi.h"
#include "shell/application.h"
#include "shell/base.h"
#include "scripteddesktop.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

namespace TestData {
// A complete label file without complements: the shipped acetone sample.
QByteArray labelBytes()
{
    QFile f(QStringLiteral(KALVANE_DATA_DIR "/Kalvane/Acetone.kvln"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace TestData

class TestComplementsTab : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fifthTabWithNamedControls()
    {
        TempStartDir dir(kCatalogueFiles);
        TestProgram program;
        program.app->frame()->Nouveau1->trigger();
        TMDIChild *label = program.app->frame()->activeLabel();
        QVERIFY(label);
        QCOMPARE(label->PageControl1->count(), 5);
        QCOMPARE(label->PageControl1->tabText(4), QStringLiteral("Compléments"));
        for (const char *name : {"EdQuantite", "EdContenance", "EdUFI", "EdFDS"})
            QVERIFY2(label->findChild<QLineEdit *>(QString::fromLatin1(name)), name);
        for (const char *name : {"MemoContient", "MemoInfos"})
            QVERIFY2(label->findChild<QPlainTextEdit *>(QString::fromLatin1(name)), name);
        QVERIFY(!label->document().hasComplements());
    }

    // Typed values reach the label's document (memo lines one entry each) and
    // mark it changed; a document taken in fills the tab without marking it,
    // and what the tab does not show (a later version's lines) is handed back.
    void valuesGoBothWays()
    {
        TempStartDir dir(kCatalogueFiles);
        TestProgram program;
        program.app->frame()->Nouveau1->trigger();
        TMDIChild *label = program.app->frame()->activeLabel();
        ComplementsTab *tab = label->Complements;
        QVERIFY(!label->isModified());
        QTest::keyClicks(tab->EdQuantite, QStringLiteral("1 L"));
        QVERIFY(label->isModified());
        QTest::keyClicks(tab->EdContenance, QStringLiteral("0,5"));
        // (QTest types ASCII only: accented text goes in as a paste would.)
        tab->MemoContient->insertPlainText(QStringLiteral("acétone"));
        QTest::keyClick(tab->MemoContient, Qt::Key_Return);
        tab->MemoContient->insertPlainText(QStringLiteral("xylène"));
        tab->MemoInfos->insertPlainText(QStringLiteral("Réservé aux utilisateurs professionnels."));
        QTest::keyClicks(tab->EdFDS, QStringLiteral("https://fds.example.org/d12.pdf"));
        LabelDocument doc = label->document();
        QCOMPARE(doc.quantity, QStringLiteral("1 L"));
        QCOMPARE(doc.capacity, QStringLiteral("0,5"));
        QCOMPARE(doc.contains, (QStringList{QStringLiteral("acétone"), QStringLiteral("xylène")}));
        QCOMPARE(doc.infos, QStringList{QStringLiteral("Réservé aux utilisateurs professionnels.")});
        QCOMPARE(doc.sdsAddress, QStringLiteral("https://fds.example.org/d12.pdf"));

        label->setModified(false);
        tab->MemoInfos->clear();
        QVERIFY(label->isModified());

        doc.ufi = QStringLiteral("R3NN-3KVT-2XSG-W43J");
        doc.otherComplements = {QStringLiteral("futur=oui"), QStringLiteral("sans égal")};
        label->applyDocument(doc);
        QVERIFY(!label->isModified());
        QCOMPARE(tab->EdUFI->text(), doc.ufi);
        QCOMPARE(tab->MemoContient->toPlainText(), QStringLiteral("acétone\nxylène"));
        QCOMPARE(label->document(), doc);
        QVERIFY(program.desktop->messages.isEmpty());
    }

    void ufiCheckedAsTypedPastedAndLeft()
    {
        TempStartDir dir(kCatalogueFiles);
        TestProgram program;
        program.app->frame()->Nouveau1->trigger();
        TMDIChild *label = program.app->frame()->activeLabel();
        ComplementsTab *tab = label->Complements;
        label->PageControl1->setCurrentIndex(4);

        // Typed in small letters: half-way it is only incomplete, complete it is
        // valid, and leaving the field writes it as printed.
        QTest::keyClicks(tab->EdUFI, QStringLiteral("gmtt-2sqn"));
        QVERIFY(tab->LabUFI->text().contains(QStringLiteral("incomplet")));
        QTest::keyClicks(tab->EdUFI, QStringLiteral("-6fdd-6tv1"));
        QCOMPARE(tab->LabUFI->text(), QStringLiteral("UFI valide."));
        QTest::keyClick(tab->EdUFI, Qt::Key_Return);
        QCOMPARE(tab->EdUFI->text(), QStringLiteral("GMTT-2SQN-6FDD-6TV1"));
        QVERIFY(program.desktop->messages.isEmpty());

        // One character changed: said under the field at once, in a message
        // when the field is left, and only once for the same text.
        tab->EdUFI->end(false);
        QTest::keyClick(tab->EdUFI, Qt::Key_Backspace);
        QTest::keyClicks(tab->EdUFI, QStringLiteral("2"));
        const QString wrong = Ufi::message(Ufi::verify(QStringLiteral("GMTT-2SQN-6FDD-6TV2")),
                                           QStringLiteral("GMTT-2SQN-6FDD-6TV2"));
        QVERIFY(wrong.contains(QStringLiteral("caractère de contrôle")));
        QCOMPARE(tab->LabUFI->text(), wrong);
        QVERIFY(program.desktop->messages.isEmpty());
        program.desktop->answers << Desktop::Ok; // the one message expected
        QTest::keyClick(tab->EdUFI, Qt::Key_Return);
        QTest::keyClick(tab->EdUFI, Qt::Key_Return);
        QVERIFY(program.desktop->answers.isEmpty());
        QCOMPARE(program.desktop->messageLines(), QStringList{QStringLiteral("UFI: ") + wrong});
        QCOMPARE(label->document().ufi, QStringLiteral("GMTT-2SQN-6FDD-6TV2")); // kept as typed

        // A pasted code is judged at once.
        tab->EdUFI->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("GMTT-2SQN-6FDD-6TVO"));
        program.desktop->answers << Desktop::Ok;
        tab->EdUFI->paste();
        QVERIFY(program.desktop->answers.isEmpty());
        QCOMPARE(program.desktop->messages.size(), 2);
        QVERIFY(program.desktop->messages.at(1).text.contains(QStringLiteral("« O »")));
        QCOMPARE(program.desktop->messages.at(1).icon, Desktop::Icon::Warning);
    }

    // A label file whose block holds a line this version cannot read opens
    // with its complements, says the line once, and writes it back on save.
    void damagedBlockOpensAndIsKept()
    {
        TempStartDir dir(kCatalogueFiles);
        TestProgram program;
        QByteArray bytes = TestData::labelBytes();
        bytes += "***kalvane***\r\nufi=GMTT-2SQN-6FDD-6TV1\r\nligne abim\xE9""e\r\nquantite=1 L\r\n";
        dir.write(QStringLiteral("abime.kvln"), bytes);
        program.desktop->openAnswers.enqueue({dir.file(QStringLiteral("abime.kvln"))});
        program.desktop->answers << Desktop::Ok;
        program.app->frame()->Ouvrir1->trigger();
        QCOMPARE(program.desktop->messages.size(), 1);
        QCOMPARE(program.desktop->messages.first().title, TForm_base::kWarningTitle);
        QVERIFY2(program.desktop->messages.first().text.contains(QStringLiteral("« ligne abimée »")),
                 qPrintable(program.desktop->messages.first().text));
        TMDIChild *label = program.app->frame()->activeLabel();
        QVERIFY(label);
        QCOMPARE(label->Complements->EdUFI->text(), QStringLiteral("GMTT-2SQN-6FDD-6TV1"));
        QCOMPARE(label->Complements->EdQuantite->text(), QStringLiteral("1 L"));
        QVERIFY(!label->isModified());

        program.desktop->saveAnswers.enqueue(dir.file(QStringLiteral("copie.kvln")));
        program.app->frame()->Enregistrersous1->trigger();
        const QByteArray saved = dir.read(QStringLiteral("copie.kvln"));
        QVERIFY2(saved.endsWith("_eof\r\n***kalvane***\r\nquantite=1 L\r\nufi=GMTT-2SQN-6FDD-6TV1\r\n"
                                "ligne abim\xE9""e\r\n"),
                 saved.right(120).constData());
        QCOMPARE(program.desktop->messages.size(), 1);
    }
};

QTEST_MAIN(TestComplementsTab)
#include "gui_complements.moc"
