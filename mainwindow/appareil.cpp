#include "mainwindow/appareil.h"

#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "mainwindow/feuillep.h"
#include "model/absorbance.h"
#include "schematic/realmarks.h"
#include "schematic/spectrumcolour.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <cmath>

namespace ins = spectro::instrument;

namespace
{

// The first of the records after the nine, and how many follow it.
const QString kTag = QStringLiteral("APPAREIL REEL 1");
constexpr int kRecords = 8; // tag, settings, blank, list, count, three components

QString number(double v)
{
    return QString::number(v, 'g', 10);
}

std::optional<double> toNumber(const QString &t)
{
    bool ok = false;
    const double v = t.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> toInt(const QString &t)
{
    bool ok = false;
    const int v = t.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace

Appareil::Appareil(FeuilleP &feuille) : QObject(&feuille), f(feuille)
{
    buildBar();
    buildMenu();
    m_composition = new QPushButton(QStringLiteral("Composition du mélange…"), f.Picture3);
    m_composition->setFont(arialFont(8));
    m_composition->setGeometry(16, 112, 170, 22);
    m_composition->hide();
    connect(m_composition, &QPushButton::clicked, this, &Appareil::editMixture);

    for (QWidget *w : std::initializer_list<QWidget *>{f.c.schema, f.Picture3}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &p) { m_menu->popup(w->mapToGlobal(p)); });
    }
    connect(f.c.Combo1, &QComboBox::currentIndexChanged, this, [this] { selectionChanged(); });
    // Picking the mixture in the list measures it at its own total concentration.
    connect(f.c.Combo1, &QComboBox::activated, this, [this](int index) {
        if (index == spectro::kMixtureIndex)
            setMixture(m_mix);
    });
    f.graph->captureExtras = [this](bool newCurve) { return capture(newCurve); };
    f.graph->applyExtras = [this](const spectro::CurveExtras &x) { applyCurve(x); };
    f.graph->sampleColour = [this] { return sampleColour(); };
    connect(f.graph.get(), &graph::Graph::traceFinished, this, [this] { m_traceBaseline = false; });
    f.installEventFilter(this);
    placeBar();
    syncWidgets();
}

bool Appareil::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &f && event->type() == QEvent::Resize)
        placeBar();
    return QObject::eventFilter(watched, event);
}

void Appareil::placeBar()
{
    // Below the graph and the exercise text where the window has the room;
    // a window cut to its designed height gets it over the graph's bottom edge.
    m_bar->setGeometry(4, std::min(547, f.height() - 22), 792, 22);
}

Appareil::~Appareil() = default;

void Appareil::buildBar()
{
    // Below the graph and the exercise text, where the window has room left:
    // shown only while the mode is on.
    m_bar = new QWidget(&f);
    m_bar->setFont(arialFont(8));
    m_bar->setAutoFillBackground(true);
    QPalette pal = m_bar->palette();
    pal.setColor(QPalette::Window, QColor(255, 235, 220));
    m_bar->setPalette(pal);
    auto *row = new QHBoxLayout(m_bar);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(6);
    auto *title = new QLabel(QStringLiteral("<b>Appareil réel</b>"), m_bar);
    row->addWidget(title);
    m_blankButton = new QPushButton(QStringLiteral("Faire le blanc"), m_bar);
    row->addWidget(m_blankButton);
    m_tBox = new QCheckBox(QStringLiteral("T (%)"), m_bar);
    row->addWidget(m_tBox);
    row->addWidget(new QLabel(QStringLiteral("Bande passante"), m_bar));
    m_bandwidth = new QSpinBox(m_bar);
    m_bandwidth->setRange(ins::kBandwidthMin, ins::kBandwidthMax);
    m_bandwidth->setSuffix(QStringLiteral(" nm"));
    m_bandwidth->setAccessibleName(QStringLiteral("Bande passante"));
    row->addWidget(m_bandwidth);
    row->addWidget(new QLabel(QStringLiteral("Lumière parasite"), m_bar));
    m_stray = new QDoubleSpinBox(m_bar);
    m_stray->setLocale(QLocale(QLocale::French, QLocale::France));
    m_stray->setDecimals(2);
    m_stray->setRange(100 * ins::kStrayMin, 100 * ins::kStrayMax);
    m_stray->setSingleStep(0.05);
    m_stray->setSuffix(QStringLiteral(" %"));
    m_stray->setAccessibleName(QStringLiteral("Lumière parasite"));
    row->addWidget(m_stray);
    m_noiseBox = new QCheckBox(QStringLiteral("Bruit, graine"), m_bar);
    row->addWidget(m_noiseBox);
    m_seed = new QSpinBox(m_bar);
    m_seed->setRange(0, int(ins::kSeedMax));
    m_seed->setAccessibleName(QStringLiteral("Graine du bruit"));
    row->addWidget(m_seed);
    row->addStretch(1);
    m_bar->hide();

    connect(m_blankButton, &QPushButton::clicked, this, &Appareil::faireLeBlanc);
    const auto fromWidgets = [this] {
        if (m_syncing)
            return;
        ins::Settings s = m_real;
        s.showT = m_tBox->isChecked();
        s.bandwidth = m_bandwidth->value();
        s.stray = m_stray->value() / 100;
        s.noise = m_noiseBox->isChecked();
        s.seed = std::uint32_t(m_seed->value());
        setSettings(s);
    };
    connect(m_tBox, &QCheckBox::toggled, this, fromWidgets);
    connect(m_noiseBox, &QCheckBox::toggled, this, fromWidgets);
    connect(m_bandwidth, &QSpinBox::valueChanged, this, fromWidgets);
    connect(m_seed, &QSpinBox::valueChanged, this, fromWidgets);
    connect(m_stray, &QDoubleSpinBox::valueChanged, this, fromWidgets);
}

void Appareil::buildMenu()
{
    m_menu = new QMenu(&f);
    m_realAction = m_menu->addAction(QStringLiteral("Appareil réel"));
    m_realAction->setCheckable(true);
    connect(m_realAction, &QAction::triggered, this, &Appareil::setRealMode);
    m_blankAction = m_menu->addAction(QStringLiteral("Faire le blanc"));
    connect(m_blankAction, &QAction::triggered, this, &Appareil::faireLeBlanc);
    m_tAction = m_menu->addAction(QStringLiteral("Afficher la transmittance T (%)"));
    m_tAction->setCheckable(true);
    connect(m_tAction, &QAction::triggered, this, [this](bool on) {
        ins::Settings s = m_real;
        s.showT = on;
        setSettings(s);
    });
    m_menu->addSeparator();
    m_extendedAction = m_menu->addAction(QStringLiteral("Colorants alimentaires et mélanges"));
    m_extendedAction->setCheckable(true);
    connect(m_extendedAction, &QAction::triggered, this, &Appareil::setExtended);
    m_mixAction = m_menu->addAction(QStringLiteral("Composition du mélange…"));
    connect(m_mixAction, &QAction::triggered, this, &Appareil::editMixture);
}

void Appareil::syncWidgets()
{
    m_syncing = true;
    m_realAction->setChecked(m_real.enabled);
    m_blankAction->setEnabled(m_real.enabled);
    m_tAction->setEnabled(m_real.enabled);
    m_tAction->setChecked(m_real.showT);
    m_extendedAction->setChecked(m_extended);
    m_mixAction->setEnabled(m_extended);
    m_tBox->setChecked(m_real.showT);
    m_bandwidth->setValue(m_real.bandwidth);
    m_stray->setValue(100 * m_real.stray);
    m_noiseBox->setChecked(m_real.noise);
    m_seed->setValue(int(m_real.seed));
    m_bar->setVisible(m_real.enabled);
    m_syncing = false;
}

void Appareil::refresh()
{
    f.majafficheur();
}

void Appareil::setRealMode(bool on)
{
    m_real.enabled = on;
    if (!on)
        m_blank = {};
    syncWidgets();
    refresh();
}

void Appareil::restore(const State &s)
{
    m_real = s.real;
    m_blank = s.blank;
    m_mix = s.mix;
    setExtended(s.extended);
    refresh();
}

void Appareil::setSettings(const ins::Settings &s)
{
    const bool enabled = m_real.enabled;
    m_real = ins::clampSettings(s);
    m_real.enabled = enabled;
    syncWidgets();
    refresh();
}

void Appareil::faireLeBlanc()
{
    if (!m_real.enabled)
        return;
    m_blank = {true, f.c.HScroll1->value(), spectro::thickness(f.c.UpDown1->value())};
    refresh();
}

void Appareil::setExtended(bool on)
{
    QComboBox *combo = f.c.Combo1;
    if (on && combo->count() == spectro::kSolutionCount) {
        const QSignalBlocker block(combo);
        combo->addItems(spectro::extraSampleNames());
    } else if (!on && combo->count() > spectro::kSolutionCount) {
        if (combo->currentIndex() >= spectro::kSolutionCount)
            combo->setCurrentIndex(8);
        const QSignalBlocker block(combo);
        while (combo->count() > spectro::kSolutionCount)
            combo->removeItem(combo->count() - 1);
    }
    m_extended = on;
    syncWidgets();
}

void Appareil::setMixture(const spectro::Mixture &m)
{
    if (!spectro::validMixture(m))
        return;
    m_mix = spectro::checkMixture(m);
    if (isMixtureSelected()) {
        f.c.Text1->setText(spectro::checkConcentration(numfmt::format(
            numfmt::round3(spectro::totalConcentration(m_mix)), QStringLiteral("0.0## ### ###"))));
        f.chargespectre();
        refresh();
    }
}

void Appareil::editMixture()
{
    QDialog d(&f);
    d.setWindowTitle(QStringLiteral("Composition du mélange"));
    d.setFont(arialFont(8));
    auto *grid = new QGridLayout(&d);
    grid->addWidget(new QLabel(QStringLiteral("Solution"), &d), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("c (mol · L-1)"), &d), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("pH (indicateurs)"), &d), 0, 2);
    const QStringList names = spectro::extendedSolutionNames().mid(0, spectro::kMixtureIndex);
    QComboBox *sols[spectro::kMaxComponents];
    QLineEdit *concs[spectro::kMaxComponents];
    QLineEdit *phs[spectro::kMaxComponents];
    for (int k = 0; k < spectro::kMaxComponents; ++k) {
        sols[k] = new QComboBox(&d);
        sols[k]->addItem(QStringLiteral("(aucune)"));
        sols[k]->addItems(names);
        concs[k] = new QLineEdit(QStringLiteral("0,000 01"), &d);
        phs[k] = new QLineEdit(QStringLiteral("7,0"), &d);
        if (k < int(m_mix.parts.size())) {
            sols[k]->setCurrentIndex(m_mix.parts[k].sol + 1);
            concs[k]->setText(m_mix.parts[k].conc);
            phs[k]->setText(m_mix.parts[k].ph);
        }
        grid->addWidget(sols[k], k + 1, 0);
        grid->addWidget(concs[k], k + 1, 1);
        grid->addWidget(phs[k], k + 1, 2);
    }
    auto *buttons = new QDialogButtonBox(&d);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    grid->addWidget(buttons, spectro::kMaxComponents + 1, 0, 1, 3);
    if (d.exec() != QDialog::Accepted)
        return;
    spectro::Mixture m;
    for (int k = 0; k < spectro::kMaxComponents; ++k) {
        if (sols[k]->currentIndex() > 0)
            m.parts.push_back({sols[k]->currentIndex() - 1, concs[k]->text(), phs[k]->text()});
    }
    setMixture(m);
}

bool Appareil::isMixtureSelected() const
{
    return f.state.numsol == spectro::kMixtureNumsol;
}

void Appareil::selectionChanged()
{
    m_composition->setVisible(isMixtureSelected());
}

std::optional<QColor> Appareil::sampleColour() const
{
    if (f.state.numsol < spectro::kFirstDyeNumsol)
        return std::nullopt;
    const std::optional<double> c = numfmt::readNumber(f.c.Text1->text());
    return schematic::couleurSpectre(f.state.spectre, c ? double(float(*c)) : 0.0);
}

bool Appareil::blankValidNow() const
{
    const float l = spectro::thickness(f.c.UpDown1->value());
    if (m_traceBaseline && m_blank.made && m_blank.l == l)
        return true;
    return m_blank.validAt(f.c.HScroll1->value(), l);
}

void Appareil::realReading(float &absorbance, QString &readout)
{
    if (!m_real.enabled)
        return;
    const std::optional<double> conc = numfmt::readNumber(f.c.Text1->text());
    const int lambda = f.c.HScroll1->value();
    if (!conc || lambda < 400 || lambda > 800)
        return;
    const float c = float(*conc);
    const float l = spectro::thickness(f.c.UpDown1->value());
    const int sample = spectro::sampleId(f.state.numsol, m_mix);
    const ins::Measurement m = ins::measure(f.state.spectre, c, l, lambda, m_real, blankValidNow(),
                                            ins::readingKey(lambda, c, l, sample));
    const ins::Readout r = ins::readout(m, m_real);
    absorbance = r.absorbance;
    readout = r.text;
    m_transmittance = r.transmittanceText;
}

void Appareil::drawMarks(Surface &s) const
{
    if (!m_real.enabled)
        return;
    schematic::RealMarks marks;
    marks.settings = QStringLiteral("Appareil réel : ") + spectro::settingsText(m_real);
    marks.blankValid = blankValidNow();
    if (m_real.showT)
        marks.transmittance = m_transmittance;
    schematic::drawRealMarks(s, marks);
}

spectro::CurveExtras Appareil::capture(bool newCurve)
{
    spectro::CurveExtras x;
    if (!newCurve) {
        // For a redraw to put back: the window's own mixture.
        x.mix = m_mix;
        return x;
    }
    x.real = m_real;
    if (isMixtureSelected())
        x.mix = m_mix;
    const float l = spectro::thickness(f.c.UpDown1->value());
    if (m_real.enabled && f.c.Option1[0]->isChecked()) {
        // A scan with the blank made first runs the solvent's baseline over
        // the whole range, as a scanning instrument does.
        m_traceBaseline = m_blank.made && m_blank.l == l;
        x.blankValid = m_traceBaseline;
    } else {
        x.blankValid = m_blank.validAt(f.c.HScroll1->value(), l);
    }
    return x;
}

void Appareil::applyCurve(const spectro::CurveExtras &x)
{
    if (!x.mix.parts.empty())
        m_mix = x.mix;
}

QStringList Appareil::extraRecords() const
{
    if (!m_real.enabled && f.c.Combo1->currentIndex() < spectro::kSolutionCount)
        return {};
    QStringList r;
    r << kTag;
    r << QStringList{m_real.enabled ? QStringLiteral("1") : QStringLiteral("0"),
                     number(m_real.stray),
                     QString::number(m_real.bandwidth),
                     m_real.noise ? QStringLiteral("1") : QStringLiteral("0"),
                     QString::number(m_real.seed),
                     m_real.showT ? QStringLiteral("1") : QStringLiteral("0")}
             .join(QLatin1Char(';'));
    r << QStringList{m_blank.made ? QStringLiteral("1") : QStringLiteral("0"),
                     QString::number(m_blank.lambda), number(m_blank.l)}
             .join(QLatin1Char(';'));
    r << (m_extended ? QStringLiteral("1") : QStringLiteral("0"));
    r << QString::number(m_mix.parts.size());
    for (int k = 0; k < spectro::kMaxComponents; ++k) {
        if (k < int(m_mix.parts.size())) {
            const spectro::MixtureComponent &p = m_mix.parts[k];
            r << QString::number(p.sol) + QLatin1Char(';') + p.conc + QLatin1Char(';') + p.ph;
        } else {
            r << QString();
        }
    }
    return r;
}

bool Appareil::applyExtraRecords(const QStringList &records)
{
    if (records.isEmpty() || records[0] != kTag)
        return true; // a file of nine, or followed by what is not ours
    if (records.size() < kRecords)
        return false;
    const QStringList s = records[1].split(QLatin1Char(';'));
    const QStringList b = records[2].split(QLatin1Char(';'));
    if (s.size() != 6 || b.size() != 3)
        return false;
    const auto flag = [](const QString &t) -> std::optional<bool> {
        if (t == QLatin1String("1"))
            return true;
        if (t == QLatin1String("0"))
            return false;
        return std::nullopt;
    };
    const auto on = flag(s[0]), noise = flag(s[3]), showT = flag(s[5]), made = flag(b[0]),
               ext = flag(records[3]);
    const auto stray = toNumber(s[1]), thick = toNumber(b[2]);
    const auto bw = toInt(s[2]), lam = toInt(b[1]), count = toInt(records[4]);
    bool seedOk = false;
    const uint seed = s[4].trimmed().toUInt(&seedOk);
    if (!on || !noise || !showT || !made || !ext || !stray || !thick || !bw || !lam || !count ||
        !seedOk || *count < 0 || *count > spectro::kMaxComponents)
        return false;
    spectro::Mixture mix;
    for (int k = 0; k < *count; ++k) {
        const QStringList p = records[5 + k].split(QLatin1Char(';'));
        const auto sol = p.size() == 3 ? toInt(p[0]) : std::nullopt;
        if (!sol)
            return false;
        mix.parts.push_back({*sol, p[1], p[2]});
    }
    if (*count > 0 && !spectro::validMixture(mix))
        return false;

    ins::Settings st;
    st.enabled = *on;
    st.stray = *stray;
    st.bandwidth = *bw;
    st.noise = *noise;
    st.seed = seed;
    st.showT = *showT;
    m_real = ins::clampSettings(st);
    m_real.enabled = *on;
    m_blank = {*made && *on, *lam, float(*thick)};
    if (*count > 0)
        m_mix = spectro::checkMixture(mix);
    setExtended(*ext || f.c.Combo1->currentIndex() >= spectro::kSolutionCount);
    syncWidgets();
    return true;
}
