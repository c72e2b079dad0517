#include "ui/reports/incendionaturale.h"

#include "core/italiannumbers.h"
#include "core/naturalfiretexts.h"
#include "core/userprompt.h"
#include "output/reportlayout.h"
#include "ui/kit/widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

CurveView::CurveView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picCurva"));
    setMinimumSize(420, 260);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void CurveView::setChart(const std::optional<ReportBlock> &chart)
{
    m_chart = chart;
    update();
}

void CurveView::paintEvent(QPaintEvent *)
{
    if (!m_chart)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    ReportLayout::paintChart(painter, QRectF(rect()).adjusted(8, 6, -8, -4), *m_chart);
}

namespace {

constexpr int kOpeningRows = 8;

QLabel *valueLabel(QWidget *parent, const char *name)
{
    QLabel *label = makeLabel(parent, name, QString());
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(210);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// A field with its unit at the right.
QWidget *withUnit(QWidget *parent, QWidget *field, const QString &unit)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field, 1);
    auto *caption = new QLabel(unit, row);
    caption->setMinimumWidth(70);
    layout->addWidget(caption);
    return row;
}

} // namespace

IncendioNaturale::IncendioNaturale(CalculationSession &session, QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("IncendioNaturale"));
    setWindowTitle(QStringLiteral("Incendio naturale (UNI EN 1991-1-2, appendici A e F)"));

    auto *inputsBox = new QGroupBox(QStringLiteral("Dati del compartimento"), this);
    auto *form = new QFormLayout(inputsBox);
    m_af = valueLabel(inputsBox, "lblAf");
    m_qfd = valueLabel(inputsBox, "lblQfd");
    m_typedArea = makeLineEdit(inputsBox, "txtAf");
    m_typedAreaRow = withUnit(inputsBox, m_typedArea, QStringLiteral("m²"));
    auto *areaRow = new QWidget(inputsBox);
    auto *areaLayout = new QHBoxLayout(areaRow);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(m_af);
    areaLayout->addWidget(m_typedAreaRow, 1);
    m_at = makeLineEdit(inputsBox, "txtAt");
    m_height = makeLineEdit(inputsBox, "txtAltezza");
    m_av = makeLineEdit(inputsBox, "txtAv");
    m_heq = makeLineEdit(inputsBox, "txtHeq");
    m_ah = makeLineEdit(inputsBox, "txtAh");
    m_b = makeLineEdit(inputsBox, "txtB");
    m_growth = new QComboBox(inputsBox);
    m_growth->setObjectName(QStringLiteral("ComboCrescita"));
    for (FireGrowth growth : {FireGrowth::Slow, FireGrowth::Medium, FireGrowth::Fast})
        m_growth->addItem(NaturalFire::growthName(growth), int(growth));
    m_growth->setCurrentIndex(int(FireGrowth::Medium));
    m_member = new QComboBox(inputsBox);
    m_member->setObjectName(QStringLiteral("ComboElemento"));
    for (FireMember member :
         {FireMember::ReinforcedConcrete, FireMember::ProtectedSteel, FireMember::UnprotectedSteel})
        m_member->addItem(NaturalFire::memberName(member), int(member));
    form->addRow(QStringLiteral("Superficie in pianta A_f:"), areaRow);
    form->addRow(QStringLiteral("Carico di progetto q_f,d:"), m_qfd);
    form->addRow(QStringLiteral("Superficie totale A_t:"),
                 withUnit(inputsBox, m_at, QStringLiteral("m²")));
    form->addRow(QStringLiteral("Altezza H:"), withUnit(inputsBox, m_height, QStringLiteral("m")));
    form->addRow(QStringLiteral("Aperture verticali A_v:"),
                 withUnit(inputsBox, m_av, QStringLiteral("m²")));
    form->addRow(QStringLiteral("Altezza media h_eq:"),
                 withUnit(inputsBox, m_heq, QStringLiteral("m")));
    form->addRow(QStringLiteral("Aperture orizzontali A_h:"),
                 withUnit(inputsBox, m_ah, QStringLiteral("m²")));
    auto *bRow = new QWidget(inputsBox);
    auto *bLayout = new QHBoxLayout(bRow);
    bLayout->setContentsMargins(0, 0, 0, 0);
    bLayout->addWidget(withUnit(bRow, m_b, QStringLiteral("J/m²s^½K")), 1);
    QPushButton *liningB = makeButton(bRow, "cmdCalcolaB", QStringLiteral("Da ρ, c, λ…"));
    bLayout->addWidget(liningB);
    connect(liningB, &QPushButton::clicked, this, &IncendioNaturale::cmdCalcolaB_Click);
    form->addRow(QStringLiteral("Assorbività b:"), bRow);
    form->addRow(QStringLiteral("Crescita dell'incendio:"), m_growth);
    form->addRow(QStringLiteral("Elemento (app. F):"), m_member);

    auto *resultsBox = new QGroupBox(QStringLiteral("Risultati"), this);
    auto *results = new QFormLayout(resultsBox);
    m_o = valueLabel(resultsBox, "lblO");
    m_gamma = valueLabel(resultsBox, "lblGamma");
    m_qtd = valueLabel(resultsBox, "lblQtd");
    m_tmax = valueLabel(resultsBox, "lblTmax");
    m_regime = valueLabel(resultsBox, "lblRegime");
    m_thetaMax = valueLabel(resultsBox, "lblThetaMax");
    m_end = valueLabel(resultsBox, "lblFineRaffreddamento");
    m_ted = valueLabel(resultsBox, "lblTed");
    m_class = valueLabel(resultsBox, "lblClasseRichiesta");
    results->addRow(QStringLiteral("Fattore di apertura O [m^½]:"), m_o);
    results->addRow(QStringLiteral("Γ:"), m_gamma);
    results->addRow(QStringLiteral("q_t,d [MJ/m²]:"), m_qtd);
    results->addRow(QStringLiteral("t_max [min]:"), m_tmax);
    results->addRow(QStringLiteral("Regime:"), m_regime);
    results->addRow(QStringLiteral("Θ_max [°C]:"), m_thetaMax);
    results->addRow(QStringLiteral("Fine raffreddamento [min]:"), m_end);
    results->addRow(QStringLiteral("t_e,d (app. F) [min]:"), m_ted);
    results->addRow(QStringLiteral("Classe richiesta (confronto):"), m_class);

    m_message = makeLabel(this, "lblMessaggio", QString());
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #a01010;"));
    m_warnings = makeLabel(this, "lblAvvertenze", QString());
    m_warnings->setTextFormat(Qt::PlainText);
    m_warnings->setWordWrap(true);
    m_warnings->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_chart = new CurveView(this);
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("DataGridCurva"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("t [min]"), QStringLiteral("Θ_g [°C]")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMinimumWidth(170);
    m_table->setMaximumWidth(210);

    auto *left = new QVBoxLayout;
    left->addWidget(inputsBox);
    left->addWidget(resultsBox);
    left->addWidget(m_message);
    left->addWidget(m_warnings, 1);
    // The vertical openings one by one, width × height, which fill A_v and h_eq.
    auto *openingsBox = new QGroupBox(QStringLiteral("Aperture verticali"), this);
    auto *openingsLayout = new QHBoxLayout(openingsBox);
    m_openings = new QTableWidget(kOpeningRows, 2, openingsBox);
    m_openings->setObjectName(QStringLiteral("DataGridAperture"));
    m_openings->setHorizontalHeaderLabels(
        {QStringLiteral("Larghezza [m]"), QStringLiteral("Altezza [m]")});
    m_openings->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_openings->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_openings->verticalHeader()->setDefaultSectionSize(m_openings->fontMetrics().height() + 6);
    m_openings->setFixedHeight(m_openings->horizontalHeader()->sizeHint().height() +
                               4 * m_openings->verticalHeader()->defaultSectionSize() + 4);
    openingsLayout->addWidget(m_openings, 1);
    QPushButton *carry =
        makeButton(openingsBox, "cmdRiportaAperture", QStringLiteral("Riporta in A_v e h_eq"));
    openingsLayout->addWidget(carry, 0, Qt::AlignTop);
    connect(carry, &QPushButton::clicked, this, &IncendioNaturale::cmdRiportaAperture_Click);

    auto *right = new QVBoxLayout;
    auto *chartAndTable = new QHBoxLayout;
    chartAndTable->addWidget(m_chart, 1);
    chartAndTable->addWidget(m_table);
    right->addLayout(chartAndTable, 1);
    right->addWidget(openingsBox);
    auto *leftColumn = new QWidget(this);
    leftColumn->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftColumn->setFixedWidth(460);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(leftColumn);
    layout->addLayout(right, 1);
    resize(1220, 660);

    for (QLineEdit *field : {m_typedArea, m_at, m_height, m_av, m_heq, m_ah, m_b})
        connect(field, &QLineEdit::textChanged, this, &IncendioNaturale::inputsEdited);
    for (QComboBox *combo : {m_growth, m_member})
        connect(combo, &QComboBox::currentIndexChanged, this, &IncendioNaturale::inputsEdited);
    // A new calculation has no enclosure yet; a compartment reopened brings its own.
    connect(&m_session, &CalculationSession::calculationStarted, this,
            [this] { showInputs(std::nullopt); });
    connect(&m_session, &CalculationSession::loadingCalculation, this,
            [this](const Calculation &calculation) { showInputs(calculation.naturalFire); });
    connect(&m_session, &CalculationSession::changed, this, [this] {
        if (!m_updating && isVisible())
            recompute();
    });
}

void IncendioNaturale::cmdCalcolaB_Click()
{
    // b = √(ρ·c·λ) of the lining, each property asked in turn; a cancelled box asks no more.
    const QString prompts[] = {
        QStringLiteral("Densità ρ del rivestimento [kg/m³]:"),
        QStringLiteral("Calore specifico c del rivestimento [J/kgK]:"),
        QStringLiteral("Conducibilità termica λ del rivestimento [W/mK]:"),
    };
    double values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QString typed = UserPrompt::current().input(prompts[i], kAppTitle).trimmed();
        if (typed.isEmpty())
            return;
        const auto value = ItalianNumbers::toDouble(typed);
        if (!value || !(*value > 0)) {
            showMessage(QStringLiteral("%1 deve essere un numero maggiore di 0.")
                            .arg(prompts[i].section(QLatin1Char(' '), 0, 1)));
            return;
        }
        values[i] = *value;
    }
    // b is given in whole J/m²s^½K, as the tables of linings give it; the field shows the value
    // used.
    const double b = std::round(NaturalFire::absorptivity(values[0], values[1], values[2]));
    if (!std::isfinite(b) || b <= 0) {
        showMessage(QStringLiteral("Con questi valori b non è un numero: controllare ρ, c e λ."));
        return;
    }
    m_b->setText(ItalianNumbers::toText(b));
}

void IncendioNaturale::cmdRiportaAperture_Click()
{
    double area = 0, moment = 0;
    for (int row = 0; row < m_openings->rowCount(); ++row) {
        const auto cell = [this, row](int column) {
            const QTableWidgetItem *item = m_openings->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        if (cell(0).isEmpty() && cell(1).isEmpty())
            continue;
        const auto width = ItalianNumbers::toDouble(cell(0));
        const auto height = ItalianNumbers::toDouble(cell(1));
        if (!width || !height || !(*width > 0) || !(*height > 0)) {
            showMessage(QStringLiteral("L'apertura della riga %1 deve avere larghezza e altezza "
                                       "maggiori di 0.")
                            .arg(row + 1));
            return;
        }
        area += *width * *height;
        moment += *width * *height * *height;
    }
    if (!(area > 0) || !std::isfinite(moment)) {
        showMessage(QStringLiteral("Inserire larghezza e altezza di almeno un'apertura."));
        return;
    }
    m_av->setText(ItalianNumbers::toText(ItalianNumbers::asRead(area)));
    m_heq->setText(ItalianNumbers::toText(ItalianNumbers::asRead(moment / area)));
}

void IncendioNaturale::showEvent(QShowEvent *event)
{
    // The enclosure the calculation carries fills the fields.
    showInputs(m_session.calculation().naturalFire);
    recompute();
    QWidget::showEvent(event);
}

void IncendioNaturale::showInputs(const std::optional<NaturalFireInputs> &inputs)
{
    m_updating = true;
    const auto show = [&inputs](QLineEdit *field, double NaturalFireInputs::*value) {
        field->setText(inputs ? ItalianNumbers::toText((*inputs).*value) : QString());
    };
    show(m_at, &NaturalFireInputs::totalArea);
    show(m_height, &NaturalFireInputs::height);
    show(m_av, &NaturalFireInputs::verticalOpenings);
    show(m_heq, &NaturalFireInputs::openingHeight);
    show(m_ah, &NaturalFireInputs::horizontalOpenings);
    show(m_b, &NaturalFireInputs::absorptivity);
    m_typedArea->setText(inputs && inputs->floorArea ? ItalianNumbers::toText(*inputs->floorArea)
                                                     : QString());
    if (inputs) {
        m_growth->setCurrentIndex(m_growth->findData(int(inputs->growth)));
        m_member->setCurrentIndex(m_member->findData(int(inputs->member)));
    }
    m_updating = false;
    if (isVisible())
        recompute();
}

IncendioNaturale::Reading IncendioNaturale::readFields() const
{
    Reading reading;
    const Calculation &c = m_session.calculation();
    const bool typedArea = !c.area;
    const std::pair<QLineEdit *, QString> fields[] = {
        {m_typedArea, QStringLiteral("A_f")}, {m_at, QStringLiteral("A_t")},
        {m_height, QStringLiteral("H")},      {m_av, QStringLiteral("A_v")},
        {m_heq, QStringLiteral("h_eq")},      {m_ah, QStringLiteral("A_h")},
        {m_b, QStringLiteral("b")},
    };
    QStringList missing;
    double values[7] = {};
    reading.empty = true;
    for (int i = typedArea ? 0 : 1; i < 7; ++i) {
        const QString text = fields[i].first->text().trimmed();
        if (!text.isEmpty())
            reading.empty = false;
        if (text.isEmpty()) {
            missing << fields[i].second;
            values[i] = 0;
            continue;
        }
        const auto value = ItalianNumbers::toDouble(text);
        if (!value) {
            reading.refusal = QStringLiteral("Il valore di %1 non è un numero: scrivere ad "
                                             "esempio 12,5.")
                                  .arg(fields[i].second);
            return reading;
        }
        values[i] = *value;
    }
    if (reading.empty)
        return reading;
    if (!missing.isEmpty()) {
        reading.refusal =
            QStringLiteral("Inserire ancora: %1.").arg(missing.join(QStringLiteral(", ")));
        return reading;
    }
    NaturalFireInputs in;
    if (typedArea)
        in.floorArea = values[0];
    in.totalArea = values[1];
    in.height = values[2];
    in.verticalOpenings = values[3];
    in.openingHeight = values[4];
    in.horizontalOpenings = values[5];
    in.absorptivity = values[6];
    in.growth = FireGrowth(m_growth->currentData().toInt());
    in.member = FireMember(m_member->currentData().toInt());
    const auto design = designFireLoad(c);
    const double area = typedArea ? values[0] : *c.area;
    reading.refusal = NaturalFire::refusal(in, area, design.value_or(0));
    if (reading.refusal.isEmpty())
        reading.inputs = in;
    return reading;
}

void IncendioNaturale::inputsEdited()
{
    if (m_updating)
        return;
    // Only accepted inputs become the calculation's; refused ones leave it without a natural
    // fire, so that nothing is printed from them.
    m_updating = true;
    m_session.setNaturalFire(readFields().inputs);
    m_updating = false;
    recompute();
}

void IncendioNaturale::recompute()
{
    if (m_updating)
        return;
    const Calculation &c = m_session.calculation();
    const auto design = designFireLoad(c);
    // The activity method knows the area class only: A_f is typed here.
    m_af->setVisible(c.area.has_value());
    m_typedAreaRow->setVisible(!c.area);
    m_af->setText(c.area ? ItalianNumbers::toText(*c.area) + QStringLiteral(" m²") : QString());
    m_qfd->setText(design ? ItalianNumbers::toFixed2(*design) + QStringLiteral(" MJ/m²")
                          : QStringLiteral("non ancora calcolato"));
    const Reading reading = readFields();
    m_message->setText(reading.refusal);
    std::optional<NaturalFireResult> result;
    if (reading.inputs)
        result = NaturalFire::compute(
            *reading.inputs, c.area.value_or(reading.inputs->floorArea.value_or(0)), *design);
    showResult(result);
    m_class->setText(NaturalFireTexts::requiredClass(c));
}

void IncendioNaturale::showResult(const std::optional<NaturalFireResult> &r)
{
    m_o->setText(r ? NaturalFireTexts::openingFactor(*r) : QString());
    m_gamma->setText(r ? NaturalFireTexts::gamma(*r) : QString());
    m_qtd->setText(r ? NaturalFireTexts::totalLoad(*r) : QString());
    m_tmax->setText(r ? NaturalFireTexts::maxMinutes(*r) : QString());
    m_regime->setText(r ? NaturalFireTexts::regime(*r) : QString());
    m_thetaMax->setText(r ? NaturalFireTexts::maxTemperature(*r) : QString());
    m_end->setText(r ? NaturalFireTexts::endMinutes(*r) : QString());
    m_ted->setText(r ? NaturalFireTexts::equivalentMinutes(*r) : QString());
    m_warnings->setText(r ? r->warnings.join(QLatin1Char('\n')) : QString());
    m_chart->setChart(r ? std::optional<ReportBlock>(ReportDocuments::naturalFireCurve(*r))
                        : std::nullopt);
    const QVector<CurvePoint> rows = r ? r->table() : QVector<CurvePoint>();
    m_table->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        for (int column = 0; column < 2; ++column) {
            const QString text = column == 0 ? ItalianNumbers::toText(rows.at(i).minutes)
                                             : NaturalFireTexts::celsius(rows.at(i).celsius);
            auto *item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(i, column, item);
        }
    }
}
