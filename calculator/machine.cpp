#include "machine.h"

#include "calculator/evaluator.h"
#include "common/numfmt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

namespace
{

const QColor beige(255, 224, 192);
const QColor jaune(255, 255, 192);
const QColor canard(0, 128, 128);
const QColor cyan(192, 255, 255);
const QColor cyanVif(128, 255, 255);
const QColor gris(192, 192, 192);
const QColor rose(255, 128, 128);

QFont policeFenetre(int pixels)
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

// Keys drawn without a caption: a base with a raised exponent.
struct Image {
    const char *base = nullptr;
    const char *exposant = nullptr;
};

// A flat key in its own colour with a raised 3D edge, as the keypad's
// coloured buttons were; default-coloured keys take the palette's button face.
class Touche : public QAbstractButton
{
public:
    Touche(QWidget *parent, const QColor &couleur, const Image &image)
        : QAbstractButton(parent), couleur_(couleur), image_(image)
    {
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int w = width();
        const int h = height();
        const bool enfonce = isDown();
        p.fillRect(rect(), couleur_.isValid() ? couleur_ : palette().color(QPalette::Button));
        const QColor clair = enfonce ? Qt::black : Qt::white;
        const QColor sombre = enfonce ? Qt::white : Qt::black;
        p.setPen(clair);
        p.drawLine(0, 0, w - 2, 0);
        p.drawLine(0, 0, 0, h - 2);
        p.setPen(sombre);
        p.drawLine(0, h - 1, w - 1, h - 1);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        p.setPen(QColor(128, 128, 128));
        if (enfonce) {
            p.drawLine(1, 1, w - 2, 1);
            p.drawLine(1, 1, 1, h - 2);
        } else {
            p.drawLine(1, h - 2, w - 2, h - 2);
            p.drawLine(w - 2, 1, w - 2, h - 2);
        }
        QRect zone = rect().adjusted(2, 2, -2, -2);
        if (enfonce)
            zone.translate(1, 1);
        p.setPen(Qt::black);
        if (!image_.base)
            p.drawText(zone, Qt::AlignCenter | Qt::TextShowMnemonic, text());
        else
            dessinerPuissance(p, zone);
    }

private:
    void dessinerPuissance(QPainter &p, const QRect &zone) const
    {
        const QFont fb = font();
        QFont fe = fb;
        fe.setPixelSize(std::max(7, fb.pixelSize() * 3 / 4));
        const QFontMetrics mb(fb);
        const QFontMetrics me(fe);
        const QString base = QString::fromLatin1(image_.base);
        const QString exposant = QString::fromLatin1(image_.exposant);
        const int lb = mb.horizontalAdvance(base);
        const int le = me.horizontalAdvance(exposant);
        const int x = zone.left() + (zone.width() - lb - le) / 2;
        const int ligne = zone.center().y() + mb.ascent() / 2 + 1;
        p.setFont(fb);
        p.drawText(x, ligne, base);
        p.setFont(fe);
        p.drawText(x + lb, ligne - mb.ascent() / 2, exposant);
    }

    QColor couleur_;
    Image image_;
};

// Rules a key applies before appending its text.
enum class Regle { Texte, Fonction, Operateur, OperateurAffiche };

// "Blank" as the keys test it: nothing but blanks.
bool estBlanc(const QString &s)
{
    return s.trimmed().isEmpty();
}

} // namespace

struct Machine::Ajout {
    const char *nom;
    const char *legende;
    QRect place;
    QColor couleur; // invalid: the default button face
    Regle regle;
    const char *texte; // null for pi, written at run time
    Image image = {};
};

struct Machine::Commande {
    const char *nom;
    const char *legende;
    QRect place;
    QColor couleur;
    void (Machine::*action)();
};

Machine::Machine(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Machine à calculer"));
    setFixedSize(301, 430);
    setFont(policeFenetre(11));

    z1_ = new QPlainTextEdit(this);
    z1_->setObjectName(QStringLiteral("z1"));
    z1_->setGeometry(16, 16, 273, 89);
    z1_->setReadOnly(true);
    // Read-only but with its caret, which shows where the next key goes.
    z1_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    z1_->setWordWrapMode(QTextOption::WrapAnywhere);
    z1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    z1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    z1_->setFont(policeFenetre(16));
    QPalette pz = z1_->palette();
    pz.setColor(QPalette::Base, QColor(0, 255, 0));
    pz.setColor(QPalette::Text, Qt::black);
    z1_->setPalette(pz);
    z1_->installEventFilter(this);

    creerOptions();
    creerTouches();
    z1_->setFocus();
}

void Machine::creerOptions()
{
    auto *panneau = new QFrame(this);
    panneau->setGeometry(16, 120, 273, 65);
    panneau->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panneau->setAutoFillBackground(true);
    QPalette pp = panneau->palette();
    pp.setColor(QPalette::Window, gris);
    panneau->setPalette(pp);

    const auto groupe = [panneau](const QString &titre, QRect place) {
        auto *g = new QGroupBox(titre, panneau);
        g->setGeometry(place);
        return g;
    };
    const auto option = [](QGroupBox *g, const char *nom, const QString &texte, int y) {
        auto *r = new QRadioButton(texte, g);
        r->setObjectName(QLatin1StringView(nom));
        r->setGeometry(8, y, g->width() - 12, 17);
        r->setFocusPolicy(Qt::NoFocus);
        return r;
    };
    QGroupBox *angles = groupe(QStringLiteral("Angles"), QRect(8, 0, 121, 57));
    radians_ = option(angles, "angle1", QStringLiteral("Radians"), 16);
    option(angles, "angle0", QStringLiteral("Degrés"), 32)->setChecked(true);
    QGroupBox *affichage = groupe(QStringLiteral("Affichage"), QRect(136, 0, 129, 57));
    scientifique_ = option(affichage, "C0", QStringLiteral("Scientifique"), 16);
    QRadioButton *standard = option(affichage, "C1", QStringLiteral("Standard"), 32);
    standard->setChecked(true);
    for (QRadioButton *r : {scientifique_, standard}) {
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (coche)
                changerFormat();
        });
    }
}

void Machine::creerTouches()
{
    using R = Regle;
    const QString pi = numfmt::str(4.0 * std::atan(1.0)).trimmed();
    // Keys that append a text, with the rule applied first.
    const Ajout ajouts[] = {
        {"Bpoint", ".", {128, 392, 32, 24}, beige, R::Texte, "."},
        {"BtoEXP", "EXP", {168, 392, 32, 24}, jaune, R::Texte, "E"},
        {"pico", "p", {16, 296, 24, 24}, jaune, R::Texte, "E-12"},
        {"tera", "T", {48, 296, 24, 24}, jaune, R::Texte, "E+12"},
        {"nano", "n", {16, 328, 24, 24}, jaune, R::Texte, "E-9"},
        {"giga", "G", {48, 328, 24, 24}, jaune, R::Texte, "E+9"},
        {"micro", "µ", {16, 360, 24, 24}, jaune, R::Texte, "E-6"},
        {"mega", "M", {48, 360, 24, 24}, jaune, R::Texte, "E+6"},
        {"mil", "m", {16, 392, 24, 24}, jaune, R::Texte, "E-3"},
        {"kilo", "k", {48, 392, 24, 24}, jaune, R::Texte, "E+3"},
        {"bpf", ")", {152, 256, 24, 24}, canard, R::Texte, ")"},
        {"Bpo", "(", {120, 256, 24, 24}, canard, R::Fonction, "("},
        {"bsin", "&SIN", {80, 192, 32, 24}, cyan, R::Fonction, "sin "},
        {"Bcos", "&COS", {80, 224, 32, 24}, cyan, R::Fonction, "cos "},
        {"Btan", "&TAN", {80, 256, 32, 24}, cyan, R::Fonction, "tan "},
        {"invsin", "INV S&IN", {16, 192, 56, 24}, cyanVif, R::Fonction, "invSIN "},
        {"invcos", "INV C&OS", {16, 224, 56, 24}, cyanVif, R::Fonction, "invCOS "},
        {"Btoncommande3", "INV T&AN", {16, 256, 56, 24}, cyanVif, R::Fonction, "invTAN "},
        {"racine", "√‾", {120, 224, 24, 24}, canard, R::Fonction, "SQR "},
        {"Blog", "&Log", {216, 224, 32, 24}, canard, R::Fonction, "log "},
        {"Bln", "l&n", {216, 256, 32, 24}, canard, R::Fonction, "ln "},
        {"B10x", "", {256, 224, 24, 24}, gris, R::Fonction, "10 ^ ", {"10", "x"}},
        {"Bexp", "", {256, 256, 24, 24}, gris, R::Fonction, "exp ", {"e", "x"}},
        {"Command5", "1/x", {120, 192, 25, 25}, QColor(), R::Fonction, "1 / "},
        {"pi", "π", {184, 256, 24, 24}, gris, R::Fonction, nullptr},
        {"puissance", "", {184, 224, 24, 24}, gris, R::Operateur, " ^ ", {"x", "y"}},
        {"btcarre", "", {152, 224, 24, 24}, gris, R::Operateur, " ^ 2", {"x", "2"}},
        {"multip", "x", {216, 328, 32, 24}, canard, R::OperateurAffiche, " * "},
        {"div", "÷", {256, 328, 32, 24}, canard, R::OperateurAffiche, " / "},
    };
    for (const Ajout &a : ajouts) {
        const QString t = a.texte ? QString::fromUtf8(a.texte) : pi;
        const Regle r = a.regle;
        connect(creerTouche(a), &QAbstractButton::clicked, this, [this, t, r] {
            switch (r) {
            case Regle::Texte:
                ajouter(t);
                break;
            case Regle::Fonction:
                fonction(t);
                break;
            case Regle::Operateur:
                operateur(t);
                break;
            case Regle::OperateurAffiche:
                operateurAffiche(t);
                break;
            }
        });
    }
    // Digits: 0 alone under 1; 1 to 9 in rows of three going up.
    static const char *const chiffres[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    static const char *const noms[] = {"B0", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8", "B9"};
    for (int d = 0; d <= 9; ++d) {
        const QPoint coin =
            d == 0 ? QPoint(88, 392) : QPoint(88 + 40 * ((d - 1) % 3), 360 - 32 * ((d - 1) / 3));
        const QString t = QString::fromLatin1(chiffres[d]);
        const Ajout a{noms[d], chiffres[d], QRect(coin, QSize(32, 24)), beige, R::Texte, nullptr};
        connect(creerTouche(a), &QAbstractButton::clicked, this, [this, t] { ajouter(t); });
    }
    // Keys with rules of their own.
    const Commande commandes[] = {
        {"plus", "+", {216, 360, 32, 24}, canard, &Machine::plus},
        {"moins", "-", {256, 360, 32, 24}, canard, &Machine::moins},
        {"EFFACE", "←", {216, 296, 32, 24}, rose, &Machine::efface},
        {"RAZ", "AC", {256, 296, 32, 24}, rose, &Machine::raz},
        {"ANS", "ANS", {216, 392, 32, 24}, gris, &Machine::ans},
        {"EXE", "EXE", {256, 392, 32, 24}, gris, &Machine::exe},
        {"Command1", "M+", {152, 192, 25, 25}, QColor(), &Machine::memoirePlus},
        {"Command2", "M-", {184, 192, 25, 25}, QColor(), &Machine::memoireMoins},
        {"Command3", "RM", {216, 192, 33, 25}, QColor(), &Machine::rappelMemoire},
        {"Command4", "CM", {256, 192, 33, 25}, QColor(), &Machine::effaceMemoire},
    };
    for (const Commande &c : commandes) {
        const Ajout a{c.nom, c.legende, c.place, c.couleur, R::Texte, nullptr};
        connect(creerTouche(a), &QAbstractButton::clicked, this, c.action);
    }
}

QAbstractButton *Machine::creerTouche(const Ajout &a)
{
    auto *t = new Touche(this, a.couleur, a.image);
    t->setObjectName(QLatin1StringView(a.nom));
    t->setText(QString::fromUtf8(a.legende));
    t->setGeometry(a.place);
    return t;
}

QString Machine::affichage() const
{
    return z1_->toPlainText();
}

bool Machine::scientifique() const
{
    return scientifique_->isChecked();
}

void Machine::montrer(const QString &texte)
{
    z1_->setPlainText(texte);
    z1_->setFocus();
    z1_->moveCursor(QTextCursor::End);
    z1_->repaint();
}

void Machine::ajouter(const QString &texte)
{
    saisie_ += texte;
    montrer(saisie_);
}

void Machine::fonction(const QString &texte)
{
    // An implicit product, except after "(", a sign or a blank.
    if (!saisie_.isEmpty() && !QStringView(u"(- ").contains(saisie_.back()))
        saisie_ += QStringLiteral(" * ");
    ajouter(texte);
}

void Machine::operateur(const QString &texte)
{
    if (estBlanc(saisie_))
        ans();
    ajouter(texte);
}

void Machine::operateurAffiche(const QString &texte)
{
    if (estBlanc(affichage()))
        return;
    operateur(texte);
}

void Machine::plus()
{
    if (estBlanc(affichage()))
        return;
    if (estBlanc(saisie_))
        ans();
    // After an exponent letter the plus is the exponent's sign.
    ajouter(saisie_.endsWith(QLatin1Char('E')) ? QStringLiteral("+") : QStringLiteral(" + "));
}

void Machine::moins()
{
    if (saisie_.isEmpty())
        ajouter(QStringLiteral("-"));
    else if (QStringView(u"( E").contains(saisie_.back()))
        ajouter(QStringLiteral("-"));
    else if (saisie_.back() == QLatin1Char('-'))
        ajouter(QStringLiteral(" -"));
    else
        ajouter(QStringLiteral(" - "));
}

void Machine::efface()
{
    if (saisie_.isEmpty())
        return;
    const qsizetype n = saisie_.size();
    if (saisie_.back() != QLatin1Char(' ')) {
        saisie_.chop(1);
    } else if (n >= 2 && QStringView(u"*+-/^").contains(saisie_[n - 2])) {
        saisie_.chop(std::min<qsizetype>(3, n)); // the operator with its blanks
    } else {
        // The last word: back to the blank or "(" before it, which stays.
        qsizetype i = n - 2;
        while (i >= 0 && saisie_[i] != QLatin1Char(' ') && saisie_[i] != QLatin1Char('('))
            --i;
        saisie_.truncate(i + 1);
    }
    montrer(saisie_);
}

void Machine::raz()
{
    saisie_.clear();
    montrer(saisie_);
}

void Machine::ans()
{
    if (codeerreur_ == calc::Succes)
        saisie_ += derresultat_.trimmed();
    montrer(saisie_);
}

void Machine::exe()
{
    montrer(calc::messageAttente);
    const calc::Execution r = calc::executer(
        saisie_, radians_->isChecked() ? calc::Radians : calc::Degres, scientifique());
    codeerreur_ = r.codeerreur;
    derresultat_ = r.resultat;
    saisie_ = r.saisie;
    montrer(r.resultat);
    if (r.bip)
        QApplication::beep();
}

void Machine::changerFormat()
{
    // Only a result on show is written again in the new format.
    if (!saisie_.isEmpty())
        return;
    montrer(calc::afficher(numfmt::val(derresultat_), scientifique()));
}

void Machine::memoirePlus()
{
    calc::memoire += numfmt::val(affichage());
    z1_->setFocus();
}

void Machine::memoireMoins()
{
    calc::memoire -= numfmt::val(affichage());
    z1_->setFocus();
}

void Machine::effaceMemoire()
{
    calc::memoire = 0;
}

void Machine::rappelMemoire()
{
    ajouter(calc::afficher(calc::memoire, scientifique()).trimmed());
}

bool Machine::toucheClavier(const QKeyEvent *event)
{
    const char *nom = nullptr;
    // The keypad's decimal key, whatever the layout makes it type.
    const bool keypadDecimal = (event->modifiers() & Qt::KeypadModifier) &&
                               (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
    switch (keypadDecimal ? int(Qt::Key_Period) : event->key()) {
    case Qt::Key_Period:
        nom = "Bpoint";
        break;
    case Qt::Key_Backspace:
        nom = "EFFACE";
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        nom = "EXE";
        break;
    default: {
        const QString t = event->text();
        if (t.size() != 1)
            return false;
        static const char *const chiffres[] = {"B0", "B1", "B2", "B3", "B4",
                                               "B5", "B6", "B7", "B8", "B9"};
        const char c = t[0].toLatin1();
        if (c >= '0' && c <= '9') {
            nom = chiffres[c - '0'];
            break;
        }
        switch (c) {
        case '.':
        case ',': // every number the program shows has a decimal comma
            nom = "Bpoint";
            break;
        case 'd':
        case 'D':
        case 'e':
        case 'E':
            nom = "BtoEXP";
            break;
        case '(':
            nom = "Bpo";
            break;
        case ')':
            nom = "bpf";
            break;
        case '*':
            nom = "multip";
            break;
        case '+':
            nom = "plus";
            break;
        case '-':
            nom = "moins";
            break;
        case '/':
            nom = "div";
            break;
        case '^':
            nom = "puissance";
            break;
        default:
            return false;
        }
    }
    }
    if (auto *b = findChild<QAbstractButton *>(QLatin1StringView(nom)))
        b->click();
    return true;
}

void Machine::keyPressEvent(QKeyEvent *event)
{
    if (!toucheClavier(event))
        QDialog::keyPressEvent(event);
}

bool Machine::eventFilter(QObject *watched, QEvent *event)
{
    // The display takes no typed characters: every key goes to the keypad.
    if (watched == z1_ && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Escape)
            return false;
        toucheClavier(k);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Machine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Vertical lines from RGB(200, 250, 250) at the left to RGB(50, 100, 100).
    for (int i = 0; i <= 301; ++i) {
        const int v = numfmt::cint(200.0 - i / 2.0);
        p.setPen(QColor(v, v + 50, v + 50));
        p.drawLine(i, 0, i, 430);
    }
    // Sunken frame of the window, then the frame of the digit block.
    p.setPen(Qt::white);
    p.drawRect(1, 1, 298, 427);
    p.setPen(Qt::black);
    p.drawLine(1, 1, 298, 1);
    p.drawLine(1, 1, 1, 426);
    p.setPen(Qt::white);
    p.drawRect(82, 290, 124, 131);
    p.setPen(canard);
    p.drawRect(81, 289, 124, 131);
}
