#include "ui/app/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kReceived = QByteArrayLiteral("ok\n");

// The user's own runtime folder, checked again here: owned by this user and closed to others.
QString privateFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return QString();
    const QFileInfo info(folder);
    if (!info.isDir())
        return QString();
#ifdef Q_OS_UNIX
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.ownerId() != ::geteuid() || (info.permissions() & others))
        return QString();
#endif
    return info.absoluteFilePath();
}

// Whether the process at the other end of a connected socket is this user's. Where the system
// cannot say, the private folder is the guard.
bool sameUser(const QLocalSocket &socket)
{
#if defined(Q_OS_LINUX) && defined(SO_PEERCRED)
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::geteuid();
#else
    Q_UNUSED(socket)
    return true;
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(QDir(dataFolder).absolutePath())
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString &dataFolder)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return QString();
    const QByteArray data = QDir(dataFolder).absolutePath().toUtf8();
    return QDir(folder).filePath(
        QStringLiteral("ardivo-") +
        QString::fromLatin1(
            QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex().left(24)));
}

bool SingleInstance::claim()
{
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("Ardivo.lock")));
    // Held for the whole run: it goes stale only when its process has ended.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return m_lock->error() != QLockFile::LockFailedError;
    const QString name = serverName(m_folder);
    if (name.isEmpty()) {
        m_listenError = QStringLiteral("manca una cartella privata dell'utente per i file "
                                       "temporanei");
        return true;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours: a socket of the same name was left by a copy that ended abruptly.
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        m_listenError = m_server->errorString();
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!sameUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(kLongestMessage);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // No path is this long: the sender is not a start of Ardivo.
                if (socket->bytesAvailable() >= kLongestMessage)
                    socket->abort();
                return;
            }
            const QString file = QString::fromUtf8(socket->readLine(kLongestMessage)).chopped(1);
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
    const QString name = serverName(m_folder);
    const QByteArray message = file.toUtf8() + '\n';
    if (name.isEmpty() || message.size() > kLongestMessage)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(500) && sameUser(socket)) {
            socket.write(message);
            socket.waitForBytesWritten(1000);
            QByteArray answer;
            while (!answer.endsWith('\n') && answer.size() <= kReceived.size() &&
                   socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                answer += socket.readAll();
            if (answer == kReceived)
                return true;
        }
        QThread::msleep(100); // the copy that runs may not be listening yet
    }
    return false;
}
