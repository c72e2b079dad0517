#include "ui/fireload/fireloadscreen.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/entrymessages.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "ui/fireload/gridviewer.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

FireLoadScreen::FireLoadScreen(const char *name, const QString &caption) : MainScreen(name, caption)
{
}

void FireLoadScreen::addFireLoad(QHBoxLayout *row, const char *unitName)
{
    m_qfSymbol = makeSymbol(this, "qf", Symbols::qf);
    m_valoreqf = makeLabel(this, "Valoreqf", QString());
    m_valoreqf->setFont(headingFont(12));
    // Room for the largest q_f, fixed: a new value at each keystroke in the area repaints the
    // label without laying out the whole screen again.
    const QFontMetrics metrics(m_valoreqf->font());
    m_valoreqf->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000000,00")),
                             metrics.height());
    m_valoreqf->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_qfSymbol);
    row->addWidget(m_valoreqf);
    row->addWidget(makeLabel(this, unitName, QStringLiteral("[MJ/m²]")));
    row->addStretch();
}

QHBoxLayout *FireLoadScreen::addAreaRow(QBoxLayout *layout, const char *captionName,
                                        const char *unitName, const char *fireLoadUnitName)
{
    auto *row = new QHBoxLayout;
    row->addWidget(makeLabel(this, captionName, QStringLiteral("Area del compartimento")));
    row->addWidget(makeAreaField());
    row->addWidget(makeLabel(this, unitName, QStringLiteral("[m²]")));
    row->addSpacing(30);
    addFireLoad(row, fireLoadUnitName);
    layout->addLayout(row);
    return row;
}

QLineEdit *FireLoadScreen::makeAreaField()
{
    m_area = makeLineEdit(this, "txtAreaComp");
    m_area->setMaximumWidth(120);
    connect(m_area, &QLineEdit::textChanged, this, &FireLoadScreen::txtAreaComp_Change);
    return m_area;
}

QGroupBox *FireLoadScreen::catalogueFrame(const char *frameName, const QString &title,
                                          const CatalogueButton &add, const CatalogueButton &remove,
                                          QPushButton **addButton, QPushButton **removeButton)
{
    auto *frame = new QGroupBox(title, this);
    frame->setObjectName(QString::fromLatin1(frameName));
    auto *grid = new QGridLayout(frame);
    *addButton = makeButton(frame, add.buttonName, QStringLiteral("+"));
    *removeButton = makeButton(frame, remove.buttonName, QStringLiteral("−"));
    grid->addWidget(*addButton, 0, 0);
    grid->addWidget(makeLabel(frame, add.captionName ? add.captionName : "", add.caption), 0, 1);
    grid->addWidget(*removeButton, 1, 0);
    grid->addWidget(makeLabel(frame, remove.captionName ? remove.captionName : "", remove.caption),
                    1, 1);
    return frame;
}

FireLoadScreen::InventoryButtons FireLoadScreen::addInventoryButtons(QBoxLayout *row)
{
    InventoryButtons buttons{
        makeButton(this, "cmdImportaElenco", QStringLiteral("Importa elenco…")),
        makeButton(this, "cmdEsportaElenco", QStringLiteral("Esporta elenco…"))};
    // The captions are the program's own; the keys go beside them.
    buttons.importList->setShortcut(QKeySequence(Qt::ALT | Qt::Key_M));
    buttons.exportList->setShortcut(QKeySequence(Qt::ALT | Qt::Key_E));
    buttons.importList->setToolTip(QStringLiteral("Alt+M"));
    buttons.exportList->setToolTip(QStringLiteral("Alt+E"));
    row->addWidget(buttons.importList);
    row->addWidget(buttons.exportList);
    return buttons;
}

bool FireLoadScreen::typedNumbersAccepted(
    std::initializer_list<std::pair<QLineEdit *, QString (*)(double)>> fields)
{
    for (const auto &[field, rule] : fields) {
        if (field->text().isEmpty())
            continue;
        if (const QString why = CalculationRules::typedRefusal(field->text(), rule);
            !why.isEmpty()) {
            showMessage(why);
            field->setFocus();
            return false;
        }
    }
    return true;
}

void FireLoadScreen::showFireLoadText(const QString &text)
{
    m_valoreqf->setText(text);
    m_valoreqf->setVisible(!text.isEmpty());
    m_qfSymbol->setVisible(text.isEmpty());
}

void FireLoadScreen::showFireLoadOf(const Calculation &calculation, bool withDecimals)
{
    const auto qf = fireLoad(calculation);
    // An overflowed sum has been told about with the entries.
    if (fireLoadTooLarge(calculation) && !entriesSum(calculation).overflowed)
        EntryMessages::tooLarge();
    if (!qf)
        showFireLoadText(QString());
    else
        showFireLoadText(withDecimals ? ItalianNumbers::toText(*qf)
                                      : ItalianNumbers::integerPartText(*qf));
}

void FireLoadScreen::showFireLoad(bool withDecimals)
{
    showFireLoadOf(CalculationSession::current().calculation(), withDecimals);
}

void FireLoadScreen::sumWarnings(const Calculation &calculation)
{
    const EntriesSum sum = entriesSum(calculation);
    EntryMessages::sumWarnings(sum.overflowed, sum.emptyLines);
}

void FireLoadScreen::showEntriesFireLoad(bool withDecimals)
{
    sumWarnings(CalculationSession::current().calculation());
    showFireLoad(withDecimals);
}

void FireLoadScreen::txtAreaComp_Change()
{
    if (m_followingSession)
        return;
    // An area that breaks its rule is no area: no q_f, and Avanti names the rule. The text stays
    // as typed ("-5" is never read as 5).
    const QString areaText = m_area->text();
    CalculationSession::current().setArea(
        areaText.trimmed().isEmpty() || !CalculationRules::areaTextRefusal(areaText).isEmpty()
            ? std::nullopt
            : ItalianNumbers::toDouble(areaText));
    areaTaken();
}

void FireLoadScreen::areaTaken()
{
    showFireLoad();
}

void FireLoadScreen::showLoadedFireLoad(const Calculation &calculation)
{
    {
        const QSignalBlocker quiet(m_area);
        m_area->setText(CalculationTexts::number(calculation.area));
    }
    sumWarnings(calculation);
    showFireLoadOf(calculation);
}

void FireLoadScreen::openingSize()
{
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), 960), std::min(std::max(hint.height(), 640), 700));
}

void FireLoadScreen::followSession(Method method, bool emptiedByAny)
{
    CalculationSession &session = CalculationSession::current();
    // What the screen shows of the session is not given back to it.
    connect(&session, &CalculationSession::calculationStarted, this, [this, method, emptiedByAny] {
        const QScopedValueRollback following(m_followingSession, true);
        if (emptiedByAny || CalculationSession::current().calculation().method == method)
            clearForNewCalculation();
    });
    connect(&session, &CalculationSession::loadingCalculation, this,
            [this, method, emptiedByAny](const Calculation &calculation) {
                const QScopedValueRollback following(m_followingSession, true);
                if (calculation.method == method)
                    showInputs(calculation);
                else if (emptiedByAny)
                    clearForNewCalculation();
            });
}

void FireLoadScreen::showEntriesViewer(Method method)
{
    auto *viewer = qobject_cast<GridViewer *>(router().entriesViewer(method));
    if (!viewer)
        return;
    connect(viewer, &GridViewer::entriesEdited, this, &FireLoadScreen::entriesEdited,
            Qt::UniqueConnection);
    bringForward(*viewer);
}

bool FireLoadScreen::goForward()
{
    CalculationSession &session = CalculationSession::current();
    if (m_area && !m_area->text().trimmed().isEmpty()) {
        if (const QString why = CalculationRules::areaTextRefusal(m_area->text()); !why.isEmpty()) {
            showMessage(why);
            m_area->setFocus();
            return false;
        }
    }
    const auto qf = fireLoad(session.calculation());
    if (!qf || *qf == 0) {
        EntryMessages::noFireLoadYet();
        return false;
    }
    showThenHide(router().screen(ScreenRouter::Screen::AreaFactor), *this);
    session.passFireLoad();
    return true;
}
