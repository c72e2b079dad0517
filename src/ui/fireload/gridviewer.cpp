#include "ui/fireload/gridviewer.h"

#include "ui/fireload/entriesview.h"
#include "ui/kit/navigation.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

GridViewer::GridViewer(const char *name, EntriesModel::Kind kind)
    : SecondaryWindow(name, QStringLiteral("Dati inseriti nella sommatoria")),
      m_entries(new EntriesView(kind, EntriesModel::Layout::Grid, "DataGrid1", "lblTotale", this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_entries);
    // Every column in sight at the opening size, on any screen the program runs on.
    const QMargins margins = layout->contentsMargins();
    int width = m_entries->fitColumns(240) + margins.left() + margins.right();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        width = std::min(width, screen->availableGeometry().width() - 40);
    resize(std::max(width, 480), 420);
    connect(m_entries, &EntriesView::entriesEdited, this, &GridViewer::entriesEdited);
}

EntriesModel *GridViewer::model() const
{
    return m_entries->model();
}

void GridViewer::closeEvent(QCloseEvent *event)
{
    SecondaryWindow::closeEvent(event);
    // At the end of the program there is nothing left to show q_f on.
    if (!router().programEnding())
        emit entriesEdited();
}

VisualTabMat::VisualTabMat() : GridViewer("VisualTabMat", EntriesModel::Kind::Materials) {}

VisualTabAppoggio::VisualTabAppoggio()
    : GridViewer("VisualTabAppoggio", EntriesModel::Kind::Furnishings)
{
}
