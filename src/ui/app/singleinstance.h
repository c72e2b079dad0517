#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// One copy of Ardivo per user and data folder: two copies would share the working tables, and
// one would empty or store the other's entries. The first start holds a lock file in the data
// folder and listens on a local socket named after that folder; a later start hands its project
// file (if any) to the copy that runs, which opens it, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &dataFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs on the data folder: this one now listens for later starts.
    // A folder where no lock can be made (read-only) leaves the copy unguarded, and true.
    bool claim();
    // Gives `file` (empty: none) to the copy that runs; true once that copy has received it.
    // The copy may still be starting: it is waited for up to `timeoutMs`.
    bool handOver(const QString &file, int timeoutMs = 5000);

    // The name of the local socket of a data folder, the same for every copy of one user.
    static QString serverName(const QString &dataFolder);

signals:
    // A later start gave its project file: an absolute path, or empty when it had none.
    void fileHandedOver(const QString &file);

private:
    void acceptConnection();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
