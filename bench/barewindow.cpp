// The yardstick of bench_startup: an empty main window of the toolkit, shown
// and ended at its first paint as the program is (shell/startupprobe.h).

#include "shell/startupprobe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartupProbe::installWhenAsked("QMainWindow");
    QMainWindow window;
    window.resize(687, 505);
    window.show();
    return QApplication::exec();
}
