#pragma once
// What the schematic adds when the real instrument is on: its settings above
// the drawing, the state of the blank over the display window, the
// transmittance under it.
#include "common/surface.h"

#include <QString>

namespace schematic
{

struct RealMarks {
    QString settings; // "Appareil réel : bande passante 2 nm, ..."
    bool blankValid = false;
    QString transmittance; // empty: not shown
};

// Drawn on the measuring layer, after drawMeasure.
void drawRealMarks(Surface &s, const RealMarks &m);

} // namespace schematic
