#include "core/reportdocument.h"

#include "core/calculationtexts.h"
#include "core/italiannumbers.h"

#include <algorithm>
#include <cmath>

namespace {

using Fields = QList<QPair<QString, QString>>;
const QString kTimes = QStringLiteral(" × ");

QString mj(double load)
{
    return CalculationTexts::printedNumber(load) + QStringLiteral(" MJ");
}

// q_f as it enters a printed product: two decimals, or more in the rare case where two do not
// give the printed q_f,d back, so that an officer who multiplies finds the same number.
QString printedFireLoad(const Calculation &c)
{
    const auto qf = fireLoad(c);
    if (!qf)
        return QString();
    const auto design = designFireLoad(c);
    const auto dq1 = deltaQ1(c);
    const auto dq2 = deltaQ2(c);
    if (!design || !dq1 || !dq2)
        return ItalianNumbers::toFixed2(*qf);
    const QString printedDesign = ItalianNumbers::toFixed2(*design);
    const double dn = deltaN(c);
    for (int decimals = 2; decimals < 6; ++decimals) {
        const QString text = ItalianNumbers::toFixed(*qf, decimals);
        const double printed = *ItalianNumbers::toDouble(text);
        if (ItalianNumbers::toFixed2(printed * dn * *dq1 * *dq2) == printedDesign)
            return text;
    }
    return ItalianNumbers::toFixed(*qf, 6);
}

// " = 0,612", or " ≈ 0,3305" for a delta n shown with fewer decimals than it has.
QString equalsOrAbout(const QString &deltaN)
{
    static const QString about = QStringLiteral("≈ ");
    return deltaN.startsWith(about) ? QLatin1Char(' ') + deltaN : QStringLiteral(" = ") + deltaN;
}

// "q_f,d = q_f · δq1 · δq2 · δn = 1.961,00 × 1,00 × 1,00 × 0,612 = 1.200,13 MJ/m²". A delta n
// with more decimals than it is shown with enters as the product of its factors, so that the
// printed numbers multiply out to the printed q_f,d.
QString designProduct(const Calculation &c, const ReportFigures &f)
{
    const Regulation &r = regulationOf(c);
    QStringList factors{f.printedFireLoad, f.deltaQ1, f.deltaQ2};
    if (CalculationTexts::deltaNExact(deltaN(c))) {
        factors << f.deltaN;
    } else {
        for (int i = 0; i < r.measures.size(); ++i) {
            if (c.measures.contains(i))
                factors << f.measureFactors.value(i);
        }
    }
    return QStringLiteral("q_f,d = q_f · δq1 · δq2 · δn = %1 = %2 MJ/m²")
        .arg(factors.join(kTimes), f.designFireLoad);
}

// An entry's own numbers (its value, ψ, m, its quantity) as the user typed or imported them,
// on the screens and on paper alike: what an officer compares with the source.
QString typed(const Amount &amount)
{
    return CalculationTexts::number(amount);
}

bool isFurnishing(const FurnishingEntry &e)
{
    return !e.furnishing.isEmpty() || !e.valuePerPiece.isMissing();
}

double furnishingPart(const FurnishingEntry &e)
{
    FurnishingEntry piece = e;
    piece.goods.clear();
    piece.valuePerM3 = piece.volume = piece.packaging = Amount();
    return entryFireLoad(piece);
}

double goodsPart(const FurnishingEntry &e)
{
    FurnishingEntry goods = e;
    goods.furnishing.clear();
    goods.valuePerPiece = goods.pieces = Amount();
    return entryFireLoad(goods);
}

// "si" for a packed good (its factor stands in the column's heading), "no" for one without
// packaging.
QString packagingText(const Amount &packaging)
{
    if (packaging.isNumber() && packaging.value() == 1.0)
        return QStringLiteral("no");
    if (packaging.isNumber() && packaging.value() == CalculationRules::kPackagingFactor)
        return QStringLiteral("si");
    return QString();
}

QString areaRange(const Regulation &r, int index)
{
    const QString from = CalculationTexts::printedNumber(r.areaClasses.at(index).from);
    if (index + 1 >= r.areaClasses.size())
        return QStringLiteral("A ≥ %1 m²").arg(from);
    const QString to = CalculationTexts::printedNumber(r.areaClasses.at(index + 1).from);
    return QStringLiteral("%1 ≤ A < %2 m²").arg(from, to);
}

// " - D.M. 9 marzo 2007, tabella 1"; nothing where the rule's table has no reference.
QString cited(const Regulation &r, const QString &table)
{
    return table.isEmpty() ? QString() : QStringLiteral(" - %1, %2").arg(r.name, table);
}

ReportBlock heading(const QString &text)
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Heading;
    block.text = text;
    return block;
}

ReportBlock fieldsBlock(const Fields &fields, const QString &separator = QString())
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Fields;
    block.fields = fields;
    block.separator = separator;
    return block;
}

ReportBlock paragraph(const QString &text, bool keepWithPrevious = false)
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Paragraph;
    block.text = text;
    block.keepWithPrevious = keepWithPrevious;
    return block;
}

ReportBlock workingBlock(const QStringList &lines)
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Working;
    block.lines = lines;
    return block;
}

ReportBlock tableBlock(const ReportTable &table)
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Table;
    block.table = table;
    return block;
}

ReportBlock signature(const QString &technician)
{
    ReportBlock block;
    block.kind = ReportBlock::Kind::Signature;
    block.text = QStringLiteral("Timbro e firma");
    block.fields = {{QStringLiteral("Il tecnico"), technician}};
    return block;
}

QStringList totalsRow(int columns, double total)
{
    QStringList row;
    for (int i = 0; i < columns - 2; ++i)
        row << QString();
    row[0] = QStringLiteral("Totale");
    row << CalculationTexts::printedNumber(total)
        << (total > 0 ? CalculationTexts::share(total, total) : QString());
    return row;
}

// The itemised list of the materials or furnishings, with the totals and the summary line.
QVector<ReportBlock> listBlocks(const Calculation &c)
{
    QVector<ReportBlock> blocks;
    const double total = entriesSum(c).total;
    if (c.method == Method::Materials) {
        ReportTable table;
        table.title = ReportDocuments::kMaterialsTable;
        table.headers = {QStringLiteral("Materiale"), QStringLiteral("Fonte del valore"),
                         QStringLiteral("H [MJ/kg]"), QStringLiteral("ψ"),
                         QStringLiteral("m"),         QStringLiteral("Qtà [kg]"),
                         QStringLiteral("[MJ]"),      QStringLiteral("%")};
        table.widths = {0.26, 0.18, 0.10, 0.06, 0.06, 0.11, 0.14, 0.09};
        table.numeric = {false, false, true, true, true, true, true, true};
        for (const MaterialEntry &e : c.materials) {
            const double load = entryFireLoad(e);
            table.rows << QStringList{e.name,
                                      e.source,
                                      typed(e.valuePerKg),
                                      typed(e.psi),
                                      typed(e.m),
                                      typed(e.quantity),
                                      CalculationTexts::printedNumber(load),
                                      CalculationTexts::share(load, total)};
        }
        table.totals = totalsRow(int(table.headers.size()), total);
        blocks << tableBlock(table);
    } else {
        ReportTable pieces;
        pieces.title = ReportDocuments::kFurnishingsTable;
        pieces.headers = {QStringLiteral("Arredo"),     QStringLiteral("Fonte del valore"),
                          QStringLiteral("[MJ/pezzo]"), QStringLiteral("Qtà"),
                          QStringLiteral("[MJ]"),       QStringLiteral("%")};
        pieces.widths = {0.32, 0.20, 0.14, 0.09, 0.15, 0.10};
        pieces.numeric = {false, false, true, true, true, true};
        ReportTable goods;
        goods.title = ReportDocuments::kGoodsTable;
        goods.headers = {QStringLiteral("Materiale in deposito"),
                         QStringLiteral("Fonte del valore"),
                         QStringLiteral("[MJ/m³]"),
                         QStringLiteral("Qtà [m³]"),
                         QStringLiteral("Imballo (×%1)")
                             .arg(CalculationTexts::factor(CalculationRules::kPackagingFactor)),
                         QStringLiteral("[MJ]"),
                         QStringLiteral("%")};
        goods.widths = {0.24, 0.17, 0.11, 0.10, 0.12, 0.15, 0.11};
        goods.numeric = {false, false, true, true, true, true, true};
        for (const FurnishingEntry &e : c.furnishings) {
            if (isFurnishing(e)) {
                const double load = furnishingPart(e);
                pieces.rows << QStringList{e.furnishing,
                                           e.source,
                                           typed(e.valuePerPiece),
                                           typed(e.pieces),
                                           CalculationTexts::printedNumber(load),
                                           CalculationTexts::share(load, total)};
            }
            if (e.isGoods()) {
                const double load = goodsPart(e);
                goods.rows << QStringList{e.goods,
                                          e.source,
                                          typed(e.valuePerM3),
                                          typed(e.volume),
                                          packagingText(e.packaging),
                                          CalculationTexts::printedNumber(load),
                                          CalculationTexts::share(load, total)};
            }
        }
        if (!pieces.rows.isEmpty() || goods.rows.isEmpty()) {
            if (goods.rows.isEmpty())
                pieces.totals = totalsRow(int(pieces.headers.size()), total);
            blocks << tableBlock(pieces);
        }
        if (!goods.rows.isEmpty()) {
            goods.totals = totalsRow(int(goods.headers.size()), total);
            blocks << tableBlock(goods);
        }
    }
    blocks << paragraph(QStringLiteral("A = %1 m²      q_f = %2 MJ/m²")
                            .arg(CalculationTexts::printedNumber(c.area), printedFireLoad(c)),
                        true);
    return blocks;
}

QString listTitle(Method method)
{
    return method == Method::Materials
               ? QStringLiteral("Elenco di materiali inseriti nella sommatoria")
               : QStringLiteral("Elenco di arredi e/o merci in deposito inseriti nella sommatoria");
}

// The report page: the inputs, the factors, q_f,d and the classes.
ReportPart pageOf(const Calculation &c, const ReportFigures &f, const Fields &band)
{
    const Regulation &r = regulationOf(c);
    ReportPart part;
    part.title = ReportDocuments::methodTitle(c.method);
    if (!band.isEmpty())
        part.blocks << fieldsBlock(band, QStringLiteral(": "));
    part.blocks << heading(QStringLiteral("Carico d'incendio specifico"));
    Fields first;
    if (c.method == Method::Activity) {
        // The catalogue's load and the fractile as the activity screen shows them.
        first << qMakePair(ReportDocuments::kActivityType, c.activity.name)
              << qMakePair(ReportDocuments::kNominalLoad,
                           CalculationTexts::number(c.activity.nominalLoad))
              << qMakePair(ReportDocuments::kFractile,
                           CalculationTexts::number(c.activity.fractile))
              << qMakePair(ReportDocuments::kCompartmentArea, f.area);
        if (!c.activity.source.isEmpty())
            first.insert(1, qMakePair(ReportDocuments::kValueSource, c.activity.source));
    } else {
        first << qMakePair(ReportDocuments::kCompartmentArea, f.area)
              << qMakePair(QStringLiteral("Carico d'incendio delle voci in elenco [MJ]"),
                           CalculationTexts::printedNumber(entriesSum(c).total));
    }
    first << qMakePair(QStringLiteral("q_f [MJ/m²]"), f.printedFireLoad)
          << qMakePair(ReportDocuments::kWoodEquivalent, f.woodEquivalent);
    part.blocks << fieldsBlock(first);

    part.blocks << heading(
        QStringLiteral("Fattore di rischio in relazione alla dimensione del compartimento"));
    part.blocks << fieldsBlock(
        {{QStringLiteral("Superficie [m²]"), f.areaClass}, {QStringLiteral("δq1"), f.deltaQ1}});
    part.blocks << heading(
        QStringLiteral("Fattore di rischio in relazione al tipo di attività svolta"));
    part.blocks << fieldsBlock({{QStringLiteral("Classe di rischio"), f.riskClass},
                                {QStringLiteral("Descrizione"), f.riskDescription},
                                {QStringLiteral("δq2"), f.deltaQ2}});
    part.blocks << heading(QStringLiteral("Fattore di protezione"));
    ReportTable measures;
    measures.headers = {QStringLiteral("Misura di protezione"), QStringLiteral("Presente"),
                        QStringLiteral("Fattore")};
    measures.widths = {0.72, 0.14, 0.14};
    measures.numeric = {false, true, true};
    for (int i = 0; i < r.measures.size(); ++i)
        measures.rows << QStringList{
            QStringLiteral("δn%1 – %2").arg(i + 1).arg(r.measures.at(i).description),
            c.measures.contains(i) ? QStringLiteral("si") : QStringLiteral("no"),
            f.measureFactors.value(i)};
    part.blocks << tableBlock(measures);
    part.blocks << fieldsBlock({{QStringLiteral("δn"), f.deltaN}});

    part.blocks << heading(QStringLiteral("Carico d'incendio specifico di progetto"));
    part.blocks << workingBlock({designProduct(c, f)});
    // The classes stay with the formula that gives them.
    const QString level = CalculationTexts::levelName(c);
    Fields classFields{{ReportDocuments::referenceClassCaption(r, level), f.referenceClass}};
    if (r.hasMinimumClass)
        classFields << qMakePair(ReportDocuments::minimumClassCaption(r, level), f.minimumClass);
    ReportBlock classes = fieldsBlock(classFields, QStringLiteral(" = "));
    classes.keepWithPrevious = true;
    part.blocks << classes;
    part.blocks << ReportDocuments::levelBlocks(c);
    return part;
}

ReportPart workingPart(const Calculation &c)
{
    ReportPart part;
    part.title = QStringLiteral("Sviluppo del calcolo");
    part.blocks << workingBlock(ReportDocuments::working(c));
    if (const QStringList warnings = ReportDocuments::warnings(c); !warnings.isEmpty())
        part.blocks << heading(QStringLiteral("Avvertenze")) << workingBlock(warnings);
    const QVector<ReportBar> bars = ReportDocuments::largestEntries(c);
    if (!bars.isEmpty()) {
        part.blocks << heading(QStringLiteral("Contributi al carico d'incendio"));
        ReportBlock chart;
        chart.kind = ReportBlock::Kind::Chart;
        chart.text = bars.size() > 10 ? QStringLiteral("Le dieci voci maggiori e le altre [MJ]")
                                      : QStringLiteral("Il contributo di ogni voce [MJ]");
        chart.bars = bars;
        part.blocks << chart;
    }
    if (!c.notes.trimmed().isEmpty())
        part.blocks << heading(QStringLiteral("Note e ipotesi"))
                    << workingBlock(ReportDocuments::reasonLines(c.notes));
    return part;
}

void addCompartment(ReportDocument &document, const Calculation &c, const ProjectIdentity *identity,
                    const QString &compartmentName)
{
    const ReportFigures figures = reportFigures(c);
    const Fields band = identity ? ReportDocuments::identityFields(*identity, compartmentName,
                                                                   !compartmentName.isEmpty())
                                 : Fields();
    const QString foot = !identity ? QString()
                         : compartmentName.isEmpty()
                             ? identity->name
                             : QStringLiteral("%1 – %2").arg(identity->name, compartmentName);
    const int first = int(document.parts.size());
    document.parts << pageOf(c, figures, band);
    if (c.method == Method::Materials || c.method == Method::Furnishings)
        document.parts << ReportDocuments::itemisedList(c);
    document.parts << workingPart(c);
    if (auto appendix = ReportDocuments::naturalFirePart(c))
        document.parts << *appendix;
    for (int i = first; i < document.parts.size(); ++i) {
        document.parts[i].foot = foot;
        document.parts[i].compartment = compartmentName;
        document.parts[i].regulation = ReportDocuments::headingOf(c);
    }
}

ReportDocument emptyDocument(const QString &regulation, const ProjectIdentity *identity)
{
    ReportDocument document;
    document.heading = QStringLiteral("Classificazione di resistenza al fuoco delle costruzioni");
    document.regulation = regulation;
    document.title =
        identity && !identity->name.isEmpty() ? identity->name : QStringLiteral("Ardivo");
    document.author = identity ? identity->technician : QString();
    document.revision = identity ? identity->revision : QString();
    document.date = identity && identity->date.isValid() ? identity->date : QDate::currentDate();
    return document;
}

// The heading of a project's rules: the rule's own when every compartment applies one.
QString projectRules(const Project &project)
{
    const QVector<Rule> rules = rulesUsed(project);
    if (rules.size() > 1)
        return QStringLiteral("Prestazioni di resistenza al fuoco delle costruzioni");
    const Rule rule = rules.isEmpty() ? Rule::Decree2007 : rules.first();
    return Regulation::forRule(rule).headingFor(ReportDocuments::levelsUsed(project, rule));
}

ReportPart summaryPart(const Project &project)
{
    ReportPart part;
    part.title = QStringLiteral("Riepilogo dei compartimenti");
    part.foot = QStringLiteral("%1 – Riepilogo").arg(project.identity.name);
    part.blocks << fieldsBlock(ReportDocuments::identityFields(project.identity, QString(), false),
                               QStringLiteral(": "));
    part.blocks << paragraph(ReportDocuments::appliedRulesLine(project));
    ReportTable table;
    table.headers = compartmentColumns();
    table.widths = {0.17, 0.10, 0.08, 0.08, 0.05, 0.05, 0.05, 0.10, 0.08, 0.08, 0.06, 0.10};
    table.numeric = {false, false, true, true, true, true, true, true, true, true, true, false};
    for (const Compartment &compartment : project.compartments)
        table.rows << compartmentRow(compartment);
    part.blocks << tableBlock(table);
    return part;
}

} // namespace

ReportFigures reportFigures(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    ReportFigures f;
    f.fireLoad = CalculationTexts::fireLoad(c);
    f.printedFireLoad = printedFireLoad(c);
    f.woodEquivalent = fireLoad(c) ? QStringLiteral("pari a %1 kg/m² di legna standard")
                                         .arg(CalculationTexts::woodEquivalent(c))
                                   : QString();
    f.area = CalculationTexts::printedNumber(c.area);
    f.areaClass = CalculationTexts::areaClass(c);
    f.deltaQ1 = CalculationTexts::factor(deltaQ1(c));
    f.riskClass = CalculationTexts::riskClassName(c);
    f.riskDescription = CalculationTexts::riskClassDescription(c);
    f.deltaQ2 = CalculationTexts::factor(deltaQ2(c));
    for (int i = 0; i < r.measures.size(); ++i)
        f.measureFactors << CalculationTexts::factor(measureFactor(c, i));
    f.deltaN = CalculationTexts::deltaN(c);
    f.designFireLoad = CalculationTexts::designFireLoad(c);
    f.referenceClass = CalculationTexts::referenceClass(c);
    f.minimumClass = CalculationTexts::minimumClass(c);
    return f;
}

QString ReportPart::field(const QString &caption) const
{
    for (const ReportBlock &block : blocks) {
        if (block.kind != ReportBlock::Kind::Fields)
            continue;
        for (const auto &item : block.fields) {
            if (item.first == caption)
                return item.second;
        }
    }
    return QString();
}

QVector<const ReportTable *> ReportPart::tables() const
{
    QVector<const ReportTable *> found;
    for (const ReportBlock &block : blocks) {
        if (block.kind == ReportBlock::Kind::Table)
            found << &block.table;
    }
    return found;
}

QStringList ReportDocument::texts() const
{
    QStringList all{heading, regulation};
    for (const ReportPart &part : parts) {
        all << part.title;
        for (const ReportBlock &block : part.blocks) {
            all << block.text;
            for (const auto &field : block.fields)
                all << field.first << field.second;
            all << block.lines << block.table.title << block.table.headers;
            for (const QStringList &row : block.table.rows)
                all << row;
            all << block.table.totals;
            for (const ReportBar &bar : block.bars)
                all << bar.label << bar.text;
            for (const ReportSeries &line : block.series)
                all << line.label;
            all << block.xAxis << block.yAxis;
        }
    }
    all.removeAll(QString());
    return all;
}

namespace ReportDocuments {

QString appliedRulesLine(const Project &project)
{
    // A project without compartments names the decree.
    QVector<Rule> rules = rulesUsed(project);
    if (rules.isEmpty())
        rules << Rule::Decree2007;
    QStringList applied;
    for (Rule rule : rules) {
        const Regulation &regulation = Regulation::forRule(rule);
        const QStringList levels = ReportDocuments::levelsUsed(project, rule);
        if (levels.size() > 1)
            applied << QStringLiteral("%1, livelli di prestazione %2 e %3")
                           .arg(regulation.name,
                                levels.mid(0, levels.size() - 1).join(QStringLiteral(", ")),
                                levels.last());
        else
            applied << QStringLiteral("%1, livello di prestazione %2")
                           .arg(regulation.name, levels.value(0, regulation.performanceLevel));
    }
    return QStringLiteral("Normativa applicata: ") + applied.join(QStringLiteral("; "));
}

QString referenceClassCaption(const Regulation &r, const QString &level)
{
    // The decree's caption names its one level; a rule whose levels are chosen names the one
    // the compartment reaches.
    if (r.performanceLevels.isEmpty())
        return r.classCaption;
    return QStringLiteral("%1 per il livello di prestazione %2")
        .arg(r.classCaption, level.isEmpty() ? r.levelName(r.proposedLevel) : level);
}

QString minimumClassCaption(const Regulation &r, const QString &level)
{
    return QStringLiteral("Classe minima per il livello di prestazione %1")
        .arg(level.isEmpty() ? r.performanceLevel : level);
}

QString headingOf(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    return r.headingFor({CalculationTexts::levelName(c)});
}

QStringList levelsUsed(const Project &project, Rule rule)
{
    const Regulation &regulation = Regulation::forRule(rule);
    QStringList names;
    for (const Regulation::PerformanceLevel &level : regulation.performanceLevels) {
        for (const Compartment &compartment : project.compartments) {
            if (compartment.calculation.rule == rule &&
                compartment.calculation.performanceLevel == level.number) {
                names << level.name;
                break;
            }
        }
    }
    return names;
}

QStringList reasonLines(const QString &reason)
{
    // Each line of its own; a line longer than a sheet can hold goes on in pieces cut between
    // words, so that every piece fits a sheet and the whole paginates.
    constexpr int kLongestPiece = 1200;
    QStringList lines;
    for (QString line : reason.split(QLatin1Char('\n'))) {
        while (line.size() > kLongestPiece) {
            // After a blank, so that the next piece starts with a word.
            qsizetype cut = line.lastIndexOf(QLatin1Char(' '), kLongestPiece - 1) + 1;
            if (cut < kLongestPiece / 2)
                cut = kLongestPiece;
            // Never between the two halves of a character outside the basic plane.
            if (line.at(cut - 1).isHighSurrogate())
                --cut;
            lines << line.left(cut);
            line = line.mid(cut);
        }
        lines << line;
    }
    return lines;
}

QVector<ReportBlock> levelBlocks(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    if (!level)
        return {};
    QVector<ReportBlock> blocks;
    blocks << heading(QStringLiteral("Livello di prestazione %1").arg(level->name));
    Fields fields{
        {QStringLiteral("Livello di prestazione (%1)").arg(r.levelsTable),
         QStringLiteral("%1 – %2").arg(level->name, level->meaning)},
        {QStringLiteral("Requisito"), level->requirement},
    };
    const QString required = CalculationTexts::referenceClass(c);
    if (!required.isEmpty())
        fields << qMakePair(QStringLiteral("Classe richiesta"), required);
    const QString table = CalculationTexts::tableClass(c);
    if (!table.isEmpty() && table != required)
        fields << qMakePair(QStringLiteral("Classe della %1 (livello %2)")
                                .arg(r.tables.classes, r.levelName(r.proposedLevel)),
                            table);
    if (!level->obligation.isEmpty())
        fields << qMakePair(QStringLiteral("Obbligo del progettista"), level->obligation);
    blocks << fieldsBlock(fields);
    blocks << heading(
        QStringLiteral("Attribuzione del livello di prestazione (%1)").arg(r.attributionTable));
    blocks << workingBlock(c.levelReason.trimmed().isEmpty()
                               ? QStringList{QStringLiteral("Nessuna motivazione indicata.")}
                               : reasonLines(c.levelReason));
    return blocks;
}

ReportPart reportPage(const Calculation &c)
{
    return pageOf(c, reportFigures(c), Fields());
}

ReportPart itemisedList(const Calculation &c)
{
    ReportPart list;
    list.title = listTitle(c.method);
    list.blocks = listBlocks(c);
    list.regulation = headingOf(c);
    return list;
}

QString methodTitle(Method method)
{
    switch (method) {
    case Method::Activity:
        return QStringLiteral(
            "Valore orientativo del carico d'incendio specifico di progetto per attività");
    case Method::Materials:
        return QStringLiteral(
            "Valore orientativo del carico d'incendio specifico di progetto per materiali");
    case Method::Furnishings:
        return QStringLiteral("Valore orientativo del carico d'incendio specifico di progetto per "
                              "arredo e/o merci in deposito");
    case Method::None:
        break;
    }
    return QString();
}

QList<QPair<QString, QString>> identityFields(const ProjectIdentity &identity,
                                              const QString &compartment, bool withCompartment)
{
    Fields fields{{QStringLiteral("Progetto"), identity.name},
                  {QStringLiteral("Committente"), identity.client},
                  {QStringLiteral("Ubicazione"), identity.site},
                  {QStringLiteral("Attività"), identity.activity}};
    if (withCompartment)
        fields << qMakePair(QStringLiteral("Compartimento"), compartment);
    fields << qMakePair(QStringLiteral("Tecnico"), identity.technician)
           << qMakePair(QStringLiteral("Data"),
                        identity.date.toString(QStringLiteral("dd/MM/yyyy")));
    if (!identity.revision.isEmpty())
        fields << qMakePair(QStringLiteral("Revisione"), identity.revision);
    return fields;
}

QStringList working(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    QStringList lines;
    const ReportFigures f = reportFigures(c);
    const auto qf = fireLoad(c);
    if (!qf)
        return {QStringLiteral("Il carico d'incendio specifico non è determinato.")};

    switch (c.method) {
    case Method::Activity:
        lines << QStringLiteral("q_f = carico d'incendio specifico dell'attività × frattile 80% "
                                "= %1%2%3 = %4 MJ/m²")
                     .arg(CalculationTexts::printedNumber(c.activity.nominalLoad), kTimes,
                          CalculationTexts::factor(c.activity.fractile), f.printedFireLoad);
        if (!c.activity.source.isEmpty())
            lines << QStringLiteral("    carico d'incendio specifico dell'attività: %1")
                         .arg(c.activity.source);
        if (c.area)
            lines << QStringLiteral("A = %1 m²").arg(f.area);
        break;
    case Method::Materials:
        lines << QStringLiteral("q_f = Σ gᵢ · Hᵢ · mᵢ · ψᵢ / A = %1 / %2 m² = %3 MJ/m² "
                                "(%4 voci in elenco)")
                     .arg(mj(materialsSum(c.materials).total), f.area, f.printedFireLoad)
                     .arg(c.materials.size());
        break;
    case Method::Furnishings: {
        double pieces = 0, goods = 0;
        for (const FurnishingEntry &e : c.furnishings) {
            pieces += furnishingPart(e);
            goods += goodsPart(e);
        }
        lines << QStringLiteral("Σ arredi (MJ per pezzo × pezzi) = %1").arg(mj(pieces))
              << QStringLiteral("Σ merci in deposito (MJ per m³ × m³ × %1 se imballate) = %2")
                     .arg(CalculationTexts::factor(CalculationRules::kPackagingFactor), mj(goods))
              << QStringLiteral("q_f = (Σ arredi + Σ merci) / A = (%1 + %2) MJ / %3 m² = %4 MJ/m²")
                     .arg(CalculationTexts::printedNumber(pieces),
                          CalculationTexts::printedNumber(goods), f.area, f.printedFireLoad);
        break;
    }
    case Method::None:
        break;
    }
    lines << QStringLiteral("q_f %1 (1 MJ = %2 kg di legna standard)")
                 .arg(f.woodEquivalent, CalculationTexts::number(CalculationTexts::kWoodKgPerMJ));

    if (c.areaClass && *c.areaClass >= 0 && *c.areaClass < r.areaClasses.size())
        lines << QStringLiteral("δq1 = %1%2: %3")
                     .arg(f.deltaQ1, cited(r, r.tables.areaClasses), areaRange(r, *c.areaClass));
    if (!f.riskClass.isEmpty())
        lines << QStringLiteral("δq2 = %1%2: classe di rischio %3")
                     .arg(f.deltaQ2, cited(r, r.tables.riskClasses), f.riskClass);

    QStringList names, values;
    for (int i = 0; i < r.measures.size(); ++i) {
        if (!c.measures.contains(i))
            continue;
        names << QStringLiteral("δn%1").arg(i + 1);
        values << f.measureFactors.value(i);
    }
    if (names.isEmpty()) {
        lines << QStringLiteral("δn = %1%2: nessuna misura di protezione presente")
                     .arg(f.deltaN, cited(r, r.tables.measures));
    } else {
        const QString result =
            (names.size() > 1 ? QStringLiteral(" = %1").arg(values.join(kTimes)) : QString()) +
            equalsOrAbout(f.deltaN);
        lines << QStringLiteral("δn = %1%2%3")
                     .arg(names.join(QStringLiteral(" · ")), result, cited(r, r.tables.measures));
        for (int i = 0; i < r.measures.size(); ++i) {
            if (c.measures.contains(i))
                lines << QStringLiteral("    δn%1 = %2: %3")
                             .arg(i + 1)
                             .arg(f.measureFactors.value(i), r.measures.at(i).description);
        }
    }

    const auto design = designFireLoad(c);
    if (!design)
        return lines;
    lines << designProduct(c, f);

    // The band of the class table that holds q_f,d.
    const double value = ItalianNumbers::asRead(*design);
    QString band;
    for (int i = 0; i < r.classBands.size(); ++i) {
        if (value > r.classBands.at(i).upTo)
            continue;
        const QString upTo = CalculationTexts::printedNumber(r.classBands.at(i).upTo);
        band = i == 0 ? QStringLiteral("%1 ≤ %2").arg(f.designFireLoad, upTo)
                      : QStringLiteral("%1 < %2 ≤ %3")
                            .arg(CalculationTexts::printedNumber(r.classBands.at(i - 1).upTo),
                                 f.designFireLoad, upTo);
        break;
    }
    if (band.isEmpty() && !r.classBands.isEmpty())
        band = QStringLiteral("%1 > %2").arg(
            f.designFireLoad, CalculationTexts::printedNumber(r.classBands.last().upTo));
    // The band gives the classes of the table itself; a performance level that asks for another
    // class says so on the lines below.
    const auto classes = resistanceClasses(c);
    const QString tableClass = CalculationTexts::tableClass(c);
    QString result = classes && !classes->required ? r.noRequirement
                     : r.hasMinimumClass
                         ? QStringLiteral("classe %1").arg(tableClass)
                         : QStringLiteral("%1 %2").arg(r.classCaption.toLower(), tableClass);
    if (classes && classes->required && r.hasMinimumClass)
        result += QStringLiteral(", classe minima %1").arg(classes->minimum);
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    lines << QStringLiteral("%1 → %2%3 (livello di prestazione %4)")
                 .arg(band, result, cited(r, r.tables.classes),
                      level ? r.levelName(r.proposedLevel) : r.performanceLevel);
    if (level) {
        lines << QStringLiteral("Livello di prestazione %1%2: %3")
                     .arg(level->name, cited(r, r.levelsTable), level->meaning);
        const QString required = CalculationTexts::referenceClass(c);
        if (!level->classRequired)
            lines << QStringLiteral("Requisito del livello %1: %2").arg(level->name, required);
        else if (level->classCap > 0 && classes && classes->required)
            lines << QStringLiteral("Classe richiesta dal livello %1 (%2) = min(%3; %4) = %5")
                         .arg(level->name, level->requirement, QString::number(level->classCap),
                              CalculationTexts::tableClass(c), required);
        else
            lines
                << QStringLiteral("Classe richiesta dal livello %1: %2").arg(level->name, required);
        if (!level->obligation.isEmpty())
            lines << QStringLiteral("    %1").arg(level->obligation);
    }
    return lines;
}

QStringList warnings(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    QStringList found;
    if (const auto design = designFireLoad(c)) {
        const double value = ItalianNumbers::asRead(*design);
        for (const Regulation::ClassBand &band : r.classBands) {
            if (std::fabs(value - band.upTo) > 0.02 * band.upTo)
                continue;
            const auto classText = [&r](const Regulation::ResistanceClasses &classes) {
                return classes.required ? QString::number(classes.reference) : r.noRequirement;
            };
            found << QStringLiteral("q_f,d = %1 MJ/m² è entro il 2 % del limite di %2 MJ/m² "
                                    "della tabella delle classi: fino al limite la classe è %3, "
                                    "oltre è %4.")
                         .arg(CalculationTexts::designFireLoad(c),
                              CalculationTexts::printedNumber(band.upTo), classText(band.classes),
                              classText(r.resistanceClassesFor(band.upTo * 1.0001)));
        }
    }
    const auto typedOver = [&found](const QString &name, const QString &source) {
        if (CalculationRules::isTypedValueSource(source) &&
            source != CalculationRules::typedValueSource())
            found << QStringLiteral("«%1»: %2.").arg(name, source);
    };
    const auto leftOut = [&found](const QString &name) {
        found << QStringLiteral("«%1» non entra nella somma: ψ = 0.").arg(name);
    };
    if (c.method == Method::Materials) {
        for (const MaterialEntry &e : c.materials) {
            typedOver(e.name, e.source);
            if (e.psi.isNumber() && e.psi.value() == 0)
                leftOut(e.name);
        }
    } else if (c.method == Method::Furnishings) {
        for (const FurnishingEntry &e : c.furnishings)
            typedOver(e.isGoodsOnly() ? e.goods : e.furnishing, e.source);
    }
    return found;
}

QVector<ReportBar> largestEntries(const Calculation &c)
{
    QVector<ReportBar> bars;
    const double total = entriesSum(c).total;
    if (c.method == Method::Materials) {
        for (const MaterialEntry &e : c.materials)
            bars.append({e.name, entryFireLoad(e), QString()});
    } else if (c.method == Method::Furnishings) {
        for (const FurnishingEntry &e : c.furnishings) {
            if (isFurnishing(e))
                bars.append({e.furnishing, furnishingPart(e), QString()});
            if (e.isGoods())
                bars.append({e.goods, goodsPart(e), QString()});
        }
    }
    bars.erase(std::remove_if(bars.begin(), bars.end(),
                              [](const ReportBar &bar) { return !(bar.value > 0); }),
               bars.end());
    std::stable_sort(bars.begin(), bars.end(),
                     [](const ReportBar &a, const ReportBar &b) { return a.value > b.value; });
    constexpr int kShown = 10;
    if (bars.size() > kShown) {
        ReportBar others{QStringLiteral("altri (%1 voci)").arg(bars.size() - kShown), 0, QString()};
        for (int i = kShown; i < bars.size(); ++i)
            others.value += bars.at(i).value;
        bars.resize(kShown);
        bars << others;
    }
    for (ReportBar &bar : bars)
        bar.text = QStringLiteral("%1 MJ (%2%)")
                       .arg(CalculationTexts::printedNumber(bar.value),
                            CalculationTexts::share(bar.value, total));
    return bars;
}

ReportDocument compartment(const Calculation &c, const ProjectIdentity *identity,
                           const QString &compartmentName)
{
    // The job's identity whenever a project is open, also before "Salva nel progetto".
    const bool known = identity && (!compartmentName.isEmpty() || !identity->name.isEmpty() ||
                                    !identity->technician.isEmpty() || !identity->client.isEmpty());
    const ProjectIdentity *project = known ? identity : nullptr;
    ReportDocument document = emptyDocument(ReportDocuments::headingOf(c), project);
    document.subject = compartmentName.isEmpty()
                           ? ReportDocuments::methodTitle(c.method)
                           : QStringLiteral("Compartimento %1").arg(compartmentName);
    addCompartment(document, c, project, compartmentName);
    document.parts.last().blocks << signature(project ? project->technician : QString());
    return document;
}

ReportDocument summary(const Project &project)
{
    ReportDocument document = emptyDocument(projectRules(project), &project.identity);
    document.subject = QStringLiteral("Riepilogo dei compartimenti");
    document.parts << summaryPart(project);
    document.parts.last().blocks << signature(project.identity.technician);
    return document;
}

ReportDocument project(const Project &project)
{
    ReportDocument document = emptyDocument(projectRules(project), &project.identity);
    document.subject = QStringLiteral("Relazione di calcolo del carico d'incendio");
    document.parts << summaryPart(project);
    // Each compartment with the tables of the rule it applies.
    for (const Compartment &compartment : project.compartments)
        addCompartment(document, compartment.calculation, &project.identity, compartment.name);
    document.parts.last().blocks << signature(project.identity.technician);
    return document;
}

} // namespace ReportDocuments
