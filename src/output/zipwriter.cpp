#include "output/zipwriter.h"

#include <QDateTime>
#include <algorithm>
#include <optional>
#include <zlib.h>

namespace {

// Every size and offset is a 32-bit field whose highest value announces ZIP64; the same for the
// 16-bit count of entries.
constexpr qint64 kSizeLimit = 0xFFFFFFFE;
constexpr quint32 kCountLimit = 0xFFFE;
constexpr quint16 kUtf8Name = 0x0800;            // general purpose flag bit 11
constexpr quint16 kMadeByUnix = 3 << 8 | 20;     // the attributes are Unix's; zip format 2.0
constexpr quint16 kVersionNeeded = 20;           // 2.0: deflate
constexpr quint32 kRegularFile = 0100644u << 16; // a file readable by all, writable by its owner

// Little-endian, as every field of a zip is.
void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8 & 0xFF));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Raw deflate (no zlib header or trailer), in one call into a buffer of the bound's size.
std::optional<QByteArray> deflated(const QByteArray &bytes)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const bool whole = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return whole ? std::optional(out) : std::nullopt;
}

} // namespace

ZipWriter::ZipWriter()
{
    // MS-DOS time: seconds halved, years from 1980.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = now.date();
    const QTime time = now.time();
    m_time = quint16(time.hour() << 11 | time.minute() << 5 | time.second() / 2);
    m_date = quint16(std::clamp(day.year() - 1980, 0, 127) << 9 | day.month() << 5 | day.day());
}

bool ZipWriter::add(const QString &name, const QByteArray &bytes, Method method)
{
    const QByteArray utf8 = name.toUtf8();
    std::optional<QByteArray> data;
    if (!m_failed && m_count < kCountLimit && utf8.size() <= 0xFFFF && bytes.size() <= kSizeLimit)
        data = method == Method::Stored ? bytes : deflated(bytes);
    const qint64 offset = m_entries.size();
    // The archive so far, this entry's local header (30 bytes), its central header (46), its name
    // in both, its data and the end record (22) must stay within reach of 32-bit offsets.
    if (!data ||
        offset + m_directory.size() + 30 + 46 + 22 + 2 * utf8.size() + data->size() > kSizeLimit) {
        m_failed = true;
        return false;
    }
    const bool ascii =
        std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return uchar(c) < 0x80; });
    const quint32 crc =
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.constData()),
              uInt(bytes.size()));
    // The fields that the local header and the central directory's header share, in this order.
    const auto common = [&](QByteArray &out) {
        put16(out, kVersionNeeded);
        put16(out, ascii ? 0 : kUtf8Name);
        put16(out, method == Method::Stored ? 0 : Z_DEFLATED);
        put16(out, m_time);
        put16(out, m_date);
        put32(out, crc);
        put32(out, quint32(data->size())); // compressed size
        put32(out, quint32(bytes.size()));
        put16(out, quint32(utf8.size()));
        put16(out, 0); // extra field's length
    };
    // Local header: signature, the shared fields, the name; then the data.
    put32(m_entries, 0x04034B50);
    common(m_entries);
    m_entries += utf8;
    m_entries += *data;
    // Central directory header: signature, made by, the shared fields, comment's length, disk,
    // internal and external attributes, the local header's offset, the name.
    put32(m_directory, 0x02014B50);
    put16(m_directory, kMadeByUnix);
    common(m_directory);
    put16(m_directory, 0);
    put16(m_directory, 0);
    put16(m_directory, 0);
    put32(m_directory, kRegularFile);
    put32(m_directory, quint32(offset));
    m_directory += utf8;
    ++m_count;
    return true;
}

QByteArray ZipWriter::archive() const
{
    if (m_failed)
        return QByteArray();
    // End of central directory: signature, this disk and the directory's (both 0), the entries on
    // this disk and in all, the directory's size and offset, the comment's length.
    QByteArray end;
    put32(end, 0x06054B50);
    put16(end, 0);
    put16(end, 0);
    put16(end, m_count);
    put16(end, m_count);
    put32(end, quint32(m_directory.size()));
    put32(end, quint32(m_entries.size()));
    put16(end, 0);
    return m_entries + m_directory + end;
}
