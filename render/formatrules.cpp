#include "render/formatrules.h"

#include "shell/textfile.h"

#include <QDir>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace FormatRules {

namespace {

const QString kBadLine = QStringLiteral(
    "Le fichier des formats d'étiquette « %1 » est incorrect à la ligne %2 : %3");
const QString kNoBands = QStringLiteral(
    "Le fichier des formats d'étiquette « %1 » ne contient aucune tranche de contenance.");
const QString kLabelTooSmall = QStringLiteral(
    "L'étiquette mesure %1 × %2 mm : pour un emballage de %3 L, elle doit mesurer %4au moins %5 × %6 mm "
    "(règlement CLP, annexe I, tableau 1.3).");
const QString kPictogramTooSmall = QStringLiteral(
    "Un pictogramme de %1 mm de côté est trop petit pour un emballage de %2 L : il faut au moins %3 mm de côté "
    "(%4 ; règlement CLP, annexe I, sections 1.2.1.3 et 1.2.1.4).");

QString mm(double value)
{
    return QLocale(QLocale::French, QLocale::France).toString(value, 'f', value == std::round(value) ? 0 : 1);
}

bool number(const QString &text, double *value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || v <= 0 || v > 1.0e6)
        return false;
    *value = v;
    return true;
}

} // namespace

const Band *Table::bandFor(double l) const
{
    if (!(l > 0) || !std::isfinite(l))
        return nullptr;
    for (const Band &b : bands)
        if (b.maxLitres < 0 || l <= b.maxLitres)
            return &b;
    return nullptr;
}

QString litresText(double litres)
{
    return QLocale(QLocale::French, QLocale::France).toString(litres, 'g', 6);
}

bool read(const QString &path, Table *table, QString *error)
{
    QStringList lines;
    QString why;
    const QString shown = QDir::toNativeSeparators(path);
    if (!TextFile::readLines(path, &lines, &why)) {
        *error = kBadLine.arg(shown).arg(0).arg(why);
        return false;
    }
    Table t;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const auto bad = [&](const QString &what) {
            *error = kBadLine.arg(shown).arg(i + 1).arg(what);
            return false;
        };
        // A presentation rule: "key=value".
        if (!line.contains(u';') && line.contains(u'=')) {
            const qsizetype eq = line.indexOf(u'=');
            const QString key = line.left(eq).trimmed();
            const QString value = line.mid(eq + 1).trimmed();
            if (key == u"interligne-minimale") {
                double percent = 0;
                if (!number(value, &percent) || percent < 100 || percent > 400)
                    return bad(QStringLiteral("l'interligne minimal « %1 » n'est pas un pourcentage de 100 à 400.")
                                   .arg(value));
                t.lineSpacingPercent = percent;
            } else if (key == u"application-format") {
                if (value.isEmpty() || value.size() > 80)
                    return bad(QStringLiteral("la date d'application des règles de présentation est vide ou trop longue."));
                t.formatDate = value;
            } else {
                return bad(QStringLiteral("la clé « %1 » est inconnue (interligne-minimale ou application-format).")
                               .arg(key.left(40)));
            }
            continue;
        }
        const QStringList f = line.split(u';');
        if (f.size() != 6 && f.size() != 7)
            return bad(QStringLiteral("six champs séparés par « ; » sont attendus (sept avec la hauteur d'x minimale)."));
        if (!t.bands.isEmpty() && t.bands.constLast().maxLitres < 0)
            return bad(QStringLiteral("une tranche suit la tranche sans limite."));
        Band b;
        if (!f.at(0).trimmed().isEmpty()) {
            if (!number(f.at(0), &b.maxLitres))
                return bad(QStringLiteral("la contenance « %1 » n'est pas un nombre positif.").arg(f.at(0)));
            if (!t.bands.isEmpty() && b.maxLitres <= t.bands.constLast().maxLitres)
                return bad(QStringLiteral("les contenances doivent croître d'une ligne à la suivante."));
        }
        if (!number(f.at(1), &b.labelShort) || !number(f.at(2), &b.labelLong) || !number(f.at(3), &b.pictogramMinimum)
            || !number(f.at(4), &b.pictogramPreferred))
            return bad(QStringLiteral("une dimension n'est pas un nombre positif de millimètres."));
        if (b.labelShort > b.labelLong)
            return bad(QStringLiteral("le petit côté de l'étiquette dépasse le grand."));
        const QString flag = f.at(5).trimmed();
        if (!flag.isEmpty() && flag != u"si-possible")
            return bad(QStringLiteral("le dernier champ est « si-possible » ou vide."));
        b.labelIfPossible = !flag.isEmpty();
        if (f.size() == 7 && !f.at(6).trimmed().isEmpty()
            && (!number(f.at(6), &b.xHeight) || b.xHeight > 50))
            return bad(QStringLiteral("la hauteur d'x minimale « %1 » n'est pas un nombre positif de millimètres.")
                           .arg(f.at(6).trimmed().left(40)));
        t.bands << b;
    }
    if (t.bands.isEmpty()) {
        *error = kNoBands.arg(shown);
        return false;
    }
    if (t.bands.constLast().maxLitres >= 0) {
        *error = kBadLine.arg(shown).arg(lines.size()).arg(QStringLiteral("la dernière tranche doit être sans limite."));
        return false;
    }
    *table = t;
    return true;
}

double smallestXHeight(const Table &table)
{
    double least = 0;
    for (const Band &b : table.bands)
        if (b.xHeight > 0 && (least == 0 || b.xHeight < least))
            least = b.xHeight;
    return least;
}

QString checkLabel(const Table &table, double l, double widthMm, double heightMm)
{
    const Band *b = table.bandFor(l);
    if (!b)
        return {};
    const double shortSide = std::min(widthMm, heightMm);
    const double longSide = std::max(widthMm, heightMm);
    // Sizes are compared to a hundredth of a millimetre: stock dimensions
    // come from points.
    if (shortSide + 0.005 >= b->labelShort && longSide + 0.005 >= b->labelLong)
        return {};
    return kLabelTooSmall.arg(mm(widthMm), mm(heightMm), litresText(l),
                              b->labelIfPossible ? QStringLiteral("si possible ") : QString(), mm(b->labelShort),
                              mm(b->labelLong));
}

QString checkPictogram(const Table &table, double l, double labelWidthMm, double labelHeightMm, double sideMm)
{
    const Band *b = table.bandFor(l);
    if (!b)
        return {};
    const double minimumArea = b->labelShort * b->labelLong;
    const double labelArea = std::max(0.0, labelWidthMm) * std::max(0.0, labelHeightMm);
    const double fifteenth = std::min(minimumArea, labelArea) / 15.0;
    double needed = b->pictogramMinimum;
    QString rule = QStringLiteral("côté minimal de %1 mm").arg(mm(b->pictogramMinimum));
    if (std::sqrt(100.0) > needed) {
        needed = 10.0;
        rule = QStringLiteral("au moins 1 cm²");
    }
    if (std::sqrt(fifteenth) > needed) {
        needed = std::sqrt(fifteenth);
        rule = QStringLiteral("un quinzième de la surface minimale de l'étiquette");
    }
    if (sideMm + 0.005 >= needed)
        return {};
    return kPictogramTooSmall.arg(mm(sideMm), litresText(l), mm(std::ceil(needed * 10) / 10), rule);
}

} // namespace FormatRules
