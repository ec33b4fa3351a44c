#pragma once
// The graph of absorbance against wavelength or concentration: axes and
// scale, the curve store and its redraw, the tracing of a curve point by
// point, and the pointer readout.
#include "common/feuille.h"
#include "common/surface.h"
#include "graph/curvestore.h"
#include "graph/graphpicture.h"
#include "graph/scale.h"
#include "model/catalogue.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class QPainter;

namespace graph
{

class Frein;

class Graph : public QObject
{
    Q_OBJECT
public:
    Graph(Feuille &f, spectro::SolutionState &state, QObject *parent = nullptr);
    ~Graph() override;

    CurveStore store;
    int typegraphe = 1;
    float absmax = 0;
    float absaxe = 0;
    float absmaxprec = 0;
    float absaxeprec = 0;
    bool choixutil = false;
    QColor coulcourbe = curveColour(0);
    QString concinit;
    int compteanim = 0;
    int lambdaterm = 0;
    float concterm = 0;
    int lambdatrace = 0;
    float conctrace = 0;
    QTimer Timer1; // 25 ms: one point of the trace
    QTimer Timer2; // 50 ms: one frame of the cuvette animation
    QImage hand;   // picture of the hand lifting the cuvette

    // Drawn over the curves of every redraw, in graph units (measured points).
    std::function<void(QPainter &)> overlay;
    // Asked before the user's clear or change of graph kind drops what the
    // overlay shows; false keeps everything as it is.
    std::function<bool()> confirmDropPoints;

    // When set, the tracing window is shown without its own event loop, so
    // tests can drive the ticks themselves.
    static bool nonBlockingTrace;

    void echGraph();
    void retracage(int k);
    void Command3_Click();
    void Command6_Click();
    void Option1_Click(int index);
    void UpDown2_Change();
    void rapport();

    void Command5_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void arreter();
    void terminer();
    bool tracing() const;
    Frein *frein() const { return m_frein; }

    void graphik_MouseMove(int x, int y);

    // What the graph shows: the axes of the last echGraph and every mark
    // plotted since, to paint again on a printer or into a drawing.
    const GraphPicture &picture() const { return m_picture; }

    // Hooks of the real instrument and the samples beyond the fourteen
    // solutions; unset, the ideal instrument. captureExtras gives what a new
    // curve keeps, applyExtras puts a curve's back for its redraw, and
    // sampleColour the colour of a sample that coulsol does not know. newCurve:
    // the capture is for a trace that starts now, not for a redraw to restore.
    std::function<spectro::CurveExtras(bool newCurve)> captureExtras;
    std::function<void(const spectro::CurveExtras &)> applyExtras;
    std::function<std::optional<QColor>()> sampleColour;

    // Absorbance of each point as the redraw computes it, for a stored curve:
    // x values (nm or mol/L) and absorbances. Used by the export.
    QVector<QPair<double, float>> curvePoints(int slot);

signals:
    void traceFinished();

private:
    Surface &g();
    void TRACER();
    void TRACER2();
    void TRACER3();
    void plotPolyline(double x, double y);
    // Records a mark in the picture and draws it on the screen.
    void plot(const GraphPicture::Mark &m);
    void endOfTrace();
    void closeFrein();
    float thicknessNow() const;
    float concNow(bool *ok = nullptr) const;
    void applySettings(const CurveSettings &s);
    void paintOverlay();
    // A computed point of a curve: the ideal reading, or the real
    // instrument's when the curve was traced with it.
    float pointValue(const CurveSettings &s, const spectro::FloatSpectrum &e, int lambda, float c,
                     float l) const;

    Feuille &f;
    spectro::SolutionState &st;
    Frein *m_frein = nullptr;
    GraphPicture m_picture;
    QPointF m_last{60, 10}; // where the screen's polyline pen stands
};

} // namespace graph
