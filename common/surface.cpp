#include "common/surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <cstring>

namespace
{
int px(double v)
{
    return int(std::nearbyint(v));
}
} // namespace

Surface::Surface(int width, int height, const QColor &backColor) : m_backColor(backColor)
{
    m_font = arialFont(8);
    resize(width, height);
}

Surface::~Surface()
{
    flush();
}

QPainter &Surface::painter()
{
    // Whatever is painted through it is out of sight of the wipe's bookkeeping.
    m_dirty = QRect(0, 0, m_width, m_height);
    return openPainter();
}

QPainter &Surface::openPainter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
    }
    return *m_painter;
}

void Surface::flush() const
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void Surface::resize(int width, int height)
{
    flush();
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    m_image = QImage(int(std::ceil(m_width * m_dpr)), int(std::ceil(m_height * m_dpr)),
                     QImage::Format_RGB32);
    m_image.setDevicePixelRatio(m_dpr);
    m_picture = QImage();
    m_image.fill(m_backColor);
    m_dirty = QRect();
}

void Surface::setDevicePixelRatio(qreal ratio)
{
    if (ratio <= 0 || ratio == m_dpr)
        return;
    m_dpr = ratio;
    resize(m_width, m_height);
}

void Surface::setFontName(const QString &family)
{
    m_font.setFamily(family);
}

void Surface::setFontSize(double points)
{
    m_font.setPointSizeF(points);
}

void Surface::touched(double x1, double y1, double x2, double y2, double margin)
{
    const QRectF r = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    m_dirty |= r.adjusted(-margin, -margin, margin + 1, margin + 1).toAlignedRect();
}

void Surface::cls()
{
    flush();
    if (!m_picture.isNull() && m_picture.size() == m_image.size()) {
        // Into the image's own buffer when it has one, and only where the
        // drawings went: sharing the picture would cost a new buffer at the
        // next drawing, and the readout redrawn at each nanometre of a trace
        // would copy the whole schematic (four times larger at 200 %).
        if (m_image.isDetached() && m_image.format() == m_picture.format() &&
            m_image.bytesPerLine() == m_picture.bytesPerLine() && !m_image.isNull()) {
            const QRect area = m_dirty & QRect(0, 0, m_width, m_height);
            if (!area.isEmpty()) {
                const int depth = m_image.depth() / 8;
                const int x0 = std::max(0, int(std::floor(area.left() * m_dpr)));
                const int x1 =
                    std::min(m_image.width(), int(std::ceil((area.right() + 1) * m_dpr)));
                const int y0 = std::max(0, int(std::floor(area.top() * m_dpr)));
                const int y1 =
                    std::min(m_image.height(), int(std::ceil((area.bottom() + 1) * m_dpr)));
                for (int y = y0; y < y1; ++y)
                    std::memcpy(m_image.scanLine(y) + x0 * depth,
                                m_picture.constScanLine(y) + x0 * depth, size_t(x1 - x0) * depth);
            }
        } else {
            m_image = m_picture;
        }
    } else {
        m_image.fill(m_backColor);
    }
    m_dirty = QRect();
    currentX = 0;
    currentY = 0;
}

void Surface::line(double x1, double y1, double x2, double y2, const QColor &c)
{
    touched(x1, y1, x2, y2, m_lineWidth + 1);
    pixeldraw::line(openPainter(), x1, y1, x2, y2, c, m_lineWidth, m_dpr);
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::lineTo(double x, double y, const QColor &c)
{
    line(m_lastX, m_lastY, x, y, c);
}

void Surface::box(double x1, double y1, double x2, double y2, const QColor &c)
{
    touched(x1, y1, x2, y2);
    const int l = px(std::min(x1, x2));
    const int r = px(std::max(x1, x2));
    const int t = px(std::min(y1, y2));
    const int b = px(std::max(y1, y2));
    QPainter &p = openPainter();
    p.setPen(QPen(c, m_dpr > 1 ? 1 : 0));
    if (m_dpr > 1) {
        const QRectF f(l + 0.5, t + 0.5, r - l, b - t);
        p.drawLine(f.topLeft(), f.topRight());
        p.drawLine(f.bottomLeft(), f.bottomRight());
        p.drawLine(f.topLeft(), f.bottomLeft());
        p.drawLine(f.topRight(), f.bottomRight());
    } else {
        p.drawLine(l, t, r, t);
        p.drawLine(l, b, r, b);
        p.drawLine(l, t, l, b);
        p.drawLine(r, t, r, b);
    }
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::fillBox(double x1, double y1, double x2, double y2, const QColor &c)
{
    touched(x1, y1, x2, y2);
    const int l = px(std::min(x1, x2));
    const int r = px(std::max(x1, x2));
    const int t = px(std::min(y1, y2));
    const int b = px(std::max(y1, y2));
    QPainter &p = openPainter();
    p.fillRect(QRect(QPoint(l, t), QPoint(r, b)), c);
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::pset(double x, double y, const QColor &c)
{
    touched(x, y, x, y);
    pixeldraw::pset(openPainter(), x, y, c, QSize(m_width, m_height));
    m_lastX = x;
    m_lastY = y;
}

void Surface::arc(double cx, double cy, double rx, double ry, double start, double end,
                  const QColor &c)
{
    touched(cx - rx, cy - ry, cx + rx, cy + ry, m_lineWidth + 1);
    QPainter &p = openPainter();
    p.setPen(QPen(c, m_lineWidth <= 1 ? 0 : m_lineWidth));
    const QRectF r(cx - rx, cy - ry, 2 * rx, 2 * ry);
    const double deg = 180.0 / M_PI;
    // Qt angles are in 1/16 degree, counter-clockwise, like the original's.
    p.drawArc(r, int(std::lround(start * deg * 16)), int(std::lround((end - start) * deg * 16)));
}

void Surface::drawImage(int x, int y, const QImage &img)
{
    const QSizeF size = QSizeF(img.size()) / img.devicePixelRatio();
    touched(x, y, x + size.width(), y + size.height());
    openPainter().drawImage(x, y, img);
}

void Surface::print(const QString &text)
{
    const QFontMetricsF fm(m_font, &m_image);
    const QRectF ink = fm.boundingRect(text).translated(currentX, currentY + fm.ascent());
    touched(std::min(ink.left(), currentX), std::min(ink.top(), currentY),
            std::max(ink.right(), currentX + fm.horizontalAdvance(text)),
            std::max(ink.bottom(), currentY + fm.height()), 3);
    currentX =
        pixeldraw::print(openPainter(), &m_image, m_font, m_foreColor, currentX, currentY, text);
}

void Surface::printLine(const QString &text)
{
    if (!text.isEmpty())
        print(text);
    currentX = 0;
    currentY += textHeight();
}

double Surface::textWidth(const QString &text) const
{
    return QFontMetricsF(m_font, &m_image).horizontalAdvance(text);
}

double Surface::textHeight(const QString &) const
{
    return QFontMetricsF(m_font, &m_image).height();
}

namespace pixeldraw
{

// The one-pixel pen, set again only when it changes: a curve's four hundred
// segments share it.
void thinPen(QPainter &p, const QColor &c, qreal dpr)
{
    const QPen &now = p.pen();
    const int width = dpr > 1 ? 1 : 0;
    if (now.color() != c || now.width() != width || now.style() != Qt::SolidLine ||
        now.capStyle() != Qt::SquareCap || now.joinStyle() != Qt::BevelJoin ||
        now.brush().style() != Qt::SolidPattern)
        p.setPen(QPen(c, width));
}

void line(QPainter &p, double x1, double y1, double x2, double y2, const QColor &c, int lineWidth,
          qreal dpr)
{
    if (lineWidth <= 1) {
        const QPoint a(px(x1), px(y1));
        const QPoint b(px(x2), px(y2));
        if (a.x() == b.x() || a.y() == b.y()) {
            // A row or a column: exactly its pixels, filled at once (the
            // gradients are drawn a row at a time).
            p.fillRect(QRect(a, b).normalized(), c);
            return;
        }
        thinPen(p, c, dpr);
        if (dpr > 1) {
            // Centred on the pixels' middles, the one-pixel pen covers exactly
            // their device pixels instead of straddling two logical pixels.
            const QPointF o(0.5, 0.5);
            p.drawLine(QPointF(a) + o, QPointF(b) + o);
        } else {
            p.drawLine(a, b);
        }
        // The end point, which the pen leaves out: its pixel filled directly.
        p.fillRect(QRect(b, QSize(1, 1)), c);
    } else {
        p.setPen(QPen(c, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
}

void pset(QPainter &p, double x, double y, const QColor &c, const QSize &size)
{
    const int ix = px(x);
    const int iy = px(y);
    if (ix >= 0 && iy >= 0 && ix < size.width() && iy < size.height())
        p.fillRect(QRect(ix, iy, 1, 1), c);
}

double print(QPainter &p, const QPaintDevice *metrics, const QFont &font, const QColor &c, double x,
             double y, const QString &text)
{
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font);
    p.setPen(c);
    const QFontMetricsF fm(font, metrics);
    p.drawText(QPointF(x, y + fm.ascent()), text);
    return x + fm.horizontalAdvance(text);
}

} // namespace pixeldraw

QColor qbColor(int n)
{
    static const QRgb palette[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
    return QColor(palette[n & 15]);
}

QFont arialFont(double points, bool bold, bool italic)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}
