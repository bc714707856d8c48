#pragma once

#include "shell/desktop.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// A desktop for tests: records every message and dialog, answers from queues
// the test filled, and fails the running test when a message or dialog
// appears that the test did not expect.
//
// Messages are strict, OK-only boxes included. A message box is expected when
// - a question (two buttons or more) finds an answer queued in `answers`;
// - an OK-only box matches a declared expectation, taken in this order:
//     expectMessage("AVERTISSEMENT");               // this title, any text
//     expectMessage("AVERTISSEMENT", "déborde");     // this title, text containing this
//     expectMessages(2);                             // two more boxes, any title
//   (each declaration lets one box through; a titled one is used before the
//   count), or else an answer queued in `answers` (taken as for a question);
// - anything else fails the running test with the box's title and text
//   ("unexpected message ..."), and is answered Ok (a question: Cancel, or No).
// `pendingMessages()` lists what was declared and has not been shown yet;
// `messages` / `messageLines()` record every box, expected or not, for checks.
class ScriptedDesktop : public Desktop
{
public:
    struct Message {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    // Declares that one OK-only message box with this title (and, when given,
    // a text containing `textPart`) may be shown.
    void expectMessage(const QString &title, const QString &textPart = QString());
    // Declares that `count` more OK-only message boxes of any title may be shown.
    void expectMessages(int count);
    // "title: text part" of each declared box not shown yet ("*" for the count).
    QStringList pendingMessages() const;

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
    bool trashWorks = true; // false: every move to the trash fails (and nothing is removed)
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
    struct Expected {
        QString title;
        QString textPart;
    };
    QList<Expected> m_expected;
    int m_anyMessages = 0;
    bool takeExpectation(const QString &title, const QString &text);
    void fail(const QString &what);
};
