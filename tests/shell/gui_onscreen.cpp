// Windows open wholly on the screen that shows the frame, however close to
// its edge the frame stands, and a long message scrolls inside a window of
// sensible size.

#include "testsupport.h"

#include "render/printview.h"
#include "render/qualjpeg.h"
#include "shell/application.h"
#include "shell/apropos.h"
#include "shell/base.h"
#include "shell/qtdesktop.h"
#include "tools/favourites.h"
#include "tools/four.h"
#include "tools/planche.h"
#include "tools/printer.h"
#include "tools/rech.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kSamples = {QStringLiteral("Kalvane/Acetone.kvln"),
                              QStringLiteral("Kalvane/Acide sulfurique 96%.kvln"),
                              QStringLiteral("Kalvane/Hypochlorite de sodium.kvln")};

QString describe(const QWidget *w, const QRect &area)
{
    const QRect g = w->frameGeometry();
    return QStringLiteral("%1 at %2,%3 %4x%5, screen %6,%7 %8x%9")
        .arg(w->objectName())
        .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
        .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
}

} // namespace

class TestOnScreen : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    QRect area() const { return frame()->screen()->availableGeometry(); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles + kSamples
                                               + QStringList{QStringLiteral("databases/db_francais.csv")});
        m_program = std::make_unique<TestProgram>();
        frame()->show();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void toolWindowsOpenOnTheScreen()
    {
        // The frame in the screen's bottom-right corner: a window opened
        // over it, beside it or at its stored size would leave the screen.
        const QRect screen = area();
        frame()->setGeometry(screen.right() - 360, screen.bottom() - 260, 500, 400);
        Application *app = m_program->app;

        app->rech()->showWindow();
        frame()->PlancheExecute();
        frame()->Chercher1->trigger();
        app->four()->show();
        app->qualJpeg()->show();
        app->apropos()->show();
        Tprinter *printer = app->printer();
        m_program->desktop->openAnswers.enqueue({m_dir->file(kSamples.at(0)), m_dir->file(kSamples.at(1))});
        printer->show();
        printer->Button1->click();
        printer->But_View->click();

        const QList<QWidget *> windows = {app->rech(),     app->planche(), app->formRF(),   app->four(),
                                          app->qualJpeg(), app->apropos(), printer,         app->printView()};
        for (QWidget *w : windows) {
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
            QVERIFY2(screen.contains(w->frameGeometry()), qPrintable(describe(w, screen)));
        }
        QVERIFY2(m_program->desktop->messages.isEmpty(), qPrintable(m_program->desktop->messageLines().join(u'\n')));
    }

    void windowLargerThanTheScreenIsMadeSmaller()
    {
        const QRect screen = area();
        Trech *rech = m_program->app->rech();
        rech->resize(screen.width() + 300, screen.height() + 200);
        rech->move(screen.left() + 40, screen.top() + 30);
        rech->showWindow();
        QVERIFY2(screen.contains(rech->frameGeometry()), qPrintable(describe(rech, screen)));
        QVERIFY(rech->minimumSize().width() <= screen.width() && rech->minimumSize().height() <= screen.height());

        // A window the user keeps on the screen stays where it is.
        rech->hide();
        const QRect kept(screen.topLeft() + QPoint(20, 20), rech->minimumSizeHint().expandedTo(QSize(400, 300)));
        rech->setGeometry(kept);
        rech->showWindow();
        QCOMPARE(rech->geometry(), kept);
    }

    void longMessageScrolls()
    {
        // A check report of 120 findings: the real desktop's message keeps
        // within two thirds of the screen and scrolls; every line is there.
        QStringList findings;
        for (int i = 1; i <= 120; ++i)
            findings << QStringLiteral("erreur : La phrase H%1 est absente du catalogue « H.txt ».").arg(200 + i);
        const QString text = findings.join(u'\n');
        const QRect screen = area();
        QRect shown;
        QString held;
        int scrollRange = 0;
        bool wasMessageBox = true;
        QTimer::singleShot(0, this, [&] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            wasMessageBox = qobject_cast<QMessageBox *>(box) != nullptr;
            shown = box->frameGeometry();
            if (auto *view = box->findChild<QPlainTextEdit *>(QStringLiteral("messageText"))) {
                held = view->toPlainText();
                scrollRange = view->verticalScrollBar()->maximum();
            }
            if (auto *buttons = box->findChild<QDialogButtonBox *>())
                buttons->button(QDialogButtonBox::Ok)->click();
        });
        QtDesktop real;
        QCOMPARE(real.message(frame(), QStringLiteral("VÉRIFICATION"), text, Desktop::Icon::Warning, Desktop::Ok),
                 Desktop::Ok);
        QVERIFY(!wasMessageBox);
        QCOMPARE(held, text);
        QVERIFY(scrollRange > 0);
        QVERIFY2(screen.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(shown.x()).arg(shown.y())
                                                          .arg(shown.width()).arg(shown.height())));
        QVERIFY(shown.height() <= screen.height() * 2 / 3 + 40);
        QVERIFY(shown.width() >= 360);

        // A short message stays an ordinary message box.
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            wasMessageBox = box != nullptr;
            if (box)
                box->button(QMessageBox::No)->click();
        });
        QCOMPARE(real.message(frame(), QStringLiteral("CONFIRMATION"), QStringLiteral("Enregistrer ?"),
                              Desktop::Icon::Question, Desktop::Yes | Desktop::No),
                 Desktop::No);
        QVERIFY(wasMessageBox);
    }
};

QTEST_MAIN(TestOnScreen)
#include "gui_onscreen.moc"
