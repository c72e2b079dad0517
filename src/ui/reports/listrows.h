#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>
#include <vector>

class PageView;
class QLineEdit;
class QRect;
class QWidget;

// The rows of an itemised list as read-only text fields on a page canvas: the field showing
// row k of column "X" is named "X_k". Only the rows in sight, or on the sheet being printed,
// have a field; when the page scrolls the fields move to the rows that come into sight, so a
// list of any length costs about one screenful of fields.
class ListRows : public QObject
{
    Q_OBJECT
public:
    struct Column {
        const char *name; // control array name
        int left, width;  // twips
        bool centred;
        int cell;           // the cell of the document's row that the column shows
        int firstIndex = 0; // the number of the section's first row in the field names
    };

    static constexpr int kRowHeight = 195; // twips
    static constexpr int kRowStep = kRowHeight + 60;

    explicit ListRows(PageView *view);

    void clear();
    // Adds a section: one row per entry from `firstTop` (twips) down, then one empty row. The
    // entries are the rows of a table of the report document, each column showing its cell.
    // Returns the top of that empty row.
    int addSection(std::vector<Column> columns, int firstTop, QList<QStringList> entries);

    // Gives a field to every row that meets `area` (canvas pixels) and takes them from the rest.
    void cover(const QRect &area);
    // Covers the part of the page the window shows (the first sheet while it is not shown).
    void coverVisible();

private:
    struct Section {
        std::vector<Column> columns;
        int firstTop = 0;
        QList<QStringList> entries;
        int capacity = 0;                // rows the fields can show at once
        std::vector<QLineEdit *> fields; // capacity × columns, slot by slot
        std::vector<int> shownRow;       // the row each slot shows, -1 for none
        int rowCount() const { return int(entries.size()) + 1; }
    };

    int rowTop(const Section &section, int row) const;    // canvas pixels
    int rowBottom(const Section &section, int row) const; // last pixel row, inclusive
    void cover(Section &section, const QRect &area);
    void grow(Section &section, int capacity);
    void show(Section &section, int slot, int row);
    bool continuedLater(const Section &section, const char *name) const;

    PageView *m_view;
    QWidget *m_canvas;
    std::vector<Section> m_sections;
};
