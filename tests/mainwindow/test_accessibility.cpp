// What a screen reader is told, read from the accessible interfaces in the
// program: names, roles, the tab strip's tabs, the live schematic and graph.
#include "fixture.h"

#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/frein.h"
#include "mainwindow/accessibility.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

namespace
{

QAccessibleInterface *iface(QObject *o)
{
    return QAccessible::queryAccessibleInterface(o);
}

using AccessibilityTest = MainWindowTest;

TEST_F(AccessibilityTest, EveryControlOfTheHelpTableHasAFrenchNameAndItsRole)
{
    struct Row {
        QWidget *w;
        const char *name;
        QAccessible::Role role;
    };
    const Row rows[] = {
        {w.get(), "Spectrophotométrie", QAccessible::Window},
        {w->Command2, "Ouvrir", QAccessible::Button},
        {w->Command11, "Enregistrer", QAccessible::Button},
        {w->Command4, "Copier", QAccessible::Button},
        {w->Command10, "Imprimer", QAccessible::Button},
        {w->Command8, "Calculatrice", QAccessible::Button},
        {w->Command7, "Aide", QAccessible::Button},
        {w->Command1, "Fermer", QAccessible::Button},
        {w->c.Command5, "Tracer", QAccessible::Button},
        {w->c.Command6, "Supprimer la dernière courbe", QAccessible::Button},
        {w->c.Command3, "Effacer le graphe", QAccessible::Button},
        {w->Picture3, "Solution", QAccessible::Grouping},
        {w->frame2, "Spectrophotomètre", QAccessible::Grouping},
        {w->Picture1, "Graphe", QAccessible::Grouping},
        {w->c.Rappo, "Courbes tracées", QAccessible::EditableText},
        {w->c.btexo, "Exercices", QAccessible::Button},
        {w->c.schema, "Schéma du spectrophotomètre", QAccessible::Graphic},
        {w->c.graphik, "Graphe", QAccessible::Chart},
        {w->Onglets, "Réglages", QAccessible::PageTabList},
        {w->c.UpDown1, "Épaisseur de la cuve", QAccessible::SpinBox},
        {w->c.HScroll1, "Longueur d'onde en nanomètres", QAccessible::ScrollBar},
    };
    for (const Row &r : rows) {
        QAccessibleInterface *i = iface(r.w);
        ASSERT_NE(i, nullptr) << r.name;
        EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(r.name));
        EXPECT_EQ(i->role(), r.role) << r.name;
    }
    // The buttons' descriptions are the help line's texts.
    EXPECT_EQ(iface(w->Command2)->text(QAccessible::Description),
              QStringLiteral("Pour retrouver une situation enregistrée"));
}

TEST_F(AccessibilityTest, TheTabStripIsAListOfThreeTabsFollowedByItsPanels)
{
    QAccessibleInterface *list = iface(w->Onglets);
    ASSERT_EQ(list->childCount(), 6);
    const char *captions[] = {"Solution", "Spectrophotomètre", "Graphe"};
    w->Onglets->repaint();
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface *tab = list->child(i);
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), QString::fromUtf8(captions[i]));
        EXPECT_EQ(tab->state().selected, i == 0);
        EXPECT_EQ(list->indexOfChild(tab), i);
        EXPECT_EQ(tab->parent(), list);
    }
    EXPECT_EQ(list->child(3)->object(), w->Picture3);
    EXPECT_EQ(list->indexOfChild(iface(w->frame2)), 4);
    // Pressing a tab selects it, as a click would.
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(w->onglet, 3);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
}

TEST_F(AccessibilityTest, TheSchematicTellsItsReadingAndTheGraphItsKindScaleAndCurves)
{
    QAccessibleInterface *schema = iface(w->c.schema);
    const QString before = schema->text(QAccessible::Description);
    EXPECT_TRUE(before.startsWith(QStringLiteral("Absorbance : A = "))) << before.toStdString();
    EXPECT_NE(before.indexOf(QStringLiteral("589 nm")), -1);
    w->c.HScroll1->setValue(530);
    const QString after = schema->text(QAccessible::Description);
    EXPECT_NE(after, before);
    EXPECT_NE(after.indexOf(QStringLiteral("530 nm")), -1);
    ASSERT_NE(schema->valueInterface(), nullptr);
    EXPECT_FLOAT_EQ(schema->valueInterface()->currentValue().toFloat(), w->state.absorbance);

    QAccessibleInterface *graphe = iface(w->c.graphik);
    EXPECT_EQ(graphe->text(QAccessible::Description),
              QStringLiteral("Absorbance en fonction de la longueur d'onde, de 400 nm à 800 nm ; "
                             "absorbance de 0 à ") +
                  numfmt::general(w->graph->absaxe) + QStringLiteral(" ; aucune courbe"));
    w->graph->Command5_Click();
    w->graph->terminer();
    EXPECT_NE(graphe->text(QAccessible::Description).indexOf(QStringLiteral("; 1 courbe")), -1)
        << graphe->text(QAccessible::Description).toStdString();
}

TEST_F(AccessibilityTest, TheTracingWindowsLabelsAreButtonsThatPress)
{
    w->graph->Command5_Click();
    graph::Frein *frein = w->graph->frein();
    ASSERT_NE(frein, nullptr);
    QAccessibleInterface *stop = iface(frein->Command1);
    EXPECT_EQ(stop->role(), QAccessible::Button);
    EXPECT_EQ(stop->text(QAccessible::Name), QStringLiteral("Arrêter"));
    EXPECT_EQ(iface(frein->command2)->text(QAccessible::Name), QStringLiteral("Terminer"));
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(w->graph->tracing());
}

TEST_F(AccessibilityTest, TheUpDownsAreSpinBoxesWithTheirValue)
{
    QAccessibleInterface *u = iface(w->c.UpDown1);
    ASSERT_NE(u->valueInterface(), nullptr);
    EXPECT_EQ(u->valueInterface()->currentValue().toInt(), 2);
    EXPECT_EQ(u->text(QAccessible::Description), QStringLiteral("1 cm"));
    u->valueInterface()->setCurrentValue(3);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("1,5 cm"));
    EXPECT_EQ(u->text(QAccessible::Description), QStringLiteral("1,5 cm"));
}

} // namespace
