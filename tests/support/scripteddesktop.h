#pragma once

#include "shell/desktop.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// A desktop for tests: records every message and dialog, answers from queues
// the test filled, and fails the running test when a dialog appears that the
// test did not expect.
class ScriptedDesktop : public Desktop
{
public:
    struct Message {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    // Queued answers, used in order.
    QQueue<Button> answers;
    QQueue<QStringList> openAnswers;
    QQueue<QString> saveAnswers;
    QQueue<QString> folderAnswers;
    QQueue<std::optional<QColor>> colorAnswers;
    QQueue<bool> printAnswers;

    // What happened.
    QList<Message> messages;
    QList<FileDialog> fileDialogs;
    QList<QUrl> openedUrls;
    QStringList helpWindows; // pages shown in the program's own help window
    QStringList trashed;
    QStringList unexpected;
    int iconRegistrations = 0;

    // Platform facts the test controls.
    bool printerPresent = true;
    QStringList fonts = {QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("Default"),
                         QStringLiteral("Times New Roman")};
    std::function<bool(const QUrl &)> urlHandler = [](const QUrl &) { return true; };

    Button message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    bool hasPrinter() override { return printerPresent; }
    QStringList screenFonts() override { return fonts; }
    bool openUrl(const QUrl &url) override;
    bool moveToTrash(const QString &path) override;
    void registerDocumentIcons(const QString &) override { ++iconRegistrations; }

    // "title: text" of every message, for compact comparisons.
    QStringList messageLines() const;

protected:
    QStringList runOpenDialog(QWidget *parent, const FileDialog &dialog) override;
    QString runSaveDialog(QWidget *parent, const FileDialog &dialog) override;
    QString runFolderDialog(QWidget *parent, const QString &title, const QString &start) override;
    bool showHelpWindow(QWidget *parent, const QString &path) override;

private:
    void fail(const QString &what);
};
