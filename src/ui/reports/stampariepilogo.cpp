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
                   13770, QStringLiteral("Riepilogo dei compartimenti"), 1200)
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

    static const char *const kIdentity[] = {"lblProgetto",   "lblCommittente",
                                            "lblUbicazione", "lblAttivitaProgetto",
                                            "lblTecnico",    "lblData"};
    for (int i = 0; i < 6; ++i)
        m_identity << text(m_canvas, kIdentity[i], QString(), 360, 1740 + 240 * i, sansSerif(9),
                           10440);
    m_rules = text(m_canvas, "lblNormativa", QString(), 360, 3240, sansSerif(9, true), 10440);
    m_rules->setWordWrap(true);
    place(m_rules, 360, 3240, 10440, 440);
    const QStringList captions = compartmentColumns();
    for (int c = 0; c < int(std::size(kColumns)); ++c) {
        QLabel *heading = text(m_canvas, nullptr, captions.value(c), kColumns[c].left, kHeadingTop,
                               sansSerif(7.5, true), kColumns[c].width, Qt::AlignHCenter);
        heading->setWordWrap(true);
        place(heading, kColumns[c].left, kHeadingTop, kColumns[c].width, 420);
    }
    hline(m_canvas, "LineaIntestazione", kHeadingTop + 440, 360, 10820);
    connect(&ProjectDocument::current(), &ProjectDocument::changed, this,
            &StampaRiepilogo::Form_Load);
    Form_Load();
}

void StampaRiepilogo::Form_Load()
{
    const Project &project = ProjectDocument::current().project();
    const ProjectIdentity &identity = project.identity;
    const QStringList lines{
        QStringLiteral("Progetto: ") + identity.name,
        QStringLiteral("Committente: ") + identity.client,
        QStringLiteral("Ubicazione: ") + identity.site,
        QStringLiteral("Attività: ") + identity.activity,
        QStringLiteral("Tecnico: ") + identity.technician,
        QStringLiteral("Data: ") + identity.date.toString(QStringLiteral("dd/MM/yyyy")),
    };
    for (int i = 0; i < m_identity.size(); ++i)
        showWhole(m_identity[i], lines.value(i));

    m_rules->setText(ReportDocuments::appliedRulesLine(project));
    // A project without compartments is headed by the decree, as its rules line names it.
    const QVector<Rule> rules = rulesUsed(project);
    const Rule rule = rules.value(0, Rule::Decree2007);
    showRuleHeading(rules.size() <= 1 ? Regulation::forRule(rule).headingFor(
                                            ReportDocuments::levelsUsed(project, rule))
                                      : QStringLiteral("Prestazioni di resistenza al fuoco delle "
                                                       "costruzioni"));

    QList<QStringList> rows;
    for (const Compartment &compartment : project.compartments)
        rows << compartmentRow(compartment);
    std::vector<ListRows::Column> columns;
    for (const SummaryColumn &column : kColumns)
        columns.push_back({column.name, column.left, column.width, column.left > 2000});
    m_rows->clear();
    const int emptyRowTop = m_rows->addSection(columns, kFirstRowTop, rows);
    placeSummary(emptyRowTop + 300);
}

void StampaRiepilogo::showReportPage()
{
    router().showProjectWindow();
}
