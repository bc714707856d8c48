#include "scripteddesktop.h"

#include <QFile>
#include <QTest>

void ScriptedDesktop::fail(const QString &what)
{
    unexpected << what;
    QTest::qFail(qPrintable(QStringLiteral("scripted desktop: ") + what), __FILE__, __LINE__);
}

void ScriptedDesktop::expectMessage(const QString &title, const QString &textPart)
{
    m_expected.append({title, textPart});
}

void ScriptedDesktop::expectMessages(int count)
{
    m_anyMessages += count;
}

QStringList ScriptedDesktop::pendingMessages() const
{
    QStringList pending;
    for (const Expected &e : m_expected)
        pending << e.title + QStringLiteral(": ") + e.textPart;
    for (int i = 0; i < m_anyMessages; ++i)
        pending << QStringLiteral("*");
    return pending;
}

bool ScriptedDesktop::takeExpectation(const QString &title, const QString &text)
{
    for (qsizetype i = 0; i < m_expected.size(); ++i) {
        const Expected &e = m_expected.at(i);
        if (e.title == title && text.contains(e.textPart)) {
            m_expected.removeAt(i);
            return true;
        }
    }
    if (m_anyMessages > 0) {
        --m_anyMessages;
        return true;
    }
    return false;
}

Desktop::Button ScriptedDesktop::message(QWidget *, const QString &title, const QString &text, Icon icon,
                                         Buttons buttons)
{
    messages.append({title, text, icon, buttons});
    if (buttons == Buttons(Ok) || buttons == Buttons(NoButton)) {
        if (takeExpectation(title, text))
            return Ok;
        if (!answers.isEmpty())
            return answers.dequeue();
        fail(QStringLiteral("unexpected message \"%1\": %2 (declare it with expectMessage)").arg(title, text));
        return Ok;
    }
    if (answers.isEmpty()) {
        fail(QStringLiteral("unanswered question \"%1\": %2 (queue an answer)").arg(title, text));
        return (buttons & Cancel) ? Cancel : No;
    }
    return answers.dequeue();
}

std::optional<QColor> ScriptedDesktop::color(QWidget *, const QColor &)
{
    if (colorAnswers.isEmpty()) {
        fail(QStringLiteral("unexpected colour dialog"));
        return std::nullopt;
    }
    return colorAnswers.dequeue();
}

bool ScriptedDesktop::print(QWidget *, QPrinter *)
{
    if (printAnswers.isEmpty()) {
        fail(QStringLiteral("unexpected print dialog"));
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
    return trashWorks && QFile::remove(path);
}

QStringList ScriptedDesktop::runOpenDialog(QWidget *, const FileDialog &dialog)
{
    fileDialogs << dialog;
    if (openAnswers.isEmpty()) {
        fail(QStringLiteral("unexpected open dialog \"%1\"").arg(dialog.title));
        return {};
    }
    return openAnswers.dequeue();
}

QString ScriptedDesktop::runSaveDialog(QWidget *, const FileDialog &dialog)
{
    fileDialogs << dialog;
    if (saveAnswers.isEmpty()) {
        fail(QStringLiteral("unexpected save dialog \"%1\"").arg(dialog.title));
        return {};
    }
    return saveAnswers.dequeue();
}

QString ScriptedDesktop::runFolderDialog(QWidget *, const QString &title, const QString &)
{
    if (folderAnswers.isEmpty()) {
        fail(QStringLiteral("unexpected folder dialog \"%1\"").arg(title));
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
