#pragma once
// The copy menu `menucop` of "Co&pier": the schematic with or without its
// background, the graph and the legend, each put alone on the clipboard.
#include <QPoint>
#include <functional>

class QMenu;

class Feuille;

namespace graph
{
struct CurveStore;
}

namespace output
{

// Pops up the menu at globalPos; when it closes, chosen item or not, the help
// line shows the copy confirmation `msgcopie`.
void popupCopyMenu(Feuille &f, const graph::CurveStore &store, QPoint globalPos);

// Items other subsystems add at the end of the menu.
extern std::function<void(QMenu &menu, Feuille &f)> extraCopyItems;

void cop001(Feuille &f);  // "Copier le schéma avec le fond"
void cop003(Feuille &f);  // "Copier le schéma sans le fond"
void Cop002(Feuille &f);  // "Copier le graphe"
void copileg(Feuille &f); // "Copier la légende"

} // namespace output
