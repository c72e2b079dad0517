#include "ui/kit/messageboxprompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

// Every text a box shows may hold a name from the user or a file: it is plain text, never
// markup with pictures or links.

namespace {

QMessageBox::Icon toQt(UserPrompt::Icon icon)
{
    switch (icon) {
    case UserPrompt::Icon::Warning:
        return QMessageBox::Warning;
    case UserPrompt::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxPrompt::message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MessageBoxPrompt::confirm(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxPrompt::input(const QString &prompt, const QString &title)
{
    return input(prompt, title, QString());
}

QString MessageBoxPrompt::input(const QString &prompt, const QString &title,
                                const QString &proposed)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, proposed, &ok);
    return ok ? text : QString();
}

UserPrompt::Answer MessageBoxPrompt::ask(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString MessageBoxPrompt::openFileName(const QString &title, const QString &proposed,
                                       const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, proposed, filter);
}

QString MessageBoxPrompt::saveFileName(const QString &title, const QString &proposed,
                                       const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

MessageBoxPrompt &MessageBoxPrompt::instance()
{
    static MessageBoxPrompt prompt;
    return prompt;
}
