#pragma once

#include <QColor>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

// Everything the platform asks the user or does for the program goes through
// this one interface: message boxes, file, folder, colour and print dialogs,
// printer presence, the font list, the default handlers, the trash and the
// desktop's document icons. The program installs the Qt implementation; tests
// install a scripted one.
class Desktop
{
public:
    enum class Icon { None, Information, Warning, Question, Critical };
    enum Button { NoButton = 0, Ok = 1, Yes = 2, No = 4, Cancel = 8 };
    Q_DECLARE_FLAGS(Buttons, Button)

    struct FileDialog {
        QString title;
        QString folder;      // where the dialog starts
        QString fileName;    // proposed name ("*.kvln", "Sans_titre")
        QString filter;      // "Kalvane|*.kvln" form: description|patterns[|description|patterns...]
        QString defaultSuffix;
        bool multiple = false;
        bool confirmOverwrite = true;
    };

    virtual ~Desktop();

    // Modal message box; returns the button pressed (Ok for a one-button box).
    virtual Button message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                           Buttons buttons) = 0;

    // File dialogs. A confirmed dialog makes the chosen file's folder the
    // process's working directory; several commands rely on that.
    QStringList openFiles(QWidget *parent, const FileDialog &dialog);
    QString saveFile(QWidget *parent, const FileDialog &dialog);
    QString folder(QWidget *parent, const QString &title, const QString &start);

    virtual std::optional<QColor> color(QWidget *parent, const QColor &initial) = 0;
    // The platform's print dialog on `printer`; false when cancelled.
    virtual bool print(QWidget *parent, QPrinter *printer) = 0;
    virtual bool hasPrinter() = 0;
    // "Default" followed by the installed font families, sorted by name.
    virtual QStringList screenFonts() = 0;
    virtual bool openUrl(const QUrl &url) = 0;
    // A help page of the start directory ("aide/et_help1.html"): opened with
    // the desktop's viewer, or in the program's own help window when the
    // desktop has none. False when the page does not exist.
    bool showHelp(QWidget *parent, const QString &page);
    virtual bool moveToTrash(const QString &path) = 0;
    // Registers the label and sheet document types with their icons; failures
    // are ignored.
    virtual void registerDocumentIcons(const QString &startDirectory) = 0;

    // Converts a "Description|*.ext;*.ext2" filter to the Qt dialog form.
    static QString qtFilter(const QString &filter);

protected:
    virtual QStringList runOpenDialog(QWidget *parent, const FileDialog &dialog) = 0;
    virtual QString runSaveDialog(QWidget *parent, const FileDialog &dialog) = 0;
    virtual QString runFolderDialog(QWidget *parent, const QString &title, const QString &start) = 0;
    // The program's own help window on an existing page; false when it cannot
    // be shown.
    virtual bool showHelpWindow(QWidget *parent, const QString &path);
};
Q_DECLARE_OPERATORS_FOR_FLAGS(Desktop::Buttons)

// Dialogs and message boxes open above the floating preview, which stays on
// top of the other windows: call before the dialog is first shown.
void keepAbovePreview(QWidget *dialog);

// Whether top-level windows can be made translucent (the offscreen platform of
// the tests cannot).
bool windowsCanBlend();

// The desktop the program talks to.
Desktop &desktop();
// Installs `d` (takes ownership) and returns the previous one.
std::unique_ptr<Desktop> setDesktop(std::unique_ptr<Desktop> d);
