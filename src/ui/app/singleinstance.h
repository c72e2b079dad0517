#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One copy of Ardivo per user and data folder: two copies would share the working tables, and
// one would empty or store the other's entries. The first start holds a lock file in the data
// folder and listens on a local socket named after that folder, in the user's private runtime
// folder (mode 0700, where no other user can connect or listen); a later start hands its project
// file (if any) to the copy that runs, which opens it, and ends. Where the system tells who is
// at the other end of a socket, both ends also check that it is the same user.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &dataFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs on the data folder: this one now listens for later starts
    // (see listenError()). A folder where no lock can be made (read-only) leaves the copy
    // unguarded, and true.
    bool claim();
    // Why a copy that claimed the folder cannot hear later starts, in Italian; empty when it
    // listens.
    QString listenError() const { return m_listenError; }
    // Gives `file` (empty: none) to the copy that runs; true once that copy has received it.
    // The copy may still be starting: it is waited for up to `timeoutMs`. Nothing is sent to a
    // socket outside the private folder or held by another user.
    bool handOver(const QString &file, int timeoutMs = 5000);

    // The local socket of a data folder, the same for every copy of one user: a path in the
    // user's private runtime folder, or empty when there is no such folder.
    static QString serverName(const QString &dataFolder);
    // The longest message a start may send: a path and its line end.
    static constexpr qint64 kLongestMessage = 4 * 4096 + 1;

signals:
    // A later start gave its project file: an absolute path, or empty when it had none.
    void fileHandedOver(const QString &file);

private:
    void acceptConnection();

    QString m_folder;
    QString m_listenError;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
