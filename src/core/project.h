#pragma once

#include "core/calculation.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

// A job: one building with its client and site, and the calculations of its fire compartments.

struct ProjectIdentity {
    QString name;       // "Progetto"
    QString client;     // "Committente"
    QString site;       // "Ubicazione"
    QString activity;   // "Attività"
    QString technician; // "Tecnico"
    QDate date;         // "Data"
    QString revision;   // "Revisione", e.g. "REV 01 del 12/01/2027"
    bool operator==(const ProjectIdentity &o) const;
};

struct Compartment {
    QString name;
    Calculation calculation;
    bool operator==(const Compartment &o) const
    {
        return name == o.name && calculation == o.calculation;
    }
};

struct Project {
    ProjectIdentity identity;
    QVector<Compartment> compartments; // in the order they were first saved
    bool operator==(const Project &o) const
    {
        return identity == o.identity && compartments == o.compartments;
    }

    // The index of the compartment named `name` (letter case as typed), if any.
    std::optional<int> indexOf(const QString &name) const;
    // Stores a compartment: a new name is added at the end, an existing one keeps its place.
    void store(const Compartment &compartment);
    bool remove(const QString &name);
};

// The texts of one compartment's row in the project's table and in the summary, in column order:
// name, method, area, q_f, δq1, δq2, δn, q_f,d, class (the one its performance level requires),
// minimum class, performance level, rule; each under the rule the compartment applies.
QStringList compartmentRow(const Compartment &compartment);
// The rules a project's compartments apply, each once, in the chooser's order.
QVector<Rule> rulesUsed(const Project &project);
QStringList compartmentColumns();
QString methodName(Method method);
