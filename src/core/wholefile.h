#pragma once

#include <QByteArray>
#include <QString>

// Files read and written whole. A write either lands whole or does not happen: the bytes go to a
// temporary file beside the target without a buffer (so a full disk or a file-size limit is seen
// by the write that meets it, never by a flush nobody checks), are forced to the disk, and only
// then take the target's place. On any failure the old file stays as it was.
namespace WholeFile {

// Empty when `bytes` are in place at `path`; otherwise the reason in Italian, lower case, ready
// to follow "Impossibile …: " ("spazio su disco insufficiente", "file troppo grande per il
// sistema", "la cartella non esiste", …). `placeRefused`, when given, tells whether the place
// itself refused the file (a read-only file or folder, no permission), where another place may
// do.
QString write(const QString &path, const QByteArray &bytes, bool *placeRefused = nullptr);

struct Contents {
    QByteArray bytes;
    QString refusal; // empty when `bytes` are the whole file
};
// The whole of an ordinary file, or a link to one, of at most `limit` bytes; otherwise the reason
// in Italian, lower case, where `kind` names what the file should have been ("un elenco"). A pipe
// would block the program and a device would never end: nothing is opened before these checks,
// and nothing past the limit is read, even from a file that grows meanwhile.
Contents read(const QString &path, qint64 limit, const QString &kind);

} // namespace WholeFile
