#include "ui/kit/screens.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

QSize largestWindow()
{
    return {1366 - 16, 768 - 88}; // a 1366x768 screen less the frame, title and task bars
}

void placeOver(QWidget &next, const QWidget &current)
{
    if (&next == &current || !next.isWindow())
        return;
    if (!next.isVisible()) {
        next.ensurePolished();
        const QSize wanted = next.testAttribute(Qt::WA_Resized) ? next.size() : next.sizeHint();
        next.resize(wanted.boundedTo(largestWindow()).expandedTo(next.minimumSizeHint()));
    }
    if (!current.isVisible())
        return;
    // The frame's offset of the window that stands there, for the one that has none yet.
    const QPoint frame = current.geometry().topLeft() - current.frameGeometry().topLeft();
    QPoint topLeft = current.geometry().center() - QPoint(next.width() / 2, next.height() / 2);
    topLeft -= frame;
    if (const QScreen *screen = current.screen()) {
        const QRect room = screen->availableGeometry();
        if (next.width() + frame.x() * 2 <= room.width() &&
            next.height() + frame.y() + frame.x() <= room.height()) {
            topLeft.setX(std::clamp(topLeft.x(), room.left(),
                                    room.right() + 1 - next.width() - 2 * frame.x()));
            topLeft.setY(std::clamp(topLeft.y(), room.top(),
                                    room.bottom() + 1 - next.height() - frame.y() - frame.x()));
        }
    }
    next.move(topLeft);
}

void fitToScreen(QWidget &window)
{
    if (window.isWindow() &&
        (window.width() > largestWindow().width() || window.height() > largestWindow().height()))
        window.resize(window.size().boundedTo(largestWindow()));
}

void showThenHide(QWidget &next, QWidget &current)
{
    placeOver(next, current);
    next.show();
    next.raise();
    next.activateWindow(); // the keys go on to the next screen
    current.hide();
}

void hideThenShow(QWidget &current, QWidget &next)
{
    placeOver(next, current);
    current.hide();
    next.show();
    next.raise();
    next.activateWindow();
}

MainScreen::MainScreen(const char *name, const QString &caption)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void MainScreen::setDefaultButton(QPushButton *button)
{
    button->setDefault(true);
    m_defaultButton = button;
}

void MainScreen::keyPressEvent(QKeyEvent *event)
{
    // Enter that no control took is the default button's, as in a dialog.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        QPushButton *button = m_defaultButton;
        if (button && button->isDefault() && button->isVisible() && button->isEnabled()) {
            event->accept();
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void MainScreen::showEvent(QShowEvent *event)
{
    fitToScreen(*this);
    QWidget::showEvent(event);
}

void MainScreen::closeEvent(QCloseEvent *event)
{
    ScreenRouter &routing = router();
    if (!routing.programEnding() && !routing.mayEndProgram()) {
        event->ignore();
        return;
    }
    event->accept();
    routing.endProgram();
}

SecondaryWindow::SecondaryWindow(const char *name, const QString &caption)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void SecondaryWindow::showEvent(QShowEvent *event)
{
    fitToScreen(*this);
    QWidget::showEvent(event);
}

void SecondaryWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    router().release(*this);
}
