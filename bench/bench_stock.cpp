// Reading the label stock: every template file of the data package (and the
// user's own gLabels templates), as the stock list reads them the first time
// it is shown. Each iteration reads all files anew; the goal is under 200 ms.

#include "render/labelstock.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

static void BM_ReadAllTemplates(benchmark::State &state)
{
    const QStringList files = LabelStock::installedFiles();
    const QString papers = LabelStock::kSystemFolder + QStringLiteral("/paper-sizes.xml");
    if (files.isEmpty()) {
        state.SkipWithError("glabels-data is not installed");
        return;
    }
    qsizetype count = 0;
    for (auto _ : state) {
        const LabelStock::Catalogue c = LabelStock::read(files, papers);
        count = c.templates.size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["templates"] = double(count);
    state.counters["files"] = double(files.size());
}
BENCHMARK(BM_ReadAllTemplates)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
