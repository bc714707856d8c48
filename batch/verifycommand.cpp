#include "batch/verifycommand.h"

#include "editor/labelchecks.h"

#include <QDir>

namespace VerifyCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Vérifie chaque étiquette comme la commande « Vérifier l'étiquette » de\n"
    "Kalvane et écrit une ligne par constat sur la sortie standard :\n"
    "« fichier: niveau: message », le niveau étant erreur, avertissement ou note.\n"
    "Une étiquette sans constat n'écrit rien. Le code de sortie est 1 dès qu'une\n"
    "étiquette a une erreur ou un avertissement ; des notes seules le laissent à 0.\n"
    "Des catalogues ou un fichier des vérifications (verifications.txt) illisibles ou\n"
    "incomplets arrêtent la commande avant toute étiquette, avec le code 2.\n");

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    if (line.arguments.isEmpty())
        return tool.usageError(QStringLiteral("aucun fichier d'étiquette à vérifier."));

    // No verdict on part of the facts: catalogues or facts that cannot be
    // read whole stop the run before any label is judged.
    if (!tool.cataloguesReadable())
        return BatchTool::kDataError;
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
