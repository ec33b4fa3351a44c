// The exercise window: file list, preview, opening and its failures, the
// hand-off, the drawn title.
#include "exofixture.h"

#include "common/appdata.h"
#include "config/folderlists.h"
#include "exercises/fichexo.h"
#include "exercises/optionexo.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

namespace
{

QStringList listed(Fichexo &fx)
{
    QStringList names;
    for (int i = 0; i < fx.lists().files()->count(); ++i)
        names << fx.lists().files()->item(i)->text();
    return names;
}

int litCount(const Fichexo &fx)
{
    int n = 0;
    for (int i = 0; i < 3; ++i)
        n += fx.isLit(i) ? 1 : 0;
    return n;
}

} // namespace

TEST_F(ExoTest, PreviewShowsCorrectionDifficultyNotionsAndTitle)
{
    struct Case {
        const char *what;
        Exo exo;
        QString label;
        int lit;
        QString notions;
        QString title;
    };
    const auto exo = [](QString cor, QString corConf, QString level) {
        Exo e;
        e.correction = cor;
        e.correctionConfig = corConf;
        e.difficulty = level;
        return e;
    };
    Exo notions = exo({}, {}, QStringLiteral("1"));
    notions.notions[0] = QStringLiteral("Loi de Beer-Lambert,");
    notions.notions[1] = QStringLiteral("     ");
    notions.notions[2] = QStringLiteral("  spectre d'absorption");
    notions.notions[3] = QString();
    notions.title = QStringLiteral("   Dosage par étalonnage  ");
    const Case cases[] = {
        {"records 3 and 4 blank",
         exo(QStringLiteral("   "), {}, QStringLiteral("2")),
         QStringLiteral("Non corrigé"),
         2,
         {},
         QStringLiteral("Titre")},
        {"only record 4",
         exo({}, QStringLiteral("cor.C12"), QStringLiteral("1,5")),
         QStringLiteral("Exercice corrigé"),
         1,
         {},
         QStringLiteral("Titre")},
        {"only record 3",
         exo(QStringLiteral("cor.rtf"), {}, QStringLiteral("1.5")),
         QStringLiteral("Exercice corrigé"),
         2,
         {},
         QStringLiteral("Titre")},
        {"not a number",
         exo({}, {}, QStringLiteral("abc")),
         QStringLiteral("Non corrigé"),
         0,
         {},
         QStringLiteral("Titre")},
        {"three",
         exo({}, {}, QStringLiteral("3")),
         QStringLiteral("Non corrigé"),
         3,
         {},
         QStringLiteral("Titre")},
        {"above three",
         exo({}, {}, QStringLiteral(" 7")),
         QStringLiteral("Non corrigé"),
         3,
         {},
         QStringLiteral("Titre")},
        {"zero",
         exo({}, {}, QStringLiteral("0")),
         QStringLiteral("Non corrigé"),
         0,
         {},
         QStringLiteral("Titre")},
        {"empty level",
         exo({}, {}, QString()),
         QStringLiteral("Non corrigé"),
         0,
         {},
         QStringLiteral("Titre")},
        {"notions and title", notions, QStringLiteral("Non corrigé"), 1,
         QStringLiteral("Loi de Beer-Lambert,  spectre d'absorption"),
         QStringLiteral("Dosage par étalonnage")},
    };
    Fichexo fx(*w, w.get());
    ASSERT_TRUE(fx.lists().setFolder(exos));
    int k = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("cas%1.E35").arg(k++);
        writeExo(exos, name, c.exo, false);
        fx.choisir(name);
        EXPECT_EQ(fx.fichierexo->text(), exos + QLatin1Char('/') + name);
        EXPECT_EQ(fx.Label2->text(), c.label);
        EXPECT_EQ(fx.Label3->text(), c.label);
        EXPECT_EQ(litCount(fx), c.lit);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(fx.isLit(i), i < c.lit) << i;
            EXPECT_FALSE(fx.Image4[i]->isHidden());
        }
        EXPECT_EQ(fx.Text1->toPlainText(), c.notions);
        EXPECT_EQ(fx.titratexo->text(), c.title);
        EXPECT_TRUE(fx.intratro->isHidden());
        EXPECT_FALSE(fx.ouvreur->isHidden());
        EXPECT_FALSE(fx.Label4->isHidden());
    }
    EXPECT_TRUE(calls.empty());
    // The list's folder became the current one; the exercise folder is not
    // the open exercise's until one is opened.
    EXPECT_EQ(QDir::currentPath(), exos);
    EXPECT_EQ(fx.chemin(), exos + QLatin1Char('/'));
    EXPECT_NE(w->cheminexo, fx.chemin());
}

TEST_F(ExoTest, ListShowsDescriptionFilesOfAnyCaseAndPreviewsTheFirstOnShowing)
{
    Exo a;
    a.title = QStringLiteral("Premier");
    writeExo(exos, QStringLiteral("a.E35"), a, false);
    writeExo(exos, QStringLiteral("b.e35"), Exo(), false);
    writeBytes(exos + QStringLiteral("/c.C12"), "x");
    writeBytes(exos + QStringLiteral("/d.E35.txt"), "x");
    QDir(exos).mkdir(QStringLiteral("sous.E35"));

    // The program's folder holds none: nothing to preview.
    Fichexo fx(*w, w.get());
    EXPECT_EQ(fx.lists().folder() + QLatin1Char('/'), programFolder());
    fx.show();
    EXPECT_TRUE(listed(fx).isEmpty());
    EXPECT_TRUE(fx.fichierexo->text().isEmpty());
    EXPECT_FALSE(fx.intratro->isHidden());
    EXPECT_TRUE(fx.ouvreur->isHidden());
    EXPECT_TRUE(fx.Label4->isHidden());
    EXPECT_FALSE(fx.ouvrir());
    fx.hide();

    ASSERT_TRUE(fx.lists().setFolder(exos));
    EXPECT_EQ(listed(fx), (QStringList{QStringLiteral("a.E35"), QStringLiteral("b.e35")}));
    fx.show();
    EXPECT_EQ(fx.fichierexo->text(), exos + QStringLiteral("/a.E35"));
    EXPECT_EQ(fx.titratexo->text(), QStringLiteral("Premier"));
    EXPECT_EQ(fx.lists().files()->currentRow(), 0);

    // Moving to a folder without exercises keeps the preview of the last one.
    ASSERT_TRUE(fx.lists().setFolder(dir.path()));
    EXPECT_TRUE(listed(fx).isEmpty());
    EXPECT_EQ(fx.titratexo->text(), QStringLiteral("Premier"));
    EXPECT_TRUE(calls.empty());
}

TEST_F(ExoTest, OpeningLoadsStatementAndConfiguration)
{
    Exo e;
    e.config = QStringLiteral("enonce.C12");
    e.correction = QStringLiteral("corr.rtf");
    const QString path = writeExo(exos, QStringLiteral("exo.E35"), e);
    traceOneCurve();
    w->c.fich->setText(QStringLiteral("autre"));
    w->c.supertext->insertPlainText(QStringLiteral("notes"));
    ASSERT_EQ(w->textemodif, 1);

    Fichexo fx(*w, w.get());
    ASSERT_TRUE(fx.lists().setFolder(exos));
    fx.choisir(QStringLiteral("exo.E35"));
    EXPECT_TRUE(fx.ouvrir());

    EXPECT_TRUE(calls.empty()) << calls.front().title.toStdString();
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Énoncé exo.E35"));
    EXPECT_FALSE(w->c.supertext->isReadOnly());
    EXPECT_EQ(w->textemodif, 0);
    EXPECT_EQ(w->c.fich->text(), path);
    EXPECT_EQ(w->corrige, 1);
    EXPECT_EQ(w->cheminexo, exos + QLatin1Char('/'));
    EXPECT_EQ(w->nomfichier, exos + QStringLiteral("/enonce.C12"));
    EXPECT_EQ(w->c.Combo1->currentIndex(), 3);
    EXPECT_EQ(w->c.HScroll1->value(), 550);
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,002"));
    EXPECT_EQ(w->graph->store.dercourbe, -1);
    EXPECT_EQ(w->windowTitle(),
              QStringLiteral("Spectrophotométrie - ") + QDir::toNativeSeparators(w->nomfichier));
    EXPECT_TRUE(fx.Frame2->isHidden());
    EXPECT_EQ(fx.result(), QDialog::Accepted);

    // Typing in the statement counts as a change.
    w->c.supertext->insertPlainText(QStringLiteral("réponse"));
    EXPECT_EQ(w->textemodif, 1);
}

namespace
{

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

// While the statement loads, the waiting panel with its dark blue strip
// " Chargement des fichiers" is on the screen, already painted.
TEST_F(ExoTest, WaitingStripIsPaintedBeforeTheStatementLoads)
{
    writeExo(exos, QStringLiteral("exo.E35"), Exo());
    Fichexo fx(*w, w.get());
    ASSERT_TRUE(fx.lists().setFolder(exos));
    fx.show();
    QCoreApplication::processEvents();
    fx.choisir(QStringLiteral("exo.E35"));
    auto *strip = fx.Frame2->findChild<QLabel *>(QStringLiteral("Label6"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->text(), QStringLiteral(" Chargement des fichiers"));
    PaintCounter painted;
    strip->installEventFilter(&painted);

    bool seen = false;
    int paintsBeforeLoading = 0;
    bool panelShown = false;
    QImage panel;
    QObject::connect(w->c.supertext->document(), &QTextDocument::contentsChange, &fx, [&] {
        if (seen)
            return;
        seen = true;
        paintsBeforeLoading = painted.count;
        panelShown = fx.Frame2->isVisible();
        panel = fx.Frame2->grab().toImage();
    });
    EXPECT_TRUE(fx.ouvrir());
    ASSERT_TRUE(seen);
    EXPECT_TRUE(panelShown);
    EXPECT_GT(paintsBeforeLoading, 0);
    ASSERT_FALSE(panel.isNull());
    // The strip: dark blue with white letters, across the top of the panel.
    const QRect r = strip->geometry();
    int blue = 0, white = 0;
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QColor c = panel.pixelColor(x, y);
            blue += c == QColor(0, 0, 128);
            white += c == QColor(Qt::white);
        }
    }
    EXPECT_GT(blue, r.width() * r.height() / 2);
    EXPECT_GT(white, 20);
}

TEST_F(ExoTest, ExerciseWithoutConfigurationLeavesInstrumentAndGraph)
{
    writeExo(exos, QStringLiteral("exo.E35"), Exo());
    traceOneCurve();
    const QString title = w->windowTitle();
    const int solution = w->c.Combo1->currentIndex();

    Fichexo fx(*w, w.get());
    ASSERT_TRUE(fx.lists().setFolder(exos));
    fx.choisir(QStringLiteral("exo.E35"));
    EXPECT_TRUE(fx.ouvrir());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Énoncé exo.E35"));
    EXPECT_EQ(w->corrige, 0);
    EXPECT_EQ(w->graph->store.dercourbe, 0);
    EXPECT_EQ(w->c.Combo1->currentIndex(), solution);
    EXPECT_EQ(w->windowTitle(), title);
}

TEST_F(ExoTest, OpeningFailuresStopWithTheirMessage)
{
    const QString readText =
        QStringLiteral("Vérifier:\r\n- le nom du fichier,\r\n- l'état du lecteur.");
    struct Case {
        const char *what;
        std::function<void(const QString &path)> damage;
        QString title;
        QString text;     // empty: not checked
        bool statementIn; // the statement replaced the text
        bool accepted;
    };
    const QString folder = exos + QLatin1Char('/');
    const Case cases[] = {
        {"description file gone", [](const QString &p) { QFile::remove(p); },
         QStringLiteral("Lecture impossible"), readText, false, false},
        {"damaged record",
         [](const QString &p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.write(QByteArray("\xff\x00", 2));
         },
         QStringLiteral("Lecture impossible"), readText, false, false},
        {"statement missing",
         [folder](const QString &) { QFile::remove(folder + QStringLiteral("enonce.rtf")); },
         QStringLiteral("Fichier absent"),
         QStringLiteral("Le fichier ") +
             QDir::toNativeSeparators(folder + QStringLiteral("enonce.rtf")) +
             QStringLiteral(" est introuvable"),
         false, false},
        {"statement not RTF",
         [folder](const QString &) { writeBytes(folder + QStringLiteral("enonce.rtf"), "texte"); },
         QStringLiteral("Fichier absent"),
         QStringLiteral("Le fichier ") +
             QDir::toNativeSeparators(folder + QStringLiteral("enonce.rtf")) +
             QStringLiteral(" est introuvable"),
         false, false},
        {"configuration missing",
         [folder](const QString &) { QFile::remove(folder + QStringLiteral("enonce.C12")); },
         QStringLiteral("Fichier absent"),
         QStringLiteral("Le fichier ") +
             QDir::toNativeSeparators(folder + QStringLiteral("enonce.C12")) +
             QStringLiteral(" est introuvable"),
         true, false},
        // The loader's own failure does not stop the opening.
        {"configuration of another program",
         [folder](const QString &) {
             writeRecords(folder + QStringLiteral("enonce.C12"), {QStringLiteral("AUTRE")});
         },
         QStringLiteral("Fichier non valide"),
         {},
         true,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        w->ecrireIntroduction();
        w->c.fich->clear();
        calls.clear();
        Exo e;
        e.config = QStringLiteral("enonce.C12");
        const QString path = writeExo(exos, QStringLiteral("exo.E35"), e);
        Fichexo fx(*w, w.get());
        ASSERT_TRUE(fx.lists().setFolder(exos));
        fx.choisir(QStringLiteral("exo.E35"));
        ASSERT_TRUE(calls.empty());
        c.damage(path);
        EXPECT_EQ(fx.ouvrir(), c.accepted);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].title, c.title);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(calls[0].text, c.text);
        }
        EXPECT_EQ(calls[0].icon, msgbox::Icon::Error);
        EXPECT_TRUE(fx.Frame2->isHidden());
        EXPECT_EQ(fx.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected);
        const bool statementIn = w->c.supertext->toPlainText() == QStringLiteral("Énoncé exo.E35");
        EXPECT_EQ(statementIn, c.statementIn);
        EXPECT_EQ(w->c.fich->text(), c.statementIn ? path : QString());
        EXPECT_EQ(w->c.supertext->isReadOnly(), !c.accepted);
        EXPECT_EQ(w->textemodif, 0);
    }
}

TEST_F(ExoTest, PreviewOfAnUnreadableFileSaysSo)
{
    // Records 1 and 2 empty, record 3 claiming more than a record holds.
    QByteArray data(2 * recordfile::kRecordSize, '\0');
    data.append(QByteArray("\x7f\x00", 2));
    writeBytes(exos + QStringLiteral("/vide.E35"), data);
    Fichexo fx(*w, w.get());
    ASSERT_TRUE(fx.lists().setFolder(exos));
    fx.choisir(QStringLiteral("vide.E35"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, QStringLiteral("Lecture impossible"));
    EXPECT_TRUE(fx.Label2->text().isEmpty());
    EXPECT_TRUE(fx.Image4[0]->isHidden());
}

TEST_F(ExoTest, HandOffOpensTheNamedExercise)
{
    Exo e;
    e.config = QStringLiteral("enonce.C12");
    const QString path = writeExo(exos, QStringLiteral("exo.E35"), e);
    QDir::setCurrent(dir.path());
    Optionexo menu(*w);
    EXPECT_TRUE(menu.openExerciseFile(path));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Énoncé exo.E35"));
    EXPECT_EQ(w->c.fich->text(), path);
    EXPECT_EQ(w->cheminexo, exos + QLatin1Char('/'));
    EXPECT_EQ(w->c.HScroll1->value(), 550);
    EXPECT_FALSE(w->c.supertext->isReadOnly());

    // Through the main window's own hand-off file.
    writeExo(dir.path(), QStringLiteral("depart.E35"), Exo());
    recordfile::writeFileRecord(w->handOffPath(), 31, QStringLiteral("depart.E35"));
    w->openExerciseFile = [&menu](const QString &p, const QString &folder) {
        menu.openExerciseFile(p, folder);
    };
    // A request written while the program runs is served at the next activation.
    w->Form_Activate();
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Énoncé depart.E35"));
    EXPECT_EQ(w->c.fich->text(), programFolder() + QStringLiteral("depart.E35"));
    EXPECT_EQ(w->cheminexo, programFolder());
    EXPECT_EQ(w->corrige, 1);
    EXPECT_TRUE(calls.empty());
}

TEST_F(ExoTest, HandOffEmptiesBlanksAndTakesTheFilesFromTheProgramFolder)
{
    Optionexo menu(*w);
    QStringList opened;
    w->openExerciseFile = [&](const QString &p, const QString &folder) {
        opened << p;
        menu.openExerciseFile(p, folder);
    };
    // Blanks are a request like any other: emptied, and nothing opens.
    recordfile::writeFileRecord(w->handOffPath(), 31, QStringLiteral("   "));
    w->Form_Activate();
    QString request = QStringLiteral("?");
    ASSERT_TRUE(recordfile::readFileRecord(w->handOffPath(), 31, &request));
    EXPECT_EQ(request, QString());
    EXPECT_TRUE(opened.isEmpty());

    // "sub/x.E35": the name is relative to the program's folder, and so are
    // the statement and the configuration it names.
    Exo e;
    e.config = QStringLiteral("enonce.C12");
    writeExo(dir.path(), QStringLiteral("x.E35"), e);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    writeRecords(dir.filePath(QStringLiteral("sub/x.E35")), e.records());
    recordfile::writeFileRecord(w->handOffPath(), 31, QStringLiteral("sub/x.E35"));
    w->Form_Activate();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(opened, QStringList{programFolder() + QStringLiteral("sub/x.E35")});
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Énoncé x.E35"));
    EXPECT_EQ(w->cheminexo, programFolder());
    EXPECT_EQ(w->nomfichier, programFolder() + QStringLiteral("enonce.C12"));
    EXPECT_EQ(w->c.HScroll1->value(), 550);
    ASSERT_TRUE(recordfile::readFileRecord(w->handOffPath(), 31, &request));
    EXPECT_EQ(request, QString());
}

TEST_F(ExoTest, TitleIsDrawnInAGradientFromPaleYellowToWhite)
{
    EXPECT_EQ(Tito::text(), QStringLiteral("Ouvrir un exercice"));
    EXPECT_EQ(Tito::charColour(1, 18), QColor(255, 255, 161));
    EXPECT_EQ(Tito::charColour(9, 18), QColor(255, 255, 205));
    EXPECT_EQ(Tito::charColour(18, 18), QColor(255, 255, 255));

    Fichexo fx(*w, w.get());
    const QImage img = fx.tito->grab().toImage();
    ASSERT_EQ(img.width(), fx.width());
    // The text's colours between two character edges: pixels with full red
    // and green are the letters (the background is dark).
    const auto letterBlues = [&](int i) {
        QList<int> blues;
        for (int x = fx.tito->charLeft(i); x < fx.tito->charLeft(i + 1); ++x) {
            for (int y = 0; y < img.height(); ++y) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() == 255 && c.green() == 255)
                    blues << c.blue();
            }
        }
        return blues;
    };
    const QList<int> first = letterBlues(1);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(*std::max_element(first.begin(), first.end()), 161);
    const QList<int> last = letterBlues(18);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_TRUE(last.contains(255));
    EXPECT_LT(qGray(img.pixel(2, 2)), 64);
}

TEST_F(ExoTest, WindowCoversTheMainWindow)
{
    w->setWindowTitle(QStringLiteral("Spectrophotométrie - x.C12"));
    writeExo(exos, QStringLiteral("exo.E35"), Exo());
    Fichexo fx(*w, w.get());
    EXPECT_EQ(fx.geometry(), w->geometry());
    EXPECT_EQ(fx.windowTitle(), w->windowTitle());
    EXPECT_EQ(fx.tito->geometry(), QRect(0, 0, fx.width(), 41));
    EXPECT_EQ(fx.Frame1->y(), 33);
    EXPECT_EQ(fx.fichierexo->geometry().right(), fx.width() + 1);
    EXPECT_EQ(fx.Label3->pos(), fx.Label2->pos() + QPoint(2, 2));
    EXPECT_EQ(fx.Frame2->geometry().center(), fx.rect().center());
    EXPECT_EQ(fx.Frame2->size(), QSize(553, 105));

    ASSERT_TRUE(fx.lists().setFolder(exos));
    fx.show();
    fx.Frame2->show();
    const QImage shot = fx.grab().toImage();
    const QByteArray grabDir = qgetenv("SPECTRO_GRAB_DIR");
    if (!grabDir.isEmpty())
        shot.save(QString::fromLocal8Bit(grabDir) + QStringLiteral("/fichexo.png"));
    // Label2's green text over its grey shadow.
    EXPECT_EQ(fx.Label2->text(), QStringLiteral("Non corrigé"));
    bool green = false;
    for (int x = fx.Label2->x(); x < fx.Label2->geometry().right(); ++x) {
        for (int y = fx.Label2->y(); y < fx.Label2->geometry().bottom(); ++y)
            green = green || shot.pixelColor(x, y) == QColor(0, 128, 0);
    }
    EXPECT_TRUE(green);
}

TEST_F(ExoTest, EveryShippedExerciseOpensWithoutAMessage)
{
    const QDir data(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));
    const QStringList e35 = data.entryList({QStringLiteral("*.E35")}, QDir::Files);
    if (e35.isEmpty())
        GTEST_SKIP() << "no exercise in data/ yet";
    // A copy, so that the main window's hand-off file stays out of data/.
    for (const QString &name : data.entryList({QStringLiteral("*.E35"), QStringLiteral("*.rtf"),
                                               QStringLiteral("*.C12"), QStringLiteral("*.PEM")},
                                              QDir::Files))
        ASSERT_TRUE(QFile::copy(data.filePath(name), exos + QLatin1Char('/') + name));
    for (const QString &name : e35) {
        SCOPED_TRACE(name.toStdString());
        Fichexo fx(*w, w.get());
        ASSERT_TRUE(fx.lists().setFolder(exos));
        fx.choisir(name);
        EXPECT_FALSE(fx.titratexo->text().isEmpty());
        EXPECT_TRUE(fx.ouvrir());
        EXPECT_TRUE(calls.empty()) << calls.front().title.toStdString();
        calls.clear();
        EXPECT_FALSE(w->c.supertext->toPlainText().trimmed().isEmpty());
        EXPECT_EQ(w->c.fich->text(), exos + QLatin1Char('/') + name);
        EXPECT_EQ(w->textemodif, 0);
        if (w->corrige == 1) {
            Optionexo menu(*w);
            menu.voirCorrection();
            EXPECT_TRUE(calls.empty()) << calls.front().title.toStdString();
            calls.clear();
            EXPECT_TRUE(w->c.supertext->isReadOnly());
        }
    }
}

// Named on the command line or by the file manager, an exercise is opened
// without the browser's preview: its correction must still be offered.
TEST_F(ExoTest, AnExerciseOpenedFromOutsideOffersItsCorrection)
{
    Exo corrected;
    corrected.correction = QStringLiteral("corr.rtf");
    const QString withCorrection = writeExo(exos, QStringLiteral("corrige.E35"), corrected);
    const QString without = writeExo(exos, QStringLiteral("seul.E35"), Exo());
    Optionexo menu(*w);
    w->openExerciseFile = [&menu](const QString &p, const QString &folder) {
        menu.openExerciseFile(p, folder);
    };
    // As the program's entry does with a file named on its command line.
    w->openStartFile = [this, withCorrection] { w->openExerciseFile(withCorrection, QString()); };
    w->afterShow();
    EXPECT_EQ(w->c.fich->text(), withCorrection);
    EXPECT_EQ(w->corrige, 1);
    menu.updateEnabled();
    EXPECT_TRUE(menu.opencor->isEnabled());
    menu.voirCorrection();
    EXPECT_EQ(w->c.supertext->toPlainText(), QStringLiteral("Correction corrige.E35"));

    ASSERT_TRUE(menu.openExerciseFile(without));
    EXPECT_EQ(w->corrige, 0);
    menu.updateEnabled();
    EXPECT_FALSE(menu.opencor->isEnabled());
    EXPECT_TRUE(calls.empty());
}
