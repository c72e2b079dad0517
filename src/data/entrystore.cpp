#include "data/entrystore.h"

#include "data/workingtables.h"

#include <algorithm>

namespace EntryStore {
namespace {

// What tells the two kinds of entry apart: the calculation's list and the working table.
template <class Entry> struct Kind;

template <> struct Kind<MaterialEntry> {
    static const QVector<MaterialEntry> &of(const CalculationSession &s)
    {
        return s.calculation().materials;
    }
    static void set(CalculationSession &s, const QVector<MaterialEntry> &e) { s.setMaterials(e); }
    static auto read() { return WorkingTables::materials(); }
    static bool append(const QVector<MaterialEntry> &e)
    {
        return WorkingTables::appendMaterials(e);
    }
    static bool replace(int row, const MaterialEntry &e)
    {
        return WorkingTables::replaceMaterialAt(row, e);
    }
    static bool remove(const QList<int> &rows) { return WorkingTables::removeMaterialsAt(rows); }
    static bool clear() { return WorkingTables::clearMaterials(); }
};

template <> struct Kind<FurnishingEntry> {
    static const QVector<FurnishingEntry> &of(const CalculationSession &s)
    {
        return s.calculation().furnishings;
    }
    static void set(CalculationSession &s, const QVector<FurnishingEntry> &e)
    {
        s.setFurnishings(e);
    }
    static auto read() { return WorkingTables::furnishings(); }
    static bool append(const QVector<FurnishingEntry> &e)
    {
        return WorkingTables::appendFurnishings(e);
    }
    static bool replace(int row, const FurnishingEntry &e)
    {
        return WorkingTables::replaceFurnishingAt(row, e);
    }
    static bool remove(const QList<int> &rows) { return WorkingTables::removeFurnishingsAt(rows); }
    static bool clear() { return WorkingTables::clearFurnishings(); }
};

template <class Entry> bool load(CalculationSession &session)
{
    const auto kept = Kind<Entry>::read();
    if (kept)
        Kind<Entry>::set(session, *kept);
    return kept.has_value();
}

// After the table changed: the calculation takes the table's rows (read from the list kept up
// to date, not from the file), or what the change made of its own when they cannot be read.
template <class Entry>
bool follow(CalculationSession &session, bool changed, const QVector<Entry> &expected)
{
    if (!changed)
        return false;
    Kind<Entry>::set(session, Kind<Entry>::read().value_or(expected));
    return true;
}

template <class Entry> bool add(CalculationSession &session, const QVector<Entry> &entries)
{
    if (entries.isEmpty())
        return true;
    if (!Kind<Entry>::append(entries))
        return false;
    // As follow(), with the list the addition makes built only when the table cannot be read:
    // an entry added to thousands does not copy them all once more for nothing.
    const auto kept = Kind<Entry>::read();
    Kind<Entry>::set(session, kept ? *kept : Kind<Entry>::of(session) + entries);
    return true;
}

template <class Entry> bool replace(CalculationSession &session, int row, const Entry &entry)
{
    QVector<Entry> expected = Kind<Entry>::of(session);
    if (row < 0 || row >= expected.size())
        return false;
    expected[row] = entry;
    return follow(session, Kind<Entry>::replace(row, entry), expected);
}

template <class Entry> bool remove(CalculationSession &session, const QList<int> &rows)
{
    QVector<Entry> expected = Kind<Entry>::of(session);
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted) {
        if (row < 0 || row >= expected.size())
            return false;
        expected.removeAt(row);
    }
    if (sorted.isEmpty())
        return true;
    return follow(session, Kind<Entry>::remove(sorted), expected);
}

template <class Entry> bool clear(CalculationSession &session)
{
    return follow(session, Kind<Entry>::clear(), QVector<Entry>());
}

} // namespace

bool loadMaterials(CalculationSession &session)
{
    return load<MaterialEntry>(session);
}

bool loadFurnishings(CalculationSession &session)
{
    return load<FurnishingEntry>(session);
}

bool addMaterials(CalculationSession &session, const QVector<MaterialEntry> &entries)
{
    return add(session, entries);
}

bool addFurnishings(CalculationSession &session, const QVector<FurnishingEntry> &entries)
{
    return add(session, entries);
}

bool replaceMaterial(CalculationSession &session, int row, const MaterialEntry &entry)
{
    return replace(session, row, entry);
}

bool replaceFurnishing(CalculationSession &session, int row, const FurnishingEntry &entry)
{
    return replace(session, row, entry);
}

bool removeMaterials(CalculationSession &session, const QList<int> &rows)
{
    return remove<MaterialEntry>(session, rows);
}

bool removeFurnishings(CalculationSession &session, const QList<int> &rows)
{
    return remove<FurnishingEntry>(session, rows);
}

bool clearMaterials(CalculationSession &session)
{
    return clear<MaterialEntry>(session);
}

bool clearFurnishings(CalculationSession &session)
{
    return clear<FurnishingEntry>(session);
}

} // namespace EntryStore
