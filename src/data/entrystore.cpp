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

// The session takes `entries` once the mirror has taken the change.
template <class Entry>
bool follow(CalculationSession &session, bool written, const QVector<Entry> &entries)
{
    if (!written)
        return false;
    Kind<Entry>::set(session, entries);
    return true;
}

template <class Entry> bool add(CalculationSession &session, const QVector<Entry> &entries)
{
    if (entries.isEmpty())
        return true;
    if (!Kind<Entry>::append(entries))
        return false;
    Kind<Entry>::set(session, Kind<Entry>::of(session) + entries);
    return true;
}

template <class Entry> bool replace(CalculationSession &session, int row, const Entry &entry)
{
    QVector<Entry> expected = Kind<Entry>::of(session);
    if (row < 0 || row >= expected.size())
        return false;
    if (expected.at(row) == entry)
        return true;
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
    if (!Kind<Entry>::clear())
        return false;
    // An empty list stays as it is: nothing to announce.
    if (!Kind<Entry>::of(session).isEmpty())
        Kind<Entry>::set(session, {});
    return true;
}

} // namespace

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

bool load(CalculationSession &session, const Calculation &calculation,
          const QString &compartmentName)
{
    // The entries of the other method stay, as a new calculation keeps them: its screen shows
    // them when the user goes back to it.
    Calculation loaded = calculation;
    if (calculation.method != Method::Materials)
        loaded.materials = session.calculation().materials;
    if (calculation.method != Method::Furnishings)
        loaded.furnishings = session.calculation().furnishings;
    // Only the lists that change are written: a calculation by activity reopens without a
    // write, even from a database that cannot be written.
    const Calculation &now = session.calculation();
    const bool materials = loaded.materials != now.materials;
    const bool furnishings = loaded.furnishings != now.furnishings;
    const bool report = calculation.method == Method::Furnishings;
    if ((materials || furnishings || report) &&
        !WorkingTables::replaceEntries(materials ? &loaded.materials : nullptr,
                                       furnishings ? &loaded.furnishings : nullptr,
                                       report ? &loaded.furnishings : nullptr))
        return false;
    session.load(loaded, compartmentName);
    return true;
}

bool prepareReportTables(const CalculationSession &session)
{
    return WorkingTables::fillReportTables(session.calculation().furnishings);
}

} // namespace EntryStore
