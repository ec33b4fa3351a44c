#pragma once
// The colour of a sample known only by its spectrum (the food dyes and the
// mixtures): white light through 1 cm of it, seen in three broad bands.
#include <QColor>
#include <array>

namespace schematic
{

// table: 401 coefficients from 400 nm (L·mmol-1·cm-1); c in mol·L-1. Each
// component runs from 50 (nothing transmitted) to 235 (everything), as the
// other solutions' colours do; a colourless sample is the same light grey.
QColor couleurSpectre(const std::array<float, 401> &table, double c);

} // namespace schematic
