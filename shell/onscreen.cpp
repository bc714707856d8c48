#include "shell/onscreen.h"

#include "shell/base.h"
#include "shell/placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace OnScreen {

QScreen *frameScreen()
{
    if (const QWidget *frame = Form_base(); frame && frame->screen())
        return frame->screen();
    return QGuiApplication::primaryScreen();
}

QRect frameScreenArea()
{
    const QScreen *screen = frameScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins decorations(const QWidget *window)
{
    QMargins margins;
    if (window && (window->windowFlags() & Qt::FramelessWindowHint))
        return margins;
    if (window && window->windowHandle() && window->isVisible())
        margins = window->windowHandle()->frameMargins();
    if (margins.isNull())
        if (const QWidget *frame = Form_base(); frame && frame != window && frame->windowHandle())
            margins = frame->windowHandle()->frameMargins();
    return margins;
}

void keep(QWidget *window)
{
    const QRect area = frameScreenArea();
    if (!window || area.isEmpty())
        return;
    const QMargins m = decorations(window);
    const QSize room = area.size().shrunkBy(m);
    QSize inner = window->size();
    if (inner.width() > room.width() || inner.height() > room.height()) {
        window->resize(inner.boundedTo(room).expandedTo(window->minimumSize()));
        inner = window->size();
    }
    const QSize outer = inner.grownBy(m);
    // A window the program never placed opens over the frame.
    QPoint corner = window->geometry().topLeft() - QPoint(m.left(), m.top());
    const QWidget *frame = Form_base();
    if (!window->testAttribute(Qt::WA_Moved) && frame && frame != window && frame->isVisible())
        corner = frame->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2);
    const QPoint placed = Placement::inside(corner, outer, area);
    const QRect wanted(placed + QPoint(m.left(), m.top()), inner);
    if (wanted != window->geometry() || !window->testAttribute(Qt::WA_Moved))
        window->setGeometry(wanted);
}

Keeper::Keeper(QObject *parent)
    : QObject(parent)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

Keeper::~Keeper()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool Keeper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || event->spontaneous() || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (!widget->isWindow() || widget == Form_base())
        return false;
    switch (widget->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Tool:
        keep(widget);
        break;
    default:
        break;
    }
    return false;
}

} // namespace OnScreen
