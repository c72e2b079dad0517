#pragma once

#include "core/calculation.h"
#include "core/calculationsession.h"
#include "core/reportdocument.h"

#include "ui/kit/screens.h"
#include "ui/reports/listrows.h"

#include <QStringList>
#include <array>
#include <vector>

class PageView;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// An itemised list: a page listing every entry summed into q_f, row by row in text fields, with
// the compartment area and q_f in a summary line under the last section.
class ItemisedList : public SecondaryWindow
{
    Q_OBJECT
public:
    PageView *pageView() const { return m_view; }

protected:
    using Column = ListRows::Column;

    ItemisedList(const char *name, const QString &caption, CalculationSession &session,
                 Method method, int canvasWidth, int canvasHeight, int clientWidth,
                 int clientHeight, int borderTop, int borderBottom, int titleTop);

    // Where each entry's fire load and share stand, in twips.
    static constexpr int kLoadLeft = 8000, kLoadWidth = 1500;
    static constexpr int kShareLeft = 9620, kShareWidth = 900;
    // The captions of those columns, at `top`, and the total under them.
    void addShareHeadings(int top);
    // The total of every entry's fire load under the list, at `top`.
    void placeTotal(int top, const QString &total);
    // The calculation's list as the report document holds it, its title and rule shown.
    ReportPart showList();
    // Places the summary line at `top` and makes the canvas tall enough for it.
    void placeSummary(int top);
    // Shows `title` in a label of its own width.
    static void showTitle(QLabel *label, const QString &title);
    // The heading under the title that names the rule applied.
    void showRuleHeading(const QString &heading);
    void buildSummary(const char *areaName);

    virtual void showReportPage() = 0;

    CalculationSession &m_session;
    PageView *m_view;
    QWidget *m_canvas;
    QHBoxLayout *m_bar; // the buttons above the page
    QLabel *m_title;    // Label1
    QPushButton *m_back;
    ListRows *m_rows;

private:
    void Indietro_Click();
    // The area and q_f of the calculation, once q_f has gone forward by this list's method.
    void showSummary();

    Method m_method;
    QLabel *m_ruleHeading;
    QLabel *m_totalCaption = nullptr;
    QLabel *m_total = nullptr;
    QLabel *m_summaryArea = nullptr;
    QLabel *m_summaryFireLoad = nullptr;
    int m_designHeight;
    int m_borderBottom;
    std::array<QWidget *, 4> m_border{};
    std::vector<QWidget *> m_summary;
};

// The materials summed on the materials page.
class StampaElencoMateriali : public ItemisedList
{
    Q_OBJECT
public:
    explicit StampaElencoMateriali(CalculationSession &session = CalculationSession::current());
    void Form_Load();

protected:
    void showReportPage() override;
};

// The furnishings and stored goods summed on the furnishings page.
class StampaElencoArredoMerci : public ItemisedList
{
    Q_OBJECT
public:
    explicit StampaElencoArredoMerci(CalculationSession &session = CalculationSession::current());
    // Builds the list from the calculation's entries; the furnishings screen also calls it
    // directly.
    void Form_Load();

protected:
    void showReportPage() override;

private:
    std::vector<QWidget *> m_goodsHeading;
};
