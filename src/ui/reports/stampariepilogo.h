#pragma once

#include "ui/reports/itemisedlist.h"

// "Riepilogo": the job's identity, the rules its compartments apply and a row for every compartment
// of the project, with the columns of the project window's table. As many sheets as the rows need.
class StampaRiepilogo : public ItemisedList
{
    Q_OBJECT
public:
    StampaRiepilogo();
    void Form_Load();

protected:
    void showReportPage() override;

private:
    QList<QLabel *> m_identity;
    QLabel *m_rules;            // "Normativa applicata: ..."
    QList<QLabel *> m_headings; // of the table's columns
};
