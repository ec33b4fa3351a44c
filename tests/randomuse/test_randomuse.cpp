// Thousands of random but valid user actions on the main window and its
// dialogs, with the rules that must hold after every one of them. The seed is
// printed on failure; SPECTRO_RANDOM_SEED replays a run and
// SPECTRO_RANDOM_ACTIONS changes its length.
#include "calculator/evaluator.h"
#include "calculator/machine.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "config/configfile.h"
#include "config/enregistrer.h"
#include "config/folderlists.h"
#include "config/ouvrir.h"
#include "config/recordfile.h"
#include "exercises/fichexo.h"
#include "exercises/optionexo.h"
#include "graph/frein.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"
#include "output/clipboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

namespace
{

QApplication &testApp()
{
    static int argc = 1;
    static char arg0[] = "test";
    static char *argv[] = {arg0, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

std::uint32_t seedFromEnvironment()
{
    bool ok = false;
    const uint v = qEnvironmentVariable("SPECTRO_RANDOM_SEED").toUInt(&ok);
    return ok ? v : 20240611u;
}

int actionsFromEnvironment()
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue("SPECTRO_RANDOM_ACTIONS", &ok);
    return ok && v > 0 ? v : 3000;
}

class RandomUse : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(dir.isValid());
        // The program's folder: a copy of the shipped data, without a hand-off request.
        const QDir data(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));
        for (const QString &name :
             data.entryList({QStringLiteral("*.E35"), QStringLiteral("*.C12"),
                             QStringLiteral("*.rtf"), QStringLiteral("*.PEM")},
                            QDir::Files)) {
            ASSERT_TRUE(QFile::copy(data.filePath(name), dir.filePath(name)));
            exercises.push_back(name);
        }
        ASSERT_FALSE(exercises.empty());
        QDir(dir.path()).mkdir(QStringLiteral("mesures"));
        saved = dir.filePath(QStringLiteral("mesures"));
        qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
        QDir::setCurrent(dir.path());
        graph::Graph::nonBlockingTrace = true;
        msgbox::handler = [this](const msgbox::Call &c) { return answer(c); };

        w = std::make_unique<FeuilleP>();
        // The ticks are the test's: real time must never step a trace.
        w->graph->Timer1.blockSignals(true);
        w->graph->Timer2.blockSignals(true);
        w->show();
        menu = std::make_unique<Optionexo>(*w, w.get());
        menu->showExerciseWindow = [this](Fichexo &form) { useExerciseWindow(form); };
        menu->askSavePath = [this] {
            return pick(4) == 0 ? QString() : QDir(saved).filePath(QStringLiteral("texte.rtf"));
        };
        menu->askOpenPath = [this] {
            switch (pick(4)) {
            case 0:
                return QString();
            case 1:
                return QDir(saved).filePath(QStringLiteral("absent.rtf"));
            case 2:
                return QDir(dir.path()).filePath(exercises[pick(int(exercises.size()))]);
            default:
                return QDir(saved).filePath(QStringLiteral("texte.rtf"));
            }
        };
        menu->askPrinter = [](QPrinter &) { return false; };
        machine = std::make_unique<Machine>(w.get());
        machine->setModal(false);
        for (QAbstractButton *b : machine->findChildren<QAbstractButton *>())
            keys.push_back(b);
        ASSERT_GT(keys.size(), 40u);
    }

    void TearDown() override
    {
        machine.reset();
        menu.reset();
        w.reset();
        msgbox::handler = nullptr;
        QDir::setCurrent(QDir::tempPath());
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(int percent) { return pick(100) < percent; }

    msgbox::Answer answer(const msgbox::Call &c)
    {
        ++messages;
        switch (c.buttons) {
        case msgbox::Buttons::Ok:
            return msgbox::Answer::Ok;
        case msgbox::Buttons::OkCancel:
            return chance(60) ? msgbox::Answer::Ok : msgbox::Answer::Cancel;
        case msgbox::Buttons::YesNo:
            return chance(60) ? msgbox::Answer::Yes : msgbox::Answer::No;
        }
        return msgbox::Answer::Ok;
    }

    void log(const std::string &what)
    {
        history.push_back(std::to_string(step) + ": " + what);
        if (history.size() > 25)
            history.pop_front();
    }

    std::string where() const
    {
        std::ostringstream out;
        out << "seed " << seed << " (SPECTRO_RANDOM_SEED=" << seed << " replays it), action "
            << step << "; last actions:\n";
        for (const std::string &h : history)
            out << "  " << h << '\n';
        return out.str();
    }

    static void send(QWidget *target, QEvent *e) { QApplication::sendEvent(target, e); }

    // ---- the actions

    void typeInto(QLineEdit *box, bool concentration)
    {
        static const char keysTyped[] = "0123456789,,..e- a";
        if (chance(60))
            box->selectAll();
        std::string typed;
        const int n = pick(9);
        for (int i = 0; i < n; ++i) {
            if (chance(10)) {
                QKeyEvent k(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier,
                            QStringLiteral("\b"));
                send(box, &k);
                typed += "<-";
                continue;
            }
            const char ch = keysTyped[pick(int(sizeof keysTyped) - 1)];
            const Qt::Key key = ch >= '0' && ch <= '9' ? Qt::Key(Qt::Key_0 + (ch - '0'))
                                : ch == ','            ? Qt::Key_Comma
                                : ch == '.'            ? Qt::Key_Period
                                : ch == ' '            ? Qt::Key_Space
                                : ch == '-'            ? Qt::Key_Minus
                                                       : Qt::Key_E;
            QKeyEvent k(QEvent::KeyPress, key, Qt::NoModifier, QString(QLatin1Char(ch)));
            send(box, &k);
            typed += ch;
        }
        const bool enter = chance(50);
        log(std::string(concentration ? "Text1" : "Text2") + " typed \"" + typed + "\" then " +
            (enter ? "Enter" : "focus lost") + " -> ");
        if (enter) {
            QKeyEvent k(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            send(box, &k);
        } else {
            QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
            send(box, &out);
        }
        history.back() += box->text().toStdString();
        // The check has just run: the box holds a number within its range.
        const std::optional<double> v = numfmt::readNumber(box->text());
        ASSERT_TRUE(v.has_value()) << box->text().toStdString() << '\n' << where();
        if (concentration)
            EXPECT_TRUE(*v >= 1e-6 * (1 - 1e-6) && *v <= 0.1 * (1 + 1e-6))
                << box->text().toStdString() << '\n'
                << where();
        else
            EXPECT_TRUE(*v >= 1 && *v <= 12) << box->text().toStdString() << '\n' << where();
    }

    void moveScrollBar()
    {
        QScrollBar *s = w->c.HScroll1;
        switch (pick(3)) {
        case 0:
            s->setValue(400 + pick(401));
            break;
        case 1: {
            static const QAbstractSlider::SliderAction acts[] = {
                QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
            s->triggerAction(acts[pick(4)]);
            break;
        }
        default:
            // Dragging the thumb: a burst of values.
            s->setSliderDown(true);
            for (int i = 0, n = 1 + pick(6); i < n; ++i)
                s->setSliderPosition(400 + pick(401));
            s->setSliderDown(false);
            break;
        }
        log("wavelength " + std::to_string(s->value()));
    }

    void upDown(UpDown *u, const char *name)
    {
        if (chance(50))
            u->stepUp();
        else
            u->stepDown();
        log(std::string(name) + " " + std::to_string(u->value()));
    }

    void chooseSolution()
    {
        const int i = pick(14);
        w->c.Combo1->setCurrentIndex(i);
        log("solution " + std::to_string(i));
    }

    void changeGraphKind()
    {
        const int i = pick(2);
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        send(w->c.Option1[i], &in);
        w->c.Option1[i]->click();
        log("graph kind " + std::to_string(i + 1) + " -> kind " +
            std::to_string(w->graph->typegraphe));
    }

    void traceAction()
    {
        graph::Graph &g = *w->graph;
        const int r = pick(100);
        if (r < 80 && g.Timer1.isActive()) {
            // A burst of timer events: while the cuvette moves, its frames
            // (50 ms) come between the trace's ticks (25 ms).
            int ticks = 0, frames = 0;
            // Now and then the trace runs on to its natural end.
            const int n = chance(1) ? 1200 : 1 + pick(15);
            for (int i = 0; i < n && g.tracing(); ++i) {
                if (g.Timer2.isActive() && chance(67)) {
                    g.Timer2_Timer();
                    ++frames;
                } else if (g.Timer1.isActive()) {
                    g.Timer1_Timer();
                    ++ticks;
                }
            }
            if (!g.tracing())
                ++naturalEnds;
            allTicks += ticks;
            log(std::to_string(ticks) + " ticks, " + std::to_string(frames) +
                " frames: wavelength " + std::to_string(w->c.HScroll1->value()) + ", Text1 " +
                w->c.Text1->text().toStdString());
        } else if (r < 88) {
            g.frein()->pointerAt(QPoint(pick(360), pick(30)));
            log("pointer over the tracing window");
        } else if (r < 93) {
            emit g.frein()->arreter();
            log("Arrêter");
        } else if (r < 98) {
            emit g.frein()->terminer();
            log("Terminer");
        } else {
            g.frein()->close();
            log("tracing window closed");
        }
    }

    void useExerciseWindow(Fichexo &form)
    {
        form.lists().setFolder(dir.path());
        QListWidget *files = form.lists().files();
        if (files->count() == 0 || chance(10)) {
            log("  exercise window closed");
            return;
        }
        const int row = pick(files->count());
        form.choisir(files->item(row)->text());
        if (chance(85)) {
            const bool ok = form.ouvrir();
            log("  exercise " + files->item(row)->text().toStdString() +
                (ok ? " opened" : " not opened"));
        }
    }

    void exerciseMenu()
    {
        switch (pick(8)) {
        case 0:
        case 1:
            log("menu: open an exercise");
            menu->ouvrirExercice();
            break;
        case 2:
            log("menu: getting started");
            menu->priseEnMain();
            break;
        case 3:
            menu->updateEnabled();
            if (menu->opencor->isEnabled()) {
                log("menu: correction");
                menu->voirCorrection();
            }
            break;
        case 4:
            log("menu: save the text");
            menu->enregistrerTexte();
            break;
        case 5:
            log("menu: find a text");
            menu->retrouverTexte();
            break;
        case 6:
            menu->updateEnabled();
            if (menu->Closexo->isEnabled()) {
                log("menu: close the exercise");
                menu->fermerExercice();
            }
            break;
        default:
            log("menu: print");
            menu->imprimerTexte();
            break;
        }
    }

    void editText()
    {
        QTextEdit *t = w->c.supertext;
        if (t->isReadOnly())
            return;
        QKeyEvent k(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        send(t, &k);
        log("a letter typed in the exercise text");
    }

    void configuration()
    {
        const QString name = QStringLiteral("config%1.C12").arg(pick(4));
        switch (pick(6)) {
        case 0:
            w->nomfichier = QDir(saved).filePath(name);
            log("save " + name.toStdString() + (ecrireConfig(*w) ? "" : " failed"));
            break;
        case 1: {
            Enregistrer d(*w, w.get());
            d.lists().setFolder(saved);
            d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(name);
            log("save dialog " + name.toStdString() + (d.enregistrer() ? "" : " not saved"));
            break;
        }
        case 2:
        case 3: {
            // A saved configuration, or any shipped file, configuration or not.
            const QString shipped = exercises[pick(int(exercises.size()))];
            w->nomfichier =
                chance(50) ? QDir(saved).filePath(name) : QDir(dir.path()).filePath(shipped);
            const bool exists = QFileInfo::exists(w->nomfichier);
            const bool ok = exists && chargeconfig(*w);
            log("load " + QFileInfo(w->nomfichier).fileName().toStdString() +
                (ok ? "" : " failed"));
            if (ok) {
                EXPECT_EQ(w->graph->store.dercourbe, -1) << where();
            }
            break;
        }
        default: {
            Ouvrir d(*w, w.get());
            d.lists().setFolder(chance(50) ? saved : dir.path());
            QListWidget *files = d.lists().files();
            if (files->count() > 0) {
                const QString chosen = files->item(pick(files->count()))->text();
                d.findChild<QLineEdit *>(QStringLiteral("ficharge"))
                    ->setText(QDir(d.lists().folder()).filePath(chosen));
                d.ouvrir();
                log("open dialog " + chosen.toStdString());
            }
            break;
        }
        }
    }

    void calculatorKeys()
    {
        const int n = 1 + pick(8);
        std::string pressed;
        for (int i = 0; i < n; ++i) {
            QAbstractButton *b = keys[pick(int(keys.size()))];
            pressed += b->objectName().toStdString() + ' ';
            b->click();
        }
        log("calculator " + pressed + "-> " + machine->affichage().toStdString());
        EXPECT_TRUE(machine->codeerreur() >= 0 && machine->codeerreur() <= 3) << where();
    }

    void other()
    {
        switch (pick(6)) {
        case 0:
            w->graph->graphik_MouseMove(pick(420), pick(365));
            log("pointer over the graph");
            break;
        case 1:
            w->Onglets_MouseUp(pick(w->Onglets->width()), pick(16));
            log("tab " + std::to_string(w->onglet));
            break;
        case 2:
            w->graph->rapport();
            log("report rewritten");
            break;
        case 3:
            log("close asked");
            w->confirmClose();
            break;
        case 4:
            output::cop001(*w);
            output::Cop002(*w);
            log("copies");
            break;
        default:
            w->repaint();
            log("repaint");
            break;
        }
    }

    void mainWindowAction()
    {
        int r = pick(100);
        // Stretches of superposed traces, so that the store fills up: what
        // would empty it (clearing, another graph kind, a configuration, an
        // exercise) mostly gives way to a new trace.
        if (step % 400 == 1)
            superposing = chance(25);
        if (superposing) {
            if (!w->c.Check1->isChecked()) {
                w->c.Check1->click();
                log("superposition on");
                return;
            }
            if (r >= 58 && r < 83 && chance(90))
                r = 50;
        }
        if (r < 14)
            typeInto(w->c.Text1, true);
        else if (r < 20) {
            if (w->c.Text2->isVisible())
                typeInto(w->c.Text2, false);
        } else if (r < 30)
            moveScrollBar();
        else if (r < 35)
            upDown(w->c.UpDown1, "thickness");
        else if (r < 40)
            upDown(w->c.UpDown2, "graph limit");
        else if (r < 46)
            chooseSolution();
        else if (r < 53) {
            log("Tracer");
            w->c.Command5->click();
        } else if (r < 58) {
            if (w->c.Command6->isEnabled()) {
                log("delete the last curve");
                w->c.Command6->click();
            }
        } else if (r < 62) {
            log("clear the graph");
            w->c.Command3->click();
        } else if (r < 68)
            changeGraphKind();
        else if (r < 76)
            configuration();
        else if (r < 83)
            exerciseMenu();
        else if (r < 85)
            editText();
        else if (r < 90)
            calculatorKeys();
        else if (r < 94) {
            w->c.Check1->click();
            log(std::string("superposition ") + (w->c.Check1->isChecked() ? "on" : "off"));
        } else
            other();
    }

    // ---- the rules

    void checkRules()
    {
        graph::Graph &g = *w->graph;
        const int d = g.store.dercourbe;
        mostCurves = std::max(mostCurves, d + 1);
        ASSERT_TRUE(d >= -1 && d <= 9) << "dercourbe " << d << '\n' << where();
        ASSERT_LE(w->absorbance(), 3.0f) << where();
        ASSERT_GE(w->absorbance(), 0.0f) << where();
        QString running;
        recordfile::readFileRecord(dir.filePath(QStringLiteral("TEMPKZ.TMP")), 6, &running);
        ASSERT_EQ(running, QStringLiteral("OUI")) << where();
        const int lambda = w->c.HScroll1->value();
        ASSERT_TRUE(lambda >= 400 && lambda <= 800) << where();
        ASSERT_EQ(w->c.Label7->text(), QString::number(lambda) + QStringLiteral(" nm")) << where();
        if (g.tracing()) {
            ASSERT_FALSE(w->isEnabled()) << "a trace runs on an enabled window\n" << where();
            return;
        }
        // A timer tick is due within 25 ms of the tracing window closing.
        if (g.Timer1.isActive()) {
            g.Timer1_Timer();
            log("tick after the tracing window closed");
        }
        ASSERT_FALSE(g.Timer1.isActive()) << where();
        ASSERT_TRUE(w->isEnabled()) << "no trace runs, yet the window is disabled\n" << where();
        const std::optional<double> c = numfmt::readNumber(w->c.Text1->text());
        ASSERT_TRUE(c && *c >= 1e-6 * (1 - 1e-6) && *c <= 0.1 * (1 + 1e-6))
            << "Text1 \"" << w->c.Text1->text().toStdString() << "\"\n"
            << where();
        const std::optional<double> ph = numfmt::readNumber(w->c.Text2->text());
        ASSERT_TRUE(ph && *ph >= 1 && *ph <= 12)
            << "Text2 \"" << w->c.Text2->text().toStdString() << "\"\n"
            << where();
    }

    QTemporaryDir dir;
    QString saved;
    std::vector<QString> exercises;
    std::unique_ptr<FeuilleP> w;
    std::unique_ptr<Optionexo> menu;
    std::unique_ptr<Machine> machine;
    std::vector<QAbstractButton *> keys;
    std::uint32_t seed = seedFromEnvironment();
    std::mt19937 rng{seed};
    int step = 0;
    int messages = 0;
    int naturalEnds = 0;
    int allTicks = 0;
    int mostCurves = 0;
    bool superposing = false;
    std::deque<std::string> history;
};

} // namespace

TEST_F(RandomUse, EveryActionKeepsTheRules)
{
    const int actions = actionsFromEnvironment();
    std::printf("seed %u, %d actions\n", seed, actions);
    QElapsedTimer clock;
    clock.start();
    int traces = 0;
    for (step = 1; step <= actions; ++step) {
        const bool wasTracing = w->graph->tracing();
        if (wasTracing)
            traceAction();
        else
            mainWindowAction();
        if (!wasTracing && w->graph->tracing())
            ++traces;
        checkRules();
        if (HasFatalFailure() || HasNonfatalFailure())
            return;
    }
    std::printf("%d actions (%d traces, %d ticks, %d traces run to their end, at most %d "
                "curves, %d message boxes) in %lld ms\n",
                actions, traces, allTicks, naturalEnds, mostCurves, messages,
                static_cast<long long>(clock.elapsed()));
}
