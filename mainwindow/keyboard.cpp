#include "mainwindow/keyboard.h"

#include "common/focusring.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "mainwindow/appareil.h"
#include "mainwindow/feuillep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextEdit>

namespace keyboard
{

namespace
{

// Arrow keys on the tab strip and on the two up-down controls. The controls
// take the focus from the Tab key only: a click on them leaves the focus
// where it was, as before, so a number box still ends its editing as it did.
class Keys : public QObject
{
public:
    explicit Keys(FeuilleP &w) : QObject(&w), m_w(w) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        if (watched == m_w.Onglets)
            return ongletKey(ke->key());
        if (auto *u = qobject_cast<UpDown *>(watched))
            return upDownKey(u, ke->key());
        if (auto *bar = qobject_cast<QScrollBar *>(watched))
            return scrollKey(bar, ke->key());
        return false;
    }

private:
    bool ongletKey(int key)
    {
        const int now = m_w.onglet < 1 ? 1 : m_w.onglet;
        int tab = now;
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            tab = now > 1 ? now - 1 : 3;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            tab = now < 3 ? now + 1 : 1;
            break;
        case Qt::Key_Home:
            tab = 1;
            break;
        case Qt::Key_End:
            tab = 3;
            break;
        default:
            return false;
        }
        if (tab != now)
            m_w.setOnglet(tab);
        return true;
    }
    static bool upDownKey(UpDown *u, int key)
    {
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            u->stepUp();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Left:
            u->stepDown();
            return true;
        case Qt::Key_Home:
            u->setValue(u->minimum());
            return true;
        case Qt::Key_End:
            u->setValue(u->maximum());
            return true;
        default:
            return false;
        }
    }
    // The wavelength as a slider: up and right raise it, Page Up by its large
    // change (a scroll bar's own keys run the other way).
    static bool scrollKey(QScrollBar *bar, int key)
    {
        QAbstractSlider::SliderAction a = QAbstractSlider::SliderNoAction;
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            a = QAbstractSlider::SliderSingleStepAdd;
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            a = QAbstractSlider::SliderSingleStepSub;
            break;
        case Qt::Key_PageUp:
            a = QAbstractSlider::SliderPageStepAdd;
            break;
        case Qt::Key_PageDown:
            a = QAbstractSlider::SliderPageStepSub;
            break;
        case Qt::Key_Home:
            a = QAbstractSlider::SliderToMinimum;
            break;
        case Qt::Key_End:
            a = QAbstractSlider::SliderToMaximum;
            break;
        default:
            return false;
        }
        bar->triggerAction(a);
        return true;
    }
    FeuilleP &m_w;
};

void shortcut(FeuilleP &w, const QKeySequence &keys, const std::function<void()> &action)
{
    auto *s = new QShortcut(keys, &w);
    s->setContext(Qt::WindowShortcut);
    QObject::connect(s, &QShortcut::activated, &w, action);
}

} // namespace

QPoint popupPosition(const QWidget *button)
{
    const QPoint pointer = QCursor::pos();
    if (button->rect().contains(button->mapFromGlobal(pointer)))
        return pointer;
    return button->mapToGlobal(QPoint(0, button->height()));
}

void install(FeuilleP &w)
{
    Controls &c = w.c;
    // A click gives the tab strip, the scroll bar and the pictures the focus, as
    // on the original platform, so the keys act on what was just clicked; the
    // up-downs take it only by Tab, so that clicking their arrows leaves a
    // number box as it is.
    for (QWidget *t : std::initializer_list<QWidget *>{w.Onglets, c.HScroll1, c.schema, c.graphik})
        t->setFocusPolicy(Qt::StrongFocus);
    for (QWidget *t : std::initializer_list<QWidget *>{c.UpDown1, c.UpDown2})
        t->setFocusPolicy(Qt::TabFocus);
    auto *keys = new Keys(w);
    for (QWidget *t : std::initializer_list<QWidget *>{w.Onglets, c.HScroll1, c.UpDown1, c.UpDown2})
        t->installEventFilter(keys);

    // Reading order: the command row, the tab strip and its panel, the
    // graph's buttons, the schematic and the graph, then the exercise text and
    // the real instrument's bar below it. Hidden controls are passed over.
    QList<QWidget *> order = {w.Command2, w.Command11, w.Command4, w.Command10,
                              w.Command8, w.Command7,  w.Command1, w.Onglets,
                              c.Combo1,   c.Text1,     c.Text2};
    if (w.appareil)
        order << w.appareil->compositionButton();
    order << c.HScroll1 << c.UpDown1 << c.Option1[0] << c.Option1[1] << c.UpDown2 << c.Check1
          << c.Rappo << c.Command5 << c.Command6 << c.Command3 << c.schema << c.graphik << c.btexo
          << c.fich << c.supertext;
    if (w.appareil) {
        for (QWidget *b : w.appareil->bar()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (b->focusPolicy() & Qt::TabFocus)
                order << b;
        }
    }
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    // The tab strip from anywhere in the window.
    const auto step = [&w](int delta) {
        const int now = w.onglet < 1 ? 1 : w.onglet;
        w.setOnglet((now - 1 + delta + 3) % 3 + 1);
    };
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Tab), [step] { step(1); });
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [step] { step(-1); });
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [step] { step(-1); });

    // The graph's buttons; a disabled button ignores its key as its click.
    shortcut(w, QKeySequence(QString::fromLatin1(kTracer)), [&c] { c.Command5->click(); });
    shortcut(w, QKeySequence(QString::fromLatin1(kSupprimer)), [&c] { c.Command6->click(); });
    shortcut(w, QKeySequence(QString::fromLatin1(kEffacer)), [&c] { c.Command3->click(); });

    // Disabling the window during a trace took the focus away: a keyboard
    // user finds it back on "Tracer".
    QObject::connect(w.graph.get(), &graph::Graph::traceFinished, &w, [&c] {
        if (FocusRing::instance().keyboardMode())
            c.Command5->setFocus(Qt::OtherFocusReason);
    });

    FocusRing::instance();
}

} // namespace keyboard
