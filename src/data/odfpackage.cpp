#include "data/odfpackage.h"

#include <QDateTime>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr qint64 kLocalSize = 30;
constexpr qint64 kCentralSize = 46;
constexpr qint64 kEndSize = 22;
constexpr qint64 kMaxComment = 0xFFFF;
constexpr quint16 kStored = 0;
constexpr quint16 kDeflated = 8;
constexpr quint16 kEncrypted = 0x0001;
constexpr quint16 kUtf8Name = 0x0800;
constexpr quint16 kMadeBy = 20; // zip 2.0, MS-DOS attributes
// Deflate shrinks nothing to less than about a thousandth: a larger claim is a damaged size, and
// refused before room is made for it.
constexpr qint64 kMaxRatio = 1100;

const QString kMimetype = QStringLiteral("mimetype");

quint16 le16(const char *at)
{
    return qFromLittleEndian<quint16>(at);
}

quint32 le32(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// Whether `length` bytes from `offset` lie before `limit`.
bool within(qint64 offset, qint64 length, qint64 limit)
{
    return offset >= 0 && length >= 0 && offset <= limit && length <= limit - offset;
}

quint32 checksum(const QByteArray &data)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                         uInt(data.size())));
}

// The `expected` bytes a raw deflate stream of exactly `size` bytes holds; none when the stream
// is damaged, ends early, or holds more or less than that.
std::optional<QByteArray> inflated(const char *data, qint64 size, qint64 expected)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    // One byte more than expected: a stream that holds more fills it and is caught.
    QByteArray out(expected + 1, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole =
        result == Z_STREAM_END && stream.total_out == uLong(expected) && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    out.resize(expected);
    return out;
}

std::optional<QByteArray> deflated(const QByteArray &data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    // Room for the worst case: one call then compresses the whole.
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return std::nullopt;
    return out;
}

// A picture in PNG or JPEG, which deflating would not shrink.
bool compressedAlready(const QByteArray &data)
{
    return data.startsWith("\x89PNG\r\n\x1a\n") || data.startsWith("\xff\xd8\xff");
}

// The MS-DOS time and date an entry added now carries.
QPair<quint16, quint16> dosStamp(const QDateTime &now)
{
    const QDate day = now.date();
    const QTime time = now.time();
    return {quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2)),
            quint16(((qMax(day.year(), 1980) - 1980) << 9) | (day.month() << 5) | day.day())};
}

} // namespace

std::optional<OdfPackage> OdfPackage::read(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qint64 size = bytes.size();
    // The end record is the last thing in the archive but for its comment.
    qint64 end = -1;
    for (qint64 at = size - kEndSize; at >= 0 && at >= size - kEndSize - kMaxComment; --at) {
        if (le32(data + at) == kEndSignature && at + kEndSize + le16(data + at + 20) == size) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return std::nullopt;
    const char *record = data + end;
    const quint16 count = le16(record + 10);
    const qint64 directorySize = le32(record + 12);
    const qint64 directoryStart = le32(record + 16);
    // One disk only, and the directory just before the end record.
    if (le16(record + 4) != 0 || le16(record + 6) != 0 || le16(record + 8) != count ||
        directoryStart + directorySize != end)
        return std::nullopt;

    OdfPackage package;
    qint64 total = 0;
    qint64 at = directoryStart;
    for (int i = 0; i < count; ++i) {
        if (!within(at, kCentralSize, end))
            return std::nullopt;
        const char *central = data + at;
        const quint16 flags = le16(central + 8);
        const quint16 method = le16(central + 10);
        const quint32 crc = le32(central + 16);
        const qint64 packedSize = le32(central + 20);
        const qint64 entrySize = le32(central + 24);
        const qint64 nameLength = le16(central + 28);
        const qint64 next =
            at + kCentralSize + nameLength + le16(central + 30) + le16(central + 32);
        const qint64 localStart = le32(central + 42);
        if (le32(central) != kCentralSignature || !within(at, next - at, end) ||
            (flags & kEncrypted) || (method != kStored && method != kDeflated) ||
            entrySize > kMaxEntrySize - total || (method == kStored && packedSize != entrySize) ||
            entrySize > packedSize * kMaxRatio + 64)
            return std::nullopt;
        total += entrySize;

        // The local header repeats the name; the data follows it and ends before the directory.
        if (!within(localStart, kLocalSize + nameLength, directoryStart))
            return std::nullopt;
        const char *local = data + localStart;
        const qint64 dataStart = localStart + kLocalSize + le16(local + 26) + le16(local + 28);
        if (le32(local) != kLocalSignature || le16(local + 26) != nameLength ||
            std::memcmp(local + kLocalSize, central + kCentralSize, size_t(nameLength)) != 0 ||
            !within(dataStart, packedSize, directoryStart))
            return std::nullopt;
        std::optional<QByteArray> content = method == kStored
                                                ? QByteArray(data + dataStart, packedSize)
                                                : inflated(data + dataStart, packedSize, entrySize);
        if (!content || checksum(*content) != crc)
            return std::nullopt;

        const QByteArray rawName(central + kCentralSize, nameLength);
        const QString name =
            (flags & kUtf8Name) ? QString::fromUtf8(rawName) : QString::fromLatin1(rawName);
        if (name.isEmpty() || package.contains(name))
            return std::nullopt;
        package.m_entries.push_back(
            {name, std::move(*content), le16(central + 12), le16(central + 14)});
        at = next;
    }
    if (at != end)
        return std::nullopt;
    return package;
}

QStringList OdfPackage::names() const
{
    QStringList names;
    for (const Entry &entry : m_entries)
        names << entry.name;
    return names;
}

int OdfPackage::indexOf(const QString &name) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

bool OdfPackage::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QByteArray OdfPackage::entry(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? QByteArray() : m_entries.at(i).data;
}

void OdfPackage::setEntry(const QString &name, const QByteArray &data)
{
    const int i = indexOf(name);
    if (i >= 0) {
        m_entries[i].data = data;
        return;
    }
    const auto stamp = dosStamp(QDateTime::currentDateTime());
    m_entries.push_back({name, data, stamp.first, stamp.second});
}

std::optional<QByteArray> OdfPackage::write() const
{
    // A reader learns the file's type from "mimetype" at a fixed offset: first, stored, with no
    // extra field.
    QVector<const Entry *> order;
    for (const Entry &entry : m_entries)
        (entry.name == kMimetype ? order.prepend(&entry) : order.append(&entry));
    if (order.size() > 0xFFFF)
        return std::nullopt;

    QByteArray archive;
    QByteArray directory;
    qint64 total = 0;
    for (const Entry *entry : order) {
        total += entry->data.size();
        if (total > kMaxEntrySize)
            return std::nullopt;
        std::optional<QByteArray> packed = entry->data;
        if (entry->name != kMimetype && !compressedAlready(entry->data)) {
            packed = deflated(entry->data);
            if (!packed)
                return std::nullopt;
        }
        // What deflating does not shrink is stored as it is.
        const bool store = packed->size() >= entry->data.size();
        if (store)
            packed = entry->data;
        const QByteArray name = entry->name.toUtf8();
        const bool ascii =
            std::all_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x80; });
        const quint16 method = store ? kStored : kDeflated;
        const quint16 needed = store ? 10 : 20;
        const quint32 crc = checksum(entry->data);
        const qint64 localStart = archive.size();

        // The fields the local header and the directory share.
        QByteArray common;
        put16(common, needed);
        put16(common, ascii ? 0 : kUtf8Name);
        put16(common, method);
        put16(common, entry->time);
        put16(common, entry->date);
        put32(common, crc);
        put32(common, quint32(packed->size()));
        put32(common, quint32(entry->data.size()));
        put16(common, quint16(name.size()));
        put16(common, 0); // no extra field

        put32(archive, kLocalSignature);
        archive += common;
        archive += name;
        archive += *packed;

        put32(directory, kCentralSignature);
        put16(directory, kMadeBy);
        directory += common;
        put16(directory, 0); // no comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, quint32(localStart));
        directory += name;
    }
    const qint64 directoryStart = archive.size();
    if (directoryStart + directory.size() > 0xFFFFFFFFLL)
        return std::nullopt;
    archive += directory;
    put32(archive, kEndSignature);
    put16(archive, 0); // this disk
    put16(archive, 0); // the directory's disk
    put16(archive, quint16(order.size()));
    put16(archive, quint16(order.size()));
    put32(archive, quint32(directory.size()));
    put32(archive, quint32(directoryStart));
    put16(archive, 0); // no comment
    return archive;
}
