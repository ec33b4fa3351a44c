#include "exercises/fichexo.h"

#include "common/appdata.h"
#include "common/feuille.h"
#include "common/numfmt.h"
#include "config/configfile.h"
#include "config/folderlists.h"
#include "exercises/exofiles.h"
#include "exercises/pictures.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <utility>

namespace
{

// Window positions are laid out in twips, 15 to the pixel.
int px(int twips)
{
    return numfmt::cint(twips / 15.0);
}

QRect tw(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

QFont sansFont(qreal points, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont serifFont(qreal points, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("DejaVu Serif")});
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setColours(QWidget *w, const QColor &text, const QColor &background = QColor())
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    if (background.isValid()) {
        p.setColor(QPalette::Window, background);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
              const QFont &font, const QColor &colour)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFont(font);
    setColours(l, colour);
    return l;
}

const QColor kWindow(255, 255, 240);
const QColor kPanel(210, 205, 200);
const QColor kTitleBackground(0, 0, 72);
constexpr int kStar = 22;

} // namespace

// ---------------------------------------------------------------- title

Tito::Tito(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tito"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const QString &Tito::text()
{
    static const QString t = QStringLiteral("Ouvrir un exercice");
    return t;
}

QColor Tito::charColour(int i, int n)
{
    return QColor(255, 255, numfmt::cint(double(i) / n * 100 + 155));
}

static QFont titleFont()
{
    QFont f = sansFont(24, true);
    return f;
}

int Tito::charLeft(int i) const
{
    const QFontMetrics fm(titleFont());
    int x = 30;
    for (int k = 1; k < i; ++k)
        x += fm.horizontalAdvance(text().at(k - 1));
    return x;
}

void Tito::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kTitleBackground);
    const QFont font = titleFont();
    p.setFont(font);
    const QFontMetrics fm(font);
    const QString &t = text();
    const int n = int(t.size());
    const int top = (height() - fm.height()) / 2 - 2;
    int x = 30;
    for (int i = 1; i <= n; ++i) {
        const QChar ch = t.at(i - 1);
        p.setPen(charColour(i, n));
        p.drawText(x, top + fm.ascent(), QString(ch));
        x += fm.horizontalAdvance(ch);
    }
}

// ---------------------------------------------------------------- window

Fichexo::Fichexo(Feuille &f, QWidget *parent) : QDialog(parent), m_f(f)
{
    setObjectName(QStringLiteral("Fichexo"));
    QWidget *main = f.window();
    if (main) {
        setWindowTitle(main->windowTitle());
        setWindowIcon(main->windowIcon());
        setGeometry(main->geometry());
        setFixedSize(main->size());
        if (main->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            setWindowState(main->windowState() & ~Qt::WindowMinimized);
    } else {
        setWindowTitle(QStringLiteral("Spectrophotométrie"));
        setFixedSize(800, 570);
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindow);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(sansFont(8));

    tito = new Tito(this);
    tito->setGeometry(0, 0, width(), px(615));

    buildBrowser();
    buildPreview();
    buildWaitingPanel();
    tito->raise();
    fichierexo->raise();

    connect(m_lists, &FolderLists::fileChosen, this, &Fichexo::choisir);
    connect(m_lists, &FolderLists::fileActivated, this, [this](const QString &name) {
        if (QFileInfo(selection()).fileName() != name)
            choisir(name);
        ouvrir();
    });
    connect(ouvreur, &QToolButton::clicked, this, &Fichexo::ouvrir);
    connect(Image5, &QToolButton::clicked, this, &QDialog::reject);
}

void Fichexo::buildBrowser()
{
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Panel);
    Frame1->setFrameShadow(QFrame::Raised);
    Frame1->setGeometry(0, tito->height() - 8, px(3480), height());
    setColours(Frame1, Qt::black, kPanel);

    m_lists = new FolderLists(Frame1, exo::kPattern, programFolder());
    m_lists->drives()->setGeometry(tw(720, 360, 2535, 315));
    m_lists->folders()->setGeometry(tw(720, 960, 2535, 2790));
    label(Frame1, QStringLiteral("Label5"), QStringLiteral("Liste des exercices:"),
          tw(720, 3960, 2535, 255), sansFont(8), QColor(0, 0, 128));
    m_lists->files()->setGeometry(tw(720, 4200, 2535, 3405));
    // Decorations down the left edge of the panel.
    const struct {
        exo::Picture picture;
        int top;
    } decorations[] = {{exo::Picture::DecorSpectrum, 360}, {exo::Picture::DecorFlask, 4200}};
    for (const auto &d : decorations) {
        const QPixmap pm = exo::picture(d.picture, 36);
        if (pm.isNull())
            continue;
        auto *l = new QLabel(Frame1);
        l->setPixmap(pm);
        l->setGeometry(6, px(d.top), 36, 36);
    }

    fichierexo = new QLineEdit(this);
    fichierexo->setObjectName(QStringLiteral("fichierexo"));
    fichierexo->setReadOnly(true);
    const int left = px(3600);
    fichierexo->setGeometry(left, px(600), width() - left + 2, px(285));
}

void Fichexo::buildPreview()
{
    const QColor blue(0, 0, 192);
    intratro = label(this, QStringLiteral("intratro"), QStringLiteral("Sélectionner un fichier"),
                     tw(5880, 2280, 4695, 615), sansFont(13.5, true), QColor(0, 128, 128));
    intratro->setAlignment(Qt::AlignCenter);

    titratexo = label(this, QStringLiteral("titratexo"), QString(), tw(4200, 1080, 7815, 375),
                      serifFont(15.75), blue);

    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Niveau de difficulté :"),
                   tw(3720, 1800, 2535, 255), sansFont(9.75, true), QColor(192, 0, 0));
    const QRect l4 = Label4->geometry();
    for (int i = 0; i < 3; ++i) {
        Image4[i] = new QLabel(this);
        Image4[i]->setObjectName(QStringLiteral("Image4_%1").arg(i));
        const int left = l4.right() + 4 + i * (kStar + 4);
        Image4[i]->setGeometry(left, l4.center().y() - kStar / 2, kStar, kStar);
        setLit(i, false);
    }

    // The shadow first, so that the text lies over it.
    const QRect l2 = tw(8760, 1680, 2895, 495);
    const QFont big = sansFont(18, true);
    // The label grows leftwards when the text is wider than designed.
    const int needed = QFontMetrics(big).horizontalAdvance(exo::kCorrected) + 4;
    QRect g2 = l2;
    if (needed > g2.width())
        g2.setLeft(g2.right() - needed);
    if (g2.right() + 2 >= width())
        g2.moveRight(width() - 4);
    Label3 = label(this, QStringLiteral("Label3"), QString(), g2.translated(2, 2), big,
                   QColor(192, 192, 192));
    Label2 = label(this, QStringLiteral("Label2"), QString(), g2, big, QColor(0, 128, 0));

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("Notions abordées :"),
                   tw(4200, 2400, 2655, 375), serifFont(12, true), blue);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setGeometry(tw(4200, 2820, 7455, 2700));
    Text1->setFont(sansFont(10));

    const auto button = [this](const QString &name, exo::Picture pic, const QString &text,
                               const QString &tip, const QRect &geometry) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(QIcon(exo::picture(pic, 48)));
        b->setIconSize(QSize(48, 48));
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setToolTip(tip);
        b->setCursor(Qt::PointingHandCursor);
        b->setGeometry(geometry);
        return b;
    };
    const QString openTip = QStringLiteral("Ouvrir l'exercice sélectionné");
    const QString closeTip = QStringLiteral("Fermer sans charger d'exercice");
    ouvreur = button(QStringLiteral("ouvreur"), exo::Picture::Open, QStringLiteral("Ouvrir"),
                     openTip, tw(6600, 5880, 1500, 1100));
    Image5 = button(QStringLiteral("Image5"), exo::Picture::Close, QStringLiteral("Fermer"),
                    closeTip, tw(9600, 5880, 1500, 1100));

    titratexo->clear();
    Text1->clear();
    for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                       static_cast<QWidget *>(Label3), static_cast<QWidget *>(Label4),
                       static_cast<QWidget *>(ouvreur)})
        w->hide();
    for (QLabel *l : Image4)
        l->hide();
}

void Fichexo::buildWaitingPanel()
{
    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameShape(QFrame::Box);
    const QSize size(px(8295), px(1575));
    Frame2->setGeometry(
        QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
    setColours(Frame2, Qt::black, QColor(255, 224, 192));

    auto *strip =
        label(Frame2, QStringLiteral("Label6"), QStringLiteral(" Chargement des fichiers"),
              QRect(1, 1, size.width() - 2, 22), sansFont(9.75, true), Qt::white);
    setColours(strip, Qt::white, QColor(0, 0, 128));
    label(Frame2, QStringLiteral("Label7"), QStringLiteral("Patienter quelques instants"),
          QRect(96, 44, size.width() - 110, 40), sansFont(13.5), QColor(128, 64, 0));
    auto *glass = new QLabel(Frame2);
    glass->setObjectName(QStringLiteral("Image6"));
    glass->setPixmap(exo::picture(exo::Picture::Hourglass, 40));
    glass->setGeometry(32, 42, 40, 44);
    Frame2->hide();
}

void Fichexo::setLit(int i, bool lit)
{
    m_lit[i] = lit;
    const exo::Picture star = lit ? exo::Picture::StarLit : exo::Picture::StarDark;
    Image4[i]->setPixmap(exo::picture(star, kStar));
}

void Fichexo::hideWaitingPanel()
{
    Frame2->hide();
}

QString Fichexo::selection() const
{
    return fichierexo->text();
}

void Fichexo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QListWidget *files = m_lists->files();
    if (files->count() > 0) {
        {
            const QSignalBlocker block(files);
            files->setCurrentRow(0);
        }
        choisir(files->item(0)->text());
    }
}

void Fichexo::choisir(const QString &name)
{
    QString folder = m_lists->folder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    // The folder is the exercise's only once it is opened: browsing alone
    // must not move the files of the exercise already open.
    m_chemin = folder;
    QDir::setCurrent(m_lists->folder());
    fichierexo->setText(folder + name);
    apercu();
}

void Fichexo::apercu()
{
    Text1->clear();
    for (QLabel *l : Image4)
        l->hide();
    Label4->hide();
    ouvreur->hide();
    const QString path = fichierexo->text();
    if (exo::blank(path))
        return;
    intratro->hide();
    for (QWidget *w : {static_cast<QWidget *>(Label4), static_cast<QWidget *>(ouvreur),
                       static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                       static_cast<QWidget *>(Label3)})
        w->show();

    // Step by step: a damaged record stops the preview where it is.
    QStringList r;
    if (!exo::readRecords(path, exo::Correction, exo::CorrectionConfig, &r)) {
        exo::lectureImpossible(this);
        return;
    }
    const bool corrected = !exo::blank(r[0]) || !exo::blank(r[1]);
    Label2->setText(corrected ? exo::kCorrected : exo::kNotCorrected);
    Label3->setText(Label2->text());

    if (!exo::readRecords(path, exo::Difficulty, exo::Unused, &r)) {
        exo::lectureImpossible(this);
        return;
    }
    // A leading number with a decimal point: "1.5" is 1,5 but "1,5" is 1.
    const double level = numfmt::val(r[0]);
    for (int i = 0; i < 3; ++i) {
        setLit(i, level > i);
        Image4[i]->show();
    }

    if (!exo::readRecords(path, exo::NotionsFirst, exo::NotionsLast, &r)) {
        exo::lectureImpossible(this);
        return;
    }
    QString notions;
    for (const QString &piece : std::as_const(r)) {
        if (!exo::blank(piece))
            notions += piece;
    }
    Text1->setPlainText(notions);

    if (!exo::readRecords(path, exo::Title, exo::Title, &r)) {
        exo::lectureImpossible(this);
        return;
    }
    titratexo->setText(r[0].trimmed());
}

bool Fichexo::ouvrir()
{
    const QString path = fichierexo->text();
    if (exo::blank(path))
        return false;
    Frame2->raise();
    Frame2->show();
    Frame2->repaint();
    // The panel and its strip are painted, and shown, before the long load
    // begins; the user's input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QStringList r;
    if (!exo::readRecords(path, exo::Statement, exo::CorrectionConfig, &r)) {
        hideWaitingPanel();
        exo::lectureImpossible(this);
        return false;
    }
    if (exo::checkExtraRecords && !exo::checkExtraRecords(path, this)) {
        hideWaitingPanel();
        return false;
    }
    const QString statement = m_chemin + r[0];
    if (!exo::loadRtf(statement, m_f.c.supertext)) {
        hideWaitingPanel();
        exo::fichierAbsent(this, statement);
        return false;
    }
    m_f.cheminexo = m_chemin;
    m_f.c.fich->setText(path);
    // The statement just loaded is no change of the user's.
    m_f.textemodif = 0;
    // From the file itself, as the preview decides: an opening handed over
    // from outside (command line, file manager) runs no preview.
    m_f.corrige = !exo::blank(r[2]) || !exo::blank(r[3]) ? 1 : 0;

    if (!exo::blank(r[1])) {
        m_f.nomfichier = m_chemin + r[1];
        if (!QFileInfo(m_f.nomfichier).isFile()) {
            hideWaitingPanel();
            exo::fichierAbsent(this, m_f.nomfichier);
            return false;
        }
        // The loader reports its own failures; the opening goes on.
        chargeconfig(m_f, this);
    }

    hideWaitingPanel();
    m_f.c.supertext->setReadOnly(false);
    m_f.textemodif = 0;
    if (exo::applyExtraRecords)
        exo::applyExtraRecords(path);
    accept();
    return true;
}

bool Fichexo::openFile(const QString &e35Path, const QString &folder)
{
    m_chemin = folder.isEmpty() ? exo::folderOf(e35Path) : folder;
    if (!m_chemin.endsWith(QLatin1Char('/')))
        m_chemin += QLatin1Char('/');
    fichierexo->setText(e35Path);
    return ouvrir();
}
