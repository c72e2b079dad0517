#include "testsupport.h"

#include "data/entrystore.h"

#include <QSettings>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <quazip/quazipfile.h>
#include <sys/stat.h>

TestWorld::TestWorld() : m_dir(std::make_unique<QTemporaryDir>())
{
    Database::instance().setFilePath(m_dir->filePath(u"Ardivo/Ardivo.db"_s));
    // The settings a screen remembers start empty, as on a first run.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, m_dir->filePath(u"config"_s));
    resetSharedState();
    UserPrompt::install(&prompt);
}

TestWorld::~TestWorld()
{
    closeAllScreens();
    Database::instance().close();
    UserPrompt::install(nullptr);
}

void closeAllScreens()
{
    Fine();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString textOf(QWidget &screen, const char *name)
{
    QWidget *w = child(screen, name);
    if (!w)
        return u"<no %1>"_s.arg(QLatin1String(name));
    // A label, field or button; a chooser; a text box.
    for (const char *property : {"text", "currentText", "plainText"})
        if (const QVariant value = w->property(property); value.isValid())
            return value.toString();
    return w->windowTitle();
}

bool ticked(QWidget &screen, const char *name)
{
    return child<QAbstractButton>(screen, name)->isChecked();
}

QString differences(QWidget &screen, const Fields &expected)
{
    QStringList found;
    for (const QString &field : expected) {
        const QString name = field.section(u'=', 0, 0), value = field.section(u'=', 1);
        const QString text = textOf(screen, qPrintable(name));
        if (text != value)
            found << screen.objectName() + u'.' + name + u" = "_s + text + u", not "_s + value;
    }
    return found.join(u"; "_s);
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
    Q_ASSERT(qobject_cast<QAbstractButton *>(button));
    // A check or option box answers on its mark and caption only, which a layout may leave far
    // from the middle of a wide box: it is clicked on its mark, at the left.
    const bool marked = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    const QPoint at = marked ? QPoint(qMin(8, button->width() / 2), button->height() / 2)
                             : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

void click(QWidget &screen, const char *button)
{
    click(child(screen, button));
}

void chooseMethod(const char *button)
{
    auto &screen = Screens::get<DensitaCarico>();
    screen.show();
    click(screen, button);
}

// Shows the window of `widget` and makes it the active one, as a click on it does.
static void activate(QWidget *widget)
{
    QWidget *window = widget->window();
    if (!window->isVisible())
        window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

void clickAndType(QWidget *field, const QString &text, bool replace)
{
    activate(field);
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

void clickAndType(QWidget &screen, const char *field, const QString &text)
{
    clickAndType(child(screen, field), text);
}

void addMaterial(const QString &name, const QString &quantity, const QString &m, const QString &psi,
                 const QString &valuePerKg)
{
    auto &form = Screens::get<ValorePerMateriale>();
    pickEntry(child<QComboBox>(form, "ComboMat"), name);
    if (!m.isEmpty())
        pickEntry(child<QComboBox>(form, "Combo1"), m);
    if (!psi.isEmpty())
        pickEntry(child<QComboBox>(form, "Combo2"), psi);
    if (!valuePerKg.isEmpty())
        clickAndType(form, "txtValorePerKg", valuePerKg);
    clickAndType(form, "txtQta", quantity);
    click(form, "Command4");
}

void addPieces(const QString &name, const QString &pieces)
{
    auto &form = Screens::get<ValorePerArredo>();
    pickEntry(child<QComboBox>(form, "ComboArredo"), name);
    clickAndType(form, "txtQta", pieces);
    click(form, "Command4");
}

void addGoods(const QString &name, const QString &valuePerM3, const QString &volume, bool packed)
{
    auto &form = Screens::get<ValorePerArredo>();
    pickEntry(child<QComboBox>(form, "ComboMatDep"), name);
    if (!valuePerM3.isEmpty())
        clickAndType(form, "txtValoreMJm3", valuePerM3);
    clickAndType(form, "txtQtaMerce", volume);
    if (packed)
        click(form, "CheckImballo");
    click(form, "Command7");
}

void clickCell(QTableView *table, int row, int column)
{
    activate(table);
    const QModelIndex index = table->model()->index(row, column);
    table->scrollTo(index);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
}

QStringList rowTexts(QTableView *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->model()->columnCount(); ++column)
        texts << table->model()->index(row, column).data().toString();
    return texts;
}

void editCell(QTableView *grid, int row, int column, const QString &text, Qt::Key key)
{
    clickCell(grid, row, column);
    QCOMPARE(grid->currentIndex(), grid->model()->index(row, column));
    for (const QChar c : text) // the first key opens the editor, which takes the rest
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    QTest::keyClick(QApplication::focusWidget(), key);
    QCoreApplication::processEvents(); // the editor hands its text over once the key is handled
}

QTableView *openGridViewer(QWidget &form)
{
    click(form, "Command5");
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<GridViewer *>(window) && window->isVisible()) {
            activate(window);
            return child<QTableView>(*window, "DataGrid1");
        }
    return nullptr;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

bool makeOddFile(const QString &path, const QString &kind, qint64 size)
{
    if (kind == u"pipe"_s)
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == u"device"_s)
        return QFile::link(u"/dev/zero"_s, path);
    if (kind == u"folder"_s)
        return QDir().mkpath(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size); // sparse: takes no room
}

QString lacking(const QString &text, const TextParts &parts)
{
    QStringList lacked;
    for (const auto &part : parts) {
        if (const auto *plain = std::get_if<QString>(&part); plain && !text.contains(*plain))
            lacked << *plain;
        else if (const auto *re = std::get_if<QRegularExpression>(&part); re && !text.contains(*re))
            lacked << re->pattern();
    }
    return lacked.isEmpty() ? QString()
                            : u"lacks «"_s + lacked.join(u"», «"_s) + u"» in:\n"_s + text;
}

QString outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(20000) ? QString::fromUtf8(process.readAllStandardOutput())
                                          : QString();
}

QString pdfText(const QString &path)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        QTest::qFail("pdftotext (poppler-utils) is not installed", __FILE__, __LINE__);
    return outputOf(pdftotext, {u"-layout"_s, path, u"-"_s});
}

QString exportedPdf(TestWorld &world, QWidget &screen, const QString &path)
{
    world.prompt.files << path;
    click(screen, "cmdEsportaPdf");
    return pdfText(path);
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
    QuaZipFile file(path, entry);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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

bool storeMaterials(const QVector<MaterialEntry> &entries)
{
    return EntryStore::addMaterials(CalculationSession::current(), entries);
}

bool storeFurnishings(const QVector<FurnishingEntry> &entries)
{
    return EntryStore::addFurnishings(CalculationSession::current(), entries);
}

qint64 rowCountOf(const QString &table)
{
    auto query = Database::instance().run(u"SELECT count(*) FROM %1"_s.arg(table));
    return query && query->next() ? query->value(0).toLongLong() : 0;
}

void enterExampleMaterials()
{
    clickAndType(Screens::get<ValorePerMateriale>(), "txtAreaComp", u"60"_s);
    addMaterial(u"Legno"_s, u"1000"_s, u"0,8"_s);
    addMaterial(u"Polietilene (PE)"_s, u"500"_s, u"1"_s, u"0,85"_s);
}

void walkFactors(const char *areaOption, const QString &riskOption, const QStringList &measures)
{
    if (areaOption)
        click(Screens::get<FattoreRischio1>(), areaOption);
    click(Screens::get<FattoreRischio1>(), "Command2");
    click(Screens::get<FattoreRischio2>(), qPrintable(riskOption));
    click(Screens::get<FattoreRischio2>(), "Command1");
    for (const QString &measure : measures)
        click(Screens::get<FattoreProtezione>(), qPrintable(measure));
    click(Screens::get<FattoreProtezione>(), "Command1");
}

void walkToReport(Method method, const QString &riskOption, const QStringList &measures)
{
    Q_ASSERT(method != Method::None);
    InizFattProt();
    if (method == Method::Activity) {
        auto &form = startMethod<ValorePerAttivita>();
        pickEntry(child<QComboBox>(form, "ComboAttivita"), u"Ufficio"_s);
        pickEntry(child<QComboBox>(form, "ComboFrattile"), u"1,2"_s);
        click(form, "Command1");
    } else if (method == Method::Materials) {
        auto &form = startMethod<ValorePerMateriale>();
        enterExampleMaterials();
        click(form, "Command1");
    } else {
        auto &form = startMethod<ValorePerArredo>();
        clickAndType(form, "txtAreaComp", u"100"_s);
        addPieces(u"Materasso in cotone"_s, u"2"_s);
        addGoods(u"Carta"_s, u"400"_s, u"10"_s, true);
        click(form, "Command1");
    }
    // An activity gives no area: its class is the second one, chosen by hand.
    walkFactors(method == Method::Activity ? "Option1_1" : nullptr, riskOption, measures);
    click(Screens::get<TotaleFormula>(), "Command3");
}

QWidget *shownWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

QList<QVariantList> rowsOf(const QSqlDatabase &db, const QString &sql)
{
    QList<QVariantList> rows;
    QSqlQuery query(db);
    for (bool ok = query.exec(sql); ok && query.next();) {
        rows << QVariantList();
        for (int c = 0; c < query.record().count(); ++c)
            rows.last() << query.value(c);
    }
    return rows;
}

QList<QVariantList> catalogueRows(const QSqlDatabase &db)
{
    QList<QVariantList> rows;
    for (const char *table : {"tblMateriale", "tblAttivita", "tblArredo", "tblMaterialeInDeposito"})
        rows += rowsOf(db, u"SELECT '%1', * FROM %1 ORDER BY 2"_s.arg(QLatin1String(table)));
    return rows;
}
