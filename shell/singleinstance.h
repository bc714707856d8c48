#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class QSocketNotifier;

// One running program per start directory: the first start listens on a local
// socket in the user's runtime folder; a later start hands its files to it and
// ends, so that two programs never write the same settings files.
//
// The socket is named after the start directory (its settings files live
// there), so two installations run side by side. KALVANE_INSTANCE, when set,
// names the socket instead (tests use their own). A socket left behind by a
// program that ended without closing it answers nobody: it is removed and the
// new start listens in its place. Starts are serialised by a lock file beside
// the socket, so two programs started together cannot both listen. The socket
// file is the user's alone (mode 0600), and it is removed at the end only while
// it is still the one this program made.
//
// The socket is a plain local stream socket watched by the event loop: the
// network module is not loaded for it, which keeps it out of the start-up.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role {
        Primary,    // this program runs; files handed over arrive through filesReceived
        HandedOver, // another program runs and has the files: end now
        Alone,      // no socket could be made: this program runs without hand-over
    };

    // `serverName` is a full socket path (see serverNameFor).
    explicit SingleInstance(const QString &serverName, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket path for a start directory: the runtime folder (the temporary
    // folder when there is none), then "kalvane-", the user's id and a digest of
    // the start directory, or the KALVANE_INSTANCE value instead of the digest.
    static QString serverNameFor(const QString &startDirectory);

    // Hands `files` (absolute paths) to a running program, or becomes the
    // running program. An empty list only brings the running program forward.
    Role start(const QStringList &files);
    Role role() const { return m_role; }
    QString serverName() const { return m_name; }

    // The message on the socket: a header, then each path, each followed by a
    // NUL (which no path holds). Exposed for the tests.
    static QByteArray encode(const QStringList &files);
    // std::nullopt-like: false when `bytes` is not a whole message.
    static bool decode(const QByteArray &bytes, QStringList *files);

    // The most a message may hold; a larger one is dropped.
    static constexpr qint64 kMaxMessage = 1 << 20;

Q_SIGNALS:
    // Another start handed over these files (possibly none: come forward).
    void filesReceived(const QStringList &files);

private:
    class Connection;

    bool handOver(const QStringList &files);
    bool listen();
    bool bindAndListen(int fd);
    void accept();
    void closeListener();

    QString m_name;
    Role m_role = Role::Alone;
    int m_listener = -1;
    QSocketNotifier *m_notifier = nullptr;
    // The socket file made by this program, to remove it only while it is ours.
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
