#include "core/projectdocument.h"

#include <QFileInfo>

ProjectDocument::ProjectDocument(QObject *parent) : QObject(parent)
{
    m_project.identity.date = QDate::currentDate();
}

ProjectDocument &ProjectDocument::current()
{
    static ProjectDocument document;
    return document;
}

QString ProjectDocument::displayName() const
{
    return m_filePath.isEmpty() ? QStringLiteral("Senza nome") : QFileInfo(m_filePath).fileName();
}

void ProjectDocument::startNew()
{
    m_project = Project();
    m_project.identity.date = QDate::currentDate();
    m_filePath.clear();
    m_modified = false;
    emit changed();
}

void ProjectDocument::opened(const Project &project, const QString &filePath)
{
    m_project = project;
    m_filePath = filePath;
    m_modified = false;
    emit changed();
}

void ProjectDocument::saved(const QString &filePath)
{
    m_filePath = filePath;
    m_modified = false;
    emit changed();
}

void ProjectDocument::modify()
{
    m_modified = true;
    emit changed();
}

void ProjectDocument::setIdentity(const ProjectIdentity &identity)
{
    if (m_project.identity == identity)
        return;
    m_project.identity = identity;
    modify();
}

void ProjectDocument::storeCompartment(const Compartment &compartment)
{
    m_project.store(compartment);
    modify();
}

bool ProjectDocument::removeCompartment(const QString &name)
{
    if (!m_project.remove(name))
        return false;
    modify();
    return true;
}
