#pragma once

#include "core/reportdocument.h"
#include "output/reportlayout.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The report as it will print: the sheets of the one layout, one at a time, at the zoom the user
// picks, with "Stampa…" that asks for the printer and the pages. It opens beside the window that
// asked for it; asking again shows the new document in the same window.
class AnteprimaStampa : public QWidget
{
    Q_OBJECT
public:
    explicit AnteprimaStampa(QWidget *parent = nullptr);
    ~AnteprimaStampa() override;

    // Shows `document` from its first sheet, in the one preview window.
    static AnteprimaStampa &showDocument(const ReportDocument &document);
    void setDocument(const ReportDocument &document);
    int sheet() const { return m_sheet; }
    int sheetCount() const;
    // The sheet on show as drawn, at the zoom chosen.
    QImage sheetImage() const;

private:
    void showSheet(int sheet);
    void cmdStampa_Click();

    std::unique_ptr<ReportLayout::Sheets> m_sheets;
    int m_sheet = 0;
    QScrollArea *m_scroll;
    QLabel *m_picture;
    QLabel *m_pageLabel;
    QComboBox *m_zoom;
    QPushButton *m_previous;
    QPushButton *m_next;
};
