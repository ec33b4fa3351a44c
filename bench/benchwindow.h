#pragma once
// What the window benchmarks share: an offscreen application and main windows
// whose hand-off file lands in a temporary folder.
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

namespace bench
{

inline QApplication &app()
{
    static int argc = 1;
    static char arg0[] = "bench";
    static char *argv[] = {arg0, nullptr};
    static QApplication *a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *a;
}

// A new main window, traces ending at once.
inline FeuilleP *newWindow()
{
    app();
    static QTemporaryDir dir;
    qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
    graph::Graph::nonBlockingTrace = true;
    return new FeuilleP;
}

// Ten superposed wavelength curves of permanganate, 0,000 1 to 0,001 mol/L.
inline FeuilleP &tenCurves()
{
    static FeuilleP *w = [] {
        FeuilleP *f = newWindow();
        f->c.Check1->setChecked(true);
        for (int i = 1; i <= 10; ++i) {
            f->c.Text1->setText(QStringLiteral("0,000 ") + QString::number(i));
            f->graph->Command5_Click();
            f->graph->terminer();
        }
        return f;
    }();
    return *w;
}

} // namespace bench
