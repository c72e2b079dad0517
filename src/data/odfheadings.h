#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

class OdfPackage;

// Headings for an OpenDocument text whose writer knows only plain paragraphs: the paragraphs of
// the automatic styles named become headings with an outline level, on the heading styles
// ("Heading 1", "Heading 2"…) a word processor lists in its outline.
namespace OdfHeadings {

// The outline level (1 to 10) of each automatic paragraph style whose paragraphs are headings.
using Levels = QHash<QString, int>;

// content.xml with those paragraphs as text:h and their styles under "Heading N", the rest kept
// character for character; none when it is not well-formed XML or a heading's tag has no prefix.
std::optional<QByteArray> content(const QByteArray &content, const Levels &levels);
// styles.xml (an empty one when `styles` is empty) with the heading styles up to `deepest`
// added to its common styles.
std::optional<QByteArray> styles(const QByteArray &styles, int deepest);
// The manifest with an entry for `path`, unless it has one.
std::optional<QByteArray> manifest(const QByteArray &manifest, const QString &path,
                                   const QString &mediaType);

// All three on a package; false when a part cannot be read (the package is then unchanged).
bool apply(OdfPackage &package, const Levels &levels);

} // namespace OdfHeadings
