#pragma once
// The instrument schematic: its static layer, the measuring layer laid over
// it at every refresh, the cuvette animation and the window's background.
#include "common/surface.h"

#include <QRect>
#include <optional>

namespace schematic
{

// Gradient from RGB(255, 200, 155) at the top to white at y = height.
void fondschema(Surface &s, int height = 129, int width = 417);
// Static layer, frozen as the background picture; the caller then refreshes
// the measuring layer.
void deschema(Surface &s, int avecFond);

// Half-width of the cuvette for a thickness code.
int cuvetteHalfWidth(int code);

struct Measure {
    int cuvetteCode = 2;
    QColor coulLambda;
    int rouge = 0, vert = 0, bleu = 0;
    std::optional<QColor> coulSolution; // empty: the cuvette stays empty
    QString readout;                    // empty: no reading
    float absorbance = 0;
};
// The measuring layer (`majafficheur`'s drawing).
void drawMeasure(Surface &s, const Measure &m);

// One frame of the cuvette being lifted out of the compartment.
void animtube(Surface &s, int compteanim, int cuvetteCode, const std::optional<QColor> &solution,
              const QImage &hand);

// The main window's background: gradient and the shadow of the exercise text.
void formPaint(Surface &s, const QRect &supertext, int fichTop);

// The gloved hand that lifts the cuvette (32 x 32, transparent background).
QImage handPicture();

} // namespace schematic
