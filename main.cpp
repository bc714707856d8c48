#include "shell/application.h"
#include "shell/base.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
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

    Application app;
    QApplication::setWindowIcon(QIcon(app.startFile(QStringLiteral("kalvane.png"))));
    app.createWindows();
    if (app.terminateRequested())
        return 0;
    return QApplication::exec();
}
