#include "core/project.h"

#include "core/calculationtexts.h"
#include "core/reportdocument.h"

bool ProjectIdentity::operator==(const ProjectIdentity &o) const
{
    return name == o.name && client == o.client && site == o.site && activity == o.activity &&
           technician == o.technician && date == o.date && revision == o.revision;
}

std::optional<int> Project::indexOf(const QString &name) const
{
    for (int i = 0; i < compartments.size(); ++i) {
        if (compartments.at(i).name == name)
            return i;
    }
    return std::nullopt;
}

void Project::store(const Compartment &compartment)
{
    if (const auto index = indexOf(compartment.name))
        compartments[*index] = compartment;
    else
        compartments << compartment;
}

bool Project::remove(const QString &name)
{
    const auto index = indexOf(name);
    if (!index)
        return false;
    compartments.removeAt(*index);
    return true;
}

QString methodName(Method method)
{
    switch (method) {
    case Method::Activity:
        return QStringLiteral("Attività");
    case Method::Furnishings:
        return QStringLiteral("Arredo e merci");
    case Method::Materials:
        return QStringLiteral("Materiali");
    case Method::None:
        break;
    }
    return QString();
}

QStringList compartmentColumns()
{
    return {QStringLiteral("Compartimento"),
            QStringLiteral("Metodo"),
            QStringLiteral("Superficie [m²]"),
            QStringLiteral("q_f [MJ/m²]"),
            QStringLiteral("δq1"),
            QStringLiteral("δq2"),
            QStringLiteral("δn"),
            QStringLiteral("q_f,d [MJ/m²]"),
            QStringLiteral("Classe"),
            QStringLiteral("Classe minima"),
            QStringLiteral("Livello"),
            QStringLiteral("Normativa")};
}

QStringList compartmentRow(const Compartment &compartment)
{
    const Calculation &c = compartment.calculation;
    const Regulation &r = regulationOf(c);
    const ReportFigures f = reportFigures(c);
    // The Code's table gives a minimum class: it stands in that column.
    return {compartment.name,
            methodName(c.method),
            f.area,
            f.printedFireLoad,
            f.deltaQ1,
            f.deltaQ2,
            f.deltaN,
            f.designFireLoad,
            r.hasMinimumClass ? f.referenceClass : QString(),
            r.hasMinimumClass ? f.minimumClass : f.referenceClass,
            CalculationTexts::levelName(c),
            r.shortName};
}

QVector<Rule> rulesUsed(const Project &project)
{
    QVector<Rule> used;
    for (Rule rule : Regulation::rules()) {
        for (const Compartment &compartment : project.compartments) {
            if (compartment.calculation.rule == rule) {
                used << rule;
                break;
            }
        }
    }
    return used;
}
