#pragma once

#include "shell/desktop.h"

// The desktop of the benchmarks: answers every question with Yes when it is
// offered and OK otherwise, reports a printer and opens no dialog, so nothing
// blocks a measured loop.
class QuietDesktop : public Desktop
{
public:
    Button message(QWidget *, const QString &, const QString &, Icon, Buttons b) override
    {
        return (b & Yes) ? Yes : Ok;
    }
    std::optional<QColor> color(QWidget *, const QColor &) override { return std::nullopt; }
    bool print(QWidget *, QPrinter *) override { return false; }
    bool hasPrinter() override { return true; }
    QStringList screenFonts() override { return {QStringLiteral("Arial"), QStringLiteral("Default")}; }
    bool openUrl(const QUrl &) override { return false; }
    bool moveToTrash(const QString &) override { return false; }
    void registerDocumentIcons(const QString &) override {}

protected:
    QStringList runOpenDialog(QWidget *, const FileDialog &) override { return {}; }
    QString runSaveDialog(QWidget *, const FileDialog &) override { return {}; }
    QString runFolderDialog(QWidget *, const QString &, const QString &) override { return {}; }
};
