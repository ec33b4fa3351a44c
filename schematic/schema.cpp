#include "schematic/schema.h"

#include "common/numfmt.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace schematic
{

using numfmt::cint;

void fondschema(Surface &s, int h, int w)
{
    for (int y = 0; y <= h; ++y) {
        const double f = double(y) / h;
        s.line(0, y, w, y, QColor(255, cint(f * 55 + 200), cint(f * 100 + 155)));
    }
}

void deschema(Surface &s, int avecFond)
{
    s.clearPicture();
    s.cls();
    if (avecFond == 1)
        fondschema(s, s.height(), s.width());
    s.setLineWidth(2);
    // Cable under the display: the lower half of an ellipse.
    s.arc(225, 70, 35, 17.5, 3.14, 6.28, Qt::black);
    s.setLineWidth(1);
    s.fillBox(38, 48, 173, 100, qbColor(7));
    s.fillBox(40, 50, 171, 98, Qt::black);
    for (int i = 0; i <= 20; ++i) {
        const QColor c(255 - 10 * i, 255 - 10 * i, 255 - 10 * i);
        s.line(10, 54 + i, 40, 54 + i, c);
        s.line(171, 54 + i, 201, 54 + i, c);
    }
    for (int i = 0; i <= 50; ++i)
        s.line(251, 39 + i, 395, 39 + i, QColor(255 - 2 * i, 255 - 2 * i, 255 - 3 * i));
    const QColor olive(155, 155, 105);
    s.box(281, 54, 365, 74, Qt::white);
    s.box(281, 54, 364, 73, olive);
    s.box(282, 55, 364, 73, Qt::white);
    s.box(282, 55, 363, 72, olive);
    s.fillBox(283, 56, 363, 72, QColor(230, 230, 200));
    for (int i = 0; i <= 6; ++i) {
        const int v = cint(255 - 33.3 * i);
        s.line(41, 61 + i, 51, 61 + i, QColor(v, v, v));
    }
    s.box(10, 54, 40, 74, Qt::black);
    s.box(171, 54, 200, 74, Qt::black);
    s.box(40, 61, 51, 67, Qt::black);
    s.box(251, 39, 395, 89, Qt::black);
    s.setFont(arialFont(8));
    s.setForeColor(Qt::black);
    const struct {
        int x;
        const char *text;
    } captions[] = {{10, "source"}, {90, "solution"}, {169, "capteur"}, {295, "absorbance"}};
    for (const auto &c : captions) {
        s.currentX = c.x;
        s.currentY = 103;
        s.print(QString::fromLatin1(c.text));
    }
    s.setFont(arialFont(8, true));
    s.freeze();
    s.cls();
}

int cuvetteHalfWidth(int code)
{
    switch (code) {
    case 1:
        return 4;
    case 3:
        return 12;
    default:
        return 8;
    }
}

void drawMeasure(Surface &s, const Measure &m)
{
    s.cls();
    const int w = cuvetteHalfWidth(m.cuvetteCode);
    s.box(108 - w, 34, 108 + w, 94, Qt::black);
    s.box(52, 62, 170, 66, QColor(100, 100, 100));
    s.fillBox(52, 63, 170, 65, m.coulLambda);
    if (m.coulSolution)
        s.fillBox(108 - w, 44, 108 + w, 94, *m.coulSolution);
    s.line(109 - w, 44, 107 + w, 44, qbColor(8));
    s.box(108 - w, 34, 108 + w, 94, Qt::black);
    s.line(110 - w, 35, 110 - w, 94, qbColor(15));
    s.line(107 + w, 35, 107 + w, 94, qbColor(8));
    s.box(108 - w, 34, 108 + w, 94, Qt::black);
    s.setFont(arialFont(8, true));
    s.setForeColor(Qt::black);
    s.currentY = 58;
    if (!m.readout.isEmpty()) {
        s.currentX = 324 - s.textWidth(m.readout) / 2;
        s.print(m.readout);
    }
    const double d = 5.0 * m.absorbance + 1.0;
    s.fillBox(109 + w, 63, 170, 65, QColor(cint(m.rouge / d), cint(m.vert / d), cint(m.bleu / d)));
}

void animtube(Surface &s, int compteanim, int cuvetteCode, const std::optional<QColor> &solution,
              const QImage &hand)
{
    if (compteanim < 5)
        return;
    const int k = compteanim - 5;
    const int w = cuvetteHalfWidth(cuvetteCode);
    const int d = 5 * k;
    const int h = s.height();
    s.cls();
    s.fillBox(52, 50, 170, 96, Qt::black);
    s.fillBox(108 - w, 47, 108 + w, 94, qbColor(8));
    for (int j = 0; j <= 49; ++j) {
        const double f = double(j) / h;
        s.line(108 - w, j, 109 + w, j, QColor(255, cint(f * 55 + 200), cint(f * 100 + 155)));
    }
    if (solution)
        s.fillBox(108 - w, 44 - d, 108 + w, 94 - d, *solution);
    s.line(109 - w, 44 - d, 107 + w, 44 - d, qbColor(8));
    s.box(108 - w, 34 - d, 108 + w, 94 - d, Qt::black);
    s.line(110 - w, 35 - d, 110 - w, 94 - d, Qt::white);
    s.line(107 + w, 35 - d, 107 + w, 94 - d, qbColor(8));
    s.box(108 - w, 34 - d, 108 + w, 94 - d, Qt::black);
    s.drawImage(103 - w, 16 - d, hand);
}

void formPaint(Surface &s, const QRect &supertext, int fichTop)
{
    for (int i = 0; i <= 600; ++i) {
        const int g = cint(255 - double(i) / 600 * 55);
        const int b = cint(255 - double(i) / 600 * 75);
        s.line(0, i, 800, i, QColor(g, g, b));
    }
    s.fillBox(supertext.left() + 3, fichTop + 3, supertext.left() + supertext.width() + 3,
              supertext.top() + supertext.height() + 3, qbColor(8));
    s.setFont(arialFont(8, true));
    s.setForeColor(qbColor(15));
}

QImage handPicture()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Blue cuff on the right, the gloved fingers closed round the cuvette's rim.
    p.setPen(QPen(QColor(20, 40, 110), 1));
    p.setBrush(QColor(40, 90, 200));
    p.drawRoundedRect(QRectF(20.5, 8.5, 10, 15), 2, 2);
    QPainterPath glove;
    glove.moveTo(21, 10);
    glove.cubicTo(14, 8, 7, 9, 4, 13);
    glove.cubicTo(2, 16, 3, 21, 6, 22);
    glove.lineTo(12, 22);
    glove.cubicTo(14, 24, 18, 23, 21, 21);
    glove.closeSubpath();
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(235, 235, 228));
    p.drawPath(glove);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(7 + 3 * i, 14), QPointF(8 + 3 * i, 21));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawArc(QRectF(8, 11, 9, 6), 200 * 16, 140 * 16); // thumb
    return img;
}

} // namespace schematic
