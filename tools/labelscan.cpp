#include "tools/labelscan.h"

#include "shell/textfile.h"

#include <QCollator>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

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

// A folder listing is kept only when the folder had not changed for this long
// when it was read: file systems with a coarse modification time (two seconds
// on some) could otherwise hide a change made just after the reading.
constexpr qint64 kSettledSeconds = 3;

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

// Whether a raw name ends with ".kvln" in any letter case.
bool labelExtension(const char *name, size_t length)
{
    static const char ext[] = ".kvln";
    constexpr size_t n = sizeof(ext) - 1;
    if (length < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = name[length - n + i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != ext[i])
            return false;
    }
    return true;
}

} // namespace

bool LabelScan::read(const QString &folder)
{
    m_kept = false;
    m_names.clear();
    m_folded.clear();
    m_native.clear();
    m_folder = folder;
    const QByteArray native = QFile::encodeName(folder);
    struct stat before {};
    if (folder.isEmpty() || ::stat(native.constData(), &before) != 0 || !S_ISDIR(before.st_mode))
        return false;
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    QList<QByteArray> unreadable; // names the system's encoding cannot carry
    while (const dirent *entry = ::readdir(dir)) {
        // Hidden entries (names starting with a dot) are not listed, so "."
        // and ".." never reach the pattern either.
        const size_t length = strlen(entry->d_name);
        if (entry->d_name[0] == '.' || !labelExtension(entry->d_name, length))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            regular = ::fstatat(fd, entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode);
        }
        if (!regular)
            continue;
        const QByteArray bytes(entry->d_name, qsizetype(length));
        const QString name = QFile::decodeName(bytes);
        if (QFile::encodeName(name) == bytes)
            m_names.append(name);
        else
            unreadable.append(bytes);
    }
    ::closedir(dir);
    if (!unreadable.isEmpty()) {
        std::sort(unreadable.begin(), unreadable.end());
        QSet<QString> taken(m_names.cbegin(), m_names.cend());
        for (const QByteArray &bytes : std::as_const(unreadable)) {
            QString name = readableName(bytes);
            while (taken.contains(name))
                name.insert(name.size() - kExtension.size(), QChar(0xFFFD));
            taken.insert(name);
            m_native.insert(name, bytes);
            m_names.append(name);
        }
    }
    sortNames(m_names);
    m_folded.reserve(m_names.size());
    for (const QString &name : std::as_const(m_names))
        m_folded.append(name.toCaseFolded());

    m_stamp = {quint64(before.st_dev), quint64(before.st_ino), qint64(before.st_mtim.tv_sec),
               qint64(before.st_mtim.tv_nsec)};
    struct stat after {};
    const Stamp now = ::stat(native.constData(), &after) == 0
        ? Stamp{quint64(after.st_dev), quint64(after.st_ino), qint64(after.st_mtim.tv_sec), qint64(after.st_mtim.tv_nsec)}
        : Stamp{};
    m_kept = now == m_stamp && QDateTime::currentSecsSinceEpoch() - m_stamp.seconds >= kSettledSeconds;
    return true;
}

QStringList LabelScan::find(const QString &folder, const QString &text, Mode mode)
{
    // A name never holds a separator: such a text would only lead elsewhere.
    if (folder.isEmpty() || text.contains(u'/'))
        return {};
    bool current = m_kept && folder == m_folder;
    if (current) {
        struct stat st {};
        current = ::stat(QFile::encodeName(folder).constData(), &st) == 0
            && Stamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)}
                == m_stamp;
    }
    if (!current && !read(folder))
        return {};
    const QString folded = pattern(text, mode).toCaseFolded();
    QStringList found;
    for (qsizetype i = 0; i < m_folded.size(); ++i)
        if (matchFolded(folded, m_folded.at(i)))
            found.append(m_names.at(i));
    return found;
}

QStringList LabelScan::scan(const QString &folder, const QString &text, Mode mode)
{
    LabelScan once;
    return once.find(folder, text, mode);
}

QString LabelScan::pattern(const QString &text, Mode mode)
{
    return (mode == Mode::Contains ? QStringLiteral("*") : QString()) + text + u'*' + kExtension;
}

bool LabelScan::matches(const QString &pattern, const QString &name)
{
    return matchFolded(pattern.toCaseFolded(), name.toCaseFolded());
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

QString LabelScan::readableName(const QByteArray &bytes)
{
    QString name;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes.at(i));
        const qsizetype length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
            : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length > 0 && i + length <= bytes.size()) {
            const QByteArray sequence = bytes.mid(i, length);
            const QString decoded = QString::fromUtf8(sequence);
            if (decoded.toUtf8() == sequence && !decoded.contains(QChar(0xFFFD))) {
                name += decoded;
                i += length;
                continue;
            }
        }
        name += TextFile::decode(bytes.mid(i, 1));
        ++i;
    }
    return name;
}

QByteArray LabelScan::nativeName(const QString &name) const
{
    const auto found = m_native.constFind(name);
    return found != m_native.constEnd() ? *found : QFile::encodeName(name);
}

QByteArray LabelScan::nativePath(const QString &folder, const QString &name) const
{
    QByteArray path = QFile::encodeName(folder);
    if (!path.endsWith('/'))
        path += '/';
    return path + nativeName(name);
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
