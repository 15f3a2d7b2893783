#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running instance per user: a lock file and a local socket, both named "TARVOLO" plus the
// user id, in the user's private runtime folder. The lock is the sign that an instance runs; the
// system drops it with the process (a kill -9 leaves a file whose dead owner the next start
// recognises). The socket carries one-line commands from later starts to the running instance.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder: where lock and socket lie; empty = the runtime folder ($XDG_RUNTIME_DIR).
    explicit CSingleInstance(const QString &folder = QString(), QObject *parent = nullptr);
    ~CSingleInstance() override;

    // Takes the lock and starts answering on the socket. False when another live process holds
    // the lock. When the lock is taken but the socket cannot listen, this is still the running
    // instance (true); later starts then cannot reach it and end on their own.
    bool becomeRunningInstance();
    // True while this object holds the lock.
    bool isRunningInstance() const { return m_server != nullptr; }
    // True when another live process holds the lock, without taking it.
    bool otherInstanceRuns();

    // Sends one command to the running instance and waits up to timeoutMs for its answer (the
    // running instance may still be starting, so connecting is retried). True when it answered.
    bool send(const QByteArray &command, int timeoutMs = 3000);

    QString lockPath() const;
    QString socketPath() const;
    // "TARVOLO" followed by the user id.
    static QString baseName();

signals:
    // A later start sent command (without its line end).
    void commandReceived(const QByteArray &command);

private:
    void acceptConnection();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr; // owned through the QObject tree; set while running
};
