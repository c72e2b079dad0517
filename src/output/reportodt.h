#pragma once

#include "core/reportdocument.h"

#include <QByteArray>

class QIODevice;

// The report as an OpenDocument text a designer builds on: an A4 page with the PDF's margins and
// a foot on every page (the project, the compartment, the revision, "Pagina N di M"), real
// headings with outline levels (the summary and each compartment at level 1, their parts at
// level 2), tables whose columns fit their content, with the header row repeated on every page,
// and one named style for each kind of text ("Ardivo Corpo", "Ardivo Tabella", …), so that the
// whole document is restyled in one place. A block the word processor cannot hold as text (a
// chart) goes in as a picture drawn by the report layout.
namespace ReportOdt {

// The package's bytes; empty when it could not be made.
QByteArray package(const ReportDocument &document);
// Writes the package to `device`; false when it could not be written whole.
bool write(const ReportDocument &document, QIODevice *device);

} // namespace ReportOdt
