#include "ui/reports/stampariepilogo.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "ui/app/widgets.h"
#include "ui/project/projectactions.h"
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
    {"Compartimento", 360, 2400},
    {"Metodo", 2820, 1300},
    {"Superficie", 4180, 900},
    {"qf", 5140, 800},
    {"dq1", 6000, 560},
    {"dq2", 6620, 560},
    {"dn", 7240, 600},
    {"qfd", 7900, 1200},
    {"Classe", 9160, 700},
    {"ClasseMinima", 9920, 900},
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
    m_bar->addWidget(exportPdf);
    m_bar->addWidget(exportOdt);
    m_bar->addWidget(print);
    connect(print, &QPushButton::clicked, this,
            [] { ReportPrinter::print(ReportPrinter::summaryDocument()); });
    const auto exportAs = [](ReportPrinter::Format format) {
        ReportPrinter::exportWithDialog(format, ProjectDocument::current().project().identity.name,
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
    const Regulation &regulation = m_session.regulation();
    text(m_canvas, "lblNormativa",
         QStringLiteral("Normativa applicata: %1, livello di prestazione %2")
             .arg(regulation.name, regulation.performanceLevel),
         360, 3280, sansSerif(9, true), 10440);
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

    QList<QStringList> rows;
    for (const Compartment &compartment : project.compartments)
        rows << compartmentRow(compartment, m_session.regulation());
    std::vector<ListRows::Column> columns;
    for (const SummaryColumn &column : kColumns)
        columns.push_back({column.name, column.left, column.width, column.left > 2000});
    m_rows->clear();
    const int emptyRowTop = m_rows->addSection(columns, kFirstRowTop, rows);
    placeSummary(emptyRowTop + 300);
}

void StampaRiepilogo::showReportPage()
{
    ProjectActions::showProjectWindow();
}
