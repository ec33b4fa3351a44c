#include "fixture.h"

#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/frein.h"
#include "schematic/schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>

TEST_F(MainWindowTest, StartUpState)
{
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Spectrophotométrie"));
    EXPECT_EQ(w->c.Combo1->count(), 14);
    EXPECT_EQ(w->c.Combo1->currentIndex(), 8);
    EXPECT_EQ(w->state.numsol, 1);
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,001"));
    EXPECT_EQ(w->c.Text2->text(), QStringLiteral("7,0"));
    EXPECT_TRUE(w->c.Text2->isHidden());
    EXPECT_EQ(w->c.HScroll1->value(), 589);
    EXPECT_EQ(w->c.Label7->text(), QStringLiteral("589 nm"));
    EXPECT_EQ(w->c.UpDown1->value(), 2);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("1 cm"));
    EXPECT_EQ(w->c.UpDown2->value(), 3);
    EXPECT_EQ(w->c.Label2->text(), QStringLiteral("-3"));
    EXPECT_TRUE(w->c.Option1[0]->isChecked());
    EXPECT_EQ(w->graph->typegraphe, 1);
    EXPECT_EQ(w->graph->store.dercourbe, -1);
    EXPECT_FALSE(w->c.Command6->isEnabled());
    EXPECT_TRUE(w->c.supertext->isReadOnly());
    EXPECT_TRUE(w->c.supertext->toPlainText().startsWith(QStringLiteral("Spectrophotométrie\n")));
    EXPECT_TRUE(w->c.supertext->toPlainText().endsWith(QStringLiteral("dans le menu Exercices.")));
    EXPECT_EQ(record(6), QStringLiteral("OUI"));
    EXPECT_EQ(w->c.schema->surface().pixel(2, 0), QColor(255, 200, 155));
}

TEST_F(MainWindowTest, FirstTraceStartsUnlessAnExerciseIsWaiting)
{
    w->show();
    w->afterShow();
    EXPECT_TRUE(w->graph->tracing());
    EXPECT_EQ(w->onglet, 2);
    EXPECT_EQ(w->c.HScroll1->value(), 400);
    w->graph->terminer();
    EXPECT_FALSE(w->graph->tracing());

    recordfile::writeFileRecord(dir.filePath(QStringLiteral("TEMPKZ.TMP")), 31,
                                QStringLiteral("exo1.E35"));
    auto other = std::make_unique<FeuilleP>();
    QString opened;
    other->openExerciseFile = [&](const QString &p, const QString &) { opened = p; };
    // The window's activation may serve the request before the start-up ends.
    other->Form_Activate();
    EXPECT_TRUE(opened.endsWith(QStringLiteral("/exo1.E35")));
    opened.clear();
    other->afterShow();
    EXPECT_TRUE(opened.isEmpty());
    recordfile::writeFileRecord(dir.filePath(QStringLiteral("TEMPKZ.TMP")), 31,
                                QStringLiteral("exo1.E35"));
    other = std::make_unique<FeuilleP>();
    other->openExerciseFile = [&](const QString &p, const QString &) { opened = p; };
    other->afterShow();
    EXPECT_FALSE(other->graph->tracing());
    EXPECT_TRUE(opened.endsWith(QStringLiteral("/exo1.E35")));
    EXPECT_EQ(other->corrige, 1);
    EXPECT_EQ(record(31), QString());
}

// The README's picture comes from a screenshot run: it must show the window as
// a user sees it after the first trace, not a state no user reaches.
TEST_F(MainWindowTest, ScreenshotRunEndsAsTheFirstTraceDoes)
{
    w->completeFirstTraceAtOnce = true;
    w->show();
    w->afterShow();
    EXPECT_FALSE(w->graph->tracing());
    EXPECT_EQ(w->graph->store.dercourbe, 0);
    EXPECT_EQ(w->c.HScroll1->value(), 800);
    EXPECT_EQ(w->c.Label7->text(), QStringLiteral("800 nm"));

    auto traced = std::make_unique<FeuilleP>();
    traced->show();
    traced->afterShow();
    for (int tick = 0; tick < 1000 && traced->graph->tracing(); ++tick)
        traced->graph->Timer1_Timer();
    ASSERT_FALSE(traced->graph->tracing());
    EXPECT_EQ(w->c.graphik->surface().image(), traced->c.graphik->surface().image());
    EXPECT_EQ(w->c.schema->surface().image(), traced->c.schema->surface().image());
}

TEST_F(MainWindowTest, KeyFilterAndChecks)
{
    QLineEdit *t1 = w->c.Text1;
    t1->clear();
    auto type = [&](const QString &keys) {
        for (QChar ch : keys) {
            const int key = ch == QLatin1Char('\r') ? int(Qt::Key_Return) : int(ch.unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                            ch == QLatin1Char('\r') ? QString() : QString(ch));
            QApplication::sendEvent(t1, &press);
        }
    };
    type(QStringLiteral("0.5"));
    EXPECT_EQ(t1->text(), QStringLiteral("0,5"));
    t1->clear();
    type(QStringLiteral("1e-3"));
    EXPECT_EQ(t1->text(), QStringLiteral("13"));
    type(QStringLiteral("\r"));
    EXPECT_EQ(t1->text(), QStringLiteral("0,1"));
    t1->clear();
    type(QStringLiteral("0 001"));
    EXPECT_EQ(t1->text(), QStringLiteral("0001"));
}

TEST_F(MainWindowTest, SolutionListShowsThePhBoxForIndicators)
{
    const QStringList names = spectro::solutionNames();
    w->c.Combo1->setCurrentIndex(
        int(names.indexOf(QStringLiteral("Solution de sulfate de cuivre"))));
    EXPECT_TRUE(w->c.Text2->isHidden());
    w->c.Combo1->setCurrentIndex(int(names.indexOf(QStringLiteral("Solution de phénolphtaléine"))));
    EXPECT_FALSE(w->c.Text2->isHidden());
    EXPECT_EQ(w->state.numsol, 13);
}

TEST_F(MainWindowTest, ReadoutFollowsTheControls)
{
    w->c.HScroll1->setValue(525);
    EXPECT_EQ(w->c.Label7->text(), QStringLiteral("525 nm"));
    EXPECT_FLOAT_EQ(w->absorbance(), 2.48f);
    w->c.UpDown1->setValue(3);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("1,5 cm"));
    EXPECT_FLOAT_EQ(w->absorbance(), 3.0f);
    // "----": the transmitted beam at 1/16 of the incident colour (0, 255, 128).
    const Surface &s = w->c.schema->surface();
    EXPECT_EQ(s.pixel(121, 64), QColor(0, 16, 8));
    EXPECT_EQ(s.pixel(96, 60), QColor(Qt::black));
    w->c.UpDown1->setValue(1);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("0,5 cm"));
    EXPECT_EQ(s.pixel(104, 60), QColor(Qt::black));
}

TEST_F(MainWindowTest, TabStrip)
{
    w->show();
    w->Onglets_Paint();
    EXPECT_EQ(w->onglet, 1);
    const int b1 = w->tabBoundary(1);
    const int b2 = w->tabBoundary(2);
    EXPECT_EQ(w->tabBoundary(0), -1);
    EXPECT_EQ(w->tabBoundary(3), w->Onglets->width());
    w->Onglets_MouseUp(b1, 5);
    EXPECT_EQ(w->onglet, 1);
    w->Onglets_MouseUp(b1 + 1, 5);
    EXPECT_EQ(w->onglet, 2);
    w->Onglets_Paint();
    // The selected caption is measured in bold, so its tab grows.
    EXPECT_GT(w->tabBoundary(2) - w->tabBoundary(1), b2 - b1);
    w->Onglets_MouseUp(w->tabBoundary(2) + 1, 16);
    EXPECT_EQ(w->onglet, 2);
    w->Onglets_MouseUp(0, 0);
    EXPECT_EQ(w->onglet, 1);
    w->Onglets_Paint();
    EXPECT_TRUE(w->Picture3->isVisible());
    EXPECT_FALSE(w->frame2->isVisible());
}

TEST_F(MainWindowTest, ClosingAsksTwiceWhenTheTextChanged)
{
    w->c.fich->setText(QStringLiteral("/x/exo.E35"));
    w->c.supertext->setReadOnly(false);
    w->c.supertext->insertPlainText(QStringLiteral("réponse"));
    ASSERT_EQ(w->textemodif, 1);
    answers = {msgbox::Answer::Cancel};
    EXPECT_FALSE(w->confirmClose());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, QStringLiteral("Abandon des données?"));
    answers = {msgbox::Answer::Ok, msgbox::Answer::Cancel};
    EXPECT_FALSE(w->confirmClose());
    EXPECT_EQ(calls.back().text, QStringLiteral("Quitter vraiment Spectrophotométrie ?"));
    w->show();
    answers = {msgbox::Answer::Ok, msgbox::Answer::Ok};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(record(6), QStringLiteral("NON"));
    EXPECT_EQ(record(31), QString());
}

TEST_F(MainWindowTest, IntroductionTextChangesAreNotTracked)
{
    w->c.supertext->setReadOnly(false);
    w->c.supertext->insertPlainText(QStringLiteral("x"));
    EXPECT_EQ(w->textemodif, 0);
    calls.clear();
    EXPECT_TRUE(w->confirmClose());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, QStringLiteral("Fermer"));
}

TEST_F(MainWindowTest, HoverHelp)
{
    const struct {
        QWidget *w;
        const char *text;
    } cases[] = {
        {w->Command2, "Pour retrouver une situation enregistrée"},
        {w->Command11, "Pour conserver la configuration en cours"},
        {w->Command10, "Pour configurer l'imprimante et imprimer l'image"},
        {w->Command8, "Machine à calculer"},
        {w->Command7, "Si vous rencontrez une difficulté avec cette application"},
        {w->Command1, "Pour retrouver le module principal et quitter cette application"},
        {w->c.Command5, "Commencer à tracer la courbe"},
        {w->c.Command6, "Effacer la dernière courbe tracée"},
        {w->c.Command3, "Effacer le graphe"},
        {w->Picture3, "Choisir la nature de la solution et saisir sa concentration"},
        {w->frame2, "Réglages du spectrophotomètre"},
        {w->Picture1, "Définir la grandeur à représenter et les paramètres d'affichage"},
        {w->c.btexo, "Ouvrir un énoncé, enregistrer le texte, obtenir la correction, imprimer "
                     "ou fermer."},
    };
    for (const auto &c : cases) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c.w, &move);
        EXPECT_EQ(w->c.info->text(), QString::fromUtf8(c.text));
    }
    // After the copy menu, the copy button keeps the confirmation.
    w->c.info->setText(w->msgcopie);
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w->Command4, &move);
    EXPECT_EQ(w->c.info->text(), w->msgcopie);
    QApplication::sendEvent(w->Command8, &move);
    EXPECT_EQ(w->c.info->text(), QStringLiteral("Machine à calculer"));
    QApplication::sendEvent(w->Command4, &move);
    EXPECT_TRUE(w->c.info->text().startsWith(QStringLiteral("Copier pour placer")));
}

// Controls inside the panels that the help table does not name leave the line
// as it was, although the moves they ignore reach their panel.
TEST_F(MainWindowTest, HoverOverControlsInsidePanelsLeavesTheHelpLine)
{
    const QString before = QStringLiteral("texte précédent");
    for (QWidget *control : std::initializer_list<QWidget *>{w->c.Option1[0], w->c.Option1[1],
                                                             w->c.Check1, w->c.Label2, w->c.Combo1,
                                                             w->c.Label7, w->c.Label1, w->Image1}) {
        w->c.info->setText(before);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &move);
        EXPECT_EQ(w->c.info->text(), before) << control->metaObject()->className();
    }
    // The bare panel around them still gives its text.
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w->Picture1, &move);
    EXPECT_EQ(w->c.info->text(),
              QStringLiteral("Définir la grandeur à représenter et les paramètres d'affichage"));
}

// What the window's layout says of its look: the check box text whole, the
// top row in plain grey, the hand picture hidden.
TEST_F(MainWindowTest, LookOfTheControls)
{
    QCheckBox *box = w->c.Check1;
    EXPECT_EQ(box->font().family(), arialFont(8).family());
    EXPECT_EQ(box->font().pointSizeF(), 8);
    EXPECT_LE(box->sizeHint().width(), box->width()) << "the text is cut";

    for (QPushButton *b : {w->Command2, w->Command11, w->Command4, w->Command10, w->Command8,
                           w->Command7, w->Command1}) {
        const QImage face = b->grab().toImage();
        // The face away from the picture and the text: left and right strips,
        // top to bottom inside the border, all one grey.
        for (int y = 4; y < face.height() - 4; ++y) {
            for (int x : {4, 6, face.width() - 7, face.width() - 5})
                ASSERT_EQ(face.pixelColor(x, y), QColor(192, 192, 192))
                    << b->text().toStdString() << " at " << x << "," << y;
        }
    }

    EXPECT_TRUE(w->Image3->isHidden());
    EXPECT_EQ(w->Image3->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              schematic::handPicture());
}

// The outer window, frame included, is 800 x 600 and centred on the screen;
// the tracing window is placed from the main window's outer corner.
TEST_F(MainWindowTest, OuterSizeCentredAndTracingWindowPlacedFromIt)
{
    QScreen *screen = w->screen();
    ASSERT_NE(screen, nullptr);
    const QRect avail = screen->geometry();
    if (avail.width() <= 850)
        GTEST_SKIP() << "screen too small for the size rule";
    w->show();
    QCoreApplication::processEvents();
    const QRect outer = w->frameGeometry();
    EXPECT_EQ(outer.size(), QSize(800, 600));
    EXPECT_EQ(outer.topLeft(),
              avail.topLeft() + QPoint((avail.width() - 800) / 2, (avail.height() - 600) / 2));
    // A frame of its own, so that outer and client corners differ.
    ASSERT_NE(w->geometry().topLeft(), outer.topLeft());

    w->graph->Command5_Click();
    graph::Frein *fr = w->graph->frein();
    ASSERT_NE(fr, nullptr);
    EXPECT_EQ(fr->frameGeometry().topLeft(), outer.topLeft() + QPoint(6540 / 15, 3690 / 15));
    w->graph->terminer();
}
