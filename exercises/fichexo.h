#pragma once
// The exercise window: browses the ".E35" description files of a folder,
// previews the selected one (title, difficulty, correction, notions) and
// opens it: statement into the main window's text box, configuration into
// the instrument.
#include <QDialog>
#include <QWidget>

class FolderLists;
class Feuille;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The title "Ouvrir un exercice" drawn letter by letter in a gradient from
// pale yellow to white on a dark background.
class Tito : public QWidget
{
public:
    explicit Tito(QWidget *parent = nullptr);

    static const QString &text();
    // Colour of character i (1 to n): RGB(255, 255, i / n * 100 + 155).
    static QColor charColour(int i, int n);
    // Left edge of character i (1 to n) as drawn.
    int charLeft(int i) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class Fichexo : public QDialog
{
    Q_OBJECT
public:
    // Covers the main window: same place, size, caption and icon. The lists
    // start on the program's folder.
    Fichexo(Feuille &f, QWidget *parent = nullptr);

    FolderLists &lists() { return *m_lists; }

    // A file of the list chosen (click, arrow keys): its path becomes the
    // selection and is previewed. The list's folder becomes the current one.
    void choisir(const QString &name);
    // Shows the title, difficulty, correction and notions of the selection.
    void apercu();
    // Opens the selected exercise. True when it got through; false when
    // nothing is selected or after a message, the window staying open.
    bool ouvrir();
    // Opening handed over by the main window: path is the full path of a
    // description file; the files it names are in folder, or beside it when
    // folder is empty.
    bool openFile(const QString &e35Path, const QString &folder = QString());

    // The selection and the folder of its files ("/" at the end).
    QString selection() const;
    QString chemin() const { return m_chemin; }
    bool isLit(int i) const { return m_lit[i]; }

    Tito *tito;
    QFrame *Frame1;
    QLineEdit *fichierexo;
    QLabel *intratro;
    QLabel *titratexo;
    QLabel *Label4;
    QLabel *Image4[3];
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label1;
    QPlainTextEdit *Text1;
    QToolButton *ouvreur;
    QToolButton *Image5;
    QFrame *Frame2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildBrowser();
    void buildPreview();
    void buildWaitingPanel();
    void setLit(int i, bool lit);
    void hideWaitingPanel();

    Feuille &m_f;
    FolderLists *m_lists = nullptr;
    QString m_chemin;
    bool m_lit[3] = {false, false, false};
};
