#include "shell/helpbrowser.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<HelpBrowser> g_window;
}

HelpBrowser::HelpBrowser(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(kTitle);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    // Pages of the help link to each other; outside addresses go to the
    // desktop (which may have no browser: then nothing happens).
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 600);
}

bool HelpBrowser::showPage(QWidget *parent, const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    if (!g_window) {
        QWidget *owner = parent ? parent->window() : nullptr;
        g_window = new HelpBrowser(owner);
        g_window->setAttribute(Qt::WA_DeleteOnClose, false);
        // First shown over the program's frame, not in a corner of the screen.
        if (owner)
            g_window->move(owner->geometry().center() - QPoint(g_window->width() / 2, g_window->height() / 2));
    }
    g_window->m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return true;
}
