#include "ui/start/avvio.h"

#include "core/regulation.h"
#include "data/sharedstate.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QGridLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

QPixmap ardivoPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QPainterPath shield;
    shield.moveTo(32, 3);
    shield.lineTo(58, 12);
    shield.cubicTo(58, 38, 48, 52, 32, 61);
    shield.cubicTo(16, 52, 6, 38, 6, 12);
    shield.closeSubpath();
    p.fillPath(shield, QColor(0x2b, 0x3a, 0x55));
    QPainterPath flame;
    flame.moveTo(32, 14);
    flame.cubicTo(44, 26, 46, 36, 40, 45);
    flame.cubicTo(37, 50, 27, 50, 24, 45);
    flame.cubicTo(19, 37, 25, 30, 29, 26);
    flame.cubicTo(30, 31, 32, 33, 34, 34);
    flame.cubicTo(36, 27, 34, 20, 32, 14);
    p.fillPath(flame, QColor(0xe8, 0x5d, 0x1f));
    QPainterPath core;
    core.addEllipse(QRectF(28, 37, 8, 10));
    p.fillPath(core, QColor(0xff, 0xc8, 0x3d));
    return pixmap;
}

Avvio::Avvio() : MainScreen("Avvio", QStringLiteral("Avvio"))
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setVerticalSpacing(6);

    auto *picture = makeLabel(this, "Picture1", QString());
    picture->setPixmap(ardivoPicture(96));
    layout->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);

    auto *name = makeLabel(this, "Label1", QStringLiteral("Ardivo"));
    QFont palatino(QStringLiteral("Palatino"));
    palatino.setStyleHint(QFont::Serif);
    palatino.setPointSize(30);
    palatino.setBold(true);
    name->setFont(palatino);
    layout->addWidget(name, 0, 1);

    layout->addWidget(makeLabel(this, "Label2", QStringLiteral("Progetto Ardivo")), 1, 1);
    layout->addWidget(
        makeLabel(this, "Label3", QStringLiteral("Carico d'incendio specifico di progetto")), 2, 1);
    // The rules the program applies, as their tables name them.
    QStringList rules;
    for (Rule rule : Regulation::rules())
        rules << Regulation::forRule(rule).name;
    layout->addWidget(
        makeLabel(this, "Label4",
                  QStringLiteral("Classi di resistenza al fuoco - livello di prestazione %1")
                      .arg(Regulation::decree2007().performanceLevel)),
        3, 1);
    auto *rulesLabel = makeLabel(
        this, "lblDecreto", QStringLiteral("Secondo il ") + rules.join(QStringLiteral(" o il ")));
    rulesLabel->setWordWrap(true);
    layout->addWidget(rulesLabel, 4, 0, 1, 3);

    auto *heading =
        makeLabel(this, "lblTestata",
                  QStringLiteral("Classificazione di resistenza al fuoco delle costruzioni"));
    heading->setFont(headingFont(15));
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading, 5, 0, 1, 3);

    auto *version = makeLabel(this, "Label5", QStringLiteral("ver. 1.0"));
    auto *info = new LinkLabel(QStringLiteral("i"), this);
    info->setObjectName(QStringLiteral("Label6"));
    info->setToolTip(QStringLiteral("Informazioni su Ardivo"));
    QFont corsiva(QStringLiteral("DejaVu Serif"));
    corsiva.setItalic(true);
    corsiva.setBold(true);
    corsiva.setPointSize(18);
    info->setFont(corsiva);
    // Made in the order they stand, which is the order Tab goes through them.
    auto *project = makeButton(this, "cmdProgetto", QStringLiteral("Progetto"));
    auto *next = makeButton(this, "Command1", QStringLiteral("&Avanti"));
    setDefaultButton(next);

    auto *foot = new QHBoxLayout;
    foot->addWidget(version);
    foot->addSpacing(12);
    foot->addWidget(info);
    foot->addStretch();
    foot->addWidget(project);
    foot->addWidget(next);
    layout->addLayout(foot, 6, 0, 1, 3);
    layout->setRowMinimumHeight(5, 60);
    layout->setColumnStretch(2, 1);

    connect(next, &QPushButton::clicked, this, &Avvio::Command1_Click);
    connect(info, &LinkLabel::clicked, this, &Avvio::Label6_Click);
    connect(project, &QPushButton::clicked, this, [this] { router().showProjectWindow(); });
}

void Avvio::Command1_Click()
{
    InizFattProt();
    showThenHide(router().screen(ScreenRouter::Screen::Formula), *this);
}

void Avvio::Label6_Click()
{
    bringForward(router().screen(ScreenRouter::Screen::About));
}
