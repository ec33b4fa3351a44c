#include "mainwindow/accessibility.h"

#include "common/accessible.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/keyboard.h"
#include "model/absorbance.h"
#include "output/report.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>

namespace accessibility
{

namespace
{

void name(QWidget *w, const QString &n, const QString &d = QString())
{
    w->setAccessibleName(n);
    if (!d.isEmpty())
        w->setAccessibleDescription(d);
}

QString withKey(const QString &text, const char *keys)
{
    return text + QStringLiteral(" (") +
           QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText) +
           QStringLiteral(")");
}

} // namespace

QString schemaDescription(const FeuilleP &w)
{
    const Controls &c = w.c;
    const auto r = spectro::computeAbsorbance(w.state.spectre, c.Text1->text(), c.HScroll1->value(),
                                              c.UpDown1->value());
    QString reading;
    if (!r)
        reading = QStringLiteral("Absorbance : pas de mesure");
    else if (r->text == QLatin1String("----"))
        reading = QStringLiteral("Absorbance : hors de l'échelle de mesure (plus de 3)");
    else
        reading = QStringLiteral("Absorbance : ") + r->text;
    return reading + QStringLiteral(" ; longueur d'onde : %1 nm ; cuve de %2 ; %3")
                         .arg(c.HScroll1->value())
                         .arg(output::thicknessText(c.UpDown1->value()) + QStringLiteral(" cm"),
                              c.Combo1->currentText());
}

QString graphDescription(const FeuilleP &w)
{
    const graph::Graph &g = *w.graph;
    QString kind;
    if (g.typegraphe == 1)
        kind = QStringLiteral("Absorbance en fonction de la longueur d'onde, de 400 nm à 800 nm");
    else
        kind = QStringLiteral("Absorbance en fonction de la concentration, de 0 à 10 puissance "
                              "%1 mol par litre")
                   .arg(w.c.UpDown2->value() - 6);
    const QString scale = QStringLiteral("absorbance de 0 à ") + numfmt::general(g.absaxe);
    const int n = g.store.dercourbe + 1;
    const QString curves = n <= 0   ? QStringLiteral("aucune courbe")
                           : n == 1 ? QStringLiteral("1 courbe")
                                    : QStringLiteral("%1 courbes").arg(n);
    return kind + QStringLiteral(" ; ") + scale + QStringLiteral(" ; ") + curves;
}

void install(FeuilleP &w)
{
    Controls &c = w.c;
    accessible::Description window;
    window.role = QAccessible::Window;
    window.name = [&w] { return w.windowTitle(); };
    window.description = [] {
        return QStringLiteral("Simulateur de spectrophotomètre UV-visible");
    };
    accessible::describe(&w, window);
    const std::pair<QPushButton *, const char *> top[] = {
        {w.Command2, "Ouvrir"},    {w.Command11, "Enregistrer"}, {w.Command4, "Copier"},
        {w.Command10, "Imprimer"}, {w.Command8, "Calculatrice"}, {w.Command7, "Aide"},
        {w.Command1, "Fermer"}};
    for (const auto &[b, n] : top)
        name(b, QString::fromUtf8(n), w.helpText(b));
    // Its help text changes with the help line; the description keeps the first.
    w.Command4->setAccessibleDescription(
        QStringLiteral("Copier pour placer l'image dans le presse-papiers puis coller depuis "
                       "Word, Paint..."));
    name(c.Command5, QStringLiteral("Tracer"), withKey(w.helpText(c.Command5), keyboard::kTracer));
    name(c.Command6, QStringLiteral("Supprimer la dernière courbe"),
         withKey(w.helpText(c.Command6), keyboard::kSupprimer));
    name(c.Command3, QStringLiteral("Effacer le graphe"),
         withKey(w.helpText(c.Command3), keyboard::kEffacer));
    name(c.btexo, QStringLiteral("Exercices"), w.helpText(c.btexo));

    accessible::Tabs tabs;
    tabs.name = QStringLiteral("Réglages");
    tabs.captions = {QStringLiteral("Solution"), QStringLiteral("Spectrophotomètre"),
                     QStringLiteral("Graphe")};
    tabs.current = [&w] { return (w.onglet < 1 ? 1 : w.onglet) - 1; };
    tabs.select = [&w](int i) { w.setOnglet(i + 1); };
    tabs.tabRect = [&w](int i) {
        const int l = w.tabBoundary(i) + 1;
        return QRect(l, 0, w.tabBoundary(i + 1) - l + 1, 16);
    };
    accessible::describeTabs(w.Onglets, tabs);
    const std::pair<PictureBox *, const char *> panels[] = {
        {w.Picture3, "Solution"}, {w.frame2, "Spectrophotomètre"}, {w.Picture1, "Graphe"}};
    for (const auto &[p, n] : panels) {
        accessible::Description d;
        d.role = QAccessible::Grouping;
        name(p, QString::fromUtf8(n), w.helpText(p));
        accessible::describe(p, d);
    }

    name(c.Combo1, QStringLiteral("Solution"));
    name(c.Text1, QStringLiteral("Concentration en mol par litre"),
         QStringLiteral("Nombre décimal avec une virgule"));
    name(c.Text2, QStringLiteral("pH"));
    name(c.HScroll1, QStringLiteral("Longueur d'onde en nanomètres"),
         QStringLiteral("De 400 à 800 nm ; flèches : 1 nm, page précédente et page suivante : "
                        "25 nm"));
    name(w.Image1, QStringLiteral("Spectre de la lumière visible"));
    name(c.Label7, QStringLiteral("Longueur d'onde"));
    name(c.Label1, QStringLiteral("Épaisseur de la cuve"));
    name(c.Label2, QStringLiteral("Exposant de la limite du graphe"));
    const auto upDown = [](UpDown *u, const QString &n, const std::function<QString()> &text) {
        accessible::Description d;
        d.role = QAccessible::SpinBox;
        d.name = [n] { return n; };
        d.description = text;
        d.value = [u] { return double(u->value()); };
        d.setValue = [u](double v) { u->setValue(numfmt::cint(v)); };
        d.minimum = u->minimum();
        d.maximum = u->maximum();
        accessible::describe(u, d);
        QObject::connect(u, &UpDown::valueChanged, u, [u](int v) {
            QAccessibleValueChangeEvent e(u, v);
            QAccessible::updateAccessibility(&e);
        });
    };
    upDown(c.UpDown1, QStringLiteral("Épaisseur de la cuve"),
           [&c] { return output::thicknessText(c.UpDown1->value()) + QStringLiteral(" cm"); });
    upDown(c.UpDown2, QStringLiteral("Limite du graphe de concentration"), [&c] {
        return QStringLiteral("10 puissance %1 mol par litre").arg(c.UpDown2->value() - 6);
    });
    name(c.Option1[0], QStringLiteral("Absorbance en fonction de la longueur d'onde"));
    name(c.Option1[1], QStringLiteral("Absorbance en fonction de la concentration"));
    name(c.Rappo, QStringLiteral("Courbes tracées"), w.helpText(c.Rappo));
    name(c.info, QStringLiteral("Aide"));
    name(c.fich, QStringLiteral("Fichier de l'exercice"));
    name(c.supertext, QStringLiteral("Texte de l'exercice"));
    name(w.Image3, QStringLiteral("Cuve"));
    name(w.Image2, QStringLiteral("Prisme"));
    for (QLabel *l : c.Labeli)
        name(l, QStringLiteral("Lecture du pointeur sur le graphe"));

    accessible::Description schema;
    schema.role = QAccessible::Graphic;
    schema.name = [] { return QStringLiteral("Schéma du spectrophotomètre"); };
    schema.description = [&w] { return schemaDescription(w); };
    schema.value = [&w] { return double(w.state.absorbance); };
    schema.maximum = 3;
    schema.live = true;
    accessible::describe(c.schema, schema);

    accessible::Description graphe;
    graphe.role = QAccessible::Chart;
    graphe.name = [] { return QStringLiteral("Graphe"); };
    graphe.description = [&w] { return graphDescription(w); };
    graphe.live = true;
    accessible::describe(c.graphik, graphe);
}

} // namespace accessibility
