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

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const QString kDataDir = QStringLiteral(KALVANE_DATA_DIR);
constexpr long kTmpfsMagic = 0x01021994;

QString g_program;
std::unique_ptr<QTemporaryDir> g_start;
QStringList g_labels;
// Wall times (ms) and peak memories (MB) of each measured run, by name.
QMap<QString, std::vector<double>> g_times;
QMap<QString, std::vector<double>> g_memory;
QMap<QString, std::vector<double>> g_cpu; // user + system time (ms): less hit by a busy machine
QMap<QString, double> g_bytes;

void prepare(int labels)
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
    for (int i = 0; i < labels; ++i) {
        const QString name = start.filePath(QStringLiteral("Kalvane/etiquette%1.kvln").arg(i, 3, 10, QLatin1Char('0')));
        QFile::copy(kDataDir + QStringLiteral("/Kalvane/") + samples.at(i % 3) + QStringLiteral(".kvln"), name);
        g_labels << name;
    }
}

// One run of the program, its wall time and peak memory recorded under
// `name`; the benchmark stops on a failure.
bool runBatch(benchmark::State &state, const QString &name, const QStringList &arguments)
{
    std::vector<QByteArray> args = {QFile::encodeName(g_program)};
    for (const QString &a : arguments)
        args.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QTemporaryDir logDir;
    const QByteArray log = QFile::encodeName(logDir.filePath(QStringLiteral("err.txt")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    const bool ran = spawned == 0 && wait4(pid, &status, 0, &usage) == pid;
    const double ms = clock.nsecsElapsed() / 1e6;
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile err(QString::fromLocal8Bit(log));
        err.open(QIODevice::ReadOnly);
        state.SkipWithError(qPrintable(QStringLiteral("kalvane-batch a échoué : %1").arg(QString::fromUtf8(err.readAll()))));
        return false;
    }
    state.SetIterationTime(ms / 1000.0);
    g_times[name].push_back(ms);
    g_memory[name].push_back(usage.ru_maxrss / 1024.0);
    g_cpu[name].push_back((usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                          + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
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

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
        std::fprintf(stderr, "bench_outputs: kalvane-batch introuvable (%s) ; donnez --batch=CHEMIN.\n",
                     qPrintable(g_program));
        return 1;
    }
    prepare(100);
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

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
