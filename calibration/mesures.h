#pragma once
// The window "Mesures": the measured points in order, the model and its
// line, the unknown sample; not modal, so measuring goes on beside it. Also
// the dialog that prepares a standard by dilution.
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace calib
{

class Session;

class Mesures : public QDialog
{
    Q_OBJECT
public:
    Mesures(Session &s, QWidget *parent);

    // Shows the session as it is now.
    void refresh();

    QTableWidget *tableau = nullptr;
    QPushButton *mesurer = nullptr, *supprimer = nullptr, *effacer = nullptr, *dilution = nullptr;
    QLabel *avertissements = nullptr;
    QRadioButton *origine = nullptr, *affine = nullptr;
    QLabel *modele = nullptr;
    QComboBox *etalons = nullptr;
    QPushButton *preparer = nullptr;
    QLabel *etatInconnu = nullptr;
    QPushButton *tirer = nullptr;
    QCheckBox *dansLaCuve = nullptr;
    QLabel *lecture = nullptr;
    QCheckBox *construction = nullptr;
    QLineEdit *reponse = nullptr;
    QPushButton *comparer = nullptr, *reveler = nullptr;
    QLabel *ecart = nullptr, *valeur = nullptr;
    QPushButton *copier = nullptr, *exporter = nullptr, *fermer = nullptr;

    void supprimerClick();
    void effacerClick();
    void comparerClick();
    void revelerClick();
    void exporterClick();
    void preparerClick();

signals:
    void visibilityChanged();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    Session &m_s;
    QWidget *m_standardsRow = nullptr;
};

// "Préparer un étalon par dilution": a stock solution, a pipette and a flask
// give the standard's concentration, put into the concentration box.
class DilutionDialog : public QDialog
{
    Q_OBJECT
public:
    DilutionDialog(Session &s, QWidget *parent);

    QLineEdit *mere = nullptr;
    QComboBox *pipette = nullptr, *fiole = nullptr;
    QLabel *resultat = nullptr;
    QPushButton *placer = nullptr, *remplir = nullptr;
    QTableWidget *gamme = nullptr;

    void update();
    void fillSeries();
    // Puts a concentration into the box as if typed and confirmed.
    void place(double c);

private:
    Session &m_s;
};

} // namespace calib
