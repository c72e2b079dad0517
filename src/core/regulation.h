#pragma once

#include <QString>
#include <QVector>
#include <optional>

// The tables of a fire-resistance regulation that a calculation applies: compartment-size classes
// (delta q1), risk classes (delta q2), protection measures (delta n1 ... delta nN) and the
// resistance-class bands of the performance level. Plain data: the calculation's functions
// receive it, so another regulation's tables can stand beside these ones.
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

    struct ResistanceClasses {
        int reference; // class for the performance level
        int minimum;   // minimum class for the performance level
        bool operator==(const ResistanceClasses &o) const
        {
            return reference == o.reference && minimum == o.minimum;
        }
    };

    struct ClassBand {
        double upTo; // MJ/m², included
        ResistanceClasses classes;
    };

    // Where each of the tables below stands in the regulation, as a report cites it.
    struct TableReferences {
        QString areaClasses; // "tabella 1"
        QString riskClasses;
        QString measures;
        QString classes;
    };

    QString name;             // "D.M. 9 marzo 2007"
    QString performanceLevel; // "III"
    QString title;            // the regulation's own title, under its name at the top of a report
    TableReferences tables;
    QVector<AreaClass> areaClasses;
    QVector<RiskClass> riskClasses;
    QVector<ProtectionMeasure> measures;
    QVector<ClassBand> classBands; // in increasing order
    ResistanceClasses beyondLastBand;

    // The class of a compartment of `area` m². Each class is closed at the bottom and open at the
    // top: 500 m² is already in the second class. A negative or non-finite area has no class.
    std::optional<int> areaClassFor(double area) const;

    // The classes for a design fire load. Bands are closed at the top: 100 gives the first,
    // 100,01 the second. The value is compared as a person reads it (15 significant digits),
    // never after rounding to the two decimals it is shown with.
    ResistanceClasses resistanceClassesFor(double designLoad) const;

    // D.M. 9 marzo 2007, performance level III.
    static const Regulation &decree2007();
};
