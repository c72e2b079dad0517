#pragma once

#include "core/project.h"

#include <QDate>
#include <QPair>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

// The report of a calculation as a value: what every output of it (the screen pages, the printer,
// the PDF, the ODT) shows, every number already written as its Italian text. Built by the pure
// functions below from the calculation, the regulation and the project; no output adds a text
// of its own.

// Every value text of one compartment's report.
struct ReportFigures {
    QString fireLoad;        // q_f as the screens show it
    QString printedFireLoad; // q_f wherever it enters a printed product: two decimals
    QString woodEquivalent;  // "pari a … kg/m² di legna standard"
    QString area;
    QString areaClass;
    QString deltaQ1;
    QString riskClass;
    QString riskDescription;
    QString deltaQ2;
    QStringList measureFactors; // one for each measure of the regulation
    QString deltaN;
    QString designFireLoad;
    QString referenceClass;
    QString minimumClass;
};
ReportFigures reportFigures(const Calculation &calculation);

struct ReportTable {
    QString title;
    QStringList headers;
    QVector<double> widths;  // share of the table's width of each column
    QVector<bool> numeric;   // columns centred as numbers
    QList<QStringList> rows; // one per entry
    QStringList totals;      // the row under the last entry; empty when none
};

struct ReportBar {
    QString label;
    double value = 0;
    QString text; // the value as printed beside the bar
};

// One line of a Curve block: its points (x, y) in the units of the axes.
struct ReportSeries {
    QString label;
    QVector<QPointF> points;
    bool reference = false; // drawn thin and dashed, behind the others
};

struct ReportBlock {
    enum class Kind { Heading, Fields, Paragraph, Working, Table, Chart, Signature, Curve };
    Kind kind = Kind::Paragraph;
    QString text;                          // Heading, Paragraph, Chart and Signature captions
    QList<QPair<QString, QString>> fields; // Fields: caption and value; Signature: its lines
    QStringList lines;                     // Working: one step of the working each
    ReportTable table;
    QVector<ReportBar> bars;      // Chart, largest first
    QVector<ReportSeries> series; // Curve: the lines, with text as the caption
    QString xAxis, yAxis;         // Curve: the captions of the axes, units included
    QString separator; // Fields: "" for caption and value in two columns, ": " for one text
    bool keepWithPrevious = false; // never alone at the top of a sheet
};

// A part of the report that starts on a sheet of its own: a report page, a list, the working,
// the summary of a project.
struct ReportPart {
    QString title;
    QString regulation; // the heading of the rule it applies; the document's when empty
    QString foot;       // the project and the compartment, at the left of every sheet's foot
    // The compartment it reports on; empty for the summary and outside a job.
    QString compartment;
    QVector<ReportBlock> blocks;

    // The value beside `caption` in the part's fields; empty when there is none.
    QString field(const QString &caption) const;
    // The part's tables, in order.
    QVector<const ReportTable *> tables() const;
};

struct ReportDocument {
    QString title;  // of the file
    QString author; // the technician, where known
    QString subject;
    QString heading;    // at the top of every part
    QString regulation; // under the heading
    QString revision;   // "REV 01 del 12/01/2027", in every sheet's foot
    QDate date;         // in every sheet's foot
    QVector<ReportPart> parts;

    // Every text of the document, in order (for searching and for the tests).
    QStringList texts() const;
};

namespace ReportDocuments {

inline const QString kProgram = QStringLiteral("Ardivo");
inline const QString kProgramVersion = QStringLiteral("1.0");

// The captions of the report page's first fields, which the screens look up.
inline const QString kActivityType = QStringLiteral("Tipologia di attività");
inline const QString kValueSource = QStringLiteral("Fonte del valore");
inline const QString kNominalLoad = QStringLiteral("Carico d'incendio specifico [MJ/m²]");
inline const QString kFractile = QStringLiteral("Frattile 80%");
inline const QString kCompartmentArea = QStringLiteral("Superficie del compartimento A [m²]");
inline const QString kWoodEquivalent = QString(); // the line under q_f, without a caption
// The titles of the itemised lists' tables.
inline const QString kMaterialsTable = QStringLiteral("Carico d'incendio specifico materiali");
inline const QString kFurnishingsTable = QStringLiteral("Carico d'incendio specifico arredi");
inline const QString kGoodsTable = QStringLiteral("Carico d'incendio specifico merci in deposito");

// The calculation's report: the report page, the itemised list (materials and furnishings) and
// the working, with the band of the job's identity when the calculation belongs to a project.
ReportDocument compartment(const Calculation &calculation,
                           const ProjectIdentity *identity = nullptr,
                           const QString &compartmentName = QString());
// The parts of the calculation's report that the screens show as well, built as the document
// builds them: the report page (without the job's band) and the itemised list of the materials
// or furnishings (its tables, the totals under the last, the summary line).
ReportPart reportPage(const Calculation &calculation);
ReportPart itemisedList(const Calculation &calculation);
// The whole project: the summary of its compartments, then each compartment's report.
// Each compartment with the tables of the rule it applies.
ReportDocument project(const Project &project);
// The summary alone.
ReportDocument summary(const Project &project);

// The identity lines of the job's band, in order; with `compartment` after the activity.
QList<QPair<QString, QString>> identityFields(const ProjectIdentity &identity,
                                              const QString &compartment = QString(),
                                              bool withCompartment = true);
// "Normativa applicata: …" with every rule the project's compartments apply (the decree when
// there is none).
QString appliedRulesLine(const Project &project);
// The captions of the classes, for `level` ("II"); the rule's fixed level when none is given.
QString referenceClassCaption(const Regulation &regulation, const QString &level = QString());
QString minimumClassCaption(const Regulation &regulation, const QString &level = QString());
// The rule's heading naming the calculation's performance level.
QString headingOf(const Calculation &calculation);
// The performance levels the compartments under `rule` are at, each once, from I to V.
QStringList levelsUsed(const Project &project, Rule rule);
// The level, its meaning, what it requires, and the designer's reasons under "Attribuzione del
// livello di prestazione (tabella S.2-2)"; nothing under a rule without levels to choose.
QVector<ReportBlock> levelBlocks(const Calculation &calculation);
// The designer's reasons as lines of print: each line as typed, a line too long for one sheet
// in pieces cut between words.
QStringList reasonLines(const QString &reason);
// The caption of the report page of a method.
QString methodTitle(Method method);
// The lines of the working of q_f, the factors, q_f,d and the class.
QStringList working(const Calculation &calculation);
// What the technician should look at again, one sentence each: q_f,d within 2 % of a limit of
// the class table (with the limit and the class beyond it), a catalogue value typed over, an
// entry left out of the sum by ψ = 0. Empty when none applies.
QStringList warnings(const Calculation &calculation);
// The ten largest entries and, when there are more, the rest as "altri".
QVector<ReportBar> largestEntries(const Calculation &calculation);
// The appendix of the natural fire, after the working: nothing when the calculation has no
// enclosure or the curve cannot be computed.
// The natural fire's part of the report, written with its texts in core/naturalfiretexts.cpp.
// The chart of a natural fire against the standard curve.
ReportBlock naturalFireCurve(const NaturalFireResult &result);
std::optional<ReportPart> naturalFirePart(const Calculation &calculation);

} // namespace ReportDocuments
