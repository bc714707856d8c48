#include "shell/textfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The 0x80..0x9F row of Windows-1252; 0 marks the five undefined bytes.
constexpr char16_t kHighRow[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighRow[i] == c && c != 0)
            return 0x80 + i;
    // The undefined bytes round-trip through their C1 control characters.
    if (c >= 0x80 && c <= 0x9F && kHighRow[c - 0x80] == 0)
        return c;
    return -1;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The fault a test asked for (none while `countdown` is 0).
struct Fault {
    TextFile::WriteStep step = TextFile::WriteStep::Create;
    int err = 0;
    int countdown = 0;
};
Fault g_fault;

// Whether the pending fault strikes at `step` now; `err` then takes its error.
bool faultAt(TextFile::WriteStep step, int *err)
{
    if (g_fault.countdown <= 0 || g_fault.step != step || --g_fault.countdown > 0)
        return false;
    *err = g_fault.err;
    return true;
}

// The folder part of an absolute path ("/" for a file at the root).
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The path a chain of symbolic links finally leads to (the path itself when
// it is no link, or names nothing yet). A relative link is read from its own
// folder. False with the system error on a loop or an unreadable link.
bool followLinks(QByteArray path, QByteArray *target, int *err)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = path;
            return true;
        }
        QByteArray link(qsizetype(st.st_size > 0 ? st.st_size : 0) + 256, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n < 0 || n >= link.size()) {
            *err = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        link.truncate(n);
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    *err = ELOOP;
    return false;
}

} // namespace

namespace TextFile {

QString systemError(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("le disque est plein.");
    case EFBIG:
        return QStringLiteral("le fichier dépasserait la taille permise par le système.");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé (droits insuffisants).");
    case EROFS:
        return QStringLiteral("le support est en lecture seule.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le dossier n'existe pas.");
    case ENAMETOOLONG:
        return QStringLiteral("le chemin est trop long.");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie du support.");
    case EISDIR:
        return QStringLiteral("un dossier porte ce nom.");
    case ELOOP:
        return QStringLiteral("les liens symboliques du chemin forment une boucle.");
    default:
        return QStringLiteral("erreur système %1.").arg(err);
    }
}

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0)
            break;
        if (b >= 0x80 && b <= 0x9F && kHighRow[b - 0x80] != 0)
            text.append(QChar(kHighRow[b - 0x80]));
        else
            text.append(QChar(char16_t(b)));
    }
    return text;
}

bool encode(const QString &text, QByteArray *out, QChar *bad)
{
    out->clear();
    out->reserve(text.size());
    for (QChar c : text) {
        const int b = byteFor(c.unicode());
        if (b < 0) {
            if (bad)
                *bad = c;
            return false;
        }
        out->append(char(b));
    }
    return true;
}

qsizetype cutOffset(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0)
        return -1;
    for (qsizetype i = nul + 1; i < bytes.size(); ++i)
        if (bytes.at(i) != '\0')
            return nul;
    return -1;
}

QString cutDescription(const QByteArray &bytes)
{
    const qsizetype at = cutOffset(bytes);
    if (at < 0)
        return {};
    // The line of the NUL byte: one more than the line ends before it.
    const QStringList before = splitLines(decode(bytes.left(at)));
    const bool atLineStart = at == 0 || bytes.at(at - 1) == '\r' || bytes.at(at - 1) == '\n';
    const qsizetype line = before.size() + (atLineStart ? 1 : 0);
    QString text = QStringLiteral("un octet nul à la position %1 (ligne %2)").arg(at).arg(qMax<qsizetype>(line, 1));
    // Wide-character text: a byte order mark, or a NUL in every other byte.
    qsizetype evenNul = 0;
    qsizetype oddNul = 0;
    const qsizetype probe = qMin<qsizetype>(bytes.size(), 256);
    for (qsizetype i = 0; i < probe; ++i)
        if (bytes.at(i) == '\0')
            ++(i % 2 ? oddNul : evenNul);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || qMax(evenNul, oddNul) * 2 >= probe - 2)
        text += QStringLiteral(" : le fichier semble enregistré en UTF-16 et non en Windows-1252");
    return text;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readBytes(const QString &path, QByteArray *bytes, QString *error, qint64 maxSize)
{
    const QFileInfo info(path);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(info.fileName(), why);
        return false;
    };
    // Only regular files: a pipe or a device would block the program or
    // never end.
    if (!info.exists())
        return fail(QStringLiteral("le fichier n'existe pas."));
    if (info.isDir())
        return fail(QStringLiteral("c'est un dossier."));
    if (!info.isFile())
        return fail(QStringLiteral("ce n'est pas un fichier ordinaire."));
    if (info.size() > maxSize)
        return fail(QStringLiteral("le fichier est trop volumineux (%1 Mo, au plus %2 Mo).")
                        .arg((info.size() + (1 << 20) - 1) >> 20)
                        .arg(maxSize >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(info.isReadable() ? QStringLiteral("ouverture impossible.")
                                      : QStringLiteral("accès refusé (droits insuffisants)."));
    // Read in pieces, never holding more than the limit: the file may have
    // grown since its size was looked at.
    bytes->clear();
    bytes->reserve(qsizetype(std::min(info.size(), maxSize)));
    char piece[1 << 16];
    for (;;) {
        const qint64 n = file.read(piece, sizeof piece);
        if (n < 0)
            return fail(QStringLiteral("erreur de lecture du support."));
        if (n == 0)
            break;
        bytes->append(piece, qsizetype(n));
        if (bytes->size() > maxSize)
            break;
    }
    if (bytes->size() > maxSize)
        return fail(QStringLiteral("le fichier est trop volumineux."));
    return true;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    QByteArray bytes;
    if (!readBytes(path, &bytes, error))
        return false;
    *lines = splitLines(decode(bytes));
    return true;
}

QStringList readLines(const QString &path)
{
    QStringList lines;
    readLines(path, &lines, nullptr);
    return lines;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QString why;
    if (replaceFile(path, bytes, &why))
        return true;
    if (error)
        *error = QStringLiteral("Impossible d'enregistrer le fichier \"%1\" : %2").arg(QFileInfo(path).fileName(), why);
    return false;
}

void DeferredSync::add(const QString &path)
{
    m_files.append(QFileInfo(path).absoluteFilePath());
}

bool DeferredSync::finish(QList<QPair<QString, QString>> *failed)
{
    const SyncCall sync = syncCall ? syncCall : ::fsync;
    bool ok = true;
    const auto flush = [&](const QString &path, int flags) {
        const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
        // A folder that cannot be opened (no right to read it) is left as a
        // single replaced file leaves it.
        if (fd < 0)
            return (flags & O_DIRECTORY) ? 0 : errno;
        const int err = sync(fd) == 0 ? 0 : errno;
        ::close(fd);
        return err;
    };
    QStringList folders;
    for (const QString &file : std::as_const(m_files)) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
        if (const int err = flush(file, O_RDONLY)) {
            ok = false;
            if (failed)
                failed->append({file, systemError(err)});
        }
    }
    for (const QString &folder : std::as_const(folders)) {
        if (const int err = flush(folder, O_RDONLY | O_DIRECTORY)) {
            ok = false;
            if (failed)
                for (const QString &file : std::as_const(m_files))
                    if (QFileInfo(file).absolutePath() == folder)
                        failed->append({file, systemError(err)});
        }
    }
    m_files.clear();
    return ok;
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *reason, DeferredSync *deferred)
{
    return replaceFile(path, bytes, reason, nullptr, deferred);
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *reason, bool *replaced,
                 DeferredSync *deferred)
{
    if (replaced)
        *replaced = false;
    const auto fail = [&](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    // A link is written through: the file it leads to is replaced in its own
    // folder (a rename there keeps the write atomic) and the link stays.
    QByteArray finalName;
    int err = 0;
    if (!followLinks(QFile::encodeName(QFileInfo(path).absoluteFilePath()), &finalName, &err))
        return fail(systemError(err));
    struct stat old;
    const bool exists = ::stat(finalName.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail(QStringLiteral("un dossier porte ce nom."));
    if (exists && !S_ISREG(old.st_mode))
        return fail(QStringLiteral("ce n'est pas un fichier ordinaire."));
    // A file the user protected is not replaced behind his back, not even by
    // root, for whom the system checks no permission.
    if (exists && (::access(finalName.constData(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        return fail(QStringLiteral("le fichier est protégé en écriture."));

    // The new content goes to a temporary file beside the target, is flushed
    // to the disk, and only then takes the target's name: a full disk or a
    // failing device leaves the old file whole. Every write and the flush are
    // checked here (a platform save file may report success after a flush
    // that failed).
    const QByteArray folder = folderOf(finalName);
    // A short name of its own: the target's name may already be as long as
    // a file name can be.
    QByteArray tempName = folder + "/.kalvane-XXXXXX";
    const int fd = faultAt(WriteStep::Create, &err) ? -1 : ::mkstemp(tempName.data());
    if (fd < 0)
        return fail(systemError(err ? err : errno));
    const auto abandon = [&](int e) {
        ::close(fd);
        ::unlink(tempName.constData());
        return fail(systemError(e));
    };
    if (exists) {
        // The replaced file's owner and group where the system lets them be
        // given (the group alone for a member of it), then its mode: a
        // change of owner clears the set-id bits.
        struct stat mine;
        if (::fstat(fd, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)
            && ::fchown(fd, old.st_uid, old.st_gid) != 0 && mine.st_gid != old.st_gid)
            (void)::fchown(fd, uid_t(-1), old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon(errno);
    } else {
        ::fchmod(fd, 0666 & ~currentUmask());
    }
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = faultAt(WriteStep::Write, &err)
            ? (errno = err, -1)
            : ::write(fd, data, size_t(std::min<qsizetype>(left, 1 << 20)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        if (written == 0)
            return abandon(ENOSPC);
        data += written;
        left -= written;
    }
    if (!deferred && faultAt(WriteStep::FileSync, &err))
        return abandon(err);
    if (!deferred && ::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0 || faultAt(WriteStep::Close, &err)) {
        const int e = err ? err : errno;
        ::unlink(tempName.constData());
        return fail(systemError(e));
    }
    if (faultAt(WriteStep::Rename, &err) || ::rename(tempName.constData(), finalName.constData()) != 0) {
        const int e = err ? err : errno;
        ::unlink(tempName.constData());
        return fail(systemError(e));
    }
    if (replaced)
        *replaced = true;
    if (deferred) {
        deferred->add(QFile::decodeName(finalName));
        return true;
    }
    // The new name itself must reach the disk too; a file system that cannot
    // sync a folder at all (EINVAL) has nothing more to do.
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int syncErr = dirFd < 0 ? errno : 0;
    if (dirFd >= 0) {
        if (faultAt(WriteStep::FolderSync, &err))
            syncErr = err;
        else if (::fsync(dirFd) != 0 && errno != EINVAL && errno != EOPNOTSUPP)
            syncErr = errno;
        ::close(dirFd);
    }
    if (syncErr != 0) {
        QString why = systemError(syncErr);
        why.chop(why.endsWith(u'.') ? 1 : 0);
        return fail(QStringLiteral("le nouveau contenu a pris la place de l'ancien, mais son dossier n'a pas pu "
                                   "être synchronisé sur le disque (%1) : une coupure de courant pourrait encore "
                                   "le perdre.")
                        .arg(why));
    }
    return true;
}

void injectFault(WriteStep step, int err, int nth)
{
    g_fault = Fault{step, err, nth};
}

void clearFault()
{
    g_fault = Fault{};
}

// An open temporary file written in large blocks, the first failure kept.
class StreamedFile::Device : public QIODevice {
public:
    explicit Device(int fd) : m_fd(fd) { m_buffer.reserve(kBlock); }
    ~Device() override { closeFd(); }

    int error() const { return m_error; }

    // Writes what is buffered, flushes to the disk and closes.
    bool finish()
    {
        flushBuffer();
        if (!m_error && ::fsync(m_fd) != 0)
            m_error = errno;
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && !m_error)
            m_error = errno;
        QIODevice::close();
        return !m_error;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_error)
            return -1;
        m_buffer.append(data, qsizetype(length));
        if (m_buffer.size() >= kBlock)
            flushBuffer();
        return m_error ? -1 : length;
    }

private:
    static constexpr qsizetype kBlock = 1 << 20;

    void flushBuffer()
    {
        const char *data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0 && !m_error) {
            const ssize_t written = ::write(m_fd, data, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                m_error = written < 0 ? errno : ENOSPC;
            else {
                data += written;
                left -= written;
            }
        }
        m_buffer.clear();
    }

    void closeFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int m_fd;
    int m_error = 0;
    QByteArray m_buffer;
};

StreamedFile::StreamedFile(const QString &path) : m_path(path) {}

StreamedFile::~StreamedFile()
{
    if (m_device) {
        delete m_device;
        ::unlink(m_tempName.constData());
    }
}

bool StreamedFile::open(QString *reason)
{
    const auto fail = [&](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo target(m_path);
    if (target.isDir())
        return fail(QStringLiteral("un dossier porte ce nom."));
    if (target.exists() && !target.isFile())
        return fail(QStringLiteral("ce n'est pas un fichier ordinaire."));
    if (target.exists() && !target.isWritable())
        return fail(QStringLiteral("le fichier est protégé en écriture."));
    m_tempName = QFile::encodeName(target.absolutePath()) + "/.kalvane-XXXXXX";
    const int fd = ::mkstemp(m_tempName.data());
    if (fd < 0)
        return fail(systemError(errno));
    struct stat old;
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    else
        ::fchmod(fd, 0666 & ~currentUmask());
    m_device = new Device(fd);
    m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return true;
}

QIODevice *StreamedFile::device()
{
    return m_device;
}

bool StreamedFile::commit(QString *reason)
{
    const auto fail = [&](int err) {
        delete m_device;
        m_device = nullptr;
        ::unlink(m_tempName.constData());
        if (reason)
            *reason = systemError(err);
        return false;
    };
    if (!m_device)
        return fail(EBADF);
    if (!m_device->finish())
        return fail(m_device->error());
    const QFileInfo target(m_path);
    if (::rename(m_tempName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(errno);
    delete m_device;
    m_device = nullptr;
    const int dirFd = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        QByteArray encoded;
        QChar bad;
        if (!encode(line, &encoded, &bad)) {
            if (error)
                *error = QStringLiteral("Le caractère « %1 » (U+%2) ne peut pas être enregistré "
                                        "dans le fichier \"%3\" (jeu de caractères Windows-1252).")
                             .arg(bad)
                             .arg(bad.unicode(), 4, 16, QLatin1Char('0'))
                             .arg(QFileInfo(path).fileName());
            return false;
        }
        bytes += encoded;
        bytes += "\r\n";
    }
    return writeBytes(path, bytes, error);
}

} // namespace TextFile
