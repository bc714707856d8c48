#include "render/printview.h"

#include "shell/application.h"

#include <QLabel>

TPrintView::TPrintView(QWidget *frame)
    : QWidget(frame, Qt::Window | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    Application::noteCreated("TPrintView");
    setObjectName(QStringLiteral("TPrintView"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(5, 5, 636, 636);
    setFixedSize(460, 646);
}
