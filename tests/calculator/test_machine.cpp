#include "calculator/evaluator.h"
#include "calculator/machine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace
{

// One application for the whole run, never destroyed: tearing it down among
// the other statics at exit would crash.
void application()
{
    static int argc = 1;
    static char nom[] = "test_calc_machine";
    static char *argv[] = {nom, nullptr};
    static const QApplication *app = new QApplication(argc, argv);
    Q_UNUSED(app);
}

class MachineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        application();
        calc::memoire = 0;
        m = std::make_unique<Machine>();
    }

    QAbstractButton *touche(const QString &nom) const
    {
        return m->findChild<QAbstractButton *>(nom);
    }

    // Clicks the keys named in a blank-separated list.
    void cliquer(const char *suite)
    {
        const QStringList noms = QString::fromLatin1(suite).split(u' ', Qt::SkipEmptyParts);
        for (const QString &n : noms) {
            QAbstractButton *b = touche(n);
            ASSERT_NE(b, nullptr) << n.toStdString();
            b->click();
        }
    }

    // Types characters on the keyboard; '\n' is Enter, '\b' Backspace.
    void taper(QObject *cible, const QString &texte)
    {
        for (QChar c : texte) {
            int cle = c.toUpper().unicode();
            QString t = c;
            if (c == u'\n') {
                cle = Qt::Key_Return;
                t = QStringLiteral("\r");
            } else if (c == u'\b') {
                cle = Qt::Key_Backspace;
            }
            QKeyEvent ev(QEvent::KeyPress, cle, Qt::NoModifier, t);
            QCoreApplication::sendEvent(cible, &ev);
        }
    }

    std::unique_ptr<Machine> m;
};

struct Sequence {
    const char *touches;
    const char *saisie;
    const char *affichage;
};

void PrintTo(const Sequence &s, std::ostream *os)
{
    *os << '"' << s.touches << '"';
}

class Touches : public MachineTest, public ::testing::WithParamInterface<Sequence>
{
};

TEST_P(Touches, BuildTextAndEvaluate)
{
    const Sequence &s = GetParam();
    cliquer(s.touches);
    EXPECT_EQ(m->saisie(), QString::fromUtf8(s.saisie));
    EXPECT_EQ(m->affichage(), QString::fromUtf8(s.affichage));
}

INSTANTIATE_TEST_SUITE_P(
    Keypad, Touches,
    ::testing::Values(
        // the operator continues from the last result
        Sequence{"B1 B2 EXE multip B3 EXE", "", " 36"},
        Sequence{"B1 B2 EXE plus B1 EXE", "", " 13"},
        Sequence{"B1 B2 EXE puissance", "12 ^ ", "12 ^ "},
        // but the minus starts a new expression with a sign
        Sequence{"B1 B2 EXE moins", "-", "-"},
        // implicit products, not after "("
        Sequence{"B2 bsin", "2 * sin ", "2 * sin "}, Sequence{"Bpo bsin", "(sin ", "(sin "},
        Sequence{"B1 Bpo", "1 * (", "1 * ("},
        Sequence{"B2 pi", "2 * 3.14159265358979", "2 * 3.14159265358979"},
        Sequence{"moins invcos", "-invCOS ", "-invCOS "},
        // exponents and unit prefixes
        Sequence{"B1 BtoEXP moins B3", "1E-3", "1E-3"},
        Sequence{"B1 BtoEXP plus B3", "1E+3", "1E+3"}, Sequence{"B5 kilo", "5E+3", "5E+3"},
        Sequence{"B2 pico", "2E-12", "2E-12"}, Sequence{"B7 micro", "7E-6", "7E-6"},
        // minus
        Sequence{"moins", "-", "-"}, Sequence{"B3 moins", "3 - ", "3 - "},
        Sequence{"Bpo moins", "(-", "(-"}, Sequence{"B3 moins moins", "3 - -", "3 - -"},
        // erasing
        Sequence{"B3 plus EFFACE", "3", "3"}, Sequence{"B1 B2 EFFACE", "1", "1"},
        Sequence{"B3 multip bsin EFFACE", "3 * ", "3 * "}, Sequence{"Bpo bsin EFFACE", "(", "("},
        Sequence{"bsin EFFACE", "", ""}, Sequence{"B4 btcarre EFFACE", "4 ^ ", "4 ^ "},
        Sequence{"EFFACE", "", ""}, Sequence{"B9 Bpoint B5 RAZ", "", ""},
        // operators need something on the display
        Sequence{"multip div plus", "", ""},
        // evaluations
        Sequence{"B4 btcarre EXE", "", " 16"}, Sequence{"B10x B3 EXE", "", " 1000"},
        Sequence{"bsin B3 B0 EXE", "", " .5"}, Sequence{"invsin B1 EXE", "", " 90"},
        Sequence{"Bexp B0 EXE", "", " 1"}, Sequence{"Command5 B4 EXE", "", " .25"},
        Sequence{"racine B1 B6 EXE", "", " 4"}, Sequence{"B1 B2 EXE ANS ANS", "1212", "1212"},
        // after an error the typed text comes back and ANS adds nothing
        Sequence{"B1 div B0 EXE", "1 / 0", "Calcul impossible"},
        Sequence{"B1 div B0 EXE ANS", "1 / 0", "1 / 0"},
        Sequence{"Bpo B2 EXE", "(2", "Erreur saisie: revoir les parenthèses"}));

TEST_F(MachineTest, WindowCaptionAndSize)
{
    EXPECT_EQ(m->windowTitle(), QStringLiteral("Machine à calculer"));
    EXPECT_EQ(m->size(), QSize(301, 430));
    EXPECT_TRUE(m->saisie().isEmpty());
}

TEST_F(MachineTest, KeyboardMapsToKeys)
{
    QWidget *z1 = m->findChild<QPlainTextEdit *>(QStringLiteral("z1"));
    ASSERT_NE(z1, nullptr);
    taper(z1, QStringLiteral("1d3"));
    EXPECT_EQ(m->saisie(), QStringLiteral("1E3"));
    taper(m.get(), QStringLiteral("\b\b+2e1xyz\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 21"));
    // The "(" key puts the implicit product in.
    taper(z1, QStringLiteral("(5)(6)\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 30"));
    taper(z1, QStringLiteral("*2^3\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 240"));
    taper(m.get(), QStringLiteral("9/3-1.5\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 1.5"));
}

// Every number the program shows has a decimal comma, and a French keypad
// types one: "," is the decimal point, as is the keypad's decimal key.
TEST_F(MachineTest, TheDecimalCommaAndTheKeypadDecimalKey)
{
    QWidget *z1 = m->findChild<QPlainTextEdit *>(QStringLiteral("z1"));
    ASSERT_NE(z1, nullptr);
    taper(z1, QStringLiteral("2,5*158"));
    EXPECT_EQ(m->saisie(), QStringLiteral("2.5 * 158"));
    taper(z1, QStringLiteral("\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 395"));
    taper(m.get(), QStringLiteral("0,5+1\n"));
    EXPECT_EQ(m->affichage(), QStringLiteral(" 1.5"));

    // The keypad's key, as a French or an English layout reports it, with or
    // without a text.
    const std::pair<int, const char *> keypad[] = {
        {Qt::Key_Comma, ","}, {Qt::Key_Period, "."}, {Qt::Key_Comma, ""}, {Qt::Key_Period, ""}};
    for (const auto &[key, text] : keypad) {
        SCOPED_TRACE(text);
        taper(z1, QStringLiteral("2"));
        QKeyEvent ev(QEvent::KeyPress, key, Qt::KeypadModifier, QString::fromLatin1(text));
        QCoreApplication::sendEvent(z1, &ev);
        taper(z1, QStringLiteral("5*158\n"));
        EXPECT_EQ(m->affichage(), QStringLiteral(" 395"));
    }
}

TEST_F(MachineTest, MemoryKeys)
{
    cliquer("B1 div B0 EXE Command1");
    EXPECT_EQ(calc::memoire, 0.0); // "Calcul impossible" reads as 0
    cliquer("RAZ B5 EXE Command1 Command1 B2 EXE Command2");
    EXPECT_EQ(calc::memoire, 8.0);
    cliquer("B3 multip Command3");
    EXPECT_EQ(m->saisie(), QStringLiteral("3 * 8"));
    cliquer("RAZ");
    touche(QStringLiteral("C0"))->click();
    cliquer("Command3");
    EXPECT_EQ(m->saisie(), QStringLiteral("8.E+00"));
    cliquer("Command4 RAZ Command3");
    EXPECT_EQ(m->saisie(), QStringLiteral("0.E+00"));
}

TEST_F(MachineTest, MemoryOutlivesTheWindow)
{
    cliquer("B4 B2 EXE Command1");
    m = std::make_unique<Machine>();
    cliquer("Command3");
    EXPECT_EQ(m->saisie(), QStringLiteral("42"));
}

TEST_F(MachineTest, DisplayModeRewritesTheResultOnShow)
{
    cliquer("B1 B4 EXE");
    touche(QStringLiteral("C0"))->click();
    EXPECT_EQ(m->affichage(), QStringLiteral("1.4E+01"));
    touche(QStringLiteral("C1"))->click();
    EXPECT_EQ(m->affichage(), QStringLiteral(" 14"));
    touche(QStringLiteral("C0"))->click();
    cliquer("B2 B5 B0 EXE");
    EXPECT_EQ(m->affichage(), QStringLiteral("2.5E+02"));
    cliquer("B7"); // something typed: the mode change leaves it alone
    touche(QStringLiteral("C1"))->click();
    EXPECT_EQ(m->affichage(), QStringLiteral("7"));
}

TEST_F(MachineTest, RadiansOption)
{
    touche(QStringLiteral("angle1"))->click();
    cliquer("Bcos pi EXE");
    EXPECT_EQ(m->affichage(), QStringLiteral("-1"));
    touche(QStringLiteral("angle0"))->click();
    cliquer("Bcos B1 B8 B0 EXE");
    EXPECT_EQ(m->affichage(), QStringLiteral("-1"));
}

struct Place {
    const char *nom;
    QRect rect;
    QColor couleur;
};

TEST_F(MachineTest, KeysAndBackgroundAsDrawn)
{
    m->show();
    const QImage img = m->grab().toImage();
    ASSERT_EQ(img.size(), QSize(301, 430));
    if (qEnvironmentVariableIsSet("SPECTRO_CALC_CAPTURE"))
        img.save(qEnvironmentVariable("SPECTRO_CALC_CAPTURE"));

    const Place places[] = {
        {"B0", {88, 392, 32, 24}, {255, 224, 192}},
        {"B9", {168, 296, 32, 24}, {255, 224, 192}},
        {"B5", {128, 328, 32, 24}, {255, 224, 192}},
        {"kilo", {48, 392, 24, 24}, {255, 255, 192}},
        {"invsin", {16, 192, 56, 24}, {128, 255, 255}},
        {"bsin", {80, 192, 32, 24}, {192, 255, 255}},
        {"racine", {120, 224, 24, 24}, {0, 128, 128}},
        {"EFFACE", {216, 296, 32, 24}, {255, 128, 128}},
        {"EXE", {256, 392, 32, 24}, {192, 192, 192}},
        {"B10x", {256, 224, 24, 24}, {192, 192, 192}},
        {"Command4", {256, 192, 33, 25}, {}},
        {"Command5", {120, 192, 25, 25}, {}},
    };
    for (const Place &p : places) {
        QAbstractButton *b = touche(QLatin1StringView(p.nom));
        ASSERT_NE(b, nullptr) << p.nom;
        EXPECT_EQ(b->geometry(), p.rect) << p.nom;
        if (p.couleur.isValid()) {
            EXPECT_EQ(img.pixelColor(p.rect.topLeft() + QPoint(3, 3)), p.couleur) << p.nom;
        }
    }

    struct Pixel {
        QPoint at;
        QColor couleur;
    };
    const QColor blanc(255, 255, 255);
    const QColor noir(0, 0, 0);
    const QColor canard(0, 128, 128);
    const Pixel pixels[] = {
        {{0, 0}, {200, 250, 250}},
        {{0, 250}, {200, 250, 250}},
        {{3, 100}, {198, 248, 248}},
        {{10, 150}, {195, 245, 245}},
        {{300, 60}, {50, 100, 100}},
        {{299, 200}, blanc},
        {{150, 428}, blanc},
        {{1, 200}, noir},
        {{150, 1}, noir},
        {{206, 350}, blanc},
        {{82, 350}, blanc},
        {{150, 421}, blanc},
        {{205, 350}, canard},
        {{81, 350}, canard},
        {{150, 289}, canard},
        {{150, 60}, {0, 255, 0}},
    };
    for (const Pixel &p : pixels)
        EXPECT_EQ(img.pixelColor(p.at), p.couleur) << p.at.x() << "," << p.at.y();

    // The picture keys carry a drawing, not a blank face.
    for (const char *nom : {"B10x", "Bexp", "puissance", "btcarre"}) {
        const QRect r = touche(QLatin1StringView(nom))->geometry().adjusted(3, 3, -3, -3);
        int encre = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                encre += img.pixelColor(x, y).value() < 100;
        EXPECT_GT(encre, 15) << nom;
    }
}

} // namespace
