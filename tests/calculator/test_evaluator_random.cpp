// Generated expressions, valid and garbage: every one must end in a result or
// one of the three error codes, within the pass limit.
#include "calculator/evaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>

namespace
{

constexpr std::uint32_t graine = 20240611;

class Generateur
{
public:
    explicit Generateur(std::uint32_t g) : alea_(g) {}

    int entier(int min, int max) { return std::uniform_int_distribution<int>(min, max)(alea_); }
    bool piece(int pourcent) { return entier(1, 100) <= pourcent; }

    template <typename T, std::size_t N> const T &choisir(const T (&tab)[N])
    {
        return tab[std::size_t(entier(0, int(N) - 1))];
    }

    QString nombre()
    {
        QString n = QString::number(entier(0, 999));
        switch (entier(0, 5)) {
        case 0:
            n += QLatin1Char('.') + QString::number(entier(0, 99999));
            break;
        case 1: // huge or tiny exponents
            n += QStringLiteral("E") + (piece(50) ? QStringLiteral("-") : QStringLiteral("+")) +
                 QString::number(entier(0, 400));
            break;
        case 2: // long digit runs
            for (int k = entier(10, 200); k > 0; --k)
                n += QChar(u'0' + entier(0, 9));
            break;
        default:
            break;
        }
        return n;
    }

    // Expressions as the keypad spells them, nested up to a depth.
    QString expression(int profondeur)
    {
        static const char *const fonctions[] = {"sin ",    "cos ",    "tan ",  "invSIN ",
                                                "invCOS ", "invTAN ", "SQR ",  "log ",
                                                "ln ",     "exp ",    "10 ^ ", "1 / "};
        static const char *const ops[] = {" + ", " - ", " * ", " / ", " ^ ", "+", "-", "*"};
        QString e;
        const int termes = entier(1, 3);
        for (int t = 0; t < termes; ++t) {
            if (t > 0)
                e += QString::fromLatin1(choisir(ops));
            if (piece(15))
                e += QLatin1Char('-');
            if (profondeur > 0 && piece(30))
                e += QString::fromLatin1(choisir(fonctions));
            if (profondeur > 0 && piece(35))
                e += QLatin1Char('(') + expression(profondeur - 1) + QLatin1Char(')');
            else
                e += nombre();
        }
        return e;
    }

    QString bruit()
    {
        static const char16_t alphabet[] = u" 0123456789.+-*/^()()EeDdSINCOQRTALGXPVlnsqr"
                                           u",;#\tµπ÷√";
        QString e;
        for (int k = entier(0, 60); k > 0; --k)
            e += QChar(alphabet[entier(0, int(std::size(alphabet)) - 2)]);
        return e;
    }

    QString profond()
    {
        const int n = entier(1, 200);
        return QString(n, QLatin1Char('(')) + expression(2) + QString(n - entier(0, 2), u')');
    }

    QString mutation()
    {
        QString e = expression(3);
        for (int k = entier(1, 4); k > 0 && !e.isEmpty(); --k) {
            const int p = entier(0, int(e.size()) - 1);
            if (piece(50))
                e.remove(p, 1);
            else
                e.insert(p, bruit().left(2));
        }
        return e;
    }

    QString quelconque()
    {
        switch (entier(0, 4)) {
        case 0:
            return bruit();
        case 1:
            return profond();
        case 2:
            return mutation();
        default:
            return expression(entier(0, 3));
        }
    }

private:
    std::mt19937 alea_;
};

TEST(EvaluatorRandom, EveryTextEndsInResultOrCode)
{
    Generateur g(graine);
    int parCode[4] = {};
    for (int n = 0; n < 20000; ++n) {
        const QString texte = g.quelconque();
        const int angle = n % 2;
        QString e = texte;
        int code = -1;
        const int passes = calc::calculer(e, code, angle);
        ASSERT_TRUE(code >= 0 && code <= 3)
            << "seed " << graine << ", case " << n << ": " << texte.toStdString();
        ASSERT_LE(passes, 100) << "seed " << graine << ", case " << n;
        ++parCode[code];
        if (code == 0) {
            ASSERT_FALSE(e.contains(QLatin1Char(' ')))
                << "seed " << graine << ", case " << n << ": " << texte.toStdString();
        }
        if (n % 10 == 0) {
            const calc::Execution x = calc::executer(texte, angle, n % 3 == 0);
            ASSERT_EQ(x.codeerreur, code) << "seed " << graine << ", case " << n;
            ASSERT_FALSE(x.resultat.isEmpty()) << "seed " << graine << ", case " << n;
        }
    }
    // The mix reaches every outcome, results included.
    EXPECT_GT(parCode[0], 4000);
    for (int c = 1; c <= 3; ++c)
        EXPECT_GT(parCode[c], 200) << "code " << c;
}

// Sums, differences and products of small integers: whatever order the
// evaluator works in, the result must be the exact value.
struct Arbre {
    QString texte;
    long long valeur = 0;
    long long pire = 0; // largest magnitude met on the way
};

long long pire(long long a, long long b, long long v)
{
    return std::max({a < 0 ? -a : a, b < 0 ? -b : b, v < 0 ? -v : v});
}

Arbre somme(Generateur &g, int profondeur);

Arbre facteur(Generateur &g, int profondeur)
{
    if (profondeur > 0 && g.piece(30)) {
        const Arbre a = somme(g, profondeur - 1);
        return {QLatin1Char('(') + a.texte + QLatin1Char(')'), a.valeur, a.pire};
    }
    const int v = g.entier(0, 20);
    return {QString::number(v), v, v};
}

Arbre produit(Generateur &g, int profondeur)
{
    Arbre a = facteur(g, profondeur);
    for (int k = g.entier(0, 2); k > 0; --k) {
        const Arbre b = facteur(g, profondeur);
        // A product beyond 64 bits is only marked too large: it is skipped.
        long long v = 0;
        const bool trop = __builtin_mul_overflow(a.valeur, b.valeur, &v);
        a = {a.texte + QLatin1Char('*') + b.texte, v, trop ? LLONG_MAX : pire(a.pire, b.pire, v)};
    }
    return a;
}

Arbre somme(Generateur &g, int profondeur)
{
    Arbre a = produit(g, profondeur);
    for (int k = g.entier(0, 3); k > 0; --k) {
        const Arbre b = produit(g, profondeur);
        const bool plus = g.piece(50);
        long long v = 0;
        const bool trop = plus ? __builtin_add_overflow(a.valeur, b.valeur, &v)
                               : __builtin_sub_overflow(a.valeur, b.valeur, &v);
        a = {a.texte + QLatin1Char(plus ? '+' : '-') + b.texte, v,
             trop ? LLONG_MAX : pire(a.pire, b.pire, v)};
    }
    return a;
}

TEST(EvaluatorRandom, IntegerArithmeticIsExact)
{
    Generateur g(graine + 1);
    int verifies = 0;
    for (int n = 0; n < 3000; ++n) {
        const Arbre a = somme(g, 3);
        if (a.pire >= 100000000000000LL)
            continue; // beyond the 15 digits results are written with
        QString e = a.texte;
        int code = -1;
        calc::calculer(e, code, calc::Degres);
        ASSERT_EQ(code, 0) << "seed " << graine + 1 << ": " << a.texte.toStdString();
        ASSERT_EQ(e, QString::number(a.valeur))
            << "seed " << graine + 1 << ": " << a.texte.toStdString();
        ++verifies;
    }
    EXPECT_GT(verifies, 2000);
}

} // namespace
