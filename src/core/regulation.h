#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

// A rule a calculation can apply, named by the key its data file and the project files give it.
// The two rules the program ships are named here for the places that start from one of them; any
// other is whatever the rule files define.
class Rule
{
public:
    Rule() = default; // no rule: the registry has none under an empty key
    explicit Rule(const QString &key) : m_key(key) {}
    const QString &key() const { return m_key; }
    bool operator==(const Rule &o) const { return m_key == o.m_key; }
    bool operator!=(const Rule &o) const { return m_key != o.m_key; }

    static const Rule Decree2007; // "dm2007": D.M. 9 marzo 2007
    static const Rule FireCode;   // "codice-s2": Codice di prevenzione incendi, chapter S.2

private:
    QString m_key;
};

// The tables of a fire-resistance regulation that a calculation applies: compartment-size classes
// (delta q1), risk classes (delta q2), protection measures (delta n1 ... delta nN) and the
// resistance-class bands of the performance level, with the names and table references that the
// screens and the reports cite. Plain data: the calculation's functions receive it, so the two
// rules' tables stand side by side.
struct Regulation {
    struct AreaClass {
        double from;        // m²; the class holds areas from here (included) to the next class
        QString screenText; // beside the option on the compartment-size screen
        QString reportText; // on the report pages
        double deltaQ1;
    };

    struct RiskClass {
        QString name;
        QString description;
        double deltaQ2;
    };

    struct ProtectionMeasure {
        QString description;
        double deltaN;     // while the measure is present; 1 otherwise
        int excludes = -1; // index of the measure that cannot be present with this one
    };

    // Consecutive measures that are one choice: at most one of them is present (the fire-control
    // systems of the Code), or each present or not on its own.
    struct MeasureGroup {
        int first;
        int count;
        bool exclusive;
        QString caption;
        bool contains(int measure) const { return measure >= first && measure < first + count; }
    };

    struct ResistanceClasses {
        int reference;        // class for the performance level
        int minimum;          // minimum class for the performance level
        bool required = true; // false: the rule asks for no class at all
        bool operator==(const ResistanceClasses &o) const
        {
            return reference == o.reference && minimum == o.minimum && required == o.required;
        }
    };

    // Where a table stands in the rule's text; empty where the program cites none.
    struct TableReferences {
        QString areaClasses; // "tabella S.2-6"
        QString riskClasses;
        QString measures;
        QString classes;
    };

    struct ClassBand {
        double upTo; // MJ/m², included
        ResistanceClasses classes;
    };

    // A performance level the designer attributes to a compartment, with what it asks of the
    // structure. The class of the bands above is the one of the proposed level; a level may cap
    // it, or ask for none at all.
    struct PerformanceLevel {
        int number;                // 1 ... 5
        QString name;              // "II"
        QString meaning;           // as the rule's table of the levels states it
        QString requirement;       // what the level asks of the structure
        QString obligation;        // what the designer must ensure besides; empty where nothing
        int classCap = 0;          // the class is at most this; 0: as the bands give it
        bool classRequired = true; // false: the level asks for no class
        QString noClass;           // the class text where the level asks for none
    };

    Rule rule;
    QString key;              // in project files: "dm2007", "codice-s2"
    QString name;             // "D.M. 9 marzo 2007"
    QString shortName;        // in tables: "D.M. 2007"
    QString heading;          // under the title of a report
    QString performanceLevel; // "III"
    TableReferences tables;
    QVector<AreaClass> areaClasses;
    QVector<RiskClass> riskClasses;
    QVector<ProtectionMeasure> measures;
    QVector<MeasureGroup> measureGroups; // empty: every measure present or not on its own
    QVector<ClassBand> classBands;       // in increasing order
    ResistanceClasses beyondLastBand;
    bool hasMinimumClass = true;
    QString noRequirement; // the class text where the rule asks for none
    // What the class the rule's table gives is called: the decree's reference class, the
    // Code's minimum fire-resistance class.
    QString classCaption;

    // The performance levels the designer chooses among, in order; empty where the rule fixes
    // the level (performanceLevel). A level other than the proposed one needs the designer's
    // reasons.
    QVector<PerformanceLevel> performanceLevels = {};
    int proposedLevel = 3;
    QString levelsTable = {};         // "tabella S.2-1": the levels and their meaning
    QString attributionTable = {};    // "tabella S.2-2": how the designer attributes a level
    QString headingWithoutLevel = {}; // the heading up to the level it names

    // The level numbered `number` (1 for I), if the rule has it.
    const PerformanceLevel *level(int number) const;
    // The level stored under `name` ("II") in a project file, if the rule has it.
    std::optional<int> levelNumber(const QString &wanted) const;
    // The name of the level numbered `number`: the rule's fixed level where it has no choice.
    QString levelName(int number) const;
    // The heading naming the one level given ("..., cap. S.2, livello II"); without a
    // level for several; the rule's own heading where it has no levels to choose or none is
    // given.
    QString headingFor(const QStringList &levelNames) const;

    // A table's citation with the rule's short name, "Codice S.2, tabella S.2-6"; empty where the
    // table has no reference.
    QString citation(const QString &table) const;
    // The exclusive group `measure` belongs to, if any.
    const MeasureGroup *exclusiveGroupOf(int measure) const;

    // The class of a compartment of `area` m². Each class is closed at the bottom and open at the
    // top: 500 m² is already in the second class. A negative or non-finite area has no class.
    std::optional<int> areaClassFor(double area) const;

    // The classes for a design fire load. Bands are closed at the top: 100 gives the first,
    // 100,01 the second. The value is compared as a person reads it (15 significant digits),
    // never after rounding to the two decimals it is shown with.
    ResistanceClasses resistanceClassesFor(double designLoad) const;

    // The rule registered under the calculation's key; an empty regulation, which computes
    // nothing, for a rule the registry does not hold (never another rule's tables).
    static const Regulation &forRule(const Rule &rule);
    // D.M. 9 marzo 2007, performance level III; the Codice di prevenzione incendi (D.M. 3 agosto
    // 2015 e s.m.i.), chapter S.2, with its performance levels I to V (III proposed).
    static const Regulation &decree2007() { return forRule(Rule::Decree2007); }
    static const Regulation &fireCode() { return forRule(Rule::FireCode); }
    // Every rule, in the order the chooser offers them.
    static QVector<Rule> rules();
    // The rule stored under `key` in a project file, if the registry holds it.
    static std::optional<Rule> ruleForKey(const QString &key);
};

// The rules the program applies, read from their data files: a folder holds "regole.json", the
// list of its rule files in the order the chooser offers them, and one file for each rule. The
// program's own folder is the resource ":/reference/regole", read on the first use; a rule file
// that is missing, not JSON, or whose tables cannot stand leaves its rule out and is told by
// problems(), which the start-up shows before any calculation.
class RuleRegistry
{
public:
    static RuleRegistry &instance();

    // The registered rules, in the chooser's order.
    const std::vector<std::unique_ptr<const Regulation>> &regulations() const
    {
        return m_regulations;
    }
    const Regulation *find(const Rule &rule) const;
    // Why some rule files could not be read, one Italian message for all; empty when all are
    // sound.
    QString problems() const { return m_problems.join(QStringLiteral("\n\n")); }

    // Reads a further folder of rule files after the program's own, and adds its rules after
    // theirs; gives why some could not be read, or an empty text.
    QString addFolder(const QString &folder);
    // Forgets the rules added by addFolder() (tests only: a Regulation of theirs still referred
    // to is gone).
    void removeAdded();

    // One rule file's text read and checked: the regulation, or why it cannot stand, naming
    // `fileName`.
    static std::optional<Regulation> parse(const QByteArray &json, const QString &fileName,
                                           QString *problem);

    static const QString &builtInFolder();

private:
    RuleRegistry();
    QStringList readFolder(const QString &folder);

    std::vector<std::unique_ptr<const Regulation>> m_regulations;
    size_t m_builtIn = 0; // how many of them come from the program's own folder
    QStringList m_problems;
};
