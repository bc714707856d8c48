#include "shell/proposedname.h"

#include "shell/textfile.h"

#include <QStringList>

namespace ProposedName {

namespace {

bool forbidden(QChar c)
{
    static const QString kReserved = QStringLiteral("/\\:*?\"<>|");
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || kReserved.contains(c))
        return true;
    QByteArray encoded;
    return !TextFile::encode(QString(c), &encoded);
}

} // namespace

QString forLabel(const QString &productText)
{
    QString line;
    for (const QString &candidate : TextFile::splitLines(productText)) {
        if (!candidate.trimmed().isEmpty()) {
            line = candidate;
            break;
        }
    }
    QString name;
    name.reserve(line.size());
    bool blank = false;
    for (const QChar c : line) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank && !name.isEmpty())
            name += u' ';
        blank = false;
        // A character outside the Basic Multilingual Plane is two halves,
        // each refused by the encoder: one "_" for each keeps the count simple.
        name += forbidden(c) ? QChar(u'_') : c;
    }
    const auto trimEnds = [](QString &text) {
        qsizetype start = 0;
        while (start < text.size() && (text.at(start) == u'.' || text.at(start) == u' '))
            ++start;
        qsizetype end = text.size();
        while (end > start && (text.at(end - 1) == u'.' || text.at(end - 1) == u' '))
            --end;
        text = text.mid(start, end - start);
    };
    trimEnds(name);
    if (name.size() > kMaxLength) {
        const qsizetype cut = name.lastIndexOf(u' ', kMaxLength);
        name.truncate(cut >= kMaxLength * 3 / 4 ? cut : kMaxLength);
        trimEnds(name);
    }
    bool onlyReplaced = true;
    for (const QChar c : name)
        onlyReplaced = onlyReplaced && c == u'_';
    return onlyReplaced ? kFallback : name;
}

} // namespace ProposedName
