#pragma once

// What the benchmarks that run programs as processes share: a start directory
// with copies of the sample labels, the program found beside the benchmark or
// given on its command line, and a run timed with its CPU time and peak memory.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace BenchProcess {

// Fills `start` as a start directory: the three catalogues, the checks, the
// nine pictograms, the sample supplier logo and `labels` label files, copies
// of the three sample labels in turn, in its "Kalvane" folder. Returns their paths.
inline QStringList prepareStart(const QString &start, int labels)
{
    const QString data = QStringLiteral(KALVANE_DATA_DIR);
    const QDir dir(start);
    QStringList files = {QStringLiteral("H.txt"), QStringLiteral("P.txt"), QStringLiteral("EUH.txt"),
                         QStringLiteral("verifications.txt"), QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg")};
    for (int n = 1; n <= 9; ++n)
        files << QStringLiteral("SGH%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
    for (const QString &f : files) {
        QDir().mkpath(QFileInfo(dir.filePath(f)).absolutePath());
        QFile::copy(data + u'/' + f, dir.filePath(f));
    }
    const QStringList samples = {QStringLiteral("Acetone"), QStringLiteral("Acide sulfurique 96%"),
                                 QStringLiteral("Hypochlorite de sodium")};
    QStringList paths;
    for (int i = 0; i < labels; ++i) {
        const QString name = dir.filePath(QStringLiteral("Kalvane/etiquette%1.kvln").arg(i, 3, 10, QLatin1Char('0')));
        QFile::copy(data + QStringLiteral("/Kalvane/") + samples.at(i % 3) + QStringLiteral(".kvln"), name);
        paths << name;
    }
    return paths;
}

// The program `name` of the build folder: from the option `option`
// ("--batch=PATH"), else the variable `variable`, else `name` one folder above
// the benchmark (build/kalvane-batch for build/bench/bench_x). The option is
// taken out of `rest`, which receives the other arguments. Empty, with a line
// on the error stream, when it is no executable.
inline QString findProgram(int argc, char **argv, const char *option, const char *variable, const QString &name,
                           std::vector<char *> *rest)
{
    QString program;
    const QByteArray prefix = QByteArray(option) + '=';
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith(prefix))
            program = QString::fromLocal8Bit(arg.mid(prefix.size()));
        else
            rest->push_back(argv[i]);
    }
    if (program.isEmpty())
        program = qEnvironmentVariable(variable);
    if (program.isEmpty())
        program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + name);
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "%s : %s introuvable (%s) ; donnez %s=CHEMIN.\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(name), qPrintable(program), option);
        return {};
    }
    return program;
}

struct Run {
    bool ok = false;
    double ms = 0;       // wall time
    double cpuMs = 0;    // user + system time: less hit by a busy machine
    double peakMb = 0;   // the process's peak resident memory
    QString errors;      // its error stream when it failed
};

// Runs `program` with `arguments` and waits for it; the standard output goes
// to /dev/null. `environment` is the whole environment (the benchmark's own
// when empty), `workingDirectory` the process's (the benchmark's when empty).
inline Run run(const QString &program, const QStringList &arguments, const QStringList &environment = {},
               const QString &workingDirectory = {})
{
    std::vector<QByteArray> args = {QFile::encodeName(program)};
    for (const QString &a : arguments)
        args.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> env;
    for (const QString &e : environment)
        env.push_back(e.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    QTemporaryDir logDir;
    const QByteArray log = QFile::encodeName(logDir.filePath(QStringLiteral("err.txt")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray folder = QFile::encodeName(workingDirectory);
    if (!workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    Run result;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.isEmpty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    const bool ran = spawned == 0 && wait4(pid, &status, 0, &usage) == pid;
    result.ms = clock.nsecsElapsed() / 1e6;
    result.ok = ran && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                   + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    result.peakMb = usage.ru_maxrss / 1024.0;
    if (!result.ok) {
        QFile err(QString::fromLocal8Bit(log));
        err.open(QIODevice::ReadOnly);
        result.errors = QString::fromUtf8(err.readAll());
        if (result.errors.isEmpty())
            result.errors = ran ? QStringLiteral("statut %1").arg(status) : QStringLiteral("non lancé");
    }
    return result;
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace BenchProcess
