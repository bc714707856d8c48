#include "tools/planche.h"

#include "shell/application.h"

TPlanche1::TPlanche1(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TPlanche1");
    setObjectName(QStringLiteral("TPlanche1"));
    setWindowTitle(QStringLiteral("Planche d'étiquettes"));
}
