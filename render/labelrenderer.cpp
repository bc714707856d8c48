#include "render/labelrenderer.h"

#include "render/bitmaps.h"
#include "render/picturecache.h"
#include "render/qrcode.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <utility>
#include <vector>
#include <cmath>
#include <limits>

namespace {

const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);

int toInt(double value)
{
    return static_cast<int>(std::trunc(value));
}

// Left, top, right, bottom with right and bottom exclusive.
QRect box(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

QFont labelFont(const QString &face, const RenderVariant &v, int points, bool bold)
{
    QFont font(face);
    font.setPixelSize(v.pixelSize(points));
    font.setBold(bold);
    return font;
}

// Text in a box as the label draws it: a line feed starts a new line, long
// lines wrap at blanks when asked, every line is `lineHeight` high (the font's
// height, no extra leading, so a block of n lines fills exactly n heights),
// and nothing shows outside the box.
struct TextBox {
    int lines = 0;               // lines laid out (wrapped lines included)
    qsizetype firstHidden = -1;  // text position of the first word not wholly inside the box
};

// A paragraph longer than this is laid out a window at a time: the layout
// engine shapes a paragraph whole and breaks a long word in time quadratic
// in its length, so that a hand-made file with a paragraph of a megabyte
// would hold the program for minutes. No line of any label holds this many
// characters.
constexpr qsizetype kLayoutWindow = 4096;

// Lays out (and with `paint` draws) a long paragraph from `top`, window by
// window: a line reaching the end of its window may break otherwise with the
// text that follows, so it is laid out again at the start of the next window
// (unless it is the window's only line: it is then kept, cut at the window's
// end, and the text goes on on the next line). Stops at the box's bottom like
// layoutTextBox(). Returns the height laid out.
int layoutLongParagraph(QPainter &p, const QRect &r, const QTextOption &option, const QString &paragraph,
                        qsizetype paragraphStart, int top, int lineHeight, int boxBottom, bool paint,
                        TextBox *result)
{
    int lineTop = 0;
    qsizetype pos = 0;
    while (pos < paragraph.size()) {
        const qsizetype windowEnd = std::min(paragraph.size(), pos + kLayoutWindow);
        const bool last = windowEnd == paragraph.size();
        QTextLayout layout(paragraph.mid(pos, windowEnd - pos), p.font(), p.device());
        layout.setTextOption(option);
        layout.beginLayout();
        QList<QTextLine> kept;
        qsizetype laidEnd = 0;
        bool full = false;
        while (laidEnd < windowEnd - pos) {
            if (top + lineTop + lineHeight > boxBottom) {
                if (!QStringView(paragraph).mid(pos + laidEnd).trimmed().isEmpty())
                    result->firstHidden = paragraphStart + pos + laidEnd;
                full = true;
                break;
            }
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(r.width());
            const qsizetype end = line.textStart() + line.textLength();
            if (!last && end >= windowEnd - pos && !kept.isEmpty())
                break; // laid out again from the next window
            line.setPosition(QPointF(0, lineTop));
            kept.append(line);
            laidEnd = end;
            lineTop += lineHeight;
            ++result->lines;
        }
        layout.endLayout();
        if (paint)
            for (const QTextLine &line : std::as_const(kept))
                line.draw(&p, QPointF(r.left(), top));
        if (full || laidEnd == 0)
            break;
        pos += laidEnd;
    }
    return lineTop;
}

// Lays the text out in `r` and, with `paint`, draws it. Layout stops at the
// first line that does not fit wholly; the position of its first character
// (or of the next paragraph holding a word) is `firstHidden`. Empty lines
// below the box hide nothing.
// Lines whose height meets [top, bottom) are laid out `width` wide instead
// of the box's width (the text flows around a corner kept free).
struct Narrowing {
    int top = std::numeric_limits<int>::max();
    int bottom = std::numeric_limits<int>::max();
    int width = 0;
};

TextBox layoutTextBox(QPainter &p, const QRect &r, int flags, const QString &text, int lineHeight, bool paint,
                      bool lastLineClipped = false, const Narrowing &narrowing = {},
                      int limit = std::numeric_limits<int>::max())
{
    TextBox result;
    if (r.width() <= 0 || text.isEmpty() || lineHeight <= 0)
        return result;
    int boxBottom = r.top() + std::max(0, r.height()); // exclusive
    // A box a little shorter than its lines (the blocks of a stored label are
    // one pixel short) still shows its last line, clipped at the box, as the
    // platform's text-box call draws it: no word of the block is dropped.
    if (lastLineClipped && r.height() > 0)
        boxBottom = r.top() + (r.height() + lineHeight - 1) / lineHeight * lineHeight;
    // Nothing is laid out below `limit`: a block of a hand-made file may be
    // thousands of lines high.
    boxBottom = std::min(boxBottom, limit);
    if (paint) {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
    }
    QTextOption option(Qt::Alignment(flags & Qt::AlignHorizontal_Mask));
    // A word longer than the box is broken rather than cut at the box's edge.
    option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                  : QTextOption::ManualWrap);
    const QFont font = p.font();
    int top = r.top();
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QString paragraph = text.mid(start, end - start);
        const qsizetype paragraphStart = start;
        start = end + 1;
        if (paragraph.trimmed().isEmpty()) {
            // An empty last line after a final line break is no line.
            if (paragraph.isEmpty() && end == text.size() && end > 0)
                break;
            top += lineHeight;
            ++result.lines;
            continue;
        }
        if (top + lineHeight > boxBottom) {
            result.firstHidden = paragraphStart;
            break;
        }
        if (paragraph.size() > kLayoutWindow) {
            const int laid = layoutLongParagraph(p, r, option, paragraph, paragraphStart, top, lineHeight, boxBottom,
                                                 paint, &result);
            top += laid;
            if (result.firstHidden >= 0)
                break;
            continue;
        }
        QTextLayout layout(paragraph, font, p.device());
        layout.setTextOption(option);
        layout.beginLayout();
        int lineTop = 0;
        qsizetype laidEnd = 0;
        while (laidEnd < paragraph.size()) {
            if (top + lineTop + lineHeight > boxBottom) {
                if (!QStringView(paragraph).mid(laidEnd).trimmed().isEmpty())
                    result.firstHidden = paragraphStart + laidEnd;
                break;
            }
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            const int lineY = top + lineTop;
            const bool narrow = lineY + lineHeight > narrowing.top && lineY < narrowing.bottom;
            line.setLineWidth(narrow ? std::max(1, narrowing.width) : r.width());
            line.setPosition(QPointF(0, lineTop));
            laidEnd = line.textStart() + line.textLength();
            lineTop += lineHeight;
            ++result.lines;
        }
        layout.endLayout();
        if (paint)
            layout.draw(&p, QPointF(r.left(), top));
        top += lineTop;
        if (result.firstHidden >= 0)
            break;
    }
    if (paint)
        p.restore();
    return result;
}

// `bottom` is the label's lowest edge: lines below it are never drawn.
void drawTextBox(QPainter &p, const QRect &r, int flags, const QString &text, int lineHeight,
                 int bottom = std::numeric_limits<int>::max() / 2)
{
    if (r.height() > 0)
        layoutTextBox(p, r, flags, text, lineHeight, true, true, {}, bottom + lineHeight);
}

// Lines a block takes in a box `width` wide once its long lines are wrapped:
// what the block's height must hold so that no word is lost.
// Counting stops past `limit` pixels (the surface's bottom): lines below it
// are never seen, and a hand-made file may hold thousands.
int wrappedLines(QPainter &p, int width, int flags, const QString &text, int lineHeight, int limit)
{
    return layoutTextBox(p, QRect(0, 0, width, std::max(0, limit) + lineHeight), flags, text, lineHeight, false)
        .lines;
}

// A one-pixel black line from (left, y) to right, right excluded.
void drawRule(QPainter &p, int left, int right, int y)
{
    if (right > left)
        p.fillRect(QRect(left, y, right - left, 1), Qt::black);
}

bool isPureWhite(const QColor &c)
{
    return c.red() == 255 && c.green() == 255 && c.blue() == 255;
}

QString unreadable(const QString &path, const QString &why)
{
    return QStringLiteral("L'image « %1 » n'a pas pu être affichée. %2").arg(QDir::toNativeSeparators(path), why);
}

// The picture of an existing file at the size the rule gives; a decoding
// failure is noted, not raised.
bool loadPicture(const QString &path, const PictureCache::SizeRule &sizeFor, QImage *picture, QSize *original,
                 QStringList *problems)
{
    QString error;
    if (PictureCache::picture(path, sizeFor, picture, original, &error))
        return true;
    problems->append(unreadable(path, error));
    return false;
}

// The statement holding text position `pos` of the statement block: its whole
// line, or with numbering only the code at that place of its line of codes.
QString statementAt(const QString &block, qsizetype pos, bool numberingOnly)
{
    const qsizetype lineStart = block.lastIndexOf(u'\n', pos - 1) + 1;
    qsizetype lineEnd = block.indexOf(u'\n', pos);
    if (lineEnd < 0)
        lineEnd = block.size();
    if (!numberingOnly)
        return block.mid(lineStart, lineEnd - lineStart).trimmed();
    const qsizetype codeStart = block.lastIndexOf(QLatin1String(", "), pos);
    const qsizetype from = codeStart >= lineStart ? codeStart + 2 : lineStart;
    qsizetype to = block.indexOf(QLatin1String(", "), from);
    if (to < 0 || to > lineEnd)
        to = lineEnd;
    return block.mid(from, to - from).trimmed();
}

// The separate bitmap of a page's pictograms. The same pictures at the same
// places give the very same image (kept for the next labels), so that a
// document drawn with many labels stores each block once.
QImage pictogramBlock(const std::vector<std::pair<QPoint, QImage>> &placed)
{
    QString key;
    for (const auto &[at, picture] : placed)
        key += QStringLiteral("%1,%2,%3;").arg(at.x()).arg(at.y()).arg(picture.cacheKey());
    // A few blocks (1.7 MB each) cover a sheet of labels.
    constexpr int kKept = 8;
    static std::vector<std::pair<QString, QImage>> kept;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->first == key) {
            std::rotate(kept.begin(), it, it + 1);
            return kept.front().second;
        }
    }
    QImage block(470, 900, QImage::Format_RGB32);
    block.fill(Qt::white);
    {
        QPainter painter(&block);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        for (const auto &[at, picture] : placed)
            painter.drawImage(at, picture);
    }
    if (!PictureCache::isEnabled())
        return block;
    if (int(kept.size()) >= kKept)
        kept.pop_back();
    kept.insert(kept.begin(), {key, block});
    return block;
}

} // namespace

// The statements' drawn size, with the job's statement scale (1: the
// label's own size, the same number as without it).
static int statementPoints(const LabelContent &c, const RenderVariant &v)
{
    return c.numberingOnly ? v.pointSize(20 * c.statementScale, true) : v.pointSize(c.statementSize * c.statementScale);
}

namespace LabelRenderer {

QString cutWarning(const QString &statement)
{
    QString shown = statement;
    if (shown.size() > 90)
        shown = shown.left(87) + QStringLiteral("...");
    return kCutWarning.arg(shown);
}

int commentFlags(int code)
{
    int flags = 0;
    switch (code & 3) {
    case 0: flags = Qt::AlignLeft; break;
    case 1: flags = Qt::AlignHCenter; break;
    default: flags = Qt::AlignRight; break;
    }
    if (code & 16)
        flags |= Qt::TextWordWrap;
    return flags;
}

LayoutResult draw(QPainter &p, const LabelContent &c, const RenderVariant &v)
{
    LayoutResult r;
    const bool onBitmap = v.surface != RenderVariant::Page;
    const double a = v.unit;
    const int right = v.x + v.width;
    // The first line of a block above the statements that runs past the
    // bottom edge (a long supplier block, product name or comment): it is cut
    // there like a statement, and named in its place.
    QString cutAbove;
    const auto noteCut = [&](const QRect &block, int flags, const QString &text, int lineHeight) {
        if (!cutAbove.isEmpty() || block.bottom() < v.bottom)
            return;
        const QRect kept(block.left(), block.top(), block.width(), std::max(0, v.bottom - block.top()));
        const TextBox shown = layoutTextBox(p, kept, flags, text, lineHeight, false);
        if (shown.firstHidden >= 0)
            cutAbove = statementAt(text, shown.firstHidden, false);
    };

    p.save();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setBackgroundMode(Qt::TransparentMode);

    // 1. A white surface; without a label nothing else.
    if (onBitmap)
        p.fillRect(QRect(QPoint(0, 0), v.surfaceSize()), Qt::white);
    if (!c.present) {
        p.restore();
        return r;
    }

    // 2. Pictograms, combined by AND so the white corners of one square never
    // hide the diamond of an overlapping neighbour. On a page they go to a
    // separate bitmap first, copied before any text.
    const int n = int(c.pictograms.size());
    r.pictogramCount = n;
    {
        std::vector<std::pair<QPoint, QImage>> placed;
        for (int i = 0; i < std::min(n, 5); ++i) {
            const QPoint corner = (n == 3 && i == 2) ? v.thirdOfThree : v.slots[size_t(i)];
            const QRect slot(corner, QSize(v.square, v.square));
            r.pictogramSlots << slot;
            const QString path = QDir(c.pictogramFolder).filePath(c.pictograms.at(i) + QStringLiteral(".jpg"));
            if (!QFileInfo(path).isFile())
                continue; // the slot stays white but still counts
            QImage picture;
            const QSize size = slot.size();
            if (loadPicture(path, [size](QSize) { return size; }, &picture, nullptr, &r.problems))
                placed.emplace_back(slot.topLeft(), picture);
        }
        if (onBitmap) {
            p.save();
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            for (const auto &[at, picture] : placed)
                p.drawImage(at, picture);
            p.restore();
        } else {
            const double s = v.width / 1272.0;
            r.pictogramArea = QRect(v.x, v.y, toInt(470 * s), toInt(900 * s));
            Bitmaps::PrintBMP(p, v.x, v.y, r.pictogramArea.width(), r.pictogramArea.height(), pictogramBlock(placed));
        }
    }

    // 3. The small regular font, used by the notice and the supplier block.
    QFont font = labelFont(c.fontFace, v, v.pointSize(8), false);
    p.setFont(font);
    int h = QFontMetrics(font, p.device()).height();
    r.noticePoints = r.supplierPoints = v.pointSize(8);
    if (n == 0) {
        const int left = toInt(v.x + v.noticeInset);
        const int top = toInt(v.y + v.noticeInset);
        const double width = v.noticeWidth > 0
            ? double(v.noticeWidth)
            : std::ceil(QFontMetricsF(font, p.device()).horizontalAdvance(kNoPictogram));
        r.notice = box(left, top, toInt(v.x + width + v.noticeInset), toInt(v.y + h + v.noticeInset));
        p.setPen(kSilver);
        drawTextBox(p, r.notice, Qt::AlignLeft | Qt::TextWordWrap, kNoPictogram, h);
    }

    // 4. Supplier height, raised for the logo, which is drawn at the top right
    // keeping its proportions in whole pixels.
    int supplierHeight = h * c.supplierLines - (c.stored ? 1 : 0);
    double logoShift = 0;
    if (!c.logoPath.isEmpty() && QFileInfo(c.logoPath).isFile()) {
        const int raised = 30 * a > supplierHeight ? toInt(30 * a) : supplierHeight;
        int wl = 0;
        const auto logoSize = [&](QSize own) {
            wl = own.height() > 0 ? raised * own.width() / own.height() : 0;
            return QSize(wl, raised);
        };
        QImage logo;
        QSize own;
        QString error;
        const bool drawn = PictureCache::picture(c.logoPath, logoSize, &logo, &own, &error);
        // A logo so narrow that it rounds to no pixel is not drawn but still
        // takes its place.
        if (drawn || (own.isValid() && wl == 0)) {
            supplierHeight = raised;
            r.logo = QRect(v.logoRight - wl, v.y, wl, supplierHeight);
            if (drawn && onBitmap) {
                // Drawn onto white, the AND leaves the logo as it is.
                p.save();
                p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
                p.drawImage(r.logo.topLeft(), logo);
                p.restore();
            } else if (drawn) {
                Bitmaps::PrintBMP(p, r.logo.x(), r.logo.y(), r.logo.width(), r.logo.height(), logo);
            }
            logoShift = wl + 10 * a;
        } else {
            r.problems.append(unreadable(c.logoPath, error));
        }
    }

    // 5. The text column's left edge follows the number of codes.
    int column = n == 0 ? v.x : (n <= 3 ? v.columnOneToThree : v.columnFourOrMore);
    r.columnLeft = column;

    // 6. Supplier text, right-aligned, stopping short of the logo. A line too
    // long for the box wraps, and the block grows to hold it.
    const int supplierRight = toInt(v.x + v.width - logoShift);
    const int supplierWrapped = wrappedLines(p, supplierRight - column, Qt::AlignRight | Qt::TextWordWrap,
                                             c.supplier, h, v.bottom);
    if (supplierWrapped > c.supplierLines)
        supplierHeight = std::max(supplierHeight, h * supplierWrapped - (c.stored ? 1 : 0));
    r.supplier = box(column, v.y, supplierRight, v.y + supplierHeight);
    p.setPen(Qt::black);
    noteCut(r.supplier, Qt::AlignRight | Qt::TextWordWrap, c.supplier, h);
    drawTextBox(p, r.supplier, Qt::AlignRight | Qt::TextWordWrap, c.supplier, h, v.bottom);
    int y = toInt(v.y + 12 * a + supplierHeight);

    // 7. Product name: a band in its colour with white text, or on pure white a
    // rule along the top and black text.
    r.productPoints = v.pointSize(c.productSize);
    font = labelFont(c.fontFace, v, r.productPoints, true);
    p.setFont(font);
    const int productLineHeight = QFontMetrics(font, p.device()).height();
    // Sized from the lines as drawn: a long name wraps in the band instead of
    // losing its end (the export's larger font wraps where the preview did not).
    const int productLines = std::max(c.productLines, wrappedLines(p, right - column, Qt::AlignHCenter | Qt::TextWordWrap,
                                                                   c.product, productLineHeight, v.bottom));
    const int productHeight = productLineHeight * productLines - (c.stored && !onBitmap ? 1 : 0);
    r.product = box(column, y, right, y + productHeight);
    if (isPureWhite(c.productColor)) {
        r.productBand = false;
        drawRule(p, column, right, y);
        r.rules << y;
    } else {
        r.productBand = true;
        if (productHeight > 0)
            p.fillRect(r.product, c.productColor);
    }
    p.setPen(LabelDocument::textColorFor(c.productColor));
    noteCut(r.product, Qt::AlignHCenter | Qt::TextWordWrap, c.product, productLineHeight);
    drawTextBox(p, r.product, Qt::AlignHCenter | Qt::TextWordWrap, c.product, productLineHeight, v.bottom);
    double productGap = 0;
    if (!onBitmap)
        productGap = c.stored ? 5 * v.fontFactor : 2 * a;
    y = toInt(y + productHeight + productGap);

    // 8. Identity line. Without any number it still takes one line of the
    // font's height, so the blocks below keep their place either way.
    r.identityPoints = v.pointSize(10);
    font = labelFont(c.fontFace, v, r.identityPoints, false);
    p.setFont(font);
    p.setPen(Qt::black);
    const int identityHeight = QFontMetrics(font, p.device()).height();
    r.identity = box(column, y, right, y + identityHeight);
    drawTextBox(p, r.identity, Qt::AlignHCenter | Qt::TextWordWrap, c.identity, identityHeight);
    y += identityHeight;

    // 8b. The complements near the product identifier: the UFI and the
    // nominal quantity on one line, the components under it; sized from their
    // lines as drawn. Nothing is added for a label without them.
    if (!c.complement.isEmpty()) {
        const int h8 = QFontMetrics(font, p.device()).height();
        const int lines8 = std::max(1, wrappedLines(p, right - column, Qt::AlignHCenter | Qt::TextWordWrap,
                                                    c.complement, h8, v.bottom));
        r.complement = box(column, y, right, y + h8 * lines8);
        drawTextBox(p, r.complement, Qt::AlignHCenter | Qt::TextWordWrap, c.complement, h8);
        y += h8 * lines8;
    }
    if (!c.contains.isEmpty()) {
        QFont small = labelFont(c.fontFace, v, v.pointSize(8), false);
        p.setFont(small);
        const int hc = QFontMetrics(small, p.device()).height();
        const int linesC = std::max(1, wrappedLines(p, right - column, Qt::AlignHCenter | Qt::TextWordWrap,
                                                    c.contains, hc, v.bottom));
        r.contains = box(column, y, right, y + hc * linesC);
        drawTextBox(p, r.contains, Qt::AlignHCenter | Qt::TextWordWrap, c.contains, hc);
        y += hc * linesC;
    }

    // 9. Comment between two rules; an empty comment gives two rules on one line.
    r.commentPoints = v.pointSize(8);
    font = labelFont(c.fontFace, v, r.commentPoints, false);
    p.setFont(font);
    h = QFontMetrics(font, p.device()).height();
    const int commentLines = std::max(c.commentLines, wrappedLines(p, right - column,
                                                                    commentFlags(c.commentAlignment), c.comment, h,
                                                                    v.bottom));
    const int commentHeight = h * commentLines - (c.stored ? 1 : 0);
    r.comment = box(column, y, right, y + commentHeight);
    // The complements lie above the comment: what is cut first is named.
    if (cutAbove.isEmpty() && !r.complement.isEmpty() && r.complement.bottom() >= v.bottom)
        cutAbove = c.complement.trimmed();
    else if (cutAbove.isEmpty() && !r.contains.isEmpty() && r.contains.bottom() >= v.bottom)
        cutAbove = c.contains.trimmed();
    noteCut(r.comment, commentFlags(c.commentAlignment), c.comment, h);
    drawTextBox(p, r.comment, commentFlags(c.commentAlignment), c.comment, h, v.bottom);
    drawRule(p, column, right, y);
    r.rules << y;
    y += commentHeight;
    drawRule(p, column, right, y);
    r.rules << y;
    y = toInt(y + 10 * a);

    // 10. Signal word, bold, pure red; larger in numbering-only mode.
    r.signalPoints = c.numberingOnly ? v.pointSize(24, true) : v.pointSize(14);
    font = labelFont(c.fontFace, v, r.signalPoints, true);
    p.setFont(font);
    h = QFontMetrics(font, p.device()).height();
    r.signal = box(column, y, right, y + h);
    p.setPen(kRed);
    drawTextBox(p, r.signal, Qt::AlignHCenter | Qt::TextWordWrap, c.signalWord, h);
    noteCut(r.signal, Qt::AlignHCenter | Qt::TextWordWrap, c.signalWord, h);
    y = toInt(y + h + 10 * a);

    // 11. Beside a single pictogram, short upper blocks leave the statements
    // the full width under it.
    if (n == 1 && y < v.singleTop) {
        column = v.x;
        y = v.singleTop;
    }

    // 12a. The safety data sheet's address as a QR code in the bottom right
    // corner of the label, its caption above it; the statements flow around
    // that corner.
    Narrowing aroundQr;
    QrCode qr;
    if (!c.sdsAddress.isEmpty()) {
        QString error;
        qr = QrCode::encode(c.sdsAddress, &error);
        if (qr.isNull())
            r.problems.append(QStringLiteral("Le code QR de la fiche de données de sécurité n'a pas pu être "
                                             "dessiné : %1").arg(error));
    }
    if (!qr.isNull()) {
        const double scale = v.width / 636.0;
        const int labelBottom = v.y + toInt(v.width * 900.0 / 1272.0);
        const int side = toInt(kQrUnits * scale);
        const int across = qr.size + 2 * kQrQuietModules;
        r.qrModules = qr.size;
        r.qrModulePixels = side / across;
        const QFont captionFont = labelFont(c.fontFace, v, v.pointSize(6), false);
        p.setFont(captionFont);
        const int hq = QFontMetrics(captionFont, p.device()).height();
        const int captionLines = std::max(1, wrappedLines(p, side, Qt::AlignHCenter | Qt::TextWordWrap, kQrCaption, hq,
                                                                  v.bottom));
        r.qrCode = QRect(right - side, labelBottom - side, side, side);
        r.qrCaption = box(r.qrCode.left(), r.qrCode.top() - hq * captionLines, right, r.qrCode.top());
        aroundQr = {r.qrCaption.top(), labelBottom, r.qrCode.left() - toInt(6 * scale) - column};
        // The blocks above the statements are not moved aside: when they run
        // down into the corner, the code covers some of their text, and the
        // user is told.
        if (y > r.qrCaption.top())
            r.problems.append(QStringLiteral("Le code QR de la fiche de données de sécurité recouvre une partie du "
                                             "haut de l'étiquette, qui descend jusqu'au coin inférieur droit : "
                                             "réduisez la taille des caractères ou le texte du haut de l'étiquette."));
        if (r.qrModulePixels < 1) {
            r.problems.append(QStringLiteral("Le code QR de la fiche de données de sécurité (%1 modules) est trop "
                                             "grand pour cette taille d'étiquette : raccourcissez l'adresse.")
                                  .arg(qr.size));
        } else {
            p.setPen(Qt::black);
            drawTextBox(p, r.qrCaption, Qt::AlignHCenter | Qt::TextWordWrap, kQrCaption, hq);
            const int m = r.qrModulePixels;
            const int drawn = m * qr.size;
            // Centred in the square: the quiet zone is what is left around.
            const QPoint origin(r.qrCode.left() + (side - drawn) / 2, r.qrCode.top() + (side - drawn) / 2);
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            for (int row = 0; row < qr.size; ++row)
                for (int col = 0; col < qr.size; ++col)
                    if (qr.dark(col, row))
                        p.fillRect(QRect(origin.x() + col * m, origin.y() + row * m, m, m), Qt::black);
            p.restore();
        }
    }

    // 12. Statements, cut off at the bottom.
    r.statementPoints = statementPoints(c, v);
    font = labelFont(c.fontFace, v, r.statementPoints, false);
    p.setFont(font);
    p.setPen(Qt::black);
    r.statements = box(column, y, right, v.bottom);
    // What does not fit above the bottom edge is cut there; the first
    // statement concerned is named so that the outputs can say so.
    const TextBox statements = layoutTextBox(p, r.statements, Qt::AlignLeft | Qt::TextWordWrap, c.statements,
                                             QFontMetrics(font, p.device()).height(), r.statements.height() > 0,
                                             false, aroundQr);
    if (statements.firstHidden >= 0)
        r.cutStatement = statementAt(c.statements, statements.firstHidden, c.numberingOnly);
    // Components and blocks that run below the label's bottom edge are cut
    // too, before any statement.
    if (!cutAbove.isEmpty())
        r.cutStatement = cutAbove;
    else if (!r.contains.isEmpty() && r.contains.bottom() >= v.bottom)
        r.cutStatement = c.contains.trimmed();
    else if (!r.complement.isEmpty() && r.complement.bottom() >= v.bottom)
        r.cutStatement = c.complement.trimmed();

    p.restore();
    return r;
}

namespace {
QImage drawBitmap(const LabelContent &content, const RenderVariant &variant, LayoutResult *result)
{
    QImage image(variant.surfaceSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    LayoutResult r = draw(painter, content, variant);
    painter.end();
    if (result)
        *result = std::move(r);
    return image;
}
} // namespace

LayoutResult measure(const LabelContent &content, const RenderVariant &variant, int dpi)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    if (dpi > 0) {
        scratch.setDotsPerMeterX(qRound(dpi / 0.0254));
        scratch.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    QPainter painter(&scratch);
    return draw(painter, content, variant);
}

LayoutMetrics metrics(const LabelContent &c)
{
    LayoutMetrics m;
    m.fontFace = c.fontFace;
    if (!c.present)
        return m;
    const RenderVariant v = RenderVariant::labelPicture();
    const double across = v.width;
    m.pictograms = c.pictograms.mid(0, 5);
    m.pictogramSquare = v.square / across;
    // The label picture's own resolution: the line heights the drawing uses.
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(RenderVariant::kScreenDpi / 0.0254));
        image.setDotsPerMeterY(qRound(RenderVariant::kScreenDpi / 0.0254));
        return image;
    }();
    const auto consider = [&](const QString &text, int points, const QString &name) {
        if (text.trimmed().isEmpty())
            return;
        const QFont font = labelFont(c.fontFace, v, points, false);
        const double em = font.pixelSize() / across;
        if (m.smallestEm > 0 && em >= m.smallestEm)
            return;
        m.smallestEm = em;
        m.smallestLine = QFontMetrics(font, &device).height() / across;
        m.smallestName = name;
    };
    consider(c.statements, statementPoints(c, v), QStringLiteral("les phrases"));
    consider(c.supplier, v.pointSize(8), QStringLiteral("le bloc du fournisseur"));
    consider(c.contains, v.pointSize(8), QStringLiteral("la ligne « Contient »"));
    consider(c.identity, v.pointSize(10), QStringLiteral("les numéros d'identification"));
    consider(c.complement, v.pointSize(10), QStringLiteral("la ligne de l'UFI et de la quantité"));
    consider(c.product, v.pointSize(c.productSize), QStringLiteral("le nom du produit"));
    const QFont statementFont = labelFont(c.fontFace, v, statementPoints(c, v), false);
    m.statementEm = statementFont.pixelSize() / across;
    if (!c.product.trimmed().isEmpty() && !isPureWhite(c.productColor))
        m.notBlackOnWhite << QStringLiteral("le nom du produit sur fond de couleur");
    if (!c.signalWord.trimmed().isEmpty())
        m.notBlackOnWhite << QStringLiteral("la mention d'avertissement en rouge");
    return m;
}

QImage labelPicture(const LabelContent &content, LayoutResult *result)
{
    return drawBitmap(content, RenderVariant::labelPicture(), result);
}

QImage exportImage(const LabelContent &content, LayoutResult *result)
{
    return drawBitmap(content, RenderVariant::exportImage(), result);
}

QImage previewImage(const LabelContent &content, LayoutResult *result)
{
    QImage picture = labelPicture(content, result);
    Bitmaps::BlurBitmap(&picture);
    return Bitmaps::halve(picture);
}

} // namespace LabelRenderer
