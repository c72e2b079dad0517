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

// Copies the element the reader stands on as `name`, without the attribute `dropped`, and with
// `added` (when it has a name) after the others.
void copyStart(QXmlStreamWriter &writer, const QXmlStreamReader &reader, const QString &name,
               const QXmlStreamAttribute &dropped = {}, const QXmlStreamAttribute &added = {})
{
    // Declared before the element is started, a prefix is the element's own; declared after, the
    // writer would have made up a prefix of its own for the element's name.
    for (const QXmlStreamNamespaceDeclaration &declaration : reader.namespaceDeclarations())
        writer.writeNamespace(declaration.namespaceUri().toString(),
                              declaration.prefix().toString());
    writer.writeStartElement(reader.namespaceUri().toString(), name);
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (attribute.namespaceUri() != dropped.namespaceUri() ||
            attribute.name() != dropped.name())
            writer.writeAttribute(attribute);
    }
    if (!added.name().isEmpty())
        writer.writeAttribute(added);
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
            copyStart(writer, reader, reader.name().toString());
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
    return rewrite(content, [&](const QXmlStreamReader &reader, QXmlStreamWriter &writer) {
        if (!reader.isStartElement())
            return false;
        if (is(reader, kTextNs, u"p")) {
            const int level = levels.value(attribute(reader, kTextNs, "style-name").toString());
            if (level <= 0)
                return false;
            // Its end tag, copied, closes the text:h.
            copyStart(writer, reader, QStringLiteral("h"), {},
                      {kTextNs, QStringLiteral("outline-level"), QString::number(level)});
            return true;
        }
        if (is(reader, kStyleNs, u"style") &&
            attribute(reader, kStyleNs, "family") == u"paragraph") {
            const int level = levels.value(attribute(reader, kStyleNs, "name").toString());
            if (level <= 0)
                return false;
            const QString parent = QStringLiteral("parent-style-name");
            copyStart(writer, reader, QStringLiteral("style"), {kStyleNs, parent, QString()},
                      {kStyleNs, parent, QStringLiteral("Heading_20_%1").arg(level)});
            return true;
        }
        return false;
    });
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
            copyStart(writer, reader, reader.name().toString());
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
