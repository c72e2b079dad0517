#include "core/wholefile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace WholeFile {
namespace {

QString reasonOf(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("spazio su disco insufficiente");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("spazio su disco insufficiente (quota dell'utente esaurita)");
#endif
    case EFBIG:
        return QStringLiteral("file troppo grande per il sistema");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura del disco");
    default:
        return QString();
    }
}

// The reason of a failed call: the system's error number when the call left one, otherwise
// Qt's text of it compared with the known ones, otherwise `otherwise`.
QString failure(int error, const QFileDevice &file, const QString &otherwise)
{
    if (QString reason = reasonOf(error); !reason.isEmpty())
        return reason;
    for (const int known : {ENOSPC, EFBIG, EROFS, EACCES, EIO}) {
        if (file.errorString() == qt_error_string(known))
            return reasonOf(known);
    }
    return otherwise;
}

} // namespace

QString write(const QString &path, const QByteArray &bytes, bool *placeRefused)
{
    const auto refusedPlace = [placeRefused](const QString &reason) {
        if (placeRefused)
            *placeRefused = true;
        return reason;
    };
    if (placeRefused)
        *placeRefused = false;
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("la cartella non esiste");
    if (target.isDir())
        return refusedPlace(QStringLiteral("al suo posto c'è una cartella"));
    if (target.exists() && !target.isWritable())
        return refusedPlace(QStringLiteral("il file è in sola lettura"));
    if (!folder.isWritable())
        return refusedPlace(QStringLiteral("la cartella non consente la scrittura"));

    QSaveFile file(target.absoluteFilePath());
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        if (error == ENOSPC || error == EFBIG)
            return reasonOf(error);
        return refusedPlace(
            failure(error, file, QStringLiteral("impossibile creare il file nella cartella")));
    }
    // Unbuffered, each call reaches the system at once: a short count is the full disk or the
    // size limit, and errno still holds its reason.
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const QString reason =
            failure(errno, file, QStringLiteral("errore di scrittura sul disco"));
        file.cancelWriting();
        return reason;
    }
#ifdef Q_OS_UNIX
    // A file system may keep its refusal until the data reaches the disk.
    errno = 0;
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        const QString reason =
            failure(errno, file, QStringLiteral("errore di scrittura sul disco"));
        file.cancelWriting();
        return reason;
    }
#endif
    errno = 0;
    if (!file.commit())
        return failure(errno, file, QStringLiteral("impossibile sostituire il file esistente"));
    return QString();
}

Contents read(const QString &path, qint64 limit, const QString &kind)
{
    const auto refused = [](const QString &reason) { return Contents{QByteArray(), reason}; };
    const QString notPlain = QStringLiteral("non è un file ordinario (forse una pipe o un "
                                            "dispositivo) e non può essere %1")
                                 .arg(kind);
    const QString tooLarge = QStringLiteral("il file è troppo grande per %1 (al massimo %2 MB)")
                                 .arg(kind)
                                 .arg(limit / (1024 * 1024));
    const QFileInfo info(path);
    if (!info.exists())
        return refused(QStringLiteral("il file non esiste"));
    if (info.isDir())
        return refused(QStringLiteral("è una cartella, non %1").arg(kind));
    if (!info.isFile())
        return refused(notPlain);
    if (info.size() > limit)
        return refused(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(info.isReadable() ? QStringLiteral("il file non può essere aperto")
                                         : QStringLiteral("permesso negato"));
    if (file.isSequential())
        return refused(notPlain);
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return refused(tooLarge);
    if (file.error() != QFileDevice::NoError)
        return refused(QStringLiteral("errore di lettura dal disco"));
    return {bytes, QString()};
}

} // namespace WholeFile
