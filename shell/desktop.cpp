#include "shell/desktop.h"

#include "shell/application.h"
#include "shell/qtdesktop.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

namespace {
std::unique_ptr<Desktop> &current()
{
    static std::unique_ptr<Desktop> d;
    return d;
}

void enterFolderOf(const QString &file)
{
    if (!file.isEmpty())
        QDir::setCurrent(QFileInfo(file).absolutePath());
}
} // namespace

Desktop::~Desktop() = default;

QStringList Desktop::openFiles(QWidget *parent, const FileDialog &dialog)
{
    QStringList files = runOpenDialog(parent, dialog);
    for (QString &f : files)
        f = QFileInfo(f).absoluteFilePath();
    if (!files.isEmpty())
        enterFolderOf(files.constLast());
    return files;
}

QString Desktop::saveFile(QWidget *parent, const FileDialog &dialog)
{
    QString file = runSaveDialog(parent, dialog);
    if (file.isEmpty())
        return {};
    if (!dialog.defaultSuffix.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += u'.' + dialog.defaultSuffix;
    file = QFileInfo(file).absoluteFilePath();
    enterFolderOf(file);
    return file;
}

QString Desktop::folder(QWidget *parent, const QString &title, const QString &start)
{
    const QString chosen = runFolderDialog(parent, title, start);
    if (!chosen.isEmpty())
        QDir::setCurrent(chosen);
    return chosen.isEmpty() ? QString() : QDir(chosen).absolutePath();
}

bool Desktop::showHelp(QWidget *parent, const QString &page)
{
    const QString start = Application::instance() ? Application::instance()->startDirectory()
                                                  : QDir::currentPath() + u'/';
    const QString path = QDir(start).filePath(page);
    if (!QFileInfo(path).isFile())
        return false;
    if (openUrl(QUrl::fromLocalFile(path)))
        return true;
    return showHelpWindow(parent, path);
}

bool Desktop::showHelpWindow(QWidget *, const QString &)
{
    return false;
}

QString Desktop::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        out << QStringLiteral("%1 (%2)").arg(parts.at(i).trimmed(), patterns);
    }
    return out.join(QStringLiteral(";;"));
}

void keepAbovePreview(QWidget *dialog)
{
    if (dialog)
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

bool windowsCanBlend()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

Desktop &desktop()
{
    auto &d = current();
    if (!d)
        d = std::make_unique<QtDesktop>();
    return *d;
}

std::unique_ptr<Desktop> setDesktop(std::unique_ptr<Desktop> d)
{
    auto previous = std::move(current());
    current() = std::move(d);
    return previous;
}
