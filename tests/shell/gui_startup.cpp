#include "testsupport.h"

#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/splash.h"
#include "tools/printer.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {
QStringList lines(const TempStartDir &dir, const QString &name)
{
    return QString::fromLatin1(dir.read(name)).split(QStringLiteral("\r\n"));
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowsAreCreatedInOrder();
    void firstStartThenClosingWritesBothSettingsFiles();
    void oneLineSettingsKeepBuiltInGeometry();
    void maximisedFrameIsStoredAsFixedSize();
    void unreachableFolderWarns();
    void confirmedDialogFolderBecomesLastUsedFolder();
    void noPrinterEndsTheProgram();
    void extremeGeometryStaysOnTheScreen();
    void unstorableFolderKeepsTheSettings();
    void splashClosesAtSecondTick();
    void fontMenuListsDefaultAndFamilies();
    void printSettingsComeFromDatIni();
};

void TestStartup::windowsAreCreatedInOrder()
{
    TempStartDir dir;
    TestProgram program;
    QCOMPARE(program.app->creationLog(),
             (QStringList{"TForm_base", "TApropos", "TPrintView", "Tprinter", "TFormEdit", "TFormApercu",
                          "TQual_jpeg", "TPlanche1", "Trech", "TFour", "TFormRF", "THPpicto", "TForm1"}));
    QCOMPARE(program.app->frame()->windowTitle(), QStringLiteral("Kalvane"));
    QVERIFY(program.app->frame()->labelWindows().isEmpty());
    QVERIFY(!program.app->terminateRequested());
    QVERIFY(program.desktop->messages.isEmpty());
}

void TestStartup::firstStartThenClosingWritesBothSettingsFiles()
{
    TempStartDir dir;
    const QString start = QDir::currentPath();
    {
        TestProgram program;
        TForm_base *frame = program.app->frame();
        QCOMPARE(program.desktop->iconRegistrations, 1);
        QCOMPARE(frame->openDialogFolder, start + QStringLiteral("/Kalvane"));
        QCOMPARE(frame->saveDialogFolder, start + QStringLiteral("/Kalvane"));
        QCOMPARE(frame->lastUsedFolder(), start + QStringLiteral("/Kalvane"));
        QCOMPARE(frame->pos(), QPoint(388, 176));
        QCOMPARE(frame->size(), QSize(687, 505));
        QCOMPARE(QDir::currentPath(), start); // not changed on a first start
        program.app->apercu()->TrackBar1->setValue(170);
        frame->close();
    }
    const QStringList dat = lines(dir, QStringLiteral("dat.ini"));
    QCOMPARE(dat.size(), 9); // eight lines, each ended by CR LF
    QCOMPARE(dat.last(), QString());
    QCOMPARE(dat.mid(0, 8), (QStringList{start, "505", "687", "176", "388", "0", "0", "100"}));
    QCOMPARE(dir.read(QStringLiteral("trakvln.ini")), QByteArray("170\r\n"));

    // The second start registers nothing and restores the slider.
    TestProgram again;
    QCOMPARE(again.desktop->iconRegistrations, 0);
    QCOMPARE(again.app->apercu()->TrackBar1->value(), 170);
    // The last-used folder is the start directory itself, which holds the
    // program's data: the label dialogs start in the default label folder.
    QCOMPARE(again.app->frame()->lastUsedFolder(), start);
    QCOMPARE(QDir::currentPath(), start);
    QCOMPARE(again.app->frame()->openDialogFolder, start + QStringLiteral("/Kalvane"));
}

void TestStartup::oneLineSettingsKeepBuiltInGeometry()
{
    TempStartDir dir;
    QDir().mkpath(dir.file(QStringLiteral("labels")));
    dir.write(QStringLiteral("dat.ini"), dir.file(QStringLiteral("labels")).toLocal8Bit() + "\r\n");
    TestProgram program;
    TForm_base *frame = program.app->frame();
    QCOMPARE(frame->lastUsedFolder(), dir.file(QStringLiteral("labels")));
    QCOMPARE(frame->openDialogFolder, dir.file(QStringLiteral("labels")));
    QCOMPARE(QDir::currentPath(), dir.file(QStringLiteral("labels")));
    QCOMPARE(frame->pos(), QPoint(388, 176));
    QCOMPARE(frame->size(), QSize(687, 505));
    QCOMPARE(program.desktop->iconRegistrations, 0);
    QVERIFY(program.desktop->messages.isEmpty());
}

void TestStartup::maximisedFrameIsStoredAsFixedSize()
{
    TempStartDir dir;
    {
        TestProgram program;
        program.app->frame()->showMaximized();
        QVERIFY(program.app->frame()->isMaximized());
        program.app->frame()->close();
    }
    QCOMPARE(lines(dir, QStringLiteral("dat.ini")).mid(1, 4), (QStringList{"740", "680", "0", "0"}));
    TestProgram again;
    QVERIFY(!again.app->frame()->isMaximized());
    QCOMPARE(again.app->frame()->size(), QSize(680, 740));
    QCOMPARE(again.app->frame()->pos(), QPoint(0, 0));
}

void TestStartup::unreachableFolderWarns()
{
    TempStartDir dir;
    dir.write(QStringLiteral("dat.ini"), "/no/such/folder\r\n600\r\n");
    TestProgram program(true, [](ScriptedDesktop *d) {
        d->expectMessage(QStringLiteral("AVERTISSEMENT *** KALVANE"), QStringLiteral("''/no/such/folder''"));
    });
    QCOMPARE(program.desktop->messageLines(),
             QStringList{QStringLiteral("AVERTISSEMENT *** KALVANE: Le répertoire ''/no/such/folder'' semble "
                                        "inaccessible.\nSoit il n'existe plus, soit la connexion réseau n'est pas "
                                        "disponible.")});
    QCOMPARE(program.desktop->messages.first().icon, Desktop::Icon::Warning);
    QCOMPARE(program.app->frame()->openDialogFolder, dir.path() + QStringLiteral("/Kalvane"));
    QCOMPARE(program.app->frame()->height(), 600); // geometry before the folder check stays
    QCOMPARE(QDir::currentPath(), dir.path());
}

void TestStartup::confirmedDialogFolderBecomesLastUsedFolder()
{
    TempStartDir dir;
    QDir().mkpath(dir.file(QStringLiteral("F")));
    {
        TestProgram program;
        program.desktop->openAnswers.enqueue({dir.file(QStringLiteral("F/a.kvln"))});
        Desktop::FileDialog d;
        d.title = QStringLiteral("Ouvrir");
        const QStringList chosen = desktop().openFiles(program.app->frame(), d);
        QCOMPARE(chosen, QStringList{dir.file(QStringLiteral("F/a.kvln"))});
        QCOMPARE(QDir::currentPath(), dir.file(QStringLiteral("F")));
        program.app->frame()->close();
    }
    // Settings stay in the start directory; line 1 names F.
    QCOMPARE(lines(dir, QStringLiteral("dat.ini")).first(), dir.file(QStringLiteral("F")));
    QDir::setCurrent(dir.path());
    TestProgram again;
    QCOMPARE(again.app->frame()->openDialogFolder, dir.file(QStringLiteral("F")));
}

void TestStartup::noPrinterEndsTheProgram()
{
    TempStartDir dir;
    TestProgram program(false);
    program.desktop->printerPresent = false;
    QVERIFY(program.desktop->messages.isEmpty());
    program.desktop->expectMessage(TForm1::kNoPrinterTitle, TForm1::kNoPrinterText);
    program.app->splash()->finish();
    QCOMPARE(program.desktop->messageLines(),
             QStringList{QStringLiteral("FIN DE PROGRAMME: Aucune imprimante détectée,\nle programme va se terminer !")});
    QCOMPARE(program.desktop->messages.first().icon, Desktop::Icon::Critical);
    QVERIFY(program.app->terminateRequested());
    QVERIFY(!program.app->splash()->isVisible());
    // Ending this way writes no settings, also when the frame then closes
    // (quitting closes the windows).
    QVERIFY(dir.read(QStringLiteral("dat.ini")).isEmpty());
    program.app->frame()->close();
    QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("dat.ini"))));
    QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("trakvln.ini"))));
}

void TestStartup::extremeGeometryStaysOnTheScreen()
{
    {
        TempStartDir dir;
        dir.write(QStringLiteral("dat.ini"),
                  dir.path().toLocal8Bit() + "\r\n32767\r\n32767\r\n-2147483576\r\n-50000\r\n0\r\n0\r\n100\r\n");
        TestProgram program;
        TForm_base *frame = program.app->frame();
        const QRect screen = frame->screen()->availableVirtualGeometry();
        QVERIFY(frame->width() <= std::max(screen.width(), 680));
        QVERIFY(frame->height() <= std::max(screen.height(), 740));
        // The title bar can be reached.
        QVERIFY(screen.contains(frame->pos()));
    }
    // A frame partly off the screen but reachable keeps its place.
    TempStartDir other;
    other.write(QStringLiteral("dat.ini"), other.path().toLocal8Bit() + "\r\n505\r\n687\r\n176\r\n388\r\n");
    TestProgram again;
    QCOMPARE(again.app->frame()->pos(), QPoint(388, 176));
}

void TestStartup::unstorableFolderKeepsTheSettings()
{
    // A folder that Windows-1252 cannot name: the file is still written, with
    // the default label folder in its place.
    TempStartDir dir;
    const QString odd = dir.file(QStringLiteral("Łódź"));
    QVERIFY(QDir().mkpath(odd));
    {
        TestProgram program;
        program.app->apercu()->TrackBar1->setValue(180);
        QDir::setCurrent(odd);
        program.app->frame()->move(10, 20);
        program.app->frame()->close();
    }
    const QStringList dat = lines(dir, QStringLiteral("dat.ini"));
    QCOMPARE(dat.first(), dir.file(QStringLiteral("Kalvane")));
    QCOMPARE(dat.at(4), QStringLiteral("10"));
    QCOMPARE(dir.read(QStringLiteral("trakvln.ini")), QByteArray("180\r\n"));
}

void TestStartup::splashClosesAtSecondTick()
{
    TempStartDir dir;
    TestProgram program(false);
    TForm1 *splash = program.app->splash();
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(326, 233));
    // Its one-second timer runs; no tick has come yet.
    const QList<QTimer *> timers = splash->findChildren<QTimer *>();
    QCOMPARE(timers.size(), 1);
    QVERIFY(timers.first()->isActive());
    QCOMPARE(timers.first()->interval(), 1000);
    QCOMPARE(splash->ticks(), 0);
    QVERIFY(!splash->finished());
    // However slow the machine, the splash closes at the second tick, not
    // the first, and its timer stops then.
    QTRY_VERIFY_WITH_TIMEOUT(splash->finished(), 60000);
    QCOMPARE(splash->ticks(), 2);
    QVERIFY(!timers.first()->isActive());
    QVERIFY(!splash->isVisible());
    QVERIFY(!program.app->terminateRequested());
}

void TestStartup::fontMenuListsDefaultAndFamilies()
{
    TempStartDir dir;
    TestProgram program;
    TForm_base *frame = program.app->frame();
    QStringList names;
    for (QAction *a : frame->Police1->actions()) {
        QCOMPARE(a->data().toInt(), names.size());
        names << a->text();
    }
    QCOMPARE(names, program.desktop->fonts);
    QVERIFY(!frame->Police1->menuAction()->isEnabled());
}

void TestStartup::printSettingsComeFromDatIni()
{
    TempStartDir dir;
    dir.write(QStringLiteral("dat.ini"), dir.path().toLocal8Bit() + "\r\n505\r\n687\r\n176\r\n388\r\n4\r\n7,5\r\n150\r\n");
    TestProgram program;
    Tprinter *p = program.app->printer();
    QCOMPARE(p->Ed_g->text(), QStringLiteral("4"));
    QCOMPARE(p->Ed_h->text(), QStringLiteral("7,5"));
    QCOMPARE(p->TrackBar1->value(), 150);
}

QTEST_MAIN(TestStartup)
#include "gui_startup.moc"
