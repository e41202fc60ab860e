#include "once.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ProgramFolder.h"

// Silent unless enabled ("fc.once.info=true"): tests read it, users need not.
Q_LOGGING_CATEGORY(lcOnce, "fc.once", QtWarningMsg)

namespace fc {

namespace {

const QByteArray kRaise = "raise\n";

// The listening socket is a plain Unix stream socket watched by the event
// loop: a line in, a line out, nothing that needs a network library.
struct Guard {
    int lockFd = -1;
    int listenFd = -1;
    QByteArray socketPath;
    QPointer<QSocketNotifier> listener; // owned by the application object
};

Guard& guard()
{
    static Guard g;
    return g;
}

// Up to 255 characters, as the platform keeps it; long names are shortened
// with a hash so that the socket path stays within the system's limit.
QString guardBaseName(const QString& executableName)
{
    const QString name = executableName.left(255);
    if (name.toUtf8().size() <= 64)
        return name;
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return name.left(40) + '-' + QString::fromLatin1(hash);
}

// False when the path does not fit a socket address.
bool socketAddress(const QByteArray& path, sockaddr_un& addr, socklen_t& length)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(path.size()) + 1);
    return true;
}

// The window to bring forward: an open modal dialog first, else the active
// window, else the first visible top-level window (the main window).
QWidget* windowToRaise()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isMinimized() && w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup)
            return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() || w->isMinimized())
            return w;
    return nullptr;
}

QByteArray raiseWindow()
{
    QWidget* w = windowToRaise();
    if (!w) {
        qCInfo(lcOnce) << "raise request: no window to raise";
        return "none\n";
    }
    if (w->isMinimized())
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->raise();
    w->activateWindow();
    qCInfo(lcOnce).noquote() << "raise request: raised" << w->metaObject()->className() << w->objectName()
                             << "\"" + w->windowTitle() + "\"";
    return "raised\n";
}

// One connection of a later start: it reads one short line, answers it and
// closes. Anything else is not ours and is closed unanswered.
class Connection : public QObject {
public:
    Connection(int fd, QObject* parent) : QObject(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read)
    {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { readSome(); });
    }
    ~Connection() override { ::close(fd_); }

    void readSome()
    {
        char buf[64];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (n <= 0)
            return finish();
        line_.append(buf, qsizetype(n));
        const qsizetype end = line_.indexOf('\n');
        if (end < 0) {
            if (line_.size() > 64)
                finish();
            return;
        }
        const QByteArray request = line_.left(end + 1);
        if (request == kRaise) {
            const QByteArray reply = raiseWindow();
            (void)::send(fd_, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        } else {
            qCInfo(lcOnce) << "ignored request" << request.left(32);
        }
        finish();
    }

private:
    void finish()
    {
        notifier_.setEnabled(false);
        deleteLater();
    }

    int fd_;
    QSocketNotifier notifier_;
    QByteArray line_;
};

void listen(const QString& socketName)
{
    const QByteArray path = QFile::encodeName(socketName);
    sockaddr_un addr {};
    socklen_t length = 0;
    if (!socketAddress(path, addr, length)) {
        qCWarning(lcOnce) << "cannot listen on" << socketName << "the name is too long for a socket";
        return;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        qCWarning(lcOnce) << "cannot listen on" << socketName << strerror(errno);
        return;
    }
    // Only the lock holder gets here: a socket file left by a crashed
    // instance is stale and may go.
    ::unlink(path.constData());
    // Only this user connects: the folder is private, and so is the socket.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), length) != 0 || ::chmod(path.constData(), 0600) != 0
        || ::listen(fd, 8) != 0) {
        qCWarning(lcOnce) << "cannot listen on" << socketName << strerror(errno);
        ::close(fd);
        ::unlink(path.constData());
        return;
    }
    auto* listener = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(listener, &QSocketNotifier::activated, listener, [fd, listener] {
        for (;;) {
            const int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c < 0)
                break;
            (new Connection(c, listener))->readSome();
        }
    });
    Guard& g = guard();
    g.listenFd = fd;
    g.socketPath = path;
    g.listener = listener;
}

void askFirstToRaise(const QString& socketName)
{
    const QByteArray path = QFile::encodeName(socketName);
    sockaddr_un addr {};
    socklen_t length = 0;
    if (!socketAddress(path, addr, length)) {
        qCInfo(lcOnce) << "the running instance cannot be reached: the name is too long for a socket";
        return;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        qCInfo(lcOnce) << "the running instance cannot be reached:" << strerror(errno);
        return;
    }
    // Connecting and sending wait at most 2 s, each reading 3 s.
    const timeval sendLimit {2, 0}, readLimit {3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &readLimit, sizeof readLimit);
    int rc;
    do
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), length);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        qCInfo(lcOnce) << "the running instance cannot be reached:" << strerror(errno);
        ::close(fd);
        return;
    }
    (void)::send(fd, kRaise.constData(), size_t(kRaise.size()), MSG_NOSIGNAL);
    QByteArray reply;
    while (!reply.endsWith('\n')) {
        char buf[64];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        reply.append(buf, qsizetype(n));
    }
    ::close(fd);
    qCInfo(lcOnce) << "the running instance answered" << reply.trimmed();
}

} // namespace

QString InstanceFolder()
{
    // $XDG_RUNTIME_DIR when the session has one. Without it (a plain login,
    // cron, a container) a folder of the user's own under the temporary
    // folder; asking Qt for it would warn at every start.
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty())
        return runtime;
    const QString folder = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcOnce) << "cannot create" << folder << strerror(errno);
        return QString();
    }
    // Only a real folder of this user serves, and only private: others
    // could otherwise take the lock or answer in the program's place.
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        qCWarning(lcOnce) << folder << "is not a folder of this user";
        return QString();
    }
    if ((st.st_mode & 0077) != 0 && ::chmod(path.constData(), 0700) != 0) {
        qCWarning(lcOnce) << "cannot make" << folder << "private:" << strerror(errno);
        return QString();
    }
    return folder;
}

void PrepareRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    // Qt looks the folder up while the application object is made, and
    // warns each time the variable is unset; naming the private folder
    // first makes Qt and the guard agree on it, quietly.
    const QString folder = InstanceFolder();
    if (!folder.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

QString InstanceLockFile(const QString& executableName)
{
    return InstanceFolder() + '/' + guardBaseName(executableName) + QStringLiteral(".lock");
}

QString InstanceSocketName(const QString& executableName)
{
    return InstanceFolder() + '/' + guardBaseName(executableName) + QStringLiteral(".socket");
}

bool CheckSingleInstance()
{
    Guard& g = guard();
    if (g.lockFd >= 0)
        return true;
    const QString name = ExecutableFileName();
    const QString folder = InstanceFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        qCWarning(lcOnce) << "no runtime folder: running without the single-instance guard";
        return true;
    }
    // The folder is looked up once: a start says what is wrong with it once.
    const QString base = folder + '/' + guardBaseName(name);
    const QString socketName = base + QStringLiteral(".socket");
    const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qCWarning(lcOnce) << "cannot open" << lockPath << strerror(errno) << "- running without the guard";
        return true;
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            askFirstToRaise(socketName);
            return false;
        }
        qCWarning(lcOnce) << "cannot lock" << lockPath << strerror(err) << "- running without the guard";
        return true;
    }
    g.lockFd = fd;
    qCInfo(lcOnce) << "first instance of" << name;
    listen(socketName);
    return true;
}

void ReleaseInstanceMutex()
{
    Guard& g = guard();
    delete g.listener.data(); // and the connections still open
    if (g.listenFd >= 0) {
        ::close(g.listenFd);
        ::unlink(g.socketPath.constData());
        g.listenFd = -1;
        g.socketPath.clear();
    }
    if (g.lockFd >= 0) {
        // The file stays: removing it could let two starts lock different files.
        ::close(g.lockFd);
        g.lockFd = -1;
    }
}

} // namespace fc
