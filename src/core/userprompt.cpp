#include "core/userprompt.h"

#include <QtGlobal>

namespace {

// With no boxes installed (a program without windows), messages go to the log, questions are
// answered No and input boxes give an empty text.
class NoBoxes final : public UserPrompt
{
public:
    void message(const QString &text, const QString &title, Icon) override
    {
        qWarning("%s: %s", qPrintable(title), qPrintable(text));
    }
    bool confirm(const QString &text, const QString &title, Icon) override
    {
        qWarning("%s: %s (No)", qPrintable(title), qPrintable(text));
        return false;
    }
    QString input(const QString &, const QString &) override { return QString(); }
};

UserPrompt *installed = nullptr;

} // namespace

UserPrompt &UserPrompt::current()
{
    static NoBoxes none;
    return installed ? *installed : none;
}

void UserPrompt::install(UserPrompt *prompt)
{
    installed = prompt;
}

void showMessage(const QString &text)
{
    UserPrompt::current().message(text, kAppTitle, UserPrompt::Icon::None);
}
