// Speed of kalvane-batch as a whole process, start-up included: exporting
// 100 label files (copies of the three sample labels), checking them, an
// 18-label sheet to PDF, and a run that only starts and stops, as the
// machine's yardstick for start-up.
//
//   bench_batch [--batch=PATH] [benchmark flags]
//
// The program is taken from --batch, else $KALVANE_BATCH, else beside the
// benchmark's build folder (build/kalvane-batch for build/bench/bench_batch).
// Build both in Release: cmake --build build-bench --target kalvane-batch bench_batch

#include "benchmain.h"
#include "benchprocess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

constexpr int kLabels = 100;

QString g_program;
std::unique_ptr<QTemporaryDir> g_start;
QStringList g_labels;

// One run of the program; the benchmark stops on a failure.
bool runBatch(benchmark::State &state, const QStringList &arguments)
{
    const BenchProcess::Run run = BenchProcess::run(g_program, arguments);
    if (!run.ok) {
        state.SkipWithError(qPrintable(QStringLiteral("kalvane-batch a échoué : %1").arg(run.errors)));
        return false;
    }
    return true;
}

void BM_StartOnly(benchmark::State &state)
{
    for (auto _ : state)
        if (!runBatch(state, {QStringLiteral("--version")}))
            break;
}

void BM_Export(benchmark::State &state)
{
    const int count = int(state.range(0));
    const char *formats[] = {"jpg", "png", "pdf"};
    const QString format = QString::fromLatin1(formats[state.range(1)]);
    QTemporaryDir out;
    QStringList arguments = {QStringLiteral("export"), QStringLiteral("--data"), g_start->path(),
                             QStringLiteral("--format"), format, QStringLiteral("--out"), out.path()};
    arguments += g_labels.first(count);
    for (auto _ : state)
        if (!runBatch(state, arguments))
            break;
    state.counters["etiquettes"] = count;
}

void BM_Verify(benchmark::State &state)
{
    QStringList arguments = {QStringLiteral("verifier"), QStringLiteral("--data"), g_start->path()};
    arguments += g_labels;
    for (auto _ : state)
        if (!runBatch(state, arguments))
            break;
}

// An 18-label sheet to PDF (the print job of the desktop's "Imprimer"), drawn
// directly or as label pictures (state.range(0) = 1).
void BM_Sheet(benchmark::State &state)
{
    QTemporaryDir out;
    QStringList arguments = {QStringLiteral("planche"), QStringLiteral("--data"), g_start->path(),
                             QStringLiteral("--par-page"), QStringLiteral("18"), QStringLiteral("--pointilles"),
                             QStringLiteral("--pdf"), out.filePath(QStringLiteral("planche.pdf"))};
    if (state.range(0))
        arguments << QStringLiteral("--images");
    arguments += g_labels.first(18);
    for (auto _ : state)
        if (!runBatch(state, arguments))
            break;
}

} // namespace

BENCHMARK(BM_Sheet)->Arg(0)->Arg(1)->ArgNames({"images"})->Iterations(1)->Repetitions(5)->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_Export)
    ->ArgsProduct({{1, kLabels}, {0}})
    ->ArgNames({"etiquettes", "format"})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Export)
    ->Args({kLabels, 1})
    ->Args({kLabels, 2})
    ->ArgNames({"etiquettes", "format"})
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Verify)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> rest;
    g_program = BenchProcess::findProgram(argc, argv, "--batch", "KALVANE_BATCH", QStringLiteral("kalvane-batch"), &rest);
    if (g_program.isEmpty())
        return 1;
    g_start = std::make_unique<QTemporaryDir>();
    g_labels = BenchProcess::prepareStart(g_start->path(), kLabels);
    if (!runBenchmarks(rest))
        return 1;
    return 0;
}
