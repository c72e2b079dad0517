#include "ui/reports/anteprimastampa.h"

#include "core/userprompt.h"
#include "ui/kit/screens.h"
#include "ui/kit/widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// An A4 sheet on screen at 100%: its size in points at the screen's 96 dots per inch.
constexpr double kSheetWidth = 595.28 * 96 / 72;
constexpr double kSheetHeight = 841.89 * 96 / 72;
constexpr int kZooms[] = {50, 75, 100, 125, 150, 200};

} // namespace

AnteprimaStampa::AnteprimaStampa(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AnteprimaStampa"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    // Set here: a nested layout otherwise takes the window layout's zero spacing.
    bar->setSpacing(6);
    m_previous = makeButton(this, "cmdPrecedente", QStringLiteral("◀ Precedente"));
    m_next = makeButton(this, "cmdSuccessiva", QStringLiteral("Successiva ▶"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPagina"));
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("ComboZoom"));
    for (int zoom : kZooms)
        m_zoom->addItem(QStringLiteral("%1%").arg(zoom), zoom);
    m_zoom->setCurrentIndex(2);
    auto *print = makeButton(this, "cmdStampa", QStringLiteral("Stampa…"));
    auto *close = makeButton(this, "cmdChiudi", QStringLiteral("Chiudi"));
    bar->addWidget(m_previous);
    bar->addWidget(m_pageLabel);
    bar->addWidget(m_next);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    bar->addWidget(m_zoom);
    bar->addStretch();
    bar->addWidget(print);
    bar->addWidget(close);

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("imgFoglio"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollFoglio"));
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_picture);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_previous, &QPushButton::clicked, this, [this] { showSheet(m_sheet - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showSheet(m_sheet + 1); });
    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] { showSheet(m_sheet); });
    connect(print, &QPushButton::clicked, this, &AnteprimaStampa::cmdStampa_Click);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    // A sheet at 100% wide, as tall as the screen allows.
    const QSize largest = largestWindow();
    resize(std::min(largest.width(), int(kSheetWidth) + 60), largest.height());
}

AnteprimaStampa::~AnteprimaStampa() = default;

AnteprimaStampa &AnteprimaStampa::showDocument(const ReportDocument &document)
{
    static QPointer<AnteprimaStampa> window;
    if (!window)
        window = new AnteprimaStampa;
    window->setDocument(document);
    window->show();
    window->raise();
    window->activateWindow();
    return *window;
}

void AnteprimaStampa::setDocument(const ReportDocument &document)
{
    m_sheets = std::make_unique<ReportLayout::Sheets>(document);
    setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(document.title));
    showSheet(0);
}

int AnteprimaStampa::sheetCount() const
{
    return m_sheets ? m_sheets->count() : 0;
}

QImage AnteprimaStampa::sheetImage() const
{
    const double zoom = m_zoom->currentData().toInt() / 100.0;
    const qreal ratio = devicePixelRatioF();
    QImage image(QSize(int(kSheetWidth * zoom * ratio), int(kSheetHeight * zoom * ratio)),
                 QImage::Format_RGB32);
    if (m_sheets)
        m_sheets->paint(image, m_sheet);
    else
        image.fill(Qt::white);
    image.setDevicePixelRatio(ratio);
    return image;
}

void AnteprimaStampa::showSheet(int sheet)
{
    m_sheet = std::clamp(sheet, 0, std::max(sheetCount() - 1, 0));
    m_picture->setPixmap(QPixmap::fromImage(sheetImage()));
    m_picture->adjustSize();
    m_pageLabel->setText(QStringLiteral("Pagina %1 di %2").arg(m_sheet + 1).arg(sheetCount()));
    m_previous->setEnabled(m_sheet > 0);
    m_next->setEnabled(m_sheet + 1 < sheetCount());
    m_scroll->verticalScrollBar()->setValue(0);
}

void AnteprimaStampa::cmdStampa_Click()
{
    if (!m_sheets)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(m_sheets->document().title);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    dialog.setMinMax(1, sheetCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int first = range ? printer.fromPage() - 1 : 0;
    const int last = range ? printer.toPage() - 1 : -1;
    if (!ReportLayout::render(m_sheets->document(), printer, first, last))
        showMessage(QStringLiteral("Impossibile stampare la relazione."));
}
