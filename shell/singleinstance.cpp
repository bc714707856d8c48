#include "shell/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

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

} // namespace

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_name(serverName)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close(); // removes the socket file
}

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
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeout))
        return false; // nobody there, or a socket left by a program that crashed
    const QByteArray message = encode(files);
    if (socket.write(message) != message.size())
        return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kWriteTimeout))
            return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered on it (handOver failed): a socket left behind by a
        // program that did not end cleanly. Remove it and listen again.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            delete m_server;
            m_server = nullptr;
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // The sender writes its message and closes: the message is whole when
        // the connection ends.
        auto buffer = std::make_shared<QByteArray>();
        auto done = std::make_shared<bool>(false);
        const auto take = [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage) {
                buffer->clear();
                socket->abort();
            }
        };
        const auto finish = [this, socket, buffer, done, take] {
            if (*done)
                return;
            *done = true;
            take();
            QStringList files;
            const bool whole = decode(*buffer, &files);
            socket->deleteLater();
            if (whole)
                Q_EMIT filesReceived(files);
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        connect(socket, &QLocalSocket::disconnected, this, finish);
        take();
        if (socket->state() == QLocalSocket::UnconnectedState)
            finish();
    }
}
