#include "schematic/panels.h"

namespace schematic
{

namespace
{

const QColor kPanel(240, 235, 230);

void sup(Surface &s, const QString &t, int up = 3)
{
    s.currentY -= up;
    s.print(t);
    s.currentY += up;
}

void sub(Surface &s, const QString &t)
{
    s.currentY += 3;
    s.print(t);
    s.currentY -= 3;
}

void at(Surface &s, double x, double y)
{
    s.currentX = x;
    s.currentY = y;
}

} // namespace

QPoint picture3Paint(Surface &s, const QRect &text1, bool phVisible)
{
    s.setBackColor(kPanel);
    s.clearPicture();
    s.cls();
    s.setForeColor(Qt::black);
    s.setFont(arialFont(8, true));
    at(s, 16, 10);
    s.printLine(QStringLiteral("Nature de la solution"));
    at(s, 16, 66);
    s.print(QStringLiteral("Concentration "));
    s.setBold(false);
    s.print(QStringLiteral("(de 10"));
    sup(s, QStringLiteral("-6"));
    s.print(QStringLiteral(" mol · L"));
    sup(s, QStringLiteral("-1"));
    s.print(QStringLiteral(" à 10"));
    sup(s, QStringLiteral("-1"));
    s.print(QStringLiteral(" mol · L"));
    sup(s, QStringLiteral("-1"));
    s.print(QStringLiteral(")"));
    s.setItalic(true);
    const QString c = QStringLiteral("c = ");
    at(s, text1.left() - s.textWidth(c), text1.top() + 2);
    s.print(c);
    s.setItalic(false);
    at(s, text1.left() + text1.width(), text1.top() + 2);
    s.print(QStringLiteral(" mol · L"));
    sup(s, QStringLiteral("-1"));
    QPoint ph(-1, -1);
    if (phVisible) {
        s.setBold(true);
        at(s, 16, 120);
        s.print(QStringLiteral("pH de la solution :  "));
        ph = QPoint(int(s.currentX), int(s.currentY) - 3);
        s.setBold(false);
    }
    return ph;
}

void frame2Paint(Surface &s, const QRect &label7, const QRect &label1, bool mtextra)
{
    s.setBackColor(kPanel);
    s.clearPicture();
    s.cls();
    s.setForeColor(Qt::black);
    s.setFont(arialFont(8, true));
    at(s, 16, 10);
    s.print(QStringLiteral("Longueur d'onde de la lumière"));
    at(s, 16, 99);
    s.printLine(QStringLiteral("Épaisseur de la cuve"));
    // "l = " in the Symbol font shows a lambda.
    s.setFont(arialFont(10));
    const QString lam = QStringLiteral("λ = ");
    at(s, label7.left() - s.textWidth(lam), label7.top());
    s.print(lam);
    const double w = s.textWidth(QStringLiteral("l = "));
    at(s, label1.left() - w, label1.top() + 3);
    if (mtextra) {
        s.setFont(QFont(QStringLiteral("MT Extra"), 10));
        s.print(QStringLiteral("ℓ"));
    } else {
        s.setFont(arialFont(8, false, true));
        s.print(QStringLiteral("l"));
    }
    s.setFont(arialFont(8));
    s.print(QStringLiteral(" ="));
}

void picture1Paint(Surface &s, const QRect &option0, const QRect &option1, const QRect &label2)
{
    s.setBackColor(kPanel);
    s.clearPicture();
    s.cls();
    s.setForeColor(Qt::black);
    s.setFont(arialFont(8));
    at(s, option0.left() + 19, option0.top());
    s.print(QStringLiteral("Absorbance en fonction de la longueur d'onde : "));
    s.setItalic(true);
    s.print(QStringLiteral("A"));
    s.setItalic(false);
    s.print(QStringLiteral(" = ƒ(λ)"));
    at(s, option1.left() + 19, option1.top());
    s.print(QStringLiteral("Absorbance en fonction de la concentration : "));
    s.setItalic(true);
    s.print(QStringLiteral("A"));
    s.setItalic(false);
    s.print(QStringLiteral(" = ƒ("));
    s.setItalic(true);
    s.print(QStringLiteral("c"));
    s.setItalic(false);
    s.print(QStringLiteral(")"));
    at(s, label2.left() - s.textWidth(QStringLiteral("Limite du graphe : cmax = 10")),
       label2.top() + 4);
    s.print(QStringLiteral("Limite du graphe :"));
    s.setItalic(true);
    s.print(QStringLiteral(" c"));
    s.setItalic(false);
    sub(s, QStringLiteral("max"));
    s.print(QStringLiteral(" = 10     mol · L"));
    sup(s, QStringLiteral("-1"), 4);
}

} // namespace schematic
