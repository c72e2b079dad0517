#include "core/calculationsession.h"

CalculationSession::CalculationSession(QObject *parent) : QObject(parent) {}

CalculationSession &CalculationSession::current()
{
    static CalculationSession session;
    return session;
}

void CalculationSession::update(Steps reached)
{
    m_steps |= reached;
    emit changed();
}

void CalculationSession::updateEntries(const Calculation &before)
{
    // Lists that share their data compare at once.
    if (before.materials != m_calculation.materials ||
        before.furnishings != m_calculation.furnishings)
        emit entriesChanged();
    emit changed();
}

void CalculationSession::clear()
{
    const Calculation before = m_calculation;
    m_calculation = Calculation();
    m_steps = {};
    m_compartmentName.clear();
    updateEntries(before);
}

void CalculationSession::startCalculation(Method method, Rule rule)
{
    Calculation fresh;
    fresh.rule = rule;
    fresh.method = method;
    fresh.materials = m_calculation.materials;
    fresh.furnishings = m_calculation.furnishings;
    m_calculation = fresh;
    m_steps = {};
    m_compartmentName.clear();
    emit changed();
    emit calculationStarted();
}

void CalculationSession::load(const Calculation &calculation, const QString &compartmentName)
{
    emit loadingCalculation(calculation);
    const Calculation before = m_calculation;
    m_calculation = calculation;
    m_steps = FireLoadPassed | AreaClassPassed | RiskClassPassed | MeasuresWorkedOut |
              DesignPassed | ClassesReported;
    m_compartmentName = compartmentName;
    updateEntries(before);
}

void CalculationSession::setCompartmentName(const QString &name)
{
    m_compartmentName = name;
    emit changed();
}

void CalculationSession::setArea(std::optional<double> area)
{
    if (m_calculation.area == area)
        return;
    m_calculation.area = area;
    update();
}

void CalculationSession::setNaturalFire(const std::optional<NaturalFireInputs> &inputs)
{
    if (m_calculation.naturalFire == inputs)
        return;
    m_calculation.naturalFire = inputs;
    update();
}

void CalculationSession::setActivity(const Activity &activity)
{
    if (m_calculation.activity == activity)
        return;
    m_calculation.activity = activity;
    update();
}

void CalculationSession::setMaterials(const QVector<MaterialEntry> &entries)
{
    const Calculation before = m_calculation;
    m_calculation.materials = entries;
    updateEntries(before);
}

void CalculationSession::setFurnishings(const QVector<FurnishingEntry> &entries)
{
    const Calculation before = m_calculation;
    m_calculation.furnishings = entries;
    updateEntries(before);
}

void CalculationSession::passFireLoad()
{
    const Method method = m_calculation.method;
    if (method != Method::None && m_calculation.area) {
        if (const auto index = regulation().areaClassFor(*m_calculation.area))
            m_calculation.areaClass = index;
    }
    update(FireLoadPassed);
}

void CalculationSession::chooseAreaClass(int index)
{
    if (index < 0 || index >= regulation().areaClasses.size())
        return;
    m_calculation.areaClass = index;
    update();
}

void CalculationSession::passAreaClass()
{
    update(AreaClassPassed);
}

void CalculationSession::chooseRiskClass(int index)
{
    if (index < 0 || index >= regulation().riskClasses.size())
        return;
    m_calculation.riskClass = index;
    update();
}

void CalculationSession::passRiskClass()
{
    update(RiskClassPassed);
}

bool CalculationSession::setMeasure(int index, bool present)
{
    if (index < 0 || index >= regulation().measures.size())
        return false;
    if (present && !measureAllowed(m_calculation, index))
        return false;
    if (present)
        m_calculation.measures.insert(index);
    else
        m_calculation.measures.remove(index);
    update(MeasuresWorkedOut);
    return true;
}

void CalculationSession::chooseInGroup(const Regulation::MeasureGroup &group,
                                       std::optional<int> measure)
{
    for (int i = group.first; i < group.first + group.count; ++i)
        m_calculation.measures.remove(i);
    if (measure && group.contains(*measure) && *measure < regulation().measures.size())
        m_calculation.measures.insert(*measure);
    update(MeasuresWorkedOut);
}

void CalculationSession::clearMeasures()
{
    m_calculation.measures.clear();
    update();
}

bool CalculationSession::passDesign()
{
    const auto qf = fireLoad(m_calculation);
    const auto dq1 = deltaQ1(m_calculation);
    const auto dq2 = deltaQ2(m_calculation);
    if (fireLoadTooLarge(m_calculation) ||
        !designFireLoad(qf.value_or(0), deltaN(m_calculation), dq1.value_or(0), dq2.value_or(0)))
        return false;
    update(MeasuresWorkedOut | DesignPassed);
    return true;
}

void CalculationSession::reportClasses()
{
    update(ClassesReported);
}

bool CalculationSession::setPerformanceLevel(int number)
{
    if (!regulation().level(number))
        return false;
    if (m_calculation.performanceLevel != number) {
        m_calculation.performanceLevel = number;
        update();
    }
    return true;
}

void CalculationSession::setLevelReason(const QString &reason)
{
    const QString kept = normalisedText(reason);
    if (m_calculation.levelReason == kept)
        return;
    m_calculation.levelReason = kept;
    update();
}

bool CalculationSession::setNotes(const QString &notes)
{
    const QString kept = normalisedText(notes);
    if (!notesRefusal(kept).isEmpty())
        return false;
    if (m_calculation.notes != kept) {
        m_calculation.notes = kept;
        update();
    }
    return true;
}
