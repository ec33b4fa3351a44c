#pragma once
// The exercise menu popped up under the main window's "Exercices" button:
// getting started, opening an exercise and its correction, saving, reloading
// and printing the text of the exercise box, closing the exercise.
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class Feuille;
class Fichexo;
class QAction;
class QPrinter;
class QTextDocument;

class Optionexo : public QObject
{
    Q_OBJECT
public:
    explicit Optionexo(Feuille &f, QObject *parent = nullptr);
    ~Optionexo() override;

    QMenu *menu() const { return m_menu; }
    QAction *PRISENMAIN;
    QAction *openexo;
    QAction *opencor;
    QAction *savetexte;
    QAction *opentexte;
    QAction *imprimetexte;
    QAction *Closexo;

    // "Voir la correction" from corrige, "Fermer l'exercice" from fich.
    void updateEnabled();
    // Enables the items, then shows the menu with its top-left corner at
    // globalPos (the bottom-left corner of the "Exercices" button).
    void popup(QPoint globalPos);

    // The commands of the menu.
    void priseEnMain();      // "Prise en main"
    void ouvrirExercice();   // "Ouvrir un exercice (énoncé + configuration)"
    void voirCorrection();   // "Voir la correction"
    void enregistrerTexte(); // "Enregistrer le contenu de la fenêtre exercice"
    void retrouverTexte();   // "Retrouver un texte"
    void imprimerTexte();    // "Imprimer le contenu de la fenêtre exercice"
    void fermerExercice();   // "Fermer l'exercice"

    // An exercise handed over at start-up: e35Path is the full path of its
    // description file, folder that of the files it names (empty: the
    // description file's own). Opens it as the exercise window would, unseen.
    bool openExerciseFile(const QString &e35Path, const QString &folder = QString());

    // What printing sends to the printer: the selected part of the text, or
    // the whole text when nothing is selected.
    std::unique_ptr<QTextDocument> documentToPrint() const;

    // The dialogs, which tests replace. The file dialogs give a path, or an
    // empty text when the user cancels; the printer set-up gives false.
    std::function<QString()> askSavePath;
    std::function<QString()> askOpenPath;
    std::function<bool(QPrinter &)> askPrinter;
    // Shows the exercise window modally.
    std::function<void(Fichexo &)> showExerciseWindow;

    // "Texte au format RTF (*.RTF *.rtf)".
    static const QString &rtfFilter();

private:
    // Asks before a command drops a changed text; false when the user keeps it.
    bool confirmDiscard();
    void closeForm();
    QString defaultSavePath();
    QString defaultOpenPath();
    bool defaultPrinter(QPrinter &printer);

    Feuille &m_f;
    QPointer<QMenu> m_menu;
    QPointer<Fichexo> m_form;
};
