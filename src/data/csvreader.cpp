#include "data/csvreader.h"

namespace CsvReader {

QList<QStringList> parse(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool rowHasContent = false;

    auto endField = [&] {
        row << field;
        field.clear();
    };
    auto endRow = [&] {
        endField();
        if (rowHasContent)
            rows << row;
        row.clear();
        rowHasContent = false;
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            rowHasContent = true;
        } else if (c == QLatin1Char(',')) {
            endField();
            rowHasContent = true;
        } else if (c == QLatin1Char('\n')) {
            endRow();
        } else if (c != QLatin1Char('\r')) {
            field += c;
            rowHasContent = true;
        }
    }
    endRow();
    return rows;
}

} // namespace CsvReader
