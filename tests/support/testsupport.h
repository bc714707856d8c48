#pragma once

#include "scripteddesktop.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class Application;

// A fresh start directory for one test: a temporary folder made the working
// directory, seeded with chosen files of the installation data.
class TempStartDir
{
public:
    explicit TempStartDir(const QStringList &dataFiles = {});
    ~TempStartDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Copies a file of data/ into the start directory (sub-folders kept).
    void copyData(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A running program on the offscreen platform with the scripted desktop: the
// windows are created in their order and the splash is closed at once.
// `prepare` runs on the new desktop before any window exists: declare there
// the messages the start-up shows (ScriptedDesktop::expectMessage).
class TestProgram
{
public:
    explicit TestProgram(bool finishSplash = true, const std::function<void(ScriptedDesktop *)> &prepare = {});
    ~TestProgram();
    ScriptedDesktop *desktop = nullptr;
    Application *app = nullptr;

private:
    std::unique_ptr<Application> m_app;
    std::unique_ptr<Desktop> m_previous;
};

// Installs a scripted desktop for the lifetime of the object.
class ScopedScriptedDesktop
{
public:
    ScopedScriptedDesktop();
    ~ScopedScriptedDesktop();
    ScriptedDesktop *operator->() const { return m_desktop; }
    ScriptedDesktop *get() const { return m_desktop; }

private:
    ScriptedDesktop *m_desktop;
    std::unique_ptr<Desktop> m_previous;
};

// The catalogues shipped in data/.
inline const QStringList kCatalogueFiles = {QStringLiteral("H.txt"), QStringLiteral("P.txt"),
                                            QStringLiteral("EUH.txt")};
