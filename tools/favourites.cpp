#include "tools/favourites.h"

#include "shell/application.h"

TFormRF::TFormRF(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TFormRF");
    setObjectName(QStringLiteral("TFormRF"));
    setWindowTitle(QStringLiteral("Rechercher dans les favoris"));
}
