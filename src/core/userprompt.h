#pragma once

#include <QString>
#include <QtGlobal>

// The message and input boxes of the program, behind one small interface: the lower layers
// report problems and ask questions through it, the screens install the real boxes (QMessageBox
// and QInputDialog titled "Ardivo") and tests install boxes that answer from a script.
class UserPrompt
{
public:
    enum class Icon { None, Warning, Critical };

    virtual ~UserPrompt() = default;

    // OK-only message box.
    virtual void message(const QString &text, const QString &title, Icon icon) = 0;
    // Yes/No box with Yes as the default button; true for Yes.
    virtual bool confirm(const QString &text, const QString &title, Icon icon) = 0;
    // Input box showing only a prompt, empty default; a cancelled box gives an empty text.
    virtual QString input(const QString &prompt, const QString &title) = 0;
    // The same with `proposed` already typed in it.
    virtual QString input(const QString &prompt, const QString &title, const QString &proposed)
    {
        Q_UNUSED(proposed)
        return input(prompt, title);
    }

    // Yes / No / Cancel, with Yes as the default button (Cancel when no box can be shown).
    enum class Answer { Yes, No, Cancel };
    virtual Answer ask(const QString &text, const QString &title)
    {
        Q_UNUSED(text)
        Q_UNUSED(title)
        return Answer::Cancel;
    }

    // File boxes: the path chosen, or an empty text when the box is cancelled. `filter` as Qt's
    // file dialogs take it ("Progetti Ardivo (*.ardivo)"); `proposed` is the first folder, or
    // the folder and the name proposed.
    virtual QString openFileName(const QString &title, const QString &proposed,
                                 const QString &filter)
    {
        Q_UNUSED(title)
        Q_UNUSED(proposed)
        Q_UNUSED(filter)
        return QString();
    }
    virtual QString saveFileName(const QString &title, const QString &proposed,
                                 const QString &filter)
    {
        Q_UNUSED(title)
        Q_UNUSED(proposed)
        Q_UNUSED(filter)
        return QString();
    }

    // The prompt in use: the one installed last, or one that only logs.
    static UserPrompt &current();
    // Installs `prompt` (not owned); nullptr goes back to the real boxes.
    static void install(UserPrompt *prompt);
};

inline const QString kAppTitle = QStringLiteral("Ardivo");

// The usual message of a screen: OK only, no icon, the application's title.
void showMessage(const QString &text);
