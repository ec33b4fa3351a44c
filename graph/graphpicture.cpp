#include "graph/graphpicture.h"

#include "common/numfmt.h"
#include "common/surface.h"
#include "graph/scale.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace graph
{
namespace
{

const QColor kGrid(192, 192, 192);

// Lines and text in one of the two renderings; text is placed by its
// top-left corner and measured on the screen's device in both.
class Pen
{
public:
    Pen(QPainter &p, Rendering r, const QPaintDevice *metrics, qreal dpr)
        : m_p(p), m_r(r), m_metrics(metrics), m_dpr(dpr), m_font(arialFont(8))
    {
    }
    double x = 0;
    double y = 0;

    void line(double x1, double y1, double x2, double y2, const QColor &c)
    {
        if (m_r == Rendering::Pixels) {
            pixeldraw::line(m_p, x1, y1, x2, y2, c, 1, m_dpr);
            return;
        }
        m_p.setPen(QPen(c, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void setItalic(bool italic) { m_font.setItalic(italic); }
    double width(const QString &t) const
    {
        return QFontMetricsF(m_font, m_metrics).horizontalAdvance(t);
    }
    double height() const { return QFontMetricsF(m_font, m_metrics).height(); }
    void print(const QString &t)
    {
        if (m_r == Rendering::Pixels) {
            x = pixeldraw::print(m_p, m_metrics, m_font, Qt::black, x, y, t);
            return;
        }
        // Sized for the painter's device so that it covers as many graph
        // pixels as on the screen.
        QFont f = m_font;
        const int deviceDpi = m_p.device() ? m_p.device()->logicalDpiY() : 0;
        if (deviceDpi > 0)
            f.setPointSizeF(m_font.pointSizeF() * m_metrics->logicalDpiY() / deviceDpi);
        m_p.setFont(f);
        m_p.setPen(Qt::black);
        m_p.drawText(QPointF(x, y + QFontMetricsF(m_font, m_metrics).ascent()), t);
        x += width(t);
    }

private:
    QPainter &m_p;
    Rendering m_r;
    const QPaintDevice *m_metrics;
    qreal m_dpr;
    QFont m_font;
};

} // namespace

void paintAxes(QPainter &p, const GraphPicture &g, Rendering r, const QPaintDevice *metrics,
               qreal dpr)
{
    Pen pen(p, r, metrics, dpr);
    const bool wavelength = g.typegraphe == 1;
    const int columns = wavelength ? 8 : 10;
    const double columnWidth = 300.0 / columns;
    for (int i = 0; i <= columns; ++i)
        pen.line(60 + columnWidth * i, 30, 60 + columnWidth * i, 330, kGrid);
    pen.line(60, 330, 381, 330, Qt::black);
    pen.line(374, 327, 380, 330, Qt::black);
    pen.line(374, 333, 380, 330, Qt::black);
    const Scale sc = chooseScale(g.absmax);
    const double pas = 300.0 / sc.n;
    for (int i = 1; i <= sc.n; ++i) {
        const double y = 330 - pas * i;
        pen.line(60, y, 360, y, kGrid);
        const QString label = graduationLabel(sc, i);
        pen.x = 56 - pen.width(label);
        pen.y = y - pen.height() / 2;
        pen.print(label);
    }
    pen.line(60, 10, 60, 330, Qt::black);
    pen.line(63, 16, 60, 10, Qt::black);
    pen.line(57, 16, 60, 10, Qt::black);
    for (int i = 0; i <= columns; ++i) {
        const QString t = wavelength ? QString::number(400 + 50 * i) : numfmt::general(i / 10.0);
        pen.x = 60 + columnWidth * i - pen.width(t) / 2;
        pen.y = 330;
        pen.print(t);
    }
    pen.x = 370;
    pen.y = 312;
    if (wavelength) {
        pen.print(QStringLiteral("λ  "));
        pen.print(QStringLiteral(" (nm)"));
    } else {
        pen.setItalic(true);
        pen.print(QStringLiteral("c "));
        pen.setItalic(false);
        pen.x = 330;
        pen.y = 344;
        pen.print(QStringLiteral("(× 10"));
        pen.y -= 3;
        pen.print(QString::number(g.exponent - 6));
        pen.y += 3;
        pen.print(QStringLiteral(" mol · L"));
        pen.y -= 3;
        pen.print(QStringLiteral("-1"));
        pen.y += 3;
        pen.print(QStringLiteral(")"));
    }
    pen.setItalic(true);
    pen.x = 70;
    pen.y = 5;
    pen.print(QStringLiteral("A"));
}

void paintMark(QPainter &p, const GraphPicture::Mark &m, Rendering r, QPointF &last,
               const QSize &size, qreal dpr)
{
    if (m.kind == GraphPicture::Mark::Overlay)
        return; // painted by paintGraph, which holds the overlay
    if (r == Rendering::Pixels) {
        // The points fall on whole pixels, and a line starts where the last
        // one ended on the screen.
        const QPointF at(numfmt::cint(m.at.x()), numfmt::cint(m.at.y()));
        switch (m.kind) {
        case GraphPicture::Mark::Point:
            pixeldraw::pset(p, at.x(), at.y(), m.colour, size);
            last = at;
            break;
        case GraphPicture::Mark::LineTo:
            pixeldraw::line(p, last.x(), last.y(), at.x(), at.y(), m.colour, 1, dpr);
            last = at;
            break;
        case GraphPicture::Mark::Cross:
            pixeldraw::line(p, at.x() - 3, at.y(), at.x() + 4, at.y(), m.colour, 1, dpr);
            pixeldraw::line(p, at.x(), at.y() - 3, at.x(), at.y() + 4, m.colour, 1, dpr);
            last = QPointF(at.x(), at.y() + 4);
            break;
        case GraphPicture::Mark::Overlay:
            break;
        }
        return;
    }
    p.setBrush(Qt::NoBrush);
    switch (m.kind) {
    case GraphPicture::Mark::Point:
        p.setPen(QPen(m.colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPoint(m.at);
        last = m.at;
        break;
    case GraphPicture::Mark::LineTo:
        p.setPen(QPen(m.colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(last, m.at);
        last = m.at;
        break;
    case GraphPicture::Mark::Cross:
        p.setPen(QPen(m.colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawLine(m.at + QPointF(-3, 0), m.at + QPointF(4, 0));
        p.drawLine(m.at + QPointF(0, -3), m.at + QPointF(0, 4));
        last = m.at + QPointF(0, 4);
        break;
    case GraphPicture::Mark::Overlay:
        break;
    }
}

namespace
{

// The overlay as the screen paints it: on a painter in its initial state, at
// whole graph pixels.
void paintOverlay(QPainter &p, const GraphPicture &g, Rendering r)
{
    if (!g.overlay)
        return;
    p.save();
    if (r == Rendering::Vectors)
        p.translate(-0.5, -0.5);
    else
        p.setRenderHints(p.renderHints(), false);
    p.setPen(QPen());
    p.setBrush(Qt::NoBrush);
    g.overlay(p);
    p.restore();
}

} // namespace

void paintGraph(QPainter &p, const GraphPicture &g, Rendering r)
{
    p.save();
    const QRectF area(QPointF(0, 0), QSizeF(g.size));
    p.setClipRect(area);
    p.fillRect(area, g.back);
    if (r == Rendering::Vectors) {
        // The screen's one-pixel lines cover the pixels at whole coordinates.
        p.translate(0.5, 0.5);
        p.setRenderHint(QPainter::Antialiasing, true);
    } else {
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    paintAxes(p, g, r, &g.metrics);
    QPointF last(60, 10);
    if (r == Rendering::Vectors) {
        // Runs of one colour as one path each, so that the joins are smooth.
        QPainterPath path;
        QColor colour;
        const auto flush = [&] {
            if (path.elementCount() > 1) {
                p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                p.drawPath(path);
            } else if (path.elementCount() == 1) {
                p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPoint(path.elementAt(0));
            }
            path = QPainterPath();
        };
        for (const GraphPicture::Mark &m : g.marks) {
            if (m.kind == GraphPicture::Mark::Overlay) {
                flush();
                paintOverlay(p, g, r);
                continue;
            }
            if (m.kind == GraphPicture::Mark::Cross) {
                flush();
                paintMark(p, m, r, last, g.size);
                continue;
            }
            if (m.colour != colour || m.kind == GraphPicture::Mark::Point) {
                flush();
                colour = m.colour;
                path.moveTo(m.kind == GraphPicture::Mark::Point ? m.at : last);
            }
            if (m.kind == GraphPicture::Mark::LineTo)
                path.lineTo(m.at);
            last = m.at;
        }
        flush();
    } else {
        for (const GraphPicture::Mark &m : g.marks) {
            if (m.kind == GraphPicture::Mark::Overlay)
                paintOverlay(p, g, r);
            else
                paintMark(p, m, r, last, g.size);
        }
    }
    p.restore();
}

} // namespace graph
