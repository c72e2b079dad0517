#pragma once

#include "core/calculation.h"
#include "core/userprompt.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QComboBox;
#include <QWidget>

// Answers the program's message and input boxes from a script, and keeps what they said.
class ScriptedPrompt : public UserPrompt
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

    QStringList messages;  // every OK-only message, in order
    QStringList titles;    // the titles of those messages
    QStringList questions; // every Yes/No question
    QStringList prompts;   // every input prompt
    QList<bool> answers;   // answers to the next questions (Yes when none is left)
    QStringList inputs;    // answers to the next input boxes (empty when none is left)
    QStringList proposals; // what each input box proposed
    QStringList asked;     // every Yes/No/Cancel question
    QList<Answer> choices; // answers to those (Cancel when none is left)
    QStringList files;     // answers to the next file boxes (empty: cancelled)
    QStringList fileBoxes; // "open <proposed>" or "save <proposed>" for every file box
};

// One test case's world: its own database file in a temporary folder, the shared values of a
// program that has just started, and scripted boxes. Destroying it closes every screen.
class TestWorld
{
public:
    TestWorld();
    ~TestWorld();

    QString databasePath() const;
    ScriptedPrompt prompt;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Closes every screen at once, as the end of the program does, and destroys them.
void closeAllScreens();

// Helpers that drive controls as a user would.
void typeInto(QWidget *field, const QString &text);    // clears, then types key by key
void pickEntry(QComboBox *combo, const QString &text); // chooses a list entry by its text
void click(QWidget *button);
void chooseMethod(const char *button); // a method button of the screen that chooses the method

template <class T = QWidget> T *child(QWidget &screen, const char *name)
{
    return screen.findChild<T *>(QString::fromLatin1(name));
}

// Clicks the field with the mouse, as a user does, and types into whatever widget took the
// focus: for an editable combo box that is the box itself, which passes the keys on.
// `replace` first selects the whole text (Ctrl+A) so that the keys replace it.
void clickAndType(QWidget *field, const QString &text, bool replace = true);

// The text of a PDF file as pdftotext lays it out; a null text when pdftotext is missing.
QString pdfText(const QString &path);
// That text cut into its sheets, without the empty one after the last form feed.
QStringList pdfSheets(const QString &text);
// An entry of an OpenDocument file, its content.xml unless named (empty when it cannot be read).
QString odtContent(const QString &path, const QString &entry = QStringLiteral("content.xml"));

// The calculation under way, its q_f (0 while there is none) and the sum of its entries.
const Calculation &calculation();
double fireLoadNow();
double entriesTotal();

// On the materials screen: 60 m², Legno 1000 kg (m 0,8) and Polietilene 500 kg (ψ 0,85), each
// added to the sum.
void enterExampleMaterials();

// Walks a calculation by `method` from the method chooser to its report page, as a user does:
// Ufficio with fractile 1,2 and the second area class; 60 m² of Legno 1000 kg (m 0,8) and
// Polietilene 500 kg (ψ 0,85); 100 m² with two cotton mattresses and 10 m³ of packed paper at
// 400 MJ/m³. Then the risk option and the measures named.
void walkToReport(Method method, const QString &riskOption, const QStringList &measures);
