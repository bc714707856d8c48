#include "tools/four.h"

#include "shell/application.h"

TFour::TFour(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TFour");
    setObjectName(QStringLiteral("TFour"));
    setWindowTitle(QStringLiteral("Fournisseur"));
}
