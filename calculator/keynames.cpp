#include "calculator/keynames.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QRadioButton>

void nommerTouches(QWidget *machine)
{
    static const std::pair<const char *, const char *> noms[] = {
        {"Bpoint", "point décimal"},
        {"BtoEXP", "exposant de dix (EXP)"},
        {"pico", "préfixe pico, 10 puissance -12"},
        {"tera", "préfixe téra, 10 puissance 12"},
        {"nano", "préfixe nano, 10 puissance -9"},
        {"giga", "préfixe giga, 10 puissance 9"},
        {"micro", "préfixe micro, 10 puissance -6"},
        {"mega", "préfixe méga, 10 puissance 6"},
        {"mil", "préfixe milli, 10 puissance -3"},
        {"kilo", "préfixe kilo, 10 puissance 3"},
        {"bpf", "parenthèse fermante"},
        {"Bpo", "parenthèse ouvrante"},
        {"bsin", "sinus"},
        {"Bcos", "cosinus"},
        {"Btan", "tangente"},
        {"invsin", "arc sinus"},
        {"invcos", "arc cosinus"},
        {"Btoncommande3", "arc tangente"},
        {"racine", "racine carrée"},
        {"Blog", "logarithme décimal"},
        {"Bln", "logarithme népérien"},
        {"B10x", "dix puissance x"},
        {"Bexp", "exponentielle"},
        {"Command5", "inverse, 1 sur x"},
        {"pi", "pi"},
        {"puissance", "puissance, x puissance y"},
        {"btcarre", "carré"},
        {"multip", "multiplier"},
        {"div", "diviser"},
        {"plus", "plus"},
        {"moins", "moins"},
        {"EFFACE", "effacer le dernier élément"},
        {"RAZ", "tout effacer (AC)"},
        {"ANS", "dernier résultat (ANS)"},
        {"EXE", "calculer (EXE)"},
        {"Command1", "ajouter à la mémoire (M+)"},
        {"Command2", "soustraire de la mémoire (M-)"},
        {"Command3", "rappeler la mémoire (RM)"},
        {"Command4", "effacer la mémoire (CM)"},
        {"B0", "0"},
        {"B1", "1"},
        {"B2", "2"},
        {"B3", "3"},
        {"B4", "4"},
        {"B5", "5"},
        {"B6", "6"},
        {"B7", "7"},
        {"B8", "8"},
        {"B9", "9"},
    };
    for (const auto &[objet, nom] : noms) {
        if (auto *b = machine->findChild<QAbstractButton *>(QLatin1String(objet))) {
            b->setAccessibleName(QString::fromUtf8(nom));
            b->setFocusPolicy(Qt::TabFocus);
        }
    }
    for (QRadioButton *r : machine->findChildren<QRadioButton *>())
        r->setFocusPolicy(Qt::TabFocus);
    if (auto *z1 = machine->findChild<QPlainTextEdit *>(QStringLiteral("z1"))) {
        z1->setAccessibleName(QStringLiteral("Affichage de la calculatrice"));
        z1->setTabChangesFocus(true);
    }
}
