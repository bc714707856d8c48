// Start-up of the desktop program against a bare toolkit window, in one run so
// that the ratio holds on a busy machine: each iteration starts the bare
// window (bench/barewindow.cpp) then the program, on the offscreen platform,
// both ended by the same probe right after their main window's first paint
// (shell/startupprobe.h). The program starts in a copy of the installation
// data with a settings file (an ordinary start, not the first one).
// The medians and their ratio are printed at the end.
//
//   bench_startup [--kalvane=PATH] [--platform=NAME] [benchmark flags]
//
// --platform=xcb measures under the X server of $DISPLAY (where the desktop's
// icon theme is found) instead of the offscreen platform.
//
// Build in Release: cmake --build build-bench --target bench_startup
// (it builds kalvane and the bare window with it).

#include "benchmain.h"
#include "benchprocess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using BenchProcess::median;

QString g_program;
QString g_bare;
QString g_platform = QStringLiteral("offscreen");
std::unique_ptr<QTemporaryDir> g_start;
std::vector<double> g_programMs, g_bareMs, g_programCpu, g_bareCpu;
int g_runs = 0;

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

bool prepare()
{
    g_start = std::make_unique<QTemporaryDir>();
    if (!copyTree(QStringLiteral(KALVANE_DATA_DIR), g_start->path()))
        return false;
    // An ordinary start: the settings of a program that was closed before.
    QFile settings(g_start->filePath(QStringLiteral("dat.ini")));
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    const QByteArray folder = QDir::toNativeSeparators(g_start->filePath(QStringLiteral("Kalvane"))).toLocal8Bit();
    settings.write(folder + "\r\n505\r\n687\r\n176\r\n388\r\n10\r\n10\r\n100\r\n");
    return true;
}

QStringList environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), g_platform);
    env.insert(QStringLiteral("KALVANE_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    // A single-instance socket of each run's own: no program of the user's answers.
    env.insert(QStringLiteral("KALVANE_INSTANCE"),
               QStringLiteral("bench-startup-%1-%2").arg(QCoreApplication::applicationPid()).arg(++g_runs));
    return env.toStringList();
}

void BM_Startup(benchmark::State &state)
{
    for (auto _ : state) {
        const BenchProcess::Run bare = BenchProcess::run(g_bare, {}, environment(), g_start->path());
        const BenchProcess::Run program = BenchProcess::run(g_program, {}, environment(), g_start->path());
        if (!bare.ok || !program.ok) {
            state.SkipWithError(qPrintable(QStringLiteral("échec : %1").arg(bare.ok ? program.errors : bare.errors)));
            break;
        }
        state.SetIterationTime(program.ms / 1000.0);
        state.counters["fenetre_nue_ms"] = bare.ms;
        g_programMs.push_back(program.ms);
        g_bareMs.push_back(bare.ms);
        g_programCpu.push_back(program.cpuMs);
        g_bareCpu.push_back(bare.cpuMs);
    }
}

} // namespace

BENCHMARK(BM_Startup)->Iterations(1)->Repetitions(15)->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)
    ->UseManualTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> rest;
    std::vector<char *> given;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith("--platform="))
            g_platform = QString::fromLocal8Bit(argv[i] + 11);
        else
            given.push_back(argv[i]);
    }
    g_program = BenchProcess::findProgram(int(given.size()), given.data(), "--kalvane", "KALVANE_PROGRAM",
                                          QStringLiteral("kalvane"), &rest);
    if (g_program.isEmpty())
        return 1;
    g_bare = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("barewindow"));
    if (!prepare()) {
        std::fprintf(stderr, "bench_startup : le dossier de départ n'a pas pu être préparé.\n");
        return 1;
    }
    if (!runBenchmarks(rest))
        return 1;

    const double a = median(g_programMs), b = median(g_bareMs);
    if (a > 0 && b > 0) {
        const double ca = median(g_programCpu), cb = median(g_bareCpu);
        std::printf("\nMédianes de cette exécution (%zu démarrages de chacun, plateforme %s) :\n", g_programMs.size(),
                    qPrintable(g_platform));
        std::printf("%-32s %8.1f ms / %8.1f ms = %.2f (objectif <= 1.8) ; temps processeur %.1f / %.1f ms = %.2f\n",
                    "démarrage / fenêtre nue", a, b, a / b, ca, cb, cb > 0 ? ca / cb : 0.0);
    }
    return 0;
}
