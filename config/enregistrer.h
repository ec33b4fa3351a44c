#pragma once
// Save dialog: completes the typed name into a ".C12" path in the chosen
// folder and writes the configuration there.
#include <QDialog>

class Feuille;
class FolderLists;
class QLineEdit;
class QPushButton;

class Enregistrer : public QDialog
{
    Q_OBJECT
public:
    Enregistrer(Feuille &f, QWidget *parent = nullptr);

    FolderLists &lists() { return *m_lists; }
    // "ENREGISTRER": true when the file was written (the dialog then closes).
    bool enregistrer();

private:
    Feuille &m_f;
    FolderLists *m_lists;
    QLineEdit *m_nom;
};
