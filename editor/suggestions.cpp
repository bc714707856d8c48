#include "editor/suggestions.h"

#include "editor/catalogue.h"
#include "shell/textfile.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace Suggestions {

namespace {

FileLines refused(FileLines::Status status, const QString &message)
{
    FileLines out;
    out.status = status;
    out.message = message;
    return out;
}

bool isUndefinedInWindows1252(unsigned char b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Moves `r` inside `screen`; a rectangle larger than the screen keeps its
// top-left corner on the screen's.
QRect inside(QRect r, const QRect &screen)
{
    int x = r.x();
    int y = r.y();
    x = std::min(x, screen.x() + screen.width() - r.width());
    y = std::min(y, screen.y() + screen.height() - r.height());
    x = std::max(x, screen.x());
    y = std::max(y, screen.y());
    r.moveTo(x, y);
    return r;
}

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect i = a.intersected(b);
    return i.isEmpty() ? 0 : qint64(i.width()) * i.height();
}

qint64 distance2(const QPoint &a, const QPoint &b)
{
    const qint64 dx = a.x() - b.x();
    const qint64 dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

} // namespace

QString fileName(int pictogram)
{
    return QStringLiteral("HP%1").arg(pictogram);
}

FileLines parse(const QByteArray &bytes, const QString &name)
{
    if (bytes.size() > kMaxBytes)
        return refused(FileLines::TooLarge, kTooLarge.arg(name).arg(bytes.size()).arg(kMaxBytes));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return refused(FileLines::NotAnsi, kNotAnsi.arg(name, QStringLiteral("UTF-8")));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return refused(FileLines::NotAnsi, kNotAnsi.arg(name, QStringLiteral("UTF-16")));

    // The text ends at a NUL byte; NUL bytes may pad the end of a file, but
    // text after them means a binary file (or a wide-character one).
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    for (qsizetype i = end; i < bytes.size(); ++i)
        if (bytes.at(i) != '\0')
            return refused(FileLines::NotText, kNotText.arg(name));
    const QByteArray text = bytes.left(end);

    bool high = false;
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F)
            return refused(FileLines::NotText, kNotText.arg(name));
        high = high || b >= 0x80;
    }
    if (high) {
        // French Windows-1252 text is almost never valid UTF-8 once it holds
        // an accented letter; valid UTF-8 with such bytes was saved as UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString probe = utf8.decode(text);
        Q_UNUSED(probe);
        if (!utf8.hasError())
            return refused(FileLines::NotAnsi, kNotAnsi.arg(name, QStringLiteral("UTF-8")));
        for (char ch : text) {
            const auto b = static_cast<unsigned char>(ch);
            if (isUndefinedInWindows1252(b))
                return refused(FileLines::NotAnsi,
                               kNotAnsi.arg(name, QStringLiteral("octet 0x%1 non défini")
                                                      .arg(QString::number(b, 16).toUpper())));
        }
    }

    FileLines out;
    out.lines = TextFile::splitLines(TextFile::decode(text));
    if (out.lines.size() > kMaxLines)
        return refused(FileLines::TooManyLines, kTooManyLines.arg(name).arg(kMaxLines));
    return out;
}

FileLines read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(FileLines::Missing, kMissing);
    const QString name = info.fileName();
    // A folder, a pipe or a device of that name is no suggestion file, and
    // opening a pipe would wait for a writer.
    if (!info.isFile())
        return refused(FileLines::Unreadable, kUnreadable.arg(name));
    if (info.size() > kMaxBytes)
        return refused(FileLines::TooLarge, kTooLarge.arg(name).arg(info.size()).arg(kMaxBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(FileLines::Unreadable, kUnreadable.arg(name));
    // The file may have grown since its size was taken: read one byte more
    // than accepted, so that a longer file is still refused.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(FileLines::Unreadable, kUnreadable.arg(name));
    return parse(bytes, name);
}

QString resolveLine(const QString &line, const StatementList &hazards, const StatementList &precautions)
{
    // Each list is walked in full and the line compared again after it was
    // replaced, so the first statement with the code wins within a list.
    QString out = line;
    for (const StatementList *list : {&hazards, &precautions})
        for (const StatementEntry &e : *list)
            if (Catalogue::statementCode(e.text) == out)
                out = e.text;
    return out;
}

Lines build(const QStringList &codes, const StatementList &hazards, const StatementList &precautions)
{
    QSet<QString> ticked;
    for (const StatementList *list : {&hazards, &precautions})
        for (const StatementEntry &e : *list)
            if (e.ticked)
                ticked.insert(e.text);

    Lines out;
    QSet<QString> seen;
    for (const QString &code : codes) {
        const QString text = resolveLine(code, hazards, precautions);
        if (seen.contains(text))
            continue;
        seen.insert(text);
        out.append({text, ticked.contains(text)});
    }
    // French dictionary order: accents and case come after the letters, and
    // "H302: ..." comes before "H302+H312: ...". Lines equal but for case keep
    // one fixed order.
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(out.begin(), out.end(), [&collator](const Line &a, const Line &b) {
        const int c = collator.compare(a.text, b.text);
        return c != 0 ? c < 0 : a.text < b.text;
    });
    return out;
}

QList<int> apply(const Lines &suggestions, StatementList *list)
{
    // With two equal suggestions the later one decides, as a walk over the
    // suggestions in order would.
    QHash<QString, bool> marks;
    for (const Line &s : suggestions)
        marks.insert(s.text, s.ticked);
    QList<int> changed;
    for (qsizetype i = 0; i < list->size(); ++i) {
        const auto it = marks.constFind(list->at(i).text);
        if (it == marks.cend() || (*list)[i].ticked == it.value())
            continue;
        (*list)[i].ticked = it.value();
        changed.append(int(i));
    }
    return changed;
}

QRect place(const QRect &wanted, const QRect &screen, const std::optional<QRect> &avoid)
{
    const QRect onScreen = inside(wanted, screen);
    if (!avoid || avoid->isEmpty() || !onScreen.intersects(*avoid))
        return onScreen;

    const QRect &a = *avoid;
    QRect candidates[4] = {onScreen, onScreen, onScreen, onScreen};
    candidates[0].moveLeft(a.x() + a.width());   // right of it
    candidates[1].moveLeft(a.x() - wanted.width()); // left of it
    candidates[2].moveTop(a.y() + a.height());   // below it
    candidates[3].moveTop(a.y() - wanted.height()); // above it

    QRect best = onScreen;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    qint64 leastOverlap = overlap(onScreen, a);
    bool clear = false;
    for (QRect c : candidates) {
        c = inside(c, screen);
        const qint64 o = overlap(c, a);
        const qint64 d = distance2(c.topLeft(), wanted.topLeft());
        if (o == 0) {
            if (!clear || d < bestDistance) {
                best = c;
                bestDistance = d;
                clear = true;
            }
        } else if (!clear && o < leastOverlap) {
            best = c;
            leastOverlap = o;
        }
    }
    return best;
}

} // namespace Suggestions
