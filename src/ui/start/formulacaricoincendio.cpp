#include "ui/start/formulacaricoincendio.h"

#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

FormulaCaricoIncendio::FormulaCaricoIncendio()
    : MainScreen("FormulaCaricoIncendio", QStringLiteral("Formula Carico d'Incendio"))
{
    auto *layout = new QVBoxLayout(this);
    auto *line1 = makeLabel(this, "Label1", QStringLiteral("Determinare il carico di incendio"));
    auto *line2 = makeLabel(this, "Label2", QStringLiteral(" specifico di progetto"));
    line1->setFont(headingFont(15));
    line2->setFont(headingFont(15));
    layout->addWidget(line1);
    layout->addWidget(line2);

    // A text in a frame of its own, wrapped to the window's width.
    const auto addFramedText = [this, layout](const char *frameName, const char *labelName,
                                              const QString &text) {
        auto *frame = new QGroupBox(this);
        frame->setObjectName(QString::fromLatin1(frameName));
        auto *frameLayout = new QVBoxLayout(frame);
        QLabel *label = makeLabel(frame, labelName, text);
        label->setWordWrap(true);
        frameLayout->addWidget(label);
        layout->addWidget(frame);
    };
    addFramedText(
        "Frame1", "Label5",
        QStringLiteral(
            "Per carico d'incendio specifico deve intendersi il potenziale termico netto della "
            "totalità dei materiali combustibili contenuti in uno spazio, riferito all'unità di "
            "superficie."));

    // The symbol q_f,d stands in the blank parenthesis of the sentence.
    auto *sentence = new QHBoxLayout;
    auto *before = makeLabel(
        this, "Label4", QStringLiteral("Il Valore del carico d'incendio specifico di progetto ("));
    sentence->addWidget(before);
    sentence->addWidget(makeSymbol(this, "Image1", Symbols::qfd, 12));
    sentence->addWidget(
        new QLabel(QStringLiteral(") è determinato secondo la seguente relazione:"), this));
    sentence->addStretch();
    layout->addLayout(sentence);

    auto *relation = new QHBoxLayout;
    relation->addStretch();
    relation->addWidget(makeSymbol(this, "Picture1", Symbols::relation, 18));
    relation->addWidget(makeLabel(this, "Label3", QStringLiteral("[MJ/m²]")));
    relation->addStretch();
    layout->addLayout(relation);

    addFramedText(
        "Frame3", "Label6",
        QStringLiteral(
            "Il carico d'incendio specifico di progetto è il carico d'incendio specifico corretto "
            "in base ai parametri indicatori del rischio di incendio del compartimento e dei "
            "fattori relativi alle misure di protezione presenti."));

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");
    resize(640, sizeHint().height());

    connect(next, &QPushButton::clicked, this,
            [this] { showThenHide(router().screen(ScreenRouter::Screen::MethodChooser), *this); });
    connect(back, &QPushButton::clicked, this,
            [this] { showThenHide(router().screen(ScreenRouter::Screen::Start), *this); });
}
