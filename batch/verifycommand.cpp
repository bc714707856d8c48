#include "batch/verifycommand.h"

#include "editor/labelchecks.h"

namespace VerifyCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Vérifie chaque étiquette comme la commande « Vérifier l'étiquette » de\n"
    "Kalvane et écrit une ligne par constat sur la sortie standard :\n"
    "« fichier: niveau: message », le niveau étant erreur, avertissement ou note.\n"
    "Une étiquette sans constat n'écrit rien. Le code de sortie est 1 dès qu'une\n"
    "étiquette a une erreur ou un avertissement ; des notes seules le laissent à 0.\n");

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    if (line.arguments.isEmpty())
        return tool.usageError(QStringLiteral("aucun fichier d'étiquette à vérifier."));

    int status = BatchTool::kSuccess;
    const LabelChecks checks = LabelChecks::load(tool.startDirectory());
    // What the checks could not read is told once, and the run cannot count
    // as a clean one.
    for (const QString &problem : checks.problems()) {
        tool.problem(problem);
        status = BatchTool::kFileProblem;
    }
    const int total = int(line.arguments.size());
    for (int i = 0; i < total; ++i) {
        const QString &file = line.arguments.at(i);
        tool.progress(i + 1, total, file);
        const QList<LabelFinding> findings = checks.check(LabelChecks::readSubject(file));
        if (findings.isEmpty())
            continue;
        tool.endProgress();
        for (const LabelFinding &f : findings)
            tool.out() << file << ": " << LabelFinding::levelName(f.level) << ": " << f.message << '\n';
        tool.out().flush();
        if (LabelChecks::serious(findings))
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
    return {definition, run};
}

} // namespace VerifyCommand
