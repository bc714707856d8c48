#include "shell/application.h"

#include "editor/hppicto.h"
#include "editor/phraseeditor.h"
#include "render/apercu.h"
#include "render/printview.h"
#include "render/qualjpeg.h"
#include "shell/apropos.h"
#include "shell/base.h"
#include "shell/onscreen.h"
#include "shell/splash.h"
#include "tools/favourites.h"
#include "tools/four.h"
#include "tools/planche.h"
#include "tools/printer.h"
#include "tools/rech.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaObject>

namespace {
Application *g_instance = nullptr;
}

Application::Application()
    : m_startDirectory(QDir::currentPath() + u'/')
{
    Q_ASSERT(!g_instance);
    g_instance = this;
}

Application::~Application()
{
    destroyWindows();
    g_instance = nullptr;
}

Application *Application::instance() { return g_instance; }

void Application::noteCreated(const char *className)
{
    if (g_instance)
        g_instance->m_creationLog << QString::fromLatin1(className);
}

void Application::createWindows()
{
    m_frame = new TForm_base();
    // Every other window opens wholly on the frame's screen.
    new OnScreen::Keeper(m_frame);
    m_apropos = new TApropos(m_frame);
    m_printView = new TPrintView(m_frame);
    m_printer = new Tprinter(m_frame);
    m_formEdit = new TFormEdit(m_frame);
    m_apercu = new TFormApercu(m_frame);
    m_qualJpeg = new TQual_jpeg(m_frame);
    m_planche = new TPlanche1(m_frame);
    m_rech = new Trech(m_frame);
    m_four = new TFour(m_frame);
    m_formRF = new TFormRF(m_frame);
    m_hpPicto = new THPpicto(m_frame);
    m_frame->show();
    m_splash = new TForm1(m_frame);
    m_splash->start();
}

void Application::destroyWindows()
{
    delete m_frame; // owns the tool windows, the splash and the label windows
    m_frame = nullptr;
    m_apropos = nullptr;
    m_printView = nullptr;
    m_printer = nullptr;
    m_formEdit = nullptr;
    m_apercu = nullptr;
    m_qualJpeg = nullptr;
    m_planche = nullptr;
    m_rech = nullptr;
    m_four = nullptr;
    m_formRF = nullptr;
    m_hpPicto = nullptr;
    m_splash = nullptr;
}

void Application::terminateWithoutPrinter()
{
    m_noPrinter = true;
    requestTerminate();
}

void Application::requestTerminate()
{
    if (m_terminateRequested)
        return;
    m_terminateRequested = true;
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
