#include "data/projectfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <cmath>

namespace ProjectFile {
namespace {

QString methodKey(Method method)
{
    switch (method) {
    case Method::Activity:
        return QStringLiteral("activity");
    case Method::Furnishings:
        return QStringLiteral("furnishings");
    case Method::Materials:
        return QStringLiteral("materials");
    case Method::None:
        break;
    }
    return QString();
}

std::optional<Method> methodFromKey(const QString &key)
{
    for (Method m : {Method::Activity, Method::Furnishings, Method::Materials}) {
        if (methodKey(m) == key)
            return m;
    }
    return std::nullopt;
}

void putAmount(QJsonObject &object, const char *key, const Amount &amount)
{
    if (amount.isNumber())
        object.insert(QLatin1String(key), amount.value());
    else if (amount.isEmptyText())
        object.insert(QLatin1String(key), QString());
}

void putNumber(QJsonObject &object, const char *key, const std::optional<double> &value)
{
    if (value)
        object.insert(QLatin1String(key), *value);
}

QJsonObject compartmentToJson(const Compartment &compartment)
{
    const Calculation &c = compartment.calculation;
    QJsonObject o;
    o.insert(QStringLiteral("name"), compartment.name);
    o.insert(QStringLiteral("regulation"), regulationOf(c).key);
    o.insert(QStringLiteral("method"), methodKey(c.method));
    putNumber(o, "area", c.area);
    if (c.method == Method::Activity) {
        QJsonObject activity;
        activity.insert(QStringLiteral("name"), c.activity.name);
        putNumber(activity, "nominalLoad", c.activity.nominalLoad);
        putNumber(activity, "fractile", c.activity.fractile);
        if (!c.activity.source.isEmpty())
            activity.insert(QStringLiteral("source"), c.activity.source);
        o.insert(QStringLiteral("activity"), activity);
    }
    if (c.method == Method::Materials) {
        QJsonArray entries;
        for (const MaterialEntry &e : c.materials) {
            QJsonObject entry;
            entry.insert(QStringLiteral("name"), e.name);
            putAmount(entry, "valuePerKg", e.valuePerKg);
            putAmount(entry, "quantity", e.quantity);
            putAmount(entry, "psi", e.psi);
            putAmount(entry, "m", e.m);
            if (!e.source.isEmpty())
                entry.insert(QStringLiteral("source"), e.source);
            entries.append(entry);
        }
        o.insert(QStringLiteral("materials"), entries);
    }
    if (c.method == Method::Furnishings) {
        QJsonArray entries;
        for (const FurnishingEntry &e : c.furnishings) {
            QJsonObject entry;
            if (!e.furnishing.isEmpty())
                entry.insert(QStringLiteral("furnishing"), e.furnishing);
            putAmount(entry, "valuePerPiece", e.valuePerPiece);
            putAmount(entry, "pieces", e.pieces);
            if (!e.goods.isEmpty())
                entry.insert(QStringLiteral("goods"), e.goods);
            putAmount(entry, "valuePerM3", e.valuePerM3);
            putAmount(entry, "volume", e.volume);
            putAmount(entry, "packaging", e.packaging);
            if (!e.source.isEmpty())
                entry.insert(QStringLiteral("source"), e.source);
            entries.append(entry);
        }
        o.insert(QStringLiteral("furnishings"), entries);
    }
    if (c.areaClass)
        o.insert(QStringLiteral("areaClass"), *c.areaClass);
    if (c.riskClass)
        o.insert(QStringLiteral("riskClass"), *c.riskClass);
    QList<int> measures = c.measures.values();
    std::sort(measures.begin(), measures.end());
    QJsonArray measureArray;
    for (int measure : measures)
        measureArray.append(measure);
    o.insert(QStringLiteral("measures"), measureArray);

    QJsonObject results;
    const QStringList keys{QStringLiteral("name"),    QStringLiteral("method"),
                           QStringLiteral("area"),    QStringLiteral("fireLoad"),
                           QStringLiteral("deltaQ1"), QStringLiteral("deltaQ2"),
                           QStringLiteral("deltaN"),  QStringLiteral("designFireLoad"),
                           QStringLiteral("class"),   QStringLiteral("minimumClass")};
    const QStringList texts = compartmentRow(compartment);
    for (int i = 2; i < keys.size(); ++i)
        results.insert(keys.at(i), texts.at(i));
    o.insert(QStringLiteral("results"), results);
    return o;
}

// Reading: each step either gives a value or says why the file cannot be read.
class Reader
{
public:
    QString error;

    bool fail(const QString &why)
    {
        if (error.isEmpty())
            error = why;
        return false;
    }

    // A name or any other text of the job, normalised as the screens make it.
    QString text(const QJsonObject &o, const char *key, bool required = false)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() && !required)
            return QString();
        if (!v.isString()) {
            fail(QStringLiteral("il campo «%1» non è un testo").arg(QLatin1String(key)));
            return QString();
        }
        const QString name = CalculationRules::normalisedName(v.toString());
        if (const QString why = CalculationRules::nameRefusal(name); !why.isEmpty()) {
            fail(QStringLiteral("il campo «%1» non è valido: %2")
                     .arg(QLatin1String(key), why.left(1).toLower() + why.mid(1).chopped(1)));
            return QString();
        }
        return name;
    }

    // An array of at most `most` items.
    QJsonArray array(const QJsonObject &o, const char *key, int most, const QString &tooMany)
    {
        QJsonArray items = array(o, key);
        if (items.size() > most) {
            fail(tooMany.arg(most));
            return {};
        }
        return items;
    }

    std::optional<double> number(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        if (!v.isDouble() || !std::isfinite(v.toDouble()) || v.toDouble() < 0) {
            fail(QStringLiteral("il campo «%1» non contiene un numero valido")
                     .arg(QLatin1String(key)));
            return std::nullopt;
        }
        return v.toDouble();
    }

    Amount amount(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isString() && v.toString().isEmpty())
            return Amount::emptyText();
        if (const auto value = number(o, key))
            return Amount::number(*value);
        return Amount();
    }

    std::optional<int> index(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d != std::floor(d) || d < 0 || d > 1000) {
            fail(QStringLiteral("il campo «%1» non è valido").arg(QLatin1String(key)));
            return std::nullopt;
        }
        return int(d);
    }

    QJsonArray array(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(QStringLiteral("il campo «%1» non è un elenco").arg(QLatin1String(key)));
        return v.toArray();
    }

    QJsonObject object(const QJsonValue &v, const QString &what)
    {
        if (!v.isObject())
            fail(QStringLiteral("%1 non è nel formato atteso").arg(what));
        return v.toObject();
    }

    // A compartment of a file of `version`; before version 2 every compartment applied the decree.
    std::optional<Compartment> compartment(const QJsonValue &value, int version)
    {
        const QJsonObject o = object(value, QStringLiteral("un compartimento"));
        Compartment compartment;
        compartment.name = text(o, "name", true);
        if (error.isEmpty() && compartment.name.trimmed().isEmpty())
            fail(QStringLiteral("un compartimento non ha nome"));
        Calculation &c = compartment.calculation;
        const QString ruleKey = version >= 2 ? text(o, "regulation") : QString();
        const auto rule = ruleKey.isEmpty() ? Rule::Decree2007 : Regulation::ruleForKey(ruleKey);
        if (!rule)
            fail(QStringLiteral("il compartimento «%1» applica una normativa sconosciuta")
                     .arg(compartment.name));
        c.rule = rule.value_or(Rule::Decree2007);
        const auto method = methodFromKey(text(o, "method", true));
        if (!method)
            fail(QStringLiteral("il compartimento «%1» usa un metodo di calcolo sconosciuto")
                     .arg(compartment.name));
        c.method = method.value_or(Method::None);
        c.area = number(o, "area");
        const QJsonObject activity = o.value(QStringLiteral("activity")).toObject();
        c.activity.name = text(activity, "name");
        c.activity.nominalLoad = number(activity, "nominalLoad");
        c.activity.fractile = number(activity, "fractile");
        c.activity.source = text(activity, "source");
        const QString tooMany =
            QStringLiteral("il compartimento «%1» ha più di %2 voci").arg(compartment.name);
        for (const QJsonValue &v : array(o, "materials", kMostEntries, tooMany)) {
            const QJsonObject e = object(v, QStringLiteral("un materiale"));
            c.materials << MaterialEntry{text(e, "name"),       amount(e, "valuePerKg"),
                                         amount(e, "quantity"), amount(e, "psi"),
                                         amount(e, "m"),        text(e, "source")};
        }
        for (const QJsonValue &v : array(o, "furnishings", kMostEntries, tooMany)) {
            const QJsonObject e = object(v, QStringLiteral("un arredo"));
            c.furnishings << FurnishingEntry{text(e, "furnishing"),   amount(e, "valuePerPiece"),
                                             amount(e, "pieces"),     text(e, "goods"),
                                             amount(e, "valuePerM3"), amount(e, "volume"),
                                             amount(e, "packaging"),  text(e, "source")};
        }
        c.areaClass = index(o, "areaClass");
        c.riskClass = index(o, "riskClass");
        for (const QJsonValue &v : array(o, "measures")) {
            if (!v.isDouble() || v.toDouble() != std::floor(v.toDouble()) || v.toDouble() < 0 ||
                v.toDouble() > 1000) {
                fail(QStringLiteral("una misura di protezione non è valida"));
                break;
            }
            c.measures.insert(v.toInt());
        }
        if (!error.isEmpty())
            return std::nullopt;
        const QString impossible = impossibility(c, regulationOf(c));
        if (!impossible.isEmpty()) {
            fail(QStringLiteral("nel compartimento «%1» %2").arg(compartment.name, impossible));
            return std::nullopt;
        }
        return compartment;
    }
};

} // namespace

QByteArray toJson(const Project &project)
{
    QJsonObject identity;
    identity.insert(QStringLiteral("name"), project.identity.name);
    identity.insert(QStringLiteral("client"), project.identity.client);
    identity.insert(QStringLiteral("site"), project.identity.site);
    identity.insert(QStringLiteral("activity"), project.identity.activity);
    identity.insert(QStringLiteral("technician"), project.identity.technician);
    identity.insert(QStringLiteral("date"), project.identity.date.toString(Qt::ISODate));
    if (!project.identity.revision.isEmpty())
        identity.insert(QStringLiteral("revision"), project.identity.revision);
    QJsonObject root;
    root.insert(QStringLiteral("format"), kFormat);
    root.insert(QStringLiteral("version"), kVersion);
    root.insert(QStringLiteral("identity"), identity);
    root.insert(QStringLiteral("compartments"), QJsonArray());
    QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (project.compartments.isEmpty())
        return json;
    // The compartments go into the text one by one, each indented as the whole tree would have
    // it: a large project is never held as a tree of JSON values beside its text. The keys are
    // sorted, so the array is the first member.
    const QByteArray emptyArray = "\"compartments\": [\n    ]";
    const qsizetype at = json.indexOf(emptyArray);
    QByteArray text = json.left(at);
    text += "\"compartments\": [\n";
    for (qsizetype i = 0; i < project.compartments.size(); ++i) {
        if (i > 0)
            text += ",\n";
        QByteArray compartment = QJsonDocument(compartmentToJson(project.compartments.at(i)))
                                     .toJson(QJsonDocument::Indented);
        compartment.chop(1); // the document's last line break
        text += "        ";
        text += compartment.replace("\n", "\n        ");
    }
    text += "\n    ]";
    text += json.sliced(at + emptyArray.size());
    return text;
}

Read fromJson(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return {std::nullopt, QStringLiteral("il file non è un progetto di Ardivo, oppure è "
                                             "incompleto o danneggiato")};
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat)
        return {std::nullopt, QStringLiteral("il file non è un progetto di Ardivo")};
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble()))
        return {std::nullopt, QStringLiteral("il file non indica una versione valida")};
    if (version.toDouble() > kVersion)
        return {std::nullopt,
                QStringLiteral("il file è stato creato da una versione più recente di Ardivo "
                               "(formato %1; questa versione legge fino al formato %2)")
                    .arg(version.toInt())
                    .arg(kVersion)};

    Reader reader;
    Project project;
    const QJsonObject identity = reader.object(root.value(QStringLiteral("identity")),
                                               QStringLiteral("l'intestazione del progetto"));
    project.identity.name = reader.text(identity, "name");
    project.identity.client = reader.text(identity, "client");
    project.identity.site = reader.text(identity, "site");
    project.identity.activity = reader.text(identity, "activity");
    project.identity.technician = reader.text(identity, "technician");
    project.identity.revision = reader.text(identity, "revision");
    const QString date = reader.text(identity, "date");
    project.identity.date = QDate::fromString(date, Qt::ISODate);
    if (!date.isEmpty() && !project.identity.date.isValid())
        reader.fail(QStringLiteral("la data del progetto non è valida"));
    // Names are compared through a set: the time grows with the file, not with its square.
    QSet<QString> names;
    for (const QJsonValue &value :
         reader.array(root, "compartments", kMostCompartments,
                      QStringLiteral("il progetto ha più di %1 compartimenti"))) {
        const auto compartment = reader.compartment(value, version.toInt());
        if (!compartment)
            break;
        if (names.contains(compartment->name)) {
            reader.fail(
                QStringLiteral("il compartimento «%1» compare due volte").arg(compartment->name));
            break;
        }
        names.insert(compartment->name);
        project.compartments << *compartment;
    }
    if (!reader.error.isEmpty())
        return {std::nullopt, reader.error};
    return {project, QString()};
}

Saved save(const QString &path, const Project &project)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        return {QStringLiteral("il file è in sola lettura"), true};
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return {QStringLiteral("la cartella non esiste"), false};
    if (!folder.isWritable())
        return {QStringLiteral("la cartella non consente la scrittura"), true};
    const QByteArray json = toJson(project);
    if (json.size() > kLargestFile) // it could not be opened again
        return {QStringLiteral("il progetto è troppo grande: un file di progetto può occupare al "
                               "massimo %1 MB")
                    .arg(kLargestFile / (1024 * 1024)),
                false};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {QStringLiteral("impossibile creare il file nella cartella"), true};
    if (file.write(json) != json.size()) {
        file.cancelWriting();
        return {QStringLiteral("impossibile scrivere il file: forse il disco è pieno"), false};
    }
    if (!file.commit())
        return {QStringLiteral("impossibile completare il salvataggio: forse il disco è pieno"),
                false};
    return {};
}

Read load(const QString &path)
{
    const QString tooLarge =
        QStringLiteral("il file è troppo grande per essere un progetto (al massimo %1 MB)")
            .arg(kLargestFile / (1024 * 1024));
    // Only a regular file, or a link to one: a pipe or a device would block the program or never
    // end, and is refused before it is opened.
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, QStringLiteral("il file non esiste")};
    if (info.isDir())
        return {std::nullopt, QStringLiteral("è una cartella, non un file di progetto")};
    if (!info.isFile())
        return {std::nullopt, QStringLiteral("non è un file ordinario (forse una pipe o un "
                                             "dispositivo) e non può essere un progetto")};
    if (info.size() > kLargestFile)
        return {std::nullopt, tooLarge};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("il file non può essere letto")};
    if (file.isSequential())
        return {std::nullopt,
                QStringLiteral("non è un file ordinario e non può essere un progetto")};
    // Never more than the limit, even from a file that grows while it is read.
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (bytes.size() > kLargestFile)
        return {std::nullopt, tooLarge};
    return fromJson(bytes);
}

} // namespace ProjectFile
