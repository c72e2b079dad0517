#include "ui/app/messageboxprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

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
    box.exec();
}

bool MessageBoxPrompt::confirm(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxPrompt::input(const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

MessageBoxPrompt &MessageBoxPrompt::instance()
{
    static MessageBoxPrompt prompt;
    return prompt;
}
