// The exercise menu: its items and their enabling, the discard question, the
// seven commands and their failures.
#include "exofixture.h"

#include "common/appdata.h"
#include "config/folderlists.h"
#include "exercises/fichexo.h"
#include "exercises/optionexo.h"
#include "support/fsfaults.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace
{

const QString kDiscardTitle = QStringLiteral("Abandon des données?");
const QString kLoadError = QStringLiteral("Erreur lors du chargement");

class MenuTest : public ExoTest
{
protected:
    void SetUp() override
    {
        ExoTest::SetUp();
        menu = std::make_unique<Optionexo>(*w);
        menu->askSavePath = [this] { return savePath; };
        menu->askOpenPath = [this] { return openPath; };
        menu->askPrinter = [this](QPrinter &p) {
            if (pdfPath.isEmpty())
                return false;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdfPath);
            return true;
        };
        menu->showExerciseWindow = [this](Fichexo &fx) {
            ++windowsShown;
            if (onShow)
                onShow(fx);
        };
    }
    void TearDown() override
    {
        menu.reset();
        ExoTest::TearDown();
    }
    // Opens an exercise with a correction and changes its text.
    QString openCorrectedExercise()
    {
        Exo e;
        e.config = QStringLiteral("enonce.C12");
        e.correction = QStringLiteral("corr.rtf");
        e.correctionConfig = QStringLiteral("corr.C12");
        const QString path = writeExo(exos, QStringLiteral("exo.E35"), e);
        Fichexo fx(*w, w.get());
        fx.lists().setFolder(exos);
        fx.choisir(QStringLiteral("exo.E35"));
        EXPECT_TRUE(fx.ouvrir());
        return path;
    }
    void writeGettingStarted(const QString &config = QString())
    {
        writeRecords(dir.filePath(QStringLiteral("kelvano.PEM")),
                     {QStringLiteral("priseenmain.rtf"), config});
        writeRtf(dir.filePath(QStringLiteral("priseenmain.rtf")), QStringLiteral("Prise en main"));
    }
    QString text() const { return w->c.supertext->toPlainText(); }

    std::unique_ptr<Optionexo> menu;
    QString savePath, openPath, pdfPath;
    int windowsShown = 0;
    std::function<void(Fichexo &)> onShow;
};

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(MenuTest, ItemsInOrder)
{
    QStringList items;
    for (QAction *a : menu->menu()->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{QStringLiteral("Prise en main"), QStringLiteral("-"),
                                  QStringLiteral("Ouvrir un exercice (énoncé + configuration)"),
                                  QStringLiteral("Voir la correction"), QStringLiteral("-"),
                                  QStringLiteral("Enregistrer le contenu de la fenêtre exercice"),
                                  QStringLiteral("Retrouver un texte"),
                                  QStringLiteral("Imprimer le contenu de la fenêtre exercice"),
                                  QStringLiteral("-"), QStringLiteral("Fermer l'exercice")}));
    EXPECT_EQ(Optionexo::rtfFilter(), QStringLiteral("Texte au format RTF (*.RTF *.rtf)"));
}

TEST_F(MenuTest, CorrectionFollowsCorrigeAndClosingFollowsFich)
{
    struct Case {
        int corrige;
        QString fich;
    };
    const Case cases[] = {
        {0, {}}, {1, {}}, {0, QStringLiteral("Texte: /a.rtf")}, {1, QStringLiteral("/x/exo.E35")}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.corrige);
        SCOPED_TRACE(c.fich.toStdString());
        w->corrige = c.corrige;
        w->c.fich->setText(c.fich);
        menu->popup(QPoint(10, 10));
        EXPECT_TRUE(menu->menu()->isVisible());
        EXPECT_EQ(menu->opencor->isEnabled(), c.corrige == 1);
        EXPECT_EQ(menu->Closexo->isEnabled(), !c.fich.isEmpty());
        for (QAction *a : {menu->PRISENMAIN, menu->openexo, menu->savetexte, menu->opentexte,
                           menu->imprimetexte})
            EXPECT_TRUE(a->isEnabled());
        menu->menu()->hide();
    }
}

TEST_F(MenuTest, DiscardQuestionComesFromTheFourCommandsThatDropTheText)
{
    struct Command {
        const char *name;
        void (Optionexo::*run)();
        bool asks;
    };
    const Command commands[] = {
        {"Prise en main", &Optionexo::priseEnMain, false},
        {"Ouvrir un exercice", &Optionexo::ouvrirExercice, true},
        {"Voir la correction", &Optionexo::voirCorrection, true},
        {"Enregistrer", &Optionexo::enregistrerTexte, false},
        {"Retrouver un texte", &Optionexo::retrouverTexte, true},
        {"Imprimer", &Optionexo::imprimerTexte, false},
        {"Fermer l'exercice", &Optionexo::fermerExercice, true},
    };
    writeGettingStarted();
    for (const msgbox::Answer answer : {msgbox::Answer::Cancel, msgbox::Answer::Ok}) {
        for (const Command &c : commands) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(answer == msgbox::Answer::Ok ? "OK" : "Annuler");
            const QString path = openCorrectedExercise();
            w->c.supertext->insertPlainText(QStringLiteral("ma réponse "));
            ASSERT_EQ(w->textemodif, 1);
            const QString before = text();
            calls.clear();
            answers = {answer};
            windowsShown = 0;
            (menu.get()->*c.run)();
            EXPECT_EQ(messageTitles(), c.asks ? QStringList{kDiscardTitle} : QStringList());
            if (c.asks) {
                EXPECT_EQ(calls[0].text,
                          QStringLiteral("Attention: perte des modifications du texte."));
                EXPECT_EQ(calls[0].buttons, msgbox::Buttons::OkCancel);
                EXPECT_EQ(calls[0].icon, msgbox::Icon::Question);
            }
            if (c.asks && answer == msgbox::Answer::Cancel) {
                EXPECT_EQ(w->textemodif, 1);
                EXPECT_EQ(text(), before);
                EXPECT_EQ(w->c.fich->text(), path);
                EXPECT_EQ(windowsShown, 0);
            } else if (c.asks) {
                EXPECT_EQ(w->textemodif, 0);
            }
        }
    }
    // Once OK was given, the commands went on.
    answers.clear();
    openCorrectedExercise();
    w->c.supertext->insertPlainText(QStringLiteral("x"));
    menu->ouvrirExercice();
    EXPECT_EQ(windowsShown, 1);
    menu->priseEnMain();
    EXPECT_EQ(text(), QStringLiteral("Prise en main"));
}

TEST_F(MenuTest, IntroductionTextIsNeverAskedAbout)
{
    ASSERT_TRUE(w->c.fich->text().isEmpty());
    w->c.supertext->insertPlainText(QStringLiteral("griffonnage"));
    EXPECT_EQ(w->textemodif, 0);
    menu->ouvrirExercice();
    menu->retrouverTexte();
    menu->fermerExercice();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(windowsShown, 1);
    EXPECT_TRUE(text().startsWith(QStringLiteral("Spectrophotométrie")));
    EXPECT_TRUE(w->c.supertext->isReadOnly());
}

TEST_F(MenuTest, OpeningAnExerciseFromTheMenu)
{
    Exo e;
    e.config = QStringLiteral("enonce.C12");
    const QString path = writeExo(exos, QStringLiteral("exo.E35"), e);
    onShow = [this](Fichexo &fx) {
        EXPECT_EQ(fx.geometry(), w->geometry());
        fx.lists().setFolder(exos);
        fx.choisir(QStringLiteral("exo.E35"));
        fx.ouvrir();
    };
    menu->ouvrirExercice();
    EXPECT_EQ(windowsShown, 1);
    EXPECT_EQ(text(), QStringLiteral("Énoncé exo.E35"));
    EXPECT_EQ(w->c.fich->text(), path);
    EXPECT_EQ(w->c.HScroll1->value(), 550);
    EXPECT_TRUE(calls.empty());
}

TEST_F(MenuTest, CorrectionIsLoadedReadOnlyWithItsConfiguration)
{
    openCorrectedExercise();
    traceOneCurve();
    menu->voirCorrection();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(text(), QStringLiteral("Correction exo.E35"));
    EXPECT_TRUE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->textemodif, 0);
    EXPECT_EQ(w->nomfichier, exos + QStringLiteral("/corr.C12"));
    EXPECT_EQ(w->c.HScroll1->value(), 610);
    EXPECT_EQ(w->c.Combo1->currentIndex(), 5);
    EXPECT_EQ(w->graph->store.dercourbe, -1);

    // Only a correction configuration: the statement stays, now read-only.
    Exo e;
    e.correctionConfig = QStringLiteral("corr.C12");
    writeExo(exos, QStringLiteral("seul.E35"), e);
    Fichexo fx(*w, w.get());
    fx.lists().setFolder(exos);
    fx.choisir(QStringLiteral("seul.E35"));
    ASSERT_TRUE(fx.ouvrir());
    EXPECT_EQ(w->corrige, 1);
    w->c.HScroll1->setValue(450);
    menu->voirCorrection();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(text(), QStringLiteral("Énoncé seul.E35"));
    EXPECT_TRUE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->c.HScroll1->value(), 610);
}

TEST_F(MenuTest, CorrectionFailures)
{
    const QString folder = exos + QLatin1Char('/');
    struct Case {
        const char *what;
        QString remove;
        QString title;
        QString message;
    };
    const Case cases[] = {
        {"description file", QStringLiteral("exo.E35"), QStringLiteral("Lecture impossible"),
         QStringLiteral("Vérifier:\r\n- le nom du fichier,\r\n- l'état du lecteur.")},
        {"correction text", QStringLiteral("corr.rtf"), QStringLiteral("Fichier absent"),
         QStringLiteral("Le fichier ") +
             QDir::toNativeSeparators(folder + QStringLiteral("corr.rtf")) +
             QStringLiteral(" est introuvable")},
        {"correction configuration", QStringLiteral("corr.C12"), QStringLiteral("Fichier absent"),
         QStringLiteral("Le fichier ") +
             QDir::toNativeSeparators(folder + QStringLiteral("corr.C12")) +
             QStringLiteral(" est introuvable")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        openCorrectedExercise();
        const int lambda = w->c.HScroll1->value();
        calls.clear();
        ASSERT_TRUE(QFile::remove(folder + c.remove));
        menu->voirCorrection();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].title, c.title);
        EXPECT_EQ(calls[0].text, c.message);
        EXPECT_EQ(w->c.HScroll1->value(), lambda);
        EXPECT_FALSE(w->c.supertext->isReadOnly());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(MenuTest, GettingStarted)
{
    // Missing: nothing happens, silently.
    const QString intro = text();
    menu->priseEnMain();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(text(), intro);
    EXPECT_TRUE(w->c.fich->text().isEmpty());

    writeGettingStarted(QStringLiteral("prise.C12"));
    writeConfig(dir.filePath(QStringLiteral("prise.C12")), 2, 480, QStringLiteral("0,003"));
    w->corrige = 1;
    menu->priseEnMain();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(text(), QStringLiteral("Prise en main"));
    EXPECT_EQ(w->c.fich->text(), programFolder() + QStringLiteral("kelvano.PEM"));
    EXPECT_EQ(w->cheminexo, programFolder());
    EXPECT_EQ(w->corrige, 0);
    EXPECT_EQ(w->c.HScroll1->value(), 480);
    EXPECT_FALSE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->textemodif, 0);

    // Its text or configuration missing, or the file damaged.
    const std::function<void()> damages[] = {
        [&] { QFile::remove(dir.filePath(QStringLiteral("priseenmain.rtf"))); },
        [&] { QFile::remove(dir.filePath(QStringLiteral("prise.C12"))); },
        [&] { writeBytes(dir.filePath(QStringLiteral("kelvano.PEM")), "\xff\x7f"); },
    };
    for (const auto &damage : damages) {
        writeGettingStarted(QStringLiteral("prise.C12"));
        writeConfig(dir.filePath(QStringLiteral("prise.C12")), 2, 480, QStringLiteral("0,003"));
        damage();
        calls.clear();
        menu->priseEnMain();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].title, kLoadError);
        EXPECT_EQ(calls[0].text,
                  QStringLiteral("Fichier introuvable. Revoir l'installation du logiciel."));
    }
}

TEST_F(MenuTest, FindingATextAgain)
{
    openCorrectedExercise();
    const QString saved = exos + QStringLiteral("/notes.rtf");
    writeRtf(saved, QStringLiteral("Mes notes"));

    // Cancelled: the text stays, counted as unchanged.
    w->c.supertext->insertPlainText(QStringLiteral("x"));
    menu->retrouverTexte();
    EXPECT_EQ(w->textemodif, 0);
    EXPECT_EQ(w->corrige, 1);

    calls.clear();
    openPath = saved;
    menu->retrouverTexte();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(text(), QStringLiteral("Mes notes"));
    EXPECT_EQ(w->c.fich->text(), QStringLiteral("Texte: ") + saved);
    EXPECT_EQ(w->corrige, 0);
    EXPECT_FALSE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->textemodif, 0);
    menu->popup(QPoint(0, 0));
    EXPECT_FALSE(menu->opencor->isEnabled());
    EXPECT_TRUE(menu->Closexo->isEnabled());
    menu->menu()->hide();

    // A file that cannot be read: the message, then the other steps.
    const QString bad = exos + QStringLiteral("/pas_rtf.rtf");
    writeBytes(bad, "pas du RTF");
    w->ecrireIntroduction();
    openPath = bad;
    menu->retrouverTexte();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, QStringLiteral("Erreur de lecture."));
    EXPECT_EQ(calls[0].text, QStringLiteral("Vérifier l'état du lecteur et le nom du fichier."));
    EXPECT_EQ(w->c.fich->text(), QStringLiteral("Texte: ") + bad);
    EXPECT_FALSE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->textemodif, 0);
    EXPECT_TRUE(text().startsWith(QStringLiteral("Spectrophotométrie")));
}

TEST_F(MenuTest, SavingTheText)
{
    openCorrectedExercise();
    w->c.supertext->setPlainText(QStringLiteral("Première version"));
    ASSERT_EQ(w->textemodif, 1);
    savePath = exos + QStringLiteral("/reponse.RTF");
    menu->enregistrerTexte();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->textemodif, 0);
    EXPECT_EQ(QDir::currentPath(), exos);
    QTextDocument back;
    ASSERT_TRUE(rtf::read(contents(savePath), &back));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("Première version"));
    const QByteArray first = contents(savePath);

    // Same name again: Annuler keeps the file and the text unsaved.
    w->c.supertext->setPlainText(QStringLiteral("Seconde version"));
    answers = {msgbox::Answer::Cancel};
    menu->enregistrerTexte();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, QStringLiteral("Ecraser le fichier?"));
    EXPECT_EQ(calls[0].text,
              QStringLiteral("Le fichier reponse.RTF existe déjà.\r\nEcraser l'ancien?"));
    EXPECT_EQ(calls[0].buttons, msgbox::Buttons::OkCancel);
    EXPECT_EQ(contents(savePath), first);
    EXPECT_EQ(w->textemodif, 1);

    // OK replaces it.
    calls.clear();
    menu->enregistrerTexte();
    EXPECT_EQ(messageTitles(), QStringList{QStringLiteral("Ecraser le fichier?")});
    ASSERT_TRUE(rtf::read(contents(savePath), &back));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("Seconde version"));
    EXPECT_EQ(w->textemodif, 0);

    // Cancelling the dialog does nothing.
    calls.clear();
    w->c.supertext->insertPlainText(QStringLiteral("!"));
    savePath.clear();
    menu->enregistrerTexte();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->textemodif, 1);
}

TEST_F(MenuTest, FailedSaveKeepsTheEarlierFileAndTheTextUnsaved)
{
    if (!fsfaults::WriteLimit::supported())
        GTEST_SKIP() << fsfaults::kNoWriteLimit;
    openCorrectedExercise();
    savePath = exos + QStringLiteral("/reponse.rtf");
    w->c.supertext->setPlainText(QStringLiteral("court"));
    menu->enregistrerTexte();
    const QByteArray earlier = contents(savePath);
    ASSERT_FALSE(earlier.isEmpty());

    // A text too long for the space left on the disk, played by a file size
    // limit: larger than the write buffer (the write fails), then smaller
    // (only pushing the buffer out to the disk fails).
    for (const int length : {20000, 8000}) {
        calls.clear();
        w->c.supertext->setPlainText(QString(length, QLatin1Char('a')));
        ASSERT_EQ(w->textemodif, 1);
        {
            fsfaults::WriteLimit disk(4096);
            ASSERT_TRUE(disk.active());
            menu->enregistrerTexte();
        }
        EXPECT_EQ(messageTitles(), (QStringList{QStringLiteral("Ecraser le fichier?"),
                                                QStringLiteral("Erreur d'écriture.")}))
            << length;
        EXPECT_EQ(calls.back().text,
                  QStringLiteral("Vérifier l'état du lecteur et le nom du fichier."));
        EXPECT_EQ(calls.back().icon, msgbox::Icon::Error);
        EXPECT_EQ(contents(savePath), earlier) << length;
        EXPECT_EQ(w->textemodif, 1);
    }

    calls.clear();
    savePath = exos + QStringLiteral("/absent/reponse.rtf");
    menu->enregistrerTexte();
    EXPECT_EQ(messageTitles(), QStringList{QStringLiteral("Erreur d'écriture.")});
    EXPECT_EQ(w->textemodif, 1);
}

TEST_F(MenuTest, PrintingTheSelectionOrTheWholeText)
{
    w->c.supertext->setPlainText(QStringLiteral("Première ligne\nSeconde ligne"));
    EXPECT_EQ(menu->documentToPrint()->toPlainText(),
              QStringLiteral("Première ligne\nSeconde ligne"));
    QTextCursor cur(w->c.supertext->document());
    cur.setPosition(9);
    cur.setPosition(14, QTextCursor::KeepAnchor);
    w->c.supertext->setTextCursor(cur);
    EXPECT_EQ(menu->documentToPrint()->toPlainText(), QStringLiteral("ligne"));

    // Cancelled set-up: nothing printed.
    menu->imprimerTexte();
    pdfPath = dir.filePath(QStringLiteral("sortie.pdf"));
    EXPECT_FALSE(QFile::exists(pdfPath));
    menu->imprimerTexte();
    EXPECT_TRUE(contents(pdfPath).startsWith("%PDF"));
    EXPECT_TRUE(calls.empty());
}

TEST_F(MenuTest, ClosingBringsTheIntroductionBack)
{
    openCorrectedExercise();
    ASSERT_EQ(w->corrige, 1);
    menu->fermerExercice();
    EXPECT_TRUE(text().startsWith(QStringLiteral("Spectrophotométrie")));
    EXPECT_TRUE(text().endsWith(QStringLiteral("dans le menu Exercices.")));
    EXPECT_TRUE(w->c.supertext->isReadOnly());
    EXPECT_TRUE(w->c.fich->text().isEmpty());
    EXPECT_EQ(w->corrige, 0);
    EXPECT_EQ(w->textemodif, 0);
    menu->popup(QPoint(0, 0));
    EXPECT_FALSE(menu->opencor->isEnabled());
    EXPECT_FALSE(menu->Closexo->isEnabled());
    menu->menu()->hide();
}

// "Retrouver un texte" opens its file dialog with "*.rtf" proposed as the name.
TEST_F(ExoTest, FindingATextProposesTheRtfPattern)
{
    Optionexo real(*w);
    QString proposed = QStringLiteral("(no dialog)");
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            proposed = name->text();
        filters = d->nameFilters();
        d->reject();
    });
    real.retrouverTexte();
    EXPECT_EQ(proposed, QStringLiteral("*.rtf"));
    EXPECT_EQ(filters, QStringList{Optionexo::rtfFilter()});
    EXPECT_TRUE(calls.empty());
}
