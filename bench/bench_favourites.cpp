// One keystroke in the favourites search: the time from a change of the
// search text to the file list filled again, in a folder of 10 000 label
// files named like a laboratory's (substance, strength or grade, a number).
// Three cases: a text that keeps a fifth of the names, the "contenant" mode,
// and a change that lists every file (the longest list to fill). The folder is
// one nobody changed in the last hour, so its listing is kept between
// keystrokes; the last case changes the folder before every keystroke, which
// makes the search read and sort the whole folder again.

#include "shell/application.h"
#include "shell/desktop.h"
#include "shell/splash.h"
#include "tools/favourites.h"
#include "tools/labelscan.h"

#include "bench/quietdesktop.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 10000;


// The start directory with a folder of label files, and the program on it.
struct Fixture
{
    QTemporaryDir start;
    QString folder;
    std::unique_ptr<Application> app;

    Fixture()
    {
        static const char *const substances[] = {
            "Acetone", "Acide sulfurique 96%", "Hypochlorite de sodium", "Acide chlorhydrique 37%",
            "Acide nitrique 65%", "Ammoniaque 28%", "Éthanol absolu", "Méthanol", "Isopropanol",
            "Soude caustique 30%", "Peroxyde d'hydrogène 30%", "Toluène", "Xylène", "Dichlorométhane",
            "Chloroforme", "Acétonitrile", "Hexane", "Formaldéhyde 37%", "Acide acétique glacial",
            "Potasse 45%", "Sulfate de cuivre", "Nitrate d'argent", "Permanganate de potassium",
            "Éther diéthylique", "Glutaraldéhyde 25%"};
        constexpr int count = int(std::size(substances));
        QDir(start.path()).mkdir(QStringLiteral("fiches"));
        folder = QDir(start.path()).filePath(QStringLiteral("fiches"));
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("%1 lot %2.kvln")
                                     .arg(QString::fromUtf8(substances[i % count]))
                                     .arg(i, 5, 10, QLatin1Char('0'));
            QFile f(QDir(folder).filePath(name));
            f.open(QIODevice::WriteOnly);
        }
        const timespec anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), anHourAgo, 0);
        QDir::setCurrent(start.path());
        setDesktop(std::make_unique<QuietDesktop>());
        app = std::make_unique<Application>();
        app->createWindows();
        app->splash()->finish();
        app->formRF()->show();
        app->formRF()->enterFolder(folder);
    }
};

// Ended in main, before the application: the program's windows cannot
// outlive QApplication (a function's static would).
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

void typeAlternately(benchmark::State &state, bool contains, const QString &a, const QString &b)
{
    TFormRF *rf = fixture().app->formRF();
    (contains ? rf->RBc : rf->RBd)->setChecked(true);
    const QString texts[2] = {a, b};
    int i = 0;
    for (auto _ : state) {
        rf->LabRech->setText(texts[i++ % 2]);
        benchmark::DoNotOptimize(rf->LB_fich->count());
    }
    state.counters["listed"] = rf->LB_fich->count();
}

// "débutant par": typing the second letter of "ac" and taking it back.
void BM_KeystrokeStartsWith(benchmark::State &state)
{
    typeAlternately(state, false, QStringLiteral("a"), QStringLiteral("ac"));
}
BENCHMARK(BM_KeystrokeStartsWith)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// "contenant": "ide" and "id".
void BM_KeystrokeContains(benchmark::State &state)
{
    typeAlternately(state, true, QStringLiteral("id"), QStringLiteral("ide"));
}
BENCHMARK(BM_KeystrokeContains)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The whole folder listed: an empty text and "*".
void BM_KeystrokeListsAll(benchmark::State &state)
{
    typeAlternately(state, false, QString(), QStringLiteral("*"));
}
BENCHMARK(BM_KeystrokeListsAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The whole folder listed just after a file was saved into it.
void BM_KeystrokeAfterFolderChange(benchmark::State &state)
{
    TFormRF *rf = fixture().app->formRF();
    rf->RBd->setChecked(true);
    const QString extra = QDir(fixture().folder).filePath(QStringLiteral("Nouvelle fiche.kvln"));
    const QString texts[2] = {QString(), QStringLiteral("*")};
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (i % 2 == 0) {
            QFile f(extra);
            f.open(QIODevice::WriteOnly);
        } else {
            QFile::remove(extra);
        }
        state.ResumeTiming();
        rf->LabRech->setText(texts[i++ % 2]);
        benchmark::DoNotOptimize(rf->LB_fich->count());
    }
    state.counters["listed"] = rf->LB_fich->count();
}
BENCHMARK(BM_KeystrokeAfterFolderChange)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The folder reading, matching and sorting alone, without the list.
void BM_ScanOnlyListsAll(benchmark::State &state)
{
    const QString folder = fixture().folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(LabelScan::scan(folder, QString(), LabelScan::Mode::StartsWith));
}
BENCHMARK(BM_ScanOnlyListsAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
