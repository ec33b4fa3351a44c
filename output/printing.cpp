#include "graph/curvestore.h"
#include "graph/graphpicture.h"

#include "output/printing.h"
#include "output/report.h"

#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/picturebox.h"
#include "common/platform.h"
#include "common/updown.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace output
{

std::function<QString(QWidget *, const QString &)> askPdfFileName;
std::function<bool(QPrinter &, QWidget *)> setupPrinter;
std::function<double(QPainter &, double, double, const PageBreak &)> printAfterLegend;

namespace
{

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;
// Indent of the lines under a curve's title, and the raise of the exponent.
constexpr double kLegendIndent = 450;
constexpr double kRaise = 60;

const QColor kDialogGrey(192, 192, 192);
const QColor kDarkBlue(0, 0, 128);

// Arial at a size in points, measured in twips: the painter's window is in
// twips, so the font is sized in the same unit.
QFont twipsFont(double points, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(points * kTwipsPerPoint + 0.5));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

double lineHeight(const QPainter &p)
{
    return QFontMetricsF(p.font()).height();
}

// Prints text with its top at y from x, in the painter's font and pen;
// returns the x after it, like a print that stays on the line.
double printAt(QPainter &p, double x, double y, const QString &text)
{
    const QFontMetricsF fm(p.font());
    p.drawText(QPointF(x, y + fm.ascent()), text);
    return x + fm.horizontalAdvance(text);
}

enum class IconKind { Printer, Cancel, Ok };

// The pictures of the three buttons: the program's own set when its resources
// are linked in, else drawn here.
QIcon buttonIcon(IconKind kind)
{
    static const char *const names[] = {":/icons/imprimantes.svg", ":/icons/annuler.svg",
                                        ":/icons/ok.svg"};
    const QString name = QString::fromLatin1(names[int(kind)]);
    if (QFile::exists(name))
        return QIcon(name);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case IconKind::Printer:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10)); // paper in
        p.setBrush(QColor(160, 160, 160));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 20, 16, 9)); // paper out
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawPoint(QPointF(25, 16));
        break;
    case IconKind::Cancel:
        p.setPen(QPen(QColor(200, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case IconKind::Ok: {
        QPainterPath tick;
        tick.moveTo(6, 17);
        tick.lineTo(13, 25);
        tick.lineTo(27, 7);
        p.setPen(QPen(QColor(0, 150, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
        break;
    }
    }
    return QIcon(pm);
}

// Twips of the designer to pixels.
QRect tw(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

// Labels grow to their text when the font is wider than the designer's.
void fitWidth(QLabel *label)
{
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

void setTextColour(QWidget *w, const QColor &c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::ButtonText, c);
    w->setPalette(pal);
}

QString proposedPdfName()
{
    return QDir(Platform::dialogFolder())
        .absoluteFilePath(QStringLiteral("spectrophotometrie.pdf"));
}

QString choosePdfFile(QWidget *parent)
{
    if (askPdfFileName)
        return askPdfFileName(parent, proposedPdfName());
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Imprimer dans un fichier"),
                                        proposedPdfName(), QStringLiteral("Document PDF (*.pdf)"));
}

// The PDF writer reports neither a folder it cannot create the file in once
// the job has begun, nor a full disk: a whole document ends with its
// end-of-file mark.
bool completePdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 32));
    return file.readAll().contains("%%EOF");
}

bool runPrinterSetup(QPrinter &printer, QWidget *parent)
{
    if (setupPrinter)
        return setupPrinter(printer, parent);
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Imprimantes"));
    dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
    // The dialog only chooses the printer: its confirming button must not
    // read "Imprimer", since nothing is printed yet. The button box gives its
    // buttons their standard texts again when it is shown, hence once more
    // when the dialog runs.
    const auto relabel = [&dlg] {
        if (auto *box = dlg.findChild<QDialogButtonBox *>()) {
            if (QPushButton *ok = box->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("&Choisir"));
        }
    };
    relabel();
    QTimer::singleShot(0, &dlg, relabel);
    return dlg.exec() == QDialog::Accepted;
}

// What the set-up dialog may change, to put it back when it is cancelled.
struct PrinterChoice {
    QPrinter::OutputFormat format;
    QString name;
    QString file;
    QPageLayout layout;
    int copies;

    explicit PrinterChoice(const QPrinter &p)
        : format(p.outputFormat()), name(p.printerName()), file(p.outputFileName()),
          layout(p.pageLayout()), copies(p.copyCount())
    {
    }

    void restore(QPrinter &p) const
    {
        p.setOutputFormat(format);
        if (format == QPrinter::NativeFormat)
            p.setPrinterName(name);
        p.setOutputFileName(file);
        p.setPageLayout(layout);
        p.setCopyCount(copies);
    }
};

} // namespace

double rappoprint(QPainter &p, double x, double y, const graph::CurveStore &store,
                  const QStringList &names, bool wavelengthGraph, const PageBreak &pageBreak)
{
    p.setFont(twipsFont(8));
    // Five lines and the raise of the exponent: a curve is kept on one page.
    const double block = 5 * lineHeight(p) + (wavelengthGraph ? kRaise : 0);
    const int last = std::min(store.dercourbe, graph::kSlots - 1);
    for (int i = 0; i <= last; ++i) {
        const graph::CurveSettings &s = store.curves[i];
        const QStringList extraLines = spectro::curveExtraLines(s.extra, s.conc);
        const double extra = extraLines.size() * lineHeight(p);
        if (pageBreak.newPage && y > 0 && y + block + extra - lineHeight(p) > pageBreak.bottom) {
            pageBreak.newPage();
            y = 0;
        }

        p.setFont(twipsFont(8, true));
        p.setPen(graph::curveColour(i));
        double cx = printAt(p, x, y, QStringLiteral("\u2022 "));
        cx = printAt(p, cx, y,
                     QStringLiteral("Courbe ") + QString::number(i + 1) + QStringLiteral(". "));
        p.setFont(twipsFont(8));
        p.setPen(Qt::black);
        printAt(p, cx, y, names.value(s.sol));
        y += lineHeight(p);

        const double x2 = x + kLegendIndent;
        if (wavelengthGraph) {
            y += kRaise;
            cx = printAt(p, x2, y, QStringLiteral("Concentration : "));
            p.setFont(twipsFont(8, false, true));
            cx = printAt(p, cx, y, QStringLiteral("c = "));
            p.setFont(twipsFont(8));
            cx = printAt(p, cx, y, s.conc + QStringLiteral(" mol \u00b7 L"));
            printAt(p, cx, y - kRaise, QStringLiteral("-1"));
        } else {
            cx = printAt(p, x2, y, QStringLiteral("Longueur d'onde : "));
            cx = printAt(p, cx, y, QStringLiteral("\u03bb"));
            printAt(p, cx, y,
                    QStringLiteral(" = ") + QString::number(s.lambda) + QStringLiteral(" nm"));
        }
        y += lineHeight(p);

        printAt(p, x2, y, QStringLiteral("pH de la solution : ") + s.ph);
        y += lineHeight(p);
        printAt(p, x2, y,
                QStringLiteral("\u00c9paisseur de la cuve : ") + output::thicknessText(s.cuve) +
                    QStringLiteral(" cm"));
        y += lineHeight(p);
        for (const QString &line : extraLines) {
            printAt(p, x2, y, line);
            y += lineHeight(p);
        }
        y += lineHeight(p);
    }
    return y;
}

void printPage(QPainter &p, double w, double h, const PageContent &content,
               const std::function<void()> &newPage)
{
    p.setPen(Qt::black);
    p.setFont(twipsFont(12, true));
    double y = 0;
    printAt(p, 0, y, content.title);
    y += lineHeight(p);
    p.setFont(twipsFont(10, true));
    y += lineHeight(p);

    y = h / 20;
    // Pictures go into the page as they are: a lossy compression would blur
    // the one-pixel lines and shift their colours away from the legend's.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    if (!content.schema.isNull()) {
        const double pw = content.schema.deviceIndependentSize().width() * kTwipsPerPixel;
        const double ph = content.schema.deviceIndependentSize().height() * kTwipsPerPixel;
        p.drawImage(QRectF((w - pw) / 2, y, pw, ph), content.schema);
        y = h / 20 + ph;
        y += 2 * lineHeight(p);
    }
    if (content.graphPicture || !content.graph.isNull()) {
        const QSizeF size = content.graphPicture ? QSizeF(content.graphPicture->size)
                                                 : content.graph.deviceIndependentSize();
        const double pw = size.width() * kTwipsPerPixel;
        const double ph = size.height() * kTwipsPerPixel;
        const double x = (w - pw) / 2;
        if (content.graphPicture) {
            // Sharp at the printer's own resolution.
            p.save();
            p.translate(x, y);
            p.scale(kTwipsPerPixel, kTwipsPerPixel);
            graph::paintGraph(p, *content.graphPicture, graph::Rendering::Vectors);
            p.restore();
        } else {
            p.drawImage(QRectF(x, y, pw, ph), content.graph);
        }
        y += ph;
        y += 2 * lineHeight(p);
        if (content.store)
            y = rappoprint(p, x, y, *content.store, content.names, content.wavelengthGraph,
                           PageBreak{h, newPage});
        if (printAfterLegend)
            printAfterLegend(p, x, y, PageBreak{h, newPage});
    }
}

bool printPages(QPagedPaintDevice &device, const PageContent &content, int copies)
{
    const QRectF page = device.pageLayout().paintRect(QPageLayout::Inch);
    const int w = int(page.width() * kTwipsPerInch + 0.5);
    const int h = int(page.height() * kTwipsPerInch + 0.5);
    QPainter p;
    if (w <= 0 || h <= 0 || !p.begin(&device))
        return false;
    p.setViewport(0, 0, device.width(), device.height());
    p.setWindow(0, 0, w, h);
    copies = std::max(copies, 1);
    for (int k = 1; k <= copies; ++k) {
        printPage(p, w, h, content, [&device] { device.newPage(); });
        if (k < copies)
            device.newPage();
    }
    return p.end();
}

QString printerLabel(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("Imprimer dans un fichier (PDF)");
    return printer.printerName();
}

Confimp::Confimp(Feuille &f, const graph::CurveStore &store, QWidget *parent)
    : QDialog(parent), m_f(f), m_store(store), m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("confimp"));
    setWindowTitle(QStringLiteral("Imprimer"));
    setModal(true);
    setFixedSize(5640 / kTwipsPerPixel, 3315 / kTwipsPerPixel);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kDialogGrey);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(arialFont(8));

    Label2 = new QLabel(QStringLiteral("Imprimante:"), this);
    Label2->move(120 / kTwipsPerPixel, 270 / kTwipsPerPixel);
    Label2->adjustSize();
    defaut = new QLineEdit(this);
    defaut->setGeometry(tw(1200, 240, 2655, 285));
    defaut->setReadOnly(true);

    Frame1 = new QGroupBox(QStringLiteral("Options"), this);
    Frame1->setGeometry(tw(360, 840, 3495, 2295));
    setTextColour(Frame1, kDarkBlue);

    Label5 = new QLabel(QStringLiteral("Titre de la page :"), Frame1);
    Label5->setGeometry(tw(120, 240, 1200, 195));
    fitWidth(Label5);
    Text1 = new QLineEdit(QStringLiteral("Norvalis - Spectrophotom\u00e9trie"), Frame1);
    Text1->setGeometry(tw(120, 480, 3255, 285));

    const QString checkTexts[3] = {QStringLiteral("Le sch\u00e9ma"), QStringLiteral("Le graphe"),
                                   QStringLiteral("Le tableau de valeur")};
    const QRect checkRects[3] = {tw(360, 1080, 2655, 195), tw(360, 1440, 2655, 195),
                                 tw(120, 2040, 2655, 195)};
    for (int i = 0; i < 3; ++i) {
        Check1[i] = new QCheckBox(checkTexts[i], Frame1);
        Check1[i]->setGeometry(checkRects[i].adjusted(0, -2, 0, 2));
        Check1[i]->setChecked(i < 2);
    }
    Check1[2]->hide();

    Label3 = new QLabel(QStringLiteral("Nombre d'exemplaires :"), Frame1);
    Label3->setGeometry(tw(480, 1920, 1695, 255));
    fitWidth(Label3);
    Label4 = new QLabel(QStringLiteral("1"), Frame1);
    Label4->setGeometry(tw(2280, 1890, 615, 255));
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setAutoFillBackground(true);
    QPalette white = Label4->palette();
    white.setColor(QPalette::Window, Qt::white);
    Label4->setPalette(white);
    UpDown1 = new UpDown(Frame1);
    UpDown1->setGeometry(tw(2880, 1890, 240, 285));
    UpDown1->setRange(1, 40);
    UpDown1->setValue(1);
    connect(UpDown1, &UpDown::valueChanged, this,
            [this](int v) { Label4->setText(QString::number(v)); });
    for (QWidget *child : {static_cast<QWidget *>(Label5), static_cast<QWidget *>(Text1),
                           static_cast<QWidget *>(Label3), static_cast<QWidget *>(Label4)})
        setTextColour(child, Qt::black);
    for (QCheckBox *c : Check1)
        setTextColour(c, Qt::black);

    const struct {
        QToolButton *&button;
        const char *text;
        IconKind icon;
        QRect rect;
    } buttons[3] = {
        {command2, "&Imprimantes", IconKind::Printer, tw(4320, 120, 1095, 855)},
        {Command3, "&Annuler", IconKind::Cancel, tw(4320, 1200, 1095, 855)},
        {Command1, "&OK", IconKind::Ok, tw(4320, 2280, 1095, 855)},
    };
    for (const auto &b : buttons) {
        b.button = new QToolButton(this);
        b.button->setText(QString::fromUtf8(b.text));
        b.button->setIcon(buttonIcon(b.icon));
        b.button->setIconSize(QSize(32, 32));
        b.button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b.button->setGeometry(b.rect);
    }
    connect(command2, &QToolButton::clicked, this, &Confimp::command2_Click);
    connect(Command3, &QToolButton::clicked, this, &Confimp::Command3_Click);
    connect(Command1, &QToolButton::clicked, this, &Confimp::Command1_Click);

    Frame2 = new QFrame(this);
    Frame2->setGeometry(tw(240, 1080, 5175, 855));
    Frame2->setFrameShape(QFrame::Box);
    Label1 = new QLabel(QStringLiteral("Veuillez patienter quelques instants..."), Frame2);
    Label1->setGeometry(tw(840, 360, 4095, 255));
    setTextColour(Label1, kDarkBlue);
    Frame2->hide();

    if (QPrinterInfo::defaultPrinterName().isEmpty())
        m_printer.setOutputFormat(QPrinter::PdfFormat);
    Form_Load();
}

void Confimp::Form_Load()
{
    if (QWidget *main = m_f.window()) {
        const QRect g = main->frameGeometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + 20);
    }
    defaut->setText(printerLabel(m_printer));
    defaut->setCursorPosition(0);
}

void Confimp::command2_Click()
{
    const PrinterChoice before(m_printer);
    if (!runPrinterSetup(m_printer, this)) {
        before.restore(m_printer);
        return;
    }
    // Copies are printed as separate pages: a count chosen in the set-up
    // dialog goes to the up-down control, the printer prints each page once.
    if (m_printer.copyCount() > 1)
        UpDown1->setValue(std::min(m_printer.copyCount(), UpDown1->maximum()));
    m_printer.setCopyCount(1);
    Form_Load();
}

void Confimp::Command3_Click()
{
    reject();
}

void Confimp::Command1_Click()
{
    const bool withSchema = Check1[0]->isChecked();
    const bool withGraph = Check1[1]->isChecked();
    if (!withSchema && !withGraph)
        return;

    if (m_printer.outputFormat() == QPrinter::PdfFormat && m_printer.outputFileName().isEmpty()) {
        QString file = choosePdfFile(this);
        if (file.isEmpty())
            return; // the file choice was cancelled: back to the dialog
        if (QFileInfo(file).suffix().isEmpty())
            file += QStringLiteral(".pdf");
        m_printer.setOutputFileName(file);
    }

    Frame1->hide();
    command2->hide();
    Command3->hide();
    Command1->hide();
    Frame2->show();
    repaint();

    PageContent content;
    content.title = Text1->text();
    if (withSchema && m_f.c.schema)
        content.schema = m_f.c.schema->surface().image();
    if (withGraph && m_f.c.graphik)
        content.graph = m_f.c.graphik->surface().image();
    if (withGraph)
        content.graphPicture = graphPicture;
    content.store = &m_store;
    if (QComboBox *combo = m_f.c.Combo1) {
        for (int i = 0; i < combo->count(); ++i)
            content.names << combo->itemText(i);
    }
    content.wavelengthGraph = !m_f.c.Option1[0] || m_f.c.Option1[0]->isChecked();
    const bool toFile = m_printer.outputFormat() == QPrinter::PdfFormat;
    const QString file = m_printer.outputFileName();
    const bool printed = printPages(m_printer, content, UpDown1->value());
    if (toFile && !(printed && completePdf(file))) {
        // Back to the dialog: the next "OK" asks for another file.
        m_printer.setOutputFileName(QString());
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        Frame2->hide();
        Frame1->show();
        command2->show();
        Command3->show();
        Command1->show();
        msgbox::show(this, QStringLiteral("Ecriture impossible sur disque"),
                     QStringLiteral("Impression impossible"), msgbox::Icon::Error);
        return;
    }
    accept();
}

} // namespace output
