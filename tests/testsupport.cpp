#include "testsupport.h"

#include "core/calculationsession.h"
#include "data/database.h"
#include "data/sharedstate.h"
#include "ui/app/densitacarico.h"
#include "ui/app/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

void ScriptedPrompt::message(const QString &text, const QString &title, Icon)
{
    messages << text;
    titles << title;
}

bool ScriptedPrompt::confirm(const QString &text, const QString &, Icon)
{
    questions << text;
    return answers.isEmpty() ? true : answers.takeFirst();
}

QString ScriptedPrompt::input(const QString &promptText, const QString &title,
                              const QString &proposed)
{
    proposals << proposed;
    return input(promptText, title);
}

UserPrompt::Answer ScriptedPrompt::ask(const QString &text, const QString &)
{
    asked << text;
    return choices.isEmpty() ? Answer::Cancel : choices.takeFirst();
}

QString ScriptedPrompt::openFileName(const QString &, const QString &proposed, const QString &)
{
    fileBoxes << QStringLiteral("open ") + proposed;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedPrompt::saveFileName(const QString &, const QString &proposed, const QString &)
{
    fileBoxes << QStringLiteral("save ") + proposed;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedPrompt::input(const QString &promptText, const QString &)
{
    prompts << promptText;
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

TestWorld::TestWorld() : m_dir(std::make_unique<QTemporaryDir>())
{
    Database::instance().setFilePath(m_dir->filePath(QStringLiteral("Ardivo/Ardivo.db")));
    Module1::resetSharedState();
    UserPrompt::install(&prompt);
}

TestWorld::~TestWorld()
{
    closeAllScreens();
    Database::instance().close();
    UserPrompt::install(nullptr);
}

QString TestWorld::databasePath() const
{
    return Database::instance().filePath();
}

void closeAllScreens()
{
    Fine();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void typeInto(QWidget *field, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        field = combo->lineEdit();
    auto *edit = qobject_cast<QLineEdit *>(field);
    Q_ASSERT(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void pickEntry(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text, Qt::MatchFixedString);
    Q_ASSERT(index >= 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void click(QWidget *button)
{
    auto *b = qobject_cast<QAbstractButton *>(button);
    Q_ASSERT(b);
    b->click();
}

void chooseMethod(const char *button)
{
    auto &screen = Screens::get<DensitaCarico>();
    screen.show();
    click(child(screen, button));
}

void clickAndType(QWidget *field, const QString &text, bool replace)
{
    QWidget *window = field->window();
    if (!window->isVisible())
        window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QWidget *target = field;
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        target = combo->lineEdit();
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    QWidget *focused = QApplication::focusWidget();
    Q_ASSERT(focused == field || focused == target);
    if (replace) {
        QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(focused, Qt::Key_Backspace);
    }
    QTest::keyClicks(focused, text);
}

QString pdfText(const QString &path)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QString();
    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!extract.waitForFinished(20000))
        return QStringLiteral("");
    return QString::fromUtf8(extract.readAllStandardOutput());
}

const Calculation &calculation()
{
    return CalculationSession::current().calculation();
}

double fireLoadNow()
{
    return fireLoad(calculation()).value_or(0);
}

double entriesTotal()
{
    return entriesSum(calculation()).total;
}
