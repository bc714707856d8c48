#include "tools/rech.h"

#include "shell/application.h"

Trech::Trech(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("Trech");
    setObjectName(QStringLiteral("Trech"));
    setWindowTitle(QStringLiteral("Base de données locale"));
}

void Trech::showWindow()
{
    show();
    raise();
    activateWindow();
}
