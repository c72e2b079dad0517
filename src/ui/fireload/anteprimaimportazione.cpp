#include "ui/fireload/anteprimaimportazione.h"

#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/inventoryfile.h"
#include "ui/kit/widgets.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The rows of the preview: "Riga", the file's columns, "MJ" and "Esito".
class PreviewModel : public QAbstractTableModel
{
public:
    PreviewModel(const QStringList &headings, const QVector<AnteprimaImportazione::Line> &lines,
                 QObject *parent)
        : QAbstractTableModel(parent), m_headings(headings), m_lines(lines)
    {
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_lines.size();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_headings.size() + 3;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const AnteprimaImportazione::Line &line = m_lines.at(index.row());
        const int column = index.column();
        const int loadColumn = m_headings.size() + 1;
        if (role == Qt::ForegroundRole && !line.refusal.isEmpty())
            return QBrush(QColor(0xA0, 0x10, 0x10));
        if (role == Qt::TextAlignmentRole && (column == 0 || column == loadColumn))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return QVariant();
        if (column == 0)
            return line.line;
        if (column <= m_headings.size())
            return shortened(line.cells.value(column - 1));
        if (column == loadColumn)
            return line.refusal.isEmpty() ? CalculationTexts::entryLoad(line.load) : QString();
        return line.refusal.isEmpty() ? QStringLiteral("da importare")
                                      : QStringLiteral("scartata: ") + shortened(line.refusal);
    }

    // A cell of a million characters would take the grid seconds to measure and show.
    static QString shortened(const QString &text)
    {
        if (text.size() <= AnteprimaImportazione::kLongestCell)
            return text;
        qsizetype cut = AnteprimaImportazione::kLongestCell - 1;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        return text.left(cut) + QChar(0x2026);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (section == 0)
            return QStringLiteral("Riga");
        if (section <= m_headings.size())
            return m_headings.at(section - 1);
        return section == m_headings.size() + 1 ? QStringLiteral("MJ") : QStringLiteral("Esito");
    }

private:
    QStringList m_headings;
    QVector<AnteprimaImportazione::Line> m_lines;
};

} // namespace

AnteprimaImportazione::AnteprimaImportazione(QWidget *parent, const QString &fileName,
                                             const QStringList &headings,
                                             const QVector<Line> &lines,
                                             std::function<void()> import, const QString &note)
    : QDialog(parent), m_import(std::move(import))
{
    setObjectName(QStringLiteral("AnteprimaImportazione"));
    setWindowTitle(QStringLiteral("Importa elenco"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    int accepted = 0;
    double total = 0;
    for (const Line &line : lines) {
        accepted += line.refusal.isEmpty();
        total += line.refusal.isEmpty() ? line.load : 0;
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        makeLabel(this, "lblFile", QStringLiteral("Righe lette da %1").arg(fileName)));
    if (!note.isEmpty()) {
        QLabel *noteLabel = makeLabel(this, "lblCodifica", note);
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    auto *grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DataGridAnteprima"));
    grid->setModel(new PreviewModel(headings, lines, grid));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    // The widths from the first rows: a list of thousands is shown at once, not measured whole.
    grid->horizontalHeader()->setResizeContentsPrecision(200);
    grid->verticalHeader()->setResizeContentsPrecision(200);
    grid->resizeColumnsToContents();
    if (grid->columnWidth(1) > 280)
        grid->setColumnWidth(1, 280);
    layout->addWidget(grid, 1);

    const int refused = int(lines.size()) - accepted;
    layout->addWidget(makeLabel(this, "lblRiepilogo",
                                QStringLiteral("%1 righe da importare (%2 MJ), %3 scartate.")
                                    .arg(accepted)
                                    .arg(CalculationTexts::entryLoad(total))
                                    .arg(refused)));

    auto *buttons = new QHBoxLayout;
    auto *importButton = makeButton(this, "cmdImporta", QStringLiteral("Importa"));
    auto *cancel = makeButton(this, "cmdAnnulla", QStringLiteral("Annulla"));
    importButton->setEnabled(accepted > 0);
    importButton->setAutoDefault(true);
    importButton->setDefault(accepted > 0);
    buttons->addStretch();
    buttons->addWidget(importButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(importButton, &QPushButton::clicked, this, &AnteprimaImportazione::cmdImporta_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(960, 540);
}

void AnteprimaImportazione::cmdImporta_Click()
{
    accept();
    if (m_import)
        m_import();
}

namespace InventoryTransfer {
namespace {

const QString kFilter = QStringLiteral("Elenchi CSV (*.csv *.txt);;Tutti i file (*)");
const QString kReadAsWindows1252 =
    QStringLiteral("Il file non è in UTF-8: è stato letto con la codifica Windows-1252. "
                   "Controllare le lettere accentate prima di importare.");

QString number(const Amount &amount)
{
    return CalculationTexts::number(amount);
}

QStringList materialCells(const InventoryFile::Row<MaterialEntry> &row)
{
    if (!row.accepted())
        return row.cells;
    const MaterialEntry &e = row.entry;
    return {e.name, number(e.valuePerKg), number(e.quantity), number(e.psi), number(e.m)};
}

QStringList furnishingCells(const InventoryFile::Row<FurnishingEntry> &row)
{
    if (!row.accepted())
        return row.cells;
    const FurnishingEntry &e = row.entry;
    QString packaging;
    if (e.packaging.isNumber())
        packaging = e.packaging.value() == 1.0 ? QStringLiteral("no") : QStringLiteral("sì");
    return {e.furnishing,         number(e.valuePerPiece), number(e.pieces), e.goods,
            number(e.valuePerM3), number(e.volume),        packaging};
}

// The file the user picks, read into rows; then the preview, which hands the accepted
// entries to `add`.
template <class Entry, class Read, class Cells>
void importFile(QWidget *screen, const QStringList &headings, Read read, Cells cells,
                std::function<void(const QVector<Entry> &)> add)
{
    const QString path = UserPrompt::current().openFileName(
        kAppTitle, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), kFilter);
    if (path.isEmpty())
        return;
    QString error;
    const QByteArray bytes = InventoryFile::readFile(path, &error);
    if (!error.isEmpty()) {
        UserPrompt::current().message(error, kAppTitle, UserPrompt::Icon::Warning);
        return;
    }
    const InventoryFile::Reading<Entry> reading = read(bytes);
    if (!reading.error.isEmpty()) {
        UserPrompt::current().message(QStringLiteral("Impossibile importare %1.\n%2")
                                          .arg(QFileInfo(path).fileName(), reading.error),
                                      kAppTitle, UserPrompt::Icon::Warning);
        return;
    }
    QVector<AnteprimaImportazione::Line> lines;
    lines.reserve(reading.rows.size());
    for (const auto &row : reading.rows)
        lines << AnteprimaImportazione::Line{
            row.line, cells(row), row.accepted() ? entryFireLoad(row.entry) : 0, row.refusal};
    // A value the list gives without a source of its own is the list's.
    QVector<Entry> accepted = reading.accepted();
    const QString listSource = CalculationRules::listSource(QFileInfo(path).fileName(),
                                                            QFileInfo(path).lastModified().date());
    for (Entry &entry : accepted) {
        if (entry.source.isEmpty())
            entry.source = listSource;
    }
    auto *preview = new AnteprimaImportazione(
        screen, QFileInfo(path).fileName(), headings, lines, [add, accepted] { add(accepted); },
        reading.windows1252 ? kReadAsWindows1252 : QString());
    preview->setWindowFlag(Qt::Window);
    preview->show();
    preview->raise();
    preview->activateWindow();
}

template <class Entry>
void exportFile(const QVector<Entry> &entries, const QString &proposedName,
                QByteArray (*write)(const QVector<Entry> &))
{
    if (entries.isEmpty()) {
        showMessage(QStringLiteral("Non ci sono voci da esportare."));
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = UserPrompt::current().saveFileName(
        kAppTitle, folder + QLatin1Char('/') + proposedName, kFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (const QString error = InventoryFile::writeFile(path, write(entries)); !error.isEmpty())
        UserPrompt::current().message(error, kAppTitle, UserPrompt::Icon::Warning);
}

} // namespace

void importMaterials(QWidget *screen, const EntriesSum &sum,
                     std::function<void(const QVector<MaterialEntry> &)> add)
{
    importFile<MaterialEntry>(
        screen, InventoryFile::materialColumns(),
        [&](const QByteArray &bytes) {
            return InventoryFile::readMaterials(
                bytes, InventoryFile::catalogueIndex(Catalogue::Materials), sum);
        },
        materialCells, std::move(add));
}

void importFurnishings(QWidget *screen, const EntriesSum &sum,
                       std::function<void(const QVector<FurnishingEntry> &)> add)
{
    importFile<FurnishingEntry>(
        screen, InventoryFile::furnishingColumns(),
        [&](const QByteArray &bytes) {
            return InventoryFile::readFurnishings(
                bytes, InventoryFile::catalogueIndex(Catalogue::Furnishings),
                InventoryFile::catalogueIndex(Catalogue::StoredGoods), sum);
        },
        furnishingCells, std::move(add));
}

void exportMaterials(const QVector<MaterialEntry> &entries)
{
    exportFile<MaterialEntry>(entries, QStringLiteral("elenco materiali.csv"),
                              &InventoryFile::writeMaterials);
}

void exportFurnishings(const QVector<FurnishingEntry> &entries)
{
    exportFile<FurnishingEntry>(entries, QStringLiteral("elenco arredi e merci.csv"),
                                &InventoryFile::writeFurnishings);
}

} // namespace InventoryTransfer
