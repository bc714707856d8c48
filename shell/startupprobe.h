#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <cstdio>

#include <unistd.h>

// The end point of the start-up benchmark: with the variable
// KALVANE_QUIT_WHEN_SHOWN set, the program ends with status 0 as soon as its
// main window (a widget of class `windowClass`) has been painted and handed
// to the screen for the first time, before anything else runs. The
// benchmark's bare window uses the same probe, so both are timed to the same
// point.
class StartupProbe : public QObject
{
public:
    static void installWhenAsked(const char *windowClass)
    {
        if (qEnvironmentVariableIsSet("KALVANE_QUIT_WHEN_SHOWN"))
            QCoreApplication::instance()->installEventFilter(new StartupProbe(windowClass));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_delivering) {
            if (event->type() == QEvent::Paint && watched->isWidgetType() && watched->inherits(m_windowClass))
                m_painted = true;
            return false;
        }
        // A window is painted and flushed while it handles its exposure or
        // an update request: deliver it here, then end when the main window
        // was painted in it.
        if (!watched->isWindowType() || (event->type() != QEvent::Expose && event->type() != QEvent::UpdateRequest))
            return false;
        const QWidget *widget = nullptr;
        for (const QWidget *w : QApplication::topLevelWidgets())
            if (w->windowHandle() == watched)
                widget = w;
        if (!widget || !widget->inherits(m_windowClass))
            return false;
        m_delivering = true;
        QCoreApplication::sendEvent(watched, event);
        m_delivering = false;
        if (m_painted) {
            std::fflush(nullptr);
            ::_exit(0);
        }
        return true;
    }

private:
    explicit StartupProbe(const char *windowClass)
        : QObject(QCoreApplication::instance())
        , m_windowClass(windowClass)
    {
    }

    const char *m_windowClass;
    bool m_delivering = false;
    bool m_painted = false;
};
