#include "render/printview.h"

#include "shell/application.h"
#include "shell/onscreen.h"

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
    Lab_taille = new QLabel(this);
    Lab_taille->setObjectName(QStringLiteral("Lab_taille"));
    Lab_taille->setWordWrap(true);
    Lab_taille->hide();
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

void TPrintView::showSize(const QString &text)
{
    Lab_taille->setText(text);
    Lab_taille->setVisible(!text.isEmpty());
    fitToPage();
}

void TPrintView::fitToPage()
{
    int band = 0;
    for (QLabel *line : {Lab_taille, Lab_deborde}) {
        if (line->text().isEmpty())
            continue;
        const int height = line->heightForWidth(m_page.width());
        line->setGeometry(5, m_page.height() + 10 + band, m_page.width(), height);
        line->raise();
        band += height + 5;
    }
    setFixedSize(m_page.width() + 10, m_page.height() + 10 + band);
    // Lines added while the preview is shown must not push its foot off the
    // screen.
    if (isVisible())
        OnScreen::keep(this);
}

void TPrintView::showPage(const QImage &picture)
{
    Image1->setPixmap(QPixmap::fromImage(picture));
    if (isVisible())
        Image1->repaint();
}
