#include "calculator/evaluator.h"

#include <gtest/gtest.h>

namespace
{

const QString impossible = QStringLiteral("Calcul impossible");
const QString parentheses = QStringLiteral("Erreur saisie: revoir les parenthèses");
const QString operateurs =
    QStringLiteral("Erreur saisie: incompréhension sur opérateurs: ^ * / + -");

struct ExeCase {
    const char *saisie; // as the keypad writes it
    int angle;
    bool scientifique;
    const char *resultat;
};

void PrintTo(const ExeCase &c, std::ostream *os)
{
    *os << '"' << c.saisie << '"';
}

class Exe : public ::testing::TestWithParam<ExeCase>
{
};

// The "EXE" step: shown text, code, beep and what stays typed.
TEST_P(Exe, ShowsResultOrMessage)
{
    const ExeCase &c = GetParam();
    const QString saisie = QString::fromUtf8(c.saisie);
    const calc::Execution r = calc::executer(saisie, c.angle, c.scientifique);
    const QString attendu = QString::fromUtf8(c.resultat);
    EXPECT_EQ(r.resultat, attendu);
    const bool erreur = attendu == impossible || attendu == parentheses || attendu == operateurs;
    EXPECT_EQ(r.bip, erreur || attendu == calc::messageDepassement);
    EXPECT_EQ(r.saisie, erreur ? saisie : QString());
    EXPECT_EQ(r.codeerreur == 0, !erreur);
    if (erreur) {
        EXPECT_EQ(calc::messageErreur(r.codeerreur), attendu);
    }
}

constexpr int deg = calc::Degres;
constexpr int rad = calc::Radians;

INSTANTIATE_TEST_SUITE_P(
    Examples, Exe,
    ::testing::Values(
        // priorities and the evaluator's own order
        ExeCase{"2+3*4", deg, false, " 14"}, ExeCase{"(2+3)*4", deg, false, " 20"},
        ExeCase{"8/2*4", deg, false, " 16"}, ExeCase{"10-2-3", deg, false, " 5"},
        ExeCase{"2^3^2", deg, false, " 64"}, ExeCase{"1-2+3", deg, false, " 2"},
        ExeCase{"(2-5)*3-(1-9)", deg, false, "-1"},
        // signs
        ExeCase{"--5", deg, false, " 5"}, ExeCase{"-+5", deg, false, "-5"},
        ExeCase{"3*-2", deg, false, "-6"}, ExeCase{"4 - -3", deg, false, " 7"},
        ExeCase{"1.5E-3*2", deg, false, " .003"}, ExeCase{"1E+3+1", deg, false, " 1001"},
        // functions as the keypad spells them
        ExeCase{"sin 30", deg, false, " .5"}, ExeCase{"log 1000", deg, false, " 3"},
        ExeCase{"invCOS 1", deg, false, " 0"}, ExeCase{"invSIN 1", deg, false, " 90"},
        ExeCase{"invTAN 1", deg, false, " 45"}, ExeCase{"SQR (9+7)", deg, false, " 4"},
        ExeCase{"cos 0", deg, false, " 1"}, ExeCase{"ln 1", deg, false, " 0"},
        ExeCase{"ln (2+3)", deg, false, " 1.6094379124341"}, ExeCase{"SQR 16", deg, false, " 4"},
        ExeCase{"exp 0", deg, false, " 1"}, ExeCase{"10 ^ 3", deg, false, " 1000"},
        ExeCase{"2 * sin 30", deg, false, " 1"}, ExeCase{"sin (cos 0 * 30)", deg, false, " .5"},
        ExeCase{"cos 3.14159265358979", rad, false, "-1"},
        ExeCase{"invSIN 1", rad, false, " 1.5707963267949"},
        // syntax errors: code 2 wins over code 3
        ExeCase{"(2+3", deg, false, "Erreur saisie: revoir les parenthèses"},
        ExeCase{"(2+3*", deg, false, "Erreur saisie: revoir les parenthèses"},
        ExeCase{"5*/2", deg, false, "Erreur saisie: incompréhension sur opérateurs: ^ * / + -"},
        ExeCase{"5*", deg, false, "Erreur saisie: incompréhension sur opérateurs: ^ * / + -"},
        ExeCase{"2^", deg, false, "Erreur saisie: incompréhension sur opérateurs: ^ * / + -"},
        // failures
        ExeCase{"1/0", deg, false, "Calcul impossible"},
        ExeCase{"log 0", deg, false, "Calcul impossible"},
        ExeCase{"SQR -4", deg, false, "Calcul impossible"},
        ExeCase{"invSIN 2", deg, false, "Calcul impossible"},
        ExeCase{"SQR", deg, false, "Calcul impossible"},
        ExeCase{"1E300*1E300", deg, false, "Calcul impossible"},
        ExeCase{"(-8)^(1/3)", deg, false, "Calcul impossible"},
        ExeCase{"2)(3", deg, false, "Calcul impossible"},
        // parenthesised numbers lose their parentheses and join
        ExeCase{"(5)(6)", deg, false, " 56"}, ExeCase{"(2+3)(4+1)", deg, false, " 55"},
        // display modes
        ExeCase{"14", deg, true, "1.4E+01"}, ExeCase{"1234.5678", deg, true, "1.2345678E+03"},
        ExeCase{"5", deg, true, "5.E+00"}, ExeCase{"0-0.25", deg, true, "-2.5E-01"},
        ExeCase{"0-0.25", deg, false, "-.25"}, ExeCase{"1E15", deg, false, " 1E+15"},
        ExeCase{"", deg, false, " 0"},
        // a lone number is not computed, so only reading the result overflows
        ExeCase{"1E999", deg, false, "Dépassement de capacité"},
        ExeCase{"1E999+0", deg, false, "Calcul impossible"}));

// The routines one by one, on the canonical text they produce.
struct NormCase {
    const char *entree;
    const char *sortie;
};

class Normaliser : public ::testing::TestWithParam<NormCase>
{
};

TEST_P(Normaliser, GivesCanonicalTokens)
{
    QString e = QString::fromUtf8(GetParam().entree);
    ASSERT_TRUE(calc::normaliser(e));
    EXPECT_EQ(e, QString::fromUtf8(GetParam().sortie));
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, Normaliser,
    ::testing::Values(NormCase{"2+3*4", " 2 + 3 * 4 "}, NormCase{"---5", " -5 "},
                      NormCase{"+-+5", " -5 "}, NormCase{"3*-2", " 3 * -2 "},
                      NormCase{"1.5e-3*2", " 1.5E-3 * 2 "}, NormCase{"2d+3", " 2D+3 "},
                      NormCase{"invSIN 1", " ISI 1 "}, NormCase{"invtan -1", " ITA -1 "},
                      NormCase{"ln 2", " LON 2 "}, NormCase{"sqr(9+7)", " SQR (9 + 7) "},
                      NormCase{"(5)(6)", " 56 "}, NormCase{"((-2.5))", " -2.5 "},
                      NormCase{"()", " () "}, NormCase{"(1E3)", " (1E3) "},
                      NormCase{"5*", " 5 *  "}, NormCase{"2^-1", " 2 ^ -1 "},
                      NormCase{"(-3)-2", " -3 - 2 "}, NormCase{"", "  "}));

struct VerifCase {
    const char *entree;
    int code;
};

class Verifier : public ::testing::TestWithParam<VerifCase>
{
};

TEST_P(Verifier, FindsSyntaxErrors)
{
    QString e = QString::fromUtf8(GetParam().entree);
    ASSERT_TRUE(calc::normaliser(e));
    int code = 0;
    calc::verifier(e, code);
    EXPECT_EQ(code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Codes, Verifier,
                         ::testing::Values(VerifCase{"2*3", 0}, VerifCase{"2*(3)", 0},
                                           VerifCase{"5*/2", 3}, VerifCase{"5^", 3},
                                           VerifCase{"5/+2", 3}, VerifCase{"5-", 0},
                                           VerifCase{"(2", 2}, VerifCase{"2)", 2},
                                           VerifCase{"(2*", 2}, VerifCase{")(", 0}));

TEST(Compter, CountsParenthesesFunctionsAndOperators)
{
    QString e = QStringLiteral("sin (2+3) * cos 0 - ln 4 ^ 2");
    ASSERT_TRUE(calc::normaliser(e));
    ASSERT_TRUE(calc::compter(e));
    EXPECT_EQ(calc::nbpar, 1);
    EXPECT_EQ(calc::nbfonc, 3);
    EXPECT_EQ(calc::nbop, 4);
}

TEST(EvalFonctions, ReplacesOnlyFunctionsOfPlainNumbers)
{
    QString e = QStringLiteral(" 2 * SIN 30 + SQR (4) + COS 0 ");
    calc::nbfonc = 3;
    ASSERT_TRUE(calc::evalfonctions(e, calc::Degres));
    EXPECT_EQ(e, QStringLiteral(" 2 * .5 + SQR (4) + 1 "));
    EXPECT_EQ(calc::nbfonc, 1);
}

TEST(EvalOperateurs, WorksLeftmostFirstInFixedPriority)
{
    QString e = QStringLiteral("2^3^2 + 8/2*4 - 1");
    ASSERT_TRUE(calc::normaliser(e));
    ASSERT_TRUE(calc::compter(e));
    ASSERT_TRUE(calc::evaloperateurs(e));
    EXPECT_EQ(e, QStringLiteral(" 79 "));
    EXPECT_EQ(calc::nbop, 0);
}

TEST(EvalParentheses, StopsAtGroupsWithFunctions)
{
    QString e = QStringLiteral("(sin 30)*(1+2)");
    ASSERT_TRUE(calc::normaliser(e));
    ASSERT_TRUE(calc::compter(e));
    ASSERT_TRUE(calc::evalparentheses(e));
    EXPECT_EQ(e, QStringLiteral(" (SIN 30) * 3 "));
    EXPECT_EQ(calc::nbpar, 1);
}

TEST(Calculer, BareFunctionRunsOutOfPasses)
{
    QString e = QStringLiteral("SQR");
    int code = -1;
    EXPECT_EQ(calc::calculer(e, code, calc::Degres), 100);
    EXPECT_EQ(code, calc::Impossible);
}

TEST(Calculer, SuccessLeavesOneNumber)
{
    QString e = QStringLiteral("(1+2)*(3+4)");
    int code = -1;
    const int passes = calc::calculer(e, code, calc::Degres);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(e, QStringLiteral("21"));
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 3);
}

// Positions were 16-bit: the token scan of a text runs to three times its
// length, so about 10 900 characters is the longest that can be evaluated.
TEST(Calculer, LongestTextsFitSixteenBitPositions)
{
    QString e = QStringLiteral("1");
    for (int i = 1; i < 5000; ++i)
        e += QStringLiteral("+1");
    int code = -1;
    calc::calculer(e, code, calc::Degres);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(e, QStringLiteral("5000"));

    QString trop = QString(12000, QLatin1Char('7'));
    calc::calculer(trop, code, calc::Degres);
    EXPECT_EQ(code, calc::Impossible);
}

TEST(Memoire, StartsAtZero)
{
    EXPECT_EQ(calc::memoire, 0.0);
}

} // namespace
