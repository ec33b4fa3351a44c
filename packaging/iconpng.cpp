// Renders an SVG picture with Qt's own renderer, on the build machine:
//   iconpng IN.svg OUT.png SIZE         a SIZE x SIZE square
//   iconpng IN.svg OUT.png @SCALE       the picture's own size times SCALE
//   iconpng IN.svg OUT.ico S1,S2,...    a Windows icon holding those sizes
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

namespace
{

QImage render(QSvgRenderer &svg, QSize size)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    svg.render(&p);
    p.end();
    return img;
}

template <typename T> void put(QByteArray &out, T value)
{
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

// An icon file whose entries are PNG images, as Windows reads them since Vista.
QByteArray icoFile(const QList<QImage> &images)
{
    QByteArray header;
    QByteArray data;
    put<quint16>(header, 0);
    put<quint16>(header, 1);
    put<quint16>(header, quint16(images.size()));
    const int first = 6 + 16 * images.size();
    for (const QImage &img : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "PNG");
        put<quint8>(header, quint8(img.width() >= 256 ? 0 : img.width()));
        put<quint8>(header, quint8(img.height() >= 256 ? 0 : img.height()));
        put<quint8>(header, 0);
        put<quint8>(header, 0);
        put<quint16>(header, 1);
        put<quint16>(header, 32);
        put<quint32>(header, quint32(png.size()));
        put<quint32>(header, quint32(first + data.size()));
        data += png;
    }
    return header + data;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 4)
        return 2;
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid())
        return 1;
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString size = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(QFileInfo(out).path());
    if (out.endsWith(QLatin1String(".ico"))) {
        QList<QImage> images;
        for (const QString &s : size.split(QLatin1Char(','))) {
            const int n = s.toInt();
            if (n <= 0 || n > 256)
                return 1;
            images << render(svg, QSize(n, n));
        }
        QFile f(out);
        const QByteArray bytes = icoFile(images);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? 0 : 1;
    }
    QSize pixels;
    if (size.startsWith(QLatin1Char('@'))) {
        const double scale = size.mid(1).toDouble();
        pixels = (QSizeF(svg.defaultSize()) * scale).toSize();
    } else {
        pixels = QSize(size.toInt(), size.toInt());
    }
    if (pixels.isEmpty())
        return 1;
    return render(svg, pixels).save(out) ? 0 : 1;
}
