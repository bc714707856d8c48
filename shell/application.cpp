#include "shell/application.h"

#include "editor/hppicto.h"
#include "editor/phraseeditor.h"
#include "render/apercu.h"
#include "render/printview.h"
#include "render/qualjpeg.h"
#include "shell/apropos.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/errorbox.h"
#include "shell/onscreen.h"
#include "shell/splash.h"
#include "tools/favourites.h"
#include "tools/four.h"
#include "tools/planche.h"
#include "tools/printer.h"
#include "tools/rech.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <QWindow>

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
    // The frame is shown and painted before the tool windows, which stay
    // hidden until asked for, are made: the program's window comes up sooner.
    // A window system says when the window is visible: that is awaited for at
    // most 100 ms. Nothing else runs meanwhile: no input, and no files handed
    // over by a later start (they wait for the windows that open them).
    m_frame->show();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        const QWindow *window = m_frame->windowHandle();
        if (!window || window->isExposed() || waited.elapsed() >= 100)
            break;
        QThread::msleep(1);
    }
    // The program's icon (a 256-pixel picture to decode) reaches the frame a
    // moment after its first paint; the about box shows it.
    QApplication::setWindowIcon(QIcon(startFile(QStringLiteral("kalvane.png"))));
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
    m_splash = new TForm1(m_frame);
    m_splash->start();
}

void Application::openFiles(const QStringList &paths)
{
    if (!m_frame || paths.isEmpty())
        return;
    m_frame->previewSuppressed = 1;
    for (const QString &given : paths) {
        const QString path = QDir(m_startDirectory).absoluteFilePath(given);
        if (!QFileInfo(path).isFile()) {
            desktop().message(m_frame, TForm_base::kWarningTitle, kFileMissing.arg(QDir::toNativeSeparators(path)),
                              Desktop::Icon::Warning, Desktop::Ok);
            continue;
        }
        if (QFileInfo(path).suffix().compare(QLatin1String("pla"), Qt::CaseInsensitive) == 0) {
            QDir::setCurrent(QFileInfo(path).absolutePath());
            if (m_planche) {
                m_frame->PlancheExecute();
                m_planche->loadSheet(path);
            }
            continue;
        }
        // As after the open dialog, the label's folder becomes the working
        // folder: its logo is read from there. A label that cannot be read is
        // said and the next one opens.
        QDir::setCurrent(QFileInfo(path).absolutePath());
        ErrorBox::guard(m_frame, [&] { m_frame->open(path); });
    }
    m_frame->previewSuppressed = 0;
    m_frame->refreshPreview();
}

void Application::handOver(const QStringList &paths)
{
    m_pendingFiles << paths;
    if (!m_frame)
        return;
    if (m_frame->isMinimized())
        m_frame->showNormal();
    m_frame->raise();
    m_frame->activateWindow();
    openHandedOver();
}

void Application::openHandedOver()
{
    if (!m_frame || m_pendingFiles.isEmpty())
        return;
    // A message box or dialog of this program waits for an answer: the files
    // open after it, not under it.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        if (!m_handOverQueued) {
            m_handOverQueued = true;
            QTimer::singleShot(300, m_frame, [this] {
                m_handOverQueued = false;
                openHandedOver();
            });
        }
        return;
    }
    const QStringList files = std::exchange(m_pendingFiles, {});
    openFiles(files);
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
