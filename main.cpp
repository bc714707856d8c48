#include "shell/application.h"
#include "shell/base.h"
#include "shell/fontwarmup.h"
#include "shell/singleinstance.h"
#include "shell/startupprobe.h"
#include "shell/themeicon.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    // The font configuration is read on a second thread meanwhile (the main
    // window awaits it before its first text).
    const FontWarmUp fonts;
    StartupProbe::installWhenAsked("TForm_base");
    QApplication::setApplicationName(QStringLiteral("kalvane"));
    QApplication::setApplicationVersion(QStringLiteral(KALVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kalvane"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    // Standard buttons and dialogs in French.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Outside a desktop session Qt knows no icon theme; the tool bar uses Adwaita's.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    useDesktopIconFolders();

    // The files named on the command line ("kalvane a.kvln b.pla"), made
    // absolute before the program moves to its last-used folder. Options (Qt
    // has taken its own) are left aside; "--" ends them.
    QStringList files;
    bool options = true;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (options && argument == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && argument.startsWith(u'-'))
            continue;
        files << QDir::current().absoluteFilePath(argument);
    }

    // A program already running for this start directory takes the files and
    // comes forward; this one ends at once.
    SingleInstance instance(SingleInstance::serverNameFor(QDir::currentPath()));
    if (instance.start(files) == SingleInstance::Role::HandedOver)
        return 0;

    Application app;
    QObject::connect(&instance, &SingleInstance::filesReceived, &qapp,
                     [&app](const QStringList &handed) { app.handOver(handed); });
    app.createWindows();
    if (app.terminateRequested())
        return 0;
    app.openFiles(files);
    if (app.terminateRequested())
        return 0;
    return QApplication::exec();
}
