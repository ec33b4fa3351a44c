#pragma once
// The calculator window: keys build an expression in saisie, shown in the
// display z1; "EXE" evaluates it with the evaluator.
#include <QDialog>
#include <QString>

class QAbstractButton;
class QPlainTextEdit;
class QRadioButton;
class QKeyEvent;

class Machine : public QDialog
{
    Q_OBJECT

public:
    explicit Machine(QWidget *parent = nullptr);

    const QString &saisie() const { return saisie_; }
    const QString &derresultat() const { return derresultat_; }
    int codeerreur() const { return codeerreur_; }
    QString affichage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Ajout;
    struct Commande;
    void creerTouches();
    QAbstractButton *creerTouche(const Ajout &a);
    void creerOptions();
    bool toucheClavier(const QKeyEvent *event);

    // Key actions; the marks say which rules apply before appending.
    void ajouter(const QString &texte);
    void fonction(const QString &texte);         // implicit product first
    void operateur(const QString &texte);        // continues from the last result
    void operateurAffiche(const QString &texte); // the same, not on a blank display
    void plus();
    void moins();
    void efface();
    void raz();
    void ans();
    void exe();
    void changerFormat();
    void memoirePlus();
    void memoireMoins();
    void rappelMemoire();
    void effaceMemoire();
    void montrer(const QString &texte);

    bool scientifique() const;

    QString saisie_;
    QString derresultat_;
    int codeerreur_ = 0;
    QPlainTextEdit *z1_ = nullptr;
    QRadioButton *radians_ = nullptr;
    QRadioButton *scientifique_ = nullptr;
};
