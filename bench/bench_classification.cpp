// The harmonised classification at the size of the agency's table (4,334
// entries, the shipped data/clp/annexe6.txt).
//
//   BM_FirstLoad   reading the program's data file and indexing its numbers
//   BM_Lookup      a number checked and looked up (arg: 0 CAS, 1 EC, 2 INDEX)
//   BM_LabelCheck  "Vérifier l'étiquette" on a hydrogen chloride label, with
//                  the catalogues, the facts and the table
//   BM_Import      the agency's .xlsx read, checked, converted and written
//                  atomically. The workbook is $KALVANE_CLP_XLSX when set (the
//                  agency's own file), otherwise one built from the shipped
//                  data in the agency's layout.

#include "editor/labelchecks.h"
#include "tools/classification.h"
#include "tools/xlsxreader.h"

#include "../tests/tools/xlsxbuilder.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);

QString dataFile()
{
    return kData + u'/' + HarmonisedTable::kFileName;
}

// The shipped entries back in the agency's layout.
QByteArray agencyWorkbook(const HarmonisedTable &t)
{
    QList<QStringList> entries;
    for (const HarmonisedEntry &e : t.entries) {
        QStringList classes, codes, labelling;
        for (const auto &c : e.classes) {
            classes << c.first;
            codes << c.second;
        }
        for (const QString &p : e.pictograms)
            labelling << QStringLiteral("GHS") + p.mid(3);
        if (!e.signalWord.isEmpty())
            labelling << (e.signalWord == QLatin1String("DANGER") ? QStringLiteral("Dgr") : QStringLiteral("Wng"));
        entries.append({e.index, e.names.join(u'\n'), e.ec.join(u'\n'), e.cas.join(u'\n'), classes.join(u'\n'),
                        codes.join(u'\n'), labelling.join(u'\n'), e.hazards.join(u'\n'), e.supplemental.join(u'\n'),
                        e.limits.join(u'\n'), e.notes.join(u' '), e.atp});
    }
    QList<QStringList> rows = XlsxBuilder::agencyRows(entries, t.date);
    rows[0] = {QStringLiteral("DISCLAIMER:\n") + t.title};
    return XlsxBuilder::xlsx(rows);
}

void BM_FirstLoad(benchmark::State &state)
{
    for (auto _ : state) {
        HarmonisedTable t;
        QString error;
        if (!HarmonisedTable::read(dataFile(), &t, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        benchmark::DoNotOptimize(t.entries.size());
    }
}
BENCHMARK(BM_FirstLoad)->Unit(benchmark::kMillisecond);

void BM_Lookup(benchmark::State &state)
{
    HarmonisedTable t;
    QString error;
    if (!HarmonisedTable::read(dataFile(), &t, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    const QString numbers[] = {QStringLiteral("7647-01-0"), QStringLiteral("231-595-7"), QStringLiteral("017-002-00-2")};
    const QString number = numbers[state.range(0)];
    for (auto _ : state) {
        const auto found = t.find(number);
        benchmark::DoNotOptimize(found.size());
    }
}
BENCHMARK(BM_Lookup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_LabelCheck(benchmark::State &state)
{
    const LabelChecks checks = LabelChecks::load(kData);
    LabelChecks::Subject s;
    s.product = QStringLiteral("CHLORURE D'HYDROGÈNE");
    s.supplier = QStringLiteral("Chimie Lyonnaise SA");
    s.cas = QStringLiteral("  7647-01-0");
    s.ce = QStringLiteral("231-595-7");
    s.index = QStringLiteral("017-002-00-2");
    s.signalWord = QStringLiteral("DANGER");
    s.pictograms = {QStringLiteral("SGH04"), QStringLiteral("SGH05")};
    s.statements[Catalogue::Hazard] = {QStringLiteral("H280: Contient un gaz sous pression."),
                                       QStringLiteral("H314: Provoque de graves brûlures de la peau et des lésions oculaires.")};
    s.statements[Catalogue::Precaution] = {QStringLiteral("P260: Ne pas respirer les gaz.")};
    for (auto _ : state) {
        const auto findings = checks.check(s);
        benchmark::DoNotOptimize(findings.size());
    }
}
BENCHMARK(BM_LabelCheck)->Unit(benchmark::kMicrosecond);

void BM_Import(benchmark::State &state)
{
    QByteArray workbook;
    const QString given = qEnvironmentVariable("KALVANE_CLP_XLSX");
    if (!given.isEmpty()) {
        QFile f(given);
        if (f.open(QIODevice::ReadOnly))
            workbook = f.readAll();
    } else {
        HarmonisedTable shipped;
        QString error;
        if (HarmonisedTable::read(dataFile(), &shipped, &error))
            workbook = agencyWorkbook(shipped);
    }
    if (workbook.isEmpty()) {
        state.SkipWithError("no workbook");
        return;
    }
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("annexe.xlsx"));
    {
        QFile f(xlsx);
        if (!f.open(QIODevice::WriteOnly) || f.write(workbook) != workbook.size()) {
            state.SkipWithError("cannot write the workbook");
            return;
        }
    }
    const QString target = dir.filePath(HarmonisedTable::kFileName);
    for (auto _ : state) {
        HarmonisedTable t;
        QString error;
        if (!HarmonisedTable::importXlsx(xlsx, &t, &error) || !t.write(target, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.counters["entries"] = double(t.entries.size());
    }
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
