#include "render/labelstock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace LabelStock {

namespace {

const QString kUnsupportedShape = QStringLiteral(
    "étiquettes %1 : seules les étiquettes rectangulaires (coins droits ou arrondis) sont prises en charge.");
const QString kUnsupportedPaper = QStringLiteral(
    "papier « %1 » : seules les planches A4 et US Letter sont prises en charge.");
const QString kNoLayout = QStringLiteral("le modèle ne décrit aucune étiquette sur la planche.");
const QString kBadGeometry = QStringLiteral("dimensions absentes ou illisibles dans le modèle.");
constexpr int kMostLabels = 2000;
const QString kTooManyLabels = QStringLiteral("le modèle annonce %1 étiquettes par planche, bien plus qu'une feuille n'en porte.");
const QString kOffPaper = QStringLiteral("des étiquettes du modèle dépassent de la feuille.");

struct Paper {
    double width = 0;
    double height = 0;
};

// Lengths are stored as points unless a unit follows.
double unitFactor(const QString &unit)
{
    if (unit.isEmpty() || unit == u"pt")
        return 25.4 / 72.0;
    if (unit == u"mm")
        return 1.0;
    if (unit == u"cm")
        return 10.0;
    if (unit == u"in")
        return 25.4;
    if (unit == u"pc")
        return 25.4 / 6.0;
    return -1;
}

QString shapeName(const QString &shape)
{
    if (shape == u"round")
        return QStringLiteral("rondes");
    if (shape == u"ellipse")
        return QStringLiteral("ovales");
    if (shape == u"cd")
        return QStringLiteral("pour CD/DVD");
    return QStringLiteral("de forme « %1 »").arg(shape);
}

double length(const QXmlStreamAttributes &a, const char *name, bool *ok)
{
    const QString text = a.value(QLatin1String(name)).toString();
    double mm = 0;
    if (text.isEmpty() || !readLength(text, &mm)) {
        *ok = false;
        return 0;
    }
    return mm;
}

// A template as read, before its `equiv` is resolved.
struct Raw {
    Template t;
    QString equiv;
    QString problem;    // set while reading: a broken length
    QString customPaper; // "Other": its own width and height
    double otherWidth = 0;
    double otherHeight = 0;
};

void readShape(QXmlStreamReader &xml, Raw *raw)
{
    Template &t = raw->t;
    const QXmlStreamAttributes a = xml.attributes();
    bool ok = true;
    const QString element = xml.name().toString();
    t.shape = element.mid(6); // after "Label-"
    if (t.shape == u"rectangle" || t.shape == u"ellipse") {
        t.width = length(a, "width", &ok);
        t.height = length(a, "height", &ok);
        // The corner radius only shapes the outline: an unreadable one
        // ("in" alone is seen) is taken as square corners.
        if (t.shape == u"rectangle" && a.hasAttribute(QLatin1String("round"))) {
            bool roundOk = true;
            t.round = length(a, "round", &roundOk);
            if (!roundOk)
                t.round = 0;
        }
    } else if (t.shape == u"round" || t.shape == u"cd") {
        t.width = t.height = 2 * length(a, "radius", &ok);
    }
    if (!ok)
        raw->problem = kBadGeometry;
    while (xml.readNextStartElement()) {
        const QXmlStreamAttributes c = xml.attributes();
        if (xml.name() == u"Markup-margin") {
            bool marginOk = true;
            t.markupMargin = length(c, "size", &marginOk);
            if (!marginOk)
                raw->problem = kBadGeometry;
        } else if (xml.name() == u"Layout") {
            Layout l;
            bool layoutOk = true;
            l.nx = c.value(QLatin1String("nx")).toInt(&layoutOk);
            bool nyOk = true;
            l.ny = c.value(QLatin1String("ny")).toInt(&nyOk);
            l.x0 = length(c, "x0", &layoutOk);
            l.y0 = length(c, "y0", &layoutOk);
            // One label across or down needs no step.
            l.dx = c.hasAttribute(QLatin1String("dx")) ? length(c, "dx", &layoutOk) : 0;
            l.dy = c.hasAttribute(QLatin1String("dy")) ? length(c, "dy", &layoutOk) : 0;
            if (!layoutOk || !nyOk || l.nx < 1 || l.ny < 1 || l.nx > 1000 || l.ny > 1000)
                raw->problem = kBadGeometry;
            else
                t.layouts << l;
        }
        xml.skipCurrentElement();
    }
}

// One file's templates; false (with `error`) when the XML is broken.
bool readFile(const QString &path, QList<Raw> *out, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = kDamagedFile.arg(QDir::toNativeSeparators(path)).arg(0).arg(file.errorString());
        return false;
    }
    QXmlStreamReader xml(&file);
    QList<Raw> found;
    if (xml.readNextStartElement()) {
        while (xml.readNextStartElement()) {
            if (xml.name() != u"Template") {
                xml.skipCurrentElement();
                continue;
            }
            Raw raw;
            const QXmlStreamAttributes a = xml.attributes();
            raw.t.file = path;
            raw.t.brand = a.value(QLatin1String("brand")).toString().trimmed();
            raw.t.part = a.value(QLatin1String("part")).toString().trimmed();
            raw.t.description = a.value(QLatin1String("_description")).toString();
            if (raw.t.description.isEmpty())
                raw.t.description = a.value(QLatin1String("description")).toString();
            raw.t.paper = a.value(QLatin1String("size")).toString();
            raw.equiv = a.value(QLatin1String("equiv")).toString().trimmed();
            if (raw.t.paper == u"Other") {
                bool ok = true;
                raw.otherWidth = length(a, "width", &ok);
                raw.otherHeight = length(a, "height", &ok);
                if (!ok)
                    raw.problem = kBadGeometry;
            }
            bool shapeSeen = false;
            while (xml.readNextStartElement()) {
                if (!shapeSeen && xml.name().startsWith(u"Label-")) {
                    shapeSeen = true;
                    readShape(xml, &raw);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (!raw.t.brand.isEmpty() && !raw.t.part.isEmpty())
                found << raw;
        }
    }
    if (xml.hasError()) {
        *error = kDamagedFile.arg(QDir::toNativeSeparators(path)).arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    out->append(found);
    return true;
}

QHash<QString, Paper> readPapers(const QString &paperFile)
{
    QHash<QString, Paper> papers;
    papers.insert(QStringLiteral("A4"), {210, 297});
    papers.insert(QStringLiteral("US-Letter"), {215.9, 279.4});
    QFile file(paperFile);
    if (paperFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return papers;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Paper-size") {
            const QXmlStreamAttributes a = xml.attributes();
            bool ok = true;
            Paper p;
            p.width = length(a, "width", &ok);
            p.height = length(a, "height", &ok);
            if (ok)
                papers.insert(a.value(QLatin1String("id")).toString(), p);
        }
    }
    return papers;
}

QString key(const QString &name)
{
    return name.simplified().toCaseFolded();
}

void judge(Template *t)
{
    if (!t->refusal.isEmpty())
        return;
    if (t->shape != u"rectangle") {
        t->refusal = kUnsupportedShape.arg(shapeName(t->shape.isEmpty() ? QStringLiteral("?") : t->shape));
        return;
    }
    if (t->paper != u"A4" && t->paper != u"US-Letter") {
        t->refusal = kUnsupportedPaper.arg(t->paper);
        return;
    }
    if (t->width <= 0 || t->height <= 0) {
        t->refusal = kBadGeometry;
        return;
    }
    if (t->layouts.isEmpty()) {
        t->refusal = kNoLayout;
        return;
    }
    // No sheet has this many labels; a file that says so is not believed.
    if (t->labelsPerSheet() > kMostLabels) {
        t->refusal = kTooManyLabels.arg(t->labelsPerSheet());
        return;
    }
    const QRectF paper(0, 0, t->paperWidth, t->paperHeight);
    // Templates are measured by hand: a label that runs up to a millimetre
    // past the edge is a rounding, and the paper's edge clips it anyway.
    const QRectF tolerance = paper.adjusted(-1, -1, 1, 1);
    for (const QRectF &r : t->dieCuts())
        if (!tolerance.contains(r)) {
            t->refusal = kOffPaper;
            return;
        }
}

} // namespace

bool readLength(const QString &text, double *mm)
{
    const QString s = text.trimmed();
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1).isLetter())
        --end;
    const double factor = unitFactor(s.mid(end).toLower());
    bool ok = false;
    const double value = QLocale::c().toDouble(s.left(end).trimmed(), &ok);
    if (!ok || factor < 0 || !std::isfinite(value) || value < 0 || value > 1.0e5)
        return false;
    *mm = value * factor;
    return true;
}

int Template::labelsPerSheet() const
{
    int n = 0;
    for (const Layout &l : layouts)
        n += l.nx * l.ny;
    return n;
}

QList<QRectF> Template::dieCuts() const
{
    QList<QRectF> cuts;
    for (const Layout &l : layouts)
        for (int row = 0; row < l.ny; ++row)
            for (int col = 0; col < l.nx; ++col)
                cuts << QRectF(l.x0 + col * l.dx, l.y0 + row * l.dy, width, height);
    // Several layouts interleave: the order is the reading order of the sheet.
    std::stable_sort(cuts.begin(), cuts.end(), [](const QRectF &a, const QRectF &b) {
        if (std::abs(a.top() - b.top()) > 0.05)
            return a.top() < b.top();
        return a.left() < b.left() - 0.05;
    });
    return cuts;
}

QString Template::summary() const
{
    const QLocale fr(QLocale::French, QLocale::France);
    return QStringLiteral("%1 — %2 × %3 mm, %4 par planche")
        .arg(name(), fr.toString(width, 'f', 1), fr.toString(height, 'f', 1))
        .arg(labelsPerSheet());
}

const Template *Catalogue::find(const QString &name) const
{
    const QString k = key(name);
    for (const Template &t : templates)
        if (key(t.name()) == k)
            return &t;
    return nullptr;
}

Catalogue read(const QStringList &files, const QString &paperFile)
{
    Catalogue catalogue;
    const QHash<QString, Paper> papers = readPapers(paperFile);
    QList<Raw> raws;
    for (const QString &f : files) {
        QString error;
        if (!readFile(f, &raws, &error))
            catalogue.problems << error;
    }
    // `equiv` names a part of the same brand, whose label it shares; that
    // part may itself name another (a loop or a missing part is reported).
    QHash<QString, qsizetype> byName;
    for (qsizetype i = 0; i < raws.size(); ++i)
        if (!byName.contains(key(raws.at(i).t.name())))
            byName.insert(key(raws.at(i).t.name()), i);
    for (Raw &raw : raws) {
        Template t = raw.t;
        if (!raw.equiv.isEmpty()) {
            qsizetype found = -1;
            QString target = raw.t.brand + u' ' + raw.equiv;
            for (int hop = 0; hop < 16; ++hop) {
                const auto it = byName.constFind(key(target));
                if (it == byName.constEnd())
                    break;
                if (raws.at(*it).equiv.isEmpty()) {
                    found = *it;
                    break;
                }
                target = raws.at(*it).t.brand + u' ' + raws.at(*it).equiv;
            }
            if (found < 0) {
                catalogue.problems << kUnknownEquiv.arg(raw.t.name(), target);
                continue;
            }
            const Raw &base = raws.at(found);
            const QString description = t.description;
            const QString file = t.file;
            t = base.t;
            t.brand = raw.t.brand;
            t.part = raw.t.part;
            t.file = file;
            if (!description.isEmpty())
                t.description = description;
            raw.problem = base.problem;
            raw.otherWidth = base.otherWidth;
            raw.otherHeight = base.otherHeight;
        }
        if (t.paper == u"Other") {
            t.paperWidth = raw.otherWidth;
            t.paperHeight = raw.otherHeight;
        } else if (papers.contains(t.paper)) {
            t.paperWidth = papers.value(t.paper).width;
            t.paperHeight = papers.value(t.paper).height;
        }
        t.refusal = raw.problem;
        judge(&t);
        catalogue.templates << t;
    }
    std::stable_sort(catalogue.templates.begin(), catalogue.templates.end(), [](const Template &a, const Template &b) {
        const int byBrand = QString::compare(a.brand, b.brand, Qt::CaseInsensitive);
        if (byBrand != 0)
            return byBrand < 0;
        return QString::compare(a.part, b.part, Qt::CaseInsensitive) < 0;
    });
    return catalogue;
}

QStringList installedFiles(const QString &systemFolder)
{
    QStringList files;
    const QDir system(systemFolder);
    for (const QString &f : system.entryList({QStringLiteral("*-templates.xml")}, QDir::Files, QDir::Name))
        files << system.absoluteFilePath(f);
    // The user's own templates, as gLabels keeps them.
    const QDir user(QDir::homePath() + QStringLiteral("/.config/libglabels/templates"));
    if (user.exists())
        for (const QString &f : user.entryList({QStringLiteral("*.template"), QStringLiteral("*-templates.xml")},
                                               QDir::Files, QDir::Name))
            files << user.absoluteFilePath(f);
    return files;
}

Catalogue readInstalled(const QString &systemFolder)
{
    if (!QFileInfo(systemFolder).isDir()) {
        Catalogue c = read(installedFiles(systemFolder), QString());
        c.problems.prepend(kNotInstalled.arg(systemFolder));
        return c;
    }
    return read(installedFiles(systemFolder), systemFolder + QStringLiteral("/paper-sizes.xml"));
}

const Catalogue &installed()
{
    static const Catalogue catalogue = readInstalled(kSystemFolder);
    return catalogue;
}

QRectF fitted(const QRectF &box, double aspect)
{
    if (box.width() <= 0 || box.height() <= 0 || aspect <= 0)
        return QRectF(box.center(), QSizeF(0, 0));
    double w = box.width();
    double h = w / aspect;
    if (h > box.height()) {
        h = box.height();
        w = h * aspect;
    }
    return QRectF(box.center().x() - w / 2, box.center().y() - h / 2, w, h);
}

QList<Cell> place(const Template &stock, int start, int count, double offsetX, double offsetY, double aspect,
                  QString *error)
{
    QString local;
    QString &why = error ? *error : local;
    why.clear();
    if (!stock.supported()) {
        why = stock.name() + QStringLiteral(" : ") + stock.refusal;
        return {};
    }
    const QList<QRectF> cuts = stock.dieCuts();
    const int n = int(cuts.size());
    if (start < 1 || start > n) {
        why = kBadStart.arg(start).arg(stock.name()).arg(n);
        return {};
    }
    QList<Cell> cells;
    const QPointF shift(offsetX, offsetY);
    const double m = stock.markupMargin;
    for (int i = 0; i < count; ++i) {
        const int slot = start - 1 + i;
        Cell c;
        c.sheet = slot / n;
        c.position = slot % n;
        c.dieCut = cuts.at(c.position).translated(shift);
        c.label = fitted(c.dieCut.adjusted(m, m, -m, -m), aspect);
        cells << c;
    }
    return cells;
}

} // namespace LabelStock
