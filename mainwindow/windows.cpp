#include "mainwindow/windows.h"

#include "common/appdata.h"
#include "config/enregistrer.h"
#include "config/ouvrir.h"
#include "mainwindow/feuillep.h"
#include "output/clipboard.h"
#include "output/printing.h"
#ifdef SPECTRO_HAVE_CALCULATOR
#include "calculator/keynames.h"
#include "calculator/machine.h"
#endif
#ifdef SPECTRO_HAVE_EXERCISES
#include "exercises/optionexo.h"
#endif
#ifdef SPECTRO_HAVE_HELP
#include "mainwindow/helpwindow.h"
#endif
#ifdef SPECTRO_HAVE_CALIBRATION
#include "calibration/session.h"
#endif

void connectWindows(FeuilleP &w)
{
    w.openConfig = [&w] {
        Ouvrir d(w, &w);
        d.exec();
    };
    w.saveConfig = [&w] {
        Enregistrer d(w, &w);
        d.exec();
    };
    w.printDialog = [&w] {
        output::Confimp d(w, w.graph->store, &w);
        d.graphPicture = &w.graph->picture();
        d.exec();
    };
    w.copyMenu = [&w](QPoint pos) { output::popupCopyMenu(w, w.graph->store, pos); };
#ifdef SPECTRO_HAVE_CALCULATOR
    w.calculator = [&w] {
        Machine m(&w);
        nommerTouches(&m);
        m.exec();
    };
#endif
#ifdef SPECTRO_HAVE_HELP
    w.help = [&w] { HelpWindow::showHelp(programFolder(), &w); };
#endif
#ifdef SPECTRO_HAVE_EXERCISES
    auto *exo = new Optionexo(w, &w);
    w.exerciseMenu = [exo](QPoint pos) { exo->popup(pos); };
    w.openExerciseFile = [exo](const QString &path, const QString &folder) {
        exo->openExerciseFile(path, folder);
    };
#endif
#ifdef SPECTRO_HAVE_CALIBRATION
    calib::Session::install(w);
#endif
}
