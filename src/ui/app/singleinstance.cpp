#include "ui/app/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace {

const QByteArray kReceived = QByteArrayLiteral("ok\n");

} // namespace

SingleInstance::SingleInstance(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(QDir(dataFolder).absolutePath())
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString &dataFolder)
{
    const QByteArray folder = QDir(dataFolder).absolutePath().toUtf8();
    return QStringLiteral("ardivo-") +
           QString::fromLatin1(
               QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(24));
}

bool SingleInstance::claim()
{
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("Ardivo.lock")));
    // Held for the whole run: it goes stale only when its process has ended.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return m_lock->error() != QLockFile::LockFailedError;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours: a socket of the same name was left by a copy that ended abruptly.
    QLocalServer::removeServer(serverName(m_folder));
    if (m_server->listen(serverName(m_folder)))
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QString file = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(kReceived);
            socket->flush();
            socket->disconnectFromServer();
            // Opened once the socket is done with: opening may ask questions in boxes.
            QMetaObject::invokeMethod(
                this, [this, file] { emit fileHandedOver(file); }, Qt::QueuedConnection);
        });
    }
}

bool SingleInstance::handOver(const QString &file, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverName(m_folder));
        if (socket.waitForConnected(500)) {
            socket.write(file.toUtf8() + '\n');
            socket.waitForBytesWritten(1000);
            QByteArray answer;
            while (!answer.endsWith('\n') &&
                   socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                answer += socket.readAll();
            if (answer == kReceived)
                return true;
        }
        QThread::msleep(100); // the copy that runs may not be listening yet
    }
    return false;
}
