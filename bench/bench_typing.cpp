// Typing in a label window while the floating preview is visible: the time
// from a change of the product text (Memo_S) to the preview image updated,
// with the reference label (five pictograms, a logo, three supplier lines, two
// product lines on a coloured band, the three numbers, a three-line comment,
// 30 ticked statements) open.

#include "editor/catalogue.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/splash.h"

#include "bench/quietdesktop.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace {


void tick(StatementList &list, const QStringList &prefixes)
{
    for (const QString &p : prefixes) {
        const int i = Catalogue::prefixSearch(list, p + u':');
        if (i >= 0)
            list[i].ticked = true;
    }
}

void BM_TypingRefreshesPreview(benchmark::State &state)
{
    QTemporaryDir start;
    const QDir data(QStringLiteral(KALVANE_DATA_DIR));
    for (const QString &f : data.entryList({QStringLiteral("*.txt"), QStringLiteral("SGH*.jpg")}, QDir::Files))
        QFile::copy(data.filePath(f), QDir(start.path()).filePath(f));
    QFile::copy(data.filePath(QStringLiteral("Kalvane/fournisseurs/chimie_lyonnaise.jpg")),
                QDir(start.path()).filePath(QStringLiteral("logo.jpg")));
    QDir::setCurrent(start.path());
    setDesktop(std::make_unique<QuietDesktop>());

    Application app;
    app.createWindows();
    app.splash()->finish();
    TForm_base *frame = app.frame();
    frame->Nouveau1Execute();
    TMDIChild *label = frame->activeLabel();

    LabelDocument doc = label->document();
    doc.pictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH05"), QStringLiteral("SGH06"),
                      QStringLiteral("SGH08"), QStringLiteral("SGH09")};
    doc.logoPath = QDir(start.path()).filePath(QStringLiteral("logo.jpg"));
    doc.supplier = QStringLiteral("Chimie Lyonnaise SA\n12 rue des Verriers - 69007 Lyon\nTél. : 04 65 71 23 45");
    doc.product = QStringLiteral("ACIDE SULFURIQUE\n96 %");
    doc.productColor = QColor(255, 128, 0);
    doc.ce = QStringLiteral("231-639-5");
    doc.cas = QStringLiteral("  7664-93-9");
    doc.index = QStringLiteral("016-020-00-8");
    doc.comment = QStringLiteral("Bidon de 5 L\nToujours verser l'acide dans l'eau.\nLot 2026-118");
    tick(doc.hazards, {"H225", "H290", "H301", "H311", "H314", "H318", "H331", "H335", "H341", "H350",
                       "H370", "H372", "H400", "H410"});
    tick(doc.precautions, {"P201", "P210", "P233", "P260", "P264", "P270", "P273", "P280", "P301+P330+P331",
                           "P303+P361+P353", "P305+P351+P338", "P310", "P403+P233", "P405", "P501"});
    tick(doc.supplementary, {"EUH071"});
    label->applyDocument(doc);
    frame->mirrors.logoPath = doc.logoPath;
    frame->Apercu1Execute();

    const QStringList texts = {QStringLiteral("ACIDE SULFURIQUE\n96 %"), QStringLiteral("ACIDE SULFURIQUE\n96 %a")};
    int i = 0;
    const int before = app.apercu()->refreshCount();
    for (auto _ : state) {
        label->Memo_S->setPlainText(texts.at(i++ % 2));
        benchmark::DoNotOptimize(app.apercu()->shownPicture().constBits());
    }
    if (app.apercu()->refreshCount() - before != int(state.iterations()))
        state.SkipWithError("the preview was not refreshed on every change");
}
BENCHMARK(BM_TypingRefreshesPreview)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
