// The parametric fire and the equivalent time, without any window: values worked by hand from UNI
// EN 1991-1-2, Annexes A and F (the steps in the comments); Γ = 1 checked against ISO 834.
#include "core/naturalfire.h"
#include "core/reportdocument.h"
#include "testcalculations.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

// An enclosure with its floor area A_f and design load q_f,d, as the rows below give it.
struct Room {
    NaturalFireInputs in;
    double af, qfd;
    std::optional<NaturalFireResult> computed() const { return NaturalFire::compute(in, af, qfd); }
};
Q_DECLARE_METATYPE(Room)

// The office of curves() and equivalentTime(), with its roof openings and its member.
static Room office(double ah = 0, FireMember member = FireMember::ReinforcedConcrete)
{
    return {naturalFireInputs(810, 3, 30, 1.5, ah, 1160, FireGrowth::Medium, member), 300, 511};
}

class TestNaturalFire : public QObject
{
    Q_OBJECT
private slots:
    void gammaOneFollowsIso834();
    void curves_data();
    void curves();
    void fuelControlledEdge();
    void equivalentTime_data();
    void equivalentTime();
    void refusals_data();
    void refusals();
    void warnings();
    void appendixWorking();
};

// O = 4·√1/100 = 0,04 and b = 1160 give Γ = 1; q_t,d = 1200·50/100 = 600 MJ/m² keeps the fire
// ventilation-controlled for 0,2·10⁻³·600/0,04 = 3 h, so the heating covers the first hour.
void TestNaturalFire::gammaOneFollowsIso834()
{
    const auto r = NaturalFire::compute(naturalFireInputs(100, 3, 4, 1, 0, 1160), 50, 1200);
    QVERIFY(r);
    QCOMPARE(r->gamma, 1.0);
    QVERIFY(!r->fuelControlled);
    for (int minutes = 20; minutes <= 60; minutes += 5) {
        const double iso = NaturalFire::iso834(minutes), parametric = r->temperature(minutes);
        QVERIFY2(
            std::abs(parametric - iso) <= 0.02 * iso,
            qPrintable(u"%1 min: %2 against ISO 834 %3"_s.arg(minutes).arg(parametric).arg(iso)));
    }
}

void TestNaturalFire::curves_data()
{
    QTest::addColumn<Room>("room");
    QTest::addColumn<bool>("fuel");
    // Θ_max, the end in minutes, Θ at 45 and 90, and the table's last step (5 minutes each, the
    // first back at 20 °C).
    QTest::addColumn<QList<double>>("expected");

    // An office of 20 × 15 m, 3 m high: A_t = 2·300 + 2·35·3 = 810 m², 30 m² of windows 1,5 m
    // high, q_f,d = 511 MJ/m², b = 1160, medium growth. O = 30·√1,5/810 = 0,04536;
    // Γ = (0,04536/0,04)² = 1,2860; q_t,d = 511·300/810 = 189,26; t_max = 0,2·10⁻³·189,26/0,04536
    // = 0,8345 h = 50,07 min > 20: ventilation-controlled. t*_max = 0,8345·1,2860 = 1,0731:
    // Θ_max = 20 + 1325·(1 − 0,324·e^−0,2146 − 0,204·e^−1,8243 − 0,472·e^−20,39) = 20 + 1325·0,7057
    // = 955,0 °C. Cooling (0,5 < t*_max < 2) 250·(3 − 1,0731) = 481,7 °C per unit of t*, back at
    // 20 °C at t* = 1,0731 + 935,0/481,7 = 3,0141, t = 3,0141/1,2860 h = 140,6 min. At 45 min
    // t* = 0,9645: 20 + 1325·(1 − 0,2674 − 0,0395 − 0) = 938,6 °C; at 90 min t* = 1,9290:
    // 955,0 − 481,7·(1,9290 − 1,0731) = 542,7 °C.
    QTest::newRow("office, ventilation-controlled")
        << office() << false << QList<double>{955.0, 140.6, 938.6, 542.7, 145};
    // A small room with light linings: A_f = 50, A_t = 200, A_v = 8, h_eq = 1,5, b = 600,
    // q_f,d = 800, slow growth. O = 8·√1,5/200 = 0,04899; Γ = ((0,04899/600)/(0,04/1160))²
    // = 5,6067; q_t,d = 200; t_max = 0,2·10⁻³·200/0,04899 = 0,8165 h = 48,99 min > 25.
    // t*_max = 4,5778: Θ_max = 20 + 1325·(1 − 0,324·e^−0,9156 − 0,204·e^−7,782 − 0) = 1173,0.
    // t*_max ≥ 2: 250 per unit; end at t* = 4,5778 + 1153,0/250 = 9,1900, t = 98,3 min.
    // At 45 min t* = 4,2050: 1159,6 °C; at 90 min t* = 8,4100: 1173,0 − 250·3,8322 = 215,0.
    QTest::newRow("small room, light linings")
        << Room{naturalFireInputs(200, 3, 8, 1.5, 0, 600, FireGrowth::Slow), 50, 800} << false
        << QList<double>{1173.0, 98.3, 1159.6, 215.0, 100};
    // Heavy linings and small windows: A_f = 100, A_t = 400, A_v = 10, h_eq = 2, b = 2000,
    // q_f,d = 1000. O = 10·√2/400 = 0,035355; Γ = ((0,035355/2000)/(0,04/1160))² = 0,26281;
    // q_t,d = 250; t_max = 0,2·10⁻³·250/0,035355 = 1,4142 h = 84,85 min. t*_max = 0,37167:
    // Θ_max = 20 + 1325·(1 − 0,324·e^−0,07433 − 0,204·e^−0,6318 − 0,472·e^−7,062) = 802,2 °C.
    // t*_max ≤ 0,5: 625 per unit; end at t* = 0,37167 + 782,2/625 = 1,62323, t = 6,1764 h
    // = 370,6 min. At 45 min t* = 0,19711: 724,2 °C; at 90 min t* = 0,39422: 802,2 − 625·0,02255
    // = 788,1.
    QTest::newRow("heavy linings, slow cooling")
        << Room{naturalFireInputs(400, 3, 10, 2, 0, 2000), 100, 1000} << false
        << QList<double>{802.2, 370.6, 724.2, 788.1, 375};
    // Fuel-controlled with the factor on Γ_lim: A_f = 40, A_t = 100, A_v = 6, h_eq = 1, b = 800,
    // q_f,d = 150, fast growth (t_lim = 0,25 h). O = 0,06; q_t,d = 60; 0,2·10⁻³·60/0,06 = 0,2 h
    // < 0,25: fuel-controlled, t_max = 0,25 h. O_lim = 0,1·10⁻³·60/0,25 = 0,024;
    // Γ_lim = ((0,024/800)/(0,04/1160))² = 0,7569; O > 0,04, q_t,d < 75, b < 1160: × (1 + 0,5
    // · (−0,2) · 0,31034) = 0,96897, Γ_lim = 0,73341. Θ_max at t* = 0,25·0,73341 = 0,18335:
    // 20 + 1325·(1 − 0,3124 − 0,1490 − 0,0145) = 714,0 °C. Γ = ((0,06/800)/(0,04/1160))²
    // = 4,7306; t*_max = 0,2·4,7306 = 0,94613; x = 0,25·4,7306/0,94613 = 1,25; rate 250·(3 −
    // 0,94613) = 513,47; end at t* = 1,18266 + 694,0/513,47 = 2,53432, t = 0,53573 h = 32,1 min.
    // At 45 and 90 min the room is back at 20 °C.
    QTest::newRow("fuel-controlled, small load")
        << Room{naturalFireInputs(100, 3, 6, 1, 0, 800, FireGrowth::Fast), 40, 150} << true
        << QList<double>{714.0, 32.1, 20.0, 20.0, 35};
}

void TestNaturalFire::curves()
{
    QFETCH(Room, room);
    const auto r = room.computed();
    QVERIFY(r);
    QTEST(r->fuelControlled, "fuel");
    QFETCH(QList<double>, expected);
    const QList<double> found{r->maxTemperature, r->endHours * 60, r->temperature(45),
                              r->temperature(90)};
    for (int i = 0; i < 4; ++i) // within 10 °C, the end within a tenth of a minute
        QVERIFY2(std::abs(found[i] - expected[i]) <= (i == 1 ? 0.1 : 10),
                 qPrintable(QString::number(found[i])));
    // The curve is continuous where the heating gives way to the cooling.
    QVERIFY(std::abs(r->temperature(r->maxHours * 60 + 1e-6) - r->maxTemperature) < 0.01);
    const QVector<CurvePoint> rows = r->table();
    QCOMPARE(rows.last().minutes, expected[4]);
    QCOMPARE(rows.size(), qsizetype(expected[4] / 5) + 1);
    QVERIFY(rows.first().celsius == 20 && rows.last().celsius == 20);
    QVERIFY(rows.at(rows.size() - 2).celsius > 20);
}

// A_f = 50, A_t = 100, A_v = 6, h_eq = 1 (O = 0,06), b = 1160, fast growth (t_lim = 15 min),
// q_f,d = 150: q_t,d = 75 and 0,2·10⁻³·75/0,06 = 0,25 h, t_lim itself, although the product
// computes a hair above it. Equality is fuel-controlled: O_lim = 0,1·10⁻³·75/0,25 = 0,03,
// Γ_lim = (0,03/0,04)² = 0,5625 (q_t,d is not below 75: no factor), Θ_max at t* = 0,140625:
// 20 + 1325·(1 − 0,3150 − 0,1606 − 0,0327) = 671,6 °C. Γ = 2,25, t*_max = 0,5625, x = 1,
// rate 250·2,4375 = 609,375; end at t* = 0,5625 + 651,6/609,375 = 1,6318, t = 43,5 min.
// A load a little higher is ventilation-controlled: Θ_max at t* = 0,5625, 857,5 °C.
void TestNaturalFire::fuelControlledEdge()
{
    const NaturalFireInputs in = naturalFireInputs(100, 3, 6, 1, 0, 1160, FireGrowth::Fast);
    const auto edge = NaturalFire::compute(in, 50, 150);
    QVERIFY(edge && edge->fuelControlled);
    QCOMPARE(edge->maxHours, 0.25);
    QVERIFY(std::abs(edge->heatingGamma - 0.5625) < 1e-9);
    QCOMPARE(edge->limitGammaFactor, 1.0);
    QVERIFY(std::abs(edge->maxTemperature - 671.6) < 0.1);
    QVERIFY(std::abs(edge->coolingX - 1.0) < 1e-9);
    QVERIFY(std::abs(edge->endHours * 60 - 43.5) < 0.1);

    const auto above = NaturalFire::compute(in, 50, 150.01);
    QVERIFY(above && !above->fuelControlled);
    QVERIFY(std::abs(above->maxTemperature - 857.5) < 0.1);
}

void TestNaturalFire::equivalentTime_data()
{
    QTest::addColumn<Room>("room");
    QTest::addColumn<double>("wf");
    QTest::addColumn<double>("minutes");

    // The office above: α_v = 30/300 = 0,1, α_h = 0. w_f = (6/3)^0,3 · [0,62 + 90·0,3⁴/1]
    // = 1,23114 · 1,349 = 1,66081; b = 1160: k_b = 0,055; concrete k_c = 1: t_e,d = 511·0,055
    // ·1,66081 = 46,68 min. Unprotected steel: k_c = 13,7·O = 13,7·0,045361 = 0,62144: 46,677
    // ·0,62144 = 29,01 min.
    QTest::newRow("office, concrete") << office() << 1.66081 << 46.68;
    QTest::newRow("office, unprotected steel")
        << office(0, FireMember::UnprotectedSteel) << 1.66081 << 29.01;
    // With 6 m² in the roof: α_h = 0,02, b_v = 12,5·(1 + 1 − 0,01) = 24,875; w_f = 1,23114
    // · [0,62 + 0,729/(1 + 0,4975)] = 1,23114 · 1,10680 = 1,36262; t_e,d = 511·0,055·1,36262
    // = 38,30 min.
    QTest::newRow("office with roof openings") << office(6) << 1.36262 << 38.30;
    // A small room (A_f = 50 < 100, no roof openings): w_f = O^−½·A_f/A_t = 0,04899^−½·50/200
    // = 1,12950; b = 600 < 720: k_b = 0,07; t_e,d = 800·0,07·1,12950 = 63,25 min.
    QTest::newRow("small room") << Room{naturalFireInputs(200, 3, 8, 1.5, 0, 600), 50, 800}
                                << 1.12950 << 63.25;
    // A tall hall with wide openings: A_f = 400, H = 8, A_v = 120 (α_v = 0,3), A_t = 1600,
    // h_eq = 3, b = 2600: w_f = (6/8)^0,3 · [0,62 + 90·0,1⁴] = 0,91731 · 0,629 = 0,57699;
    // k_b = 0,04 (b > 2500); t_e,d = 300·0,04·0,57702 = 6,92 min.
    QTest::newRow("tall hall, heavy linings")
        << Room{naturalFireInputs(1600, 8, 120, 3, 0, 2600), 400, 300} << 0.57699 << 6.92;
}

void TestNaturalFire::equivalentTime()
{
    QFETCH(Room, room);
    QFETCH(double, wf);
    QFETCH(double, minutes);
    const auto r = room.computed();
    QVERIFY(r);
    QVERIFY2(std::abs(r->ventilationFactor - wf) < 1e-4,
             qPrintable(QString::number(r->ventilationFactor)));
    QVERIFY2(std::abs(r->equivalentMinutes - minutes) < 0.01,
             qPrintable(QString::number(r->equivalentMinutes)));
}

// The entry rules and impossible geometries one by one are typed into the window's fields in
// the screens' tests; here what only the computation can say.
void TestNaturalFire::refusals_data()
{
    QTest::addColumn<Room>("room");
    QTest::addColumn<QString>("names"); // what the message must name
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("no area") << Room{office().in, 0, 511} << "A_f";
    QTest::newRow("no design load") << Room{office().in, 300, 0} << "q_f,d";
    QTest::newRow("A_t not a number")
        << Room{naturalFireInputs(nan, 3, 30, 1.5, 0, 1160), 300, 511} << "A_t";
    QTest::newRow("b infinite") << Room{naturalFireInputs(810, 3, 30, 1.5, 0, qInf()), 300, 511}
                                << "b";
    // O = 0,01·√0,1/810: a fire that would smoulder for weeks.
    QTest::newRow("endless fire") << Room{naturalFireInputs(810, 3, 0.01, 0.1, 0, 2000), 300, 5000}
                                  << "ore";
}

void TestNaturalFire::refusals()
{
    QFETCH(Room, room);
    QFETCH(QString, names);
    const QString said = NaturalFire::refusal(room.in, room.af, room.qfd);
    QVERIFY2(said.contains(names), qPrintable(said));
    QVERIFY(!room.computed());
}

void TestNaturalFire::warnings()
{
    auto r = office().computed(); // inside every range: only the reminder
    QVERIFY(r && r->warnings.size() == 1 && r->warnings.last().contains(u"S.2-3"_s));
    // 600 m², 5 m high, roof openings, b = 2600, α_v = 0,3 and q_t,d below 50.
    r = NaturalFire::compute(naturalFireInputs(2400, 5, 180, 3, 10, 2600), 600, 150);
    QVERIFY(r);
    const QString all = r->warnings.join(u'\n');
    for (const QString &named : {u"500 m²"_s, u"4 m"_s, u"copertura"_s, u"b = 2600"_s,
                                 u"q_t,d = 37,50"_s, u"α_v = 0,3000"_s})
        QVERIFY2(all.contains(named), qPrintable(named + u" in\n"_s + all));
    QVERIFY(!all.contains(u"O = "_s)); // O = 180·√3/2400 = 0,1299 is inside
}

// The appendix writes each formula with the numbers it used: here the fuel-controlled room of
// curves() (A_f = 40, O = 0,06, b = 800, fast growth), with q_f = 150 in risk class I, so that
// q_t,d stays below 75 and Γ_lim takes its correction.
void TestNaturalFire::appendixWorking()
{
    Calculation c = materialsCalculation(40, {materialEntry(u"Legno"_s, 15, 400)}, 0, 0);
    QVERIFY(!ReportDocuments::naturalFirePart(c)); // no enclosure, no appendix
    c.naturalFire = naturalFireInputs(100, 3, 6, 1, 0, 800, FireGrowth::Fast);
    const auto part = ReportDocuments::naturalFirePart(c);
    QVERIFY(part);
    ReportDocument document;
    document.parts << *part;
    const QString all = document.texts().join(u'\n');
    const auto r = NaturalFire::compute(*c.naturalFire, 40, *designFireLoad(c));
    QVERIFY(r && r->fuelControlled);
    for (const QString &line :
         {u"O = A_v · √h_eq / A_t = 6 · √1 / 100 = 0,0600 m^½"_s,
          u"t_max = max(0,2·10⁻³ · q_t,d / O; t_lim) = max(0,2·10⁻³ · "_s,
          u"incendio controllato dal combustibile"_s,
          u"O_lim = 0,1·10⁻³ · q_t,d / t_lim = 0,1·10⁻³ · "_s,
          u"Γ_lim = (O_lim/b)² / (0,04/1160)² · k"_s, u"rapida (t_lim = 15 min)"_s,
          u"k_b = 0,055 (720 ≤ b ≤ 2500) min·m²/MJ"_s, u"Temperatura dei gas ogni 5 minuti"_s,
          u"Curva parametrica e curva standard ISO 834"_s})
        QVERIFY2(all.contains(line), qPrintable(line + u"\n"_s + all));
    // The chart: the parametric curve and the standard one, in minutes and °C.
    const auto chart = std::find_if(part->blocks.begin(), part->blocks.end(), [](const auto &b) {
        return b.kind == ReportBlock::Kind::Curve;
    });
    QVERIFY(chart != part->blocks.end() && chart->series.size() == 2);
    QCOMPARE(chart->series.at(1).points.first(), QPointF(0, 20));
    QVERIFY(std::abs(chart->series.at(0).points.at(10).y() - NaturalFire::iso834(1)) < 1e-9);
}

QTEST_GUILESS_MAIN(TestNaturalFire)
#include "tst_naturalfire.moc"
