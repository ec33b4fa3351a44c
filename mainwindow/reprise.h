#pragma once
// What the main window holds, taken before the window is rebuilt (a change of
// zoom) and given back to the new window: every setting, the curves with
// their scale, the tab shown and the exercise text.
#include "graph/curvestore.h"
#include "mainwindow/appareil.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class FeuilleP;

struct Reprise {
    int solution = 8;
    QString conc, ph;
    int lambda = 589, cuve = 2, limite = 3;
    bool concentrationGraph = false;
    bool superpose = false;
    graph::CurveStore store;
    float absmax = 0, absaxe = 0, absmaxprec = 0, absaxeprec = 0;
    bool deleteEnabled = false;
    int onglet = 1;
    QString textHtml;
    QHash<QString, QVariant> textImages; // pictures of the exercise text
    bool textReadOnly = true;
    QString fich, cheminexo, nomfichier, title, info;
    int corrige = 0, textemodif = 0;
    // The real instrument and the activities added to the window, given back
    // before the settings so that these find the sample they name.
    std::optional<Appareil::State> appareil;
    std::vector<std::function<void(FeuilleP &)>> extras;
};

// An added activity keeps its state across the rebuild: the capture, called
// with the old window, returns what gives the state back to the new one.
using RepriseCapture = std::function<std::function<void(FeuilleP &)>(const FeuilleP &)>;
void addRepriseCapture(const RepriseCapture &capture);

Reprise captureReprise(const FeuilleP &w);
// On a new window, built as at start-up but without its first trace.
void restoreReprise(FeuilleP &w, const Reprise &r);
