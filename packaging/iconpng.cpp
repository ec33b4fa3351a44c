// Renders the program's SVG icon to a square PNG: iconpng IN.svg OUT.png SIZE
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const int size = QString::fromLocal8Bit(argv[3]).toInt();
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid() || size <= 0)
        return 1;
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    svg.render(&p);
    p.end();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(QFileInfo(out).path());
    return img.save(out) ? 0 : 1;
}
