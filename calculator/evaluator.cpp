#include "evaluator.h"

#include "common/numfmt.h"

#include <cmath>
#include <exception>
#include <vector>

namespace calc
{

int nbpar = 0;
int nbfonc = 0;
int nbop = 0;
double memoire = 0.0;

const QString messageAttente = QStringLiteral("    Patience... Calculs en cours.     ");
const QString messageDepassement = QStringLiteral("Dépassement de capacité");

namespace
{

// A run-time failure inside the evaluation: calculer turns it into code 1.
struct Echec {
};

// Positions and counters are 16-bit integers: past this they overflow.
constexpr qsizetype maxEntier = 32767;
constexpr int maxPasses = 100;

const char16_t *const motsCles[] = {u"COS", u"SIN", u"TAN", u"ICO", u"ISI",
                                    u"ITA", u"LOG", u"LON", u"EXP", u"SQR"};

void controlerPosition(qsizetype position)
{
    if (position > maxEntier)
        throw Echec{};
}

bool estChiffre(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool estLettre(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool estMotCle(QStringView s)
{
    if (s.size() != 3 || !estLettre(s[0]))
        return false;
    for (const char16_t *m : motsCles)
        if (s == QStringView(m, 3))
            return true;
    return false;
}

// BASIC Trim$: blanks only.
QString sansBlancs(const QString &s)
{
    qsizetype debut = 0;
    qsizetype fin = s.size();
    while (debut < fin && s[debut] == QLatin1Char(' '))
        ++debut;
    while (fin > debut && s[fin - 1] == QLatin1Char(' '))
        --fin;
    return s.mid(debut, fin - debut);
}

// Val of an operand; an out-of-range number overflows.
double lire(const QString &texte)
{
    const double v = numfmt::val(texte);
    if (!std::isfinite(v))
        throw Echec{};
    return v;
}

// Str$ of a result, trimmed, ready to go back into the expression; an
// infinite or undefined result is a failure (overflow, domain, division by 0).
QString ecrire(double v)
{
    if (!std::isfinite(v))
        throw Echec{};
    return sansBlancs(numfmt::str(v));
}

// Walks a text left to right while it is rewritten at the walking position,
// as a position loop over a growing string does, in linear time: what lies
// before the position is final, the rest is kept reversed so that replacing
// characters at the position costs only their count.
class Curseur
{
public:
    explicit Curseur(const QString &texte)
    {
        reste_.assign(texte.crbegin(), texte.crend());
        fait_.reserve(texte.size() * 2);
    }

    bool fini() const { return reste_.empty(); }

    // Character k places after the position; null past the end.
    QChar voir(qsizetype k = 0) const
    {
        const auto n = qsizetype(reste_.size());
        return k < n ? reste_[size_t(n - 1 - k)] : QChar();
    }

    template <std::size_t N> bool commence(const char16_t (&t)[N]) const
    {
        for (std::size_t k = 0; k + 1 < N; ++k)
            if (voir(qsizetype(k)) != QChar(t[k]))
                return false;
        return true;
    }

    // Character just before the position; null at the start.
    QChar precedent() const { return fait_.isEmpty() ? QChar() : fait_.back(); }

    void remplacer(qsizetype n, QStringView par)
    {
        for (; n > 0 && !reste_.empty(); --n)
            reste_.pop_back();
        for (auto it = par.crbegin(); it != par.crend(); ++it)
            reste_.push_back(*it);
    }

    void avancer()
    {
        if (!reste_.empty()) {
            fait_ += reste_.back();
            reste_.pop_back();
        }
    }

    QString texte() const
    {
        QString t = fait_;
        for (auto it = reste_.crbegin(); it != reste_.crend(); ++it)
            t += *it;
        return t;
    }

private:
    QString fait_;
    std::vector<QChar> reste_;
};

// The keyword rules of espacer at one position, in their order.
void espacerMot(Curseur &c)
{
    if (c.commence(u"SQR"))
        c.remplacer(3, u"SQR ");
    // A keyword already rewritten by an earlier pass gets its blank back, or
    // ln of a parenthesised group would never be evaluated.
    if (c.commence(u"LON"))
        c.remplacer(3, u"LON ");
    else if (c.commence(u"LN"))
        c.remplacer(2, u"LON ");
    static const char16_t *const mots[] = {u"COS", u"SIN", u"TAN", u"LOG",
                                           u"EXP", u"ISI", u"ITA", u"ICO"};
    for (const char16_t *m : mots) {
        if (c.voir() == QChar(m[0]) && c.voir(1) == QChar(m[1]) && c.voir(2) == QChar(m[2]))
            c.remplacer(3, QString::fromUtf16(m, 3) + QLatin1Char(' '));
    }
    // The keypad's "invSIN " (blank already removed) becomes "ISI ".
    if (c.commence(u"INV") && estLettre(c.voir(3)) && estLettre(c.voir(4)) &&
        estLettre(c.voir(5))) {
        const QString mot = QStringLiteral("I") + c.voir(3) + c.voir(4) + QLatin1Char(' ');
        c.remplacer(6, mot);
    }
}

void espacerX(QString &e)
{
    QString t = e.toUpper();
    t.remove(QLatin1Char(' '));
    if (t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    t = QLatin1Char(' ') + t + QLatin1Char(' ');
    // The scan bound is fixed when it starts, though the text grows.
    const qsizetype borne = 3 * t.size();
    controlerPosition(borne);
    Curseur c(t);
    for (qsizetype j = 1; j <= borne && !c.fini(); ++j) {
        // A replacement keeps the letter at the position, so a letter never
        // meets the operator rules below.
        if (estLettre(c.voir())) {
            espacerMot(c);
            c.avancer();
            continue;
        }
        // An inserted operator is stepped over, or the scan would meet it
        // again at the next position and pad it once more.
        const QChar op = c.voir();
        if (op == u'^' || op == u'*' || op == u'/') {
            c.remplacer(1, QString(QLatin1Char(' ') + op + QLatin1Char(' ')));
            c.avancer();
            ++j;
        }
        if (c.voir() == u'+' && !QStringView(u"ED").contains(c.precedent())) {
            c.remplacer(1, u" + ");
            c.avancer();
            ++j;
        }
        // A minus after an exponent letter, "(" or a blank is a sign.
        if (c.voir() == u'-' && !QStringView(u"ED( ").contains(c.precedent())) {
            c.remplacer(1, u" - ");
            c.avancer();
            ++j;
        }
        c.avancer();
    }
    e = c.texte();
}

// Collapses sign pairs over positions 1 to the length at the start.
QString reduireSignes(const QString &e)
{
    if (!e.contains(u"--") && !e.contains(u"+-") && !e.contains(u"-+") && !e.contains(u"++"))
        return e; // replacements only ever start from a pair already there
    const qsizetype borne = e.size();
    Curseur c(e);
    for (qsizetype i = 1; i <= borne && !c.fini(); ++i) {
        if (c.voir() == u'-' || c.voir() == u'+') {
            if (c.commence(u"--"))
                c.remplacer(2, u"+");
            if (c.commence(u"+-"))
                c.remplacer(2, u"-");
            if (c.commence(u"-+"))
                c.remplacer(2, u"-");
            if (c.commence(u"++"))
                c.remplacer(2, u"+");
        }
        c.avancer();
    }
    return c.texte();
}

// "(", an optional sign, digits and points, ")": the parentheses go.
QString oterParenthesesDeNombres(const QString &e)
{
    if (!e.contains(u'('))
        return e;
    QString r;
    r.reserve(e.size());
    const qsizetype n = e.size();
    qsizetype i = 0;
    while (i < n) {
        if (e[i] == QLatin1Char('(')) {
            qsizetype j = i + 1;
            if (j < n && (e[j] == QLatin1Char('-') || e[j] == QLatin1Char('+')))
                ++j;
            while (j < n && (estChiffre(e[j]) || e[j] == QLatin1Char('.')))
                ++j;
            if (j < n && e[j] == QLatin1Char(')') && j > i + 1) {
                r += QStringView(e).mid(i + 1, j - i - 1);
                i = j + 1;
                continue;
            }
        }
        r += e[i];
        ++i;
    }
    return r;
}

void normaliserX(QString &e)
{
    e = e.toUpper();
    e.remove(QLatin1Char(' '));
    controlerPosition(e.size());
    for (;;) {
        const QString avant = e;
        e = reduireSignes(e);
        if (e.startsWith(QLatin1Char('+')))
            e.remove(0, 1);
        e = oterParenthesesDeNombres(e);
        if (e == avant)
            break;
    }
    espacerX(e);
}

void compterX(const QString &e)
{
    controlerPosition(e.size());
    int par = 0;
    int fonc = 0;
    int op = 0;
    const QStringView v(e);
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == QLatin1Char('('))
            ++par;
        const QStringView trois = v.mid(i, 3);
        if (trois.size() == 3 && trois[0] == QLatin1Char(' ') && trois[2] == QLatin1Char(' ') &&
            QStringView(u"+-*/^").contains(trois[1]))
            ++op;
        if (estMotCle(trois))
            ++fonc;
    }
    if (par > maxEntier || fonc > maxEntier || op > maxEntier)
        throw Echec{};
    nbpar = par;
    nbfonc = fonc;
    nbop = op;
}

double appliquer(QStringView mot, double x, int angle)
{
    const double pi = 4.0 * std::atan(1.0);
    const bool radians = angle == Radians;
    const double versRadians = radians ? 1.0 : pi / 180.0;
    const double versAngle = radians ? 1.0 : 180.0 / pi;
    // Arc sine through the arc tangent: beyond +-1 the root fails.
    const auto arcsin = [](double v) {
        if (v == 1.0)
            return std::atan(1.0) * 2.0;
        if (v == -1.0)
            return -std::atan(1.0) * 2.0;
        const double d = 1.0 - v * v;
        if (d < 0.0)
            throw Echec{};
        return std::atan(v / std::sqrt(d));
    };
    if (mot == u"SQR") {
        if (x < 0.0)
            throw Echec{};
        return std::sqrt(x);
    }
    if (mot == u"EXP")
        return std::exp(x);
    if (mot == u"LON" || mot == u"LOG") {
        if (x <= 0.0)
            throw Echec{};
        return mot == u"LON" ? std::log(x) : std::log(x) / std::log(10.0);
    }
    if (mot == u"SIN")
        return std::sin(x * versRadians);
    if (mot == u"COS")
        return std::cos(x * versRadians);
    if (mot == u"TAN")
        return std::tan(x * versRadians);
    if (mot == u"ISI")
        return arcsin(x) * versAngle;
    if (mot == u"ICO")
        return (pi / 2.0 - arcsin(x)) * versAngle;
    return std::atan(x) * versAngle; // ITA
}

// Positions below are 0-based: i is the character before the keyword.
void evalfonctionsX(QString &e, int angle)
{
    qsizetype i = 0;
    while (i < e.size() && nbfonc > 0) {
        const QStringView mot = QStringView(e).mid(i + 1, 3);
        const qsizetype debut = i + 5;
        if (mot.size() == 3 && estMotCle(mot) && debut < e.size() &&
            (estChiffre(e[debut]) || e[debut] == QLatin1Char('-') ||
             e[debut] == QLatin1Char('.'))) {
            qsizetype fin = debut;
            while (fin < e.size() && e[fin] != QLatin1Char(')') && e[fin] != QLatin1Char(' '))
                ++fin;
            const double x = lire(e.mid(debut, fin - debut));
            const QString valeur = ecrire(appliquer(mot, x, angle));
            e = e.left(i + 1) + valeur + e.mid(fin);
            --nbfonc;
            i = 0;
            continue;
        }
        ++i;
    }
}

void evaloperateursX(QString &e)
{
    normaliserX(e);
    static const QString operateurs[] = {QStringLiteral(" ^ "), QStringLiteral(" / "),
                                         QStringLiteral(" * "), QStringLiteral(" - "),
                                         QStringLiteral(" + ")};
    for (;;) {
        qsizetype p = -1;
        QChar op;
        for (const QString &o : operateurs) {
            p = e.indexOf(o);
            if (p >= 0) {
                op = o[1];
                break;
            }
        }
        if (p < 0)
            return;
        const qsizetype blancAvant = p > 0 ? e.lastIndexOf(QLatin1Char(' '), p - 1) : -1;
        QString gauche = e.mid(blancAvant + 1, p - blancAvant - 1);
        if (gauche.startsWith(QLatin1Char('(')))
            gauche.remove(0, 1);
        const qsizetype blancApres = e.indexOf(QLatin1Char(' '), p + 3);
        if (blancApres < 0)
            throw Echec{}; // the right operand's extent would be negative
        const double a = lire(gauche);
        const double b = lire(e.mid(p + 3, blancApres - p - 3));
        double r = 0.0;
        switch (op.toLatin1()) {
        case '^':
            r = std::pow(a, b);
            break;
        case '/':
            r = a / b;
            break;
        case '*':
            r = a * b;
            break;
        case '-':
            r = a - b;
            break;
        default:
            r = a + b;
            break;
        }
        e = e.left(blancAvant + 1) + ecrire(r) + e.mid(blancApres);
        --nbop;
        if (nbop <= 0)
            return;
    }
}

bool contientFonction(QStringView g)
{
    for (QChar c : g)
        if (c >= QLatin1Char('F') && c <= QLatin1Char('Y'))
            return true;
    return false;
}

void evalparenthesesX(QString &e)
{
    do {
        const qsizetype ouvrante = e.lastIndexOf(QLatin1Char('('));
        if (ouvrante < 0)
            return;
        const qsizetype fermante = e.indexOf(QLatin1Char(')'), ouvrante + 1);
        if (fermante < 0)
            throw Echec{}; // ")(": the group's length would be negative
        QString groupe = e.mid(ouvrante + 1, fermante - ouvrante - 1);
        if (contientFonction(groupe))
            return; // evalfonctions comes first
        normaliserX(groupe);
        evaloperateursX(groupe);
        e = e.left(ouvrante) + groupe + e.mid(fermante + 1);
        --nbpar;
        normaliserX(e);
    } while (nbpar > 0);
}

template <typename F> bool sansEchec(F &&f)
{
    try {
        f();
        return true;
    } catch (const Echec &) {
    } catch (const std::exception &) {
    }
    return false;
}

} // namespace

bool normaliser(QString &expression)
{
    return sansEchec([&] { normaliserX(expression); });
}

bool espacer(QString &expression)
{
    return sansEchec([&] { espacerX(expression); });
}

void verifier(const QString &e, int &codeerreur)
{
    qsizetype ouvrantes = 0;
    qsizetype fermantes = 0;
    for (qsizetype i = 0; i < e.size(); ++i) {
        const QChar c = e[i];
        if (c == QLatin1Char('('))
            ++ouvrantes;
        else if (c == QLatin1Char(')'))
            ++fermantes;
        else if ((c == QLatin1Char('*') || c == QLatin1Char('/') || c == QLatin1Char('^')) &&
                 i + 2 < e.size() && e[i + 2] == QLatin1Char(' '))
            codeerreur = Operateurs;
    }
    if (ouvrantes != fermantes)
        codeerreur = Parentheses;
}

bool compter(const QString &expression)
{
    return sansEchec([&] { compterX(expression); });
}

bool evalfonctions(QString &expression, int angle)
{
    return sansEchec([&] { evalfonctionsX(expression, angle); });
}

bool evalparentheses(QString &expression)
{
    return sansEchec([&] { evalparenthesesX(expression); });
}

bool evaloperateurs(QString &expression)
{
    return sansEchec([&] { evaloperateursX(expression); });
}

int calculer(QString &e, int &codeerreur, int angle)
{
    codeerreur = Succes;
    int passes = 0;
    const bool ok = sansEchec([&] {
        normaliserX(e);
        verifier(e, codeerreur);
        if (codeerreur != Succes)
            return;
        compterX(e);
        QString precedente;
        for (;;) {
            if (passes == maxPasses)
                throw Echec{};
            ++passes;
            if (e == precedente)
                normaliserX(e);
            precedente = e;
            if (nbfonc > 0) {
                evalfonctionsX(e, angle);
                normaliserX(e);
            }
            if (nbpar > 0)
                evalparenthesesX(e);
            compterX(e);
            if (nbfonc > 0 || nbpar > 0)
                continue;
            if (nbop > 0) {
                evaloperateursX(e);
                compterX(e);
                if (nbop > 0)
                    continue;
            }
            e = sansBlancs(e);
            if (e.contains(QLatin1Char(' ')))
                codeerreur = Impossible; // more than one token left
            return;
        }
    });
    if (!ok)
        codeerreur = Impossible;
    return passes;
}

QString messageErreur(int codeerreur)
{
    switch (codeerreur) {
    case Impossible:
        return QStringLiteral("Calcul impossible");
    case Parentheses:
        return QStringLiteral("Erreur saisie: revoir les parenthèses");
    case Operateurs:
        return QStringLiteral("Erreur saisie: incompréhension sur opérateurs: ^ * / + -");
    default:
        return QString();
    }
}

QString afficher(double valeur, bool scientifique)
{
    if (!scientifique)
        return numfmt::str(valeur);
    QString r = numfmt::format(valeur, QStringLiteral("#.#######E+00"));
    const qsizetype virgule = r.indexOf(QLatin1Char(','));
    if (virgule >= 0)
        r[virgule] = QLatin1Char('.');
    return r;
}

Execution executer(const QString &saisie, int angle, bool scientifique)
{
    Execution x;
    QString e = saisie;
    calculer(e, x.codeerreur, angle);
    if (x.codeerreur == Succes) {
        const double v = numfmt::val(e);
        if (std::isfinite(v)) {
            x.resultat = afficher(v, scientifique);
        } else {
            x.resultat = messageDepassement;
            x.bip = true;
        }
    } else {
        x.resultat = messageErreur(x.codeerreur);
        x.saisie = saisie;
        x.bip = true;
    }
    return x;
}

} // namespace calc
