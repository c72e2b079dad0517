#include "userprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class RealPrompt final : public UserPrompt
{
public:
    void message(const QString &text, const QString &title, Icon icon) override
    {
        QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    bool confirm(const QString &text, const QString &title, Icon icon) override
    {
        QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    QString input(const QString &prompt, const QString &title) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                   QLineEdit::Normal, QString(), &ok);
        return ok ? text : QString();
    }

private:
    static QMessageBox::Icon toQt(Icon icon)
    {
        switch (icon) {
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
        }
        return QMessageBox::NoIcon;
    }
};

UserPrompt *installed = nullptr;

} // namespace

UserPrompt &UserPrompt::current()
{
    static RealPrompt real;
    return installed ? *installed : real;
}

void UserPrompt::install(UserPrompt *prompt)
{
    installed = prompt;
}

void showMessage(const QString &text)
{
    UserPrompt::current().message(text, kAppTitle, UserPrompt::Icon::None);
}
