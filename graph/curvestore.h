#pragma once
// The graph's curves, kept as the settings they were traced with: every
// redraw recomputes them from the spectra.
#include "model/samples.h"

#include <QColor>
#include <QString>
#include <array>

namespace graph
{

constexpr int kSlots = 10;

struct CurveSettings {
    QString conc;   // concentration text as shown, grouping spaces included
    QString ph;     // pH text
    int lambda = 0; // nm
    int cuve = 0;   // thickness code 1..3
    int sol = 0;    // solution list index

    // The real instrument and the mixture the curve was traced with.
    spectro::CurveExtras extra{};
};

struct CurveStore {
    std::array<CurveSettings, kSlots> curves;
    int dercourbe = -1; // last slot in use, -1 when empty

    // Chooses the slot of a new curve: 0 without superposition, else the next
    // one, dropping the oldest curve when all ten are in use.
    int nextSlot(bool superpose)
    {
        if (!superpose) {
            dercourbe = 0;
        } else if (++dercourbe > kSlots - 1) {
            for (int i = 0; i < kSlots - 1; ++i)
                curves[i] = curves[i + 1];
            dercourbe = kSlots - 1;
        }
        return dercourbe;
    }
};

inline QColor curveColour(int slot)
{
    static const QRgb colours[kSlots] = {qRgb(0, 0, 255),    qRgb(240, 120, 0),  qRgb(200, 0, 200),
                                         qRgb(0, 150, 0),    qRgb(230, 0, 0),    qRgb(0, 0, 0),
                                         qRgb(0, 150, 150),  qRgb(243, 35, 160), qRgb(0, 0, 128),
                                         qRgb(128, 128, 128)};
    return QColor(colours[(slot % kSlots + kSlots) % kSlots]);
}

} // namespace graph
