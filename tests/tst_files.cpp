// Files written whole or not at all: a write cut short by a file-size limit (what a full disk does
// to the last bytes) leaves the old file as it was and says why. The limit is set in a child
// process, so that nothing else of the test runs under it.
#include "core/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// WholeFile::write in a child whose files stop at `limit` bytes; its reason comes back by pipe.
QString writeUnderLimit(const QString &path, const QByteArray &bytes, rlim_t limit)
{
    int ends[2];
    if (pipe(ends) != 0)
        return u"<pipe>"_s;
    const pid_t child = fork();
    if (child == 0) {
        ::close(ends[0]);
        std::signal(SIGXFSZ, SIG_IGN); // as the program does: the write fails, nothing is killed
        rlimit size{};
        getrlimit(RLIMIT_FSIZE, &size);
        size.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &size);
        const QByteArray reason = WholeFile::write(path, bytes).toUtf8();
        const bool told =
            ::write(ends[1], reason.constData(), size_t(reason.size())) == ssize_t(reason.size());
        ::_exit(told ? 0 : 1);
    }
    ::close(ends[1]);
    QByteArray reason;
    char chunk[256];
    for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) > 0;)
        reason.append(chunk, qsizetype(got));
    ::close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QString::fromUtf8(reason)
                                                         : u"<the child ended abnormally>"_s;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void writeBeyondTheLimitKeepsTheOldFile_data();
    void writeBeyondTheLimitKeepsTheOldFile();
    void placesThatCannotBeWritten();
};

void TestFiles::writeBeyondTheLimitKeepsTheOldFile_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("reason");
    const QString tooLarge = u"file troppo grande per il sistema"_s;
    // 4096 is the limit: the last bytes of a small file, the first of a large one.
    QTest::newRow("one byte beyond") << 4097 << tooLarge;
    QTest::newRow("beyond a write buffer") << 20000 << tooLarge;
    QTest::newRow("up to the limit") << 4096 << QString();
}

void TestFiles::writeBeyondTheLimitKeepsTheOldFile()
{
    QFETCH(int, size);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Ufficio.ardivo"_s);
    const QByteArray before = "{\"format\": \"ardivo-project\", \"version\": 2} di ieri";
    QVERIFY(WholeFile::write(path, before).isEmpty());
    const QByteArray bytes(size, 'x');
    QCOMPARE(writeUnderLimit(path, bytes, 4096), reason);
    QCOMPARE(bytesOf(path), reason.isEmpty() ? bytes : before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"Ufficio.ardivo"_s});
}

void TestFiles::placesThatCannotBeWritten()
{
    QTemporaryDir dir;
    QCOMPARE(WholeFile::write(dir.filePath(u"manca/Ufficio.csv"_s), "a"),
             u"la cartella non esiste"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"cartella.csv"_s));
    QCOMPARE(WholeFile::write(dir.filePath(u"cartella.csv"_s), "a"),
             u"al suo posto c'è una cartella"_s);
    if (geteuid() == 0)
        QSKIP("the superuser writes everywhere");
    const QString locked = dir.filePath(u"sola lettura.csv"_s);
    QVERIFY(WholeFile::write(locked, "vecchio").isEmpty());
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner));
    QCOMPARE(WholeFile::write(locked, "nuovo"), u"il file è in sola lettura"_s);
    QCOMPARE(bytesOf(locked), QByteArray("vecchio"));
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
