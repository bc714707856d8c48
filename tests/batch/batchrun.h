#pragma once

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the built kalvane-batch and seeds start directories for it.
namespace BatchRun {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// The program with `arguments`, in `workDir` (the current folder when
// empty), with `environment` (the test's own when empty).
inline Result run(const QStringList &arguments, const QString &workDir = QString(),
                  const QProcessEnvironment &environment = QProcessEnvironment())
{
    QProcess p;
    p.setProgram(QStringLiteral(KALVANE_BATCH_PROGRAM));
    p.setArguments(arguments);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    if (!environment.isEmpty())
        p.setProcessEnvironment(environment);
    p.start();
    Result r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Copies installation files of data/ into `dir` (sub-folders kept).
inline void seed(const QString &dir, const QStringList &files)
{
    for (const QString &f : files) {
        const QString target = QDir(dir).filePath(f);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(QStringLiteral(KALVANE_DATA_DIR "/") + f, target);
    }
}

// What a start directory needs for drawing and checking the sample labels.
inline QStringList startFiles()
{
    QStringList files = {QStringLiteral("H.txt"), QStringLiteral("P.txt"), QStringLiteral("EUH.txt"),
                         QStringLiteral("verifications.txt"), QStringLiteral("Kalvane/Acetone.kvln"),
                         QStringLiteral("Kalvane/Acide sulfurique 96%.kvln"),
                         QStringLiteral("Kalvane/Hypochlorite de sodium.kvln"),
                         QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg")};
    for (int n = 1; n <= 9; ++n)
        files << QStringLiteral("SGH%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
    return files;
}



} // namespace BatchRun
