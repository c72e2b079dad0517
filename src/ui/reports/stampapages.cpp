#include "ui/reports/stampapages.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/projectdocument.h"
#include "core/reportdocument.h"
#include "core/userprompt.h"
#include "data/entrystore.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"
#include "ui/reports/anteprimastampa.h"
#include "ui/reports/incendionaturale.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportprinter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

using namespace PageCanvas;

namespace {

// Twips between the rows of the protection measures.
constexpr int kMeasureRowHeight = 480;

const QString kHeading =
    QStringLiteral("Classificazione di resistenza al fuoco delle costruzioni ");

// A value field: a label of fixed width whose text is written from outside.
QLabel *valueField(QWidget *canvas, const char *name, const QString &placeholder, int left, int top,
                   int width, const QFont &font, bool centred)
{
    return text(canvas, name, placeholder, left, top, font, width,
                centred ? Qt::AlignHCenter : Qt::AlignLeft);
}

// The "*" link to the itemised list, just after the attachment caption.
LinkLabel *listLink(QWidget *canvas, QLabel *caption)
{
    auto *link = new LinkLabel(QStringLiteral("*"), canvas);
    link->setObjectName(QStringLiteral("Label7"));
    link->setFont(verdana(12, true));
    link->adjustSize();
    link->move(caption->geometry().right() + PageView::toPixelsX(120),
               caption->y() + (caption->height() - link->height()) / 2);
    return link;
}

QLabel *sectionHeading(QWidget *canvas, const char *name, const QString &caption, int top,
                       const char *lineName, int lineRight)
{
    QLabel *heading = text(canvas, name, caption, 240, top, sansSerif(12, true));
    hline(canvas, lineName, top + 285, 240, lineRight);
    return heading;
}

// Where the page of the activity method differs from the others, in twips.
ReportPage::Layout activityPage()
{
    ReportPage::Layout l;
    l.canvasWidth = 11310;
    l.canvasHeight = 14400;
    l.clientWidth = 11610;
    l.clientHeight = 14850;
    l.borderTop = 0;
    l.borderBottom = 14265;
    l.headingTop = 120;
    l.line1Top = 1080;
    l.line1Left = 120;
    l.line1Right = 11040;
    l.formulaTitleLeft = 360;
    l.formulaTitleTop = 1200;
    l.formulaPictureLeft = 3480;
    l.formulaPictureTop = 1800;
    l.section1Top = 2355;
    l.section2Top = 4260;
    l.section2Row = 4920;
    l.section3Top = 5580;
    l.section3Row = 6180;
    l.section4Top = 6795;
    l.firstMeasureRow = 7440;
    l.formulaLineTop = 12120;
    l.classTop = 13080;
    l.classMinTop = 13680;
    return l;
}

// Where the page of the materials method differs from the others, in twips.
ReportPage::Layout materialsPage()
{
    ReportPage::Layout l;
    l.canvasWidth = 11895;
    l.canvasHeight = 14655;
    l.clientWidth = 11715;
    l.clientHeight = 14625;
    l.borderTop = 0;
    l.borderBottom = 14040;
    l.headingTop = 120;
    l.line1Top = 1080;
    l.line1Left = 120;
    l.line1Right = 11040;
    l.formulaTitleLeft = 360;
    l.formulaTitleTop = 1200;
    l.formulaPictureLeft = 3360;
    l.formulaPictureTop = 1680;
    l.section1Top = 2355;
    l.section2Top = 3930;
    l.section2Row = 4560;
    l.section3Top = 5235;
    l.section3Row = 5880;
    l.section4Top = 6450;
    l.firstMeasureRow = 7080;
    l.formulaLineTop = 11760;
    l.classTop = 12720;
    l.classMinTop = 13320;
    return l;
}

// Where the page of the furnishings method differs from the others, in twips.
ReportPage::Layout furnishingsPage()
{
    ReportPage::Layout l;
    l.canvasWidth = 11295;
    l.canvasHeight = 14775;
    l.clientWidth = 11505;
    l.clientHeight = 14850;
    l.borderTop = 240;
    l.borderBottom = 14520;
    l.headingTop = 480;
    l.line1Top = 1560;
    l.line1Left = 240;
    l.line1Right = 11160;
    l.formulaTitleLeft = 360;
    l.formulaTitleTop = 1560;
    l.formulaPictureLeft = 3360;
    l.formulaPictureTop = 2160;
    l.section1Top = 2760;
    l.section2Top = 4320;
    l.section2Row = 4920;
    l.section3Top = 5640;
    l.section3Row = 6240;
    l.section4Top = 6840;
    l.firstMeasureRow = 7440;
    l.formulaLineTop = 12120;
    l.classTop = 13080;
    l.classMinTop = 13680;
    return l;
}

} // namespace

ReportPage::ReportPage(const char *name, const QString &caption, Method method, const Layout &l,
                       CalculationSession &session)
    : MainScreen(name, caption), m_session(session),
      m_view(new PageView(l.canvasWidth, l.canvasHeight, this)), m_method(method), m_layout(l)
{
    // The buttons stand in a bar above the page: they are never part of it, on screen or in print.
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("barraPulsanti"));
    // Two rows, so that the bar stays narrower than the page with its scroll bar: the moves and
    // the project above, what the report is turned into below.
    auto *rows = new QVBoxLayout(bar);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(4);
    auto *moves = new QHBoxLayout;
    auto *outputs = new QHBoxLayout;
    for (QHBoxLayout *row : {moves, outputs}) {
        row->setSpacing(6);
        rows->addLayout(row);
    }
    m_indietro = makeButton(bar, "cmdIndietro", QStringLiteral("&Indietro"));
    m_nuova = makeButton(bar, "cmdNuova", QStringLiteral("Nuova analisi"));
    auto *saveInProject =
        makeButton(bar, "cmdSalvaCompartimento", QStringLiteral("Salva nel progetto"));
    auto *project = makeButton(bar, "cmdProgetto", QStringLiteral("Progetto"));
    auto *exportPdf = makeButton(bar, "cmdEsportaPdf", QStringLiteral("Esporta PDF…"));
    auto *exportOdt = makeButton(bar, "cmdEsportaOdt", QStringLiteral("Esporta ODT…"));
    auto *naturalFire =
        makeButton(bar, "cmdIncendioNaturale", QStringLiteral("Incendio naturale…"));
    auto *preview = makeButton(bar, "cmdAnteprima", QStringLiteral("Anteprima…"));
    m_stampa = makeButton(bar, "cmdStampa", QStringLiteral("Stampa"));
    for (QPushButton *button : {m_indietro, m_nuova, saveInProject, project})
        moves->addWidget(button);
    moves->addStretch();
    for (QPushButton *button : {exportPdf, exportOdt, naturalFire})
        outputs->addWidget(button);
    outputs->addStretch();
    outputs->addWidget(preview);
    outputs->addWidget(m_stampa);

    auto *windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    windowLayout->addWidget(bar);
    windowLayout->addWidget(m_view, 1);
    buildNotes(windowLayout);
    resize(PageView::toPixelsX(l.clientWidth),
           PageView::toPixelsY(l.clientHeight) + bar->sizeHint().height());

    QWidget *canvas = m_view->canvas();
    const QFont units = verdana(9.75, false);
    const QFont caption12 = serif(10);
    const QFont value11 = verdana(11.25, true);
    const QFont value12 = verdana(12, true);
    const QFont value15 = verdana(15.75, true);
    // The title and the section headings of the document's report page.
    Calculation own = session.calculation();
    own.method = method;
    const ReportPart page = ReportDocuments::reportPage(own);
    QStringList headings;
    for (const ReportBlock &block : page.blocks) {
        if (block.kind == ReportBlock::Kind::Heading)
            headings << block.text;
    }

    border(canvas, 0, l.borderTop, 11160, l.borderBottom);
    text(canvas, "lblTestata", kHeading, 0, l.headingTop, verdana(15.75, true), 11160,
         Qt::AlignHCenter);
    m_decree = text(canvas, "lblDecreto", m_session.regulation().heading, 0, l.headingTop + 420,
                    script(11), 11160, Qt::AlignHCenter);
    hline(canvas, "Line1", l.line1Top, l.line1Left, l.line1Right);

    text(canvas, "lblFormula", QLatin1Char(' ') + page.title, l.formulaTitleLeft, l.formulaTitleTop,
         sansSerif(12));
    symbol(canvas, "Picture2", Symbols::relation, l.formulaPictureLeft, l.formulaPictureTop, 14);
    text(canvas, "lblMJM2", QStringLiteral("[MJ/m²]"), l.formulaPictureLeft + 3315,
         l.formulaPictureTop + 60, units);

    // Compartment size
    sectionHeading(canvas, "Label9", headings.value(0), l.section1Top, "Line2", 3960);
    sectionHeading(canvas, "Label10", headings.value(1), l.section2Top, "Line3", 8280);
    text(canvas, "Label11", QStringLiteral("Superficie:"), 720, l.section2Row, caption12);
    m_area = valueField(canvas, "lblSuperficie", QStringLiteral("Superficie"), 2520, l.section2Row,
                        1900, caption12, false);
    text(canvas, "Label12", QStringLiteral("[m²]"), 4440, l.section2Row, units);
    symbol(canvas, "picDq1", Symbols::dq1, 7560, l.section2Row - 60);
    text(canvas, "lblUguale2", QStringLiteral("="), 8160, l.section2Row, value11);
    m_deltaQ1 = valueField(canvas, "lbldq1", QStringLiteral("dq1"), 8520, l.section2Row, 1100,
                           value11, true);

    // Risk class
    sectionHeading(canvas, "Label16", headings.value(2), l.section3Top, "Line4", 6720);
    text(canvas, "Label17", QStringLiteral("Classe di rischio:"), 720, l.section3Row, caption12);
    m_riskClass = valueField(canvas, "lblClasseRischio2", QStringLiteral("Classe di rischio"), 2640,
                             l.section3Row, 600, caption12, false);
    m_riskDescription = valueField(canvas, "lblDescrClasseRischio2",
                                   QStringLiteral("descrizione classe di rischio"), 3240,
                                   l.section3Row - 120, 3975, sansSerif(7), false);
    m_riskDescription->setWordWrap(true);
    m_riskDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_riskDescription, 3240, l.section3Row - 120, 3975, 855);
    symbol(canvas, "picDq2", Symbols::dq2, 7560, l.section3Row - 60);
    text(canvas, "lblUguale3", QStringLiteral("="), 8160, l.section3Row, value11);
    m_deltaQ2 = valueField(canvas, "lbldq2", QStringLiteral("dq2"), 8520, l.section3Row, 1100,
                           value11, true);

    // Protection measures
    sectionHeading(canvas, "Label19", headings.value(3), l.section4Top, "Line5", 3000);
    buildMeasureRows(canvas);

    // The formula line with the values of this calculation
    const int f = l.formulaLineTop;
    // q_f with its two decimals needs more room than the factors.
    symbol(canvas, "picQfd", Symbols::qfd, 1560, f - 60, 14);
    text(canvas, "lblUgualeF1", QStringLiteral("="), 2160, f, value15);
    m_lineFireLoad = valueField(canvas, "txtDensCarInc", QString(), 2400, f, 1920, value12, true);
    text(canvas, "lblPer1", QStringLiteral("."), 4320, f, value15);
    m_lineDeltaQ1 = valueField(canvas, "txtFattDim", QString(), 4560, f, 600, value12, true);
    text(canvas, "lblPer2", QStringLiteral("."), 5160, f, value15);
    m_lineDeltaQ2 = valueField(canvas, "txtFattUtilizzo", QString(), 5400, f, 600, value12, true);
    text(canvas, "lblPer3", QStringLiteral("."), 6000, f, value15);
    m_lineDeltaN = valueField(canvas, "txtFattProt", QString(), 6240, f, 1080, value12, true);
    text(canvas, "lblUgualeF2", QStringLiteral("="), 7320, f, value15);
    m_lineDesign = valueField(canvas, "txtTotFormula", QString(), 7800, f, 1800, value15, true);
    text(canvas, "Label36", QStringLiteral("[MJ/m²]"), 9600, f + 60, units);

    // The tables each section applies, where the rule cites them.
    const auto citation = [canvas](const char *field, int top) {
        return text(canvas, field, QString(), 8400, top + 60, sansSerif(8), 2640, Qt::AlignRight);
    };
    m_areaTable = citation("lblTabellaDq1", l.section2Top);
    m_riskTable = citation("lblTabellaDq2", l.section3Top);
    m_measuresTable = citation("lblTabellaDn", l.section4Top);
    m_classTable =
        text(canvas, "lblTabellaClassi", QString(), 2040, l.classTop - 330, sansSerif(8), 6000);
    m_referenceCaption = text(canvas, "Label34", QString(), 2040, l.classTop, sansSerif(11, true));
    text(canvas, "lblUgualeC1", QStringLiteral("="), 8775, l.classTop, value15);
    m_referenceClass =
        valueField(canvas, "lblClasse", QString(), 9210, l.classTop, 900, value15, true);
    m_minimumCaption = text(canvas, "Label33", QString(), 2040, l.classMinTop, sansSerif(11, true));
    m_minimumEquals =
        text(canvas, "lblUgualeC2", QStringLiteral("="), 8820, l.classMinTop, value15);
    m_minimumClass =
        valueField(canvas, "lblClasseMin", QString(), 9240, l.classMinTop, 900, value15, true);
    // The class of the table beside the one the level requires, where they differ.
    m_tableClass = text(canvas, "lblClasseTabella", QString(), 6000, l.classTop - 330,
                        sansSerif(8, true), 5040, Qt::AlignRight);

    connect(m_indietro, &QPushButton::clicked, this, &ReportPage::cmdIndietro_Click);
    connect(m_nuova, &QPushButton::clicked, this, [this] { cmdNuova_Click(); });
    connect(m_stampa, &QPushButton::clicked, this, [this] { cmdStampa_Click(); });
    connect(preview, &QPushButton::clicked, this, [this] {
        AnteprimaStampa::showDocument(ReportPrinter::sessionDocument(m_session, m_method));
    });
    connect(exportPdf, &QPushButton::clicked, this,
            [this] { exportReport(ReportPrinter::Format::Pdf); });
    connect(exportOdt, &QPushButton::clicked, this,
            [this] { exportReport(ReportPrinter::Format::Odt); });
    connect(naturalFire, &QPushButton::clicked, this, [this] {
        if (!m_naturalFire)
            m_naturalFire = new IncendioNaturale(m_session, this);
        m_naturalFire->show();
        bringForward(*m_naturalFire);
    });
    connect(saveInProject, &QPushButton::clicked, this,
            [this] { projectCommands().saveCurrentCompartment(); });
    connect(project, &QPushButton::clicked, this, [this] { router().showProjectWindow(); });
    buildBand(canvas);
    connect(&m_session, &CalculationSession::changed, this, &ReportPage::showCalculation);
    connect(&ProjectDocument::current(), &ProjectDocument::changed, this,
            &ReportPage::showCalculation);
}

void ReportPage::buildMeasureRows(QWidget *canvas)
{
    static const char *const kCaptions[] = {"lbl1",    "lbl2",    "Label29", "Label28", "lbl5",
                                            "Label27", "Label26", "Label25", "Label24"};
    int rows = 0;
    for (Rule rule : Regulation::rules())
        rows = std::max(rows, int(Regulation::forRule(rule).measures.size()));
    const QFont value11 = verdana(11.25, true);
    for (int i = 0; i < rows; ++i) {
        const QString captionName =
            i < 9 ? QString::fromLatin1(kCaptions[i]) : QStringLiteral("lblMisura%1").arg(i + 1);
        const QString factorName = QStringLiteral("lblFattProt%1").arg(i + 1);
        MeasureRow row{
            text(canvas, qPrintable(captionName), QString(), 480, 0, sansSerif(10)),
            symbol(canvas, nullptr, Symbols::dnIndex(i + 1), 7560, 0),
            text(canvas, nullptr, QStringLiteral("="), 8160, 0, value11),
            valueField(canvas, qPrintable(factorName), QString(), 8520, 0, 1100, value11, true),
        };
        m_measureRows << row;
    }
}

void ReportPage::showRule(const Regulation &regulation)
{
    // Laid out again only for another rule, or once the band has moved the rows.
    if (&regulation == m_ruleShown && m_bandShown == m_ruleShownWithBand)
        return;
    m_ruleShown = &regulation;
    m_ruleShownWithBand = m_bandShown;
    m_levelRule = nullptr; // the heading and captions below are written again for the level
    m_decree->setText(regulation.heading);
    m_areaTable->setText(regulation.citation(regulation.tables.areaClasses));
    m_riskTable->setText(regulation.citation(regulation.tables.riskClasses));
    m_measuresTable->setText(regulation.citation(regulation.tables.measures));
    m_classTable->setText(regulation.citation(regulation.tables.classes));
    m_referenceCaption->setText(ReportDocuments::referenceClassCaption(regulation, QString()));
    m_minimumCaption->setText(ReportDocuments::minimumClassCaption(regulation, QString()));
    m_referenceCaption->adjustSize();
    m_minimumCaption->adjustSize();
    for (QLabel *item : {m_minimumCaption, m_minimumEquals, m_minimumClass})
        item->setVisible(regulation.hasMinimumClass);

    // The measures share the room of nine rows; more of them take narrower rows and a smaller
    // type, their captions wrapping onto a second line.
    const int offset = m_bandShown ? kBandHeight : 0;
    const int count = int(regulation.measures.size());
    const int height = count > 9 ? kMeasureRowHeight * 9 / count : kMeasureRowHeight;
    for (int i = 0; i < m_measureRows.size(); ++i) {
        const MeasureRow &row = m_measureRows[i];
        const bool shown = i < count;
        for (QLabel *item : {row.caption, row.symbol, row.equals, row.factor})
            item->setVisible(shown);
        if (!shown)
            continue;
        const int top = m_layout.firstMeasureRow + offset + height * i;
        row.caption->setText(regulation.measures.at(i).description);
        row.caption->setFont(sansSerif(count > 9 ? 8 : 10));
        row.caption->setWordWrap(count > 9);
        if (count > 9)
            place(row.caption, 480, top - 60, 6960, height);
        else
            place(row.caption, 480, top);
        place(row.symbol, 7560, top - 60);
        place(row.equals, 8160, top);
        place(row.factor, 8520, top, 1100);
    }

    placeClass(regulation);
}

void ReportPage::placeClass(const Regulation &regulation)
{
    // A class that is no number ("Nessun requisito", "Nessun requisito di capacità portante")
    // takes the row of the minimum class, which such a rule does not have.
    QLabel *reference = m_referenceClass;
    bool number = false;
    reference->text().toInt(&number);
    const bool wide = !regulation.hasMinimumClass && !reference->text().isEmpty() && !number;
    if (wide == m_classWide && &regulation == m_classRule && m_bandShown == m_classWithBand)
        return;
    m_classWide = wide;
    m_classRule = &regulation;
    m_classWithBand = m_bandShown;
    const int offset = m_bandShown ? kBandHeight : 0;
    const int width = wide ? 6110 : 900;
    reference->setFont(verdana(wide ? 12 : 15.75, true));
    reference->setAlignment((wide ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignVCenter);
    reference->setFixedWidth(PageView::toPixelsX(width));
    place(reference, wide ? 4000 : 9210, (wide ? m_layout.classMinTop : m_layout.classTop) + offset,
          width);
}

void ReportPage::buildBand(QWidget *canvas)
{
    // Two rows under the heading, in the room the page makes for them when it is shown.
    struct Slot {
        const char *name;
        int left, width, row;
    };
    static constexpr Slot kSlots[] = {
        {"lblProgetto", 240, 3540, 0},       {"lblCommittente", 3840, 3600, 0},
        {"lblUbicazione", 7500, 3420, 0},    {"lblAttivitaProgetto", 240, 2640, 1},
        {"lblCompartimento", 2940, 3300, 1}, {"lblTecnico", 6300, 2880, 1},
        {"lblData", 9240, 1680, 1},
    };
    const int top = m_layout.line1Top + 30;
    for (const Slot &slot : kSlots) {
        QLabel *label = text(canvas, slot.name, QString(), slot.left, top + slot.row * 240,
                             sansSerif(8), slot.width);
        label->hide();
        m_band << label;
    }
}

void ReportPage::showBand(bool shown)
{
    if (shown != m_bandShown) {
        // Everything under the heading's rule moves down to make room for the band, or back up.
        QWidget *canvas = m_view->canvas();
        const int delta = (shown ? 1 : -1) * kBandHeight;
        const int deltaPixels = PageView::toPixelsY(std::abs(delta)) * (shown ? 1 : -1);
        // The heading's rule and all that follows it move; the band takes the room above them.
        const int rule = PageView::toPixelsY(m_layout.line1Top) - 1;
        for (QObject *child : canvas->children()) {
            auto *item = qobject_cast<QWidget *>(child);
            if (!item || std::find(m_band.cbegin(), m_band.cend(), item) != m_band.cend())
                continue;
            if (item->y() >= rule)
                item->move(item->x(), item->y() + deltaPixels);
            else if (item->y() + item->height() > rule) // a side of the border
                item->setFixedHeight(item->height() + deltaPixels);
        }
        const int height = canvas->property("heightTwips").toInt() + delta;
        canvas->setProperty("heightTwips", height);
        canvas->setFixedHeight(canvas->height() + deltaPixels);
        canvas->setProperty("sheetHeightPixels", canvas->height());
        m_bandShown = shown;
        m_view->Form_Resize();
    }
    for (QLabel *label : m_band)
        label->setVisible(shown);
}

void ReportPage::showBandTexts(const ProjectIdentity &identity, const QString &compartment)
{
    // The document's band, field by field; the revision, where there is one, is on paper only.
    const auto fields = ReportDocuments::identityFields(identity, compartment);
    for (int i = 0; i < m_band.size(); ++i)
        showWhole(m_band[i], fields.value(i).first + QStringLiteral(": ") + fields.value(i).second);
}

void ReportPage::buildNotes(QVBoxLayout *windowLayout)
{
    // Under the page, never on it: the notes print after the working, on sheets of their own.
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("barraNote"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(6);
    auto *caption = new QLabel(QStringLiteral("Note e ipotesi:"), panel);
    caption->setObjectName(QStringLiteral("lblNote"));
    row->addWidget(caption, 0, Qt::AlignTop);
    m_notes = new QPlainTextEdit(panel);
    m_notes->setObjectName(QStringLiteral("txtNote"));
    m_notes->setTabChangesFocus(true);
    m_notes->setPlaceholderText(QStringLiteral(
        "Le ipotesi e le scelte del calcolo: sono stampate dopo lo sviluppo del calcolo"));
    m_notes->setFixedHeight(m_notes->fontMetrics().lineSpacing() * 4 + 12);
    row->addWidget(m_notes, 1);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    windowLayout->addWidget(panel);
    connect(m_notes, &QPlainTextEdit::textChanged, this, &ReportPage::notesEdited);
}

void ReportPage::notesEdited()
{
    const QString typed = m_notes->toPlainText();
    if (m_session.setNotes(typed)) {
        m_notesKept = typed;
        return;
    }
    // Too long, or not a text a file can hold: the edit is taken back whole, the cursor where
    // it stood before it, and the user told why.
    const QString why = notesRefusal(normalisedText(typed));
    const int cursor =
        std::clamp(m_notes->textCursor().position() - int(typed.size() - m_notesKept.size()), 0,
                   int(m_notesKept.size()));
    {
        const QSignalBlocker blocker(m_notes);
        m_notes->setPlainText(m_notesKept);
        QTextCursor kept = m_notes->textCursor();
        kept.setPosition(cursor);
        m_notes->setTextCursor(kept);
    }
    UserPrompt::current().message(why + QStringLiteral(" Il testo aggiunto non è stato inserito."),
                                  QStringLiteral("Ardivo"), UserPrompt::Icon::Warning);
}

void ReportPage::showField(QLabel *field, bool known, const QString &value)
{
    if (known)
        field->setText(value);
}

void ReportPage::showCalculation()
{
    using S = CalculationSession;
    const S &session = m_session;
    // The job's band while the calculation belongs to a project.
    const bool inProject = !session.compartmentName().isEmpty();
    if (inProject)
        showBandTexts(ProjectDocument::current().project().identity, session.compartmentName());
    showBand(inProject);
    const Calculation &c = session.calculation();
    const Regulation &r = session.regulation();
    // The figures and fields of the report page as the document prints them.
    const ReportFigures f = reportFigures(c);
    Calculation own = c;
    own.method = m_method;
    const ReportPart page = ReportDocuments::reportPage(own);
    const bool fireLoad = session.reached(S::FireLoadPassed) && c.method == m_method;
    // The screens' q_f (its integer part) is the text this field keeps for the screens that
    // read it; the formula line under it carries the printed one.
    showField(m_fireLoad, fireLoad, f.fireLoad);
    // q_f enters the product of the formula line: with the decimals that make it hold.
    showField(m_lineFireLoad, fireLoad, f.printedFireLoad);
    showField(m_woodEquivalent, fireLoad, page.field(ReportDocuments::kWoodEquivalent));
    showFirstSection(fireLoad ? &page : nullptr);

    showField(m_area, c.areaClass.has_value(), f.areaClass);
    const bool areaClass = session.reached(S::AreaClassPassed);
    showField(m_deltaQ1, areaClass, f.deltaQ1);
    showField(m_lineDeltaQ1, areaClass, f.deltaQ1);

    showField(m_riskClass, c.riskClass.has_value(), f.riskClass);
    showField(m_riskDescription, c.riskClass.has_value(), f.riskDescription);
    const bool riskClass = session.reached(S::RiskClassPassed);
    showField(m_deltaQ2, riskClass, f.deltaQ2);
    showField(m_lineDeltaQ2, riskClass, f.deltaQ2);

    for (int i = 0; i < m_measureRows.size(); ++i)
        m_measureRows[i].factor->setText(f.measureFactors.value(i));
    const bool design = session.reached(S::DesignPassed);
    showField(m_lineDeltaN, design, f.deltaN);
    showField(m_lineDesign, design, f.designFireLoad);
    const bool classes = session.reached(S::ClassesReported);
    showField(m_referenceClass, classes, f.referenceClass);
    showField(m_minimumClass, classes, f.minimumClass);
    showField(m_tableClass, classes, CalculationTexts::tableClassBeside(c));
    showRule(r);
    showLevel(c, r);
    if (normalisedText(m_notes->toPlainText()) != c.notes) {
        const QSignalBlocker blocker(m_notes);
        m_notes->setPlainText(c.notes);
        m_notesKept = c.notes;
    }
}

void ReportPage::showLevel(const Calculation &c, const Regulation &r)
{
    // The heading and the captions name the compartment's performance level.
    const QString level = CalculationTexts::levelName(c);
    if (level == m_levelShown && &r == m_levelRule)
        return;
    m_levelShown = level;
    m_levelRule = &r;
    m_decree->setText(ReportDocuments::headingOf(c));
    m_referenceCaption->setText(ReportDocuments::referenceClassCaption(r, level));
    m_minimumCaption->setText(ReportDocuments::minimumClassCaption(r, level));
    m_referenceCaption->adjustSize();
    m_minimumCaption->adjustSize();
    placeClass(r);
}

void ReportPage::addQfValue(QWidget *canvas, int top)
{
    symbol(canvas, "picQf", Symbols::qf, 7560, top - 60);
    text(canvas, "lblUgualeQf", QStringLiteral("="), 8040, top, verdana(11.25, true));
    m_fireLoad = valueField(canvas, "Valoreqf", QStringLiteral("valoreqf"), 8160, top, 1500,
                            verdana(11.25, true), true);
    text(canvas, "Label13", QStringLiteral("[MJ/m²]"), 9705, top, verdana(9.75, false));
    // The same fire load as standard wood, under it.
    m_woodEquivalent =
        text(canvas, "lblLegna", QString(), 7560, top + 330, verdana(8.25, false), 3400);
}

void ReportPage::cmdIndietro_Click()
{
    hideThenShow(*this, router().screen(ScreenRouter::Screen::Result));
}

void ReportPage::cmdNuova_Click()
{
    hideThenShow(*this, router().screen(ScreenRouter::Screen::MethodChooser));
}

void ReportPage::cmdStampa_Click()
{
    ReportPrinter::print(ReportPrinter::sessionDocument(m_session, m_method));
}

void ReportPage::exportReport(ReportPrinter::Format format)
{
    const QString projectName = m_session.compartmentName().isEmpty()
                                    ? QString()
                                    : ProjectDocument::current().project().identity.name;
    const QString name = ReportPrinter::exportName(projectName, m_session.compartmentName());
    ReportPrinter::exportWithDialog(
        format, name, [this] { return ReportPrinter::sessionDocument(m_session, m_method); });
}

// ---------------------------------------------------------------------------------------------

StampaAttivita::StampaAttivita(CalculationSession &session)
    : ReportPage("StampaAttivita", QStringLiteral("Stampa rapporto per attività"), Method::Activity,
                 activityPage(), session)
{
    buildFirstSection(pageView()->canvas());
    showCalculation();
}

void StampaAttivita::showFirstSection(const ReportPart *page)
{
    using namespace ReportDocuments;
    const auto field = [page](const QString &caption) {
        return page ? page->field(caption) : QString();
    };
    showField(m_activityType, page, field(kActivityType));
    showField(m_nominalLoad, page, field(kNominalLoad));
    showField(m_fractile, page, field(kFractile));
    showField(m_compartmentArea, page, field(kCompartmentArea));
    if (page) {
        // On two lines beside the load; a longer source is shortened, whole in the tooltip.
        const QString source = field(kValueSource).isEmpty()
                                   ? QString()
                                   : kValueSource + QStringLiteral(": ") + field(kValueSource);
        m_source->setToolTip(plainToolTip(source));
        m_source->setText(m_source->fontMetrics().elidedText(
            source, Qt::ElideRight,
            m_source->width() * 2 - m_source->fontMetrics().averageCharWidth() * 12));
    }
}

void StampaAttivita::buildFirstSection(QWidget *canvas)
{
    const QFont caption = serif(10);
    text(canvas, "lblTipol", QStringLiteral("Tipologia di attività:"), 720, 2880, caption);
    m_activityType = valueField(canvas, "lblTipologia", QStringLiteral("Tipologia:"), 4200, 2880,
                                6900, caption, false);
    text(canvas, "Label6", QStringLiteral("Carico d'incendio specifico:"), 720, 3240, caption);
    m_nominalLoad = valueField(canvas, "lblCarIncSpecif", QStringLiteral("CarIncSpecif"), 4200,
                               3240, 1200, caption, false);
    text(canvas, "Label14", QStringLiteral("[MJ/m²]"), 5430, 3240, verdana(9.75, false));
    m_source = text(canvas, "lblFonteAttivita", QString(), 6240, 3180, sansSerif(7), 4860);
    m_source->setWordWrap(true);
    m_source->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_source, 6240, 3180, 4860, 340);
    text(canvas, "Label7", QStringLiteral("Frattile 80%:"), 720, 3600, caption);
    m_fractile = valueField(canvas, "lblFrattile", QStringLiteral("Frattile"), 4200, 3600, 1200,
                            caption, false);
    text(canvas, "lblSuperficieComp", QStringLiteral("Superficie del compartimento:"), 720, 3960,
         caption);
    m_compartmentArea =
        valueField(canvas, "lblArea", QStringLiteral("Area"), 4200, 3960, 1200, caption, false);
    text(canvas, "lblUnitaArea", QStringLiteral("[m²]"), 5430, 3960, verdana(9.75, false));
    addQfValue(canvas, 3600);
}

StampaMateriali::StampaMateriali(CalculationSession &session)
    : ReportPage("StampaMateriali", QStringLiteral("Stampa rapporto per materiali"),
                 Method::Materials, materialsPage(), session)
{
    addListLink(QStringLiteral("Allegato elenco materiali aggiunti nella sommatoria"), 3000);
    showCalculation();
}

void ReportPage::addListLink(const QString &caption, int top)
{
    QWidget *canvas = m_view->canvas();
    LinkLabel *link = listLink(canvas, text(canvas, "Label6", caption, 600, top, sansSerif(9)));
    connect(link, &LinkLabel::clicked, this, [this] {
        // The furnishings list is built afresh on every click, from the entries as they are now;
        // the materials list is shown as it is until its Indietro releases it.
        const bool fresh = m_method == Method::Furnishings;
        if (QWidget *list = router().itemisedList(m_method, fresh))
            bringForward(*list);
    });
    addQfValue(canvas, top);
}

void StampaMateriali::cmdNuova_Click()
{
    ReportPage::cmdNuova_Click();
    EntryStore::clearMaterials(CalculationSession::current());
}

StampaArredoMerci::StampaArredoMerci(CalculationSession &session)
    : ReportPage("StampaArredoMerci",
                 QStringLiteral("Stampa rapporto per arredo e/o merci in deposito"),
                 Method::Furnishings, furnishingsPage(), session)
{
    addListLink(QStringLiteral(
                    "Allegato elenco arredo e/o materiali in deposito aggiunti nella sommatoria"),
                3360);
    showCalculation();
}

void StampaArredoMerci::cmdNuova_Click()
{
    ReportPage::cmdNuova_Click();
    EntryStore::clearFurnishings(CalculationSession::current());
}
