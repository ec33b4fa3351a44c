#include "exercises/optionexo.h"

#include "common/appdata.h"
#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "common/rtf.h"
#include "common/safefile.h"
#include "config/configfile.h"
#include "exercises/exofiles.h"
#include "exercises/fichexo.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace
{

const QString kTextPrefix = QStringLiteral("Texte: ");

void fileError(QWidget *parent, const QString &title)
{
    msgbox::show(parent, QStringLiteral("Vérifier l'état du lecteur et le nom du fichier."), title,
                 msgbox::Icon::Error);
}

void installationError(QWidget *parent)
{
    msgbox::show(parent, QStringLiteral("Fichier introuvable. Revoir l'installation du logiciel."),
                 QStringLiteral("Erreur lors du chargement"), msgbox::Icon::Error);
}

// The dialogs start in the current folder; choosing a file moves it there.
void followChoice(const QString &path)
{
    if (!path.isEmpty())
        QDir::setCurrent(QFileInfo(path).absolutePath());
}

} // namespace

const QString &Optionexo::rtfFilter()
{
    static const QString filter = QStringLiteral("Texte au format RTF (*.RTF *.rtf)");
    return filter;
}

Optionexo::Optionexo(Feuille &f, QObject *parent) : QObject(parent), m_f(f)
{
    m_menu = new QMenu(f.window());
    m_menu->setObjectName(QStringLiteral("optionexo"));
    const auto item = [this](const QString &name, const QString &text, void (Optionexo::*run)()) {
        QAction *a = m_menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    PRISENMAIN = item(QStringLiteral("PRISENMAIN"), QStringLiteral("Prise en main"),
                      &Optionexo::priseEnMain);
    m_menu->addSeparator()->setObjectName(QStringLiteral("separons1"));
    openexo = item(QStringLiteral("openexo"),
                   QStringLiteral("Ouvrir un exercice (énoncé + configuration)"),
                   &Optionexo::ouvrirExercice);
    opencor = item(QStringLiteral("opencor"), QStringLiteral("Voir la correction"),
                   &Optionexo::voirCorrection);
    m_menu->addSeparator()->setObjectName(QStringLiteral("separons2"));
    savetexte = item(QStringLiteral("savetexte"),
                     QStringLiteral("Enregistrer le contenu de la fenêtre exercice"),
                     &Optionexo::enregistrerTexte);
    opentexte = item(QStringLiteral("opentexte"), QStringLiteral("Retrouver un texte"),
                     &Optionexo::retrouverTexte);
    imprimetexte = item(QStringLiteral("imprimetexte"),
                        QStringLiteral("Imprimer le contenu de la fenêtre exercice"),
                        &Optionexo::imprimerTexte);
    m_menu->addSeparator()->setObjectName(QStringLiteral("separons3"));
    Closexo = item(QStringLiteral("Closexo"), QStringLiteral("Fermer l'exercice"),
                   &Optionexo::fermerExercice);
    connect(m_menu, &QMenu::aboutToShow, this, [this] { opencor->setEnabled(m_f.corrige == 1); });

    askSavePath = [this] { return defaultSavePath(); };
    askOpenPath = [this] { return defaultOpenPath(); };
    askPrinter = [this](QPrinter &printer) { return defaultPrinter(printer); };
    showExerciseWindow = [](Fichexo &form) { form.exec(); };
}

Optionexo::~Optionexo()
{
    delete m_menu;
}

void Optionexo::updateEnabled()
{
    opencor->setEnabled(m_f.corrige == 1);
    Closexo->setEnabled(m_f.c.fich && !m_f.c.fich->text().isEmpty());
}

void Optionexo::popup(QPoint globalPos)
{
    updateEnabled();
    m_menu->popup(globalPos);
}

bool Optionexo::confirmDiscard()
{
    if (m_f.textemodif != 1)
        return true;
    if (msgbox::show(m_f.window(), QStringLiteral("Attention: perte des modifications du texte."),
                     QStringLiteral("Abandon des données?"), msgbox::Icon::Question,
                     msgbox::Buttons::OkCancel) != msgbox::Answer::Ok)
        return false;
    m_f.textemodif = 0;
    return true;
}

void Optionexo::closeForm()
{
    if (m_form)
        m_form->reject();
}

void Optionexo::ouvrirExercice()
{
    if (!confirmDiscard())
        return;
    // The window lives for one showing: it starts afresh on the program's folder.
    const auto form = std::make_unique<Fichexo>(m_f, m_f.window());
    m_form = form.get();
    showExerciseWindow(*form);
}

bool Optionexo::openExerciseFile(const QString &e35Path, const QString &folder)
{
    Fichexo form(m_f, m_f.window());
    return form.openFile(e35Path, folder);
}

void Optionexo::voirCorrection()
{
    if (!confirmDiscard())
        return;
    config::WaitCursor wait;
    QWidget *parent = m_f.window();
    QStringList r;
    if (!exo::readRecords(m_f.c.fich->text(), exo::Correction, exo::CorrectionConfig, &r)) {
        wait.release();
        exo::lectureImpossible(parent);
        return;
    }
    if (!exo::blank(r[0])) {
        const QString correction = m_f.cheminexo + r[0];
        if (!exo::loadRtf(correction, m_f.c.supertext)) {
            wait.release();
            exo::fichierAbsent(parent, correction);
            return;
        }
        m_f.textemodif = 0;
    }
    if (!exo::blank(r[1])) {
        m_f.nomfichier = m_f.cheminexo + r[1];
        if (!QFileInfo(m_f.nomfichier).isFile()) {
            wait.release();
            exo::fichierAbsent(parent, m_f.nomfichier);
            return;
        }
        wait.release();
        // The loader reports its own failures; the correction goes on.
        chargeconfig(m_f);
    }
    m_f.c.supertext->setReadOnly(true);
    m_f.textemodif = 0;
    closeForm();
}

void Optionexo::priseEnMain()
{
    QString folder = programFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_f.cheminexo = folder;
    const QString pem = folder + exo::kGettingStarted;
    if (!QFileInfo::exists(pem))
        return;
    QWidget *parent = m_f.window();
    QStringList r;
    if (!exo::readRecords(pem, exo::Statement, exo::StatementConfig, &r) ||
        !exo::loadRtf(folder + r[0], m_f.c.supertext)) {
        closeForm();
        installationError(parent);
        return;
    }
    m_f.c.fich->setText(pem);
    m_f.corrige = 0;
    m_f.textemodif = 0;
    if (!exo::blank(r[1])) {
        m_f.nomfichier = folder + r[1];
        if (!QFileInfo(m_f.nomfichier).isFile()) {
            closeForm();
            installationError(parent);
            return;
        }
        chargeconfig(m_f);
    }
    m_f.c.supertext->setReadOnly(false);
    m_f.textemodif = 0;
    closeForm();
}

void Optionexo::enregistrerTexte()
{
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    followChoice(path);
    QWidget *parent = m_f.window();
    const QFileInfo info(path);
    const QString question = QStringLiteral("Le fichier ") + info.fileName() +
                             QStringLiteral(" existe déjà.\r\nEcraser l'ancien?");
    if (info.exists() &&
        msgbox::show(parent, question, QStringLiteral("Ecraser le fichier?"),
                     msgbox::Icon::Question, msgbox::Buttons::OkCancel) != msgbox::Answer::Ok)
        return;
    // Written aside and put in place in one step: a failure leaves the
    // earlier file as it was, and the text still counts as unsaved.
    const bool ok = !info.isDir() && !(info.exists() && !info.isWritable()) &&
                    safefile::save(path, rtf::write(*m_f.c.supertext->document()));
    if (!ok) {
        fileError(parent, QStringLiteral("Erreur d'écriture."));
        return;
    }
    m_f.textemodif = 0;
}

void Optionexo::retrouverTexte()
{
    if (!confirmDiscard())
        return;
    m_f.textemodif = 0;
    const QString path = askOpenPath();
    if (path.isEmpty())
        return;
    followChoice(path);
    m_f.corrige = 0;
    if (!exo::loadRtf(path, m_f.c.supertext))
        fileError(m_f.window(), QStringLiteral("Erreur de lecture."));
    m_f.c.supertext->setReadOnly(false);
    m_f.c.fich->setText(kTextPrefix + QFileInfo(path).absoluteFilePath());
    m_f.textemodif = 0;
}

std::unique_ptr<QTextDocument> Optionexo::documentToPrint() const
{
    const QTextEdit *box = m_f.c.supertext;
    const QTextCursor cursor = box->textCursor();
    if (!cursor.hasSelection())
        return std::unique_ptr<QTextDocument>(box->document()->clone());
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(box->document()->defaultFont());
    QTextCursor(doc.get()).insertFragment(cursor.selection());
    return doc;
}

void Optionexo::imprimerTexte()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!askPrinter(printer))
        return;
    documentToPrint()->print(&printer);
}

void Optionexo::fermerExercice()
{
    if (!confirmDiscard())
        return;
    m_f.textemodif = 0;
    m_f.c.fich->clear();
    m_f.ecrireIntroduction();
    m_f.corrige = 0;
    closeForm();
}

QString Optionexo::defaultSavePath()
{
    QFileDialog d(m_f.window(), QStringLiteral("Enregistrer le contenu de la fenêtre exercice"),
                  Platform::dialogFolder(), rtfFilter());
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(QStringLiteral("RTF"));
    // The overwrite question is the program's own.
    d.setOption(QFileDialog::DontConfirmOverwrite);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().constFirst();
}

QString Optionexo::defaultOpenPath()
{
    QFileDialog d(m_f.window(), QStringLiteral("Retrouver un texte"), Platform::dialogFolder(),
                  rtfFilter());
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    // The name box proposes the pattern, as the list shows it.
    d.selectFile(QStringLiteral("*.rtf"));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().constFirst();
}

bool Optionexo::defaultPrinter(QPrinter &printer)
{
    QPrintDialog d(&printer, m_f.window());
    d.setWindowTitle(QStringLiteral("Imprimer le contenu de la fenêtre exercice"));
    return d.exec() == QDialog::Accepted;
}
