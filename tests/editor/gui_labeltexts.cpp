// The label's texts as the user types and pastes them: the typing limits say
// when they stop the user, a supplier block of five lines fits, and the
// characters the label file cannot store are said at once and before the save
// dialog, with the nearest text it can store.

#include "testsupport.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "editor/phraseeditor.h"
#include "render/labelrenderer.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/textfile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

namespace {

// Types `text` key by key, characters outside ASCII included.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(w, Qt::Key_Return);
        else if (c.unicode() < 0x80)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void paste(QPlainTextEdit *memo, const QString &text)
{
    QApplication::clipboard()->setText(text);
    memo->paste();
}

const QString kSupplier = QStringLiteral("Laboratoire de chimie analytique et environnementale\n"
                                         "Université de Bretagne Occidentale, UFR Sciences et Techniques\n"
                                         "6 avenue Victor Le Gorgeu, CS 93837, 29238 Brest Cedex 3\n"
                                         "Tél. : +33 (0)2 98 01 60 00\n"
                                         "Urgence : +33 (0)1 45 42 59 59 (ORFILA)");

} // namespace

class TestLabelTexts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void supplierBlockOfFiveLinesIsKeptWhole();
    void limitsSayWhenTheyStopTheUser();
    void signalWordLimit();
    void unstorableCharactersAreSaidWhenTyped();
    void unstorableCharactersAreListedBeforeTheSaveDialog();
    void phraseEditorOffersTheNearestText();

private:
    TMDIChild *newLabel();
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
};

void TestLabelTexts::init()
{
    m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    m_program = std::make_unique<TestProgram>();
}

void TestLabelTexts::cleanup()
{
    m_program.reset();
    m_dir.reset();
}

TMDIChild *TestLabelTexts::newLabel()
{
    frame()->Nouveau1->trigger();
    return frame()->activeLabel();
}

void TestLabelTexts::supplierBlockOfFiveLinesIsKeptWhole()
{
    TMDIChild *label = newLabel();
    QVERIFY(kSupplier.size() > 235);
    typeText(label->Memo_F, kSupplier);
    QCOMPARE(label->Memo_F->toPlainText(), kSupplier);
    QVERIFY(label->StatusBar1->notice().isEmpty());

    // Drawn whole, in the picture and in the export.
    for (const bool exported : {false, true}) {
        LayoutResult r;
        const LabelContent content = frame()->activeContent();
        QCOMPARE(content.supplier, kSupplier);
        if (exported)
            LabelRenderer::exportImage(content, &r);
        else
            LabelRenderer::labelPicture(content, &r);
        QVERIFY(r.cutStatement.isEmpty());
        QVERIFY(r.supplier.bottom() < r.product.top());
    }

    // Saved and opened again, every line is there.
    const QString path = m_dir->file(QStringLiteral("brest.kvln"));
    desk()->saveAnswers.enqueue(path);
    frame()->Enregistrer1->trigger();
    QVERIFY(desk()->messages.isEmpty());
    const QStringList lines = TextFile::readLines(path);
    for (const QString &line : kSupplier.split(u'\n'))
        QVERIFY2(lines.contains(line), qPrintable(line));
    desk()->openAnswers.enqueue({path});
    label->parentWidget()->close();
    frame()->Ouvrir1->trigger();
    QCOMPARE(frame()->activeLabel()->Memo_F->toPlainText(), kSupplier);
}

void TestLabelTexts::limitsSayWhenTheyStopTheUser()
{
    TMDIChild *label = newLabel();
    // Typing stops at the limit, and the status line says why.
    const QString full(LabelDocument::kSupplierMax, u's');
    label->Memo_F->setPlainText(full.chopped(1));
    label->Memo_F->moveCursor(QTextCursor::End);
    typeText(label->Memo_F, QStringLiteral("ab"));
    QCOMPARE(label->Memo_F->toPlainText(), full.chopped(1) + u'a');
    QCOMPARE(label->StatusBar1->notice(), QStringLiteral("Maximum atteint : 320 caractères"));
    QCOMPARE(label->StatusBar1->noticeDetail(),
             QStringLiteral("Limite atteinte : le fournisseur compte au plus 320 caractères."));
    QTest::keyClick(label->Memo_F, Qt::Key_Return);
    QCOMPARE(label->Memo_F->toPlainText().size(), LabelDocument::kSupplierMax);

    // A change that goes in clears the notice.
    QTest::keyClick(label->Memo_F, Qt::Key_Backspace);
    QVERIFY(label->StatusBar1->notice().isEmpty());

    // A paste that does not fit is refused whole, never cut.
    label->Memo_S->setPlainText(QString(120, u'p'));
    label->Memo_S->moveCursor(QTextCursor::End);
    paste(label->Memo_S, QStringLiteral(" chlorhydrique"));
    QCOMPARE(label->Memo_S->toPlainText(), QString(120, u'p'));
    QCOMPARE(label->StatusBar1->notice(), QStringLiteral("Collage refusé : 128 caractères au plus"));
    QCOMPARE(label->StatusBar1->noticeDetail(),
             QStringLiteral("Texte refusé : 14 caractères pour 8 de place "
                            "(le nom du produit compte au plus 128 caractères)."));
    paste(label->Memo_S, QStringLiteral(" acide"));
    QCOMPARE(label->Memo_S->toPlainText(), QString(120, u'p') + QStringLiteral(" acide"));
    QVERIFY(label->StatusBar1->notice().isEmpty());

    // The comment, the same way.
    label->Memo_C->setPlainText(QString(LabelDocument::kCommentMax, u'c'));
    label->Memo_C->moveCursor(QTextCursor::End);
    typeText(label->Memo_C, QStringLiteral("x"));
    QCOMPARE(label->Memo_C->toPlainText().size(), LabelDocument::kCommentMax);
    QCOMPARE(label->StatusBar1->noticeDetail(),
             QStringLiteral("Limite atteinte : le commentaire compte au plus 255 caractères."));
    QVERIFY(desk()->messages.isEmpty());
}

void TestLabelTexts::signalWordLimit()
{
    TMDIChild *label = newLabel();
    QLineEdit *edit = label->ComboBox1->lineEdit();
    edit->selectAll();
    typeText(edit, QStringLiteral("ATTENTION TOXIQUE"));
    QCOMPARE(label->ComboBox1->currentText(), QStringLiteral("ATTENTION TOXIQ"));
    QCOMPARE(label->StatusBar1->notice(), QStringLiteral("Maximum atteint : 15 caractères"));
    QCOMPARE(label->StatusBar1->noticeDetail(),
             QStringLiteral("Limite atteinte : la mention d'avertissement compte au plus 15 caractères."));

    // A paste that would pass the limit is refused whole.
    edit->selectAll();
    typeText(edit, QStringLiteral("DANGER"));
    QVERIFY(label->StatusBar1->notice().isEmpty());
    QApplication::clipboard()->setText(QStringLiteral(" MORTEL IMMEDIAT"));
    edit->paste();
    QCOMPARE(label->ComboBox1->currentText(), QStringLiteral("DANGER"));
    QCOMPARE(label->StatusBar1->notice(), QStringLiteral("Maximum atteint : 15 caractères"));
    QCOMPARE(label->StatusBar1->noticeDetail(),
             QStringLiteral("Limite atteinte : la mention d'avertissement compte au plus 15 caractères."));

    // A label file's longer signal word is kept whole; typing can shorten it.
    LabelDocument doc = label->document();
    doc.signalWord = QStringLiteral("DANGER DE MORT IMMEDIAT");
    label->applyDocument(doc);
    QCOMPARE(label->ComboBox1->currentText(), doc.signalWord);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(label->ComboBox1->currentText(), doc.signalWord.chopped(1));
    typeText(edit, QStringLiteral("TT"));
    QCOMPARE(label->ComboBox1->currentText(), doc.signalWord.chopped(1));
    QVERIFY(desk()->messages.isEmpty());
}

void TestLabelTexts::unstorableCharactersAreSaidWhenTyped()
{
    TMDIChild *label = newLabel();
    // Typed: the question names the character and what it would become.
    desk()->answers.enqueue(Desktop::Yes);
    typeText(label->Memo_C, QString::fromUtf8("pH ≥ 12"));
    QCOMPARE(label->Memo_C->toPlainText(), QStringLiteral("pH >= 12"));
    QCOMPARE(desk()->messages.size(), 1);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QCOMPARE(desk()->messages.last().buttons, Desktop::Buttons(Desktop::Yes | Desktop::No));
    QVERIFY(desk()->messages.last().text.contains(QString::fromUtf8("« ≥ » (U+2265) → « >= »")));

    // Pasted: one question for all of the pasted text.
    desk()->answers.enqueue(Desktop::Yes);
    paste(label->Memo_S, QString::fromUtf8("α-pinène ≤ 5\u202F%"));
    QCOMPARE(desk()->messages.size(), 2);
    const QString question = desk()->messages.last().text;
    QVERIFY(question.contains(QString::fromUtf8("« α » (U+03B1) → « alpha »")));
    QVERIFY(question.contains(QString::fromUtf8("(U+2264) → « <= »")));
    QVERIFY(question.contains(QString::fromUtf8("(U+202F) → espace insécable")));
    // (the memo's plain text shows its no-break spaces as blanks)
    QCOMPARE(label->Memo_S->document()->toRawText(), QString::fromUtf8("alpha-pinène <= 5\u00A0%"));

    // No: the text stays as typed.
    desk()->answers.enqueue(Desktop::No);
    typeText(label->Memo_F, QString::fromUtf8("β"));
    QCOMPARE(label->Memo_F->toPlainText(), QString::fromUtf8("β"));

    // Without an equivalent: said, and kept for the user to change.
    desk()->answers.enqueue(Desktop::Ok);
    paste(label->Memo_F, QString::fromUtf8(" 中"));
    QCOMPARE(desk()->messages.size(), 4);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(desk()->messages.last().text.contains(QString::fromUtf8("« 中 » (U+4E2D) : aucun équivalent")));
    QCOMPARE(label->Memo_F->toPlainText(), QString::fromUtf8("β 中"));

    // An accent typed as a combining mark is composed, without a question.
    paste(label->Memo_C, QStringLiteral(" e\u0301te\u0301"));
    QCOMPARE(label->Memo_C->toPlainText(), QString::fromUtf8("pH >= 12 été"));

    // The signal word is checked once its edit is done.
    desk()->answers.enqueue(Desktop::Yes);
    QLineEdit *edit = label->ComboBox1->lineEdit();
    edit->selectAll();
    typeText(edit, QString::fromUtf8("Δ"));
    QTRY_COMPARE(desk()->messages.size(), 5);
    QTRY_COMPARE(label->ComboBox1->currentText(), QStringLiteral("Delta"));
    QCOMPARE(desk()->messages.size(), 5);
}

void TestLabelTexts::unstorableCharactersAreListedBeforeTheSaveDialog()
{
    TMDIChild *label = newLabel();
    // Texts that came in without the typing check (a tool window, a kept "Non").
    label->Memo_S->setPlainText(QString::fromUtf8("α-Pinène"));
    label->Memo_C->setPlainText(QString::fromUtf8("Point éclair ≥ 32 °C, α"));
    QListWidgetItem *h226 = label->CheckListBox2->findItems(QStringLiteral("H226"), Qt::MatchStartsWith).value(0);
    QVERIFY(h226);
    h226->setText(h226->text() + QString::fromUtf8(" (≤ 60 °C)"));
    h226->setCheckState(Qt::Checked);

    // One message lists them all, before any file dialog; No saves nothing.
    desk()->answers.enqueue(Desktop::No);
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 1);
    QVERIFY(desk()->fileDialogs.isEmpty());
    const QString text = desk()->messages.last().text;
    QCOMPARE(desk()->messages.last().title, QStringLiteral("CONFIRMATION"));
    QVERIFY(text.contains(QString::fromUtf8("Le nom du produit : « α » (U+03B1) → « alpha »")));
    QVERIFY(text.contains(QString::fromUtf8("Le commentaire : « ≥ » (U+2265) → « >= »")));
    QVERIFY(text.contains(QString::fromUtf8("Le commentaire : « α » (U+03B1) → « alpha »")));
    QVERIFY(text.contains(QString::fromUtf8("La phrase H226 : « ≤ » (U+2264) → « <= »")));
    QCOMPARE(label->Memo_S->toPlainText(), QString::fromUtf8("α-Pinène"));

    // Yes replaces them and goes on to the dialog and the file.
    const QString path = m_dir->file(QStringLiteral("pinene.kvln"));
    desk()->answers.enqueue(Desktop::Yes);
    desk()->saveAnswers.enqueue(path);
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 2);
    QCOMPARE(desk()->fileDialogs.size(), 1);
    QCOMPARE(label->Memo_S->toPlainText(), QString::fromUtf8("alpha-Pinène"));
    QCOMPARE(label->Memo_C->toPlainText(), QString::fromUtf8("Point éclair >= 32 °C, alpha"));
    QVERIFY(!label->isModified());
    const QStringList lines = TextFile::readLines(path);
    QVERIFY(lines.contains(QString::fromUtf8("alpha-Pinène")));
    QVERIFY(lines.contains(h226->text()));
    QVERIFY(h226->text().endsWith(QStringLiteral("(<= 60 °C)")));

    // A character without equivalent: the others may be replaced, but the
    // label is not saved and no dialog opens.
    label->Memo_F->setPlainText(QString::fromUtf8("化学 ≥"));
    desk()->answers.enqueue(Desktop::Yes);
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 3);
    QCOMPARE(desk()->fileDialogs.size(), 1);
    QVERIFY(desk()->messages.last().text.contains(QString::fromUtf8("Le fournisseur : « 化 » (U+5316) : aucun équivalent")));
    QVERIFY(desk()->messages.last().text.contains(QString::fromUtf8("Le fournisseur : « 学 » (U+5B66)")));
    QCOMPARE(label->Memo_F->toPlainText(), QString::fromUtf8("化学 >="));
    QVERIFY(label->isModified());

    // Only characters without equivalent: a warning, nothing saved.
    desk()->answers.enqueue(Desktop::Ok);
    frame()->Enregistrer1->trigger();
    QCOMPARE(desk()->messages.size(), 4);
    QCOMPARE(desk()->messages.last().title, QStringLiteral("AVERTISSEMENT"));
    QVERIFY(desk()->messages.last().text.startsWith(QStringLiteral("L'étiquette n'est pas enregistrée")));
    QCOMPARE(desk()->fileDialogs.size(), 1);
}

void TestLabelTexts::phraseEditorOffersTheNearestText()
{
    TMDIChild *label = newLabel();
    Q_UNUSED(label);
    TFormEdit *editor = m_program->app->formEdit();
    QVERIFY(editor);
    editor->setText(QStringLiteral("H226: Liquide et vapeurs inflammables."));
    editor->Memo1->moveCursor(QTextCursor::End);
    desk()->answers.enqueue(Desktop::Yes);
    typeText(editor->Memo1, QString::fromUtf8(" ≥"));
    QCOMPARE(editor->text(), QStringLiteral("H226: Liquide et vapeurs inflammables. >="));
    desk()->answers.enqueue(Desktop::No);
    QApplication::clipboard()->setText(QString::fromUtf8(" α"));
    editor->Memo1->paste();
    QCOMPARE(editor->text(), QString::fromUtf8("H226: Liquide et vapeurs inflammables. >= α"));
    QCOMPARE(desk()->messages.size(), 2);
    QVERIFY(desk()->messages.last().text.contains(QString::fromUtf8("« α » (U+03B1) → « alpha »")));
}

QTEST_MAIN(TestLabelTexts)
#include "gui_labeltexts.moc"
