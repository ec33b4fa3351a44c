#include "calibration/overlay.h"

#include "common/surface.h"

#include <QPainter>
#include <QPolygon>
#include <cmath>

namespace calib
{

namespace
{

constexpr int kLeft = 60, kRight = 360, kTop = 30, kBottom = 330;

int px(double v)
{
    return int(std::nearbyint(v));
}

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 1e6 && std::fabs(y) < 1e6;
}

// Clips the segment to the plot area (Liang-Barsky); false when nothing is left.
bool clip(double &x1, double &y1, double &x2, double &y2)
{
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - kLeft, kRight - x1, y1 - kTop, kBottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

void segment(QPainter &p, double x1, double y1, double x2, double y2)
{
    if (!finite(x1, y1) || !finite(x2, y2) || !clip(x1, y1, x2, y2))
        return;
    p.drawLine(px(x1), px(y1), px(x2), px(y2));
}

} // namespace

double xOf(const GraphView &v, double c)
{
    return std::pow(10.0, 6 - v.updown2) * c * 300 + 60;
}

double yOf(const GraphView &v, double a)
{
    return 330 - a / v.absaxe * 300;
}

void paintOverlay(QPainter &p, const GraphView &v, const QVector<Point> &points, const Fit &f,
                  bool reading)
{
    if (!(v.absaxe > 0) || points.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(kLeft - 4, kTop - 12, kRight - kLeft + 9, kBottom - kTop + 16));

    // The line first, so that the markers stay on top of it.
    const Point *unknown = nullptr;
    for (const Point &pt : points) {
        if (pt.unknown)
            unknown = &pt;
    }
    std::optional<double> cRead;
    if (f.ok && unknown && !unknown->beyond)
        cRead = readConcentration(f, unknown->absorbance);
    if (f.ok) {
        double c0 = f.model == Model::Origin ? 0.0 : f.cmin;
        double c1 = f.cmax;
        if (cRead && std::isfinite(*cRead) && *cRead >= 0) {
            c0 = std::min(c0, *cRead);
            c1 = std::max(c1, *cRead);
        }
        p.setPen(QPen(kLineColour, 0));
        segment(p, xOf(v, c0), yOf(v, lineAt(f, c0)), xOf(v, c1), yOf(v, lineAt(f, c1)));
    }

    if (reading && cRead && unknown) {
        const double ya = yOf(v, unknown->absorbance);
        const double xc = xOf(v, *cRead);
        QPen dash(kReadingColour, 0, Qt::DashLine);
        p.setPen(dash);
        segment(p, kLeft, ya, xc, ya);
        segment(p, xc, ya, xc, kBottom);
        // Arrow heads: across to the line, then down to the axis.
        p.setPen(QPen(kReadingColour, 0));
        if (finite(xc, ya) && xc >= kLeft && xc <= kRight && ya >= kTop && ya <= kBottom) {
            const int x = px(xc), y = px(ya);
            p.drawLine(x - 5, y - 3, x - 1, y);
            p.drawLine(x - 5, y + 3, x - 1, y);
            p.drawLine(x - 3, kBottom - 5, x, kBottom - 1);
            p.drawLine(x + 3, kBottom - 5, x, kBottom - 1);
            QFont font = arialFont(8, false, true);
            p.setFont(font);
            p.setPen(kReadingColour);
            p.drawText(QPoint(x + 3, kBottom - 4), QStringLiteral("cₓ"));
            p.drawText(QPoint(kLeft + 3, y - 3), QStringLiteral("Aₓ"));
        }
    }

    for (const Point &pt : points) {
        const double xd = xOf(v, pt.c);
        double yd = yOf(v, pt.absorbance);
        const bool above = pt.beyond || yd < kTop;
        if (above)
            yd = kTop;
        if (!finite(xd, yd))
            continue;
        int x = px(std::clamp(xd, double(kLeft), double(kRight + 2)));
        const int y = px(yd);
        const QColor col = pt.unknown ? kReadingColour : kPointColour;
        if (pt.unknown) {
            const QPolygon diamond(
                {QPoint(x, y - 4), QPoint(x + 4, y), QPoint(x, y + 4), QPoint(x - 4, y)});
            p.setPen(QPen(col, 0));
            p.setBrush(Qt::white);
            p.drawPolygon(diamond);
        } else if (above) {
            p.setPen(QPen(col, 0));
            p.setBrush(Qt::white);
            p.drawRect(x - 2, y - 2, 4, 4);
        } else {
            p.setPen(QPen(col, 0));
            p.setBrush(col);
            p.drawRect(x - 2, y - 2, 4, 4);
        }
        if (above) {
            // Beyond the scale or the reading limit: an arrow upwards.
            p.setPen(QPen(col, 0));
            p.drawLine(x, y - 4, x, y - 10);
            p.drawLine(x, y - 10, x - 2, y - 8);
            p.drawLine(x, y - 10, x + 2, y - 8);
        }
    }
    p.restore();
}

} // namespace calib
