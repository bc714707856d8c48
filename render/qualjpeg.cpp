#include "render/qualjpeg.h"

#include "shell/application.h"

TQual_jpeg::TQual_jpeg(QWidget *frame)
    : QDialog(frame)
{
    Application::noteCreated("TQual_jpeg");
    setObjectName(QStringLiteral("TQual_jpeg"));
    setWindowTitle(QStringLiteral("Options - Exportation"));
}
