// Files written whole or not at all: a write cut short by a file-size limit (what a full disk does
// to the last bytes) leaves the old file as it was and says why.
#include "core/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// WholeFile::write while the process's files stop at `limit` bytes; the limit is lifted at once.
QString writeUnderLimit(const QString &path, const QByteArray &bytes, rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN); // as the program does: the write fails, nothing is killed
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return u"<getrlimit>"_s;
    const rlimit size{limit, saved.rlim_max};
    if (setrlimit(RLIMIT_FSIZE, &size) != 0)
        return u"<setrlimit>"_s;
    const QString reason = WholeFile::write(path, bytes);
    return setrlimit(RLIMIT_FSIZE, &saved) == 0 ? reason : u"<limit not lifted>"_s;
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
