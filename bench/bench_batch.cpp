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

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kDataDir = QStringLiteral(KALVANE_DATA_DIR);
constexpr int kLabels = 100;

QString g_program;
std::unique_ptr<QTemporaryDir> g_start;
QStringList g_labels;

void prepare()
{
    g_start = std::make_unique<QTemporaryDir>();
    const QDir start(g_start->path());
    QStringList files = {QStringLiteral("H.txt"), QStringLiteral("P.txt"), QStringLiteral("EUH.txt"),
                         QStringLiteral("verifications.txt"), QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg")};
    for (int n = 1; n <= 9; ++n)
        files << QStringLiteral("SGH%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
    for (const QString &f : files) {
        QDir().mkpath(QFileInfo(start.filePath(f)).absolutePath());
        QFile::copy(kDataDir + u'/' + f, start.filePath(f));
    }
    const QStringList samples = {QStringLiteral("Acetone"), QStringLiteral("Acide sulfurique 96%"),
                                 QStringLiteral("Hypochlorite de sodium")};
    for (int i = 0; i < kLabels; ++i) {
        const QString name = start.filePath(QStringLiteral("Kalvane/etiquette%1.kvln").arg(i, 3, 10, QLatin1Char('0')));
        QFile::copy(kDataDir + QStringLiteral("/Kalvane/") + samples.at(i % 3) + QStringLiteral(".kvln"), name);
        g_labels << name;
    }
}

// One run of the program; the benchmark stops on a failure.
bool runBatch(benchmark::State &state, const QStringList &arguments)
{
    QProcess p;
    p.start(g_program, arguments);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        state.SkipWithError(qPrintable(QStringLiteral("kalvane-batch a échoué : %1")
                                           .arg(QString::fromUtf8(p.readAllStandardError()))));
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
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--batch="))
            g_program = QString::fromLocal8Bit(arg.mid(8));
        else
            rest.push_back(argv[i]);
    }
    if (g_program.isEmpty())
        g_program = qEnvironmentVariable("KALVANE_BATCH");
    if (g_program.isEmpty())
        g_program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../kalvane-batch"));
    if (!QFileInfo(g_program).isExecutable()) {
        std::fprintf(stderr, "bench_batch: kalvane-batch introuvable (%s) ; donnez --batch=CHEMIN.\n",
                     qPrintable(g_program));
        return 1;
    }
    prepare();
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
