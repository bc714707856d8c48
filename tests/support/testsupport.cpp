#include "testsupport.h"

#include "shell/application.h"
#include "shell/splash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

TempStartDir::TempStartDir(const QStringList &dataFiles)
    : m_previous(QDir::currentPath())
{
    QVERIFY2(m_dir.isValid(), "temporary folder");
    QDir::setCurrent(m_dir.path());
    for (const QString &f : dataFiles)
        copyData(f);
}

TempStartDir::~TempStartDir()
{
    QDir::setCurrent(m_previous);
}

void TempStartDir::copyData(const QString &name) const
{
    const QString target = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(QStringLiteral(KALVANE_DATA_DIR "/") + name, target);
}

void TempStartDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString target = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempStartDir::read(const QString &name) const
{
    QFile f(m_dir.filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

ScopedScriptedDesktop::ScopedScriptedDesktop()
    : m_desktop(new ScriptedDesktop)
    , m_previous(setDesktop(std::unique_ptr<Desktop>(m_desktop)))
{
}

ScopedScriptedDesktop::~ScopedScriptedDesktop()
{
    setDesktop(std::move(m_previous));
}

TestProgram::TestProgram(bool finishSplash, const std::function<void(ScriptedDesktop *)> &prepare)
    : desktop(new ScriptedDesktop)
    , m_previous(setDesktop(std::unique_ptr<Desktop>(desktop)))
{
    if (prepare)
        prepare(desktop);
    m_app = std::make_unique<Application>();
    app = m_app.get();
    app->createWindows();
    if (finishSplash)
        app->splash()->finish();
}

TestProgram::~TestProgram()
{
    m_app.reset();
    setDesktop(std::move(m_previous));
}
