#include "ui/reports/listrows.h"

#include "ui/kit/widgets.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/pageview.h"

#include <QLineEdit>
#include <QRect>
#include <algorithm>
#include <cmath>

ListRows::ListRows(PageView *view) : QObject(view->canvas()), m_view(view), m_canvas(view->canvas())
{
    setObjectName(QStringLiteral("listRows"));
    connect(view, &PageView::canvasMoved, this, &ListRows::coverVisible);
}

void ListRows::clear()
{
    for (Section &section : m_sections)
        qDeleteAll(section.fields);
    m_sections.clear();
}

int ListRows::addSection(std::vector<Column> columns, int firstTop, QList<QStringList> entries)
{
    Section section;
    section.columns = std::move(columns);
    section.firstTop = firstTop;
    section.entries = std::move(entries);
    const int emptyRowTop = firstTop + int(section.entries.size()) * kRowStep;
    m_sections.push_back(std::move(section));
    return emptyRowTop;
}

int ListRows::rowTop(const Section &section, int row) const
{
    return PageView::toPixelsY(section.firstTop + row * kRowStep);
}

int ListRows::rowBottom(const Section &section, int row) const
{
    return rowTop(section, row) + PageView::toPixelsY(kRowHeight) - 1;
}

void ListRows::coverVisible()
{
    if (m_view->isVisible() && m_view->height() > 0) {
        cover(QRect(-m_canvas->x(), -m_canvas->y(), m_view->width(), m_view->height()));
        return;
    }
    const int sheet = m_canvas->property("sheetHeightPixels").toInt();
    cover(QRect(0, 0, m_canvas->width(), sheet > 0 ? sheet : m_canvas->height()));
}

void ListRows::cover(const QRect &area)
{
    for (Section &section : m_sections)
        cover(section, area);
}

void ListRows::cover(Section &section, const QRect &area)
{
    // Rows are evenly spaced: estimate the first row in the area, then settle it exactly.
    const double step = kRowStep * PageView::pixelsPerTwipY();
    const int last = section.rowCount() - 1;
    int first = std::clamp(int(std::floor((area.top() - rowTop(section, 0)) / step)) - 1, 0, last);
    while (first <= last && rowBottom(section, first) < area.top())
        ++first;
    int end = first; // one past the last row in the area
    while (end <= last && rowTop(section, end) <= area.bottom())
        ++end;

    if (end - first > section.capacity)
        grow(section, end - first);
    const int capacity = section.capacity;
    for (int slot = 0; slot < capacity; ++slot) {
        const int row = section.shownRow[size_t(slot)];
        if (row >= 0 && (row < first || row >= end)) {
            for (size_t c = 0; c < section.columns.size(); ++c) {
                QLineEdit *field = section.fields[size_t(slot) * section.columns.size() + c];
                field->hide();
                field->setObjectName(QString()); // a name always means the row it shows
            }
            section.shownRow[size_t(slot)] = -1;
        }
    }
    for (int row = first; row < end; ++row) {
        const int slot = row % capacity;
        if (section.shownRow[size_t(slot)] != row)
            show(section, slot, row);
    }
}

void ListRows::grow(Section &section, int rows)
{
    const int capacity = rows + 8; // room for a slightly taller window without growing again
    const QFont font = PageCanvas::sansSerif(7);
    QPalette buttonFace = m_canvas->palette();
    buttonFace.setColor(QPalette::Base, m_view->palette().color(QPalette::Button));
    for (size_t i = section.fields.size(); i < size_t(capacity) * section.columns.size(); ++i) {
        const Column &column = section.columns[i % section.columns.size()];
        auto *field = new QLineEdit(m_canvas);
        field->setReadOnly(true);
        field->setFrame(false);
        field->setFont(font);
        field->setPalette(buttonFace);
        field->setTextMargins(0, 0, 0, 0);
        if (column.centred)
            field->setAlignment(Qt::AlignCenter);
        field->hide();
        section.fields.push_back(field);
    }
    // Rows map to slots by their number modulo the capacity: every slot is assigned afresh.
    for (size_t slot = 0; slot < section.shownRow.size(); ++slot) {
        for (size_t c = 0; c < section.columns.size(); ++c)
            section.fields[slot * section.columns.size() + c]->hide();
    }
    section.shownRow.assign(size_t(capacity), -1);
    section.capacity = capacity;
}

bool ListRows::continuedLater(const Section &section, const char *name) const
{
    bool later = false;
    for (const Section &other : m_sections) {
        if (later) {
            for (const Column &column : other.columns) {
                if (qstrcmp(column.name, name) == 0)
                    return true;
            }
        }
        later = later || &other == &section;
    }
    return false;
}

void ListRows::show(Section &section, int slot, int row)
{
    const int top = section.firstTop + row * kRowStep;
    const QStringList *entry = row < section.entries.size() ? &section.entries[row] : nullptr;
    for (size_t c = 0; c < section.columns.size(); ++c) {
        const Column &column = section.columns[c];
        QLineEdit *field = section.fields[size_t(slot) * section.columns.size() + c];
        // The empty row under a section leaves unnamed the columns that the next section
        // numbers on: their name there means the next section's first entry.
        field->setObjectName(entry || !continuedLater(section, column.name)
                                 ? arrayElementName(column.name, column.firstIndex + row)
                                 : QString());
        field->setText(entry ? entry->value(column.cell) : QString());
        field->setCursorPosition(0);
        PageCanvas::place(field, column.left, top, column.width, kRowHeight);
        field->show();
    }
    section.shownRow[size_t(slot)] = row;
}
