// Label stock:
//   BM_ReadAllTemplates  every template file of the data package (and the
//                        user's own gLabels templates), as the stock list reads
//                        them the first time it is shown; goal under 200 ms.
//   BM_GridSheet         8 stored labels printed on the 8-per-page grid (A4
//                        PDF at 600 pixels per inch, drawn directly).
//   BM_StockSheet        the same 8 labels on an 8-per-sheet stock (Avery
//                        L7165).
//   BM_StockOverGrid     both, one after the other, each iteration; the
//                        counter "ratio" is stock time over grid time (goal:
//                        at most 1).

#include "render/labelstock.h"
#include "render/sheetprint.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>

namespace {

const QString kDataDir = QStringLiteral(KALVANE_DATA_DIR);

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

SheetPrint::Job job(bool onStock)
{
    SheetPrint::Job j;
    j.pictogramFolder = kDataDir;
    j.settings.activeLabel = false;
    j.settings.labelsPerPage = 8;
    const QStringList names = {QStringLiteral("Acetone.kvln"), QStringLiteral("Acide sulfurique 96%.kvln"),
                               QStringLiteral("Hypochlorite de sodium.kvln")};
    for (int i = 0; i < 8; ++i)
        j.settings.selection << kDataDir + QStringLiteral("/Kalvane/") + names.at(i % names.size());
    if (onStock) {
        if (const LabelStock::Template *t = LabelStock::installed().find(QStringLiteral("Avery L7165")))
            j.settings.stock = *t;
    }
    return j;
}

// One sheet into a PDF in memory; false when nothing was printed.
bool printOnce(const SheetPrint::Job &j)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const SheetPrint::Result r = SheetPrint::print(&writer, j);
    benchmark::DoNotOptimize(buffer.size());
    return r.printed;
}

static void BM_GridSheet(benchmark::State &state)
{
    const SheetPrint::Job j = job(false);
    for (auto _ : state)
        if (!printOnce(j))
            state.SkipWithError("the grid sheet was not printed");
}
BENCHMARK(BM_GridSheet)->Unit(benchmark::kMillisecond);

static void BM_StockSheet(benchmark::State &state)
{
    const SheetPrint::Job j = job(true);
    if (!j.settings.onStock()) {
        state.SkipWithError("Avery L7165 not found (glabels-data is not installed)");
        return;
    }
    for (auto _ : state)
        if (!printOnce(j))
            state.SkipWithError("the stock sheet was not printed");
}
BENCHMARK(BM_StockSheet)->Unit(benchmark::kMillisecond);

static void BM_StockOverGrid(benchmark::State &state)
{
    const SheetPrint::Job grid = job(false);
    const SheetPrint::Job stock = job(true);
    if (!stock.settings.onStock()) {
        state.SkipWithError("Avery L7165 not found (glabels-data is not installed)");
        return;
    }
    qint64 gridNs = 0, stockNs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        printOnce(grid);
        gridNs += t.nsecsElapsed();
        t.restart();
        printOnce(stock);
        stockNs += t.nsecsElapsed();
    }
    state.counters["grid_ms"] = benchmark::Counter(double(gridNs) / 1e6 / double(state.iterations()));
    state.counters["stock_ms"] = benchmark::Counter(double(stockNs) / 1e6 / double(state.iterations()));
    state.counters["ratio"] = gridNs > 0 ? double(stockNs) / double(gridNs) : 0.0;
}
BENCHMARK(BM_StockOverGrid)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
