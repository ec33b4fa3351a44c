#pragma once
// The values report beside the graph: one paragraph per stored curve, in the
// curve's colour, with the settings that stay fixed along it.
#include "graph/curvestore.h"

#include <QStringList>

class QTextEdit;

namespace output
{

// Rewrites the whole report (`rapport`). names: the solution list texts;
// wavelengthGraph: whether the wavelength graph is selected now.
void rapport(QTextEdit *rappo, const graph::CurveStore &store, const QStringList &names,
             bool wavelengthGraph);

// Cuvette thickness in cm for a thickness code: "0,5", "1", "1,5", or empty.
QString thicknessText(int cuve);

} // namespace output
