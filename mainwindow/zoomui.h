#pragma once
// Where the teacher chooses the zoom: Ctrl++, Ctrl+- and Ctrl+0 in the main
// window and its right-click menu (the help window has its own choice,
// common/zoomchooser).
class FeuilleP;
class QWidget;
class QMenu;

namespace zoomui
{

void install(FeuilleP &w);
// The four zoom steps as a menu section, the one in force ticked.
void addZoomActions(QMenu *menu);

} // namespace zoomui
