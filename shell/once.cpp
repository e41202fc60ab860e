#include "once.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QWidget>
#include <QPointer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ProgramFolder.h"

// Silent unless enabled ("fc.once.info=true"): tests read it, users need not.
Q_LOGGING_CATEGORY(lcOnce, "fc.once", QtWarningMsg)

namespace fc {

namespace {

const QByteArray kRaise = "raise\n";

struct Guard {
    int lockFd = -1;
    QPointer<QLocalServer> server; // owned by the application object
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

void answer(QLocalSocket* socket)
{
    // A request is one short line; anything else is not ours.
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > 64)
            socket->disconnectFromServer();
        return;
    }
    const QByteArray line = socket->readLine(64);
    if (line == kRaise)
        socket->write(raiseWindow());
    else
        qCInfo(lcOnce) << "ignored request" << line.left(32);
    socket->flush();
    socket->disconnectFromServer();
}

void listen(const QString& socketName)
{
    auto* server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Only the lock holder gets here: a socket file left by a crashed
    // instance is stale and may go.
    QLocalServer::removeServer(socketName);
    if (!server->listen(socketName)) {
        qCWarning(lcOnce) << "cannot listen on" << socketName << server->errorString();
        delete server;
        return;
    }
    QLocalServer* s = server;
    QObject::connect(s, &QLocalServer::newConnection, s, [s] {
        while (QLocalSocket* socket = s->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] { answer(socket); });
            if (socket->bytesAvailable() > 0)
                answer(socket);
        }
    });
    guard().server = server;
}

void askFirstToRaise(const QString& socketName)
{
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(2000)) {
        qCInfo(lcOnce) << "the running instance cannot be reached:" << socket.errorString();
        return;
    }
    socket.write(kRaise);
    socket.waitForBytesWritten(2000);
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(3000))
        reply += socket.readAll();
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
    if (g.server) {
        g.server->close(); // removes the socket file
        delete g.server.data();
    }
    if (g.lockFd >= 0) {
        // The file stays: removing it could let two starts lock different files.
        ::close(g.lockFd);
        g.lockFd = -1;
    }
}

} // namespace fc
