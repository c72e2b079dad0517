#include "testsupport.h"

#include "core/calculationsession.h"
#include "data/database.h"
#include "data/odfpackage.h"
#include "data/sharedstate.h"
#include "ui/app/navigation.h"
#include "ui/app/screens.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/start/densitacarico.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
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
    // The settings a screen remembers start empty, as on a first run.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, m_dir->filePath(QStringLiteral("config")));
    Module1::resetSharedState();
    UserPrompt::install(&prompt);
    installNavigation();
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

QStringList pdfSheets(const QString &text)
{
    QStringList sheets = text.split(QLatin1Char('\f'));
    if (!sheets.isEmpty() && sheets.last().trimmed().isEmpty())
        sheets.removeLast();
    return sheets;
}

QString odtContent(const QString &path, const QString &entry)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const std::optional<OdfPackage> package = OdfPackage::read(file.readAll());
    return package ? QString::fromUtf8(package->entry(entry)) : QString();
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

void enterExampleMaterials()
{
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "60");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    clickAndType(child(form, "txtQta"), "1000");
    pickEntry(child<QComboBox>(form, "Combo1"), "0,8");
    click(child(form, "Command4"));
    pickEntry(child<QComboBox>(form, "ComboMat"), "Polietilene (PE)");
    clickAndType(child(form, "txtQta"), "500");
    pickEntry(child<QComboBox>(form, "Combo1"), "1");
    pickEntry(child<QComboBox>(form, "Combo2"), "0,85");
    click(child(form, "Command4"));
}

void walkToReport(Method method, const QString &riskOption, const QStringList &measures)
{
    InizFattProt();
    switch (method) {
    case Method::Activity: {
        chooseMethod("Command1");
        auto &form = Screens::get<ValorePerAttivita>();
        pickEntry(child<QComboBox>(form, "ComboAttivita"), "Ufficio");
        pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,2");
        click(child(form, "Command1"));
        click(child(Screens::get<FattoreRischio1>(), "Option1_1"));
        break;
    }
    case Method::Materials: {
        chooseMethod("Command4");
        auto &form = Screens::get<ValorePerMateriale>();
        enterExampleMaterials();
        click(child(form, "Command1"));
        break;
    }
    case Method::Furnishings: {
        chooseMethod("Command2");
        auto &form = Screens::get<ValorePerArredo>();
        clickAndType(child(form, "txtAreaComp"), "100");
        pickEntry(child<QComboBox>(form, "ComboArredo"), "Materasso in cotone");
        clickAndType(child(form, "txtQta"), "2");
        click(child(form, "Command4"));
        pickEntry(child<QComboBox>(form, "ComboMatDep"), "Carta");
        clickAndType(child(form, "txtValoreMJm3"), "400");
        clickAndType(child(form, "txtQtaMerce"), "10");
        click(child(form, "CheckImballo"));
        click(child(form, "Command7"));
        click(child(form, "Command1"));
        break;
    }
    case Method::None:
        return;
    }
    click(child(Screens::get<FattoreRischio1>(), "Command2"));
    click(child(Screens::get<FattoreRischio2>(), qPrintable(riskOption)));
    click(child(Screens::get<FattoreRischio2>(), "Command1"));
    for (const QString &measure : measures)
        click(child(Screens::get<FattoreProtezione>(), qPrintable(measure)));
    click(child(Screens::get<FattoreProtezione>(), "Command1"));
    click(child(Screens::get<TotaleFormula>(), "Command3"));
}
