#include "mainwindow/feuillep.h"

#include "common/appdata.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/platform.h"
#include "common/updown.h"
#include "config/recordfile.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/appareil.h"
#include "mainwindow/keyboard.h"
#include "mainwindow/zoomui.h"
#include "model/absorbance.h"
#include "model/samples.h"
#include "schematic/colour.h"
#include "schematic/panels.h"
#include "schematic/schema.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace
{

constexpr int tw(int twips)
{
    return twips / 15;
}

QRect twRect(int l, int t, int w, int h)
{
    return QRect(tw(l), tw(t), tw(w), tw(h));
}

QPixmap spectrumBar()
{
    QImage img(159, 31, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 159, 0);
    g.setColorAt(0.0, QColor(0, 0, 131));
    g.setColorAt(0.12, QColor(0, 0, 255));
    g.setColorAt(0.28, QColor(0, 255, 255));
    g.setColorAt(0.42, QColor(0, 255, 0));
    g.setColorAt(0.55, QColor(255, 255, 0));
    g.setColorAt(0.68, QColor(255, 128, 0));
    g.setColorAt(0.85, QColor(255, 0, 0));
    g.setColorAt(1.0, QColor(143, 0, 0));
    p.fillRect(img.rect(), g);
    return QPixmap::fromImage(img);
}

const QString kIntroHelp = QStringLiteral(
    "Vous pouvez modifier les paramètres,\r\nouvrir une configuration ou un exercice");

} // namespace

FeuilleP::FeuilleP(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Spectrophotométrie"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A click on the bare window ends the edit of a box too.
    setFocusPolicy(Qt::ClickFocus);
    buildControls();
    graph = std::make_unique<graph::Graph>(*this, state, this);

    // Start-up, in the order the program has always followed.
    graph->store.dercourbe = 0;
    recordfile::writeFileRecord(handOffPath(), 6, QStringLiteral("OUI"));
    chargespectre();
    c.Combo1->blockSignals(true);
    c.Combo1->clear();
    c.Combo1->addItems(spectro::solutionNames());
    c.Combo1->setCurrentIndex(-1);
    c.Combo1->blockSignals(false);
    applySizeRule();
    ecrireIntroduction();
    mtextra = QFontDatabase::families().contains(QStringLiteral("MT Extra"));
    c.info->setText(kIntroHelp);
    msgcopie = QStringLiteral("L'image est copiée : vous pouvez la retrouver depuis toute "
                              "application Windows (coller)");
    background.setDevicePixelRatio(devicePixelRatioF());
    background.resize(800, 601);
    schematic::formPaint(background, c.supertext->geometry(), c.fich->geometry().top());
    graph->store.dercourbe = -1;
    c.Combo1->setCurrentIndex(8);
    deschema(1);
    Combo1_Click();
    c.UpDown2->setValue(3);
    c.UpDown1->setValue(2);
    c.Option1[0]->setChecked(true);
    graph->Command3_Click();
    QString request;
    recordfile::readFileRecord(handOffPath(), 31, &request);
    m_handOffAtStart = !request.trimmed().isEmpty();
    appareil = new Appareil(*this);
    keyboard::install(*this);
    accessibility::install(*this);
    zoomui::install(*this);
}

FeuilleP::~FeuilleP() = default;

QString FeuilleP::handOffPath() const
{
    return Platform::handOffFile();
}

void FeuilleP::buildControls()
{
    auto button = [this](const QString &text, int l, int t, int w, int h) {
        auto *b = new QPushButton(text, this);
        b->setGeometry(twRect(l, t, w, h));
        // A plain raised grey face: a background alone lets the style paint
        // its own gradient.
        b->setStyleSheet(QStringLiteral("QPushButton { background: rgb(192,192,192); color: black;"
                                        " border: 2px outset rgb(192,192,192); }"
                                        " QPushButton:pressed { border-style: inset; }"));
        return b;
    };
    Command2 = button(QStringLiteral("&Ouvrir"), 0, 0, 1815, 615);
    Command11 = button(QStringLiteral("&Enregistrer"), 1800, 0, 1695, 615);
    Command4 = button(QStringLiteral("Co&pier"), 3480, 0, 1695, 615);
    Command10 = button(QStringLiteral("&Imprimer"), 5160, 0, 1695, 615);
    Command8 = button(QStringLiteral("&Calculatrice"), 6840, 0, 1695, 615);
    Command7 = button(QStringLiteral("&Aide"), 8520, 0, 1695, 615);
    Command1 = button(QStringLiteral("&Fermer"), 10200, 0, 1815, 615);

    c.schema = new PictureBox(this);
    c.schema->setBoxGeometry(tw(120), tw(720), tw(6255), tw(1935));
    c.graphik = new PictureBox(this);
    c.graphik->setBoxGeometry(tw(120), tw(2760), tw(6255), tw(5415));
    c.Command3 = new QPushButton(c.graphik);
    c.Command3->setGeometry(twRect(4875, 0, 285, 285));
    c.Command3->setToolTip(QStringLiteral("Effacer"));
    c.Command3->setText(QStringLiteral("×"));
    c.Command6 = new QPushButton(c.graphik);
    c.Command6->setGeometry(twRect(5160, 0, 285, 285));
    c.Command6->setToolTip(QStringLiteral("Supprimer dernière courbe"));
    c.Command6->setText(QStringLiteral("↶"));
    c.Command6->setEnabled(false);
    c.Command5 = new QPushButton(QStringLiteral("Tracer"), c.graphik);
    c.Command5->setGeometry(twRect(5430, 0, 795, 285));
    for (int i = 0; i < 2; ++i) {
        c.Labeli[i] = new QLabel(c.graphik);
        c.Labeli[i]->setStyleSheet(
            QStringLiteral("QLabel { background: rgb(255,255,192); color: black; }"));
        c.Labeli[i]->setFont(arialFont(8));
        c.Labeli[i]->hide();
    }
    c.Labeli[0]->setGeometry(twRect(3540, 3120, 495, 210));
    c.Labeli[1]->setGeometry(twRect(495, 120, 480, 210));

    Onglets = new PictureBox(this);
    Onglets->setBoxGeometry(tw(6480), tw(720), tw(5415), tw(2565));
    Onglets->surface().setBackColor(QColor(210, 205, 200));
    Onglets->surface().cls();
    Picture3 = new PictureBox(Onglets);
    Picture3->setBoxGeometry(tw(240), tw(120), tw(4935), tw(2415));
    frame2 = new PictureBox(Onglets);
    frame2->setBoxGeometry(tw(1320), tw(-480), tw(4935), tw(2415));
    Picture1 = new PictureBox(Onglets);
    Picture1->setBoxGeometry(tw(240), tw(480), tw(6015), tw(2295));

    c.Combo1 = new QComboBox(Picture3);
    c.Combo1->setGeometry(twRect(240, 480, 4935, 330));
    c.Text1 = new QLineEdit(QStringLiteral("0,001"), Picture3);
    c.Text1->setGeometry(twRect(2040, 1320, 1455, 285));
    c.Text2 = new QLineEdit(QStringLiteral("7,0"), Picture3);
    c.Text2->setGeometry(twRect(2400, 1800, 735, 285));
    c.Text2->hide();

    Image1 = new QLabel(frame2);
    Image1->setGeometry(twRect(1320, 720, 2895, 495));
    Image1->setPixmap(spectrumBar());
    Image1->setScaledContents(true);
    c.HScroll1 = new QScrollBar(Qt::Horizontal, frame2);
    c.HScroll1->setGeometry(twRect(1020, 840, 3495, 255));
    c.HScroll1->setRange(400, 800);
    c.HScroll1->setSingleStep(1);
    c.HScroll1->setPageStep(25);
    c.HScroll1->blockSignals(true);
    c.HScroll1->setValue(589);
    c.HScroll1->blockSignals(false);
    c.Label7 = new QLabel(frame2);
    c.Label7->setGeometry(twRect(2640, 420, 855, 255));
    c.UpDown1 = new UpDown(frame2);
    c.UpDown1->setGeometry(twRect(3360, 1800, 240, 255));
    c.UpDown1->setRange(1, 3);
    c.Label1 = new QLabel(frame2);
    c.Label1->setGeometry(twRect(2280, 1800, 1095, 255));

    auto *kinds = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        c.Option1[i] = new QRadioButton(Picture1);
        c.Option1[i]->setGeometry(twRect(480, i == 0 ? 120 : 420, 255, 255));
        kinds->addButton(c.Option1[i], i);
    }
    c.Check1 = new QCheckBox(QStringLiteral("Superposer les courbes"), Picture1);
    c.Check1->setGeometry(twRect(480, 960, 2295, 255));
    // The panel's face: the text was laid out for it and is cut in a wider one.
    c.Check1->setFont(arialFont(8));
    c.UpDown2 = new UpDown(Picture1);
    c.UpDown2->setGeometry(twRect(4020, 660, 240, 255));
    c.UpDown2->setRange(1, 5);
    c.Label2 = new QLabel(QStringLiteral("-3"), Picture1);
    c.Label2->setGeometry(twRect(3120, 630, 150, 210));
    c.Label2->setAttribute(Qt::WA_TranslucentBackground);
    c.Rappo = new QTextEdit(Picture1);
    c.Rappo->setGeometry(twRect(480, 1320, 1575, 375));
    c.Rappo->setReadOnly(true);
    c.Rappo->setFrameStyle(QFrame::NoFrame);
    for (QWidget *w : std::initializer_list<QWidget *>{c.Label7, c.Label1, c.Label2})
        w->setFont(arialFont(8, true));

    c.info = new QLabel(this);
    c.info->setGeometry(twRect(7920, 3360, 3495, 495));
    c.info->setAlignment(Qt::AlignCenter);
    c.info->setFont(arialFont(8));
    c.info->setWordWrap(true);
    c.info->setAutoFillBackground(true);
    c.info->setPalette(QPalette(QApplication::palette().color(QPalette::ToolTipText),
                                QApplication::palette().color(QPalette::ToolTipBase)));
    {
        QPalette pal = c.info->palette();
        pal.setColor(QPalette::Window, QApplication::palette().color(QPalette::ToolTipBase));
        pal.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::ToolTipText));
        c.info->setPalette(pal);
    }
    c.fich = new QLineEdit(this);
    c.fich->setGeometry(twRect(6480, 3960, 5415, 285));
    c.fich->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: rgb(128,0,0); }"));
    c.fich->setReadOnly(true);
    c.supertext = new QTextEdit(this);
    c.supertext->setGeometry(twRect(6480, 4245, 5415, 3930));
    auto *btexo = new QPushButton(QStringLiteral("Exercices"), this);
    btexo->setGeometry(twRect(6480, 3960, 1455, 285));
    c.btexo = btexo;
    // Image3 holds the hand of the cuvette animation; it is never shown.
    Image3 = new QLabel(this);
    Image3->setGeometry(twRect(6480, 3360, 480, 480));
    Image3->setPixmap(QPixmap::fromImage(schematic::handPicture()));
    Image3->hide();
    Image2 = new QLabel(this);
    Image2->setGeometry(twRect(7320, 3360, 480, 480));

    // Pictures, when the program's resources are linked in.
    const auto icon = [](const char *name) {
        return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    };
    if (QFile::exists(QStringLiteral(":/icons/ouvrir.svg"))) {
        const std::pair<QPushButton *, const char *> top[] = {
            {Command2, "ouvrir"},    {Command11, "enregistrer"}, {Command4, "copier"},
            {Command10, "imprimer"}, {Command8, "calculatrice"}, {Command7, "aide"},
            {Command1, "fermer"}};
        for (const auto &[b, name] : top) {
            b->setIcon(icon(name));
            b->setIconSize(QSize(24, 24));
        }
        c.Command3->setText(QString());
        c.Command3->setIcon(icon("effacer"));
        c.Command6->setText(QString());
        c.Command6->setIcon(icon("supprimer"));
        for (QPushButton *b : {c.Command3, c.Command6})
            b->setIconSize(QSize(15, 15));
        btexo->setIcon(icon("exercices"));
        Image2->setPixmap(icon("prisme").pixmap(32, 32));
        setWindowIcon(icon("spectro"));
    }

    // Reactions of the controls.
    connect(c.Combo1, &QComboBox::currentIndexChanged, this, [this](int) { Combo1_Click(); });
    connect(c.HScroll1, &QScrollBar::valueChanged, this, &FeuilleP::HScroll1_Change);
    connect(c.UpDown1, &UpDown::valueChanged, this, &FeuilleP::UpDown1_Change);
    connect(c.UpDown2, &UpDown::valueChanged, this, &FeuilleP::UpDown2_Change);
    for (int i = 0; i < 2; ++i) {
        connect(c.Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                graph->Option1_Click(i);
        });
        c.Option1[i]->installEventFilter(this);
    }
    connect(c.Check1, &QCheckBox::clicked, this, [this] { graph->rapport(); });
    connect(c.Command3, &QPushButton::clicked, this, [this] {
        if (!graph->confirmDropPoints || graph->confirmDropPoints())
            graph->Command3_Click();
    });
    connect(c.Command6, &QPushButton::clicked, this, [this] { graph->Command6_Click(); });
    connect(c.Command5, &QPushButton::clicked, this, [this] { graph->Command5_Click(); });
    connect(c.graphik, &PictureBox::mouseMoved, this,
            [this](int x, int y) { graph->graphik_MouseMove(x, y); });
    connect(Onglets, &PictureBox::mouseReleased, this, &FeuilleP::Onglets_MouseUp);
    Onglets->onPaint = [this] { Onglets_Paint(); };
    Picture3->onPaint = [this] { Picture3_Paint(); };
    frame2->onPaint = [this] { Frame2_Paint(); };
    Picture1->onPaint = [this] { Picture1_Paint(); };
    for (QLineEdit *box : {c.Text1, c.Text2}) {
        box->installEventFilter(this);
        // Text comes in by keys and pastes only, both filtered.
        box->setAcceptDrops(false);
    }
    connect(c.fich, &QLineEdit::textChanged, this, [this](const QString &t) {
        c.fich->setCursorPosition(int(t.size()));
        c.fich->setToolTip(t);
    });
    connect(c.supertext, &QTextEdit::textChanged, this, [this] {
        if (!c.fich->text().isEmpty())
            textemodif = 1;
    });
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (openConfig)
            openConfig();
    });
    connect(Command11, &QPushButton::clicked, this, [this] {
        if (saveConfig)
            saveConfig();
    });
    connect(Command10, &QPushButton::clicked, this, [this] {
        if (printDialog)
            printDialog();
    });
    connect(Command8, &QPushButton::clicked, this, [this] {
        if (calculator)
            calculator();
    });
    connect(Command7, &QPushButton::clicked, this, [this] {
        if (help)
            help();
    });
    connect(Command4, &QPushButton::clicked, this, [this] {
        if (copyMenu)
            copyMenu(keyboard::popupPosition(Command4));
        c.info->setText(msgcopie);
    });
    connect(btexo, &QPushButton::clicked, this, [this, btexo] {
        if (exerciseMenu)
            exerciseMenu(mapToGlobal(btexo->geometry().bottomLeft() + QPoint(0, 1)));
    });

    // Hover help: every control of the table reports the pointer.
    for (QWidget *w : std::initializer_list<QWidget *>{
             Command2, Command11, Command4, Command10, Command8, Command7, Command1, c.Command5,
             c.Command6, c.Command3, Picture3, frame2, Picture1, c.Rappo, btexo}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    c.Rappo->viewport()->setMouseTracking(true);
    c.Rappo->viewport()->installEventFilter(this);
}

QString FeuilleP::helpText(QWidget *w) const
{
    if (w == Command2)
        return QStringLiteral("Pour retrouver une situation enregistrée");
    if (w == Command11)
        return QStringLiteral("Pour conserver la configuration en cours");
    if (w == Command4)
        return c.info->text() == msgcopie
                   ? msgcopie
                   : QStringLiteral("Copier pour placer l'image dans le presse- papiers puis "
                                    "coller depuis Word, Paint...");
    if (w == Command10)
        return QStringLiteral("Pour configurer l'imprimante et imprimer l'image");
    if (w == Command8)
        return QStringLiteral("Machine à calculer");
    if (w == Command7)
        return QStringLiteral("Si vous rencontrez une difficulté avec cette application");
    if (w == Command1)
        return QStringLiteral("Pour retrouver le module principal et quitter cette application");
    if (w == c.Command5)
        return QStringLiteral("Commencer à tracer la courbe");
    if (w == c.Command6)
        return QStringLiteral("Effacer la dernière courbe tracée");
    if (w == c.Command3)
        return QStringLiteral("Effacer le graphe");
    if (w == Picture3)
        return QStringLiteral("Choisir la nature de la solution et saisir sa concentration");
    if (w == frame2)
        return QStringLiteral("Réglages du spectrophotomètre");
    if (w == Picture1)
        return QStringLiteral("Définir la grandeur à représenter et les paramètres d'affichage");
    if (w == c.Rappo || (c.Rappo && w == c.Rappo->viewport()))
        return QStringLiteral("Courbes tracées");
    if (w == c.btexo)
        return QStringLiteral("Ouvrir un énoncé, enregistrer le texte, obtenir la correction, "
                              "imprimer ou fermer.");
    return QString();
}

bool FeuilleP::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove) {
        // A move that a control inside a panel ignored reaches the panel too;
        // those controls leave the line alone.
        const bool overChild =
            event->type() == QEvent::MouseMove && qobject_cast<PictureBox *>(watched) &&
            w->childAt(static_cast<QMouseEvent *>(event)->position().toPoint()) != nullptr;
        const QString t = overChild ? QString() : helpText(w);
        if (!t.isEmpty())
            c.info->setText(t);
    }
    if ((watched == c.Text1 || watched == c.Text2)) {
        auto *box = static_cast<QLineEdit *>(watched);
        if (event->type() == QEvent::KeyPress) {
            auto *ke = static_cast<QKeyEvent *>(event);
            if (ke->matches(QKeySequence::Paste)) {
                pasteInto(box, QGuiApplication::clipboard()->text());
                return true;
            }
            if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
                keyFilter(box, QChar(13));
                return true;
            }
            const QString text = ke->text();
            if (text.size() == 1 && text[0].isPrint() &&
                !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                const QChar ch = keyFilter(box, text[0]);
                if (ch.isNull())
                    return true;
                if (ch != text[0]) {
                    box->insert(QString(ch));
                    return true;
                }
            }
        } else if (event->type() == QEvent::ContextMenu) {
            const std::unique_ptr<QMenu> menu(boxMenu(box));
            menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            QClipboard *clipboard = QGuiApplication::clipboard();
            if (clipboard->supportsSelection())
                pasteInto(box, clipboard->text(QClipboard::Selection));
            return true;
        } else if (event->type() == QEvent::FocusOut &&
                   static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            // The box's own menu does not end the edit.
            if (watched == c.Text1)
                Text1_LostFocus();
            else
                Text2_LostFocus();
        }
    }
    if ((watched == c.Option1[0] || watched == c.Option1[1]) && event->type() == QEvent::FocusIn)
        graph->choixutil = true;
    return QWidget::eventFilter(watched, event);
}

QChar FeuilleP::keyFilter(QLineEdit *box, QChar ch)
{
    if (ch == QLatin1Char('.'))
        ch = QLatin1Char(',');
    if (ch.unicode() == 13) {
        if (box == c.Text1)
            Text1_LostFocus();
        else
            Text2_LostFocus();
        return ch;
    }
    if ((ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char(',') ||
        ch.unicode() == 8)
        return ch;
    return QChar();
}

void FeuilleP::pasteInto(QLineEdit *box, const QString &text)
{
    QString kept;
    for (const QChar ch : text) {
        // Line ends and other controls are no keys: Enter is not pasted.
        if (!ch.isPrint())
            continue;
        const QChar k = keyFilter(box, ch);
        if (!k.isNull())
            kept += k;
    }
    if (!kept.isEmpty())
        box->insert(kept);
}

QMenu *FeuilleP::boxMenu(QLineEdit *box)
{
    QMenu *menu = box->createStandardContextMenu();
    // Qt names the action in later versions; before, only its caption tells.
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction *a : menu->actions()) {
        if (a->objectName() == QLatin1String("edit-paste") ||
            a->text().section(QLatin1Char('\t'), 0, 0) == paste) {
            disconnect(a, &QAction::triggered, nullptr, nullptr);
            connect(a, &QAction::triggered, this,
                    [this, box] { pasteInto(box, QGuiApplication::clipboard()->text()); });
        }
    }
    return menu;
}

void FeuilleP::chargespectre()
{
    spectro::chargespectreEtendu(state.numsol, c.Text2->text(), c.Text1->text(),
                                 appareil ? appareil->mixture() : spectro::Mixture{},
                                 state.spectre);
}

QStringList FeuilleP::extraRecords() const
{
    return appareil ? appareil->extraRecords() : QStringList();
}

bool FeuilleP::applyExtraRecords(const QStringList &records)
{
    return !appareil || appareil->applyExtraRecords(records);
}

void FeuilleP::Combo1_Click()
{
    state.numsol = spectro::numsolForListIndex(c.Combo1->currentIndex());
    c.Text2->setVisible(spectro::hasPh(state.numsol));
    Picture3->update();
    chargespectre();
    majafficheur();
}

void FeuilleP::Text1_LostFocus()
{
    c.Text1->setText(spectro::checkConcentration(c.Text1->text()));
    if (state.numsol > 11)
        chargespectre();
    majafficheur();
}

void FeuilleP::Text2_LostFocus()
{
    c.Text2->setText(spectro::checkPh(c.Text2->text()));
    chargespectre();
    majafficheur();
}

void FeuilleP::HScroll1_Change()
{
    c.Label7->setText(QString::number(c.HScroll1->value()) + QStringLiteral(" nm"));
    c.Label7->repaint();
    c.info->setText(QStringLiteral("Pour affiner le réglage de la longueur d'onde, utiliser "
                                   "les boutons < et >"));
    majafficheur();
}

void FeuilleP::UpDown1_Change()
{
    static const char *texts[] = {"0,5 cm", "1 cm", "1,5 cm"};
    const int v = c.UpDown1->value();
    if (v >= 1 && v <= 3)
        c.Label1->setText(QString::fromLatin1(texts[v - 1]));
    majafficheur();
}

void FeuilleP::UpDown2_Change()
{
    c.Label2->setText(QString::number(c.UpDown2->value() - 6));
    graph->UpDown2_Change();
}

void FeuilleP::majafficheur()
{
    Surface &s = c.schema->surface();
    longueurOnde = c.HScroll1->value();
    if (const auto q = schematic::quecol(longueurOnde)) {
        rouge = q->rouge;
        vert = q->vert;
        bleu = q->bleu;
        coulLambda = q->rgb();
    }
    schematic::Measure m;
    m.cuvetteCode = c.UpDown1->value();
    m.coulLambda = coulLambda;
    m.rouge = rouge;
    m.vert = vert;
    m.bleu = bleu;
    const QString text1 =
        readingConcentration ? readingConcentration(c.Text1->text()) : c.Text1->text();
    const std::optional<double> conc = numfmt::readNumber(text1);
    if (conc && *conc != 0.0) {
        coulSolution = schematic::coulsol(state.numsol, text1, c.Text2->text());
        if (const auto own = appareil ? appareil->sampleColour() : std::nullopt)
            coulSolution = *own;
        m.coulSolution = coulSolution;
    }
    if (const auto r =
            spectro::computeAbsorbance(state.spectre, text1, longueurOnde, c.UpDown1->value())) {
        state.absorbance = r->absorbance;
        m.readout = r->text;
        if (appareil)
            appareil->realReading(state.absorbance, m.readout);
    }
    m.absorbance = std::max(0.0f, state.absorbance); // a real reading may fall below 0
    schematic::drawMeasure(s, m);
    if (appareil)
        appareil->drawMarks(s);
    c.schema->refresh();
}

void FeuilleP::deschema(int avecFond)
{
    schematic::deschema(c.schema->surface(), avecFond);
    HScroll1_Change();
}

void FeuilleP::setOnglet(int tab)
{
    onglet = tab;
    Onglets->update();
}

void FeuilleP::Onglets_Paint()
{
    if (onglet == 0)
        onglet = 1;
    Surface &s = Onglets->surface();
    s.cls();
    s.setFont(arialFont(8));
    s.setForeColor(qbColor(0));
    const int h = numfmt::cint(s.textHeight(QStringLiteral("W")));
    static const QString captions[4] = {QString(), QStringLiteral("Solution"),
                                        QStringLiteral("Spectrophotomètre"),
                                        QStringLiteral("Graphe")};
    const int sw = s.width();
    const int sh = s.height();
    double t = 0;
    for (int i = 1; i <= 3; ++i) {
        s.setBold(i == onglet);
        t = numfmt::cint(t + s.textWidth(captions[i]));
    }
    const float g = float(sw - t) / 6;
    b[0] = -1;
    for (int i = 1; i <= 2; ++i) {
        s.setBold(i == onglet);
        b[i] = numfmt::cint(b[i - 1] + s.textWidth(captions[i]) + 2 * double(g));
    }
    b[3] = sw;
    b[4] = b[5] = 0;
    s.box(0, 0, sw - 1, sh - 1, qbColor(8));
    s.line(0, 0, 0, sh - 1, qbColor(15));
    for (int i = 0; i <= 3; ++i) {
        s.line(b[i] - 1, 1, b[i] - 1, h + 1, qbColor(8));
        s.line(b[i], 0, b[i], h, qbColor(15));
    }
    for (int i = 0; i <= 2; ++i)
        s.line(b[i] + 1, 0, b[i + 1] - 1, 0, qbColor(15));
    const int k = onglet;
    s.line(0, h + 1, b[k - 1] + 2, h + 1, qbColor(15));
    s.line(b[k], h + 1, sw, h + 1, qbColor(15));
    for (int i = 1; i <= 3; ++i) {
        s.setBold(i == onglet);
        s.currentY = i == onglet ? 2 : 1;
        s.currentX = b[i - 1] + double(g);
        s.print(captions[i]);
    }
    PictureBox *panels[4] = {nullptr, Picture3, frame2, Picture1};
    for (int i = 1; i <= 3; ++i) {
        if (i != onglet)
            panels[i]->hide();
    }
    PictureBox *p = panels[onglet];
    p->setBoxGeometry(4, h + 5, sw - 4 - 4, sh - 4 - (h + 5));
    p->show();
    const QColor bg(210, 205, 200);
    s.box(1, h + 2, sw - 2, sh - 2, bg);
    s.box(2, h + 3, sw - 3, sh - 3, bg);
    s.box(3, h + 4, sw - 4, sh - 4, qbColor(8));
    s.box(4, h + 5, sw - 4, sh - 4, qbColor(15));
}

void FeuilleP::Onglets_MouseUp(int x, int y)
{
    if (y < 0 || y > 15)
        return;
    int sel = 0;
    for (int i = 1; i <= 5; ++i) {
        if (b[i - 1] < x && x <= b[i])
            sel = i;
    }
    if (sel != onglet && sel >= 1 && sel <= 3) {
        onglet = sel;
        Onglets->update();
    }
}

void FeuilleP::Picture3_Paint()
{
    const QPoint ph =
        schematic::picture3Paint(Picture3->surface(), c.Text1->geometry(), c.Text2->isVisible());
    if (c.Text2->isVisible() && ph.x() >= 0 && c.Text2->pos() != ph)
        c.Text2->move(ph);
}

void FeuilleP::Frame2_Paint()
{
    QPalette pal = c.Label7->palette();
    pal.setColor(QPalette::Window, QColor(240, 235, 230));
    c.Label7->setPalette(pal);
    c.Label7->setAutoFillBackground(true);
    schematic::frame2Paint(frame2->surface(), c.Label7->geometry(), c.Label1->geometry(), mtextra);
}

void FeuilleP::Picture1_Paint()
{
    const QString bg = QStringLiteral("background: rgb(240,235,230);");
    for (QWidget *w : std::initializer_list<QWidget *>{c.Check1, c.Option1[0], c.Option1[1]})
        if (w->styleSheet() != bg)
            w->setStyleSheet(bg);
    const QRect r(c.Rappo->x(), c.Rappo->y(), Picture1->width() - c.Rappo->x(),
                  Picture1->height() - c.Rappo->y());
    if (c.Rappo->geometry() != r)
        c.Rappo->setGeometry(r);
    QPalette pal = c.Rappo->palette();
    if (pal.color(QPalette::Base) != QColor(240, 235, 230)) {
        pal.setColor(QPalette::Base, QColor(240, 235, 230));
        c.Rappo->setPalette(pal);
    }
    schematic::picture1Paint(Picture1->surface(), c.Option1[0]->geometry(),
                             c.Option1[1]->geometry(), c.Label2->geometry());
}

void FeuilleP::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, background.image());
}

void FeuilleP::mouseMoveEvent(QMouseEvent *event)
{
    // Moves that a child ignored come here too: only the bare background counts.
    if (childAt(event->position().toPoint()) != nullptr) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    c.info->setText(kIntroHelp);
    c.graphik->setCursor(Qt::ArrowCursor);
    c.Labeli[0]->hide();
    c.Labeli[1]->hide();
    QWidget::mouseMoveEvent(event);
}

void FeuilleP::ecrireIntroduction()
{
    QTextEdit *t = c.supertext;
    t->hide();
    const QSignalBlocker block(t);
    t->clear();
    t->setReadOnly(true);
    const QColor blue(0, 0, 200);
    struct Piece {
        QString text;
        int style; // 0 black, 1 blue, 2 title
    };
    const QString nl = QStringLiteral("\n");
    const Piece pieces[] = {
        {QStringLiteral("Spectrophotométrie") + nl, 2},
        {nl + QStringLiteral("Ce simulateur donne "), 0},
        {QStringLiteral("l'absorbance "), 1},
        {QStringLiteral("de quelques exemples de solutions aqueuses à différentes "
                        "concentrations pour les longueurs d'onde comprises entre 400 nm et "
                        "800 nm.") +
             nl + nl + QStringLiteral("Les paramètres sont modifiables :") + nl,
         0},
        {QStringLiteral("   - la nature et la concentration de la solution,") + nl +
             QStringLiteral("   - la longueur d'onde de la lumière,") + nl +
             QStringLiteral("   - l'épaisseur de la cuve.") + nl + nl,
         1},
        {QStringLiteral("Vous pouvez obtenir le graphe de la variation de l'absorbance en "
                        "fonction de la longueur d'onde ou de la concentration de la solution."),
         0},
        {nl + nl, 0},
        {QStringLiteral("Les images obtenues peuvent être imprimées ou placées dans le "
                        "presse-papiers "),
         0},
        {QStringLiteral("(bouton Copier) pour les utiliser dans une autre application.") + nl + nl,
         0},
        {QStringLiteral("Vous pouvez obtenir l'énoncé d'un exercice "), 0},
        {QStringLiteral("dans cette fenêtre en appuyant sur l'onglet "), 0},
        {QStringLiteral("Exercices"), 1},
        {QStringLiteral(".") + nl + nl, 0},
        {QStringLiteral("Pour vous familiariser avec ce simulateur, choisissez d'abord "
                        "l'activité "),
         0},
        {QStringLiteral("Prise en main "), 1},
        {QStringLiteral("dans le menu Exercices."), 0},
    };
    QTextCursor cur(t->document());
    bool first = true;
    for (const Piece &p : pieces) {
        QTextCharFormat cf;
        cf.setFont(arialFont(p.style == 2 ? 18 : 10));
        cf.setForeground(p.style == 0 ? QColor(Qt::black) : blue);
        const QStringList lines = p.text.split(nl);
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                QTextBlockFormat bf;
                bf.setLeftMargin(20);
                cur.insertBlock(bf, cf);
            } else if (first) {
                QTextBlockFormat bf;
                bf.setAlignment(Qt::AlignHCenter);
                cur.setBlockFormat(bf);
                first = false;
            }
            cur.insertText(lines[i], cf);
        }
    }
    t->moveCursor(QTextCursor::Start);
    t->show();
}

void FeuilleP::applySizeRule()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    if (avail.width() > 850) {
        m_sizing = true;
        if (windowState() != Qt::WindowNoState)
            setWindowState(Qt::WindowNoState);
        // 800 x 600 is the outer size, frame included, and the frame is what
        // gets centred. The frame is known once the window is on the screen;
        // until then a usual title bar is assumed.
        m_frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        const QMargins frame = m_frame.isNull() ? QMargins(0, 30, 0, 0) : m_frame;
        setFixedSize(800 - frame.left() - frame.right(), 600 - frame.top() - frame.bottom());
        move(avail.x() + (avail.width() - 800) / 2, avail.y() + (avail.height() - 600) / 2);
        m_sizing = false;
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(tw(12060), tw(8325));
    }
}

void FeuilleP::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager has framed the window: size and centre it again.
    // Moves by the user are left alone.
    if (!m_sizing && windowHandle() && windowHandle()->frameMargins() != m_frame)
        QTimer::singleShot(0, this, &FeuilleP::applySizeRule);
}

void FeuilleP::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (windowHandle() && windowHandle()->frameMargins() != m_frame)
        applySizeRule();
}

void FeuilleP::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !m_sizing)
        QTimer::singleShot(0, this, &FeuilleP::applySizeRule);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void FeuilleP::Form_Activate()
{
    graph->choixutil = true;
    QString name;
    recordfile::readFileRecord(handOffPath(), 31, &name);
    // Emptied whatever it held, blanks included: a request is served once.
    recordfile::writeFileRecord(handOffPath(), 31, QString());
    if (name.trimmed().isEmpty())
        return;
    hide();
    // The name is relative to the program's folder, and so are the files the
    // exercise names, whatever folder the name goes through.
    cheminexo = programFolder();
    if (openExerciseFile)
        openExerciseFile(cheminexo + name, cheminexo);
    show();
    corrige = 1;
}

void FeuilleP::afterShow()
{
    // The request was read before the window showed itself: an activation may
    // already have served and emptied it, and then nothing is traced either.
    if (m_handOffAtStart) {
        Form_Activate();
        return;
    }
    if (openStartFile) {
        openStartFile();
        return;
    }
    if (completeFirstTraceAtOnce) {
        // Every step of the trace runs at once, so the window ends as a user
        // sees it after the first trace: curve complete, wavelength at 800 nm.
        const bool old = graph::Graph::nonBlockingTrace;
        graph::Graph::nonBlockingTrace = true;
        graph->Command5_Click();
        while (graph->tracing())
            graph->Timer1_Timer();
        graph::Graph::nonBlockingTrace = old;
        return;
    }
    graph->Command5_Click();
}

bool FeuilleP::confirmClose()
{
    if (textemodif == 1 &&
        msgbox::show(this, QStringLiteral("Attention: perte des modifications du texte."),
                     QStringLiteral("Abandon des données?"), msgbox::Icon::Question,
                     msgbox::Buttons::OkCancel) == msgbox::Answer::Cancel)
        return false;
    return msgbox::show(this, QStringLiteral("Quitter vraiment Spectrophotométrie ?"),
                        QStringLiteral("Fermer"), msgbox::Icon::Question,
                        msgbox::Buttons::OkCancel) != msgbox::Answer::Cancel;
}

void FeuilleP::closeEvent(QCloseEvent *event)
{
    if (graph->tracing() || !confirmClose()) {
        event->ignore();
        return;
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
    recordfile::writeFileRecord(handOffPath(), 6, QStringLiteral("NON"));
    event->accept();
    // The program ends with its main window, whatever other window is left.
    QCoreApplication::quit();
}
