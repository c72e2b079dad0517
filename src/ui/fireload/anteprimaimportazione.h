#pragma once

#include "core/calculation.h"

#include <QDialog>
#include <QStringList>
#include <QVector>
#include <functional>

class QLabel;
class QPushButton;
class QTableView;

// The rows of a list file as read, before any of them is added: every row with its reading
// and, for a row that cannot be taken, the reason. "Importa" adds the accepted rows all at
// once; "Annulla" (or closing the window) adds nothing.
class AnteprimaImportazione : public QDialog
{
    Q_OBJECT
public:
    struct Line {
        int line = 0;
        QStringList cells; // under `headings`
        double load = 0;   // MJ, for an accepted row
        QString refusal;   // empty: accepted
    };

    // `note`, when not empty, is shown above the rows (how the file was read).
    AnteprimaImportazione(QWidget *parent, const QString &fileName, const QStringList &headings,
                          const QVector<Line> &lines, std::function<void()> import,
                          const QString &note = QString());

    // The longest text a cell of the preview shows; a longer one is cut there, with "…".
    static constexpr int kLongestCell = 120;

private:
    void cmdImporta_Click();

    std::function<void()> m_import;
};

// "Importa elenco…" and "Esporta elenco…" of the materials and furnishings screens: the file
// boxes, the preview, and the messages for a file that cannot be read or written.
namespace InventoryTransfer {

// Asks for a file and shows its preview over `screen`; `add` receives the accepted entries
// when the user imports them. `sum` is the sum of the entries already there.
void importMaterials(QWidget *screen, const EntriesSum &sum,
                     std::function<void(const QVector<MaterialEntry> &)> add);
void importFurnishings(QWidget *screen, const EntriesSum &sum,
                       std::function<void(const QVector<FurnishingEntry> &)> add);

// Asks for a file name and writes the entries there.
void exportMaterials(const QVector<MaterialEntry> &entries);
void exportFurnishings(const QVector<FurnishingEntry> &entries);

} // namespace InventoryTransfer
