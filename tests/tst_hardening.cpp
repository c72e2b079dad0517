// Bad input and extreme sizes: generated texts typed into every calculation field, and limits.
#include "testsupport.h"
#include "ui/reports/pagecanvas.h"

#include <QKeyEvent>
#include <QRandomGenerator>
#include <cmath>

namespace {

// Texts that have broken number parsers, SQL and layouts elsewhere: one between each two bars.
QStringList corpus()
{
    const QString bars =
        u"| |   "
        u"|\t|+|-|-0|+0|0|00|1|17|450|1,5|1.5|1,5.3|1.5,3|,|.|,.|.,|,,|..|1.000|1.000,5|1,000.5"
        "|1.000.000|12.34|0.001|0,001|1e308|-1e308|1e-308|4,9e-324|1e999|1E5|2e|e5|NaN|nan|inf|-inf"
        "|Infinity|0x10|1/2|½|١٢٣|一二三|Привет|Ελληνικά|𝟙𝟚|\u00A0-5|\u22125|\u200B1|\u0000|\u0007"
        "|\u001B[2J|\r\n|\n-3|'|\"|''|`|\\|%|_|*|Legno|Carta|Biblioteca|1,2|0,8|0,85|2|2,0001|-1"
        "|-0,5|0,5|5,|'); DROP TABLE tblMateriale; --|\"; DELETE FROM tblAttivita; --"
        "|999999999999999|9007199254740993"_s;
    return bars.split(u'|') +
           QStringList{QString(10000, u'9'), QString(10000, u'a'), u"1"_s + QString(400, u'0'),
                       u"0,"_s + QString(400, u'0') + u"1"_s, QString(5000, QChar(0x4E00))};
}

struct TextGenerator {
    explicit TextGenerator(quint32 seed) : m_random(seed), m_corpus(corpus()) {}

    QString next()
    {
        // Numbers the screens accept, with blanks and signs a paste may bring along.
        static const QStringList numbers = {"17", "1", "0,8", "1,2", "5", "1.000", "450", "0,5"};
        static const QStringList around = {"",  " ", "\t",      "\n", "\u00A0", "\u2007", "\u3000",
                                           "-", "+", "\u00A0-", " -", "-0,",    "\u2212"};
        if (m_random.bounded(3) == 0)
            return any(around) + any(numbers) +
                   (m_random.bounded(4) == 0 ? any(around) : QString());
        QString text = any(m_corpus);
        if (m_random.bounded(3) == 0)
            return text;
        for (int parts = int(m_random.bounded(1, 4)); parts > 0 && text.size() < 20000; --parts)
            text += any(m_corpus);
        return text;
    }
    int bounded(int n) { return int(m_random.bounded(n)); }
    const QString &any(const QStringList &list)
    {
        return list.at(int(m_random.bounded(qsizetype(list.size()))));
    }
    QRandomGenerator m_random;
    QStringList m_corpus;
};

// Typed key by key, as a person would, characters outside ASCII included; or pasted whole.
void enter(QWidget *field, const QString &text, bool paste)
{
    auto *combo = qobject_cast<QComboBox *>(field);
    auto *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(field);
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

// A shared value that is no finite, non-negative number, or a shown result that is no such
// number in Italian format; none is fine.
QString badValue()
{
    const Calculation &c = calculation();
    const std::pair<const char *, double> values[] = {
        {"q_f", fireLoad(c).value_or(0)},
        {"q_f,d", designFireLoad(c).value_or(0)},
        {"delta n", deltaN(c)},
        {"area", c.area.value_or(0)},
        {"materials", materialsSum(c.materials).total},
        {"furnishings", furnishingsSum(c.furnishings).total}};
    for (const auto &[name, value] : values) {
        if (!std::isfinite(value) || value < 0)
            return u"%1 = %2"_s.arg(QLatin1String(name)).arg(value);
    }
    static const QRegularExpression number(
        u"^(\\d{1,3}(\\.\\d{3})*|\\d+)(,\\d+)?([eE][+-]?\\d+)?$"_s);
    static const QStringList names =
        u"Valoreqf txtDensCarInc txtTotFormula txtFattProt txtFattDim "
        "txtFattUtilizzo lblClasse lblClasseMin lbldq1 lbldq2 txtdq2 dq2"_s.split(u' ');
    // Captions such as "valoreqf" stand where no number has been written yet.
    static const QRegularExpression numeric(u"^[-+\\d]|inf|nan"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    for (QWidget *screen : QApplication::topLevelWidgets()) {
        for (const QString &name : names) {
            const QString text =
                screen->findChild<QWidget *>(name) ? textOf(*screen, qPrintable(name)) : QString();
            if (text.contains(numeric) && !number.match(text).hasMatch())
                return screen->objectName() + '.' + name + " = " + text.left(80);
        }
    }
    return {};
}

struct Fuzzer {
    TestWorld &world;
    QWidget &screen;
    TextGenerator &texts;
    const QStringList fields, combos, adds, others;
    const Rows catalogues = catalogueRows(Database::instance().connection());
    int announcedAdds = 0;
    QHash<QString, qint64> confirmedRows = {};

    // Types or presses one thing; returns what went wrong, or nothing.
    QString step()
    {
        const int before = int(world.prompt.messages.size());
        world.prompt.answers = {false, false, false}; // no deletion is ever confirmed
        world.prompt.inputs = {texts.next(), texts.next()};
        const auto any = [&](const QStringList &names) {
            return screen.findChild<QWidget *>(names.at(texts.bounded(int(names.size()))));
        };
        const auto pickAny = [&](QWidget *widget) {
            auto *combo = qobject_cast<QComboBox *>(widget);
            if (combo->count() > 0)
                pickEntry(combo, combo->itemText(texts.bounded(combo->count())));
        };
        const auto typeAny = [&] {
            const QString text = texts.next();
            enter(any(fields), text, text.size() > 24 || texts.bounded(3) == 0);
        };
        const int action = texts.bounded(12);
        if (action >= 10) {
            // A whole entry as a user makes one: every chooser set, one field typed, then added.
            for (const QString &name : combos)
                pickAny(screen.findChild<QWidget *>(name));
            typeAny();
            click(screen.findChild<QWidget *>(adds.first()));
        } else if (action < 6) {
            typeAny();
        } else if (action < 7 && !combos.isEmpty()) {
            pickAny(any(combos));
        } else if (action < 9) {
            click(any(adds));
        } else {
            click(any(others));
            editAndCloseViewers();
        }
        return QTest::currentTestFailed() ? u"a step failed"_s : check(before);
    }

    QString check(int firstNewMessage)
    {
        if (const QString bad = badValue(); !bad.isEmpty())
            return bad;
        for (const QString &message : world.prompt.messages.mid(firstNewMessage)) {
            if (message.trimmed().startsWith(QLatin1String("inserimento riuscito"))) {
                if (const QString bad = stored(message); !bad.isEmpty())
                    return bad;
            }
            if (message.contains(u" è stato inserito"_s) || message.contains(u" è stata inserit"_s))
                ++announcedAdds; // a catalogue row announced as added
        }
        for (const QString table : {"tblAppoggioMateriali", "tblAppoggio"}) {
            if (const qint64 rows = rowCountOf(table); rows != confirmedRows.value(table))
                return u"%1 holds %2 rows, %3 confirmed"_s.arg(table).arg(rows).arg(
                    confirmedRows.value(table));
        }
        // The catalogues keep every row they had, and grow only by the adds announced.
        const Rows now = catalogueRows(Database::instance().connection());
        if (now.size() != catalogues.size() + announcedAdds)
            return u"catalogues hold %1 rows, %2 expected; said: %3"_s.arg(now.size())
                .arg(catalogues.size() + announcedAdds)
                .arg(world.prompt.messages.mid(firstNewMessage).join(" | ").left(300));
        for (const QVariantList &row : catalogues) {
            if (!now.contains(row))
                return u"catalogue row lost: "_s + row.value(2).toString();
        }
        return {};
    }

    // One working row per "inserimento riuscito": the newest of its table holds what it named.
    QString stored(const QString &message)
    {
        const QStringList lines = message.split('\n');
        const QString kind = lines.value(1), name = kind.section(u" : "_s, 1);
        const QString valueText = lines.value(2).section(u": "_s, 1);
        const bool materials = kind.startsWith(QLatin1String("Materiale"));
        const QString table = materials ? u"tblAppoggioMateriali"_s : u"tblAppoggio"_s;
        const qint64 number = ++confirmedRows[table];
        const QString columns = materials ? u"Materiale, ValorePerKg, QtaMat"_s
                                : kind.startsWith(QLatin1String("Merce"))
                                    ? u"MaterialeInDeposito, ValorePerM3, QtaMerce"_s
                                    : u"Arredo, ValorePerPezzo, QtaArredo"_s;
        const QString last = materials ? u"WHERE IdAppoggioMat = %1"_s.arg(number)
                                       : u"ORDER BY rowid DESC LIMIT 1"_s;
        const Rows rows = rowsOf(Database::instance().connection(),
                                 u"SELECT %1 FROM %2 %3"_s.arg(columns, table, last));
        if (rows.size() != 1)
            return u"confirmed row %1 of %2 not stored"_s.arg(number).arg(table);
        const QVariantList &row = rows.first();
        if (row.at(0).toString() != name)
            return u"stored %1, confirmed %2"_s.arg(row.at(0).toString(), name);
        const auto value = ItalianNumbers::toDouble(valueText);
        if (!value || row.at(1).toDouble() != *value || *value < 0)
            return u"stored value %1, confirmed %2"_s.arg(row.at(1).toString(), valueText);
        if (row.at(2).typeId() != QMetaType::QString && row.at(2).toDouble() < 0)
            return u"negative quantity stored: %1"_s.arg(row.at(2).toDouble());
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
            for (int edits = texts.bounded(4); edits > 0 && model->rowCount() > 0; --edits) {
                const QModelIndex cell = model->index(texts.bounded(model->rowCount()),
                                                      1 + texts.bounded(model->columnCount() - 1));
                model->setData(cell, texts.next());
            }
            viewer->close();
        }
    }
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
        classChosen |= fr1.findChild<QRadioButton *>(u"Option1_%1"_s.arg(i))->isChecked();
    if (!classChosen)
        click(fr1.findChild<QWidget *>(u"Option1_%1"_s.arg(texts.bounded(6))));
    click(fr1.findChild<QWidget *>("Command2"));
    click(Screens::get<FattoreRischio2>(), qPrintable(u"Option1_%1"_s.arg(texts.bounded(3))));
    click(Screens::get<FattoreRischio2>(), "Command1");
    auto &fp = Screens::get<FattoreProtezione>();
    for (int i = 1; i <= 9; ++i) {
        auto *check = fp.findChild<QCheckBox *>(u"Check%1"_s.arg(i));
        if (check->isVisibleTo(&fp) && texts.bounded(3) == 0)
            click(check);
    }
    click(fp.findChild<QWidget *>("Command1"));
    if (Screens::get<TotaleFormula>().isVisible())
        click(Screens::get<TotaleFormula>(), "Command3");
}

} // namespace

class TestHardening : public WorldTest
{
    Q_OBJECT
private slots:
    void fuzz_data();
    void fuzz();
    void thousandRowsListedInAScreenful();
    void tinyAndHugeAreas_data();
    void tinyAndHugeAreas();
    void valuesBeyondWhatCanBeStored();
};

void TestHardening::fuzz_data()
{
    // Between slashes: the method's button; the controls typed into, the choosers, the buttons
    // that add, the other buttons, each a list of names between blanks.
    QTest::addColumn<QString>("controls");
    QTest::newRow("activity") << "Command1/ComboAttivita txtValoreMJm2 ComboFrattile/"
                                 "ComboAttivita ComboFrattile/cmdAggAttivitaAlDB/Command3";
    QTest::newRow("materials") << "Command4/ComboMat txtValorePerKg txtQta Combo2 Combo1 "
                                  "txtAreaComp/ComboMat Combo2 Combo1/Command4 Command4 "
                                  "cmdAggMaterialeAlDB/Command5 cmdDelete";
    QTest::newRow("furnishings")
        << "Command2/ComboArredo txtValoreMJPezzo txtQta ComboMatDep txtValoreMJm3 txtQtaMerce "
           "txtAreaComp/ComboArredo ComboMatDep/Command4 Command7 cmdAggArredoAlDB "
           "cmdAggMaterialeDepositatoAlDB/Command5 cmdDelete Command6 CheckImballo";
}

void TestHardening::fuzz()
{
    QFETCH(QString, controls);
    const QString method = controls.section('/', 0, 0);
    const auto names = [&](int i) { return controls.section('/', i, i).split(' '); };
    bool replay = false; // ARDIVO_FUZZ_SEED, when set, replays another run
    const quint32 seed = qEnvironmentVariable("ARDIVO_FUZZ_SEED").toUInt(&replay);
    TextGenerator texts((replay ? seed : 20261206u) + quint32(qHash(method)));
    constexpr int rounds = 8, steps = 120;
    qint64 entries = 0, catalogueAdds = 0;
    for (int round = 0; round < rounds; ++round) {
        TestWorld roundWorld;
        InizFattProt();
        chooseMethod(qPrintable(method));
        QWidget *screen = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName().startsWith(QLatin1String("ValorePer")))
                screen = w;
        }
        QVERIFY(screen);
        Fuzzer fuzzer{roundWorld, *screen, texts, names(1), names(2), names(3), names(4)};
        for (int i = 0; i < steps; ++i) {
            const QString bad = fuzzer.step();
            QVERIFY2(bad.isEmpty(),
                     qPrintable(u"round %1 step %2: %3"_s.arg(round).arg(i).arg(bad)));
        }
        // Whatever was typed, the walk to the report shows only sound numbers.
        const int before = int(roundWorld.prompt.messages.size());
        walkToReport(*screen, texts);
        const QString bad = fuzzer.check(before);
        QVERIFY2(bad.isEmpty(), qPrintable(u"round %1 report: %2"_s.arg(round).arg(bad)));
        for (const qint64 rows : std::as_const(fuzzer.confirmedRows))
            entries += rows;
        catalogueAdds += fuzzer.announcedAdds;
    }
    // The texts reached the stored rows, not only the refusals.
    qDebug("%lld entries and %lld catalogue rows added", entries, catalogueAdds);
    QVERIFY(catalogueAdds >= rounds / 2);
    if (method != QLatin1String("Command1"))
        QVERIFY(entries >= rounds);
}

void TestHardening::thousandRowsListedInAScreenful()
{
    constexpr int rows = 1000;
    auto &form = startMethod<ValorePerMateriale>(); // the screen starts with an empty table
    QVector<MaterialEntry> added;
    for (int i = 1; i <= rows; ++i)
        added << materialEntry(u"M%1"_s.arg(i), 17.5, double(i), 1, 0.8);
    QVERIFY(storeMaterials(added));
    // 17.5 * 0.8 * (1 + ... + 1000), exactly representable
    QCOMPARE(materialsSum(WorkingTables::materials().value()).total, 14.0 * rows * (rows + 1) / 2);
    typeInto(child(form, "txtAreaComp"), "10000");
    QCOMPARE(textOf(form, "Valoreqf"), u"700"_s);
    Screens::get<StampaMateriali>().show();
    QTest::mouseClick(child(Screens::get<StampaMateriali>(), "Label7"), Qt::LeftButton);
    auto &list = Screens::get<StampaElencoMateriali>();
    QVERIFY(list.isVisible());
    const QString lastName = u"Materiale_%1"_s.arg(rows - 1);
    QCOMPARE(textOf(list, "Materiale_0"), u"M1"_s);
    QVERIFY(!list.findChild<QLineEdit *>(lastName)); // out of sight: no field yet
    // Scrolled to the end: the last row whole, in its place; the first gone, one screenful made.
    QScrollBar *bar = list.pageView()->verticalBar();
    bar->setValue(bar->maximum());
    auto *last = list.findChild<QLineEdit *>(lastName);
    QCOMPARE(last ? last->text() : QString(), u"M%1"_s.arg(rows));
    QCOMPARE(PageCanvas::topOf(last), 3000 + (rows - 1) * 255);
    QVERIFY(last->geometry().bottom() < list.pageView()->canvas()->height());
    QVERIFY(!child(list, "Materiale_0"));
    QVERIFY(list.findChildren<QLineEdit *>().size() < 8 * 80); // eight columns
    bar->setValue(0);
    QCOMPARE(textOf(list, "QtaMat_0"), u"1"_s);
    QCOMPARE(list.findChildren<QLineEdit *>(u"Materiale_0"_s).size(), 1); // made once again
}

void TestHardening::tinyAndHugeAreas_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("qf");
    QTest::addColumn<QString>("option");
    QTest::newRow("two thousandths of a square metre") << u"2e-3"_s << u"850000"_s << "Option1_0";
    QTest::newRow("a thousand square kilometres") << u"1e9"_s << u"0"_s << "Option1_5";
}

void TestHardening::tinyAndHugeAreas()
{
    QFETCH(QString, area);
    QFETCH(QString, qf);
    QFETCH(QString, option);
    auto &form = startMethod<ValorePerMateriale>();
    addMaterial("Legno", "100", "1", {}, "17"); // not the 0,8 proposed for wood
    // Pasted whole: typed key by key, the field refuses a leading "0" at once.
    enter(child(form, "txtAreaComp"), area, true);
    QCOMPARE(textOf(form, "Valoreqf"), qf);
    click(form, "Command1");
    QVERIFY(Screens::get<FattoreRischio1>().isVisible());
    QVERIFY(ticked(Screens::get<FattoreRischio1>(), qPrintable(option)));
}

// A value beyond what a result can hold is refused where typed; no number, never 0, is shown.
void TestHardening::valuesBeyondWhatCanBeStored()
{
    auto &form = startMethod<ValorePerMateriale>();
    // The check made while typing reads " -5" after a non-breaking space, and "-0,5", as 0.
    for (const QString &quantity : {u"\u00A0-5"_s, u"-0,5"_s}) {
        pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
        enter(child(form, "txtQta"), quantity, true);
        QCOMPARE(textOf(form, "txtQta"), quantity);
        click(form, "Command4");
        QVERIFY(!world().prompt.messages.last().contains("inserimento riuscito"));
    }
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 0);
    const auto refused = [&](QWidget &screen, qsizetype from) {
        QVERIFY(!world().prompt.messages.mid(from).filter("troppo grande").isEmpty());
        QCOMPARE(fireLoadNow(), 0.0);
        QVERIFY(child(screen, "Valoreqf")->isHidden());
    };
    typeInto(child(form, "txtAreaComp"), "100");
    // 1e308 per kg is a number; twice it is not: the second entry is refused, the first stays.
    // 1e306 MJ/m² is a number too, but far above any real load: no result is shown.
    for (int i = 0; i < 2; ++i)
        addMaterial("Legno", "1", "1", {}, "1e308");
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 1);
    refused(form, world().prompt.messages.size() - 1);
    // A tiny area makes q_f overflow.
    qsizetype told = world().prompt.messages.size();
    typeInto(child(form, "txtAreaComp"), "1e-3");
    refused(form, told);

    // 1e308 * 2 is refused at the fractile.
    told = world().prompt.messages.size();
    auto &activity = startMethod<ValorePerAttivita>();
    pickEntry(child<QComboBox>(activity, "ComboAttivita"), "Biblioteca");
    typeInto(child(activity, "txtValoreMJm2"), "1e308");
    pickEntry(child<QComboBox>(activity, "ComboFrattile"), "2");
    click(activity, "Command1");
    refused(activity, told);
    QVERIFY(!Screens::get<FattoreRischio1>().isVisible());

    // q_f 900.000 MJ/m² is within the limit; q_f,d = 900.000 × 2 × 1,2 is beyond it.
    CalculationSession::current().load(activityCalculation(u"Biblioteca"_s, 9e5, 1, 5, 2));
    auto &fp = Screens::get<FattoreProtezione>();
    fp.show();
    told = world().prompt.messages.size();
    click(fp, "Command1");
    QVERIFY(!world().prompt.messages.mid(told).filter("troppo grande").isEmpty());
    QVERIFY(fp.isVisible() && !Screens::get<TotaleFormula>().isVisible());
    QCOMPARE(textOf(Screens::get<TotaleFormula>(), "txtTotFormula"), QString());
}

QTEST_MAIN(TestHardening)
#include "tst_hardening.moc"
