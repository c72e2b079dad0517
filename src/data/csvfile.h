#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Reads and writes separated text with standard quoting: a field that begins with a double
// quote may hold the separator and line breaks, and a doubled quote stands for one quote; a quote
// inside an unquoted field is a plain character (Tubo 2" PVC). Lines end with CR LF, LF or CR
// alone. Blank lines are skipped.
namespace CsvFile {

// One record with the line of the text it starts on (from 1).
struct Record {
    int line = 0;
    QStringList fields;
};

// At most `most` records are read when it is not negative: the rest of the text is left.
QList<Record> records(const QString &text, QChar separator = QLatin1Char(','), qsizetype most = -1);
QList<QStringList> parse(const QString &text, QChar separator = QLatin1Char(','));

// The separator of a file: ';', ',' or a tab, whichever its first record holds most of outside
// quotes (';' when it holds none, as Italian spreadsheets write).
QChar guessSeparator(const QString &text);

// The text of a file's bytes: UTF-8, with or without its byte-order mark, when the whole file is
// valid UTF-8, or else Windows-1252, which spreadsheets in Italy write when told to save plain
// CSV; `windows1252`, when given, tells which.
QString decode(const QByteArray &bytes, bool *windows1252 = nullptr);

// One record as a line, quoting the fields that need it, ended by CR LF.
QString line(const QStringList &fields, QChar separator);

} // namespace CsvFile
