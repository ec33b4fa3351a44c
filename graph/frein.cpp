#include "graph/frein.h"

#include "common/accessible.h"
#include "common/numfmt.h"
#include "common/surface.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace graph
{

Frein::Frein(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Tracé en cours"));
    setFixedSize(5295 / 15, 420 / 15);
    setMouseTracking(true);
    Command1 = new QLabel(QStringLiteral("Arrêter"), this);
    command2 = new QLabel(QStringLiteral("Terminer"), this);
    Command1->setGeometry(360 / 15, 120 / 15, 2100 / 15, 240 / 15);
    command2->setGeometry(2880 / 15, 120 / 15, 2100 / 15, 240 / 15);
    for (QLabel *l : {Command1, command2}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(arialFont(8));
        l->setMouseTracking(true);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        l->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #808080; }"));
        l->setFocusPolicy(Qt::TabFocus);
    }
    // Screen readers see the two labels as the buttons they are.
    const std::pair<QLabel *, QString> roles[] = {
        {Command1, QStringLiteral("Arrêter le tracé là où il en est (touche Échap)")},
        {command2, QStringLiteral("Terminer la courbe par le calcul (touche Entrée)")}};
    for (const auto &[l, help] : roles) {
        accessible::Description d;
        d.role = QAccessible::Button;
        d.name = [l = l] { return l->text(); };
        d.description = [help = help] { return help; };
        d.press = [this, l = l] { l == Command1 ? emit arreter() : emit terminer(); };
        accessible::describe(l, d);
    }
    // From the main window's outer corner, as the window itself is placed.
    if (parent) {
        const QPoint tl = parent->window()->frameGeometry().topLeft();
        move(tl.x() + 6540 / 15, tl.y() + 3690 / 15);
    }
}

void Frein::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int h = height();
    for (int d = 0; d <= h; ++d) {
        const double f = double(d) / h;
        p.setPen(QColor(numfmt::cint(255 - f * 55), numfmt::cint(255 - f * 55),
                        numfmt::cint(255 - f * 75)));
        p.drawLine(0, d, 800, d);
    }
}

void Frein::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        emit arreter();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit terminer();
        return;
    case Qt::Key_Space:
        if (focusWidget() == Command1) {
            emit arreter();
            return;
        }
        if (focusWidget() == command2) {
            emit terminer();
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void Frein::setState(int label, int state)
{
    if (m_state[label] == state)
        return;
    m_state[label] = state;
    QLabel *l = label == 0 ? Command1 : command2;
    l->setStyleSheet(state ? QStringLiteral("QLabel { border: 1px solid #000080; background: "
                                            "#fffff0; color: #000080; font-weight: bold; }")
                           : QStringLiteral("QLabel { border: 1px solid #808080; }"));
}

void Frein::pointerAt(const QPoint &pos)
{
    if (Command1->geometry().contains(pos)) {
        setState(0, 1);
        setState(1, 0);
    } else if (command2->geometry().contains(pos)) {
        setState(0, 0);
        setState(1, 1);
    } else {
        setState(0, 0);
        setState(1, 0);
    }
}

void Frein::mouseMoveEvent(QMouseEvent *event)
{
    pointerAt(event->position().toPoint());
}

bool Frein::eventFilter(QObject *watched, QEvent *event)
{
    QLabel *l = qobject_cast<QLabel *>(watched);
    if (l && event->type() == QEvent::MouseMove)
        pointerAt(l->geometry().center());
    if (l && event->type() == QEvent::MouseButtonRelease) {
        if (l == Command1)
            emit arreter();
        else
            emit terminer();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace graph
