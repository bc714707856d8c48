#include "scripteddesktop.h"

#include <QFile>
#include <QTest>

void ScriptedDesktop::fail(const QString &what)
{
    unexpected << what;
    QTest::qFail(qPrintable(QStringLiteral("unexpected dialog: ") + what), __FILE__, __LINE__);
}

Desktop::Button ScriptedDesktop::message(QWidget *, const QString &title, const QString &text, Icon icon,
                                         Buttons buttons)
{
    messages.append({title, text, icon, buttons});
    if (buttons == Buttons(Ok) || buttons == Buttons(NoButton))
        return answers.isEmpty() ? Ok : answers.dequeue();
    if (answers.isEmpty()) {
        fail(QStringLiteral("question \"%1\": %2").arg(title, text));
        return (buttons & Cancel) ? Cancel : No;
    }
    return answers.dequeue();
}

std::optional<QColor> ScriptedDesktop::color(QWidget *, const QColor &)
{
    if (colorAnswers.isEmpty()) {
        fail(QStringLiteral("colour dialog"));
        return std::nullopt;
    }
    return colorAnswers.dequeue();
}

bool ScriptedDesktop::print(QWidget *, QPrinter *)
{
    if (printAnswers.isEmpty()) {
        fail(QStringLiteral("print dialog"));
        return false;
    }
    return printAnswers.dequeue();
}

bool ScriptedDesktop::openUrl(const QUrl &url)
{
    openedUrls << url;
    return urlHandler(url);
}

bool ScriptedDesktop::moveToTrash(const QString &path)
{
    trashed << path;
    return QFile::remove(path);
}

QStringList ScriptedDesktop::runOpenDialog(QWidget *, const FileDialog &dialog)
{
    fileDialogs << dialog;
    if (openAnswers.isEmpty()) {
        fail(QStringLiteral("open dialog \"%1\"").arg(dialog.title));
        return {};
    }
    return openAnswers.dequeue();
}

QString ScriptedDesktop::runSaveDialog(QWidget *, const FileDialog &dialog)
{
    fileDialogs << dialog;
    if (saveAnswers.isEmpty()) {
        fail(QStringLiteral("save dialog \"%1\"").arg(dialog.title));
        return {};
    }
    return saveAnswers.dequeue();
}

QString ScriptedDesktop::runFolderDialog(QWidget *, const QString &title, const QString &)
{
    if (folderAnswers.isEmpty()) {
        fail(QStringLiteral("folder dialog \"%1\"").arg(title));
        return {};
    }
    return folderAnswers.dequeue();
}

QStringList ScriptedDesktop::messageLines() const
{
    QStringList lines;
    for (const Message &m : messages)
        lines << m.title + QStringLiteral(": ") + m.text;
    return lines;
}

bool ScriptedDesktop::showHelpWindow(QWidget *, const QString &path)
{
    helpWindows << path;
    return true;
}
