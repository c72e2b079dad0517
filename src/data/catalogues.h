#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

// Reading and editing the four reference catalogues. Names are always bound values, so any name
// (apostrophes, quotes, text that looks like SQL) is stored and found like any other.
// The four reference catalogues.
enum class Catalogue { Materials, Activities, Furnishings, StoredGoods };

namespace Catalogues {

struct Activity {
    QString name;
    QVariant nominalLoad; // null when the catalogue holds no value
    QString description;
};
std::optional<Activity> activity(qint64 id);

struct Entry {
    qint64 id = 0;
    QString name;
    QVariant value;
};

// Adds an entry; returns it as the database stored it.
std::optional<Entry> add(Catalogue catalogue, const QString &name, double value);
// The first entry with exactly this name, if any. `failed` tells a database error from no entry.
std::optional<Entry> firstNamed(Catalogue catalogue, const QString &name, bool *failed = nullptr);
bool remove(Catalogue catalogue, qint64 id);
// Every entry, in the order they were added; nothing when the catalogue cannot be read.
std::optional<QVector<Entry>> entries(Catalogue catalogue);

} // namespace Catalogues
