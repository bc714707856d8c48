#include "batch/classificationcommand.h"

#include "tools/classification.h"

#include <QDir>

namespace ClassificationCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Écrit la classification et l'étiquetage harmonisés (annexe VI du règlement CLP)\n"
    "de chaque substance nommée par son numéro CAS, CE ou INDEX, chiffre de contrôle\n"
    "vérifié : INDEX, nom, CE, CAS, classes et catégories de danger, pictogrammes,\n"
    "mention d'avertissement, mentions H et EUH, limites de concentration\n"
    "spécifiques et facteurs M, notes. Le tableau est lu dans « clp/annexe6.txt »\n"
    "du dossier de départ.\n"
    "Avec --importer, lit un tableau de l'Agence européenne des produits chimiques\n"
    "(.xlsx) et remplace ce fichier ; il est laissé intact si le classeur est refusé.\n"
    "Code de sortie : 0 si chaque numéro a une entrée, 1 si un numéro valide n'en a\n"
    "pas (ou si un fichier a posé problème), 2 pour un numéro invalide.\n");

QString joined(const QStringList &values, const QString &separator = QStringLiteral(" ; "))
{
    return values.isEmpty() ? QStringLiteral("-") : values.join(separator);
}

int import(BatchTool &tool, const QString &xlsx)
{
    HarmonisedTable table;
    QString error;
    if (!HarmonisedTable::importXlsx(xlsx, &table, &error)) {
        tool.problem(xlsx, error);
        return BatchTool::kFileProblem;
    }
    const QString target = tool.startDirectory() + HarmonisedTable::kFileName;
    if (!table.write(target, &error)) {
        tool.problem(QDir::toNativeSeparators(target), error);
        return BatchTool::kFileProblem;
    }
    HarmonisedTable::forgetShared();
    tool.out() << QStringLiteral("%1 entrées importées (%2) dans %3\n")
                      .arg(table.entries.size())
                      .arg(table.date.isEmpty() ? QStringLiteral("date inconnue") : table.date,
                           QDir::toNativeSeparators(target));
    return BatchTool::kSuccess;
}

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    const QString importer = QStringLiteral("importer");
    if (line.has(importer)) {
        if (!line.arguments.isEmpty())
            return tool.usageError(QStringLiteral("--importer ne se combine pas avec des numéros à chercher."));
        return import(tool, line.value(importer));
    }
    if (line.arguments.isEmpty())
        return tool.usageError(QStringLiteral("aucun numéro CAS, CE ou INDEX à chercher."));

    QString error;
    const auto table = HarmonisedTable::shared(tool.startDirectory(), &error);
    // Every number is checked before anything is printed.
    QList<SubstanceNumber> numbers;
    QList<QList<const HarmonisedEntry *>> founds;
    int status = BatchTool::kSuccess;
    for (const QString &text : line.arguments) {
        const SubstanceNumber n = SubstanceNumber::check(text);
        QList<const HarmonisedEntry *> found = table->find(n);
        if (n.kind == SubstanceNumber::Invalid) {
            // A number the table itself writes with another check digit is
            // still the table's.
            found = table->findAsWritten(text);
            if (found.isEmpty()) {
                tool.problem(n.error);
                status = BatchTool::kUsageError;
            } else {
                tool.problem(n.error + QStringLiteral(" Le tableau l'écrit pourtant ainsi : voici son entrée."));
            }
        }
        numbers.append(n);
        founds.append(found);
    }
    if (status != BatchTool::kSuccess)
        return status;
    if (!error.isEmpty()) {
        tool.problem(error);
        return BatchTool::kFileProblem;
    }
    bool first = true;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const SubstanceNumber &n = numbers.at(i);
        const QList<const HarmonisedEntry *> &found = founds.at(i);
        if (found.isEmpty()) {
            tool.problem(QStringLiteral("le numéro %1 %2 n'a pas de classification harmonisée.")
                             .arg(SubstanceNumber::kindName(n.kind), n.number));
            status = BatchTool::kFileProblem;
            continue;
        }
        for (const HarmonisedEntry *e : found) {
            if (!first)
                tool.out() << '\n';
            first = false;
            tool.out() << describe(*e);
        }
    }
    return status;
}

} // namespace

QString describe(const HarmonisedEntry &e)
{
    QStringList classes;
    for (const auto &c : e.classes)
        classes.append(c.second.isEmpty() ? c.first : c.first + QStringLiteral(" (") + c.second + u')');
    QString text;
    const auto field = [&text](const QString &name, const QString &value) {
        text += name + QStringLiteral(" : ") + value + u'\n';
    };
    field(QStringLiteral("INDEX"), e.index);
    field(QStringLiteral("Nom"), joined(e.names));
    field(QStringLiteral("CE"), joined(e.ec));
    field(QStringLiteral("CAS"), joined(e.cas));
    field(QStringLiteral("Classification"), joined(classes));
    QStringList pictograms = e.pictograms;
    pictograms += e.otherLabelling;
    field(QStringLiteral("Pictogrammes"), joined(pictograms, QStringLiteral(" ")));
    field(QStringLiteral("Mention d'avertissement"), e.signalWord.isEmpty() ? QStringLiteral("-") : e.signalWord);
    field(QStringLiteral("Mentions de danger"), joined(e.hazards));
    field(QStringLiteral("Mentions EUH"), joined(e.supplemental));
    field(QStringLiteral("Limites de concentration spécifiques, facteurs M"), joined(e.limits));
    field(QStringLiteral("Notes"), joined(e.notes, QStringLiteral(" ")));
    return text;
}

BatchTool::Command command()
{
    CommandLine::Command definition;
    definition.name = QStringLiteral("classification");
    definition.arguments = QStringLiteral("NUMÉRO...");
    definition.summary = QStringLiteral("classification harmonisée d'un numéro CAS, CE ou INDEX");
    definition.description = kDescription;
    definition.options = {
        {QStringLiteral("importer"), QChar(), QStringLiteral("FICHIER.xlsx"),
         QStringLiteral("importe un tableau de l'annexe VI publié par l'Agence")},
    };
    return {definition, run};
}

} // namespace ClassificationCommand
