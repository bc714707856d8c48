#include "editor/harmonisedfill.h"

#include "editor/catalogue.h"

#include <QSet>

namespace HarmonisedFill {

namespace {

QString joined(const QStringList &items) { return items.join(QStringLiteral(", ")); }

// The pictogram number of "SGH01".."SGH09", 0 for anything else.
int pictogramNumber(const QString &code)
{
    for (int n = 1; n <= 9; ++n)
        if (code == LabelDocument::pictogramCode(n))
            return n;
    return 0;
}

// A prompt's text on one line, as the closing message quotes it.
QString oneLine(const QString &text) { return QString(text).replace(u'\n', u' ').simplified(); }

// Ticks the line of `list` whose code is `code`; false when the list has none.
bool tick(const StatementList &list, const QString &code, QList<bool> *ticks)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (Catalogue::statementCode(list.at(i).text).trimmed() == code) {
            (*ticks)[i] = true;
            return true;
        }
    }
    return false;
}

// The codes of the ticked lines (code before the colon, trimmed).
QStringList tickedCodes(const StatementList &list, const QList<bool> &keep)
{
    QStringList codes;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).ticked && !keep.at(i)) {
            const QString code = Catalogue::statementCode(list.at(i).text).trimmed();
            codes.append(code.isEmpty() ? QStringLiteral("« %1 »").arg(list.at(i).text.left(40)) : code);
        }
    return codes;
}

} // namespace

Lookup lookup(const HarmonisedTable &table, const QString &index, const QString &cas, const QString &ce)
{
    Lookup out;
    QList<SubstanceNumber> others;
    for (const QString &text : {index, cas, ce}) {
        const SubstanceNumber number = SubstanceNumber::check(text);
        if (number.kind == SubstanceNumber::Invalid)
            continue;
        if (out.entries.isEmpty()) {
            out.entries = table.find(number);
            if (!out.entries.isEmpty()) {
                out.number = number;
                continue;
            }
        }
        others.append(number);
    }
    // A number that names entries the chosen one does not: the label's
    // numbers may not be those of one substance.
    for (const SubstanceNumber &number : others) {
        QStringList names;
        for (const HarmonisedEntry *e : table.find(number))
            if (!out.entries.contains(e))
                names.append(QStringLiteral("INDEX ") + e->index);
        bool sharesOne = false;
        for (const HarmonisedEntry *e : table.find(number))
            sharesOne = sharesOne || out.entries.contains(e);
        if (!names.isEmpty() && !sharesOne)
            out.disagreements.append(QStringLiteral("Le n° %1 %2 de l'étiquette désigne une autre entrée (%3) : "
                                                    "vérifiez les numéros de l'étiquette.")
                                         .arg(SubstanceNumber::kindName(number.kind), number.number, joined(names)));
    }
    return out;
}

QString entryName(const HarmonisedEntry &entry)
{
    const QString name = entry.names.isEmpty() ? QString() : entry.names.first().trimmed();
    return name.isEmpty() ? QStringLiteral("INDEX %1").arg(entry.index)
                          : QStringLiteral("INDEX %1 (%2)").arg(entry.index, name);
}

QString chooseQuestion(const Lookup &lookup, int i)
{
    const qsizetype n = lookup.entries.size();
    return QStringLiteral("Le n° %1 %2 désigne %3 entrées de la classification harmonisée.\n"
                          "Appliquer l'entrée %4 (%5 sur %3) ?%6")
        // One call for the texts: a name holding "%" is not read again.
        .arg(SubstanceNumber::kindName(lookup.number.kind), lookup.number.number, QString::number(n),
             entryName(*lookup.entries.at(i)), QString::number(i + 1),
             i + 1 < n ? QStringLiteral("\nNon propose l'entrée suivante.")
                       : QStringLiteral("\nNon laisse l'étiquette telle quelle."));
}

Plan plan(const HarmonisedEntry &entry, const Label &label)
{
    Plan p;
    p.signalWord = entry.signalWord;
    p.hazardTicks = QList<bool>(label.hazards.size(), false);
    p.supplementalTicks = QList<bool>(label.supplemental.size(), false);

    // Statements: each line's code is ticked in its catalogue; what the line
    // says beyond its code (organs, route, marks) is the user's to add.
    QSet<QString> seen;
    QSet<QString> missing;
    const auto place = [&](const QString &line) {
        const QString code = HarmonisedEntry::code(line);
        if (code.isEmpty()) {
            p.unplaced.append(QStringLiteral("« %1 » : élément d'étiquetage que le programme ne sait pas placer, "
                                             "à compléter à la main.")
                                  .arg(line.trimmed()));
            return;
        }
        const bool supplemental = code.startsWith(QStringLiteral("EUH"));
        p.hasLabelling = true;
        if (!seen.contains(code)) {
            seen.insert(code);
            if (!tick(supplemental ? label.supplemental : label.hazards, code,
                      supplemental ? &p.supplementalTicks : &p.hazardTicks))
                missing.insert(code);
        }
        if (missing.contains(code)) {
            // The whole line: what it says beyond the code is not lost.
            p.unplaced.append(supplemental ? QStringLiteral("%1 : absente du catalogue des informations "
                                                            "supplémentaires (EUH.txt), non cochée.")
                                                 .arg(line.trimmed())
                                           : QStringLiteral("%1 : absente du catalogue des mentions de danger "
                                                            "(H.txt), non cochée.")
                                                 .arg(line.trimmed()));
            return;
        }
        const QString rest = line.trimmed().mid(code.size()).trimmed();
        if (!rest.isEmpty())
            p.unplaced.append(QStringLiteral("%1 : l'entrée précise « %2 », que la mention cochée ne reprend pas ; "
                                             "adaptez son texte (« Modifier une phrase »).")
                                  .arg(code, rest));
    };
    for (const QString &line : entry.hazards)
        place(line);
    for (const QString &line : entry.supplemental)
        place(line);
    for (const QString &line : entry.otherLabelling)
        p.unplaced.append(QStringLiteral("« %1 » : élément d'étiquetage que le programme ne sait pas placer, "
                                         "à compléter à la main.")
                              .arg(line.trimmed()));

    // Pictograms: the entry's, through the rules afterwards.
    for (const QString &code : entry.pictograms) {
        if (pictogramNumber(code) == 0)
            p.unplaced.append(QStringLiteral("« %1 » : pictogramme inconnu, non placé.").arg(code));
        else if (!p.pictograms.contains(code))
            p.pictograms.append(code);
    }
    if (!p.pictograms.isEmpty() || !p.signalWord.isEmpty())
        p.hasLabelling = true;
    for (const QString &code : label.pictograms)
        if (p.pictograms.contains(code))
            p.keptPictograms.append(code);

    // Classes the entry gives without a hazard statement, the minimum
    // classifications, the notes and the specific limits: the label may have
    // to differ from the entry's labelling.
    QStringList minimum;
    QStringList marked;
    for (const auto &c : entry.classes) {
        const QString cls = c.first.trimmed();
        const QStringList words = cls.split(u' ', Qt::SkipEmptyParts);
        if (words.contains(QStringLiteral("*")))
            minimum.append(cls);
        if (cls.contains(QStringLiteral("**")))
            marked.append(cls);
        else if (HarmonisedEntry::code(c.second).isEmpty() && !cls.isEmpty())
            p.unplaced.append(QStringLiteral("Classe « %1 » sans mention de danger dans l'entrée : choisissez la "
                                             "mention qui convient.")
                                  .arg(cls));
    }
    for (const QString &cls : marked)
        p.unplaced.append(QStringLiteral("Classe « %1 » : l'entrée la marque d'astérisques (annexe VI, partie 1) ; "
                                         "vérifiez-la.")
                              .arg(cls));
    if (!minimum.isEmpty())
        p.unplaced.append(QStringLiteral("Classification minimale (« * ») : %1 ; la classification du produit peut "
                                         "être plus sévère, vérifiez-la.")
                              .arg(joined(minimum)));
    if (entry.notes.size() == 1)
        p.unplaced.append(QStringLiteral("Note de l'entrée : %1 ; elle peut demander d'adapter l'étiquette "
                                         "(annexe VI, partie 1).")
                              .arg(entry.notes.first()));
    else if (!entry.notes.isEmpty())
        p.unplaced.append(QStringLiteral("Notes de l'entrée : %1 ; elles peuvent demander d'adapter l'étiquette "
                                         "(annexe VI, partie 1).")
                              .arg(joined(entry.notes)));
    if (!entry.limits.isEmpty()) {
        QStringList limits;
        for (const QString &l : entry.limits)
            limits.append(QStringLiteral("« %1 »").arg(l.trimmed()));
        p.unplaced.append(QStringLiteral("Limites de concentration spécifiques, facteurs M : %1 ; la classification "
                                         "d'une solution ou d'un mélange peut être différente.")
                              .arg(limits.join(QStringLiteral(" ; "))));
    }
    if (!p.hasLabelling)
        p.unplaced.prepend(QStringLiteral("L'entrée ne donne ni pictogramme, ni mention d'avertissement, ni mention "
                                          "de danger : l'étiquette n'est pas modifiée."));

    // What the label loses. A signal word alone (the window's initial
    // "DANGER") is no content of its own.
    QStringList lostPictograms;
    for (const QString &code : label.pictograms)
        if (!p.pictograms.contains(code))
            lostPictograms.append(code);
    const QStringList lostHazards = tickedCodes(label.hazards, p.hazardTicks);
    const QStringList lostSupplemental = tickedCodes(label.supplemental, p.supplementalTicks);
    if (!lostPictograms.isEmpty())
        p.replaced.append((lostPictograms.size() == 1 ? QStringLiteral("pictogramme %1") : QStringLiteral("pictogrammes %1"))
                              .arg(joined(lostPictograms)));
    const QStringList lostStatements = lostHazards + lostSupplemental;
    if (!lostStatements.isEmpty())
        p.replaced.append((lostStatements.size() == 1 ? QStringLiteral("mention cochée %1") : QStringLiteral("mentions cochées %1"))
                              .arg(joined(lostStatements)));
    bool anyTicked = false;
    for (const StatementEntry &e : label.hazards + label.supplemental)
        anyTicked = anyTicked || e.ticked;
    const QString word = label.signalWord.trimmed();
    if ((anyTicked || !label.pictograms.isEmpty()) && !word.isEmpty()
        && word.compare(p.signalWord, Qt::CaseInsensitive) != 0)
        p.replaced.append(QStringLiteral("mention d'avertissement « %1 »").arg(word));
    if (!p.hasLabelling)
        p.replaced.clear();
    return p;
}

QString replaceQuestion(const HarmonisedEntry &entry, const QStringList &replaced)
{
    return QStringLiteral("La classification harmonisée de l'entrée %1 remplace ce que l'étiquette porte :\n%2.\n"
                          "Les conseils de prudence restent tels quels.\n\nRemplacer ?")
        .arg(entryName(entry), replaced.join(QStringLiteral(" ;\n")));
}

Pictograms placePictograms(const QStringList &start, const QStringList &wanted, const PictogramRules::Ask &ask)
{
    Pictograms out;
    out.list = start;
    QHash<QString, QString> reasons;
    for (const QString &code : wanted) {
        const int n = pictogramNumber(code);
        if (n == 0 || out.list.contains(code))
            continue;
        QStringList said;
        const QStringList before = out.list;
        out.list = PictogramRules::click(before, n, [&](const PictogramRules::Prompt &prompt) {
            const bool yes = ask(prompt);
            said.append(prompt.kind == PictogramRules::Prompt::Question
                            ? QStringLiteral("« %1 » (réponse %2)").arg(oneLine(prompt.text), yes ? QStringLiteral("Oui") : QStringLiteral("Non"))
                            : QStringLiteral("« %1 »").arg(oneLine(prompt.text)));
            return yes;
        });
        const QString why = said.isEmpty() ? QStringLiteral("règles des pictogrammes") : said.join(u' ');
        if (!out.list.contains(code))
            reasons.insert(code, why);
        for (const QString &gone : before)
            if (!out.list.contains(gone))
                reasons.insert(gone, why);
    }
    for (const QString &code : wanted)
        if (!out.list.contains(code) && pictogramNumber(code) != 0)
            out.unplaced.append(QStringLiteral("Pictogramme %1 non placé : %2.").arg(code, reasons.value(code)));
    return out;
}

QString report(const HarmonisedEntry &entry, const QStringList &unplaced)
{
    if (unplaced.isEmpty())
        return QString();
    QString text = QStringLiteral("Classification harmonisée de l'entrée %1 : ce qui suit n'a pas pu être placé "
                                  "sur l'étiquette ou demande votre attention.\n")
                       .arg(entryName(entry));
    for (const QString &line : unplaced)
        text += QStringLiteral("\n• ") + line;
    return text;
}

} // namespace HarmonisedFill
