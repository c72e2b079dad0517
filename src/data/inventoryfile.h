#pragma once

#include "core/calculation.h"
#include "data/catalogues.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// Lists of entries as spreadsheets keep them: CSV with ';' and decimal comma, as Italian
// LibreOffice Calc and Excel save it, or with ',' and decimal point; UTF-8 or Windows-1252.
// The columns are found by their heading, in any order and letter case; others are ignored.
//
// Materials: "Materiale" (or "Descrizione"), "Potere calorifico (MJ/kg)" (optional: the
// catalogue's value for the name when the column or the cell is empty), "Quantità (kg)",
// "psi" (or "ψ", 1 when empty) and "m" (1 when empty).
// Furnishings and stored goods: "Arredo", "Potere calorifico (MJ/pezzo)", "Pezzi" for a
// furnishing; "Merce in deposito" (or "Merce"), "Potere calorifico (MJ/m³)", "Volume (m³)" and
// "Imballo" ("sì" or "no") for a stored good. A row may give either or both.
namespace InventoryFile {

// The names of a catalogue, letter case and accents aside, with their entry's name and value.
struct CatalogueValue {
    QString name;
    double value = 0;
    QString source = {}; // where the catalogue's value comes from
};
using CatalogueIndex = QHash<QString, CatalogueValue>;
CatalogueIndex indexByName(const QVector<CatalogueValue> &entries);
// The index of a catalogue of the database (empty when it cannot be read).
CatalogueIndex catalogueIndex(Catalogue catalogue);

// One row of the file as read: the line it starts on, its cells under the entry's columns
// (see materialColumns(), furnishingColumns()), the entry, and why it cannot be taken
// (empty when it is taken).
template <class Entry> struct Row {
    int line = 0;
    QStringList cells;
    Entry entry;
    QString refusal;
    bool accepted() const { return refusal.isEmpty(); }
};

template <class Entry> struct Reading {
    QString error; // why the file cannot be read at all; then there are no rows
    QVector<Row<Entry>> rows;
    bool windows1252 = false; // the file was not valid UTF-8, and was read as Windows-1252
    QVector<Entry> accepted() const
    {
        QVector<Entry> entries;
        for (const Row<Entry> &row : rows) {
            if (row.accepted())
                entries << row.entry;
        }
        return entries;
    }
};

// What a list file may hold: the size and the rows of twenty compartments' worth of entries
// would only freeze the program. A file beyond them is refused before it is read whole.
inline constexpr qint64 kLargestFile = 64LL * 1024 * 1024;
inline constexpr int kMostRows = 50000;

// The headings written, in the order of a row's cells.
QStringList materialColumns();
QStringList furnishingColumns();

// Reads a file's bytes under the rules of an entry typed on the screen; `sum` is the sum of
// the entries already there, which no row may make too large to be computed.
Reading<MaterialEntry> readMaterials(const QByteArray &bytes, const CatalogueIndex &materials,
                                     const EntriesSum &sum = {});
Reading<FurnishingEntry> readFurnishings(const QByteArray &bytes, const CatalogueIndex &furnishings,
                                         const CatalogueIndex &goods, const EntriesSum &sum = {});

// The entries as a file that reads back as the same entries: ';', decimal comma, UTF-8 with
// its byte-order mark (which spreadsheets need to read accents right), CR LF.
QByteArray writeMaterials(const QVector<MaterialEntry> &entries);
QByteArray writeFurnishings(const QVector<FurnishingEntry> &entries);

// The bytes of the file at `path`, or the reason they cannot be read in `error`.
QByteArray readFile(const QString &path, QString *error);
// Writes `bytes` whole or not at all; the reason it failed, or an empty text.
QString writeFile(const QString &path, const QByteArray &bytes);

} // namespace InventoryFile
