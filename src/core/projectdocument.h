#pragma once

#include "core/project.h"

#include <QObject>

// The open project: the job's identity and its compartments, the file it was read from or saved
// to, and whether it has changes that the file does not have yet.
class ProjectDocument : public QObject
{
    Q_OBJECT
public:
    explicit ProjectDocument(QObject *parent = nullptr);

    // The project of the program's windows.
    static ProjectDocument &current();

    const Project &project() const { return m_project; }
    QString filePath() const { return m_filePath; }
    bool isModified() const { return m_modified; }
    // The name shown for the file: its name, or "Senza nome" before the first save.
    QString displayName() const;

    // A new project, with no file and today's date.
    void startNew();
    // The project as read from `filePath`, with no changes.
    void opened(const Project &project, const QString &filePath);
    // The project was written to `filePath`: no changes are left.
    void saved(const QString &filePath);

    void setIdentity(const ProjectIdentity &identity);
    void storeCompartment(const Compartment &compartment);
    bool removeCompartment(const QString &name);

signals:
    void changed();

private:
    void modify();

    Project m_project;
    QString m_filePath;
    bool m_modified = false;
};
