#include "editor/pictogramrules.h"

#include "shell/labeldocument.h"

namespace PictogramRules {

namespace {

const QString kSgh02WithSgh03 = QStringLiteral("Le pictogramme SGH02 n'est pas compatible avec SGH03 !");
const QString kSgh02Optional = QStringLiteral(
    "Le pictogramme SGH02 est facultatif avec SGH01,\nvoulez-vous quand même le sélectionner ?");
const QString kSgh03WithSgh02 = QStringLiteral("Le pictogramme SGH03 n'est pas compatible avec SGH02 !");
const QString kSgh03Optional = QStringLiteral(
    "Le pictogramme SGH03 est facultatif avec SGH01,\nvoulez-vous quand même le sélectionner ?");
const QString kSgh05WithSgh07 = QStringLiteral(
    "Avec le pictogramme SGH05, SGH07 ne doit pas\napparaître pour l'irritation cutanée ou oculaire,\n"
    "voulez-vous quand même utiliser SGH05 ?");
const QString kSgh06ReplacesSgh07 = QStringLiteral(
    "Le pictogramme SGH06 prime sur SGH07.\nCelui-ci sera remplacé automatiquement!");
const QString kSgh07WithSgh06 = QStringLiteral("Le pictogramme SGH07 n'est pas autorisé avec SGH06 !");
const QString kSgh07WithSgh05 = QStringLiteral(
    "Avec le pictogramme SGH05, SGH07 ne doit pas\napparaître pour l'irritation cutanée ou oculaire,\n"
    "voulez-vous quand même l'utiliser ?");
const QString kSgh07WithSgh08 = QStringLiteral(
    "Avec le pictogramme SGH08, SGH07 ne doit pas apparaître pour\nla sensibilisation cutanée ou "
    "l'irritation cutanée et oculaire,\nvoulez-vous quand même l'utiliser ?");
const QString kSgh08WithSgh07 = QStringLiteral(
    "Avec le pictogramme SGH08, SGH07 ne doit pas apparaître pour\nla sensibilisation cutanée ou "
    "l'irritation cutanée et oculaire,\nvoulez-vous quand même utiliser SGH08 ?");
const QString kRemoveSgh02 = QStringLiteral("Le pictogramme SGH02 est facultatif avec SGH01,\nvoulez-vous le supprimer ?");
const QString kRemoveSgh03 = QStringLiteral("Le pictogramme SGH03 est facultatif avec SGH01,\nvoulez-vous le supprimer ?");

QString code(int n) { return LabelDocument::pictogramCode(n); }

} // namespace

QStringList click(const QStringList &selected, int n, const Ask &ask)
{
    if (n < 1 || n > 9)
        return selected;
    const auto has = [&selected](int k) { return selected.contains(code(k)); };
    const auto warn = [&ask](const QString &text) { ask({Prompt::Warning, text}); };
    const auto question = [&ask](const QString &text) { return ask({Prompt::Question, text}); };

    if (selected.size() >= kMaximum) {
        if (!has(n))
            warn(kTooMany);
        return selected;
    }
    if (has(n))
        return selected;

    QStringList list = selected;
    bool accepted = true;
    switch (n) {
    case 2:
        if (has(3)) {
            warn(kSgh02WithSgh03);
            accepted = false;
        } else if (has(1)) {
            accepted = question(kSgh02Optional);
        }
        break;
    case 3:
        if (has(2)) {
            warn(kSgh03WithSgh02);
            accepted = false;
        } else if (has(1)) {
            accepted = question(kSgh03Optional);
        }
        break;
    case 5:
        if (has(7))
            accepted = question(kSgh05WithSgh07);
        break;
    case 6:
        if (has(7)) {
            warn(kSgh06ReplacesSgh07);
            list[list.indexOf(code(7))] = code(6);
            return list;
        }
        break;
    case 7:
        if (has(6)) {
            warn(kSgh07WithSgh06);
            accepted = false;
        } else {
            if (has(5) && !question(kSgh07WithSgh05))
                accepted = false;
            if (has(8) && !question(kSgh07WithSgh08))
                accepted = false;
        }
        break;
    case 8:
        if (has(7))
            accepted = question(kSgh08WithSgh07);
        break;
    default:
        break;
    }
    if (!accepted)
        return list;
    list.append(code(n));
    if (n == 1) {
        if (list.contains(code(2)) && question(kRemoveSgh02))
            list.removeAll(code(2));
        if (list.contains(code(3)) && question(kRemoveSgh03))
            list.removeAll(code(3));
    }
    return list;
}

QStringList move(const QStringList &list, int from, int to)
{
    if (from < 0 || to < 0 || from >= list.size() || to >= list.size() || from == to)
        return list;
    QStringList out = list;
    out.move(from, to);
    return out;
}

} // namespace PictogramRules
