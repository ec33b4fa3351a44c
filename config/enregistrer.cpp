#include "config/enregistrer.h"

#include "common/appdata.h"
#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "config/configfile.h"
#include "config/folderlists.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

using dialoglook::twips;

Enregistrer::Enregistrer(Feuille &f, QWidget *parent) : QDialog(parent), m_f(f)
{
    setWindowTitle(QStringLiteral("Enregistrer les paramètres."));
    dialoglook::setUp(this, 5565, 6615);
    if (QWidget *main = f.window())
        move(main->pos() + QPoint(20, 20));

    dialoglook::label(this, QStringLiteral("Label1"), QStringLiteral("Lecteur:"),
                      twips(1080, 120, 1215, 255));
    dialoglook::label(this, QStringLiteral("Label3"), QStringLiteral("Répertoire:"),
                      twips(1080, 750, 1215, 255));
    dialoglook::label(this, QStringLiteral("Label4"), QStringLiteral("Fichiers enregistrés"),
                      twips(3120, 120, 2055, 255));
    dialoglook::label(this, QStringLiteral("Label2"), QStringLiteral("Nom du fichier:"),
                      twips(2280, 5160, 1215, 255));
    m_lists = new FolderLists(this, QStringLiteral("*.C12"), Platform::dialogFolder());
    m_lists->drives()->setGeometry(twips(360, 360, 2415, 315));
    m_lists->folders()->setGeometry(twips(360, 1005, 2415, 3915));
    m_lists->files()->setGeometry(twips(3120, 360, 2055, 4575));

    // A file in a folder the user cannot write (an exercise's, once installed)
    // is proposed by its bare name, to be saved in the dialog's folder.
    const QFileInfo last(f.nomfichier);
    const bool keepPath = f.nomfichier.isEmpty() || Platform::isWritableFolder(last.absolutePath());
    m_nom = new QLineEdit(keepPath ? f.nomfichier : last.fileName(), this);
    m_nom->setObjectName(QStringLiteral("Text1"));
    m_nom->setGeometry(twips(720, 5400, 4335, 315));
    auto *save = new QPushButton(QStringLiteral("ENREGISTRER"), this);
    save->setObjectName(QStringLiteral("Command1"));
    save->setGeometry(twips(3240, 6000, 1815, 375));
    auto *cancel = new QPushButton(QStringLiteral("ANNULER"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setGeometry(twips(720, 6000, 1815, 375));
    // Enter in the name box saves through returnPressed alone; a default
    // button would save a second time.
    for (QPushButton *b : {save, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    m_nom->setFocus();

    // A new folder keeps only the bare name, to be saved there.
    connect(m_lists, &FolderLists::folderChanged, this, [this] {
        const QString text = m_nom->text();
        m_nom->setText(text.mid(text.lastIndexOf(QLatin1Char('/')) + 1));
    });
    connect(m_lists, &FolderLists::fileDoubleClicked, this, [this](const QString &name) {
        m_nom->setText(name);
        enregistrer();
    });
    connect(m_nom, &QLineEdit::returnPressed, this, &Enregistrer::enregistrer);
    connect(save, &QPushButton::clicked, this, &Enregistrer::enregistrer);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool Enregistrer::enregistrer()
{
    config::WaitCursor wait;
    // Everything from the first "." on goes, one extension at a time, with
    // the blanks each cut uncovers.
    QString name = m_nom->text();
    for (;;) {
        name = dialoglook::trimBlanks(name);
        if (name.isEmpty()) {
            wait.release();
            msgbox::show(this, QStringLiteral("Il faut donner un nom au fichier!"),
                         QStringLiteral("Enregistrement impossible"), msgbox::Icon::Error);
            return false;
        }
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot < 0)
            break;
        name.truncate(dot);
    }
    // A bare name goes into the tree's folder; a text with a separator is a path.
    if (!name.contains(QLatin1Char('/')))
        name = joinPath(m_lists->folder(), name);
    // "x.c12" in the list is the file that saving as "x" overwrites.
    name = existingFileIgnoringCase(name + QStringLiteral(".C12"));
    m_nom->setText(name);
    m_f.nomfichier = name;
    QDir::setCurrent(m_lists->folder());

    // The writer shows its own hourglass; the question is answered with the normal pointer.
    wait.release();
    if (QFileInfo::exists(name) &&
        msgbox::show(this, QStringLiteral("Ecraser le fichier existant?"),
                     QStringLiteral("Ce fichier existe déjà!"), msgbox::Icon::Warning,
                     msgbox::Buttons::YesNo) != msgbox::Answer::Yes)
        return false;
    return ecrireConfig(m_f, this);
}
