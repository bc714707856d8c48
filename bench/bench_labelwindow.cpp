// A new label window ("Nouveau"): the first of the run, which decodes the nine
// pictograms of the chooser, and the later ones, which share them, with a bare
// Qt window of the same size created and shown in the same run.

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/splash.h"

#include "bench/quietdesktop.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<double> g_bare, g_label;
double g_first = 0;
QSize g_size(640, 480);

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_BareWindow(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto *w = new QWidget;
        w->resize(g_size);
        w->show();
        QCoreApplication::processEvents();
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        g_bare.push_back(ms);
        delete w;
        QCoreApplication::processEvents();
    }
}

void BM_NewLabelWindow(benchmark::State &state)
{
    QTemporaryDir start;
    const QDir data(QStringLiteral(KALVANE_DATA_DIR));
    for (const QString &f : data.entryList({QStringLiteral("*.txt"), QStringLiteral("SGH*.jpg")}, QDir::Files))
        QFile::copy(data.filePath(f), QDir(start.path()).filePath(f));
    QDir::setCurrent(start.path());
    setDesktop(std::make_unique<QuietDesktop>());

    Application app;
    app.createWindows();
    app.splash()->finish();
    TForm_base *frame = app.frame();
    // The first window decodes the pictograms for the run.
    QElapsedTimer clock;
    clock.start();
    frame->Nouveau1Execute();
    QCoreApplication::processEvents();
    if (g_first == 0)
        g_first = clock.nsecsElapsed() / 1e6;
    if (TMDIChild *first = frame->activeLabel())
        g_size = first->size();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        frame->Nouveau1Execute();
        QCoreApplication::processEvents();
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        g_label.push_back(ms);
        const auto subs = frame->findChildren<QMdiSubWindow *>();
        for (QMdiSubWindow *sub : subs)
            if (sub->widget() == frame->activeLabel())
                sub->close();
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_NewLabelWindow)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)
    ->ReportAggregatesOnly(true)->UseManualTime();
BENCHMARK(BM_BareWindow)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)
    ->ReportAggregatesOnly(true)->UseManualTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The bare window is the machine's yardstick for a window shown; the
    // first label window pays for the decoding the later ones share.
    const double label = median(g_label), bare = median(g_bare);
    std::printf("\nFenêtre Qt nue (%dx%d) : %.2f ms ; première fenêtre d'étiquette : %.1f ms ; les suivantes : %.1f ms "
                "(%.2f fois la première)\n",
                g_size.width(), g_size.height(), bare, g_first, label, g_first > 0 ? label / g_first : 0.0);
    return 0;
}
