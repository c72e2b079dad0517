#include "core/regulation.h"

#include "core/italiannumbers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

const Rule Rule::Decree2007{QStringLiteral("dm2007")};
const Rule Rule::FireCode{QStringLiteral("codice-s2")};

std::optional<int> Regulation::areaClassFor(double area) const
{
    if (!std::isfinite(area) || area < 0 || areaClasses.isEmpty())
        return std::nullopt;
    int index = 0;
    while (index + 1 < areaClasses.size() && area >= areaClasses.at(index + 1).from)
        ++index;
    return index;
}

Regulation::ResistanceClasses Regulation::resistanceClassesFor(double designLoad) const
{
    const double value = ItalianNumbers::asRead(designLoad);
    for (const ClassBand &band : classBands) {
        if (!(value > band.upTo))
            return band.classes;
    }
    return beyondLastBand;
}

QString Regulation::citation(const QString &table) const
{
    if (table.isEmpty())
        return QString();
    return QStringLiteral("%1, %2").arg(shortName, table);
}

const Regulation::MeasureGroup *Regulation::exclusiveGroupOf(int measure) const
{
    for (const MeasureGroup &group : measureGroups) {
        if (group.exclusive && group.contains(measure))
            return &group;
    }
    return nullptr;
}

const Regulation::PerformanceLevel *Regulation::level(int number) const
{
    for (const PerformanceLevel &candidate : performanceLevels) {
        if (candidate.number == number)
            return &candidate;
    }
    return nullptr;
}

std::optional<int> Regulation::levelNumber(const QString &wanted) const
{
    for (const PerformanceLevel &candidate : performanceLevels) {
        if (candidate.name == wanted)
            return candidate.number;
    }
    return std::nullopt;
}

QString Regulation::levelName(int number) const
{
    if (const PerformanceLevel *found = level(number))
        return found->name;
    return performanceLevel;
}

QString Regulation::headingFor(const QStringList &levelNames) const
{
    if (performanceLevels.isEmpty() || levelNames.isEmpty() || headingWithoutLevel.isEmpty())
        return heading;
    // Several levels are named where the compartments are listed, not in the heading.
    if (levelNames.size() > 1)
        return headingWithoutLevel;
    // "livello" alone, so that the heading still fits the page's one heading line.
    return QStringLiteral("%1, livello %2").arg(headingWithoutLevel, levelNames.first());
}

const Regulation &Regulation::forRule(const Rule &rule)
{
    if (const Regulation *found = RuleRegistry::instance().find(rule))
        return *found;
    static const Regulation none{};
    return none;
}

QVector<Rule> Regulation::rules()
{
    QVector<Rule> all;
    for (const auto &regulation : RuleRegistry::instance().regulations())
        all << regulation->rule;
    return all;
}

std::optional<Rule> Regulation::ruleForKey(const QString &key)
{
    if (key.isEmpty() || !RuleRegistry::instance().find(Rule(key)))
        return std::nullopt;
    return Rule(key);
}

namespace {

// Reads one rule file, keeping the first reason it cannot stand. Fields are named as in the file,
// with the position of a row in its table counted from 1: «measures[3].deltaN».
class RuleReader
{
public:
    QString problem;

    void fail(const QString &what)
    {
        if (problem.isEmpty())
            problem = what;
    }

    static QString path(const QString &where, const char *field)
    {
        const QString name = QString::fromLatin1(field);
        return where.isEmpty() ? name : QStringLiteral("%1.%2").arg(where, name);
    }

    QJsonValue value(const QJsonObject &o, const QString &where, const char *field, bool required)
    {
        const QJsonValue found = o.value(QLatin1String(field));
        if (found.isUndefined() && required)
            fail(QStringLiteral("manca il campo «%1»").arg(path(where, field)));
        return found;
    }

    QString text(const QJsonObject &o, const QString &where, const char *field,
                 bool required = true, bool mayBeEmpty = false)
    {
        const QJsonValue found = value(o, where, field, required);
        if (found.isUndefined())
            return QString();
        if (!found.isString() || (!mayBeEmpty && found.toString().trimmed().isEmpty()))
            fail(QStringLiteral("il campo «%1» deve essere un testo%2")
                     .arg(path(where, field),
                          mayBeEmpty ? QString() : QStringLiteral(" non vuoto")));
        return found.toString();
    }

    bool flag(const QJsonObject &o, const QString &where, const char *field, bool fallback)
    {
        const QJsonValue found = value(o, where, field, false);
        if (found.isUndefined())
            return fallback;
        if (!found.isBool())
            fail(QStringLiteral("il campo «%1» deve essere true o false").arg(path(where, field)));
        return found.toBool();
    }

    // A finite number; above 0 where `positive`, else not negative.
    double number(const QJsonObject &o, const QString &where, const char *field, bool positive)
    {
        const QJsonValue found = value(o, where, field, true);
        const double v = found.toDouble(-1);
        if (!found.isUndefined() &&
            (!found.isDouble() || !std::isfinite(v) || v < 0 || (positive && v == 0)))
            fail(QStringLiteral("il campo «%1» deve essere un numero %2")
                     .arg(path(where, field), positive ? QStringLiteral("maggiore di 0")
                                                       : QStringLiteral("non negativo")));
        return v;
    }

    int whole(const QJsonObject &o, const QString &where, const char *field, bool required,
              int fallback, int smallest)
    {
        const QJsonValue found = value(o, where, field, required);
        if (found.isUndefined())
            return fallback;
        const double v = found.toDouble(-1);
        if (!found.isDouble() || v != std::floor(v) || v < smallest || v > 100000) {
            fail(QStringLiteral("il campo «%1» deve essere un numero intero non minore di %2")
                     .arg(path(where, field))
                     .arg(smallest));
            return fallback;
        }
        return int(v);
    }

    // The rows of a table, each an object; `minimum` rows at least.
    QVector<QJsonObject> rows(const QJsonObject &o, const char *field, bool required, int minimum)
    {
        const QJsonValue found = value(o, QString(), field, required);
        QVector<QJsonObject> all;
        if (found.isUndefined())
            return all;
        if (!found.isArray()) {
            fail(QStringLiteral("il campo «%1» deve essere un elenco").arg(QLatin1String(field)));
            return all;
        }
        for (const QJsonValue &row : found.toArray()) {
            if (!row.isObject())
                fail(QStringLiteral("una riga di «%1» non è un oggetto").arg(QLatin1String(field)));
            all << row.toObject();
        }
        if (all.size() < minimum)
            fail(QStringLiteral("«%1» non ha righe").arg(QLatin1String(field)));
        return all;
    }

    QJsonObject object(const QJsonObject &o, const char *field)
    {
        const QJsonValue found = value(o, QString(), field, true);
        if (!found.isUndefined() && !found.isObject())
            fail(QStringLiteral("il campo «%1» deve essere un oggetto").arg(QLatin1String(field)));
        return found.toObject();
    }

    static QString row(const char *table, int index)
    {
        return QStringLiteral("%1[%2]").arg(QLatin1String(table)).arg(index + 1);
    }

    Regulation::ResistanceClasses classes(const QJsonObject &o, const QString &where)
    {
        Regulation::ResistanceClasses c;
        c.reference = whole(o, where, "reference", true, 0, 0);
        c.minimum = whole(o, where, "minimum", true, 0, 0);
        c.required = flag(o, where, "required", true);
        return c;
    }

    Regulation read(const QJsonObject &o);
};

Regulation RuleReader::read(const QJsonObject &o)
{
    Regulation r;
    r.key = text(o, QString(), "key");
    r.rule = Rule(r.key);
    r.name = text(o, QString(), "name");
    r.shortName = text(o, QString(), "shortName");
    r.heading = text(o, QString(), "heading");
    r.headingWithoutLevel = text(o, QString(), "headingWithoutLevel", false);
    r.performanceLevel = text(o, QString(), "performanceLevel");
    r.classCaption = text(o, QString(), "classCaption");
    r.hasMinimumClass = flag(o, QString(), "hasMinimumClass", true);
    r.noRequirement = text(o, QString(), "noRequirement", false);

    const QJsonObject tables = object(o, "tables");
    r.tables.areaClasses = text(tables, QStringLiteral("tables"), "areaClasses", true, true);
    r.tables.riskClasses = text(tables, QStringLiteral("tables"), "riskClasses", true, true);
    r.tables.measures = text(tables, QStringLiteral("tables"), "measures", true, true);
    r.tables.classes = text(tables, QStringLiteral("tables"), "classes", true, true);

    const QVector<QJsonObject> areaRows = rows(o, "areaClasses", true, 1);
    for (int i = 0; i < areaRows.size(); ++i) {
        const QString where = row("areaClasses", i);
        Regulation::AreaClass c;
        c.from = number(areaRows[i], where, "from", false);
        c.screenText = text(areaRows[i], where, "screenText");
        c.reportText = text(areaRows[i], where, "reportText");
        c.deltaQ1 = number(areaRows[i], where, "deltaQ1", true);
        if (i == 0 && c.from != 0)
            fail(QStringLiteral("la prima classe di «areaClasses» deve partire da 0 m²"));
        if (i > 0 && !(c.from > r.areaClasses.constLast().from))
            fail(
                QStringLiteral("le classi di «areaClasses» devono avere «from» crescente (riga %1)")
                    .arg(i + 1));
        r.areaClasses << c;
    }

    const QVector<QJsonObject> riskRows = rows(o, "riskClasses", true, 1);
    for (int i = 0; i < riskRows.size(); ++i) {
        const QString where = row("riskClasses", i);
        r.riskClasses << Regulation::RiskClass{text(riskRows[i], where, "name"),
                                               text(riskRows[i], where, "description"),
                                               number(riskRows[i], where, "deltaQ2", true)};
    }

    const QVector<QJsonObject> measureRows = rows(o, "measures", true, 0);
    for (int i = 0; i < measureRows.size(); ++i) {
        const QString where = row("measures", i);
        Regulation::ProtectionMeasure m;
        m.description = text(measureRows[i], where, "description");
        m.deltaN = number(measureRows[i], where, "deltaN", true);
        // In the file a measure is numbered as its factor, from 1 (delta n1).
        const int excluded = whole(measureRows[i], where, "excludes", false, 0, 1);
        if (excluded > measureRows.size() || excluded == i + 1)
            fail(QStringLiteral("il campo «%1.excludes» non indica un'altra misura dell'elenco")
                     .arg(where));
        m.excludes = excluded - 1;
        r.measures << m;
    }

    QSet<int> grouped;
    const QVector<QJsonObject> groupRows = rows(o, "measureGroups", false, 0);
    for (int i = 0; i < groupRows.size(); ++i) {
        const QString where = row("measureGroups", i);
        Regulation::MeasureGroup g;
        g.first = whole(groupRows[i], where, "first", true, 1, 1) - 1;
        g.count = whole(groupRows[i], where, "count", true, 1, 1);
        g.exclusive = flag(groupRows[i], where, "exclusive", false);
        g.caption = text(groupRows[i], where, "caption");
        for (int m = g.first; m < g.first + g.count; ++m) {
            if (m >= r.measures.size() || grouped.contains(m)) {
                fail(QStringLiteral("«%1» indica misure che non esistono o già in un altro gruppo")
                         .arg(where));
                break;
            }
            grouped.insert(m);
        }
        r.measureGroups << g;
    }
    if (!groupRows.isEmpty() && grouped.size() < r.measures.size())
        fail(QStringLiteral("«measureGroups» deve comprendere ogni misura di «measures»"));

    const QVector<QJsonObject> bandRows = rows(o, "classBands", true, 1);
    for (int i = 0; i < bandRows.size(); ++i) {
        const QString where = row("classBands", i);
        Regulation::ClassBand band{number(bandRows[i], where, "upTo", true),
                                   classes(bandRows[i], where)};
        if (i > 0 && !(band.upTo > r.classBands.constLast().upTo))
            fail(QStringLiteral("le fasce di «classBands» devono avere «upTo» crescente (riga %1)")
                     .arg(i + 1));
        r.classBands << band;
    }
    r.beyondLastBand = classes(object(o, "beyondLastBand"), QStringLiteral("beyondLastBand"));

    r.levelsTable = text(o, QString(), "levelsTable", false, true);
    r.attributionTable = text(o, QString(), "attributionTable", false, true);
    const QVector<QJsonObject> levelRows = rows(o, "performanceLevels", false, 0);
    for (int i = 0; i < levelRows.size(); ++i) {
        const QString where = row("performanceLevels", i);
        Regulation::PerformanceLevel l;
        l.number = whole(levelRows[i], where, "number", true, 0, 1);
        l.name = text(levelRows[i], where, "name");
        l.meaning = text(levelRows[i], where, "meaning");
        l.requirement = text(levelRows[i], where, "requirement");
        l.obligation = text(levelRows[i], where, "obligation", false);
        l.classCap = whole(levelRows[i], where, "classCap", false, 0, 0);
        l.classRequired = flag(levelRows[i], where, "classRequired", true);
        l.noClass = text(levelRows[i], where, "noClass", false);
        if (r.level(l.number) || r.levelNumber(l.name))
            fail(QStringLiteral("«%1» ripete il numero o il nome di un altro livello").arg(where));
        r.performanceLevels << l;
    }
    r.proposedLevel = whole(o, QString(), "proposedLevel", !levelRows.isEmpty(), 3, 1);
    if (!levelRows.isEmpty() && !r.level(r.proposedLevel))
        fail(QStringLiteral("«proposedLevel» non è uno dei livelli di «performanceLevels»"));
    return r;
}

QString unreadable(const QString &fileName, const QString &why)
{
    return QStringLiteral("Il file delle regole di calcolo «%1» non si può usare: %2.")
        .arg(fileName, why);
}

} // namespace

std::optional<Regulation> RuleRegistry::parse(const QByteArray &json, const QString &fileName,
                                              QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = unreadable(
            fileName, document.isNull()
                          ? QStringLiteral("non è un file JSON leggibile (%1, al carattere %2)")
                                .arg(error.errorString())
                                .arg(error.offset)
                          : QStringLiteral("non contiene un oggetto JSON"));
        return std::nullopt;
    }
    RuleReader reader;
    Regulation regulation = reader.read(document.object());
    if (!reader.problem.isEmpty()) {
        *problem = unreadable(fileName, reader.problem);
        return std::nullopt;
    }
    problem->clear();
    return regulation;
}

const QString &RuleRegistry::builtInFolder()
{
    static const QString folder = QStringLiteral(":/reference/regole");
    return folder;
}

RuleRegistry &RuleRegistry::instance()
{
    static RuleRegistry registry;
    return registry;
}

RuleRegistry::RuleRegistry()
{
    m_problems = readFolder(builtInFolder());
    m_builtIn = m_regulations.size();
}

const Regulation *RuleRegistry::find(const Rule &rule) const
{
    for (const auto &regulation : m_regulations) {
        if (regulation->rule == rule)
            return regulation.get();
    }
    return nullptr;
}

QStringList RuleRegistry::readFolder(const QString &folder)
{
    const QDir dir(folder);
    const QString listName = QStringLiteral("regole.json");
    QStringList problems;
    QFile list(dir.filePath(listName));
    QJsonParseError error{};
    const QJsonDocument document = list.open(QIODevice::ReadOnly)
                                       ? QJsonDocument::fromJson(list.readAll(), &error)
                                       : QJsonDocument();
    if (!document.isArray()) {
        problems << unreadable(listName, list.isOpen()
                                             ? QStringLiteral("non è un elenco JSON di file")
                                             : QStringLiteral("manca"));
        return problems;
    }
    for (const QJsonValue &entry : document.array()) {
        const QString fileName = entry.toString();
        if (!entry.isString() || fileName.isEmpty() || fileName.contains(QLatin1Char('/'))) {
            problems << unreadable(listName, QStringLiteral("una voce non è un nome di file"));
            continue;
        }
        QFile file(dir.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly)) {
            problems << unreadable(fileName, QStringLiteral("manca o non si può leggere"));
            continue;
        }
        QString problem;
        auto regulation = parse(file.readAll(), fileName, &problem);
        if (regulation && find(regulation->rule))
            problem = unreadable(
                fileName,
                QStringLiteral("la chiave «%1» è già di un'altra regola").arg(regulation->key));
        if (!problem.isEmpty()) {
            problems << problem;
            continue;
        }
        m_regulations.push_back(std::make_unique<const Regulation>(std::move(*regulation)));
    }
    return problems;
}

QString RuleRegistry::addFolder(const QString &folder)
{
    return readFolder(folder).join(QStringLiteral("\n\n"));
}

void RuleRegistry::removeAdded()
{
    m_regulations.resize(m_builtIn);
}
