// The whole walk from the start screen to the report page, the reset and the end of the program.
#include "data/projectfile.h"
#include "testsupport.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/reportprinter.h"
#include "ui/start/frmabout.h"

#include <QGroupBox>

class TestWalk : public WorldTest
{
    Q_OBJECT
private slots:
    void reportFieldsForEachMethod_data();
    void reportFieldsForEachMethod();
    void areaBandsFromMaterials_data();
    void areaBandsFromMaterials();
    void activityAreaProposesTheBand();
    void protectionProductAndActivityWalk();
    void resetAfterFullCalculation();
    void aboutBoxKeysAndClose();
    void screensReadInOrderAndOpenInPlace();
};

template <class... Screen> static QList<QWidget *> screens()
{
    return {&Screens::get<Screen>()...};
}

// Start, formula screen, method 3, one material of 100 kg at 17 MJ/kg in `area` m².
static void materialsUpToFactors(const QString &area)
{
    Screens::get<Avvio>().show();
    click(Screens::get<Avvio>(), "Command1");
    click(Screens::get<FormulaCaricoIncendio>(), "Command1");
    click(Screens::get<DensitaCarico>(), "Command4");
    clickAndType(Screens::get<ValorePerMateriale>(), "txtAreaComp", area);
    addMaterial(u"Legno"_s, u"100"_s, u"1"_s, {}, u"17"_s); // not the 0,8 proposed for wood
    click(Screens::get<ValorePerMateriale>(), "Command1");
}

void TestWalk::reportFieldsForEachMethod_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("riskOption");
    QTest::addColumn<QStringList>("measures");
    QTest::addColumn<Fields>("factors");     // on every report page
    QTest::addColumn<Fields>("ownFields");   // on the page of the method only
    QTest::addColumn<QStringList>("tables"); // the list's fields showing each cell of a row

    // Fields between semicolons; the factors, risk class `risk` and each measure's factor.
    const auto fields = [](const char *joined) { return QString::fromUtf8(joined).split(u';'); };
    const auto factors = [&](const char *joined, int risk, const char *measures) {
        Fields all = fields(joined);
        all << "lblDescrClasseRischio2=" + Regulation::decree2007().riskClasses[risk].description;
        const QStringList values = QString::fromLatin1(measures).split(u' ');
        for (int i = 0; i < values.size(); ++i)
            all << u"lblFattProt%1=%2"_s.arg(i + 1).arg(values[i]);
        return all;
    };
    QTest::newRow("activity")
        << Method::Activity << "Option1_1" << QStringList{"Check4", "Check6"}
        << factors("lblSuperficie=da 500 a 1.000;lbldq1=1,20;txtFattDim=1,20;"
                   "lblClasseRischio2=II;lbldq2=1,00;txtFattUtilizzo=1,00;txtFattProt=0,765;"
                   "txtTotFormula=462,67;lblClasse=45;lblClasseMin=20",
                   1, "1,00 1,00 1,00 0,85 1,00 0,90 1,00 1,00 1,00")
        << fields("Valoreqf=504;txtDensCarInc=504,00;lblTipologia=Ufficio;lblCarIncSpecif=420;"
                  "lblFrattile=1,2")
        << QStringList();
    QTest::newRow("materials")
        << Method::Materials << "Option1_2" << QStringList{"Check1", "Check4"}
        << factors("lblSuperficie=da 0 a 500;lbldq1=1,00;txtFattDim=1,00;lblClasseRischio2=III;"
                   "lbldq2=1,20;txtFattUtilizzo=1,20;txtFattProt=0,51;txtTotFormula=316,20;"
                   "lblClasse=30;lblClasseMin=15",
                   2, "0,60 1,00 1,00 0,85 1,00 1,00 1,00 1,00 1,00")
        << fields("Valoreqf=516;txtDensCarInc=516,67;lblLegna=pari a 27,9 kg/m² di legna standard")
        << QStringList{"Materiale Fonte ValorePerKg FattorePsi Fattore_m QtaMat ContributoMJ "
                       "Percentuale"};
    QTest::newRow("furnishings")
        << Method::Furnishings << "Option1_0" << QStringList{"Check3"}
        << factors("lblSuperficie=da 0 a 500;lbldq1=1,00;txtFattDim=1,00;lblClasseRischio2=I;"
                   "lbldq2=0,80;txtFattUtilizzo=0,80;txtFattProt=0,90;txtTotFormula=35,28;"
                   "lblClasse=0;lblClasseMin=0",
                   0, "1,00 1,00 0,90 1,00 1,00 1,00 1,00 1,00 1,00")
        << fields("Valoreqf=49;txtDensCarInc=49,00;lblLegna=pari a 2,6 kg/m² di legna standard")
        << QStringList{"Arredo FonteArredo ValorePerPezzo QtaArredo ContributoMJ Percentuale",
                       "MatInDep FonteMerce ValPerM3 QtaMerce Imballo ContributoMJ Percentuale"};
}

void TestWalk::reportFieldsForEachMethod()
{
    QFETCH(Method, method);
    QFETCH(QString, riskOption);
    QFETCH(QStringList, measures);
    QFETCH(Fields, factors);
    QFETCH(Fields, ownFields);
    QFETCH(QStringList, tables);
    walkToReport(method, riskOption, measures);

    QWidget &page = *reportPageFor(method);
    QVERIFY(page.isVisible());
    for (Method other : {Method::Activity, Method::Materials, Method::Furnishings})
        COMPARE_FIELDS(*reportPageFor(other), other == method ? factors + ownFields : factors);
    COMPARE_FIELDS(
        Screens::get<TotaleFormula>(),
        factors.filter(QRegularExpression("^(txtFattProt|txtTotFormula|lblClasse|lblClasseMin)=")));

    // The page and its list show the texts the report document prints, cell by cell.
    using namespace ReportDocuments;
    const ReportDocument document =
        ReportPrinter::sessionDocument(CalculationSession::current(), method);
    const ReportPart &printed = document.parts.first();
    QStringList expected{"lblFormula= " + printed.title,
                         "lblLegna=" + printed.field(kWoodEquivalent)};
    const char *const headings[] = {"Label9", "Label10", "Label16", "Label19"};
    for (const ReportBlock &block : printed.blocks)
        if (block.kind == ReportBlock::Kind::Heading && expected.size() < 6)
            expected << QString::fromLatin1(headings[expected.size() - 2]) + u'=' + block.text;
    if (method == Method::Activity) {
        const QString source = printed.field(kValueSource);
        QVERIFY(!source.isEmpty());
        COMPARE_FIELDS(page, expected << "lblArea=" + printed.field(kCompartmentArea));
        // The source on two lines beside the load, whole in its tooltip.
        QCOMPARE(child(page, "lblFonteAttivita")->toolTip(),
                 PageCanvas::plainToolTip(kValueSource + ": " + source));
        QVERIFY(textOf(page, "lblFonteAttivita").startsWith(kValueSource + ": " + source.left(20)));
        return;
    }
    COMPARE_FIELDS(page, expected);
    QTest::mouseClick(child(page, "Label7"), Qt::LeftButton);
    QWidget *list = shownWindow(page.objectName().replace(u"Stampa"_s, u"StampaElenco"_s));
    QVERIFY(list);
    const QVector<const ReportTable *> lists = document.parts.at(1).tables();
    QCOMPARE(lists.size(), tables.size());
    expected =
        QStringList{"Label1=" + document.parts.at(1).title, "Label9=" + lists[0]->title,
                    "TotaleMJ=" + lists.last()->totals.value(lists.last()->totals.size() - 2)};
    int share = 0; // the shares are numbered through both tables
    for (int t = 0; t < lists.size(); ++t) {
        const QStringList fields = tables[t].split(u' ');
        for (int row = 0; row < lists[t]->rows.size(); ++row, ++share) {
            for (int cell = 0; cell < fields.size(); ++cell)
                expected << u"%1_%2=%3"_s.arg(fields[cell])
                                .arg(cell >= fields.size() - 2 ? share : row)
                                .arg(lists[t]->rows[row][cell]);
        }
    }
    if (method == Method::Furnishings) { // the goods' section under the furnishings
        expected << "Imballo_0=si"
                 << "Label2=" + lists.last()->title;
        const int goodsTop = 3120 + ListRows::kRowStep * int(lists[0]->rows.size()) + 400;
        QVERIFY(qAbs(PageCanvas::topOf(child(*list, "Label2")) - goodsTop) <= 15);
    }
    COMPARE_FIELDS(*list, expected);
}

void TestWalk::areaBandsFromMaterials_data()
{
    QTest::addColumn<int>("option"); // the area is the row's name
    QTest::addColumn<QString>("deltaQ1");
    const QList<std::tuple<const char *, int, const char *>> bands{
        {"499,9", 0, "1,00"}, {"500", 1, "1,20"}, {"9999,9", 4, "1,80"}, {"10000", 5, "2,00"}};
    for (auto [area, option, deltaQ1] : bands)
        QTest::newRow(area) << option << QString(deltaQ1);
}

void TestWalk::areaBandsFromMaterials()
{
    QFETCH(int, option);
    QFETCH(QString, deltaQ1);
    materialsUpToFactors(QTest::currentDataTag());
    auto &fr1 = Screens::get<FattoreRischio1>();
    QVERIFY(fr1.isVisible() && ticked(fr1, qPrintable(u"Option1_%1"_s.arg(option))));
    QCOMPARE(textOf(fr1, "txtdq2"), deltaQ1);
    click(fr1, "Command2");
    QCOMPARE(textOf(Screens::get<FattoreRischio2>(), "txtdq2"), deltaQ1);
}

void TestWalk::activityAreaProposesTheBand()
{
    InizFattProt();
    auto &form = startMethod<ValorePerAttivita>();
    clickAndType(form, "txtValoreMJm2", u"420"_s);
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1");
    // A negative area stays as typed, is refused with its rule, and nothing is stored.
    clickAndType(form, "txtAreaComp", u"-5"_s);
    click(form, "Command1");
    QVERIFY(form.isVisible() && !calculation().area);
    QVERIFY(world().prompt.messages.last().startsWith(u"Inserire un valore dell'area valido"_s));
    QCOMPARE(textOf(form, "txtAreaComp"), u"-5"_s);

    clickAndType(form, "txtAreaComp", u"1200"_s);
    click(form, "Command1");
    auto &fr1 = Screens::get<FattoreRischio1>();
    QVERIFY(fr1.isVisible() && ticked(fr1, "Option1_2")); // 1.000 to 2.500 m², from the area
    walkFactors(nullptr, "Option1_1", {});
    click(Screens::get<TotaleFormula>(), "Command3");
    auto &page = Screens::get<StampaAttivita>();
    COMPARE_FIELDS(page, {"lblArea=1.200", "lblSuperficie=da 1.000 a 2.500", "lbldq1=1,40"});
    // The value typed with no activity chosen is the technician's, and says so.
    const QStringList working = ReportDocuments::working(calculation());
    QVERIFY(
        working.contains(u"A = 1.200 m²"_s) &&
        working.contains(u"    carico d'incendio specifico dell'attività: valore del tecnico"_s));

    world().prompt.inputs << u"Archivio"_s; // saved with its area, and shown in the summary
    click(page, "cmdSalvaCompartimento");
    const Project &project = ProjectDocument::current().project();
    QCOMPARE(project.compartments.size(), 1);
    QCOMPARE(compartmentRow(project.compartments[0]).value(2), u"1.200"_s);
    QVERIFY(ProjectFile::toJson(project).contains(R"("area": 1200)"));
}

void TestWalk::protectionProductAndActivityWalk()
{
    auto &fp = Screens::get<FattoreProtezione>();
    click(fp, "Check1");
    QVERIFY(child(fp, "Check2")->isHidden());
    click(fp, "Check1");
    QVERIFY(!child(fp, "Check2")->isHidden());
    click(fp, "Check7");
    QVERIFY(child<QCheckBox>(fp, "Check6")->isHidden());
    for (const char *name : {"Check1", "Check3", "Check4", "Check5", "Check8", "Check9"})
        click(fp, name);
    // 0,6 × 0,9 × 0,85 × 0,9 × 0,8 × 0,9 × 0,9 = 0,2676888, used whole: 1000 × δn = 267,69.
    QCOMPARE(textOf(fp, "txtFattProt"), u"≈ 0,2677"_s);
    QCOMPARE(deltaN(calculation()), 0.2676888);
    Calculation known = activityCalculation(u"Ufficio"_s, 1000, 1, 0, 1, calculation().measures);
    CalculationSession::current().load(known);
    click(fp, "Command1");
    QCOMPARE(ItalianNumbers::toFixed2(*designFireLoad(calculation())), u"267,69"_s);
    QCOMPARE(textOf(Screens::get<TotaleFormula>(), "txtTotFormula"), u"267,69"_s);

    // With no area typed, the activity walk asks for the area band by hand.
    InizFattProt();
    auto &form = startMethod<ValorePerAttivita>();
    pickEntry(child<QComboBox>(form, "ComboAttivita"), "Biblioteca");
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,2");
    click(form, "Command1");
    auto &fr1 = Screens::get<FattoreRischio1>();
    click(fr1, "Command2");
    QCOMPARE(world().prompt.messages.last(), u"Selezionare l'area del compartimento"_s);
    click(fr1, "Option1_3");
    QCOMPARE(textOf(fr1, "txtdq2"), u"1,60"_s);
    walkFactors(nullptr, "Option1_1", {});
    auto &total = Screens::get<TotaleFormula>(); // 1500 × 1,2 × 1 × 1,6 × 1 = 2880
    COMPARE_FIELDS(total, {"txtTotFormula=2.880,00", "lblClasse=240", "lblClasseMin=120"});
    click(total, "Command1"); // Indietro, screen by screen, returns to the method in use
    click(Screens::get<FattoreProtezione>(), "Command2");
    click(Screens::get<FattoreRischio2>(), "Command2");
    click(fr1, "Command1");
    QVERIFY(form.isVisible());
}

void TestWalk::resetAfterFullCalculation()
{
    materialsUpToFactors("600");
    walkFactors(nullptr, "Option1_0", {"Check5"});
    const QString result = textOf(Screens::get<TotaleFormula>(), "txtTotFormula");
    QVERIFY(!result.isEmpty());
    Screens::get<TotaleFormula>().hide();
    click(Screens::get<DensitaCarico>(), "Command2");
    QCOMPARE(fireLoadNow(), 0.0);
    QVERIFY(!deltaQ1(calculation()) && !deltaQ2(calculation()));
    for (int i = 0; i < 6; ++i)
        QVERIFY(!ticked(Screens::get<FattoreRischio1>(), qPrintable(u"Option1_%1"_s.arg(i))));
    QVERIFY(!ticked(Screens::get<FattoreRischio2>(), "Option1_0"));
    QVERIFY(!ticked(Screens::get<FattoreProtezione>(), "Check5"));
    COMPARE_FIELDS(Screens::get<FattoreRischio1>(), {"txtdq2="});
    COMPARE_FIELDS(Screens::get<FattoreRischio2>(), {"dq2="});
    COMPARE_FIELDS(Screens::get<FattoreProtezione>(), {"txtFattProt="});
    COMPARE_FIELDS(Screens::get<StampaMateriali>(), {"lblFattProt5=1,00"});
    // The result screen keeps the old result until a new one is computed.
    QCOMPARE(textOf(Screens::get<TotaleFormula>(), "txtTotFormula"), result);
    click(Screens::get<FattoreRischio2>(), "Command1");
    QCOMPARE(world().prompt.messages.last(), u"Selezionare la classe di rischio"_s);
}

// The start screen's information box; then Enter, Alt and the method keys, as a user without a
// mouse walks; then the close box.
void TestWalk::aboutBoxKeysAndClose()
{
    auto &start = Screens::get<Avvio>();
    start.show();
    QTest::mouseClick(child(start, "Label6"), Qt::LeftButton);
    QWidget *about = &Screens::get<frmAbout>();
    QTest::mouseClick(child(start, "Label6"), Qt::LeftButton);
    QCOMPARE(&Screens::get<frmAbout>(), about);
    QCOMPARE(about->windowTitle(), u"Informazioni su Ardivo"_s);
    const QByteArray path = qgetenv("PATH"); // no program to show the system's information
    qputenv("PATH", "/nonexistent");
    click(*about, "cmdSysInfo");
    qputenv("PATH", path);
    QCOMPARE(world().prompt.messages.last(),
             u"Le informazioni sul sistema non sono attualmente disponibili."_s);
    click(*about, "cmdOK");
    QVERIFY(start.isVisible());

    start.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&start));
    QTest::keyClick(&start, Qt::Key_Return);
    auto &formula = Screens::get<FormulaCaricoIncendio>();
    QTRY_VERIFY(formula.isActiveWindow());
    QTest::keyClick(&formula, Qt::Key_A, Qt::AltModifier);
    auto &chooser = Screens::get<DensitaCarico>();
    QTRY_VERIFY(chooser.isActiveWindow()); // Alt clicks as the mouse does, in a moment
    QTest::keyClick(&chooser, Qt::Key_3);
    auto &form = Screens::get<ValorePerMateriale>();
    QTRY_VERIFY(form.isActiveWindow());
    QVERIFY(!chooser.isVisible());

    clickAndType(form, "txtAreaComp", "100");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    clickAndType(form, "txtQta", "200");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // adds, does not move on
    QCOMPARE(calculation().materials.size(), 1);
    QCOMPARE(textOf(form, "Valoreqf"), u"28"_s); // wood: m 0,8, and still on this screen
    clickAndType(form, "txtAreaComp", "50");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter); // Avanti
    auto &size = Screens::get<FattoreRischio1>();
    QTRY_VERIFY(size.isActiveWindow());
    QTest::keyClick(&size, Qt::Key_I, Qt::AltModifier); // Indietro
    QTRY_VERIFY(form.isActiveWindow());
    // The furnishings screen: Enter in a quantity adds its own kind of entry.
    QTest::keyClick(&form, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(chooser.isActiveWindow());
    QTest::keyClick(&chooser, Qt::Key_2);
    auto &furnishings = Screens::get<ValorePerArredo>();
    pickEntry(child<QComboBox>(furnishings, "ComboMatDep"), "Carta");
    clickAndType(furnishings, "txtQtaMerce", "2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(calculation().furnishings.value(0).goods, u"Carta"_s);

    // The close box of a main screen ends the program: hidden screens go too, with nothing said.
    QPointer<QWidget> hidden = &form, shown = &furnishings;
    QVERIFY(!hidden->isVisible());
    const qsizetype told = world().prompt.messages.size();
    shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(hidden.isNull() && shown.isNull() && ScreenRegistry::all().isEmpty());
    QCOMPARE(world().prompt.messages.size(), told);
    QCOMPARE(textOf(Screens::get<ValorePerMateriale>(), "txtAreaComp"), QString()); // afresh
}

// Tab goes through each screen's controls as they are read: row by row, left to right. Each
// screen opens centred where the one before stood, and fits 1366x768.
void TestWalk::screensReadInOrderAndOpenInPlace()
{
    QStringList wrong;
    for (QWidget *screen : screens<Avvio, FormulaCaricoIncendio, DensitaCarico, ValorePerAttivita,
                                   ValorePerMateriale, ValorePerArredo, FattoreRischio1,
                                   FattoreRischio2, FattoreProtezione, TotaleFormula>()) {
        screen->show();
        QList<QWidget *> chain;
        for (QWidget *w = screen->nextInFocusChain(); w != screen; w = w->nextInFocusChain()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->focusProxy())
                chain << w;
        }
        for (int i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(screen, QPoint()), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(screen, QPoint()), chain[i]->size());
            const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
            // Frames side by side are read one after the other, each top to bottom.
            const auto *frameA = qobject_cast<QGroupBox *>(chain[i - 1]->parentWidget());
            const auto *frameB = qobject_cast<QGroupBox *>(chain[i]->parentWidget());
            if (frameA && frameB && frameA != frameB && b.left() > a.right())
                continue;
            if (!(sameRow ? b.left() > a.left() : b.top() >= a.bottom() - 2))
                wrong << screen->objectName() + QLatin1Char(' ') + chain[i - 1]->objectName() +
                             u" -> "_s + chain[i]->objectName();
        }
        screen->hide();
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));

    auto &start = Screens::get<Avvio>();
    start.show();
    start.move(QPoint(400, 300) - start.rect().center()); // the middle of the test screen
    QWidget *previous = &start;
    const auto fits = [](QWidget *screen) {
        QVERIFY2(screen->frameGeometry().width() <= 1366 && screen->frameGeometry().height() <= 768,
                 qPrintable(screen->objectName()));
    };
    const auto step = [&](const char *button, QWidget &screen) {
        QWidget *before = std::exchange(previous, &screen);
        click(*before, button);
        QVERIFY(screen.isVisible());
        fits(&screen);
        const QPoint moved = screen.geometry().center() - before->geometry().center();
        QVERIFY2(moved.manhattanLength() <= 2, qPrintable(screen.objectName()));
    };
    step("Command1", Screens::get<FormulaCaricoIncendio>());
    step("Command1", Screens::get<DensitaCarico>());
    step("Command4", Screens::get<ValorePerMateriale>());
    walkToReport(Method::Materials, "Option1_0", {});
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            fits(window);
}

QTEST_MAIN(TestWalk)
#include "tst_walk.moc"
