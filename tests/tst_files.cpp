// Files written whole or not at all, and the zip an ODT is made of. A write cut short by a
// file-size limit is tested beside the exports that meet it, in tst_project.
#include "core/wholefile.h"
#include "output/zipwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void placesThatCannotBeWritten();
    void zipReadBackByAnotherLibrary();
};

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
    QFile file(locked);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("vecchio"));
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
