#pragma once

#include "core/calculation.h"

#include <QObject>

// The calculation under way: the one model that the calculation screens change through the
// operations below and that every screen, report page and list shows. It also keeps how far the
// walk has carried the calculation forward, since a screen shows a value only once the user has
// confirmed it on the screen before (q_f appears on the factor screens after its Avanti).
class CalculationSession : public QObject
{
    Q_OBJECT
public:
    // The steps of the walk that make values appear further on.
    enum Step {
        FireLoadPassed = 0x01,    // Avanti on the q_f screen
        AreaClassPassed = 0x02,   // Avanti on the compartment-size screen
        RiskClassPassed = 0x04,   // Avanti on the risk-class screen
        MeasuresWorkedOut = 0x08, // delta n shown: a measure was ticked or unticked
        DesignPassed = 0x10,      // Avanti on the protection screen: q_f,d and its classes
        ClassesReported = 0x20,   // the classes copied to the report pages
    };
    Q_DECLARE_FLAGS(Steps, Step)

    explicit CalculationSession(QObject *parent = nullptr);

    // The session of the program's screens.
    static CalculationSession &current();

    const Calculation &calculation() const { return m_calculation; }
    // The tables of the rule the calculation applies.
    const Regulation &regulation() const { return regulationOf(m_calculation); }
    bool reached(Step step) const { return m_steps.testFlag(step); }
    Steps steps() const { return m_steps; }

    // No calculation, as at the start of the program.
    void clear();
    // A new calculation by `method` under `rule`: its inputs and choices are cleared; the entries
    // stay (the entry store empties them where a method starts afresh).
    void startCalculation(Method method, Rule rule = Rule::Decree2007);
    // A whole calculation, as if every step had been walked (a compartment reopened, under
    // its name): one change.
    void load(const Calculation &calculation, const QString &compartmentName = QString());
    // The compartment of a project the calculation was opened from or saved as; empty for a
    // calculation outside any project. A new calculation belongs to none.
    QString compartmentName() const { return m_compartmentName; }
    void setCompartmentName(const QString &name);

    void setArea(std::optional<double> area);
    void setActivity(const Activity &activity);
    // The enclosure of the natural fire; nothing when the designer has not described it.
    void setNaturalFire(const std::optional<NaturalFireInputs> &inputs);
    // The entries, as the entry store has written them to their mirrors: the store is the one
    // caller in the program.
    void setMaterials(const QVector<MaterialEntry> &entries);
    void setFurnishings(const QVector<FurnishingEntry> &entries);
    // Forward from the q_f screen: a calculation whose area is known takes the area class it
    // falls in (the activity's area is optional; without it the class is chosen by hand).
    void passFireLoad();

    void chooseAreaClass(int index);
    void passAreaClass();
    void chooseRiskClass(int index);
    void passRiskClass();
    // A measure ticked or unticked. A measure that another present one excludes is refused.
    bool setMeasure(int index, bool present);
    // The one measure of an exclusive group that is present, or none of them.
    void chooseInGroup(const Regulation::MeasureGroup &group, std::optional<int> measure);
    // All measures absent: every protection factor is 1.
    void clearMeasures();
    // Forward from the protection screen: false when q_f or q_f,d is too large to be a result.
    bool passDesign();
    void reportClasses();
    // The performance level the designer attributes (3 for III) and the reasons, under a rule
    // whose levels are chosen; a level the rule does not have is refused.
    bool setPerformanceLevel(int number);
    void setLevelReason(const QString &reason);
    // The designer's notes, normalised as the reasons are; notes that notesRefusal() refuses
    // are not taken (false).
    bool setNotes(const QString &notes);

signals:
    void changed();
    // The entries of either method changed (added, edited, deleted, or a new calculation):
    // emitted before changed().
    void entriesChanged();
    // A new calculation started (startCalculation): the screens of its inputs empty themselves.
    // Emitted after changed().
    void calculationStarted();
    // A whole calculation is about to be loaded (load): the screens of its inputs show them,
    // without giving them to the session, which takes `calculation` right after.
    void loadingCalculation(const Calculation &calculation);

private:
    void update(Steps reached = {});
    // changed(), after entriesChanged() when `before` holds other entries than the calculation.
    void updateEntries(const Calculation &before);

    Calculation m_calculation;
    Steps m_steps;
    QString m_compartmentName;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CalculationSession::Steps)
