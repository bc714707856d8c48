#include "render/labelformat.h"

#include "render/rendervariant.h"
#include "render/storedlabel.h"
#include "shell/labelfile.h"

#include <QFileInfo>

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace LabelFormat {

namespace {

const QString kLabelPrefix = QStringLiteral("Impression « %1 » : ");
const QString kXHeight = QStringLiteral(
    "le texte le plus petit (%1) a une hauteur d'x de %2 mm une fois imprimé, au-dessous des %3 mm demandés %4 "
    "par le règlement (UE) 2024/2865%5.");
const QString kLineSpacing = QStringLiteral(
    "l'interligne du texte (%1) est de %2 % de la taille des caractères, au-dessous des %3 % demandés par le "
    "règlement (UE) 2024/2865%4.");
const QString kColours = QStringLiteral(
    "le texte n'est pas partout noir sur fond blanc (%1), comme le demande le règlement (UE) 2024/2865%2.");
const QString kSerifs = QStringLiteral(
    "la police « %1 » a des empattements : le règlement (UE) 2024/2865 demande une seule police sans empattement%2.");
const QString kNoCapacity = QStringLiteral(
    "la contenance de l'emballage n'est pas indiquée : les dimensions de l'étiquette et des pictogrammes ne sont "
    "pas vérifiées, la hauteur d'x l'est contre le plus petit minimum (%1 mm).");

QString decimal(double value, int digits)
{
    return QLocale(QLocale::French, QLocale::France).toString(value, 'f', digits);
}

QString from(const FormatRules::Table &table)
{
    return table.formatDate.isEmpty() ? QString()
                                      : QStringLiteral(" (règle applicable à partir du %1)").arg(table.formatDate);
}

constexpr int kMeasureDpi = 1200;

} // namespace

Printed onGrid(const SheetSettings &settings, const SheetPrint::Surface &surface)
{
    Printed p;
    p.layout = QStringLiteral("%1 étiquettes par page").arg(settings.labelsPerPage);
    if (surface.dpiX <= 0 || surface.dpiY <= 0)
        return p;
    const SheetGeometry g = SheetPrint::geometry(settings, surface);
    p.widthMm = g.labelWidth() * 25.4 / surface.dpiX;
    p.heightMm = g.labelHeight() * 25.4 / surface.dpiY;
    p.drawnWidthMm = p.widthMm;
    return p;
}

Printed onStock(const LabelStock::Template &stock)
{
    Printed p;
    p.layout = stock.name();
    p.widthMm = stock.width;
    p.heightMm = stock.height;
    const double m = stock.markupMargin;
    p.drawnWidthMm =
        LabelStock::fitted(QRectF(m, m, stock.width - 2 * m, stock.height - 2 * m), SheetGeometry::kRatio).width();
    return p;
}

double xHeightMm(const QString &face, double emMm)
{
    if (!(emMm > 0))
        return 0;
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kMeasureDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kMeasureDpi / 0.0254));
        return image;
    }();
    QFont font(face);
    font.setPixelSize(std::max(1, int(std::lround(emMm * kMeasureDpi / 25.4))));
    const double pixels = QFontMetricsF(font, &device).xHeight();
    return pixels * 25.4 / kMeasureDpi;
}

bool hasSerifs(const QString &face)
{
    const auto serif = [](const QString &family) {
        const QString f = family.toLower();
        if (f.contains(QLatin1String("sans")))
            return false;
        static const char *const kSerifFamilies[] = {"serif", "times", "georgia", "garamond", "palatino", "cambria",
                                                     "century", "bookman", "baskerville", "bodoni", "didot",
                                                     "courier", "constantia", "rockwell", "antiqua", "caslon"};
        for (const char *s : kSerifFamilies)
            if (f.contains(QLatin1String(s)))
                return true;
        return false;
    };
    return serif(face) || serif(QFontInfo(QFont(face)).family());
}

double capacityOf(const QString &text)
{
    const std::optional<double> l = LabelFile::parseCapacity(text.trimmed());
    return l && *l > 0 ? *l : 0;
}

QList<Finding> check(const FormatRules::Table &table, double litres, const Printed &printed,
                     const LayoutMetrics &metrics)
{
    QList<Finding> errors;
    QList<Finding> warnings;
    if (!printed.valid())
        return {};
    const QString prefix = kLabelPrefix.arg(printed.layout);
    const FormatRules::Band *band = litres > 0 ? table.bandFor(litres) : nullptr;
    if (band) {
        const QString size = FormatRules::checkLabel(table, litres, printed.widthMm, printed.heightMm);
        if (!size.isEmpty())
            errors.append({true, prefix + size});
        const double side = metrics.pictogramSquare * printed.drawnWidthMm / std::sqrt(2.0);
        for (const QString &code : metrics.pictograms) {
            const QString small =
                FormatRules::checkPictogram(table, litres, printed.widthMm, printed.heightMm, side);
            if (!small.isEmpty())
                errors.append({true, prefix + QStringLiteral("pictogramme %1 : ").arg(code) + small});
        }
    } else {
        warnings.append({false, prefix + kNoCapacity.arg(decimal(FormatRules::smallestXHeight(table), 1))});
    }
    if (metrics.smallestEm > 0) {
        const double minimum = band ? band->xHeight : FormatRules::smallestXHeight(table);
        const double x = xHeightMm(metrics.fontFace, metrics.smallestEm * printed.drawnWidthMm);
        if (minimum > 0 && x + 0.005 < minimum) {
            const QString forWhat = band ? QStringLiteral("pour un emballage de %1 L").arg(FormatRules::litresText(litres))
                                         : QStringLiteral("au moins");
            warnings.append({false, prefix + kXHeight.arg(metrics.smallestName, decimal(x, 2),
                                                          decimal(minimum, 1), forWhat, from(table))});
        }
        const double percent = metrics.smallestLine / metrics.smallestEm * 100;
        if (table.lineSpacingPercent > 0 && percent + 0.05 < table.lineSpacingPercent)
            warnings.append({false, prefix + kLineSpacing.arg(metrics.smallestName, decimal(percent, 0),
                                                              decimal(table.lineSpacingPercent, 0), from(table))});
    }
    if (!metrics.notBlackOnWhite.isEmpty())
        warnings.append({false, prefix + kColours.arg(metrics.notBlackOnWhite.join(QStringLiteral(", ")), from(table))});
    if (!metrics.fontFace.isEmpty() && hasSerifs(metrics.fontFace))
        warnings.append({false, prefix + kSerifs.arg(metrics.fontFace, from(table))});
    return errors + warnings;
}

bool hasError(const QList<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding &f) { return f.error; });
}

QString report(const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings)
        lines << (f.error ? QStringLiteral("erreur : ") : QStringLiteral("avertissement : ")) + f.message;
    return lines.join(u'\n');
}

double leastStatementScale(const FormatRules::Table &table, double litres, const Printed &printed,
                           const LayoutMetrics &metrics)
{
    const FormatRules::Band *band = litres > 0 ? table.bandFor(litres) : nullptr;
    const double minimum = band ? band->xHeight : FormatRules::smallestXHeight(table);
    if (!(minimum > 0) || !(metrics.statementEm > 0) || !printed.valid())
        return 1;
    const double x = xHeightMm(metrics.fontFace, metrics.statementEm * printed.drawnWidthMm);
    if (!(x > 0))
        return 1;
    // The x-height follows the size; a hundredth more covers the font's
    // rounding to whole pixels.
    return std::ceil(minimum / x * 100.0) / 100.0;
}

namespace {

struct JobLabel {
    QString name;
    LabelContent content;
};

// The distinct labels of a job, as drawn.
QList<JobLabel> jobLabels(const SheetPrint::Job &job)
{
    const SheetSettings &s = job.settings;
    if (s.activeLabel)
        return {{job.activeName, job.active}};
    QList<JobLabel> labels;
    QStringList seen;
    for (const QString &path : s.selection) {
        if (path.isEmpty() || seen.contains(path))
            continue;
        seen << path;
        LabelContent content;
        QStringList problems;
        if (QFileInfo(path).isFile()
            && StoredLabel::load(path, s.numberingOnly, job.current, job.pictogramFolder, &content, &problems))
            labels.append({QFileInfo(path).fileName(), content});
    }
    return labels;
}

Printed printedOf(const SheetPrint::Job &job, const SheetPrint::Surface &surface)
{
    return job.settings.onStock() ? onStock(job.settings.stock) : onGrid(job.settings, surface);
}

// Whether every label holds its statements at `scale`.
bool holds(const SheetPrint::Job &job, const SheetPrint::Surface &surface, const QList<JobLabel> &labels,
           double scale)
{
    SheetPrint::Job j = job;
    j.settings.statementScale = scale;
    if (j.settings.onStock()) {
        // Drawn on stock as a label of its own proportions: its statements
        // end at its bottom edge, as in the label picture.
        for (JobLabel l : labels) {
            l.content.statementScale = scale;
            if (!LabelRenderer::measure(l.content, RenderVariant::labelPicture()).cutStatement.isEmpty())
                return false;
        }
        return true;
    }
    const SheetPrint::Result r = SheetPrint::check(j, surface);
    return r.error.isEmpty() && r.cut.isEmpty() && r.overflow.isEmpty();
}

double statementXHeight(const LabelContent &content, double scale, const Printed &printed)
{
    LabelContent c = content;
    c.statementScale = scale;
    const LayoutMetrics m = LabelRenderer::metrics(c);
    return xHeightMm(m.fontFace, m.statementEm * printed.drawnWidthMm);
}

const QString kFitAdvice = QStringLiteral(
    "Choisissez une planche d'étiquettes plus grandes ou moins d'étiquettes par page, ou retirez des phrases.");

} // namespace

FitOffer fitStatements(const FormatRules::Table &table, double litres, const SheetPrint::Job &job,
                       const SheetPrint::Surface &surface)
{
    FitOffer offer;
    const double current = job.settings.statementScale;
    offer.scale = offer.least = current;
    const QList<JobLabel> labels = jobLabels(job);
    const Printed printed = printedOf(job, surface);
    if (labels.isEmpty() || !printed.valid() || holds(job, surface, labels, current))
        return offer;
    offer.needed = true;
    const FormatRules::Band *band = litres > 0 ? table.bandFor(litres) : nullptr;
    const double minimum = band ? band->xHeight : FormatRules::smallestXHeight(table);
    // The least scale, in hundredths, at which every label's statements keep
    // the minimum x-height, measured with the font at each step.
    int least = 1;
    for (const JobLabel &l : labels) {
        const double x1 = statementXHeight(l.content, 1.0, printed);
        if (!(x1 > 0))
            continue;
        int p = std::max(1, int(std::floor(minimum / x1 * 100.0)) - 2);
        while (p < 400 && statementXHeight(l.content, p / 100.0, printed) + 0.005 < minimum)
            ++p;
        least = std::max(least, p);
    }
    offer.least = least / 100.0;
    const QString mm = decimal(minimum, 1);
    int high = int(std::lround(current * 100)); // does not hold
    if (least >= high) {
        offer.message = QStringLiteral(
            "Les phrases ne tiennent pas toutes dans l'étiquette (%1), et leur taille ne peut pas être réduite sans "
            "que la hauteur d'x du texte passe sous le minimum de %2 mm.\n\n").arg(printed.layout, mm) + kFitAdvice;
        return offer;
    }
    if (!holds(job, surface, labels, least / 100.0)) {
        offer.message = QStringLiteral(
            "Les phrases ne tiennent pas toutes dans l'étiquette (%1), même réduites à %2 % de leur taille, la plus "
            "petite qui garde la hauteur d'x minimale de %3 mm.\n\n").arg(printed.layout).arg(least).arg(mm) + kFitAdvice;
        return offer;
    }
    int low = least; // holds
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        if (holds(job, surface, labels, mid / 100.0))
            low = mid;
        else
            high = mid;
    }
    offer.possible = true;
    offer.scale = low / 100.0;
    offer.message = QStringLiteral(
        "Les phrases ne tiennent pas toutes dans l'étiquette (%1). Elles tiennent si leur taille est réduite à %2 % "
        "pour cette impression (la hauteur d'x reste d'au moins %3 mm).\n\nRéduire la taille des phrases pour "
        "cette impression ?").arg(printed.layout).arg(low).arg(mm);
    return offer;
}

QList<Finding> checkJob(const FormatRules::Table &table, double litres, const SheetPrint::Job &job,
                        const SheetPrint::Surface &surface)
{
    const Printed printed = printedOf(job, surface);
    QList<Finding> out;
    const QList<JobLabel> labels = jobLabels(job);
    for (JobLabel l : labels) {
        l.content.statementScale = job.settings.statementScale;
        const QList<Finding> found = check(table, litres, printed, LabelRenderer::metrics(l.content));
        for (Finding f : found) {
            if (labels.size() > 1)
                f.message = l.name + QStringLiteral(" — ") + f.message;
            if (!out.contains(f))
                out.append(f);
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Finding &a, const Finding &b) { return a.error && !b.error; });
    return out;
}

} // namespace LabelFormat
