#include "output/reportpdf.h"

#include "output/reportlayout.h"

#include <QBuffer>
#include <QDateTime>
#include <QIODevice>
#include <QPdfWriter>
#include <QRegularExpression>

namespace ReportPdf {
namespace {

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

} // namespace

QByteArray bytes(const ReportDocument &document)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        ReportLayout::preparePdf(writer);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Ardivo"));
        writer.setDocumentXmpMetadata(xmpMetadata(document, QDateTime::currentDateTimeUtc()));
        if (!ReportLayout::render(document, writer))
            return {};
    }
    return withAuthorAndSubject(pdf, document);
}

bool write(const ReportDocument &document, QIODevice *device)
{
    const QByteArray pdf = bytes(document);
    return !pdf.isEmpty() && device->write(pdf) == pdf.size();
}

} // namespace ReportPdf
