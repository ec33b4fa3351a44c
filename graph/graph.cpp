#include "graph/graph.h"

#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/frein.h"
#include "model/absorbance.h"
#include "output/report.h"
#include "schematic/colour.h"
#include "schematic/schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <cmath>

namespace graph
{

using numfmt::cint;

bool Graph::nonBlockingTrace = false;

namespace
{
// A computed concentration curve has a point every hundredth of cmax.
constexpr int kConcSteps = 100;

// Point k of it: k x 10^(u - 8) mol/L read as the concentration box reads
// that decimal, so each point a trace measures lies on it to the pixel.
float concPoint(int k, int u)
{
    return float(k / std::pow(10.0, 8 - u));
}
} // namespace

Graph::Graph(Feuille &feuille, spectro::SolutionState &state, QObject *parent)
    : QObject(parent), f(feuille), st(state)
{
    hand = schematic::handPicture();
    Timer1.setInterval(25);
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer2.setInterval(50);
    Timer2.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &Graph::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Graph::Timer2_Timer);
}

Graph::~Graph() = default;

Surface &Graph::g()
{
    return f.c.graphik->surface();
}

float Graph::thicknessNow() const
{
    return spectro::thickness(f.c.UpDown1->value());
}

float Graph::concNow(bool *ok) const
{
    const std::optional<double> c = numfmt::readNumber(f.c.Text1->text());
    if (ok)
        *ok = c.has_value();
    return c ? float(*c) : 0.0f;
}

void Graph::echGraph()
{
    Surface &s = g();
    s.clearPicture();
    s.cls();
    s.setLineWidth(1);
    const float l = thicknessNow();
    if (typegraphe == 1) {
        bool ok = false;
        const float c = concNow(&ok);
        if (ok) {
            const float old = absmax;
            float m = 0;
            for (float e : st.spectre)
                m = std::max(m, e);
            const float a = m * (c * 1000.0f) * l;
            absmax = old > a ? old : a;
        }
    } else if (f.c.Text1->text() != QLatin1String("0")) {
        const float a = float(st.spectre[std::clamp(f.c.HScroll1->value(), 400, 800) - 400] * l *
                              std::pow(10.0, f.c.UpDown2->value() - 3));
        if (a > absmax)
            absmax = a;
    }
    if (absmax > 3)
        absmax = 3;
    if (absmax == 0)
        absmax = 1;
    absaxe = chooseScale(absmax).absaxe;

    // A new picture: these axes, no mark yet.
    m_picture.size = QSize(s.width(), s.height());
    m_picture.back = s.backColor();
    m_picture.typegraphe = typegraphe;
    m_picture.absmax = absmax;
    m_picture.exponent = f.c.UpDown2->value();
    const QPaintDevice *metrics = s.metricsDevice();
    m_picture.metrics.setDotsPerMeterX(int(std::lround(metrics->logicalDpiX() / 0.0254)));
    m_picture.metrics.setDotsPerMeterY(int(std::lround(metrics->logicalDpiY() / 0.0254)));
    m_picture.marks.clear();
    paintAxes(s.painter(), m_picture, Rendering::Pixels, metrics, s.devicePixelRatio());
    m_last = QPointF(60, 10);
    s.setForeColor(Qt::black);
    s.setFont(arialFont(8));
    f.c.graphik->refresh();
    if (store.dercourbe > 0)
        retracage(1);
    paintOverlay();
    rapport();
}

void Graph::paintOverlay()
{
    m_picture.overlay = overlay;
    if (!overlay)
        return;
    m_picture.marks.append({GraphPicture::Mark::Overlay, QPointF(), QColor()});
    QPainter p(&g().image());
    overlay(p);
    p.end();
    f.c.graphik->refresh();
}

void Graph::rapport()
{
    output::rapport(f.c.Rappo, store, spectro::extendedSolutionNames(),
                    f.c.Option1[0]->isChecked());
}

void Graph::applySettings(const CurveSettings &s)
{
    f.c.Text1->setText(s.conc);
    f.c.Text2->setText(s.ph);
    f.c.HScroll1->setValue(s.lambda);
    f.c.UpDown1->setValue(s.cuve);
    if (applyExtras)
        applyExtras(s.extra);
    f.c.Combo1->setCurrentIndex(s.sol);
    // Same list position, other pH or concentration: no change handling ran.
    f.chargespectre();
}

float Graph::pointValue(const CurveSettings &s, const spectro::FloatSpectrum &e, int lambda,
                        float c, float l) const
{
    const int i = std::clamp(lambda, 400, 800) - 400;
    if (!s.extra.real.enabled)
        return spectro::pointAbsorbance(e[i], c, l);
    namespace ins = spectro::instrument;
    const int sample = spectro::sampleId(spectro::numsolForListIndex(s.sol), s.extra.mix);
    const ins::Measurement m = ins::measure(e, c, l, lambda, s.extra.real, s.extra.blankValid,
                                            ins::readingKey(lambda, c, l, sample));
    return ins::readout(m, s.extra.real).absorbance;
}

void Graph::plotPolyline(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e6 || std::fabs(y) > 1e6)
        return;
    // A polyline starts afresh at the left edge of the plot.
    plot({cint(x) == 60 ? GraphPicture::Mark::Point : GraphPicture::Mark::LineTo, QPointF(x, y),
          coulcourbe});
}

void Graph::plot(const GraphPicture::Mark &m)
{
    m_picture.marks.append(m);
    Surface &s = g();
    paintMark(s.painter(), m, Rendering::Pixels, m_last, QSize(s.width(), s.height()),
              s.devicePixelRatio());
}

void Graph::TRACER3()
{
    if (absaxe == 0)
        return;
    const double x =
        typegraphe == 1 ? xLambda(lambdatrace) : xConc(conctrace, f.c.UpDown2->value());
    plotPolyline(x, yAbs(st.absorbance, absaxe));
}

QVector<QPair<double, float>> Graph::curvePoints(int slot)
{
    QVector<QPair<double, float>> pts;
    if (slot < 0 || slot > store.dercourbe)
        return pts;
    // The redraw loads the curves' spectra one after the other into the working
    // spectrum; an indicator whose texts give no spectrum (zero concentration,
    // unreadable pH) keeps the one left there, so follow the same sequence.
    spectro::FloatSpectrum sp = st.spectre;
    for (int i = 0; i <= slot; ++i) {
        const CurveSettings &ci = store.curves[i];
        spectro::chargespectreEtendu(spectro::numsolForListIndex(ci.sol), ci.ph, ci.conc,
                                     ci.extra.mix, sp);
    }
    const CurveSettings &cs = store.curves[slot];
    const float l = spectro::thickness(cs.cuve);
    const float c = float(numfmt::readNumber(cs.conc).value_or(0));
    if (typegraphe == 1) {
        for (int lt = 400; lt <= 800; ++lt)
            pts.append({double(lt), pointValue(cs, sp, lt, c, l)});
    } else {
        const int u = f.c.UpDown2->value();
        const float cmax = float(std::pow(10.0, u - 6));
        for (int k = 0; k <= kConcSteps; ++k) {
            const float ct = concPoint(k, u);
            pts.append({double(ct), pointValue(cs, sp, cs.lambda, ct, l)});
        }
        pts.append({double(cmax), pointValue(cs, sp, cs.lambda, cmax, l)});
    }
    return pts;
}

void Graph::retracage(int k)
{
    const QString t1 = f.c.Text1->text();
    const QString t2 = f.c.Text2->text();
    const int h1 = f.c.HScroll1->value();
    const int u1 = f.c.UpDown1->value();
    const int cb = f.c.Combo1->currentIndex();
    const spectro::CurveExtras extras =
        captureExtras ? captureExtras(false) : spectro::CurveExtras{};
    for (int i = 0; i <= store.dercourbe - k; ++i) {
        const CurveSettings &cs = store.curves[i];
        coulcourbe = curveColour(i);
        applySettings(store.curves[i]);
        const float l = thicknessNow();
        if (typegraphe == 1) {
            const float c = concNow();
            for (lambdatrace = 400; lambdatrace <= 800; ++lambdatrace) {
                st.absorbance = pointValue(cs, st.spectre, lambdatrace, c, l);
                TRACER3();
            }
        } else {
            const int u = f.c.UpDown2->value();
            const float cmax = float(std::pow(10.0, u - 6));
            const int lam = f.c.HScroll1->value();
            for (int k = 0; k <= kConcSteps; ++k) {
                conctrace = concPoint(k, u);
                st.absorbance = pointValue(cs, st.spectre, lam, conctrace, l);
                TRACER3();
            }
            conctrace = cmax;
            st.absorbance = pointValue(cs, st.spectre, lam, conctrace, l);
            TRACER3();
        }
        f.window()->setEnabled(true);
        if (typegraphe != 1)
            f.majafficheur();
    }
    f.c.Text1->setText(t1);
    f.c.Text2->setText(t2);
    f.c.HScroll1->setValue(h1);
    f.c.UpDown1->setValue(u1);
    if (applyExtras)
        applyExtras(extras);
    f.c.Combo1->setCurrentIndex(cb);
    f.chargespectre();
    if (k == 0)
        paintOverlay();
    f.c.graphik->refresh();
}

void Graph::Command3_Click()
{
    f.c.Command6->setEnabled(false);
    store.dercourbe = -1;
    echGraph();
}

void Graph::Command6_Click()
{
    f.c.Command6->setEnabled(false);
    if (store.dercourbe >= 0) {
        absmax = absmaxprec;
        absaxe = absaxeprec;
        const QString kept = f.c.Text1->text();
        // A zero concentration never raises absmax, so the restored scale holds.
        f.c.Text1->setText(QStringLiteral("0"));
        echGraph();
        f.c.Text1->setText(kept);
        --store.dercourbe;
        f.majafficheur();
    }
    rapport();
}

void Graph::Option1_Click(int)
{
    f.c.Command6->setEnabled(false);
    const int kind = f.c.Option1[0]->isChecked() ? 1 : 2;
    // Only a real change of kind drops the curves, and each one is asked about.
    if (kind == typegraphe)
        return;
    if (store.dercourbe >= 1 && choixutil) {
        const msgbox::Answer a = msgbox::show(
            f.window(),
            QStringLiteral("Le changement de graphe entraîne la perte des courbes "
                           "tracées."),
            QStringLiteral("Avertissement"), msgbox::Icon::Question, msgbox::Buttons::OkCancel);
        if (a == msgbox::Answer::Cancel) {
            choixutil = false;
            rapport();
            if (f.c.Option1[0]->isChecked())
                f.c.Option1[1]->setChecked(true);
            else
                f.c.Option1[0]->setChecked(true);
            // The button keeps the focus, so no focus change will set the flag
            // again before the user's next click: that click must ask too.
            choixutil = true;
            return;
        }
    }
    if (choixutil && confirmDropPoints && !confirmDropPoints()) {
        choixutil = false;
        rapport();
        f.c.Option1[kind == 1 ? 1 : 0]->setChecked(true);
        choixutil = true;
        return;
    }
    typegraphe = kind;
    store.dercourbe = -1;
    echGraph();
}

void Graph::UpDown2_Change()
{
    if (!f.c.Option1[1]->isChecked())
        return;
    const int n = store.dercourbe;
    absmax = 0;
    absaxe = 0;
    for (store.dercourbe = 0; store.dercourbe <= n; ++store.dercourbe) {
        absmaxprec = absmax;
        absaxeprec = absaxe;
        applySettings(store.curves[store.dercourbe]);
        echGraph();
    }
    store.dercourbe = n;
    retracage(0);
}

// ---- tracing ----

void Graph::Command5_Click()
{
    f.c.Command6->setEnabled(true);
    compteanim = 0;
    const int slot = store.nextSlot(f.c.Check1->isChecked());
    CurveSettings &cs = store.curves[slot];
    cs.conc = f.c.Text1->text();
    cs.ph = f.c.Text2->text();
    cs.lambda = f.c.HScroll1->value();
    cs.cuve = f.c.UpDown1->value();
    cs.sol = f.c.Combo1->currentIndex();
    cs.extra = captureExtras ? captureExtras(true) : spectro::CurveExtras{};
    absmaxprec = absmax;
    absaxeprec = absaxe;
    if (store.dercourbe < 1) {
        absmax = 0;
        absaxe = 0;
    }
    echGraph();
    coulcourbe = curveColour(store.dercourbe);
    if (f.c.Option1[0]->isChecked()) {
        typegraphe = 1;
        f.c.HScroll1->setValue(400);
        f.setOnglet(2);
    } else {
        typegraphe = 2;
        concinit = f.c.Text1->text();
        f.c.Text1->setText(QStringLiteral("0"));
        f.majafficheur();
        f.setOnglet(1);
    }
    f.window()->setEnabled(false);
    Timer1.start();
    delete m_frein;
    m_frein = new Frein(f.window());
    m_frein->setWindowModality(Qt::ApplicationModal);
    connect(m_frein, &Frein::arreter, this, &Graph::arreter);
    connect(m_frein, &Frein::terminer, this, &Graph::terminer);
    connect(m_frein, &QDialog::finished, this, [this] {
        f.window()->setEnabled(true);
        QApplication::processEvents();
    });
    if (nonBlockingTrace) {
        connect(m_frein, &QDialog::finished, this, [this] {
            rapport();
            emit traceFinished();
        });
        m_frein->show();
        return;
    }
    m_frein->exec();
    rapport();
    emit traceFinished();
}

bool Graph::tracing() const
{
    return m_frein && m_frein->isVisible();
}

void Graph::TRACER()
{
    if (absaxe == 0)
        return;
    const double y = yAbs(st.absorbance, absaxe);
    if (typegraphe == 1) {
        plotPolyline(xLambda(f.c.HScroll1->value()), y);
    } else {
        const double x = xConc(concNow(), f.c.UpDown2->value());
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        plot({GraphPicture::Mark::Cross, QPointF(x, y), coulcourbe});
    }
    f.c.graphik->refresh();
}

void Graph::TRACER2()
{
    if (absaxe == 0)
        return;
    const double x = typegraphe == 1 ? xLambda(lambdaterm) : xConc(concterm, f.c.UpDown2->value());
    plotPolyline(x, yAbs(st.absorbance, absaxe));
}

void Graph::closeFrein()
{
    if (m_frein)
        m_frein->done(0);
}

void Graph::Timer1_Timer()
{
    TRACER();
    // Once the tracing window is closed the animation no longer counts its
    // frames: waiting for it would keep the trace ticking for ever.
    if (typegraphe == 2 && compteanim < 25 && tracing()) {
        // Switched on, not restarted: restarting it every 25 ms would keep the
        // 50 ms animation from ever showing its next frame.
        if (!Timer2.isActive())
            Timer2.start();
        return;
    }
    if (typegraphe == 1) {
        if (f.c.HScroll1->value() < 800) {
            f.c.HScroll1->setValue(f.c.HScroll1->value() + 1);
        } else {
            f.window()->setEnabled(true);
            Timer1.stop();
            closeFrein();
        }
    } else {
        compteanim = 0;
        const int u = f.c.UpDown2->value();
        const float cmax = float(std::pow(10.0, u - 6));
        const float c = concNow();
        if (cmax > c) {
            // At the smallest limit the step is finer than five decimals.
            const QString mask = u <= 1 ? QStringLiteral("0.000 00#") : QStringLiteral("0.000 0#");
            f.c.Text1->setText(numfmt::format(numfmt::single(c) + std::pow(10.0, u - 7), mask));
            f.majafficheur();
        } else {
            f.window()->setEnabled(true);
            f.c.Text1->setText(concinit);
            f.Text1_LostFocus();
            Timer1.stop();
            retracage(0);
            closeFrein();
        }
    }
    if (!m_frein || !m_frein->isVisible()) {
        f.window()->setEnabled(true);
        Timer1.stop();
        if (typegraphe == 2) {
            f.c.Text1->setText(concinit);
            f.Text1_LostFocus();
        }
    }
}

void Graph::Timer2_Timer()
{
    if (!m_frein || !m_frein->isVisible())
        return;
    ++compteanim;
    const std::optional<double> c = numfmt::readNumber(f.c.Text1->text());
    std::optional<QColor> sol;
    if (!c || *c != 0.0) {
        if (sampleColour)
            sol = sampleColour();
        if (!sol)
            sol = schematic::coulsol(st.numsol, f.c.Text1->text(), f.c.Text2->text());
    }
    schematic::animtube(f.c.schema->surface(), compteanim, f.c.UpDown1->value(), sol, hand);
    f.c.schema->refresh();
    if (compteanim > 24)
        Timer2.stop();
}

void Graph::arreter()
{
    Timer2.stop();
    Timer1.stop();
    compteanim = 25;
    f.window()->setEnabled(true);
    if (typegraphe == 2) {
        f.c.Text1->setText(concinit);
        f.majafficheur();
    }
    closeFrein();
}

void Graph::terminer()
{
    Timer1.stop();
    Timer2.stop();
    const float l = thicknessNow();
    const CurveSettings &cs = store.curves[std::clamp(store.dercourbe, 0, kSlots - 1)];
    if (typegraphe == 1) {
        const float c = concNow();
        for (lambdaterm = f.c.HScroll1->value(); lambdaterm <= 800; ++lambdaterm) {
            st.absorbance = pointValue(cs, st.spectre, lambdaterm, c, l);
            TRACER2();
        }
    } else {
        const int u = f.c.UpDown2->value();
        const float cmax = float(std::pow(10.0, u - 6));
        const int lam = f.c.HScroll1->value();
        for (int k = 0; k <= kConcSteps; ++k) {
            concterm = concPoint(k, u);
            st.absorbance = pointValue(cs, st.spectre, lam, concterm, l);
            TRACER2();
        }
        concterm = cmax;
        st.absorbance = pointValue(cs, st.spectre, lam, concterm, l);
        TRACER2();
    }
    f.c.graphik->refresh();
    f.window()->setEnabled(true);
    if (typegraphe == 2) {
        f.c.Text1->setText(concinit);
        f.majafficheur();
    }
    closeFrein();
}

// ---- pointer readout ----

void Graph::graphik_MouseMove(int x, int y)
{
    f.c.info->setText(QStringLiteral("Paramétrer le graphe depuis l'onglet Graphe"));
    if (x < 60 || x > 360 || y < 30 || y > 330) {
        f.c.graphik->setCursor(Qt::ArrowCursor);
        f.c.Labeli[0]->hide();
        f.c.Labeli[1]->hide();
        return;
    }
    f.c.graphik->setCursor(Qt::CrossCursor);
    f.c.Labeli[0]->show();
    f.c.Labeli[1]->show();
    QString t;
    if (typegraphe == 1)
        t = QStringLiteral(" ") + numfmt::format((x - 60) / 0.75 + 400, QStringLiteral("##0")) +
            QStringLiteral(" nm ");
    else
        t = QStringLiteral(" ") + numfmt::format((x - 60) / 300.0, QStringLiteral("0.00#"));
    QLabel *l0 = f.c.Labeli[0];
    l0->setText(t);
    l0->adjustSize();
    l0->move(x - l0->width() / 2, 332);
    const float a = spectro::round3(float((330 - y) / 300.0 * numfmt::single(absaxe)));
    QLabel *l1 = f.c.Labeli[1];
    const double shown = numfmt::single(spectro::roundDecimals(a, 6));
    l1->setText(QStringLiteral(" ") + numfmt::format(shown, QStringLiteral("0.0## ###")).trimmed() +
                QStringLiteral(" "));
    l1->adjustSize();
    l1->move(58 - l1->width(), y - l1->height() / 2);
}

} // namespace graph
