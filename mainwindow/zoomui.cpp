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
    QObject::connect(s, &QShortcut::activated, &w,
                     [direction] { zoom::request(zoom::step(zoom::current(), direction)); });
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
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Plus), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Equal), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal), 1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Minus), -1);
    shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_0), 0);
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
