// Speed and memory of sheet printing: a full page of 18 stored labels drawn
// directly at 600 dpi on an A4 PDF-format printer, the same page as label
// pictures ("Conformité à l'aperçu"), and the sheet preview of 18 stored
// labels. The labels are the reference label of bench_render (saved as a
// label file) and the three sample labels, in turn.
//
//   bench_print [--one-job=direct|picture|preview] [benchmark flags]
//
// --one-job runs a single 18-label job and prints the process's resident
// memory before it and its peak after it (the job's memory growth), then
// exits; run it under /usr/bin/time -v for the whole process's peak.

#include "editor/catalogue.h"
#include "render/labelrenderer.h"
#include "render/sheetpreview.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"
#include "shell/labelfile.h"

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kDataDir = QStringLiteral(KALVANE_DATA_DIR);
const QStringList kSamples = {QStringLiteral("Acetone.kvln"), QStringLiteral("Acide sulfurique 96%.kvln"),
                              QStringLiteral("Hypochlorite de sodium.kvln")};

std::unique_ptr<QTemporaryDir> g_folder;
QStringList g_selection;

// Ticks `count` entries of ordinary length spread evenly over the list, as
// bench_render does for its reference label.
void tickSpread(StatementList *list, int count)
{
    QList<int> ordinary;
    for (int i = 0; i < list->size(); ++i)
        if (list->at(i).text.size() >= 25 && list->at(i).text.size() <= 140)
            ordinary << i;
    for (int k = 0; k < count && k < ordinary.size(); ++k)
        (*list)[ordinary.at(int(qint64(k) * ordinary.size() / count))].ticked = true;
}

StatementList statements(const QString &file)
{
    QStringList items;
    Catalogue::load(kDataDir + u'/' + file, &items);
    return Catalogue::toStatements(items);
}

// The reference label of the rendering benchmark: five pictograms, a logo,
// three supplier lines, two product lines on a band, three numbers, a
// three-line comment, 30 ticked statements.
LabelDocument referenceDocument()
{
    LabelDocument doc;
    doc.pictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH05"), QStringLiteral("SGH06"),
                      QStringLiteral("SGH07"), QStringLiteral("SGH09")};
    doc.supplier = QStringLiteral("Chimie Lyonnaise SA\n12, rue des Tanneurs - 69007 Lyon\nTél. 04 72 00 00 00");
    doc.product = QStringLiteral("ACIDE CHLORHYDRIQUE\nen solution aqueuse à 33 %");
    doc.productColor = QColor(0, 0, 128);
    doc.ce = QStringLiteral("231-595-7");
    doc.cas = QStringLiteral("  7647-01-0");
    doc.index = QStringLiteral("017-002-01-X");
    doc.comment = QStringLiteral("Contient : chlorure d'hydrogène.\nRéservé à un usage professionnel.\n"
                                 "Conserver à l'abri de la chaleur.");
    doc.hazards = statements(QStringLiteral("H.txt"));
    doc.precautions = statements(QStringLiteral("P.txt"));
    doc.supplementary = statements(QStringLiteral("EUH.txt"));
    tickSpread(&doc.hazards, 10);
    tickSpread(&doc.precautions, 17);
    tickSpread(&doc.supplementary, 3);
    return doc;
}

// A folder with the four label files and their supplier logos, made the
// working directory (stored logo lines are read against it); the selection
// of 18 entries takes them in turn.
bool prepare()
{
    g_folder = std::make_unique<QTemporaryDir>();
    const QDir dir(g_folder->path());
    dir.mkpath(QStringLiteral("fournisseurs"));
    const QString logo = kDataDir + QStringLiteral("/Kalvane/fournisseurs/chimie_lyonnaise.jpg");
    QFile::copy(logo, dir.filePath(QStringLiteral("fournisseurs/chimie_lyonnaise.jpg")));
    QStringList labels;
    for (const QString &name : kSamples) {
        QFile::copy(kDataDir + QStringLiteral("/Kalvane/") + name, dir.filePath(name));
        labels << dir.filePath(name);
    }
    LabelDocument doc = referenceDocument();
    FrameMirrors mirrors;
    mirrors.logoPath = logo;
    QString error;
    const QString reference = dir.filePath(QStringLiteral("Référence.kvln"));
    if (!LabelFile::save(reference, &doc, mirrors, &error, g_folder->path())) {
        std::fprintf(stderr, "cannot save the reference label: %s\n", qPrintable(error));
        return false;
    }
    labels.prepend(reference);
    QDir::setCurrent(g_folder->path());
    for (int i = 0; i < 18; ++i)
        g_selection << labels.at(i % labels.size());
    return true;
}

SheetPrint::Job fullPage(bool pictureMode)
{
    SheetPrint::Job job;
    job.settings.labelsPerPage = 18;
    job.settings.activeLabel = false;
    job.settings.selection = g_selection;
    job.settings.pictureMode = pictureMode;
    job.settings.separatorLines = true;
    job.pictogramFolder = kDataDir;
    job.copies = 1;
    return job;
}

bool printPage(bool pictureMode, const QString &output)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(output);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const SheetPrint::Result result = SheetPrint::print(&printer, fullPage(pictureMode));
    if (!result.printed)
        std::fprintf(stderr, "job failed: %s\n", qPrintable(result.error));
    return result.printed;
}

void BM_DirectPage18At600(benchmark::State &state)
{
    const QString output = g_folder->filePath(QStringLiteral("direct.pdf"));
    for (auto _ : state)
        if (!printPage(false, output))
            state.SkipWithError("job failed");
    state.counters["pdf_kB"] = double(QFileInfo(output).size()) / 1024;
}

void BM_PicturePage18At600(benchmark::State &state)
{
    const QString output = g_folder->filePath(QStringLiteral("pictures.pdf"));
    for (auto _ : state)
        if (!printPage(true, output))
            state.SkipWithError("job failed");
    state.counters["pdf_kB"] = double(QFileInfo(output).size()) / 1024;
}

void BM_SheetPreview18(benchmark::State &state)
{
    SheetSettings settings = fullPage(false).settings;
    QImage image;
    for (auto _ : state) {
        SheetPreview::draw(&image, settings, LabelContent(), FrameMirrors(), kDataDir);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// One stored label drawn into the label picture: the unit of the two
// picture-based measures above.
void BM_StoredLabelPicture(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(StoredLabel::imp_etBM_pl(g_selection.first(), false, FrameMirrors(), kDataDir));
}

long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines)
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

int oneJob(const QByteArray &kind)
{
    // Warm up the fonts and the picture cache outside the measure.
    LabelRenderer::labelPicture(LabelContent());
    const long before = statusKilobytes("VmRSS:");
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets the peak to the current size
    clear.close();
    bool ok = true;
    if (kind == "preview") {
        QImage image;
        SheetPreview::draw(&image, fullPage(false).settings, LabelContent(), FrameMirrors(), kDataDir);
    } else {
        ok = printPage(kind == "picture", g_folder->filePath(QStringLiteral("one.pdf")));
    }
    const long peak = statusKilobytes("VmHWM:");
    std::printf("one %s job of 18 labels: resident %ld kB before, peak %ld kB, growth %ld kB\n", kind.constData(),
                before, peak, peak - before);
    return ok ? 0 : 1;
}

} // namespace

BENCHMARK(BM_StoredLabelPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetPreview18)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectPage18At600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicturePage18At600)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!prepare())
        return 1;

    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--one-job="))
            return oneJob(arg.mid(10));
        rest.push_back(argv[i]);
    }
    if (!runBenchmarks(rest))
        return 1;
    return 0;
}
