#pragma once

#include <QByteArray>
#include <QString>

// Writes a file that either lands whole or is not written at all: the bytes go to a temporary
// file beside the target without a buffer (so a full disk or a file-size limit is seen by the
// write that meets it, never by a flush nobody checks), are forced to the disk, and only then
// take the target's place. On any failure the old file stays as it was.
namespace WholeFile {

// Empty when `bytes` are in place at `path`; otherwise the reason in Italian, lower case, ready
// to follow "Impossibile …: " ("spazio su disco insufficiente", "file troppo grande per il
// sistema", "la cartella non esiste", …). `placeRefused`, when given, tells whether the place
// itself refused the file (a read-only file or folder, no permission), where another place may
// do.
QString write(const QString &path, const QByteArray &bytes, bool *placeRefused = nullptr);

} // namespace WholeFile
