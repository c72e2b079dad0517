#include "ui/kit/widgets.h"

#include "ui/kit/screens.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit *makeLineEdit(QWidget *parent, const char *name, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

namespace {

// Inline completion that proposes nothing for an empty text. The line edit completes after
// each key, once the text's own checks have run: when a check has just emptied a refused text,
// an ordinary completer would fill in the first entry of the list and pick it.
class EntryCompleter : public QCompleter
{
public:
    using QCompleter::QCompleter;

    QStringList splitPath(const QString &path) const override
    {
        if (path.isEmpty())
            return {QString(QChar(QChar::LastValidCodePoint))}; // begins no entry
        return QCompleter::splitPath(path);
    }
};

} // namespace

void useEntryCompletion(QComboBox *combo)
{
    auto *completer = new EntryCompleter(combo->model(), combo);
    completer->setCompletionColumn(combo->modelColumn());
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    combo->setCompleter(completer);
}

QComboBox *makeEditableCombo(QWidget *parent, const char *name, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    useEntryCompletion(combo);
    return combo;
}

namespace {

class EnterAction : public QObject
{
public:
    EnterAction(QLineEdit *field, std::function<void()> action)
        : QObject(field), m_action(std::move(action))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_action();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

} // namespace

void onEnter(QLineEdit *field, std::function<void()> action)
{
    new EnterAction(field, std::move(action));
}

QCheckBox *makeCheck(QWidget *parent, const char *name)
{
    auto *check = new QCheckBox(parent);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QString arrayElementName(const char *arrayName, int index)
{
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(arrayName)).arg(index);
}

QRadioButton *makeOption(QWidget *parent, const char *arrayName, int index)
{
    auto *option = new QRadioButton(parent);
    option->setObjectName(arrayElementName(arrayName, index));
    return option;
}

NavigationBar addNavigationBar(QBoxLayout *layout, QWidget *parent, const char *backName,
                               const char *nextName, const QString &nextCaption)
{
    auto *row = new QHBoxLayout;
    NavigationBar bar{makeButton(parent, backName, QStringLiteral("&Indietro")),
                      makeButton(parent, nextName, nextCaption)};
    // Enter moves on.
    if (auto *screen = qobject_cast<MainScreen *>(parent))
        screen->setDefaultButton(bar.next);
    else
        bar.next->setDefault(true);
    row->addWidget(bar.back);
    row->addStretch();
    row->addWidget(bar.next);
    layout->addLayout(row);
    return bar;
}

QFont headingFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
