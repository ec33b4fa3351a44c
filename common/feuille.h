#pragma once
// The main window as the other subsystems see it: the controls in which the
// instrument's settings live, the window-wide values, and the routines of the
// window that other windows call.
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTextEdit;
class QWidget;
class PictureBox;
class UpDown;

struct Controls {
    QComboBox *Combo1 = nullptr;                   // solution list
    QLineEdit *Text1 = nullptr;                    // concentration
    QLineEdit *Text2 = nullptr;                    // pH
    QScrollBar *HScroll1 = nullptr;                // wavelength, 400..800
    UpDown *UpDown1 = nullptr;                     // cuvette thickness code 1..3
    UpDown *UpDown2 = nullptr;                     // limit of the concentration graph 1..5
    QRadioButton *Option1[2] = {nullptr, nullptr}; // graph kind
    QCheckBox *Check1 = nullptr;                   // "Superposer les courbes"
    QTextEdit *Rappo = nullptr;                    // values report
    QTextEdit *supertext = nullptr;                // introduction or exercise text
    QLineEdit *fich = nullptr;                     // path of the open exercise text
    QLabel *info = nullptr;                        // help line
    QLabel *Label1 = nullptr;                      // thickness text
    QLabel *Label2 = nullptr;                      // exponent of the graph limit
    QLabel *Label7 = nullptr;                      // wavelength text
    QLabel *Labeli[2] = {nullptr, nullptr};        // pointer readout
    PictureBox *schema = nullptr;
    PictureBox *graphik = nullptr;
    QPushButton *Command3 = nullptr; // clear the graph
    QPushButton *Command5 = nullptr; // "Tracer"
    QPushButton *Command6 = nullptr; // delete the last curve
    QWidget *btexo = nullptr;
};

class Feuille
{
public:
    virtual ~Feuille() = default;

    Controls c;

    // Window-wide values shared by the configuration and exercise windows.
    QString nomfichier; // configuration file being saved or loaded
    QString cheminexo;  // folder of the exercise files, with a final separator
    int corrige = 0;    // 1 when the open exercise has a correction
    int textemodif = 0; // 1 when the exercise text changed since loaded or saved
    QString msgcopie;

    virtual QWidget *window() = 0;
    virtual void majafficheur() = 0;
    virtual void Text1_LostFocus() = 0;
    virtual void Command3_Click() = 0; // clears the graph
    virtual void deschema(int avecFond) = 0;
    virtual void ecrireIntroduction() = 0; // the introduction text into supertext
    virtual void setCaption(const QString &caption) = 0;
    virtual float absorbance() const = 0;
    // Reloads the spectrum of the selected solution.
    virtual void chargespectre() {}
    // Shows a tab of the settings strip (1 to 3).
    virtual void setOnglet(int) {}
    // Records a configuration keeps after its nine for the real instrument and
    // the samples beyond the fourteen solutions; empty when none of them is in
    // use, so the file is the nine records alone.
    virtual QStringList extraRecords() const { return {}; }
    // Checks and applies those records (as many as could be read, empty for a
    // file of nine); false on a record that cannot be read, and then nothing
    // is applied.
    virtual bool applyExtraRecords(const QStringList &) { return true; }
};
