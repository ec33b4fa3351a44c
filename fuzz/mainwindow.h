#pragma once
// The main window of the fuzz targets that load files into it: built once,
// put back on the start-up settings before every input, and the rules that
// must hold whatever a file did to it.
#include "common/numfmt.h"
#include "common/updown.h"
#include "fuzzenv.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"
#include "model/absorbance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>

namespace fuzzenv
{

inline FeuilleP &mainWindow()
{
    static FeuilleP *w = [] {
        app();
        graph::Graph::nonBlockingTrace = true;
        return new FeuilleP;
    }();
    return *w;
}

// The settings of a fresh start, with one curve stored so that a load shows
// whether it cleared the graph.
inline void reset(FeuilleP &w)
{
    w.c.Check1->setChecked(false);
    w.c.Option1[0]->setChecked(true);
    w.c.Text2->setText(QStringLiteral("7,0"));
    w.c.Text1->setText(QStringLiteral("0,001"));
    w.c.HScroll1->setValue(589);
    w.c.UpDown1->setValue(2);
    w.c.UpDown2->setValue(3);
    w.c.Combo1->setCurrentIndex(8);
    w.graph->store.dercourbe = 0;
    w.setCaption(QStringLiteral("Spectrophotométrie"));
    w.nomfichier.clear();
    w.cheminexo.clear();
    w.c.fich->clear();
    w.corrige = 0;
    w.textemodif = 0;
}

// Rules that hold after anything a file can do to the main window.
inline void checkWindow(FeuilleP &w)
{
    const Controls &c = w.c;
    check(c.HScroll1->value() >= 400 && c.HScroll1->value() <= 800, "wavelength 400..800");
    check(c.UpDown1->value() >= 1 && c.UpDown1->value() <= 3, "thickness code 1..3");
    check(c.UpDown2->value() >= 1 && c.UpDown2->value() <= 5, "graph limit 1..5");
    check(c.Combo1->currentIndex() >= -1 && c.Combo1->currentIndex() < 14, "solution -1..13");
    check(w.graph->store.dercourbe >= -1 && w.graph->store.dercourbe <= 9, "curves -1..9");
    check(!w.graph->tracing(), "no trace runs");
    check(w.isEnabled(), "the window is enabled");
    w.majafficheur();
    check(w.absorbance() >= 0 && w.absorbance() <= 3, "absorbance 0..3",
          QString::number(double(w.absorbance())));
    // The boxes' checks bring any loaded text back into range.
    w.Text1_LostFocus();
    const std::optional<double> conc = numfmt::readNumber(c.Text1->text());
    check(conc && *conc >= 1e-6 * (1 - 1e-6) && *conc <= 0.1 * (1 + 1e-6),
          "checked concentration 1e-6..0,1", c.Text1->text());
    w.Text2_LostFocus();
    const std::optional<double> ph = numfmt::readNumber(c.Text2->text());
    check(ph && *ph >= 1 && *ph <= 12, "checked pH 1..12", c.Text2->text());
    check(w.absorbance() >= 0 && w.absorbance() <= 3, "absorbance 0..3 after the checks",
          QString::number(double(w.absorbance())));
}

} // namespace fuzzenv
