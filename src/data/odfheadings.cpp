#include "data/odfheadings.h"

#include "data/odfpackage.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace OdfHeadings {
namespace {

const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kFoNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kManifestNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
constexpr int kDeepest = 10; // the outline levels ODF knows

bool is(const QXmlStreamReader &reader, const QString &ns, QStringView name)
{
    return reader.namespaceUri() == ns && reader.name() == name;
}

QStringView attribute(const QXmlStreamReader &reader, const QString &ns, const char *name)
{
    return reader.attributes().value(ns, QLatin1String(name));
}

// Copies the start tag the reader stands on.
void copyStart(QXmlStreamWriter &writer, const QXmlStreamReader &reader)
{
    // Declared before the element is started, a prefix is the element's own; declared after, the
    // writer would have made up a prefix of its own for the element's name.
    for (const QXmlStreamNamespaceDeclaration &declaration : reader.namespaceDeclarations())
        writer.writeNamespace(declaration.namespaceUri().toString(),
                              declaration.prefix().toString());
    writer.writeStartElement(reader.namespaceUri().toString(), reader.name().toString());
    writer.writeAttributes(reader.attributes());
}

// Copies `xml` token by token; `edit` may write a token itself and return true, or leave it to
// the copy. None when `xml` is not well-formed.
template <class Edit> std::optional<QByteArray> rewrite(const QByteArray &xml, Edit edit)
{
    QXmlStreamReader reader(xml);
    QByteArray out;
    out.reserve(xml.size() + xml.size() / 8);
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::Invalid)
            break;
        if (edit(reader, writer))
            continue;
        if (reader.isStartElement())
            copyStart(writer, reader);
        else
            writer.writeCurrentToken(reader);
    }
    if (reader.hasError() || writer.hasError())
        return std::nullopt;
    return out;
}

void writeStyle(QXmlStreamWriter &writer, const QString &name, const QString &displayName,
                const QString &parent, int level, const QString &fontSize)
{
    writer.writeStartElement(kStyleNs, QStringLiteral("style"));
    writer.writeAttribute(kStyleNs, QStringLiteral("name"), name);
    if (!displayName.isEmpty())
        writer.writeAttribute(kStyleNs, QStringLiteral("display-name"), displayName);
    writer.writeAttribute(kStyleNs, QStringLiteral("family"), QStringLiteral("paragraph"));
    if (!parent.isEmpty())
        writer.writeAttribute(kStyleNs, QStringLiteral("parent-style-name"), parent);
    if (level > 0)
        writer.writeAttribute(kStyleNs, QStringLiteral("default-outline-level"),
                              QString::number(level));
    writer.writeAttribute(kStyleNs, QStringLiteral("class"), QStringLiteral("text"));
    if (level == 0) {
        writer.writeEmptyElement(kStyleNs, QStringLiteral("paragraph-properties"));
        writer.writeAttribute(kFoNs, QStringLiteral("margin-top"), QStringLiteral("12pt"));
        writer.writeAttribute(kFoNs, QStringLiteral("margin-bottom"), QStringLiteral("6pt"));
        writer.writeAttribute(kFoNs, QStringLiteral("keep-with-next"), QStringLiteral("always"));
    }
    writer.writeEmptyElement(kStyleNs, QStringLiteral("text-properties"));
    writer.writeAttribute(kFoNs, QStringLiteral("font-size"), fontSize);
    writer.writeAttribute(kFoNs, QStringLiteral("font-weight"), QStringLiteral("bold"));
    writer.writeEndElement(); // style
}

// "Heading", the common parent, then "Heading 1" to "Heading `deepest`", and an outline with no
// numbers, as a word processor writes them.
void writeHeadingStyles(QXmlStreamWriter &writer, int deepest)
{
    const QString heading = QStringLiteral("Heading");
    writeStyle(writer, heading, QString(), QString(), 0, QStringLiteral("14pt"));
    const QStringList sizes{QStringLiteral("130%"), QStringLiteral("115%"), QStringLiteral("101%")};
    for (int level = 1; level <= deepest; ++level)
        writeStyle(writer, QStringLiteral("Heading_20_%1").arg(level),
                   QStringLiteral("Heading %1").arg(level), heading, level,
                   sizes.value(level - 1, QStringLiteral("100%")));
    writer.writeStartElement(kTextNs, QStringLiteral("outline-style"));
    writer.writeAttribute(kStyleNs, QStringLiteral("name"), QStringLiteral("Outline"));
    for (int level = 1; level <= kDeepest; ++level) {
        writer.writeEmptyElement(kTextNs, QStringLiteral("outline-level-style"));
        writer.writeAttribute(kTextNs, QStringLiteral("level"), QString::number(level));
        writer.writeAttribute(kStyleNs, QStringLiteral("num-format"), QString());
    }
    writer.writeEndElement(); // outline-style
}

} // namespace

std::optional<QByteArray> content(const QByteArray &content, const Levels &levels)
{
    // A report's content runs to megabytes, of which a few tags change: the reader finds them,
    // and the text between them is kept as it was written, which takes half the time of writing
    // every token again. The reader counts its offsets in characters, hence the string.
    const QString in = QString::fromUtf8(content);
    const QStringView text(in);
    QXmlStreamReader reader(in);
    QString out;
    out.reserve(in.size() + in.size() / 64);
    qint64 kept = 0; // `in` up to here is in `out`
    const auto replace = [&](qint64 from, qint64 to, const QString &with) {
        out += text.mid(kept, from - kept);
        out += with;
        kept = to;
    };
    QVector<int> openHeadings; // the depths of the headings open
    int depth = 0;
    // The tag the reader has just read: it stands after its ">", and no "<" stands inside a tag.
    const auto tagStart = [&] { return text.lastIndexOf(u'<', reader.characterOffset() - 1); };
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid) {
        if (reader.isEndElement()) {
            if (!openHeadings.isEmpty() && openHeadings.last() == depth) {
                openHeadings.pop_back();
                const qint64 start = tagStart();
                const QString prefix = reader.prefix().toString();
                if (!text.mid(start).startsWith(QStringLiteral("</%1:p").arg(prefix)))
                    return std::nullopt;
                replace(start, reader.characterOffset(), QStringLiteral("</%1:h>").arg(prefix));
            }
            --depth;
            continue;
        }
        if (!reader.isStartElement())
            continue;
        ++depth;
        int level = 0;
        QString name, added, value;
        if (is(reader, kTextNs, u"p")) {
            level = levels.value(attribute(reader, kTextNs, "style-name").toString());
            name = QStringLiteral("h");
            added = QStringLiteral("outline-level");
            value = QString::number(level);
        } else if (is(reader, kStyleNs, u"style") &&
                   attribute(reader, kStyleNs, "family") == u"paragraph" &&
                   !reader.attributes().hasAttribute(kStyleNs, "parent-style-name")) {
            level = levels.value(attribute(reader, kStyleNs, "name").toString());
            name = QStringLiteral("style");
            added = QStringLiteral("parent-style-name");
            value = QStringLiteral("Heading_20_%1").arg(level);
        }
        if (level <= 0)
            continue;
        // The tag as written: "<", its name, its attributes, then ">" or "/>". Anything else, or
        // a name with no prefix for the new attribute, is not the writer's.
        const qint64 start = tagStart();
        const QStringView tag = text.mid(start, reader.characterOffset() - start);
        const QStringView written = reader.qualifiedName();
        const QString prefix = reader.prefix().toString();
        const bool empty = tag.endsWith(u"/>");
        if (prefix.isEmpty() || !tag.endsWith(u'>') || tag.mid(1, written.size()) != written)
            return std::nullopt;
        const qsizetype attributesEnd = tag.size() - (empty ? 2 : 1);
        replace(start, reader.characterOffset(),
                QStringLiteral("<%1:%2").arg(prefix, name) +
                    tag.mid(1 + written.size(), attributesEnd - 1 - written.size()).toString() +
                    QStringLiteral(" %1:%2=\"%3\"").arg(prefix, added, value) +
                    tag.mid(attributesEnd).toString());
        if (!empty && name == QLatin1String("h"))
            openHeadings.push_back(depth);
    }
    if (reader.hasError())
        return std::nullopt;
    out += text.mid(kept);
    return out.toUtf8();
}

std::optional<QByteArray> styles(const QByteArray &styles, int deepest)
{
    QByteArray base = styles;
    if (base.isEmpty()) {
        QXmlStreamWriter writer(&base);
        writer.writeStartDocument();
        writer.writeNamespace(kOfficeNs, QStringLiteral("office"));
        writer.writeNamespace(kStyleNs, QStringLiteral("style"));
        writer.writeNamespace(kTextNs, QStringLiteral("text"));
        writer.writeNamespace(kFoNs, QStringLiteral("fo"));
        writer.writeStartElement(kOfficeNs, QStringLiteral("document-styles"));
        writer.writeAttribute(kOfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));
        writer.writeEndDocument();
    }
    deepest = std::clamp(deepest, 1, kDeepest);
    // The common styles go at the end of office:styles; a document with none gets one before
    // its automatic and page styles, where ODF has it.
    bool written = false;
    int depth = 0;
    return rewrite(base, [&](const QXmlStreamReader &reader, QXmlStreamWriter &writer) {
        if (reader.isStartElement())
            ++depth;
        const bool endOfStyles = reader.isEndElement() && is(reader, kOfficeNs, u"styles");
        const bool later =
            reader.isStartElement() && depth == 2 &&
            (is(reader, kOfficeNs, u"automatic-styles") || is(reader, kOfficeNs, u"master-styles"));
        const bool endOfDocument = reader.isEndElement() && depth == 1;
        if (reader.isEndElement())
            --depth;
        if (written || !(endOfStyles || later || endOfDocument))
            return false;
        written = true;
        if (!endOfStyles)
            writer.writeStartElement(kOfficeNs, QStringLiteral("styles"));
        writeHeadingStyles(writer, deepest);
        writer.writeEndElement(); // office:styles
        if (later)
            copyStart(writer, reader);
        else if (endOfDocument)
            writer.writeEndElement();
        return true;
    });
}

std::optional<QByteArray> manifest(const QByteArray &manifest, const QString &path,
                                   const QString &mediaType)
{
    bool listed = false;
    return rewrite(manifest, [&](const QXmlStreamReader &reader, QXmlStreamWriter &writer) {
        if (reader.isStartElement() && is(reader, kManifestNs, u"file-entry") &&
            attribute(reader, kManifestNs, "full-path") == path)
            listed = true;
        if (listed || !reader.isEndElement() || !is(reader, kManifestNs, u"manifest"))
            return false;
        writer.writeEmptyElement(kManifestNs, QStringLiteral("file-entry"));
        writer.writeAttribute(kManifestNs, QStringLiteral("media-type"), mediaType);
        writer.writeAttribute(kManifestNs, QStringLiteral("full-path"), path);
        writer.writeEndElement();
        return true;
    });
}

bool apply(OdfPackage &package, const Levels &levels)
{
    if (levels.isEmpty())
        return true;
    const QString stylesPath = QStringLiteral("styles.xml");
    const QString manifestPath = QStringLiteral("META-INF/manifest.xml");
    const auto newContent = content(package.entry(QStringLiteral("content.xml")), levels);
    const auto newStyles =
        styles(package.entry(stylesPath), *std::max_element(levels.cbegin(), levels.cend()));
    const auto newManifest =
        manifest(package.entry(manifestPath), stylesPath, QStringLiteral("text/xml"));
    if (!newContent || !newStyles || !newManifest)
        return false;
    package.setEntry(QStringLiteral("content.xml"), *newContent);
    package.setEntry(stylesPath, *newStyles);
    package.setEntry(manifestPath, *newManifest);
    return true;
}

} // namespace OdfHeadings
