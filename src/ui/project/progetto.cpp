#include "ui/project/progetto.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"
#include "ui/reports/anteprimastampa.h"
#include "ui/reports/reportprinter.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

CompartmentTableModel::CompartmentTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    connect(&ProjectDocument::current(), &ProjectDocument::changed, this,
            &CompartmentTableModel::reload);
    reload();
}

void CompartmentTableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    for (const Compartment &compartment : ProjectDocument::current().project().compartments)
        m_rows << compartmentRow(compartment);
    endResetModel();
}

int CompartmentTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CompartmentTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(compartmentColumns().size());
}

QVariant CompartmentTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_rows.at(index.row()).value(index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= 2)
        return int(Qt::AlignCenter);
    return QVariant();
}

QVariant CompartmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return compartmentColumns().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ---------------------------------------------------------------------------------------------

Progetto::Progetto() : SecondaryWindow("Progetto", QStringLiteral("Progetto"))
{
    auto *layout = new QVBoxLayout(this);
    auto *identity = new QGridLayout;
    const auto field = [&](const char *name, const QString &caption, int row, int column) {
        auto *edit = makeLineEdit(this, name);
        edit->setMaxLength(CalculationRules::kLongestName);
        identity->addWidget(makeLabel(this, nullptr, caption), row, column);
        identity->addWidget(edit, row, column + 1);
        connect(edit, &QLineEdit::textEdited, this, &Progetto::identityEdited);
        return edit;
    };
    m_name = field("txtNomeProgetto", QStringLiteral("Progetto"), 0, 0);
    m_client = field("txtCommittente", QStringLiteral("Committente"), 1, 0);
    m_site = field("txtUbicazione", QStringLiteral("Ubicazione"), 2, 0);
    m_activity = field("txtAttivita", QStringLiteral("Attività"), 0, 2);
    m_technician = field("txtTecnico", QStringLiteral("Tecnico"), 1, 2);
    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("dtData"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    identity->addWidget(makeLabel(this, nullptr, QStringLiteral("Data")), 2, 2);
    identity->addWidget(m_date, 2, 3, Qt::AlignLeft);
    m_revision = field("txtRevisione", QStringLiteral("Revisione"), 3, 0);
    m_revision->setPlaceholderText(QStringLiteral("REV 01 del 12/01/2027"));
    identity->setColumnStretch(1, 1);
    identity->setColumnStretch(3, 1);
    layout->addLayout(identity);
    connect(m_date, &QDateEdit::dateChanged, this, &Progetto::identityEdited);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("DataGridCompartimenti"));
    m_table->setModel(new CompartmentTableModel(this));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);

    auto *compartments = new QHBoxLayout;
    auto *newCompartment =
        makeButton(this, "cmdNuovoCompartimento", QStringLiteral("Nuovo compartimento"));
    auto *openCompartment =
        makeButton(this, "cmdApriCompartimento", QStringLiteral("Apri compartimento"));
    auto *deleteCompartment =
        makeButton(this, "cmdEliminaCompartimento", QStringLiteral("Elimina compartimento"));
    for (QPushButton *button : {newCompartment, openCompartment, deleteCompartment})
        compartments->addWidget(button);
    compartments->addStretch();
    auto *summary = makeButton(this, "cmdStampaRiepilogo", QStringLiteral("Riepilogo"));
    auto *exportPdf = makeButton(this, "cmdEsportaPdf", QStringLiteral("Esporta PDF…"));
    auto *exportOdt = makeButton(this, "cmdEsportaOdt", QStringLiteral("Esporta ODT…"));
    auto *preview = makeButton(this, "cmdAnteprima", QStringLiteral("Anteprima…"));
    compartments->addWidget(summary);
    compartments->addWidget(exportPdf);
    compartments->addWidget(exportOdt);
    compartments->addWidget(preview);
    connect(preview, &QPushButton::clicked, this,
            [] { AnteprimaStampa::showDocument(ReportPrinter::projectDocument()); });
    connect(summary, &QPushButton::clicked, this, [this] { router().showSummary(); });
    connect(exportPdf, &QPushButton::clicked, this,
            [this] { projectCommands().exportProjectPdf(); });
    connect(exportOdt, &QPushButton::clicked, this,
            [this] { projectCommands().exportProjectOdt(); });
    layout->addLayout(compartments);

    auto *files = new QHBoxLayout;
    auto *newProject = makeButton(this, "cmdNuovoProgetto", QStringLiteral("Nuovo"));
    auto *openProject = makeButton(this, "cmdApriProgetto", QStringLiteral("Apri…"));
    auto *save = makeButton(this, "cmdSalvaProgetto", QStringLiteral("Salva"));
    auto *saveAs = makeButton(this, "cmdSalvaProgettoConNome", QStringLiteral("Salva con nome…"));
    newProject->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    openProject->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    saveAs->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    for (QPushButton *button : {newProject, openProject, save, saveAs})
        files->addWidget(button);
    files->addStretch();
    layout->addLayout(files);

    connect(newCompartment, &QPushButton::clicked, this,
            [this] { projectCommands().newCompartment(); });
    connect(openCompartment, &QPushButton::clicked, this, &Progetto::cmdApriCompartimento_Click);
    connect(m_table, &QTableView::doubleClicked, this, &Progetto::cmdApriCompartimento_Click);
    connect(deleteCompartment, &QPushButton::clicked, this,
            &Progetto::cmdEliminaCompartimento_Click);
    connect(newProject, &QPushButton::clicked, this, [this] { projectCommands().newProject(); });
    connect(openProject, &QPushButton::clicked, this, [this] { projectCommands().openProject(); });
    connect(save, &QPushButton::clicked, this, [this] { projectCommands().saveProject(); });
    connect(saveAs, &QPushButton::clicked, this, [this] { projectCommands().saveProjectAs(); });
    connect(&ProjectDocument::current(), &ProjectDocument::changed, this, &Progetto::showProject);
    showProject();
    resize(900, 460);
}

void Progetto::showProject()
{
    const ProjectDocument &document = ProjectDocument::current();
    const ProjectIdentity &identity = document.project().identity;
    // A field the user is typing in keeps its cursor: only a different text is set.
    const auto show = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    show(m_name, identity.name);
    show(m_client, identity.client);
    show(m_site, identity.site);
    show(m_activity, identity.activity);
    show(m_technician, identity.technician);
    show(m_revision, identity.revision);
    if (m_date->date() != identity.date) {
        const QSignalBlocker quiet(m_date);
        m_date->setDate(identity.date.isValid() ? identity.date : QDate::currentDate());
    }
    // "[*]" in a title marks where the modified sign goes; one in the file's name is doubled to
    // stay a text.
    QString fileName = document.displayName();
    fileName.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("Progetto - %1[*]").arg(fileName));
    setWindowModified(document.isModified());
}

void Progetto::identityEdited()
{
    ProjectDocument::current().setIdentity({m_name->text(), m_client->text(), m_site->text(),
                                            m_activity->text(), m_technician->text(),
                                            m_date->date(), m_revision->text()});
}

std::optional<QString> Progetto::selectedCompartment()
{
    const QModelIndex current = m_table->currentIndex();
    const auto &compartments = ProjectDocument::current().project().compartments;
    if (!current.isValid() || current.row() >= compartments.size()) {
        showMessage(QStringLiteral("Selezionare un compartimento nell'elenco"));
        return std::nullopt;
    }
    return compartments.at(current.row()).name;
}

void Progetto::cmdApriCompartimento_Click()
{
    const auto name = selectedCompartment();
    if (!name)
        return;
    const Project &project = ProjectDocument::current().project();
    projectCommands().openCompartment(project.compartments.at(*project.indexOf(*name)));
}

void Progetto::cmdEliminaCompartimento_Click()
{
    const auto name = selectedCompartment();
    if (!name)
        return;
    if (UserPrompt::current().confirm(
            QStringLiteral("Eliminare il compartimento «%1» dal progetto?").arg(*name), kAppTitle,
            UserPrompt::Icon::Warning))
        ProjectDocument::current().removeCompartment(*name);
}
