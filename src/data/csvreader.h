#pragma once

#include <QList>
#include <QStringList>

// Reads comma-separated text with standard quoting: a field in double quotes may hold commas
// and line breaks, and a doubled quote stands for one quote. Blank lines are skipped.
namespace CsvReader {
QList<QStringList> parse(const QString &text);
}
