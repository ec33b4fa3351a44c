#include "exercises/pictures.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace exo
{

namespace
{

QPainterPath star(qreal size)
{
    QPainterPath path;
    const QPointF centre(size / 2, size / 2 + size * 0.04);
    const qreal outer = size * 0.48;
    const qreal inner = outer * 0.42;
    for (int k = 0; k < 10; ++k) {
        const qreal angle = -M_PI / 2 + k * M_PI / 5;
        const qreal r = k % 2 == 0 ? outer : inner;
        const QPointF p = centre + QPointF(r * qCos(angle), r * qSin(angle));
        if (k == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

void drawStar(QPainter &p, int size, bool lit)
{
    QRadialGradient fill(size * 0.4, size * 0.35, size * 0.6);
    fill.setColorAt(0, lit ? QColor(255, 255, 190) : QColor(130, 130, 130));
    fill.setColorAt(1, lit ? QColor(255, 190, 0) : QColor(60, 60, 60));
    p.setPen(QPen(lit ? QColor(170, 90, 0) : QColor(30, 30, 30), 1));
    p.setBrush(fill);
    p.drawPath(star(size));
}

// An open book with a green arrow: open the exercise.
void drawOpen(QPainter &p, int size)
{
    const qreal s = size / 32.0;
    p.scale(s, s);
    p.setPen(QPen(QColor(0, 0, 128), 1.2));
    p.setBrush(QColor(255, 255, 240));
    QPolygonF left({{2, 10}, {15, 12}, {15, 29}, {2, 27}});
    QPolygonF right({{17, 12}, {30, 10}, {30, 27}, {17, 29}});
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setPen(QPen(QColor(120, 120, 160), 0.8));
    for (int y = 15; y <= 24; y += 3) {
        p.drawLine(QLineF(4, y, 13, y + 1));
        p.drawLine(QLineF(19, y + 1, 28, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 150, 0));
    p.drawPolygon(QPolygonF({{12, 1}, {20, 1}, {20, 5}, {24, 5}, {16, 11}, {8, 5}, {12, 5}}));
}

// A red cross in a circle: close without loading.
void drawClose(QPainter &p, int size)
{
    const qreal s = size / 32.0;
    p.scale(s, s);
    p.setPen(QPen(QColor(128, 0, 0), 1.5));
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QLineF(10, 10, 22, 22));
    p.drawLine(QLineF(22, 10, 10, 22));
}

void drawHourglass(QPainter &p, int size)
{
    const qreal s = size / 32.0;
    p.scale(s, s);
    p.setPen(QPen(QColor(90, 50, 0), 2));
    p.drawLine(QLineF(7, 3, 25, 3));
    p.drawLine(QLineF(7, 29, 25, 29));
    p.setPen(QPen(QColor(90, 50, 0), 1.2));
    p.setBrush(QColor(220, 240, 255));
    p.drawPolygon(QPolygonF({{9, 4}, {23, 4}, {17, 16}, {23, 28}, {9, 28}, {15, 16}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 190, 90));
    p.drawPolygon(QPolygonF({{11, 7}, {21, 7}, {16, 15}}));
    p.drawPolygon(QPolygonF({{16, 20}, {21, 27}, {11, 27}}));
}

} // namespace

QString pictureResource(Picture p)
{
    switch (p) {
    case Picture::StarLit:
        return QStringLiteral(":/icons/etoile_allumee.svg");
    case Picture::StarDark:
        return QStringLiteral(":/icons/etoile_eteinte.svg");
    case Picture::Open:
        return QStringLiteral(":/icons/ouvreur.svg");
    case Picture::Close:
        return QStringLiteral(":/icons/fermer_exo.svg");
    case Picture::Hourglass:
        return QStringLiteral(":/icons/sablier.svg");
    case Picture::DecorSpectrum:
        return QStringLiteral(":/icons/decor_spectre.svg");
    case Picture::DecorFlask:
        return QStringLiteral(":/icons/decor_fiole.svg");
    }
    return QString();
}

QPixmap picture(Picture which, int size)
{
    const QString resource = pictureResource(which);
    if (QFile::exists(resource)) {
        const QPixmap icon = QIcon(resource).pixmap(size, size);
        if (!icon.isNull())
            return icon;
    }
    if (which == Picture::DecorSpectrum || which == Picture::DecorFlask)
        return QPixmap();
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Picture::StarLit:
    case Picture::StarDark:
        drawStar(p, size, which == Picture::StarLit);
        break;
    case Picture::Open:
        drawOpen(p, size);
        break;
    case Picture::Close:
        drawClose(p, size);
        break;
    case Picture::Hourglass:
        drawHourglass(p, size);
        break;
    case Picture::DecorSpectrum:
    case Picture::DecorFlask:
        break;
    }
    return pm;
}

} // namespace exo
