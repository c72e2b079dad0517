#include "ui/reports/reportprinter.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "core/wholefile.h"
#include "output/reportlayout.h"
#include "output/reportodt.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace ReportPrinter {
namespace {

QString documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder;
}

QSettings settings()
{
    return QSettings(QStringLiteral("Ardivo"), QStringLiteral("Ardivo"));
}

const QString kExportFolder = QStringLiteral("esportazione/cartella");

// Where an export is proposed: beside the project file, else where the last one went, else in
// the user's documents.
QString exportFolder()
{
    const QString project = ProjectDocument::current().filePath();
    if (!project.isEmpty() && QFileInfo(project).absoluteDir().exists())
        return QFileInfo(project).absolutePath();
    const QString last = settings().value(kExportFolder).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return documentsFolder();
}

QString suffix(Format format)
{
    return format == Format::Pdf ? QStringLiteral("pdf") : QStringLiteral("odt");
}

// The document is made whole in memory and written in one step: it takes the file's place only
// once every byte is on the disk, and a full disk or a folder that cannot be written is told.
QString writeSafely(const QString &path, const std::function<bool(QIODevice *)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(&buffer))
        return QStringLiteral("Impossibile comporre il documento");
    buffer.close();
    const QString reason = WholeFile::write(path, buffer.data());
    return reason.left(1).toUpper() + reason.mid(1);
}

// An XMP packet with the author and subject beside what QPdfWriter writes itself for PDF/A-1b.
QByteArray xmpMetadata(const ReportDocument &document, const QDateTime &created)
{
    const auto escaped = [](const QString &text) { return text.toHtmlEscaped().toUtf8(); };
    const QByteArray date = created.toString(Qt::ISODate).toUtf8();
    QByteArray xmp = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                     "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                     "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                     "<rdf:Description rdf:about=\"\" "
                     "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                     "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
                     escaped(document.title) + "</rdf:li></rdf:Alt></dc:title>\n";
    if (!document.author.isEmpty())
        xmp += "<dc:creator><rdf:Seq><rdf:li>" + escaped(document.author) +
               "</rdf:li></rdf:Seq></dc:creator>\n";
    if (!document.subject.isEmpty())
        xmp += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
               escaped(document.subject) + "</rdf:li></rdf:Alt></dc:description>\n";
    xmp += "</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
           "xmp:CreatorTool=\"Ardivo\" xmp:CreateDate=\"" +
           date + "\" xmp:ModifyDate=\"" + date +
           "\"/>\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
           "pdf:Producer=\"Qt " QT_VERSION_STR "\"/>\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" "
           "pdfaid:part=\"1\" pdfaid:conformance=\"B\"/>\n"
           "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>";
    return xmp;
}

// A text of the information dictionary: UTF-16 with its byte order mark, in hexadecimal.
QByteArray pdfText(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

// Adds the author and the subject to the information dictionary, as an update appended to the
// file (a reader takes the last one): the dictionary says what the XMP says. The bytes as they
// were when the file is not laid out as expected.
QByteArray withAuthorAndSubject(const QByteArray &pdf, const ReportDocument &document)
{
    if (document.author.isEmpty() && document.subject.isEmpty())
        return pdf;
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt)
        return pdf;
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    const QRegularExpression size(QStringLiteral("/Size (\\d+)"));
    const QRegularExpression info(QStringLiteral("/Info (\\d+) 0 R"));
    const QRegularExpression root(QStringLiteral("/Root (\\d+) 0 R"));
    const QRegularExpression id(QStringLiteral("/ID\\s*(\\[[^\\]]*\\])"));
    const QString text = QString::fromLatin1(trailer);
    const auto sizeMatch = size.match(text), infoMatch = info.match(text),
               rootMatch = root.match(text), idMatch = id.match(text);
    const QRegularExpressionMatch previous =
        QRegularExpression(QStringLiteral("startxref\\s+(\\d+)"))
            .match(QString::fromLatin1(pdf.mid(startAt)));
    if (!sizeMatch.hasMatch() || !infoMatch.hasMatch() || !rootMatch.hasMatch() ||
        !previous.hasMatch())
        return pdf;
    // The dictionary written first, without its closing brackets.
    const QByteArray infoObject = infoMatch.captured(1).toLatin1() + " 0 obj";
    const qsizetype objectAt = pdf.indexOf("\n" + infoObject);
    const qsizetype open = pdf.indexOf("<<", objectAt);
    const qsizetype close = pdf.indexOf(">>", open);
    if (objectAt < 0 || open < 0 || close < 0)
        return pdf;
    QByteArray entries = pdf.mid(open + 2, close - open - 2);
    if (!document.author.isEmpty())
        entries += "\n/Author " + pdfText(document.author);
    if (!document.subject.isEmpty())
        entries += "\n/Subject " + pdfText(document.subject);
    const QByteArray number = sizeMatch.captured(1).toLatin1();
    QByteArray update = pdf;
    if (!update.endsWith('\n'))
        update += '\n';
    const qsizetype objectOffset = update.size();
    update += number + " 0 obj\n<<" + entries + "\n>>\nendobj\n";
    const qsizetype xrefOffset = update.size();
    update += "xref\n" + number + " 1\n" +
              QByteArray::number(objectOffset).rightJustified(10, '0') + " 00000 n \n";
    update += "trailer\n<< /Size " + QByteArray::number(number.toLongLong() + 1) + " /Root " +
              rootMatch.captured(1).toLatin1() + " 0 R /Info " + number + " 0 R /Prev " +
              previous.captured(1).toLatin1();
    if (idMatch.hasMatch())
        update += " /ID " + idMatch.captured(1).toLatin1();
    update += " >>\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n";
    return update;
}

bool writePdf(const ReportDocument &document, QIODevice *device)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        ReportLayout::preparePdf(pdf);
        pdf.setTitle(document.title);
        pdf.setCreator(QStringLiteral("Ardivo"));
        pdf.setDocumentXmpMetadata(xmpMetadata(document, QDateTime::currentDateTimeUtc()));
        if (!ReportLayout::render(document, pdf))
            return false;
    }
    bytes = withAuthorAndSubject(bytes, document);
    return device->write(bytes) == bytes.size();
}

} // namespace

ReportDocument sessionDocument(const CalculationSession &session, Method method)
{
    Calculation calculation = session.calculation();
    // A page prints the report of its own method, whatever the walk has reached.
    if (method != Method::None)
        calculation.method = method;
    return ReportDocuments::compartment(calculation, session.regulation(),
                                        &ProjectDocument::current().project().identity,
                                        session.compartmentName());
}

ReportDocument summaryDocument()
{
    return ReportDocuments::summary(ProjectDocument::current().project());
}

ReportDocument projectDocument()
{
    return ReportDocuments::project(ProjectDocument::current().project());
}

QString fallbackPdfPath()
{
    const QString folder = documentsFolder();
    QDir().mkpath(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(QStringLiteral("Ardivo-relazione-%1.pdf").arg(stamp));
}

QString exportPdf(const ReportDocument &document, const QString &path)
{
    return writeSafely(path, [&](QIODevice *device) { return writePdf(document, device); });
}

QString exportOdt(const ReportDocument &document, const QString &path)
{
    return writeSafely(path, [&](QIODevice *device) { return ReportOdt::write(document, device); });
}

void exportWithDialog(Format format, const QString &name,
                      const std::function<ReportDocument()> &document)
{
    const QString filter = format == Format::Pdf ? QStringLiteral("Documenti PDF (*.pdf)")
                                                 : QStringLiteral("Documenti OpenDocument (*.odt)");
    QString path =
        UserPrompt::current().saveFileName(kAppTitle, proposedPath(name, format), filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1Char('.') + suffix(format), Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix(format);
    const ReportDocument report = document();
    const QString error = format == Format::Pdf ? exportPdf(report, path) : exportOdt(report, path);
    if (error.isEmpty())
        settings().setValue(kExportFolder, QFileInfo(path).absolutePath());
    else
        UserPrompt::current().message(QStringLiteral("Impossibile esportare il %1\n%2\n%3.")
                                          .arg(format == Format::Pdf
                                                   ? QStringLiteral("PDF")
                                                   : QStringLiteral("documento ODT"),
                                               QDir::toNativeSeparators(path), error),
                                      kAppTitle, UserPrompt::Icon::Warning);
}

QString proposedPath(const QString &name, Format format)
{
    QString base = name.trimmed().isEmpty()
                       ? QStringLiteral("Ardivo - ") + QDate::currentDate().toString(Qt::ISODate)
                       : name.trimmed();
    base.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    return QDir(exportFolder()).filePath(base + QLatin1Char('.') + suffix(format));
}

QString exportName(const QString &project, const QString &part)
{
    if (project.trimmed().isEmpty())
        return part.trimmed();
    return part.trimmed().isEmpty()
               ? project.trimmed()
               : QStringLiteral("%1 - %2").arg(project.trimmed(), part.trimmed());
}

void print(const ReportDocument &document)
{
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(document.title);
        if (ReportLayout::render(document, printer))
            return;
    }
    const QString path = fallbackPdfPath();
    if (exportPdf(document, path).isEmpty())
        showMessage(QStringLiteral("Nessuna stampante predefinita: la relazione è stata salvata "
                                   "nel file\n%1")
                        .arg(QDir::toNativeSeparators(path)));
    else
        showMessage(QStringLiteral("Impossibile stampare la relazione."));
}

} // namespace ReportPrinter
