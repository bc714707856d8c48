#pragma once

#include <QString>
#include <QStringList>

class TForm_base;
class TApropos;
class TPrintView;
class Tprinter;
class TFormEdit;
class TFormApercu;
class TQual_jpeg;
class TPlanche1;
class Trech;
class TFour;
class TFormRF;
class THPpicto;
class TForm1;

// The running program: its start directory and its single-instance windows,
// created once in a fixed order so that later windows can rely on earlier ones.
class Application
{
public:
    // Fixes the start directory from the current working directory.
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    static Application *instance();

    // The working directory at start-up, with a trailing separator.
    QString startDirectory() const { return m_startDirectory; }
    // A file of the start directory.
    QString startFile(const QString &name) const { return m_startDirectory + name; }

    // Creates the frame, the tool windows and the splash, in that order.
    void createWindows();

    // Opens files named from outside (the command line, a later start): label
    // files in label windows, a sheet file (".pla") in the sheet manager. A
    // file that is missing or cannot be read is said, and the others open.
    void openFiles(const QStringList &paths);
    // Files handed over by a later start: the frame comes forward, then the
    // files open (once no dialog of this program is waiting for an answer).
    void handOver(const QStringList &paths);
    static inline const QString kFileMissing =
        QStringLiteral("Le fichier « %1 » est introuvable : il n'a pas été ouvert.");

    // Each window's creation handler notes its class name here, so the order in
    // which the windows came to life can be checked.
    static void noteCreated(const char *className);
    QStringList creationLog() const { return m_creationLog; }

    // Asks the program to end once control returns to the event loop.
    void requestTerminate();
    bool terminateRequested() const { return m_terminateRequested; }
    // The program ends because no printer is installed: the settings files of
    // this run are not written.
    void terminateWithoutPrinter();
    bool endedWithoutPrinter() const { return m_noPrinter; }

    TForm_base *frame() const { return m_frame; }
    TApropos *apropos() const { return m_apropos; }
    TPrintView *printView() const { return m_printView; }
    Tprinter *printer() const { return m_printer; }
    TFormEdit *formEdit() const { return m_formEdit; }
    TFormApercu *apercu() const { return m_apercu; }
    TQual_jpeg *qualJpeg() const { return m_qualJpeg; }
    TPlanche1 *planche() const { return m_planche; }
    Trech *rech() const { return m_rech; }
    TFour *four() const { return m_four; }
    TFormRF *formRF() const { return m_formRF; }
    THPpicto *hpPicto() const { return m_hpPicto; }
    TForm1 *splash() const { return m_splash; }

    // Ends the program's windows: the frame owns every other one.
    void destroyWindows();

private:
    void openHandedOver();

    QString m_startDirectory;
    QStringList m_creationLog;
    QStringList m_pendingFiles;
    bool m_handOverQueued = false;
    bool m_terminateRequested = false;
    bool m_noPrinter = false;
    TForm_base *m_frame = nullptr;
    TApropos *m_apropos = nullptr;
    TPrintView *m_printView = nullptr;
    Tprinter *m_printer = nullptr;
    TFormEdit *m_formEdit = nullptr;
    TFormApercu *m_apercu = nullptr;
    TQual_jpeg *m_qualJpeg = nullptr;
    TPlanche1 *m_planche = nullptr;
    Trech *m_rech = nullptr;
    TFour *m_four = nullptr;
    TFormRF *m_formRF = nullptr;
    THPpicto *m_hpPicto = nullptr;
    TForm1 *m_splash = nullptr;
};

// Short access to the running program's windows.
inline Application *kalvane() { return Application::instance(); }
