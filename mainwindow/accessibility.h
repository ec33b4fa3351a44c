#pragma once
// French names, descriptions and roles of the main window's controls for
// screen readers, and the announcement of the readout when it changes.
#include <QString>

class FeuilleP;

namespace accessibility
{

void install(FeuilleP &w);

// What the schematic says: the reading first, then the settings behind it.
QString schemaDescription(const FeuilleP &w);
// What the graph says: its kind, its scale and the number of curves.
QString graphDescription(const FeuilleP &w);

} // namespace accessibility
