#include "tools/four.h"

#include "shell/application.h"

TFour::TFour(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TFour");
    setObjectName(QStringLiteral("TFour"));
    setWindowTitle(QStringLiteral("Fournisseur"));
}

void TFour::handOver(const QString &, const QImage &, const QString &)
{
    show();
    raise();
    activateWindow();
}
