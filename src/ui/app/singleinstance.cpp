#include "ui/app/singleinstance.h"

#include "core/wholefile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QUuid>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

bool ownedByThisUser(const QFileInfo &info)
{
#ifdef Q_OS_UNIX
    return info.ownerId() == ::geteuid();
#else
    Q_UNUSED(info)
    return true;
#endif
}

// The user's own runtime folder, checked again here: owned by this user and closed to others.
QString privateFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return QString();
    const QFileInfo info(folder);
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (!info.isDir() || !ownedByThisUser(info) || (info.permissions() & others))
        return QString();
    return info.absoluteFilePath();
}

// How the mailboxes of a data folder's copies begin, the same for every copy of one user.
QString mailboxStem(const QString &dataFolder)
{
    const QByteArray data = QDir(dataFolder).absolutePath().toUtf8();
    return QStringLiteral("ardivo-") +
           QString::fromLatin1(
               QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex().left(24));
}

// The file a request names, when its bytes are one line of text: an absolute path, or empty.
std::optional<QString> requestedFile(const QByteArray &bytes)
{
    if (!bytes.endsWith('\n') || bytes.count('\n') != 1 || bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString file = utf8.decode(bytes.chopped(1));
    if (utf8.hasError() || !(file.isEmpty() || QDir::isAbsolutePath(file)))
        return std::nullopt;
    return file;
}

} // namespace

SingleInstance::SingleInstance(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(QDir(dataFolder).absolutePath())
{
}

SingleInstance::~SingleInstance()
{
    // Only when empty: a request still inside stays for its start to take back.
    if (!m_mailbox.isEmpty())
        QDir().rmdir(m_mailbox);
}

QString SingleInstance::mailbox(const QString &dataFolder, qint64 pid)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return QString();
    return QDir(folder).filePath(mailboxStem(dataFolder) + QLatin1Char('-') + QString::number(pid));
}

bool SingleInstance::claim()
{
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("Ardivo.lock")));
    // Held for the whole run: it goes stale only when its process has ended.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return m_lock->error() != QLockFile::LockFailedError;
    m_mailbox = mailbox(m_folder, QCoreApplication::applicationPid());
    if (m_mailbox.isEmpty()) {
        m_listenError = QStringLiteral("manca una cartella privata dell'utente per i file "
                                       "temporanei");
        return true;
    }
    // The lock is ours, so no other copy runs on this data folder: a mailbox of it was left by a
    // copy that ended abruptly, and what is in it predates this copy.
    QDir folder = QFileInfo(m_mailbox).dir();
    const QStringList left =
        folder.entryList({mailboxStem(m_folder) + QStringLiteral("-*")}, QDir::Dirs);
    for (const QString &name : left)
        QDir(folder.filePath(name)).removeRecursively();
    const QString shown = QDir::toNativeSeparators(m_mailbox);
    if (!folder.mkdir(m_mailbox, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_listenError = QStringLiteral("impossibile creare la cartella %1").arg(shown);
        return true;
    }
    auto *watcher = new QFileSystemWatcher(this);
    if (!watcher->addPath(m_mailbox)) {
        m_listenError = QStringLiteral("impossibile sorvegliare la cartella %1").arg(shown);
        return true;
    }
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &SingleInstance::takeRequests);
    // A later start may have left its request before the watch began.
    takeRequests();
    return true;
}

void SingleInstance::takeRequests()
{
    const QFileInfoList requests = QDir(m_mailbox).entryInfoList(
        {QLatin1Char('*') + kRequestEnding}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &request : requests) {
        std::optional<QString> file;
        if (!request.isSymLink() && ownedByThisUser(request) && request.size() <= kLongestMessage) {
            QFile bytes(request.filePath());
            if (bytes.open(QIODevice::ReadOnly))
                file = requestedFile(bytes.read(kLongestMessage + 1));
        }
        // Removing a request takes it: its start waits for it to go, and takes it back itself
        // when it gives up, so that one of the two removals fails.
        if (QFile::remove(request.filePath()) && file) {
            // Opened from the event loop: opening may ask questions in boxes, and the receiver
            // is connected once the claim is done.
            QMetaObject::invokeMethod(
                this, [this, path = *file] { emit fileHandedOver(path); }, Qt::QueuedConnection);
        }
    }
}

bool SingleInstance::handOver(const QString &file, int timeoutMs)
{
    const QByteArray message = file.toUtf8() + '\n';
    if (!m_lock || message.size() > kLongestMessage || privateFolder().isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    // The lock file tells the process of the copy that runs, which names its mailbox; that copy
    // may not have made it yet.
    QString box;
    while (box.isEmpty()) {
        qint64 pid = 0;
        const QString named =
            m_lock->getLockInfo(&pid, nullptr, nullptr) ? mailbox(m_folder, pid) : QString();
        if (QFileInfo(named).isDir())
            box = named;
        else if (deadline.hasExpired())
            return false;
        else
            QThread::msleep(20);
    }
    const QString request =
        QDir(box).filePath(QUuid::createUuid().toString(QUuid::Id128) + kRequestEnding);
    if (!WholeFile::write(request, message).isEmpty())
        return false;
    while (QFileInfo::exists(request) && !deadline.hasExpired())
        QThread::msleep(20);
    // Taken back, unless the copy that runs took it meanwhile.
    return !QFile::remove(request) && !QFileInfo::exists(request);
}
