// The redraw of stored wavelength curves without putting each curve's
// settings into the controls: each handler run redrew the schematic and the
// readout, three times a curve, for nothing that stays on the screen. The
// points are those of the controls' route (same spectrum sequence, same
// rounding); the last curve still goes through the controls, and the current
// settings are put back as before, so the readout, the schematic, the labels
// and the help line end as they did.
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/graph.h"
#include "model/absorbance.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

namespace graph
{

bool Graph::retracageRapide(int last)
{
    if (typegraphe != 1 || last < 0 || last >= kSlots)
        return false;
    // Only settings that the controls take as they are.
    for (int i = 0; i <= last; ++i) {
        const CurveSettings &cs = store.curves[i];
        if (cs.lambda < f.c.HScroll1->minimum() || cs.lambda > f.c.HScroll1->maximum() ||
            cs.cuve < f.c.UpDown1->minimum() || cs.cuve > f.c.UpDown1->maximum() || cs.sol < 0 ||
            cs.sol >= f.c.Combo1->count())
            return false;
    }
    const QString t1 = f.c.Text1->text();
    const QString t2 = f.c.Text2->text();
    const int h1 = f.c.HScroll1->value();
    const int u1 = f.c.UpDown1->value();
    const int cb = f.c.Combo1->currentIndex();

    spectro::FloatSpectrum sp = st.spectre;
    spectro::FloatSpectrum beforeLast = sp;
    bool moved = false; // the wavelength control would have moved
    for (int i = 0; i <= last; ++i) {
        const CurveSettings &cs = store.curves[i];
        if (i == last)
            beforeLast = sp;
        spectro::chargespectre(spectro::numsolForIndex(cs.sol), cs.ph, cs.conc, sp);
        moved = moved || cs.lambda != h1;
        coulcourbe = curveColour(i);
        const float l = spectro::thickness(cs.cuve);
        const float c = float(numfmt::readNumber(cs.conc).value_or(0.0));
        for (lambdatrace = 400; lambdatrace <= 800; ++lambdatrace) {
            st.absorbance = spectro::pointAbsorbance(sp[lambdatrace - 400], c, l);
            TRACER3();
        }
    }
    const float lastPoint = st.absorbance;
    const int lambdaEnd = lambdatrace;

    // The controls as the curve before the last one left them, then the last
    // curve's settings through the controls, as in the route through them all.
    if (last > 0) {
        const CurveSettings &prev = store.curves[last - 1];
        const QSignalBlocker b1(f.c.Text1), b2(f.c.Text2), b3(f.c.HScroll1), b4(f.c.UpDown1),
            b5(f.c.Combo1);
        f.c.Text1->setText(prev.conc);
        f.c.Text2->setText(prev.ph);
        f.c.HScroll1->setValue(prev.lambda);
        f.c.UpDown1->setValue(prev.cuve);
        f.c.Combo1->setCurrentIndex(prev.sol);
        st.numsol = spectro::numsolForIndex(prev.sol);
        st.spectre = beforeLast;
    }
    applySettings(store.curves[last]);
    f.chargespectre();
    coulcourbe = curveColour(last);
    lambdatrace = lambdaEnd;
    st.absorbance = lastPoint;
    f.window()->setEnabled(true);
    if (moved)
        f.c.info->setText(QStringLiteral("Pour affiner le réglage de la longueur d'onde, utiliser "
                                         "les boutons < et >"));

    f.c.Text1->setText(t1);
    f.c.Text2->setText(t2);
    f.c.HScroll1->setValue(h1);
    f.c.UpDown1->setValue(u1);
    f.c.Combo1->setCurrentIndex(cb);
    f.chargespectre();
    f.c.graphik->refresh();
    return true;
}

} // namespace graph
