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

QString listText(const Amount &value)
{
    return CalculationTexts::number(value);
}

ItemisedList::ItemisedList(const char *name, const QString &caption, CalculationSession &session,
                           Method method, int canvasWidth, int canvasHeight, int clientWidth,
                           int clientHeight, int borderTop, int borderBottom, const QString &title,
                           int titleTop)
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
    text(m_canvas, "Label1", title, 360, titleTop, sansSerif(13.5));
    m_border = border(m_canvas, 0, borderTop, 11160, borderBottom);

    connect(m_back, &QPushButton::clicked, this, &ItemisedList::Indietro_Click);
    // A compartment's list names the rule of its calculation; the summary names its own.
    if (m_method != Method::None)
        connect(&m_session, &CalculationSession::changed, this,
                [this] { showRuleHeading(ReportDocuments::headingOf(m_session.calculation())); });
}

void ItemisedList::showRuleHeading(const QString &heading)
{
    m_ruleHeading->setText(heading);
}

void ItemisedList::showSummary()
{
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

void ItemisedList::placeTotal(int top, double total)
{
    m_total->setText(CalculationTexts::entryLoad(total));
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
    Navigation::current().release(*this);
}

// ---------------------------------------------------------------------------------------------

StampaElencoMateriali::StampaElencoMateriali(CalculationSession &session)
    : ItemisedList("StampaElencoMateriali", QStringLiteral("Stampa elenco materiali"), session,
                   Method::Materials, 11235, 14670, 11655, 14100, 0, 13770,
                   QStringLiteral("Elenco di materiali inseriti nella sommatoria"), 1200)
{
    const QFont heading = sansSerif(12, true);
    const QFont columnHeading = sansSerif(9, true);
    text(m_canvas, "Label9", QStringLiteral("Carico d'incendio specifico materiali"), 240, 1980,
         heading);
    hline(m_canvas, "Line2", 2280, 240, 5400);
    text(m_canvas, "Label2", QStringLiteral("Materiali"), 1080, 2520, columnHeading);
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
    const QVector<MaterialEntry> &entries = m_session.calculation().materials;
    const double total = materialsSum(entries).total;
    QList<QStringList> rows;
    for (const MaterialEntry &e : entries) {
        const double load = entryFireLoad(e);
        rows << QStringList{e.name,
                            listText(e.valuePerKg),
                            listText(e.psi),
                            listText(e.m),
                            listText(e.quantity),
                            CalculationTexts::entryLoad(load),
                            CalculationTexts::share(load, total)};
    }
    m_rows->clear();
    const int emptyRowTop = m_rows->addSection({{"Materiale", 720, 3480, false},
                                                {"ValorePerKg", 4320, 900, true},
                                                {"FattorePsi", 5340, 600, true},
                                                {"Fattore_m", 6060, 600, true},
                                                {"QtaMat", 6780, 1100, true},
                                                {"ContributoMJ", kLoadLeft, kLoadWidth, true},
                                                {"Percentuale", kShareLeft, kShareWidth, true}},
                                               3000, rows);
    placeTotal(emptyRowTop + ListRows::kRowStep + 60, total);
    placeSummary(emptyRowTop + 1000);
}

void StampaElencoMateriali::showReportPage()
{
    if (QWidget *page = Navigation::current().reportPage(Method::Materials))
        bringForward(*page);
}

StampaElencoArredoMerci::StampaElencoArredoMerci(CalculationSession &session)
    : ItemisedList(
          "StampaElencoArredoMerci",
          QStringLiteral("Stampa elenco per arredo e/o merci in deposito"), session,
          Method::Furnishings, 11415, 14895, 11625, 14160, 120, 13560,
          QStringLiteral("Elenco di arredi e/o merci in deposito inseriti nella sommatoria"), 1320)
{
    const QFont heading = sansSerif(12, true);
    const QFont columnHeading = sansSerif(9, true);
    text(m_canvas, "Label9", QStringLiteral("Carico d'incendio specifico arredi"), 240, 2160,
         heading);
    hline(m_canvas, "Line2", 2400, 240, 5400);
    text(m_canvas, "Label3", QStringLiteral("Arredo"), 1320, 2640, columnHeading);
    text(m_canvas, "Label4", QStringLiteral("[MJ/pezzo]"), 4800, 2640, columnHeading, 1000,
         Qt::AlignHCenter);
    text(m_canvas, "Label5", QStringLiteral("Qtà"), 5920, 2640, columnHeading, 800,
         Qt::AlignHCenter);
    addShareHeadings(2640);
    m_goodsHeading = {
        text(m_canvas, "Label2", QStringLiteral("Carico d'incendio specifico merci in deposito"),
             240, 0, heading),
        hline(m_canvas, "Line3", 0, 480, 6240),
        text(m_canvas, "lblMatInDep", QStringLiteral("Materiale in Deposito"), 1440, 0,
             columnHeading),
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
    // A line edited in the grid may carry a furnishing and a stored good: each part is listed
    // in its own section.
    QVector<FurnishingEntry> printedFurnishings, printedGoods;
    for (const FurnishingEntry &e : m_session.calculation().furnishings) {
        if (!e.furnishing.isEmpty() || !e.valuePerPiece.isMissing()) {
            FurnishingEntry furnishing;
            furnishing.furnishing = e.furnishing;
            furnishing.valuePerPiece = e.valuePerPiece;
            furnishing.pieces = e.pieces;
            printedFurnishings << furnishing;
        }
        if (e.isGoods()) {
            FurnishingEntry goods;
            goods.goods = e.goods;
            goods.valuePerM3 = e.valuePerM3;
            goods.volume = e.volume;
            goods.packaging = e.packaging;
            printedGoods << goods;
        }
    }
    const double total = furnishingsSum(printedFurnishings + printedGoods).total;
    QList<QStringList> furnishings;
    for (const FurnishingEntry &e : printedFurnishings) {
        const double load = entryFireLoad(e);
        furnishings << QStringList{e.furnishing, listText(e.valuePerPiece), listText(e.pieces),
                                   CalculationTexts::entryLoad(load),
                                   CalculationTexts::share(load, total)};
    }
    QList<QStringList> goods;
    for (const FurnishingEntry &e : printedGoods) {
        QString packed;
        if (e.packaging.isNumber() && e.packaging.value() == 1.0)
            packed = QStringLiteral("no");
        else if (e.packaging.isNumber() &&
                 e.packaging.value() == CalculationRules::kPackagingFactor)
            packed = QStringLiteral("si");
        const double load = entryFireLoad(e);
        goods << QStringList{e.goods,
                             listText(e.valuePerM3),
                             listText(e.volume),
                             packed,
                             CalculationTexts::entryLoad(load),
                             CalculationTexts::share(load, total)};
    }

    m_rows->clear();
    const int lastFurnishingTop =
        m_rows->addSection({{"Arredo", 960, 3700, false},
                            {"ValorePerPezzo", 4800, 1000, true},
                            {"QtaArredo", 5920, 800, true},
                            {"ContributoMJ", kLoadLeft, kLoadWidth, true},
                            {"Percentuale", kShareLeft, kShareWidth, true}},
                           3120, furnishings);
    const int headingTop = lastFurnishingTop + 400;
    place(m_goodsHeading[0], 240, headingTop);
    m_goodsHeading[1]->move(m_goodsHeading[1]->x(), PageView::toPixelsY(headingTop + 240));
    for (size_t i = 2; i < m_goodsHeading.size(); ++i)
        m_goodsHeading[i]->move(m_goodsHeading[i]->x(), PageView::toPixelsY(headingTop + 600));
    // Every entry's share is numbered through both sections: the goods follow the furnishings.
    const int first = int(furnishings.size());
    const int lastGoodsTop =
        m_rows->addSection({{"MatInDep", 840, 3800, false},
                            {"ValPerM3", 4800, 1000, true},
                            {"QtaMerce", 5920, 800, true},
                            {"Imballo", 6840, 800, true},
                            {"ContributoMJ", kLoadLeft, kLoadWidth, true, first},
                            {"Percentuale", kShareLeft, kShareWidth, true, first}},
                           headingTop + 1000, goods);
    placeTotal(lastGoodsTop + ListRows::kRowStep + 60, total);
    placeSummary(lastGoodsTop + 1000);
}

void StampaElencoArredoMerci::showReportPage()
{
    if (QWidget *page = Navigation::current().reportPage(Method::Furnishings))
        bringForward(*page);
}
