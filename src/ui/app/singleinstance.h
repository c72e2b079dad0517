#pragma once

#include <QLatin1String>
#include <QObject>
#include <QString>
#include <memory>

class QLockFile;

// One copy of Ardivo per user and data folder: two copies would share the working tables, and
// one would empty or store the other's entries. The first start holds a lock file in the data
// folder and watches a mailbox: a folder in the user's private runtime folder (mode 0700, where
// no other user can write), named after the data folder and its own process. A later start
// leaves its project file (if any) there as a request, waits until the copy that runs has taken
// it, and ends. A request is a whole file of this user holding one line; anything else found in
// the mailbox is thrown away unread.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &dataFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs on the data folder: this one now watches its mailbox for
    // later starts (see listenError()). A folder where no lock can be made (read-only) leaves the
    // copy unguarded, and true.
    bool claim();
    // Why a copy that claimed the folder cannot hear later starts, in Italian; empty when it
    // watches its mailbox.
    QString listenError() const { return m_listenError; }
    // Gives `file` (empty: none) to the copy that runs; true once that copy has taken it. The
    // copy may still be starting: it is waited for up to `timeoutMs`, and a request it has not
    // taken by then is taken back. Nothing is left outside the private folder.
    bool handOver(const QString &file, int timeoutMs = 5000);

    // The mailbox of the copy of process `pid` on a data folder: a folder in the user's private
    // runtime folder, or empty when there is no such folder.
    static QString mailbox(const QString &dataFolder, qint64 pid);
    // How the name of every request ends; other files in a mailbox (a request still being
    // written has another name) are not looked at.
    static constexpr QLatin1String kRequestEnding{".request"};
    // The longest request a start may leave: a path and its line end.
    static constexpr qint64 kLongestMessage = 4 * 4096 + 1;

signals:
    // A later start gave its project file: an absolute path, or empty when it had none.
    void fileHandedOver(const QString &file);

private:
    void takeRequests();

    QString m_folder;
    QString m_mailbox;
    QString m_listenError;
    std::unique_ptr<QLockFile> m_lock;
};
