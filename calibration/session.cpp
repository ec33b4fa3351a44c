#include "calibration/session.h"

#include "calibration/mesures.h"
#include "calibration/overlay.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/placement.h"
#include "common/safefile.h"
#include "common/updown.h"
#include "config/recordfile.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/reprise.h"
#include "model/absorbance.h"
#include "output/clipboard.h"
#include "output/printing.h"
#include "output/report.h"
#ifdef SPECTRO_HAVE_EXERCISES
#include "exercises/exofiles.h"
#endif

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <cmath>

namespace calib
{

std::function<QString(QWidget *, const QString &)> Session::askCsvFileName;

namespace
{

Session *s_current = nullptr;

QFont twipsFont(bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(160); // 8 points in twips
    f.setBold(bold);
    return f;
}

} // namespace

Session::Session(FeuilleP &w) : QObject(&w), m_w(w)
{
    setObjectName(QStringLiteral("calibration"));
}

Session::~Session()
{
    if (s_current != this)
        return;
    s_current = nullptr;
    output::extraCopyItems = nullptr;
    output::printAfterLegend = nullptr;
#ifdef SPECTRO_HAVE_EXERCISES
    exo::checkExtraRecords = nullptr;
    exo::applyExtraRecords = nullptr;
#endif
}

Session *Session::of(QObject *window)
{
    return window ? window->findChild<Session *>(QStringLiteral("calibration"),
                                                 Qt::FindDirectChildrenOnly)
                  : nullptr;
}

Session *Session::install(FeuilleP &w)
{
    if (Session *s = of(&w))
        return s;
    static const bool carried = [] {
        addRepriseCapture([](const FeuilleP &old) -> std::function<void(FeuilleP &)> {
            const Session *s = of(const_cast<FeuilleP *>(&old));
            return s ? s->carryOver() : nullptr;
        });
        return true;
    }();
    (void)carried;
    auto *s = new Session(w);
    s_current = s;
    w.readingConcentration = [s](const QString &t) { return s->readingText(t); };
    w.graph->overlay = [s](QPainter &p) { s->paint(p); };
    w.graph->confirmDropPoints = [s] { return s->confirmDropPoints(); };

    // Beside the graph's own buttons, over blank graph: shown once the
    // activity is in use, so the window looks as before until then.
    s->m_button = new QPushButton(QStringLiteral("Mesurer"), w.c.graphik);
    s->m_button->setObjectName(QStringLiteral("mesurer"));
    s->m_button->setGeometry(268, 0, 55, 19);
    s->m_button->setToolTip(QStringLiteral("Enregistrer la mesure affichée (Ctrl+M)"));
    s->m_button->hide();
    QWidget::setTabOrder(w.c.Command3, s->m_button); // after the graph's own buttons
    connect(s->m_button, &QPushButton::clicked, s, [s] {
        s->measure();
        s->showMesures();
    });
    s->m_button->setMouseTracking(true);
    s->m_button->installEventFilter(s);
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), &w);
    shortcut->setObjectName(QStringLiteral("mesurerShortcut"));
    connect(shortcut, &QShortcut::activated, s, [s] {
        s->measure();
        s->showMesures();
    });
    w.c.graphik->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w.c.graphik, &QWidget::customContextMenuRequested, s, [s, &w](const QPoint &pos) {
        QMenu menu(&w);
        menu.addAction(QStringLiteral("Mesurer\tCtrl+M"), s, [s] {
            s->measure();
            s->showMesures();
        });
        menu.addAction(QStringLiteral("Mesures et droite d'étalonnage..."), s,
                       [s] { s->showMesures(); });
        menu.exec(w.c.graphik->mapToGlobal(pos));
    });
    connect(w.c.Text1, &QLineEdit::textChanged, s, [s] { s->onText1Changed(); });
    // Without a curve a new limit leaves the graph as it was; the points
    // must follow the new scale all the same.
    connect(w.c.UpDown2, &UpDown::valueChanged, s, [s] {
        if (!s->points.isEmpty())
            s->redraw();
    });

    output::extraCopyItems = [](QMenu &menu, Feuille &) {
        if (!s_current)
            return;
        Session *cur = s_current;
        QAction *a = menu.addAction(QStringLiteral("Copier le tableau de mesures"));
        a->setObjectName(QStringLiteral("copimesures"));
        a->setEnabled(!cur->points.isEmpty());
        QObject::connect(a, &QAction::triggered, cur, [cur] { cur->copyTable(); });
    };
    output::printAfterLegend = [](QPainter &p, double x, double y, const output::PageBreak &pb) {
        return s_current ? s_current->printTable(p, x, y, pb.bottom, pb.newPage) : y;
    };
#ifdef SPECTRO_HAVE_EXERCISES
    exo::checkExtraRecords = [](const QString &path, QWidget *parent) {
        return !s_current || s_current->checkExercise(path, parent);
    };
    exo::applyExtraRecords = [](const QString &path) {
        if (s_current)
            s_current->applyExercise(path);
    };
#endif
    return s;
}

bool Session::eventFilter(QObject *watched, QEvent *event)
{
    // The help line describes the button like the window's own controls.
    if (watched == m_button && event->type() == QEvent::MouseMove && m_w.c.info)
        m_w.c.info->setText(QStringLiteral("Mesurer : enregistrer l'absorbance affichée "
                                           "dans le tableau des mesures"));
    return QObject::eventFilter(watched, event);
}

QString Session::readingText(const QString &text) const
{
    if (text == kUnknownText && unknown.set && m_w.c.Combo1->currentIndex() == unknown.sol)
        return QString::number(unknown.c, 'g', 17);
    return text;
}

bool Session::unknownInCuvette() const
{
    return unknown.set && m_w.c.Text1->text() == kUnknownText;
}

void Session::onText1Changed()
{
    const bool in = unknownInCuvette();
    // Nothing may be typed over the hidden sample, and a trace would write
    // its own concentrations into the box.
    m_w.c.Text1->setEnabled(!in);
    m_w.c.Command5->setEnabled(!in);
    // A configuration loaded or a rescaling may replace the sample in the box.
    if (in != m_wasIn) {
        m_wasIn = in;
        emit changed();
    }
}

const Point *Session::unknownPoint() const
{
    for (const Point &p : points) {
        if (p.unknown)
            return &p;
    }
    return nullptr;
}

std::optional<double> Session::unknownReading(QString *why) const
{
    const Point *u = unknownPoint();
    if (!u) {
        if (why)
            *why = QStringLiteral("L'échantillon inconnu n'a pas été mesuré.");
        return std::nullopt;
    }
    if (u->beyond) {
        if (why)
            *why = QStringLiteral("L'absorbance de l'échantillon dépasse la limite de lecture "
                                  "(----) : le diluer.");
        return std::nullopt;
    }
    return readConcentration(currentFit(), u->absorbance, why);
}

bool Session::measure()
{
    const Controls &c = m_w.c;
    const QString text = c.Text1->text();
    const QString read = readingText(text);
    const auto r = spectro::computeAbsorbance(m_w.state.spectre, read, c.HScroll1->value(),
                                              c.UpDown1->value());
    if (!r)
        return false;
    Point p;
    p.sol = c.Combo1->currentIndex();
    p.solName = c.Combo1->currentText();
    p.unknown = unknownInCuvette();
    p.conc = p.unknown ? kUnknownText : text;
    p.c = numfmt::readNumber(read).value_or(0);
    p.ph = c.Text2->text();
    p.lambda = c.HScroll1->value();
    p.cuve = c.UpDown1->value();
    p.absorbance = r->absorbance;
    p.beyond = r->text == QLatin1String("----");
    if (p.unknown) {
        // One sample: measuring it again replaces the earlier reading.
        for (int i = points.size() - 1; i >= 0; --i) {
            if (points[i].unknown)
                points.removeAt(i);
        }
    }
    points.append(p);
    redraw();
    updateButton();
    emit changed();
    return true;
}

void Session::removePoint(int index)
{
    if (index < 0 || index >= points.size())
        return;
    points.removeAt(index);
    redraw();
    updateButton();
    emit changed();
}

void Session::clearPoints()
{
    points.clear();
    redraw();
    updateButton();
    emit changed();
}

void Session::setModel(Model m)
{
    if (m == model)
        return;
    model = m;
    redraw();
    emit changed();
}

void Session::setReading(bool on)
{
    if (on == reading)
        return;
    reading = on;
    redraw();
    emit changed();
}

void Session::newUnknown(double u)
{
    const double cmax = std::pow(10.0, m_w.c.UpDown2->value() - 6);
    setUnknown(drawUnknown(cmax, u), m_w.c.Combo1->currentIndex(), false);
}

void Session::setUnknown(double c, int sol, bool fromExercise)
{
    const bool wasIn = unknownInCuvette();
    unknown.set = true;
    unknown.c = c;
    unknown.sol = sol;
    unknown.fromExercise = fromExercise;
    revealed = false;
    for (int i = points.size() - 1; i >= 0; --i) {
        if (points[i].unknown)
            points.removeAt(i);
    }
    if (wasIn)
        m_w.majafficheur();
    onText1Changed();
    redraw();
    emit changed();
}

void Session::putUnknownInCuvette(bool on)
{
    QLineEdit *box = m_w.c.Text1;
    if (on) {
        if (!unknown.set || unknownInCuvette())
            return;
        // The box checks its text when it loses the focus: it must lose it
        // before it shows the sample's name.
        if (box->hasFocus())
            box->clearFocus();
        m_savedConc = box->text();
        if (m_w.c.Combo1->currentIndex() != unknown.sol && unknown.sol >= 0)
            m_w.c.Combo1->setCurrentIndex(unknown.sol);
        box->setText(kUnknownText);
    } else {
        if (box->text() != kUnknownText)
            return;
        box->setText(m_savedConc.isEmpty() || m_savedConc == kUnknownText ? QStringLiteral("0,001")
                                                                          : m_savedConc);
    }
    onText1Changed();
    m_w.majafficheur();
    emit changed();
}

bool Session::confirmDropPoints()
{
    if (points.isEmpty())
        return true;
    if (msgbox::show(&m_w, QStringLiteral("Les points mesurés seront perdus."),
                     QStringLiteral("Avertissement"), msgbox::Icon::Question,
                     msgbox::Buttons::OkCancel) == msgbox::Answer::Cancel)
        return false;
    // The caller redraws the graph.
    points.clear();
    updateButton();
    emit changed();
    return true;
}

void Session::redraw()
{
    graph::Graph &g = *m_w.graph;
    if (g.tracing() || g.typegraphe != 2)
        return;
    // The axes alone, then every curve once: echGraph by itself would draw
    // all curves but the last, and the redraw all of them again.
    const int last = g.store.dercourbe;
    g.store.dercourbe = -1;
    g.echGraph();
    g.store.dercourbe = last;
    if (last >= 0) {
        g.retracage(0);
        g.rapport();
    }
}

void Session::paint(QPainter &p) const
{
    const graph::Graph &g = *m_w.graph;
    if (g.typegraphe != 2)
        return;
    GraphView v;
    v.updown2 = m_w.c.UpDown2->value();
    v.absaxe = g.absaxe;
    paintOverlay(p, v, points, currentFit(), reading);
}

void Session::copyTable() const
{
    const Table t = currentTable();
    auto *data = new QMimeData;
    data->setText(toTsv(t));
    data->setHtml(toHtml(t));
    if (QClipboard *cb = QGuiApplication::clipboard()) {
        cb->clear();
        cb->setMimeData(data);
    } else {
        delete data;
    }
}

bool Session::writeCsv(const QString &path) const
{
    return safefile::save(path, toCsv(currentTable()));
}

double Session::printTable(QPainter &p, double x, double y, double bottom,
                           const std::function<void()> &newPage) const
{
    if (points.isEmpty())
        return y;
    p.save();
    p.setFont(twipsFont());
    const double lh = QFontMetricsF(p.font()).height();
    auto line = [&](const QString &text, bool bold, const QColor &colour) {
        if (newPage && y > 0 && y + lh > bottom) {
            newPage();
            y = 0;
        }
        p.setFont(twipsFont(bold));
        p.setPen(colour);
        p.drawText(QPointF(x, y + QFontMetricsF(p.font()).ascent()), text);
        y += lh;
    };
    line(QStringLiteral("Dosage par étalonnage : points mesurés"), true, kPointColour);
    for (int i = 0; i < points.size(); ++i) {
        const Point &pt = points[i];
        const QString c = pt.unknown
                              ? QStringLiteral("échantillon inconnu")
                              : QStringLiteral("c = ") + pt.conc + QStringLiteral(" mol·L⁻¹");
        const QString a =
            pt.beyond ? QStringLiteral("----")
                      : QStringLiteral("A = ") +
                            numfmt::format(numfmt::single(pt.absorbance), QStringLiteral("0.0##"))
                                .trimmed();
        line(QString::number(i + 1) + QStringLiteral(". ") + pt.solName + QStringLiteral(", ") + c +
                 QStringLiteral(", λ = ") + QString::number(pt.lambda) +
                 QStringLiteral(" nm, l = ") + output::thicknessText(pt.cuve) +
                 QStringLiteral(" cm : ") + a,
             false, Qt::black);
    }
    const Fit f = currentFit();
    if (!f.ok) {
        line(f.why, false, Qt::black);
    } else {
        QString m = f.model == Model::Origin
                        ? QStringLiteral("Droite A = k · c : k = ") + pretty(f.k) +
                              QStringLiteral(" L·mol⁻¹")
                        : QStringLiteral("Droite A = a · c + b : a = ") + pretty(f.k) +
                              QStringLiteral(" L·mol⁻¹, b = ") + pretty(f.b);
        if (f.r2)
            m += QStringLiteral(", R² = ") +
                 QString::number(*f.r2, 'f', 4).replace(QLatin1Char('.'), QLatin1Char(','));
        line(m, false, kLineColour);
        if (const auto e = epsilon(f, points))
            line(QStringLiteral("ε = k / l = ") + pretty(*e) + QStringLiteral(" L·mol⁻¹·cm⁻¹"),
                 false, kLineColour);
        if (const auto c = unknownReading())
            line(QStringLiteral("Échantillon inconnu : c lue = ") + pretty(*c) +
                     QStringLiteral(" mol·L⁻¹"),
                 false, kReadingColour);
    }
    p.restore();
    return y + lh;
}

bool Session::checkExercise(const QString &e35Path, QWidget *parent)
{
    m_pending.reset();
    // The records after the description's own, else a file of their own.
    auto read = [](const QString &path, int first, bool *corrupt) {
        QStringList recs;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return recs;
        const QByteArray data = file.readAll();
        for (int n = first; n < first + kRecordCount; ++n) {
            QString t;
            if (recordfile::readRecord(data, n, &t) == recordfile::ReadStatus::Corrupt)
                *corrupt = true;
            recs << t;
        }
        return recs;
    };
    bool corrupt = false;
    QStringList recs = read(e35Path, kFirstRecord, &corrupt);
    if (recs.value(0).trimmed() != kTag) {
        corrupt = false;
        QString side = e35Path;
        const int dot = side.lastIndexOf(QLatin1Char('.'));
        if (dot > side.lastIndexOf(QLatin1Char('/')))
            side.truncate(dot);
        side += kSideExtension;
        recs = QFile::exists(side) ? read(side, 1, &corrupt) : QStringList();
        if (QFile::exists(side) && recs.isEmpty())
            corrupt = true; // there but unreadable
        if (corrupt && recs.value(0).trimmed() != kTag)
            recs = QStringList{kTag}; // a damaged file of calibration records is refused
    }
    bool bad = false;
    const std::optional<Exercise> e = parseExercise(recs, &bad);
    // A damaged record counts only when the calibration records are there.
    if (bad || (corrupt && recs.value(0).trimmed() == kTag)) {
        msgbox::show(parent, QStringLiteral("Ce fichier ne correspond pas à cette application"),
                     QStringLiteral("Fichier non valide"), msgbox::Icon::Error);
        return false;
    }
    m_pending = e;
    return true;
}

void Session::applyExercise(const QString &)
{
    if (!m_pending)
        return;
    const Exercise e = *m_pending;
    m_pending.reset();
    if (unknownInCuvette())
        putUnknownInCuvette(false);
    points.clear();
    model = e.model;
    if (e.limit > 0)
        m_w.c.UpDown2->setValue(e.limit);
    standards = e.standards;
    stock = e.stock;
    setUnknown(e.unknown, m_w.c.Combo1->currentIndex(), true);
    updateButton();
    showMesures();
}

std::function<void(FeuilleP &)> Session::carryOver() const
{
    if (points.isEmpty() && !unknown.set && standards.isEmpty() && !m_mesures)
        return nullptr;
    const bool shown = m_mesures && m_mesures->isVisible();
    const QString answer = m_mesures ? m_mesures->reponse->text() : QString();
    return
        [copy = Carried{points, model, reading, unknown, revealed, standards, stock, m_savedConc},
         shown, answer](FeuilleP &w) {
            Session *s = install(w);
            s->points = copy.points;
            s->model = copy.model;
            s->reading = copy.reading;
            s->unknown = copy.unknown;
            s->revealed = copy.revealed;
            s->standards = copy.standards;
            s->stock = copy.stock;
            s->m_savedConc = copy.savedConc;
            s->updateButton();
            if (!shown)
                return;
            // Once the window has its settings and curves back.
            QTimer::singleShot(0, s, [s, answer] {
                s->showMesures();
                s->mesures()->reponse->setText(answer);
                emit s->changed();
            });
        };
}

Mesures *Session::mesures()
{
    if (!m_mesures) {
        m_mesures = new Mesures(*this, &m_w);
        connect(m_mesures, &Mesures::visibilityChanged, this, &Session::updateButton);
    }
    return m_mesures;
}

void Session::showMesures()
{
    Mesures *m = mesures();
    m->refresh();
    if (!m_placed) {
        // Centred on the window, as dialogs are, it would hide the
        // concentration box, the readout and the graph being measured.
        m_placed = true;
        m->adjustSize();
        const QRect outer = m_w.frameGeometry(), inner = m_w.geometry();
        const QSize frame = outer.size() - inner.size();
        if (const QScreen *screen = m_w.screen())
            m->move(placement::beside(outer, m->size() + frame, screen->availableGeometry()));
    }
    m->show();
    m->raise();
    updateButton();
}

void Session::updateButton()
{
    if (m_button)
        m_button->setVisible(!points.isEmpty() || (m_mesures && m_mesures->isVisible()));
}

} // namespace calib
