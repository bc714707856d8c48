#include "render/printview.h"

#include "shell/application.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

TPrintView::TPrintView(QWidget *frame)
    : QWidget(frame, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    Application::noteCreated("TPrintView");
    setObjectName(QStringLiteral("TPrintView"));
    setWindowTitle(kCaption);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(5, 5, 636, 636);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFixedSize(460, 646);
}

void TPrintView::setPageSize(int width, int height)
{
    setFixedSize(width + 10, height + 10);
}

void TPrintView::showPage(const QImage &picture)
{
    Image1->setPixmap(QPixmap::fromImage(picture));
    if (isVisible())
        Image1->repaint();
}
