#pragma once
// Colours of the light at a wavelength and of the solution in the cuvette.
#include <QColor>
#include <QString>
#include <optional>

namespace schematic
{

struct LightColour {
    int rouge = 0;
    int vert = 0;
    int bleu = 0;
    QColor rgb() const { return QColor(rouge, vert, bleu); }
};

// `quecol`: the beam colour; empty outside 400..800 nm (the caller keeps the
// previous colour).
std::optional<LightColour> quecol(int lambda);

// `coulsol`: the solution colour from its number, concentration and pH texts.
QColor coulsol(int numsol, const QString &concText, const QString &phText);

} // namespace schematic
