#include "ui/start/frmabout.h"

#include "core/regulation.h"
#include "core/userprompt.h"
#include "ui/kit/widgets.h"
#include "ui/start/avvio.h"

#include <QGridLayout>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

frmAbout::frmAbout() : SecondaryWindow("frmAbout", QStringLiteral("Informazioni su ") + kAppTitle)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    auto *picture = makeLabel(this, "Picture1", QString());
    picture->setPixmap(ardivoPicture(72));
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    auto *icon = makeLabel(this, "picIcon", QString());
    icon->setPixmap(ardivoPicture(24));
    layout->addWidget(icon, 3, 0, Qt::AlignTop);

    auto *name = makeLabel(this, "Label1", QStringLiteral("Ardivo"));
    name->setFont(headingFont(20));
    layout->addWidget(name, 0, 1);
    layout->addWidget(makeLabel(this, "Label5", QStringLiteral("ver. 1.0")), 0, 2, Qt::AlignRight);
    auto *description = makeLabel(
        this, "lblDescription",
        QStringLiteral("Classifica le costruzioni in base al risultato del calcolo del carico "
                       "d'incendio specifico di progetto, secondo la regolamentazione sulla "
                       "resistenza al fuoco delle costruzioni."));
    description->setWordWrap(true);
    layout->addWidget(description, 1, 1, 1, 2);
    layout->addWidget(makeLabel(this, "lblDecreto", QStringLiteral("Progetto Ardivo")), 2, 1, 1, 2);
    layout->addWidget(
        makeLabel(this, "Label7",
                  QStringLiteral("Calcolo del carico d'incendio specifico di progetto")),
        3, 1, 1, 2);
    layout->addWidget(makeLabel(this, "Label6", QStringLiteral("Classi di resistenza al fuoco")), 4,
                      1, 1, 2);
    QStringList rules;
    for (Rule rule : Regulation::rules())
        rules << Regulation::forRule(rule).name;
    auto *rulesLabel = makeLabel(this, "Label4", rules.join(QLatin1Char('\n')));
    layout->addWidget(rulesLabel, 5, 1, 1, 2);
    layout->addWidget(makeLabel(this, "Label8", QStringLiteral("Progetto: ")), 6, 1);
    layout->addWidget(makeLabel(this, "Label2", QStringLiteral("gli autori del progetto Ardivo")),
                      6, 2);
    layout->addWidget(makeLabel(this, "Label9", QStringLiteral("Sviluppo: ")), 7, 1);
    layout->addWidget(makeLabel(this, "lblDisclaimer", QStringLiteral("Progetto Ardivo")), 7, 2);
    layout->addWidget(makeLabel(this, "Label10", QStringLiteral("Anno 2007")), 8, 1, 1, 2);
    auto *warning = makeLabel(
        this, "Label3",
        QStringLiteral(
            "Attenzione: Il presente programma è sviluppato per scopi di studio e ricerca. "
            "Qualsiasi utilizzo a fini professionali non comporta assunzione di "
            "responsabilità da parte degli autori"));
    warning->setWordWrap(true);
    layout->addWidget(warning, 9, 0, 1, 3);

    auto *ok = makeButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    auto *sysInfo = makeButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    layout->addLayout(buttons, 10, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    setMinimumWidth(520);

    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

QStringList frmAbout::systemInfoPrograms()
{
    return {QStringLiteral("gnome-system-monitor"), QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"), QStringLiteral("xfce4-taskmanager")};
}

void frmAbout::StartSysInfo()
{
    for (const QString &program : systemInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showMessage(QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili."));
}
