#include "data/csvfile.h"

#include <QStringDecoder>

namespace CsvFile {

QList<Record> records(const QString &text, QChar separator, qsizetype most)
{
    QList<Record> rows;
    Record row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // a character of the field has been read: a quote is plain
    bool rowHasContent = false;
    int line = 1;
    row.line = line;

    auto endField = [&] {
        row.fields << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRow = [&] {
        endField();
        if (rowHasContent)
            rows << row;
        row = Record{line, {}};
        rowHasContent = false;
    };
    // CR LF, LF and CR alone all end a line; `i` is left on its last character.
    auto lineEnd = [&](qsizetype &i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            ++line;
            return true;
        }
        return false;
    };

    for (qsizetype i = 0; i < text.size() && rows.size() != most; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (lineEnd(i)) {
                field += QLatin1Char('\n'); // a line break inside quotes is kept as LF
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            rowHasContent = true;
        } else if (c == separator) {
            endField();
            rowHasContent = true;
        } else if (lineEnd(i)) {
            endRow();
        } else {
            field += c;
            fieldStarted = true;
            rowHasContent = true;
        }
    }
    if (rows.size() != most)
        endRow();
    return rows;
}

QList<QStringList> parse(const QString &text, QChar separator)
{
    QList<QStringList> rows;
    for (const Record &record : records(text, separator))
        rows << record.fields;
    return rows;
}

QChar guessSeparator(const QString &text)
{
    const QChar candidates[] = {QLatin1Char(';'), QLatin1Char(','), QLatin1Char('\t')};
    int counts[] = {0, 0, 0};
    bool quoted = false;
    bool fieldStarted = false; // as the reader has it: a quote opens only a field's text
    bool justClosed = false;   // a quote here is the second of a doubled one
    for (const QChar c : text) {
        if (quoted) {
            quoted = c != QLatin1Char('"');
            justClosed = !quoted;
            continue;
        }
        if (c == QLatin1Char('"') && (justClosed || !fieldStarted)) {
            quoted = true;
            fieldStarted = true;
            continue;
        }
        justClosed = false;
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        fieldStarted = true;
        for (int i = 0; i < 3; ++i) {
            if (c == candidates[i]) {
                ++counts[i];
                fieldStarted = false;
            }
        }
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return candidates[best];
}

namespace {

// The characters Windows-1252 puts at 0x80 to 0x9F, where Latin-1 has control codes.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QStringDecoder named("windows-1252");
    if (named.isValid())
        return named.decode(bytes);
    QString text = QString::fromLatin1(bytes); // where ICU is not there to name it
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(kWindows1252High[c.unicode() - 0x80]);
    }
    return text;
}

} // namespace

QString decode(const QByteArray &bytes, bool *windows1252)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes); // drops a byte-order mark
    if (windows1252)
        *windows1252 = utf8.hasError();
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

QString line(const QStringList &fields, QChar separator)
{
    QStringList quoted;
    for (const QString &field : fields) {
        const bool needsQuotes = field.contains(separator) || field.contains(QLatin1Char('"')) ||
                                 field.contains(QLatin1Char('\n')) ||
                                 field.contains(QLatin1Char('\r')) || field != field.trimmed();
        if (needsQuotes)
            quoted << QLatin1Char('"') +
                          QString(field).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                          QLatin1Char('"');
        else
            quoted << field;
    }
    return quoted.join(separator) + QLatin1String("\r\n");
}

} // namespace CsvFile
