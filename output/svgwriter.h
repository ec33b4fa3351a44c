#pragma once
// A paint device that writes what is painted on it as an SVG document: lines,
// polygons, rectangles, ellipses, paths, text and pictures, each element in a
// group carrying the pen, brush, font and transform it was drawn with. It
// stands in for Qt SVG's generator where that module is not available, with
// the part of its interface the graph's export uses.
#include <QPaintDevice>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QIODevice;

namespace output
{

class SvgWriterEngine;

class SvgWriter : public QPaintDevice
{
public:
    SvgWriter();
    ~SvgWriter() override;

    void setOutputDevice(QIODevice *device) { m_device = device; }
    QIODevice *outputDevice() const { return m_device; }
    void setSize(const QSize &size) { m_size = size; }
    QSize size() const { return m_size; }
    void setViewBox(const QRect &box) { m_viewBox = box; }
    QRect viewBox() const { return m_viewBox; }
    void setResolution(int dpi) { m_resolution = dpi; }
    int resolution() const { return m_resolution; }
    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }
    void setDescription(const QString &text) { m_description = text; }
    QString description() const { return m_description; }

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QIODevice *m_device = nullptr;
    QSize m_size;
    QRect m_viewBox;
    int m_resolution = 72;
    QString m_title;
    QString m_description;
    std::unique_ptr<SvgWriterEngine> m_engine;
};

} // namespace output
