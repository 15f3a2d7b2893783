#include "platform/CSingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

// Longest socket path a sockaddr_un holds, less a little room.
constexpr qsizetype kMaxSocketPath = 100;
// Longest command line a later start sends.
constexpr qint64 kMaxCommand = 256;

// The runtime folder, or a private folder in the temporary folder when the runtime folder is
// missing or too deep for a socket path.
QString defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() ||
        (folder + u'/' + CSingleInstance::baseName()).toLocal8Bit().size() > kMaxSocketPath) {
        folder = QDir::tempPath() + QStringLiteral("/tarvolo-%1").arg(::getuid());
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    return folder;
}

} // namespace

CSingleInstance::CSingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder.isEmpty() ? defaultFolder() : folder)
{
}

CSingleInstance::~CSingleInstance()
{
    if (m_server) {
        m_server->close();
        QLocalServer::removeServer(socketPath());
    }
    if (m_lock)
        m_lock->unlock();
}

QString CSingleInstance::baseName() { return QStringLiteral("TARVOLO%1").arg(::getuid()); }

QString CSingleInstance::lockPath() const { return m_folder + u'/' + baseName() + ".lock"; }

QString CSingleInstance::socketPath() const { return m_folder + u'/' + baseName(); }

bool CSingleInstance::becomeRunningInstance()
{
    if (m_server)
        return true;
    auto lock = std::make_unique<QLockFile>(lockPath());
    // The lock lasts the whole session, so age alone never makes it stale; only a dead holder does.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        m_lock = std::move(lock);
    else if (lock->error() == QLockFile::LockFailedError)
        return false;
    // A lock that cannot be made at all (an unwritable folder) says nothing about other instances:
    // this process runs as the first one.

    // A socket file left by a killed instance refuses connections and blocks listen(): with the
    // lock held, any file of that name is such a leftover.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::acceptConnection);
    m_server->listen(socketPath());
    return true;
}

bool CSingleInstance::otherInstanceRuns()
{
    if (m_server)
        return false;
    QLockFile probe(lockPath());
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}

bool CSingleInstance::send(const QByteArray &command, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(qMax<qint64>(1, deadline.remainingTime()))) {
            socket.write(command + '\n');
            if (!socket.waitForBytesWritten(qMax<qint64>(1, deadline.remainingTime())))
                return false;
            while (!socket.canReadLine()) {
                if (!socket.waitForReadyRead(qMax<qint64>(1, deadline.remainingTime())))
                    return false;
            }
            return socket.readLine().trimmed() == "ok";
        }
        // The running instance may not listen yet; ask again shortly.
        QThread::msleep(50);
    }
    return false;
}

void CSingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Commands are short lines; anything else is not from a start of this program.
            if (!socket->canReadLine() && socket->bytesAvailable() > kMaxCommand) {
                socket->abort();
                return;
            }
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                if (line.isEmpty())
                    continue;
                socket->write("ok\n");
                socket->flush();
                emit commandReceived(line);
            }
        });
    }
}
