#pragma once
// What the screen tests share: screens, a world per test, scripted boxes, user-like helpers.
#include "core/calculationsession.h"
#include "core/italiannumbers.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testcalculations.h"
#include "ui/app/navigation.h"
#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/catalogue/catalogcombo.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/gridviewer.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/kit/widgets.h"
#include "ui/project/progetto.h"
#include "ui/reports/pageview.h"
#include "ui/reports/stampaelencoarredomerci.h"
#include "ui/reports/stampaelencomateriali.h"
#include "ui/reports/stampapages.h"
#include "ui/reports/stampariepilogo.h"
#include "ui/start/avvio.h"
#include "ui/start/densitacarico.h"
#include "ui/start/formulacaricoincendio.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <variant>

// Answers the program's message and input boxes from a script, and keeps what they said.
class ScriptedPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &title, Icon) override
    {
        messages << text;
        titles << title;
    }
    bool confirm(const QString &text, const QString &, Icon) override
    {
        questions << text;
        return answers.isEmpty() || answers.takeFirst();
    }
    QString input(const QString &prompt, const QString &) override
    {
        prompts << prompt;
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
    QString input(const QString &prompt, const QString &title, const QString &proposed) override
    {
        proposals << proposed;
        return input(prompt, title);
    }
    Answer ask(const QString &text, const QString &) override
    {
        asked << text;
        return choices.isEmpty() ? Answer::Cancel : choices.takeFirst();
    }
    QString openFileName(const QString &, const QString &proposed, const QString &) override
    {
        return fileBox(u"open "_s + proposed);
    }
    QString saveFileName(const QString &, const QString &proposed, const QString &) override
    {
        return fileBox(u"save "_s + proposed);
    }
    QString fileBox(const QString &box)
    {
        fileBoxes << box;
        return files.isEmpty() ? QString() : files.takeFirst();
    }

    QStringList messages, titles;   // every OK-only message in order, and its title
    QStringList questions;          // every Yes/No question
    QList<bool> answers;            // answers to the next questions (Yes when none is left)
    QStringList inputs;             // answers to the next input boxes (empty when none is left)
    QStringList prompts, proposals; // every input box's prompt, and the text it proposed
    QStringList asked;              // every Yes/No/Cancel question
    QList<Answer> choices;          // answers to those (Cancel when none is left)
    QStringList files;              // answers to the next file boxes (empty: cancelled)
    QStringList fileBoxes;          // "open <proposed>" or "save <proposed>" for every file box
};

// One test's world: its own database, fresh shared values, scripted boxes; closes every screen.
class TestWorld
{
public:
    TestWorld();
    ~TestWorld();

    QString databasePath() const { return Database::instance().filePath(); }
    ScriptedPrompt prompt;
    // A path in this world's own temporary folder, for the files a test writes.
    QString filePath(const QString &name) const { return m_dir->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A test class each of whose cases runs in a world of its own.
class WorldTest : public QObject
{
    Q_OBJECT
protected:
    TestWorld &world() { return *m_world; }
private slots:
    void init() { m_world.emplace(); }
    void cleanup() { m_world.reset(); }

private:
    std::optional<TestWorld> m_world;
};

// Closes every screen at once, as the end of the program does, and destroys them.
void closeAllScreens();

template <class T = QWidget> T *child(QWidget &screen, const char *name)
{
    return screen.findChild<T *>(QString::fromLatin1(name));
}
// What the named control shows: a label's or a field's text, a chooser's current text.
QString textOf(QWidget &screen, const char *name);
bool ticked(QWidget &screen, const char *name);
// The fields of a screen that differ from `expected` ("name=value" each), for a message.
using Fields = QStringList;
QString differences(QWidget &screen, const Fields &expected);
#define COMPARE_FIELDS(screen, ...)                                                                \
    do {                                                                                           \
        const QString wrong_ = differences(screen, __VA_ARGS__);                                   \
        QVERIFY2(wrong_.isEmpty(), qPrintable(wrong_));                                            \
    } while (false)

using TextParts = QList<std::variant<QString, QRegularExpression>>;
// The parts (texts or patterns) that `text` lacks, then the text; empty when it has them all.
QString lacking(const QString &text, const TextParts &parts);
#define VERIFY_CONTAINS(text, ...)                                                                 \
    do {                                                                                           \
        const QString lacking_ = lacking(text, __VA_ARGS__);                                       \
        QVERIFY2(lacking_.isEmpty(), qPrintable(lacking_));                                        \
    } while (false)

// Helpers that drive controls as a user would.
void typeInto(QWidget *field, const QString &text);    // clears, then types key by key
void pickEntry(QComboBox *combo, const QString &text); // chooses a list entry by its text
void click(QWidget *button);
void click(QWidget &screen, const char *button);
void chooseMethod(const char *button); // a method button of the screen that chooses the method
// The screen of a method, reached through its button on the method chooser.
template <class Form> Form &startMethod()
{
    chooseMethod(std::is_same_v<Form, ValorePerAttivita> ? "Command1"
                 : std::is_same_v<Form, ValorePerArredo> ? "Command2"
                                                         : "Command4");
    return Screens::get<Form>();
}

// Clicks the field with the mouse and types into what took the focus (an editable combo box passes
// the keys on). `replace` first selects the whole text (Ctrl+A) so that the keys replace it.
void clickAndType(QWidget *field, const QString &text, bool replace = true);
void clickAndType(QWidget &screen, const char *field, const QString &text);

// One entry added on the materials screen: material, quantity, then m, ψ and H when given.
void addMaterial(const QString &name, const QString &quantity, const QString &m = {},
                 const QString &psi = {}, const QString &valuePerKg = {});
// On the furnishings screen: pieces of a furnishing, or a stored good, packed or not.
void addPieces(const QString &name, const QString &pieces);
void addGoods(const QString &name, const QString &valuePerM3, const QString &volume, bool packed);

// Grids: a click on a cell (its window made active first), and the texts of a row.
void clickCell(QTableView *table, int row, int column = 0);
QStringList rowTexts(QTableView *table, int row);
// Clicks a cell of a grid and types into whatever took the focus, then presses `key`.
void editCell(QTableView *grid, int row, int column, const QString &text,
              Qt::Key key = Qt::Key_Return);
// Opens the grid viewer of a fire-load screen with its button, as the active window; its grid.
QTableView *openGridViewer(QWidget &form);

// A file's bytes (empty when it cannot be read); a file written whole, its path (empty on failure).
QByteArray bytesOf(const QString &path);
QString writeFile(const QString &path, const QByteArray &bytes);
// Something at `path` that is no plain file to read: "pipe", "device" (a link to /dev/zero),
// "folder", or else a sparse file of `size` bytes. False when it could not be made.
bool makeOddFile(const QString &path, const QString &kind, qint64 size = 0);
// What a program prints on its standard output, run to its end.
QString outputOf(const QString &program, const QStringList &arguments);
// The text of a PDF file as pdftotext lays it out; without pdftotext the test fails.
QString pdfText(const QString &path);
// The PDF a screen's export button writes to `path` when the file box names it, as text.
QString exportedPdf(TestWorld &world, QWidget &screen, const QString &path);
// That text cut into its sheets, without the empty one after the last form feed.
QStringList pdfSheets(const QString &text);
// An entry of an OpenDocument file, its content.xml unless named (empty when it cannot be read).
QString odtContent(const QString &path, const QString &entry = QStringLiteral("content.xml"));

// The calculation under way, its q_f (0 while there is none) and the sum of its entries.
const Calculation &calculation();
double fireLoadNow();
double entriesTotal();
// Entries added through the entry store, to the session's calculation and its working table.
bool storeMaterials(const QVector<MaterialEntry> &entries);
bool storeFurnishings(const QVector<FurnishingEntry> &entries);
// The rows of one of the database's tables (0 when it cannot be read).
qint64 rowCountOf(const QString &table);

// On the materials screen: 60 m², Legno 1000 kg (m 0,8) and Polietilene 500 kg (ψ 0,85), each
// added to the sum.
void enterExampleMaterials();

// From the compartment-size screen to the result: the area option (none: the one the area
// gave), the risk option and the protection controls clicked, each screen's Avanti pressed.
void walkFactors(const char *areaOption, const QString &riskOption, const QStringList &measures);
// Walks a calculation by `method` from the method chooser to its report page, as a user does:
// Ufficio with fractile 1,2 and the second area class; 60 m² of Legno 1000 kg (m 0,8) and
// Polietilene 500 kg (ψ 0,85); 100 m² with two cotton mattresses and 10 m³ of packed paper at
// 400 MJ/m³. Then the risk option and the measures named.
void walkToReport(Method method, const QString &riskOption, const QStringList &measures);

// The top-level window of that name on show, if any.
QWidget *shownWindow(const QString &name);

// The rows `sql` gives on `db`, each with its fields in order; none when it fails.
QList<QVariantList> rowsOf(const QSqlDatabase &db, const QString &sql);
// Every row of the four catalogues, table by table, to prove that none is lost or changed.
QList<QVariantList> catalogueRows(const QSqlDatabase &db);
