#pragma once
// A main window reduced to what printing and copying read: real widgets with
// something recognisable drawn in the two picture boxes.
#include "common/feuille.h"
#include "common/picturebox.h"

#include "graph/curvestore.h"
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>
#include <array>

inline QStringList solutionNames()
{
    return {QStringLiteral("Solution de bleu de bromothymol"),
            QStringLiteral("Solution de chlorure de chrome(III)"),
            QStringLiteral("Solution de chlorure de cobalt"),
            QStringLiteral("Solution de chlorure de nickel"),
            QStringLiteral("Solution de chlorure de tétraminenickel(II)"),
            QStringLiteral("Solution de chlorure de thiocyanatofer(III)"),
            QStringLiteral("Solution de chlorure de triéthylènediaminecobalt(III)"),
            QStringLiteral("Solution de diiode"),
            QStringLiteral("Solution de permanganate de potassium"),
            QStringLiteral("Solution de phénolphtaléine"),
            QStringLiteral("Solution de sulfate de cuivre"),
            QStringLiteral("Solution de sulfate de tétraminecuivre(II)"),
            QStringLiteral("Solution d'hélianthine (orange de méthyle)"),
            QStringLiteral("Solution d'hexacyanoferrate(III) de potassium")};
}

class FakeFeuille : public Feuille
{
public:
    // The schematic's background gradient: dark blue at the top, lighter below.
    static QColor gradient(int y) { return QColor(0, 0, 100 + y); }
    static QColor solutionColour() { return QColor(255, 0, 255); }
    // Background of the graph, found again on the printed page.
    static QColor graphBack() { return QColor(255, 255, 200); }
    static QColor graphCurve() { return QColor(0, 0, 255); }

    FakeFeuille()
    {
        main.setGeometry(100, 50, 900, 600);
        c.schema = new PictureBox(&main);
        c.schema->setBoxGeometry(0, 0, 417, 129);
        c.graphik = new PictureBox(&main);
        c.graphik->setBoxGeometry(0, 140, 417, 361);
        c.Combo1 = new QComboBox(&main);
        c.Combo1->addItems(solutionNames());
        c.Option1[0] = new QRadioButton(QStringLiteral("A = f(λ)"), &main);
        c.Option1[1] = new QRadioButton(QStringLiteral("A = f(c)"), &main);
        c.Option1[0]->setChecked(true);
        c.Rappo = new QTextEdit(&main);
        c.info = new QLabel(&main);
        msgcopie = QStringLiteral("L'image est copiée : vous pouvez la retrouver depuis toute "
                                  "application Windows (coller)");
        deschema(1);
        majafficheur();
        drawGraph();
    }

    QWidget *window() override { return &main; }

    // The static drawing: background (gradient or white), the instrument's
    // outline, frozen as the background picture.
    void deschema(int avecFond) override
    {
        Surface &s = c.schema->surface();
        for (int y = 0; y < s.height(); ++y)
            s.line(0, y, s.width() - 1, y, avecFond ? gradient(y) : QColor(Qt::white));
        s.box(20, 20, 120, 100, Qt::black);
        s.freeze();
    }

    // The dynamic layer: the cuvette with the solution and a readout text.
    void majafficheur() override
    {
        Surface &s = c.schema->surface();
        s.cls();
        s.fillBox(200, 40, 230, 100, solutionColour());
        s.currentX = 260;
        s.currentY = 50;
        s.setForeColor(Qt::yellow);
        s.print(QStringLiteral("A = 0,52"));
        ++readouts;
    }

    void drawGraph()
    {
        Surface &s = c.graphik->surface();
        s.fillBox(0, 0, s.width() - 1, s.height() - 1, graphBack());
        s.line(60, 30, 60, 330, Qt::black);
        s.line(60, 330, 360, 330, Qt::black);
        s.pset(60, 330, graphCurve());
        for (int x = 61; x < 360; ++x)
            s.lineTo(x, 330 - 250 * (x - 60) / 300.0, graphCurve());
    }

    void Text1_LostFocus() override {}
    void Command3_Click() override {}
    void ecrireIntroduction() override {}
    void setCaption(const QString &) override {}
    float absorbance() const override { return 0.52f; }

    QWidget main;
    int readouts = 0;
};

inline graph::CurveSettings curve(int sol, const QString &conc, const QString &ph, int lambda,
                                  int cuve)
{
    graph::CurveSettings s;
    s.sol = sol;
    s.conc = conc;
    s.ph = ph;
    s.lambda = lambda;
    s.cuve = cuve;
    return s;
}
