#include "data/projectfile.h"

#include "core/italiannumbers.h"
#include "core/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
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

// The keys of the natural fire's growth rate and member, in the order of their enums.
const QString kGrowthKeys[] = {QStringLiteral("slow"), QStringLiteral("medium"),
                               QStringLiteral("fast")};
const QString kMemberKeys[] = {QStringLiteral("reinforcedConcrete"),
                               QStringLiteral("protectedSteel"),
                               QStringLiteral("unprotectedSteel")};

QJsonObject compartmentToJson(const Compartment &compartment)
{
    const Calculation &c = compartment.calculation;
    QJsonObject o;
    o.insert(QStringLiteral("name"), compartment.name);
    o.insert(QStringLiteral("regulation"), c.rule.key());
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
    if (const auto &fire = c.naturalFire) {
        QJsonObject natural;
        natural.insert(QStringLiteral("totalArea"), fire->totalArea);
        natural.insert(QStringLiteral("height"), fire->height);
        natural.insert(QStringLiteral("verticalOpenings"), fire->verticalOpenings);
        natural.insert(QStringLiteral("openingHeight"), fire->openingHeight);
        natural.insert(QStringLiteral("horizontalOpenings"), fire->horizontalOpenings);
        natural.insert(QStringLiteral("absorptivity"), fire->absorptivity);
        natural.insert(QStringLiteral("growth"), kGrowthKeys[int(fire->growth)]);
        natural.insert(QStringLiteral("member"), kMemberKeys[int(fire->member)]);
        if (fire->floorArea)
            natural.insert(QStringLiteral("floorArea"), *fire->floorArea);
        o.insert(QStringLiteral("naturalFire"), natural);
    }
    // The performance level only where the rule lets the designer choose it.
    const Regulation &regulation = regulationOf(c);
    if (!regulation.performanceLevels.isEmpty()) {
        o.insert(QStringLiteral("performanceLevel"), regulation.levelName(c.performanceLevel));
        if (!c.levelReason.isEmpty())
            o.insert(QStringLiteral("levelReason"), c.levelReason);
    }

    if (!c.notes.isEmpty())
        o.insert(QStringLiteral("notes"), c.notes);

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
                     .arg(QLatin1String(key), clause(why)));
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

    // The enclosure of a natural fire: every value present; the rules are the window's.
    std::optional<NaturalFireInputs> naturalFire(const QJsonValue &value)
    {
        const QJsonObject o = object(value, QStringLiteral("l'incendio naturale"));
        NaturalFireInputs in;
        const std::pair<const char *, double *> sizes[] = {
            {"totalArea", &in.totalArea},
            {"height", &in.height},
            {"verticalOpenings", &in.verticalOpenings},
            {"openingHeight", &in.openingHeight},
            {"horizontalOpenings", &in.horizontalOpenings},
            {"absorptivity", &in.absorptivity},
        };
        for (const auto &[key, target] : sizes) {
            const auto read = number(o, key);
            if (!read)
                fail(QStringLiteral("l'incendio naturale non ha un valore valido per «%1»")
                         .arg(QLatin1String(key)));
            *target = read.value_or(0);
        }
        const auto choice = [this, &o](const char *key, const QString(&keys)[3]) {
            const QJsonValue v = o.value(QLatin1String(key));
            for (int i = 0; i < 3; ++i)
                if (v.isString() && v.toString() == keys[i])
                    return i;
            fail(QStringLiteral("l'incendio naturale ha un valore sconosciuto per «%1»")
                     .arg(QLatin1String(key)));
            return 0;
        };
        in.growth = FireGrowth(choice("growth", kGrowthKeys));
        in.member = FireMember(choice("member", kMemberKeys));
        in.floorArea = number(o, "floorArea");
        if (!error.isEmpty())
            return std::nullopt;
        return in;
    }

    // The performance level and the designer's reasons: only under a rule whose levels are
    // chosen; a compartment without them is at the proposed level.
    void level(const QJsonObject &o, const QString &compartment, Calculation &c)
    {
        const Regulation &regulation = regulationOf(c);
        const QJsonValue level = o.value(QStringLiteral("performanceLevel"));
        const QJsonValue reason = o.value(QStringLiteral("levelReason"));
        if (level.isUndefined() && reason.isUndefined())
            return;
        if (regulation.performanceLevels.isEmpty()) {
            fail(QStringLiteral("il compartimento «%1» indica un livello di prestazione, che il "
                                "%2 non prevede di scegliere")
                     .arg(compartment, regulation.name));
            return;
        }
        if (!level.isUndefined()) {
            const auto number = regulation.levelNumber(level.toString());
            if (!level.isString() || !number) {
                fail(QStringLiteral("il compartimento «%1» ha un livello di prestazione "
                                    "sconosciuto")
                         .arg(compartment));
                return;
            }
            c.performanceLevel = *number;
        }
        if (!reason.isUndefined()) {
            if (!reason.isString()) {
                fail(QStringLiteral("il campo «levelReason» non è un testo"));
                return;
            }
            c.levelReason = normalisedText(reason.toString());
        }
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
        // From version 2 on the rule is always written: one that is missing is never guessed.
        const QString ruleKey = version >= 2 ? text(o, "regulation") : QString();
        const auto rule =
            version < 2 ? std::optional<Rule>(Rule::Decree2007) : Regulation::ruleForKey(ruleKey);
        if (version >= 2 && ruleKey.isEmpty())
            fail(QStringLiteral("il compartimento «%1» non indica la normativa applicata")
                     .arg(compartment.name));
        else if (!rule)
            fail(QStringLiteral("il compartimento «%1» applica una normativa sconosciuta")
                     .arg(compartment.name));
        c.rule = rule.value_or(Rule::Decree2007);
        const auto method = methodFromKey(text(o, "method", true));
        if (!method)
            fail(QStringLiteral("il compartimento «%1» usa un metodo di calcolo sconosciuto")
                     .arg(compartment.name));
        c.method = method.value_or(Method::None);
        c.area = number(o, "area");
        // The data of the method in use must be there, and each part of the type written.
        const QString data = methodKey(c.method);
        if (!data.isEmpty() && !o.contains(data))
            fail(
                QStringLiteral("il compartimento «%1» usa il metodo «%2» ma non ne contiene i dati")
                    .arg(compartment.name, data));
        for (const char *key : {"activity", "materials", "furnishings"}) {
            const QJsonValue part = o.value(QLatin1String(key));
            const bool isObject = qstrcmp(key, "activity") == 0;
            if (!part.isUndefined() && (isObject ? !part.isObject() : !part.isArray()))
                fail(QStringLiteral("nel compartimento «%1» il campo «%2» non è %3")
                         .arg(compartment.name, QLatin1String(key),
                              isObject ? QStringLiteral("un oggetto")
                                       : QStringLiteral("un elenco")));
        }
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
        if (o.contains(QStringLiteral("naturalFire")))
            c.naturalFire = naturalFire(o.value(QStringLiteral("naturalFire")));
        if (version >= 2)
            level(o, compartment.name, c);
        // The notes as the box keeps them; their length and characters are judged below with
        // every other value.
        if (const QJsonValue notes = o.value(QStringLiteral("notes")); !notes.isUndefined()) {
            if (!notes.isString())
                fail(QStringLiteral("il campo «notes» non è un testo"));
            c.notes = normalisedText(notes.toString());
        }
        if (!error.isEmpty())
            return std::nullopt;
        const QString impossible = impossibility(c);
        if (!impossible.isEmpty()) {
            fail(QStringLiteral("nel compartimento «%1» %2").arg(compartment.name, impossible));
            return std::nullopt;
        }
        return compartment;
    }
};

QString tooManyCompartments()
{
    return QStringLiteral("il progetto ha più di %1 compartimenti");
}

// Where the top object's "compartments" list lies in the text, when it holds more than
// kMostCompartments items: counted on the bytes, without the tree that would take many times
// the text's memory. A text this scan cannot follow is left to the parser.
struct CrowdedList {
    qsizetype begin = -1; // at its '['
    qsizetype end = -1;   // just past its ']'
};

CrowdedList crowdedCompartments(const QByteArray &json)
{
    constexpr QByteArrayView key("compartments");
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    qsizetype stringStart = 0;
    QByteArrayView lastString; // the last text closed in the top object: a key before ':'
    bool valueOfKey = false;   // the next value is that of "compartments"
    qsizetype listStart = -1;
    bool expectItem = false;
    int items = 0;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json.at(i);
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"') {
                inString = false;
                if (depth == 1)
                    lastString = QByteArrayView(json).sliced(stringStart, i - stringStart);
            }
            continue;
        }
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        if (listStart >= 0 && depth == 2) {
            if (c == ',') {
                expectItem = true;
                continue;
            }
            if (c == ']')
                return items > kMostCompartments ? CrowdedList{listStart, i + 1} : CrowdedList{};
            if (expectItem) {
                ++items;
                expectItem = false;
            }
        }
        if (depth == 1 && c == ':') {
            valueOfKey = lastString == key;
            continue;
        }
        if (valueOfKey && c == '[' && listStart < 0) {
            listStart = i;
            expectItem = true;
        }
        valueOfKey = false;
        if (c == '"') {
            inString = true;
            stringStart = i + 1;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth < 0)
                return {};
        }
    }
    return {};
}

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
    // A list of far more compartments than a project may hold is refused before the tree is
    // built; the rest of the file, without the list, is still checked first.
    if (const CrowdedList list = crowdedCompartments(json); list.begin >= 0) {
        const Read rest = fromJson(json.first(list.begin) + "[]" + json.sliced(list.end));
        if (!rest.project)
            return rest;
        return {std::nullopt, tooManyCompartments().arg(kMostCompartments)};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return {std::nullopt, QStringLiteral("il file non è un progetto di Ardivo, oppure è "
                                             "incompleto o danneggiato")};
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat)
        return {std::nullopt, QStringLiteral("il file non è un progetto di Ardivo")};
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble())
        return {std::nullopt, QStringLiteral("il file non indica una versione valida")};
    // The number as it was read, whatever its size: never a version made up by a conversion.
    const double versionRead = version.toDouble();
    const QString versionText = std::fabs(versionRead) < 1e15
                                    ? ItalianNumbers::toText(versionRead)
                                    : QLocale(QLocale::Italian).toString(versionRead, 'g', 6);
    if (versionRead < 1 || versionRead != std::floor(versionRead))
        return {std::nullopt,
                QStringLiteral("il file indica il formato %1, che non è valido").arg(versionText)};
    if (versionRead > kVersion)
        return {std::nullopt,
                QStringLiteral("il file è stato creato da una versione più recente di Ardivo "
                               "(formato %1; questa versione legge fino al formato %2)")
                    .arg(versionText)
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
         reader.array(root, "compartments", kMostCompartments, tooManyCompartments())) {
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
    // Never a file this program would refuse to open: the bytes are read back first.
    if (const Read back = fromJson(json); !back.project)
        return {QStringLiteral("il progetto non potrebbe essere riaperto (%1); il file "
                               "precedente non è stato toccato")
                    .arg(back.error),
                false};
    bool placeRefused = false;
    if (const QString reason = WholeFile::write(path, json, &placeRefused); !reason.isEmpty())
        return {reason, placeRefused};
    return {};
}

Read load(const QString &path)
{
    const WholeFile::Contents file =
        WholeFile::read(path, kLargestFile, QStringLiteral("un progetto"));
    if (!file.refusal.isEmpty())
        return {std::nullopt, file.refusal};
    return fromJson(file.bytes);
}

QString compartmentRefusal(const Compartment &compartment)
{
    Project alone;
    alone.compartments << compartment;
    const Read back = fromJson(toJson(alone));
    return back.project ? QString() : back.error;
}

} // namespace ProjectFile
