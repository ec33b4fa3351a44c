#pragma once
// What the graph shows, kept as a description rather than as pixels: the
// axes that echGraph set up and every point, line and cross plotted since.
// One routine paints it onto any painter: at the graph's own pixels for the
// screen's persistent image, or as vectors for the printer and the SVG export.
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QVector>
#include <functional>

class QPainter;
class QPaintDevice;

namespace graph
{

struct GraphPicture {
    QSize size{417, 361};
    QColor back = Qt::white;
    int typegraphe = 1;
    float absmax = 1; // the largest absorbance the scale was chosen for
    int exponent = 3; // UpDown2: the concentration axis ends at 10^(exponent - 6)
    // Text is measured as on the screen: a device with the screen image's density.
    QImage metrics = QImage(1, 1, QImage::Format_RGB32);

    struct Mark {
        // Overlay: the drawing laid over the curves at that moment (overlay).
        enum Kind { Point, LineTo, Cross, Overlay };
        Kind kind = Point;
        QPointF at; // graph pixels, before any rounding
        QColor colour;
    };
    QVector<Mark> marks; // in the order they were plotted
    // What another subsystem draws over the curves, in graph pixels.
    std::function<void(QPainter &)> overlay;
};

enum class Rendering {
    Pixels, // whole pixels, no anti-aliasing: the screen's image
    Vectors // exact coordinates at any scale: printer, SVG
};

// The grid, the axes with their arrows and graduations, and the titles.
void paintAxes(QPainter &p, const GraphPicture &g, Rendering r, const QPaintDevice *metrics,
               qreal dpr = 1);
// One plotted mark. last is where the polyline's pen stands; it moves on.
void paintMark(QPainter &p, const GraphPicture::Mark &m, Rendering r, QPointF &last,
               const QSize &size, qreal dpr = 1);
// The whole graph: background, axes and every mark.
void paintGraph(QPainter &p, const GraphPicture &g, Rendering r);

} // namespace graph
