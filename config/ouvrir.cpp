#include "config/ouvrir.h"

#include "common/appdata.h"
#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "config/configfile.h"
#include "config/folderlists.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

using dialoglook::twips;

Ouvrir::Ouvrir(Feuille &f, QWidget *parent) : QDialog(parent), m_f(f)
{
    setWindowTitle(QStringLiteral("Ouvrir une configuration"));
    dialoglook::setUp(this, 5535, 6345);
    if (QWidget *main = f.window())
        move(main->pos() + QPoint(20, 20));

    dialoglook::label(this, QStringLiteral("Label1"), QStringLiteral("Lecteur:"),
                      twips(360, 120, 2415, 255));
    dialoglook::label(this, QStringLiteral("Label2"), QStringLiteral("Répertoire"),
                      twips(360, 735, 2415, 255));
    dialoglook::label(this, QStringLiteral("Label3"), QStringLiteral("Fichiers"),
                      twips(3120, 120, 2055, 255));
    m_lists = new FolderLists(this, QStringLiteral("*.C12"), Platform::dialogFolder());
    m_lists->drives()->setGeometry(twips(360, 360, 2415, 315));
    m_lists->folders()->setGeometry(twips(360, 975, 2415, 4140));
    m_lists->files()->setGeometry(twips(3120, 360, 2055, 4770));

    m_ficharge = new QLineEdit(this);
    m_ficharge->setObjectName(QStringLiteral("ficharge"));
    m_ficharge->setGeometry(twips(0, 5280, 5535, 285));
    QPalette path = m_ficharge->palette();
    path.setColor(QPalette::Base, dialoglook::kGrey);
    path.setColor(QPalette::Text, dialoglook::kBlue);
    m_ficharge->setPalette(path);

    auto *open = new QPushButton(QStringLiteral("OUVRIR"), this);
    open->setObjectName(QStringLiteral("Command1"));
    open->setGeometry(twips(3120, 5640, 1815, 375));
    auto *cancel = new QPushButton(QStringLiteral("ANNULER"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setGeometry(twips(720, 5640, 1815, 375));
    for (QPushButton *b : {open, cancel}) {
        QPalette p = b->palette();
        p.setColor(QPalette::Button, QColor(232, 213, 191));
        b->setPalette(p);
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    // The notice covering the dialog while a file loads.
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(twips(0, 0, 5535, 6375));
    QPalette grey = m_frame->palette();
    grey.setColor(QPalette::Window, dialoglook::kGrey);
    m_frame->setPalette(grey);
    m_frame->setAutoFillBackground(true);
    QLabel *notice = dialoglook::label(m_frame, QStringLiteral("Label4"),
                                       QStringLiteral("Patience: chargement du fichier"),
                                       twips(120, 2520, 5295, 495));
    notice->setAlignment(Qt::AlignCenter);
    notice->setFont(dialoglook::font(13.5));
    m_frame->hide();

    connect(m_lists, &FolderLists::fileClicked, this, &Ouvrir::choose);
    connect(m_lists, &FolderLists::fileDoubleClicked, this, [this](const QString &name) {
        choose(name);
        ouvrir();
    });
    connect(open, &QPushButton::clicked, this, &Ouvrir::ouvrir);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Ouvrir::choose(const QString &name)
{
    m_ficharge->setText(joinPath(m_lists->folder(), name));
    QDir::setCurrent(m_lists->folder());
}

void Ouvrir::ouvrir()
{
    const QString path = m_ficharge->text();
    if (dialoglook::trimBlanks(path).isEmpty())
        return;
    m_f.nomfichier = path;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        msgbox::show(this, QStringLiteral("Nom de fichier incorrect ou chemin non valide"),
                     QStringLiteral("impossible d'ouvrir ce fichier"), msgbox::Icon::Error);
        return;
    }
    m_frame->raise();
    m_frame->show();
    chargeconfig(m_f, this);
    // Closes after the loader's own messages too.
    accept();
}
