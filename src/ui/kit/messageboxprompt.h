#pragma once

#include "core/userprompt.h"

// The program's real boxes: QMessageBox and QInputDialog over the active window.
class MessageBoxPrompt final : public UserPrompt
{
public:
    void message(const QString &text, const QString &title, Icon icon) override;
    bool confirm(const QString &text, const QString &title, Icon icon) override;
    QString input(const QString &prompt, const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &proposed) override;
    Answer ask(const QString &text, const QString &title) override;
    QString openFileName(const QString &title, const QString &proposed,
                         const QString &filter) override;
    QString saveFileName(const QString &title, const QString &proposed,
                         const QString &filter) override;

    // The one instance the program installs at start.
    static MessageBoxPrompt &instance();
};
