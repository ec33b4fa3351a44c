// libFuzzer entry point: the configuration loader on a file of arbitrary
// bytes, applied to the real main window. A load either stops with its
// message or sets the title and empties the graph; what it loaded saves and
// loads back to the same settings.
#include "config/configfile.h"
#include "mainwindow.h"

#include <cstddef>
#include <cstdint>

namespace
{

struct Settings {
    bool option0, option1, check;
    QString ph, conc;
    int lambda, cuve, sol;
    bool operator==(const Settings &o) const
    {
        return option0 == o.option0 && option1 == o.option1 && check == o.check && ph == o.ph &&
               conc == o.conc && lambda == o.lambda && cuve == o.cuve && sol == o.sol;
    }
};

Settings settings(const FeuilleP &w)
{
    const Controls &c = w.c;
    return {c.Option1[0]->isChecked(), c.Option1[1]->isChecked(), c.Check1->isChecked(),
            c.Text2->text(),           c.Text1->text(),           c.HScroll1->value(),
            c.UpDown1->value(),        c.Combo1->currentIndex()};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzenv::mainWindow();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FeuilleP &w = fuzzenv::mainWindow();
    fuzzenv::reset(w);
    const QString path = fuzzenv::writeInput(QStringLiteral("essai.C12"), data, size);
    w.nomfichier = path;
    const int before = fuzzenv::messages();
    const bool ok = chargeconfig(w);
    fuzzenv::check(ok == (fuzzenv::messages() == before), "a message exactly on a failure");
    if (ok) {
        fuzzenv::check(w.windowTitle() == config::windowTitle(path), "title after a load");
        fuzzenv::check(w.graph->store.dercourbe == -1, "the graph is empty after a load");
        const Settings loaded = settings(w);
        w.nomfichier = fuzzenv::scratch() + QStringLiteral("/copie.C12");
        if (ecrireConfig(w)) {
            fuzzenv::reset(w);
            w.nomfichier = fuzzenv::scratch() + QStringLiteral("/copie.C12");
            fuzzenv::check(chargeconfig(w), "a saved configuration loads");
            fuzzenv::check(settings(w) == loaded, "saved and loaded, the settings stay");
        }
    } else {
        fuzzenv::check(w.windowTitle() == QStringLiteral("Spectrophotométrie"),
                       "the title stays after a failure");
    }
    fuzzenv::checkWindow(w);
    return 0;
}
