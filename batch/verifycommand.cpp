#include "batch/verifycommand.h"

#include "batch/sheetcommand.h"
#include "editor/labelchecks.h"
#include "render/formatrules.h"
#include "render/labelformat.h"
#include "render/labelstock.h"
#include "render/sheetgeometry.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>

namespace VerifyCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Vérifie chaque étiquette comme la commande « Vérifier l'étiquette » de\n"
    "Kalvane et écrit une ligne par constat sur la sortie standard :\n"
    "« fichier: niveau: message », le niveau étant erreur, avertissement ou note.\n"
    "Une étiquette sans constat n'écrit rien. Le code de sortie est 1 dès qu'une\n"
    "étiquette a une erreur ou un avertissement ; des notes seules le laissent à 0.\n"
    "Des catalogues ou un fichier des vérifications (verifications.txt) illisibles ou\n"
    "incomplets arrêtent la commande avant toute étiquette, avec le code 2.\n"
    "Avec --par-page ou --modele, chaque étiquette est aussi vérifiée imprimée\n"
    "ainsi (page A4 entière pour les grilles) contre les formats du règlement CLP\n"
    "selon la contenance de l'emballage (--contenance, sinon celle de l'étiquette) :\n"
    "une étiquette ou un pictogramme trop petit est une erreur ; les règles de\n"
    "présentation du règlement (UE) 2024/2865 (hauteur d'x, interligne, noir sur\n"
    "blanc, police) donnent des avertissements qui ne changent pas le code de sortie.\n");

const QString kBadCapacity = QStringLiteral(
    "la contenance « %1 » n'est pas un nombre de litres positif (par exemple 0.5 ou 25).");
const QString kCapacityAlone = QStringLiteral("--contenance ne sert qu'avec --par-page ou --modele.");

// The grids are checked on an A4 page printable to its edges, at the
// resolution of the batch tool's PDF.
constexpr int kResolution = 600;

struct FormatJob {
    bool wanted = false;
    SheetSettings settings;
    SheetPrint::Surface surface;
    double litres = 0;          // from the command line; 0: the label's own
    FormatRules::Table table;
};

// --par-page, --modele and --contenance; a usage error status when one is
// wrong, else success.
int readFormat(BatchTool &tool, const CommandLine::Parsed &line, FormatJob *job)
{
    const bool grid = line.has(QStringLiteral("par-page"));
    const bool stock = line.has(QStringLiteral("modele"));
    if (grid && stock)
        return tool.usageError(SheetCommand::kStockAndGrid);
    if (!grid && !stock) {
        if (line.has(QStringLiteral("contenance")))
            return tool.usageError(kCapacityAlone);
        return BatchTool::kSuccess;
    }
    job->wanted = true;
    job->settings.activeLabel = true;
    if (grid) {
        const QString text = line.value(QStringLiteral("par-page"));
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok || !SheetGeometry::isLayout(n))
            return tool.usageError(SheetCommand::kBadLayout.arg(text));
        job->settings.labelsPerPage = n;
        const QSize a4 = QPageSize(QPageSize::A4).sizePixels(kResolution);
        const bool landscape = SheetGeometry::isLandscape(n);
        job->surface = {landscape ? a4.height() : a4.width(), landscape ? a4.width() : a4.height(), kResolution,
                        kResolution, landscape};
    } else {
        if (!SheetCommand::readStockName(tool, line.value(QStringLiteral("modele")), &job->settings.stock))
            return BatchTool::kUsageError;
    }
    if (line.has(QStringLiteral("contenance"))) {
        const QString text = line.value(QStringLiteral("contenance"));
        bool ok = false;
        const double l = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!ok || !(l > 0) || l > 1.0e6) {
            const double l2 = LabelFormat::capacityOf(text);
            if (!(l2 > 0))
                return tool.usageError(kBadCapacity.arg(text));
            job->litres = l2;
        } else {
            job->litres = l;
        }
    }
    return BatchTool::kSuccess;
}

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    if (line.arguments.isEmpty())
        return tool.usageError(QStringLiteral("aucun fichier d'étiquette à vérifier."));

    // No verdict on part of the facts: catalogues or facts that cannot be
    // read whole stop the run before any label is judged.
    FormatJob format;
    const int formatStatus = readFormat(tool, line, &format);
    if (formatStatus != BatchTool::kSuccess)
        return formatStatus;
    if (!tool.cataloguesReadable())
        return BatchTool::kDataError;
    if (format.wanted) {
        const QString path = QDir(tool.startDirectory()).filePath(FormatRules::kFileName);
        QString error;
        if (!FormatRules::read(path, &format.table, &error))
            return tool.dataError(error + QStringLiteral(" Rien n'est vérifié (voir --data)."));
    }
    const LabelChecks checks = LabelChecks::load(tool.startDirectory());
    if (!checks.problems().isEmpty())
        return tool.dataError(QStringLiteral("dossier de données « %1 » : %2 Rien n'est vérifié (voir --data).")
                                  .arg(QDir::toNativeSeparators(QDir(tool.startDirectory()).absolutePath()),
                                       checks.problems().join(u' ')));
    int status = BatchTool::kSuccess;
    const int total = int(line.arguments.size());
    for (int i = 0; i < total; ++i) {
        const QString &file = line.arguments.at(i);
        tool.progress(i + 1, total, file);
        const LabelChecks::Subject subject = LabelChecks::readSubject(file);
        const QList<LabelFinding> findings = checks.check(subject);
        // The label as printed in the layout asked for.
        QList<LabelFormat::Finding> formatFindings;
        if (format.wanted && subject.laidOut) {
            SheetPrint::Job job;
            job.settings = format.settings;
            job.active = subject.content;
            job.activeName = QFileInfo(file).fileName();
            const double litres = format.litres > 0 ? format.litres : LabelFormat::capacityOf(subject.capacity);
            formatFindings = LabelFormat::checkJob(format.table, litres, job, format.surface);
        }
        if (findings.isEmpty() && formatFindings.isEmpty())
            continue;
        tool.endProgress();
        for (const LabelFinding &f : findings)
            tool.out() << file << ": " << LabelFinding::levelName(f.level) << ": " << f.message << '\n';
        for (const LabelFormat::Finding &f : formatFindings)
            tool.out() << file << ": "
                       << LabelFinding::levelName(f.error ? LabelFinding::Error : LabelFinding::Warning) << ": "
                       << f.message << '\n';
        tool.out().flush();
        // Format warnings are told, not counted: their rules do not apply yet.
        if (LabelChecks::serious(findings) || LabelFormat::hasError(formatFindings))
            status = BatchTool::kFileProblem;
    }
    return status;
}

} // namespace

BatchTool::Command command()
{
    CommandLine::Command definition;
    definition.name = QStringLiteral("verifier");
    definition.arguments = QStringLiteral("ÉTIQUETTE.kvln...");
    definition.summary = QStringLiteral("vérifie chaque étiquette, une ligne par constat");
    definition.description = kDescription;
    definition.options = {
        {QStringLiteral("par-page"), QChar(), QStringLiteral("N"),
         QStringLiteral("vérifie aussi le format imprimé à N étiquettes par page (2, 4, 8, 16 ou 18)")},
        {QStringLiteral("modele"), QChar(), QStringLiteral("\"MARQUE RÉFÉRENCE\""),
         QStringLiteral("vérifie aussi le format imprimé sur une planche du commerce (par exemple \"Avery L7165\")")},
        {QStringLiteral("contenance"), QChar(), QStringLiteral("LITRES"),
         QStringLiteral("contenance de l'emballage en litres (par défaut celle de chaque étiquette)")},
    };
    return {definition, run};
}

} // namespace VerifyCommand
