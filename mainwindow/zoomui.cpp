#include "mainwindow/zoomui.h"

#include "common/zoom.h"
#include "mainwindow/feuillep.h"

#include <QActionGroup>
#include <QMenu>
#include <QShortcut>

namespace zoomui
{

namespace
{
void shortcut(FeuilleP &w, const QKeySequence &keys, int direction)
{
    auto *s = new QShortcut(keys, &w);
    const auto act = [direction] { zoom::request(zoom::step(zoom::current(), direction)); };
    QObject::connect(s, &QShortcut::activated, &w, act);
    // One key press may match several of these sequences (X11 offers the
    // shifted and the unshifted reading of "+"): Qt then calls it ambiguous,
    // and each of them means the same step.
    QObject::connect(s, &QShortcut::activatedAmbiguously, &w, act);
}
} // namespace

void addZoomActions(QMenu *menu)
{
    menu->addSection(QStringLiteral("Taille de l'affichage (vidéoprojecteur)"));
    auto *group = new QActionGroup(menu);
    for (int z : zoom::kSteps) {
        QAction *a = menu->addAction(zoom::label(z));
        a->setCheckable(true);
        a->setChecked(z == zoom::current());
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [z] { zoom::request(z); });
    }
    menu->addSeparator();
    const struct {
        const char *text;
        QKeySequence keys;
        int direction;
    } moves[] = {{"Agrandir", QKeySequence(Qt::CTRL | Qt::Key_Plus), 1},
                 {"Réduire", QKeySequence(Qt::CTRL | Qt::Key_Minus), -1},
                 {"Taille normale", QKeySequence(Qt::CTRL | Qt::Key_0), 0}};
    for (const auto &m : moves) {
        QAction *a = menu->addAction(QString::fromUtf8(m.text));
        a->setShortcut(m.keys); // shown only: the window's shortcuts act
        a->setShortcutVisibleInContextMenu(true);
        const int d = m.direction;
        QObject::connect(a, &QAction::triggered, menu,
                         [d] { zoom::request(zoom::step(zoom::current(), d)); });
    }
}

void install(FeuilleP &w)
{
    // The keys as the layouts deliver them: "+" is shifted on the main row of
    // both the QWERTY and the AZERTY keyboard (Ctrl+Shift++ reaches the
    // window, not Ctrl++), and the AZERTY "0" is the shifted "à".
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Plus), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Equal), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Minus), -1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_0), 0);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_0), 0);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Agrave), 0);
    w.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&w, &QWidget::customContextMenuRequested, &w, [&w](const QPoint &pos) {
        if (w.graph->tracing())
            return;
        QMenu menu(&w);
        addZoomActions(&menu);
        menu.exec(w.mapToGlobal(pos));
    });
}

} // namespace zoomui
