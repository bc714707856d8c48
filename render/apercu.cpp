#include "render/apercu.h"

#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

namespace {
const QString kCaption = QStringLiteral("Aperçu");
const QString kStripText = QStringLiteral("Prévisualisation");

QPixmap stripPicture()
{
    QPixmap pix(642, 22);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 0, 22);
    g.setColorAt(0, QColor(160, 40, 40));
    g.setColorAt(1, QColor(110, 20, 20));
    p.fillRect(pix.rect(), g);
    return pix;
}

QPixmap closePicture()
{
    QPixmap pix(10, 10);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(1, 1, 9, 9);
    p.drawLine(9, 1, 1, 9);
    return pix;
}
} // namespace

TFormApercu::TFormApercu(QWidget *frame)
    : QWidget(frame, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    Application::noteCreated("TFormApercu");
    setObjectName(QStringLiteral("TFormApercu"));
    setWindowTitle(kCaption);
    setFixedSize(642, 475);
    move(489, 158);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    setPalette(pal);

    Image3 = new QLabel(this);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(0, 0, 642, 22);
    Image3->setPixmap(stripPicture());
    Label1 = new QLabel(kStripText, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(13, 3);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    Label1->setFont(f);
    Label1->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    Label1->adjustSize();
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(623, 6, 10, 10);
    Image2->setPixmap(closePicture());
    Image2->setToolTip(QStringLiteral("Fermer"));
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(461, 2, 150, 16);
    TrackBar1 = new QSlider(Qt::Horizontal, Panel1);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(0, 0, 150, 16);
    TrackBar1->setRange(TrakIni::kMinimum, TrakIni::kMaximum);
    TrackBar1->setTickPosition(QSlider::NoTicks);
    TrackBar1->setToolTip(QStringLiteral("Transparence"));
    TrackBar1->setValue(TrakIni::kDefault);
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int v) {
        if (windowsCanBlend())
            setWindowOpacity(v / 255.0);
    });
    if (windowsCanBlend())
        setWindowOpacity(TrakIni::kDefault / 255.0);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(3, 22, 636, 450);
    for (QWidget *handle : {static_cast<QWidget *>(Image3), static_cast<QWidget *>(Label1),
                            static_cast<QWidget *>(Image1), static_cast<QWidget *>(Image2)})
        handle->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    if (TForm_base *f = Form_base()) {
        PopupMenu1->addAction(f->Enregistrer1);
        PopupMenu1->addAction(f->Export1);
        PopupMenu1->addSeparator();
        PopupMenu1->addAction(f->Printer1);
        PopupMenu1->addSeparator();
    }
    QAction *closeItem = PopupMenu1->addAction(QStringLiteral("Fermer"));
    closeItem->setObjectName(QStringLiteral("Fermer2"));
    connect(closeItem, &QAction::triggered, this, &QWidget::hide);

    readTransparency();
}

void TFormApercu::readTransparency()
{
    const QString path = kalvane() ? kalvane()->startFile(QStringLiteral("trakvln.ini")) : QString();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    TrackBar1->setValue(TrakIni::fromLines(TextFile::readLines(path)));
}

void TFormApercu::showLabel(const QImage &picture, const QString &cutStatement)
{
    m_picture = picture;
    m_cutNotice = cutStatement.isEmpty() ? QString() : kCutNotice.arg(cutStatement);
    QImage shown = picture;
    if (!m_cutNotice.isEmpty() && !shown.isNull()) {
        // Only on screen: the label picture itself stays as it is printed.
        QPainter p(&shown);
        const int band = 20;
        const QRect strip(0, shown.height() - band, shown.width(), band);
        p.fillRect(strip, QColor(200, 0, 0, 215));
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        const QString text = p.fontMetrics().elidedText(QStringLiteral("▼ ") + m_cutNotice, Qt::ElideRight,
                                                        strip.width() - 12);
        p.drawText(strip.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    }
    Image1->setPixmap(QPixmap::fromImage(shown));
    ++m_refreshCount;
    show();
    raise();
}

bool TFormApercu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image2) {
        if (event->type() == QEvent::MouseButtonRelease) {
            hide();
            return true;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton)
            return false;
        m_dragStart = me->globalPosition().toPoint() - frameGeometry().topLeft();
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            auto *me = static_cast<QMouseEvent *>(event);
            move(me->globalPosition().toPoint() - m_dragStart);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return false;
    case QEvent::MouseButtonDblClick:
        if (watched == Image1) {
            m_dragging = false;
            hide();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void TFormApercu::paintEvent(QPaintEvent *)
{
    // Shape1: the 2-pixel frame around the label picture.
    QPainter p(this);
    p.setPen(QPen(QColor(218, 166, 163), 2));
    p.drawRect(QRect(1, 20, 640, 454));
}

void TFormApercu::contextMenuEvent(QContextMenuEvent *event)
{
    if (!PopupMenu1->isEmpty())
        PopupMenu1->popup(event->globalPos());
}
