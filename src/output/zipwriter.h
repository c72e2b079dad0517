#pragma once

#include <QByteArray>
#include <QString>

// A zip archive built in memory, one entry after another in the order they are added: what an
// OpenDocument package needs and nothing more. Each entry is stored as it is or deflated, its size
// and CRC-32 written in its header before its data (no data descriptors), its name in UTF-8.
// Archives past the classic format's limits (4 GiB, 65534 entries) are refused, not written as
// ZIP64; so is everything after a failed entry.
class ZipWriter
{
public:
    enum class Method { Stored, Deflated };

    ZipWriter();

    // Adds an entry; false when it cannot be written, and the archive is then lost.
    bool add(const QString &name, const QByteArray &bytes, Method method);
    // The whole archive with its central directory; empty after a failure.
    QByteArray archive() const;

private:
    QByteArray m_entries;   // each entry's local header and data
    QByteArray m_directory; // each entry's central directory header
    quint32 m_count = 0;
    quint16 m_time = 0; // the entries' modification time and date, as MS-DOS keeps them
    quint16 m_date = 0;
    bool m_failed = false;
};
