#include "ui/reports/itemisedlist.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/reportdocument.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"
#include "ui/reports/anteprimastampa.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportprinter.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PageCanvas;

ItemisedList::ItemisedList(const char *name, const QString &caption, CalculationSession &session,
                           Method method, int canvasWidth, int canvasHeight, int clientWidth,
                           int clientHeight, int borderTop, int borderBottom, int titleTop)
    : SecondaryWindow(name, caption), m_session(session),
      m_view(new PageView(canvasWidth, canvasHeight, this)), m_canvas(m_view->canvas()),
      m_rows(new ListRows(m_view)), m_method(method), m_designHeight(canvasHeight),
      m_borderBottom(borderBottom)
{
    // The back button stands in a bar above the page, never part of it.
    auto *bar = new QWidget(this);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(6, 4, 6, 4);
    m_back = makeButton(bar, "Indietro", QStringLiteral("&Indietro"));
    buttons->addWidget(m_back);
    buttons->addStretch();
    m_bar = buttons;
    if (method != Method::None) {
        // A list previews the report it belongs to, as it will print.
        auto *preview = makeButton(bar, "cmdAnteprima", QStringLiteral("Anteprima…"));
        buttons->addWidget(preview);
        connect(preview, &QPushButton::clicked, this, [this] {
            AnteprimaStampa::showDocument(ReportPrinter::sessionDocument(m_session, m_method));
        });
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);
    resize(PageView::toPixelsX(clientWidth),
           PageView::toPixelsY(clientHeight) + bar->sizeHint().height());

    text(m_canvas, "lblTestata",
         QStringLiteral("Classificazione di resistenza al fuoco delle costruzioni "), 0,
         borderTop + 120, verdana(15.75, true), 11160, Qt::AlignHCenter);
    m_ruleHeading =
        text(m_canvas, "lblDecreto", ReportDocuments::headingOf(m_session.calculation()), 0,
             borderTop + 600, script(11), 11160, Qt::AlignHCenter);
    hline(m_canvas, "Line1", borderTop + 1080, 120, 11040);
    m_title = text(m_canvas, "Label1", QString(), 360, titleTop, sansSerif(13.5));
    m_border = border(m_canvas, 0, borderTop, 11160, borderBottom);

    connect(m_back, &QPushButton::clicked, this, &ItemisedList::Indietro_Click);
    // A compartment's list names the rule of its calculation; the summary names its own.
    if (m_method != Method::None)
        connect(&m_session, &CalculationSession::changed, this,
                [this] { showRuleHeading(ReportDocuments::headingOf(m_session.calculation())); });
}

ReportPart ItemisedList::showList()
{
    Calculation calculation = m_session.calculation();
    calculation.method = m_method;
    ReportPart list = ReportDocuments::itemisedList(calculation);
    showTitle(m_title, list.title);
    showRuleHeading(list.regulation);
    return list;
}

void ItemisedList::showTitle(QLabel *label, const QString &title)
{
    label->setText(title);
    label->adjustSize();
}

void ItemisedList::showRuleHeading(const QString &heading)
{
    m_ruleHeading->setText(heading);
}

void ItemisedList::showSummary()
{
    // The area as typed and q_f as the entry screens write them: the texts these two fields
    // keep for the screens that read them; paper prints the summary line of the document.
    const CalculationSession &session = m_session;
    const Calculation &c = session.calculation();
    if (session.reached(CalculationSession::FireLoadPassed) && c.method == m_method) {
        m_summaryArea->setText(CalculationTexts::number(c.area));
        m_summaryFireLoad->setText(CalculationTexts::fireLoad(c));
    }
}

void ItemisedList::buildSummary(const char *areaName)
{
    const QFont value = verdana(11.25, true);
    m_summary = {
        text(m_canvas, "Label7", QStringLiteral("A"), 720, 0, sansSerif(11, true)),
        text(m_canvas, "Label6", QStringLiteral("="), 1000, 0, value),
        m_summaryArea = text(m_canvas, areaName, QString(), 1260, 0, value, 1500, Qt::AlignHCenter),
        text(m_canvas, "lblM2", QStringLiteral("[m²]"), 2800, 0, verdana(9.75, false)),
        symbol(m_canvas, "picQf", Symbols::qf, 6480, 0),
        text(m_canvas, "lblUguale", QStringLiteral("="), 7000, 0, value),
        m_summaryFireLoad =
            text(m_canvas, "Valoreqf", QString(), 7200, 0, value, 1500, Qt::AlignHCenter),
        text(m_canvas, "lblMJm2", QStringLiteral("[MJ/m²]"), 8760, 0, verdana(9.75, false)),
    };
    connect(&m_session, &CalculationSession::changed, this, &ItemisedList::showSummary);
    showSummary();
}

void ItemisedList::addShareHeadings(int top)
{
    const QFont columnHeading = sansSerif(9, true);
    text(m_canvas, "lblContributo", QStringLiteral("[MJ]"), kLoadLeft, top, columnHeading,
         kLoadWidth, Qt::AlignHCenter);
    text(m_canvas, "lblPercentuale", QStringLiteral("%"), kShareLeft, top, columnHeading,
         kShareWidth, Qt::AlignHCenter);
    m_totalCaption = text(m_canvas, "lblTotale", QStringLiteral("Totale"), kLoadLeft - 1200, 0,
                          sansSerif(9, true), 1100, Qt::AlignRight);
    m_total = text(m_canvas, "TotaleMJ", QString(), kLoadLeft, 0, verdana(9.75, true), kLoadWidth,
                   Qt::AlignHCenter);
}

void ItemisedList::placeTotal(int top, const QString &total)
{
    m_total->setText(total);
    for (QWidget *item : {m_totalCaption, m_total})
        item->move(item->x(), PageView::toPixelsY(top));
}

void ItemisedList::placeSummary(int top)
{
    for (QWidget *item : m_summary)
        item->move(item->x(), PageView::toPixelsY(top));
    // A long list makes the page longer, so that no entry is ever left out.
    // The border keeps 600 twips under the summary line, and the page its margin under the border.
    const int needed = std::max(m_designHeight, top + 600 + (m_designHeight - m_borderBottom));
    m_canvas->setProperty("heightTwips", needed);
    m_canvas->setFixedHeight(PageView::toPixelsY(needed));
    // The border follows the page down.
    const int bottom = PageView::toPixelsY(m_borderBottom + needed - m_designHeight);
    m_border[2]->move(m_border[2]->x(), bottom);
    for (QWidget *side : {m_border[1], m_border[3]})
        side->setFixedHeight(bottom - side->y() + 1);
    m_view->Form_Resize();
}

void ItemisedList::Indietro_Click()
{
    hide();
    showReportPage();
    router().release(*this);
}

// ---------------------------------------------------------------------------------------------

StampaElencoMateriali::StampaElencoMateriali(CalculationSession &session)
    : ItemisedList("StampaElencoMateriali", QStringLiteral("Stampa elenco materiali"), session,
                   Method::Materials, 11235, 14670, 11655, 14100, 0, 13770, 1200)
{
    const QFont heading = sansSerif(12, true);
    const QFont columnHeading = sansSerif(9, true);
    text(m_canvas, "Label9", ReportDocuments::kMaterialsTable, 240, 1980, heading);
    hline(m_canvas, "Line2", 2280, 240, 5400);
    // The column headings keep the captions of this page; the document's stand on paper.
    text(m_canvas, "Label2", QStringLiteral("Materiali"), 1080, 2520, columnHeading);
    text(m_canvas, "lblFonte", QStringLiteral("Fonte del valore"), 2700, 2520, columnHeading);
    text(m_canvas, "Label3", QStringLiteral("[MJ/Kg]"), 4320, 2520, columnHeading, 900,
         Qt::AlignHCenter);
    text(m_canvas, "Label4", QStringLiteral("ψ"), 5340, 2520, serif(11, true), 600,
         Qt::AlignHCenter);
    text(m_canvas, "Label5", QStringLiteral("m"), 6060, 2520, columnHeading, 600, Qt::AlignHCenter);
    text(m_canvas, "Label8", QStringLiteral("Qtà [Kg]"), 6780, 2520, columnHeading, 1100,
         Qt::AlignHCenter);
    addShareHeadings(2520);
    buildSummary("txtArea");
    Form_Load();
}

void StampaElencoMateriali::Form_Load()
{
    const ReportPart list = showList();
    const ReportTable *table = list.tables().value(0);
    m_rows->clear();
    const int emptyRowTop = m_rows->addSection({{"Materiale", 720, 1900, false, 0},
                                                {"Fonte", 2700, 1520, false, 1},
                                                {"ValorePerKg", 4320, 900, true, 2},
                                                {"FattorePsi", 5340, 600, true, 3},
                                                {"Fattore_m", 6060, 600, true, 4},
                                                {"QtaMat", 6780, 1100, true, 5},
                                                {"ContributoMJ", kLoadLeft, kLoadWidth, true, 6},
                                                {"Percentuale", kShareLeft, kShareWidth, true, 7}},
                                               3000, table->rows);
    placeTotal(emptyRowTop + ListRows::kRowStep + 60, table->totals.value(6));
    placeSummary(emptyRowTop + 1000);
}

void StampaElencoMateriali::showReportPage()
{
    if (QWidget *page = router().reportPage(Method::Materials))
        bringForward(*page);
}

StampaElencoArredoMerci::StampaElencoArredoMerci(CalculationSession &session)
    : ItemisedList("StampaElencoArredoMerci",
                   QStringLiteral("Stampa elenco per arredo e/o merci in deposito"), session,
                   Method::Furnishings, 11415, 14895, 11625, 14160, 120, 13560, 1320)
{
    const QFont heading = sansSerif(12, true);
    const QFont columnHeading = sansSerif(9, true);
    text(m_canvas, "Label9", ReportDocuments::kFurnishingsTable, 240, 2160, heading);
    hline(m_canvas, "Line2", 2400, 240, 5400);
    // The column headings keep the captions of this page; the document's stand on paper.
    text(m_canvas, "Label3", QStringLiteral("Arredo"), 1320, 2640, columnHeading);
    text(m_canvas, "lblFonteArredo", QStringLiteral("Fonte del valore"), 3120, 2640, columnHeading);
    text(m_canvas, "Label4", QStringLiteral("[MJ/pezzo]"), 4800, 2640, columnHeading, 1000,
         Qt::AlignHCenter);
    text(m_canvas, "Label5", QStringLiteral("Qtà"), 5920, 2640, columnHeading, 800,
         Qt::AlignHCenter);
    addShareHeadings(2640);
    m_goodsHeading = {
        text(m_canvas, "Label2", ReportDocuments::kGoodsTable, 240, 0, heading),
        hline(m_canvas, "Line3", 0, 480, 6240),
        text(m_canvas, "lblMatInDep", QStringLiteral("Materiale in Deposito"), 840, 0,
             columnHeading),
        text(m_canvas, "lblFonteMerce", QStringLiteral("Fonte del valore"), 3120, 0, columnHeading),
        text(m_canvas, "lblMJm3", QStringLiteral("[MJ/m³]"), 4800, 0, columnHeading, 1000,
             Qt::AlignHCenter),
        text(m_canvas, "lblQtaMatInDep", QStringLiteral("Qtà"), 5920, 0, columnHeading, 800,
             Qt::AlignHCenter),
        text(m_canvas, "lblImballo", QStringLiteral("Imballo"), 6840, 0, columnHeading, 800,
             Qt::AlignHCenter),
        text(m_canvas, "lblContributoMerci", QStringLiteral("[MJ]"), kLoadLeft, 0, columnHeading,
             kLoadWidth, Qt::AlignHCenter),
        text(m_canvas, "lblPercentualeMerci", QStringLiteral("%"), kShareLeft, 0, columnHeading,
             kShareWidth, Qt::AlignHCenter),
    };
    buildSummary("lblArea");
    Form_Load();
}

void StampaElencoArredoMerci::Form_Load()
{
    // The document lists each part of a grid line that carries a furnishing and a stored good
    // in its own table; a list without furnishings has only the goods' table.
    const ReportPart list = showList();
    const ReportTable *goods = nullptr, *furnishings = nullptr;
    for (const ReportTable *table : list.tables())
        (table->title == ReportDocuments::kGoodsTable ? goods : furnishings) = table;
    const QList<QStringList> noRows;
    m_rows->clear();
    const int lastFurnishingTop =
        m_rows->addSection({{"Arredo", 960, 2100, false, 0},
                            {"FonteArredo", 3120, 1600, false, 1},
                            {"ValorePerPezzo", 4800, 1000, true, 2},
                            {"QtaArredo", 5920, 800, true, 3},
                            {"ContributoMJ", kLoadLeft, kLoadWidth, true, 4},
                            {"Percentuale", kShareLeft, kShareWidth, true, 5}},
                           3120, furnishings ? furnishings->rows : noRows);
    const int headingTop = lastFurnishingTop + 400;
    place(m_goodsHeading[0], 240, headingTop);
    m_goodsHeading[1]->move(m_goodsHeading[1]->x(), PageView::toPixelsY(headingTop + 240));
    for (size_t i = 2; i < m_goodsHeading.size(); ++i)
        m_goodsHeading[i]->move(m_goodsHeading[i]->x(), PageView::toPixelsY(headingTop + 600));
    // Every entry's share is numbered through both sections: the goods follow the furnishings.
    const int first = furnishings ? int(furnishings->rows.size()) : 0;
    const int lastGoodsTop =
        m_rows->addSection({{"MatInDep", 840, 2200, false, 0},
                            {"FonteMerce", 3120, 1600, false, 1},
                            {"ValPerM3", 4800, 1000, true, 2},
                            {"QtaMerce", 5920, 800, true, 3},
                            {"Imballo", 6840, 800, true, 4},
                            {"ContributoMJ", kLoadLeft, kLoadWidth, true, 5, first},
                            {"Percentuale", kShareLeft, kShareWidth, true, 6, first}},
                           headingTop + 1000, goods ? goods->rows : noRows);
    const ReportTable *last = goods ? goods : furnishings;
    placeTotal(lastGoodsTop + ListRows::kRowStep + 60,
               last ? last->totals.value(last->totals.size() - 2) : QString());
    placeSummary(lastGoodsTop + 1000);
}

void StampaElencoArredoMerci::showReportPage()
{
    if (QWidget *page = router().reportPage(Method::Furnishings))
        bringForward(*page);
}
