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
    Lab_deborde = new QLabel(this);
    Lab_deborde->setObjectName(QStringLiteral("Lab_deborde"));
    Lab_deborde->setWordWrap(true);
    Lab_deborde->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    Lab_deborde->hide();
    fitToPage();
}

void TPrintView::setPageSize(int width, int height)
{
    m_page = QSize(width, height);
    fitToPage();
}

void TPrintView::showWarning(const QString &text)
{
    Lab_deborde->setText(text);
    Lab_deborde->setVisible(!text.isEmpty());
    fitToPage();
}

void TPrintView::fitToPage()
{
    int band = 0;
    if (!Lab_deborde->text().isEmpty()) {
        const int height = Lab_deborde->heightForWidth(m_page.width());
        Lab_deborde->setGeometry(5, m_page.height() + 10, m_page.width(), height);
        Lab_deborde->raise();
        band = height + 5;
    }
    setFixedSize(m_page.width() + 10, m_page.height() + 10 + band);
}

void TPrintView::showPage(const QImage &picture)
{
    Image1->setPixmap(QPixmap::fromImage(picture));
    if (isVisible())
        Image1->repaint();
}
