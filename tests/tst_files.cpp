// Files written whole or not at all: a write cut short by a file-size limit (what a full disk does
// to the last bytes) leaves the old file as it was and says why.
#include "core/wholefile.h"
#include "output/zipwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
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
    void zipReadBackByAnotherLibrary();
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

// The ODT's zip, read back entry by entry by a library that shares no code with the writer: names,
// methods, bytes, CRC (checked as each entry is read whole) and the attributes an unzip gives its
// files. The first entry's data at offset 38, as an OpenDocument reader looks for the mimetype.
void TestFiles::zipReadBackByAnotherLibrary()
{
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "<text:p>" + QByteArray::number(i) + "</text:p>";
    using M = ZipWriter::Method;
    const QList<std::tuple<QString, QByteArray, M>> entries{
        {u"mimetype"_s, "application/vnd.oasis.opendocument.text", M::Stored},
        {u"content.xml"_s, text, M::Deflated},
        {u"vuoto.xml"_s, "", M::Deflated},
        {u"vuoto.png"_s, "", M::Stored},
        {u"Pictures/perché.png"_s, QByteArray("\x89PNG\0\xFF", 6), M::Stored}};
    ZipWriter writer;
    for (const auto &[name, bytes, method] : entries)
        QVERIFY(writer.add(name, bytes, method));
    QByteArray archive = writer.archive();
    QCOMPARE(archive.mid(30, 47), QByteArray("mimetypeapplication/vnd.oasis.opendocument.text"));
    QVERIFY(archive.size() < text.size() / 4);
    QBuffer buffer(&archive);
    QuaZip zip(&buffer);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    QCOMPARE(zip.getEntriesCount(), int(entries.size()));
    QVERIFY(zip.goToFirstFile());
    for (const auto &[name, bytes, method] : entries) {
        QuaZipFileInfo64 info;
        QVERIFY(zip.getCurrentFileInfo(&info));
        QCOMPARE(info.name, name);
        QCOMPARE(info.flags, quint16(name.contains(u'é') ? 0x0800 : 0)); // the name in UTF-8
        QCOMPARE(info.method, quint16(method == M::Stored ? 0 : 8));
        QCOMPARE(info.getPermissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        QVERIFY(qAbs(info.dateTime.secsTo(QDateTime::currentDateTime())) < 10);
        QuaZipFile file(&zip);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        file.close();
        QCOMPARE(file.getZipError(), UNZ_OK);
        zip.goToNextFile();
    }
    ZipWriter many; // past the 16-bit count of entries: refused, not written as ZIP64
    for (int i = 0; i < 0xFFFE; ++i)
        many.add(QString::number(i), QByteArray(), M::Stored);
    QVERIFY(!many.archive().isEmpty());
    QVERIFY(!many.add(u"uno di troppo"_s, QByteArray(), M::Stored));
    QVERIFY(many.archive().isEmpty());
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
