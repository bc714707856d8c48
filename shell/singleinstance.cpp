#include "shell/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kHeader = QByteArrayLiteral("KALVANE-OUVRIR-1");
// A local socket path is limited to about 108 bytes by the system.
constexpr qsizetype kMaxSocketPath = 100;
constexpr int kConnectTimeout = 2000;
constexpr int kWriteTimeout = 5000;
constexpr int kLockTimeout = 10000;

QString instancePart()
{
    QString name = qEnvironmentVariable("KALVANE_INSTANCE");
    for (QChar &c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'.')
            c = u'_';
    return name.left(40);
}

// The address of the socket file `path`; false when the path does not fit.
bool socketAddress(const QString &path, sockaddr_un *address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (name.isEmpty() || name.contains('\0') || size_t(name.size()) >= sizeof(address->sun_path)) {
        errno = ENAMETOOLONG; // not a name in use: nothing is removed for it
        return false;
    }
    std::memcpy(address->sun_path, name.constData(), size_t(name.size()));
    return true;
}

// How long a blocking connection or write on `fd` may wait.
bool setTimeout(int fd, int milliseconds)
{
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit)) == 0;
}

// A descriptor closed when it goes out of scope unless released.
struct Descriptor
{
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    bool valid() const { return fd >= 0; }
    int release() { return std::exchange(fd, -1); }
    int fd;
};

} // namespace

// One accepted connection: its bytes are gathered until the sender closes,
// then handed to `finished` once (empty when the message was too large or the
// connection failed).
class SingleInstance::Connection : public QObject
{
public:
    Connection(int fd, QObject *parent)
        : QObject(parent)
        , m_fd(fd)
        , m_notifier(new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &Connection::read);
    }
    ~Connection() override
    {
        delete m_notifier;
        ::close(m_fd);
    }

    std::function<void(const QByteArray &)> finished;

    void read()
    {
        if (m_done)
            return;
        char chunk[16384];
        for (;;) {
            const ssize_t n = ::recv(m_fd, chunk, sizeof(chunk), 0);
            if (n > 0) {
                if (m_bytes.size() + n > kMaxMessage)
                    return finish(false);
                m_bytes.append(chunk, qsizetype(n));
            } else if (n == 0) {
                return finish(true);
            } else if (errno == EINTR) {
                continue;
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return; // more to come
            } else {
                return finish(false);
            }
        }
    }

private:
    void finish(bool whole)
    {
        m_done = true;
        m_notifier->setEnabled(false);
        if (!whole)
            m_bytes.clear();
        if (finished)
            finished(m_bytes);
    }

    int m_fd;
    QSocketNotifier *m_notifier;
    QByteArray m_bytes;
    bool m_done = false;
};

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_name(serverName)
{
}

SingleInstance::~SingleInstance() { closeListener(); }

QString SingleInstance::serverNameFor(const QString &startDirectory)
{
    QString part = instancePart();
    if (part.isEmpty()) {
        const QString dir = QFileInfo(startDirectory).canonicalFilePath().isEmpty()
                                ? QDir::cleanPath(QFileInfo(startDirectory).absoluteFilePath())
                                : QFileInfo(startDirectory).canonicalFilePath();
        part = QString::fromLatin1(QCryptographicHash::hash(dir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    }
    const QString file = QStringLiteral("kalvane-%1-%2").arg(::getuid()).arg(part);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || (folder + u'/' + file).toLocal8Bit().size() > kMaxSocketPath)
        folder = QDir::tempPath();
    return folder + u'/' + file;
}

QByteArray SingleInstance::encode(const QStringList &files)
{
    QByteArray bytes = kHeader;
    bytes += '\0';
    for (const QString &file : files) {
        bytes += file.toUtf8();
        bytes += '\0';
    }
    return bytes;
}

bool SingleInstance::decode(const QByteArray &bytes, QStringList *files)
{
    if (!bytes.startsWith(kHeader + '\0') || !bytes.endsWith('\0') || bytes.size() > kMaxMessage)
        return false;
    QStringList list;
    const QList<QByteArray> parts = bytes.mid(kHeader.size() + 1).split('\0');
    // split() gives an empty last part after the final NUL.
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString path = QString::fromUtf8(parts.at(i));
        if (path.isEmpty() || path.toUtf8() != parts.at(i))
            return false; // not UTF-8
        list << path;
    }
    *files = list;
    return true;
}

SingleInstance::Role SingleInstance::start(const QStringList &files)
{
    QLockFile lock(m_name + QStringLiteral(".lock"));
    // Without the lock (a folder we cannot write) the start goes on: a second
    // program then finds the socket or makes its own.
    const bool locked = lock.tryLock(kLockTimeout);
    if (handOver(files))
        m_role = Role::HandedOver;
    else
        m_role = listen() ? Role::Primary : Role::Alone;
    if (locked)
        lock.unlock();
    return m_role;
}

bool SingleInstance::handOver(const QStringList &files)
{
    sockaddr_un address;
    if (!socketAddress(m_name, &address))
        return false;
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return false;
    // A blocking socket whose connection and writes give up after a while:
    // a program that hangs does not hang this start too.
    if (!setTimeout(socket.fd, kConnectTimeout))
        return false;
    int connected;
    do
        connected = ::connect(socket.fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
    while (connected != 0 && errno == EINTR);
    if (connected != 0)
        return false; // nobody there, or a socket left by a program that crashed
    if (!setTimeout(socket.fd, kWriteTimeout))
        return false;
    const QByteArray message = encode(files);
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(socket.fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // the running program went away or stopped reading
        sent += n;
    }
    // Closing ends the message; what was sent stays for the running program.
    return true;
}

bool SingleInstance::listen()
{
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.valid())
        return false;
    // The socket file is made for the user alone: another account cannot ask
    // this program to open files.
    if (::fchmod(socket.fd, S_IRUSR | S_IWUSR) != 0)
        return false;
    if (!bindAndListen(socket.fd)) {
        // Nobody answered on it (handOver failed): a socket left behind by a
        // program that did not end cleanly. Remove it and listen again; a file
        // that is not a socket is left alone.
        struct stat info;
        const QByteArray path = QFile::encodeName(m_name);
        if (errno != EADDRINUSE || ::lstat(path.constData(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
            ::unlink(path.constData()) != 0 || !bindAndListen(socket.fd))
            return false;
    }
    m_listener = socket.release();
    m_notifier = new QSocketNotifier(qintptr(m_listener), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::accept);
    return true;
}

bool SingleInstance::bindAndListen(int fd)
{
    sockaddr_un address;
    if (!socketAddress(m_name, &address))
        return false;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return false;
    struct stat info;
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::stat(address.sun_path, &info) != 0 ||
        ::listen(fd, 16) != 0) {
        const int error = errno;
        ::unlink(address.sun_path);
        errno = error;
        return false;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    return true;
}

void SingleInstance::closeListener()
{
    if (m_listener < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_listener);
    m_listener = -1;
    // The socket file goes with the program, unless another start has put
    // its own in its place since.
    const QByteArray path = QFile::encodeName(m_name);
    struct stat info;
    if (::lstat(path.constData(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode)
        ::unlink(path.constData());
}

void SingleInstance::accept()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE) {
                // Out of descriptors: the waiting connection is tried again in
                // a moment, not at once and again without end.
                m_notifier->setEnabled(false);
                QTimer::singleShot(200, this, [this] {
                    if (m_notifier)
                        m_notifier->setEnabled(true);
                });
            }
            return; // none left (EAGAIN)
        }
        // The sender writes its message and closes: the message is whole when
        // the connection ends. A message past the limit is dropped.
        auto *connection = new Connection(fd, this);
        connection->finished = [this, connection](const QByteArray &bytes) {
            connection->deleteLater();
            QStringList files;
            if (decode(bytes, &files))
                Q_EMIT filesReceived(files);
        };
        connection->read();
    }
}
