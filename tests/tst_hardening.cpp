// Bad input and extreme sizes: generated texts typed into every field of the calculation
// screens, buttons pressed in between, and the limits of counters, sums and areas.
#include "core/calculationsession.h"
#include "core/italiannumbers.h"
#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testsupport.h"
#include "ui/app/screens.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/gridviewer.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/kit/widgets.h"
#include "ui/reports/pageview.h"
#include "ui/reports/stampaelencomateriali.h"
#include "ui/reports/stampapages.h"
#include "ui/start/densitacarico.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <cmath>

namespace {

// Texts that have broken number parsers, SQL and layouts elsewhere, and pieces to build
// more of them from.
QStringList corpus()
{
    QStringList texts = {
        "",
        " ",
        "   ",
        "\t",
        "+",
        "-",
        "-0",
        "+0",
        "0",
        "00",
        "1",
        "17",
        "450",
        "1,5",
        "1.5",
        "1,5.3",
        "1.5,3",
        ",",
        ".",
        ",.",
        ".,",
        ",,",
        "..",
        "1.000",
        "1.000,5",
        "1,000.5",
        "1.000.000",
        "12.34",
        "0.001",
        "0,001",
        "1e308",
        "-1e308",
        "1e-308",
        "4,9e-324",
        "1e999",
        "1E5",
        "2e",
        "e5",
        "NaN",
        "nan",
        "inf",
        "-inf",
        "Infinity",
        "0x10",
        "1/2",
        "½",
        "١٢٣",
        "一二三",
        "Привет",
        "Ελληνικά",
        "𝟙𝟚",
        "\u00A0-5",
        "\u2212"
        "5",
        "\u200B1",
        "\u0000",
        "\u0007",
        "\u001B[2J",
        "\r\n",
        "\n-3",
        "'",
        "\"",
        "''",
        "`",
        "\\",
        "'); DROP TABLE tblMateriale; --",
        "\"; DELETE FROM tblAttivita; --",
        "%",
        "_",
        "*",
        "Legno",
        "Carta",
        "Biblioteca",
        "1,2",
        "0,8",
        "0,85",
        "2",
        "2,0001",
        "999999999999999",
        "9007199254740993",
        "-1",
        "-0,5",
        "0,5",
        "5,",
    };
    texts << QString(10000, QLatin1Char('9')) << QString(10000, QLatin1Char('a'))
          << QStringLiteral("1") + QString(400, QLatin1Char('0'))
          << QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QStringLiteral("1")
          << QString(5000, QChar(0x4E00));
    return texts;
}

class TextGenerator
{
public:
    explicit TextGenerator(quint32 seed) : m_random(seed), m_corpus(corpus()) {}

    QString next()
    {
        // Numbers the screens accept, with blanks and signs a paste may bring along.
        static const QStringList numbers = {"17", "1", "0,8", "1,2", "5", "1.000", "450", "0,5"};
        static const QStringList around = {"",  " ", "\t",      "\n", "\u00A0", "\u2007", "\u3000",
                                           "-", "+", "\u00A0-", " -", "-0,",    "\u2212"};
        if (m_random.bounded(3) == 0)
            return around.at(int(m_random.bounded(qsizetype(around.size())))) +
                   numbers.at(int(m_random.bounded(qsizetype(numbers.size())))) +
                   (m_random.bounded(4) == 0
                        ? around.at(int(m_random.bounded(qsizetype(around.size()))))
                        : QString());
        const QString &first = pick();
        if (m_random.bounded(3) == 0)
            return first;
        QString text = first;
        for (int parts = int(m_random.bounded(1, 4)); parts > 0 && text.size() < 20000; --parts)
            text += pick();
        return text;
    }
    int bounded(int n) { return int(m_random.bounded(n)); }

private:
    const QString &pick() { return m_corpus.at(int(m_random.bounded(qsizetype(m_corpus.size())))); }
    QRandomGenerator m_random;
    QStringList m_corpus;
};

quint32 seed()
{
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("ARDIVO_FUZZ_SEED").toUInt(&ok);
    return ok ? fromEnvironment : 20261206u;
}

// Typed key by key, as a person would, characters outside ASCII included; or pasted whole.
void enter(QWidget *field, const QString &text, bool paste)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        field = combo->lineEdit();
    auto *edit = qobject_cast<QLineEdit *>(field);
    QVERIFY(edit);
    edit->selectAll();
    if (paste) {
        edit->insert(text);
        return;
    }
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (int i = 0; i < text.size(); ++i) {
        // A character beyond the first plane arrives as one key with both halves.
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString key = text.mid(i, length);
        i += length - 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, key);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    }
}

using Rows = QList<QVariantList>;

Rows tableRows(const QString &sql)
{
    Rows rows;
    auto query = Database::instance().run(sql);
    if (!query)
        return rows;
    while (query->next()) {
        QVariantList row;
        for (int c = 0; c < 3; ++c)
            row << query->value(c);
        rows << row;
    }
    return rows;
}

Rows allCatalogueRows()
{
    Rows rows;
    for (const char *table : {"tblMateriale", "tblAttivita", "tblArredo", "tblMaterialeInDeposito"})
        rows += tableRows(
            QStringLiteral("SELECT '%1', * FROM %1 ORDER BY 2").arg(QLatin1String(table)));
    return rows;
}

// The numbers a person reads on the screens and report pages: a finite, non-negative
// number in Italian format, or nothing yet.
QString badResultText()
{
    static const QRegularExpression number(
        QStringLiteral("^(\\d{1,3}(\\.\\d{3})*|\\d+)(,\\d+)?([eE][+-]?\\d+)?$"));
    static const QStringList names = {"Valoreqf",    "txtDensCarInc", "txtTotFormula",
                                      "txtFattProt", "txtFattDim",    "txtFattUtilizzo",
                                      "lblClasse",   "lblClasseMin",  "lbldq1",
                                      "lbldq2",      "txtdq2",        "dq2"};
    for (QWidget *screen : QApplication::topLevelWidgets()) {
        for (const QString &name : names) {
            for (QObject *field : screen->findChildren<QObject *>(name)) {
                QString text;
                if (auto *label = qobject_cast<QLabel *>(field))
                    text = label->text();
                else if (auto *edit = qobject_cast<QLineEdit *>(field))
                    text = edit->text();
                // Captions such as "valoreqf" stand where no number has been written yet.
                static const QRegularExpression numeric(QStringLiteral("^[-+\\d]|inf|nan"),
                                                        QRegularExpression::CaseInsensitiveOption);
                if (text.contains(numeric) && !number.match(text).hasMatch())
                    return screen->objectName() + '.' + name + " = " + text.left(80);
            }
        }
    }
    return {};
}

QString badSharedValue()
{
    const Calculation &c = calculation();
    const Regulation &r = CalculationSession::current().regulation();
    const std::pair<const char *, double> values[] = {
        {"q_f", fireLoad(c).value_or(0)},
        {"q_f,d", designFireLoad(c, r).value_or(0)},
        {"delta n", deltaN(c, r)},
        {"area", c.area.value_or(0)},
        {"materials", materialsSum(c.materials).total},
        {"furnishings", furnishingsSum(c.furnishings).total}};
    for (const auto &[name, value] : values) {
        if (!std::isfinite(value) || value < 0)
            return QStringLiteral("%1 = %2").arg(QLatin1String(name)).arg(value);
    }
    return {};
}

// What the screen said it stored: one working row per "inserimento riuscito".
struct Confirmed {
    QString table;
    QString name;
    QString valueText;
    bool goods = false;
};

std::optional<Confirmed> confirmation(const QString &message)
{
    if (!message.trimmed().startsWith(QLatin1String("inserimento riuscito")))
        return std::nullopt;
    const QStringList lines = message.split('\n');
    Confirmed c;
    c.table = lines.value(1).startsWith("Materiale") ? "tblAppoggioMateriali" : "tblAppoggio";
    c.goods = lines.value(1).startsWith("Merce");
    c.name = lines.value(1).section(QStringLiteral(" : "), 1);
    c.valueText = lines.value(2).section(QStringLiteral(": "), 1);
    return c;
}

// The catalogue row that a message announces as added, if it announces one.
bool announcesAdd(const QString &message)
{
    return message.contains(QStringLiteral(" è stato inserito")) ||
           message.contains(QStringLiteral(" è stata inserit"));
}

class Fuzzer
{
public:
    Fuzzer(TestWorld &world, QWidget &screen, TextGenerator &texts)
        : m_world(world), m_screen(screen), m_texts(texts)
    {
        m_catalogues = allCatalogueRows();
    }

    // Types or presses one thing; returns what went wrong, or nothing.
    QString step(const QStringList &fields, const QStringList &combos, const QStringList &adds,
                 const QStringList &others)
    {
        const int before = int(m_world.prompt.messages.size());
        m_world.prompt.answers = {false, false, false}; // no deletion is ever confirmed
        m_world.prompt.inputs = {m_texts.next(), m_texts.next()};
        const int action = m_texts.bounded(12);
        if (action >= 10) {
            // A whole entry as a user makes one: every chooser set, one field typed, then added.
            for (const QString &name : combos) {
                auto *combo = m_screen.findChild<QComboBox *>(name);
                if (combo->count() > 0)
                    pickEntry(combo, combo->itemText(m_texts.bounded(combo->count())));
            }
            const QString text = m_texts.next();
            enter(m_screen.findChild<QWidget *>(fields.at(m_texts.bounded(int(fields.size())))),
                  text, text.size() > 24 || m_texts.bounded(3) == 0);
            click(m_screen.findChild<QWidget *>(adds.first()));
        } else if (action < 6) {
            const QString text = m_texts.next();
            enter(m_screen.findChild<QWidget *>(fields.at(m_texts.bounded(int(fields.size())))),
                  text, text.size() > 24 || m_texts.bounded(3) == 0);
        } else if (action < 7 && !combos.isEmpty()) {
            auto *combo =
                m_screen.findChild<QComboBox *>(combos.at(m_texts.bounded(int(combos.size()))));
            if (combo->count() > 0)
                pickEntry(combo, combo->itemText(m_texts.bounded(combo->count())));
        } else if (action < 9) {
            click(m_screen.findChild<QWidget *>(adds.at(m_texts.bounded(int(adds.size())))));
        } else {
            click(m_screen.findChild<QWidget *>(others.at(m_texts.bounded(int(others.size())))));
            editAndCloseViewers();
        }
        if (QTest::currentTestFailed())
            return QStringLiteral("a step failed");
        return check(before);
    }

    QString check(int firstNewMessage)
    {
        if (const QString bad = badSharedValue(); !bad.isEmpty())
            return bad;
        if (const QString bad = badResultText(); !bad.isEmpty())
            return bad;
        for (int i = firstNewMessage; i < m_world.prompt.messages.size(); ++i) {
            const QString &message = m_world.prompt.messages.at(i);
            if (const auto c = confirmation(message)) {
                if (const QString bad = stored(*c); !bad.isEmpty())
                    return bad;
            }
            if (announcesAdd(message))
                ++m_announcedAdds;
        }
        for (const QString table : {"tblAppoggioMateriali", "tblAppoggio"}) {
            if (WorkingTables::rowCount(table) != m_confirmedRows.value(table))
                return QStringLiteral("%1 holds %2 rows, %3 confirmed")
                    .arg(table)
                    .arg(WorkingTables::rowCount(table))
                    .arg(m_confirmedRows.value(table));
        }
        // The catalogues keep every row they had, and grow only by the adds announced.
        const Rows now = allCatalogueRows();
        if (now.size() != m_catalogues.size() + m_announcedAdds)
            return QStringLiteral("catalogues hold %1 rows, %2 expected; said: %3")
                .arg(now.size())
                .arg(m_catalogues.size() + m_announcedAdds)
                .arg(m_world.prompt.messages.mid(firstNewMessage).join(" | ").left(300));
        for (const QVariantList &row : m_catalogues) {
            if (!now.contains(row))
                return QStringLiteral("catalogue row lost: ") + row.value(2).toString();
        }
        return {};
    }

    qint64 confirmedRows() const
    {
        qint64 total = 0;
        for (qint64 rows : m_confirmedRows)
            total += rows;
        return total;
    }
    int announcedAdds() const { return m_announcedAdds; }

private:
    // The newest row of the confirmed table holds what the message named.
    QString stored(const Confirmed &c)
    {
        const qint64 number = ++m_confirmedRows[c.table];
        const bool materials = c.table == QLatin1String("tblAppoggioMateriali");
        const QString sql =
            materials
                ? QStringLiteral("SELECT Materiale, ValorePerKg, QtaMat FROM tblAppoggioMateriali "
                                 "WHERE IdAppoggioMat = %1")
                      .arg(number)
            : c.goods ? QStringLiteral(
                            "SELECT MaterialeInDeposito, ValorePerM3, QtaMerce FROM tblAppoggio "
                            "ORDER BY rowid DESC LIMIT 1")
                      : QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo FROM tblAppoggio "
                                       "ORDER BY rowid DESC LIMIT 1");
        const Rows rows = tableRows(sql);
        if (rows.size() != 1)
            return QStringLiteral("confirmed row %1 of %2 not stored").arg(number).arg(c.table);
        const QVariantList &row = rows.first();
        if (row.at(0).toString() != c.name)
            return QStringLiteral("stored %1, confirmed %2").arg(row.at(0).toString(), c.name);
        const auto value = ItalianNumbers::toDouble(c.valueText);
        if (!value || row.at(1).toDouble() != *value || *value < 0)
            return QStringLiteral("stored value %1, confirmed %2")
                .arg(row.at(1).toString(), c.valueText);
        if (row.at(2).typeId() != QMetaType::QString && row.at(2).toDouble() < 0)
            return QStringLiteral("negative quantity stored: %1").arg(row.at(2).toDouble());
        return {};
    }

    // A grid viewer that a button opened gets a few cells typed over, then is closed.
    void editAndCloseViewers()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *viewer = qobject_cast<GridViewer *>(w);
            if (!viewer || !viewer->isVisible())
                continue;
            QAbstractItemModel *model = viewer->model();
            for (int edits = m_texts.bounded(4); edits > 0 && model->rowCount() > 0; --edits) {
                const QModelIndex cell =
                    model->index(m_texts.bounded(model->rowCount()),
                                 1 + m_texts.bounded(model->columnCount() - 1));
                model->setData(cell, m_texts.next());
            }
            viewer->close();
        }
    }

    TestWorld &m_world;
    QWidget &m_screen;
    TextGenerator &m_texts;
    Rows m_catalogues;
    int m_announcedAdds = 0;
    QHash<QString, qint64> m_confirmedRows;
};

// From a calculation screen through the factor screens to the report page, choosing at random.
void walkToReport(QWidget &screen, TextGenerator &texts)
{
    click(screen.findChild<QWidget *>("Command1"));
    auto &fr1 = Screens::get<FattoreRischio1>();
    if (!fr1.isVisible())
        return;
    bool classChosen = false;
    for (int i = 0; i < 6; ++i)
        classChosen |=
            fr1.findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i))->isChecked();
    if (!classChosen)
        click(fr1.findChild<QWidget *>(QStringLiteral("Option1_%1").arg(texts.bounded(6))));
    click(fr1.findChild<QWidget *>("Command2"));
    auto &fr2 = Screens::get<FattoreRischio2>();
    click(fr2.findChild<QWidget *>(QStringLiteral("Option1_%1").arg(texts.bounded(3))));
    click(fr2.findChild<QWidget *>("Command1"));
    auto &fp = Screens::get<FattoreProtezione>();
    for (int i = 1; i <= 9; ++i) {
        auto *check = fp.findChild<QCheckBox *>(QStringLiteral("Check%1").arg(i));
        if (check->isVisibleTo(&fp) && texts.bounded(3) == 0)
            click(check);
    }
    click(fp.findChild<QWidget *>("Command1"));
    auto &total = Screens::get<TotaleFormula>();
    if (total.isVisible())
        click(total.findChild<QWidget *>("Command3"));
}

} // namespace

class TestHardening : public QObject
{
    Q_OBJECT
private slots:
    void fuzz_data();
    void fuzz();
    void tensOfThousandsOfRows();
    void tinyAndHugeAreas_data();
    void tinyAndHugeAreas();
    void materialValuesNearTheDoubleLimit();
    void activityValueNearTheDoubleLimit();
    void designValueThatOverflows();
    void negativeNumbersAreNeverStored();
};

void TestHardening::fuzz_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("combos");
    QTest::addColumn<QStringList>("adds");
    QTest::addColumn<QStringList>("others");
    QTest::newRow("activity") << "Command1"
                              << QStringList{"ComboAttivita", "txtValoreMJm2", "ComboFrattile"}
                              << QStringList{"ComboAttivita", "ComboFrattile"}
                              << QStringList{"cmdAggAttivitaAlDB"} << QStringList{"Command3"};
    QTest::newRow("materials") << "Command4"
                               << QStringList{"ComboMat", "txtValorePerKg", "txtQta",
                                              "Combo2",   "Combo1",         "txtAreaComp"}
                               << QStringList{"ComboMat", "Combo2", "Combo1"}
                               << QStringList{"Command4", "Command4", "cmdAggMaterialeAlDB"}
                               << QStringList{"Command5", "cmdDelete"};
    QTest::newRow("furnishings")
        << "Command2"
        << QStringList{"ComboArredo",   "txtValoreMJPezzo", "txtQta",     "ComboMatDep",
                       "txtValoreMJm3", "txtQtaMerce",      "txtAreaComp"}
        << QStringList{"ComboArredo", "ComboMatDep"}
        << QStringList{"Command4", "Command7", "cmdAggArredoAlDB", "cmdAggMaterialeDepositatoAlDB"}
        << QStringList{"Command5", "cmdDelete", "Command6", "CheckImballo"};
}

void TestHardening::fuzz()
{
    QFETCH(QString, method);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, combos);
    QFETCH(QStringList, adds);
    QFETCH(QStringList, others);
    TextGenerator texts(seed() + quint32(qHash(method)));
    constexpr int rounds = 8, steps = 120;
    qint64 entries = 0, catalogueAdds = 0;
    for (int round = 0; round < rounds; ++round) {
        TestWorld world;
        InizFattProt();
        chooseMethod(qPrintable(method));
        QWidget *screen = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName().startsWith(QLatin1String("ValorePer")))
                screen = w;
        }
        QVERIFY(screen);
        Fuzzer fuzzer(world, *screen, texts);
        for (int i = 0; i < steps; ++i) {
            const QString bad = fuzzer.step(fields, combos, adds, others);
            QVERIFY2(bad.isEmpty(),
                     qPrintable(QStringLiteral("round %1 step %2: %3").arg(round).arg(i).arg(bad)));
        }
        // Whatever was typed, the walk to the report shows only sound numbers.
        const int before = int(world.prompt.messages.size());
        walkToReport(*screen, texts);
        const QString bad = fuzzer.check(before);
        QVERIFY2(bad.isEmpty(),
                 qPrintable(QStringLiteral("round %1 report: %2").arg(round).arg(bad)));
        entries += fuzzer.confirmedRows();
        catalogueAdds += fuzzer.announcedAdds();
    }
    // The texts reached the stored rows, not only the refusals.
    qDebug("%lld entries and %lld catalogue rows added", entries, catalogueAdds);
    QVERIFY(catalogueAdds >= rounds / 2);
    if (method != QLatin1String("Command1"))
        QVERIFY(entries >= rounds);
}

void TestHardening::tensOfThousandsOfRows()
{
    TestWorld world;
    constexpr int rows = 30000;
    chooseMethod("Command4"); // the screen starts with an empty table
    {
        Transaction transaction(Database::instance().connection());
        for (int i = 1; i <= rows; ++i)
            QVERIFY(WorkingTables::appendMaterial(i, QStringLiteral("M%1").arg(i), 17.5, 1.0, 0.8,
                                                  double(i)));
        QVERIFY(transaction.commit());
    }
    // 17.5 * 0.8 * (1 + ... + 30000), exactly representable
    const auto entries = WorkingTables::materials();
    QVERIFY(entries);
    QCOMPARE(materialsSum(*entries).total, 14.0 * rows * (rows + 1) / 2);
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), qint64(rows));

    auto &form = Screens::get<ValorePerMateriale>();
    typeInto(child(form, "txtAreaComp"), "10000");
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("630021"));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    emit child<LinkLabel>(page, "Label7")->clicked();
    auto &list = Screens::get<StampaElencoMateriali>();
    QVERIFY(list.isVisible());
    QVERIFY(list.findChild<QLineEdit *>("Materiale_0"));
    // The last row is there at the end of the scroll, whole and inside the page.
    QScrollBar *bar = list.pageView()->verticalBar();
    bar->setValue(bar->maximum());
    auto *last = list.findChild<QLineEdit *>(QStringLiteral("Materiale_%1").arg(rows - 1));
    QVERIFY(last);
    QCOMPARE(last->text(), QStringLiteral("M%1").arg(rows));
    QVERIFY(last->geometry().bottom() < list.pageView()->canvas()->height());
}

void TestHardening::tinyAndHugeAreas_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("qf");
    QTest::addColumn<int>("option");
    QTest::newRow("two thousandths of a square metre") << "2e-3"
                                                       << "850000" << 0;
    QTest::newRow("a thousand square kilometres") << "1e9"
                                                  << "0" << 5;
    QTest::newRow("typed with a decimal point") << "0.001"
                                                << "" << -1;
}

void TestHardening::tinyAndHugeAreas()
{
    QFETCH(QString, area);
    QFETCH(QString, qf);
    QFETCH(int, option);
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    pickEntry(child<QComboBox>(form, "Combo1"), "1"); // not the 0,8 proposed for it
    typeInto(child(form, "txtValorePerKg"), "17");
    typeInto(child(form, "txtQta"), "100");
    click(child(form, "Command4"));
    // Pasted whole: typed key by key, the field refuses a leading "0" at once.
    enter(child(form, "txtAreaComp"), area, true);
    if (option < 0) {
        // Read in Italian, "0.001" would be one square metre: it is no area at all.
        QVERIFY(child<QLabel>(form, "Valoreqf")->isHidden());
        QCOMPARE(fireLoadNow(), 0.0);
        return;
    }
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), qf);
    click(child(form, "Command1"));
    auto &fr1 = Screens::get<FattoreRischio1>();
    QVERIFY(fr1.isVisible());
    QVERIFY(child<QRadioButton>(fr1, qPrintable(QStringLiteral("Option1_%1").arg(option)))
                ->isChecked());
}

void TestHardening::materialValuesNearTheDoubleLimit()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    typeInto(child(form, "txtAreaComp"), "100");
    // 1e308 per kg is a number; twice it is not: the second entry is refused, the first stays.
    for (int i = 0; i < 2; ++i) {
        pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
        pickEntry(child<QComboBox>(form, "Combo1"), "1"); // not the 0,8 proposed for it
        typeInto(child(form, "txtValorePerKg"), "1e308");
        typeInto(child(form, "txtQta"), "1");
        click(child(form, "Command4"));
    }
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 1);
    QVERIFY(world.prompt.messages.last().contains("troppo grande"));
    // 1e306 MJ/m² is a number, but far above any real load: no result is shown, never 0.
    QCOMPARE(fireLoadNow(), 0.0);
    QVERIFY(child<QLabel>(form, "Valoreqf")->isHidden());

    // A tiny area makes q_f overflow: the user is told and no q_f is shown.
    world.prompt.messages.clear();
    typeInto(child(form, "txtAreaComp"), "1e-3");
    QVERIFY(!world.prompt.messages.isEmpty());
    QVERIFY(world.prompt.messages.last().contains("troppo grande"));
    QCOMPARE(fireLoadNow(), 0.0);
    QVERIFY(child<QLabel>(form, "Valoreqf")->isHidden());

    // A second such row, as an edit in the grid viewer can make one: the sum is no number, so
    // it counts as none, and Avanti asks for a reliable fire load.
    QVERIFY(WorkingTables::appendMaterial(2, "Legno", 1e308, 1.0, 1.0, 1.0));
    world.prompt.messages.clear();
    typeInto(child(form, "txtAreaComp"), "100");
    QVERIFY(world.prompt.messages.last().contains("troppo grande"));
    QCOMPARE(entriesTotal(), 0.0);
    click(child(form, "Command1"));
    QVERIFY(!Screens::get<FattoreRischio1>().isVisible());
}

void TestHardening::activityValueNearTheDoubleLimit()
{
    TestWorld world;
    // 1e308 * 2 is refused at the fractile.
    chooseMethod("Command1");
    auto &activity = Screens::get<ValorePerAttivita>();
    pickEntry(child<QComboBox>(activity, "ComboAttivita"), "Biblioteca");
    typeInto(child(activity, "txtValoreMJm2"), "1e308");
    pickEntry(child<QComboBox>(activity, "ComboFrattile"), "2");
    QVERIFY(world.prompt.messages.last().contains("troppo grande"));
    click(child(activity, "Command1"));
    QVERIFY(!Screens::get<FattoreRischio1>().isVisible());
    QCOMPARE(fireLoadNow(), 0.0);
}

void TestHardening::designValueThatOverflows()
{
    TestWorld world;
    Calculation huge;
    huge.method = Method::Activity;
    // q_f 900.000 MJ/m² is within the limit; q_f,d = 900.000 × 2 × 1,2 is beyond it.
    huge.activity = {QStringLiteral("Biblioteca"), 9e5, 1.0};
    huge.areaClass = 5; // delta q1 2
    huge.riskClass = 2; // delta q2 1,2
    CalculationSession::current().load(huge);
    auto &fp = Screens::get<FattoreProtezione>();
    fp.show();
    click(child(fp, "Command1"));
    QVERIFY(world.prompt.messages.last().contains("troppo grande"));
    QVERIFY(fp.isVisible());
    QVERIFY(!Screens::get<TotaleFormula>().isVisible());
    QCOMPARE(child<QLabel>(Screens::get<TotaleFormula>(), "txtTotFormula")->text(), QString());
}

void TestHardening::negativeNumbersAreNeverStored()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    // The check made while typing reads " -5" after a non-breaking space, and "-0,5", as 0.
    for (const QString &quantity : {QStringLiteral("\u00A0-5"), QStringLiteral("-0,5")}) {
        pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
        enter(child(form, "txtQta"), quantity, true);
        QCOMPARE(child<QLineEdit>(form, "txtQta")->text(), quantity);
        click(child(form, "Command4"));
        QVERIFY(!world.prompt.messages.last().contains("inserimento riuscito"));
    }
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 0);
}

QTEST_MAIN(TestHardening)
#include "tst_hardening.moc"
