#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Reads and writes separated text with standard quoting: a field in double quotes may hold the
// separator and line breaks, and a doubled quote stands for one quote. Blank lines are skipped.
namespace CsvReader {

// One record with the line of the text it starts on (from 1).
struct Record {
    int line = 0;
    QStringList fields;
};

QList<Record> records(const QString &text, QChar separator = QLatin1Char(','));
QList<QStringList> parse(const QString &text, QChar separator = QLatin1Char(','));

// The separator of a file: ';', ',' or a tab, whichever its first record holds most of outside
// quotes (';' when it holds none, as Italian spreadsheets write).
QChar guessSeparator(const QString &text);

// The text of a file's bytes: UTF-8, with or without its byte-order mark, or else Windows-1252,
// which spreadsheets in Italy write when told to save plain CSV.
QString decode(const QByteArray &bytes);

// One record as a line, quoting the fields that need it, ended by CR LF.
QString line(const QStringList &fields, QChar separator);

} // namespace CsvReader
