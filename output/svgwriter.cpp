#include "output/svgwriter.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>

namespace output
{

namespace
{

QString num(double v)
{
    return QString::number(v, 'g', 8);
}

QString colour(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

QString opacity(const char *name, const QColor &c)
{
    if (c.alpha() == 255)
        return QString();
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), num(c.alphaF()));
}

QString pathData(const QPainterPath &path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += QStringLiteral("M%1,%2 ").arg(num(e.x), num(e.y));
            break;
        case QPainterPath::LineToElement:
            d += QStringLiteral("L%1,%2 ").arg(num(e.x), num(e.y));
            break;
        case QPainterPath::CurveToElement:
            d += QStringLiteral("C%1,%2 ").arg(num(e.x), num(e.y));
            break;
        case QPainterPath::CurveToDataElement:
            d += QStringLiteral("%1,%2 ").arg(num(e.x), num(e.y));
            break;
        }
    }
    return d.trimmed();
}

QString points(const QPointF *p, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QStringLiteral("%1,%2 ").arg(num(p[i].x()), num(p[i].y()));
    return s.trimmed();
}

QString pngData(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

} // namespace

class SvgWriterEngine : public QPaintEngine
{
public:
    SvgWriterEngine() : QPaintEngine(AllFeatures) {}

    bool begin(QPaintDevice *device) override
    {
        m_writer = static_cast<SvgWriter *>(device);
        QIODevice *out = m_writer->outputDevice();
        if (!out || (!out->isOpen() && !out->open(QIODevice::WriteOnly)) || !out->isWritable())
            return false;
        const QSize size = m_writer->size();
        const QRect box =
            m_writer->viewBox().isValid() ? m_writer->viewBox() : QRect(QPoint(0, 0), size);
        m_svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                               "<svg width=\"%1\" height=\"%2\" viewBox=\"%3 %4 %5 %6\" "
                               "xmlns=\"http://www.w3.org/2000/svg\" "
                               "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\">\n")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(box.x())
                    .arg(box.y())
                    .arg(box.width())
                    .arg(box.height());
        m_svg +=
            QStringLiteral("<title>%1</title>\n<desc>%2</desc>\n")
                .arg(m_writer->title().toHtmlEscaped(), m_writer->description().toHtmlEscaped());
        m_groupOpen = false;
        m_dirty = true;
        return true;
    }

    bool end() override
    {
        closeGroup();
        m_svg += QStringLiteral("</svg>\n");
        const QByteArray bytes = m_svg.toUtf8();
        m_svg.clear();
        return m_writer->outputDevice()->write(bytes) == bytes.size();
    }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        if (state.state() & DirtyFont)
            m_font = state.font();
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
        if (state.state() & (DirtyPen | DirtyBrush | DirtyFont | DirtyTransform))
            m_dirty = true;
    }

    void drawPath(const QPainterPath &path) override
    {
        element(QStringLiteral("<path fill-rule=\"%1\" d=\"%2\"/>")
                    .arg(path.fillRule() == Qt::OddEvenFill ? QLatin1String("evenodd")
                                                            : QLatin1String("nonzero"),
                         pathData(path)));
    }

    void drawPolygon(const QPointF *p, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode) {
            element(
                QStringLiteral("<polyline fill=\"none\" points=\"%1\"/>").arg(points(p, count)));
            return;
        }
        element(QStringLiteral("<polygon fill-rule=\"%1\" points=\"%2\"/>")
                    .arg(mode == OddEvenMode ? QLatin1String("evenodd") : QLatin1String("nonzero"),
                         points(p, count)));
    }

    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            element(QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>")
                        .arg(num(lines[i].x1()), num(lines[i].y1()), num(lines[i].x2()),
                             num(lines[i].y2())));
    }

    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            element(QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>")
                        .arg(num(rects[i].x()), num(rects[i].y()), num(rects[i].width()),
                             num(rects[i].height())));
    }

    void drawEllipse(const QRectF &r) override
    {
        element(QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"/>")
                    .arg(num(r.center().x()), num(r.center().y()), num(r.width() / 2),
                         num(r.height() / 2)));
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        // The text takes the pen's colour, whatever the brush.
        const QColor c = m_pen.color();
        element(QStringLiteral("<text x=\"%1\" y=\"%2\" fill=\"%3\"%4 stroke=\"none\" "
                               "xml:space=\"preserve\">%5</text>")
                    .arg(num(p.x()), num(p.y()), colour(c), opacity("fill-opacity", c),
                         item.text().toHtmlEscaped()));
    }

    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags) override
    {
        const QImage part = sr == QRectF(image.rect()) ? image : image.copy(sr.toAlignedRect());
        element(
            QStringLiteral("<image x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" "
                           "preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,%5\"/>")
                .arg(num(r.x()), num(r.y()), num(r.width()), num(r.height()), pngData(part)));
    }

    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override
    {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }

    Type type() const override { return User; }

private:
    void element(const QString &text)
    {
        if (m_dirty)
            openGroup();
        m_svg += text;
        m_svg += QLatin1Char('\n');
    }

    void closeGroup()
    {
        if (m_groupOpen)
            m_svg += QStringLiteral("</g>\n");
        m_groupOpen = false;
    }

    void openGroup()
    {
        closeGroup();
        QString g = QStringLiteral("<g");
        if (m_brush.style() == Qt::NoBrush) {
            g += QStringLiteral(" fill=\"none\"");
        } else {
            g += QStringLiteral(" fill=\"%1\"").arg(colour(m_brush.color()));
            g += opacity("fill-opacity", m_brush.color());
        }
        if (m_pen.style() == Qt::NoPen) {
            g += QStringLiteral(" stroke=\"none\"");
        } else {
            const QColor c = m_pen.color();
            g += QStringLiteral(" stroke=\"%1\"").arg(colour(c)) + opacity("stroke-opacity", c);
            const double width = m_pen.widthF() > 0 ? m_pen.widthF() : 1.0;
            g += QStringLiteral(" stroke-width=\"%1\"").arg(num(width));
            if (m_pen.isCosmetic())
                g += QStringLiteral(" vector-effect=\"non-scaling-stroke\"");
            switch (m_pen.capStyle()) {
            case Qt::RoundCap:
                g += QStringLiteral(" stroke-linecap=\"round\"");
                break;
            case Qt::SquareCap:
                g += QStringLiteral(" stroke-linecap=\"square\"");
                break;
            default:
                g += QStringLiteral(" stroke-linecap=\"butt\"");
                break;
            }
            switch (m_pen.joinStyle()) {
            case Qt::RoundJoin:
                g += QStringLiteral(" stroke-linejoin=\"round\"");
                break;
            case Qt::BevelJoin:
                g += QStringLiteral(" stroke-linejoin=\"bevel\"");
                break;
            default:
                g += QStringLiteral(" stroke-linejoin=\"miter\"");
                break;
            }
            if (m_pen.style() != Qt::SolidLine) {
                QStringList dashes;
                for (const qreal d : m_pen.dashPattern())
                    dashes << num(d * width);
                if (!dashes.isEmpty())
                    g += QStringLiteral(" stroke-dasharray=\"%1\"")
                             .arg(dashes.join(QLatin1Char(',')));
            }
        }
        // Sizes in pixels of the device, at the resolution the painter measured with.
        const double px = m_font.pixelSize() > 0
                              ? m_font.pixelSize()
                              : m_font.pointSizeF() * m_writer->resolution() / 72.0;
        g += QStringLiteral(" font-family=\"%1\" font-size=\"%2\" font-weight=\"%3\" "
                            "font-style=\"%4\"")
                 .arg(m_font.family().toHtmlEscaped(), num(px),
                      m_font.bold() ? QLatin1String("bold") : QLatin1String("normal"),
                      m_font.italic() ? QLatin1String("italic") : QLatin1String("normal"));
        if (!m_transform.isIdentity())
            g += QStringLiteral(" transform=\"matrix(%1 %2 %3 %4 %5 %6)\"")
                     .arg(num(m_transform.m11()), num(m_transform.m12()), num(m_transform.m21()),
                          num(m_transform.m22()), num(m_transform.dx()), num(m_transform.dy()));
        m_svg += g + QStringLiteral(">\n");
        m_groupOpen = true;
        m_dirty = false;
    }

    SvgWriter *m_writer = nullptr;
    QString m_svg;
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QTransform m_transform;
    bool m_groupOpen = false;
    bool m_dirty = true;
};

SvgWriter::SvgWriter() = default;
SvgWriter::~SvgWriter() = default;

QPaintEngine *SvgWriter::paintEngine() const
{
    if (!m_engine)
        const_cast<SvgWriter *>(this)->m_engine = std::make_unique<SvgWriterEngine>();
    return m_engine.get();
}

int SvgWriter::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / m_resolution);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / m_resolution);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_resolution;
    case PdmNumColors:
        return 0xffffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace output
