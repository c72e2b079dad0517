#include "ui/reports/stampariepilogo.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/reportdocument.h"
#include "core/userprompt.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"
#include "ui/reports/anteprimastampa.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportprinter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace PageCanvas;

namespace {

struct SummaryColumn {
    const char *name;
    int left, width;
};
// The project window's columns, in its order.
constexpr SummaryColumn kColumns[] = {
    {"Compartimento", 360, 1840},
    {"Metodo", 2240, 1100},
    {"Superficie", 3380, 780},
    {"qf", 4200, 820},
    {"dq1", 5060, 480},
    {"dq2", 5580, 480},
    {"dn", 6100, 520},
    {"qfd", 6660, 1000},
    {"Classe", 7700, 920},
    {"ClasseMinima", 8660, 740},
    {"Livello", 9440, 540},
    {"Normativa", 10020, 800},
};
constexpr int kHeadingTop = 3700;
constexpr int kFirstRowTop = 4180;

} // namespace

StampaRiepilogo::StampaRiepilogo()
    : ItemisedList("StampaRiepilogo", QStringLiteral("Riepilogo del progetto"),
                   CalculationSession::current(), Method::None, 11235, 14670, 11655, 14100, 0,
                   13770, 1200)
{
    auto *print = makeButton(this, "cmdStampa", QStringLiteral("Stampa"));
    auto *exportPdf = makeButton(this, "cmdEsportaPdf", QStringLiteral("Esporta PDF…"));
    auto *exportOdt = makeButton(this, "cmdEsportaOdt", QStringLiteral("Esporta ODT…"));
    auto *preview = makeButton(this, "cmdAnteprima", QStringLiteral("Anteprima…"));
    m_bar->addWidget(exportPdf);
    m_bar->addWidget(exportOdt);
    m_bar->addWidget(preview);
    m_bar->addWidget(print);
    connect(preview, &QPushButton::clicked, this,
            [] { AnteprimaStampa::showDocument(ReportPrinter::summaryDocument()); });
    connect(print, &QPushButton::clicked, this,
            [] { ReportPrinter::print(ReportPrinter::summaryDocument()); });
    const auto exportAs = [](ReportPrinter::Format format) {
        ReportPrinter::exportWithDialog(
            format,
            ReportPrinter::exportName(ProjectDocument::current().project().identity.name,
                                      QStringLiteral("Riepilogo")),
            [] { return ReportPrinter::summaryDocument(); });
    };
    connect(exportPdf, &QPushButton::clicked, this,
            [exportAs] { exportAs(ReportPrinter::Format::Pdf); });
    connect(exportOdt, &QPushButton::clicked, this,
            [exportAs] { exportAs(ReportPrinter::Format::Odt); });

    // The job's identity, one line for each of the document's fields, the revision last.
    static const char *const kIdentity[] = {
        "lblProgetto", "lblCommittente", "lblUbicazione",       "lblAttivitaProgetto",
        "lblTecnico",  "lblData",        "lblRevisioneProgetto"};
    for (int i = 0; i < int(std::size(kIdentity)); ++i)
        m_identity << text(m_canvas, kIdentity[i], QString(), 360, 1680 + 215 * i, sansSerif(9),
                           10440);
    m_rules = text(m_canvas, "lblNormativa", QString(), 360, 3240, sansSerif(9, true), 10440);
    m_rules->setWordWrap(true);
    place(m_rules, 360, 3240, 10440, 440);
    for (const SummaryColumn &column : kColumns) {
        QLabel *heading = text(m_canvas, nullptr, QString(), column.left, kHeadingTop,
                               sansSerif(7.5, true), column.width, Qt::AlignHCenter);
        heading->setWordWrap(true);
        place(heading, column.left, kHeadingTop, column.width, 420);
        m_headings << heading;
    }
    hline(m_canvas, "LineaIntestazione", kHeadingTop + 440, 360, 10820);
    connect(&ProjectDocument::current(), &ProjectDocument::changed, this,
            &StampaRiepilogo::Form_Load);
    Form_Load();
}

void StampaRiepilogo::Form_Load()
{
    // Every text as the summary's document holds it: the identity, the rules, the table.
    const ReportDocument document = ReportDocuments::summary(ProjectDocument::current().project());
    const ReportPart &part = document.parts.first();
    showTitle(m_title, part.title);
    showRuleHeading(document.regulation);
    QList<QPair<QString, QString>> identity;
    QStringList paragraphs;
    for (const ReportBlock &block : part.blocks) {
        if (block.kind == ReportBlock::Kind::Fields)
            identity = block.fields;
        else if (block.kind == ReportBlock::Kind::Paragraph)
            paragraphs << block.text;
    }
    for (int i = 0; i < m_identity.size(); ++i) {
        const auto field = identity.value(i);
        showWhole(m_identity[i], field.first.isEmpty()
                                     ? QString()
                                     : field.first + QStringLiteral(": ") + field.second);
    }
    m_rules->setText(paragraphs.join(QLatin1Char('\n')));
    const ReportTable *table = part.tables().first();
    for (int c = 0; c < m_headings.size(); ++c)
        m_headings[c]->setText(table->headers.value(c));
    std::vector<ListRows::Column> columns;
    for (int c = 0; c < int(std::size(kColumns)); ++c)
        columns.push_back(
            {kColumns[c].name, kColumns[c].left, kColumns[c].width, table->numeric.value(c), c});
    m_rows->clear();
    const int emptyRowTop = m_rows->addSection(columns, kFirstRowTop, table->rows);
    placeSummary(emptyRowTop + 300);
}

void StampaRiepilogo::showReportPage()
{
    router().showProjectWindow();
}
