#pragma once
// The measured points, the calibration line and the reading of the unknown,
// drawn over the A = f(c) graph in graph units (417 × 361, plot area x 60 to
// 360, y 30 to 330) on any painter: the screen's surface, a file, a test.
#include "calibration/model.h"

#include <QColor>

class QPainter;

namespace calib
{

const QColor kPointColour(200, 0, 90);
const QColor kLineColour(200, 0, 90);
const QColor kReadingColour(0, 110, 190);

struct GraphView {
    int updown2 = 3;   // limit cmax = 10^(updown2 - 6) mol/L
    double absaxe = 0; // absorbance at the top of the axis
};

double xOf(const GraphView &v, double c);
double yOf(const GraphView &v, double a);

// Points in their colour (the unknown as a diamond, a point beyond the limit
// as an open square with an arrow at the top of the plot), the line over the
// measured range, and, when `reading` is set and the unknown has been
// measured, the construction from A across to the line and down to the c axis.
void paintOverlay(QPainter &p, const GraphView &v, const QVector<Point> &points, const Fit &f,
                  bool reading);

} // namespace calib
