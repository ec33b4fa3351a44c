#pragma once
// A picture box's drawing surface: a persistent image over an optional
// background picture, drawn in whole pixels without anti-aliasing, with text
// printed at a current position as the original program did.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;

class Surface
{
public:
    explicit Surface(int width = 1, int height = 1, const QColor &backColor = Qt::white);
    ~Surface();
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    // Logical size in pixels; the image itself holds width x ratio pixels.
    int width() const { return m_width; }
    int height() const { return m_height; }
    void resize(int width, int height);
    // Draws at the screen's density so lines and text stay sharp on scaled
    // desktops; every coordinate stays in logical pixels.
    void setDevicePixelRatio(qreal ratio);
    qreal devicePixelRatio() const { return m_dpr; }
    const QImage &image() const
    {
        flush();
        return m_image;
    }
    // Whoever takes the image to draw on it may change any of it.
    QImage &image()
    {
        flush();
        m_dirty = QRect(0, 0, m_width, m_height);
        return m_image;
    }
    QColor pixel(int x, int y) const
    {
        return QColor(image().pixel(int(x * m_dpr), int(y * m_dpr)));
    }

    void setBackColor(const QColor &c) { m_backColor = c; }
    QColor backColor() const { return m_backColor; }
    // Wipes the drawings back to the background picture (or the back colour).
    void cls();
    // The current image becomes the background picture.
    void freeze()
    {
        m_picture = image();
        m_dirty = QRect();
    }
    // Drops the background picture; the image itself is unchanged.
    void clearPicture() { m_picture = QImage(); }
    bool hasPicture() const { return !m_picture.isNull(); }

    // Lines include both end points; boxes cover both corners.
    void line(double x1, double y1, double x2, double y2, const QColor &c);
    // Line from the last point drawn.
    void lineTo(double x, double y, const QColor &c);
    void box(double x1, double y1, double x2, double y2, const QColor &c);
    void fillBox(double x1, double y1, double x2, double y2, const QColor &c);
    void pset(double x, double y, const QColor &c);
    // Part of an ellipse, angles in radians counter-clockwise from 3 o'clock.
    void arc(double cx, double cy, double rx, double ry, double start, double end, const QColor &c);
    void drawImage(int x, int y, const QImage &img);
    void setLineWidth(int w) { m_lineWidth = w < 1 ? 1 : w; }
    int lineWidth() const { return m_lineWidth; }
    double lastX() const { return m_lastX; }
    double lastY() const { return m_lastY; }

    // Text at the current position, in the current font and fore colour.
    void setFont(const QFont &f) { m_font = f; }
    const QFont &font() const { return m_font; }
    QFont &font() { return m_font; }
    void setFontName(const QString &family);
    void setFontSize(double points);
    void setBold(bool b) { m_font.setBold(b); }
    void setItalic(bool i) { m_font.setItalic(i); }
    void setForeColor(const QColor &c) { m_foreColor = c; }
    QColor foreColor() const { return m_foreColor; }
    double currentX = 0;
    double currentY = 0;
    // Prints and leaves the position after the text on the same line.
    void print(const QString &text);
    // Prints and goes to the start of the next line.
    void printLine(const QString &text = QString());
    double textWidth(const QString &text) const;
    double textHeight(const QString &text = QStringLiteral("W")) const;

    // The painter on the image, for routines that paint a whole picture with
    // the primitives below; the image must not be read while it is in use.
    // One painter stays open while drawing goes on: opening one per line made
    // a ten-curve redraw several times slower.
    QPainter &painter();
    // The device that text is measured on.
    const QPaintDevice *metricsDevice() const { return &m_image; }

private:
    QPainter &openPainter();
    void flush() const;
    // What the drawings since the last wipe may have touched (logical
    // pixels): a wipe over the background picture restores only that.
    void touched(double x1, double y1, double x2, double y2, double margin = 2);
    QRect m_dirty;
    mutable std::unique_ptr<QPainter> m_painter;
    QImage m_image;
    QImage m_picture;
    int m_width = 1;
    int m_height = 1;
    qreal m_dpr = 1;
    QColor m_backColor;
    QColor m_foreColor = Qt::black;
    QFont m_font;
    int m_lineWidth = 1;
    double m_lastX = 0;
    double m_lastY = 0;
};

// The primitives exactly as a surface draws them, in whole logical pixels,
// for routines that paint one picture onto any painter.
namespace pixeldraw
{
// A line with both end points, at the surface's line width and density.
void line(QPainter &p, double x1, double y1, double x2, double y2, const QColor &c,
          int lineWidth = 1, qreal dpr = 1);
// A single pixel, when it lies within size.
void pset(QPainter &p, double x, double y, const QColor &c, const QSize &size);
// Text with its top-left corner at (x, y), measured on metrics; returns the x
// after it.
double print(QPainter &p, const QPaintDevice *metrics, const QFont &font, const QColor &c, double x,
             double y, const QString &text);
} // namespace pixeldraw

// The standard 16-colour palette.
QColor qbColor(int n);

// Arial as the program's fonts expect it; Liberation Sans stands in for it.
QFont arialFont(double points, bool bold = false, bool italic = false);
