#pragma once

#include "core/calculation.h"
#include "core/calculationsession.h"
#include "core/project.h"
#include "core/reportdocument.h"
#include "ui/kit/screens.h"
#include "ui/reports/reportprinter.h"

#include <QPointer>
#include <QVector>

class IncendioNaturale;
class ItemisedList;
class PageView;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// The calculation report page: one printable page restating every input and intermediate value
// of the calculation and the resulting classes. It shows the calculation under way, each value
// once the walk has passed the screen that confirms it; until then a field keeps what it showed.
class ReportPage : public MainScreen, public ProjectCommandsUser
{
    Q_OBJECT
public:
    // Where the three pages differ from one another.
    struct Layout {
        int canvasWidth, canvasHeight, clientWidth, clientHeight;
        int borderTop, borderBottom;
        int headingTop; // lblTestata; lblDecreto 480 lower
        int buttonsTop; // cmdIndietro, cmdNuova, cmdStampa
        int indietroLeft, nuovaLeft, stampaLeft;
        int line1Top, line1Left, line1Right;
        int formulaTitleLeft, formulaTitleTop;
        int formulaPictureLeft, formulaPictureTop;
        int section1Top; // heading "Carico d'incendio specifico"
        int section2Top, section2Row, section3Top, section3Row, section4Top, firstMeasureRow;
        int formulaLineTop, classTop, classMinTop;
    };

    PageView *pageView() const { return m_view; }

protected:
    ReportPage(const char *name, const QString &caption, Method method, const Layout &layout,
               CalculationSession &session);
    void showCalculation();
    // The band with the job's identity: built hidden, shown while the calculation belongs to a
    // project, with room made for it under the heading.
    void buildBand(QWidget *canvas);
    void showBand(bool shown);
    void showBandTexts(const ProjectIdentity &identity, const QString &compartment);
    static constexpr int kBandHeight = 540; // twips
    // Shows `value` in `field` once it is `known`; until then the field keeps what it showed
    // (its caption, or the value of the calculation before).
    static void showField(QLabel *field, bool known, const QString &value);
    // The first section's own fields from the document's report page; `page` is null while q_f
    // is not known.
    virtual void showFirstSection(const ReportPart *page) { Q_UNUSED(page) }
    // The q_f value at the right of the first section's last row.
    void addQfValue(QWidget *canvas, int top);
    // The caption of the itemised list at `top`, with the "*" that opens it, and q_f.
    void addListLink(const QString &caption, int top);

    // The report (the page, its list, the working) on the printer, or to a file the user names.
    void cmdStampa_Click();
    void exportReport(ReportPrinter::Format format);
    virtual void cmdNuova_Click();
    void cmdIndietro_Click();

    QPushButton *m_indietro;
    QPushButton *m_nuova;
    QPushButton *m_stampa;

protected:
    // The calculation shown: the one under way, or a saved one being exported.
    CalculationSession &m_session;

private:
    PageView *m_view;
    Method m_method;
    // The labels the page fills, each under its designer name.
    QLabel *m_decree = nullptr;                                 // lblDecreto
    QLabel *m_areaTable = nullptr, *m_riskTable = nullptr;      // lblTabellaDq1, lblTabellaDq2
    QLabel *m_measuresTable = nullptr, *m_classTable = nullptr; // lblTabellaDn, lblTabellaClassi
    QLabel *m_referenceCaption = nullptr;                       // Label34
    QLabel *m_minimumCaption = nullptr;                         // Label33
    QLabel *m_minimumEquals = nullptr;                          // lblUgualeC2
    QLabel *m_fireLoad = nullptr, *m_woodEquivalent = nullptr;  // Valoreqf, lblLegna
    QLabel *m_area = nullptr, *m_deltaQ1 = nullptr;             // lblSuperficie, lbldq1
    QLabel *m_riskClass = nullptr;                              // lblClasseRischio2
    QLabel *m_riskDescription = nullptr;                        // lblDescrClasseRischio2
    QLabel *m_deltaQ2 = nullptr;                                // lbldq2
    // The formula line: txtDensCarInc, txtFattDim, txtFattUtilizzo, txtFattProt, txtTotFormula.
    QLabel *m_lineFireLoad = nullptr, *m_lineDeltaQ1 = nullptr, *m_lineDeltaQ2 = nullptr;
    QLabel *m_lineDeltaN = nullptr, *m_lineDesign = nullptr;
    QLabel *m_referenceClass = nullptr, *m_minimumClass = nullptr; // lblClasse, lblClasseMin
    const Regulation *m_ruleShown = nullptr; // the rule laid out by showRule(), and with the band
    bool m_ruleShownWithBand = false;
    // One row of the protection measures: the caption, δn_k, "=" and the factor.
    struct MeasureRow {
        QLabel *caption, *symbol, *equals, *factor;
    };
    // The rows for the rule with the most measures; a rule with fewer hides the rest.
    void buildMeasureRows(QWidget *canvas);
    void showRule(const Regulation &regulation);
    // lblClasse in its row, or wide in the minimum class's row for a class that is no number.
    void placeClass(const Regulation &regulation);
    const Regulation *m_classRule = nullptr;
    bool m_classWide = false, m_classWithBand = false;
    // The heading and the class captions naming the calculation's performance level.
    void showLevel(const Calculation &calculation, const Regulation &regulation);
    QString m_levelShown;
    const Regulation *m_levelRule = nullptr;
    QLabel *m_tableClass = nullptr; // lblClasseTabella
    QVector<MeasureRow> m_measureRows;
    QVector<QLabel *> m_band;
    bool m_bandShown = false;
    QPointer<IncendioNaturale> m_naturalFire; // opened by cmdIncendioNaturale
    // The designer's notes under the page (txtNote), and the text the calculation last took
    // from it: an edit that would make them too long is taken back to it.
    void buildNotes(QVBoxLayout *windowLayout);
    void notesEdited();
    QPlainTextEdit *m_notes = nullptr;
    QString m_notesKept;

protected:
    const Layout m_layout;
};

class StampaAttivita : public ReportPage
{
    Q_OBJECT
public:
    explicit StampaAttivita(CalculationSession &session = CalculationSession::current());

private:
    void showFirstSection(const ReportPart *page) override;
    // The rows of the first section, different on each page.
    void buildFirstSection(QWidget *canvas);

    QLabel *m_activityType = nullptr;    // lblTipologia
    QLabel *m_nominalLoad = nullptr;     // lblCarIncSpecif
    QLabel *m_fractile = nullptr;        // lblFrattile
    QLabel *m_compartmentArea = nullptr; // lblArea
    QLabel *m_source = nullptr;          // lblFonteAttivita
};

class StampaMateriali : public ReportPage
{
    Q_OBJECT
public:
    explicit StampaMateriali(CalculationSession &session = CalculationSession::current());

private:
    void cmdNuova_Click() override;
};

class StampaArredoMerci : public ReportPage
{
    Q_OBJECT
public:
    explicit StampaArredoMerci(CalculationSession &session = CalculationSession::current());

private:
    void cmdNuova_Click() override;
};
