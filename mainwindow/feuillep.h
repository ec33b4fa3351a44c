#pragma once
// The main window: the simulated instrument's controls, the schematic, the
// graph, the tab strip and the exercise text.
#include "common/feuille.h"
#include "graph/graph.h"
#include "model/catalogue.h"

#include <QMargins>
#include <QWidget>
#include <functional>
#include <memory>

class Appareil;
class QLabel;
class QMenu;
class QPushButton;

class FeuilleP : public QWidget, public Feuille
{
    Q_OBJECT
public:
    explicit FeuilleP(QWidget *parent = nullptr);
    ~FeuilleP() override;

    // Start-up steps that follow showing the window: the hand-off request or
    // the automatic first trace.
    void afterShow();

    // Feuille
    QWidget *window() override { return this; }
    void majafficheur() override;
    void Text1_LostFocus() override;
    void Command3_Click() override { graph->Command3_Click(); }
    void deschema(int avecFond) override;
    void ecrireIntroduction() override;
    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    float absorbance() const override { return state.absorbance; }
    void chargespectre() override;
    void setOnglet(int tab) override;
    QStringList extraRecords() const override;
    bool applyExtraRecords(const QStringList &records) override;

    // Routines of the window.
    void Combo1_Click();
    void Text2_LostFocus();
    void HScroll1_Change();
    void UpDown1_Change();
    void UpDown2_Change();
    void Form_Activate();
    // Release over the tab strip at (x, y).
    void Onglets_MouseUp(int x, int y);
    void Onglets_Paint();
    int tabBoundary(int i) const { return b[i]; }
    // Filters a key typed in a number box; returns the character let through
    // (0 when it is dropped). Enter runs the box's check.
    QChar keyFilter(QLineEdit *box, QChar ch);
    // Pasted text goes into a number box through the same filter as keys.
    void pasteInto(QLineEdit *box, const QString &text);
    // The edit menu of a number box, its paste filtered; the caller owns it.
    QMenu *boxMenu(QLineEdit *box);
    // Asks the closing confirmations; true when the program may end.
    bool confirmClose();
    // Help line text for a control (empty when it leaves the line alone).
    QString helpText(QWidget *w) const;

    spectro::SolutionState state;
    std::unique_ptr<graph::Graph> graph;
    // The real instrument and the samples beyond the fourteen solutions.
    Appareil *appareil = nullptr;
    int longueurOnde = 0;
    int onglet = 0;
    bool mtextra = false;
    QColor coulLambda;
    QColor coulSolution;
    int rouge = 0, vert = 0, bleu = 0;

    // Widgets beyond the shared controls.
    QPushButton *Command2 = nullptr, *Command11 = nullptr, *Command4 = nullptr,
                *Command10 = nullptr, *Command8 = nullptr, *Command7 = nullptr, *Command1 = nullptr;
    PictureBox *Onglets = nullptr;
    PictureBox *Picture3 = nullptr, *frame2 = nullptr, *Picture1 = nullptr;
    QLabel *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr;
    Surface background; // the window's painted background

    // Windows of the other subsystems, reached through these hooks so that the
    // window can be built and tested on its own.
    std::function<void()> openConfig, saveConfig, printDialog, calculator, help;
    std::function<void(QPoint)> copyMenu;
    std::function<void(QPoint)> exerciseMenu;
    // Opens a description file; the files it names are looked for in folder,
    // or beside it when folder is empty (hand-off, command line).
    std::function<void(const QString &path, const QString &folder)> openExerciseFile;
    // Concentration text the readout reads for the text of the box: a sample
    // whose concentration is hidden is read at its own value.
    std::function<QString(const QString &)> readingConcentration;
    // TEMPKZ.TMP, in the folder Platform gives.
    QString handOffPath() const;

    // A file named on the command line, opened instead of the first trace.
    std::function<void()> openStartFile;
    // A screenshot run completes the first trace at once.
    bool completeFirstTraceAtOnce = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void applySizeRule();
    void Picture3_Paint();
    void Frame2_Paint();
    void Picture1_Paint();
    int b[6] = {0, 0, 0, 0, 0, 0};
    bool m_sizing = false;
    QMargins m_frame; // the frame the size rule last allowed for
    bool m_handOffAtStart = false;
};
