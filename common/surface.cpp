#include "common/surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

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

void Surface::cls()
{
    flush();
    if (!m_picture.isNull() && m_picture.size() == m_image.size())
        m_image = m_picture;
    else
        m_image.fill(m_backColor);
    currentX = 0;
    currentY = 0;
}

void Surface::line(double x1, double y1, double x2, double y2, const QColor &c)
{
    pixeldraw::line(painter(), x1, y1, x2, y2, c, m_lineWidth, m_dpr);
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::lineTo(double x, double y, const QColor &c)
{
    line(m_lastX, m_lastY, x, y, c);
}

void Surface::box(double x1, double y1, double x2, double y2, const QColor &c)
{
    const int l = px(std::min(x1, x2));
    const int r = px(std::max(x1, x2));
    const int t = px(std::min(y1, y2));
    const int b = px(std::max(y1, y2));
    QPainter &p = painter();
    p.setPen(QPen(c, m_dpr > 1 ? 1 : 0));
    p.drawLine(l, t, r, t);
    p.drawLine(l, b, r, b);
    p.drawLine(l, t, l, b);
    p.drawLine(r, t, r, b);
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::fillBox(double x1, double y1, double x2, double y2, const QColor &c)
{
    const int l = px(std::min(x1, x2));
    const int r = px(std::max(x1, x2));
    const int t = px(std::min(y1, y2));
    const int b = px(std::max(y1, y2));
    QPainter &p = painter();
    p.fillRect(QRect(QPoint(l, t), QPoint(r, b)), c);
    m_lastX = x2;
    m_lastY = y2;
}

void Surface::pset(double x, double y, const QColor &c)
{
    pixeldraw::pset(painter(), x, y, c, QSize(m_width, m_height));
    m_lastX = x;
    m_lastY = y;
}

void Surface::arc(double cx, double cy, double rx, double ry, double start, double end,
                  const QColor &c)
{
    QPainter &p = painter();
    p.setPen(QPen(c, m_lineWidth <= 1 ? 0 : m_lineWidth));
    const QRectF r(cx - rx, cy - ry, 2 * rx, 2 * ry);
    const double deg = 180.0 / M_PI;
    // Qt angles are in 1/16 degree, counter-clockwise, like the original's.
    p.drawArc(r, int(std::lround(start * deg * 16)), int(std::lround((end - start) * deg * 16)));
}

void Surface::drawImage(int x, int y, const QImage &img)
{
    painter().drawImage(x, y, img);
}

void Surface::print(const QString &text)
{
    currentX = pixeldraw::print(painter(), &m_image, m_font, m_foreColor, currentX, currentY, text);
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

void line(QPainter &p, double x1, double y1, double x2, double y2, const QColor &c, int lineWidth,
          qreal dpr)
{
    if (lineWidth <= 1) {
        p.setPen(QPen(c, dpr > 1 ? 1 : 0));
        const QPoint a(px(x1), px(y1));
        const QPoint b(px(x2), px(y2));
        if (a == b)
            p.drawPoint(a);
        else
            p.drawLine(a, b);
        p.drawPoint(b);
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
