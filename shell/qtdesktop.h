#pragma once

#include "shell/desktop.h"

// The real desktop: Qt's standard dialogs (French through qtbase_fr), CUPS
// printers, fontconfig fonts, the freedesktop trash and shared-mime-info.
class QtDesktop : public Desktop
{
public:
    Button message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    bool hasPrinter() override;
    QStringList screenFonts() override;
    bool openUrl(const QUrl &url) override;
    bool moveToTrash(const QString &path) override;
    void registerDocumentIcons(const QString &startDirectory) override;

protected:
    QStringList runOpenDialog(QWidget *parent, const FileDialog &dialog) override;
    QString runSaveDialog(QWidget *parent, const FileDialog &dialog) override;
    QString runFolderDialog(QWidget *parent, const QString &title, const QString &start) override;
    bool showHelpWindow(QWidget *parent, const QString &path) override;
};
