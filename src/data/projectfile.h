#pragma once

#include "core/project.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Project files (.ardivo): JSON, readable and diffable. The top object names the format and its
// version; a reader takes every version up to its own and refuses a newer one, and ignores keys
// it does not know, so that a later version can add fields. Each compartment holds its method and
// every input with its own values (a catalogue changed later does not change it), and the
// results as shown, for whoever reads the file without the program. From version 2 each
// compartment names the rule it applies; a compartment of a version 1 file applies the decree.
namespace ProjectFile {

inline const QString kFormat = QStringLiteral("ardivo-project");
inline constexpr int kVersion = 2;
inline const QString kSuffix = QStringLiteral("ardivo");
// What a real job needs, with room to spare: a building of a thousand compartments, a
// compartment of fifty thousand entries, a file of 64 MB (a thousand compartments of two hundred
// entries take about 40 MB). A file beyond them is refused with a message, and a project beyond
// them is not saved.
inline constexpr qint64 kLargestFile = 64LL * 1024 * 1024;
inline constexpr int kMostCompartments = 1000;
inline constexpr int kMostEntries = 50000;

QByteArray toJson(const Project &project);

struct Read {
    std::optional<Project> project;
    QString error; // why the file is not a project Ardivo can open, in Italian
};
Read fromJson(const QByteArray &json);
// Why a compartment could not be read back from a file once stored (a source too long, a control
// character): an empty text when it would open again.
QString compartmentRefusal(const Compartment &compartment);

// Writes a new file and puts it in the place of the old one in a single step: a failure at any
// point leaves the old file whole.
struct Saved {
    QString error;         // empty on success, else the reason in Italian
    bool readOnly = false; // the file or its folder cannot be written: another place may do
    bool ok() const { return error.isEmpty(); }
};
Saved save(const QString &path, const Project &project);
Read load(const QString &path);

} // namespace ProjectFile
