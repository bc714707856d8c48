#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help window, for desktops without a web browser: the
// help pages shown with their pictures, links between them working.
class HelpBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // Shows `path` in the one help window of the program, creating it under
    // `parent`'s top-level window the first time. False when the page cannot
    // be read.
    static bool showPage(QWidget *parent, const QString &path);

    QTextBrowser *browser() const { return m_browser; }

    static inline const QString kTitle = QStringLiteral("Aide");

private:
    QTextBrowser *m_browser = nullptr;
};
