#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The zip package an OpenDocument file is: read whole from memory, its entries read and
// replaced, and written again as ODF wants it, the "mimetype" entry first and stored, the others
// deflated. It reads what the document writer has just written, but takes nothing on trust: a
// truncated or damaged archive, wrong sizes or checksums, or an entry too large to be a report
// make `read` refuse it.
class OdfPackage
{
public:
    // An entry larger than this, or a package whose entries add up to more, is refused.
    static constexpr qint64 kMaxEntrySize = 256 * 1024 * 1024;

    // The package held in `bytes`; none when they are not a whole, sound zip archive.
    static std::optional<OdfPackage> read(const QByteArray &bytes);

    QStringList names() const; // in the archive's order
    bool contains(const QString &name) const;
    QByteArray entry(const QString &name) const; // null when there is none
    // Replaces the bytes of `name`, or adds it at the end.
    void setEntry(const QString &name, const QByteArray &data);

    // The archive; none when it could not be compressed.
    std::optional<QByteArray> write() const;

private:
    struct Entry {
        QString name;
        QByteArray data;
        quint16 time = 0; // MS-DOS time and date, kept as the archive had them
        quint16 date = 0;
    };
    int indexOf(const QString &name) const;

    QVector<Entry> m_entries;
};
