// The outputs of kalvane-batch against their yardsticks, measured in one run
// so that the ratios hold on a busy machine:
//   - 20 PNG exports against the same 20 exports in JPEG;
//   - 100 JPEG exports to a folder on the disk against the same on a RAM file
//     system (/dev/shm; skipped with a message where it is no tmpfs);
//   - the 1800-label sheet PDF (18 a page, 100 copies of a sheet of the three
//     sample labels): its time, size and the process's peak memory.
// The medians and the ratios are printed at the end.
//
//   bench_outputs [--batch=PATH] [benchmark flags]
//
// Build in Release: cmake --build build-bench --target kalvane-batch bench_outputs

#include "benchmain.h"
#include "benchprocess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/vfs.h>

namespace {

using BenchProcess::median;

constexpr long kTmpfsMagic = 0x01021994;

QString g_program;
std::unique_ptr<QTemporaryDir> g_start;
QStringList g_labels;
// Wall times (ms) and peak memories (MB) of each measured run, by name.
QMap<QString, std::vector<double>> g_times;
QMap<QString, std::vector<double>> g_memory;
QMap<QString, std::vector<double>> g_cpu; // user + system time (ms): less hit by a busy machine
QMap<QString, double> g_bytes;

// One run of the program, its wall time and peak memory recorded under
// `name`; the benchmark stops on a failure.
bool runBatch(benchmark::State &state, const QString &name, const QStringList &arguments)
{
    const BenchProcess::Run run = BenchProcess::run(g_program, arguments);
    if (!run.ok) {
        state.SkipWithError(qPrintable(QStringLiteral("kalvane-batch a échoué : %1").arg(run.errors)));
        return false;
    }
    state.SetIterationTime(run.ms / 1000.0);
    g_times[name].push_back(run.ms);
    g_memory[name].push_back(run.peakMb);
    g_cpu[name].push_back(run.cpuMs);
    return true;
}

QStringList exportArguments(const QString &format, const QString &out, int count)
{
    QStringList arguments = {QStringLiteral("export"), QStringLiteral("--data"), g_start->path(),
                             QStringLiteral("--format"), format, QStringLiteral("--out"), out};
    return arguments + g_labels.first(count);
}

// 20 exports in JPEG (0) or PNG (1).
void BM_ExportFormat(benchmark::State &state)
{
    const QString format = state.range(0) ? QStringLiteral("png") : QStringLiteral("jpg");
    QTemporaryDir out;
    for (auto _ : state)
        if (!runBatch(state, QStringLiteral("20 ") + format, exportArguments(format, out.path(), 20)))
            break;
}

bool isTmpfs(const QString &path)
{
    struct statfs fs;
    return ::statfs(QFile::encodeName(path).constData(), &fs) == 0 && long(fs.f_type) == kTmpfsMagic;
}

// 100 JPEG exports to a folder on the disk (0: beside the benchmark program)
// or on a RAM file system (1).
void BM_ExportPlace(benchmark::State &state)
{
    const bool ram = state.range(0);
    const QString base = ram ? QStringLiteral("/dev/shm") : QCoreApplication::applicationDirPath();
    if (isTmpfs(base) != ram) {
        state.SkipWithError(ram ? "pas de système de fichiers en mémoire (/dev/shm n'est pas un tmpfs) : mesure sautée"
                                : "le dossier du programme n'est pas sur le disque : mesure sautée");
        for (auto _ : state) {
        }
        return;
    }
    QTemporaryDir out(base + QStringLiteral("/kalvane-bench-XXXXXX"));
    for (auto _ : state)
        if (!runBatch(state, ram ? QStringLiteral("100 ram") : QStringLiteral("100 disk"),
                      exportArguments(QStringLiteral("jpg"), out.path(), 100)))
            break;
}

// The 1800-label sheet PDF.
void BM_SheetPdf(benchmark::State &state)
{
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("planche.pdf"));
    QStringList arguments = {QStringLiteral("planche"), QStringLiteral("--data"), g_start->path(),
                             QStringLiteral("--par-page"), QStringLiteral("18"), QStringLiteral("--copies"),
                             QStringLiteral("100"), QStringLiteral("--pdf"), pdf};
    arguments += g_labels.first(18);
    for (auto _ : state)
        if (!runBatch(state, QStringLiteral("pdf 1800"), arguments))
            break;
    g_bytes[QStringLiteral("pdf 1800")] = double(QFileInfo(pdf).size());
    state.counters["Mo"] = QFileInfo(pdf).size() / 1e6;
}

void ratio(const char *what, const QString &measured, const QString &yardstick, double goal)
{
    const double a = median(g_times.value(measured)), b = median(g_times.value(yardstick));
    if (a <= 0 || b <= 0) {
        std::printf("%-32s non mesuré\n", what);
        return;
    }
    const double ca = median(g_cpu.value(measured)), cb = median(g_cpu.value(yardstick));
    std::printf("%-32s %8.0f ms / %8.0f ms = %.2f (objectif <= %.1f) ; temps processeur %.0f / %.0f ms = %.2f\n", what,
                a, b, a / b, goal, ca, cb, cb > 0 ? ca / cb : 0.0);
}

} // namespace

BENCHMARK(BM_ExportFormat)->DenseRange(0, 1)->ArgNames({"png"})->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ExportPlace)->DenseRange(0, 1)->ArgNames({"ram"})->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SheetPdf)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)
    ->UseManualTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> rest;
    g_program = BenchProcess::findProgram(argc, argv, "--batch", "KALVANE_BATCH", QStringLiteral("kalvane-batch"), &rest);
    if (g_program.isEmpty())
        return 1;
    g_start = std::make_unique<QTemporaryDir>();
    g_labels = BenchProcess::prepareStart(g_start->path(), 100);
    if (!runBenchmarks(rest))
        return 1;

    std::printf("\nMédianes et rapports de cette exécution :\n");
    ratio("20 PNG / 20 JPEG", QStringLiteral("20 png"), QStringLiteral("20 jpg"), 2.0);
    ratio("100 JPEG disque / mémoire", QStringLiteral("100 disk"), QStringLiteral("100 ram"), 1.5);
    if (g_times.contains(QStringLiteral("pdf 1800")))
        std::printf("%-32s %8.0f ms (objectif <= 4000 ; temps processeur %.0f ms), %.1f Mo de PDF (objectif <= 20), "
                    "%.0f Mo de mémoire au plus (objectif <= 80)\n",
                    "planche de 1800 étiquettes", median(g_times.value(QStringLiteral("pdf 1800"))),
                    median(g_cpu.value(QStringLiteral("pdf 1800"))),
                    g_bytes.value(QStringLiteral("pdf 1800")) / 1e6, median(g_memory.value(QStringLiteral("pdf 1800"))));
    return 0;
}
