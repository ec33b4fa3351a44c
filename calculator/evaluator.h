#pragma once
// The calculator's evaluator (Module1): the expression is rewritten in place,
// the innermost computable piece replaced by its value written back as text,
// until one number is left. Qt Core only, so it runs without widgets.
#include <QString>

namespace calc
{

// Error codes of an evaluation.
enum Code : int { Succes = 0, Impossible = 1, Parentheses = 2, Operateurs = 3 };

// Counters shared by the routines (16-bit in the original: more than 32767
// fails). Recomputed by compter, never trusted across calls.
extern int nbpar;  // "(" characters
extern int nbfonc; // function keywords
extern int nbop;   // binary operators

// The calculator memory, kept for the whole program.
extern double memoire;

// Angle flag: 1 = radians, 0 = degrees.
enum Angle : int { Degres = 0, Radians = 1 };

// Full evaluation. On success (code 0) expression ends as the text of one
// number. Never throws. Returns the number of passes made (at most 100), so
// that callers can check how much work an expression cost.
int calculer(QString &expression, int &codeerreur, int angle);

// The steps of calculer, usable one by one. Those returning bool give false
// on a failure (what calculer reports as code 1); the text is then left
// part-way through its rewriting.
bool normaliser(QString &expression);
bool espacer(QString &expression);
void verifier(const QString &expression, int &codeerreur);
bool compter(const QString &expression);
bool evalfonctions(QString &expression, int angle);
bool evalparentheses(QString &expression);
bool evaloperateurs(QString &expression);

// Texts of the "EXE" step.
QString messageErreur(int codeerreur);
extern const QString messageAttente;
extern const QString messageDepassement;

// What the "EXE" key does with the typed text, without the window.
struct Execution {
    QString resultat;   // shown in the display and kept as derresultat
    QString saisie;     // typed text afterwards: empty, or kept after an error
    int codeerreur = 0; // code of the evaluation
    bool bip = false;   // an error to signal with a beep
};
Execution executer(const QString &saisie, int angle, bool scientifique);

// A value as the display shows it: Str$ form, or the scientific mask with a
// decimal point.
QString afficher(double valeur, bool scientifique);

} // namespace calc
