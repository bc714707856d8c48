#include "shell/splash.h"

#include "shell/application.h"
#include "shell/desktop.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>

namespace {

// A drawn stand-in for a missing splash picture, so the program still starts.
QPixmap fallbackPicture()
{
    QPixmap pix(326, 233);
    pix.fill(QColor(255, 0, 255));
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 4));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 4, 318, 225), 18, 18);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(40);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 60, 326, 60), Qt::AlignCenter, QStringLiteral("Kalvane"));
    f.setPixelSize(14);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 130, 326, 30), Qt::AlignCenter, QStringLiteral("Étiquettes de sécurité SGH"));
    return pix;
}

void pause(int ms)
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(ms);
}

} // namespace

TForm1::TForm1(QWidget *frame)
    : QWidget(frame, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    Application::noteCreated("TForm1");
    setObjectName(QStringLiteral("TForm1"));
    setAttribute(Qt::WA_TranslucentBackground);
    const QString path = kalvane() ? kalvane()->startFile(QStringLiteral("splash.png")) : QString();
    m_picture = path.isEmpty() ? QPixmap() : QPixmap(path);
    if (m_picture.isNull())
        m_picture = fallbackPicture();
    m_picture = m_picture.scaled(326, 233);
    // Fuchsia parts of the picture are transparent.
    if (windowsCanBlend()) {
        setMask(m_picture.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
        setWindowOpacity(0.0);
    }
    setFixedSize(326, 233);
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TForm1::tick);
}

void TForm1::start()
{
    if (QWidget *frame = parentWidget())
        move(frame->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    repaint();
    for (int opacity = 0; opacity <= kFinalOpacity; opacity += 5) {
        pause(kStepPause);
        if (windowsCanBlend())
            setWindowOpacity(opacity / 255.0);
    }
    m_timer->start();
}

void TForm1::tick()
{
    if (m_finished)
        return;
    if (++m_ticks >= 2)
        finish();
}

void TForm1::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer->stop();
    if (!desktop().hasPrinter()) {
        desktop().message(this, kNoPrinterTitle, kNoPrinterText, Desktop::Icon::Critical, Desktop::Ok);
        if (kalvane())
            kalvane()->terminateWithoutPrinter();
    }
    slideDown();
    hide();
}

void TForm1::slideDown()
{
    const QScreen *s = screen();
    const int bottom = s ? s->geometry().bottom() : 1080;
    QElapsedTimer guard;
    guard.start();
    // The guard keeps a screen that reports nonsense from holding the program.
    while (y() < bottom && guard.elapsed() < 5000) {
        move(x(), y() + 5);
        pause(kStepPause);
    }
}

void TForm1::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

void TForm1::mousePressEvent(QMouseEvent *)
{
    finish();
}
