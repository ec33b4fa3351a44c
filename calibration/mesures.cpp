#include "calibration/mesures.h"

#include "calibration/session.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "mainwindow/feuillep.h"
#include "output/report.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace calib
{

namespace
{

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QString r2Text(const Fit &f)
{
    if (!f.r2)
        return QStringLiteral("R² non défini (toutes les absorbances sont égales)");
    return QStringLiteral("R² = ") +
           QString::number(*f.r2, 'f', 4).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

Mesures::Mesures(Session &s, QWidget *parent) : QDialog(parent), m_s(s)
{
    setObjectName(QStringLiteral("Mesures"));
    setWindowTitle(QStringLiteral("Mesures"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    // Texts grow with the results: the window grows with them.
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    tableau = new QTableWidget(0, 7, this);
    tableau->setObjectName(QStringLiteral("tableau"));
    tableau->setHorizontalHeaderLabels({QStringLiteral("Solution"), QStringLiteral("c (mol/L)"),
                                        QStringLiteral("pH"), QStringLiteral("λ (nm)"),
                                        QStringLiteral("l (cm)"), QStringLiteral("A"),
                                        QStringLiteral("")});
    tableau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableau->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableau->setSelectionMode(QAbstractItemView::SingleSelection);
    tableau->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tableau->horizontalHeader()->setStretchLastSection(true);
    tableau->setMinimumSize(560, 170);
    layout->addWidget(tableau);

    auto *row = new QHBoxLayout;
    mesurer = button(QStringLiteral("&Mesurer"), "mesurer", this);
    mesurer->setToolTip(QStringLiteral("Enregistrer la mesure affichée (Ctrl+M)"));
    supprimer = button(QStringLiteral("&Supprimer le point"), "supprimer", this);
    effacer = button(QStringLiteral("&Tout effacer"), "effacer", this);
    dilution = button(QStringLiteral("Étalon par &dilution..."), "dilution", this);
    for (QPushButton *b : {mesurer, supprimer, effacer, dilution})
        row->addWidget(b);
    layout->addLayout(row);

    m_standardsRow = new QWidget(this);
    auto *srow = new QHBoxLayout(m_standardsRow);
    srow->setContentsMargins(0, 0, 0, 0);
    srow->addWidget(new QLabel(QStringLiteral("Étalons de l'exercice :"), m_standardsRow));
    etalons = new QComboBox(m_standardsRow);
    etalons->setObjectName(QStringLiteral("etalons"));
    srow->addWidget(etalons, 1);
    preparer = button(QStringLiteral("&Préparer cet étalon"), "preparer", m_standardsRow);
    srow->addWidget(preparer);
    layout->addWidget(m_standardsRow);

    avertissements = new QLabel(this);
    avertissements->setObjectName(QStringLiteral("avertissements"));
    avertissements->setWordWrap(true);
    avertissements->setStyleSheet(QStringLiteral("color: rgb(192,0,0);"));
    layout->addWidget(avertissements);

    auto *model = new QGroupBox(QStringLiteral("Modélisation"), this);
    auto *ml = new QVBoxLayout(model);
    origine = new QRadioButton(QStringLiteral("Droite passant par l'origine : A = k · c"), model);
    origine->setObjectName(QStringLiteral("origine"));
    affine = new QRadioButton(QStringLiteral("Droite affine : A = a · c + b"), model);
    affine->setObjectName(QStringLiteral("affine"));
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(origine);
    kinds->addButton(affine);
    modele = new QLabel(model);
    modele->setObjectName(QStringLiteral("modele"));
    modele->setWordWrap(true);
    modele->setTextFormat(Qt::PlainText);
    ml->addWidget(origine);
    ml->addWidget(affine);
    ml->addWidget(modele);
    layout->addWidget(model);

    auto *unknown = new QGroupBox(QStringLiteral("Échantillon inconnu"), this);
    auto *ul = new QVBoxLayout(unknown);
    etatInconnu = new QLabel(unknown);
    etatInconnu->setObjectName(QStringLiteral("etatInconnu"));
    ul->addWidget(etatInconnu);
    auto *urow = new QHBoxLayout;
    tirer = button(QStringLiteral("&Nouvel échantillon"), "tirer", unknown);
    tirer->setToolTip(QStringLiteral("Un échantillon de la solution choisie, de concentration "
                                     "tirée au hasard dans le domaine du graphe"));
    dansLaCuve = new QCheckBox(QStringLiteral("Échantillon &inconnu dans la cuve"), unknown);
    dansLaCuve->setObjectName(QStringLiteral("dansLaCuve"));
    urow->addWidget(tirer);
    urow->addWidget(dansLaCuve, 1);
    ul->addLayout(urow);
    lecture = new QLabel(unknown);
    lecture->setObjectName(QStringLiteral("lecture"));
    lecture->setWordWrap(true);
    ul->addWidget(lecture);
    construction = new QCheckBox(QStringLiteral("Lecture &graphique sur la droite"), unknown);
    construction->setObjectName(QStringLiteral("construction"));
    ul->addWidget(construction);
    auto *arow = new QHBoxLayout;
    arow->addWidget(new QLabel(QStringLiteral("Votre réponse (mol/L) :"), unknown));
    reponse = new QLineEdit(unknown);
    reponse->setObjectName(QStringLiteral("reponse"));
    arow->addWidget(reponse, 1);
    comparer = button(QStringLiteral("&Comparer"), "comparer", unknown);
    arow->addWidget(comparer);
    ul->addLayout(arow);
    ecart = new QLabel(unknown);
    ecart->setObjectName(QStringLiteral("ecart"));
    ul->addWidget(ecart);
    auto *vrow = new QHBoxLayout;
    reveler = button(QStringLiteral("&Révéler la valeur"), "reveler", unknown);
    valeur = new QLabel(unknown);
    valeur->setObjectName(QStringLiteral("valeur"));
    vrow->addWidget(reveler);
    vrow->addWidget(valeur, 1);
    ul->addLayout(vrow);
    layout->addWidget(unknown);

    auto *brow = new QHBoxLayout;
    copier = button(QStringLiteral("C&opier le tableau"), "copier", this);
    exporter = button(QStringLiteral("&Exporter (CSV)..."), "exporter", this);
    fermer = button(QStringLiteral("&Fermer"), "fermer", this);
    brow->addWidget(copier);
    brow->addWidget(exporter);
    brow->addStretch(1);
    brow->addWidget(fermer);
    layout->addLayout(brow);

    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    connect(shortcut, &QShortcut::activated, mesurer, &QPushButton::click);
    connect(mesurer, &QPushButton::clicked, this, [this] {
        if (!m_s.measure())
            msgbox::show(this,
                         QStringLiteral("L'afficheur ne donne aucune mesure : vérifier la "
                                        "concentration."),
                         QStringLiteral("Mesures"), msgbox::Icon::Information);
    });
    connect(supprimer, &QPushButton::clicked, this, &Mesures::supprimerClick);
    connect(effacer, &QPushButton::clicked, this, &Mesures::effacerClick);
    connect(dilution, &QPushButton::clicked, this, [this] {
        DilutionDialog d(m_s, this);
        d.exec();
    });
    connect(preparer, &QPushButton::clicked, this, &Mesures::preparerClick);
    connect(origine, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_s.setModel(Model::Origin);
    });
    connect(affine, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_s.setModel(Model::Affine);
    });
    connect(tirer, &QPushButton::clicked, this,
            [this] { m_s.newUnknown(QRandomGenerator::global()->generateDouble()); });
    connect(dansLaCuve, &QCheckBox::clicked, this,
            [this](bool on) { m_s.putUnknownInCuvette(on); });
    connect(construction, &QCheckBox::toggled, this, [this](bool on) { m_s.setReading(on); });
    connect(comparer, &QPushButton::clicked, this, &Mesures::comparerClick);
    connect(reponse, &QLineEdit::returnPressed, this, &Mesures::comparerClick);
    connect(reveler, &QPushButton::clicked, this, &Mesures::revelerClick);
    connect(copier, &QPushButton::clicked, this, [this] { m_s.copyTable(); });
    connect(exporter, &QPushButton::clicked, this, &Mesures::exporterClick);
    connect(fermer, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_s, &Session::changed, this, &Mesures::refresh);
    refresh();
}

void Mesures::refresh()
{
    const QVector<Point> &pts = m_s.points;
    const QSignalBlocker blockTable(tableau);
    tableau->setRowCount(int(pts.size()));
    for (int i = 0; i < pts.size(); ++i) {
        const Point &p = pts[i];
        QString name = p.solName;
        for (const char *prefix : {"Solution de ", "Solution d'"}) {
            if (name.startsWith(QLatin1String(prefix)))
                name = name.mid(int(qstrlen(prefix)));
        }
        const QString cells[7] = {
            name,
            p.unknown ? kUnknownText : p.conc,
            p.ph,
            QString::number(p.lambda),
            output::thicknessText(p.cuve),
            p.beyond
                ? QStringLiteral("----")
                : numfmt::format(numfmt::single(p.absorbance), QStringLiteral("0.0##")).trimmed(),
            p.beyond ? QStringLiteral("hors limite, non modélisé")
                     : (p.unknown ? QStringLiteral("échantillon inconnu") : QString())};
        for (int k = 0; k < 7; ++k) {
            auto *item = new QTableWidgetItem(cells[k]);
            if (p.unknown)
                item->setForeground(QColor(0, 110, 190));
            tableau->setItem(i, k, item);
        }
        tableau->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(i + 1)));
    }
    supprimer->setEnabled(!pts.isEmpty());
    effacer->setEnabled(!pts.isEmpty());
    copier->setEnabled(!pts.isEmpty());
    exporter->setEnabled(!pts.isEmpty());

    avertissements->setText(mixWarnings(pts).join(QLatin1Char('\n')));
    avertissements->setVisible(!avertissements->text().isEmpty());

    {
        const QSignalBlocker b1(origine), b2(affine);
        origine->setChecked(m_s.model == Model::Origin);
        affine->setChecked(m_s.model == Model::Affine);
    }
    const Fit f = m_s.currentFit();
    if (!f.ok) {
        modele->setText(f.why);
    } else if (f.model == Model::Origin) {
        QString t = QStringLiteral("A = k · c avec k = ") + pretty(f.k) +
                    QStringLiteral(" L·mol⁻¹ ; ") + r2Text(f);
        QString why;
        if (const auto e = epsilon(f, pts, &why))
            t += QStringLiteral("\nε = k / l = ") + pretty(*e) + QStringLiteral(" L·mol⁻¹·cm⁻¹");
        else
            t += QStringLiteral("\n") + why;
        modele->setText(t);
    } else {
        modele->setText(QStringLiteral("A = a · c + b avec a = ") + pretty(f.k) +
                        QStringLiteral(" L·mol⁻¹ et b = ") + pretty(f.b) + QStringLiteral(" ; ") +
                        r2Text(f));
    }

    m_standardsRow->setVisible(!m_s.standards.isEmpty());
    {
        const QSignalBlocker b(etalons);
        QStringList items;
        for (double c : m_s.standards)
            items << QStringLiteral("c = ") + concentrationText(c) + QStringLiteral(" mol/L");
        QStringList shown;
        for (int i = 0; i < etalons->count(); ++i)
            shown << etalons->itemText(i);
        // A new series starts again from its first standard.
        if (items != shown) {
            etalons->clear();
            etalons->addItems(items);
            etalons->setCurrentIndex(items.isEmpty() ? -1 : 0);
        }
    }

    const auto &u = m_s.unknown;
    if (!u.set)
        etatInconnu->setText(QStringLiteral("Aucun échantillon : « Nouvel échantillon » en "
                                            "prépare un\nde la solution choisie."));
    else
        etatInconnu->setText((u.fromExercise ? QStringLiteral("Échantillon de l'exercice")
                                             : QStringLiteral("Échantillon préparé au hasard")) +
                             QStringLiteral(" :\n") + m_s.window().c.Combo1->itemText(u.sol) +
                             QStringLiteral(", concentration inconnue."));
    dansLaCuve->setEnabled(u.set);
    {
        const QSignalBlocker b(dansLaCuve);
        dansLaCuve->setChecked(m_s.unknownInCuvette());
    }
    {
        const QSignalBlocker b(construction);
        construction->setChecked(m_s.reading);
    }
    QString why;
    if (!u.set) {
        lecture->clear();
    } else if (const auto c = m_s.unknownReading(&why)) {
        const Point *p = m_s.unknownPoint();
        lecture->setText(
            (f.model == Model::Origin ? QStringLiteral("Lecture : c = A / k = ")
                                      : QStringLiteral("Lecture : c = (A − b) / a = ")) +
            numfmt::format(numfmt::single(p->absorbance), QStringLiteral("0.0##")).trimmed() +
            QStringLiteral(" / ") + pretty(f.k) + QStringLiteral(" = ") + pretty(*c) +
            QStringLiteral(" mol·L⁻¹"));
    } else {
        lecture->setText(why);
    }
    comparer->setEnabled(u.set);
    reveler->setEnabled(u.set);
    tirer->setEnabled(!m_s.unknownInCuvette());
    if (!u.set) {
        ecart->clear();
        valeur->clear();
    } else if (!m_s.revealed) {
        valeur->clear();
    }
}

void Mesures::supprimerClick()
{
    const int r = tableau->currentRow();
    m_s.removePoint(r >= 0 ? r : int(m_s.points.size()) - 1);
}

void Mesures::effacerClick()
{
    if (m_s.points.isEmpty())
        return;
    if (msgbox::show(this, QStringLiteral("Effacer tous les points mesurés ?"),
                     QStringLiteral("Mesures"), msgbox::Icon::Question,
                     msgbox::Buttons::OkCancel) == msgbox::Answer::Cancel)
        return;
    m_s.clearPoints();
}

void Mesures::comparerClick()
{
    if (!m_s.unknown.set)
        return;
    const std::optional<double> a = numfmt::readNumber(reponse->text().trimmed());
    if (!a || !std::isfinite(*a) || *a <= 0) {
        ecart->setText(QStringLiteral("Saisir une concentration en mol/L, par exemple 2,5E-4."));
        return;
    }
    const double gap = relativeGap(*a, m_s.unknown.c);
    const QString t =
        QString::number(std::fabs(gap), 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
    const QString sign = t == QLatin1String("0,0") ? QString()
                         : gap < 0                 ? QStringLiteral("−")
                                                   : QStringLiteral("+");
    ecart->setText(QStringLiteral("Écart relatif à la valeur vraie : ") + sign + t +
                   QStringLiteral(" %"));
}

void Mesures::revelerClick()
{
    if (!m_s.unknown.set)
        return;
    m_s.revealed = true;
    valeur->setText(QStringLiteral("Valeur vraie : c = ") + pretty(m_s.unknown.c) +
                    QStringLiteral(" mol·L⁻¹"));
}

void Mesures::exporterClick()
{
    const QString proposed =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("mesures.csv"));
    QString path =
        Session::askCsvFileName
            ? Session::askCsvFileName(this, proposed)
            : QFileDialog::getSaveFileName(this, QStringLiteral("Exporter les mesures"), proposed,
                                           QStringLiteral("Tableau CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    if (!m_s.writeCsv(path))
        msgbox::show(this, QStringLiteral("Ecriture impossible sur disque"),
                     QStringLiteral("Enregistrement impossible"), msgbox::Icon::Error);
}

void Mesures::preparerClick()
{
    const int i = etalons->currentIndex();
    if (i < 0 || i >= m_s.standards.size())
        return;
    if (m_s.unknownInCuvette())
        m_s.putUnknownInCuvette(false);
    FeuilleP &w = m_s.window();
    w.c.Text1->setText(concentrationText(m_s.standards[i]));
    w.Text1_LostFocus();
    if (i + 1 < etalons->count())
        etalons->setCurrentIndex(i + 1);
}

void Mesures::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    emit visibilityChanged();
}

void Mesures::hideEvent(QHideEvent *e)
{
    QDialog::hideEvent(e);
    emit visibilityChanged();
}

// ---- dilution ----

DilutionDialog::DilutionDialog(Session &s, QWidget *parent) : QDialog(parent), m_s(s)
{
    setObjectName(QStringLiteral("dilution"));
    setWindowTitle(QStringLiteral("Préparer un étalon par dilution"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QHBoxLayout;
    grid->addWidget(new QLabel(QStringLiteral("Solution mère (mol/L) :"), this));
    mere = new QLineEdit(this);
    mere->setObjectName(QStringLiteral("mere"));
    const double stock =
        s.stock > 0 ? s.stock : numfmt::readNumber(s.window().c.Text1->text()).value_or(0);
    mere->setText(stock > 0 ? concentrationText(stock) : QString());
    grid->addWidget(mere, 1);
    layout->addLayout(grid);
    auto *glass = new QHBoxLayout;
    glass->addWidget(new QLabel(QStringLiteral("Pipette jaugée :"), this));
    pipette = new QComboBox(this);
    pipette->setObjectName(QStringLiteral("pipette"));
    for (double v : kPipettes)
        pipette->addItem(QString::number(v) + QStringLiteral(" mL"), v);
    glass->addWidget(pipette);
    glass->addWidget(new QLabel(QStringLiteral("Fiole jaugée :"), this));
    fiole = new QComboBox(this);
    fiole->setObjectName(QStringLiteral("fiole"));
    for (double v : kFlasks)
        fiole->addItem(QString::number(v) + QStringLiteral(" mL"), v);
    fiole->setCurrentIndex(1);
    glass->addWidget(fiole);
    layout->addLayout(glass);
    resultat = new QLabel(this);
    resultat->setObjectName(QStringLiteral("resultat"));
    resultat->setWordWrap(true);
    layout->addWidget(resultat);
    auto *row = new QHBoxLayout;
    placer = button(QStringLiteral("&Mettre dans la cuve"), "placer", this);
    remplir = button(QStringLiteral("&Gamme avec cette fiole"), "remplir", this);
    row->addWidget(placer);
    row->addWidget(remplir);
    layout->addLayout(row);
    gamme = new QTableWidget(0, 4, this);
    gamme->setObjectName(QStringLiteral("gamme"));
    gamme->setHorizontalHeaderLabels({QStringLiteral("Pipette (mL)"), QStringLiteral("Fiole (mL)"),
                                      QStringLiteral("Facteur F"), QStringLiteral("c (mol/L)")});
    gamme->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gamme->setSelectionBehavior(QAbstractItemView::SelectRows);
    gamme->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(gamme);
    auto *close = button(QStringLiteral("&Fermer"), "fermer", this);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(mere, &QLineEdit::textChanged, this, &DilutionDialog::update);
    connect(pipette, &QComboBox::currentIndexChanged, this, &DilutionDialog::update);
    connect(fiole, &QComboBox::currentIndexChanged, this, &DilutionDialog::update);
    connect(placer, &QPushButton::clicked, this, [this] {
        QString why;
        const auto d =
            dilute(numfmt::readNumber(mere->text()).value_or(0), pipette->currentData().toDouble(),
                   fiole->currentData().toDouble(), &why);
        if (d)
            place(d->c);
    });
    connect(remplir, &QPushButton::clicked, this, &DilutionDialog::fillSeries);
    connect(gamme, &QTableWidget::cellDoubleClicked, this, [this](int r, int) {
        if (auto *it = gamme->item(r, 3))
            place(it->data(Qt::UserRole).toDouble());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    update();
}

void DilutionDialog::update()
{
    QString why;
    const auto d = dilute(numfmt::readNumber(mere->text()).value_or(0),
                          pipette->currentData().toDouble(), fiole->currentData().toDouble(), &why);
    placer->setEnabled(d.has_value());
    if (!d) {
        resultat->setText(why);
        return;
    }
    resultat->setText(QStringLiteral("Facteur de dilution F = V(fiole) / V(pipette) = ") +
                      numfmt::general(numfmt::round3(d->factor)) +
                      QStringLiteral(" ; c = c(mère) / F = ") + concentrationText(d->c) +
                      QStringLiteral(" mol·L⁻¹"));
}

void DilutionDialog::fillSeries()
{
    const QVector<SeriesRow> rows =
        series(numfmt::readNumber(mere->text()).value_or(0), fiole->currentData().toDouble());
    gamme->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const SeriesRow &r = rows[i];
        gamme->setItem(i, 0, new QTableWidgetItem(QString::number(r.pipette)));
        gamme->setItem(i, 1, new QTableWidgetItem(QString::number(r.flask)));
        gamme->setItem(i, 2, new QTableWidgetItem(numfmt::general(numfmt::round3(r.d.factor))));
        auto *c = new QTableWidgetItem(concentrationText(r.d.c));
        c->setData(Qt::UserRole, r.d.c);
        gamme->setItem(i, 3, c);
    }
}

void DilutionDialog::place(double c)
{
    if (m_s.unknownInCuvette())
        m_s.putUnknownInCuvette(false);
    FeuilleP &w = m_s.window();
    w.c.Text1->setText(concentrationText(c));
    w.Text1_LostFocus();
}

} // namespace calib
