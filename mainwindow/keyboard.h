#pragma once
// The main window without a mouse: focus order through the panels, the tab
// strip and the up-down controls by the arrow keys, and keys for the graph's
// buttons. Mouse use is unchanged.
#include <QPoint>

class FeuilleP;
class QWidget;

namespace keyboard
{

// Shortcuts of the graph's buttons, also named in the help.
inline constexpr const char *kTracer = "Ctrl+T";
inline constexpr const char *kSupprimer = "Ctrl+D";
inline constexpr const char *kEffacer = "Ctrl+Shift+E";

void install(FeuilleP &w);

// Where a pop-up menu of a button opens: at the pointer when the pointer is
// over the button, below the button when it was pressed from the keyboard.
QPoint popupPosition(const QWidget *button);

} // namespace keyboard
