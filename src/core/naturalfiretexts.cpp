#include "core/naturalfiretexts.h"

#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/reportdocument.h"

#include <cmath>

using ItalianNumbers::toFixed;
using ItalianNumbers::toText;

namespace NaturalFireTexts {

QString openingFactor(const NaturalFireResult &r)
{
    return toFixed(r.openingFactor, 4);
}

QString gamma(const NaturalFireResult &r)
{
    return toFixed(r.gamma, 3);
}

QString totalLoad(const NaturalFireResult &r)
{
    return toFixed(r.totalLoad, 2);
}

QString maxMinutes(const NaturalFireResult &r)
{
    return ItalianNumbers::toFixed1(r.maxHours * 60);
}

QString regime(const NaturalFireResult &r)
{
    return r.fuelControlled ? QStringLiteral("controllato dal combustibile")
                            : QStringLiteral("controllato dalla ventilazione");
}

QString celsius(double value)
{
    return toText(std::round(value));
}

QString maxTemperature(const NaturalFireResult &r)
{
    return celsius(r.maxTemperature);
}

QString endMinutes(const NaturalFireResult &r)
{
    return ItalianNumbers::toFixed1(r.endHours * 60);
}

QString equivalentMinutes(const NaturalFireResult &r)
{
    return ItalianNumbers::toFixed1(r.equivalentMinutes);
}

QString requiredClass(const Calculation &calculation)
{
    // The class the compartment's performance level requires, as its report page shows it.
    return CalculationTexts::referenceClass(calculation);
}

QList<QPair<QString, QString>> inputFields(const NaturalFireInputs &in, double floorArea,
                                           double designLoad)
{
    const auto m2 = [](double v) { return toText(v) + QStringLiteral(" m²"); };
    const auto m = [](double v) { return toText(v) + QStringLiteral(" m"); };
    return {
        {QStringLiteral("Superficie in pianta A_f"), m2(floorArea)},
        {QStringLiteral("Carico d'incendio di progetto q_f,d"),
         ItalianNumbers::toFixed2(designLoad) + QStringLiteral(" MJ/m²")},
        {QStringLiteral("Superficie totale del compartimento A_t"), m2(in.totalArea)},
        {QStringLiteral("Altezza H"), m(in.height)},
        {QStringLiteral("Aperture verticali A_v"), m2(in.verticalOpenings)},
        {QStringLiteral("Altezza media delle aperture h_eq"), m(in.openingHeight)},
        {QStringLiteral("Aperture orizzontali A_h"), m2(in.horizontalOpenings)},
        {QStringLiteral("Assorbività termica b"),
         toText(in.absorptivity) + QStringLiteral(" J/m²s^½K")},
        {QStringLiteral("Velocità di crescita dell'incendio"),
         QStringLiteral("%1 (t_lim = %2 min)")
             .arg(NaturalFire::growthName(in.growth),
                  toText(std::round(NaturalFire::limitHours(in.growth) * 60)))},
        {QStringLiteral("Elemento strutturale"), NaturalFire::memberName(in.member)},
    };
}

QStringList annexAWorking(const NaturalFireInputs &in, const NaturalFireResult &r)
{
    const QString o = openingFactor(r);
    const QString b = toText(in.absorptivity);
    const QString tLim = toFixed(r.limitHours, 3);
    QStringList lines;
    lines << QStringLiteral("O = A_v · √h_eq / A_t = %1 · √%2 / %3 = %4 m^½")
                 .arg(toText(in.verticalOpenings), toText(in.openingHeight), toText(in.totalArea),
                      o);
    lines << QStringLiteral("q_t,d = q_f,d · A_f / A_t = %1 MJ/m²").arg(totalLoad(r));
    lines << QStringLiteral("Γ = (O/b)² / (0,04/1160)² = (%1/%2)² / (0,04/1160)² = %3")
                 .arg(o, b, gamma(r));
    lines << QStringLiteral("t_max = max(0,2·10⁻³ · q_t,d / O; t_lim) = max(0,2·10⁻³ · %1 / %2; "
                            "%3) = %4 h = %5 min: incendio %6")
                 .arg(totalLoad(r), o, tLim, toFixed(r.maxHours, 3), maxMinutes(r), regime(r));
    if (r.fuelControlled) {
        lines << QStringLiteral("O_lim = 0,1·10⁻³ · q_t,d / t_lim = 0,1·10⁻³ · %1 / %2 = %3 m^½")
                     .arg(totalLoad(r), tLim, toFixed(r.limitOpeningFactor, 4));
        if (r.limitGammaFactor != 1.0)
            lines << QStringLiteral("Γ_lim = (O_lim/b)² / (0,04/1160)² · k, con k = 1 + "
                                    "((O − 0,04)/0,04)·((q_t,d − 75)/75)·((1160 − b)/1160) = "
                                    "%1: Γ_lim = %2")
                         .arg(toFixed(r.limitGammaFactor, 4), toFixed(r.heatingGamma, 3));
        else
            lines << QStringLiteral("Γ_lim = (O_lim/b)² / (0,04/1160)² = %1")
                         .arg(toFixed(r.heatingGamma, 3));
    }
    const QString heatingGamma = r.fuelControlled ? QStringLiteral("Γ_lim") : QStringLiteral("Γ");
    lines << QStringLiteral("Riscaldamento: Θ_g = 20 + 1325 · (1 − 0,324·e^(−0,2t*) − "
                            "0,204·e^(−1,7t*) − 0,472·e^(−19t*)), t* = t · %1")
                 .arg(heatingGamma);
    lines << QStringLiteral("Θ_max = Θ_g(t* = %1 · %2 = %3) = %4 °C")
                 .arg(toFixed(r.maxHours, 3), toFixed(r.heatingGamma, 3),
                      toFixed(r.maxHours * r.heatingGamma, 4), maxTemperature(r));
    lines << QStringLiteral("t*_max = (0,2·10⁻³ · q_t,d / O) · Γ = %1; x = %2")
                 .arg(toFixed(r.maxStar, 4), toFixed(r.coolingX, 4));
    QString rate;
    if (r.maxStar <= 0.5)
        rate = QStringLiteral("625 (t*_max ≤ 0,5)");
    else if (r.maxStar < 2)
        rate = QStringLiteral("250 · (3 − t*_max) = %1 (0,5 < t*_max < 2)")
                   .arg(toFixed(r.coolingRate, 1));
    else
        rate = QStringLiteral("250 (t*_max ≥ 2)");
    lines << QStringLiteral("Raffreddamento: Θ_g = Θ_max − %1 · (t* − t*_max · x), t* = t · Γ, "
                            "non sotto 20 °C")
                 .arg(rate);
    lines << QStringLiteral("Fine del raffreddamento (20 °C): %1 min").arg(endMinutes(r));
    return lines;
}

QStringList annexFWorking(const NaturalFireInputs &in, const NaturalFireResult &r,
                          double designLoad)
{
    QStringList lines;
    const QString wf = toFixed(r.ventilationFactor, 3);
    if (r.smallCompartment) {
        lines << QStringLiteral("A_f < 100 m² senza aperture in copertura: w_f = O^(−½) · A_f / "
                                "A_t = %1")
                     .arg(wf);
    } else {
        lines << QStringLiteral("α_v = A_v / A_f = %1; α_h = A_h / A_f = %2; b_v = 12,5 · (1 + "
                                "10·α_v − α_v²) ≥ 10 = %3")
                     .arg(toFixed(r.alphaV, 4), toFixed(r.alphaH, 4), toFixed(r.bV, 3));
        lines << QStringLiteral("w_f = (6,0/H)^0,3 · [0,62 + 90·(0,4 − α_v)⁴ / (1 + b_v·α_h)] ≥ "
                                "0,5 = (6,0/%1)^0,3 · [0,62 + 90·(0,4 − %2)⁴ / (1 + %3·%4)] = %5")
                     .arg(toText(in.height), toFixed(r.alphaV, 4), toFixed(r.bV, 3),
                          toFixed(r.alphaH, 4), wf);
    }
    QString kb;
    if (r.kb == 0.04)
        kb = QStringLiteral("0,04 (b > 2500)");
    else if (r.kb == 0.055)
        kb = QStringLiteral("0,055 (720 ≤ b ≤ 2500)");
    else
        kb = QStringLiteral("0,07 (b < 720)");
    lines << QStringLiteral("k_b = %1 min·m²/MJ").arg(kb);
    lines << (in.member == FireMember::UnprotectedSteel
                  ? QStringLiteral("k_c = 13,7 · O = 13,7 · %1 = %2 (%3)")
                        .arg(openingFactor(r), toFixed(r.kc, 4), NaturalFire::memberName(in.member))
                  : QStringLiteral("k_c = 1 (%1)").arg(NaturalFire::memberName(in.member)));
    lines << QStringLiteral("t_e,d = q_f,d · k_b · w_f · k_c = %1 · %2 · %3 · %4 = %5 min")
                 .arg(ItalianNumbers::toFixed2(designLoad), toText(r.kb), wf, toFixed(r.kc, 4),
                      equivalentMinutes(r));
    return lines;
}

} // namespace NaturalFireTexts

namespace ReportDocuments {

namespace {

ReportBlock block(ReportBlock::Kind kind, const QString &text = QString())
{
    ReportBlock b;
    b.kind = kind;
    b.text = text;
    return b;
}

} // namespace

ReportBlock naturalFireCurve(const NaturalFireResult &r)
{
    ReportBlock chart = block(ReportBlock::Kind::Curve,
                              QStringLiteral("Curva parametrica e curva standard ISO 834"));
    chart.xAxis = QStringLiteral("t [min]");
    chart.yAxis = QStringLiteral("Θ [°C]");
    ReportSeries parametric;
    parametric.label = QStringLiteral("Curva parametrica (appendice A)");
    ReportSeries standard;
    standard.label = QStringLiteral("ISO 834");
    standard.reference = true;
    // One point a minute draws both curves smoothly at any size; the heating's first minutes
    // rise fastest, so they go by tenths.
    const double end = std::ceil(r.endHours * 60 / 5) * 5;
    for (double t = 0; t <= end + 1e-9;) {
        parametric.points << QPointF(t, r.temperature(t));
        standard.points << QPointF(t, NaturalFire::iso834(t));
        t += t < 5 ? 0.1 : 1.0;
    }
    chart.series << standard << parametric;
    return chart;
}

std::optional<ReportPart> naturalFirePart(const Calculation &c)
{
    const auto result = naturalFireOf(c);
    if (!result)
        return std::nullopt;
    const NaturalFireResult &r = *result;
    const NaturalFireInputs &in = *c.naturalFire;
    const double designLoad = *designFireLoad(c);
    ReportPart part;
    part.title = NaturalFireTexts::kAppendixTitle;
    using Kind = ReportBlock::Kind;
    part.blocks << block(Kind::Heading, QStringLiteral("Dati"));
    ReportBlock inputs = block(Kind::Fields);
    inputs.fields = NaturalFireTexts::inputFields(in, *naturalFireArea(c), designLoad);
    part.blocks << inputs;

    part.blocks << block(Kind::Heading, QStringLiteral("Curva parametrica (appendice A)"));
    ReportBlock annexA = block(Kind::Working);
    annexA.lines = NaturalFireTexts::annexAWorking(in, r);
    part.blocks << annexA;
    part.blocks << block(Kind::Heading,
                         QStringLiteral("Tempo equivalente di esposizione (appendice F)"));
    ReportBlock annexF = block(Kind::Working);
    annexF.lines = NaturalFireTexts::annexFWorking(in, r, designLoad);
    part.blocks << annexF;

    part.blocks << block(Kind::Heading, QStringLiteral("Risultati"));
    ReportBlock results = block(Kind::Fields);
    results.fields = {
        {QStringLiteral("Fattore di apertura O"),
         NaturalFireTexts::openingFactor(r) + QStringLiteral(" m^½")},
        {QStringLiteral("Γ"), NaturalFireTexts::gamma(r)},
        {QStringLiteral("q_t,d"), NaturalFireTexts::totalLoad(r) + QStringLiteral(" MJ/m²")},
        {QStringLiteral("t_max"), NaturalFireTexts::maxMinutes(r) + QStringLiteral(" min")},
        {QStringLiteral("Regime"), NaturalFireTexts::regime(r)},
        {QStringLiteral("Θ_max"), NaturalFireTexts::maxTemperature(r) + QStringLiteral(" °C")},
        {QStringLiteral("Fine del raffreddamento"),
         NaturalFireTexts::endMinutes(r) + QStringLiteral(" min")},
        {QStringLiteral("Tempo equivalente t_e,d"),
         NaturalFireTexts::equivalentMinutes(r) + QStringLiteral(" min")},
    };
    const QString required = NaturalFireTexts::requiredClass(c);
    if (!required.isEmpty())
        results.fields << qMakePair(
            QStringLiteral("Classe richiesta del compartimento (per confronto)"), required);
    part.blocks << results;

    part.blocks << block(Kind::Heading, QStringLiteral("Avvertenze"));
    for (const QString &warning : r.warnings)
        part.blocks << block(Kind::Paragraph, warning);

    part.blocks << block(Kind::Heading, QStringLiteral("Grafico"));
    ReportBlock chart = naturalFireCurve(r);
    chart.keepWithPrevious = true;
    part.blocks << chart;

    // The rows in two halves side by side: a long cooling still fits one sheet.
    ReportBlock table = block(Kind::Table);
    table.table.title = QStringLiteral("Temperatura dei gas ogni 5 minuti");
    const QStringList headers{QStringLiteral("t [min]"), QStringLiteral("Θ_g [°C]"),
                              QStringLiteral("ISO 834 [°C]")};
    table.table.headers = headers + headers;
    table.table.widths = QVector<double>(6, 1.0 / 6);
    table.table.numeric = QVector<bool>(6, true);
    const QVector<CurvePoint> points = r.table();
    const auto row = [](const CurvePoint &point) {
        return QStringList{ItalianNumbers::toText(point.minutes),
                           NaturalFireTexts::celsius(point.celsius),
                           NaturalFireTexts::celsius(NaturalFire::iso834(point.minutes))};
    };
    const qsizetype half = (points.size() + 1) / 2;
    for (qsizetype i = 0; i < half; ++i)
        table.table.rows << row(points.at(i)) +
                                (i + half < points.size()
                                     ? row(points.at(i + half))
                                     : QStringList{QString(), QString(), QString()});
    part.blocks << table;
    return part;
}

} // namespace ReportDocuments
