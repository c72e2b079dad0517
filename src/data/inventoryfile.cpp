#include "data/inventoryfile.h"

#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/textmatch.h"
#include "core/wholefile.h"
#include "data/csvfile.h"

#include <QLocale>
#include <QSet>
#include <optional>

namespace InventoryFile {
namespace {

// A heading as compared: no accents, case, units' punctuation ("Quantità (kg)" -> "quantita kg").
QString headingKey(const QString &heading)
{
    QString key = TextMatch::folded(heading);
    key.replace(QChar(0x00B3), QLatin1Char('3')).replace(QChar(0x00B2), QLatin1Char('2'));
    for (QChar &c : key) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char(' ');
    }
    return key.simplified();
}

using Headings = QList<QStringList>; // for each column of an entry, the headings it goes by

const Headings &materialHeadings()
{
    static const Headings headings = {
        {"materiale", "descrizione", "nome", "tipo di materiale", "descrizione materiale"},
        {"potere calorifico mj kg", "potere calorifico", "potere calorifico inferiore",
         "potere calorifico inferiore mj kg", "mj kg", "h", "h mj kg", "valore mj kg"},
        {"quantita kg", "quantita", "qta", "qta kg", "massa", "massa kg", "kg"},
        {"psi", "ψ", "fattore psi", "fattore ψ"},
        {"m", "fattore m"},
        {"fonte", "fonte del valore", "riferimento"}};
    return headings;
}

const Headings &furnishingHeadings()
{
    static const Headings headings = {
        {"arredo", "arredi", "tipo di arredo"},
        {"potere calorifico mj pezzo", "mj pezzo", "valore mj pezzo", "carico mj pezzo"},
        {"pezzi", "quantita pezzi", "qta pezzi", "numero pezzi", "n pezzi"},
        {"merce in deposito", "merce", "merci", "materiale in deposito",
         "tipo di merce in deposito"},
        {"potere calorifico mj m3", "mj m3", "valore mj m3"},
        {"volume m3", "volume", "quantita m3", "qta m3", "m3"},
        {"imballo", "imballaggio", "imballaggio merce"},
        {"fonte", "fonte del valore", "riferimento"}};
    return headings;
}

enum MaterialColumn { MName, MValue, MQuantity, MPsi, MFactor, MSource };
enum FurnishingColumn { FName, FValue, FPieces, GName, GValue, GVolume, GPackaging, FSource };

// The file's records and, for each column of the entry, where its cells are (-1: absent).
struct Table {
    QString error;
    bool windows1252 = false;
    QChar separator;
    QList<CsvFile::Record> records; // the heading's record excluded
    QVector<int> columns;
};

Table readTable(const QByteArray &bytes, const Headings &headings)
{
    Table table;
    const QString text = CsvFile::decode(bytes, &table.windows1252);
    table.separator = CsvFile::guessSeparator(text);
    // The heading, the most rows, and one more to know there are too many.
    table.records = CsvFile::records(text, table.separator, kMostRows + 2);
    table.columns = QVector<int>(headings.size(), -1);
    if (table.records.isEmpty()) {
        table.error = QStringLiteral("Il file è vuoto.");
        return table;
    }
    if (table.records.size() > kMostRows + 1) {
        table.error = QStringLiteral("Il file ha più di %1 righe: un compartimento non può "
                                     "contenerne tante.")
                          .arg(ItalianNumbers::toGroupedText(kMostRows));
        table.records.clear();
        return table;
    }
    const QStringList heading = table.records.takeFirst().fields;
    for (int i = 0; i < heading.size(); ++i) {
        const QString key = headingKey(heading.at(i));
        for (int c = 0; c < headings.size(); ++c) {
            if (table.columns[c] < 0 && headings.at(c).contains(key)) {
                table.columns[c] = i;
                break;
            }
        }
    }
    return table;
}

// A text that a spreadsheet would take for a formula (or whose first character it would drop)
// is written after an apostrophe, which spreadsheets show as plain text and which is removed
// again on reading. A text that already begins with apostrophes before such a sign gets one
// more, so that the reader gives it back as it was.
bool needsFormulaGuard(QStringView text)
{
    static const QString signs = QStringLiteral("=+-@\t\r");
    qsizetype at = 0;
    while (at < text.size() && text.at(at) == QLatin1Char('\''))
        ++at;
    return at < text.size() && signs.contains(text.at(at));
}

QString spreadsheetSafe(const QString &cell)
{
    return needsFormulaGuard(cell) ? QLatin1Char('\'') + cell : cell;
}

QString withoutFormulaGuard(const QString &cell)
{
    return cell.startsWith(QLatin1Char('\'')) && needsFormulaGuard(QStringView(cell).mid(1))
               ? cell.mid(1)
               : cell;
}

QStringList cellsOf(const CsvFile::Record &record, const QVector<int> &columns)
{
    QStringList cells;
    for (const int column : columns)
        cells << (column >= 0 && column < record.fields.size()
                      ? withoutFormulaGuard(record.fields.at(column).trimmed())
                      : QString());
    return cells;
}

bool blank(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

// A cell's number in the file's own form, else in the other one ("0.8" in an Italian file).
std::optional<double> number(const QString &cell, QChar separator)
{
    const auto italian = [&] { return ItalianNumbers::toDouble(cell); };
    const auto withPoint = [&]() -> std::optional<double> {
        bool ok = false;
        const double value = QLocale::c().toDouble(cell.trimmed(), &ok);
        return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    };
    if (separator == QLatin1Char(','))
        return withPoint() ? withPoint() : italian();
    return italian() ? italian() : withPoint();
}

QString quotedCell(const QString &cell)
{
    return QStringLiteral("«%1»").arg(cell);
}

constexpr double kLargestValue = 1e6; // MJ per kg, per piece or per m³

// Reads one numeric cell; the refusal is set when it is missing, unreadable or below `least`.
std::optional<double> readNumber(const QString &cell, QChar separator, const QString &what,
                                 double least, const QString &below, QString &refusal)
{
    if (!refusal.isEmpty())
        return std::nullopt;
    if (cell.isEmpty()) {
        refusal = QStringLiteral("manca %1").arg(what);
        return std::nullopt;
    }
    const auto value = number(cell, separator);
    if (!value)
        refusal = QStringLiteral("%1 non è un numero: %2").arg(what, quotedCell(cell));
    else if (*value < least)
        refusal = below;
    return refusal.isEmpty() ? value : std::nullopt;
}

// The entry rule of the calculation for a number read: its reason, as a clause, when it fails.
void checkRule(std::optional<double> &value, QString (*rule)(double), QString &refusal)
{
    if (!value || !refusal.isEmpty())
        return;
    const QString why = rule(*value);
    if (why.isEmpty())
        return;
    refusal = clause(why);
    value.reset();
}

// A factor chosen from `allowed`; an empty cell is 1, as the screen proposes.
std::optional<double> readFactor(const QString &cell, QChar separator, const QString &name,
                                 const QVector<double> &allowed, QString &refusal)
{
    if (!refusal.isEmpty())
        return std::nullopt;
    if (cell.isEmpty())
        return 1.0;
    const auto value = number(cell, separator);
    if (value && allowed.contains(*value))
        return value;
    const QStringList texts = CalculationTexts::numbers(allowed);
    refusal = QStringLiteral("%1 deve essere %2 o %3, non %4")
                  .arg(name, texts.mid(0, texts.size() - 1).join(QStringLiteral(", ")),
                       texts.last(), quotedCell(cell));
    return std::nullopt;
}

// The value of a named entry: the cell's when given, else the catalogue's (and its spelling).
std::optional<double> readValue(QString &name, const QString &cell, QChar separator,
                                const QString &unit, const CatalogueIndex &catalogue,
                                const QString &catalogueName, QString &refusal,
                                QString *source = nullptr)
{
    if (!cell.isEmpty() || !refusal.isEmpty()) {
        const auto value = readNumber(
            cell, separator, QStringLiteral("il potere calorifico"), 1,
            QStringLiteral("il potere calorifico è inferiore a 1 %1").arg(unit), refusal);
        // Far beyond any real material: a slip of the keyboard, not a value to show in full.
        if (value && *value > kLargestValue) {
            refusal = QStringLiteral("il potere calorifico supera %1 %2")
                          .arg(ItalianNumbers::toGroupedText(kLargestValue), unit);
            return std::nullopt;
        }
        return value;
    }
    const auto found = catalogue.constFind(TextMatch::folded(name));
    if (found == catalogue.constEnd()) {
        refusal = QStringLiteral("manca il potere calorifico, e %1 non è nel catalogo %2")
                      .arg(quotedCell(name), catalogueName);
        return std::nullopt;
    }
    name = found->name;
    // The catalogue's value comes with the catalogue's source, unless the file gives one.
    if (source && source->isEmpty())
        *source = found->source;
    return found->value;
}

// A source by the rules of names, refused whole rather than cut; a tab or a line end in the
// cell is refused too, as a file that was cut in the wrong places.
QString sourceRefusal(QString &source)
{
    for (const QChar c : std::as_const(source)) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("la fonte contiene caratteri di controllo");
    }
    source = CalculationRules::normalisedName(source);
    if (source.size() > CalculationRules::kLongestName)
        return QStringLiteral("la fonte è troppo lunga: al massimo %1 caratteri")
            .arg(CalculationRules::kLongestName);
    if (const QString why = CalculationRules::nameRefusal(source); !why.isEmpty())
        return QStringLiteral("la fonte non è valida: %1").arg(clause(why));
    return QString();
}

// Names as the screens keep them (blanks simplified), and the entry's numbers by the rules of a
// typed entry.
QString sharedRulesRefusal(MaterialEntry &entry)
{
    entry.name = CalculationRules::normalisedName(entry.name);
    if (const QString why = CalculationRules::nameRefusal(entry.name); !why.isEmpty())
        return why;
    if (const QString why = sourceRefusal(entry.source); !why.isEmpty())
        return why;
    return entryRefusal(entry);
}

QString sharedRulesRefusal(FurnishingEntry &entry)
{
    for (QString *name : {&entry.furnishing, &entry.goods}) {
        *name = CalculationRules::normalisedName(*name);
        if (const QString why = CalculationRules::nameRefusal(*name); !why.isEmpty())
            return why;
    }
    if (const QString why = sourceRefusal(entry.source); !why.isEmpty())
        return why;
    return entryRefusal(entry);
}

template <class Entry, class ReadRow>
Reading<Entry> readRows(const QByteArray &bytes, const Headings &headings, EntriesSum sum,
                        ReadRow readRow)
{
    Reading<Entry> reading;
    Table table = readTable(bytes, headings);
    reading.windows1252 = table.windows1252;
    if (!table.error.isEmpty()) {
        reading.error = table.error;
        return reading;
    }
    if (const QString missing = readRow.missingColumns(table.columns); !missing.isEmpty()) {
        reading.error = missing;
        return reading;
    }
    reading.rows.reserve(table.records.size());
    for (const CsvFile::Record &record : std::as_const(table.records)) {
        if (blank(record.fields))
            continue;
        Row<Entry> row;
        row.line = record.line;
        row.cells = cellsOf(record, table.columns);
        readRow(row, table.separator);
        // Last, the rules every entry obeys wherever it comes from.
        if (row.accepted())
            row.refusal = sharedRulesRefusal(row.entry);
        if (row.accepted()) {
            const double load = entryFireLoad(row.entry);
            if (staysFinite(sum, load))
                sum.total += load;
            else
                row.refusal = QStringLiteral("il carico d'incendio risulta troppo grande per "
                                             "essere calcolato");
        }
        reading.rows << row;
    }
    return reading;
}

QString numberText(const Amount &amount)
{
    return amount.isNumber() ? ItalianNumbers::toText(amount.value()) : QString();
}

QByteArray fileBytes(const QStringList &heading, const QList<QStringList> &rows)
{
    QString text = CsvFile::line(heading, QLatin1Char(';'));
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &cell : row)
            cells << spreadsheetSafe(cell);
        text += CsvFile::line(cells, QLatin1Char(';'));
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace

CatalogueIndex indexByName(const QVector<CatalogueValue> &entries)
{
    CatalogueIndex index;
    for (const CatalogueValue &entry : entries) {
        const QString key = TextMatch::folded(entry.name);
        if (!index.contains(key)) // the first of equal names, as the chooser finds it
            index.insert(key, entry);
    }
    return index;
}

CatalogueIndex catalogueIndex(Catalogue catalogue)
{
    QVector<CatalogueValue> values;
    for (const Catalogues::Entry &entry :
         Catalogues::entries(catalogue).value_or(QVector<Catalogues::Entry>()))
        values << CatalogueValue{entry.name, entry.value.toDouble(), entry.source};
    return indexByName(values);
}

QStringList materialColumns()
{
    return {QStringLiteral("Materiale"),
            QStringLiteral("Potere calorifico (MJ/kg)"),
            QStringLiteral("Quantità (kg)"),
            QStringLiteral("psi"),
            QStringLiteral("m"),
            QStringLiteral("Fonte")};
}

QStringList furnishingColumns()
{
    return {QStringLiteral("Arredo"),
            QStringLiteral("Potere calorifico (MJ/pezzo)"),
            QStringLiteral("Pezzi"),
            QStringLiteral("Merce in deposito"),
            QStringLiteral("Potere calorifico (MJ/m³)"),
            QStringLiteral("Volume (m³)"),
            QStringLiteral("Imballo"),
            QStringLiteral("Fonte")};
}

Reading<MaterialEntry> readMaterials(const QByteArray &bytes, const CatalogueIndex &materials,
                                     const EntriesSum &sum)
{
    struct ReadMaterial {
        const CatalogueIndex &catalogue;
        QString missingColumns(const QVector<int> &columns) const
        {
            if (columns[MName] < 0)
                return QStringLiteral("Nel file manca la colonna \"Materiale\" (o "
                                      "\"Descrizione\") nella prima riga.");
            if (columns[MQuantity] < 0)
                return QStringLiteral("Nel file manca la colonna \"Quantità (kg)\" nella prima "
                                      "riga.");
            return QString();
        }
        void operator()(Row<MaterialEntry> &row, QChar separator) const
        {
            const QStringList &cells = row.cells;
            QString name = cells[MName];
            QString &refusal = row.refusal;
            if (name.isEmpty())
                refusal = QStringLiteral("manca il nome del materiale");
            QString source = cells[MSource];
            const auto value =
                readValue(name, cells[MValue], separator, QStringLiteral("MJ/kg"), catalogue,
                          QStringLiteral("dei materiali"), refusal, &source);
            const auto quantity =
                readNumber(cells[MQuantity], separator, QStringLiteral("la quantità"), 0,
                           QStringLiteral("la quantità è negativa"), refusal);
            const auto psi = readFactor(cells[MPsi], separator, QStringLiteral("ψ"),
                                        CalculationRules::psiFactors(), refusal);
            const auto m = readFactor(cells[MFactor], separator, QStringLiteral("m"),
                                      CalculationRules::mFactors(), refusal);
            if (!refusal.isEmpty())
                return;
            row.entry = MaterialEntry{name,
                                      Amount::number(*value),
                                      Amount::number(*quantity),
                                      Amount::number(*psi),
                                      Amount::number(*m),
                                      source};
        }
    };
    return readRows<MaterialEntry>(bytes, materialHeadings(), sum, ReadMaterial{materials});
}

Reading<FurnishingEntry> readFurnishings(const QByteArray &bytes, const CatalogueIndex &furnishings,
                                         const CatalogueIndex &goods, const EntriesSum &sum)
{
    struct ReadFurnishing {
        const CatalogueIndex &furnishings;
        const CatalogueIndex &goods;
        QString missingColumns(const QVector<int> &columns) const
        {
            if (columns[FName] < 0 && columns[GName] < 0)
                return QStringLiteral("Nel file manca la colonna \"Arredo\" o \"Merce in "
                                      "deposito\" nella prima riga.");
            if (columns[FName] >= 0 && columns[FPieces] < 0)
                return QStringLiteral("Nel file manca la colonna \"Pezzi\" nella prima riga.");
            if (columns[GName] >= 0 && columns[GVolume] < 0)
                return QStringLiteral("Nel file manca la colonna \"Volume (m³)\" nella prima "
                                      "riga.");
            return QString();
        }
        void operator()(Row<FurnishingEntry> &row, QChar separator) const
        {
            const QStringList &cells = row.cells;
            QString &refusal = row.refusal;
            FurnishingEntry &entry = row.entry;
            entry.furnishing = cells[FName];
            entry.goods = cells[GName];
            entry.source = cells[FSource];
            const bool furnishing = !entry.furnishing.isEmpty() || !cells[FValue].isEmpty() ||
                                    !cells[FPieces].isEmpty();
            const bool stored =
                !entry.goods.isEmpty() || !cells[GValue].isEmpty() || !cells[GVolume].isEmpty();
            if (furnishing && entry.furnishing.isEmpty())
                refusal = QStringLiteral("manca il nome dell'arredo");
            if (stored && entry.goods.isEmpty() && refusal.isEmpty())
                refusal = QStringLiteral("manca il nome della merce in deposito");
            if (!furnishing && !stored)
                refusal = QStringLiteral("manca il nome dell'arredo o della merce");
            if (furnishing) {
                const auto value = readValue(
                    entry.furnishing, cells[FValue], separator, QStringLiteral("MJ/pezzo"),
                    furnishings, QStringLiteral("degli arredi"), refusal, &entry.source);
                auto pieces =
                    readNumber(cells[FPieces], separator, QStringLiteral("il numero di pezzi"), 1,
                               QStringLiteral("i pezzi sono meno di 1"), refusal);
                checkRule(pieces, CalculationRules::piecesRefusal, refusal);
                if (value && pieces) {
                    entry.valuePerPiece = Amount::number(*value);
                    entry.pieces = Amount::number(*pieces);
                }
            }
            if (stored) {
                const auto value =
                    readValue(entry.goods, cells[GValue], separator, QStringLiteral("MJ/m³"), goods,
                              QStringLiteral("delle merci"), refusal, &entry.source);
                auto volume = readNumber(cells[GVolume], separator, QStringLiteral("il volume"), 0,
                                         QStringLiteral("il volume è negativo"), refusal);
                checkRule(volume, CalculationRules::volumeRefusal, refusal);
                const auto packaging = readPackaging(cells[GPackaging], refusal);
                if (value && volume && packaging) {
                    entry.valuePerM3 = Amount::number(*value);
                    entry.volume = Amount::number(*volume);
                    entry.packaging = Amount::number(*packaging);
                }
            }
        }
        static std::optional<double> readPackaging(const QString &cell, QString &refusal)
        {
            static const QSet<QString> yes = {"si", "s", "x", "vero", "1,1", "1.1"};
            static const QSet<QString> no = {"", "no", "n", "falso", "1"};
            const QString key = TextMatch::folded(cell);
            if (yes.contains(key))
                return CalculationRules::kPackagingFactor;
            if (no.contains(key))
                return 1.0;
            if (refusal.isEmpty())
                refusal = QStringLiteral("imballo deve essere \"sì\" o \"no\", non %1")
                              .arg(quotedCell(cell));
            return std::nullopt;
        }
    };
    return readRows<FurnishingEntry>(bytes, furnishingHeadings(), sum,
                                     ReadFurnishing{furnishings, goods});
}

QByteArray writeMaterials(const QVector<MaterialEntry> &entries)
{
    QList<QStringList> rows;
    rows.reserve(entries.size());
    for (const MaterialEntry &e : entries)
        rows << QStringList{e.name,
                            numberText(e.valuePerKg),
                            numberText(e.quantity),
                            numberText(e.psi),
                            numberText(e.m),
                            e.source};
    return fileBytes(materialColumns(), rows);
}

QByteArray writeFurnishings(const QVector<FurnishingEntry> &entries)
{
    QList<QStringList> rows;
    rows.reserve(entries.size());
    for (const FurnishingEntry &e : entries) {
        QString packaging;
        if (e.packaging.isNumber())
            packaging = e.packaging.value() == 1.0 ? QStringLiteral("no") : QStringLiteral("sì");
        rows << QStringList{e.furnishing,
                            numberText(e.valuePerPiece),
                            numberText(e.pieces),
                            e.goods,
                            numberText(e.valuePerM3),
                            numberText(e.volume),
                            packaging,
                            e.source};
    }
    return fileBytes(furnishingColumns(), rows);
}

QByteArray readFile(const QString &path, QString *error)
{
    WholeFile::Contents file = WholeFile::read(path, kLargestFile, QStringLiteral("un elenco"));
    *error = file.refusal.isEmpty() ? QString()
                                    : QStringLiteral("Impossibile leggere il file %1: %2.")
                                          .arg(quotedCell(path), file.refusal);
    return file.bytes;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    if (const QString reason = WholeFile::write(path, bytes); !reason.isEmpty())
        return QStringLiteral("Impossibile scrivere il file %1: %2.").arg(quotedCell(path), reason);
    return QString();
}

} // namespace InventoryFile
