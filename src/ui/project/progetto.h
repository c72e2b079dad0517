#pragma once

#include "ui/kit/screens.h"

#include <QAbstractTableModel>
#include <optional>

class QDateEdit;
class QLineEdit;
class QTableView;

// The compartments of the open project, one row each, with the texts the report pages show.
class CompartmentTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CompartmentTableModel(QObject *parent);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void reload();
    QList<QStringList> m_rows;
};

// "Progetto": the job's identity and its compartments, and the project file. It opens beside the
// current screen, which stays usable; closing it closes only it, and the project stays open.
class Progetto : public SecondaryWindow, public ProjectCommandsUser
{
    Q_OBJECT
public:
    Progetto();

private:
    void showProject();
    void identityEdited();
    // The compartment of the selected row, if any; otherwise the user is told.
    std::optional<QString> selectedCompartment();
    void cmdApriCompartimento_Click();
    void cmdEliminaCompartimento_Click();

    QLineEdit *m_name;
    QLineEdit *m_client;
    QLineEdit *m_site;
    QLineEdit *m_activity;
    QLineEdit *m_technician;
    QDateEdit *m_date;
    QLineEdit *m_revision;
    QTableView *m_table;
};
