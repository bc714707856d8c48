// One program per start directory: the socket's name, the message, the
// hand-over between two starts (in this process and from the program itself)
// and a socket left behind by a program that crashed.

#include "shell/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A name of this test run only, so that tests running side by side never meet.
QString uniqueName(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("instance-") + QUuid::createUuid().toString(QUuid::Id128).left(12));
}

// A local socket and the address of `path`; -1 when the path does not fit.
int socketFor(const QString &path, sockaddr_un *address)
{
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof(address->sun_path))
        return -1;
    memcpy(address->sun_path, name.constData(), size_t(name.size()));
    return ::socket(AF_UNIX, SOCK_STREAM, 0);
}

// A client connected to the socket `path`, or -1.
int connectTo(const QString &path)
{
    sockaddr_un address;
    const int fd = socketFor(path, &address);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// What a program that crashed leaves: a socket file nobody listens on.
bool leaveStaleSocket(const QString &path)
{
    sockaddr_un address;
    const int fd = socketFor(path, &address);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// A client of the socket that is not the program: it connects, sends `bytes`
// and closes. False when it could not connect or send.
bool sendAsStranger(const QString &path, const QByteArray &bytes)
{
    const int fd = connectTo(path);
    bool ok = fd >= 0;
    for (qsizetype sent = 0; ok && sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        ok = n > 0;
        sent += n;
    }
    if (fd >= 0)
        ::close(fd);
    return ok;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesFollowTheStartDirectoryAndTheVariable();
    void messageRoundTripsAndRefusesDamage();
    void secondStartHandsOverItsFiles();
    void staleSocketDoesNotStopTheNextStart();
    void socketOfAnotherIsNeitherRemovedNorReplaced();
    void programHandsOverAndEndsAtOnce();
};

void TestSingleInstance::namesFollowTheStartDirectoryAndTheVariable()
{
    const QByteArray saved = qgetenv("KALVANE_INSTANCE");
    qunsetenv("KALVANE_INSTANCE");
    QTemporaryDir a;
    QTemporaryDir b;
    const QString nameA = SingleInstance::serverNameFor(a.path());
    QCOMPARE(SingleInstance::serverNameFor(a.path() + QStringLiteral("/")), nameA);
    QVERIFY(nameA != SingleInstance::serverNameFor(b.path()));
    QVERIFY(QFileInfo(nameA).fileName().startsWith(QStringLiteral("kalvane-%1-").arg(::getuid())));
    QVERIFY(QFile::encodeName(nameA).size() <= 100);

    // The variable names the socket instead of the folder; a separator in it
    // cannot move the socket elsewhere.
    qputenv("KALVANE_INSTANCE", "essai/../x");
    const QString named = SingleInstance::serverNameFor(a.path());
    QCOMPARE(named, SingleInstance::serverNameFor(b.path()));
    QCOMPARE(QFileInfo(named).fileName(), QStringLiteral("kalvane-%1-essai_.._x").arg(::getuid()));
    QCOMPARE(QFileInfo(named).absolutePath(), QFileInfo(nameA).absolutePath());
    if (saved.isNull())
        qunsetenv("KALVANE_INSTANCE");
    else
        qputenv("KALVANE_INSTANCE", saved);
}

void TestSingleInstance::messageRoundTripsAndRefusesDamage()
{
    const QStringList files = {QStringLiteral("/home/u/Étiquettes/acide 96%.kvln"), QStringLiteral("/tmp/a\nb.pla")};
    QStringList back;
    QVERIFY(SingleInstance::decode(SingleInstance::encode(files), &back));
    QCOMPARE(back, files);
    QVERIFY(SingleInstance::decode(SingleInstance::encode({}), &back));
    QVERIFY(back.isEmpty());

    const QByteArray good = SingleInstance::encode(files);
    back = {QStringLiteral("inchangé")};
    QVERIFY(!SingleInstance::decode(good.chopped(1), &back));                // cut short
    QVERIFY(!SingleInstance::decode(QByteArray("AUTRE\0/a\0", 9), &back));   // not ours
    QVERIFY(!SingleInstance::decode(SingleInstance::encode({QString()}), &back)); // an empty path
    QByteArray notUtf8 = SingleInstance::encode({QStringLiteral("x")});
    notUtf8.insert(notUtf8.size() - 2, '\xFF');
    QVERIFY(!SingleInstance::decode(notUtf8, &back));
    QByteArray huge = SingleInstance::encode({QString(SingleInstance::kMaxMessage, u'a')});
    QVERIFY(!SingleInstance::decode(huge, &back));
    QCOMPARE(back, QStringList{QStringLiteral("inchangé")});
}

void TestSingleInstance::secondStartHandsOverItsFiles()
{
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    auto first = std::make_unique<SingleInstance>(name);
    QCOMPARE(first->start({}), SingleInstance::Role::Primary);
    QSignalSpy received(first.get(), &SingleInstance::filesReceived);

    const QStringList files = {QStringLiteral("/labels/a.kvln"), QStringLiteral("/labels/b.kvln")};
    SingleInstance second(name);
    QCOMPARE(second.start(files), SingleInstance::Role::HandedOver);
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toStringList(), files);

    // A start without files brings the running program forward all the same.
    SingleInstance third(name);
    QCOMPARE(third.start({}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE(received.size(), 2);
    QVERIFY(received.at(1).at(0).toStringList().isEmpty());

    // A stranger's bytes open nothing; nor does a message past the limit,
    // which is dropped as it arrives.
    QVERIFY(sendAsStranger(name, "GET / HTTP/1.0\r\n\r\n"));
    // (Sent from a thread, as the program reads it only while its events run;
    // the program may close on it before the end is sent.)
    const QByteArray huge = SingleInstance::encode({QString(SingleInstance::kMaxMessage, u'a')});
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        sendAsStranger(name, huge);
        sent = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(sent, 20000);
    sender.join();
    QTest::qWait(200);
    QCOMPARE(received.size(), 2);

    // A sender that connects and says nothing does not stop the next one.
    const int silent = connectTo(name);
    QVERIFY(silent >= 0);
    SingleInstance fifth(name);
    QCOMPARE(fifth.start({QStringLiteral("/c.kvln")}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE(received.size(), 3);
    QCOMPARE(received.at(2).at(0).toStringList(), QStringList{QStringLiteral("/c.kvln")});
    ::close(silent);

    // The socket is the user's alone.
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(name).constData(), &info), 0);
    QVERIFY(S_ISSOCK(info.st_mode));
    QCOMPARE(info.st_mode & 0777, mode_t(0600));

    // Once the first program ends, the socket goes with it: the next start runs.
    first.reset();
    QVERIFY(!QFileInfo::exists(name));
    SingleInstance fourth(name);
    QCOMPARE(fourth.start({}), SingleInstance::Role::Primary);
}

void TestSingleInstance::socketOfAnotherIsNeitherRemovedNorReplaced()
{
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    // A program whose socket was taken for stale and replaced by a later
    // start's leaves the later one's socket in place when it ends.
    auto first = std::make_unique<SingleInstance>(name);
    QCOMPARE(first->start({}), SingleInstance::Role::Primary);
    QVERIFY(QFile::remove(name));
    SingleInstance second(name);
    QCOMPARE(second.start({}), SingleInstance::Role::Primary);
    first.reset();
    QVERIFY(QFileInfo::exists(name));
    SingleInstance third(name);
    QCOMPARE(third.start({}), SingleInstance::Role::HandedOver);

    // A file that is not a socket is not taken for one left behind: the
    // program runs alone and the file is untouched.
    const QString other = uniqueName(dir);
    QFile file(other);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("données");
    file.close();
    SingleInstance alone(other);
    QCOMPARE(alone.start({}), SingleInstance::Role::Alone);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("données"));
}

void TestSingleInstance::staleSocketDoesNotStopTheNextStart()
{
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    QVERIFY(leaveStaleSocket(name));
    // A lock file left by a program killed while it started is no obstacle
    // either: its owner is gone.
    QFile lock(name + QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\nkalvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    SingleInstance next(name);
    QCOMPARE(next.start({QStringLiteral("/x.kvln")}), SingleInstance::Role::Primary);
    QSignalSpy received(&next, &SingleInstance::filesReceived);
    SingleInstance later(name);
    QCOMPARE(later.start({QStringLiteral("/y.kvln")}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toStringList(), QStringList{QStringLiteral("/y.kvln")});
}

void TestSingleInstance::programHandsOverAndEndsAtOnce()
{
    QTemporaryDir start;
    QTemporaryDir other;
    const QByteArray instance = "essai-" + QUuid::createUuid().toString(QUuid::Id128).left(12).toLatin1();
    const QByteArray saved = qgetenv("KALVANE_INSTANCE");
    qputenv("KALVANE_INSTANCE", instance);
    SingleInstance running(SingleInstance::serverNameFor(start.path()));
    QCOMPARE(running.start({}), SingleInstance::Role::Primary);
    QSignalSpy received(&running, &SingleInstance::filesReceived);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KALVANE_INSTANCE"), QString::fromLatin1(instance));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(start.path());
    const QString sheet = other.filePath(QStringLiteral("planche.pla"));
    program.start(QStringLiteral(KALVANE_PROGRAM),
                  {QStringLiteral("acide.kvln"), QStringLiteral("--"), QStringLiteral("-tiret.kvln"), sheet});
    QVERIFY(program.waitForStarted(10000));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 60000);
    // The program may already have ended while the hand-over was awaited;
    // waitForFinished() is false for a process that has finished.
    QVERIFY(program.state() == QProcess::NotRunning || program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // Relative names are taken from where the program was started.
    QCOMPARE(received.at(0).at(0).toStringList(),
             (QStringList{QDir(start.path()).filePath(QStringLiteral("acide.kvln")),
                          QDir(start.path()).filePath(QStringLiteral("-tiret.kvln")), sheet}));
    // It ended before making any window: no settings written, nothing else.
    QVERIFY(QDir(start.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    if (saved.isNull())
        qunsetenv("KALVANE_INSTANCE");
    else
        qputenv("KALVANE_INSTANCE", saved);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
