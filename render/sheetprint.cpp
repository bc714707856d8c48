#include "render/sheetprint.h"

#include "render/bitmaps.h"
#include "render/labelrenderer.h"
#include "render/rendervariant.h"
#include "render/storedlabel.h"

#include <QDir>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace SheetPrint {

LabelContent scaled(const LabelContent &content, const SheetSettings &settings)
{
    LabelContent c = content;
    c.statementScale = settings.statementScale;
    return c;
}

void forEachStoredLabel(const Job &job, const QStringList &paths, Result *result,
                        const std::function<void(const QString &path, const LabelContent &content)> &take)
{
    const SheetSettings &s = job.settings;
    QStringList taken;
    for (const QString &path : paths) {
        if (path.isEmpty() || taken.contains(path))
            continue;
        taken << path;
        LabelContent content;
        QStringList problems;
        if (!QFileInfo(path).isFile()
            || !StoredLabel::load(path, s.numberingOnly, job.current, job.pictogramFolder, &content, &problems)) {
            addOnce(&result->missing, path);
            continue;
        }
        for (const QString &p : problems)
            addOnce(&result->problems, p);
        content.statementScale = s.statementScale;
        take(path, content);
    }
}

namespace {

void noteEntry(Result *result, const QString &entry, const QString &problem)
{
    const EntryProblem e{entry, problem};
    if (!entry.isEmpty() && !problem.isEmpty() && !result->entryProblems.contains(e))
        result->entryProblems.append(e);
}

// The separator pen: dotted, thin but visible once printed (a one-pixel line
// is a hairline at printer resolution).
QPen separatorPen(int dpi)
{
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, dpi / 150));
    pen.setStyle(Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

void addOnce(QStringList *list, const QString &text)
{
    if (!text.isEmpty() && !list->contains(text))
        list->append(text);
}

void noteLayout(Result *result, const QString &label, const LayoutResult &layout, const QString &entry)
{
    for (const QString &p : layout.problems) {
        addOnce(&result->problems, p);
        noteEntry(result, entry, p);
    }
    if (layout.cutStatement.isEmpty())
        return;
    for (const CutLabel &c : std::as_const(result->cut))
        if (c.label == label)
            return;
    result->cut.append({label, layout.cutStatement, entry});
}

SheetGeometry geometry(const SheetSettings &settings, const Surface &surface)
{
    SheetGeometry::Page page;
    page.labelsPerPage = settings.labelsPerPage;
    page.width = surface.width;
    page.height = surface.height;
    page.dpiX = surface.dpiX;
    page.dpiY = surface.dpiY;
    page.pageLandscape = surface.landscape;
    page.marginLeft = settings.marginLeft;
    page.marginTop = settings.marginTop;
    page.scale = settings.scale;
    page.adapt = settings.adapt;
    return SheetGeometry::forPage(page);
}

namespace {

Surface surfaceOf(QPagedPaintDevice *device)
{
    Surface surface;
    surface.width = device->width();
    surface.height = device->height();
    surface.dpiX = device->logicalDpiX();
    surface.dpiY = device->logicalDpiY();
    surface.landscape = device->pageLayout().orientation() == QPageLayout::Landscape;
    return surface;
}

// Draws the pages of one job: the grid and factors are fixed once, the
// active label's picture (picture mode) is drawn once for every cell and page.
class PageDrawer
{
public:
    PageDrawer(const Job &job, const Surface &surface, Result *result)
        : m_job(job)
        , m_surface(surface)
        , m_result(result)
        , m_g(geometry(job.settings, surface))
    {
        m_result->geometry = m_g;
        if (surface.width <= 0 || surface.height <= 0 || surface.dpiY <= 0)
            m_result->error = kNoPrintableArea;
        else if (!m_g.labelsHaveRoom())
            m_result->error = kNoRoom;
        // Printed text keeps the fraction of the label it has in the
        // on-screen preview: the grid's short side stands for the page's.
        m_k = RenderVariant::pageFontFactor(m_g.gridWidth, m_g.gridHeight, surface.landscape, m_g.pageFactor,
                                            surface.dpiY);
        m_n = job.settings.labelCount(m_g.cellCount());
    }

    bool ready() const { return m_result->error.isEmpty(); }

    void drawPage(QPainter &painter)
    {
        const SheetSettings &s = m_job.settings;
        const int w = m_g.labelWidth();
        const int h = m_g.labelHeight();
        if (s.activeLabel && s.pictureMode && m_activePicture.isNull()) {
            LayoutResult r;
            m_activePicture = LabelRenderer::print_etBM(scaled(m_job.active, s), &r);
            noteLayout(m_result, m_job.activeName, r);
        }
        for (int cell = 0; cell < m_n; ++cell) {
            const QPoint corner = m_g.cellCorner(cell);
            const auto pageVariant = [&] {
                return RenderVariant::page(corner.x(), corner.y(), w, m_g.unitFactor, m_k, m_surface.height,
                                           m_surface.dpiY);
            };
            if (s.activeLabel) {
                if (s.pictureMode) {
                    Bitmaps::PrintBMP(painter, corner.x(), corner.y(), w, h, m_activePicture);
                } else {
                    const LabelContent active = scaled(m_job.active, s);
                    noteLayout(m_result, m_job.activeName, LabelRenderer::print_etPR(painter, active, pageVariant()));
                    checkOverflow(m_job.activeName, active);
                }
                continue;
            }
            const QString path = s.selection.at(cell);
            // An empty entry is a cell left blank on purpose; a file that is
            // gone leaves its cell white and is reported: never the previous
            // label in its place.
            if (path.isEmpty())
                continue;
            const QString why = StoredLabel::unreadable(path);
            if (!why.isEmpty()) {
                addOnce(&m_result->missing, path);
                noteEntry(m_result, path, why);
                continue;
            }
            const QString name = QFileInfo(path).fileName();
            if (s.pictureMode) {
                // One label picture at a time, released after its cell.
                LayoutResult r;
                const QImage picture =
                    StoredLabel::imp_etBM_pl(path, s.numberingOnly, m_job.current, m_job.pictogramFolder, &r,
                                             s.statementScale);
                noteLayout(m_result, name, r, path);
                Bitmaps::PrintBMP(painter, corner.x(), corner.y(), w, h, picture);
            } else {
                // The file is read anew for every cell and copy.
                LabelContent content;
                QStringList problems;
                if (!StoredLabel::load(path, s.numberingOnly, m_job.current, m_job.pictogramFolder, &content,
                                       &problems)) {
                    addOnce(&m_result->missing, path); // gone since it was looked for
                    noteEntry(m_result, path, StoredLabel::kNotFound);
                    continue;
                }
                for (const QString &p : problems) {
                    addOnce(&m_result->problems, p);
                    noteEntry(m_result, path, p);
                }
                content.statementScale = s.statementScale;
                noteLayout(m_result, name, LabelRenderer::draw(painter, content, pageVariant()), path);
                checkOverflow(name, content, path);
            }
        }
        if (s.separatorLines)
            drawSeparators(painter);
    }

private:
    // Drawn directly, the statements run on below the label down to the
    // page's bottom edge, over the cell below. Each label is measured once
    // more with its own bottom edge, so that such a label is reported.
    void checkOverflow(const QString &name, const LabelContent &content, const QString &entry = QString())
    {
        if (m_measured.contains(name))
            return;
        m_measured << name;
        QImage scratch(1, 1, QImage::Format_RGB32);
        scratch.setDotsPerMeterX(qRound(m_surface.dpiX / 0.0254));
        scratch.setDotsPerMeterY(qRound(m_surface.dpiY / 0.0254));
        QPainter p(&scratch);
        const RenderVariant v = RenderVariant::page(0, 0, m_g.labelWidth(), m_g.unitFactor, m_k,
                                                    m_g.labelHeight(), m_surface.dpiY);
        const LayoutResult r = LabelRenderer::draw(p, content, v);
        if (!r.cutStatement.isEmpty())
            m_result->overflow.append({name, r.cutStatement, entry});
    }

    void drawSeparators(QPainter &painter) const
    {
        painter.save();
        const QPen pen = separatorPen(m_surface.dpiY);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // Along the left and top edge of every printed cell, one pixel
        // outside its corner without margins.
        for (int cell = 0; cell < m_n; ++cell) {
            const QPoint corner = m_g.cellCorner(cell);
            const int x = corner.x() - m_g.marginX - 1;
            const int y = corner.y() - m_g.marginY - 1;
            painter.drawLine(x, y, x, y + m_g.cellHeight);
            painter.drawLine(x, y, x + m_g.cellWidth, y);
        }
        // The frame of the whole grid, kept inside it.
        const double inset = pen.widthF() / 2;
        painter.drawRect(QRectF(inset, inset, m_g.gridWidth - pen.widthF(), m_g.gridHeight - pen.widthF()));
        painter.restore();
    }

    const Job &m_job;
    Surface m_surface;
    Result *m_result;
    SheetGeometry m_g;
    double m_k = 0;
    int m_n = 0;
    QImage m_activePicture;
    QStringList m_measured;
};

} // namespace

QImage pageImage(const Job &job, const Surface &surface, Result *result)
{
    Result local;
    Result *r = result ? result : &local;
    PageDrawer drawer(job, surface, r);
    if (!drawer.ready())
        return {};
    QImage page(surface.width, surface.height, QImage::Format_RGB32);
    if (page.isNull())
        return {};
    page.setDotsPerMeterX(qRound(surface.dpiX / 0.0254));
    page.setDotsPerMeterY(qRound(surface.dpiY / 0.0254));
    page.fill(Qt::white);
    QPainter painter(&page);
    drawer.drawPage(painter);
    painter.end();
    r->pages = 1;
    r->printed = true;
    return page;
}

SheetGeometry layout(QPagedPaintDevice *device, const SheetSettings &settings)
{
    const bool landscape = SheetGeometry::isLandscape(settings.labelsPerPage);
    device->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return geometry(settings, surfaceOf(device));
}

Surface surface(QPagedPaintDevice *device, const SheetSettings &settings)
{
    layout(device, settings); // sets the orientation
    return surfaceOf(device);
}

Result check(const Job &job, const Surface &surface)
{
    if (job.settings.onStock())
        return checkOnStock(job, surface);
    Result result;
    const SheetSettings &s = job.settings;
    const SheetGeometry g = geometry(s, surface);
    result.geometry = g;
    if (surface.width <= 0 || surface.height <= 0 || surface.dpiY <= 0) {
        result.error = kNoPrintableArea;
        return result;
    }
    if (!g.labelsHaveRoom()) {
        result.error = kNoRoom;
        return result;
    }
    // The same numbers as the page drawing; each label measured within its
    // own height.
    const double k = RenderVariant::pageFontFactor(g.gridWidth, g.gridHeight, surface.landscape, g.pageFactor,
                                                   surface.dpiY);
    const RenderVariant own =
        RenderVariant::page(0, 0, g.labelWidth(), g.unitFactor, k, g.labelHeight(), surface.dpiY);
    const auto measure = [&](const QString &name, const LabelContent &content) {
        const LayoutResult r = s.pictureMode ? LabelRenderer::measure(content, RenderVariant::labelPicture())
                                             : LabelRenderer::measure(content, own, surface.dpiY);
        if (!r.cutStatement.isEmpty())
            (s.pictureMode ? result.cut : result.overflow).append({name, r.cutStatement, QString()});
    };
    const int n = s.labelCount(g.cellCount());
    if (n == 0)
        return result;
    if (s.activeLabel) {
        measure(job.activeName, scaled(job.active, s));
        return result;
    }
    forEachStoredLabel(job, s.selection.mid(0, n), &result, [&](const QString &path, const LabelContent &content) {
        measure(QFileInfo(path).fileName(), content);
    });
    return result;
}

QString layoutWarning(const Result &check)
{
    // A check fills one list: the labels cut at their bottom edge, or those
    // whose statements run on below (on a grid, without the picture mode).
    const bool cut = !check.cut.isEmpty();
    const QList<CutLabel> &labels = cut ? check.cut : check.overflow;
    if (labels.isEmpty())
        return {};
    QString text = kLayoutIntro;
    for (const CutLabel &c : labels) {
        QString statement = c.statement;
        if (statement.size() > 60)
            statement = statement.left(57) + QStringLiteral("...");
        text += QStringLiteral("\n- ") + c.label + QStringLiteral(" : à partir de « ") + statement
            + QStringLiteral(" »");
    }
    text += QStringLiteral("\n\n") + (cut ? kLayoutCut : kLayoutOverflow);
    text += QStringLiteral("\n\n") + kLayoutAdvice;
    return text;
}

Result print(QPagedPaintDevice *device, const Job &job)
{
    if (job.settings.onStock())
        return printOnStock(device, job);
    Result result;
    layout(device, job.settings); // sets the orientation
    PageDrawer drawer(job, surfaceOf(device), &result);
    if (!drawer.ready())
        return result;
    const auto failed = [&job] { return job.deviceFailed && job.deviceFailed(); };

    QPainter painter;
    if (!painter.begin(device) || failed()) {
        if (painter.isActive())
            painter.end();
        result.error = kFailure.arg(kAtBegin);
        return result;
    }
    const int copies = std::max(1, job.copies);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0 && (!device->newPage() || failed())) {
            painter.end();
            result.error = kFailure.arg(kAtNewPage);
            return result;
        }
        drawer.drawPage(painter);
        result.pages = copy + 1;
    }
    if (!painter.end() || failed()) {
        result.error = kFailure.arg(kAtEnd);
        return result;
    }
    result.printed = true;
    return result;
}

QString cutMessage(const QList<CutLabel> &cut)
{
    if (cut.isEmpty())
        return {};
    QString text = LabelRenderer::cutWarning(cut.first().statement);
    if (cut.size() > 1 || !cut.first().label.isEmpty()) {
        text += QStringLiteral("\n\n") + kSeveralCut;
        for (const CutLabel &c : cut) {
            QString statement = c.statement;
            if (statement.size() > 60)
                statement = statement.left(57) + QStringLiteral("...");
            text += QStringLiteral("\n- ") + c.label + QStringLiteral(" : « ") + statement + QStringLiteral(" »");
        }
    }
    return text;
}

QString overflowMessage(const QList<CutLabel> &overflow)
{
    if (overflow.isEmpty())
        return {};
    QString first = overflow.first().statement;
    if (first.size() > 90)
        first = first.left(87) + QStringLiteral("...");
    QString text = kOverflow.arg(first);
    text += QStringLiteral("\n\n") + kSeveralCut;
    for (const CutLabel &c : overflow)
        text += QStringLiteral("\n- ") + c.label;
    return text;
}

QStringList messages(const Result &result)
{
    QStringList out;
    QStringList lines;
    for (const QString &path : result.missing) {
        QString why = StoredLabel::kNotFound;
        for (const EntryProblem &e : result.entryProblems)
            if (e.entry == path) {
                why = e.problem;
                break;
            }
        lines << (why == StoredLabel::kNotFound ? StoredLabel::kMissingFile.arg(QDir::toNativeSeparators(path))
                                                : kUnreadableEntry.arg(QDir::toNativeSeparators(path), why));
    }
    lines << result.problems;
    if (!lines.isEmpty())
        out << lines.join(u'\n');
    if (!result.cut.isEmpty())
        out << cutMessage(result.cut);
    // A label cut at the page's bottom is already named above.
    QList<CutLabel> overflow;
    for (const CutLabel &o : result.overflow) {
        bool named = false;
        for (const CutLabel &c : result.cut)
            named = named || c.label == o.label;
        if (!named)
            overflow << o;
    }
    if (!overflow.isEmpty())
        out << overflowMessage(overflow);
    return out;
}

} // namespace SheetPrint
