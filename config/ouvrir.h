#pragma once
// Open dialog: the chosen ".C12" file becomes nomfichier and is loaded.
#include <QDialog>

class Feuille;
class FolderLists;
class QFrame;
class QLineEdit;

class Ouvrir : public QDialog
{
    Q_OBJECT
public:
    Ouvrir(Feuille &f, QWidget *parent = nullptr);

    FolderLists &lists() { return *m_lists; }
    // "OUVRIR".
    void ouvrir();

private:
    void choose(const QString &name);

    Feuille &m_f;
    FolderLists *m_lists;
    QLineEdit *m_ficharge;
    QFrame *m_frame;
};
