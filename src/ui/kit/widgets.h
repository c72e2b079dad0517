#pragma once

#include <QLabel>
#include <QString>
#include <functional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A label that acts as a link (the "i" of the start screen, the "*" of the report pages).
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString &text, QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text);
QLineEdit *makeLineEdit(QWidget *parent, const char *name, const QString &text = QString());
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption);
QComboBox *makeEditableCombo(QWidget *parent, const char *name, const QStringList &items = {});
// Case-insensitive inline completion from the chooser's own list, which never fills an
// emptied text with an entry.
void useEntryCompletion(QComboBox *combo);
// Enter in `field` runs `action` instead of reaching the window's default button.
void onEnter(QLineEdit *field, std::function<void()> action);
template <class Screen> void onEnter(QLineEdit *field, Screen *screen, void (Screen::*handler)())
{
    onEnter(field, [screen, handler] { (screen->*handler)(); });
}
QCheckBox *makeCheck(QWidget *parent, const char *name);
QRadioButton *makeOption(QWidget *parent, const char *arrayName, int index);

// Name of element `index` of the control array `arrayName` ("Option1", 0 -> "Option1_0").
QString arrayElementName(const char *arrayName, int index);

// The row of buttons at a screen's foot: the back button ("&Indietro", Alt+I) at the left, the
// forward one at the right, the screen's default button (Enter).
struct NavigationBar {
    QPushButton *back;
    QPushButton *next;
};
NavigationBar addNavigationBar(QBoxLayout *layout, QWidget *parent, const char *backName,
                               const char *nextName,
                               const QString &nextCaption = QStringLiteral("&Avanti"));

QFont headingFont(double pointSize = 14, bool bold = true);
