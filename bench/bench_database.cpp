// The local substance database at the size of a regulatory inventory: a
// generated database of 100,000 records (names built from chemical word parts,
// numbers with their check characters, half of them without an INDEX number).
//
//   BM_Load             reading the file into the four lists
//   BM_WindowLoad       the window's load: the lists, the grid's model and view
//   BM_KeystrokeSearch  one keystroke in the search box, "contenant" on NOM:
//                       the search, the grid's model refilled and the view
//                       updated (arg: 0 one more letter, 1 back to an empty box)
//   BM_Save             "&Enregistrer": sort, backup, atomic write (arg: 0 into
//                       a database a save wrote, so in order; 1 into a
//                       database in no order at all)
//   BM_Delete           "&Supprimer": unsorted write with the backup
//   BM_Memory           resident memory taken by the 100,000 loaded records
//                       (counter rss_MB), measured around a load

#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/splash.h"
#include "shell/textfile.h"
#include "tools/rech.h"
#include "tools/substancedatabase.h"
#include "tools/substancegridmodel.h"

#include "bench/quietdesktop.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTemporaryDir>
#include <malloc.h>
#include <random>

namespace {

constexpr int kRecords = 100000;


QString digits(std::mt19937 &rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + int(rng() % 10));
    return s;
}

QString withCheck(IdentificationNumbers::Kind kind, const QString &text)
{
    const auto v = IdentificationNumbers::verify(kind, text);
    return v.result == IdentificationNumbers::Verification::Wrong ? v.corrected : text;
}

// The record lines of the generated database, in generation order.
QStringList generatedLines()
{
    static const char *const prefixes[] = {"", "", "", "ACIDE ", "CHLORURE DE ", "SULFATE DE ", "NITRATE DE ",
                                           "N,N-DI", "1,2-DI", "2-", "3-", "TRI", "TETRA", "ISO", "CYCLO"};
    static const char *const roots[] = {"ACET", "BENZ", "PROP", "BUT", "ETH", "METH", "PENT", "HEX", "TOLU",
                                        "PHEN", "XYL", "FORM", "CHLOR", "BROM", "NITR", "SULF", "PHOSPH",
                                        "AMIN", "HYDR", "OX", "CYAN", "FLUOR", "IOD", "VINYL", "STYR"};
    static const char *const suffixes[] = {"ONE", "OL", "ANE", "ENE", "IDE", "ATE", "ITE", "ALDEHYDE", "AMINE",
                                           "OIQUE", "YLE", "INE", "OATE", "ANOL"};
    std::mt19937 rng(13);
    QStringList lines;
    lines.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        QString nom = QString::fromLatin1(prefixes[rng() % std::size(prefixes)]);
        const int parts = 1 + int(rng() % 3);
        for (int p = 0; p < parts; ++p)
            nom += QString::fromLatin1(roots[rng() % std::size(roots)]);
        nom += QString::fromLatin1(suffixes[rng() % std::size(suffixes)]);
        nom += QStringLiteral(" %1").arg(i); // inventories hold each name once
        const QString ce = withCheck(IdentificationNumbers::Kind::CE,
                                     digits(rng, 3) + u'-' + digits(rng, 3) + QStringLiteral("-0"));
        const QString casField =
            withCheck(IdentificationNumbers::Kind::CAS,
                      digits(rng, 2 + int(rng() % 5)).rightJustified(6, u' ') + u'-' + digits(rng, 2) + QStringLiteral("-0"));
        const QString index = rng() % 2 ? QStringLiteral("-")
                                        : withCheck(IdentificationNumbers::Kind::INDEX,
                                                    digits(rng, 3) + u'-' + digits(rng, 3) + u'-' + digits(rng, 2)
                                                        + QStringLiteral("-0"));
        lines << SubstanceDatabase::recordLine(
            {nom, ce, SubstanceDatabase::storedNumber(IdentificationNumbers::Kind::CAS, casField), index});
    }
    return lines;
}

// The start directory with the generated database, written as a save writes it
// (sorted) and, beside it, the same records in no order.
struct Fixture {
    QTemporaryDir dir;
    QString start;
    QByteArray sortedBytes;
    QByteArray unsortedBytes;

    Fixture()
    {
        start = dir.path() + u'/';
        QDir().mkpath(start + QStringLiteral("databases"));
        const QDir data(QStringLiteral(KALVANE_DATA_DIR));
        for (const QString &f : data.entryList({QStringLiteral("*.txt")}, QDir::Files))
            QFile::copy(data.filePath(f), start + f);
        const QStringList lines = generatedLines();
        QStringList sorted;
        for (int i : SubstanceDatabase::sortedOrder(lines, Qt::CaseInsensitive))
            sorted << lines.at(i);
        sortedBytes = bytesOf(SubstanceDatabase::kSaveHeader, sorted);
        unsortedBytes = bytesOf(SubstanceDatabase::kSaveHeader, lines);
        restore(true);
    }
    static QByteArray bytesOf(const QString &header, const QStringList &lines)
    {
        QByteArray bytes;
        TextFile::encode(header + QStringLiteral("\r\n") + lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                         &bytes);
        return bytes;
    }
    void restore(bool sorted) const
    {
        QFile f(start + QStringLiteral("databases/db_francais.csv"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(sorted ? sortedBytes : unsortedBytes);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// The running program, created once, with the database window read.
struct Program {
    std::unique_ptr<Application> app;
    Trech *rech = nullptr;
    Program()
    {
        // The program's start directory is its working directory at start.
        QDir::setCurrent(fixture().start);
        setDesktop(std::make_unique<QuietDesktop>());
        app = std::make_unique<Application>();
        app->createWindows();
        app->splash()->finish();
        rech = app->rech();
        rech->showWindow();
    }
};

std::unique_ptr<Program> g_program; // ended in main, before the application

Program &program()
{
    fixture();
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void BM_Load(benchmark::State &state)
{
    fixture().restore(true);
    SubstanceDatabase db(fixture().start);
    for (auto _ : state) {
        if (db.load() != SubstanceDatabase::LoadResult::Loaded || db.count() != kRecords) {
            state.SkipWithError("the generated database did not load");
            break;
        }
        benchmark::DoNotOptimize(db.field(SubstanceDatabase::Nom).constData());
    }
    state.counters["records"] = db.count();
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_WindowLoad(benchmark::State &state)
{
    Program &p = program();
    fixture().restore(true);
    for (auto _ : state) {
        p.rech->loadDatabase();
        QCoreApplication::processEvents();
    }
    if (p.rech->gridModel()->shownCount() != kRecords)
        state.SkipWithError("the grid does not show every record");
}
BENCHMARK(BM_WindowLoad)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_KeystrokeSearch(benchmark::State &state)
{
    Program &p = program();
    fixture().restore(true);
    p.rech->loadDatabase();
    p.rech->Radnom->click();
    p.rech->RBc->click();
    // One more letter typed, then taken back, and so on: every iteration is
    // one keystroke. Arg 1: the box emptied (every record listed) and refilled.
    const QStringList texts = state.range(0) == 0 ? QStringList{QStringLiteral("METH"), QStringLiteral("METHY")}
                                                  : QStringList{QString(), QStringLiteral("M")};
    int i = 0;
    qint64 shown = 0;
    for (auto _ : state) {
        p.rech->LabSUBST->setText(texts.at(i++ % 2));
        QCoreApplication::processEvents(); // the grid lays out and paints
        shown += p.rech->gridModel()->shownCount();
    }
    state.counters["rows"] = benchmark::Counter(double(shown), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeystrokeSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Save(benchmark::State &state)
{
    const bool inOrder = state.range(0) == 0;
    fixture().restore(inOrder);
    SubstanceDatabase db(fixture().start);
    db.load();
    int n = 0;
    for (auto _ : state) {
        if (!inOrder) {
            state.PauseTiming();
            fixture().restore(false);
            db.load();
            state.ResumeTiming();
        }
        // A new record between the others, then the same one modified.
        const SubstanceDatabase::Record r{QStringLiteral("METHYLACETATE NOUVEAU"),
                                          QStringLiteral("%1-662-2").arg(100 + n++ % 2), QStringLiteral("67-64-1"),
                                          QStringLiteral("-")};
        QString error;
        if (!db.save(r, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
    state.counters["records"] = db.count();
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Delete(benchmark::State &state)
{
    fixture().restore(true);
    SubstanceDatabase db(fixture().start);
    db.load();
    for (auto _ : state) {
        QString error;
        if (!db.remove(QStringLiteral("NO SUCH NAME"), &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK(BM_Delete)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Memory(benchmark::State &state)
{
    fixture().restore(true);
    double mb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const qint64 before = residentKiB();
        state.ResumeTiming();
        auto db = std::make_unique<SubstanceDatabase>(fixture().start);
        db->load();
        // What the window adds: the grid's list of shown records.
        SubstanceGridModel model(db.get());
        model.showAll();
        state.PauseTiming();
        malloc_trim(0);
        mb = double(residentKiB() - before) / 1024.0;
        db.reset();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = mb;
}
BENCHMARK(BM_Memory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    // The program's locale: the saves sort in French.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
