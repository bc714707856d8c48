#include "tools/labelscan.h"

#include <QCollator>
#include <QDirIterator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

#ifdef PATH_MAX
constexpr qsizetype kPathMax = PATH_MAX;
#else
constexpr qsizetype kPathMax = 4096;
#endif
#ifdef NAME_MAX
constexpr qsizetype kNameMax = NAME_MAX;
#else
constexpr qsizetype kNameMax = 255;
#endif

// Wildcard match of an already case-folded pattern against a case-folded
// name: "*" matches any run (empty included), "?" exactly one character.
// Greedy with one back-track point, so it stays linear for the patterns the
// search builds.
bool matchFolded(QStringView pattern, QStringView name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

QString LabelScan::pattern(const QString &text, Mode mode)
{
    return (mode == Mode::Contains ? QStringLiteral("*") : QString()) + text + u'*' + kExtension;
}

bool LabelScan::matches(const QString &pattern, const QString &name)
{
    return matchFolded(pattern.toCaseFolded(), name.toCaseFolded());
}

QStringList LabelScan::scan(const QString &folder, const QString &text, Mode mode)
{
    // A name never holds a separator: such a text would only lead elsewhere.
    if (folder.isEmpty() || text.contains(u'/'))
        return {};
    const QString folded = pattern(text, mode).toCaseFolded();
    QStringList names;
    // Hidden entries (names starting with a dot) are not listed, so ".." and
    // "." never reach the pattern either.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (matchFolded(folded, name.toCaseFolded()))
            names.append(name);
    }
    sortNames(names);
    return names;
}

void LabelScan::sortNames(QStringList &names)
{
    if (names.size() < 2)
        return;
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    // One sort key per name: comparing keys is far cheaper than comparing
    // the names through the collator each time.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.emplace_back(collator.sortKey(names.at(i)), i);
    std::sort(keyed.begin(), keyed.end(), [&names](const auto &a, const auto &b) {
        const int c = a.first.compare(b.first);
        if (c != 0)
            return c < 0;
        return names.at(a.second) < names.at(b.second);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &k : keyed)
        sorted.append(names.at(k.second));
    names = std::move(sorted);
}

bool LabelScan::pathTooLong(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= kPathMax)
        return true;
    for (const QByteArray &part : bytes.split('/'))
        if (part.size() > kNameMax)
            return true;
    return false;
}
